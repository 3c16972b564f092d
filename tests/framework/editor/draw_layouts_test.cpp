// The figures the draw commands lay out: the items of circles and
// rectangles, polylines and polygons ended as the commands end them, and
// texts in the stroke font; and the page mapping of the print region.
#include "framework/editor/draw_layouts.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "framework/base/framework_dialogs.h"
#include "framework/base/vector_font.h"
#include "framework/core/state_reset.h"
#include "framework/editor/plot_region.h"
#include "tests/support/le_bytes.h"

namespace {

class DrawLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }
};

struct Owned {
  GraphicObject* object;
  explicit Owned(GraphicObject* o) : object(o) {}
  ~Owned() {
    ObjectList none;
    FreeObjectInList(object, none);
  }
};

TEST_F(DrawLayoutTest, CircleAndRectangleItems) {
  Owned circle(CreateObject(0, 36, 37));
  WriteCircleItems(*circle.object);
  EXPECT_EQ(circle.object->items[0].op, kOpStart);
  EXPECT_EQ(circle.object->items[1].op, kOpAttribute);
  EXPECT_EQ(circle.object->items[2].index, 1);
  EXPECT_EQ(circle.object->items[35].index, 34);
  EXPECT_EQ(circle.object->items[36].op, kOpClose);
  EXPECT_EQ(circle.object->items[36].index, 35);
  Owned rectangle(CreateObject(0, 4, 5));
  WriteRectangleItems(*rectangle.object);
  std::vector<std::pair<int, int>> items;
  for (uint32_t i = 0; i < 5; ++i) items.push_back({rectangle.object->items[i].op, rectangle.object->items[i].index});
  EXPECT_EQ(items, (std::vector<std::pair<int, int>>{{0, 0}, {3, 0}, {1, 1}, {1, 2}, {2, 3}}));
}

// The figure a point buffer holds after the clicks, the trailing vertex
// last, as LINES and POLYGON leave it.
GraphicObject* Figure(const std::vector<ObjectVertex>& points, bool closed) {
  GraphicObject* o = CreatePointBufferObject();
  o->items[0] = {kOpStart, 0};
  o->items[1] = {kOpAttribute, 0};
  uint32_t n = 2;
  for (size_t k = 1; k < points.size(); ++k)
    o->items[n++] = {uint16_t(closed && k + 1 == points.size() && k >= 2 ? kOpClose : kOpLineTo), uint16_t(k)};
  std::copy(points.begin(), points.end(), o->vertices);
  o->vertexCount = uint32_t(points.size());
  o->itemCount = n;
  return o;
}

TEST_F(DrawLayoutTest, FiguresEndAtTheirLastPointAndDegenerateOnesAreRefused) {
  // LINES: the trailing vertex on the last click goes; away from it, stays.
  Owned two(Figure({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}}, false));
  ASSERT_TRUE(FinishPolyline(*two.object));
  EXPECT_EQ(two.object->vertexCount, 2u);
  EXPECT_EQ(two.object->state, 1u);
  Owned three(Figure({{0, 0, 0}, {1, 0, 0}, {1, 2, 0}}, false));
  ASSERT_TRUE(FinishPolyline(*three.object));
  EXPECT_EQ(three.object->vertexCount, 3u);
  Owned onePoint(Figure({{1, 1, 0}, {1, 1, 0}}, false));
  EXPECT_FALSE(FinishPolyline(*onePoint.object));

  // POLYGON of three clicks: items 0, 3, 1, 2 over three vertices.
  Owned triangle(Figure({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 1, 0}}, true));
  ASSERT_TRUE(FinishPolygon(*triangle.object, true));
  std::vector<int> ops;
  for (uint32_t i = 0; i < triangle.object->itemCount; ++i) ops.push_back(triangle.object->items[i].op);
  EXPECT_EQ(ops, (std::vector<int>{0, 3, 1, 2}));
  EXPECT_EQ(triangle.object->vertexCount, 3u);
  // Two clicks make no face.
  Owned twoClicks(Figure({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}}, true));
  EXPECT_FALSE(FinishPolygon(*twoClicks.object, true));
}

// A font of two glyphs: 'A' a move to (1, -3) and a line to (-2, 8) with an
// advance of 5; 'B' one stroke (0, 0) with an advance of 4.
std::vector<uint8_t> TwoGlyphFont() {
  auto word = [](int op, int x, int y) { return uint16_t(op | ((x & 127) << 2) | ((y & 127) << 9)); };
  const uint16_t strokes[] = {word(0, 1, -3), word(1, -2, 8), word(3, 5, 0), word(0, 0, 0), word(3, 4, 0)};
  Bytes font;
  font.u16(6850).u16(6850).u16(2).u16(5);
  for (int c = 0; c < 256; ++c) font.u16(c == 'A' ? 0 : c == 'B' ? 3 : 0xFFFF);
  font.u32(0);
  for (uint16_t w : strokes) font.u16(w);
  return font.b;
}

