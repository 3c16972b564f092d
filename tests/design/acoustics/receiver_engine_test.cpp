#include "design/acoustics/receiver_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "design/model/materials.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/design/model/speaker_fixtures.h"

namespace {

constexpr double kPi = 3.141592654;
constexpr double kDeg = kPi / 180.0;
constexpr int k1k = 3;  // the 1 kHz band

double Db(double ratio) { return 10.0 * std::log10(ratio); }
double Distance(Vec3d a, Vec3d b) { return std::sqrt(Dot(a - b, a - b)); }
Vec3d At(const Loudspeaker& s) { return {s.position[0], s.position[1], s.position[2]}; }

class ReceiverEngineTest : public SpeakerModelTest {
 protected:
  void SetUp() override {
    SpeakerModelTest::SetUp();
    flatType_ = AddType(nullptr);
    ResetSpeakerType(Type());  // every direction at 0 dB
  }

  SpeakerType& Type() { return *gSpeakerModel.types.At(flatType_); }

  // A switched-on loudspeaker of the flat type aimed along +x, playing every
  // band with `intensity`.
  Loudspeaker Speaker(Vec3d position, float intensity = 1.0e6f) const {
    Loudspeaker s;
    s.position = {float(position.x), float(position.y), float(position.z)};
    s.intensity.fill(intensity);
    s.typeIndex = flatType_;
    return s;
  }

  // Prepares the tables from the model and computes one point.
  void Calculate(Vec3d point, ReceiverOptions options) {
    PrepareActiveSpeakers(speakers_, gObjects.model, gSpeakerModel.types);
    BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project);
    context_->speakers = &speakers_;
    context_->faces = &gCalcFaceTable;
    context_->materials = &gMaterials.project;
    context_->options = options;
    CalcPointEchogram(*context_, point);
  }
  // Sets the context up for a mirror test of the model's one loudspeaker.
  void HearOnlySpeaker() {
    ASSERT_EQ(PrepareActiveSpeakers(speakers_, gObjects.model, gSpeakerModel.types), 1);
    context_->speakers = &speakers_;
    context_->faces = &gCalcFaceTable;
    context_->materials = &gMaterials.project;
    context_->current = &speakers_.entries[0];
  }
  const BandEchogram& Band(int b) const { return context_->bands[size_t(b)]; }
  double Result(int b) const { return Band(b).bandResult; }

  // The energy of one arrival of a flat loudspeaker over `d` metres.
  static double Energy(int band, double intensity, double d) {
    return std::pow(AirTransmissionTable[size_t(band)], d) * intensity / (d * d);
  }

  int16_t flatType_ = 0;
  ActiveSpeakerTable speakers_;
  std::unique_ptr<ReceiverContext> context_ = std::make_unique<ReceiverContext>();
};

// ---- The active loudspeakers ----

TEST_F(ReceiverEngineTest, ActiveSpeakersAreTheSwitchedOnOnesThatPlayABand) {
  Loudspeaker low = Speaker({0, 0, 0}, 0);
  low.intensity[0] = -2000.0f;  // the magnitude counts
  low.intensity[6] = 5000.0f;
  Loudspeaker mid = Speaker({1, 0, 0}, 1000.0f);  // 1000 itself does not count
  mid.intensity[3] = 1000.5f;
  Loudspeaker off = Speaker({2, 0, 0});
  off.on = 0;
  Loudspeaker silent = Speaker({3, 0, 0}, 1000.0f);
  Loudspeaker untyped = Speaker({4, 0, 0});
  untyped.typeIndex = 5;
  for (const Loudspeaker& s : {low, off, silent, untyped, mid}) PlaceSpeaker(s);
  AppendObject(CreateObject(0, 0, 0));  // a layer-0 object among them

  ASSERT_EQ(PrepareActiveSpeakers(speakers_, gObjects.model, gSpeakerModel.types), 2);
  EXPECT_EQ(speakers_.entries[0].speaker.position[0], 0.0f);
  EXPECT_EQ(speakers_.entries[0].bandMask, 1 | 64);
  EXPECT_EQ(speakers_.entries[0].type, &Type());
  EXPECT_NE(speakers_.entries[0].speaker.object, nullptr);
  EXPECT_EQ(speakers_.entries[1].bandMask, 8);
  const std::array<uint16_t, 8> counts = {1, 0, 0, 1, 0, 0, 1, 1};
  EXPECT_EQ(speakers_.counts.words, counts);

  // Word 7 stays 0 while only the outer bands play.
  ResetObjectStore();
  PlaceSpeaker(low);
  PrepareActiveSpeakers(speakers_, gObjects.model, gSpeakerModel.types);
  const std::array<uint16_t, 8> outer = {1, 0, 0, 0, 0, 0, 1, 0};
  EXPECT_EQ(speakers_.counts.words, outer);
}

