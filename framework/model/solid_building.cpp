#include "framework/model/solid_building.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/core/text_lines.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292;

// A new unlinked object holding `vertices` and `items`, with the layer and
// colour of `like`; NULL when memory runs out or a vertex index cannot be
// held.
GraphicObject* MakeObject(const std::vector<ObjectVertex>& vertices, const std::vector<ObjectItem>& items,
                          const GraphicObject& like, uint32_t kind) {
  if (vertices.size() > 65536) return nullptr;
  GraphicObject* object = CreateObject(0, uint32_t(vertices.size()), uint32_t(items.size()));
  if (!object) return nullptr;
  std::copy(vertices.begin(), vertices.end(), object->vertices);
  std::copy(items.begin(), items.end(), object->items);
  object->kind = kind;
  object->state = like.state & ~uint32_t(kStateSelected);
  object->layer = like.layer;
  object->colour = like.colour;
  return object;
}

// The faces of a new solid turned inwards when they enclose a negative
// volume.
void TurnFacesInwards(GraphicObject& solid) {
  double area = 0, volume = 0;
  ObjectAreaVolume(solid, area, volume);
  if (volume < 0) ReverseAllFaces(solid);
}

// The source's items with every vertex index (attributes excepted) raised
// by `offset`, appended to `items`.
void AppendShiftedItems(const GraphicObject& source, uint32_t offset, std::vector<ObjectItem>& items) {
  for (uint32_t i = 0; i < source.itemCount; ++i) {
    ObjectItem item = source.items[i];
    if (item.op != kOpAttribute) item.index = uint16_t(item.index + offset);
    items.push_back(item);
  }
}

void AppendSideFaces(const GraphicObject& source, uint32_t lowerRing, std::vector<ObjectItem>& items) {
  const size_t at = items.size();
  items.resize(at + 10 * size_t(source.itemCount));
  const uint32_t added =
      BuildSideFaces(source.items, items.data() + at, source.itemCount, lowerRing, source.vertexCount);
  items.resize(at + added);
}

// The polygons starting at or after item `from` turned round.
void ReverseFacesFrom(GraphicObject& object, uint32_t from) {
  for (uint32_t i = from; i < object.itemCount; ++i)
    if (object.items[i].op == kOpStart) ReverseFacePolygon(object, i);
}

bool Sweepable(const GraphicObject& object) {
  return (object.state & kStateSelected) && object.kind != kKindSolid && object.kind != kKindText &&
         object.vertexCount > 0 && object.itemCount > 0;
}

// Puts `solid` in place of `source` in the list.
void ReplaceObject(ObjectList& list, GraphicObject* source, GraphicObject* solid) {
  InsertObjectBeforeInList(solid, source, list);
  FreeObjectInList(source, list);
}

// A copy of the face object whose polygons all face the way the sweep
// moves their start vertex (`direction` of that vertex), so that each
// sweeps a solid facing inwards whatever winding it was drawn with.
template <typename Direction>
GraphicObject* FacingAlong(const GraphicObject& source, Direction&& direction) {
  GraphicObject* copy = CloneObject(&source);
  if (!copy) return nullptr;
  for (uint32_t i = 0; i < copy->itemCount; ++i) {
    const ObjectItem start = copy->items[i];
    if (start.op != kOpStart || start.index >= copy->vertexCount) continue;
    if (Dot(ComputeFaceAreaVector(*copy, i), direction(ToVec3d(copy->vertices[start.index]))) < 0)
      ReverseFacePolygon(*copy, i);
  }
  return copy;
}

void FreeUnlinked(GraphicObject* object) {
  ObjectList none;
  FreeObjectInList(object, none);
}

