#include "design/acoustics/ray_paths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "design/acoustics/reflection_search.h"
#include "framework/model/layers.h"
#include "tests/design/acoustics/ray_fixtures.h"
#include "tests/support/fake_services.h"
#include "tests/support/le_bytes.h"
#include "tests/support/message_recorder.h"

namespace {

// A stored path node: u16 tag, f32 x, y, z.
Bytes& Node(Bytes& bytes, uint16_t tag, float x, float y, float z) { return bytes.u16(tag).f32(x).f32(y).f32(z); }

PathRecord Record(std::vector<PathNode> nodes) {
  PathRecord record;
  record.reflections = int16_t(nodes.size() - 2);
  record.target = nodes.back().point;
  for (size_t k = 0; k < nodes.size(); ++k) record.nodes[k] = nodes[k];
  return record;
}

// ---- The path record ----

TEST(PathRecordTest, StoredFormIsTheHeadAndTwoNodesMoreThanReflections) {
  const PathRecord record = Record({{kSourceTag, {1, 2, 3}}, {7, {0, 2.5f, 1}}, {kTargetTag, {4, 5, 6.5f}}});
  std::vector<uint8_t> bytes;
  AppendPathRecord(bytes, record);
  Bytes expected;
  expected.u16(1).f32(4).f32(5).f32(6.5f);  // n, target
  Node(expected, 65534, 1, 2, 3);
  Node(expected, 7, 0, 2.5f, 1);
  Node(expected, 65535, 4, 5, 6.5f);
  ASSERT_EQ(bytes.size(), 14u + 14u * 3);
  EXPECT_EQ(bytes, expected.b);

  size_t offset = 0;
  PathRecord read;
  ASSERT_TRUE(ReadPathRecord(bytes, offset, read));
  EXPECT_EQ(offset, bytes.size());
  EXPECT_EQ(read.reflections, 1);
  EXPECT_EQ(read.target.z, 6.5f);
  EXPECT_EQ(read.nodes[1].tag, 7);
  EXPECT_EQ(read.nodes[1].point.y, 2.5f);
  EXPECT_EQ(read.nodes[2].tag, kTargetTag);
}

TEST(PathRecordTest, TheReaderRefusesRecordsItCannotBound) {
  Bytes direct;
  direct.u16(0).f32(0).f32(0).f32(1);
  Node(Node(direct, 65534, 0, 0, 0), 65535, 0, 0, 1);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> truncated = direct.b;
  truncated.pop_back();
  std::vector<uint8_t> deepest(PathRecordSize(kMaxPathReflections), 0);
  deepest[0] = uint8_t(kMaxPathReflections);
  std::vector<uint8_t> tooDeep(PathRecordSize(kMaxPathReflections + 1), 0);
  tooDeep[0] = uint8_t(kMaxPathReflections + 1);
  const Case refused[] = {
      {"a short head", std::vector<uint8_t>(13, 0)},
      {"a negative count", Node(Bytes().u16(0xFFFF).f32(0).f32(0).f32(0), 0, 0, 0, 0).b},
      {"more nodes than a record holds", tooDeep},
      {"nodes cut short", truncated},
      {"a huge count", Bytes().u16(30000).f32(0).f32(0).f32(0).b},
  };
  for (const Case& c : refused) {
    size_t offset = 0;
    PathRecord record;
    record.reflections = 5;
    EXPECT_FALSE(ReadPathRecord(c.bytes, offset, record)) << c.what;
    EXPECT_EQ(offset, 0u) << c.what;
    EXPECT_EQ(record.reflections, 5) << c.what;
  }
  size_t offset = 0;
  PathRecord record;
  EXPECT_TRUE(ReadPathRecord(deepest, offset, record));
  EXPECT_EQ(record.reflections, kMaxPathReflections);
  // An offset past the end is refused, not read.
  offset = direct.b.size() + 100;
  EXPECT_FALSE(ReadPathRecord(direct.b, offset, record));
}

// ---- RayPath objects ----

TEST(RayPathTest, AnObjectOnTheRayLayerWithItsDataBlock) {
  struct Case {
    int reflections;
    uint32_t colour;
  };
  for (const Case c : {Case{0, 23}, Case{1, 22}, Case{23, 0}, Case{30, 0}}) {
    std::vector<PathNode> nodes(size_t(c.reflections + 2));
    nodes.front() = {kSourceTag, {1, 1, 1}};
    for (int k = 1; k <= c.reflections; ++k) nodes[size_t(k)] = {uint16_t(k * 3), {float(k), 0, 0}};
    nodes.back() = {kTargetTag, {9, 9, 9}};
    GraphicObject* path = CreateRayPath(Record(nodes));
    ASSERT_NE(path, nullptr);
    const uint32_t m = uint32_t(c.reflections + 2);
    EXPECT_EQ(path->layer, uint32_t(kRayPathLayer));
    EXPECT_EQ(path->kind, 1u);
    EXPECT_EQ(path->colour, c.colour) << c.reflections;
    EXPECT_EQ(path->dataSize, 62 + 2 * m);
    EXPECT_EQ(path->vertexCount, m);
    EXPECT_EQ(path->itemCount, m);
    EXPECT_EQ(path->items[0].op, kOpStart);
    EXPECT_EQ(path->items[0].index, 0);
    EXPECT_EQ(path->items[m - 1].op, kOpLineTo);
    EXPECT_EQ(path->items[m - 1].index, m - 1);
    EXPECT_EQ(path->vertices[m - 1].z, 9.0f);
    EXPECT_EQ(path->data[60] | (path->data[61] << 8), c.reflections);
    EXPECT_EQ(path->data[62] | (path->data[63] << 8), kSourceTag);
    EXPECT_EQ(RayPathTag(path, int(m - 1)), kTargetTag);
    if (c.reflections) {
      EXPECT_EQ(RayPathTag(path, 1), 3);
    }
    for (size_t i = 0; i < 60; ++i) ASSERT_EQ(path->data[i], 0) << i;
    EXPECT_EQ(RayPathReflectionCount(path), c.reflections);
    ObjectList own;
    FreeObjectInList(path, own);
  }
}

TEST(RayPathTest, ADamagedObjectIsNoPath) {
  GraphicObject* path = CreateRayPath(Record({{kSourceTag, {}}, {4, {}}, {kTargetTag, {}}}));
  ASSERT_EQ(RayPathReflectionCount(path), 1);
  path->data[60] = 2;  // n no longer fits the vertices and the block
  EXPECT_EQ(RayPathReflectionCount(path), -1);
  path->data[60] = 1;
  path->layer = kRoomLayer;
  EXPECT_EQ(RayPathReflectionCount(path), -1);
  ObjectList own;
  FreeObjectInList(path, own);
}

TEST(RayPathTest, LoadingPutsTheLastRecordReadFirst) {
  ResetObjectStore();
  GraphicObject* room = AddObject({RectangleXY(0, 0, 1, 1)});
  std::vector<uint8_t> bytes;
  AppendPathRecord(bytes, Record({{kSourceTag, {1, 0, 0}}, {kTargetTag, {5, 0, 0}}}));
  AppendPathRecord(bytes, Record({{kSourceTag, {2, 0, 0}}, {0, {2, 0, 3}}, {kTargetTag, {5, 0, 0}}}));
  bytes.push_back(0);  // a cut-off third record is not read
  FakeServices services;

  EXPECT_EQ(LoadPathObjects(gObjects.model, bytes), 2u);
  EXPECT_EQ(services.waitDepth, 0);
  GraphicObject* first = gObjects.model.first;
  ASSERT_TRUE(IsRayPath(first));
  EXPECT_EQ(first->vertices[0].x, 2.0f);
  EXPECT_EQ(RayPathReflectionCount(first), 1);
  EXPECT_EQ(first->next->vertices[0].x, 1.0f);
  EXPECT_EQ(first->next->next, room);
  ResetObjectStore();
}

// ---- Linking ----

class LinkTest : public RayDesignTest {
 protected:
  void SetUp() override {
    RayDesignTest::SetUp();
    SetMaterial(1, 0.2f);
    // Two faces: the larger floor (sorted first) and a wall.
    AddObject({RectangleXY(0, 0, 10, 10)}, 1);
    AddObject({WallX(0, 0, 10, 0, 5)}, 1);
  }

