// The draw commands of the drawing editor (lines, polygon, circle,
// rectangle, text), one family that every program binds at the id base of
// each of its drawing menus: 2200 (room), 3200 (audience areas) and 4200
// (auxiliary drawing) in kdn; 2200 and 4200 in ksb, whose table holds the
// room menu's four figures and the text at 4205. A command's id is the base
// plus its offset below; a menu binds those its program's table holds. A
// new object takes the layer and colour the dispatch made current.
// None is built yet: BindDrawCommands binds nothing.
#pragma once

#include "framework/shell/command_dispatch.h"

enum DrawCommandOffset : int {
  kDrawLines = 1,
  kDrawPolygon = 2,
  kDrawCircle = 3,
  kDrawRectangle = 4,
  kDrawText = 5,
};

void BindDrawCommands(CommandRegistry& registry, int idBase);
