// The Loudspeakers menu: the listing and Select Database.
#include "design/model/project.h"
#include "design/model/speaker_database.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "design/shell/speaker_selection_dialog.h"
#include "design/windows/speaker_listing_window.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/core/file_dialog_state.h"

namespace {

// The "Select Loudspeaker" dialog opened on the database entry of the type
// named `current` (else where it was last).
bool SelectListedSpeakerType(const std::string& current, std::string& chosen) {
  const SpeakerDatabaseIndex& index = gDesignShell.speakerDatabase;
  int suggested = 0;
  for (size_t i = 0; i < index.entries.size(); ++i)
    if (index.entries[i].name == current) suggested = int(i);
  int position = 0;
  SpeakerType header;
  if (!SelectSpeakerType(suggested, position, header)) return false;
  if (position < 0 || size_t(position) >= index.entries.size()) return false;
  chosen = index.entries[size_t(position)].name;
  return true;
}

}  // namespace

void SelectSpeakerDatabase() {
  StartDialogIn(gDesignShell.speakerDatabase.folder);
  if (!OpenFileDialog(kSpeakerDatabaseFilter, nullptr)) return;
  OpenSpeakerDatabaseIndex(gDesignShell.speakerDatabase,
                           ForceExtension(GetDialogDirectory() + GetDialogFileName(), kSpeakerDatabaseExtension));
}

void CmdSpeakerListing() {
  SpeakerListingSetup setup;
  setup.design = ProjectTables();
  setup.owner = DrawWindow->window;
  setup.selectType = SelectListedSpeakerType;
  setup.database = &gDesignShell.speakerDatabase;
  setup.modifiedMark = &gProject.modified;
  setup.programTitle = kDesignTitle;
  setup.fileName = gProject.path;
  if (ShowSpeakerListing(setup)) PurgeUnusedSpeakerTypes();
}

void BindLoudspeakerMenu(CommandRegistry& r) {
  r.Bind(kCmdSpeakerListing, CmdSpeakerListing);
  r.Bind(kCmdSelectSpeakerDatabase, SelectSpeakerDatabase);
}
