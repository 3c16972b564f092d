// The AcoustaCadd import's balloon files: one band's levels, normalised to
// their largest, into a record whose header was read.
#include <algorithm>

#include "design/model/balloon_codes.h"
#include "fuzz/import_check.h"
#include "speakerbase/imports/acoustacadd_import.h"

namespace {

// The reading is the same for every band; this one is read.
constexpr int kBand = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  SpeakerType record;
  for (int band = 0; band < kBandCount; ++band) record.SetSensitivity(band, 90.0f);
  std::ranges::fill(std::span(record.bytes).subspan(kTypeBalloon), uint8_t(7));
  const SpeakerType held = record;
  MemoryReader reader(FuzzInput(data, size));
  if (!ReadAcoustaCaddBalloon(reader, record, kBand)) {
    FuzzRequire(record.bytes == held.bytes, "a short balloon file leaves the record alone");
    return 0;
  }
  CheckSpeakerFigures(record, 0);
  FuzzRequire(record.Sensitivity(kBand) >= held.Sensitivity(kBand), "normalising raises the sensitivity");
  FuzzRequire(std::ranges::all_of(record.BalloonBand(kBand), [](uint8_t code) { return code <= kBalloonCodeZeroDb; }),
              "a normalised balloon lies at or below 0 dB");
  SpeakerType others = record;
  others.SetSensitivity(kBand, held.Sensitivity(kBand));
  std::ranges::copy(held.BalloonBand(kBand), others.BalloonBand(kBand).begin());
  FuzzRequire(others.bytes == held.bytes, "a balloon file changes its band alone");
  return 0;
}