TEST_F(ReceiverEngineTest, AnglesAreTurnedOnlyAboveOneHundredthOfARadian) {
  Loudspeaker s = Speaker({0, 0, 0});
  s.horizontal = 0.01f;
  s.vertical = -0.02f;
  s.rotation = 1.0f;
  PlaceSpeaker(s);
  ASSERT_EQ(PrepareActiveSpeakers(speakers_, gObjects.model, gSpeakerModel.types), 1);
  const ActiveSpeaker& e = speakers_.entries[0];
  EXPECT_EQ(e.horizontalTurned, 0);
  EXPECT_EQ(e.verticalTurned, 1);
  EXPECT_FLOAT_EQ(e.sinVertical, float(std::sin(-0.02)));
  EXPECT_EQ(e.rotationTurned, 1);
  EXPECT_FLOAT_EQ(e.cosRotation, float(std::cos(1.0)));
}

TEST_F(ReceiverEngineTest, TheSpeakerFrameUndoesTheSymbolTurns) {
  Loudspeaker s = Speaker({1, 2, 3});
  s.horizontal = float(100 * kDeg);
  s.vertical = float(-35 * kDeg);
  s.rotation = float(20 * kDeg);
  PlaceSpeaker(s);
  ASSERT_EQ(PrepareActiveSpeakers(speakers_, gObjects.model, gSpeakerModel.types), 1);
  // The local axes as the symbol places them.
  std::vector<ObjectVertex> axes = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  PlaceSymbolVertices(axes, s.position, s.horizontal, s.vertical, s.rotation);
  for (int a = 0; a < 3; ++a) {
    const Vec3d local = TurnIntoSpeakerFrame(speakers_.entries[0], ToVec3d(axes[size_t(a)]) - At(s));
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(local[c], a == c ? 1.0 : 0.0, 1e-6) << a << " " << c;
  }
}

// ---- The balloon lookup ----

TEST(BalloonLookupTest, RowsAndColumnsOfADirection) {
  struct Case {
    const char* what;
    double polarDegrees, azimuthDegrees;  // azimuth from local +y towards +z
    BalloonPosition expected;
  };
  const Case cases[] = {
      {"on the axis", 0, 47.5, {0, 1, 0, 9, 10, 0.5f}},
      {"12.5 degrees off", 12.5, 47.5, {2, 3, 0.5f, 9, 10, 0.5f}},
      {"perpendicular", 90, 47.5, {18, 19, 0, 9, 10, 0.5f}},
      {"straight back", 180, 47.5, {36, 36, 0.5f, 9, 10, 0.5f}},
      {"azimuth 2 degrees", 90, 2, {18, 19, 0, 0, 1, 0.4f}},
      {"azimuth 357 degrees", 90, 357, {18, 19, 0, 71, 0, 0.4f}},
  };
  for (const Case& c : cases) {
    BalloonPosition at;
    LocateBalloonRow(c.polarDegrees * kDeg * 11.4592, at);
    LocateBalloonColumn(std::cos(c.azimuthDegrees * kDeg), std::sin(c.azimuthDegrees * kDeg), at);
    EXPECT_EQ(at.row, c.expected.row) << c.what;
    EXPECT_EQ(at.secondRow, c.expected.secondRow) << c.what;
    EXPECT_NEAR(at.rowFraction, c.expected.rowFraction, 1e-3) << c.what;
    EXPECT_EQ(at.column, c.expected.column) << c.what;
    EXPECT_EQ(at.secondColumn, c.expected.secondColumn) << c.what;
    EXPECT_NEAR(at.columnFraction, c.expected.columnFraction, 1e-3) << c.what;
  }
}

