#include "framework/shell/menu_state.h"

std::map<int, MenuItemState> ComputeMenuItemStates(const CommandRegistry& registry, const MenuRule& allowed,
                                                   const MenuRule& checked) {
  std::map<int, MenuItemState> states;
  for (const CommandSpec& command : registry.Table().commands) {
    // Help is answered by the dispatch itself, in every state.
    const bool built = command.id == kHelpCommand || registry.IsBuilt(command.id);
    states[command.id] = {built && allowed(command.id), checked(command.id)};
  }
  return states;
}
