#include "framework/core/perspective.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

constexpr double kDeg = kPi / 180;
constexpr int kWidth = 800, kHeight = 600;

std::array<double, 3> Direction(const AxisAngles& a) {
  return {std::cos(a.vertical) * std::cos(a.horizontal), std::cos(a.vertical) * std::sin(a.horizontal),
          std::sin(a.vertical)};
}

TEST(PerspectiveMappingTest, TheViewAlongADirectionHasItOnItsAxisAndLevelWithTheHorizon) {
  for (const AxisAngles axis : {AxisAngles{0, 0}, AxisAngles{90 * kDeg, 0}, AxisAngles{-150 * kDeg, 30 * kDeg},
                                AxisAngles{45 * kDeg, -80 * kDeg}}) {
    const PerspectiveAngles view = PerspectiveLookingAlong(axis);
    const ViewRotationMatrix r = ViewRotation(view.turn, view.tilt);
    const std::array<double, 3> d = Direction(axis);
    const EyePoint e = ToEyeSpace(r, d[0], d[1], d[2]);
    EXPECT_NEAR(e.x, 0, 1e-9);
    EXPECT_NEAR(e.y, 0, 1e-9);
    EXPECT_NEAR(e.depth, 1, 1e-9);
    // The screen horizontal stays level, and its right lies clockwise of the axis.
    EXPECT_NEAR(ToEyeSpace(r, 0, 0, 1).x, 0, 1e-9);
    EXPECT_NEAR(ToEyeSpace(r, std::sin(axis.horizontal), -std::cos(axis.horizontal), 0).x, 1, 1e-9);
    const AxisAngles back = PerspectiveAxis(view);
    EXPECT_NEAR(back.horizontal, axis.horizontal, 1e-9);
    EXPECT_NEAR(back.vertical, axis.vertical, 1e-9);
    // Eye space and back.
    const std::array<double, 3> world = FromEyeSpace(r, ToEyeSpace(r, 1, -2, 3));
    EXPECT_NEAR(world[0], 1, 1e-9);
    EXPECT_NEAR(world[1], -2, 1e-9);
    EXPECT_NEAR(world[2], 3, 1e-9);
  }
}

TEST(PerspectiveMappingTest, ADirectionLandsByItsAngleOffTheAxisAndComesBackFromThatPixel) {
  const double f = FisheyePixelsPerRadian(kWidth, kHeight);
  EXPECT_NEAR(f, kWidth / 1.5708, 1e-9);
  // 90 degrees off the axis lands max(width, height) pixels from the centre.
  EXPECT_NEAR(FisheyeProject({1, 0, 0}, kWidth, kHeight).x - kWidth / 2, kWidth, 0.1);
  for (const EyePoint e : {EyePoint{0.3, 0.1, 0.9}, EyePoint{-0.5, -0.4, 0.2}, EyePoint{0, 0.7, 0.7}}) {
    const double length = std::sqrt(e.x * e.x + e.y * e.y + e.depth * e.depth);
    const FisheyePixel p = FisheyeProject(e, kWidth, kHeight);
    const double off = std::hypot(p.x - kWidth / 2, p.y - kHeight / 2);
    EXPECT_NEAR(off, f * std::acos(e.depth / length), 0.01);
    const EyePoint back = FisheyeDirection(p.x - kWidth / 2, p.y - kHeight / 2, kWidth, kHeight);
    EXPECT_NEAR(back.x, e.x / length, 1e-4);
    EXPECT_NEAR(back.y, e.y / length, 1e-4);
    EXPECT_NEAR(back.depth, e.depth / length, 1e-4);
  }
  const EyePoint axis = FisheyeDirection(0, 0, kWidth, kHeight);
  EXPECT_EQ(axis.depth, 1);
}

TEST(PerspectiveMappingTest, AClickMakesItsDirectionTheAxisOfTheNextView) {
  const PerspectiveAngles level = PerspectiveLookingAlong({0, 0});
  // The centre changes nothing.
  EXPECT_EQ(RecentrePerspective(level, kWidth / 2, kHeight / 2, kWidth, kHeight), level);
  // The right edge of a view wider than high turns it by (pi/2) (w/2) / w,
  // clockwise seen from above.
  const AxisAngles right = PerspectiveAxis(RecentrePerspective(level, kWidth, kHeight / 2, kWidth, kHeight));
  EXPECT_NEAR(right.horizontal, -kPi / 4, 1e-5);
  EXPECT_NEAR(right.vertical, 0, 1e-9);

  // Anywhere in a tilted view: the direction shown at the click is the new axis.
  const PerspectiveAngles tilted = PerspectiveLookingAlong({120 * kDeg, -35 * kDeg});
  const ViewRotationMatrix r = ViewRotation(tilted.turn, tilted.tilt);
  for (const std::array<int, 2> click : {std::array<int, 2>{100, 50}, {700, 500}, {420, 10}}) {
    const EyePoint shown = FisheyeDirection(click[0] - kWidth / 2, click[1] - kHeight / 2, kWidth, kHeight);
    const std::array<double, 3> expected = FromEyeSpace(r, shown);
    const PerspectiveAngles next = RecentrePerspective(tilted, click[0], click[1], kWidth, kHeight);
    const std::array<double, 3> axis = Direction(PerspectiveAxis(next));
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(axis[size_t(i)], expected[size_t(i)], 1e-9);
    EXPECT_LE(next.turn, kPi / 2);
    EXPECT_GE(next.turn, -3 * kPi / 2);
    EXPECT_LE(next.tilt, 0);
    EXPECT_GE(next.tilt, -kPi);
  }
}

}  // namespace
