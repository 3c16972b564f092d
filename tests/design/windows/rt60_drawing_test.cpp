// The RT60 graph as it reaches a window.
#include "design/windows/rt60_drawing.h"

#include <gtest/gtest.h>

#include "framework/core/geometry.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/framework/view/view_fixture.h"

namespace {

class Rt60DrawingTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    SetMaterial(0, 0.1f);
    AddBoxRoom({10, 10, 10});
  }
};

TEST_F(Rt60DrawingTest, BothCurvesAndTheScaleReachTheWindow) {
  SelectOutputWindow(DrawWindow);
  const Rt60Figure figure = DrawRt60Graph({kRt60Sabine, {}}, ProjectTables());
  EXPECT_EQ(figure.right, Width() - 48);
  EXPECT_EQ(figure.baseline, (Height() - 32) / 2);
  EXPECT_EQ(figure.scaleSeconds, 3);
  EXPECT_FALSE(figure.impossible);
  // The markers of the two curves: at 125 Hz the with-air curve lies over
  // the one without; at 8 kHz they stand apart.
  const Rt60Point without = figure.curves[0].points[6], with = figure.curves[1].points[6];
  ASSERT_GT(with.y, without.y + 10);
  EXPECT_EQ(At(without.x + 1, without.y + 1), Palette(kRt60WithoutAirColour));
  EXPECT_EQ(At(with.x + 1, with.y + 1), Palette(kRt60WithAirColour));
  EXPECT_EQ(At(figure.curves[1].points[0].x + 1, figure.curves[1].points[0].y + 1), Palette(kRt60WithAirColour));
  // The frame's baseline and the white ground.
  EXPECT_EQ(At(figure.left + 60, figure.baseline), Palette(0));
  EXPECT_EQ(At(figure.left + 60, figure.baseline + 10), Palette(30));
  // The read-outs below: ink under every band.
  for (int x : figure.bandX) EXPECT_GT(CountColour(0, x - 24, figure.baseline + 20, x + 30, figure.baseline + 60), 0);
  EXPECT_GT(CountColour(kRt60WithAirColour, figure.bandX[3] - 24, figure.baseline + 100, figure.bandX[3] + 40,
                        figure.baseline + 140),
            0);
}

}  // namespace
