// kdn's property dialogs on records their callers hand them: "Edit
// Loudspeaker" (DIALOG_9) on one placed loudspeaker (for the loudspeaker
// commands and the EASE import), and the equaliser (EQ_DLG) on seven
// per-band values, either loudspeaker gains or the project's measured
// reverberation times. The values and texts they
// show come from design/model (loudspeaker_edit.h, equalizer.h); these are
// their windows. A dialog that cannot be shown reports "Unable to display
// dialog" and counts as cancelled.
//
// Every number field of the edit dialog takes a typed ',' as '.' while the
// user types.
#pragma once

#include <array>
#include <string>

#include "design/model/equalizer.h"
#include "design/model/loudspeaker.h"
#include "design/model/speaker_type.h"

inline constexpr char kEditLoudspeakerDialog[] = "DIALOG_9";
inline constexpr char kEqualizerDialog[] = "EQ_DLG";

// DIALOG_9 on `speaker` of type `typeName`, whose band data (rated powers
// and sensitivities, bytes 0..511) `type` holds; null for a new loudspeaker
// with an empty type name. Controls: type name 101, group 102, name 103,
// position 104-106 (in feet while the unit flag says so; label 144 the
// unit), angles 107-109 in degrees, delay 111 in ms, "On"/"Off" 112/113,
// " +"/" -" 130/131, gains 114-120, powers 134-140, their sum 141 and the
// total gain 143; "Speaker Type" 123 (the "Select Loudspeaker" dialog),
// "EQ" 124 (the equaliser on the gains), OK 121, Cancel 122.
//
// The dialog works on a copy: "Speaker Type" and "EQ" change only the copy.
// OK with an empty type name shows "Speaker Type Missing !" and the dialog
// stays; otherwise the fields the user changed go into `speaker` and
// `typeName` and the result is 1. Cancel and the close box give 0 and leave
// both as they were. OK does not recompute the powers: the calling command
// gives the loudspeaker its type first (UseSpeakerType) and then
// UpdateSpeakerBandPower.
int ShowEditLoudspeakerDialog(Loudspeaker& speaker, std::string& typeName, const SpeakerType* type);

// What each of the eight fields (bands, master) shows beyond its value.
using EqualizerOffsets = std::array<double, kEqualizerControls>;

// EQ_DLG on `values` in `mode`: bars 201-207 for the bands 125 .. 8000 Hz
// and 208 "Master", value fields 101-108 (each its value plus its offset),
// the whole (total gain or mean) in 109, unit label 301 and whole label 302;
// OK 401, Cancel 402. Every scroll action of a bar (line, page, thumb, top,
// bottom) steps the values as equalizer.h describes. 1 on OK with the seven
// values written back; 0 on Cancel, the close box, or when the dialog
// cannot be shown, `values` left alone.
int ShowEqualizerDialog(EqualizerBands& values, EqualizerMode mode, const EqualizerOffsets& offsets = {});
