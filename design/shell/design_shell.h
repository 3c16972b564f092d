// kdn's start and end: the start-up in its order (framework, a new project
// "PROJECT1.KPR", the main window with the menu "KORVANE", the drawing
// window, the stroke font, the history file, the plan view and its panel,
// the splash picture, the title, the loudspeaker and axis-cross symbols),
// the main loop, the exit with its question about unsaved changes, and the
// history file "HISTORY.KDN" in the start folder, which carries the unit,
// the last folders and the four most recent projects from one run to the
// next.
//
// The history is kept where its parts live while the program runs: the
// unit flag in the core (gUnitFlag), the last project folder in the
// project, the speaker database folder in the database index, and the rest
// (recent projects, absorber database and audio folders) in gDesignShell.
#pragma once

#include <string>

#include "design/model/speaker_database_index.h"
#include "design/shell/core/command_dispatch.h"
#include "design/shell/core/history_file.h"
#include "platform/types.h"

inline constexpr char kDesignTitle[] = "Korvane Design Engine ";
inline constexpr char kDesignVersion[] = "2.90";
inline constexpr char kDesignMenu[] = "KORVANE";
inline constexpr char kSplashBitmap[] = "KOBMP290";
inline constexpr char kHelpFileName[] = "KDN_E.HLP";

struct DesignShellState {
  // The recent projects and the absorber database and audio folders; the
  // other fields of the record are filled when the file is written.
  HistoryRecord history;
  SpeakerDatabaseIndex speakerDatabase;
  CommandRegistry commands;  // the commands that can run
  bool splash = false;       // the start-up picture is on the drawing area
  platform::Window okButton = platform::Window::kNone;
  platform::Window stopButton = platform::Window::kNone;
};
extern DesignShellState gDesignShell;
// Back to the state before start-up.
void ResetDesignShell();

// The start-up up to the main loop. 0 when the work buffers cannot be had
// (the program then ends with exit code 1); 1 otherwise.
int StartDesignProgram(platform::Instance instance);
// The main loop, until the program quits.
void RunDesignProgram();
// What the program holds after the loop: the panel, the symbols, the font,
// the work buffers and the window classes.
void EndDesignProgram();

// The start-up picture on the empty drawing area, in the middle of the main
// window; the drawing window paints it until the first command takes it
// away.
void DrawSplash();

// The framework's new-drawing routine (File/New): an empty project named
// "PROJECT1.KPR" with the drawing settings of a new drawing and no unsaved
// changes.
void StartNewProject();

// File/Exit and the close box: unless the user keeps unsaved changes
// ("Current project status has not been saved", Cancel), the drawing is
// reset and the main window destroyed, whose end writes the history file.
void ExitApplication();

// "HISTORY.KDN" in the start folder. Reading sets the unit flag, the
// folders and the recent list (1; 0 when there is no file, which changes
// nothing). Writing first puts the current project first among the recent
// ones (1; 0 when the file cannot be written).
int ReadHistoryFile();
int WriteHistoryFile();
std::string HistoryFilePath();
