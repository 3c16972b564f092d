// The objects the draw commands make: the circle's and the rectangle's
// items (their vertices are the rubber band's previews, pointer_input.h),
// the end of a polyline or polygon, and a text in the stroke font, laid out
// along the in-plane unit directions U and V it is given.
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
// The rectangle's items (0, 0), (3, 0), (1, 1), (1, 2), (2, 3).
void WriteRectangleItems(GraphicObject& rectangle);
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
