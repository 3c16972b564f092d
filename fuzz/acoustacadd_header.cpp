// The AcoustaCadd import's loudspeaker headers (.SPK): the picks of one run
// of the import dialog, each 256 bytes of the input one header (a shorter
// tail is no pick), so that a horn and its driver pair; then the dialog's
// OK.
#include <string>
#include <vector>

#include "fuzz/import_check.h"
#include "speakerbase/imports/acoustacadd_import.h"

namespace {

bool SameState(const AcoustaCaddImportState& a, const AcoustaCaddImportState& b) {
  return a.driverPending == b.driverPending && a.hornPending == b.hornPending && a.pickPending == b.pickPending &&
         a.hornPath == b.hornPath && a.balloonPath == b.balloonPath;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  AcoustaCaddImportState state;
  SpeakerType record;
  for (size_t pick = 0; (pick + 1) * kSpkHeaderSize <= size; ++pick) {
    const std::string path = "/speakers/PICK" + std::to_string(pick) + ".SPK";
    const AcoustaCaddImportState before = state;
    const SpeakerType held = record;
    if (!ParseSpkHeader(state, std::span<const uint8_t, kSpkHeaderSize>(data + pick * kSpkHeaderSize, kSpkHeaderSize),
                        record, path)) {
      FuzzRequire(SameState(state, before) && record.bytes == held.bytes, "a refused header changes nothing");
      continue;
    }
    CheckSpeakerFigures(record, 0);
    FuzzRequire(!(state.hornPending && state.driverPending), "a horn and a driver are never both pending");
    FuzzRequire(state.balloonPath == path || state.balloonPath == before.hornPath,
                "the balloons are the pick's or its horn's");
  }
  std::vector<ImportMessage> messages;
  const bool complete = AcoustaCaddRecordComplete(record, messages);
  FuzzRequire(complete == (record.Composition() == kCompositionComplete), "OK takes a complete loudspeaker");
  FuzzRequire(messages.empty() || (messages.size() == 1 && (messages[0].text == kHornWithoutDriverMessage ||
                                                            messages[0].text == kDriverWithoutHornMessage)),
              "OK names the missing part");
  return 0;
}
