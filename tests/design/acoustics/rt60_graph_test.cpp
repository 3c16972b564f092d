#include "design/acoustics/rt60_graph.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "framework/core/geometry.h"
#include "tests/design/acoustics/room_fixtures.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

class Rt60GraphTest : public RoomModelTest {
 protected:
  static Rt60Figure Figure(int32_t method, bool feet = false, BandValues measured = {}) {
    const Rt60Graph graph = ComputeRt60Graph({method, measured}, ProjectTables());
    return LayoutRt60Graph(method, graph, MeasureRoomClosure(gObjects.model), kWidth, kHeight, feet);
  }
  // Whether the figure has `text` at (x, y) in `colour`.
  static bool HasText(const Rt60Figure& figure, const std::string& text, int x, int y, int16_t colour = 0) {
    for (const Rt60Text& t : figure.texts)
      if (t.x == x && t.y == y && t.text == text) return t.colour == colour;
    return false;
  }
};

TEST_F(Rt60GraphTest, TheTenMetreCubeLaysOutItsScaleAndReadOuts) {
  AddTenMetreCube(0.1f);
  const Rt60Figure figure = Figure(kRt60Sabine);
  EXPECT_EQ(figure.left, 48);
  EXPECT_EQ(figure.right, 752);
  EXPECT_EQ(figure.top, 32);
  EXPECT_EQ(figure.baseline, 284);
  EXPECT_EQ(figure.bandX, (std::array<int, kBandCount>{48, 165, 282, 399, 516, 633, 750}));
  // The longest time, 161 / 60 = 2.68 s without air, gives three seconds of
  // 84 pixels.
  EXPECT_EQ(figure.scaleSeconds, 3);
  EXPECT_DOUBLE_EQ(figure.pixelsPerSecond, 84);
  EXPECT_TRUE(HasText(figure, "0 s", 12, 276));
  EXPECT_TRUE(HasText(figure, "3 s", 12, 24));
  EXPECT_TRUE(HasText(figure, "RT60 >Sabine<", 344, 8));
  EXPECT_TRUE(HasText(figure, "inc. air absorbtion", 48, 8, kRt60WithAirColour));
  EXPECT_TRUE(HasText(figure, "w/o air absorbtion", 616, 8, kRt60WithoutAirColour));

  // 125 Hz: no air. 4 kHz: D = 4 x 0.009 x 1000 = 36 m^2 beside 60 m^2.
  EXPECT_TRUE(HasText(figure, "125 Hz", 24, 304));
  EXPECT_TRUE(HasText(figure, "2.68 s", 24, 324));
  EXPECT_TRUE(HasText(figure, "4000 Hz", 609, 304));
  EXPECT_TRUE(HasText(figure, "1.68 s", 609, 324));
  EXPECT_TRUE(HasText(figure, " 96.0 Sa", 609, 384, kRt60WithAirColour));
  EXPECT_TRUE(HasText(figure, "a = 16.0%", 609, 404, kRt60WithAirColour));
  int materialLines = 0;
  for (const Rt60Text& t : figure.texts) materialLines += t.text == " 60.0 Sa" && t.colour == kRt60WithoutAirColour;
  EXPECT_EQ(materialLines, 7);

  // Curves: without air at 2.68 s in every band; with air shorter upwards.
  EXPECT_EQ(figure.curves[0].pen, kRt60WithoutAirColour);
  EXPECT_EQ(figure.curves[1].pen, kRt60WithAirColour);
  for (size_t b = 0; b < kBandCount; ++b) {
    EXPECT_EQ(figure.curves[0].points[b].x, figure.bandX[b]);
    EXPECT_EQ(figure.curves[0].points[b].y, 59);  // 284 - 84 x 2.683
  }
  EXPECT_EQ(figure.curves[1].points[5].y, 143);  // 284 - 84 x 161 / 96

  // Whole and half seconds across the graph.
  int scaleLines = 0;
  for (const Rt60Line& line : figure.lines)
    if (line.y1 == line.y2 && line.x1 == 48 && line.x2 == 752) ++scaleLines;
  EXPECT_EQ(scaleLines, 2 + 4 + 3);  // the frame's top and bottom among them

  EXPECT_TRUE(HasText(figure, "V total : 1000.0 cbm", 312, 434));
  EXPECT_TRUE(HasText(figure, "S total :  600.0 m\xB2", 312, 454));
  for (const Rt60Text& t : figure.texts) EXPECT_EQ(t.text.find("Error"), std::string::npos) << t.text;
  EXPECT_FALSE(figure.impossible);
}

