// The absorber database file (.KAB) that kab and kdn both read and write.
#include "design/model/absorber_database.h"
#include "fuzz/fuzz_check.h"

namespace {

AbsorberDatabase gDatabase;

bool ReadDatabase(FuzzInput bytes) {
  MemoryReader reader(bytes);
  return ReadAbsorberDatabase(reader, gDatabase, "Invalid file format") == 1;
}

FuzzBytes WriteDatabase() {
  MemoryWriter writer;
  FuzzRequire(WriteAbsorberDatabase(writer, gDatabase), "the database is written");
  return writer.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  // One record held before, for a failed read to keep.
  gDatabase = AbsorberDatabase{};
  gDatabase.records[0].name = "HELD";
  gDatabase.count = 1;
  CheckReadWriteRead(FuzzInput(data, size), ReadDatabase, WriteDatabase);
  return 0;
}
