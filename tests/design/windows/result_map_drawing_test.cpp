// The result map as it reaches a window: cells in the legend's colours,
// patterns for a printer without colour, the single points and their
// picking.
#include "design/windows/result_map_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "framework/model/layers.h"
#include "platform/drawing.h"
#include "tests/framework/view/view_fixture.h"
#include "tests/support/object_fixtures.h"

namespace {

constexpr char kTitle[] = "Korvane Design Engine ";
constexpr char kPath[] = "/tmp/HALL.KPR";

class ResultMapDrawingTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    // Two audience faces 4 x 2 m side by side, the second a metre higher;
    // a grid of 1 m gives 8 points on each.
    AddObject({RectangleXY(0, 0, 4, 2)}, kNoMaterial, kKindFace, kAudienceLayer);
    AddObject({RectangleXY(5, 0, 9, 2, 1)}, kNoMaterial, kKindFace, kAudienceLayer);
    int16_t size = 2;  // 1 m
    ASSERT_EQ(BuildMapGrid(gObjects.model, result_.faces, size, result_.grid), 1);
    ASSERT_EQ(result_.grid.PointCount(), 16u);
    // Point i: 80 - 2 i dB in every band.
    MapGrid& grid = result_.grid;
    for (size_t i = 0; i < grid.points.size(); ++i) {
      grid.points[i].level.fill(float(std::pow(10.0, (80 - 2.0 * double(i)) / 10)));
      grid.points[i].time.fill(float(10 + i));
    }
    grid.ranges.maxLevel.fill(1e8f);
    grid.ranges.minLevel.fill(float(std::pow(10.0, 5.0)));
    grid.ranges.minTime.fill(10);
    grid.ranges.maxTime.fill(25);
    Show(kViewXY, 40, 4.5f, 1);
  }
  ColourScale Draw(int16_t mode, int16_t band, bool patterns = false) {
    SelectOutputWindow(DrawWindow);
    ResultMapPicture picture{result_, singlePoints_, {mode, band, kAutoScaleStep}, terms_, kRt60Sabine, kTitle, kPath,
                             export_, patterns};
    return DrawResultMap(picture);
  }
  int X(float x) const { return WorldToScreen(x, kAxisHorizontal); }
  int Y(float y) const { return WorldToScreen(y, kAxisVertical); }
  // The centre pixel of legend box i.
  int BoxX() const { return Width() - kResultLegendStrip + kLegendBoxInset + kLegendBoxWidth / 2; }
  int BoxY(int i) const { return kLegendBoxesTop + i * kLegendBoxHeight + kLegendBoxHeight / 2; }

  MapResult result_;
  SinglePointList singlePoints_;
  ReverberantTerms terms_;
  SinglePointExport export_;
};

TEST_F(ResultMapDrawingTest, CellsShowTheLegendColoursTheirValuesSay) {
  ASSERT_GT(Width(), X(9) + kResultLegendStrip);
  const ColourScale scale = Draw(kResultDirectLevel, 0);
  EXPECT_EQ(scale.top, 80);
  EXPECT_EQ(scale.step, 1);
  for (size_t i = 0; i < result_.grid.points.size(); ++i) {
    const GridPoint& p = result_.grid.points[i];
    const int16_t colour = ScaleColour(scale, 80 - 2.0 * double(i));
    EXPECT_EQ(colour, std::max(63 - 2 * int(i), 37)) << i;
    // The whole cell, short of its edges, in the class's colour.
    for (float dx : {-0.4f, 0.0f, 0.4f})
      for (float dy : {-0.4f, 0.0f, 0.4f})
        EXPECT_EQ(At(X(p.x + dx), Y(p.y + dy)), Palette(colour)) << i << " " << dx << " " << dy;
    // ... which is the colour of its legend box.
    if (colour > 63 - kLegendBoxCount) {
      EXPECT_EQ(At(BoxX(), BoxY(63 - colour)), Palette(colour)) << i;
    }
  }
  // Between the faces no cell.
  EXPECT_NE(At(X(4.5f), Y(1)), Palette(37));
  // The strips: white, framed, the title on top.
  EXPECT_EQ(At(Width() / 2, 0), Palette(0));
  EXPECT_EQ(At(Width() - kResultLegendStrip, 200), Palette(0));
  EXPECT_EQ(At(Width() - 3, kLegendBoxesTop + kLegendBoxCount * kLegendBoxHeight + 2), Palette(30));
  EXPECT_GT(CountColour(0, 8, 1, 8 + 8 * 22, kResultTitleStrip - 1), 0);
}

