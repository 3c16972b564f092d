#include "speakerbase/shell/record_selector.h"

#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/core/state_reset.h"
#include "platform/dialog.h"
#include "platform/window.h"
#include "speakerbase/shell/record_view_windows.h"
#include "speakerbase/shell/speaker_editor.h"

namespace {

struct RecordSelectorState {
  platform::Window bar = platform::Window::kNone;
};
RecordSelectorState gSelector;

void ResetRecordSelector() { gSelector = RecordSelectorState{}; }
const StateReset kReset(ResetRecordSelector);

void ShowCurrent(platform::Window dialog) {
  const SpeakerDatabase& db = gSpeakerEditor.database;
  if (db.records.empty()) {
    SetDialogText(dialog, kSelectorBrand, "");
    return;
  }
  SetDialogText(dialog, kSelectorBrand, db.currentRecord.Brand().c_str());
  platform::SetListSelection(dialog, kSelectorTypeList, db.currentRecordIndex);
}

void Rebuild(platform::Window dialog) {
  SpeakerDatabase& db = gSpeakerEditor.database;
  platform::ResetList(dialog, kSelectorTypeList);
  for (const SpeakerDatabaseRecord& record : db.records)
    AddDialogListText(dialog, kSelectorTypeList, record.type->TypeName().c_str());
  if (!db.records.empty() && !SelectCurrentRecord(db, db.currentRecordIndex)) SelectCurrentRecord(db, 0);
  ShowCurrent(dialog);
}

void Renamed(platform::Window dialog) {
  const SpeakerDatabase& db = gSpeakerEditor.database;
  platform::DeleteListItem(dialog, kSelectorTypeList, db.currentRecordIndex);
  InsertDialogListText(dialog, kSelectorTypeList, db.currentRecordIndex, db.currentRecord.TypeName().c_str());
  ShowCurrent(dialog);
}

void Chosen(platform::Window dialog) {
  const int index = platform::GetListSelection(dialog, kSelectorTypeList);
  if (!SelectCurrentRecord(gSpeakerEditor.database, index)) return;
  ShowCurrent(dialog);
  RepaintRecordView();
}

}  // namespace

void CreateRecordSelector() {
  if (gSelector.bar != platform::Window::kNone) return;
  gSpeakerEditor.database.currentRecordIndex = 0;
  gSelector.bar = OpenModelessDialog(kRecordSelectorDialog, MainWindow.window, RecordSelectorProc);
}

void DestroyRecordSelector() {
  if (gSelector.bar != platform::Window::kNone && platform::IsWindow(gSelector.bar))
    platform::DestroyWindow(gSelector.bar);
  gSelector.bar = platform::Window::kNone;
}

platform::Window RecordSelector() { return gSelector.bar; }

void ShowRecordSelector(bool show) {
  if (gSelector.bar == platform::Window::kNone) return;
  platform::ShowWindow(gSelector.bar, show ? platform::ShowMode::kShow : platform::ShowMode::kHide);
}

void SendRecordSelectorCommand(int command) {
  if (gSelector.bar != platform::Window::kNone)
    platform::SendMessage(gSelector.bar, platform::msg::kCommand, platform::WParam(command));
}

void RebuildRecordSelector(int index) {
  SpeakerDatabase& db = gSpeakerEditor.database;
  db.currentRecordIndex = index < 0 ? 0 : index;
  if (!SelectCurrentRecord(db, db.currentRecordIndex)) db.currentRecordIndex = 0;
  SendRecordSelectorCommand(kSelectorRebuild);
  RepaintRecordView();
}

platform::LParam RecordSelectorProc(platform::Window dialog, unsigned kind, platform::WParam wParam,
                                    platform::LParam lParam) {
  switch (kind) {
    case platform::msg::kInitDialog:
      Rebuild(dialog);
      platform::SetFocus(MainWindow.window);
      return 0;
    case platform::msg::kShowWindow:
      if (!gSpeakerEditor.database.records.empty())
        platform::SetListSelection(dialog, kSelectorTypeList, gSpeakerEditor.database.currentRecordIndex);
      return 0;
    case platform::msg::kDestroy: platform::ResetList(dialog, kSelectorTypeList); return 0;
    case platform::msg::kCommand: break;
    default: return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  }
  const int id = int(platform::LowWord(wParam));
  switch (id) {
    case kSelectorAppended:
      AddDialogListText(dialog, kSelectorTypeList, gSpeakerEditor.database.currentRecord.TypeName().c_str());
      ShowCurrent(dialog);
      break;
    case kSelectorRenamed: Renamed(dialog); break;
    case kSelectorRebuild: Rebuild(dialog); break;
    case kSelectorTypeList:
      if (platform::HighWord(wParam) == platform::kNotifySelectionChange) Chosen(dialog);
      break;
    case kSelectorPrint: PrintRecordView(); break;
    case kSelectorCopy: CopyRecordView(); break;
    default: break;
  }
  return 0;
}
