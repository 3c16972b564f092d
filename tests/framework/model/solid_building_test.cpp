// Prisms, surfaces of revolution, solids taken apart and put together, and
// faces deleted: the counts the commands promise, and solids whose faces
// all point into the volume they enclose.
#include "framework/model/solid_building.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "framework/core/state_reset.h"
#include "tests/support/object_fixtures.h"

namespace {

class SolidBuildingTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }
};

ObjectList& Model() { return gObjects.model; }

GraphicObject* Selected(GraphicObject* o) {
  o->state |= kStateSelected;
  return o;
}

int CountFaces(const GraphicObject& o) {
  int n = 0;
  for (uint32_t i = 0; i < o.itemCount; ++i) n += o.items[i].op == kOpStart;
  return n;
}

double Volume(const GraphicObject& o) {
  double area = 0, volume = 0;
  ObjectAreaVolume(o, area, volume);
  return volume;
}

// Every edge of a closed, consistently turned surface is run once in each
// direction; with a positive volume every face then points inwards.
bool ConsistentlyClosed(const GraphicObject& o) {
  std::map<std::pair<int, int>, int> edges;
  for (uint32_t i = 0; i < o.itemCount; ++i) {
    if (o.items[i].op != kOpStart) continue;
    std::vector<int> path;
    WalkFaceVertices(o, i, [&](const ObjectVertex& v) { path.push_back(int(&v - o.vertices)); });
    for (size_t k = 0; k < path.size(); ++k) ++edges[{path[k], path[(k + 1) % path.size()]}];
  }
  for (const auto& [edge, count] : edges) {
    if (count != 1) return false;
    auto back = edges.find({edge.second, edge.first});
    if (back == edges.end() || back->second != 1) return false;
  }
  return true;
}

