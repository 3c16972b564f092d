// The texts of the "Edit Speaker Data" dialog and their way back into a
// record: the dialog shows SpeakerHeaderFields made from the record's first
// 512 bytes, its buttons call the helpers below, and OK stores the fields
// with ApplySpeakerHeader. Numbers are shown and read with '.', whatever the
// locale; a comma typed in a power or sensitivity field counts as a point.
//
// Per band (125 Hz .. 8 kHz): rated power "%4.1f" (W, +104), sensitivity
// "%3.1f" (dB at 1 W / 1 m, +76), impedance "%3d" (ohms, +174), the stored
// directivity Q x 10 / 10 "%2.1f" (+146, shown only) and the efficiency in
// percent "%2.1f", computed from sensitivity and Q when the dialog opens and
// stored x 10 at +160 on OK. A text that does not parse, and a negative
// impedance, leave the record's value as it was.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "design/model/speaker_type.h"

constexpr int kCrossoverCount = 6;  // 125/250 .. 4k/8kHz, bits 0 to 5

using BandTexts = std::array<std::string, kBandCount>;

struct SpeakerHeaderFields {
  std::string brand;     // at most 20 characters
  std::string typeName;  // at most 8
  std::string comment;   // at most 40
  std::array<bool, kCrossoverCount> crossovers{};
  BandTexts power, sensitivity, impedance, directivity, efficiency;
};

SpeakerHeaderFields FormatSpeakerHeader(const SpeakerType& record);

// The buttons beside the rows: the first band's text into the other six.
void CopyFirstBandToAll(BandTexts& texts);
// Recomputes the efficiency texts ("%3.1f") from the sensitivity texts and
// the record's stored Q; a band whose sensitivity does not parse keeps its
// text.
void RecomputeEfficiencyTexts(SpeakerHeaderFields& fields, const SpeakerType& record);
// Turns decimal commas into points in the power and sensitivity texts.
void FixHeaderDecimalCommas(SpeakerHeaderFields& fields);

// OK: stores the fields into `record` (texts, crossover mask, power,
// sensitivity, impedance and efficiency) and returns true; returns false
// without a change when the record is no complete loudspeaker (component
// kind 1), and the dialog stays open.
bool ApplySpeakerHeader(const SpeakerHeaderFields& fields, SpeakerType& record);
