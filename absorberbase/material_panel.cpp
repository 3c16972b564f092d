#include "absorberbase/material_panel.h"

#include "absorberbase/absorber_editor.h"
#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/core/services.h"
#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/window.h"

namespace {

using platform::Window;

constexpr char kPanelTemplate[] = "MATERIAL_BASE_DLG";
constexpr size_t kCoefficientCharacters = 4;
constexpr size_t kNameBuffer = 22, kTextBuffer = 80;  // what the record's fields hold, with their NUL
constexpr int kMainMenuPopups = 3;                    // File, Edit, Sort Database
constexpr char kEmptyCoefficient[] = "1.00";

int CoefficientField(int band) { return kPanelFirstCoefficient + band; }

void SetFieldsReadOnly(Window panel, bool readOnly) {
  for (int id = kPanelName; id < CoefficientField(kAbsorberBandCount); ++id)
    platform::SetEditReadOnly(panel, id, readOnly);
}

void EnableMainMenus(bool enabled) {
  platform::Menu menu = platform::GetWindowMenu(MainWindow.window);
  for (int position = 0; position < kMainMenuPopups; ++position) platform::EnableMenuBarItem(menu, position, enabled);
  platform::RedrawMenuBar(MainWindow.window);
}

// What label 114 says in each mode.
constexpr const char* kModeLabels[] = {"", "Edit record", "New record", "Delete record"};

// The control that has the keys in each mode: the list to choose from, the
// name to type, and in delete mode, whose fields take no typing, OK. So
// Enter presses OK and Escape Cancel in every mode, and the focus never
// stays on the list a mode disables.
constexpr int kModeFocus[] = {kPanelList, kPanelName, kPanelName, kPanelOk};

// Switches the panel to `mode`: its label, buttons, list, fields, focus and
// the main menus.
void SetMode(Window panel, PanelMode mode) {
  const bool view = mode == PanelMode::kView;
  gAbsorberEditor.mode = mode;
  SetDialogText(panel, kPanelModeLabel, kModeLabels[int(mode)]);
  const platform::ShowMode buttons = view ? platform::ShowMode::kHide : platform::ShowMode::kShow;
  platform::ShowWindow(platform::GetDialogItem(panel, kPanelOk), buttons);
  platform::ShowWindow(platform::GetDialogItem(panel, kPanelCancel), buttons);
  platform::EnableWindow(platform::GetDialogItem(panel, kPanelList), view);
  SetFieldsReadOnly(panel, mode == PanelMode::kView || mode == PanelMode::kDelete);
  platform::SetFocus(platform::GetDialogItem(panel, kModeFocus[int(mode)]));
  EnableMainMenus(view);
}

void ShowRecord(Window panel, const AbsorberRecord* record) {
  SetDialogText(panel, kPanelName, record ? record->name.c_str() : "");
  SetDialogText(panel, kPanelCategory, record ? record->category.c_str() : "");
  SetDialogText(panel, kPanelDescription, record ? record->description.c_str() : "");
  for (int band = 0; band < kAbsorberBandCount; ++band)
    SetDialogText(panel, CoefficientField(band),
                  record ? FormatAbsorption(record->absorption[band]).c_str() : kEmptyCoefficient);
}

// The list's selection becomes the current record and is shown; with
// nothing selected the fields are emptied.
void ShowSelection(Window panel) {
  const int selected = platform::GetListSelection(panel, kPanelList);
  if (selected >= 0 && selected < gAbsorberEditor.database.count) {
    gAbsorberEditor.currentIndex = selected;
    ShowRecord(panel, &gAbsorberEditor.database.records[selected]);
  } else {
    ShowRecord(panel, nullptr);
  }
}

bool HasSelection(Window panel) { return platform::GetListSelection(panel, kPanelList) >= 0; }

void Fill(Window panel) {
  SetMode(panel, PanelMode::kView);
  platform::ResetList(panel, kPanelList);
  const AbsorberDatabase& database = gAbsorberEditor.database;
  for (int i = 0; i < database.count; ++i) AddDialogListText(panel, kPanelList, database.records[i].name.c_str());
  if (database.count > 0) platform::SetListSelection(panel, kPanelList, 0);
  gAbsorberEditor.currentIndex = 0;
  ShowSelection(panel);
}

void StartEdit(Window panel) {
  if (!HasSelection(panel)) return;
  SetMode(panel, PanelMode::kEdit);
}

void StartNew(Window panel) {
  if (gAbsorberEditor.database.count >= kMaxAbsorberRecords) return;
  SetMode(panel, PanelMode::kNew);
  SetDialogText(panel, kPanelName, "NEW");
  platform::SetEditSelection(panel, kPanelName, 0, -1);
}

void StartDelete(Window panel) {
  if (!HasSelection(panel)) return;
  SetMode(panel, PanelMode::kDelete);
}

void DeleteCurrent(Window panel) {
  AbsorberDatabase& database = gAbsorberEditor.database;
  int& index = gAbsorberEditor.currentIndex;
  if (index < 0 || index >= database.count) return;
  for (int i = index; i + 1 < database.count; ++i) database.records[i] = std::move(database.records[i + 1]);
  database.records[--database.count] = {};
  platform::DeleteListItem(panel, kPanelList, index);
  if (index >= database.count) index = database.count > 0 ? database.count - 1 : 0;
  platform::SetListSelection(panel, kPanelList, database.count > 0 ? index : -1);
  gAbsorberEditor.modified = true;
}

// Stores the fields into the current record (edit) or a new one behind
// the last (new); false, after the message, when a coefficient is refused.
bool StoreFields(Window panel) {
  AbsorberRecord record;
  for (int band = 0; band < kAbsorberBandCount; ++band) {
    if (!ReadCoefficientText(GetDialogText(panel, CoefficientField(band), kCoefficientCharacters + 1),
                             record.absorption[band])) {
      MessageOwnerScope owner(panel);
      ShowMessage(kInvalidCoefficientMessage, nullptr, kMsgOk);
      return false;
    }
  }
  record.name = GetDialogText(panel, kPanelName, kNameBuffer);
  record.description = GetDialogText(panel, kPanelDescription, kTextBuffer);
  record.category = GetDialogText(panel, kPanelCategory, kTextBuffer);
  AbsorberDatabase& database = gAbsorberEditor.database;
  int& index = gAbsorberEditor.currentIndex;
  if (gAbsorberEditor.mode == PanelMode::kNew) {
    if (database.count >= kMaxAbsorberRecords) return true;
    index = database.count++;
    AddDialogListText(panel, kPanelList, record.name.c_str());
  } else {
    if (index < 0 || index >= database.count) return true;
    platform::DeleteListItem(panel, kPanelList, index);
    InsertDialogListText(panel, kPanelList, index, record.name.c_str());
  }
  database.records[index] = std::move(record);
  platform::SetListSelection(panel, kPanelList, index);
  gAbsorberEditor.modified = true;
  return true;
}

void PressOk(Window panel) {
  switch (gAbsorberEditor.mode) {
    case PanelMode::kView: return;
    case PanelMode::kDelete: DeleteCurrent(panel); break;
    case PanelMode::kEdit:
    case PanelMode::kNew:
      if (!StoreFields(panel)) return;
      break;
  }
  SetMode(panel, PanelMode::kView);
  ShowSelection(panel);
}

void PressCancel(Window panel) {
  SetMode(panel, PanelMode::kView);
  ShowSelection(panel);
}

}  // namespace