GraphicObject* BuildExtrusion(const GraphicObject& drawn, Vec3d offset) {
  GraphicObject* facing = drawn.kind == kKindFace ? FacingAlong(drawn, [offset](Vec3d) { return offset; }) : nullptr;
  if (drawn.kind == kKindFace && !facing) return nullptr;
  const GraphicObject& source = facing ? *facing : drawn;
  const uint32_t nv = source.vertexCount;
  std::vector<ObjectVertex> vertices(source.vertices, source.vertices + nv);
  for (uint32_t i = 0; i < nv; ++i) vertices.push_back(ToVertex(ToVec3d(source.vertices[i]) + offset));
  std::vector<ObjectItem> items;
  const bool faces = source.kind == kKindFace;
  if (faces) {
    AppendShiftedItems(source, 0, items);
    AppendShiftedItems(source, nv, items);
  }
  AppendSideFaces(source, 0, items);
  // The items of each cap, counted before `facing` (which `source` may be)
  // is freed.
  const uint32_t capItems = source.itemCount;
  GraphicObject* solid = MakeObject(vertices, items, source, kKindSolid);
  FreeUnlinked(facing);
  if (!solid) return nullptr;
  // The top faces the other way from the bottom, so that both face into the
  // prism.
  if (faces) {
    for (uint32_t i = capItems; i < 2 * capItems; ++i)
      if (solid->items[i].op == kOpStart) ReverseFacePolygon(*solid, i);
  }
  TurnFacesInwards(*solid);
  return solid;
}

// The point turned by `angle` about the sweep's axis.
Vec3d TurnAboutAxis(Vec3d p, const RotateSweep& sweep, double c, double s) {
  // The two coordinates the turn moves, the first toward the second.
  static constexpr int kAxes[3][2] = {{0, 1}, {1, 2}, {2, 0}};
  const int a = kAxes[sweep.plane][0], b = kAxes[sweep.plane][1];
  double q[3] = {p.x, p.y, p.z};
  const double pa = q[a] - sweep.pivot[a], pb = q[b] - sweep.pivot[b];
  q[a] = sweep.pivot[a] + pa * c - pb * s;
  q[b] = sweep.pivot[b] + pa * s + pb * c;
  return {q[0], q[1], q[2]};
}

// The direction in which the sweep moves the point p.
Vec3d SweepDirection(Vec3d p, const RotateSweep& sweep) {
  const Vec3d turned = TurnAboutAxis(p, sweep, std::cos(0.01), std::sin(sweep.angleDegrees > 0 ? 0.01 : -0.01));
  return turned - p;
}

GraphicObject* BuildRevolution(const GraphicObject& drawn, const RotateSweep& sweep) {
  GraphicObject* facing =
      drawn.kind == kKindFace ? FacingAlong(drawn, [&sweep](Vec3d p) { return SweepDirection(p, sweep); }) : nullptr;
  if (drawn.kind == kKindFace && !facing) return nullptr;
  const GraphicObject& source = facing ? *facing : drawn;
  const uint32_t nv = source.vertexCount;
  const int n = sweep.segments;
  const double step = sweep.angleDegrees * kDegreesToRadians / n;
  const double c = std::cos(step), s = std::sin(step);
  std::vector<ObjectVertex> vertices(source.vertices, source.vertices + nv);
  std::vector<Vec3d> ring(nv);
  for (uint32_t i = 0; i < nv; ++i) ring[i] = ToVec3d(source.vertices[i]);
  const bool caps = !sweep.fullTurn && source.kind == kKindFace;
  std::vector<ObjectItem> items;
  if (caps) AppendShiftedItems(source, 0, items);
  for (int k = 1; k <= n; ++k) {
    AppendSideFaces(source, uint32_t(k - 1) * nv, items);
    for (Vec3d& p : ring) {
      p = TurnAboutAxis(p, sweep, c, s);
      vertices.push_back(ToVertex(p));
    }
  }
  const uint32_t endCap = uint32_t(items.size());
  if (caps) AppendShiftedItems(source, uint32_t(n) * nv, items);
  GraphicObject* solid = MakeObject(vertices, items, source, kKindSolid);
  FreeUnlinked(facing);
  if (!solid) return nullptr;
  if (caps) ReverseFacesFrom(*solid, endCap);
  if (!WeldObjectVertices(solid)) {
    FreeUnlinked(solid);
    return nullptr;
  }
  TurnFacesInwards(*solid);
  return solid;
}

}  // namespace

