#include "design/acoustics/level_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "framework/model/layers.h"
#include "tests/design/acoustics/map_fixtures.h"
#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr char kGridTooFine[] = "Insufficient memory for grid size. Please select larger grid";

// ---- Grid spacing ----

TEST(GridSpacingTest, AFixedIndexStepsUpUntilTheGridHasRoom) {
  struct Case {
    const char* what;
    double area;
    int16_t index;
    float spacing;
    int16_t indexAfter;
  };
  const Case cases[] = {
      {"1000 m2 at 0.25 m is 16000 points", 1000, 0, 0.25f, 0},
      {"5000 m2 steps up to 0.5 m, 20000 points", 5000, 0, 0.5f, 1},
      {"exactly 64000 points do not fit", 4000, 0, 0.5f, 1},
      {"a coarse index stays", 10, 7, 50.0f, 7},
      {"no area with a fixed index", 0, 2, 1.0f, 2},
  };
  MessageRecorder messages;
  for (const Case& c : cases) {
    int16_t index = c.index;
    EXPECT_EQ(ChooseGridSpacing(c.area, index), c.spacing) << c.what;
    EXPECT_EQ(index, c.indexAfter) << c.what;
  }
  EXPECT_TRUE(messages.texts().empty());
}

TEST(GridSpacingTest, AutomaticSpacingAndAGridThatNeverFits) {
  MessageRecorder messages;
  int16_t automatic = kAutomaticGridSize;
  EXPECT_NEAR(ChooseGridSpacing(6400, automatic), std::sqrt(0.1) / 0.95, 1e-6);  // 0.3329 m
  EXPECT_EQ(automatic, kAutomaticGridSize);
  EXPECT_EQ(ChooseGridSpacing(0, automatic), 0.0f);  // nothing to lay a grid on
  EXPECT_TRUE(messages.texts().empty());

  int16_t index = 0;
  EXPECT_EQ(ChooseGridSpacing(64000.0 * 2500, index), 0.0f);  // 64000 points even at 50 m
  EXPECT_EQ(index, 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kGridTooFine});
}

// ---- The grid ----

using GridBuildTest = MapModelTest;

TEST_F(GridBuildTest, PointsStartHalfASpacingInAndStopShortOfTheFarEdges) {
  struct Case {
    const char* what;
    float width, depth;
    int16_t index;
    uint32_t points;
  };
  const Case cases[] = {
      {"10 x 5 m at 1 m", 10, 5, 2, 50},
      {"the last column would lie within 0.01 m of the edge", 10.505f, 1, 2, 10},
      {"farther from the edge it stays", 10.52f, 1, 2, 11},
      {"the same for rows", 1, 10.505f, 2, 10},
      {"a face 0.5 m wide gets no point at 1 m", 0.5f, 5, 2, 0},
      {"2 x 2 m at 0.25 m", 2, 2, 0, 64},
  };
  for (const Case& c : cases) {
    ResetObjectStore();
    AddAudience(RectangleXY(0, 0, c.width, c.depth));
    MappingFaceTable faces;
    MapGrid grid;
    int16_t index = c.index;
    EXPECT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 1) << c.what;
    EXPECT_EQ(grid.PointCount(), c.points) << c.what;
  }
}

TEST_F(GridBuildTest, PointsRunRowByRowOnTheFacePlaneAtPositionsFromTheCounters) {
  // A rake rising 0.2 m per metre in y.
  AddAudience({{2, 1, 1.0f}, {6, 1, 1.0f}, {6, 4, 1.6f}, {2, 4, 1.6f}});
  MappingFaceTable faces;
  MapGrid grid;
  int16_t index = 2;
  ASSERT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 1);
  ASSERT_EQ(grid.PointCount(), 12u);
  EXPECT_EQ(grid.spacing, 1.0f);
  EXPECT_EQ(grid.HalfSpacing(), 0.5f);
  for (uint32_t k = 0; k < 12; ++k) {
    const GridPoint& p = grid.points[k];
    EXPECT_EQ(p.x, 2.5f + float(k % 4)) << k;
    EXPECT_EQ(p.y, 1.5f + float(k / 4)) << k;
    EXPECT_NEAR(p.z, 1.0 + 0.2 * (p.y - 1), 1e-5) << k;
    EXPECT_EQ(p.face, 0) << k;
  }

  // A long row at the automatic spacing: every position is min + s/2 + i s,
  // where summing the steps would drift.
  ResetObjectStore();
  AddAudience(RectangleXY(0.3f, 0, 100.3f, 1));
  index = kAutomaticGridSize;
  ASSERT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 1);
  const float s = grid.spacing;
  EXPECT_NEAR(s, std::sqrt(100.0 / 64000) / 0.95, 1e-7);
  uint32_t column = 0;
  for (const GridPoint& p : grid.points) {
    if (p.y != grid.points[0].y) break;
    EXPECT_EQ(p.x, 0.3f + grid.HalfSpacing() + float(column) * s) << column;
    ++column;
  }
  EXPECT_GT(column, 2000u);
}

