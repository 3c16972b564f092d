#include "framework/model/face_geometry.h"

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
