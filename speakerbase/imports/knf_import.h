// Import of one loudspeaker from a KNF text file, checked strictly line by
// line: the first error ends the import with its message and no record.
//
// The file: four header lines, each beginning with its keyword (any letter
// case; the value begins one character after it, blanks trimmed):
//   "Device Class:"  'L' or 'M' in either case
//   "Device Name:"   type name, 8 characters, ended by a blank or control character
//   "Manufacturer:"  brand, 20 characters, ended the same way
//   "Remark:"        comment, 40 characters, ended by a control character
// then, until the end of the file (blank lines between them are passed over),
// at least one band section of six keyword lines and a table:
//   "FREQUENCY:"     125, 250, 500, 1000, 2000, 4000 or 8000: band 0 .. 6
//   "SPHERE SIZE:"   'F' full, 'H' half, anything else a quarter sphere
//   "INCREMENT:"     the step in degrees, 5 or 10
//   "Ueff:", "IMPEDANCE:", "DISTANCE:"  drive voltage U, impedance Z and
//                    measuring distance d, each at least 0.001
//   the table: one line per horizontal angle from 0 degrees, 360 / step lines
//   (full), 180 / step + 1 (half) or 90 / step + 1 (quarter). A line holds the
//   levels in dB from vertical angle 0 to 180 degrees: 37 numbers at step 5,
//   19 at step 10 (every second angle; the angles between are the power mean
//   of their neighbours). A line that does not begin with a number counts as a
//   line and holds nothing.
// A band's table is 37 rows (vertical) of 72 columns (horizontal), 5-degree
// steps; a step-10 table fills its odd columns with power means afterwards.
//
// The record: per band the sensitivity from the largest level M (truncated),
// M - 10 x log10(U^2 / (Z x d^2)) dB at 1 W and 1 m, the levels normalised to
// M, a quarter sphere mirrored to a half and a half to the full sphere, the
// balloon, Q from it, the efficiency, and the grid code from the largest step
// and the widest sphere of the bands with a sensitivity.
#pragma once

#include <string>
#include <vector>

#include "speakerbase/imports/speaker_import.h"

// The messages of the parser, in the order of the checks.
inline constexpr char kKnfNoDeviceClass[] = "Device class missing";
inline constexpr char kKnfUnknownDeviceClass[] = "Unknown device class";
inline constexpr char kKnfNoDeviceName[] = "Missing device name";
inline constexpr char kKnfNoManufacturer[] = "Manufacturer info missing";
inline constexpr char kKnfNoComment[] = "Missing comment line";
inline constexpr char kKnfNoFrequency[] = "Frequency information missing";
inline constexpr char kKnfWrongFrequency[] = "Wrong frequency";
inline constexpr char kKnfNoScanArea[] = "Scan area undefined";
inline constexpr char kKnfBadStep[] = "Scan step undefined, must be 5\xB0 or 10\xB0";
inline constexpr char kKnfNoVoltage[] = "Voltage info missing";
inline constexpr char kKnfNoImpedance[] = "Impedance missing";
inline constexpr char kKnfNoDistance[] = "Distance info missing";
inline constexpr char kKnfWrongLineCount[] = "Wrong line count";
inline constexpr char kKnfWrongColumnCount[] = "Wrong column count";

// The loudspeaker of the KNF file at `path`: nothing when it cannot be
// opened; otherwise as ImportKnfLines.
SpeakerImport ImportKnfSpeaker(const std::string& path);
// The loudspeaker of a KNF file's lines: refused with the message of the
// first error (a table number that is not a finite float is refused as
// "Invalid file format !"); a band whose efficiency is above 50 percent adds
// "Efficiency exceeds 50% !" to the record.
SpeakerImport ImportKnfLines(const std::vector<std::string>& lines);
