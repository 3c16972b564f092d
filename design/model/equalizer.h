// The equaliser dialog's values ("EQ_DLG"): seven per-band values, each with
// a scroll bar of range 0 .. 100 and a value field, and a master bar that
// moves all seven at once. The dialog shows what this model holds and hands
// it every scroll action; the loudspeaker commands and the edit dialog edit
// gains with it, the RT60 window the measured reverberation times.
//
// Two modes:
// - equaliser: gains in dB, each held in -100 .. 0. A bar's position is the
//   gain's negative (0 dB at the top). Line steps 1 dB, page steps 10 dB,
//   the thumb moves the gain by the bar's change in whole dB, top is 0 dB,
//   bottom -100 dB. The whole is the total 10 log10(sum of 10^(g / 10)).
// - "RT 60": reverberation times in s, each held in 0 .. 10. A bar's
//   position is 100 - 10 x time. Line steps 0.1 s, page steps 1 s, the thumb
//   0.1 s per bar step, top 10 s, bottom 0 s. The whole is the mean.
// The master is the largest of the seven values. A master step moves the
// master within the range and every value by the same amount, each held in
// the range, so the master never moves a value past either end.
//
// Display offsets: every field shows its value plus its offset (the common
// equalisation of several loudspeakers starts every field at 0 whatever
// their gains). Ranges, bars and steps work on the values themselves: from a
// gain of -9 dB shown as 0, two line steps up give -7 dB, shown as 2.
#pragma once

#include <array>
#include <span>
#include <string>

#include "design/model/speaker_type.h"

enum class EqualizerMode : int { kEqualizer = 0, kRt60 = 1 };

// The controls: bands 0 .. 6 and the master.
constexpr int kEqualizerMaster = kBandCount;
constexpr int kEqualizerControls = kBandCount + 1;
constexpr int kEqualizerBarRange = 100;  // positions 0 .. 100

// The scroll actions of a bar (a thumb action brings its new position).
enum class EqualizerStep { kLineUp, kLineDown, kPageUp, kPageDown, kThumb, kTop, kBottom };

using EqualizerBands = std::array<double, kBandCount>;

struct EqualizerValues {
  EqualizerMode mode = EqualizerMode::kEqualizer;
  EqualizerBands values{};                           // each within the mode's range
  std::array<double, kEqualizerControls> offsets{};  // added to what each field shows
};

// The dialog's start: `values` held in the mode's range.
EqualizerValues OpenEqualizer(const EqualizerBands& values, EqualizerMode mode,
                              const std::array<double, kEqualizerControls>& offsets = {});

// The largest of the seven values.
double EqualizerMaster(const EqualizerValues& eq);
// The position of a control's bar, 0 .. 100, rounded to the nearest.
int EqualizerBarPosition(const EqualizerValues& eq, int control);
// One scroll action on a control's bar; `thumbPosition` is the bar's new
// position for kThumb. A control outside 0 .. 7 changes nothing.
void StepEqualizer(EqualizerValues& eq, int control, EqualizerStep step, int thumbPosition = 0);

// What the fields show: a control's value plus its offset ("%2.1f"), and
// the whole of the seven values ("%2.1f").
std::string EqualizerFieldText(const EqualizerValues& eq, int control);
std::string EqualizerWholeText(const EqualizerValues& eq);

// The dialog's title, unit label and whole label in a mode.
struct EqualizerLabels {
  const char* title;
  const char* unit;
  const char* whole;
};
EqualizerLabels EqualizerLabelsOf(EqualizerMode mode);

// ---- The total gain check ----

inline constexpr char kEqTotalExceededMessage[] =
    "Total output exceeds the speaker\x92s maximum power (total > 0.0 dB).";
inline constexpr char kEqNotAppliedCaption[] = "EQ settings could not be applied.";

// 10 log10(sum of 10^(g / 10)) over the seven gains, dB.
double TotalEqGain(std::span<const double, kBandCount> gains);
// Whether gains may be taken: their total must not exceed 0 dB; otherwise
// "Total output exceeds the speaker’s maximum power (total > 0.0 dB)." under
// "EQ settings could not be applied." and false. Seven gains of 0 dB total
// 8.45 dB and are refused, seven of -9 dB total -0.55 dB and are taken.
bool AcceptEqGains(std::span<const double, kBandCount> gains);