TEST_F(GridBuildTest, ADiamondKeepsTheRowThroughItsSideVertices) {
  // Vertices (0, 2.5) and (5, 2.5) lie on the row y = 2.5.
  AddAudience({{2.5f, 0}, {5, 2.5f}, {2.5f, 5}, {0, 2.5f}});
  MappingFaceTable faces;
  MapGrid grid;
  int16_t index = 2;
  ASSERT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 1);
  std::array<int, 5> perRow{};
  for (const GridPoint& p : grid.points) ++perRow[size_t(p.y)];
  EXPECT_EQ(perRow, (std::array<int, 5>{1, 3, 5, 3, 1}));
}

TEST_F(GridBuildTest, FacesAreSortedByHeightUprightOnesLeftOutAndPointsNumberedFaceByFace) {
  AddAudience(RectangleXY(0, 0, 2, 1, 3.0f));                 // upper balcony, first in the list
  AddAudience({{0, 5, 0}, {2, 5, 0}, {2, 5, 2}, {0, 5, 2}});  // upright
  AddAudience(RectangleXY(10, 0, 13, 1, 1.0f));               // stalls
  MappingFaceTable faces;
  MapGrid grid;
  int16_t index = 2;
  ASSERT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 1);
  ASSERT_EQ(faces.Count(), 2);
  EXPECT_EQ(faces.faces[0].maxZ, 1.0f);
  EXPECT_EQ(faces.faces[1].maxZ, 3.0f);
  EXPECT_EQ(faces.extent.minX, 0.0f);
  EXPECT_EQ(faces.extent.maxX, 13.0f);
  ASSERT_EQ(grid.PointCount(), 5u);
  for (uint32_t k = 0; k < 5; ++k) EXPECT_EQ(grid.points[k].face, k < 3 ? 0 : 1) << k;
  EXPECT_EQ(grid.points[0].x, 10.5f);
  EXPECT_FLOAT_EQ(grid.points[0].z, 1.0f);
  EXPECT_FLOAT_EQ(grid.points[3].z, 3.0f);
}

TEST_F(GridBuildTest, TheGridStopsAt64000Points) {
  // A solid on the audience layer has no audience area of its own, so the
  // 1 m2 face keeps the fine spacing that the large solid fills.
  AddAudience(RectangleXY(0, 0, 100, 100, 0.0f), kKindSolid);
  AddAudience(RectangleXY(0, 0, 1, 1, 1.0f));
  MappingFaceTable faces;
  MapGrid grid;
  int16_t index = 0;
  ASSERT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 1);
  EXPECT_EQ(grid.PointCount(), kMaxGridPoints);
  EXPECT_EQ(grid.points.back().face, 0);
}

TEST_F(GridBuildTest, WithoutAnAudienceAreaThereIsNoGrid) {
  MessageRecorder messages;
  MappingFaceTable faces;
  MapGrid grid;
  int16_t index = 2;
  EXPECT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 0);
  AddAudience({{0, 5, 0}, {2, 5, 0}, {2, 5, 2}, {0, 5, 2}});  // upright only
  EXPECT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 0);
  // A usable face that is no audience face (kind 8) gives no area, so no
  // automatic spacing: the build ends instead of looping on a zero step.
  AddAudience(RectangleXY(0, 0, 10, 10), kKindSolid);
  index = kAutomaticGridSize;
  EXPECT_EQ(BuildMapGrid(gObjects.model, faces, index, grid), 0);
  EXPECT_TRUE(messages.texts().empty());
}

// ---- Room terms and per-point values ----

using RoomTermsTest = MapModelTest;

TEST_F(RoomTermsTest, AcousticPowerAddsTheSwitchedOnLoudspeakersAsEnergies) {
  for (int b = 0; b < kBandCount; ++b) Type().SetDirectivityQ10(b, 50);  // Q = 5
  SpeakerTypeTable& types = gSpeakerModel.types;
  types.types[1] = AllocSpeakerType();
  types.count = 2;  // type 1: Q words 0, which count as Q = 1
  PlaceSpeaker(Speaker({0, 0, 0}, 1000));
  PlaceSpeaker(Speaker({1, 0, 0}, 3000));
  Loudspeaker omni = Speaker({2, 0, 0}, 2000);
  omni.typeIndex = 1;
  PlaceSpeaker(omni);
  Loudspeaker off = Speaker({3, 0, 0}, 1.0e9f);
  off.on = 0;
  PlaceSpeaker(off);

  const BandValues power = SumSpeakerAcousticPower(ProjectTables());
  const double fourPi = 12.566370616;
  for (double p : power) EXPECT_NEAR(p, 4000 * fourPi / (5 + 1e-6) + 2000 * fourPi / (1 + 1e-6), 1e-6);
}

