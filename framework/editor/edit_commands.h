// The object edit commands of the drawing editor (delete, move, copy, turn,
// scale, mirror, move nodes, build and split groups), one family that every
// program binds at the id base of each of its drawing menus: 2300 (room),
// 3300 (audience areas) and 4300 (auxiliary drawing) in kdn, 2300 in ksb. A
// command's id is the base plus its offset below; a menu binds those its
// program's table holds (the registry refuses the others). The dispatch
// takes the undo snapshot and makes the menu's layer current first; each
// command acts on the objects of that layer and ends with ResetCommandState.
// None is built yet: BindEditCommands binds nothing.
#pragma once

#include "framework/shell/command_dispatch.h"

enum EditCommandOffset : int {
  kEditDelete = 1,
  kEditMove = 2,
  kEditCopy = 3,
  kEditTurn = 4,
  kEditScale = 5,
  kEditMirror = 6,
  kEditMoveNodes = 11,
  kEditBuildGroup = 19,
  kEditSplitGroup = 20,
};

void BindEditCommands(CommandRegistry& registry, int idBase);
