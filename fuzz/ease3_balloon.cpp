// The EASE 3 import's balloon file (.LOB): the balloon of a record read
// from its loudspeaker file.
#include <algorithm>

#include "fuzz/import_check.h"
#include "speakerbase/imports/ease_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  SpeakerType record;
  record.SetTypeName("HELD");
  std::ranges::fill(std::span(record.bytes).subspan(kTypeBalloon), uint8_t(7));
  const SpeakerType held = record;
  MemoryReader reader(FuzzInput(data, size));
  if (!ReadEase3Balloon(reader, record)) {
    FuzzRequire(record.bytes == held.bytes, "a refused file leaves the record alone");
    return 0;
  }
  FuzzRequire(std::equal(record.bytes.begin(), record.bytes.begin() + kTypeBalloon, held.bytes.begin()),
              "a balloon file changes the balloon alone");
  return 0;
}
