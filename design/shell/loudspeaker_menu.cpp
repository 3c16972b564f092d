// The Loudspeakers menu: Select Database.
#include "design/model/speaker_database.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "framework/base/file_dialogs.h"
#include "framework/core/file_dialog_state.h"

void SelectSpeakerDatabase() {
  StartDialogIn(gDesignShell.speakerDatabase.folder);
  if (!OpenFileDialog(kSpeakerDatabaseFilter, nullptr)) return;
  OpenSpeakerDatabaseIndex(gDesignShell.speakerDatabase,
                           ForceExtension(GetDialogDirectory() + GetDialogFileName(), kSpeakerDatabaseExtension));
}

void BindLoudspeakerMenu(CommandRegistry& r) { r.Bind(kCmdSelectSpeakerDatabase, SelectSpeakerDatabase); }
