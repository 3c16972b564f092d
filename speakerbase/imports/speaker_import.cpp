#include "speakerbase/imports/speaker_import.h"

#include <array>
#include <cmath>

#include "design/model/balloon_codes.h"
#include "framework/core/text_encoding.h"

namespace {

constexpr int16_t kHalfEfficiency = 500;  // 50 percent, stored x 10

constexpr std::array<const char*, kBandCount> kBandLabels = {"125 Hz", "250 Hz", "500 Hz", "1 kHz",
                                                             "2 kHz",  "4 kHz",  "8 kHz"};

}  // namespace

ImportMessage FileMessage(const char* text, const std::string& path) {
  return {std::string(text) + "\n" + Utf8ToCp1252(path), ""};
}

double ComputeDirectivityFactor(const SpeakerType& record, int band) {
  return DirectivityFactor(record.BalloonBand(band));
}

void StoreBalloonDirectivity(SpeakerType& record, int band) {
  int16_t q10 = 0;
  // The factor of a balloon of codes is always finite.
  DirectivityToStored(ComputeDirectivityFactor(record, band), q10);
  record.SetDirectivityQ10(band, q10);
}

bool StoreDirectivityIndex(SpeakerType& record, int band, double directivityIndexDb) {
  int16_t q10 = 0;
  // -inf dB gives a finite Q of 0, but is no index a file may hold.
  if (!std::isfinite(directivityIndexDb) || !DirectivityToStored(std::pow(10.0, directivityIndexDb / 10.0), q10))
    return false;
  record.SetDirectivityQ10(band, q10);
  return true;
}

void StoreBandEfficiency(SpeakerType& record, int band) {
  const double sensitivity = record.Sensitivity(band);
  int16_t efficiency10 = 0;
  // An efficiency too large for a double (thousands of dB) is the largest
  // stored one, as every larger finite one is.
  if (sensitivity > 0 && !EfficiencyToStored(EfficiencyPercent(sensitivity, record.DirectivityQ10(band)), efficiency10))
    efficiency10 = INT16_MAX;
  record.SetEfficiency(band, efficiency10);
}

bool HasImplausibleEfficiency(const SpeakerType& record, int band) {
  return record.Sensitivity(band) > 0 && record.Efficiency(band) > kHalfEfficiency;
}

ImportMessage BandEfficiencyWarning(int band) {
  return {std::string("Check balloon and SPL at ") + kBandLabels[size_t(band)], kEfficiencyWarning};
}

void FinishImportedRecord(SpeakerType& record, uint16_t gridCode, EfficiencyWarning warning,
                          std::vector<ImportMessage>& messages) {
  for (int band = 0; band < kBandCount; ++band) {
    StoreBalloonDirectivity(record, band);
    StoreBandEfficiency(record, band);
    if (!(record.Sensitivity(band) > 0)) continue;
    if (HasImplausibleEfficiency(record, band)) {
      messages.push_back(warning(band));
    } else {
      record.SetImportMask(0, uint16_t(1u << band));
      record.SetImportMask(2, uint16_t(1u << band));
    }
  }
  record.SetGridCode(gridCode);
  record.SetLayoutFlag(kCurrentSpeakerLayout);
  record.SetComposition(kCompositionComplete);
}
