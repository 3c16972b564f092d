#include "design/acoustics/result_map.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "framework/core/state_reset.h"
#include "framework/model/layers.h"
#include "tests/support/object_fixtures.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The labels of the legend boxes that have one.
std::vector<std::string> Labels(const ColourScale& scale) {
  std::vector<std::string> labels;
  for (const LegendBox& box : LegendBoxes(scale))
    if (!box.label.empty()) labels.push_back(box.label);
  return labels;
}

ColourScale Scale(int16_t mode, int16_t step, double maximum, double minimum) {
  return MakeColourScale(mode, step, ResultRange{maximum, minimum});
}

// ---- The colour scale ----

TEST(ColourScaleTest, ScalesByModeAndStep) {
  struct Case {
    const char* what;
    int16_t mode, step;
    double maximum, minimum;
    int m, n, s, top, bottom;  // M, m, s, top, bottom
  };
  const Case cases[] = {
      {"Ld Auto 62.4..97.6 dB", kResultDirectLevel, kAutoScaleStep, 97.6, 62.4, 98, 62, 2, 98, 68},
      {"Lt 2 dB", kResultTotalLevel, 1, 97.6, 62.4, 98, 62, 2, 98, 68},
      {"Ld Auto on a narrow range steps by 1", kResultDirectLevel, kAutoScaleStep, 70.2, 65, 70, 65, 1, 70, 55},
      {"Ld Auto takes a negative m as 0", kResultDirectLevel, kAutoScaleStep, 40, -20, 40, 0, 3, 40, -5},
      {"Ld-Lr Auto keeps a negative m", kResultDirectToReverb, kAutoScaleStep, 10, -22, 10, -22, 2, 10, -20},
      {"Ld-Lr rounds half away from zero", kResultDirectToReverb, 2, -2.5, -40.5, -3, -41, 3, -3, -48},
      {"Time Auto 3..40 ms", kResultTime, kAutoScaleStep, 40, 3, 40, 3, 3, 48, 3},
      {"Time 30 ms", kResultTime, 2, 90, 3, 90, 3, 30, 453, 3},
      {"STI Auto steps by .05 from M", kResultSti, kAutoScaleStep, 87.3, 40, 87, 40, 5, 87, 12},
      {"STI .02 puts M on the step", kResultSti, 0, 87.3, 40, 86, 40, 2, 86, 56},
      {"export .05", kResultStiExport, 1, 87.3, 40, 85, 40, 5, 85, 10},
      {"STI .1", kResultSti, 2, 87.3, 40, 80, 40, 10, 80, -70},
      {"STI .1 below zero", kResultSti, 2, -5, -40, -10, -40, 10, -10, -160},
  };
  for (const Case& c : cases) {
    const ColourScale scale = Scale(c.mode, c.step, c.maximum, c.minimum);
    EXPECT_EQ(scale.maximum, c.m) << c.what;
    EXPECT_EQ(scale.minimum, c.n) << c.what;
    EXPECT_EQ(scale.step, c.s) << c.what;
    EXPECT_EQ(scale.top, c.top) << c.what;
    EXPECT_EQ(scale.bottom, c.bottom) << c.what;
  }
}

TEST(ColourScaleTest, ClassesCountStepsFromTheTop) {
  const ColourScale oneDb = Scale(kResultDirectLevel, 0, 97.6, 62.4);  // top 98
  EXPECT_EQ(ScaleColour(oneDb, 98), 63);
  EXPECT_EQ(ScaleColour(oneDb, 105), 63);   // above the top
  EXPECT_EQ(ScaleColour(oneDb, 78), 43);    // 20 dB below the top
  EXPECT_EQ(ScaleColour(oneDb, 68), 37);    // 30 dB below
  EXPECT_EQ(ScaleColour(oneDb, 77.6), 43);  // to the nearest step
  EXPECT_EQ(ScaleColour(oneDb, 77.4), 42);
  EXPECT_EQ(ScaleColour(oneDb, -1e300), 37);

  // Time counts up from the bottom: the earliest points take the top colour.
  const ColourScale time = Scale(kResultTime, kAutoScaleStep, 40, 3);
  EXPECT_EQ(ScaleColour(time, 3), 63);
  EXPECT_EQ(ScaleColour(time, 9), 61);
  EXPECT_EQ(ScaleColour(time, 10000), 37);  // a band without arrival

  for (double value : {kNaN, kInf, -kInf}) EXPECT_EQ(ScaleColour(oneDb, value), kNoDataColour) << value;
}

