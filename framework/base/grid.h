// The drawing grid: two-point line objects in a private list, apart from the
// model (never saved, never picked), drawn under the model while the grid
// layer 8 is shown. The grid covers the model's box (all layers but the
// hidden shape layer 3) widened to whole grid steps plus one step each way:
// lines on the floor z = zmin, on the wall x = xmin and on the wall y = ymax.
// An empty model gets -100 .. 100 m on every axis.
//
// Line positions are counted in whole steps from the low edge, never summed
// in single precision, so a model far from the origin still ends; an axis
// that would need more than kMaxGridLinesPerAxis positions is drawn with
// the smallest whole multiple of the step that stays within it.
#pragma once

#include <cstdint>

#include "framework/model/graphic_object.h"

constexpr uint32_t kGridLineLayer = 8;
constexpr uint32_t kGridLineColour = 5;
constexpr int64_t kMaxGridLinesPerAxis = 1000;

extern ObjectList gGridLines;

// Pushes the line object at the front of the grid list.
void AddGridLine(GraphicObject* object);
// vertex 0 = (x1, y1, z1), vertex 1 = (x2, y2, z2), items (0, 0) and (1, 1).
void SetGridLineGeometry(GraphicObject* object, float x1, float x2, float y1, float y2, float z1, float z2);
void FreeGridLines();
// Builds the grid anew when the grid layer is shown (else only frees it) and
// redraws the views.
void BuildGrid();
