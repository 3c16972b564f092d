// Rooms the benchmarks build into the program's model: tessellated boxes of
// quad faces that face into the room, a fan-shaped hall with a balcony whose
// faces lie in many planes, and the project materials they name.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

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

// One face object holding `polygons`, each of material `material`.
inline void AddBenchFaces(const std::vector<std::vector<ObjectVertex>>& polygons, uint16_t material,
                          uint32_t layer = kRoomLayer) {
  uint32_t vertexCount = 0, itemCount = 0;
  for (const std::vector<ObjectVertex>& polygon : polygons) {
    vertexCount += uint32_t(polygon.size());
    itemCount += uint32_t(polygon.size()) + (layer == kRoomLayer ? 1 : 0);
  }
  GraphicObject* o = CreateObject(0, vertexCount, itemCount);
  uint32_t nv = 0, ni = 0;
  for (const std::vector<ObjectVertex>& polygon : polygons) {
    for (size_t i = 0; i < polygon.size(); ++i) {
      o->vertices[nv] = polygon[i];
      const uint16_t op = i == 0 ? kOpStart : i + 1 == polygon.size() ? kOpClose : kOpLineTo;
      o->items[ni++] = {op, uint16_t(nv++)};
      if (i == 0 && layer == kRoomLayer) o->items[ni++] = {kOpAttribute, material};
    }
  }
  o->kind = kKindFace;
  o->layer = layer;
  AppendObject(o);
}

// A fan-shaped hall with a balcony, whose faces lie in many planes: a stage
// house at x -6..0, an audience floor stepping up in 16 rows from x 0 to 24
// and level behind, side walls splaying from y = +-8 to +-15 at the back
// (x = 32) in saw-tooth panels, three bands high, that each face a little
// differently, a back wall bowed in twenty segments, a ceiling of 24
// reflector strips at differing tilts, and a stepped balcony over the rear
// with a bowed front and a sloping soffit. Room faces face into the hall;
// materials 0 floor, 1 walls, 2 ceiling. Two audience areas (layer 1) lie
// 1.2 m over the stepped floor and the balcony. AddFanHall returns the
// number of room faces.
struct FanHall {
  static constexpr float kLength = 32, kStageDepth = 6, kCeiling = 14;
  static constexpr int kRows = 16;
  static constexpr float kRowDepth = 1.5f, kRise = 0.25f;
  static constexpr float kBalconyFront = 22, kBalconyFloor = 7;
  // Half the width at x.
  static float HalfWidth(float x) { return 8 + 7 * std::clamp(x, 0.0f, kLength) / kLength; }
};