TEST(ColourScaleTest, LegendLabelsRunOverTheRange) {
  const std::array<LegendBox, kLegendBoxCount> boxes = LegendBoxes(Scale(kResultDirectLevel, -1, 97.6, 62.4));
  for (int i = 0; i < kLegendBoxCount; ++i) EXPECT_EQ(boxes[size_t(i)].brush, 63 - i);
  std::vector<std::string> levels;
  for (int dB = 98; dB >= 62; dB -= 2) levels.push_back(" " + std::to_string(dB));
  EXPECT_EQ(Labels(Scale(kResultDirectLevel, -1, 97.6, 62.4)), levels);  // 19 labels

  EXPECT_EQ(Labels(Scale(kResultTime, 1, 25, 3)), (std::vector<std::string>{"  3", " 13", " 23", " 33"}));
  EXPECT_EQ(Labels(Scale(kResultDirectToReverb, 0, 1, -2)), (std::vector<std::string>{"  1", "  0", " -1", " -2"}));

  // STI: a leading "0" goes, nothing else.
  const std::vector<std::string> sti = Labels(Scale(kResultSti, -1, 100, 86));
  EXPECT_EQ(sti, (std::vector<std::string>{"1.000", ".950", ".900", ".850"}));
  EXPECT_EQ(Labels(Scale(kResultStiExport, 2, 10, -15)),
            (std::vector<std::string>{".100", ".000", "-0.100", "-0.200"}));
}

TEST(ColourScaleTest, AResultWithoutFiniteValuesHasNoLabels) {
  // The start values stay: M below m, no label in range.
  const ResultRange none;
  for (int16_t mode : kModeButtonModes) {
    const ColourScale scale = MakeColourScale(mode, kAutoScaleStep, none);
    EXPECT_GE(scale.step, 1) << mode;
    EXPECT_TRUE(Labels(scale).empty()) << mode;
  }
  const ColourScale huge = MakeColourScale(kResultDirectLevel, kAutoScaleStep, {1e300, -1e300});
  EXPECT_EQ(huge.maximum, int(kResultRangeLimit));
  EXPECT_EQ(huge.minimum, 0);
}

// ---- Values and ranges ----

class ResultValueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    terms_.reverberant = {10, 10, 10, 10, 10, 10, 10};
    terms_.room.rt60 = {1, 1, 1, 1, 1, 1, 1};
    point_.level = {100, 1000, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f};
    point_.time = {30, 25, 20, 15, 12, 11, 10000};
  }
  ReverberantTerms terms_;
  GridPoint point_;
};

TEST_F(ResultValueTest, EachModeShowsItsQuantity) {
  struct Case {
    int16_t mode;
    double band2, all;
  };
  const Case cases[] = {
      {kResultDirectLevel, 40, DirectLevelAll(point_.level)},
      {kResultTotalLevel, TotalLevelBand(terms_, 2, 1e4), TotalLevelAll(terms_, point_.level)},
      {kResultTime, 20, 11},
      {kResultSti, StiBand(2, 1e4, terms_.Sti()), StiAll(point_.level, terms_.Sti())},
      {kResultStiExport, StiBand(2, 1e4, terms_.Sti()), StiAll(point_.level, terms_.Sti())},
      {kResultDirectToReverb, DirectToReverbBand(terms_, 2, 1e4), DirectToReverbAll(terms_, point_.level)},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(ResultValue(c.mode, 2, point_, terms_), c.band2, 1e-9) << c.mode;
    EXPECT_NEAR(ResultValue(c.mode, kAllBands, point_, terms_), c.all, 1e-9) << c.mode;
    // The read-out of a single point shows STI as a fraction.
    const double shown = c.mode == kResultSti || c.mode == kResultStiExport ? c.all / 100 : c.all;
    EXPECT_NEAR(SinglePointValue(c.mode, kAllBands, point_, terms_), shown, 1e-9) << c.mode;
  }
}

