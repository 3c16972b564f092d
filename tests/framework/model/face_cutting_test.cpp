// Faces cut along a line of a 2D view: the crossing of an edge, split
// faces that stay joined to their neighbours and keep their material, and
// nodes put into crossed edges.
#include "framework/model/face_cutting.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/core/state_reset.h"
#include "tests/support/object_fixtures.h"

namespace {

class FaceCuttingTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }
};

ObjectList& Model() { return gObjects.model; }

// The outline of each polygon as its vertices, and its material.
struct Outline {
  std::vector<ObjectVertex> vertices;
  int material = -1;
};
std::vector<Outline> Outlines(const GraphicObject& o) {
  std::vector<Outline> outlines;
  for (uint32_t i = 0; i < o.itemCount; ++i) {
    if (o.items[i].op != kOpStart) continue;
    Outline outline;
    if (const ObjectItem* m = FaceMaterialItem(o, i)) outline.material = m->index;
    WalkFaceVertices(o, i, [&](const ObjectVertex& v) { outline.vertices.push_back(v); });
    outlines.push_back(outline);
  }
  return outlines;
}

bool Has(const Outline& outline, ObjectVertex p) {
  for (const ObjectVertex& v : outline.vertices)
    if (std::abs(v.x - p.x) < 1e-5 && std::abs(v.y - p.y) < 1e-5 && std::abs(v.z - p.z) < 1e-5) return true;
  return false;
}

// The object's header words, vertices and items, byte for byte.
std::vector<uint8_t> Bytes(const GraphicObject* o) {
  std::vector<uint8_t> bytes;
  auto add = [&bytes](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
  };
  add(&o->kind, 4 * 7);
  add(o->vertices, o->vertexCount * sizeof(ObjectVertex));
  add(o->items, o->itemCount * sizeof(ObjectItem));
  return bytes;
}

TEST_F(FaceCuttingTest, EdgeCrossingTakesTheDepthFromTheEdge) {
  ObjectVertex x;
  // A tilted edge of the plan view: z runs from 0 to 4 along x.
  ASSERT_EQ(EdgeLineIntersection({0, 0, 0}, {4, 0, 4}, {1, -1, 0}, {1, 1, 0}, 0, x), 1);
  EXPECT_FLOAT_EQ(x.x, 1);
  EXPECT_FLOAT_EQ(x.y, 0);
  EXPECT_FLOAT_EQ(x.z, 1);
  // The side view's plane is y, z; the edge runs steeper in z, so the depth
  // x follows z.
  ASSERT_EQ(EdgeLineIntersection({2, 0, 0}, {6, 1, 4}, {-5, 0, 1}, {-5, 5, 1}, 1, x), 1);
  EXPECT_FLOAT_EQ(x.x, 3);
  EXPECT_FLOAT_EQ(x.y, 0.25f);
  EXPECT_FLOAT_EQ(x.z, 1);
  // Parallel, short of the edge, and the 3D views: no crossing.
  EXPECT_EQ(EdgeLineIntersection({0, 0, 0}, {4, 0, 0}, {0, 1, 0}, {4, 1, 0}, 0, x), 0);
  EXPECT_EQ(EdgeLineIntersection({0, 0, 0}, {4, 0, 0}, {1, 1, 0}, {1, 0.5f, 0}, 0, x), 0);
  EXPECT_EQ(EdgeLineIntersection({0, 0, 0}, {4, 0, 0}, {1, -1, 0}, {1, 1, 0}, 3, x), 0);
}

TEST_F(FaceCuttingTest, SplitThroughOppositeEdgesOrACornerGivesTwoFacesWithTheMaterial) {
  struct Case {
    const char* name;
    Vec3d p1, p2;
    size_t verticesA, verticesB;
    ObjectVertex shared0, shared1;
  } cases[] = {
      {"opposite edges", {0.5, -1, 0}, {0.5, 2, 0}, 4, 4, {0.5f, 0, 0}, {0.5f, 1, 0}},
      {"through two corners", {-1, -1, 0}, {2, 2, 0}, 3, 3, {0, 0, 0}, {1, 1, 0}},
      {"a corner and an edge", {-1, -1, 0}, {1.5, 1.5f, 0}, 3, 3, {0, 0, 0}, {1, 1, 0}},
      {"corner to mid edge", {0, 0, 0}, {1.2, 0.6, 0}, 4, 3, {0, 0, 0}, {1, 0.5f, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    GraphicObject* square = AddObject({RectangleXY(0, 0, 1, 1)}, 7, kKindFace, 7);
    square->colour = 14;
    ASSERT_EQ(SplitFace(Model(), square, 0, c.p1, c.p2, 0), FaceSplit::kSplit);
    GraphicObject* solid = Model().first;
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->next, nullptr);
    EXPECT_EQ(solid->kind, kKindSolid);
    EXPECT_EQ(solid->layer, 7u);
    EXPECT_EQ(solid->colour, 14u);
    const std::vector<Outline> faces = Outlines(*solid);
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].vertices.size(), c.verticesA);
    EXPECT_EQ(faces[1].vertices.size(), c.verticesB);
    for (const Outline& f : faces) {
      EXPECT_EQ(f.material, 7);
      EXPECT_TRUE(Has(f, c.shared0));
      EXPECT_TRUE(Has(f, c.shared1));
    }
  }
}

