// The speaker database (.KSB) as the speaker-database editor opens and
// merges it: a V140 file read from memory; a V130 file converted in place
// on disk and then read, as Open Database does, beside the shape file of a
// type named "HORN12". What was read is written as V140 and read again.
#include <cstdlib>
#include <utility>

#include "design/model/speaker_database.h"
#include "fuzz/fuzz_check.h"
#include "tests/design/model/older_format_fixtures.h"
#include "tests/design/model/speaker_objects.h"

namespace {

SpeakerDatabase gDatabase;

FuzzBytes RecordBytes(const SpeakerDatabaseRecord& record) {
  MemoryWriter writer;
  FuzzRequire(WriteSpeakerDatabaseRecord(writer, *record.type, record.shape.list()), "a record is written");
  return writer.Take();
}

FuzzBytes DatabaseBytes() {
  MemoryWriter writer;
  FuzzRequire(WriteSpeakerDatabaseHeader(writer, int16_t(gDatabase.records.size())), "the header is written");
  FuzzBytes bytes = writer.Take();
  for (const SpeakerDatabaseRecord& record : gDatabase.records) {
    const FuzzBytes recordBytes = RecordBytes(record);
    bytes.insert(bytes.end(), recordBytes.begin(), recordBytes.end());
  }
  return bytes;
}

// The database with its working copy, selection, modified mark and name.
FuzzBytes DatabaseState() {
  FuzzBytes state = DatabaseBytes();
  state.insert(state.end(), gDatabase.currentRecord.bytes.begin(), gDatabase.currentRecord.bytes.end());
  state.push_back(uint8_t(gDatabase.currentRecordIndex));
  state.push_back(gDatabase.modified ? 1 : 0);
  state.insert(state.end(), gDatabase.fileName.begin(), gDatabase.fileName.end());
  return state;
}

// What a read leaves: the records from `first` on held open with their
// shapes, the last one current.
void CheckReadRecords(size_t first) {
  for (size_t i = first; i < gDatabase.records.size(); ++i) {
    const SpeakerDatabaseRecord& record = gDatabase.records[i];
    FuzzRequire(LoadU32(&record.type->bytes[kTypeShapeSlot]) == 0 && record.type->ShapeField() == 0,
                "a record is held without its chain slots");
    for (const GraphicObject* o = record.shape.list().first; o; o = o->next)
      FuzzRequire(ItemsNameTheirVertices(*o) && o->colour == 0 && o->kind == ShapeKindFromItems(*o),
                  "a shape's objects name their vertices, with colour 0 and the kind of their items");
  }
  if (gDatabase.records.empty()) return;
  FuzzRequire(gDatabase.currentRecordIndex == int(gDatabase.records.size()) - 1 &&
                  gDatabase.currentRecord.bytes == gDatabase.records.back().type->bytes,
              "the last record read is current");
}

bool ReadFromMemory(FuzzInput bytes, SpeakerDatabase& database, DatabaseLoad how) {
  MemoryReader reader(bytes);
  return ReadSpeakerDatabase(reader, database, how) != DatabaseReadResult::kNotRead;
}

// A V130 file as Open Database takes it: converted to V140 in place, then
// read. Nothing converted leaves the file and the shape file as they were.
bool ReadConverted(FuzzInput bytes) {
  const std::string path = FuzzScratchFolder() + "FUZZ.KSB";
  const std::string shapePath = FuzzScratchFolder() + "HORN12.TCF";
  const FuzzBytes shape = TarnikShapeFixture();
  WriteFuzzFile(path, bytes);
  WriteFuzzFile(shapePath, shape);
  const DatabaseReadResult result = ReadSpeakerDatabaseFile(gDatabase, path, DatabaseLoad::kOpen);
  if (result == DatabaseReadResult::kNotRead) {
    FuzzBytes file, shapeFile;
    FuzzRequire(ReadWholeFile(path, file) && file == FuzzBytes(bytes.begin(), bytes.end()) &&
                    ReadWholeFile(shapePath, shapeFile) && shapeFile == shape,
                "a database not converted stays as it was, with its shape files");
    return false;
  }
  FuzzRequire(result == DatabaseReadResult::kLoaded || gDatabase.records.size() == kMaxDatabaseRecords,
              "a converted database reads back whole");
  return true;
}

bool ReadDatabase(FuzzInput bytes) {
  const bool older = SpeakerDatabaseVersionOf(bytes) == SpeakerDatabaseVersion::kV130;
  if (!(older ? ReadConverted(bytes) : ReadFromMemory(bytes, gDatabase, DatabaseLoad::kOpen))) return false;
  CheckReadRecords(0);
  return true;
}

// One record named "HELD" with a shape, current, not modified.
void HoldOneRecord() {
  ResetSpeakerDatabase(gDatabase);
  SpeakerDatabaseRecord record;
  record.type = AllocSpeakerType();
  if (!record.type) std::abort();
  record.type->SetTypeName("HELD");
  record.type->SetLayoutFlag(kCurrentSpeakerLayout);
  AppendObjectToList(MakeShape(0), record.shape.list());
  gDatabase.records.push_back(std::move(record));
  gDatabase.fileName = "HELD.KSB";
  SelectCurrentRecord(gDatabase, 0);
}

// Add Korvane Speakerbase: the file's records after the held one, as Open
// reads them; a file not read leaves the database as it was.
void CheckMerge(FuzzInput bytes) {
  HoldOneRecord();
  const FuzzBytes before = DatabaseState();
  const FuzzBytes held = RecordBytes(gDatabase.records[0]);
  if (!ReadFromMemory(bytes, gDatabase, DatabaseLoad::kMerge)) {
    FuzzRequire(DatabaseState() == before, "a merge not read leaves the database as it was");
    return;
  }
  SpeakerDatabase opened;
  FuzzRequire(ReadFromMemory(bytes, opened, DatabaseLoad::kOpen), "what merges opens");
  FuzzRequire(gDatabase.records.size() == 1 + opened.records.size() && RecordBytes(gDatabase.records[0]) == held,
              "a merge appends the file's records");
  for (size_t i = 0; i < opened.records.size(); ++i)
    FuzzRequire(RecordBytes(gDatabase.records[i + 1]) == RecordBytes(opened.records[i]),
                "a merge appends the records Open reads");
  FuzzRequire(gDatabase.modified == !opened.records.empty(), "a merge that added records must be saved");
  CheckReadRecords(1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  const FuzzInput input(data, size);
  HoldOneRecord();
  CheckReadWriteRead(input, ReadDatabase, DatabaseBytes, DatabaseState);
  CheckMerge(input);
  ResetSpeakerDatabase(gDatabase);
  return 0;
}
