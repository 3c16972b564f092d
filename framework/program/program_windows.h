// The window side of the program skeleton that kdn, kv and ksb share. A
// program's window procedure routes by window: the drawing window to
// ViewWindowProc, the main window, after what only that program does there,
// to MainWindowMessage; the skeleton does the rest the same for every
// program.
//
// The main window: the menu commands through the dispatch of
// framework/shell on the program's command table (its menus greyed while
// one runs, the active layer of its menu, the "OK" and "STOP" buttons, the
// undo snapshot, and the program's history file and material purge), the
// program's menu state each time a menu opens, the keys and the view
// panel's keys for the drawing editor, help at the running command in the
// program's help file, and the close box. The drawing window: the mouse for
// the pointer code (a move with Control held hides the crosshair and shows
// the arrow), the right click that ends a command's input or repeats the
// last command, the scroll bars and the paint (none while the main window
// is minimised or a print job is open, nor a layout for a new size while
// the job is open).
#pragma once

#include <map>

#include "framework/shell/menu_state.h"
#include "platform/messages.h"
#include "platform/types.h"

// The id of the drawing window inside the main window.
constexpr int kDrawingWindowId = 10000;

platform::LParam MainWindowMessage(platform::Window window, unsigned kind, platform::WParam wParam,
                                   platform::LParam lParam);
platform::LParam ViewWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam);

// "OK" (id 20998) and "STOP" (20999), 40 x 20 pixels, side by side in the
// middle of the main window's bottom margin (1), or gone (0).
void ShowCommandButtons(int on);

// Greys (false) or enables again the menus the program's command table
// greys while a command runs, as a view's own wait (a zoom box) does too.
void EnableCommandMenus(bool enabled);

// Greys, enables and checks every command item of the main window's menu
// as `states` say.
void ApplyMenuState(const std::map<int, MenuItemState>& states);

// Edit/Copy to clipboard (210): the drawing window, framed in black, as a
// bitmap.
void CopyDrawingToClipboard();
