// The model side of the face and solid commands: prisms and surfaces of
// revolution built from faces and lines, solids broken into single faces
// and single faces joined into one solid, and faces deleted (splitting
// faces and inserting nodes along a drawn line are in face_cutting.h).
// Each routine works on the list it is given and the objects in it, never
// on a window, so every program shares them and the tests call them
// directly.
//
// A face is an op-0 item, the attribute item (op 3, its material index)
// behind it, op-1 items and a closing op-2 item. Every solid built here
// gets kind 16, keeps the layer and colour of its source, loses the
// selected flag, and has its faces turned so that their Newell normals
// point into the volume it encloses (ObjectAreaVolume >= 0), as a room's
// faces do. Objects are built with the room the commands allow
// (kSolidMaxVertices, kSolidMaxItems) and shrunk to their final size.
#pragma once

#include <cstdint>
#include <string>

#include "framework/model/face_geometry.h"
#include "framework/model/graphic_object.h"

constexpr uint32_t kSolidMaxVertices = 5400;
constexpr uint32_t kSolidMaxItems = 32760;

// The side faces between two copies ("rings") of one path, the second
// standing `ringSize` vertices behind the first, which starts at vertex
// `lowerRing`. For each edge p -> c of the source items (the closing edge of
// a closed polygon included) the quad (0, p'), (3, 0), (1, c'), (1, c),
// (2, p) is written to `destination`, where v' = v + ringSize and every
// vertex is offset by lowerRing. Returns the number of items written (5 per
// quad); `destination` must have room for 5 per source item plus 5 per
// closed polygon.
uint32_t BuildSideFaces(const ObjectItem* source, ObjectItem* destination, uint32_t itemCount, uint32_t lowerRing,
                        uint32_t ringSize);

enum class SolidBuild {
  kDone,
  kTooBig,    // the result would pass kSolidMaxVertices or kSolidMaxItems
  kNoMemory,  // an object could not be made
};

// EXTRUDE: every selected object of `list` other than solids and texts, in
// list order, is replaced by the prism it sweeps when moved by `offset`: the
// bottom (the source's faces) and the top (their copy moved by the offset)
// for face objects, and the side quads of every edge. The first object too
// big for it (2 nv > 5400 or 8 ni > 32760) stops the walk with kTooBig; the
// objects before it stay extruded. An object that cannot be made is
// skipped.
SolidBuild ExtrudeSelectedObjects(ObjectList& list, Vec3d offset);

// The sweep of ROTATE: the axis through `pivot` perpendicular to the view
// plane (0 plan: about z, x toward y; 1 side: about x, y toward z; 2 front:
// about y, z toward x), `angleDegrees` cut into `segments` steps (1 or
// more), and whether the sweep is a full turn, which leaves the caps off
// and welds the last ring onto the first.
struct RotateSweep {
  int plane = 0;
  Vec3d pivot;
  double angleDegrees = 360;
  int segments = 36;
  bool fullTurn = true;
};
// The angle and segment count typed for ROTATE into `sweep`: the angle a
// number other than 0 (a full turn when the text is exactly "360"), the
// segments a whole number of 1 or more, or `circleResolution` when their
// field holds no number. False, `sweep` untouched, for anything else.
bool ReadRotateSweep(const std::string& angleText, const std::string& segmentText, int circleResolution,
                     RotateSweep& sweep);

// ROTATE: every selected object of `list` other than solids and texts, in
// list order, is replaced by the surface of revolution it sweeps: its rings
// joined by side quads, and for a face object and a sweep that is not a
// full turn its own faces as the start cap and their copy on the last ring
// as the end cap. The first object too big for it ((n + 1) nv > 5400 or
// 7 (n + 1) ni > 32760) stops the walk with kTooBig.
SolidBuild RotateSelectedObjects(ObjectList& list, const RotateSweep& sweep);

// A solid broken into single faces: each of its polygons becomes an object
// of its own (its vertices copied, attribute items kept, the solid's layer
// and colour, kind 8 when the polygon closes and 1 otherwise, selected) put
// at the head of `list`; the solid is freed. Returns the last object made.
// Any other kind, and a solid none of whose polygons can be taken out (or
// whose faces cannot all be made), is returned unchanged and stays.
GraphicObject* DismantleSolid(GraphicObject* object, ObjectList& list);

// The selected face objects (kind exactly 8) of `list` joined into one
// solid at its head: their items copied, each vertex merged with one
// already taken within about 2 mm (squared distance below 4e-6), so faces
// that touch share vertices. An object that would pass the solid's room is
// skipped and stays; the others are freed. The solid gets `layer`, colour
// 14 on the auxiliary layer 7 and 0 elsewhere. NULL, every face kept, when
// nothing was taken or the solid could not be made.
GraphicObject* AssembleSolid(ObjectList& list, uint32_t layer);

// DELETE FACE: the polygon whose op-0 item is `faceItem` removed from
// `object`. When other polygons remain the object keeps them with the
// vertices they use (welded) and becomes kind 1 without a closed polygon, 8
// with one and 16 with more; otherwise the object is unlinked from `list`
// and freed. False when `faceItem` starts no polygon (nothing changes).
bool DeleteFace(ObjectList& list, GraphicObject* object, uint32_t faceItem);
