// The arithmetic of the reflection and impulse-response windows: the path
// scroll bar, the time span, the articulation loss and the plot's scales.
#include "design/windows/ray_windows.h"

#include <gtest/gtest.h>

#include "tests/design/acoustics/audio_fixtures.h"

namespace {

using platform::kScrollLineDown;
using platform::kScrollLineUp;
using platform::kScrollPageDown;
using platform::kScrollPageUp;
using platform::kScrollThumbTrack;

TEST(PathScrollTest, EachCodeMovesTheSelectionWithinItsBounds) {
  struct Case {
    int selection, paths;
    unsigned code;
    int thumb;
    bool impulse;
    int expected;
  };
  const Case cases[] = {
      {14, 25, kScrollPageDown, 0, false, 24},    {15, 25, kScrollPageDown, 0, false, 24},
      {13, 25, kScrollPageDown, 0, false, 23},    {-1, 25, kScrollPageDown, 0, false, 9},
      {24, 25, kScrollLineDown, 0, false, 24},    {3, 25, kScrollLineDown, 0, true, 4},
      {0, 25, kScrollLineUp, 0, false, -1},       {-1, 25, kScrollLineUp, 0, false, -1},
      {0, 25, kScrollLineUp, 0, true, 0},         {9, 25, kScrollPageUp, 0, false, -1},
      {8, 25, kScrollPageUp, 0, false, 8},        {9, 25, kScrollPageUp, 0, true, 9},
      {10, 25, kScrollPageUp, 0, true, 0},        {0, 5000, kScrollThumbTrack, 1000, false, 4999},
      {0, 25, kScrollThumbTrack, 500, false, 12}, {-1, 1, kScrollThumbTrack, 1000, false, 0},
      {-1, 1, kScrollLineDown, 0, false, 0},      {0, 1, kScrollPageDown, 0, true, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScrollPathSelection(c.selection, c.paths, c.code, c.thumb, c.impulse), c.expected)
        << c.selection << " of " << c.paths << " code " << c.code << (c.impulse ? " impulse" : " reflection");
}

TEST(PathScrollTest, TheBarFollowsTheSelection) {
  EXPECT_DOUBLE_EQ(PathScrollFactor(25), 1000.0 / 24);
  EXPECT_DOUBLE_EQ(PathScrollFactor(1), 1000.0);
  EXPECT_EQ(PathScrollPosition(-1, 25), 0);
  EXPECT_EQ(PathScrollPosition(12, 25), 500);
  EXPECT_EQ(PathScrollPosition(24, 25), 1000);
  EXPECT_EQ(PathScrollPosition(0, 1), 0);
}

TEST(ImpulsePlotTest, TheSpanIsTheFirstStepAboveTheLatestArrival) {
  const std::pair<float, float> cases[] = {{0, 100},     {95, 100},     {100, 200},     {999, 1000},
                                           {1000, 1500}, {9999, 10000}, {10000, 11000}, {12345, 13000}};
  for (const auto& [latest, span] : cases) EXPECT_EQ(ImpulseTimeSpan(latest), span) << latest;
}

TEST(ImpulsePlotTest, LevelsAndTimesMapIntoTheFrame) {
  const ImpulsePlot plot = LayoutImpulsePlot(648, 400, 87.0f, 95.0f);
  EXPECT_EQ(plot.left, 32);
  EXPECT_EQ(plot.right, 632);
  EXPECT_EQ(plot.baseline, 260);
  EXPECT_EQ(plot.topLevel, 90.0);
  EXPECT_EQ(plot.LevelY(90.0), 60);
  EXPECT_EQ(plot.LevelY(30.0), 260);
  EXPECT_EQ(plot.TimeX(0), 33);
  EXPECT_EQ(plot.TimeX(50), 333);
}

TEST(AlconsTest, TheLossIsCappedAtAHundred) {
  // A = 0.6406 T 10^(Lr / 10) / 10^(Ld / 10).
  EXPECT_NEAR(AlconsPercent(2.0, 20.0, 30.0), 0.6406 * 2 * 100 / 1000, 1e-12);
  // Ld at or below 0 dB divides by 1.
  EXPECT_NEAR(AlconsPercent(1.0, 10.0, 0.0), 6.406, 1e-12);
  // 0.6406 x 3.9026 x 100 = 250.
  EXPECT_EQ(AlconsPercent(3.9026, 20.0, 0.0), 100.0);
}

TEST(PathDetailsTest, AllFortyReflectingFacesAreNamed) {
  OwnedObjectList paths;
  std::vector<ObjectVertex> points(42);
  GraphicObject* path = audio_fixtures::AddRayPath(paths.list(), points, 0, audio_fixtures::Levels(1));
  const std::string text = ReflectingFacesText(path);
  EXPECT_EQ(text.rfind("Reflecting Faces : #1 #2 ", 0), 0u);
  EXPECT_NE(text.find("#39 #40 "), std::string::npos);
}

}  // namespace
