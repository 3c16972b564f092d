#include "framework/model/face_cutting.h"

#include <cmath>
#include <optional>
#include <vector>

#include "framework/core/geometry.h"

namespace {

// A cut closer than this to an end of its edge (m) uses that end.
constexpr double kCutAtVertex = 0.001;
constexpr size_t kMaxVertexIndex = 65535;

// The two in-plane axes of a 2D view.
bool PlaneAxes(int plane, int& h, int& v) {
  static constexpr int kAxes[3][2] = {{0, 1}, {1, 2}, {0, 2}};
  if (plane < 0 || plane > 2) return false;
  h = kAxes[plane][0];
  v = kAxes[plane][1];
  return true;
}

double Distance(const ObjectVertex& a, const ObjectVertex& b) {
  const Vec3d d = ToVec3d(a) - ToVec3d(b);
  return std::sqrt(Dot(d, d));
}

bool Coincide(const ObjectVertex& a, const ObjectVertex& b) { return Distance(a, b) * Distance(a, b) < 1e-6; }

// Copies the items of [first, end) to `out`, putting the vertex that
// `cut(p, c)` names (when it names one) between the ends p and c of every
// edge, the closing edge of a closed polygon included. Returns the number of
// vertices put in.
template <typename Cut>
int CopyItemsWithCuts(const GraphicObject& object, uint32_t first, uint32_t end, std::vector<ObjectItem>& out,
                      Cut&& cut) {
  int inserted = 0;
  uint16_t start = 0, previous = 0;
  for (uint32_t i = first; i < end; ++i) {
    const ObjectItem item = object.items[i];
    const bool edge = (item.op == kOpLineTo || item.op == kOpClose) && item.index < object.vertexCount &&
                      previous < object.vertexCount;
    if (edge) {
      if (std::optional<uint16_t> x = cut(previous, item.index)) {
        out.push_back({kOpLineTo, *x});
        ++inserted;
      }
    }
    out.push_back(item);
    if (item.op == kOpStart) start = previous = item.index;
    if (item.op == kOpLineTo) previous = item.index;
    if (item.op == kOpClose && edge && start < object.vertexCount) {
      if (std::optional<uint16_t> x = cut(item.index, start)) {
        out.back().op = kOpLineTo;
        out.push_back({kOpClose, *x});
        ++inserted;
      }
      previous = item.index;
    }
  }
  return inserted;
}

GraphicObject* MakeLike(const GraphicObject& like, const std::vector<ObjectVertex>& vertices,
                        const std::vector<ObjectItem>& items, uint32_t kind, uint32_t state) {
  GraphicObject* object = CreateObject(0, uint32_t(vertices.size()), uint32_t(items.size()));
  if (!object) return nullptr;
  std::copy(vertices.begin(), vertices.end(), object->vertices);
  std::copy(items.begin(), items.end(), object->items);
  object->kind = kind;
  object->state = state;
  object->layer = like.layer;
  object->colour = like.colour;
  return object;
}

// Puts `replacement` in the place of `object`, welded.
void ReplaceWelded(ObjectList& list, GraphicObject* object, GraphicObject* replacement) {
  WeldObjectVertices(replacement);
  InsertObjectBeforeInList(replacement, object, list);
  FreeObjectInList(object, list);
}

// Drops repeated neighbours (and a last vertex equal to the first) and
// says whether three distinct vertices remain.
bool TrimPolygon(std::vector<uint16_t>& path, const GraphicObject& object, const std::vector<ObjectVertex>& added) {
  auto at = [&](uint16_t i) -> const ObjectVertex& {
    return i < object.vertexCount ? object.vertices[i] : added[i - object.vertexCount];
  };
  std::vector<uint16_t> trimmed;
  for (uint16_t v : path)
    if (trimmed.empty() || !Coincide(at(trimmed.back()), at(v))) trimmed.push_back(v);
  while (trimmed.size() > 1 && Coincide(at(trimmed.back()), at(trimmed.front()))) trimmed.pop_back();
  path = trimmed;
  return path.size() >= 3;
}

void AppendFace(const std::vector<uint16_t>& path, uint16_t material, std::vector<ObjectItem>& items) {
  for (size_t k = 0; k < path.size(); ++k) {
    const uint16_t op = k == 0 ? kOpStart : k + 1 == path.size() ? kOpClose : kOpLineTo;
    items.push_back({op, path[k]});
    if (k == 0) items.push_back({kOpAttribute, material});
  }
}

}  // namespace

int EdgeLineIntersection(const ObjectVertex& a, const ObjectVertex& b, Vec3d p1, Vec3d p2, int plane,
                         ObjectVertex& crossing) {
  int h = 0, v = 0;
  if (!PlaneAxes(plane, h, v)) return 0;
  const Vec3d va = ToVec3d(a), vb = ToVec3d(b);
  double x = 0, y = 0;
  if (!IntersectSegments(va[h], va[v], vb[h], vb[v], p1[h], p1[v], p2[h], p2[v], x, y)) return 0;
  const double extentH = std::fabs(vb[h] - va[h]), extentV = std::fabs(vb[v] - va[v]);
  const double t = extentV > extentH ? (y - va[v]) / (vb[v] - va[v]) : (x - va[h]) / (vb[h] - va[h]);
  Vec3d point = va + (vb - va) * t;
  double q[3] = {point.x, point.y, point.z};
  q[h] = x;
  q[v] = y;
  crossing = ToVertex({q[0], q[1], q[2]});
  return 1;
}

