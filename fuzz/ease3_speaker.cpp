// The EASE 3 import's loudspeaker file (.spk): a new record from its names
// and band figures.
#include "fuzz/import_check.h"
#include "speakerbase/imports/ease_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  // A record held before, for a refused file to leave alone.
  SpeakerType record;
  record.SetTypeName("HELD");
  const SpeakerType held = record;
  MemoryReader reader(FuzzInput(data, size));
  if (!ReadEase3Speaker(reader, record)) {
    FuzzRequire(record.bytes == held.bytes, "a refused file leaves the record alone");
    return 0;
  }
  CheckImportedRecord(record);
  return 0;
}
