#include "design/model/balloon_codes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDegree = 3.141592654 / 180.0;

TEST(BalloonCodes, ConversionTable) {
  struct Case {
    float db;
    int code;
  } dbCases[] = {
      {10.0f, 255}, {-50.0f, 0}, {-0.1f, 224}, {0.1f, 226},  // halves go to the even code
      {0.0f, 225},  {6.0f, 255}, {-45.0f, 0},  {-44.8f, 1},
  };
  for (const Case& c : dbCases) EXPECT_EQ(DbToBalloonCode(c.db), c.code) << c.db;
  EXPECT_EQ(DbToBalloonCode(std::nanf("")), 0);

  struct RatioCase {
    double ratio;
    int code;
  } ratioCases[] = {
      {0.0, 0}, {1.0, 225}, {-1.0, 0}, {kNaN, 0}, {10.0, 255}, {0.5, 210}, {0.1, 175}, {1e-9, 0},
  };
  for (const RatioCase& c : ratioCases) EXPECT_EQ(PowerRatioToBalloonCode(c.ratio), c.code) << c.ratio;

  // The power mean of two levels: 90 and 80 dB give 87.40 dB; levels far
  // beyond any power a double holds give their own mean all the same.
  EXPECT_NEAR(PowerMeanOfLevels(90.0, 80.0), 87.4036, 1e-4);
  EXPECT_NEAR(PowerMeanOfLevels(80.0, 90.0), 87.4036, 1e-4);
  EXPECT_NEAR(PowerMeanOfLevels(5000.0, 5000.0), 5000.0, 1e-9);
  EXPECT_NEAR(PowerMeanOfLevels(-10.0, -1e6), -13.0103, 1e-4);

  // (1 + 10^-4.5) / 2 = 0.5000158 is -3.01 dB.
  EXPECT_EQ(AverageBalloonCodes(225, 0), 210);
  EXPECT_EQ(AverageBalloonCodes(175, 175), 175);
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(PowerRatioToBalloonCode(BalloonCodeToPowerRatio(code)), code);
    EXPECT_EQ(DbToBalloonCode(float(AttenuationCodeToDb(code))), code);
  }
}

TEST(BalloonCodes, EachConversionKeepsItsPrecision) {
  // 0.3000001 x 5 + 225 = 226.5000005: in single precision that is 226.5,
  // which goes to the even code; in double precision it rounds up.
  EXPECT_EQ(DbToBalloonCode(0.3000001f), 226);
  EXPECT_EQ(DbToAttenuationCode(0.3000001), 227);
}

// The balloon band with rows 0 .. lastRow at 0 dB and the rest at -45 dB.
std::array<uint8_t, kBalloonBandSize> Beam(int lastRow) {
  std::array<uint8_t, kBalloonBandSize> band{};
  std::fill_n(band.begin(), size_t(lastRow + 1) * kBalloonColumns, kBalloonCodeZeroDb);
  return band;
}

// Q of a beam worked out by hand: with the zone sums telescoped,
// sum of w(i) for i = a .. b is cos(5a) - cos(5(b+1)), so for a beam of rows
// 0 .. k (k < 18; the hemisphere pairs like k = 17, since row 18 pairs with
// row 19) and e = 10^-4.5 the power ratio of code 0:
//   A / 2 = (cos 5 - cos 5(k+1)) + (cos 5(k+1) - cos 5(k+2)) (1 + e) / 2 + e (cos 5(k+2) - cos 180)
//   S = cos 5 - cos 180
double BeamQ(int k) {
  auto c = [](int degrees) { return std::cos(degrees * kDegree); };
  const double e = std::pow(10.0, -4.5);
  const double halfA =
      (c(5) - c(5 * (k + 1))) + (c(5 * (k + 1)) - c(5 * (k + 2))) * (1 + e) / 2 + e * (c(5 * (k + 2)) - c(180));
  return (c(5) - c(180)) / (halfA + 1e-12);
}

