// Objects for the tests of the object store, the views and the
// calculations: objects appended to the model, built from plain polygons,
// and the box whose faces point inwards as a room's do.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/model/graphic_object.h"

using Polygon = std::vector<ObjectVertex>;
constexpr int kNoMaterial = -1;

// An object appended to the model whose polygons each run 0 (3) 1 ... 1 2
// over their own vertices; the material item is left out for kNoMaterial.
inline GraphicObject* AddObject(const std::vector<Polygon>& polygons, int material = 0, uint32_t kind = kKindFace,
                                uint32_t layer = 0) {
  std::vector<ObjectVertex> vertices;
  std::vector<ObjectItem> items;
  for (const Polygon& polygon : polygons) {
    for (size_t i = 0; i < polygon.size(); ++i) {
      uint16_t op = i == 0 ? kOpStart : i + 1 == polygon.size() ? kOpClose : kOpLineTo;
      items.push_back({op, uint16_t(vertices.size())});
      vertices.push_back(polygon[i]);
      if (i == 0 && material != kNoMaterial) items.push_back({kOpAttribute, uint16_t(material)});
    }
  }
  GraphicObject* o = CreateObject(0, uint32_t(vertices.size()), uint32_t(items.size()));
  std::copy(vertices.begin(), vertices.end(), o->vertices);
  std::copy(items.begin(), items.end(), o->items);
  o->kind = kind;
  o->layer = layer;
  AppendObject(o);
  return o;
}

// An axis-aligned rectangle, counter-clockwise seen from +z.
inline Polygon RectangleXY(float x0, float y0, float x1, float y1, float z = 0) {
  return {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
}
// A wall in the plane x = `x` over y0..y1, z0..z1, counter-clockwise seen
// from +x.
inline Polygon WallX(float x, float y0, float y1, float z0, float z1) {
  return {{x, y0, z0}, {x, y1, z0}, {x, y1, z1}, {x, y0, z1}};
}
// A wall in the plane y = `y` over x0..x1, z0..z1, counter-clockwise seen
// from +y.
inline Polygon WallY(float y, float x0, float x1, float z0, float z1) {
  return {{x0, y, z0}, {x0, y, z1}, {x1, y, z1}, {x1, y, z0}};
}
inline Polygon Reversed(Polygon polygon) {
  std::reverse(polygon.begin(), polygon.end());
  return polygon;
}

// The six faces of the box 0..lx x 0..ly x 0..lz, floor, ceiling, x walls,
// y walls, all facing into the box as a room's faces do.
inline std::vector<Polygon> BoxFaces(float lx, float ly, float lz) {
  return {RectangleXY(0, 0, lx, ly), Reversed(RectangleXY(0, 0, lx, ly, lz)),
          WallX(0, 0, ly, 0, lz),    Reversed(WallX(lx, 0, ly, 0, lz)),
          WallY(0, 0, lx, 0, lz),    Reversed(WallY(ly, 0, lx, 0, lz))};
}
