#include "design/acoustics/calc_faces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "design/model/materials.h"
#include "framework/core/state_reset.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class CalcFacesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }
  static int32_t Build() { return BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project); }
  static const CalcFace& Face(int i) { return gCalcFaceTable.faces.at(size_t(i)); }

  // The point-in-face answer for `point` on the one face built from `polygon`.
  static int Inside(const Polygon& polygon, ObjectVertex point) {
    ResetObjectStore();
    AddObject({polygon});
    EXPECT_EQ(Build(), 1);
    CalcRay ray;
    ray.face = &Face(0);
    ray.hitPoint = point;
    return PointInCalcFace(ray);
  }
};

TEST_F(CalcFacesTest, OnlyFacesAndSolidsOfTheRoomQualify) {
  EXPECT_EQ(Build(), 0);
  const Polygon square = RectangleXY(0, 0, 1, 1);
  AddObject({square}, 0, kKindFace | kKindSolid);  // kind 24: neither exactly
  AddObject({square}, 0, kKindLine);
  AddObject({square}, 0, kKindFace, 1);  // an audience area
  EXPECT_EQ(Build(), 0);

  GraphicObject* face = AddObject({square});
  GraphicObject* solid = AddObject({RectangleXY(0, 0, 2, 2), RectangleXY(0, 0, 3, 3, 1)}, 0, kKindSolid);
  ASSERT_EQ(Build(), 3);
  EXPECT_EQ(Face(0).object, face);
  EXPECT_EQ(Face(1).object, solid);
  EXPECT_EQ(Face(1).firstItem, 0u);
  EXPECT_EQ(Face(2).firstItem, 5u);  // item order within the object
  EXPECT_FLOAT_EQ(Face(2).halfNormalLength2, 18.0f * 18.0f / 2);
}

TEST_F(CalcFacesTest, FacesBelowFiveThousandthsOfASquareMetreAreSkipped) {
  const float small = std::sqrt(0.004f), large = std::sqrt(0.006f);
  AddObject({RectangleXY(0, 0, small, small), RectangleXY(0, 0, large, large)});
  ASSERT_EQ(Build(), 1);
  EXPECT_EQ(Face(0).firstItem, 5u);
  EXPECT_NEAR(std::sqrt(2 * Face(0).halfNormalLength2) / 2, 0.006, 1e-6);  // the area
}

TEST_F(CalcFacesTest, EntryOfAWall) {
  // 4 m x 3 m in the plane x = 2, its Newell vector along -x.
  AddObject({{{2, 0, 0}, {2, 0, 3}, {2, 4, 3}, {2, 4, 0}}});
  ASSERT_EQ(Build(), 1);
  const CalcFace& f = Face(0);
  EXPECT_EQ(f.normal.x, -24.0f);
  EXPECT_EQ(f.normal.y, 0.0f);
  EXPECT_EQ(f.normal.z, 0.0f);
  EXPECT_EQ(f.planePoint.x, 2.0f);
  EXPECT_EQ(f.planeConstant, 48.0f);  // -24 x + 48 = 0 at x = 2
  EXPECT_EQ(f.halfNormalLength2, 288.0f);
  EXPECT_EQ(f.box.min[0], 2.0f);
  EXPECT_EQ(f.box.max[0], 2.0f);
  EXPECT_EQ(f.box.max[1], 4.0f);
  EXPECT_EQ(f.box.max[2], 3.0f);
  EXPECT_EQ(f.dominantAxis, 0u);
  EXPECT_EQ(f.normalSignBits, 3u);
}

TEST_F(CalcFacesTest, DominantAxisAndSignBits) {
  struct Case {
    Polygon polygon;
    uint32_t axis;
    uint32_t signs;
  };
  // The triangle (0,0,0) (1,0,0) (0,y,1) has the Newell vector (0, -1, y).
  auto tilted = [](float y) { return Polygon{{0, 0, 0}, {1, 0, 0}, {0, y, 1}}; };
  const Case cases[] = {
      {{{1, 0, 0}, {0, 1, 0}, {0, 1, 1}, {1, 0, 1}}, 0, 1 | 1 << 2},       // (1, 1, 0): x wins the tie
      {{{0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}}, 1, 3 << 2 | 1 << 4},  // (0, -1, 1): y wins the tie
      {tilted(0.01f), 1, 3 << 2},                                          // 0.01 counts as zero
      {tilted(0.011f), 1, 3 << 2 | 1 << 4},                                // just above
      {tilted(-0.02f), 1, 3 << 2 | 3 << 4},
      {RectangleXY(0, 0, 1, 1), 2, 1 << 4},
  };
  for (const Case& c : cases) {
    ResetObjectStore();
    AddObject({c.polygon});
    ASSERT_EQ(Build(), 1);
    EXPECT_EQ(Face(0).dominantAxis, c.axis) << c.polygon[2].y;
    EXPECT_EQ(Face(0).normalSignBits, c.signs) << c.polygon[2].y;
  }
}

