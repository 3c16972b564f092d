#include "design/shell/material_dialogs.h"

#include <string>

#include "design/model/absorber_database.h"
#include "design/model/materials.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "framework/base/dialogs.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"

AbsorberDatabaseEditState gAbsorberDatabaseEdit;

void ResetAbsorberDatabaseEdit() { gAbsorberDatabaseEdit = AbsorberDatabaseEditState{}; }

namespace {

using platform::LParam;
using platform::Window;
using platform::WParam;

const StateReset kReset(ResetAbsorberDatabaseEdit);

constexpr char kNoCoefficient[] = "1.00";

int Notification(WParam wParam) { return int(platform::HighWord(wParam)); }

// ---- Select Absorber Material ----

constexpr int kChoiceList = 101, kChoiceDescription = 102, kChoiceFirstCoefficient = 103;
constexpr int kChoiceOk = 110, kChoiceCancel = 111;

struct MaterialChoice {
  int initialIndex = 0;
  int current = 0;  // the database record OK chooses
};
// The choice open now; the dialog is modal and opens no second one.
MaterialChoice* gChoice = nullptr;

void ShowChoiceRecord(Window dialog, const AbsorberRecord& record) {
  SetDialogText(dialog, kChoiceDescription, record.description.c_str());
  for (int band = 0; band < kAbsorberBandCount; ++band)
    SetDialogText(dialog, kChoiceFirstCoefficient + band, FormatAbsorption(record.absorption[band]).c_str());
}

void InitChoice(Window dialog, MaterialChoice& choice) {
  const AbsorberDatabase& database = gMaterials.database;
  const MaterialTable& project = gMaterials.project;
  const int shown = choice.initialIndex >= 0 && choice.initialIndex < project.count ? choice.initialIndex : 0;
  const AbsorberRecord& material = project.records[shown];
  for (int i = 0; i < database.count; ++i) {
    AddDialogListText(dialog, kChoiceList, database.records[i].name.c_str());
    if (database.records[i].name == material.name && platform::GetListSelection(dialog, kChoiceList) < 0) {
      platform::SetListSelection(dialog, kChoiceList, i);
      choice.current = i;
    }
  }
  ShowChoiceRecord(dialog, material);
}

// The highlighted record becomes the choice and is shown.
void ShowHighlighted(Window dialog, MaterialChoice& choice) {
  const int selected = platform::GetListSelection(dialog, kChoiceList);
  if (selected < 0 || selected >= gMaterials.database.count) return;
  choice.current = selected;
  ShowChoiceRecord(dialog, gMaterials.database.records[selected]);
}

LParam SelectMaterialDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (!gChoice) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  MaterialChoice& choice = *gChoice;
  switch (kind) {
    case platform::msg::kInitDialog: InitChoice(dialog, choice); return 0;
    case platform::msg::kDestroy: platform::ResetList(dialog, kChoiceList); return 0;
    case platform::msg::kCommand: break;
    default: return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  }
  switch (int(platform::LowWord(wParam))) {
    case kChoiceList:
      if (Notification(wParam) == platform::kNotifySelectionChange) ShowHighlighted(dialog, choice);
      if (Notification(wParam) == platform::kNotifyDoubleClick) {
        ShowHighlighted(dialog, choice);
        platform::EndDialog(dialog, 1);
      }
      break;
    case kChoiceOk: platform::EndDialog(dialog, 1); break;
    case kChoiceCancel: platform::EndDialog(dialog, 0); break;
  }
  return 0;
}

// ---- Absorber Database ----

constexpr int kBaseList = 101, kBaseName = 102, kBaseDescription = 103, kBaseFirstCoefficient = 104,
              kBaseCategory = 114;
constexpr int kNewOrOk = 111, kEditOrCancel = 112, kQuitButton = 113;
constexpr int kCoefficientCharacters = 5;
constexpr size_t kNameBuffer = 22, kTextBuffer = 80;  // the record's fields with their NUL
constexpr char kNewName[] = "New";

enum class BaseMode { kView, kNew, kEdit };

struct DatabaseDialog {
  BaseMode mode = BaseMode::kView;
  int current = 0;  // the record the list chose, which Edit edits
};
DatabaseDialog* gBase = nullptr;

int BaseCoefficient(int band) { return kBaseFirstCoefficient + band; }

void ShowBaseRecord(Window dialog, const AbsorberRecord* record) {
  SetDialogText(dialog, kBaseName, record ? record->name.c_str() : "");
  SetDialogText(dialog, kBaseDescription, record ? record->description.c_str() : "");
  SetDialogText(dialog, kBaseCategory, record ? record->category.c_str() : "");
  for (int band = 0; band < kAbsorberBandCount; ++band)
    SetDialogText(dialog, BaseCoefficient(band),
                  record ? FormatAbsorption(record->absorption[band]).c_str() : kNoCoefficient);
}

