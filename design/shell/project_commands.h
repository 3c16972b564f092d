// kdn's own side of the project file: File/Save as and the recent
// projects, and Import Room Geometry and Insert File, which read the room
// and auxiliary objects of another project into this one and let the user
// place them. File/Open, which kv shares, is design/commands/project_open.h.
#pragma once

#include <string>

#include "design/commands/project_open.h"

inline constexpr char kSaveProjectFilter[] = "*.Korvane Project|*.kpr|";
inline constexpr char kBasepointPrompt[] = "Basepoint :";
inline constexpr char kOffsetPointPrompt[] = "Offset-point :";

// File/Save as... (102): the save dialog, then the project with its result
// block (".KPR" added, the old file kept as "<name>_old.KPR").
void CmdSaveProjectAs();
// Recent project `index` (commands 110 .. 113).
void CmdOpenRecentProject(int index);

// Room/Import Room Geometry (2206) and AUX Drawing/Insert File (4206): the
// objects go onto the room or auxiliary layer, selected, in front of the
// model; then "Basepoint :" and "Offset-point :" move them by the
// difference of the two points (cancelling either leaves them where they
// were read). They are deselected and the project is marked modified.
void CmdImportRoomGeometry();
void CmdInsertFile();