  // A path through `points` from a source to a target, reflecting on the
  // faces `tags`, inserted at the head of the model.
  GraphicObject* AddPath(std::vector<ObjectVertex> points, std::vector<uint16_t> tags = {}) {
    std::vector<PathNode> nodes;
    nodes.push_back({kSourceTag, points.front()});
    for (size_t k = 0; k < tags.size(); ++k) nodes.push_back({tags[k], points[k + 1]});
    nodes.push_back({kTargetTag, points.back()});
    GraphicObject* path = CreateRayPath(Record(nodes));
    InsertObjectBeforeInList(path, gObjects.model.first, gObjects.model);
    return path;
  }

  static void SwitchOff(GraphicObject* object) {
    Loudspeaker speaker;
    ReadLoudspeaker(object, speaker);
    speaker.on = 0;
    WriteLoudspeaker(speaker, object);
  }

  LinkOutcome Link(double meanFreePath) { return LinkPathsToSpeakers(tables_, Design(), meanFreePath, results_); }

  std::vector<GraphicObject*> Paths() const {
    std::vector<GraphicObject*> paths;
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (IsRayPath(o)) paths.push_back(o);
    return paths;
  }

  RaySearchTables tables_;
  RayResults results_;
};

TEST_F(LinkTest, APathGetsItsSpeakerTimeAndBandLevels) {
  AddSpeaker({9, 9, 9}, 5000.0f);  // nowhere near the path: no match
  AddSpeaker({2, 5, 3}, 1.0e6f, 5.0f);
  // Off the floor at (5, 5, 0): 5 m there and 5 m on.
  GraphicObject* path = AddPath({{2, 5, 3}, {5, 5, 0}, {8, 5, 3}}, {0});
  GraphicObject* direct = AddPath({{2, 5, 3}, {8, 5, 3}});

  const LinkOutcome outcome = Link(5.0);
  EXPECT_EQ(outcome.paths, 2);
  EXPECT_EQ(outcome.unassigned, 0);
  ASSERT_EQ(tables_.speakers.Count(), 2);
  EXPECT_EQ(RayPathTag(path, 0), 1);  // the second active loudspeaker
  const double length = 2 * std::sqrt(18.0);
  EXPECT_NEAR(RayPathTime(path), 5.0 + 1000.0 * length / 343.0, 1e-3);
  EXPECT_NEAR(RayPathTime(direct), 5.0 + 1000.0 * 6 / 343.0, 1e-3);
  for (int b = 0; b < kBandCount; ++b) {
    const double e = 1.0e6 * std::pow(AirTransmissionTable[size_t(b)], length) / (length * length) * (1 - 0.2);
    EXPECT_NEAR(RayPathLevel(path, b), e, e * 1e-5) << b;
    const double d = 1.0e6 * std::pow(AirTransmissionTable[size_t(b)], 6.0) / 36.0;
    EXPECT_NEAR(RayPathLevel(direct, b), d, d * 1e-5) << b;
  }
}

TEST_F(LinkTest, APathBelongsToTheNearestActiveLoudspeakerWithinReach) {
  AddSpeaker({1, 5, 3});
  AddSpeaker({1.05f, 5, 3});
  SwitchOff(AddSpeaker({1.02f, 5, 3}));
  GraphicObject* first = AddPath({{1, 5, 3}, {3, 3, 3}});
  GraphicObject* second = AddPath({{1.05f, 5, 3}, {3, 3, 3}});
  GraphicObject* atTheOffOne = AddPath({{1.02f, 5, 3}, {3, 3, 3}});  // an active one is in reach too
  EXPECT_EQ(Link(5.0).paths, 3);
  EXPECT_EQ(RayPathTag(first, 0), 0);
  EXPECT_EQ(RayPathTag(second, 0), 1);
  EXPECT_EQ(RayPathTag(atTheOffOne, 0), 0);
}

TEST_F(LinkTest, LevelsStayBetweenTheFloorAndTheNearFieldCap) {
  AddSpeaker({1, 5, 3}, 2000.0f);
  GraphicObject* path = AddPath({{1, 5, 3}, {1, 5, 103}});  // 2000 / 100^2 = 0.2
  Link(5.0);
  for (int b = 0; b < kBandCount; ++b) EXPECT_EQ(RayPathLevel(path, b), 1.0f);

  // A target at the source: the distance law stops at 1 cm (x 10^4), as
  // the receiver engine's does, instead of an infinite level.
  GraphicObject* atSource = AddPath({{1, 5, 3}, {1, 5, 3}});
  Link(5.0);
  for (int b = 0; b < kBandCount; ++b) EXPECT_FLOAT_EQ(RayPathLevel(atSource, b), 2000.0f * 1.0e4f) << b;
}

TEST_F(LinkTest, PathsWithoutTheirSpeakerOrFacesAreDeleted) {
  AddSpeaker({1, 5, 3});
  SwitchOff(AddSpeaker({4, 4, 4}));
  AddSpeaker({6, 6, 4}, 10.0f);  // plays no band

  GraphicObject* kept = AddPath({{1.05f, 5, 3}, {1, 5, 0}, {3, 3, 3}}, {0});
  AddPath({{4, 4, 4.05f}, {3, 3, 3}});              // its loudspeaker is off: gone uncounted
  AddPath({{6, 6, 4}, {3, 3, 3}});                  // plays nothing: gone uncounted
  AddPath({{2, 2, 2}, {3, 3, 3}});                  // no loudspeaker there: unassigned
  AddPath({{1, 5, 3}, {1, 5, 0}, {3, 3, 3}}, {2});  // names no face: unassigned
  MessageRecorder messages;

  const LinkOutcome outcome = Link(5.0);
  EXPECT_EQ(outcome.paths, 1);
  EXPECT_EQ(outcome.unassigned, 2);
  EXPECT_EQ(Paths(), std::vector<GraphicObject*>{kept});
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "2 paths left unassigned");
  EXPECT_EQ(messages.messages()[0].caption, "Information :");
  // Only the kept path's reflection is summed.
  EXPECT_FLOAT_EQ(results_.meanAbsorption[0], 0.2f);
}

