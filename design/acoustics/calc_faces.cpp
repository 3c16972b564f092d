#include "design/acoustics/calc_faces.h"

#include <algorithm>
#include <cmath>

#include "design/model/materials.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"

CalcFaceTable gCalcFaceTable;

void ResetCalcFaceTable() { gCalcFaceTable.faces.clear(); }

namespace {
const StateReset kReset(ResetCalcFaceTable);
}  // namespace

namespace {

// The plane (u, v) that drops the dominant axis.
struct Projection {
  int u, v;
};
Projection ProjectionDropping(uint32_t dominantAxis) {
  if (dominantAxis == 0) return {1, 2};
  if (dominantAxis == 1) return {0, 2};
  return {0, 1};
}

uint32_t DominantAxis(const ObjectVertex& normal) {
  uint32_t axis = 0;
  float largest = 0;
  for (int a = 0; a < 3; ++a) {
    float magnitude = std::fabs(Coordinate(normal, a));
    if (magnitude > largest) {
      largest = magnitude;
      axis = uint32_t(a);
    }
  }
  return axis;
}

uint32_t NormalSignBits(const ObjectVertex& normal) {
  uint32_t bits = 0;
  for (int a = 0; a < 3; ++a) {
    float c = Coordinate(normal, a);
    uint32_t sign = c > 0.01f ? 1 : c < -0.01f ? 3 : 0;
    bits |= sign << (2 * a);
  }
  return bits;
}

// t such that origin - u t lies on the face's plane, for the unit direction
// u (not finite when u runs parallel to the plane).
double PlaneParameter(const CalcFace& face, Vec3d origin, Vec3d u) {
  const Vec3d normal = ToVec3d(face.normal);
  return (Dot(normal, origin) + face.planeConstant) / Dot(normal, u);
}

CalcFace MakeCalcFace(GraphicObject& object, uint32_t first, Vec3d sums) {
  CalcFace face;
  face.firstItem = first;
  face.object = &object;
  face.halfNormalLength2 = float(Dot(sums, sums) * 0.5);
  ComputeFaceBounds(object, first, face.box);
  face.normal = ToVertex(sums);
  face.planePoint = object.vertices[object.items[first].index];
  face.planeConstant = float(-Dot(ToVec3d(face.normal), ToVec3d(face.planePoint)));
  face.dominantAxis = DominantAxis(face.normal);
  face.normalSignBits = NormalSignBits(face.normal);
  return face;
}

}  // namespace

int32_t BuildCalcFaceTable(CalcFaceTable& table, const ObjectList& model, const MaterialTable& materials) {
  table.faces.reserve(kMaxCalcFaces);
  table.faces.clear();
  const int materialCount = materials.count;
  for (GraphicObject* o = model.first; o; o = o->next) {
    if (o->layer != kRoomLayer || (o->kind != kKindFace && o->kind != kKindSolid)) continue;
    for (uint32_t i = 0; i < o->itemCount; ++i) {
      if (o->items[i].op != kOpStart) continue;
      const Vec3d sums = ComputeFaceAreaVector(*o, i);
      if (!(std::sqrt(Dot(sums, sums)) >= 0.01)) continue;
      if (table.Count() == kMaxCalcFaces) {
        table.faces.clear();
        ShowMessage("Too many room faces", nullptr, kMsgOk);
        return 0;
      }
      // A material item naming no project material is set to material 0; a
      // face without a material item is left alone.
      if (ObjectItem* material = FaceMaterialItem(*o, i); material && material->index >= materialCount)
        material->index = 0;
      table.faces.push_back(MakeCalcFace(*o, i, sums));
    }
  }
  return table.Count();
}

int FaceMaterialIndex(const GraphicObject& object, uint32_t first, const MaterialTable& materials) {
  const ObjectItem* material = FaceMaterialItem(object, first);
  return material && material->index < materials.count ? material->index : 0;
}

int CalcFaceMaterialIndex(const CalcFace& face, const MaterialTable& materials) {
  return FaceMaterialIndex(*face.object, face.firstItem, materials);
}

double ClampedAbsorption(const AbsorberRecord& material, int band) {
  const double alpha = material.absorption[size_t(band)];
  return alpha > 0 ? (alpha < 1 ? alpha : 1) : 0;
}

void ComputeFaceBounds(const GraphicObject& object, uint32_t first, FaceBox& box) {
  box = FaceBox{};
  WalkFaceVertices(object, first, [&box](const ObjectVertex& v) {
    for (int a = 0; a < 3; ++a) {
      float c = Coordinate(v, a);
      if (c < box.min[a]) box.min[a] = c;
      if (c > box.max[a]) box.max[a] = c;
    }
  });
}

RayLine LineOfRay(const CalcRay& ray) {
  const Vec3d direction = ToVec3d(ray.direction);
  const double length = std::sqrt(Dot(direction, direction));
  return {ToVec3d(ray.origin), direction * (1.0 / length), length >= 0.001};
}

void ComputeRayPlaneHit(CalcRay& ray) {
  const RayLine line = LineOfRay(ray);
  ray.hitPoint = ToVertex(line.origin - line.unit * PlaneParameter(*ray.face, line.origin, line.unit));
}

