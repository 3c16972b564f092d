#include "design/model/shape_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/model/project_file.h"
#include "framework/core/byte_codec.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"
#include "tests/design/model/older_format_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

struct OwnedShape {
  explicit OwnedShape(GraphicObject* o) : object(o) {}
  ~OwnedShape() {
    ObjectList unlinked;
    if (object) FreeObjectInList(object, unlinked);
  }
  GraphicObject* object;
};

void ExpectShapeObject(const GraphicObject* shape, uint32_t ownVertices) {
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->kind, kKindSolid);
  EXPECT_EQ(shape->state, kShapeState);
  EXPECT_EQ(shape->layer, kShapeLayer);
  EXPECT_EQ(shape->dataSize, 0u);
  EXPECT_EQ(shape->previous, nullptr);
  EXPECT_EQ(shape->next, nullptr);
  ASSERT_EQ(shape->vertexCount, ownVertices + 2);
  const ObjectVertex& axis = shape->vertices[ownVertices];
  const ObjectVertex& up = shape->vertices[ownVertices + 1];
  EXPECT_TRUE(axis.x == 1 && axis.y == 0 && axis.z == 0);
  EXPECT_TRUE(up.x == 0 && up.y == 0 && up.z == 1);
}

TEST(ShapeFileTest, TarnikBlocksBecomeOneShape) {
  MessageRecorder messages;
  OwnedShape shape(ReadShapeFile(TarnikShapeFixture()));
  ExpectShapeObject(shape.object, 5);
  EXPECT_EQ(shape.object->vertices[4].y, 6.0f);
  ASSERT_EQ(shape.object->itemCount, 5u);
  EXPECT_EQ(shape.object->items[2].op, kOpClose);
  // The second block's indices are raised by the first block's three vertices.
  EXPECT_EQ(shape.object->items[3].op, kOpStart);
  EXPECT_EQ(shape.object->items[3].index, 3);
  EXPECT_EQ(shape.object->items[4].index, 4);
  EXPECT_TRUE(messages.texts().empty());
}

TEST(ShapeFileTest, PackedBlocksOnLayersAboveTwoAreSkipped) {
  for (const char* magic : {kTarnikV127Magic, kProjectMagic}) {
    MessageRecorder messages;
    OwnedShape shape(ReadShapeFile(PackedShapeFixture(magic)));
    ExpectShapeObject(shape.object, 5);
    std::vector<float> xs;
    for (uint32_t i = 0; i < 5; ++i) xs.push_back(shape.object->vertices[i].x);
    EXPECT_EQ(xs, (std::vector<float>{1, 2, 3, 4, 5})) << magic;
    ASSERT_EQ(shape.object->itemCount, 5u);
    EXPECT_EQ(shape.object->items[2].op, kOpStart);
    EXPECT_EQ(shape.object->items[2].index, 2);
    EXPECT_EQ(shape.object->items[4].index, 4);
    EXPECT_TRUE(messages.texts().empty()) << magic;
  }
}

TEST(ShapeFileTest, ForeignAndShortFilesAreRefused) {
  std::vector<uint8_t> foreign = TarnikShapeFixture();
  foreign[0] = 'X';
  std::vector<uint8_t> whole = TarnikShapeFixture();
  std::vector<uint8_t> cut(whole.begin(), whole.end() - 1);
  std::vector<uint8_t> endless = whole;
  StoreU32(&endless[416 + 18 + 36 + 12 + 14], 1);  // the last block says another follows
  for (const std::vector<uint8_t>* file : {&foreign, &cut, &endless, &whole}) {
    MessageRecorder messages;
    OwnedShape shape(ReadShapeFile(*file));
    if (file == &whole) {
      EXPECT_NE(shape.object, nullptr);
      continue;
    }
    EXPECT_EQ(shape.object, nullptr);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kInvalidFileFormatMessage});
  }
}

// An item naming a vertex its block lacks is dropped, as welding drops it.
TEST(ShapeFileTest, AnItemNamingAMissingVertexIsDropped) {
  std::vector<uint8_t> strayIndex = TarnikShapeFixture();
  StoreU16(&strayIndex[strayIndex.size() - 2], 2);  // the second block has vertices 0 and 1 only
  MessageRecorder messages;
  OwnedShape shape(ReadShapeFile(strayIndex));
  ExpectShapeObject(shape.object, 5);
  ASSERT_EQ(shape.object->itemCount, 4u);
  EXPECT_EQ(shape.object->items[3].op, kOpStart);
  EXPECT_EQ(shape.object->items[3].index, 3);
}