TEST_F(CalcFacesTest, TableHoldsSixteenThousandFaces) {
  // One solid whose polygons all share the same four vertices.
  auto solidOf = [](int faces) {
    GraphicObject* o = CreateObject(0, 4, uint32_t(4 * faces));
    const Polygon square = RectangleXY(0, 0, 1, 1);
    std::copy(square.begin(), square.end(), o->vertices);
    for (int f = 0; f < faces; ++f) {
      o->items[4 * f] = {kOpStart, 0};
      o->items[4 * f + 1] = {kOpLineTo, 1};
      o->items[4 * f + 2] = {kOpLineTo, 2};
      o->items[4 * f + 3] = {kOpClose, 3};
    }
    o->kind = kKindSolid;
    AppendObject(o);
  };
  MessageRecorder messages;
  solidOf(kMaxCalcFaces);
  EXPECT_EQ(Build(), kMaxCalcFaces);
  EXPECT_TRUE(messages.texts().empty());

  ResetObjectStore();
  solidOf(kMaxCalcFaces + 1);
  EXPECT_EQ(Build(), 0);
  EXPECT_EQ(gCalcFaceTable.Count(), 0);
  ASSERT_EQ(messages.texts(), std::vector<std::string>{"Too many room faces"});
  EXPECT_FALSE(messages.messages()[0].hasCaption);
}

TEST_F(CalcFacesTest, SortingPutsLargerFacesFirstThenTheHigherOnes) {
  GraphicObject* small = AddObject({RectangleXY(0, 0, 1, 1, 5)});
  GraphicObject* low = AddObject({RectangleXY(0, 0, 2, 2)});
  GraphicObject* high = AddObject({RectangleXY(0, 0, 2, 2, 3)});
  GraphicObject* right = AddObject({RectangleXY(4, 0, 6, 2, 3)});  // as high, further along x
  GraphicObject* back = AddObject({RectangleXY(0, 4, 2, 6, 3)});   // as high, further along y
  GraphicObject* twin = AddObject({RectangleXY(0, 4, 2, 6, 3)});   // equal in all: stays behind
  GraphicObject* large = AddObject({RectangleXY(0, 0, 3, 3, -1)});
  ASSERT_EQ(Build(), 7);
  SortCalcFaces(gCalcFaceTable);
  const std::vector<GraphicObject*> expected = {large, back, twin, right, high, low, small};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(Face(int(i)).object, expected[i]) << i;
  EXPECT_EQ(CompareCalcFaces(Face(1), Face(2)), 0);
  EXPECT_EQ(CompareCalcFaces(Face(0), Face(6)), -1);
  EXPECT_EQ(CompareCalcFaces(Face(6), Face(0)), 1);
}

TEST_F(CalcFacesTest, MaterialIndexRepairTouchesOnlyMaterialItems) {
  gMaterials.project.records[1].name = "Glass";
  gMaterials.project.count = 2;
  GraphicObject* known = AddObject({RectangleXY(0, 0, 1, 1)}, 1);
  GraphicObject* unknown = AddObject({RectangleXY(0, 0, 1, 1)}, 7);
  // No material items: the item behind each start names a vertex (1, then 5).
  GraphicObject* bare = AddObject({RectangleXY(0, 0, 1, 1), RectangleXY(0, 0, 2, 2)}, kNoMaterial);
  ASSERT_EQ(Build(), 4);
  EXPECT_EQ(known->items[1].index, 1);
  EXPECT_EQ(unknown->items[1].index, 0);
  EXPECT_EQ(bare->items[5].op, kOpLineTo);
  EXPECT_EQ(bare->items[5].index, 5);
  EXPECT_EQ(Face(3).normal.z, 8.0f);  // the bare faces keep their geometry

  EXPECT_EQ(CalcFaceMaterialIndex(Face(0), gMaterials.project), 1);
  EXPECT_EQ(CalcFaceMaterialIndex(Face(1), gMaterials.project), 0);
  EXPECT_EQ(CalcFaceMaterialIndex(Face(2), gMaterials.project), 0);
}

