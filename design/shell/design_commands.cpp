#include "design/shell/design_commands.h"

#include "design/commands/view_commands.h"

void BindDesignCommands(CommandRegistry& registry) {
  BindFileMenu(registry);
  BindEditMenu(registry);
  BindOptionCommands(registry);
  BindViewCommands(registry);
  BindLoudspeakerMenu(registry);
  BindRoomMenu(registry);
  BindAudienceMenu(registry);
  BindAuxDrawingMenu(registry);
  BindCalculateMenu(registry);
}