TEST_F(ResultMapDrawingTest, LabelsStandBesideTheBoxesInRange) {
  // Ld at 62.4 .. 97.6 dB: 19 labels beside 20 boxes.
  result_.grid.ranges.maxLevel.fill(float(std::pow(10.0, 9.76)));
  result_.grid.ranges.minLevel.fill(float(std::pow(10.0, 6.24)));
  Draw(kResultDirectLevel, kAllBands);
  const int labelX = Width() - kResultLegendStrip + kLegendBoxInset + kLegendLabelOffset;
  auto labelInk = [&](int i) {
    const int top = kLegendBoxesTop + i * kLegendBoxHeight;
    return CountColour(0, labelX, top, Width() - 1, top + kLegendBoxHeight);
  };
  EXPECT_GT(labelInk(0), 0);
  EXPECT_GT(labelInk(18), 0);
  EXPECT_EQ(labelInk(19), 0);
}

TEST_F(ResultMapDrawingTest, APrinterWithoutColourGetsTheLevelPatterns) {
  const ColourScale scale = Draw(kResultDirectLevel, 0, true);
  // Cell 6 (68 dB, 12 steps below the top: class 51) and legend box 12 show
  // the same pattern, aligned to the target's origin, in black and white
  // instead of the class's colour.
  const GridPoint& p = result_.grid.points[6];
  ASSERT_EQ(ScaleColour(scale, 68), 51);
  const int cellX = X(p.x - 0.4f), cellY = Y(p.y + 0.4f);  // the cell's top left, inside
  const int boxX = Width() - kResultLegendStrip + kLegendBoxInset, boxY = kLegendBoxesTop + 12 * kLegendBoxHeight;
  std::set<platform::Colour> colours;
  int compared = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const int cx = cellX + x, cy = cellY + y;
      const int bx = boxX + ((cx - boxX) % 8 + 8) % 8, by = boxY + ((cy - boxY) % 8 + 8) % 8;
      EXPECT_EQ(At(cx, cy), At(bx, by)) << x << " " << y;
      colours.insert(At(cx, cy));
      ++compared;
    }
  EXPECT_EQ(compared, 64);
  EXPECT_EQ(colours.count(Palette(51)), 0u);
  EXPECT_EQ(colours.size(), 2u);  // a two-colour pattern
}

TEST_F(ResultMapDrawingTest, SinglePointsArePickedAndShownWithTheirValue) {
  const std::vector<PixelPosition> pixels = GridPointPixels(result_);
  ASSERT_EQ(pixels.size(), 16u);
  const GridPoint& fifth = result_.grid.points[5];
  EXPECT_EQ(pixels[5].x, X(fifth.x));
  EXPECT_EQ(pixels[5].y, Y(fifth.y));
  const int picked = NearestGridPoint(pixels, pixels[5].x + 6, pixels[5].y - 7);
  ASSERT_EQ(picked, 5);
  EXPECT_EQ(NearestGridPoint(pixels, pixels[5].x + 20, pixels[5].y), -1);  // between the points
  MatchSinglePointsToGrid(singlePoints_, result_.grid.PointCount());
  ASSERT_EQ(AddSinglePoint(singlePoints_, uint16_t(picked)), 1);

  Draw(kResultTime, kAllBands);
  const PixelPosition at = pixels[5];
  EXPECT_EQ(At(at.x, at.y), Palette(0));  // the square about the point
  EXPECT_EQ(At(at.x + 1, at.y + 1), Palette(0));
  // "15.00" on white above and right of it, with its underline.
  EXPECT_GT(CountColour(0, at.x + 4, at.y - 20, at.x + 4 + 5 * 7, at.y - 4), 0);
  EXPECT_EQ(At(at.x + 4 + 5 * 7 - 1, at.y - 4), Palette(0));
  EXPECT_GT(CountColour(30, at.x + 4, at.y - 20, at.x + 4 + 5 * 7, at.y - 4), 0);
}

}  // namespace
