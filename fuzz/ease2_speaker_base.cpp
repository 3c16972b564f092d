// The EASE 2 import of the speaker-database editor: every loudspeaker of a
// speaker base ("catalog.lsp"), as many as the table has room for.
#include <algorithm>
#include <string>

#include "fuzz/import_check.h"
#include "speakerbase/imports/ease_import.h"

namespace {

// A small room, so that a catalog of three records already meets the
// message of too many.
constexpr int kRoom = 2;

bool IsEfficiencyWarning(const ImportMessage& message) {
  return message.caption == kEfficiencyWarning && message.text.starts_with("Check balloon and SPL at ");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  MemoryReader reader(FuzzInput(data, size));
  const SpeakerImport import = ReadEase2SpeakerBase(reader, kRoom);
  // No record's values refuse a catalog: each record takes what it holds.
  const size_t stored = size / kEase2RecordSize;
  FuzzRequire(import.records.size() == std::min<size_t>(stored, kRoom), "every record that fits is imported");
  auto warnings = import.messages.begin();
  if (stored > size_t(kRoom)) {
    FuzzRequire(!import.messages.empty() && import.messages[0] == ImportMessage{kEase2TooManyRecordsMessage, ""},
                "a catalog too large says so first");
    ++warnings;
  }
  FuzzRequire(std::all_of(warnings, import.messages.end(), IsEfficiencyWarning), "the rest are efficiency warnings");
  FuzzRequire(size_t(import.messages.end() - warnings) <= kBandCount * import.records.size(),
              "at most one warning a band");
  for (const SpeakerType& record : import.records) CheckImportedRecord(record);
  return 0;
}
