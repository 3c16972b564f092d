// The texts of the "Edit Loudspeaker" dialog and their way back into a
// loudspeaker. The dialog edits a working copy (LoudspeakerEdit) and shows
// the texts the copy gives; its "Speaker Type" and "EQ" buttons change only
// the copy, and OK stores the copy in the loudspeaker with
// ApplyLoudspeakerEdit. So Cancel leaves the loudspeaker as it was.
//
// OK takes back only the fields whose text differs from what the dialog was
// last given: opening the dialog and pressing OK leaves the loudspeaker
// byte for byte as it was (aim angles are not rounded to whole degrees, nor
// gains to 0.1 dB). Numbers are shown and read with '.', whatever the
// locale; a comma typed in any number field counts as a point. A number
// field whose text is no number leaves its value as it was; a position
// beyond kMaxTypedCoordinate (geometry.h) and a delay outside 0 ..
// kMaxTypedDelay are refused with "Invalid entry !".
//
// The fields: type name (at most 9 characters), group and name (10 each),
// position x, y, z "%3.3f" in the user's unit (metres or feet), the
// horizontal, vertical and rotation angles in degrees "%3.0f" (typed ones
// are brought into -180 .. 180), delay "%3.3f" ms, on or off, polarity " +"
// or " -", per band the gain "%3.1f" dB ("%3.2f" after the equaliser) and
// the electrical power "%3.2f" W, the sum of the powers "%3.2f" W and the
// total gain "%3.2f" dB.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "design/model/equalizer.h"
#include "design/model/loudspeaker.h"
#include "design/model/speaker_type.h"

inline constexpr char kSpeakerTypeMissingMessage[] = "Speaker Type Missing !";

// The gain every band gets when a type is chosen in the dialog, dB.
constexpr float kChosenTypeGain = -9.0f;

using BandFieldTexts = std::array<std::string, kBandCount>;

struct LoudspeakerEditTexts {
  std::string typeName;
  std::string group;
  std::string name;
  std::array<std::string, 3> position;  // x, y, z
  std::array<std::string, 3> angles;    // horizontal, vertical, rotation
  std::string delay;
  bool on = true;        // "On" selected, else "Off"
  bool positive = true;  // " +" selected, else " -"
  BandFieldTexts gains;
  BandFieldTexts powers;  // shown only
  std::string powerSum;   // shown only
  std::string totalGain;  // shown only
};

struct LoudspeakerEdit {
  Loudspeaker speaker;   // the working copy
  std::string typeName;  // the copy of the type name
  // The band data of the type the powers are computed from (its rated power
  // and sensitivity, bytes 0..511): the loudspeaker's own type, or the one
  // chosen with "Speaker Type".
  SpeakerType type;
  LoudspeakerEditTexts shown;  // what the dialog was last given
};

// The dialog's start for `speaker` of type `typeName`; `type` is its type in
// the project, null for a new loudspeaker (whose powers stay 0 until a type
// is chosen).
LoudspeakerEdit OpenLoudspeakerEdit(const Loudspeaker& speaker, std::string_view typeName, const SpeakerType* type);

// "Speaker Type" chose the record `name` whose header (bytes 0..511, open) is
// `header`: the copy takes the name, the largest rated power of the bands as
// its nominal power and kChosenTypeGain in every band, and its powers are
// recomputed (UpdateSpeakerBandPower). The dialog shows the type name, gains,
// powers and sums again.
void TakeEditSpeakerType(LoudspeakerEdit& edit, std::string_view name, const SpeakerType& header);

// "EQ": the gains the equaliser opens on, the typed ones taken into the copy
// first.
EqualizerBands EditEqGains(LoudspeakerEdit& edit, const LoudspeakerEditTexts& typed);
// The equaliser's OK: false, the copy unchanged, after the total-gain
// message (AcceptEqGains); otherwise the copy takes the gains, its powers
// are recomputed and the dialog shows gains ("%3.2f"), powers and sums again.
bool TakeEditEqGains(LoudspeakerEdit& edit, const EqualizerBands& gains);

// OK with the dialog's texts: 0 after "Speaker Type Missing !" when the type
// name is empty, or after "Invalid entry !" for a position or delay refused
// (the dialog stays, nothing changes); otherwise the changed
// fields go into the copy, the copy is stored in `speaker` and its type name
// in `typeName`, and 1. Powers are not recomputed here: the calling command
// gives the loudspeaker its type first.
int ApplyLoudspeakerEdit(const LoudspeakerEdit& edit, const LoudspeakerEditTexts& typed, Loudspeaker& speaker,
                         std::string& typeName);
