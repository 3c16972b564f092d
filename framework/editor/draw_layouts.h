// The objects the draw commands make, laid out from the points the user
// gave: the circle's and the rectangle's vertices and items, the end of a
// polyline or polygon, and a text in the stroke font. They work on the
// object (or build it) and read the view only through their parameters: the
// in-plane unit directions U and V, or the plane of a 2D view (0 plan,
// 1 side, 2 front).
//
// A new face carries material 0 in its attribute item. Degenerate figures
// are refused here, so they never enter the model: a polyline needs two
// distinct points, a polygon three.
#pragma once

#include <string>

#include "framework/model/face_geometry.h"
#include "framework/model/graphic_object.h"

// 1 when the squared distance of the points is below 1e-6.
int PointsCoincide(const ObjectVertex& a, const ObjectVertex& b);

// The circle's items over its n vertices: (0, 0), (3, 0), (1, 1) ..
// (1, n - 2), (2, n - 1).
void WriteCircleItems(GraphicObject& circle);
// The n vertices of the circle around `centre` through the in-plane offset
// of `radiusPoint` (its parts along U and V): vertex 0 at angle 0 (along U),
// then clockwise in (U, V) in steps of 360 / n degrees.
void LayoutCircle(GraphicObject& circle, Vec3d centre, Vec3d radiusPoint, Vec3d u, Vec3d v);

// The rectangle's items (0, 0), (3, 0), (1, 1), (1, 2), (2, 3).
void WriteRectangleItems(GraphicObject& rectangle);
// The axis-parallel rectangle of a 2D view from vertex 0 (the first corner,
// already set) to the opposite corner: vertex 2 the corner at vertex 0's
// depth, vertex 1 vertex 0's first in-plane coordinate and vertex 2's
// second, vertex 3 the other way round.
void LayoutRectangle(GraphicObject& rectangle, Vec3d corner, int plane);

// The end of LINES: the arrays cut to the vertex count, welded (the
// trailing vertex goes when it lies on the last clicked point), state 1.
// False, with the object left for the caller to free, when fewer than two
// distinct points remain.
bool FinishPolyline(GraphicObject& line);
// The end of POLYGON: when `dropTrailing` and the trailing vertex lies on
// the vertex before it, that vertex and its item go and the item before
// becomes the closing one; then as FinishPolyline. False when fewer than
// three distinct points remain.
bool FinishPolygon(GraphicObject& polygon, bool dropTrailing);

// A text of stroke-font characters from `start` along U, `height` the
// capital height (8 font units): one vertex and item per stroke, kind 32,
// state 1, with `layer` and `colour`. A space advances by 6 font units, a
// code without glyph by nothing, a glyph by the x of its end word. NULL when
// nothing would be drawn (no font, only spaces or codes without glyph) or
// memory runs out.
GraphicObject* BuildTextObject(const std::string& text, Vec3d start, double height, Vec3d u, Vec3d v, uint32_t layer,
                               uint32_t colour);
