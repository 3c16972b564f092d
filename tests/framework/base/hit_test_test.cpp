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

TEST(HitTest, SegmentsTouchARectangleTheyPassThrough) {
  const ScreenRect r{10, 10, 20, 20};
  struct Case {
    int x1, y1, x2, y2;
    bool touches;
  };
  const Case cases[] = {
      {0, 15, 30, 15, true},    // straight across
      {15, 0, 15, 9, false},    // vertical, short of the top edge
      {15, 0, 15, 10, true},    // reaching it
      {0, 0, 30, 30, true},     // the diagonal through both corners
      {0, 19, 19, 0, false},    // just short of the upper left corner
      {0, 20, 20, 0, true},     // through it
      {0, 41, 41, 0, false},    // just past the lower right corner
      {0, 30, 9, 21, false},    // the ranges meet nowhere
      {12, 12, 14, 14, true},   // wholly inside
      {15, 15, 15, 15, true},   // a point inside
      {25, 15, 25, 15, false},  // a point outside
      {0, 5, 40, 25, true},     // long and shallow through the middle
      {0, 40, 40, 0, true},     // through the lower right corner
  };
  for (const Case& c : cases)
    EXPECT_EQ(SegmentTouchesRect(c.x1, c.y1, c.x2, c.y2, r), c.touches)
        << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
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
