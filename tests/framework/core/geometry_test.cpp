#include "framework/core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Geometry, SegmentIntersection) {
  struct Case {
    double x1, y1, x2, y2, x3, y3, x4, y4;
    int result;
    double x, y;  // expected outputs (start values 99 when untouched)
  } cases[] = {
      {0, 0, 2, 2, 0, 2, 2, 0, 1, 1, 1},   {0, 0, 1, 0, 2, -1, 2, 1, 0, 2, 0},  // lines meet outside the first segment
      {0, 0, 1, 1, 0, 1, 1, 2, 0, 99, 99},                                      // parallel: outputs untouched
      {5, -1, 5, 1, 0, 0, 10, 0, 1, 5, 0},                                      // vertical against horizontal
      {0, 0, 4, 0, 4, -3, 4, 3, 1, 4, 0},                                       // touching at an end counts
  };
  for (const Case& c : cases) {
    double x = 99, y = 99;
    EXPECT_EQ(IntersectSegments(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4, x, y), c.result);
    EXPECT_DOUBLE_EQ(x, c.x);
    EXPECT_DOUBLE_EQ(y, c.y);
  }
}

TEST(Geometry, DecimalComma) {
  std::string text = "2,5";
  EXPECT_TRUE(FixDecimalCommaText(text));
  EXPECT_EQ(text, "2.5");
  std::string plain = "2.5";
  EXPECT_FALSE(FixDecimalCommaText(plain));
}

TEST(Geometry, ATypedCoordinateReachesTenKilometresEachWay) {
  for (double metres : {0.0, 10000.0, -10000.0, 9999.999}) EXPECT_TRUE(IsTypedCoordinate(metres)) << metres;
  for (double metres : {10000.001, -10000.001, 1e30, std::nan("")}) EXPECT_FALSE(IsTypedCoordinate(metres)) << metres;
  // Out to there a float vertex holds the millimetre.
  EXPECT_LT(std::nextafter(float(kMaxTypedCoordinate), 1e9f) - float(kMaxTypedCoordinate), 0.001f);
}

TEST(Geometry, UnitConversions) {
  EXPECT_DOUBLE_EQ(MetricToImperial(1, kUnitLength), 3.28084);
  EXPECT_DOUBLE_EQ(MetricToImperial(1, 7), 3.28084);  // any other kind is a length
  EXPECT_DOUBLE_EQ(ImperialToMetric(10.76391, kUnitArea), 1);
  EXPECT_DOUBLE_EQ(MetricToImperial(2, kUnitVolume), 70.62934);
  EXPECT_DOUBLE_EQ(CentimetresToInches(2.54, kUnitLength), 1);
  EXPECT_DOUBLE_EQ(InchesToCentimetres(1, kUnitArea), 6.4516);
  EXPECT_DOUBLE_EQ(KilogramsToPounds(PoundsToKilograms(3)), 3);
  EXPECT_EQ(GetAvailableMemory(), 1048576u);
}

}  // namespace