TEST_F(FaceCuttingTest, SplitThatCannotCutLeavesTheObjectAsItWas) {
  struct Case {
    const char* name;
    Vec3d p1, p2;
    int plane;
    FaceSplit result;
  } cases[] = {
      {"ends inside", {0.5, 0.5, 0}, {0.5, 2, 0}, 0, FaceSplit::kOneIntersection},
      {"touches a corner", {-1, 1, 0}, {1, -1, 0}, 0, FaceSplit::kOneIntersection},
      {"misses", {2, 0, 0}, {2, 1, 0}, 0, FaceSplit::kNoIntersection},
      {"along an edge", {-1, 0, 0}, {2, 0, 0}, 0, FaceSplit::kNoIntersection},
      {"3D view", {0.5, -1, 0}, {0.5, 2, 0}, 3, FaceSplit::kNoIntersection},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    GraphicObject* square = AddObject({RectangleXY(0, 0, 1, 1)}, 7);
    const std::vector<uint8_t> before = Bytes(square);
    EXPECT_EQ(SplitFace(Model(), square, 0, c.p1, c.p2, c.plane), c.result);
    ASSERT_EQ(Model().first, square);
    EXPECT_EQ(Bytes(square), before);
  }
}

TEST_F(FaceCuttingTest, SplitFloorPutsTheCutVerticesIntoTheWallsBesideIt) {
  // The box's floor cut at x = 1 in the plan view: the walls y = 0 and y = 3
  // run along the cut edges and take the new vertices; the walls x = 0 and
  // x = 2 do not.
  GraphicObject* box = AddObject(BoxFaces(2, 3, 4), 1, kKindSolid);
  ASSERT_EQ(SplitFace(Model(), box, 0, {1, -1, 0}, {1, 5, 0}, 0), FaceSplit::kSplit);
  const std::vector<Outline> faces = Outlines(*Model().first);
  ASSERT_EQ(faces.size(), 7u);
  EXPECT_EQ(faces[0].vertices.size(), 4u);
  EXPECT_EQ(faces[1].vertices.size(), 4u);
  const size_t expected[] = {4, 4, 5, 5};  // the ceiling, x = 0, x = 2, y = 0, y = 3 in box order
  EXPECT_EQ(faces[2].vertices.size(), 4u);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(faces[3 + k].vertices.size(), expected[k]) << k;
  EXPECT_TRUE(Has(faces[5], {1, 0, 0}));
  EXPECT_TRUE(Has(faces[6], {1, 3, 0}));
  // Welded: the walls share the cut vertices with the floor's halves.
  EXPECT_EQ(Model().first->vertexCount, 10u);
}

TEST_F(FaceCuttingTest, InsertNodesPutsAVertexIntoEveryCrossedEdge) {
  GraphicObject* square = AddObject({RectangleXY(0, 0, 1, 1)}, 3);
  square->state = kStateSelected;
  GraphicObject* line = AddObject({{{0, 0.5f, 0}, {3, 0.5f, 0}}}, 0, kKindLine);
  line->items[2].op = kOpLineTo;
  line->state = kStateSelected;
  GraphicObject* untouched = AddObject({RectangleXY(0, 0, 1, 1)});
  // A diagonal through the closing edge (x = 0) and the edge y = 0 of the
  // square, and once through the line.
  EXPECT_EQ(InsertNodes(Model(), {-0.5, 0.75, 0}, {0.75, -0.5, 0}, 0), 2);
  EXPECT_EQ(InsertNodes(Model(), {2, -1, 0}, {2, 1, 0}, 0), 1);
  GraphicObject* first = Model().first;
  EXPECT_EQ(first->vertexCount, 6u);
  EXPECT_EQ(first->kind, kKindFace);
  EXPECT_EQ(first->state, uint32_t(kStateSelected));
  const Outline outline = Outlines(*first)[0];
  EXPECT_EQ(outline.material, 3);
  ASSERT_EQ(outline.vertices.size(), 6u);
  // The closing crossing ends the outline.
  EXPECT_FLOAT_EQ(outline.vertices[5].y, 0.25f);
  EXPECT_FLOAT_EQ(outline.vertices[1].x, 0.25f);
  EXPECT_EQ(first->next->vertexCount, 3u);
  EXPECT_EQ(first->next->next, untouched);
  EXPECT_EQ(untouched->vertexCount, 4u);
}

}  // namespace
