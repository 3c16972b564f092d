// The Loudspeakers menu: Select Database, and the drawing editor's group
// commands at 1000.
#include "design/model/speaker_database.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "framework/base/file_dialogs.h"
#include "framework/core/file_dialog_state.h"
#include "framework/editor/edit_commands.h"

void SelectSpeakerDatabase() {
  StartDialogIn(gDesignShell.speakerDatabase.folder);
  if (!OpenFileDialog(kSpeakerDatabaseFilter, nullptr)) return;
  OpenSpeakerDatabaseIndex(gDesignShell.speakerDatabase,
                           ForceExtension(GetDialogDirectory() + GetDialogFileName(), kSpeakerDatabaseExtension));
}

namespace {
constexpr int kLoudspeakerEditBase = 1000;  // its group commands at 1019 and 1020
}

void BindLoudspeakerMenu(CommandRegistry& r) {
  BindGroupCommands(r, kLoudspeakerEditBase);
  r.Bind(kCmdSelectSpeakerDatabase, SelectSpeakerDatabase);
}
