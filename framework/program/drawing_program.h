// The program skeleton that kdn, kv and ksb share: a program describes
// itself (DrawingProgram: title, menu, help file, splash picture, stroke
// font, command table, window procedure, new drawing, history reader and
// the work the dispatch does for it), and the skeleton starts it, runs its
// main loop and ends it. A program's own start-up is its description, then
// what only it does (kdn: the symbols, its commands, the menu state).
//
// The start-up, in order: the program's document (its new-drawing routine
// and modified mark) handed to the framework, the work buffers, the
// program's undo tables, a new drawing, the framework with the program's
// menu and window procedure, the views, the drawing window inside the
// drawing margins (id 10000, border and both scroll bars; checked
// wireframe), the stroke font, the history file, the plan view and its
// panel "3DPANEL", the splash picture and the title.
//
// gProgramShell holds what the skeleton keeps while the program runs: the
// description, the registry of the commands that can run (bound by the
// program after the start-up), the splash flag and the "OK" and "STOP"
// buttons of the running command, and the menu bar it greyed.
#pragma once

#include <string>

#include "framework/base/drawing_reset.h"
#include "framework/shell/command_dispatch.h"
#include "platform/types.h"
#include "platform/window.h"

struct DrawingProgram {
  std::string title;          // the title base with the version
  const char* menu = "";      // the menu resource, also the main window's icon
  const char* helpFile = "";  // in the start folder
  const char* splashBitmap = "";
  const char* strokeFont = nullptr;  // none when null
  const CommandTable* commands = nullptr;
  platform::WindowProc windowProc = nullptr;
  DrawingDocument document;
  const std::string* titleFileName = nullptr;  // shown after the title
  // The program's hooks; a null one does nothing.
  void (*useUndoTables)() = nullptr;  // the tables its undo snapshots carry
  int (*readHistory)() = nullptr;
  void (*updateMenuState)() = nullptr;  // each time a menu opens
  void (*writeHistory)() = nullptr;     // after a command flagged kWriteHistory
  void (*purgeMaterials)() = nullptr;   // after a command flagged kPurgeMaterials
  void (*exitProgram)() = nullptr;      // the close box while no command runs
};

struct ProgramShellState {
  const DrawingProgram* program = nullptr;
  CommandRegistry commands;  // over the program's table
  bool splash = false;       // the start-up picture is on the drawing area
  platform::Window okButton = platform::Window::kNone;
  platform::Window stopButton = platform::Window::kNone;
  platform::Menu greyedMenu = platform::Menu::kNone;  // the menu bar the running command greyed
};
extern ProgramShellState gProgramShell;
// Back to the state before start-up.
void ResetProgramShell();

// The start-up above for `program`, which must outlive the run. 0 when the
// work buffers cannot be had (the program then ends with exit code 1); 1
// otherwise.
int StartDrawingProgram(platform::Instance instance, const DrawingProgram& program);
// The main loop, until the program quits.
void RunDrawingProgram();
// What the skeleton holds after the loop: the panel, the objects, the font,
// the work buffers and the window classes.
void EndDrawingProgram();

// The splash picture on the empty drawing area, in the middle of the main
// window; the drawing window paints it until the first command or drawing
// of the view takes it away.
void DrawSplash();

// File/Exit and the close box of kdn and kv: unless the user keeps unsaved
// changes ("Current project status has not been saved", Cancel), the
// drawing is reset and the main window destroyed.
void ExitApplication();
