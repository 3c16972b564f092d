// A program's command table as data: every menu command id with what the
// dispatch (command_dispatch.h) does around it, and the top-level menus the
// dispatch greys while a command runs. Each program hands in its own table;
// nothing here names a program.
//
// Around a command the dispatch can take an undo snapshot first, write the
// program's history file and purge unused materials afterwards, show the
// "OK" and "STOP" buttons while it runs, remember it as the last command
// (which a right click, Enter or Space repeats), and make the layer and
// drawing colour of its menu current.
//
// The table holds every command of the program, also those whose code is
// not there yet; the registry binds a handler to each command that can run,
// and the menu greys the others. An id without an entry does nothing. In
// every program the buttons of child windows use ids from 20000 ("OK" and
// "STOP" of the running command are 20998 and 20999) and Help is 11111.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// What the dispatch does around a command.
enum CommandFlag : unsigned {
  kSnapshotFirst = 1,   // an undo snapshot of the model is taken before it runs
  kWriteHistory = 2,    // the history file is written after it
  kPurgeMaterials = 4,  // materials that no room face names are purged after it
  kCommandButtons = 8,  // "OK" and "STOP" show while it runs
  kRepeatCommand = 16,  // it becomes the last command, which a right click, Enter or Space repeats
};

constexpr int kHelpCommand = 11111;
constexpr int kFirstButtonId = 20000;
constexpr int kOkButtonId = 20998;
constexpr int kStopButtonId = 20999;

// The layer and drawing colour a command's menu makes active.
struct ActiveLayerChoice {
  int16_t layer = 0;
  int16_t colour = 0;
};

struct CommandSpec {
  int id = 0;
  unsigned flags = 0;  // CommandFlag bits
  std::optional<ActiveLayerChoice> layer;
};

struct CommandTable {
  std::span<const CommandSpec> commands;  // in ascending order of id
  int greyedMenus = 0;                    // top-level menus 0 .. greyedMenus - 1 are greyed while a command runs
};

// The command `id` of `table`; null for an id without an entry.
const CommandSpec* FindCommand(const CommandTable& table, int id);

// Whether the ids ascend, as FindCommand's search needs (for a
// static_assert on a program's table).
constexpr bool IdsAscend(std::span<const CommandSpec> commands) {
  for (size_t i = 1; i < commands.size(); ++i)
    if (commands[i - 1].id >= commands[i].id) return false;
  return true;
}