TEST_F(ResultValueTest, TheRangeComesFromTheBandRanges) {
  BandRanges ranges;
  ranges.maxLevel = {1e6f, 1e9f, 1e7f, 1e7f, 1e7f, 1e7f, 1e7f};
  ranges.minLevel = {1e2f, 1e5f, 1e3f, 1e4f, 1e4f, 1e4f, 1e4f};
  ranges.maxTime = {40, 50, 60, 30, 30, 30, 30};
  ranges.minTime = {3, 5, 6, 2, 7, 7, 7};
  const ResultRange band1 = ComputeResultRange(kResultDirectLevel, 1, ranges, terms_);
  EXPECT_NEAR(band1.maximum, 90, 1e-5);
  EXPECT_NEAR(band1.minimum, 50, 1e-5);
  const ResultRange all = ComputeResultRange(kResultDirectLevel, kAllBands, ranges, terms_);
  EXPECT_NEAR(all.maximum, 90, 1e-5);
  EXPECT_NEAR(all.minimum, 20, 1e-5);
  const ResultRange time = ComputeResultRange(kResultTime, kAllBands, ranges, terms_);
  EXPECT_EQ(time.maximum, 60);
  EXPECT_EQ(time.minimum, 2);
  const ResultRange lt = ComputeResultRange(kResultTotalLevel, 0, ranges, terms_);
  EXPECT_NEAR(lt.maximum, TotalLevelBand(terms_, 0, 1e6), 1e-9);

  // A damaged band is left out; a band of nothing but damage leaves the
  // start values.
  ranges.maxLevel[1] = float(kNaN);
  ranges.minLevel[0] = -1;
  EXPECT_NEAR(ComputeResultRange(kResultDirectLevel, kAllBands, ranges, terms_).maximum, 70, 1e-5);
  EXPECT_NEAR(ComputeResultRange(kResultDirectLevel, kAllBands, ranges, terms_).minimum, 30, 1e-5);
  const ResultRange damaged = ComputeResultRange(kResultDirectLevel, 1, ranges, terms_);
  EXPECT_EQ(damaged.maximum, -kResultRangeLimit);
  EXPECT_NEAR(damaged.minimum, 50, 1e-5);
}

// ---- Modes, bands and texts ----

class ResultModesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }
};

TEST_F(ResultModesTest, WithoutARoomOnlyLdAndTimeAreOffered) {
  EXPECT_EQ(OfferedModeCount(gObjects.model), kModesWithoutRoom);
  AddObject({RectangleXY(0, 0, 1, 1)}, 0, kKindFace, kAudienceLayer);
  AddObject({RectangleXY(0, 0, 1, 1)}, 0, kKindLine, kRoomLayer);
  EXPECT_EQ(OfferedModeCount(gObjects.model), kModesWithoutRoom);
  EXPECT_EQ(OfferedMode(kResultTotalLevel, kModesWithoutRoom), kResultDirectLevel);
  EXPECT_EQ(OfferedMode(kResultSti, kModesWithoutRoom), kResultDirectLevel);
  EXPECT_EQ(OfferedMode(kResultTime, kModesWithoutRoom), kResultTime);

  AddObject({RectangleXY(0, 0, 1, 1)}, 0, kKindSolid, kRoomLayer);
  EXPECT_EQ(OfferedModeCount(gObjects.model), kModeButtonCount);
  EXPECT_EQ(OfferedMode(kResultTotalLevel, kModeButtonCount), kResultTotalLevel);
  EXPECT_EQ(OfferedMode(2, kModeButtonCount), kResultDirectLevel);  // the unused mode
}

TEST_F(ResultModesTest, BandsWithoutLoudspeakersDoNothing) {
  BandSpeakerCounts counts;
  counts.words = {0, 2, 2, 2, 0, 0, 0, 1};
  EXPECT_FALSE(BandOffered(counts, 0));
  EXPECT_TRUE(BandOffered(counts, 1));
  EXPECT_TRUE(BandOffered(counts, kAllBands));
  EXPECT_FALSE(BandOffered(counts, 8));
  EXPECT_EQ(std::string(ScaleStepLabels(kResultTime)[3]), "30ms");
  EXPECT_EQ(std::string(ScaleStepLabels(kResultStiExport)[1]), ".02");
  EXPECT_EQ(std::string(ScaleStepLabels(kResultDirectToReverb)[2]), "2 dB");
}

