#include "framework/shell/command_table.h"

#include <algorithm>

const CommandSpec* FindCommand(const CommandTable& table, int id) {
  const auto end = table.commands.end();
  const auto found =
      std::lower_bound(table.commands.begin(), end, id, [](const CommandSpec& c, int value) { return c.id < value; });
  return found != end && found->id == id ? &*found : nullptr;
}