TEST_F(LinkTest, RoomFiguresFromTheReflectionsAndTheMeanFreePath) {
  SetMaterial(2, 0.5f);
  ResetObjectStore();
  AddObject({RectangleXY(0, 0, 10, 10)}, 1);  // 0.2
  AddObject({WallX(0, 0, 10, 0, 5)}, 2);      // 0.5
  AddSpeaker({1, 5, 3});
  AddPath({{1, 5, 3}, {1, 5, 0}, {0, 5, 1}, {3, 3, 3}}, {0, 1});
  AddPath({{1, 5, 3}, {1, 5, 0}, {3, 3, 3}}, {0});
  const double mfp = 3.5;
  Link(mfp);

  EXPECT_FLOAT_EQ(results_.meanFreePath, 3.5f);
  EXPECT_FLOAT_EQ(results_.reflectionRate, float(343.0 / 3.5));
  const double a = (0.2 + 0.5 + 0.2) / 3;
  double rtSum = 0;
  for (int b = 0; b < kBandCount; ++b) {
    EXPECT_NEAR(results_.meanAbsorption[size_t(b)], a, 1e-6);
    const double rt =
        6 * std::log(10.0) / -std::log(1 - a) * mfp * std::pow(AirTransmissionTable[size_t(b)], mfp) / 343.0;
    EXPECT_NEAR(results_.reverberationTime[size_t(b)], rt, rt * 1e-6) << b;
    rtSum += rt;
  }
  EXPECT_NEAR(results_.meanAbsorption[7], a, 1e-6);
  EXPECT_NEAR(results_.reverberationTime[7], rtSum / 7, 1e-5);
}