TEST_F(DrawLayoutTest, TextAdvancesByGlyphsAndSpaces) {
  ASSERT_EQ(UseVectorFontBlock(TwoGlyphFont()), 1);
  // Height 8: one font unit is one metre; U along x, V along y.
  Owned text(BuildTextObject("A B", {10, 20, 3}, 8, {1, 0, 0}, {0, 1, 0}, 7, 14));
  ASSERT_NE(text.object, nullptr);
  EXPECT_EQ(text.object->kind, kKindText);
  EXPECT_EQ(text.object->state, 1u);
  EXPECT_EQ(text.object->layer, 7u);
  EXPECT_EQ(text.object->colour, 14u);
  ASSERT_EQ(text.object->vertexCount, 3u);
  const ObjectVertex* v = text.object->vertices;
  EXPECT_FLOAT_EQ(v[0].x, 11);
  EXPECT_FLOAT_EQ(v[0].y, 17);
  EXPECT_FLOAT_EQ(v[1].x, 8);
  EXPECT_FLOAT_EQ(v[1].y, 28);
  EXPECT_FLOAT_EQ(v[1].z, 3);
  // B starts at A's advance plus the space's six units.
  EXPECT_FLOAT_EQ(v[2].x, 10 + 5 + 6);
  EXPECT_EQ(text.object->items[1].op, kOpLineTo);
  EXPECT_EQ(text.object->items[2].index, 2);
  // A code without glyph adds nothing; a text drawing nothing is no object.
  Owned skipped(BuildTextObject("AzB", {0, 0, 0}, 8, {1, 0, 0}, {0, 1, 0}, 0, 0));
  EXPECT_FLOAT_EQ(skipped.object->vertices[2].x, 5);
  EXPECT_EQ(BuildTextObject("   ", {0, 0, 0}, 8, {1, 0, 0}, {0, 1, 0}, 0, 0), nullptr);
  EXPECT_EQ(BuildTextObject("zz", {0, 0, 0}, 8, {1, 0, 0}, {0, 1, 0}, 0, 0), nullptr);
}

TEST_F(DrawLayoutTest, PlotPageMapping) {
  const PlotPage page{2000, 3000, 200, 300};  // 10 pixels per millimetre
  // 10 mm = 1 m: the page covers 20 m by 30 m of model.
  double halfWidth = 0, halfHeight = 0;
  PlotMarkerHalfSize(page, 10.0 / 1, halfWidth, halfHeight);
  EXPECT_DOUBLE_EQ(2 * halfWidth, 20);
  EXPECT_DOUBLE_EQ(2 * halfHeight, 30);

  // A region of the drawing window (scale 5, origin (2, 3) at pixel
  // (100, 80)): 40 by 20 pixels, centred 10 pixels right of and 10 above
  // the window's centre, so 8 m by 4 m around (4, 5).
  const PlotRegionBox region{90, 60, 130, 80};
  const PlotMapping measure = ComputePlotMapping(kPlotMeasure, 10, page, region, 5, 2, 3, 100, 80);
  EXPECT_DOUBLE_EQ(measure.scale, 100);  // 10 mm per metre at 10 pixels per mm
  EXPECT_DOUBLE_EQ(measure.originX, 4);
  EXPECT_DOUBLE_EQ(measure.originY, 5);
  EXPECT_DOUBLE_EQ(measure.centreX, 1000);
  EXPECT_DOUBLE_EQ(measure.centreY, 1500);
  // Fitted: the width limits (4 / 8 < 3000 / 2000), 95 % of the page.
  const PlotMapping fitted = ComputePlotMapping(kPlotZoomWindow, 0, page, region, 5, 2, 3, 100, 80);
  EXPECT_DOUBLE_EQ(fitted.scale, 0.95 * 2000 / 8);
  EXPECT_DOUBLE_EQ(fitted.originX, 4);
  // A tall region: the height limits.
  const PlotMapping tall = ComputePlotMapping(kPlotZoomAll, 0, page, {0, 0, 10, 100}, 5, 0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(tall.scale, 0.95 * 3000 / 20);
  // A region without extent keeps the view's scale.
  EXPECT_DOUBLE_EQ(ComputePlotMapping(kPlotZoomAll, 0, page, {5, 5, 5, 5}, 5, 0, 0, 0, 0).scale, 5);
}

}  // namespace