TEST_F(SolidBuildingTest, ExtrudedSquareIsAClosedPrismFacingInwardsWhateverItsWinding) {
  struct Case {
    const char* name;
    Polygon square;
    Vec3d offset;
  } cases[] = {
      {"up", RectangleXY(0, 0, 1, 1), {0, 0, 3}},
      {"reversed source", Reversed(RectangleXY(0, 0, 1, 1)), {0, 0, 3}},
      {"downwards", RectangleXY(0, 0, 1, 1), {0, 0, -3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    GraphicObject* source = Selected(AddObject({c.square}, 5));
    source->colour = 14;
    source->layer = 7;
    ASSERT_EQ(ExtrudeSelectedObjects(Model(), c.offset), SolidBuild::kDone);
    GraphicObject* solid = Model().first;
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->next, nullptr);
    EXPECT_EQ(solid->kind, kKindSolid);
    EXPECT_EQ(solid->state & kStateSelected, 0u);
    EXPECT_EQ(solid->layer, 7u);
    EXPECT_EQ(solid->colour, 14u);
    EXPECT_EQ(solid->vertexCount, 8u);
    EXPECT_EQ(CountFaces(*solid), 6);
    EXPECT_NEAR(Volume(*solid), 3, 1e-6);
    EXPECT_TRUE(ConsistentlyClosed(*solid));
    // The bottom keeps its material; the new faces carry material 0.
    EXPECT_EQ(solid->items[1].op, kOpAttribute);
    EXPECT_EQ(solid->items[1].index, 5);
  }
}

TEST_F(SolidBuildingTest, ExtrusionOfLinesAndSeveralPolygons) {
  // An open polyline of four points: three side quads, no bottom or top.
  GraphicObject* line = Selected(AddObject({{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}, 0, kKindLine));
  line->items[4].op = kOpLineTo;  // open: no closing edge
  ASSERT_EQ(ExtrudeSelectedObjects(Model(), {0, 0, 2}), SolidBuild::kDone);
  EXPECT_EQ(CountFaces(*Model().first), 3);
  EXPECT_EQ(Model().first->vertexCount, 8u);

  // A face object of two polygons gives one closed solid of both prisms.
  ResetAllState();
  Selected(AddObject({RectangleXY(0, 0, 1, 1), Reversed(RectangleXY(3, 0, 4, 2))}));
  ASSERT_EQ(ExtrudeSelectedObjects(Model(), {0, 0, 1}), SolidBuild::kDone);
  EXPECT_EQ(CountFaces(*Model().first), 12);
  EXPECT_NEAR(Volume(*Model().first), 3, 1e-6);
  EXPECT_TRUE(ConsistentlyClosed(*Model().first));
}

TEST_F(SolidBuildingTest, ExtrusionStopsAtTheFirstObjectTooBig) {
  Selected(AddObject({RectangleXY(0, 0, 1, 1)}));
  Polygon big;
  for (int i = 0; i < 2701; ++i) big.push_back({float(i), float(i % 2), 0});
  GraphicObject* tooBig = Selected(AddObject({big}));
  GraphicObject* after = Selected(AddObject({RectangleXY(5, 5, 6, 6)}));
  EXPECT_EQ(ExtrudeSelectedObjects(Model(), {0, 0, 1}), SolidBuild::kTooBig);
  EXPECT_EQ(Model().first->kind, kKindSolid);
  EXPECT_EQ(Model().first->next, tooBig);
  EXPECT_EQ(tooBig->kind, kKindFace);
  EXPECT_EQ(after->kind, kKindFace);
  // Solids and texts are never swept, nor unselected objects.
  ResetAllState();
  GraphicObject* solid = Selected(AddObject({RectangleXY(0, 0, 1, 1)}, 0, kKindSolid));
  GraphicObject* unselected = AddObject({RectangleXY(0, 0, 1, 1)});
  EXPECT_EQ(ExtrudeSelectedObjects(Model(), {0, 0, 1}), SolidBuild::kDone);
  EXPECT_EQ(Model().first, solid);
  EXPECT_EQ(solid->vertexCount, 4u);
  EXPECT_EQ(unselected->kind, kKindFace);
}

TEST_F(SolidBuildingTest, SideFacesJoinTwoRings) {
  // A triangle's items, the second ring 3 vertices behind, the lower ring
  // at vertex 6: one quad per edge, the closing edge's last.
  const ObjectItem source[] = {{kOpStart, 0}, {kOpAttribute, 4}, {kOpLineTo, 1}, {kOpClose, 2}};
  const std::vector<std::pair<int, int>> expected = {
      {0, 9},  {3, 0}, {1, 10}, {1, 7}, {2, 6},  // 0 -> 1
      {0, 10}, {3, 0}, {1, 11}, {1, 8}, {2, 7},  // 1 -> 2
      {0, 11}, {3, 0}, {1, 9},  {1, 6}, {2, 8},  // 2 -> 0
  };
  ObjectItem out[20];
  ASSERT_EQ(BuildSideFaces(source, out, 4, 6, 3), 15u);
  std::vector<std::pair<int, int>> written;
  for (int k = 0; k < 15; ++k) written.push_back({out[k].op, out[k].index});
  EXPECT_EQ(written, expected);
}

TEST_F(SolidBuildingTest, TypedSweepsTakeWholeSegmentCountsOnly) {
  struct Case {
    const char* angle;
    const char* segments;
    bool accepted;
    int n;
    bool fullTurn;
  } cases[] = {
      {"360", "36", true, 36, true},   {"90", " 9", true, 9, false},  {"360.0", "4", true, 4, false},
      {"90", "x", true, 24, false},    {"360", "0", false, 0, false}, {"360", "-3", false, 0, false},
      {"360", "2.5", false, 0, false}, {"0", "36", false, 0, false},  {"abc", "36", false, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.angle) + " / " + c.segments);
    RotateSweep sweep;
    sweep.segments = -7;
    EXPECT_EQ(ReadRotateSweep(c.angle, c.segments, 24, sweep), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(sweep.segments, -7);
      continue;
    }
    EXPECT_EQ(sweep.segments, c.n);
    EXPECT_EQ(sweep.fullTurn, c.fullTurn);
  }
}

TEST_F(SolidBuildingTest, FullTurnWeldsTheRingsAndPartTurnCapsAFace) {
  // A line along z at y = 1 turned a full turn about the z axis of the plan
  // view: a tube of 36 quads without caps, the last ring welded to the first.
  GraphicObject* line = Selected(AddObject({{{0, 1, 0}, {0, 1, 1}}}, 0, kKindLine));
  line->items[2].op = kOpLineTo;
  RotateSweep full{0, {0, 0, 0}, 360, 36, true};
  ASSERT_EQ(RotateSelectedObjects(Model(), full), SolidBuild::kDone);
  EXPECT_EQ(Model().first->kind, kKindSolid);
  EXPECT_EQ(CountFaces(*Model().first), 36);
  EXPECT_EQ(Model().first->vertexCount, 72u);

  // A square of the side view turned about z by 90 degrees in 9 steps: 36
  // side quads and both caps, closed and facing inwards, nearly the volume
  // of the exact sweep (area 1 x radius 1.5 x pi / 2).
  ResetAllState();
  Selected(AddObject({{{0, 1, 0}, {0, 2, 0}, {0, 2, 1}, {0, 1, 1}}}, 3));
  RotateSweep quarter{0, {0, 0, 0}, 90, 9, false};
  ASSERT_EQ(RotateSelectedObjects(Model(), quarter), SolidBuild::kDone);
  GraphicObject* solid = Model().first;
  EXPECT_EQ(CountFaces(*solid), 38);
  EXPECT_EQ(solid->vertexCount, 40u);
  EXPECT_GT(Volume(*solid), 2.3);
  EXPECT_LT(Volume(*solid), 2.357);
  EXPECT_TRUE(ConsistentlyClosed(*solid));
  // The start cap keeps the source's material.
  EXPECT_EQ(solid->items[1].index, 3);

  // Two profiles of opposite windings both sweep solids facing inwards.
  ResetAllState();
  const Polygon profile = {{0, 1, 0}, {0, 2, 0}, {0, 2, 1}, {0, 1, 1}};
  const Polygon outer = {{0, 3, 0}, {0, 3, 1}, {0, 4, 1}, {0, 4, 0}};
  Selected(AddObject({profile, outer}));
  ASSERT_EQ(RotateSelectedObjects(Model(), quarter), SolidBuild::kDone);
  EXPECT_TRUE(ConsistentlyClosed(*Model().first));
  EXPECT_GT(Volume(*Model().first), 2.3 + 5.4);
}

TEST_F(SolidBuildingTest, SweepsTooBigAreRefused) {
  Polygon ring;
  for (int i = 0; i < 200; ++i) ring.push_back({0, 1 + float(i % 2), float(i)});
  GraphicObject* source = Selected(AddObject({ring}));
  RotateSweep sweep{1, {0, 0, 0}, 360, 36, true};
  EXPECT_EQ(RotateSelectedObjects(Model(), sweep), SolidBuild::kTooBig);
  EXPECT_EQ(Model().first, source);
  EXPECT_EQ(source->vertexCount, 200u);
}

TEST_F(SolidBuildingTest, AssembleJoinsTouchingFacesAndDismantleTakesThemApart) {
  Selected(AddObject({RectangleXY(0, 0, 1, 1)}, 2));
  Selected(AddObject({RectangleXY(1, 0, 2, 1.001f)}, 4));
  GraphicObject* notSelected = AddObject({RectangleXY(5, 5, 6, 6)});
  GraphicObject* solid = AssembleSolid(Model(), 7);
  ASSERT_NE(solid, nullptr);
  EXPECT_EQ(Model().first, solid);
  EXPECT_EQ(solid->next, notSelected);
  EXPECT_EQ(solid->vertexCount, 6u);
  EXPECT_EQ(solid->kind, kKindSolid);
  EXPECT_EQ(solid->layer, 7u);
  EXPECT_EQ(solid->colour, 14u);
  EXPECT_EQ(CountFaces(*solid), 2);

  GraphicObject* last = DismantleSolid(solid, Model());
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(Model().first, last);
  int faces = 0;
  for (GraphicObject* o = Model().first; o != notSelected; o = o->next, ++faces) {
    EXPECT_EQ(o->kind, kKindFace);
    EXPECT_EQ(o->vertexCount, 4u);
    EXPECT_NE(o->state & kStateSelected, 0u);
    EXPECT_EQ(o->layer, 7u);
  }
  EXPECT_EQ(faces, 2);
  // The materials came along: the second face put first.
  EXPECT_EQ(Model().first->items[1].index, 4);
  // Nothing selected: nothing assembled; a face object is not dismantled.
  ResetAllState();
  GraphicObject* face = AddObject({RectangleXY(0, 0, 1, 1)});
  EXPECT_EQ(AssembleSolid(Model(), 0), nullptr);
  EXPECT_EQ(DismantleSolid(face, Model()), face);
  EXPECT_EQ(Model().first, face);
}

TEST_F(SolidBuildingTest, AssembleOrDismantleThatMakesNothingKeepsWhatItWasGiven) {
  // A damaged face whose items name no vertex it holds gives the solid
  // nothing: no solid, and the face is still there.
  GraphicObject* damaged = Selected(AddObject({RectangleXY(0, 0, 1, 1)}));
  for (uint32_t i = 0; i < damaged->itemCount; ++i)
    if (damaged->items[i].op != kOpAttribute) damaged->items[i].index = uint16_t(damaged->vertexCount);
  EXPECT_EQ(AssembleSolid(Model(), 0), nullptr);
  EXPECT_EQ(Model().first, damaged);
  EXPECT_EQ(damaged->next, nullptr);
  // Nor is a solid none of whose polygons can be taken out lost to dismantling.
  damaged->kind = kKindSolid;
  EXPECT_EQ(DismantleSolid(damaged, Model()), damaged);
  EXPECT_EQ(Model().first, damaged);
  EXPECT_EQ(damaged->next, nullptr);
}

TEST_F(SolidBuildingTest, DeleteFaceKeepsTheRestAndFreesAnEmptyObject) {
  GraphicObject* box = AddObject(BoxFaces(2, 3, 4), 1, kKindSolid);
  ASSERT_TRUE(DeleteFace(Model(), box, 0));
  EXPECT_EQ(Model().first, box);
  EXPECT_EQ(CountFaces(*box), 5);
  EXPECT_EQ(box->kind, kKindSolid);
  EXPECT_EQ(box->vertexCount, 8u);  // welded: the walls and ceiling share the corners
  // Down to one face: a face object; then the object goes.
  while (CountFaces(*box) > 1) ASSERT_TRUE(DeleteFace(Model(), box, 0));
  EXPECT_EQ(box->kind, kKindFace);
  ASSERT_TRUE(DeleteFace(Model(), box, 0));
  EXPECT_EQ(Model().first, nullptr);
  // An item that starts no face changes nothing.
  GraphicObject* square = AddObject({RectangleXY(0, 0, 1, 1)});
  EXPECT_FALSE(DeleteFace(Model(), square, 1));
  EXPECT_EQ(square->itemCount, 5u);
}

}  // namespace
