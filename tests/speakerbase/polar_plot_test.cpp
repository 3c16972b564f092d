// The polar plots' curves, rings and layout.
#include "speakerbase/polar_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/speakerbase/view_fixtures.h"

namespace {

using view_fixtures::Disc;
using view_fixtures::FlatRecord;
using view_fixtures::SetCode;

TEST(PolarCurveTest, EachCutTakesItsColumnsOnItsSides) {
  SpeakerType record = FlatRecord();
  for (int column = 0; column < kBalloonColumns; ++column) {
    SetCode(record, 2, 0, column, 225);
    SetCode(record, 2, 36, column, 10);
  }
  for (int row = 1; row < 36; ++row) {
    SetCode(record, 2, row, 36, uint8_t(100 + row));
    SetCode(record, 2, row, 0, uint8_t(150 + row));
    SetCode(record, 2, row, 18, uint8_t(50 + row));
    SetCode(record, 2, row, 54, uint8_t(200 + row));
  }
  const auto horizontal = PolarCurveCodes(record.BalloonBand(2), PolarCut::kHorizontal);
  const auto vertical = PolarCurveCodes(record.BalloonBand(2), PolarCut::kVertical);
  for (const auto* codes : {&horizontal, &vertical}) {
    EXPECT_EQ((*codes)[0], 225);
    EXPECT_EQ((*codes)[36], 10);
  }
  for (int row = 1; row < 36; ++row) {
    EXPECT_EQ(horizontal[size_t(row)], 100 + row) << row;       // left: column 36
    EXPECT_EQ(horizontal[size_t(72 - row)], 150 + row) << row;  // right: column 0
    EXPECT_EQ(vertical[size_t(row)], 50 + row) << row;          // left: column 18
    EXPECT_EQ(vertical[size_t(72 - row)], 200 + row) << row;    // right: column 54
  }
}

TEST(PolarCurveTest, ACodeLiesAtItsShareOfTheRadiusCounterClockwiseFromTheTop) {
  const ViewPoint c{300, 200};
  const SpeakerType flat = FlatRecord();
  const auto outer = PolarCurve(flat.BalloonBand(0), PolarCut::kVertical, c, 90);
  for (int k = 0; k < kPolarPoints; ++k)
    EXPECT_NEAR(std::hypot(outer[size_t(k)].x - c.x, outer[size_t(k)].y - c.y), 90, 0.71) << k;
  EXPECT_EQ(outer[0], (ViewPoint{300, 110}));
  EXPECT_EQ(outer[18], (ViewPoint{210, 200}));  // 90 degrees: left
  EXPECT_EQ(outer[36], (ViewPoint{300, 290}));
  EXPECT_EQ(outer[54], (ViewPoint{390, 200}));
  EXPECT_EQ(outer[6], (ViewPoint{255, 122}));  // 30 degrees: 45 left, 78 up
  const SpeakerType tenDown = FlatRecord(175), silent = FlatRecord(0);
  EXPECT_EQ(PolarCurve(tenDown.BalloonBand(0), PolarCut::kHorizontal, c, 90)[18], (ViewPoint{230, 200}));  // 70 px
  for (ViewPoint p : PolarCurve(silent.BalloonBand(0), PolarCut::kHorizontal, c, 90)) EXPECT_EQ(p, c);
}

TEST(PolarCurveTest, WholeTenDecibelRingsAreDrawnInPenZeroTheOthersInPenFive) {
  std::vector<int16_t> pens;
  for (int code : kPolarRingCodes) pens.push_back(PolarRingPen(code));
  EXPECT_EQ(pens, (std::vector<int16_t>{5, 0, 5, 0, 5, 0, 5, 0}));  // codes 50 .. 225
}

TEST(PolarLayoutTest, TheRadiusFollowsTheCellWidth) {
  const PolarPlotLayout layout = LayOutPolarPlots(FlatRecord(), 960, 600);
  EXPECT_EQ(layout.cellWidth, 236);
  EXPECT_EQ(layout.radius, 86);  // 236 / 2 - 32
  EXPECT_EQ(layout.heading.text, "Test Brand : FLAT");
  // Bands 0 to 3 in the first row, 4 to 6 in the second.
  const int firstRow = layout.cells[0].centre.y, secondRow = layout.cells[4].centre.y;
  EXPECT_GT(secondRow - firstRow, 2 * 86);
  for (int band = 0; band < kBandCount; ++band) {
    const PolarPlotCell& cell = layout.cells[size_t(band)];
    EXPECT_EQ(cell.centre.x, 8 + (band % 4) * 236 + 118) << band;
    EXPECT_EQ(cell.centre.y, band < 4 ? firstRow : secondRow) << band;
  }
  EXPECT_EQ(layout.cells[0].header.text, "125 Hz Ref: 90.0 dB");
  EXPECT_EQ(layout.cells[3].header.text, "1 kHz Ref: 93.0 dB");
  EXPECT_EQ(layout.cells[6].header.text, "8 kHz Ref: 96.0 dB");
  const auto& labels = layout.cells[0].labels;
  EXPECT_EQ(labels[0].text, "0\xB0");
  EXPECT_LT(labels[0].box.bottom, firstRow - 86);
  EXPECT_EQ(labels[1].text, "180\xB0");
  EXPECT_GT(labels[1].box.top, firstRow + 86);
  EXPECT_EQ(labels[2].text, "+90\xB0");
  EXPECT_LT(labels[2].box.right, 126 - 86);
  EXPECT_EQ(labels[3].text, "-90\xB0");
  EXPECT_GT(labels[3].box.left, 126 + 86);
  std::vector<std::string> legend;
  for (const LegendEntry& e : layout.legend) legend.push_back(e.text.text);
  EXPECT_EQ(legend, (std::vector<std::string>{"Hor.", "Vert.", "-0/-10/-20 dB", "-5/-15/-25 dB"}));
  EXPECT_EQ(layout.legend[0].pen, 21);
  EXPECT_EQ(layout.legend[1].pen, 32);
  EXPECT_GT(layout.legend[0].from.y, secondRow + 86);
}

TEST(PolarLayoutTest, AWideWindowShrinksThePlotsUntilBothRowsFit) {
  const PolarPlotLayout layout = LayOutPolarPlots(FlatRecord(), 1852, 900);
  EXPECT_LT(layout.radius, 459 / 2 - 32);
  EXPECT_LE(layout.legend.back().text.box.bottom, 900);
  EXPECT_EQ(LayOutPolarPlots(FlatRecord(), 100, 50).radius, kMinPolarRadius);
}

TEST(PolarLayoutTest, TextsNeverMeetEachOtherThePlotsOrTheButton) {
  for (const auto& [width, height] : view_fixtures::kWindowSizes) {
    const PolarPlotLayout layout = LayOutPolarPlots(FlatRecord(), width, height);
    std::vector<ViewText> texts = {layout.heading};
    std::vector<Disc> discs;
    for (const PolarPlotCell& cell : layout.cells) {
      texts.push_back(cell.header);
      texts.insert(texts.end(), cell.labels.begin(), cell.labels.end());
      discs.push_back({cell.centre, layout.radius + 1.0});
    }
    for (const LegendEntry& e : layout.legend) texts.push_back(e.text);
    view_fixtures::ExpectTextsApart(texts, discs, view_fixtures::ViewButtons(1), width, height);
  }
}

}  // namespace
