#include "absorberbase/absorber_editor.h"

#include "absorberbase/absorber_listing.h"
#include "absorberbase/absorber_sort.h"
#include "absorberbase/material_panel.h"
#include "framework/base/bitmaps.h"
#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/core/text_encoding.h"
#include "platform/dialog.h"
#include "platform/drawing.h"
#include "platform/window.h"

AbsorberEditorState gAbsorberEditor;

void ResetAbsorberEditor() { gAbsorberEditor = {}; }

namespace {
const StateReset kReset(ResetAbsorberEditor);
}  // namespace

namespace {

// The title: the program's name followed by `suffix` (code page 1252).
void SetEditorTitle(const std::string& suffix) {
  const std::string title = kAbsorberEditorTitle + suffix;
  SetMainTitle(title.c_str());
  if (MainWindow.window != platform::Window::kNone) platform::SetWindowText(MainWindow.window, Cp1252ToUtf8(title));
}

// The path the last file dialog chose, with the database extension.
std::string ChosenDatabasePath() {
  return ForceExtension(GetDialogDirectory() + GetDialogFileName(), kAbsorberDatabaseExtension);
}

void SortDatabase(AbsorberComparison compare) {
  SortAbsorberDatabase(gAbsorberEditor.database, compare);
  if (gAbsorberEditor.panel != platform::Window::kNone) ShowMaterialDialog();
}

// A command for the panel, which ignores it unless it is open.
void SendToPanel(int command) {
  if (gAbsorberEditor.panel != platform::Window::kNone)
    platform::SendMessage(gAbsorberEditor.panel, platform::msg::kCommand, platform::CommandParam(command, 0));
}

// The main window's background, with the splash bitmap in the middle
// until the record panel shows. The window system may size the window
// after start-up, so the splash is drawn again on every paint.
void PaintMainWindow() {
  const platform::Size client = platform::GetClientSize(MainWindow.window);
  MainWindow.right = client.width;  // where the drawing layer centres
  MainWindow.bottom = client.height;
  WindowRecord* previous = SelectOutputWindow(&MainWindow);
  platform::FillRect(gOutput.context, {0, 0, MainWindow.right, MainWindow.bottom},
                     platform::GetStockBrush(platform::StockBrush::kLightGrey));
  if (gAbsorberEditor.panel == platform::Window::kNone) DrawResourceBitmapCentred("KABBMP290", 1);
  SelectOutputWindow(previous);
}

void RunCommand(int id) {
  switch (id) {
    case kCmdNew: NewAbsorberDatabase(); break;
    case kCmdOpen:
      OpenAbsorberDatabase();
      ShowMaterialDialog();
      break;
    case kCmdSaveAs: SaveAbsorberDatabaseAs(); break;
    case kCmdPrint: PrintAbsorberDatabase(gAbsorberEditor.database, Utf8ToCp1252(gAbsorberEditor.fileName)); break;
    case kCmdExit:
      if (ConfirmDiscardChanges()) platform::DestroyWindow(MainWindow.window);
      break;
    case kCmdAddRecord:
      if (gAbsorberEditor.database.count >= kMaxAbsorberRecords) ShowMessage(kTooManyMaterialsMessage, nullptr, kMsgOk);
      else SendToPanel(kPanelNewMode);
      break;
    case kCmdDeleteRecord: SendToPanel(kPanelDeleteMode); break;
    case kCmdEditRecord: SendToPanel(kPanelEditMode); break;
    case kCmdSortByCategories: SortDatabase(CompareByCategoryThenName); break;
    case kCmdSortByNames: SortDatabase(CompareByNameThenCategory); break;
  }
}

}  // namespace

void StartAbsorberEditor(platform::Instance instance) {
  SetMainTitle((std::string(kAbsorberEditorTitle) + kAbsorberEditorVersion).c_str());
  InitFramework(instance, "KAB", AbsorberEditorWindowProc);
  gAbsorberEditor = {};
  PaintMainWindow();
}

void DispatchAbsorberEditorMessage(const platform::Message& message) {
  const platform::Window panel = gAbsorberEditor.panel;
  if (panel == platform::Window::kNone || !platform::IsDialogMessage(panel, message))
    platform::DispatchMessage(message);
}

void RunAbsorberEditorLoop() {
  platform::Message message;
  while (platform::GetMessage(message)) DispatchAbsorberEditorMessage(message);
}

platform::LParam AbsorberEditorWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                          platform::LParam lParam) {
  if (window == MainWindow.window) {
    switch (kind) {
      case platform::msg::kPaint: PaintMainWindow(); return 0;
      case platform::msg::kClose:
        if (ConfirmDiscardChanges()) platform::DestroyWindow(window);
        return 0;
      case platform::msg::kDestroy:
        DestroyMaterialDialog();
        ShutdownFramework();
        return 0;
      case platform::msg::kCommand: RunCommand(int(platform::LowWord(wParam))); return 0;
    }
  }
  return platform::DefaultWindowProc(window, kind, wParam, lParam);
}

bool ConfirmDiscardChanges() {
  return !gAbsorberEditor.modified || ShowMessage(kDatabaseNotSavedMessage, "Warning", kMsgOkCancel) == kIdOk;
}

void NewAbsorberDatabase() {
  if (!ConfirmDiscardChanges()) return;
  gAbsorberEditor.fileName.clear();
  gAbsorberEditor.partlyReadFile.clear();
  gAbsorberEditor.database = {};
  gAbsorberEditor.modified = false;
  SetEditorTitle(kAbsorberEditorVersion);
  ShowMaterialDialog();
}

void OpenAbsorberDatabase() {
  if (!ConfirmDiscardChanges() || !OpenFileDialog(kAbsorberDatabaseFilter, nullptr)) return;
  OpenAbsorberDatabaseFile(ChosenDatabasePath());
}

int OpenAbsorberDatabaseFile(const std::string& path) {
  bool partlyRead = false;
  const int result = ReadAbsorberDatabaseFile(path, gAbsorberEditor.database, kInvalidDatabaseMessage, &partlyRead);
  if (result == 1) {
    SetDialogDirectory(FolderOfPath(path));  // the next file dialog starts beside it
    gAbsorberEditor.fileName = path;
    gAbsorberEditor.partlyReadFile = partlyRead ? path : std::string();
    gAbsorberEditor.modified = false;
    SetEditorTitle(Utf8ToCp1252(path));
  }
  return result;
}

void SaveAbsorberDatabaseAs() {
  AbsorberEditorState& editor = gAbsorberEditor;
  const std::string proposed = ProposedDatabaseSaveName(editor.fileName, editor.partlyReadFile);
  if (!SaveFileDialog(kAbsorberDatabaseFilter, proposed.c_str())) return;
  const std::string path = ChosenDatabasePath();
  if (!ConfirmDatabaseSaveTo(path, editor.partlyReadFile) || !WriteAbsorberDatabaseFile(path, editor.database)) return;
  if (IsSameFile(path, editor.partlyReadFile)) editor.partlyReadFile.clear();
  editor.fileName = path;
  editor.modified = false;
  SetEditorTitle(Utf8ToCp1252(path));
}