TEST(BalloonLookupTest, ADirectionAlongTheLocalZAxisReadsTheColumnAboveOrBelow) {
  struct Case {
    double y, z;
    int column;
  };
  const Case cases[] = {{0.001, 1, 18}, {-0.001, 0, 18}, {0, -1, 54}, {0.0005, -0.2, 54}};
  for (const Case& c : cases) {
    BalloonPosition at;
    LocateBalloonColumn(c.y, c.z, at);
    EXPECT_EQ(at.column, c.column) << c.y << " " << c.z;
    EXPECT_EQ(at.secondColumn, c.column);
    EXPECT_EQ(at.columnFraction, 0.5f);
  }
  BalloonPosition at;
  LocateBalloonColumn(0.0011, 1, at);  // just off the axis: the ordinary columns
  EXPECT_EQ(at.column, 17);
  EXPECT_EQ(at.secondColumn, 18);
}

TEST_F(ReceiverEngineTest, BalloonFactorsInterpolateBetweenFourCells) {
  std::span<uint8_t, kBalloonBandSize> band = Type().BalloonBand(2);
  band[size_t(4 * kBalloonColumns + 71)] = 235;  // +2 dB
  band[size_t(5 * kBalloonColumns + 0)] = 215;   // -2 dB
  BalloonPosition at;
  at.row = 4, at.secondRow = 5, at.rowFraction = 0.25f;
  at.column = 71, at.secondColumn = 0, at.columnFraction = 0.5f;
  const double up = std::pow(10.0, 0.2), down = std::pow(10.0, -0.2);
  EXPECT_NEAR(InterpolateBalloon(Type(), 2, at), 0.75 * 0.5 * (up + 1) + 0.25 * 0.5 * (1 + down), 1e-9);
  EXPECT_DOUBLE_EQ(InterpolateBalloon(Type(), 1, at), 1.0);  // other bands stay flat
}

// ---- Arrivals ----

TEST_F(ReceiverEngineTest, DirectArrivalFollowsDistanceAirDelayAndPolarity) {
  Loudspeaker s = Speaker({1, 1, 1}, 2.0e5f);
  s.delay = 20.0f;
  s.polarity = -1;
  PlaceSpeaker(s);
  Calculate({11, 1, 1}, {});
  ASSERT_EQ(context_->arrivalCount, 1u);
  for (int b = 0; b < kBandCount; ++b) {
    EXPECT_NEAR(Band(b).values[0], -Energy(b, 2.0e5, 10), 1e-6 * Energy(b, 2.0e5, 10)) << b;
    EXPECT_FLOAT_EQ(Band(b).times[0], float(10 / 343.0 + 0.02));
    EXPECT_FLOAT_EQ(Band(b).firstArrival, Band(b).times[0]);
  }
}

