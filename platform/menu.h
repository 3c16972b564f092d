// Menus: loaded by name from the program's resources (menus/<NAME>.menu,
// see resources/README.md), set on a top-level window, changed by command id.
// Choosing an item posts kCommand with its id to the window the menu is on.
#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform {

Menu LoadMenu(Instance instance, std::string_view name);  // none when missing
bool SetWindowMenu(Window window, Menu menu);             // the window's old menu stays alive
Menu GetWindowMenu(Window window);
void DestroyMenu(Menu menu);  // also takes it off its window

// Each is true when an item with the id exists (searched through every popup).
bool SetMenuItemChecked(Menu menu, int id, bool checked);
bool IsMenuItemChecked(Menu menu, int id);
// A greyed item cannot be chosen.
bool EnableMenuItem(Menu menu, int id, bool enabled);
bool IsMenuItemEnabled(Menu menu, int id);
bool SetMenuItemText(Menu menu, int id, std::string_view text);
bool RemoveMenuItem(Menu menu, int id);
// Inserts a text item with `newId` in front of the item with `beforeId`.
bool InsertMenuItemBefore(Menu menu, int beforeId, int newId, std::string_view text);
bool HasMenuItem(Menu menu, int id);
std::string GetMenuItemText(Menu menu, int id);
// Top-level popups by position (0 the leftmost).
bool EnableMenuBarItem(Menu menu, int position, bool enabled);
bool IsMenuBarItemEnabled(Menu menu, int position);
int MenuBarItemCount(Menu menu);
void RedrawMenuBar(Window window);

}  // namespace platform
