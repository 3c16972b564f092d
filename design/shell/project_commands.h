// The window side of the project file: File/Open, File/Save as and the
// recent projects, and Import Room Geometry and Insert File, which read the
// room and auxiliary objects of another project into this one and let the
// user place them.
//
// The project carries the drawing settings (view mode, snap step, node-snap
// width, grid size and the two snap switches) in its header; while the
// program runs they live in the view state. A save takes them from there,
// an open hands them back, in the view an opened project shows: wireframe,
// the view of its view mode, fitted to the window.
#pragma once

#include <string>

inline constexpr char kProjectFilter[] = "Korvane Project|*.kpr|";
inline constexpr char kSaveProjectFilter[] = "*.Korvane Project|*.kpr|";
inline constexpr char kBasepointPrompt[] = "Basepoint :";
inline constexpr char kOffsetPointPrompt[] = "Offset-point :";

// The settings of the project header into the view state, and back.
void ApplyProjectSettingsToView();
void StoreViewSettingsInProject();

// Reads the project at `path` (any version) and shows it; 1 when read. A
// file that cannot be read leaves the project as it was (the reader has
// said why).
int OpenProjectFile(const std::string& path);

// The project named on the command line, opened at the end of the
// start-up as File/Open would open it (a relative path is taken from the
// current folder); 1 when read.
int OpenProjectAtStart(const std::string& path);

// The open-file dialog in the last project folder (else the start folder);
// on OK its folder becomes the last project folder and the file is opened.
void OpenProjectDialog();
// File/Open (101): asks before unsaved changes go, then the dialog. A
// cancelled or failed open keeps the project and its modified mark.
void CmdOpenProject();
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
