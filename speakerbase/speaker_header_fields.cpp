#include "speakerbase/speaker_header_fields.h"

#include <limits>

#include "design/model/balloon_codes.h"
#include "framework/core/geometry.h"
#include "framework/core/text_format.h"
#include "framework/core/text_lines.h"

namespace {

// A typed field (ReadTypedNumber and ReadTypedInteger, text_lines.h);
// false when it is no number, or no whole one for an integer.
bool ReadField(const std::string& text, int& value) { return ReadTypedInteger(text, value); }
template <typename T>
bool ReadField(const std::string& text, T& value) {
  double read = 0;
  if (!ReadTypedNumber(text, read)) return false;
  value = T(read);
  return true;
}

double StoredQ(const SpeakerType& record, int band) { return record.DirectivityQ10(band) / 10.0; }

// An impedance is whole ohms, never negative, within the record's 16-bit word.
bool IsImpedance(int ohms) { return ohms >= 0 && ohms <= std::numeric_limits<int16_t>::max(); }

}  // namespace

SpeakerHeaderFields FormatSpeakerHeader(const SpeakerType& record) {
  SpeakerHeaderFields f;
  f.brand = record.Brand();
  f.typeName = record.TypeName();
  f.comment = record.Comment();
  for (int i = 0; i < kCrossoverCount; ++i) f.crossovers[size_t(i)] = (record.BandSelection() >> i) & 1;
  for (int b = 0; b < kBandCount; ++b) {
    const size_t band = size_t(b);
    f.power[band] = FormatText("%4.1f", record.RatedPower(b));
    f.sensitivity[band] = FormatText("%3.1f", record.Sensitivity(b));
    f.impedance[band] = FormatText("%3d", record.Impedance(b));
    f.directivity[band] = FormatText("%2.1f", StoredQ(record, b));
    f.efficiency[band] = FormatText("%2.1f", EfficiencyPercent(record.Sensitivity(b), record.DirectivityQ10(b)));
  }
  return f;
}

void CopyFirstBandToAll(BandTexts& texts) {
  for (std::string& text : texts) text = texts[0];
}

void RecomputeEfficiencyTexts(SpeakerHeaderFields& fields, const SpeakerType& record) {
  FixHeaderDecimalCommas(fields);
  for (int b = 0; b < kBandCount; ++b) {
    double sensitivity = 0;
    if (ReadField(fields.sensitivity[size_t(b)], sensitivity))
      fields.efficiency[size_t(b)] = FormatText("%3.1f", EfficiencyPercent(sensitivity, record.DirectivityQ10(b)));
  }
}

void FixHeaderDecimalCommas(SpeakerHeaderFields& fields) {
  for (BandTexts* texts : {&fields.power, &fields.sensitivity})
    for (std::string& text : *texts) FixDecimalCommaText(text);
}

bool ApplySpeakerHeader(const SpeakerHeaderFields& input, SpeakerType& record) {
  if (record.Composition() != kCompositionComplete) return false;
  SpeakerHeaderFields fields = input;
  FixHeaderDecimalCommas(fields);
  record.SetBrand(fields.brand);
  record.SetTypeName(fields.typeName);
  record.SetComment(fields.comment);
  uint16_t mask = 0;
  for (int i = 0; i < kCrossoverCount; ++i)
    if (fields.crossovers[size_t(i)]) mask = uint16_t(mask | (1u << i));
  record.SetBandSelection(mask);
  for (int b = 0; b < kBandCount; ++b) {
    const size_t band = size_t(b);
    float value = 0;
    if (ReadField(fields.power[band], value)) record.SetRatedPower(b, value);
    if (ReadField(fields.sensitivity[band], value)) record.SetSensitivity(b, value);
    int impedance = 0;
    if (ReadField(fields.impedance[band], impedance) && IsImpedance(impedance))
      record.SetImpedance(b, int16_t(impedance));
    double efficiency = 0;
    int16_t stored = 0;
    if (ReadField(fields.efficiency[band], efficiency) && EfficiencyToStored(efficiency, stored))
      record.SetEfficiency(b, stored);
  }
  return true;
}
