#include "design/shell/speaker_selection_dialog.h"

#include <string>

#include "design/model/speaker_selection.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "framework/base/dialogs.h"

namespace {

using platform::LParam;
using platform::Window;
using platform::WParam;

constexpr int kNameList = 101, kDescriptionField = 102;
constexpr int kOkButton = 110, kCancelButton = 111;

struct SelectionDialog {
  SpeakerDatabaseIndex& index;
  SpeakerSelection selection;
};
// The dialog open now; it is modal and opens no second one of its kind.
SelectionDialog* gOpen = nullptr;

void ShowHighlighted(Window dialog, SelectionDialog& d) {
  ChangeSpeakerSelection(d.index, d.selection, platform::GetListSelection(dialog, kNameList));
  SetDialogText(dialog, kDescriptionField, d.selection.description.c_str());
}

void Choose(Window dialog, SelectionDialog& d) {
  platform::EndDialog(dialog, ConfirmSpeakerSelection(d.index, d.selection) < 0 ? 0 : 1);
}

LParam SelectSpeakerTypeDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (!gOpen) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  SelectionDialog& d = *gOpen;
  if (kind == platform::msg::kInitDialog) {
    for (const std::string& name : d.selection.names) AddDialogListText(dialog, kNameList, name.c_str());
    platform::SetListSelection(dialog, kNameList, d.selection.selection);
    SetDialogText(dialog, kDescriptionField, d.selection.description.c_str());
    return 0;
  }
  if (kind != platform::msg::kCommand) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  const int id = int(platform::LowWord(wParam));
  const unsigned notification = platform::HighWord(wParam);
  if (id == kNameList && notification == platform::kNotifySelectionChange) ShowHighlighted(dialog, d);
  if (id == kNameList && notification == platform::kNotifyDoubleClick) {
    ShowHighlighted(dialog, d);
    Choose(dialog, d);
  }
  if (id == kOkButton) Choose(dialog, d);
  if (id == kCancelButton) platform::EndDialog(dialog, 0);
  return 0;
}

}  // namespace

int SelectSpeakerType(int suggested, int& chosen, SpeakerType& header) {
  SpeakerDatabaseIndex& index = gDesignShell.speakerDatabase;
  if (index.path.empty()) SelectSpeakerDatabase();
  if (!BeginSpeakerSelection(index, suggested)) return 0;
  SelectionDialog d{index, OpenSpeakerSelection(index)};
  gOpen = &d;
  const int result = RunModalDialog(kSelectSpeakerDialog, platform::GetActiveWindow(), SelectSpeakerTypeDialogProc);
  gOpen = nullptr;
  if (result != 1) return 0;
  chosen = index.position;
  header = d.selection.header;
  return 1;
}