TEST_F(RoomTermsTest, TheReverberantEnergyFollowsVolumeAndTime) {
  BandValues power;
  power.fill(1000);
  RoomResults room;
  room.rt60 = {0.5, 1, 1.5, 2, 2.5, 3, 0};
  room.volume = 1.0;  // a room of 1 m3 or less has no reverberant field to speak of
  for (double r : ReverberantEnergy(power, room)) EXPECT_EQ(r, 1.0);
  room.volume = 1000;
  const BandValues r = ReverberantEnergy(power, room);
  for (size_t b = 0; b < 6; ++b) EXPECT_NEAR(r[b], 1000 * 4 * 1.047 * room.rt60[b] / 161, 1e-9) << b;
  EXPECT_EQ(r[6], 0.0);  // no reverberation time, no reverberant energy

  // On the model: the project's method on the room, the power of its
  // loudspeakers.
  SetMaterial(0, 0.1f);
  AddBoxRoom({10, 10, 10});
  PlaceSpeaker(Speaker({5, 5, 5}, 1000));
  gProject.reverbMethod = kRt60Eyring;
  const ReverbSettings eyring = ProjectReverbSettings(gProject);
  EXPECT_EQ(eyring.method, kRt60Eyring);
  const ReverberantTerms terms = ComputeReverberantTerms(ProjectTables(), eyring);
  EXPECT_EQ(terms.room.rt60, ComputeRoomResults(eyring, ProjectTables()).rt60);
  EXPECT_EQ(terms.reverberant, ReverberantEnergy(SumSpeakerAcousticPower(ProjectTables()), terms.room));
  EXPECT_EQ(terms.Sti().reverberant, terms.reverberant);
  EXPECT_EQ(terms.Sti().rt60, terms.room.rt60);
}

TEST(PointValueTest, LevelsAddTheReverberantEnergy) {
  ReverberantTerms terms;
  terms.reverberant = {1, 1, 1, 9, 1, 1, 1};
  const std::array<float, kBandCount> levels = {9, 9, 9, 91, 9, 9, 9};
  EXPECT_NEAR(TotalLevelBand(terms, 0, 9), 10.0, 1e-9);
  EXPECT_NEAR(TotalLevelBand(terms, 3, 91), 20.0, 1e-9);
  EXPECT_NEAR(TotalLevelAll(terms, levels), 10 * std::log10(160.0), 1e-9);
  EXPECT_NEAR(DirectToReverbBand(terms, 0, 20), 10.0, 1e-9);  // 20 / (1 + 1)
  EXPECT_NEAR(DirectToReverbBand(terms, 3, 1), -10.0, 1e-9);
  // 9 / 2 in every band but 91 / 10 at 1 kHz, weighted.
  double weighted = 0;
  for (size_t b = 0; b < kBandCount; ++b) weighted += BandSpeechWeights[b] * (b == 3 ? 9.1 : 4.5);
  EXPECT_NEAR(DirectToReverbAll(terms, levels), 10 * std::log10(weighted + 1e-12), 1e-9);
  EXPECT_NEAR(DirectLevelAll(levels), 10 * std::log10(145.001), 1e-9);
  EXPECT_EQ(EarliestTime({12, 10000, 7.5f, 30, 10000, 9, 8}), 7.5);
  EXPECT_EQ(EarliestTime({2.0e6f, 2.0e6f, 2.0e6f, 2.0e6f, 2.0e6f, 2.0e6f, 2.0e6f}), 1.0e6);
}

// ---- The calculation ----

using LevelMapRunTest = MapModelTest;

