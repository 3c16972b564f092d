#include "design/model/equalizer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "framework/core/geometry.h"
#include "framework/core/services.h"

namespace {

// A mode's range and steps. Every bar grows downwards while its value grows
// upwards: position = (top - value) x barStepsPerUnit.
struct ModeScale {
  double bottom, top;
  double line, page;
  double barStepsPerUnit;
};

ModeScale ScaleOf(EqualizerMode mode) {
  if (mode == EqualizerMode::kRt60) return {0.0, 10.0, 0.1, 1.0, 10.0};
  return {-100.0, 0.0, 1.0, 10.0, 1.0};
}

double Held(const ModeScale& scale, double value) { return std::clamp(value, scale.bottom, scale.top); }

double ValueOf(const EqualizerValues& eq, int control) {
  return control == kEqualizerMaster ? EqualizerMaster(eq) : eq.values[size_t(control)];
}

bool IsControl(int control) { return control >= 0 && control < kEqualizerControls; }

}  // namespace

EqualizerValues OpenEqualizer(const EqualizerBands& values, EqualizerMode mode,
                              const std::array<double, kEqualizerControls>& offsets) {
  EqualizerValues eq;
  eq.mode = mode;
  eq.offsets = offsets;
  const ModeScale scale = ScaleOf(mode);
  for (size_t b = 0; b < values.size(); ++b)
    eq.values[b] = std::isnan(values[b]) ? scale.bottom : Held(scale, values[b]);
  return eq;
}

double EqualizerMaster(const EqualizerValues& eq) { return *std::max_element(eq.values.begin(), eq.values.end()); }

int EqualizerBarPosition(const EqualizerValues& eq, int control) {
  if (!IsControl(control)) return 0;
  const ModeScale scale = ScaleOf(eq.mode);
  const long position = std::lround((scale.top - ValueOf(eq, control)) * scale.barStepsPerUnit);
  return int(std::clamp(position, 0L, long(kEqualizerBarRange)));
}

void StepEqualizer(EqualizerValues& eq, int control, EqualizerStep step, int thumbPosition) {
  if (!IsControl(control)) return;
  const ModeScale scale = ScaleOf(eq.mode);
  const double current = ValueOf(eq, control);
  double target = current;
  switch (step) {
    case EqualizerStep::kLineUp: target += scale.line; break;
    case EqualizerStep::kLineDown: target -= scale.line; break;
    case EqualizerStep::kPageUp: target += scale.page; break;
    case EqualizerStep::kPageDown: target -= scale.page; break;
    case EqualizerStep::kThumb:
      target -= (thumbPosition - EqualizerBarPosition(eq, control)) / scale.barStepsPerUnit;
      break;
    case EqualizerStep::kTop: target = scale.top; break;
    case EqualizerStep::kBottom: target = scale.bottom; break;
  }
  target = Held(scale, target);
  if (control != kEqualizerMaster) {
    eq.values[size_t(control)] = target;
    return;
  }
  const double moved = target - current;
  for (double& value : eq.values) value = Held(scale, value + moved);
}

std::string EqualizerFieldText(const EqualizerValues& eq, int control) {
  if (!IsControl(control)) return {};
  return FormatNumber("%2.1f", ValueOf(eq, control) + eq.offsets[size_t(control)]);
}

std::string EqualizerWholeText(const EqualizerValues& eq) {
  if (eq.mode == EqualizerMode::kRt60)
    return FormatNumber("%2.1f", std::accumulate(eq.values.begin(), eq.values.end(), 0.0) / kBandCount);
  return FormatNumber("%2.1f", TotalEqGain(eq.values));
}

EqualizerLabels EqualizerLabelsOf(EqualizerMode mode) {
  if (mode == EqualizerMode::kRt60) return {"RT 60", " s", "mean"};
  return {"Equalizer", "dB", "total"};
}

double TotalEqGain(std::span<const double, kBandCount> gains) {
  double sum = 0;
  for (double gain : gains) sum += std::pow(10.0, gain / 10.0);
  return 10.0 * std::log10(sum);
}

bool AcceptEqGains(std::span<const double, kBandCount> gains) {
  if (TotalEqGain(gains) <= 0.0) return true;
  ShowMessage(kEqTotalExceededMessage, kEqNotAppliedCaption, kMsgOk);
  return false;
}
