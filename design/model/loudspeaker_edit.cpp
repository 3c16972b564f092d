#include "design/model/loudspeaker_edit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_lines.h"

namespace {

constexpr double kPi = 3.141592654;
constexpr double kRadiansPerDegree = 0.017453292522222223;  // pi / 180
constexpr size_t kNameChars = 10;                           // group and name

// Reads a changed text, converted, into `value`; true when it did. An
// unchanged text, or one that gives no float, leaves it.
template <typename Convert>
bool TakeChanged(const std::string& typed, const std::string& shown, float& value, Convert convert) {
  double read = 0;
  if (typed == shown || !ReadTypedNumber(typed, read)) return false;
  const float converted = float(convert(read));
  if (!std::isfinite(converted)) return false;
  value = converted;
  return true;
}
bool TakeChanged(const std::string& typed, const std::string& shown, float& value) {
  return TakeChanged(typed, shown, value, [](double v) { return v; });
}

void ShowBands(LoudspeakerEdit& edit, const char* gainFormat) {
  const Loudspeaker& s = edit.speaker;
  EqualizerBands gains{};
  for (size_t b = 0; b < kBandCount; ++b) {
    edit.shown.gains[b] = FormatNumber(gainFormat, s.eqGain[b]);
    edit.shown.powers[b] = FormatNumber("%3.2f", s.power[b]);
    gains[b] = s.eqGain[b];
  }
  edit.shown.powerSum = FormatNumber("%3.2f", std::accumulate(s.power.begin(), s.power.end(), 0.0));
  edit.shown.totalGain = FormatNumber("%3.2f", TotalEqGain(gains));
}

// The copy's band powers and intensities from its gains and the chosen type.
void ComputeSpeakerBandPower(LoudspeakerEdit& edit) { UpdateSpeakerBandPower(edit.speaker, edit.type); }

}  // namespace

LoudspeakerEdit OpenLoudspeakerEdit(const Loudspeaker& speaker, std::string_view typeName, const SpeakerType* type) {
  LoudspeakerEdit edit;
  edit.speaker = speaker;
  edit.typeName = std::string(typeName.substr(0, kTypeNameSize));
  if (type) std::copy_n(type->bytes.begin(), kTypeBalloon, edit.type.bytes.begin());

  LoudspeakerEditTexts& t = edit.shown;
  t.typeName = edit.typeName;
  t.group = speaker.group;
  t.name = speaker.name;
  for (size_t i = 0; i < 3; ++i) t.position[i] = FormatNumber("%3.3f", LengthInUserUnit(speaker.position[i]));
  const std::array<float, 3> angles = {speaker.horizontal, speaker.vertical, speaker.rotation};
  for (size_t i = 0; i < 3; ++i) t.angles[i] = FormatNumber("%3.0f", angles[i] * 180 / kPi);
  t.delay = FormatNumber("%3.3f", speaker.delay);
  t.on = (speaker.on & 1) != 0;
  t.positive = speaker.polarity > -1;
  ShowBands(edit, "%3.1f");
  return edit;
}

void TakeEditSpeakerType(LoudspeakerEdit& edit, std::string_view name, const SpeakerType& header) {
  edit.typeName = std::string(name.substr(0, kTypeNameSize));
  edit.shown.typeName = edit.typeName;
  std::copy_n(header.bytes.begin(), kTypeBalloon, edit.type.bytes.begin());
  Loudspeaker& s = edit.speaker;
  s.nominalPower = header.RatedPower(0);
  for (int b = 1; b < kBandCount; ++b) s.nominalPower = std::max(s.nominalPower, header.RatedPower(b));
  s.eqGain.fill(kChosenTypeGain);
  ComputeSpeakerBandPower(edit);
  ShowBands(edit, "%3.1f");
}

EqualizerBands EditEqGains(LoudspeakerEdit& edit, const LoudspeakerEditTexts& typed) {
  EqualizerBands gains{};
  for (size_t b = 0; b < kBandCount; ++b) {
    TakeChanged(typed.gains[b], edit.shown.gains[b], edit.speaker.eqGain[b]);
    edit.shown.gains[b] = typed.gains[b];
    gains[b] = edit.speaker.eqGain[b];
  }
  return gains;
}

bool TakeEditEqGains(LoudspeakerEdit& edit, const EqualizerBands& gains) {
  if (!AcceptEqGains(gains)) return false;
  for (size_t b = 0; b < kBandCount; ++b) edit.speaker.eqGain[b] = float(gains[b]);
  ComputeSpeakerBandPower(edit);
  ShowBands(edit, "%3.2f");
  return true;
}

int ApplyLoudspeakerEdit(const LoudspeakerEdit& edit, const LoudspeakerEditTexts& typed, Loudspeaker& speaker,
                         std::string& typeName) {
  const LoudspeakerEditTexts& shown = edit.shown;
  const std::string name = typed.typeName != shown.typeName ? typed.typeName.substr(0, kTypeNameSize) : edit.typeName;
  if (name.empty()) {
    ShowMessage(kSpeakerTypeMissingMessage, nullptr, kMsgOk);
    return 0;
  }

  Loudspeaker s = edit.speaker;
  if (typed.group != shown.group) s.group = typed.group.substr(0, kNameChars);
  if (typed.name != shown.name) s.name = typed.name.substr(0, kNameChars);
  bool valid = true;
  for (size_t i = 0; i < 3; ++i)
    if (TakeChanged(typed.position[i], shown.position[i], s.position[i], LengthFromUserUnit))
      valid = valid && IsTypedCoordinate(s.position[i]);
  std::array<float*, 3> angles = {&s.horizontal, &s.vertical, &s.rotation};
  for (size_t i = 0; i < 3; ++i)
    TakeChanged(typed.angles[i], shown.angles[i], *angles[i],
                [](double degrees) { return WrappedDegrees(degrees) * kRadiansPerDegree; });
  if (TakeChanged(typed.delay, shown.delay, s.delay)) valid = valid && IsTypedDelay(s.delay);
  if (!valid) {
    ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk);
    return 0;
  }
  if (typed.on != shown.on) s.on = typed.on ? uint16_t(s.on | 1) : uint16_t(s.on & ~1u);
  if (typed.positive != shown.positive) s.polarity = typed.positive ? 1 : -1;
  for (size_t b = 0; b < kBandCount; ++b) TakeChanged(typed.gains[b], shown.gains[b], s.eqGain[b]);

  speaker = s;
  typeName = name;
  return 1;
}
