// Speech transmission index of a receiver point: the modulation transfer of
// each octave band from the point's direct energy and the room's reverberant
// energy and reverberation time, the transmission index over 14 modulation
// frequencies, and the male-speech band combination. The result window shows
// it per grid point and exports it as CSV lines.
//
// Diagnostics go to standard output and error, never to the user's screen.
#pragma once

#include <array>
#include <cstdio>
#include <ctime>
#include <memory>
#include <span>
#include <string>

#include "design/acoustics/reverberation.h"

// Modulation frequencies in Hz.
inline constexpr std::array<float, 14> ModulationFrequencies = {0.63f, 0.8f, 1.0f, 1.25f, 1.6f, 2.0f,  2.5f,
                                                                3.15f, 4.0f, 5.0f, 6.3f,  8.0f, 10.0f, 12.5f};
// Band weights, 125 Hz .. 8 kHz; they sum to 1.381.
inline constexpr BandValues StiAlphaWeights = {0.085, 0.127, 0.230, 0.233, 0.309, 0.224, 0.173};
// Weights of the neighbouring band pairs 125/250 Hz .. 4k/8 kHz; they sum to
// 0.381, so a perfect channel has an index of 1.
inline constexpr std::array<double, kBandCount - 1> StiBetaWeights = {0.085, 0.078, 0.065, 0.011, 0.047, 0.095};

// The room's part of every point's channel, per band.
struct StiRoom {
  BandValues reverberant{};  // R_b, the reverberant energy of the level map
  BandValues rt60{};         // T_b of the project's reverberation method, seconds
};

// A point's seven band energies x_b (linear, as the level map stores them).
using PointLevels = std::span<const float, kBandCount>;

// The modulation transfer index (0..1) of one band: the mean transmission
// index over the modulation frequencies for direct energy x, reverberant
// energy `reverberant` and reverberation time `rt60`. A channel without
// reverberant energy transmits fully (1).
double ModulationTransferIndex(double x, double reverberant, double rt60);

// 100 x the modulation transfer index of `band` for energy x; -1 (with an
// error line on standard output) when `band` is not 0..6.
float StiBand(int band, double x, const StiRoom& room);
// 100 x the speech transmission index of a point.
float StiAll(PointLevels levels, const StiRoom& room);

// Per band the modulation transfer index and the level 10 log10(x_b + R_b)
// in dB.
struct StiDetail {
  BandValues mti{};
  BandValues level{};
};
void StiAllDetail(PointLevels levels, const StiRoom& room, StiDetail& detail);

// The CSV file of an STI export, opened for appending.
struct StiLogCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using StiLogFile = std::unique_ptr<std::FILE, StiLogCloser>;
// Opens `path` for appending; when it cannot, writes "Failed to open log
// file" and the system's reason to standard error, puts that line (without
// its newline) into `failure` when given, and returns an empty file.
StiLogFile OpenStiLogFile(const std::string& path, std::string* failure = nullptr);
// Appends one line "band,MTI,level" per band ("%d,%f,%.1f" with '.' in any
// locale). False when the write fails, with "Failed to write log file" and
// the reason on standard error and in `failure`.
bool AppendStiLines(std::FILE* file, const StiDetail& detail, std::string* failure = nullptr);

// Names of the export files, appended to the project path and formatted
// from the local time.
inline constexpr char kStiMapExportName[] = "_KO_Exp_%Y%m%d_%H%M%S.csv";
inline constexpr char kStiSinglePointExportName[] = "_SinglePoints_KO_Exp_%Y%m%d_%H%M%S.csv";
std::string FormatStiExportName(const char* format, const std::tm& localTime);

// 100 x the point's index, and its seven band lines appended to the file
// named by `projectPath` followed by `fileName`; -1 when the file cannot be
// opened or written, with the reason in `failure`.
float StiAllLogged(PointLevels levels, const StiRoom& room, const std::string& projectPath, const std::string& fileName,
                   std::string* failure = nullptr);