TEST_F(LinkTest, MeanAbsorptionStaysWithinItsBounds) {
  struct Case {
    float alpha;
    bool withReflection;
    float mean;
  };
  for (const Case c : {Case{0.0f, true, 0.01f}, Case{1.0f, true, 0.999f}, Case{0.3f, false, 0.01f}}) {
    ResetObjectStore();
    SetMaterial(1, c.alpha);
    AddObject({RectangleXY(0, 0, 10, 10)}, 1);
    AddSpeaker({1, 5, 3});
    if (c.withReflection) {
      AddPath({{1, 5, 3}, {1, 5, 0}, {3, 3, 3}}, {0});
    } else {
      AddPath({{1, 5, 3}, {3, 3, 3}});
    }
    Link(5.0);
    EXPECT_FLOAT_EQ(results_.meanAbsorption[0], c.mean) << c.alpha;
    EXPECT_GT(results_.reverberationTime[0], 0.0f);
  }
}

TEST_F(LinkTest, NoUsableMeanFreePathIsTakenAsATenthOfAMetre) {
  AddSpeaker({1, 5, 3});
  AddPath({{1, 5, 3}, {1, 5, 0}, {3, 3, 3}}, {0});
  for (double estimate : {0.1, 0.0}) {
    MessageRecorder messages;
    Link(estimate);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Can\xB4t calculate mean free path");
    EXPECT_EQ(messages.messages()[0].caption, "Info :");
    EXPECT_FLOAT_EQ(results_.meanFreePath, 0.1f);
    EXPECT_FLOAT_EQ(results_.reflectionRate, 3430.0f);
    EXPECT_EQ(results_.meanAbsorption[0], 0.0f);
    EXPECT_EQ(results_.reverberationTime[0], 0.0f);
  }
}

