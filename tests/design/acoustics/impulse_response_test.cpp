// The impulse response of the reflection windows: first arrivals, the
// direct and early windows, the reverberant level and the histograms.
#include "design/acoustics/impulse_response.h"

#include <gtest/gtest.h>

#include <cmath>

#include "design/acoustics/result_map.h"
#include "tests/design/acoustics/audio_fixtures.h"

namespace {

using audio_fixtures::AddRayPath;
using audio_fixtures::Levels;

const std::vector<ObjectVertex> kDirect = {{0, 0, 0}, {10, 0, 0}};

class ImpulseResponseTest : public ::testing::Test {
 protected:
  void Compute(double volume = 1000, float meanFreePath = 5, float rt = 1.0f) {
    results_.meanFreePath = meanFreePath;
    results_.reverberationTime.fill(rt);
    BandValues power;
    power.fill(1e9);
    ComputeImpulseResponse(paths_.list(), power, volume, results_);
  }
  OwnedObjectList paths_;
  RayResults results_;
};

TEST_F(ImpulseResponseTest, OnlyPathsWithinFiveMillisecondsRaiseTheDirectLevel) {
  for (const auto& [later, raises] : {std::pair{5.0f, false}, std::pair{4.9f, true}}) {
    paths_ = OwnedObjectList();
    AddRayPath(paths_.list(), kDirect, 20.0f, Levels(1e6f));
    AddRayPath(paths_.list(), kDirect, 20.0f + later, Levels(1e8f));
    Compute();
    EXPECT_FLOAT_EQ(results_.firstArrival[0], 20.0f);
    EXPECT_FLOAT_EQ(results_.directLevel[0], raises ? 80.0f : 60.0f) << later;
    EXPECT_FLOAT_EQ(results_.directLevel[kAllBands], raises ? 80.0f : 60.0f);
    // Both lie in the early window.
    EXPECT_NEAR(results_.earlyLevel[0], 10 * std::log10(1e6 + 1e8), 1e-3);
  }
}

TEST_F(ImpulseResponseTest, TheFirstArrivalIsTheEarliestWithinSixtyDecibels) {
  AddRayPath(paths_.list(), kDirect, 10.0f, Levels(10.0f));  // 10 dB, 70 below the highest
  AddRayPath(paths_.list(), kDirect, 30.0f, Levels(1e8f));   // 80 dB
  AddRayPath(paths_.list(), kDirect, 80.0f, Levels(1e3f));   // too late for the early window
  Compute();
  EXPECT_FLOAT_EQ(results_.earliestArrival, 10.0f);
  EXPECT_FLOAT_EQ(results_.latestArrival, 80.0f);
  EXPECT_FLOAT_EQ(results_.highestLevel, 80.0f);
  EXPECT_FLOAT_EQ(results_.firstArrival[3], 30.0f);
  EXPECT_FLOAT_EQ(results_.firstArrival[kAllBands], 30.0f);
  // The 10 ms path counts as early: it came before the first arrival was known.
  EXPECT_NEAR(results_.earlyLevel[3], 10 * std::log10(10.0 + 1e8), 1e-3);
  // Lr = 10 log10((P - E) 4 T / (0.161 V)).
  EXPECT_NEAR(results_.reverberantLevel[3], 10 * std::log10((1e9 - (1e8 + 10)) * 4 / (0.161 * 1000)), 1e-3);
}

TEST_F(ImpulseResponseTest, AFarListenersHistogramSpreadsOverAllBins) {
  // Earliest 100 ms, latest 300 ms: the bins count from the earliest.
  for (int i = 0; i <= 200; ++i) AddRayPath(paths_.list(), kDirect, 100.0f + float(i), Levels(2.0f));
  Compute();
  EXPECT_FLOAT_EQ(results_.binWidth, 200.0f / 1024);
  const ImpulseHistogram& h = results_.histograms[0];
  EXPECT_FLOAT_EQ(h[0], 2.0f);
  EXPECT_FLOAT_EQ(h[1023], 2.0f);  // the latest path
  int used = 0;
  for (float v : h) used += v > 0;
  EXPECT_EQ(used, 201);
  EXPECT_FLOAT_EQ(results_.histograms[kAllBands][1023], 2.0f);
}

TEST_F(ImpulseResponseTest, PathsAtOneTimeFallInTheFirstBin) {
  AddRayPath(paths_.list(), kDirect, 50.0f, Levels(4.0f));
  AddRayPath(paths_.list(), kDirect, 50.0f, Levels(4.0f));
  Compute();
  EXPECT_EQ(results_.binWidth, 0.0f);
  EXPECT_FLOAT_EQ(results_.histograms[6][0], 8.0f);
}

TEST_F(ImpulseResponseTest, TheRoomGuardsGiveAReverberantLevelOfOne) {
  AddRayPath(paths_.list(), kDirect, 50.0f, Levels(100.0f));
  // No room volume: R = 1, 0 dB. A mean free path of 1 m or less: Lr = 1.0.
  Compute(0.0);
  EXPECT_FLOAT_EQ(results_.reverberantLevel[2], 0.0f);
  EXPECT_FALSE(std::isnan(results_.reverberantLevel[kAllBands]));
  Compute(1000, 1.0f);
  EXPECT_FLOAT_EQ(results_.reverberantLevel[2], 1.0f);
  EXPECT_NEAR(results_.reverberantLevel[kAllBands], 10 * std::log10(7 * 0.143), 1e-5);
}

TEST(PathLevelDbTest, AllBandsTakeTheMeanLevel) {
  OwnedObjectList paths;
  std::array<float, kBandCount> levels = {1, 1, 1, 1, 1, 1, 694};
  GraphicObject* path = AddRayPath(paths.list(), kDirect, 0, levels);
  EXPECT_NEAR(PathLevelDb(path, 6), 10 * std::log10(694.0), 1e-9);
  EXPECT_NEAR(PathLevelDb(path, kAllBands), 20.0, 1e-9);
}

}  // namespace