const AbsorberRecord* CurrentRecord(const DatabaseDialog& d) {
  const AbsorberDatabase& database = gMaterials.database;
  return d.current >= 0 && d.current < database.count ? &database.records[d.current] : nullptr;
}

void SetBaseMode(Window dialog, DatabaseDialog& d, BaseMode mode) {
  d.mode = mode;
  const bool view = mode == BaseMode::kView;
  for (int id : {kBaseName, kBaseDescription, kBaseCategory}) platform::SetEditReadOnly(dialog, id, view);
  for (int band = 0; band < kAbsorberBandCount; ++band) platform::SetEditReadOnly(dialog, BaseCoefficient(band), view);
  SetDialogText(dialog, kNewOrOk, view ? "New" : "OK");
  SetDialogText(dialog, kEditOrCancel, view ? "Edit" : "Cancel");
  const auto shown = [](bool show) { return show ? platform::ShowMode::kShow : platform::ShowMode::kHide; };
  platform::ShowWindow(platform::GetDialogItem(dialog, kEditOrCancel), shown(!view || gMaterials.database.count > 0));
  platform::ShowWindow(platform::GetDialogItem(dialog, kQuitButton), shown(view));
  platform::EnableWindow(platform::GetDialogItem(dialog, kBaseList), view);
}

void FocusName(Window dialog) {
  platform::SetFocus(platform::GetDialogItem(dialog, kBaseName));
  platform::SetEditSelection(dialog, kBaseName, 0, -1);
}

void InitBase(Window dialog, DatabaseDialog& d) {
  const AbsorberDatabase& database = gMaterials.database;
  for (int i = 0; i < database.count; ++i) AddDialogListText(dialog, kBaseList, database.records[i].name.c_str());
  d.current = 0;
  if (database.count > 0) platform::SetListSelection(dialog, kBaseList, 0);
  ShowBaseRecord(dialog, CurrentRecord(d));
  SetBaseMode(dialog, d, BaseMode::kView);
}

void ShowBaseSelection(Window dialog, DatabaseDialog& d) {
  const int selected = platform::GetListSelection(dialog, kBaseList);
  if (selected < 0 || selected >= gMaterials.database.count) return;
  d.current = selected;
  ShowBaseRecord(dialog, CurrentRecord(d));
}

void StartNew(Window dialog, DatabaseDialog& d) {
  if (gMaterials.database.count >= kMaxAbsorberRecords) {
    MessageOwnerScope owner(dialog);
    ShowMessage(kTooManyMaterialsMessage, nullptr, kMsgOk);
    return;
  }
  SetBaseMode(dialog, d, BaseMode::kNew);
  SetDialogText(dialog, kBaseName, kNewName);
  FocusName(dialog);
}

// Edit starts from what the record holds, whatever the fields showed.
void StartEdit(Window dialog, DatabaseDialog& d) {
  const AbsorberRecord* record = CurrentRecord(d);
  if (!record || platform::GetListSelection(dialog, kBaseList) < 0) return;
  ShowBaseRecord(dialog, record);
  SetBaseMode(dialog, d, BaseMode::kEdit);
  FocusName(dialog);
}

// Reads the fields into `record`; false, after the message, when one is
// refused.
bool ReadBaseFields(Window dialog, AbsorberRecord& record) {
  MessageOwnerScope owner(dialog);
  for (int band = 0; band < kAbsorberBandCount; ++band) {
    if (!ReadAbsorptionText(GetDialogText(dialog, BaseCoefficient(band), kCoefficientCharacters + 1),
                            kCoefficientCharacters, record.absorption[band])) {
      ShowMessage(kInvalidAbsorptionMessage, nullptr, kMsgOk);
      return false;
    }
  }
  record.name = GetDialogText(dialog, kBaseName, kNameBuffer);
  if (record.name.empty()) {
    // A nameless record could never become a project material.
    ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk);
    return false;
  }
  record.description = GetDialogText(dialog, kBaseDescription, kTextBuffer);
  record.category = GetDialogText(dialog, kBaseCategory, kTextBuffer);
  return true;
}

