// The calculation face table: the room's plane faces as a flat table that
// every acoustic calculation, the face list, the room check and the
// loudspeaker aiming work on, and the geometry tests they share (ray against
// face plane, point in face, segment against the faces).
//
// The tests take the ray as a CalcRay the caller owns, so each calculation
// keeps its own working state. Every test on a ray parameter is written so
// that a NaN (a ray parallel to a face, a degenerate direction) rejects.
#pragma once

#include <cstdint>
#include <vector>

#include "design/model/absorber_database.h"
#include "framework/model/face_geometry.h"
#include "framework/model/graphic_object.h"

constexpr int32_t kMaxCalcFaces = 16000;

// Axis-aligned bounds of a face, inclusive.
struct FaceBox {
  float min[3] = {1e30f, 1e30f, 1e30f};
  float max[3] = {-1e30f, -1e30f, -1e30f};
};

// One usable room face.
struct CalcFace {
  uint32_t firstItem = 0;           // its start item (op 0) in the object's items
  GraphicObject* object = nullptr;  // the owning face or solid object
  ObjectVertex planePoint;          // the start vertex
  ObjectVertex normal;              // Newell vector: twice the area long, not normalised
  float planeConstant = 0;          // normal . p + planeConstant = 0 on the plane
  float halfNormalLength2 = 0;      // |normal|^2 / 2; the area is sqrt(2 x this) / 2
  FaceBox box;
  uint32_t dominantAxis = 0;    // 0, 1, 2: largest normal component, the lower axis on a tie
  uint32_t normalSignBits = 0;  // 2 bits per axis (x at bit 0): 0 within 0.01 of zero, 1 above, 3 below
};

// The faces in object-list order and, within an object, in item order (a
// caller that needs them by area sorts the vector). Entries point into the
// model: they are valid until the objects are next edited.
struct CalcFaceTable {
  std::vector<CalcFace> faces;  // at most kMaxCalcFaces
  int32_t Count() const { return int32_t(faces.size()); }
};
// The program's table, rebuilt by each command that calculates.
extern CalcFaceTable gCalcFaceTable;
void ResetCalcFaceTable();

// A ray or segment under test: origin and direction (any length; a segment
// runs from the origin to origin + direction), the hit point a test leaves,
// and the face being tested.
struct CalcRay {
  ObjectVertex origin;
  ObjectVertex direction;
  ObjectVertex hitPoint;
  const CalcFace* face = nullptr;
};

// Rebuilds `table` from the faces and solids (kinds exactly 8 and 16) of
// the room layer of `model`, skipping faces whose Newell vector is shorter
// than 0.01 (below 0.005 m^2). A face whose material item names no material
// of `materials` is set to material 0 in the model. More than kMaxCalcFaces
// faces: shows "Too many room faces" and leaves the table empty. Returns the
// number of entries.
int32_t BuildCalcFaceTable(CalcFaceTable& table, const ObjectList& model, const MaterialTable& materials);

// The material of the polygon starting at item `first`: the index its
// material item names, or 0 when it has none or names no material of
// `materials`.
int FaceMaterialIndex(const GraphicObject& object, uint32_t first, const MaterialTable& materials);
// The same for a table entry.
int CalcFaceMaterialIndex(const CalcFace& face, const MaterialTable& materials);
// Absorption coefficient `band` of a material as every calculation takes
// it: limited to 0..1, a NaN counting as 0.
double ClampedAbsorption(const AbsorberRecord& material, int band);

// Bounds over the vertices of the polygon starting at item `first`.
void ComputeFaceBounds(const GraphicObject& object, uint32_t first, FaceBox& box);

// Where the line of the ray meets the plane of ray.face, stored in the hit
// point (not finite when the line is parallel to the plane). There is no
// test of the side: the point may lie behind the origin.
void ComputeRayPlaneHit(CalcRay& ray);
// 1 when the ray's direction is at least 0.001 long and its line meets the
// plane of ray.face at a point inside the face, else 0. The hit point holds
// the plane point whenever the direction is long enough.
int IntersectRayPlane(CalcRay& ray);
// The line of a ray as IntersectRayPlane takes it, for testing many faces
// along one ray: its origin, unit direction, and whether the direction is
// long enough to hit.
struct RayLine {
  Vec3d origin, unit;
  bool hits = false;
};
RayLine LineOfRay(const CalcRay& ray);
// IntersectRayPlane(ray) along `line`, the line of `ray`: the same result
// and hit point.
int IntersectRayLine(const RayLine& line, CalcRay& ray);
// 1 when the hit point, which lies in the plane of ray.face, lies inside the
// face, else 0. Bounds count as inside for the box rejection; the edge count
// is half-open, so a point level with a vertex is classified correctly.
int PointInCalcFace(const CalcRay& ray);
// 1 when `point` lies inside the closed polygon starting at item `first`,
// in the projection that drops `dominantAxis`: an odd count of
// CountEdgeCrossing over its edges. 0 for a polygon that does not close.
int PointInPolygon(const GraphicObject& object, uint32_t first, const ObjectVertex& point, uint32_t dominantAxis);
// 1 when the polygon edge a-b crosses the half-line from `point` towards
// increasing u, in the projection that drops `dominantAxis` (x: u = y, v = z;
// y: u = x, v = z; z: u = x, v = y). An edge counts only when exactly one of
// its ends lies above the point in v.
int CountEdgeCrossing(const ObjectVertex& a, const ObjectVertex& b, const ObjectVertex& point, uint32_t dominantAxis);

// -1 when face a comes before face b in the order by area (a larger area
// first; on equal areas the larger minimum z, then y, then x of the box
// first), 1 when after, 0 when neither.
int CompareCalcFaces(const CalcFace& a, const CalcFace& b);
// Sorts the table by CompareCalcFaces; faces that compare equal keep their
// order, so equal models give equal tables.
void SortCalcFaces(CalcFaceTable& table);

// Bounds of the segment from a to b.
struct SegmentBox {
  double min[3], max[3];
};
SegmentBox BoundSegment(Vec3d a, Vec3d b);
// The segment's bounds overlap the face's strictly on all three axes
// (segment max above the face min and segment min below the face max).
bool SegmentOverlapsFace(const SegmentBox& segment, const FaceBox& face);

// A segment as the face tests take it: from `origin` along the unit
// direction `unit` for sqrt(length2), within `box`.
struct SegmentProbe {
  Vec3d origin, unit;
  double length2 = 0;
  SegmentBox box;
};
// The segment of `ray`, from its origin to origin + direction.
SegmentProbe ProbeSegment(const CalcRay& ray);
// Whether the segment crosses `face`: its box overlaps the face's strictly,
// the point where its line meets the face's plane lies inside the segment's
// box and nearer to the origin than its length, and inside the face. `t` is
// the signed distance of that point behind the origin. Sets the hit point and
// face of `ray` once the point lies on the segment.
bool SegmentCrossesFace(const SegmentProbe& segment, const CalcFace& face, CalcRay& ray, double& t);

// Tests the segment of `ray` against the faces of `table`. A face counts as
// crossed when its box overlaps the segment's, its plane point lies inside
// the segment's box, nearer to the origin than the segment's length, and
// inside the face. With `nearest` 0: returns 0 at the first crossed face
// other than `face` (the segment is shaded), 1 when none is crossed. With
// `nearest` 1: returns 1 when the face crossed nearest to the origin is
// `face`. The hit point and face of `ray` are left at the last face tested.
int CheckSegmentFaces(const CalcFaceTable& table, CalcRay& ray, const CalcFace* face, int nearest);