uint32_t BuildSideFaces(const ObjectItem* source, ObjectItem* destination, uint32_t itemCount, uint32_t lowerRing,
                        uint32_t ringSize) {
  uint32_t written = 0;
  auto quad = [&](uint32_t p, uint32_t c) {
    const ObjectItem face[5] = {{kOpStart, uint16_t(lowerRing + p + ringSize)},
                                {kOpAttribute, 0},
                                {kOpLineTo, uint16_t(lowerRing + c + ringSize)},
                                {kOpLineTo, uint16_t(lowerRing + c)},
                                {kOpClose, uint16_t(lowerRing + p)}};
    std::copy(face, face + 5, destination + written);
    written += 5;
  };
  uint32_t start = 0, previous = 0;
  for (uint32_t i = 0; i < itemCount; ++i) {
    const ObjectItem item = source[i];
    switch (item.op) {
      case kOpStart: start = previous = item.index; break;
      case kOpLineTo:
        quad(previous, item.index);
        previous = item.index;
        break;
      case kOpClose:
        quad(previous, item.index);
        quad(item.index, start);
        previous = item.index;
        break;
      default: break;
    }
  }
  return written;
}

SolidBuild ExtrudeSelectedObjects(ObjectList& list, Vec3d offset) {
  GraphicObject* object = list.first;
  while (object) {
    GraphicObject* next = object->next;
    if (Sweepable(*object)) {
      if (2 * object->vertexCount > kSolidMaxVertices || 8 * object->itemCount > kSolidMaxItems)
        return SolidBuild::kTooBig;
      if (GraphicObject* solid = BuildExtrusion(*object, offset)) ReplaceObject(list, object, solid);
    }
    object = next;
  }
  return SolidBuild::kDone;
}

bool ReadRotateSweep(const std::string& angleText, const std::string& segmentText, int circleResolution,
                     RotateSweep& sweep) {
  double angle = 0, segments = circleResolution;
  if (!ReadTypedNumber(angleText, angle) || angle == 0) return false;
  ReadTypedNumber(segmentText, segments);
  if (segments < 1 || segments > 65535 || segments != std::floor(segments)) return false;
  sweep.angleDegrees = angle;
  sweep.segments = int(segments);
  sweep.fullTurn = angleText == "360";
  return true;
}

SolidBuild RotateSelectedObjects(ObjectList& list, const RotateSweep& sweep) {
  if (sweep.segments < 1 || sweep.plane < 0 || sweep.plane > 2) return SolidBuild::kDone;
  const uint64_t rings = uint64_t(sweep.segments) + 1;
  GraphicObject* object = list.first;
  while (object) {
    GraphicObject* next = object->next;
    if (Sweepable(*object)) {
      if (rings * object->vertexCount > kSolidMaxVertices || 7 * rings * object->itemCount > kSolidMaxItems)
        return SolidBuild::kTooBig;
      if (GraphicObject* solid = BuildRevolution(*object, sweep)) ReplaceObject(list, object, solid);
    }
    object = next;
  }
  return SolidBuild::kDone;
}