TEST(ShapeFileTest, DrawingFormHasNoReferencePointsAndLiesOnLayerZero) {
  for (const std::vector<uint8_t>& file : {TarnikShapeFixture(), PackedShapeFixture(kTarnikV127Magic)}) {
    MessageRecorder messages;
    OwnedShape shape(ReadShapeFile(file, ShapeForm::kDrawing));
    ASSERT_NE(shape.object, nullptr);
    EXPECT_EQ(shape.object->kind, kKindSolid);
    EXPECT_EQ(shape.object->state, 0u);
    EXPECT_EQ(shape.object->layer, 0u);
    EXPECT_EQ(shape.object->vertexCount, 5u);
    EXPECT_EQ(shape.object->itemCount, 5u);
    EXPECT_TRUE(messages.texts().empty());
  }
  // The editor knows the two shape-file magics only.
  MessageRecorder messages;
  OwnedShape project(ReadShapeFile(PackedShapeFixture(kProjectMagic), ShapeForm::kDrawing));
  EXPECT_EQ(project.object, nullptr);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kInvalidFileFormatMessage});
}

// ---- The templates built from resources/shapes ----

std::vector<uint8_t> TemplateBlock(const std::string& name) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(std::string(KORVANE_SHAPE_TEMPLATE_DIR) + "/" + name + ".bin", bytes)) << name;
  return bytes;
}

TEST(ShapeTemplateTest, LoudspeakerSymbolIsABoxPointingAlongXWithItsCentreAtTheOrigin) {
  OwnedShape shape(ReadShapeResource(TemplateBlock("LSTMPL")));
  ExpectShapeObject(shape.object, 16);
  const GraphicObject& o = *shape.object;
  ObjectVertex low{1e9f, 1e9f, 1e9f}, high{-1e9f, -1e9f, -1e9f};
  for (uint32_t i = 0; i < 16; ++i) {
    const ObjectVertex& v = o.vertices[i];
    low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
    high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
  }
  EXPECT_FLOAT_EQ(low.x, -0.4f);
  EXPECT_FLOAT_EQ(high.x, 0.005f);
  EXPECT_FLOAT_EQ(high.y - low.y, 0.3f);
  EXPECT_FLOAT_EQ(high.z - low.z, 0.5f);
  EXPECT_FLOAT_EQ(high.y + low.y, 0.0f);
  EXPECT_FLOAT_EQ(high.z + low.z, 0.0f);

  // Seven closed faces, all facing inwards as room faces do; the front ones
  // (baffle and driver) face -x.
  std::vector<uint32_t> starts;
  for (uint32_t i = 0; i < o.itemCount; ++i)
    if (o.items[i].op == kOpStart) starts.push_back(i);
  ASSERT_EQ(starts.size(), 7u);
  int facingFront = 0;
  for (uint32_t start : starts) {
    const Vec3d normal = ComputeFaceAreaVector(o, start);
    Vec3d centre{0, 0, 0};
    int n = 0;
    WalkFaceVertices(o, start, [&](const ObjectVertex& v) {
      centre = centre + ToVec3d(v);
      ++n;
    });
    centre = centre * (1.0 / n);
    EXPECT_LT(Dot(normal, centre - Vec3d{-0.2, 0, 0}), 0) << start;
    if (normal.x < 0) ++facingFront;
  }
  EXPECT_EQ(facingFront, 2);
}

TEST(ShapeTemplateTest, AxisCrossHasItsOriginAtVertex18AndOnlyMovesAndDraws) {
  OwnedShape shape(ReadShapeResource(TemplateBlock("XYZ_CROSS")));
  ExpectShapeObject(shape.object, 22);
  const GraphicObject& o = *shape.object;
  const ObjectVertex& origin = o.vertices[18];
  EXPECT_TRUE(origin.x == 0 && origin.y == 0 && origin.z == 0);
  for (uint32_t i = 0; i < o.itemCount; ++i) EXPECT_LE(o.items[i].op, kOpLineTo) << i;
  // Each axis is drawn from the origin to its unit tip.
  int axes = 0;
  for (uint32_t i = 0; i + 1 < o.itemCount; ++i) {
    if (o.items[i].op != kOpStart || o.items[i].index != 18) continue;
    const ObjectVertex& tip = o.vertices[o.items[i + 1].index];
    EXPECT_FLOAT_EQ(tip.x + tip.y + tip.z, 1.0f);
    ++axes;
  }
  EXPECT_EQ(axes, 3);
}

TEST(ShapeTemplateTest, MissingOrMalformedBlockGivesNoShape) {
  MessageRecorder messages;
  EXPECT_EQ(ReadShapeResource({}), nullptr);
  std::vector<uint8_t> cut = TemplateBlock("LSTMPL");
  cut.resize(cut.size() - 1);
  EXPECT_EQ(ReadShapeResource(cut), nullptr);
  EXPECT_TRUE(messages.texts().empty());
}

}  // namespace
