// Geometry of the plane polygons of face and solid objects: the walk over a
// polygon's vertices and its Newell area vector. The edit commands and the
// calculations share them, so every caller reads a polygon the same way.
#pragma once

#include <cstdint>

#include "framework/model/graphic_object.h"

// A point or direction in double precision.
struct Vec3d {
  double x = 0, y = 0, z = 0;
  double operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
};
inline Vec3d operator+(Vec3d a, Vec3d b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3d operator-(Vec3d a, Vec3d b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3d operator*(Vec3d a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double Dot(Vec3d a, Vec3d b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3d ToVec3d(const ObjectVertex& v) { return {v.x, v.y, v.z}; }
inline ObjectVertex ToVertex(Vec3d v) { return {float(v.x), float(v.y), float(v.z)}; }
inline float Coordinate(const ObjectVertex& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// How the walk over a polygon ended.
enum class FaceWalk {
  kClosed,     // at its close item (op 2): the outline returns to the start vertex
  kOpen,       // at a second start item or the end of the items, without a close
  kBadVertex,  // at an item naming no vertex of the object
};

// Visits the vertices of the polygon whose start item (op 0) is `first`, in
// outline order: the start vertex, one per line-to item and the close item's
// vertex. Attribute items (the material index) and unknown operations are
// passed over. A `first` that is not a start item visits nothing.
template <typename Visit>
FaceWalk WalkFaceVertices(const GraphicObject& object, uint32_t first, Visit&& visit) {
  if (first >= object.itemCount || object.items[first].op != kOpStart) return FaceWalk::kOpen;
  for (uint32_t i = first; i < object.itemCount; ++i) {
    const ObjectItem item = object.items[i];
    if (item.op == kOpStart && i != first) return FaceWalk::kOpen;
    if (item.op != kOpStart && item.op != kOpLineTo && item.op != kOpClose) continue;
    if (item.index >= object.vertexCount) return FaceWalk::kBadVertex;
    visit(object.vertices[item.index]);
    if (item.op == kOpClose) return FaceWalk::kClosed;
  }
  return FaceWalk::kOpen;
}

// The material item of the polygon whose start item is `first`: the
// attribute item right behind the start, or nullptr when the polygon has
// none (the item behind its start then names a vertex).
inline ObjectItem* FaceMaterialItem(const GraphicObject& object, uint32_t first) {
  if (first + 1 >= object.itemCount || object.items[first + 1].op != kOpAttribute) return nullptr;
  return &object.items[first + 1];
}

// The Newell vector of the polygon starting at item `first`: perpendicular
// to it by the right-hand rule of its vertex order, twice its area long. A
// polygon without a close item gets no closing edge; one naming a missing
// vertex gives the zero vector.
Vec3d ComputeFaceAreaVector(const GraphicObject& object, uint32_t first);

// Every polygon of the object turned round (ReverseFacePolygon).
void ReverseAllFaces(GraphicObject& object);

// Turns the polygon whose start item is `first` round, which flips its
// normal: the start item (and the material item behind it) stay, and the
// vertex indexes of the items from there to the close item, that one
// included, are swapped pairwise from both ends inwards; the operations stay
// where they are. So the start vertex stays first and the others run in
// reverse order. A `first` that is not a start item, or a polygon without a
// close item before the next start, is left alone.
void ReverseFacePolygon(GraphicObject& object, uint32_t first);

// The area (m2) and enclosed volume (m3) of a face or solid object: over its
// polygons, half the Newell vector's length summed, and -(N . P) / 3 with N
// half the Newell vector and P the start vertex. The volume is positive when
// the normals point into the enclosed space (a room's faces do). 2 for a
// solid, 1 for another face object; 0 with both 0 for other kinds.
int ObjectAreaVolume(const GraphicObject& object, double& area, double& volume);
