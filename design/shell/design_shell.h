// kdn's start and end: its description for the program skeleton
// (framework/program: a new project "PROJECT1.KPR", the menu "KORVANE", the
// stroke font, the history file, the splash picture, the title), then what
// only kdn does (the loudspeaker and axis-cross symbols, the symbols'
// screen hooks, its commands), the main loop and the end; and the history
// file "HISTORY.KDN" in the start folder, which carries the unit, the last
// folders and the four most recent projects from one run to the next.
//
// The history is kept where its parts live while the program runs: the
// unit flag in the core (gUnitFlag), the last project folder in the
// project, the speaker database folder in the database index, and the rest
// (recent projects, absorber database and audio folders) in gDesignShell.
#pragma once

#include <string>

#include "design/document/history_file.h"
#include "design/model/speaker_database_index.h"
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
};
extern DesignShellState gDesignShell;
// Back to the state before start-up.
void ResetDesignShell();

// The start-up up to the main loop. 0 when the work buffers cannot be had
// (the program then ends with exit code 1); 1 otherwise.
int StartDesignProgram(platform::Instance instance);
// The main loop, until the program quits.
void RunDesignProgram();
// What the program holds after the loop: the symbols, and what the skeleton
// holds.
void EndDesignProgram();

// "HISTORY.KDN" in the start folder. Reading sets the unit flag, the
// folders and the recent list (1; 0 when there is no file, which changes
// nothing). Writing first puts the current project first among the recent
// ones (1; 0 when the file cannot be written).
int ReadHistoryFile();
int WriteHistoryFile();
std::string HistoryFilePath();
