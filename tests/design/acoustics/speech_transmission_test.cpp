#include "design/acoustics/speech_transmission.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <numeric>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

using Levels = std::array<float, kBandCount>;

StiRoom Room(double reverberant, double rt60) {
  StiRoom room;
  room.reverberant.fill(reverberant);
  room.rt60.fill(rt60);
  return room;
}

// The modulation transfer index of pure reverberation with time T, from
// its transfer function m(F) = 1 / sqrt(1 + (2 pi F T / 13.8)^2).
double PureReverberationMti(double rt60) {
  const double frequencies[] = {0.63, 0.8, 1.0, 1.25, 1.6, 2.0, 2.5, 3.15, 4.0, 5.0, 6.3, 8.0, 10.0, 12.5};
  double sum = 0;
  for (double f : frequencies) {
    const double a = 2 * std::numbers::pi * f * rt60 / 13.8;
    const double m = 1 / std::sqrt(1 + a * a);
    const double snr = std::clamp(10 * std::log10(m / (1 - m)), -15.0, 15.0);
    sum += (snr + 15) / 30;
  }
  return sum / 14;
}

TEST(StiTest, WeightsMakeAPerfectChannelOne) {
  EXPECT_NEAR(std::accumulate(StiAlphaWeights.begin(), StiAlphaWeights.end(), 0.0), 1.381, 1e-12);
  EXPECT_NEAR(std::accumulate(StiBetaWeights.begin(), StiBetaWeights.end(), 0.0), 0.381, 1e-12);
}

TEST(StiTest, NoReverberationAndNoNoiseTransmitsFully) {
  const Levels levels = {1, 10, 100, 1e3f, 1e4f, 1e5f, 1e6f};
  CaptureStdout();
  EXPECT_FLOAT_EQ(StiAll(levels, Room(0, 2.5)), 100);
  for (int b = 0; b < kBandCount; ++b) EXPECT_FLOAT_EQ(StiBand(b, levels[size_t(b)], Room(0, 2.5)), 100);
  EXPECT_EQ(GetCapturedStdout(), "");
}

TEST(StiTest, PureReverberationFollowsItsTransferFunction) {
  const double expected = PureReverberationMti(1.0);
  EXPECT_GT(expected, 0.3);
  EXPECT_LT(expected, 0.9);
  const Levels none = {};
  for (double reverberant : {1.0, 1e6}) {
    // Every band alike: S1 - S2 = (1.381 - 0.381) MTI.
    EXPECT_NEAR(StiAll(none, Room(reverberant, 1.0)), 100 * expected, 1e-4);
    EXPECT_NEAR(StiBand(3, 0, Room(reverberant, 1.0)), 100 * expected, 1e-4);
  }
  // Longer reverberation transmits less.
  EXPECT_LT(StiAll(none, Room(1, 2.0)), StiAll(none, Room(1, 1.0)));
  EXPECT_NEAR(StiAll(none, Room(1, 2.0)), 100 * PureReverberationMti(2.0), 1e-4);
}

TEST(StiTest, NeighbouringBandsAreCombinedWithThePairWeights) {
  // Bands 0 and 1 without reverberant energy (MTI 1), the others drowned in
  // long reverberation (every ratio clipped at -15 dB: MTI 0).
  StiRoom room = Room(1e9, 1000);
  room.reverberant[0] = room.reverberant[1] = 0;
  const Levels levels = {1, 1, 1, 1, 1, 1, 1};
  StiDetail detail;
  StiAllDetail(levels, room, detail);
  EXPECT_EQ(detail.mti, (BandValues{1, 1, 0, 0, 0, 0, 0}));
  EXPECT_NEAR(StiAll(levels, room), 100 * (0.085 + 0.127 - 0.085), 1e-4);
  room.reverberant[3] = 0;  // band 3 has no perfect neighbour
  EXPECT_NEAR(StiAll(levels, room), 100 * (0.085 + 0.127 - 0.085 + 0.233), 1e-4);
}

TEST(StiTest, AStrongDirectSoundClipsAtFifteenDecibels) {
  EXPECT_FLOAT_EQ(StiBand(2, 1e6, Room(1, 1.0)), 100);
  // Equal direct and reverberant energy lies between the two extremes.
  const float mixed = StiBand(2, 1, Room(1, 1.0));
  EXPECT_GT(mixed, 100 * PureReverberationMti(1.0));
  EXPECT_LT(mixed, 100);
}