TEST(LegendNotesTest, BandPhaseAndReverberationTexts) {
  const BandValues rt60 = {2.04, 1.96, 1.5, 1.25, 1.0, 0.8, kNaN};
  LegendNotes notes = MakeLegendNotes(kResultDirectLevel, kAllBands, 2, kRt60Sabine, rt60);
  EXPECT_EQ(notes.bandLines, (std::vector<std::string>{"125 Hz -", "8000 Hz"}));
  EXPECT_EQ(notes.methodLine, "");
  EXPECT_TRUE(notes.rt60Lines.empty());

  notes = MakeLegendNotes(kResultTotalLevel, 3, 2, kRt60Eyring, rt60);
  EXPECT_EQ(notes.bandLines, (std::vector<std::string>{"Octave", "1000 Hz"}));
  EXPECT_EQ(notes.methodLine, "RT60(E)");
  EXPECT_EQ(notes.rt60Lines, std::vector<std::string>{"1.2 s"});  // 1.25 s to one decimal

  notes = MakeLegendNotes(kResultSti, kAllBands, 1, 9, rt60);  // an unknown method computes Sabine
  EXPECT_EQ(notes.methodLine, "RT60(S)");
  EXPECT_EQ(notes.rt60Lines,
            (std::vector<std::string>{"2.0 s", "2.0 s", "1.5 s", "1.2 s", "1.0 s", "0.8 s", "100.0 s"}));

  EXPECT_EQ(MakeLegendNotes(kResultTime, 0, 1, 0, rt60).bandLines, (std::vector<std::string>{"Energy", " 125 Hz"}));
  EXPECT_EQ(MakeLegendNotes(kResultDirectToReverb, 6, 3, kRt60Measured, rt60).methodLine, "RT60(M)");
  EXPECT_EQ(MakeLegendNotes(kResultDirectToReverb, 6, 3, 3, rt60).bandLines[0], "Freq.");
  EXPECT_EQ(std::string(LegendTitle(kResultTime)), "t0[ms]");
  EXPECT_EQ(std::string(LegendTitle(kResultStiExport)), "STIexp");
}

// ---- Cells and single points ----

TEST(ResultCellTest, CornersLieOnTheFacesPlane) {
  // The plane z = 1 + 0.2 x: n = (-0.2, 0, 1), c = 1.
  MappingFaceTable faces;
  MappingFace face;
  face.normal = {-0.2f, 0, 1};
  face.planeConstant = 1;
  faces.faces.push_back(face);
  GridPoint point;
  point.x = 5;
  point.y = 2;
  point.z = 7;  // what a map file gave
  EXPECT_FLOAT_EQ(PointOnFace(faces, point).z, 2);
  const std::array<ObjectVertex, 4> corners = CellCorners(faces, point, 0.5f);
  const float expected[4][3] = {{4.5f, 1.5f, 1.9f}, {5.5f, 1.5f, 2.1f}, {5.5f, 2.5f, 2.1f}, {4.5f, 2.5f, 1.9f}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(corners[i].x, expected[i][0]) << i;
    EXPECT_FLOAT_EQ(corners[i].y, expected[i][1]) << i;
    EXPECT_FLOAT_EQ(corners[i].z, expected[i][2]) << i;
  }
  // No such face, or a plane that gives no height: the point's own z.
  point.face = 1;
  EXPECT_EQ(PointOnFace(faces, point).z, 7);
  point.face = 0;
  faces.faces[0].normal = {1e30f, 0, 1e-30f};
  EXPECT_EQ(PointOnFace(faces, point).z, 7);
}

TEST(SinglePointTest, AClickPicksTheNearestPointWithinTenPixels) {
  const std::vector<PixelPosition> points = {{100, 100}, {120, 100}, {100, 130}};
  EXPECT_EQ(NearestGridPoint(points, 104, 103), 0);
  EXPECT_EQ(NearestGridPoint(points, 111, 100), 1);   // 11 from the first, 9 from the second
  EXPECT_EQ(NearestGridPoint(points, 89, 100), -1);   // 11 px from every point
  EXPECT_EQ(NearestGridPoint(points, 100, 120), -1);  // 10 px is not closer than 10
  EXPECT_EQ(NearestGridPoint(std::vector<PixelPosition>{{0, 0}, {6, 0}}, 3, 0), 0);  // equally near: the first
  EXPECT_EQ(NearestGridPoint({}, 0, 0), -1);
}

TEST(SinglePointTest, TheListHoldsAHundredPointsOfItsGrid) {
  SinglePointList list;
  MatchSinglePointsToGrid(list, 500);
  for (uint16_t i = 0; i < kMaxSinglePoints; ++i) ASSERT_EQ(AddSinglePoint(list, uint16_t(i * 3)), 1);
  EXPECT_EQ(AddSinglePoint(list, 7), -1);  // the 101st
  EXPECT_EQ(list.count, kMaxSinglePoints);
  EXPECT_EQ(list.indices[99], 297);

  MatchSinglePointsToGrid(list, 500);  // the same grid keeps them
  EXPECT_EQ(list.count, kMaxSinglePoints);
  EXPECT_EQ(ShownSinglePoints(list, 500).size(), 100u);
  EXPECT_EQ(ShownSinglePoints(list, 10).size(), 4u);  // 0, 3, 6, 9
  MatchSinglePointsToGrid(list, 499);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.pointCount, 499u);

  list.count = 1000;  // a damaged count shows no more than the list holds
  EXPECT_EQ(ShownSinglePoints(list, 499).size(), size_t(kMaxSinglePoints));
}

}  // namespace
