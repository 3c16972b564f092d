// The face and solid commands of the drawing editor (extrude, rotate,
// dismantle and assemble solids, insert nodes, split, invert and delete
// faces), one family that every program binds at the id base of each of its
// drawing menus that builds faces: 2300 (room) and 4300 (auxiliary drawing)
// in kdn, 2300 in ksb. A command's id is the base plus its offset below; a
// menu binds those its program's table holds. They run like the object edit
// commands (edit_commands.h) on the objects of the menu's layer.
//
// They act on what the pickers (selection.h) choose on the menu's layer and
// leave the model to the routines of framework/model/solid_building.h and
// face_cutting.h; a cancel at any pick or prompt changes nothing. The line
// commands (SPLIT FACE, INSERT NODES) work in the plan, side and front views
// only.
#pragma once

#include "framework/model/face_geometry.h"
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

// The line the cutting commands cut along: "Intersection line, 1st point",
// then with the base-point line on "Intersection line, 2nd point" (variant
// 1) or "Intersection line, 2nd point, max. 2 intersections" (variant 0);
// the line is drawn. 1 with both points, 0 when either pick is cancelled
// or ended without a point.
int PickIntersectionLine(int variant, Vec3d& p1, Vec3d& p2);
