// Rooms the benchmarks build into the program's model: tessellated boxes of
// quad faces that face into the room, and the project materials they name.
#pragma once

#include <cstdint>

#include "design/model/materials.h"
#include "design/model/speaker_type.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"

// Project material `index` named `name` with `alpha` per band; the table
// grows to hold it.
inline void SetBenchMaterial(int index, const char* name, const float (&alpha)[kBandCount]) {
  MaterialTable& table = gMaterials.project;
  if (table.count <= index) table.count = int16_t(index + 1);
  table.records[size_t(index)].name = name;
  for (int b = 0; b < kBandCount; ++b) table.records[size_t(index)].absorption[size_t(b)] = alpha[b];
}

// One face object of tu x tv quads spanning the rectangle from `origin` along
// `u` and `v` (its normal u x v points into the room).
inline void AddTessellatedSide(ObjectVertex origin, ObjectVertex u, ObjectVertex v, int tu, int tv, uint16_t material) {
  GraphicObject* o = CreateObject(0, uint32_t(4 * tu * tv), uint32_t(5 * tu * tv));
  uint32_t nv = 0, ni = 0;
  for (int i = 0; i < tu; ++i) {
    for (int j = 0; j < tv; ++j) {
      const float corners[4][2] = {
          {float(i), float(j)}, {float(i + 1), float(j)}, {float(i + 1), float(j + 1)}, {float(i), float(j + 1)}};
      for (int c = 0; c < 4; ++c) {
        const float a = corners[c][0] / float(tu), b = corners[c][1] / float(tv);
        o->vertices[nv + uint32_t(c)] = {origin.x + a * u.x + b * v.x, origin.y + a * u.y + b * v.y,
                                         origin.z + a * u.z + b * v.z};
      }
      o->items[ni++] = {kOpStart, uint16_t(nv)};
      o->items[ni++] = {kOpAttribute, material};
      o->items[ni++] = {kOpLineTo, uint16_t(nv + 1)};
      o->items[ni++] = {kOpLineTo, uint16_t(nv + 2)};
      o->items[ni++] = {kOpClose, uint16_t(nv + 3)};
      nv += 4;
    }
  }
  o->kind = kKindFace;
  o->layer = kRoomLayer;
  AppendObject(o);
}

// The box 0..L x 0..W x 0..H: the floor and the ceiling in planTiles x
// planTiles quads, each wall in wallTiles (along it) x heightTiles quads.
struct BenchBox {
  float length, width, height;
  int planTiles = 1, wallTiles = 1, heightTiles = 1;
};
inline void AddBenchBox(const BenchBox& box, uint16_t floor, uint16_t ceiling, uint16_t walls) {
  const float L = box.length, W = box.width, H = box.height;
  const int p = box.planTiles, w = box.wallTiles, h = box.heightTiles;
  AddTessellatedSide({0, 0, 0}, {L, 0, 0}, {0, W, 0}, p, p, floor);    // floor, facing up
  AddTessellatedSide({0, 0, H}, {0, W, 0}, {L, 0, 0}, p, p, ceiling);  // ceiling, facing down
  AddTessellatedSide({0, 0, 0}, {0, W, 0}, {0, 0, H}, w, h, walls);    // x = 0
  AddTessellatedSide({L, 0, 0}, {0, 0, H}, {0, W, 0}, h, w, walls);    // x = L
  AddTessellatedSide({0, 0, 0}, {0, 0, H}, {L, 0, 0}, h, w, walls);    // y = 0
  AddTessellatedSide({0, W, 0}, {L, 0, 0}, {0, 0, H}, w, h, walls);    // y = W
}
