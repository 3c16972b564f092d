// Which menu items of a program are greyed and which carry a check mark:
// the plumbing between the program's rules and its command table. The menu
// asks for it each time one of its popups opens; every item's state is
// computed on every call, so nothing depends on what the menu showed before.
//
// A command without a handler is always greyed (but Help, which the
// dispatch answers itself); a built one is enabled when the program's rule
// allows it.
#pragma once

#include <functional>
#include <map>

#include "framework/shell/command_dispatch.h"

struct MenuItemState {
  bool enabled = true;
  bool checked = false;
  bool operator==(const MenuItemState&) const = default;
};

// A program's rule for one command id.
using MenuRule = std::function<bool(int id)>;

// The state of every command of the registry's table, by id: enabled when
// built and `allowed`, checked when `checked`.
std::map<int, MenuItemState> ComputeMenuItemStates(const CommandRegistry& registry, const MenuRule& allowed,
                                                   const MenuRule& checked);