TEST(DirectivityFactorTest, FlatHemisphereConeAndSilentBalloons) {
  std::array<uint8_t, kBalloonBandSize> flat;
  flat.fill(kBalloonCodeZeroDb);
  EXPECT_EQ(DirectivityFactor(flat), 1.0);
  int16_t stored = 0;
  ASSERT_TRUE(DirectivityToStored(DirectivityFactor(flat), stored));
  EXPECT_EQ(stored, 10);

  // The weights are held to 8 decimals: the results agree to about 1e-7.
  const double hemisphere = DirectivityFactor(Beam(18));
  EXPECT_NEAR(hemisphere, BeamQ(17), 1e-6);
  EXPECT_NEAR(hemisphere, 1.9198, 1e-4);
  const double cone30 = DirectivityFactor(Beam(6));
  EXPECT_NEAR(cone30, BeamQ(6), 1e-5);
  EXPECT_GT(cone30, hemisphere);
  EXPECT_GT(DirectivityFactor(Beam(1)), cone30);
  // Rows 17 and 18 pair with their neighbours towards the nearer pole: a
  // beam ending at row 16 and one lit from row 19 to the back, summed cell
  // by cell from the weights apart from this code.
  EXPECT_NEAR(DirectivityFactor(Beam(16)), BeamQ(16), 1e-5);
  EXPECT_NEAR(DirectivityFactor(Beam(16)), 2.095413, 1e-5);
  std::array<uint8_t, kBalloonBandSize> back{};
  std::fill(back.begin() + 19 * kBalloonColumns, back.end(), kBalloonCodeZeroDb);
  EXPECT_NEAR(DirectivityFactor(back), 2.087076, 1e-5);

  // Every direction at -45 dB: Q = 1 / 10^-4.5 = 31623, beyond the stored word.
  std::array<uint8_t, kBalloonBandSize> silent{};
  const double q = DirectivityFactor(silent);
  EXPECT_NEAR(q, std::pow(10.0, 4.5), 1e-2);
  ASSERT_TRUE(DirectivityToStored(q, stored));
  EXPECT_EQ(stored, 32767);
}

TEST(DirectivityFactorTest, StoredWordsAreTruncatedClampedAndRefuseNonFiniteValues) {
  struct Case {
    double value;
    int16_t q10, efficiency10, impedance;
  } cases[] = {
      {1.0, 10, 10, 1}, {3.99, 39, 39, 3}, {0.05, 1, 0, 0}, {-2.0, 1, 0, 0}, {1e9, 32767, 32767, 32767},
  };
  for (const Case& c : cases) {
    int16_t q10 = -7, efficiency10 = -7, impedance = -7;
    ASSERT_TRUE(DirectivityToStored(c.value, q10));
    ASSERT_TRUE(EfficiencyToStored(c.value, efficiency10));
    ASSERT_TRUE(ImpedanceToStored(c.value, impedance));
    EXPECT_EQ(q10, c.q10) << c.value;
    EXPECT_EQ(efficiency10, c.efficiency10) << c.value;
    EXPECT_EQ(impedance, c.impedance) << c.value;
  }
  for (double bad : {kNaN, std::numeric_limits<double>::infinity()}) {
    int16_t word = 123;
    EXPECT_FALSE(DirectivityToStored(bad, word));
    EXPECT_FALSE(EfficiencyToStored(bad, word));
    EXPECT_FALSE(ImpedanceToStored(bad, word));
    EXPECT_EQ(word, 123);
  }
}

TEST(DirectivityFactorTest, EfficiencyFromSensitivityAndStoredQ) {
  // 109 dB at 1 W / 1 m from a point source (Q = 1) is 100 %.
  EXPECT_NEAR(EfficiencyPercent(109.0, 10), 100.0, 1e-9);
  EXPECT_NEAR(EfficiencyPercent(99.0, 10), 10.0, 1e-9);
  EXPECT_NEAR(EfficiencyPercent(109.0, 100), 10.0, 1e-9);
  // A stored Q of 0 counts as 0.1 instead of reaching log10(0).
  EXPECT_NEAR(EfficiencyPercent(109.0, 0), 1000.0, 1e-9);
  EXPECT_NEAR(EfficiencyPercent(109.0, -5), 1000.0, 1e-9);
  // 130 dB gives 12589 %, clamped in the stored word.
  int16_t stored = 0;
  ASSERT_TRUE(EfficiencyToStored(EfficiencyPercent(130.0, 10), stored));
  EXPECT_EQ(stored, 32767);
  EXPECT_FALSE(EfficiencyToStored(EfficiencyPercent(kNaN, 10), stored));
}

}  // namespace
