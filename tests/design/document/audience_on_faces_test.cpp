#include "design/document/audience_on_faces.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/core/state_reset.h"
#include "framework/model/layers.h"
#include "tests/support/object_fixtures.h"

namespace {

class AudienceOnFacesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }
};

struct OwnedObject {
  GraphicObject* object;
  ~OwnedObject() { FreeObject(object); }
};

std::vector<uint16_t> Ops(const GraphicObject& o) {
  std::vector<uint16_t> ops;
  for (uint32_t i = 0; i < o.itemCount; ++i) ops.push_back(o.items[i].op);
  return ops;
}

// The face "0 3 1 1 2": four vertices and five items, the material item
// in its place naming material 0, every vertex raised.
TEST_F(AudienceOnFacesTest, AFaceWithAMaterialGivesItsVerticesRaisedAndTheMaterialItemInPlace) {
  const GraphicObject* face = AddObject({RectangleXY(0, 0, 4, 2, 1)}, 5);
  const OwnedObject area{CreateAudienceOnFace(*face, 0, 1.2f)};
  ASSERT_NE(area.object, nullptr);
  EXPECT_EQ(area.object->vertexCount, 4u);
  EXPECT_EQ(Ops(*area.object), (std::vector<uint16_t>{0, 3, 1, 1, 2}));
  EXPECT_EQ(area.object->items[1].index, 0u);
  for (uint32_t i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(area.object->vertices[i].x, face->vertices[i].x) << i;
    EXPECT_FLOAT_EQ(area.object->vertices[i].z, 2.2f) << i;
  }
  EXPECT_EQ(area.object->layer, uint32_t(kAudienceLayer));
  EXPECT_EQ(area.object->kind, 8u);
  EXPECT_EQ(area.object->colour, 21u);
  EXPECT_EQ(area.object->state, 1u);
  EXPECT_EQ(area.object->next, nullptr);  // not yet in the model
}

// Without a material item every item is a vertex: four of each.
TEST_F(AudienceOnFacesTest, AFaceWithoutAMaterialItemCountsEveryVertex) {
  const GraphicObject* face = AddObject({RectangleXY(0, 0, 4, 2)}, kNoMaterial);
  const OwnedObject area{CreateAudienceOnFace(*face, 0, 0)};
  ASSERT_NE(area.object, nullptr);
  EXPECT_EQ(area.object->vertexCount, 4u);
  EXPECT_EQ(Ops(*area.object), (std::vector<uint16_t>{0, 1, 1, 2}));
  EXPECT_EQ(area.object->items[3].index, 3u);
}

// The second polygon of a solid is copied alone; an outline that never
// closes, and an item that is no start, give none.
TEST_F(AudienceOnFacesTest, OnlyTheClosedPolygonPickedIsCopied) {
  GraphicObject* solid = AddObject({RectangleXY(0, 0, 1, 1), RectangleXY(5, 5, 6, 7, 3)}, 0, kKindSolid);
  const OwnedObject area{CreateAudienceOnFace(*solid, 5, 1)};
  ASSERT_NE(area.object, nullptr);
  EXPECT_EQ(area.object->vertexCount, 4u);
  EXPECT_FLOAT_EQ(area.object->vertices[2].y, 7);
  EXPECT_FLOAT_EQ(area.object->vertices[2].z, 4);
  EXPECT_EQ(CreateAudienceOnFace(*solid, 1, 1), nullptr);
  solid->items[9].op = kOpLineTo;  // the second outline left open
  EXPECT_EQ(CreateAudienceOnFace(*solid, 5, 1), nullptr);
}

}  // namespace