TEST_F(LevelMapRunTest, EveryPointHoldsWhatTheEngineGivesThere) {
  AddHall();
  CalcOptions options;
  options.phaseMode = 1;
  options.roomBits = kCalcShading | kCalcFirstReflection;
  ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kDone);
  EXPECT_EQ(gLevelMap.resultPresent, 1);
  const MapResult& result = gLevelMap.result;
  const MapGrid& grid = result.grid;
  ASSERT_EQ(grid.PointCount(), 70u);  // 10 x 7 m at 1 m
  EXPECT_EQ(result.phaseMode, 1);
  EXPECT_EQ(result.counts.words, (std::array<uint16_t, 8>{2, 2, 2, 2, 2, 2, 2, 1}));

  // The engine point by point, on tables of its own.
  ActiveSpeakerTable speakers;
  ASSERT_EQ(PrepareActiveSpeakers(speakers, gObjects.model, gSpeakerModel.types), 2);
  CalcFaceTable roomFaces;
  ASSERT_EQ(BuildCalcFaceTable(roomFaces, gObjects.model, gMaterials.project), 6);
  auto context = std::make_unique<ReceiverContext>();
  context->speakers = &speakers;
  context->faces = &roomFaces;
  context->materials = &gMaterials.project;
  context->options = {true, true, PhaseRelations::kEnergy};
  BandRanges ranges;
  bool reflected = false;
  for (const GridPoint& p : grid.points) {
    CalcPointEchogram(*context, {p.x, p.y, p.z});
    reflected = reflected || context->arrivalCount > 2;
    for (size_t b = 0; b < kBandCount; ++b) {
      const BandEchogram& band = context->bands[b];
      ASSERT_GT(band.bandResult, 1.0f);
      EXPECT_EQ(p.level[b], band.bandResult);
      EXPECT_EQ(p.time[b], band.firstArrival * 1000.0f);
      ranges.minLevel[b] = std::min(ranges.minLevel[b], p.level[b]);
      ranges.maxLevel[b] = std::max(ranges.maxLevel[b], p.level[b]);
      ranges.minTime[b] = std::min(ranges.minTime[b], p.time[b]);
      ranges.maxTime[b] = std::max(ranges.maxTime[b], p.time[b]);
    }
  }
  EXPECT_TRUE(reflected);
  EXPECT_EQ(grid.ranges.minLevel, ranges.minLevel);
  EXPECT_EQ(grid.ranges.maxLevel, ranges.maxLevel);
  EXPECT_EQ(grid.ranges.minTime, ranges.minTime);
  EXPECT_EQ(grid.ranges.maxTime, ranges.maxTime);
}

TEST_F(LevelMapRunTest, ABandWhereNothingArrivesIsSilentAndLeavesTheRangesAlone) {
  AddAudience(RectangleXY(0, 0, 2, 1));
  Loudspeaker low = Speaker({-5, 0.5, 1}, 0);
  low.intensity[0] = 1.0e6f;  // plays 125 Hz alone
  PlaceSpeaker(low);
  CalcOptions options;
  ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kDone);
  const MapGrid& grid = gLevelMap.result.grid;
  ASSERT_EQ(grid.PointCount(), 2u);
  for (const GridPoint& p : grid.points) {
    EXPECT_GT(p.level[0], 1.0f);
    EXPECT_LT(p.time[0], 30.0f);
    EXPECT_EQ(p.level[4], kSilentLevel);
    EXPECT_EQ(p.time[4], kNoArrivalMs);
  }
  EXPECT_EQ(grid.ranges.minLevel[4], kSilentLevel);
  EXPECT_EQ(grid.ranges.maxLevel[4], kSilentLevel);
  EXPECT_EQ(grid.ranges.minTime[4], kNoArrivalMs);
  EXPECT_EQ(grid.ranges.maxTime[4], 0.0f);
  EXPECT_GT(grid.ranges.maxTime[0], grid.ranges.minTime[0]);
}

TEST_F(LevelMapRunTest, TheResultHoldsThePhaseModeComputed) {
  AddHall();
  struct Case {
    int16_t asked, computed;
  };
  const Case cases[] = {{1, 1}, {2, 2}, {3, 3}, {0, 2}, {4, 2}, {-1, 2}};
  for (const Case& c : cases) {
    CalcOptions options;
    options.phaseMode = c.asked;
    EXPECT_EQ(int(ReceiverOptionsOf(options).phase), c.computed) << c.asked;
    ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kDone) << c.asked;
    EXPECT_EQ(gLevelMap.result.phaseMode, c.computed) << c.asked;
  }
}

