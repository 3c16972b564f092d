// File/Open of the design programs, which kdn and kv share: a project of any
// version read and shown, from the open dialog or the command line.
//
// The project carries the drawing settings (view mode, snap step, node-snap
// width, grid size and the two snap switches) in its header; while the
// program runs they live in the view state. A save takes them from there,
// an open hands them back, in the view an opened project shows: wireframe,
// the view of its view mode, fitted to the window.
#pragma once

#include <cstdint>
#include <string>

inline constexpr char kProjectFilter[] = "Korvane Project|*.kpr|";

// The framework's new-drawing routine (kdn's File/New, and the start of
// both programs): an empty project named "PROJECT1.KPR" with the drawing
// settings of a new drawing and no unsaved changes.
void StartNewProject();

// The settings of the project header into the view state, and back.
void ApplyProjectSettingsToView();
void StoreViewSettingsInProject();

// The view of a view mode shown again (F1 to F4; the perspective view is
// drawn as it stands).
void SelectViewOfMode(int16_t mode);
// A project dialog starts in the last project folder, else the start folder.
void StartInProjectFolder();

// Reads the project at `path` (any version) and shows it; 1 when read. A
// file that cannot be read leaves the project as it was (the reader has
// said why).
int OpenProjectFile(const std::string& path);

// The project named on the command line, opened at the end of the
// start-up as File/Open would open it (a relative path is taken from the
// current folder), its folder the last project folder; 1 when read.
int OpenProjectAtStart(const std::string& path);

// The open-file dialog in the last project folder (else the start folder);
// on OK its folder becomes the last project folder and the file is opened.
void OpenProjectDialog();
// File/Open (101): asks before unsaved changes go, then the dialog. A
// cancelled or failed open keeps the project and its modified mark.
void CmdOpenProject();
