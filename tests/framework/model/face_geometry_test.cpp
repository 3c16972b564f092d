#include "framework/model/face_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// An unlinked object holding the given items over the given vertices.
struct TestObject {
  GraphicObject* object;
  TestObject(const std::vector<ObjectVertex>& vertices, const std::vector<ObjectItem>& items)
      : object(CreateObject(0, uint32_t(vertices.size()), uint32_t(items.size()))) {
    std::copy(vertices.begin(), vertices.end(), object->vertices);
    std::copy(items.begin(), items.end(), object->items);
  }
  ~TestObject() { FreeObject(object); }
};

const std::vector<ObjectVertex> kUnitSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

struct AreaCase {
  const char* name;
  std::vector<ObjectItem> items;
  uint32_t first;
  Vec3d expected;
};

class FaceAreaVector : public ::testing::TestWithParam<AreaCase> {};

TEST_P(FaceAreaVector, NewellSums) {
  const AreaCase& c = GetParam();
  TestObject o(kUnitSquare, c.items);
  Vec3d v = ComputeFaceAreaVector(*o.object, c.first);
  EXPECT_DOUBLE_EQ(v.x, c.expected.x);
  EXPECT_DOUBLE_EQ(v.y, c.expected.y);
  EXPECT_DOUBLE_EQ(v.z, c.expected.z);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FaceAreaVector,
    ::testing::Values(
        // Counter-clockwise seen from +z: along +z, twice the area long.
        AreaCase{"counter_clockwise", {{0, 0}, {1, 1}, {1, 2}, {2, 3}}, 0, {0, 0, 2}},
        AreaCase{"clockwise", {{0, 0}, {1, 3}, {1, 2}, {2, 1}}, 0, {0, 0, -2}},
        AreaCase{"material_item_passed_over", {{0, 0}, {3, 9}, {1, 1}, {1, 2}, {2, 3}}, 0, {0, 0, 2}},
        // Without a close item there is no edge back to the start: the
        // triangle 0-1-2 left open keeps the edges 0-1 and 1-2, which add
        // nothing along z ...
        AreaCase{"open_polygon_has_no_closing_edge", {{0, 0}, {1, 1}, {1, 2}, {0, 3}}, 0, {0, 0, 0}},
        // ... while the closed triangle has its full area vector.
        AreaCase{"closed_triangle", {{0, 0}, {1, 1}, {2, 2}}, 0, {0, 0, 1}},
        AreaCase{"second_polygon_of_an_object", {{0, 0}, {1, 1}, {2, 2}, {0, 0}, {1, 2}, {2, 3}}, 3, {0, 0, 1}},
        AreaCase{"missing_vertex", {{0, 0}, {1, 1}, {2, 9}}, 0, {0, 0, 0}},
        AreaCase{"not_a_start_item", {{1, 0}, {1, 1}, {2, 2}}, 0, {0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FaceAreaVector, TiltedFaceIsPerpendicularAndTwiceItsArea) {
  // A 2 m x 3 m rectangle in the plane z = x.
  const float s = std::sqrt(2.0f);
  TestObject o({{0, 0, 0}, {0, 3, 0}, {2 / s, 3, 2 / s}, {2 / s, 0, 2 / s}}, {{0, 0}, {1, 1}, {1, 2}, {2, 3}});
  Vec3d v = ComputeFaceAreaVector(*o.object, 0);
  EXPECT_NEAR(std::sqrt(Dot(v, v)), 12.0, 1e-5);
  EXPECT_NEAR(v.x, -v.z, 1e-5);  // along (1, 0, -1)
  EXPECT_NEAR(v.y, 0.0, 1e-9);
}

TEST(WalkFaceVertices, VisitsTheOutlineAndReportsHowItEnded) {
  TestObject o(kUnitSquare, {{0, 0}, {3, 1}, {1, 1}, {7, 0}, {2, 2}, {0, 3}, {1, 1}});
  std::vector<float> xs;
  auto collect = [&xs](const ObjectVertex& v) { xs.push_back(v.x + 10 * v.y); };
  EXPECT_EQ(WalkFaceVertices(*o.object, 0, collect), FaceWalk::kClosed);
  EXPECT_EQ(xs, (std::vector<float>{0, 1, 11}));  // attribute and unknown operation passed over
  xs.clear();
  EXPECT_EQ(WalkFaceVertices(*o.object, 5, collect), FaceWalk::kOpen);  // items end without a close
  EXPECT_EQ(xs, (std::vector<float>{10, 1}));
  EXPECT_EQ(WalkFaceVertices(*o.object, 7, collect), FaceWalk::kOpen);  // past the items
}

TEST(ReverseFacePolygon, KeepsStartAndMaterialAndReversesTheRest) {
  struct Case {
    const char* name;
    std::vector<ObjectItem> items;
    uint32_t first;
    std::vector<ObjectItem> reversed;
  } cases[] = {
      {"with material", {{0, 0}, {3, 5}, {1, 1}, {1, 2}, {2, 3}}, 0, {{0, 0}, {3, 5}, {1, 3}, {1, 2}, {2, 1}}},
      {"without material", {{0, 0}, {1, 1}, {1, 2}, {2, 3}}, 0, {{0, 0}, {1, 3}, {1, 2}, {2, 1}}},
      {"second polygon",
       {{0, 0}, {1, 1}, {2, 2}, {0, 3}, {3, 0}, {1, 1}, {2, 2}},
       3,
       {{0, 0}, {1, 1}, {2, 2}, {0, 3}, {3, 0}, {1, 2}, {2, 1}}},
      {"not a start item", {{0, 0}, {1, 1}, {2, 2}}, 1, {{0, 0}, {1, 1}, {2, 2}}},
      // An open polygon is not reversed into the polygon after it.
      {"open", {{0, 0}, {1, 1}, {0, 2}, {1, 3}, {2, 1}}, 0, {{0, 0}, {1, 1}, {0, 2}, {1, 3}, {2, 1}}},
  };
  for (const Case& c : cases) {
    TestObject o(kUnitSquare, c.items);
    ReverseFacePolygon(*o.object, c.first);
    for (size_t i = 0; i < c.items.size(); ++i) {
      EXPECT_EQ(o.object->items[i].op, c.reversed[i].op) << c.name << " item " << i;
      EXPECT_EQ(o.object->items[i].index, c.reversed[i].index) << c.name << " item " << i;
    }
  }
  TestObject square(kUnitSquare, {{0, 0}, {1, 1}, {1, 2}, {2, 3}});
  ReverseFacePolygon(*square.object, 0);
  EXPECT_DOUBLE_EQ(ComputeFaceAreaVector(*square.object, 0).z, -2.0);  // the normal flipped
}

TEST(ObjectAreaVolume, AClosedBoxWithInwardNormalsEnclosesItsVolume) {
  // The box 0..2 x 0..3 x 0..4 as one solid, every face turned inwards.
  const std::vector<ObjectVertex> v = {{0, 0, 0}, {2, 0, 0}, {2, 3, 0}, {0, 3, 0},
                                       {0, 0, 4}, {2, 0, 4}, {2, 3, 4}, {0, 3, 4}};
  const int faces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 3, 7, 4}, {1, 5, 6, 2}, {0, 4, 5, 1}, {3, 2, 6, 7}};
  std::vector<ObjectItem> items;
  for (const auto& f : faces) {
    items.push_back({kOpStart, uint16_t(f[0])});
    items.push_back({kOpAttribute, 0});
    items.push_back({kOpLineTo, uint16_t(f[1])});
    items.push_back({kOpLineTo, uint16_t(f[2])});
    items.push_back({kOpClose, uint16_t(f[3])});
  }
  TestObject box(v, items);
  double area = 0, volume = 0;
  box.object->kind = kKindSolid;
  EXPECT_EQ(ObjectAreaVolume(*box.object, area, volume), 2);
  EXPECT_DOUBLE_EQ(area, 2 * (6 + 8 + 12));
  EXPECT_DOUBLE_EQ(volume, 24);
  box.object->kind = kKindFace;
  EXPECT_EQ(ObjectAreaVolume(*box.object, area, volume), 1);
  box.object->kind = kKindLine;
  EXPECT_EQ(ObjectAreaVolume(*box.object, area, volume), 0);
  EXPECT_EQ(area, 0);
  EXPECT_EQ(volume, 0);
}

}  // namespace