TEST_F(LevelMapRunTest, ARunThatCannotStartKeepsTheLastResult) {
  AddHall();
  CalcOptions options;
  ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kDone);
  const float firstLevel = gLevelMap.result.grid.points[0].level[3];

  MessageRecorder messages;
  auto expectLastResult = [&](LevelMapRun run, LevelMapRun expected, const char* what) {
    EXPECT_EQ(run, expected) << what;
    EXPECT_EQ(gLevelMap.resultPresent, 1) << what;
    ASSERT_EQ(gLevelMap.result.grid.PointCount(), 70u) << what;
    EXPECT_EQ(gLevelMap.result.faces.Count(), 1) << what;
    EXPECT_EQ(gLevelMap.result.grid.points[0].level[3], firstLevel) << what;
  };

  // A grid too fine even at 50 m: the faces of the last result stay too.
  GraphicObject* huge = AddAudience(RectangleXY(0, 0, 20000, 10000));
  expectLastResult(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kNoGrid, "grid too fine");
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kGridTooFine});
  FreeObject(huge);

  // No audience face.
  std::vector<GraphicObject*> audience;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->layer == kAudienceLayer) audience.push_back(o);
  for (GraphicObject* o : audience) o->layer = 7;
  expectLastResult(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kNoGrid, "no audience");
  for (GraphicObject* o : audience) o->layer = kAudienceLayer;

  // Loudspeakers, none switched on.
  std::vector<GraphicObject*> speakers;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (IsLoudspeakerObject(o)) speakers.push_back(o);
  for (GraphicObject* o : speakers) {
    Loudspeaker s;
    ReadLoudspeaker(o, s);
    s.on = 0;
    WriteLoudspeaker(s, o);
  }
  expectLastResult(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kNoActiveSpeakers, "all off");
  EXPECT_EQ(messages.texts().back(), "No speakers to process");

  // No loudspeaker at all: silently.
  for (GraphicObject* o : speakers) FreeObject(o);
  const size_t shown = messages.texts().size();
  expectLastResult(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kNoSpeakers, "no loudspeaker");
  EXPECT_EQ(messages.texts().size(), shown);
}

TEST_F(LevelMapRunTest, TheRunKeepsTheSizeIndexItStepsUpTo) {
  AddAudience(RectangleXY(0, 0, 100, 50));  // 5000 m2
  PlaceSpeaker(Speaker({-1, 25, 3}));
  CalcOptions options;
  options.gridIndex = 0;
  ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kDone);
  EXPECT_EQ(options.gridIndex, 1);
  EXPECT_EQ(gLevelMap.result.grid.spacing, 0.5f);
  EXPECT_EQ(gLevelMap.result.grid.PointCount(), 20000u);
}

TEST_F(LevelMapRunTest, ProgressIsShownOncePerHundredMillisecondsOfTicks) {
  FakeServices services;
  services.clock = 1100;
  MapProgress progress{1000};
  EXPECT_EQ(ReportMapProgress(progress, 25, 200), 0);
  EXPECT_EQ(progress.lastUpdate, 1000u);  // 100 ms is not more than 100 ms
  EXPECT_TRUE(services.percents.empty());
  services.clock = 1101;
  EXPECT_EQ(ReportMapProgress(progress, 25, 200), 0);
  EXPECT_EQ(progress.lastUpdate, 1101u);
  EXPECT_EQ(services.percents, std::vector<int>{12});  // 12.5 % as a whole number

  // The tick count wraps at 2^32.
  services.clock = 50;
  progress.lastUpdate = 0xFFFFFFF0u;
  EXPECT_EQ(ReportMapProgress(progress, 199, 200), 0);
  EXPECT_EQ(progress.lastUpdate, 0xFFFFFFF0u);
  services.clock = 150;
  ReportMapProgress(progress, 199, 200);
  EXPECT_EQ(progress.lastUpdate, 150u);
  EXPECT_EQ(services.percents.back(), 99);
}

TEST_F(LevelMapRunTest, CancelLeavesNoResultAndNoPartialGrid) {
  AddHall();
  CalcOptions options;
  options.roomBits = kCalcShading | kCalcFirstReflection;
  for (const CalcExecution execution : {kReferenceExecution, CalcExecution{4}}) {
    ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables(), execution), LevelMapRun::kDone);
    ASSERT_EQ(gLevelMap.resultPresent, 1);

    // Every tick count read moves the clock on by 200 ms, so the first look
    // at the progress shows it (on one thread after the first point, with
    // workers at the latest once they are done), and that update presses
    // Cancel.
    FakeServices services;
    services.clockStep = 200;
    services.cancelAtUpdate = 1;
    EXPECT_EQ(RunLevelTimeCalculation(options, ProjectTables(), execution), LevelMapRun::kCancelled);
    EXPECT_EQ(services.progressTitle, "Calculation Status :");
    EXPECT_EQ(services.progressOpen, 0);
    EXPECT_EQ(services.percents.size(), 1u);
    EXPECT_EQ(gLevelMap.resultPresent, 0);
    EXPECT_EQ(gLevelMap.result.grid.PointCount(), 0u);
    EXPECT_EQ(gLevelMap.result.faces.Count(), 0);
  }
}

}  // namespace