void Store(Window dialog, DatabaseDialog& d) {
  AbsorberRecord record;
  if (!ReadBaseFields(dialog, record)) return;
  AbsorberDatabase& database = gMaterials.database;
  if (d.mode == BaseMode::kNew) {
    if (database.count >= kMaxAbsorberRecords) return;
    d.current = database.count++;
    AddDialogListText(dialog, kBaseList, record.name.c_str());
  } else {
    if (!CurrentRecord(d)) return;
    platform::DeleteListItem(dialog, kBaseList, d.current);
    InsertDialogListText(dialog, kBaseList, d.current, record.name.c_str());
  }
  database.records[d.current] = std::move(record);
  platform::SetListSelection(dialog, kBaseList, d.current);
  gAbsorberDatabaseEdit.modified = true;
  SetBaseMode(dialog, d, BaseMode::kView);
  ShowBaseRecord(dialog, CurrentRecord(d));
}

void CancelChange(Window dialog, DatabaseDialog& d) {
  ShowBaseRecord(dialog, d.mode == BaseMode::kEdit ? CurrentRecord(d) : nullptr);
  SetBaseMode(dialog, d, BaseMode::kView);
}

// Quit and the close box: the offer to save, then the end with `result`
// unless the save failed.
void Quit(Window dialog, int result) {
  if (gAbsorberDatabaseEdit.modified) {
    MessageOwnerScope owner(dialog);
    if (ShowMessage(kSaveModifiedDatabaseMessage, "Warning", kMsgOkCancel) == kIdOk && SaveAbsorberDatabase() < 0)
      return;
  }
  platform::EndDialog(dialog, result);
}

void BaseCommand(Window dialog, DatabaseDialog& d, int id, int notification) {
  const bool view = d.mode == BaseMode::kView;
  switch (id) {
    case kBaseList:
      if (notification == platform::kNotifySelectionChange && view) ShowBaseSelection(dialog, d);
      break;
    case kNewOrOk: view ? StartNew(dialog, d) : Store(dialog, d); break;
    case kEditOrCancel: view ? StartEdit(dialog, d) : CancelChange(dialog, d); break;
    case kQuitButton:
      if (view) Quit(dialog, 1);
      break;
    case platform::kIdCancel:  // Escape: the change first, then the dialog
      view ? Quit(dialog, 0) : CancelChange(dialog, d);
      break;
  }
}

LParam DatabaseDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (!gBase) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  DatabaseDialog& d = *gBase;
  switch (kind) {
    case platform::msg::kInitDialog: InitBase(dialog, d); return 0;
    case platform::msg::kCommand:
      for (int band = 0; band < kAbsorberBandCount; ++band) FixDecimalComma(dialog, BaseCoefficient(band));
      BaseCommand(dialog, d, int(platform::LowWord(wParam)), Notification(wParam));
      return 0;
    case platform::msg::kClose:
      if (d.mode != BaseMode::kView) CancelChange(dialog, d);
      Quit(dialog, 0);
      return 0;
    case platform::msg::kDestroy: platform::ResetList(dialog, kBaseList); return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

}  // namespace

int SelectDatabaseMaterial(int initialIndex, int& dbIndex) {
  if (gMaterials.database.count < 1) {
    if (ShowMessage(kLoadAbsorberNowMessage, kMustLoadAbsorberCaption, kMsgOkCancel) == kIdOk)
      CmdLoadAbsorberDatabase();
    if (gMaterials.database.count < 1) return 0;
  }
  MaterialChoice choice{initialIndex};
  gChoice = &choice;
  const int result = RunModalDialog(kSelectMaterialDialog, platform::GetActiveWindow(), SelectMaterialDialogProc);
  gChoice = nullptr;
  if (result != 1) return 0;
  dbIndex = choice.current;
  return 1;
}

void CmdEditAbsorberDatabase() {
  DatabaseDialog d;
  gBase = &d;
  RunModalDialog(kAbsorberDatabaseDialog, MainWindow.window, DatabaseDialogProc);
  gBase = nullptr;
}

int SaveAbsorberDatabase() {
  StartDialogIn(gDesignShell.history.absorberDatabaseFolder);
  const std::string proposed = ProposedDatabaseSaveName(gMaterials.databasePath, gMaterials.partlyReadFile);
  if (!SaveFileDialog(kAbsorberDatabaseFilter, proposed.c_str())) return 0;
  const std::string path = ForceExtension(GetDialogDirectory() + GetDialogFileName(), kAbsorberDatabaseExtension);
  if (!ConfirmDatabaseSaveTo(path, gMaterials.partlyReadFile)) return 0;
  if (!WriteAbsorberDatabaseFile(path, gMaterials.database)) return -1;
  if (IsSameFile(path, gMaterials.partlyReadFile)) gMaterials.partlyReadFile.clear();
  gAbsorberDatabaseEdit.modified = false;
  return 1;
}