TEST_F(ReceiverEngineTest, TheArrivalReadsTheBalloonInTheSpeakerFrame) {
  // Row 0 (the axis) at +1 dB, local +y at +3 dB, local +z at +2 dB.
  for (int b = 0; b < kBandCount; ++b) {
    std::span<uint8_t, kBalloonBandSize> band = Type().BalloonBand(b);
    std::fill(band.begin(), band.begin() + kBalloonColumns, uint8_t(230));
    band[size_t(18 * kBalloonColumns + 0)] = 240;
    band[size_t(18 * kBalloonColumns + 18)] = 235;
  }
  Loudspeaker s = Speaker({5, 5, 2});
  s.horizontal = float(-60 * kDeg);
  s.vertical = float(25 * kDeg);
  s.rotation = float(40 * kDeg);
  PlaceSpeaker(s);
  std::vector<ObjectVertex> axes = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  PlaceSymbolVertices(axes, {0, 0, 0}, s.horizontal, s.vertical, s.rotation);
  const double gains[] = {1, 3, 2};
  for (int a = 0; a < 3; ++a) {
    Calculate(At(s) + ToVec3d(axes[size_t(a)]) * 4.0, {});
    EXPECT_NEAR(Band(0).values[0] / Energy(0, 1.0e6, 4), std::pow(10.0, gains[a] / 10), 5e-3) << a;
  }
  // Within 1 cm the distance law stops at 100 and the axis row is read.
  const double nearField = 100 * 1.0e6 * std::pow(10.0, 0.1);
  Calculate(At(s) + ToVec3d(axes[0]) * 0.005 + ToVec3d(axes[2]) * 0.002, {});
  EXPECT_NEAR(Band(6).values[0], nearField * std::pow(AirTransmissionTable[6], 0.00539), 1e-5 * nearField);
  Calculate(At(s), {});
  EXPECT_NEAR(Band(6).values[0], nearField, 1e-6 * nearField);
}

TEST_F(ReceiverEngineTest, ListsGrowPastTheirInitialRoom) {
  const int count = int(kInitialArrivals) + 100;
  for (int i = 0; i < count; ++i) PlaceSpeaker(Speaker({0, 0, 0}));
  Calculate({10, 0, 0}, {false, false, PhaseRelations::kEnergy});
  EXPECT_EQ(context_->arrivalCount, uint32_t(count));
  EXPECT_NEAR(Result(k1k), 1 + count * Energy(k1k, 1.0e6, 10), 1e-5 * Result(k1k));
}

TEST_F(ReceiverEngineTest, NothingArrivesAtAPointThatIsNotANumber) {
  PlaceSpeaker(Speaker({0, 0, 0}));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Calculate({nan, 0, 0}, {});
  EXPECT_EQ(context_->arrivalCount, 0u);
  for (int b = 0; b < kBandCount; ++b) {
    EXPECT_EQ(Result(b), 1.0f);
    EXPECT_EQ(Band(b).firstArrival, kNoArrivalTime);
  }
}

// ---- Reflections ----

// The arrivals of a point as (distance, 1 kHz energy), by distance.
struct Arrival {
  double distance, energy;
  bool operator<(const Arrival& o) const {
    return distance < o.distance || (distance == o.distance && energy < o.energy);
  }
};
std::vector<Arrival> SortedArrivals(const ReceiverContext& context, float delay = 0) {
  std::vector<Arrival> arrivals;
  for (uint32_t i = 0; i < context.arrivalCount; ++i)
    arrivals.push_back({(context.bands[k1k].times[i] - delay * 0.001) * kSpeedOfSound, context.bands[k1k].values[i]});
  std::sort(arrivals.begin(), arrivals.end());
  return arrivals;
}