bool ReadCoefficientText(std::string_view text, float& value) {
  return ReadAbsorptionText(text, kCoefficientCharacters, value);
}

int ShowMaterialDialog() {
  if (gAbsorberEditor.panel != platform::Window::kNone) {
    platform::SendMessage(gAbsorberEditor.panel, platform::msg::kInitDialog);
    return 1;
  }
  gAbsorberEditor.panel = OpenModelessDialog(kPanelTemplate, MainWindow.window, MaterialDialogProc);
  if (gAbsorberEditor.panel == platform::Window::kNone) return 0;
  platform::InvalidateWindow(MainWindow.window);  // the splash gives way to the panel
  return 1;
}

void DestroyMaterialDialog() {
  if (gAbsorberEditor.panel != platform::Window::kNone) platform::DestroyWindow(gAbsorberEditor.panel);
}

platform::LParam MaterialDialogProc(Window panel, unsigned kind, platform::WParam wParam, platform::LParam lParam) {
  switch (kind) {
    case platform::msg::kInitDialog: Fill(panel); return 0;
    case platform::msg::kCommand:
      for (int band = 0; band < kAbsorberBandCount; ++band) FixDecimalComma(panel, CoefficientField(band));
      switch (int(platform::LowWord(wParam))) {
        case kPanelList:
          if (platform::HighWord(wParam) == platform::kNotifySelectionChange) ShowSelection(panel);
          break;
        case kPanelViewMode: SetMode(panel, PanelMode::kView); break;
        case kPanelEditMode: StartEdit(panel); break;
        case kPanelNewMode: StartNew(panel); break;
        case kPanelDeleteMode: StartDelete(panel); break;
        case kPanelOk: PressOk(panel); break;
        case kPanelCancel: PressCancel(panel); break;
      }
      return 0;
    case platform::msg::kClose: platform::DestroyWindow(panel); return 0;
    case platform::msg::kDestroy:
      platform::ResetList(panel, kPanelList);
      gAbsorberEditor.panel = platform::Window::kNone;
      gAbsorberEditor.mode = PanelMode::kView;
      return 0;
  }
  return platform::DefaultDialogProc(panel, kind, wParam, lParam);
}
