#include "framework/model/face_geometry.h"

#include <utility>
#include <vector>

Vec3d ComputeFaceAreaVector(const GraphicObject& object, uint32_t first) {
  Vec3d sum;
  const ObjectVertex* start = nullptr;
  const ObjectVertex* previous = nullptr;
  auto addEdge = [&sum](const ObjectVertex& i, const ObjectVertex& j) {
    sum.x += (double(i.y) - j.y) * (double(i.z) + j.z);
    sum.y += (double(i.z) - j.z) * (double(i.x) + j.x);
    sum.z += (double(i.x) - j.x) * (double(i.y) + j.y);
  };
  FaceWalk end = WalkFaceVertices(object, first, [&](const ObjectVertex& v) {
    if (previous) addEdge(*previous, v);
    else start = &v;
    previous = &v;
  });
  if (end == FaceWalk::kBadVertex) return {};
  if (end == FaceWalk::kClosed) addEdge(*previous, *start);
  return sum;
}

bool ReverseFacePolygon(GraphicObject& object, uint32_t first) {
  if (first >= object.itemCount || object.items[first].op != kOpStart) return false;
  std::vector<ObjectItem*> outline;  // the items after the start that name a vertex
  for (uint32_t i = first + 1; i < object.itemCount; ++i) {
    ObjectItem& item = object.items[i];
    if (item.op == kOpStart) return false;
    if (item.op != kOpLineTo && item.op != kOpClose) continue;
    outline.push_back(&item);
    if (item.op == kOpClose) {
      for (size_t a = 0, b = outline.size() - 1; a < b; ++a, --b) std::swap(outline[a]->index, outline[b]->index);
      return true;
    }
  }
  return false;
}