TEST_F(ReceiverEngineTest, FirstReflectionsInARectangularRoomMatchTheImageSources) {
  // A long room, 40 x 8 x 4 m, each face its own material.
  const ObjectVertex size = {40, 8, 4};
  const float alpha[6] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f};
  for (int i = 0; i < 6; ++i) SetMaterial(i + 1, alpha[i]);
  AddBoxRoom(size, {1, 2, 3, 4, 5, 6});
  Loudspeaker s = Speaker({2, 3, 1.5});
  s.delay = 5.0f;
  PlaceSpeaker(s);
  const Vec3d receiver = {7, 5, 1.2};

  // The image of the loudspeaker in each face, built independently.
  const Vec3d source = At(s);
  const Vec3d images[6] = {{source.x, source.y, -source.z}, {source.x, source.y, 2 * size.z - source.z},
                           {-source.x, source.y, source.z}, {2 * size.x - source.x, source.y, source.z},
                           {source.x, -source.y, source.z}, {source.x, 2 * size.y - source.y, source.z}};
  const double direct = Distance(source, receiver);
  for (bool shading : {false, true}) {
    std::vector<Arrival> expected = {{direct, Energy(k1k, 1.0e6, direct)}};
    for (int i = 0; i < 6; ++i) {
      const double d = Distance(images[i], receiver);
      // With shading the path may be at most 12 m longer than the direct one.
      if (shading && d * d > direct * direct + 144) continue;
      expected.push_back({d, Energy(k1k, 1.0e6, d) * (1 - alpha[i])});
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(expected.size(), shading ? 6u : 7u);

    Calculate(receiver, {shading, true, PhaseRelations::kEnergy});
    const std::vector<Arrival> arrivals = SortedArrivals(*context_, s.delay);
    ASSERT_EQ(arrivals.size(), expected.size()) << shading;
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_NEAR(arrivals[i].distance, expected[i].distance, 1e-3) << i;
      EXPECT_NEAR(arrivals[i].energy, expected[i].energy, 1e-4 * expected[i].energy) << i;
    }
  }
}

TEST_F(ReceiverEngineTest, AFaceReflectsOnlyBetweenPointsOnOneSideWithinItself) {
  AddObject({WallX(5, 0, 2, 0, 2)});  // a free panel
  PlaceSpeaker(Speaker({2, 1, 1}));
  ASSERT_EQ(BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project), 1);
  HearOnlySpeaker();
  struct Case {
    const char* what;
    Vec3d receiver;
    double limit;
    int reflects;
  };
  const Case cases[] = {
      {"in front", {3, 1.5, 1}, 1e8, 1},
      {"reflection point beside the panel", {3, 6, 1}, 1e8, 0},
      {"behind the panel", {8, 1, 1}, 1e8, 0},
      {"on its plane", {5, 1, 1}, 1e8, 0},
      {"path exactly at the limit", {4, 1, 1}, 16, 1},
      {"path beyond the limit", {4, 1, 1}, 15.9, 0},
  };
  for (const Case& c : cases) {
    context_->pathLimit = c.limit;
    Vec3d image{};
    EXPECT_EQ(MirrorReceiverInFace(*context_, c.receiver, gCalcFaceTable.faces[0], image), c.reflects) << c.what;
    if (c.reflects) {
      EXPECT_NEAR(image.x, 10 - c.receiver.x, 1e-6) << c.what;
    }
  }
}

TEST_F(ReceiverEngineTest, AReflectionTakesItsCoefficientLimitedToZeroToOne) {
  AddObject({WallX(5, 0, 2, 0, 2)}, 1);  // a free panel of material 1
  PlaceSpeaker(Speaker({2, 1, 1}));
  const Vec3d receiver = {3, 1.5, 1};
  const double direct = Energy(k1k, 1.0e6, std::sqrt(1.25));
  const double reflected = Energy(k1k, 1.0e6, std::sqrt(25.25));  // off the image at x = 7
  struct Case {
    float alpha;
    double weight;
  };
  const Case cases[] = {{0.25f, 0.75}, {1.5f, 0}, {-0.2f, 1}, {std::numeric_limits<float>::quiet_NaN(), 1}};
  for (const Case& c : cases) {
    SetMaterial(1, c.alpha);
    Calculate(receiver, {false, true, PhaseRelations::kEnergy});
    ASSERT_EQ(context_->arrivalCount, 2u) << c.alpha;
    EXPECT_NEAR(Result(k1k), 1 + direct + c.weight * reflected, 1e-5 * direct) << c.alpha;
  }
}

