// Balloon codes and the figures derived from a balloon: the one home of the
// conversions between decibels, power ratios and the one-byte codes of a
// loudspeaker type's directivity balloon, of the directivity factor Q of a
// balloon band, and of the efficiency computed from sensitivity and Q. The
// design program (cluster balloons, the calculations) and the speaker-database
// editor (imports, header data, rotation) both use these.
//
// A balloon code c stands for (c - 225) / 5 dB: 225 is 0 dB, 0 is -45 dB, 255
// is +6 dB, one step is 0.2 dB. A band of a balloon is 37 rows (0 to 180
// degrees from the axis in 5-degree steps) of 72 columns (0 to 355 degrees
// about it), row-major; see speaker_type.h.
//
// Stored figures: Q x 10, the efficiency in percent x 10 and the impedance
// are 16-bit words of the record, so the *ToStored helpers truncate toward
// zero, clamp into the word (Q x 10 to 1 .. 32767, the others to 0 .. 32767)
// and refuse values that are not finite.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "design/model/speaker_type.h"

// ---- Codes, decibels and power ratios ----

// (code - 225) / 5.
double AttenuationCodeToDb(int code);
// The energy factor of a code: 10^(((code - 225) / 5) / 10).
double AttenuationCodeToFactor(int code);
// The editor's name for the same factor, the power ratio of a code.
inline double BalloonCodeToPowerRatio(int code) { return AttenuationCodeToFactor(code); }
// The factor of each of the 256 codes, built once: the calculations look
// codes up in it.
const std::array<double, 256>& AttenuationFactorTable();

// 5 x dB + 225 rounded to the nearest (halves to even), clamped to 0 .. 255;
// not a number gives 0. In double precision (the design program's cluster
// balloons).
uint8_t DbToAttenuationCode(double db);
// The same conversion computed in single precision, as the editor's imports
// store their levels.
uint8_t DbToBalloonCode(float db);
// The code of a power ratio: 10 x log10(ratio) dB for a ratio of 1 or more,
// -10 x log10(1 / ratio) below 1, -45 dB for 0, a negative ratio or not a
// number; then DbToBalloonCode.
uint8_t PowerRatioToBalloonCode(double ratio);
// The power average of two codes.
uint8_t AverageBalloonCodes(int a, int b);
// The power average of two levels in dB: 10 x log10((10^(a/10) + 10^(b/10)) / 2),
// computed from the larger level so that no power overflows.
double PowerMeanOfLevels(double aDb, double bDb);

// ---- Directivity and efficiency ----

// The directivity factor Q (at least 1.0) of one balloon band. With the zone
// weights w(i) = cos(5i degrees) - cos(5(i+1) degrees), held rounded to 8
// decimals, and p(r, c) the power ratio of row r, column c:
//   S = sum of w(i), i = 1 .. 35;
//   A = sum over i = 1 .. 35 and c = 0 .. 71 of (w(i) / 72) x (p(i, c) + p(n(i), c)),
//       n(i) = i - 1 below row 18 and i + 1 from row 18 on;
//   Q = S / (A / 2 + 1e-12), raised to 1.0 when below.
// A flat balloon gives exactly 1.0. The editor's imports take Q of a
// record's band through ComputeDirectivityFactor (speaker_import.h).
double DirectivityFactor(std::span<const uint8_t, kBalloonBandSize> band);

// The efficiency in percent of a band with sensitivity `sensitivityDb` (dB at
// 1 W / 1 m) and the stored directivity `q10` (Q x 10):
// 100 x 10^((S - 10 x log10(Q) - 109) / 10). A stored Q below 0.1 (0 or
// negative) counts as 0.1, so no logarithm of 0 is taken.
double EfficiencyPercent(double sensitivityDb, int16_t q10);

// Q as the stored word Q x 10; false, leaving `stored` alone, when q is not
// finite.
bool DirectivityToStored(double q, int16_t& stored);
// An efficiency in percent as the stored word percent x 10; false, leaving
// `stored` alone, when it is not finite.
bool EfficiencyToStored(double percent, int16_t& stored);
// An impedance in ohms as the stored word of whole ohms (0 .. 32767); false,
// leaving `stored` alone, when it is not finite.
bool ImpedanceToStored(double ohms, int16_t& stored);
