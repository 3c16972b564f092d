// kv's start and end: its description for the program skeleton
// (framework/program: a new project "PROJECT1.KPR", the menu "KORVANE", no
// stroke font, kv's history record, the splash picture "KOBMP290", the
// title "Korvane Viewer 2.90"), then the loudspeaker and axis-cross symbols
// and its commands, the main loop and the end. kv saves no project: nothing
// it loads or chooses marks the project modified, and neither File/Open nor
// Exit asks about unsaved changes.
//
// kv's window procedure, menu state and drawing-window procedure are the
// design program's with kv's differences, in namespace kv: the main window
// refreshes the menu state when it is shown and writes no history when it
// is destroyed; the menu state follows kv's rules (viewer_menu_state.h) and
// names no recent projects; the drawing window's scroll bars never turn the
// perspective view, and a held Shift does not hide the crosshair.
#pragma once

#include "platform/messages.h"
#include "platform/types.h"
#include "viewer/viewer_menu_state.h"

inline constexpr char kViewerMenu[] = "KORVANE";

// The start-up up to the main loop. 0 when the work buffers cannot be had
// (the program then ends with exit code 1); 1 otherwise.
int StartViewerProgram(platform::Instance instance);
// The main loop, until the program quits.
void RunViewerProgram();
// What the program holds after the loop: the symbols, and what the skeleton
// holds.
void EndViewerProgram();

namespace kv {

platform::LParam MainWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam);
platform::LParam ViewWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam);

// What the menu state depends on, counted from the model and read from the
// program's switches.
ViewerMenuStateInput CurrentMenuStateInput();
// Greys, enables and checks every command item and redraws the menu bar.
void UpdateMenuState();

}  // namespace kv
