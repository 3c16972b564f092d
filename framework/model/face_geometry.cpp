#include "framework/model/face_geometry.h"

#include <cmath>
#include <utility>

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

void ReverseFacePolygon(GraphicObject& object, uint32_t first) {
  if (first >= object.itemCount || object.items[first].op != kOpStart) return;
  uint32_t low = first + (FaceMaterialItem(object, first) ? 2 : 1);
  uint32_t high = low;
  while (high < object.itemCount && object.items[high].op != kOpClose && object.items[high].op != kOpStart) ++high;
  if (high >= object.itemCount || object.items[high].op != kOpClose) return;
  for (; low < high; ++low, --high) std::swap(object.items[low].index, object.items[high].index);
}

int ObjectAreaVolume(const GraphicObject& object, double& area, double& volume) {
  area = volume = 0;
  if (!(object.kind & kKindFaceOrSolid)) return 0;
  for (uint32_t i = 0; i < object.itemCount; ++i) {
    const ObjectItem item = object.items[i];
    if (item.op != kOpStart || item.index >= object.vertexCount) continue;
    const Vec3d n = ComputeFaceAreaVector(object, i) * 0.5;
    area += std::sqrt(Dot(n, n));
    volume += -Dot(n, ToVec3d(object.vertices[item.index])) / 3;
  }
  return object.kind & kKindSolid ? 2 : 1;
}

void ReverseAllFaces(GraphicObject& object) {
  for (uint32_t i = 0; i < object.itemCount; ++i)
    if (object.items[i].op == kOpStart) ReverseFacePolygon(object, i);
}
