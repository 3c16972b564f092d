// The draw commands of the drawing editor (lines, polygon, circle,
// rectangle, text), one family that every program binds at the id base of
// each of its drawing menus: 2200 (room), 3200 (audience areas) and 4200
// (auxiliary drawing) in kdn; 2200 and 4200 in ksb, whose table holds the
// room menu's four figures and the text at 4205. A command's id is the base
// plus its offset below; a menu binds those its program's table holds.
//
// Each takes its points through WaitForPoint: a figure being drawn sits in
// the model (on layer 1 while the current layer is 0, so node snap never
// catches it) and takes the layer and colour the dispatch made current when
// it is done; Escape removes it. Circles and rectangles are drawn in the
// plane of a 2D view only; the 3D views refuse them. A figure with too few
// distinct points, and a text that draws nothing, never enter the model
// (draw_layouts.h); a text taller than kMaxTypedCoordinate (geometry.h) is
// refused with "Invalid entry !".
#pragma once

#include "framework/shell/command_dispatch.h"

enum DrawCommandOffset : int {
  kDrawLines = 1,
  kDrawPolygon = 2,
  kDrawCircle = 3,
  kDrawRectangle = 4,
  kDrawText = 5,
};

// What TEXT keeps between calls: the height (m; 0 is taken as 1) and the
// angle (radians) last typed.
struct DrawCommandState {
  float textHeight = 1.0f;
  double textAngle = 0;
};
extern DrawCommandState gDrawCommands;

void BindDrawCommands(CommandRegistry& registry, int idBase);