inline int AddFanHall() {
  using Polygon = std::vector<ObjectVertex>;
  const float L = FanHall::kLength, S = FanHall::kStageDepth, H = FanHall::kCeiling;
  auto w = FanHall::HalfWidth;
  std::vector<Polygon> floor, walls, ceiling;
  // A strip across the hall from x0 to x1 at heights z0 and z1, facing up
  // (or down with `down`).
  auto strip = [&](float x0, float x1, float z0, float z1, bool down) {
    Polygon p = {{x0, -w(x0), z0}, {x1, -w(x1), z1}, {x1, w(x1), z1}, {x0, w(x0), z0}};
    if (down) std::reverse(p.begin(), p.end());
    return p;
  };

  // The stage house and its floor.
  floor.push_back({{-S, -8, 0}, {0, -8, 0}, {0, 8, 0}, {-S, 8, 0}});
  walls.push_back({{-S, -8, 0}, {-S, 8, 0}, {-S, 8, 10}, {-S, -8, 10}});
  walls.push_back({{-S, -8, 0}, {-S, -8, 10}, {0, -8, 10}, {0, -8, 0}});
  walls.push_back({{-S, 8, 0}, {0, 8, 0}, {0, 8, 10}, {-S, 8, 10}});
  ceiling.push_back({{-S, -8, 10}, {-S, 8, 10}, {0, 8, 10}, {0, -8, 10}});
  // The stepped floor: a tread and a riser per row, then the rear floor.
  for (int r = 0; r < FanHall::kRows; ++r) {
    const float x0 = FanHall::kRowDepth * float(r), x1 = x0 + FanHall::kRowDepth, z = FanHall::kRise * float(r);
    floor.push_back(strip(x0, x1, z, z, false));
    if (r > 0)
      floor.push_back(
          {{x0, -w(x0), z}, {x0, w(x0), z}, {x0, w(x0), z - FanHall::kRise}, {x0, -w(x0), z - FanHall::kRise}});
  }
  const float rearX = FanHall::kRowDepth * FanHall::kRows, rearZ = FanHall::kRise * FanHall::kRows;
  floor.push_back(strip(rearX, L, rearZ, rearZ, false));

  // Side walls: saw-tooth panels 1 m long in three bands, each band's
  // panels leaning in or out by a few centimetres.
  const float bands[4] = {0, 4.5f, 9.5f, H};
  for (int side : {-1, 1}) {
    for (int panel = 0; panel < int(L); ++panel) {
      const float x = float(panel), x1 = x + 1;
      for (int b = 0; b < 3; ++b) {
        const float tooth = 0.15f * float((panel + b) % 3);
        const float lean = 0.05f * float(b - 1);
        const float y0 = float(side) * w(x), y1 = float(side) * (w(x1) + tooth);
        Polygon p = {{x, y0, bands[b]},
                     {x1, y1, bands[b]},
                     {x1, y1 + float(side) * lean, bands[b + 1]},
                     {x, y0 + float(side) * lean, bands[b + 1]}};
        if (side < 0) std::reverse(p.begin(), p.end());
        walls.push_back(p);
      }
    }
  }
  // The back wall, bowed outwards in twenty segments.
  for (int k = 0; k < 20; ++k) {
    const float y0 = -w(L) + 1.5f * float(k), y1 = y0 + 1.5f;
    const float x0 = L + 1.5f * std::sin(3.141592654f * float(k) / 20);
    const float x1 = L + 1.5f * std::sin(3.141592654f * float(k + 1) / 20);
    walls.push_back({{x0, y0, 0}, {x0, y0, H}, {x1, y1, H}, {x1, y1, 0}});
  }
  // Ceiling reflector strips, each tilted its own way.
  for (int k = 0; k < 24; ++k) {
    const float x0 = L * float(k) / 24, x1 = L * float(k + 1) / 24;
    ceiling.push_back(strip(x0, x1, H - 0.4f * std::sin(float(k)), H - 0.4f * std::cos(float(k)), true));
  }
  // The balcony: a bowed front of sixteen segments, four steps, a soffit
  // in six strips sloping up towards the front.
  const float front = FanHall::kBalconyFront, base = FanHall::kBalconyFloor;
  for (int k = 0; k < 16; ++k) {
    const float y0 = -w(front) + 2 * w(front) * float(k) / 16, y1 = -w(front) + 2 * w(front) * float(k + 1) / 16;
    const float x0 = front - 0.8f * std::sin(3.141592654f * float(k) / 16);
    const float x1 = front - 0.8f * std::sin(3.141592654f * float(k + 1) / 16);
    walls.push_back({{x0, y0, base + 1.1f}, {x1, y1, base + 1.1f}, {x1, y1, base - 0.4f}, {x0, y0, base - 0.4f}});
  }
  for (int r = 0; r < 4; ++r) {
    const float x0 = front + 2.5f * float(r), x1 = x0 + 2.5f, z = base + 0.5f * float(r);
    floor.push_back(strip(x0, x1, z, z, false));
    floor.push_back({{x1, -w(x1), z + 0.5f}, {x1, w(x1), z + 0.5f}, {x1, w(x1), z}, {x1, -w(x1), z}});
  }
  for (int k = 0; k < 6; ++k) {
    const float x0 = front + (L - front) * float(k) / 6, x1 = front + (L - front) * float(k + 1) / 6;
    ceiling.push_back(strip(x0, x1, base - 0.4f - 0.08f * float(6 - k), base - 0.4f - 0.08f * float(5 - k), true));
  }

  AddBenchFaces(floor, 0);
  AddBenchFaces(walls, 1);
  AddBenchFaces(ceiling, 2);
  // The audience: over the stepped floor, and over the balcony.
  AddBenchFaces({{{0.5f, -w(0.5f) + 0.5f, 1.2f},
                  {rearX, -w(rearX) + 0.5f, rearZ + 1.2f},
                  {rearX, w(rearX) - 0.5f, rearZ + 1.2f},
                  {0.5f, w(0.5f) - 0.5f, 1.2f}}},
                0, kAudienceLayer);
  AddBenchFaces({{{front + 0.5f, -w(front) + 0.5f, base + 1.2f},
                  {L - 0.5f, -w(L) + 0.5f, base + 2.7f},
                  {L - 0.5f, w(L) - 0.5f, base + 2.7f},
                  {front + 0.5f, w(front) - 0.5f, base + 1.2f}}},
                0, kAudienceLayer);
  return int(floor.size() + walls.size() + ceiling.size());
}