TEST_F(ReceiverEngineTest, InAnLShapedRoomEveryPartOfTheReflectionPathIsTested) {
  // The L: the arms [0,10] x [0,4] and [0,4] x [0,10], 4 m high.
  const Polygon plan = {{0, 0, 0}, {10, 0, 0}, {10, 4, 0}, {4, 4, 0}, {4, 10, 0}, {0, 10, 0}};
  Polygon ceiling = plan;
  for (ObjectVertex& v : ceiling) v.z = 4;
  AddObject({plan, ceiling, WallY(0, 0, 10, 0, 4), WallX(10, 0, 4, 0, 4), WallY(4, 4, 10, 0, 4), WallX(4, 4, 10, 0, 4),
             WallY(10, 0, 4, 0, 4), WallX(0, 0, 10, 0, 4)});
  ASSERT_EQ(BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project), 8);
  constexpr int kSouth = 2, kInnerFacingSouth = 4;  // y = 0; y = 4 over x 4..10

  struct Case {
    const char* what;
    Vec3d source, receiver;
    int face;
    Vec3d image;
    int oldAnswer, reflects;
  };
  const Case cases[] = {
      // The mirrored receiver lies behind the inner wall x = 4, which the old
      // rule took for an obstacle; the real path stays in the long arm.
      {"valid off the inner wall", {9, 2, 1.5}, {3, 0.5, 1.5}, kInnerFacingSouth, {3, 7.5, 1.5}, 0, 1},
      // Off the south wall into the other arm: the inner corner blocks the
      // way from the reflection point to the receiver.
      {"blocked behind the corner", {8, 2, 1.5}, {2, 8, 1.5}, kSouth, {2, -8, 1.5}, 1, 0},
  };
  for (const Case& c : cases) {
    const CalcFace& face = gCalcFaceTable.faces[size_t(c.face)];
    // The old rule: along the segment from the mirrored receiver to the
    // loudspeaker, the first face crossed must be the reflecting one.
    CalcRay ray;
    ray.origin = ToVertex(c.image);
    ray.direction = ToVertex(c.source - c.image);
    EXPECT_EQ(CheckSegmentFaces(gCalcFaceTable, ray, &face, 1), c.oldAnswer) << c.what;

    GraphicObject* speaker = PlaceSpeaker(Speaker(c.source));
    HearOnlySpeaker();
    context_->pathLimit = kOpenReflectionPathLimit;
    context_->options.shading = true;
    Vec3d image{};
    EXPECT_EQ(MirrorReceiverInFace(*context_, c.receiver, face, image), c.reflects) << c.what;
    // Without shading only the reflection point counts.
    context_->options.shading = false;
    EXPECT_EQ(MirrorReceiverInFace(*context_, c.receiver, face, image), 1) << c.what;
    EXPECT_NEAR(Distance(image, c.image), 0, 1e-5) << c.what;
    FreeObject(speaker);
  }
}

TEST_F(ReceiverEngineTest, AShadedDirectSoundOpensThePathLimit) {
  // A 30 m room; the far end wall's reflection is 50.4 m long against a
  // direct path of 8.5 m.
  AddBoxRoom({30, 10, 4});
  PlaceSpeaker(Speaker({2, 2, 2}));
  const Vec3d receiver = {8, 8, 2};
  const double direct = std::sqrt(72.0), farWall = std::sqrt(50.0 * 50 + 6 * 6);
  const ReceiverOptions options = {true, true, PhaseRelations::kEnergy};

  Calculate(receiver, options);
  std::vector<Arrival> arrivals = SortedArrivals(*context_);
  ASSERT_FALSE(arrivals.empty());
  EXPECT_NEAR(arrivals.front().distance, direct, 1e-3);
  EXPECT_LT(arrivals.back().distance, std::sqrt(72.0 + 144) + 1e-3);

  // A small screen on the direct line: the far wall's reflection now counts.
  AddObject({WallX(5, 4, 6, 1, 3)});
  Calculate(receiver, options);
  arrivals = SortedArrivals(*context_);
  ASSERT_FALSE(arrivals.empty());
  EXPECT_GT(arrivals.front().distance, direct + 0.5);
  EXPECT_NEAR(arrivals.back().distance, farWall, 1e-3);
}

// ---- Combining the bands ----