TEST(StiTest, DetailGivesTheBandLevelOfTheTotalEnergy) {
  const Levels levels = {1, 9, 99, 999, 1, 1, 1};
  StiDetail detail;
  StiAllDetail(levels, Room(1, 1.0), detail);
  EXPECT_NEAR(detail.level[0], 10 * std::log10(2.0), 1e-12);
  EXPECT_NEAR(detail.level[1], 10, 1e-12);
  EXPECT_NEAR(detail.level[3], 30, 1e-12);
  EXPECT_NEAR(detail.mti[0], StiBand(0, 1, Room(1, 1.0)) / 100, 1e-6);
}

TEST(StiTest, InvalidInputsAreReportedOnStandardOutput) {
  CaptureStdout();
  EXPECT_EQ(StiBand(7, 100, Room(1, 1)), -1.0f);
  EXPECT_EQ(StiBand(-1, 100, Room(1, 1)), -1.0f);
  EXPECT_EQ(GetCapturedStdout(),
            "Error: test_freq_idx is out of bounds for Reverberant_Power and RT60 arrays\n"
            "Error: test_freq_idx is out of bounds for Reverberant_Power and RT60 arrays\n");

  // No energy at all has no transfer ratio: every frequency warns and counts 0.
  CaptureStdout();
  EXPECT_EQ(StiBand(0, 0, Room(0, 1)), 0);
  std::string expected;
  for (int i = 0; i < 14; ++i)
    expected += "Warning: result_m[" + std::to_string(i) + "] is out of valid range for log10 transformation\n";
  EXPECT_EQ(GetCapturedStdout(), expected);

  CaptureStdout();
  EXPECT_EQ(StiBand(0, std::numeric_limits<double>::quiet_NaN(), Room(1, 1)), 0);
  EXPECT_EQ(GetCapturedStdout(), expected);
}

class StiLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("sti_log_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  static std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  fs::path dir_;
};

TEST_F(StiLogTest, ExportNamesComeFromTheLocalTime) {
  std::tm time{};
  time.tm_year = 2024 - 1900;
  time.tm_mon = 2;
  time.tm_mday = 5;
  time.tm_hour = 14;
  time.tm_min = 7;
  time.tm_sec = 9;
  EXPECT_EQ(FormatStiExportName(kStiMapExportName, time), "_KO_Exp_20240305_140709.csv");
  EXPECT_EQ(FormatStiExportName(kStiSinglePointExportName, time), "_SinglePoints_KO_Exp_20240305_140709.csv");
}

TEST_F(StiLogTest, LoggedFormAppendsOneLinePerBand) {
  const std::string project = (dir_ / "hall.KPR").string();
  const std::string name = "_SinglePoints_KO_Exp_20240305_140709.csv";
  const Levels levels = {1, 10, 100, 1e3f, 1e4f, 1e5f, 1e6f};
  EXPECT_FLOAT_EQ(StiAllLogged(levels, Room(0, 1), project, name), 100);
  const std::string lines =
      "0,1.000000,0.0\n1,1.000000,10.0\n2,1.000000,20.0\n3,1.000000,30.0\n"
      "4,1.000000,40.0\n5,1.000000,50.0\n6,1.000000,60.0\n";
  EXPECT_EQ(Contents(project + name), lines);

  // A second point appends its lines behind the first.
  const Levels quiet = {};
  const StiRoom room = Room(1, 1.0);
  const float sti = StiAllLogged(quiet, room, project, name);
  EXPECT_FLOAT_EQ(sti, StiAll(quiet, room));
  StiDetail detail;
  StiAllDetail(quiet, room, detail);
  std::string second;
  for (size_t b = 0; b < kBandCount; ++b) {
    char line[64];
    std::snprintf(line, sizeof line, "%d,%f,%.1f\n", int(b), detail.mti[b], detail.level[b]);
    second += line;
  }
  EXPECT_EQ(Contents(project + name), lines + second);
}

TEST_F(StiLogTest, AFileThatCannotBeOpenedGivesMinusOne) {
  const std::string project = (dir_ / "missing" / "hall.KPR").string();
  CaptureStderr();
  EXPECT_EQ(StiAllLogged(Levels{}, Room(1, 1), project, "_x.csv"), -1.0f);
  const std::string error = GetCapturedStderr();
  EXPECT_EQ(error.rfind("Failed to open log file", 0), 0u) << error;
  EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(project + "_x.csv"));
}

}  // namespace
