// The object edit commands of the drawing editor (delete, move, copy, turn,
// scale, mirror, move nodes, build and split groups), one family that every
// program binds at the id base of each of its drawing menus: 2300 (room),
// 3300 (audience areas) and 4300 (auxiliary drawing) in kdn, 2300 in ksb;
// kdn's loudspeaker menu binds the group commands alone at 1000. A
// command's id is the base plus its offset below; a menu binds those its
// program's table holds (the registry refuses the others). The dispatch
// takes the undo snapshot and makes the menu's layer current first; each
// command acts on the objects of that layer and ends with ResetCommandState.
//
// Change layer, repeated copy, the area and volume measure and the font
// builder are built here too, though no menu of the programs reaches them.
//
// Every command leaves the model exactly as it was when it is cancelled or
// finds nothing to work on. The previews edit the objects themselves; a
// cancelled move puts back the coordinates saved before it.
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

// The file MAKEFONT writes in the current folder, in the layout of the
// stroke font (framework/base/vector_font.h).
inline constexpr char kMadeFontFile[] = "FONT.FNT";

void BindEditCommands(CommandRegistry& registry, int idBase);
// Only BUILD GROUP and SPLIT GROUP, for a menu whose other ids are its own.
void BindGroupCommands(CommandRegistry& registry, int idBase);

// "DELETE > ": the selected objects go.
void CmdDelete();
// "MOVE > ": from a base point to an offset point, the objects following the
// cursor.
void CmdMove();
// "COPY > ": as MOVE, with copies; the originals stay. A selection larger
// than the copy budget shows "ERROR : Insufficient memory".
void CmdCopy();
// "MIRROR > ": copies reflected across the line from the base point through
// the offset point in the plane of a 2D view, their faces turned round so
// that they keep facing the same side. In the 3D views, or with the two
// points together, nothing is made.
void CmdMirror();
// "TURN >": by an angle typed in degrees ("Angle [deg] : ") about the axis
// through a picked point perpendicular to the view, counter-clockwise as
// seen; text that is no number, and the perspective view, turn nothing.
void CmdTurn();
// "SCALE > ": by three factors ("Factors X,Y,Z :", never converted to feet)
// about a picked point. A zero factor, and factors that would carry a vertex
// beyond kMaxTypedCoordinate, are refused with "Invalid entry !"; a negative
// product of the factors turns the faces round, as MIRROR does.
void CmdScale();
// "MOVE NODES >": picked nodes from a base point to an offset point, the
// node markers shown meanwhile; a node moves in every face that uses it.
void CmdMoveNodes();
// "BUILD GROUP > ": two or more objects become a group (start marker, the
// objects in their order, end marker) at the head of the list.
void CmdBuildGroup();
// "SPLIT GROUP > ": the outermost group of the first selected group loses
// its markers.
void CmdSplitGroup();
// "CHANGE LAYER >": the selected objects onto a layer 0..11 chosen in the
// layer dialog; on a hidden layer they are hidden.
void CmdChangeLayer();
// "MULTICOPY >": copy after copy, each from where the one before was put,
// until the input ends.
void CmdMultiCopy();
// "Measure area & volume : ": the area (m2) and enclosed volume (m3) of the
// selected faces and solids in a message box, "A : %6.0f V : %6.0f".
void CmdMeasure();
// "MAKEFONT > ": builds a stroke font from drawn characters: for each
// character typed, its objects and its origin are picked; the character
// code 255 ends and writes kMadeFontFile.
void CmdMakeFont();
