#include "design/acoustics/speech_transmission.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "framework/core/text_lines.h"

namespace {

// 2 pi, and the decay constant 60 dB / (10 log10 e) of T.
constexpr double kTwoPi = 6.283185308;
constexpr double kDecayConstant = 13.8;

// The transmission index of a modulation transfer m. m >= 1 is a channel
// without reverberant energy; m <= 0 (or a NaN, from energies that are not
// numbers) has no signal-to-noise ratio and counts as 0 with a warning.
double TransmissionIndex(double m, size_t frequencyIndex) {
  if (m >= 1) return 1;
  if (!(m > 0)) {
    std::printf("Warning: result_m[%d] is out of valid range for log10 transformation\n", int(frequencyIndex));
    return 0;
  }
  const double snr = std::clamp(10 * std::log10(m / (1 - m)), -15.0, 15.0);
  return (snr + 15) / 30;
}

// Writes "<what>: <the system's reason>" to standard error, and into
// `failure` when given.
void ReportLogFailure(const char* what, std::string* failure) {
  const std::string line = std::string(what) + ": " + std::strerror(errno);
  std::fprintf(stderr, "%s\n", line.c_str());
  if (failure) *failure = line;
}

double StiFromDetail(const BandValues& mti) {
  double sum = 0;
  for (size_t b = 0; b < kBandCount; ++b) sum += StiAlphaWeights[b] * mti[b];
  for (size_t b = 1; b < kBandCount; ++b) sum -= StiBetaWeights[b - 1] * std::sqrt(mti[b - 1] * mti[b]);
  return sum;
}

}  // namespace

double ModulationTransferIndex(double x, double reverberant, double rt60) {
  double sum = 0;
  for (size_t i = 0; i < ModulationFrequencies.size(); ++i) {
    // |x + R / (1 + j a)| / (x + R), with a = 2 pi F T / 13.8.
    const double a = ModulationFrequencies[i] * kTwoPi * (rt60 / kDecayConstant);
    const double n = reverberant / (1 + a * a);
    const double m = std::sqrt((x + n) * (x + n) + (n * a) * (n * a)) / (x + reverberant);
    sum += TransmissionIndex(m, i);
  }
  return sum / double(ModulationFrequencies.size());
}

float StiBand(int band, double x, const StiRoom& room) {
  if (band < 0 || band >= kBandCount) {
    std::printf("Error: test_freq_idx is out of bounds for Reverberant_Power and RT60 arrays\n");
    return -1.0f;
  }
  return float(100 * ModulationTransferIndex(x, room.reverberant[size_t(band)], room.rt60[size_t(band)]));
}

void StiAllDetail(PointLevels levels, const StiRoom& room, StiDetail& detail) {
  for (size_t b = 0; b < kBandCount; ++b) {
    const double x = levels[b];
    detail.mti[b] = ModulationTransferIndex(x, room.reverberant[b], room.rt60[b]);
    detail.level[b] = 10 * std::log10(x + room.reverberant[b]);
  }
}

float StiAll(PointLevels levels, const StiRoom& room) {
  StiDetail detail;
  StiAllDetail(levels, room, detail);
  return float(100 * StiFromDetail(detail.mti));
}

StiLogFile OpenStiLogFile(const std::string& path, std::string* failure) {
  StiLogFile file(std::fopen(path.c_str(), "a"));
  if (!file) ReportLogFailure("Failed to open log file", failure);
  return file;
}

bool AppendStiLines(std::FILE* file, const StiDetail& detail, std::string* failure) {
  std::string lines;
  for (size_t b = 0; b < kBandCount; ++b) {
    lines += char('0' + b);
    lines += ',';
    AppendFixed(lines, detail.mti[b], 6);
    lines += ',';
    AppendFixed(lines, detail.level[b], 1);
    lines += '\n';
  }
  if (std::fwrite(lines.data(), 1, lines.size(), file) == lines.size() && std::fflush(file) == 0) return true;
  ReportLogFailure("Failed to write log file", failure);
  return false;
}

std::string FormatStiExportName(const char* format, const std::tm& localTime) {
  char name[128];
  const size_t length = std::strftime(name, sizeof name, format, &localTime);
  return std::string(name, length);
}

float StiAllLogged(PointLevels levels, const StiRoom& room, const std::string& projectPath, const std::string& fileName,
                   std::string* failure) {
  StiDetail detail;
  StiAllDetail(levels, room, detail);
  StiLogFile file = OpenStiLogFile(projectPath + fileName, failure);
  if (!file || !AppendStiLines(file.get(), detail, failure)) return -1.0f;
  return float(100 * StiFromDetail(detail.mti));
}
