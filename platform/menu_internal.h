// What the window code asks of the menus.
#pragma once

#include "platform/types.h"

namespace platform::detail {

struct WindowObject;

// Shows the window's menu on its menu bar.
void RebuildMenuBar(WindowObject& window);
// Takes every menu off a window that goes.
void DetachMenus(Window window);
// Drops every menu.
void ResetMenus();

}  // namespace platform::detail
