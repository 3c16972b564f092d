// Cutting faces along a line drawn in a 2D view: the crossing of an edge
// with the line, SPLIT FACE (one face cut in two) and INSERT NODES (a
// vertex put into every edge the line crosses). The line is the segment
// P1 P2 in the view's plane (0 plan x-y, 1 side y-z, 2 front x-z); the
// coordinate across the plane of a crossing is taken from the edge, so cuts
// lie on the faces however they are tilted. The 3D views (any other plane)
// find no crossing.
#pragma once

#include <cstdint>

#include "framework/model/face_geometry.h"
#include "framework/model/graphic_object.h"

// The crossing of the edge A B with the segment P1 P2 in the view plane:
// none for parallel lines or a point outside either segment. The
// out-of-plane coordinate is interpolated along A B by the in-plane axis on
// which A B is longer (the first one unless the second is strictly longer).
// 1 with `crossing` set, else 0.
int EdgeLineIntersection(const ObjectVertex& a, const ObjectVertex& b, Vec3d p1, Vec3d p2, int plane,
                         ObjectVertex& crossing);

enum class FaceSplit {
  kSplit,
  kNoIntersection,   // the line misses the face, or only runs along its outline
  kOneIntersection,  // the line ends inside the face or touches one corner
  kNoMemory,
};

// SPLIT FACE: the face whose op-0 item is `faceItem` cut along P1 P2 where
// the line first crosses its outline twice (a crossing within 1 mm of a
// vertex uses that vertex). The object is replaced in `list` by a solid
// holding the two halves first, both with the face's material, and every
// other polygon after them, with the new vertex of a cut put into each
// neighbouring polygon that runs along the cut edge so that the faces stay
// joined; welded. Anything but kSplit leaves the object as it was.
FaceSplit SplitFace(ObjectList& list, GraphicObject* object, uint32_t faceItem, Vec3d p1, Vec3d p2, int plane);

// INSERT NODES: every selected object of `list` gets a vertex at each
// crossing of one of its edges (the closing edge of a closed polygon
// included) with P1 P2, and is replaced by the welded result, its kind,
// state, layer and colour kept. The number of vertices inserted.
int InsertNodes(ObjectList& list, Vec3d p1, Vec3d p2, int plane);