GraphicObject* DismantleSolid(GraphicObject* object, ObjectList& list) {
  if (!object || object->kind != kKindSolid) return object;
  std::vector<GraphicObject*> faces;
  for (uint32_t first = 0; first < object->itemCount;) {
    uint32_t end = first + 1;
    while (end < object->itemCount && object->items[end].op != kOpStart) ++end;
    std::vector<ObjectVertex> vertices;
    std::vector<ObjectItem> items;
    bool sound = true;
    for (uint32_t i = first; i < end; ++i) {
      ObjectItem item = object->items[i];
      if (item.op != kOpAttribute) {
        if (item.index >= object->vertexCount) {
          sound = false;
          break;
        }
        vertices.push_back(object->vertices[item.index]);
        item.index = uint16_t(vertices.size() - 1);
      }
      items.push_back(item);
    }
    const uint32_t kind = items.empty() || items.back().op != kOpClose ? kKindLine : kKindFace;
    if (sound && !items.empty()) {
      GraphicObject* face = MakeObject(vertices, items, *object, kind);
      if (!face) {
        for (GraphicObject* made : faces) FreeUnlinked(made);
        return object;
      }
      face->state = kStateSelected;
      faces.push_back(face);
    }
    first = end;
  }
  if (faces.empty()) return object;
  for (GraphicObject* face : faces) InsertObjectBeforeInList(face, list.first, list);
  FreeObjectInList(object, list);
  return faces.back();
}

GraphicObject* AssembleSolid(ObjectList& list, uint32_t layer) {
  std::vector<ObjectVertex> vertices;
  std::vector<ObjectItem> items;
  std::vector<GraphicObject*> taken;
  for (GraphicObject* object = list.first; object; object = object->next) {
    const bool fits =
        vertices.size() + object->vertexCount < kSolidMaxVertices && items.size() + object->itemCount < kSolidMaxItems;
    if ((object->state & kStateSelected) && object->kind == kKindFace && fits) {
      for (uint32_t i = 0; i < object->itemCount; ++i) {
        ObjectItem item = object->items[i];
        if (item.op != kOpAttribute) {
          if (item.index >= object->vertexCount) continue;
          const ObjectVertex v = object->vertices[item.index];
          auto same = std::find_if(vertices.begin(), vertices.end(), [&v](const ObjectVertex& w) {
            const float dx = w.x - v.x, dy = w.y - v.y, dz = w.z - v.z;
            return dx * dx + dy * dy + dz * dz < 4e-6f;
          });
          if (same == vertices.end()) {
            vertices.push_back(v);
            same = vertices.end() - 1;
          }
          item.index = uint16_t(same - vertices.begin());
        }
        items.push_back(item);
      }
      taken.push_back(object);
    }
  }
  if (vertices.empty() || items.empty()) return nullptr;
  GraphicObject like{};
  like.layer = layer;
  like.colour = layer == 7 ? 14 : 0;
  GraphicObject* solid = MakeObject(vertices, items, like, kKindSolid);
  // The faces go only once the solid that holds them exists.
  if (!solid) return nullptr;
  for (GraphicObject* object : taken) FreeObjectInList(object, list);
  InsertObjectBeforeInList(solid, list.first, list);
  return solid;
}

bool DeleteFace(ObjectList& list, GraphicObject* object, uint32_t faceItem) {
  if (!object || faceItem >= object->itemCount || object->items[faceItem].op != kOpStart) return false;
  uint32_t end = faceItem + 1;
  while (end < object->itemCount && object->items[end].op != kOpStart) {
    if (object->items[end++].op == kOpClose) break;
  }
  std::copy(object->items + end, object->items + object->itemCount, object->items + faceItem);
  object->itemCount -= end - faceItem;
  const bool anyVertex = std::any_of(object->items, object->items + object->itemCount,
                                     [](const ObjectItem& item) { return item.op != kOpAttribute; });
  if (anyVertex) WeldObjectVertices(object);
  if (!anyVertex || object->itemCount == 0) {
    FreeObjectInList(object, list);
    return true;
  }
  const auto closed = std::count_if(object->items, object->items + object->itemCount,
                                    [](const ObjectItem& item) { return item.op == kOpClose; });
  object->kind = closed == 0 ? kKindLine : closed == 1 ? kKindFace : kKindSolid;
  return true;
}
