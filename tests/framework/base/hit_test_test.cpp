#include "framework/base/hit_test.h"

#include <gtest/gtest.h>

namespace {

TEST(HitTest, RectangleHitsIncludeEdges) {
  const ScreenRect r{10, 20, 30, 40};
  EXPECT_TRUE(IsPointInRect({30, 40}, r));  // right-bottom corner
  EXPECT_TRUE(IsPointInRect({10, 20}, r));
  EXPECT_FALSE(IsPointInRect({31, 30}, r));
  EXPECT_TRUE(DoRectsOverlap(r, {30, 0, 50, 20}));  // one shared corner
  EXPECT_TRUE(DoRectsOverlap(r, {0, 40, 10, 60}));
  EXPECT_FALSE(DoRectsOverlap(r, {31, 20, 50, 40}));
}

TEST(HitTest, PolygonHitsUseEvenOdd) {
  const ScreenPoint square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(IsPointInPolygon(square, 4, 5, 5));
  EXPECT_FALSE(IsPointInPolygon(square, 4, 15, 5));
  // A self-overlapping star: its middle is outside under even-odd.
  const ScreenPoint star[] = {{0, 0}, {20, 0}, {20, 10}, {5, 10}, {5, -5}, {15, -5}, {15, 5}, {0, 5}};
  EXPECT_FALSE(IsPointInPolygon(star, 8, 10, 2));
  EXPECT_TRUE(IsPointInPolygon(star, 8, 2, 2));
  // A point level with a vertex of a diamond is classified once.
  const ScreenPoint diamond[] = {{5, 0}, {10, 5}, {5, 10}, {0, 5}};
  EXPECT_TRUE(IsPointInPolygon(diamond, 4, 5, 5));
  EXPECT_FALSE(IsPointInPolygon(diamond, 4, -1, 5));
  // A pixel is hit when the fill covers it, i.e. when its centre is inside.
  const ScreenPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  EXPECT_TRUE(IsPointInPolygon(triangle, 3, 8, 0));
  EXPECT_FALSE(IsPointInPolygon(triangle, 3, 9, 0));
  EXPECT_FALSE(IsPointInPolygon(triangle, 3, 0, 10));
}

}  // namespace
