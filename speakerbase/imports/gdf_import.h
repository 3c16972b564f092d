// Import of one loudspeaker from a GDF text file: header keyword lines, then
// a section per octave band with its keywords and a table of levels over the
// sphere.
//
// A keyword matches at the start of a line in any letter case; its value
// begins one character after it (framework/core/text_lines.h). Outside a band section:
// "Device Name" (type name, 8 characters), "Manufacturer" (brand, 20),
// "File Notes:" (comment, 40), "# Frequency Band Section" (starts a section)
// and "Sphere Size". Inside a section:
//   "Sphere Size"          a value beginning with 'F' or 'f' is a full sphere,
//                          anything else a half sphere
//   "Frequency (Hz)"       the first three characters of the value select the
//                          band: "125", "250", "500", "100", "200", "400", "800"
//                          (so "1000" is band 3); a section of another
//                          frequency is read and dropped. The band's sphere
//                          is the "Sphere Size" in force here (a later one
//                          does not change it)
//   "Sensitivity (1W-1M)", "Impedance", "MaxPower (W)"  the band's figures
//   "Phi Inc"              the phi step, one for all bands; it must be 5
//   "Theta Inc"            the theta step, which must be 5; the next 72 lines
//                          (the band's sphere full) or 37 (half, theta 0 to
//                          180 degrees) are the band's table, and the section
//                          ends
// Every number of a table line (one whose first character other than blanks is
// a digit, '.', '-' or '+') is appended to the band's table of 72 theta rows
// of 37 phi values (phi 0 to 180 degrees): value (theta c, phi r) at index
// c x 37 + r. Values are attenuations, positive below the reference.
//
// The record: the values negated and normalised to their largest (which
// raises the band's sensitivity), a half sphere mirrored through theta 180
// degrees, balloon code (band, row r, column c) of value (c, r), Q from the
// balloon, efficiency, and the grid code from the phi rows and the sphere of
// the last band with a sensitivity.
#pragma once

#include <string>
#include <vector>

#include "speakerbase/imports/speaker_import.h"

constexpr int kGdfPhiValues = 37;
constexpr int kGdfThetaRows = 72;
constexpr size_t kGdfTableSize = size_t(kGdfPhiValues) * kGdfThetaRows;  // 2664
constexpr int kGdfStep = 5;

// The refusals of a GDF file.
inline constexpr char kGdfStepMessage[] = "Scan step undefined, must be 5\xB0";
inline constexpr char kGdfTableFullMessage[] = "Wrong column count";

// The loudspeaker of the GDF file at `path`: nothing when it cannot be
// opened; otherwise as ImportGdfLines.
SpeakerImport ImportGdfSpeaker(const std::string& path);
// The loudspeaker of a GDF file's lines. Refused, with a message, when a phi
// or theta step is not 5, a band's numbers overflow its table, a number is
// not a finite float, or the file has no band table; a band whose efficiency
// is above 50 percent adds "Efficiency exceeds 50% !" to the record.
SpeakerImport ImportGdfLines(const std::vector<std::string>& lines);