FaceSplit SplitFace(ObjectList& list, GraphicObject* object, uint32_t faceItem, Vec3d p1, Vec3d p2, int plane) {
  if (!object || faceItem >= object->itemCount || object->items[faceItem].op != kOpStart)
    return FaceSplit::kNoIntersection;
  const ObjectItem* attribute = FaceMaterialItem(*object, faceItem);
  const uint16_t material = attribute ? attribute->index : 0;

  // The outline's vertex numbers, and where the face's items end.
  std::vector<uint16_t> path;
  uint32_t faceEnd = faceItem;
  bool closed = false;
  for (uint32_t i = faceItem; i < object->itemCount && !closed; ++i) {
    const ObjectItem item = object->items[i];
    if (item.op == kOpStart && i != faceItem) break;
    faceEnd = i + 1;
    if (item.op == kOpAttribute || item.op > kOpClose) continue;
    if (item.index >= object->vertexCount) return FaceSplit::kNoIntersection;
    path.push_back(item.index);
    closed = item.op == kOpClose;
  }
  if (!closed || path.size() < 3) return FaceSplit::kNoIntersection;

  struct Cut {
    size_t edge;
    uint16_t vertex;
    bool fresh;  // a new vertex on the edge, not one of its ends
  };
  std::vector<Cut> cuts;
  std::vector<ObjectVertex> added;
  for (size_t e = 0; e < path.size() && cuts.size() < 2; ++e) {
    const uint16_t e1 = path[e], e2 = path[(e + 1) % path.size()];
    ObjectVertex x;
    if (!EdgeLineIntersection(object->vertices[e1], object->vertices[e2], p1, p2, plane, x)) continue;
    Cut cut{e, 0, false};
    if (Distance(x, object->vertices[e1]) < kCutAtVertex) {
      cut.vertex = e1;
    } else if (Distance(x, object->vertices[e2]) < kCutAtVertex) {
      cut.vertex = e2;
    } else {
      if (object->vertexCount + added.size() > kMaxVertexIndex) return FaceSplit::kNoMemory;
      cut.vertex = uint16_t(object->vertexCount + added.size());
      cut.fresh = true;
      added.push_back(x);
    }
    if (!cut.fresh && !cuts.empty() && cuts[0].vertex == cut.vertex) continue;
    cuts.push_back(cut);
  }
  if (cuts.empty()) return FaceSplit::kNoIntersection;
  if (cuts.size() == 1) return FaceSplit::kOneIntersection;

  const Cut c1 = cuts[0], c2 = cuts[1];
  std::vector<uint16_t> faceA(path.begin(), path.begin() + c1.edge + 1);
  faceA.push_back(c1.vertex);
  faceA.push_back(c2.vertex);
  faceA.insert(faceA.end(), path.begin() + c2.edge + 1, path.end());
  std::vector<uint16_t> faceB{c1.vertex};
  faceB.insert(faceB.end(), path.begin() + c1.edge + 1, path.begin() + c2.edge + 1);
  faceB.push_back(c2.vertex);
  // A line along the outline cuts nothing off.
  if (!TrimPolygon(faceA, *object, added) || !TrimPolygon(faceB, *object, added)) return FaceSplit::kNoIntersection;

  std::vector<ObjectItem> items;
  AppendFace(faceA, material, items);
  AppendFace(faceB, material, items);
  // The other polygons, each with the new vertex of a cut put into an edge
  // that runs along the cut edge.
  auto cutOnEdge = [&](uint16_t p, uint16_t c) -> std::optional<uint16_t> {
    for (const Cut& cut : cuts) {
      if (!cut.fresh) continue;
      const ObjectVertex& e1 = object->vertices[path[cut.edge]];
      const ObjectVertex& e2 = object->vertices[path[(cut.edge + 1) % path.size()]];
      const ObjectVertex &a = object->vertices[p], &b = object->vertices[c];
      if ((Coincide(a, e1) && Coincide(b, e2)) || (Coincide(a, e2) && Coincide(b, e1))) return cut.vertex;
    }
    return std::nullopt;
  };
  for (uint32_t first = 0; first < object->itemCount;) {
    uint32_t end = first + 1;
    while (end < object->itemCount && object->items[end].op != kOpStart) ++end;
    if (object->items[first].op == kOpStart && first != faceItem) {
      CopyItemsWithCuts(*object, first, end, items, cutOnEdge);
    }
    first = first == faceItem ? faceEnd : end;
  }

  std::vector<ObjectVertex> vertices(object->vertices, object->vertices + object->vertexCount);
  vertices.insert(vertices.end(), added.begin(), added.end());
  GraphicObject* solid = MakeLike(*object, vertices, items, kKindSolid, object->state & ~uint32_t(kStateSelected));
  if (!solid) return FaceSplit::kNoMemory;
  ReplaceWelded(list, object, solid);
  return FaceSplit::kSplit;
}

int InsertNodes(ObjectList& list, Vec3d p1, Vec3d p2, int plane) {
  int total = 0;
  GraphicObject* object = list.first;
  while (object) {
    GraphicObject* next = object->next;
    if ((object->state & kStateSelected) && object->kind != kKindText && object->itemCount > 0) {
      std::vector<ObjectVertex> vertices(object->vertices, object->vertices + object->vertexCount);
      std::vector<ObjectItem> items;
      auto crossing = [&](uint16_t p, uint16_t c) -> std::optional<uint16_t> {
        ObjectVertex x;
        if (vertices.size() > kMaxVertexIndex ||
            !EdgeLineIntersection(object->vertices[p], object->vertices[c], p1, p2, plane, x))
          return std::nullopt;
        vertices.push_back(x);
        return uint16_t(vertices.size() - 1);
      };
      const int inserted = CopyItemsWithCuts(*object, 0, object->itemCount, items, crossing);
      if (inserted > 0) {
        if (GraphicObject* result = MakeLike(*object, vertices, items, object->kind, object->state)) {
          ReplaceWelded(list, object, result);
          total += inserted;
        }
      }
    }
    object = next;
  }
  return total;
}