TEST_F(ReceiverEngineTest, LevelSumsOfTwoLoudspeakers) {
  const Vec3d point = {10, 0, 0};
  const double e = Energy(k1k, 1.0e6, 10);
  const double one = 1 + e;
  struct Case {
    const char* what;
    PhaseRelations phase;
    int16_t polarity;
    float delay;  // of the second loudspeaker, ms
    double result;
  };
  const double halfPeriod = kPi / BandAngularFrequencies[k1k] * 1000;
  // At 0.8 and 1.25 times the centre the half period is not half a period.
  const double octave = (2 + 2 * std::cos(0.8 * kPi) + 2 + 2 * std::cos(1.25 * kPi)) / 3;
  const Case cases[] = {
      {"incoherent: +3 dB", PhaseRelations::kEnergy, 1, 0, 1 + 2 * e},
      {"incoherent, reversed: +3 dB", PhaseRelations::kEnergy, -1, 0, 1 + 2 * e},
      {"in phase: +6 dB", PhaseRelations::kSingleFrequency, 1, 0, 1 + 4 * e},
      {"in phase over the octave: +6 dB", PhaseRelations::kOctaveBandwidth, 1, 0, 1 + 4 * e},
      {"reversed polarity cancels", PhaseRelations::kSingleFrequency, -1, 0, 1},
      {"half a period apart cancel", PhaseRelations::kSingleFrequency, 1, float(halfPeriod), 1},
      {"half a period apart over the octave", PhaseRelations::kOctaveBandwidth, 1, float(halfPeriod), 1 + octave * e},
  };
  for (const Case& c : cases) {
    ResetObjectStore();
    PlaceSpeaker(Speaker({0, 0, 0}));
    Loudspeaker second = Speaker({0, 0, 0});
    second.polarity = c.polarity;
    second.delay = c.delay;
    PlaceSpeaker(second);
    Calculate(point, {false, false, c.phase});
    EXPECT_NEAR(Result(k1k), c.result, 1e-4 * c.result + 1e-3) << c.what;
  }
  ResetObjectStore();
  PlaceSpeaker(Speaker({0, 0, 0}));
  Calculate(point, {false, false, PhaseRelations::kEnergy});
  EXPECT_NEAR(Result(k1k), one, 1e-4 * one);
  EXPECT_NEAR(Db((1 + 2 * e) / one), 3.01, 0.005);
  EXPECT_NEAR(Db((1 + 4 * e) / one), 6.02, 0.005);
}

// The band phases formed from one phase per arrival give the levels of a
// sine and cosine per band and frequency, to the last place of their
// floats, at delays of milliseconds and of seconds, in every band.
TEST_F(ReceiverEngineTest, OnePhasePerArrivalGivesTheLevelsOfASineAndCosinePerBand) {
  AddBoxRoom({17, 11, 6});
  std::mt19937 random(5);
  std::uniform_real_distribution<double> x(0.5, 16.5), y(0.5, 10.5), z(0.5, 5.5), delay(0, 40);
  for (int s = 0; s < 6; ++s) {
    Loudspeaker speaker = Speaker({x(random), y(random), z(random)}, float(1.0e5 * (1 + s)));
    speaker.delay = float(s < 4 ? delay(random) : 1000 * s);
    speaker.polarity = s % 3 == 0 ? -1 : 1;
    PlaceSpeaker(speaker);
  }
  auto products = std::make_unique<ReceiverContext>();
  int values = 0, apart = 0;
  for (PhaseRelations phase : {PhaseRelations::kSingleFrequency, PhaseRelations::kOctaveBandwidth}) {
    for (int k = 0; k < 300; ++k) {
      const Vec3d point{x(random), y(random), z(random)};
      context_->onePhase = false;
      Calculate(point, {false, true, phase});
      products->speakers = context_->speakers;
      products->faces = context_->faces;
      products->materials = context_->materials;
      products->options = context_->options;
      CalcPointEchogram(*products, point);
      for (int b = 0; b < kBandCount; ++b) {
        const float reference = Result(b), result = products->bands[size_t(b)].bandResult;
        const int32_t ulps = std::abs(std::bit_cast<int32_t>(result) - std::bit_cast<int32_t>(reference));
        ASSERT_LE(ulps, 1) << "band " << b << ", point " << k;
        ++values;
        apart += ulps;
      }
    }
  }
  EXPECT_LT(apart, values / 100);
}

