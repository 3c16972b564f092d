// The face and solid commands of the drawing editor (extrude, rotate,
// dismantle and assemble solids, insert nodes, split, invert and delete
// faces), one family that every program binds at the id base of each of its
// drawing menus that builds faces: 2300 (room) and 4300 (auxiliary drawing)
// in kdn, 2300 in ksb. A command's id is the base plus its offset below; a
// menu binds those its program's table holds. They run like the object edit
// commands (edit_commands.h) on the objects of the menu's layer.
// None is built yet: BindFaceCommands binds nothing.
#pragma once

#include "framework/shell/command_dispatch.h"

enum FaceCommandOffset : int {
  kFaceExtrude = 7,
  kFaceRotate = 8,
  kFaceDismantleSolid = 9,
  kFaceAssembleSolid = 10,
  kFaceInsertNodes = 12,
  kFaceSplit = 13,
  kFaceInvert = 14,
  kFaceDelete = 15,
};

void BindFaceCommands(CommandRegistry& registry, int idBase);
