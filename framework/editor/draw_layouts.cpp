#include "framework/editor/draw_layouts.h"

#include <algorithm>

#include "framework/base/vector_font.h"

namespace {

// The advance of a space, in font units.
constexpr int kSpaceAdvance = 6;

// Cuts the arrays to the counts in use.
void ShrinkArrays(GraphicObject& object) {
  if (ObjectVertex* v = ResizeVertexArray(object.vertices, object.vertexCount, object.vertexCount)) object.vertices = v;
  if (ObjectItem* i = ResizeItemArray(object.items, object.itemCount, object.itemCount)) object.items = i;
}

uint32_t CountOp(const GraphicObject& object, uint16_t op) {
  uint32_t n = 0;
  for (uint32_t i = 0; i < object.itemCount; ++i) n += object.items[i].op == op;
  return n;
}

}  // namespace

int PointsCoincide(const ObjectVertex& a, const ObjectVertex& b) {
  const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
  return dx * dx + dy * dy + dz * dz < 1e-6 ? 1 : 0;
}

void WriteCircleItems(GraphicObject& circle) {
  const uint32_t n = circle.vertexCount;
  if (n < 3 || circle.itemCount < n + 1) return;
  circle.items[0] = {kOpStart, 0};
  circle.items[1] = {kOpAttribute, 0};
  for (uint32_t k = 1; k + 1 < n; ++k) circle.items[k + 1] = {kOpLineTo, uint16_t(k)};
  circle.items[n] = {kOpClose, uint16_t(n - 1)};
  circle.itemCount = n + 1;
}

void WriteRectangleItems(GraphicObject& rectangle) {
  static constexpr ObjectItem kItems[5] = {
      {kOpStart, 0}, {kOpAttribute, 0}, {kOpLineTo, 1}, {kOpLineTo, 2}, {kOpClose, 3}};
  std::copy(kItems, kItems + 5, rectangle.items);
  rectangle.itemCount = 5;
}

bool FinishPolyline(GraphicObject& line) {
  ShrinkArrays(line);
  if (!WeldObjectVertices(&line)) return false;
  line.state = kStateDuplicate;
  return line.vertexCount >= 2 && CountOp(line, kOpLineTo) + CountOp(line, kOpClose) >= 1;
}

bool FinishPolygon(GraphicObject& polygon, bool dropTrailing) {
  const uint32_t n = polygon.vertexCount, ni = polygon.itemCount;
  if (dropTrailing && n >= 2 && ni >= 2 && polygon.items[ni - 1].op == kOpClose &&
      PointsCoincide(polygon.vertices[n - 1], polygon.vertices[n - 2])) {
    polygon.vertexCount = n - 1;
    polygon.itemCount = ni - 1;
    if (polygon.items[ni - 2].op == kOpLineTo) polygon.items[ni - 2].op = kOpClose;
  }
  if (!FinishPolyline(polygon)) return false;
  return polygon.vertexCount >= 3 && CountOp(polygon, kOpClose) == 1;
}

GraphicObject* BuildTextObject(const std::string& text, Vec3d start, double height, Vec3d u, Vec3d v, uint32_t layer,
                               uint32_t colour) {
  uint32_t strokes = 0;
  for (unsigned char c : text) {
    if (c == ' ') continue;
    for (const FontStroke& s : GlyphStrokes(c)) strokes += s.op != kStrokeEndGlyph;
  }
  if (strokes == 0 || strokes > 65536) return nullptr;
  GraphicObject* object = CreateObject(0, strokes, strokes);
  if (!object) return nullptr;
  object->kind = kKindText;
  object->state = kStateDuplicate;
  object->layer = layer;
  object->colour = colour;
  const double scale = height / kFontCapitalHeight;
  double advance = 0;
  uint32_t n = 0;
  for (unsigned char c : text) {
    if (c == ' ') {
      advance += kSpaceAdvance * scale;
      continue;
    }
    const Vec3d origin = start + u * advance;
    for (const FontStroke& s : GlyphStrokes(c)) {
      if (s.op == kStrokeEndGlyph) {
        advance += s.x * scale;
        break;
      }
      object->vertices[n] = ToVertex(origin + u * (s.x * scale) + v * (s.y * scale));
      object->items[n] = {s.op, uint16_t(n)};
      ++n;
    }
  }
  return object;
}
