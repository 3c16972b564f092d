// kdn's one window procedure and what only kdn does in it: the drawing
// window goes to the skeleton's ViewWindowProc (framework/program); the
// main window writes the history file when it is destroyed and otherwise
// is the skeleton's; any other window gets the system's default. And kdn's
// menu state: its rules (menu_state.h) on what the model holds, and the
// recent projects named in the File menu.
#pragma once

#include "design/shell/menu_state.h"
#include "platform/messages.h"
#include "platform/types.h"

platform::LParam MainWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam);

// What the menu state depends on, counted from the model and read from the
// program's switches.
MenuStateInput CurrentMenuStateInput();
// Greys, enables and checks every command item, and names the recent
// project items after the recent list.
void UpdateMenuState();