TEST_F(Rt60GraphTest, AnOpenRoomNamesTheProjectionThatLeaks) {
  AddTenMetreCube(0.1f, 1);  // no ceiling
  for (bool feet : {false, true}) {
    const Rt60Figure figure = Figure(kRt60Eyring, feet);
    if (!feet) {
      EXPECT_TRUE(HasText(figure, "V total :  666.7 cbm", 312, 434));
      EXPECT_TRUE(HasText(figure, "S total :  500.0 m\xB2", 312, 454));
      EXPECT_TRUE(HasText(figure, "Total Area Error : 100.00 m\xB2", 312, 474));
      EXPECT_TRUE(HasText(figure, "XY Area : 100.00 m\xB2, XY Error : 100.00 m\xB2 ", 312, 492));
    } else {
      EXPECT_TRUE(HasText(figure, "V total : 23543.1 cu.ft", 312, 434));
      EXPECT_TRUE(HasText(figure, "S total : 5382.0 ft\xB2", 312, 454));
      EXPECT_TRUE(HasText(figure, "Total Area Error : 1076.39 ft\xB2", 312, 474));
      EXPECT_TRUE(HasText(figure, "XY Area : 1076.39 ft\xB2, XY Error : 1076.39 ft\xB2 ", 312, 492));
    }
    for (const Rt60Text& t : figure.texts)  // YZ and XZ are closed
      EXPECT_TRUE(t.text.rfind("YZ", 0) && t.text.rfind("XZ", 0)) << t.text;
  }
}

TEST_F(Rt60GraphTest, TimesWithoutEndShowAsTheCapOnABoundedScale) {
  // No absorption: the times without air are the cap.
  AddTenMetreCube(0);
  Rt60Figure figure = Figure(kRt60Fitzroy);
  EXPECT_EQ(figure.scaleSeconds, int(kMaxRt60));
  EXPECT_DOUBLE_EQ(figure.pixelsPerSecond, 2.52);
  EXPECT_TRUE(HasText(figure, "100 s", 12, 24));
  EXPECT_EQ(figure.curves[0].points[3].y, figure.top);
  EXPECT_EQ(figure.lines.size(), 3 + 7 + 101 + 100u);

  // Times that are not numbers or beyond the cap, as a damaged project could
  // hand in.
  Rt60Graph graph;
  graph.withAir.rt60 = {
      std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1, 1e300, 2, 2, 2};
  graph.withoutAir = AllBands(std::numeric_limits<double>::infinity());
  figure = LayoutRt60Graph(kRt60Measured, graph, RoomClosure{}, kWidth, kHeight, false);
  EXPECT_EQ(figure.scaleSeconds, int(kMaxRt60));
  EXPECT_TRUE(HasText(figure, "0.00 s", 258, 324));  // the negative time at 500 Hz
  int capped = 0;
  for (const Rt60Text& t : figure.texts) capped += t.text == "100.00 s";
  EXPECT_EQ(capped, 3);
  EXPECT_TRUE(HasText(figure, "a = 0.0%", 24, 364, kRt60WithoutAirColour));  // no area: no share
}

TEST_F(Rt60GraphTest, MeasuredTimesShowTheAirsShareApart) {
  AddTenMetreCube(0.1f);
  // 1.61 s in a 1000 m^3 room imply A = 100 m^2 in every band.
  const Rt60Figure figure = Figure(kRt60Measured, false, AllBands(1.61));
  EXPECT_TRUE(HasText(figure, "RT60 >Measurement<", 344, 8));
  EXPECT_TRUE(HasText(figure, " 64.0 Sa", 609, 344, kRt60WithoutAirColour));  // 4 kHz: A - D = 100 - 36
  EXPECT_TRUE(HasText(figure, "100.0 Sa", 609, 384, kRt60WithAirColour));
  EXPECT_TRUE(figure.impossible);  // at 8 kHz D = 140 m^2 exceeds A
}

TEST_F(Rt60GraphTest, MeasuredTimesAreImpossibleOnceTheAirAbsorbsAllTheyImply) {
  // At 8 kHz D = 140 m^2, which a time of 1.15 s implies exactly.
  AddTenMetreCube(0.1f);
  const double exact = kSabineConstant * 1000 / 140;
  for (double factor : {1 - 1e-9, 1 + 1e-9}) {
    BandValues measured = AllBands(1);
    measured[6] = exact * factor;
    const Rt60Graph graph = ComputeRt60Graph({kRt60Measured, measured}, ProjectTables());
    EXPECT_EQ(graph.impossible, factor > 1) << factor;
    EXPECT_EQ(graph.withoutAir[6] > 0, factor < 1) << factor;
  }
  EXPECT_EQ(std::string(Rt60Title(7)), "RT60 >Sabine<");
}

}  // namespace