int IntersectRayLine(const RayLine& line, CalcRay& ray) {
  if (!line.hits) return 0;
  ray.hitPoint = ToVertex(line.origin - line.unit * PlaneParameter(*ray.face, line.origin, line.unit));
  return PointInCalcFace(ray);
}

int IntersectRayPlane(CalcRay& ray) { return IntersectRayLine(LineOfRay(ray), ray); }

int CountEdgeCrossing(const ObjectVertex& a, const ObjectVertex& b, const ObjectVertex& point, uint32_t dominantAxis) {
  const Projection p = ProjectionDropping(dominantAxis);
  const double au = Coordinate(a, p.u), av = Coordinate(a, p.v);
  const double bu = Coordinate(b, p.u), bv = Coordinate(b, p.v);
  const double hu = Coordinate(point, p.u), hv = Coordinate(point, p.v);
  if ((av > hv) == (bv > hv)) return 0;
  // av != bv here, so the division is safe.
  const double crossing = au + (hv - av) * (bu - au) / (bv - av);
  return crossing > hu ? 1 : 0;
}

int PointInPolygon(const GraphicObject& object, uint32_t first, const ObjectVertex& point, uint32_t dominantAxis) {
  int crossings = 0;
  const ObjectVertex* start = nullptr;
  const ObjectVertex* previous = nullptr;
  const FaceWalk end = WalkFaceVertices(object, first, [&](const ObjectVertex& v) {
    if (previous) crossings += CountEdgeCrossing(*previous, v, point, dominantAxis);
    else start = &v;
    previous = &v;
  });
  if (end != FaceWalk::kClosed) return 0;
  crossings += CountEdgeCrossing(*previous, *start, point, dominantAxis);
  return crossings & 1;
}

int PointInCalcFace(const CalcRay& ray) {
  const CalcFace& face = *ray.face;
  const Projection p = ProjectionDropping(face.dominantAxis);
  for (int axis : {p.u, p.v}) {
    const float c = Coordinate(ray.hitPoint, axis);
    if (!(c >= face.box.min[axis] && c <= face.box.max[axis])) return 0;
  }
  return PointInPolygon(*face.object, face.firstItem, ray.hitPoint, face.dominantAxis);
}

int CompareCalcFaces(const CalcFace& a, const CalcFace& b) {
  if (a.halfNormalLength2 != b.halfNormalLength2) return a.halfNormalLength2 > b.halfNormalLength2 ? -1 : 1;
  for (int axis : {2, 1, 0})
    if (a.box.min[axis] != b.box.min[axis]) return a.box.min[axis] > b.box.min[axis] ? -1 : 1;
  return 0;
}

void SortCalcFaces(CalcFaceTable& table) {
  std::stable_sort(table.faces.begin(), table.faces.end(),
                   [](const CalcFace& a, const CalcFace& b) { return CompareCalcFaces(a, b) < 0; });
}

SegmentBox BoundSegment(Vec3d a, Vec3d b) {
  SegmentBox box;
  for (int axis = 0; axis < 3; ++axis) {
    // Written so that a NaN end leaves a NaN bound, which overlaps nothing.
    const bool ordered = a[axis] <= b[axis];
    box.min[axis] = ordered ? a[axis] : b[axis];
    box.max[axis] = ordered ? b[axis] : a[axis];
  }
  return box;
}

bool SegmentOverlapsFace(const SegmentBox& segment, const FaceBox& face) {
  for (int axis = 0; axis < 3; ++axis)
    if (!(segment.max[axis] > face.min[axis] && segment.min[axis] < face.max[axis])) return false;
  return true;
}

SegmentProbe ProbeSegment(const CalcRay& ray) {
  SegmentProbe segment;
  segment.origin = ToVec3d(ray.origin);
  const Vec3d direction = ToVec3d(ray.direction);
  segment.box = BoundSegment(segment.origin, segment.origin + direction);
  segment.length2 = Dot(direction, direction);
  segment.unit = direction * (1.0 / std::sqrt(segment.length2));
  return segment;
}

bool SegmentCrossesFace(const SegmentProbe& segment, const CalcFace& face, CalcRay& ray, double& t) {
  if (!SegmentOverlapsFace(segment.box, face.box)) return false;
  t = PlaneParameter(face, segment.origin, segment.unit);
  const Vec3d hit = segment.origin - segment.unit * t;
  bool inSegment = t * t < segment.length2;
  for (int axis = 0; axis < 3 && inSegment; ++axis)
    inSegment = (segment.box.min[axis] - hit[axis]) * (segment.box.max[axis] - hit[axis]) <= 0;
  if (!inSegment) return false;
  ray.hitPoint = ToVertex(hit);
  ray.face = &face;
  return PointInCalcFace(ray) == 1;
}

int CheckSegmentFaces(const CalcFaceTable& table, CalcRay& ray, const CalcFace* face, int nearest) {
  const SegmentProbe segment = ProbeSegment(ray);
  double nearestDistance2 = 1.0e10;
  const CalcFace* nearestFace = nullptr;
  for (const CalcFace& candidate : table.faces) {
    if (!nearest && &candidate == face) continue;
    double t;
    if (!SegmentCrossesFace(segment, candidate, ray, t)) continue;
    if (!nearest) return 0;
    if (t * t < nearestDistance2) {
      nearestDistance2 = t * t;
      nearestFace = &candidate;
    }
  }
  return nearest ? nearestFace == face : 1;
}
