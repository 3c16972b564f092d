#include "design/shell/design_commands.h"

#include "framework/base/framework_windows.h"
#include "framework/core/file_dialog_state.h"
#include "platform/menu.h"

void BindDesignCommands(CommandRegistry& registry) {
  BindFileMenu(registry);
  BindEditMenu(registry);
  BindOptionsMenu(registry);
  BindViewMenu(registry);
  BindLoudspeakerMenu(registry);
  BindRoomMenu(registry);
  BindAudienceMenu(registry);
  BindAuxDrawingMenu(registry);
  BindCalculateMenu(registry);
}

void CheckMenuPair(int offItem, int onItem, bool on) {
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  CheckMenuItemOn(menu, on ? onItem : offItem);
  CheckMenuItemOff(menu, on ? offItem : onItem);
}

void CheckMenuItem(int id, bool on) { platform::SetMenuItemChecked(GetWindowMenu(&MainWindow), id, on); }

void StartDialogIn(const std::string& folder) {
  SetDialogDirectory(folder.empty() ? GetStartDirectory() + "/" : folder);
}