TEST_F(CalcFacesTest, PointInConvexAndConcaveFaces) {
  struct Case {
    const char* what;
    Polygon polygon;
    ObjectVertex point;
    int inside;
  };
  const Polygon square = RectangleXY(0, 0, 2, 2);
  // A square of 4 m with a notch down to (2, 2) from the top edge.
  const Polygon notched = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 2, 0}, {0, 4, 0}};
  const Polygon diamond = {{0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}};
  const Polygon hexagon = {{1, 0, 0},  {0.5f, 0.866f, 0},   {-0.5f, 0.866f, 0},
                           {-1, 0, 0}, {-0.5f, -0.866f, 0}, {0.5f, -0.866f, 0}};
  const Case cases[] = {
      {"square centre", square, {1, 1, 0}, 1},
      {"square outside the box", square, {3, 1, 0}, 0},
      {"on the box edge, inside the outline", square, {1, 0, 0}, 1},
      {"notch: inside beside it", notched, {3.5f, 3, 0}, 1},
      {"notch: in it", notched, {2, 3, 0}, 0},
      {"notch: level with its vertex", notched, {3, 2, 0}, 1},
      {"notch: level with its vertex, left", notched, {1, 2, 0}, 1},
      {"diamond: level with both side vertices", diamond, {0.5f, 0, 0}, 1},
      {"diamond: level with the side vertices, left", diamond, {-0.5f, 0, 0}, 1},
      {"diamond: outside a corner", diamond, {0.8f, 0.8f, 0}, 0},
      {"hexagon: level with the side vertices", hexagon, {0.9f, 0, 0}, 1},
      {"hexagon: level with the side vertices, left", hexagon, {-0.9f, 0, 0}, 1},
      {"wall facing x", WallX(2, 0, 4, 0, 3), {2, 1, 1}, 1},
      {"wall facing x, outside", WallX(2, 0, 4, 0, 3), {2, 1, 3.5f}, 0},
      {"wall facing y", {{0, 5, 0}, {4, 5, 0}, {4, 5, 3}, {0, 5, 3}}, {1, 5, 2}, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Inside(c.polygon, c.point), c.inside) << c.what;
}

TEST_F(CalcFacesTest, EveryPointOfARowLevelWithVerticesIsInside) {
  // The grid row through the diamond's side vertices: the old rule dropped it.
  const Polygon diamond = {{0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}};
  for (float x = -0.9f; x < 0.95f; x += 0.1f) EXPECT_EQ(Inside(diamond, {x, 0, 0}), 1) << x;
}

TEST_F(CalcFacesTest, EdgeCrossingCountsAVertexOnce) {
  const ObjectVertex h = {0, 0, 0};
  // Two edges meeting at (1, 0), level with the point: exactly one counts.
  EXPECT_EQ(CountEdgeCrossing({0, -1, 0}, {1, 0, 0}, h, 2) + CountEdgeCrossing({1, 0, 0}, {0, 1, 0}, h, 2), 1);
  // So does an outline running straight through a vertex level with the point.
  EXPECT_EQ(CountEdgeCrossing({1, -1, 0}, {1, 0, 0}, h, 2) + CountEdgeCrossing({1, 0, 0}, {1, 1, 0}, h, 2), 1);
  EXPECT_EQ(CountEdgeCrossing({2, 0, 0}, {3, 0, 0}, h, 2), 0);     // level edge
  EXPECT_EQ(CountEdgeCrossing({-1, -1, 0}, {-1, 1, 0}, h, 2), 0);  // crosses on the other side
  EXPECT_EQ(CountEdgeCrossing({0, 1, -1}, {0, 1, 1}, h, 0), 1);    // u = y, v = z
}

