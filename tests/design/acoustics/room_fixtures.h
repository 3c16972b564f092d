// Room faces for the tests of the calculations and the loudspeaker aiming:
// face objects appended to the model, built from plain polygons, and the
// project materials they name.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "design/model/materials.h"
#include "framework/model/graphic_object.h"

// Project material `index`, named "m<index>", with `alpha` in every band;
// the table grows to hold it.
inline void SetMaterial(int index, float alpha) {
  MaterialTable& table = gMaterials.project;
  if (table.count <= index) table.count = int16_t(index + 1);
  table.records[size_t(index)].name = "m" + std::to_string(index);
  table.records[size_t(index)].absorption.fill(alpha);
}

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
  return {RectangleXY(0, 0, lx, ly),         Reversed(RectangleXY(0, 0, lx, ly, lz)),
          WallX(0, 0, ly, 0, lz),            Reversed(WallX(lx, 0, ly, 0, lz)),
          WallY(0, 0, lx, 0, lz),            Reversed(WallY(ly, 0, lx, 0, lz))};
}

// The box's six faces, one face object each, with the materials
// `materials[i]` in the order of BoxFaces.
inline void AddBoxRoom(ObjectVertex size, const int (&materials)[6] = {0, 0, 0, 0, 0, 0}) {
  const std::vector<Polygon> faces = BoxFaces(size.x, size.y, size.z);
  for (int i = 0; i < 6; ++i) AddObject({faces[size_t(i)]}, materials[i]);
}
