// kdn's one window procedure and what it does for the main window: the menu
// commands through the dispatch of command_dispatch.h (menu bar greyed while
// one runs, the active layer of its menu, the "OK" and "STOP" buttons, the
// undo snapshot, the history file), the menu state each time a menu opens,
// the keys and the view panel's keys for the drawing editor, help at the
// running command, and the close box; and the drawing window's procedure:
// the mouse for the pointer code (a move with Shift held hides the
// crosshair and shows the arrow), the right click that ends a command's
// input or repeats the last command, the scroll bars and the paint (none
// while the main window is minimised or a print job is open).
#pragma once

#include "design/shell/core/command_dispatch.h"
#include "design/shell/core/menu_state.h"
#include "platform/messages.h"
#include "platform/types.h"

// The id of the drawing window inside the main window.
constexpr int kDrawingWindowId = 10000;

platform::LParam MainWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam);
platform::LParam ViewWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam);

// "OK" (id 20998) and "STOP" (20999), 40 x 20 pixels, side by side in the
// middle of the main window's bottom margin (1), or gone (0).
void ShowCommandButtons(int on);

// What the menu state depends on, counted from the model and read from the
// program's switches.
MenuStateInput CurrentMenuStateInput();
// Greys, enables and checks every command item, and names the recent
// project items after the recent list.
void UpdateMenuState();