TEST_F(LinkTest, NoPathLeftIsReported) {
  AddPath({{2, 2, 2}, {3, 3, 3}});
  MessageRecorder messages;
  EXPECT_EQ(Link(5.0).paths, 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"No valid paths found, operation cancelled"});
  EXPECT_TRUE(Paths().empty());
}

TEST_F(LinkTest, DirectivityReadsTheBalloonTowardsTheFirstNode) {
  SpeakerType& type = *gSpeakerModel.types.At(flatType_);
  for (int row = 0; row < kBalloonRows; ++row)
    for (int column = 0; column < kBalloonColumns; ++column)
      type.BalloonBand(2)[size_t(row * kBalloonColumns + column)] = uint8_t(100 + row);
  AddSpeaker({0, 0, 0});
  RaySearchTables tables;
  ASSERT_EQ(PrepareRaySearchTables(tables, Design()), 1);
  ActiveSpeaker& speaker = tables.speakers.entries[0];
  const auto& factor = AttenuationFactorTable();
  constexpr double kDeg = 3.141592654 / 180;
  struct Case {
    double degrees;
    double expected;
  };
  const Case cases[] = {
      {0, factor[100]},                               // on the axis
      {90, factor[118]},                              // row 18
      {12.5, 0.5 * factor[102] + 0.5 * factor[103]},  // between rows 2 and 3
      {177.5, factor[135]},                           // row 35 with itself
      {180, 0.5 * factor[136] + 0.5 * factor[135]},   // row 36 with row 35
  };
  for (const Case& c : cases) {
    const ObjectVertex point{float(std::cos(c.degrees * kDeg)), 0, float(std::sin(c.degrees * kDeg))};
    EXPECT_NEAR(PathDirectivity(speaker, point)[2], c.expected, c.expected * 1e-4) << c.degrees;
  }
  speaker.bandMask = 0x7F & ~(1u << 2);  // a band it does not play reads 1.0
  EXPECT_EQ(PathDirectivity(speaker, {0, 0, 1})[2], 1.0);
}

// ---- Sorting and removing ----

TEST_F(LinkTest, SortingKeepsEqualTimesInListOrderAndPutsThePathsFirst) {
  GraphicObject* late = AddPath({{0, 0, 0}, {1, 1, 1}});
  GraphicObject* tie = AddPath({{0, 0, 0}, {1, 1, 1}});
  GraphicObject* early = AddPath({{0, 0, 0}, {1, 1, 1}});
  GraphicObject* tie2 = AddPath({{0, 0, 0}, {1, 1, 1}});
  // One path behind the room objects, as a ray file appends them.
  GraphicObject* appended = CreateRayPath(Record({{kSourceTag, {}}, {kTargetTag, {1, 1, 1}}}));
  AppendObject(appended);
  SetRayPathTime(late, 30);
  SetRayPathTime(tie, 12);
  SetRayPathTime(early, 2);
  SetRayPathTime(tie2, 12);
  SetRayPathTime(appended, 12);
  // List order now: tie2, early, tie, late, floor, wall, appended.
  GraphicObject* floor = gObjects.model.first->next->next->next->next;
  FakeServices services;

  SortPathsByTime(gObjects.model);
  std::vector<GraphicObject*> order;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) order.push_back(o);
  const std::vector<GraphicObject*> expected = {early, tie2, tie, appended, late, floor, floor->next};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(gObjects.model.last, floor->next);
  EXPECT_EQ(services.waitDepth, 0);
  EXPECT_EQ(SortingStatusText(5), "Sorting 5 paths by time");
}

TEST_F(LinkTest, DeletingRemovesEveryPathAndAsksForARedraw) {
  AddPath({{0, 0, 0}, {1, 1, 1}});
  AppendObject(CreateRayPath(Record({{kSourceTag, {}}, {kTargetTag, {1, 1, 1}}})));
  const uint32_t others = CountObjects() - 2;
  FakeServices services;
  RaySearchState state;
  DeleteRayPaths(state, gObjects.model);
  EXPECT_TRUE(Paths().empty());
  EXPECT_EQ(CountObjects(), others);
  EXPECT_EQ(services.redraws, 1);
}

}  // namespace
