#include "design/acoustics/impulse_response.h"

#include <algorithm>
#include <cmath>

#include "design/acoustics/level_map.h"

double LevelDb(double x) { return 10.0 * std::log10(std::max(x, 1.0)); }

double PathLevelDb(const GraphicObject* path, int band) {
  if (band >= 0 && band < kBandCount) return LevelDb(RayPathLevel(path, band));
  double sum = 0;
  for (int b = 0; b < kBandCount; ++b) sum += RayPathLevel(path, b);
  return LevelDb(sum / kBandCount);
}

void ComputeImpulseResponse(const ObjectList& model, const BandValues& acousticPower, double volume,
                            RayResults& results) {
  RayResults& r = results;
  r.firstArrival.fill(1e6f);
  r.directLevel.fill(0);
  r.earliestArrival = 1e6f;
  r.latestArrival = 0;
  for (ImpulseHistogram& histogram : r.histograms) histogram.fill(0);
  double highest = 0;
  bool any = false;
  for (const GraphicObject* o = model.first; o; o = o->next) {
    if (RayPathReflectionCount(o) < 0) continue;
    any = true;
    const float t = RayPathTime(o);
    r.earliestArrival = std::min(r.earliestArrival, t);
    r.latestArrival = std::max(r.latestArrival, t);
    for (int b = 0; b < kBandCount; ++b) highest = std::max(highest, double(RayPathLevel(o, b)));
  }
  if (!any) r.earliestArrival = 0;
  r.binWidth = std::abs(r.latestArrival - r.earliestArrival) / float(kImpulseBins);
  r.highestLevel = float(LevelDb(highest));

  std::array<double, kBandCount> early{};
  for (const GraphicObject* o = model.first; o; o = o->next) {
    if (RayPathReflectionCount(o) < 0) continue;
    const double t = RayPathTime(o);
    // Bins count from the earliest arrival; with no spread every path is in the first.
    size_t bin = 0;
    if (r.binWidth > 0) bin = size_t(std::min((t - r.earliestArrival) / r.binWidth, double(kImpulseBins - 1)));
    for (int b = 0; b < kBandCount; ++b) {
      const size_t band = size_t(b);
      const double x = RayPathLevel(o, b);
      const double level = LevelDb(x);
      r.histograms[band][bin] += float(std::abs(x));
      if (t < r.firstArrival[band] && level > r.highestLevel - kFirstArrivalRange) r.firstArrival[band] = float(t);
      if (level > r.directLevel[band] && t < r.firstArrival[band] + kDirectWindowMs) r.directLevel[band] = float(level);
      if (t < r.firstArrival[band] + kEarlyWindowMs) early[band] += x;
    }
  }
  r.firstArrival[kBandCount] = *std::min_element(r.firstArrival.begin(), r.firstArrival.begin() + kBandCount);
  double directSum = 0;
  for (int b = 0; b < kBandCount; ++b) directSum += r.directLevel[size_t(b)];
  r.directLevel[kBandCount] = float(std::max(directSum / kBandCount, 1.0));

  double weightedEarly = 0, weightedReverberant = 0;
  for (int b = 0; b < kBandCount; ++b) {
    const size_t band = size_t(b);
    if (r.meanFreePath <= kLeastReverberantFreePath) {
      r.reverberantLevel[band] = 1.0f;
      weightedReverberant += 0.143;
    } else {
      const double reverberant = volume <= kSmallestRoom ? 1.0
                                                         : (acousticPower[band] - early[band]) * 4.0 *
                                                               r.reverberationTime[band] / (kSabineConstant * volume);
      weightedReverberant += BandSpeechWeights[band] * reverberant;
      r.reverberantLevel[band] = float(LevelDb(reverberant));
    }
    r.earlyLevel[band] = float(LevelDb(early[band]));
    weightedEarly += BandSpeechWeights[band] * early[band];
  }
  r.earlyLevel[kBandCount] = float(LevelDb(weightedEarly));
  r.reverberantLevel[kBandCount] = float(LevelDb(weightedReverberant));

  ImpulseHistogram& all = r.histograms[kBandCount];
  for (size_t i = 0; i < kImpulseBins; ++i) {
    double sum = 0;
    for (size_t b = 0; b < size_t(kBandCount); ++b) sum += r.histograms[b][i];
    all[i] = float(sum / kBandCount);
  }
}