TEST_F(CalcFacesTest, RayPlaneIntersection) {
  AddObject({WallX(2, 0, 4, 0, 3)});
  ASSERT_EQ(Build(), 1);
  struct Case {
    const char* what;
    ObjectVertex origin, direction;
    int hit;
  };
  const Case cases[] = {
      {"towards the wall", {0, 1, 1}, {1, 0, 0}, 1},
      {"slanted", {0, 0, 0}, {2, 1, 1}, 1},
      {"away from it: no side test", {5, 1, 1}, {1, 0, 0}, 1},
      {"beside it", {0, 5, 1}, {1, 0, 0}, 0},
      {"just long enough", {0, 1, 1}, {0.001f, 0, 0}, 1},
      {"shorter than 1 mm", {0, 1, 1}, {0.0009f, 0, 0}, 0},
      {"parallel", {0, 1, 1}, {0, 1, 0}, 0},
      {"in the plane", {2, 1, 1}, {0, 1, 0}, 0},
      {"zero direction", {0, 1, 1}, {0, 0, 0}, 0},
      {"NaN direction", {0, 1, 1}, {kNaN, 0, 0}, 0},
      {"NaN origin", {kNaN, 1, 1}, {1, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    CalcRay ray;
    ray.face = &Face(0);
    ray.origin = c.origin;
    ray.direction = c.direction;
    EXPECT_EQ(IntersectRayPlane(ray), c.hit) << c.what;
  }
  CalcRay ray;
  ray.face = &Face(0);
  ray.origin = {0, 0, 0};
  ray.direction = {4, 2, 1};
  ASSERT_EQ(IntersectRayPlane(ray), 1);
  EXPECT_FLOAT_EQ(ray.hitPoint.x, 2);
  EXPECT_FLOAT_EQ(ray.hitPoint.y, 1);
  EXPECT_FLOAT_EQ(ray.hitPoint.z, 0.5f);
}

class SegmentTest : public CalcFacesTest {
 protected:
  // Two walls across the x axis, at x = 2 and x = 5.
  void SetUp() override {
    CalcFacesTest::SetUp();
    AddObject({WallX(2, -1, 1, -1, 1), WallX(5, -1, 1, -1, 1)});
    ASSERT_EQ(Build(), 2);
  }
  static int Check(ObjectVertex from, ObjectVertex to, const CalcFace* face, int nearest) {
    CalcRay ray;
    ray.origin = from;
    ray.direction = {to.x - from.x, to.y - from.y, to.z - from.z};
    return CheckSegmentFaces(gCalcFaceTable, ray, face, nearest);
  }
};

TEST_F(SegmentTest, ShadingByAnyFace) {
  EXPECT_EQ(Check({0, 0, 0}, {3, 0, 0}, nullptr, 0), 0);         // crosses the first wall
  EXPECT_EQ(Check({3, 0, 0}, {4, 0.5f, 0}, nullptr, 0), 1);      // between the walls
  EXPECT_EQ(Check({0, 0, 0}, {1.9f, 0, 0}, nullptr, 0), 1);      // stops short
  EXPECT_EQ(Check({0, 0, 0}, {3, 2, 0}, nullptr, 0), 1);         // passes beside it
  EXPECT_EQ(Check({3, -0.5f, 0}, {3, 0.5f, 0}, nullptr, 0), 1);  // parallel to both
  EXPECT_EQ(Check({0, 0, 0}, {3, 0, 0}, &Face(0), 0), 1);        // the given face is left out
  EXPECT_EQ(Check({0, 0, 0}, {6, 0, 0}, &Face(0), 0), 0);        // but not the other one
}

TEST_F(SegmentTest, NearestCrossedFace) {
  EXPECT_EQ(Check({0, 0, 0}, {6, 0, 0}, &Face(0), 1), 1);
  EXPECT_EQ(Check({0, 0, 0}, {6, 0, 0}, &Face(1), 1), 0);
  EXPECT_EQ(Check({6, 0, 0}, {0, 0, 0}, &Face(1), 1), 1);  // from the other end
  EXPECT_EQ(Check({0, 0, 0}, {1, 0, 0}, nullptr, 1), 1);   // nothing crossed, none asked for
}

TEST_F(SegmentTest, NaNSegmentsCrossNothing) {
  EXPECT_EQ(Check({0, 0, 0}, {kNaN, 0, 0}, nullptr, 0), 1);
  EXPECT_EQ(Check({kNaN, 0, 0}, {6, 0, 0}, nullptr, 0), 1);
  EXPECT_EQ(Check({0, 0, 0}, {kNaN, 0, 0}, &Face(0), 1), 0);
}

TEST_F(SegmentTest, BoxOverlapIsStrict) {
  const FaceBox& wall = Face(0).box;  // x = 2, y and z -1..1
  EXPECT_TRUE(SegmentOverlapsFace(BoundSegment({0, 0, 0}, {3, 0, 0}), wall));
  EXPECT_FALSE(SegmentOverlapsFace(BoundSegment({0, 0, 0}, {2, 0, 0}), wall));  // ends on the plane
  EXPECT_FALSE(SegmentOverlapsFace(BoundSegment({0, 1, 0}, {3, 2, 0}), wall));  // touches the edge
  EXPECT_FALSE(SegmentOverlapsFace(BoundSegment({0, 0, 0}, {double(kNaN), 0, 0}), wall));
}

}  // namespace