TEST_F(ReceiverEngineTest, ABandThatOnlyPlaceholdersReachStaysAtTheFloor) {
  AddObject({WallX(5, -5, 5, -5, 5)});
  Loudspeaker noTop = Speaker({0, 0, 0});
  noTop.intensity[6] = 0;
  PlaceSpeaker(noTop);
  PlaceSpeaker(Speaker({10, 0, 0}));  // behind the wall
  for (PhaseRelations phase :
       {PhaseRelations::kEnergy, PhaseRelations::kOctaveBandwidth, PhaseRelations::kSingleFrequency}) {
    Calculate({3, 0, 0}, {true, false, phase});
    ASSERT_EQ(context_->arrivalCount, 1u);
    EXPECT_EQ(Band(6).values[0], kPlaceholderValue);
    EXPECT_EQ(Band(6).times[0], kNoArrivalTime);
    EXPECT_EQ(Result(6), 1.0f);
    EXPECT_EQ(Band(6).firstArrival, kNoArrivalTime);
    EXPECT_NEAR(Result(5), 1 + Energy(5, 1.0e6, 3), 1e-3 * Energy(5, 1.0e6, 3));
  }
}

TEST_F(ReceiverEngineTest, FirstArrivalRuleAndWindow) {
  // Loudspeaker A at 10 m, B at the same distance with its own intensity
  // ratio and delay; each case is computed in both placing orders.
  struct Case {
    const char* what;
    float ratio, delay;  // B against A
    bool firstIsB;
    bool bInWindow;
  };
  const Case cases[] = {
      {"a later arrival 20 times stronger becomes the first", 20, 10, true, true},
      {"one 15 times stronger does not", 15, 10, false, true},
      {"equal times: the earlier placed stays first", 15, 0, false, true},
      {"35 ms after the first takes part", 1, 35, false, true},
      {"37 ms after it does not", 1, 37, false, false},
  };
  const double e = Energy(k1k, 1.0e5, 10);
  for (const Case& c : cases) {
    for (bool aFirst : {true, false}) {
      ResetObjectStore();
      Loudspeaker a = Speaker({0, 0, 0}, 1.0e5f);
      Loudspeaker b = Speaker({0, 0, 0}, 1.0e5f * c.ratio);
      b.delay = c.delay;
      if (c.delay == 0 && !aFirst) continue;  // equal times depend on the order by design
      PlaceSpeaker(aFirst ? a : b);
      PlaceSpeaker(aFirst ? b : a);
      Calculate({10, 0, 0}, {false, false, PhaseRelations::kEnergy});
      const float tA = float(10 / 343.0), tB = float(10 / 343.0 + c.delay * 0.001);
      EXPECT_FLOAT_EQ(Band(k1k).firstArrival, c.firstIsB ? tB : tA) << c.what << aFirst;
      EXPECT_EQ(Band(k1k).firstIndex, (c.firstIsB == aFirst) ? 1u : 0u) << c.what << aFirst;
      const double expected = 1 + e + (c.bInWindow ? e * c.ratio : 0);
      EXPECT_NEAR(Result(k1k), expected, 1e-4 * expected) << c.what << aFirst;
    }
  }
}

TEST_F(ReceiverEngineTest, WithoutLoudspeakersEveryBandIsOne) {
  Calculate({1, 2, 3}, {true, true, PhaseRelations::kSingleFrequency});
  for (int b = 0; b < kBandCount; ++b) {
    EXPECT_EQ(Result(b), 1.0f);
    EXPECT_EQ(Band(b).firstArrival, kNoArrivalTime);
    EXPECT_EQ(Band(b).firstIndex, 0u);
  }
}

}  // namespace
