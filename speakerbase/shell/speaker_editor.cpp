#include "speakerbase/shell/speaker_editor.h"

#include <new>

#include "design/model/shape_file.h"
#include "framework/base/bitmaps.h"
#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"
#include "framework/model/undo_ring.h"
#include "framework/program/drawing_program.h"
#include "framework/program/program_windows.h"
#include "framework/view/rendering.h"
#include "framework/view/view_keys.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/menu.h"
#include "platform/window.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/record_view_windows.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_commands.h"

SpeakerEditorState gSpeakerEditor;

namespace {

const StateReset kReset(ResetSpeakerEditor);

constexpr float kSpeakerDrawingScale = 200.0f;  // pixels per metre
constexpr float kSpeakerSnapStep = 0.01f;       // m

// Password field of the prompt, and its buttons.
inline constexpr char kPasswordDialog[] = "PASSWORD";
constexpr int kPasswordField = 105, kPasswordOk = 102, kPasswordCancel = 103;

const DrawingProgram& SpeakerEditorProgram() {
  static const DrawingProgram program = [] {
    DrawingProgram p;
    p.title = std::string(kSpeakerEditorTitle) + kSpeakerEditorVersion;
    p.menu = kStartMenu;
    p.helpFile = kSpeakerHelpFile;
    p.splashBitmap = kSpeakerSplashBitmap;
    p.commands = &SpeakerEditorCommandTable();
    p.windowProc = SpeakerEditorWindowProc;
    p.document = {ResetSpeakerDrawing, &gSpeakerEditor.drawingModified};
    p.titleFileName = &gSpeakerEditor.titleName;
    // The undo snapshots carry the layers and objects only.
    p.useUndoTables = [] { SetUndoSections(nullptr, nullptr); };
    p.updateMenuState = UpdateSpeakerMenuState;
    p.exitProgram = QuitSpeakerEditor;
    return p;
  }();
  return program;
}

// The record's shape as new objects of the drawing list.
void CopyShapeToDrawing(const ObjectList& shape) {
  for (const GraphicObject* o = shape.first; o; o = o->next)
    if (GraphicObject* copy = CloneObject(o)) AppendObject(copy);
}

// The drawing, copied, becomes the current record's shape.
void StoreDrawingInRecord() {
  SpeakerDatabase& db = gSpeakerEditor.database;
  OwnedObjectList shape;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (GraphicObject* copy = CloneObject(o)) AppendObjectToList(copy, shape.list());
  db.records[size_t(db.currentRecordIndex)].shape = std::move(shape);
  db.modified = true;
}

void ShowDatabaseMode() {
  FreeAllObjects();
  ClearUndoRing();
  platform::SetWindowMenu(MainWindow.window, gSpeakerEditor.databaseMenu);
  platform::ShowWindow(gSpeakerEditor.drawingWindow, platform::ShowMode::kHide);
  ShowViewPanel(0);
  SetViewWindow(&MainWindow);
  SelectOutputWindow(&MainWindow);
  ShowRecordSelector(true);
  gSpeakerEditor.drawingMode = false;
  UpdateSpeakerTitle();
  platform::InvalidateWindow(MainWindow.window);
}

// The symbol resource `name`; none when it is missing.
GraphicObject* ReadSymbolResource(const char* name) {
  const auto block = LoadRcDataResource(name);
  return block ? ReadShapeResource(*block) : nullptr;
}

bool HasDrawing() { return gObjects.model.first != nullptr; }

// The answer of the password prompt open now.
std::string* gPasswordAnswer = nullptr;

platform::LParam PasswordDialogProc(platform::Window dialog, unsigned kind, platform::WParam wParam,
                                    platform::LParam lParam) {
  if (kind == platform::msg::kInitDialog) {
    platform::SetEditLimit(dialog, kPasswordField, int(kTypePasswordSize));
    return 0;
  }
  if (kind != platform::msg::kCommand) return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  const int id = int(platform::LowWord(wParam));
  if (id == kPasswordOk || id == platform::kIdOk) {
    if (gPasswordAnswer) *gPasswordAnswer = GetDialogText(dialog, kPasswordField, kTypePasswordSize + 1);
    platform::EndDialog(dialog, 1);
  } else if (id == kPasswordCancel || id == platform::kIdCancel) {
    platform::EndDialog(dialog, 0);
  }
  return 0;
}

}  // namespace

void ResetSpeakerEditor() { gSpeakerEditor = SpeakerEditorState{}; }

void ResetSpeakerDrawing() {
  ResetDrawing();
  gView.scale = kSpeakerDrawingScale;
  gView.snapStep = kSpeakerSnapStep;
  for (int layer = 1; layer < kLayerCount; ++layer) gLayers.SetVisible(uint32_t(layer), false);
  gSpeakerEditor.drawingName = kNewSpeakerDrawingName;
  gSpeakerEditor.drawingModified = 0;
  // The title the framework updates next shows the new drawing.
  if (gSpeakerEditor.drawingMode) gSpeakerEditor.titleName = gSpeakerEditor.drawingName;
}

int AllocSpeakerTables(SpeakerDatabase& database, size_t records) {
  try {
    database.records.reserve(records);
  } catch (const std::bad_alloc&) {
    ShowMessage(kStartMemoryMessage, nullptr, kMsgOk);
    return 0;
  }
  return 1;
}

int StartSpeakerEditor(platform::Instance instance) {
  if (!StartDrawingProgram(instance, SpeakerEditorProgram())) return 0;
  // After the framework, so that the message shows in its box.
  if (!AllocSpeakerTables(gSpeakerEditor.database, kMaxDatabaseRecords)) return 0;
  gSpeakerEditor.drawingRecord = DrawWindow;
  gSpeakerEditor.drawingWindow = DrawWindow->window;
  // The start menu gives way to the database menu; the drawing menu waits.
  const platform::Menu startMenu = platform::GetWindowMenu(MainWindow.window);
  gSpeakerEditor.databaseMenu = platform::LoadMenu(instance, kDatabaseMenu);
  gSpeakerEditor.drawingMenu = platform::LoadMenu(instance, kDrawingMenu);
  platform::SetWindowMenu(MainWindow.window, gSpeakerEditor.databaseMenu);
  platform::DestroyMenu(startMenu);

  gRender.axisCross = ReadSymbolResource("XYZ_CROSS");
  if (gRender.axisCross && gRender.axisCross->vertexCount >= 2) gRender.axisCross->vertexCount -= 2;

  BindSpeakerEditorCommands(gProgramShell.commands);
  CreateRecordSelector();
  ShowDatabaseMode();
  DrawSplash();
  gProgramShell.splash = true;
  platform::SetFocus(MainWindow.window);
  return 1;
}

void AskSessionPassword() {
  for (;;) {
    std::string password;
    gPasswordAnswer = &password;
    RunModalDialog(kPasswordDialog, MainWindow.window, PasswordDialogProc);
    gPasswordAnswer = nullptr;
    if (!password.empty()) {
      gSpeakerEditor.session = MakeSessionOwnerBlock(password);
      return;
    }
    if (ShowMessage(kNoPasswordMessage, kWarningCaption, kMsgOkCancel) != kIdOk) return;
  }
}

void RunSpeakerEditor() { RunDrawingProgram(); }

void EndSpeakerEditor() {
  DestroyRecordSelector();
  if (gRender.axisCross) gRender.axisCross->vertexCount += 2;
  FreeObject(gRender.axisCross);
  gRender.axisCross = nullptr;
  // The menu not on the window goes with it; the one on it goes with the window.
  for (platform::Menu menu : {gSpeakerEditor.databaseMenu, gSpeakerEditor.drawingMenu})
    if (menu != platform::Menu::kNone &&
        (!platform::IsWindow(MainWindow.window) || menu != platform::GetWindowMenu(MainWindow.window)))
      platform::DestroyMenu(menu);
  gSpeakerEditor.databaseMenu = gSpeakerEditor.drawingMenu = platform::Menu::kNone;
  EndDrawingProgram();
  ResetSpeakerDatabase(gSpeakerEditor.database);
}

void UpdateSpeakerTitle() {
  gSpeakerEditor.titleName = gSpeakerEditor.drawingMode ? gSpeakerEditor.drawingName : gSpeakerEditor.database.fileName;
  UpdateWindowTitle();
}

namespace {

// The drawing window's procedure: the skeleton's handling of a view window.
platform::LParam DrawingWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                   platform::LParam lParam) {
  return ViewWindowProc(window, kind, wParam, lParam);
}

}  // namespace

platform::LParam SpeakerEditorWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                         platform::LParam lParam) {
  if (window == gSpeakerEditor.drawingWindow) return DrawingWindowProc(window, kind, wParam, lParam);
  if (IsRecordViewWindow(window)) return RecordViewWindowProc(window, kind, wParam, lParam);
  if (window != MainWindow.window) return platform::DefaultWindowProc(window, kind, wParam, lParam);
  if (!gSpeakerEditor.drawingMode) {
    // In database mode the main window itself is the view window, and no
    // drawing shows: a new size has no drawing to lay out, only the open
    // record view to follow it, and the view keys have nothing to act on.
    if (kind == platform::msg::kSize) {
      FitRecordView();
      if (gProgramShell.splash) DrawSplash();
      return 0;
    }
    if ((kind == platform::msg::kKeyDown || kind == kDrawingKeyMessage) && IsViewKey(unsigned(wParam))) return 0;
  }
  return MainWindowMessage(window, kind, wParam, lParam);
}

void UpdateSpeakerMenuState() {
  const SpeakerDatabase& db = gSpeakerEditor.database;
  const bool records = !db.records.empty(), drawing = HasDrawing(), canUndo = CanUndo() != 0;
  const MenuRule allowed = [&](int id) {
    if (gSpeakerEditor.drawingMode) {
      if (id == kCmdUndoDrawing) return canUndo;
      const bool needsObjects = id == kCmdSaveDrawing || id == kCmdPlotRegion || id == kCmdZoomAll ||
                                id == kCmdZoomWindow || (id >= kSpeakerEditBase + 1 && id <= kSpeakerEditBase + 15);
      return !needsObjects || drawing;
    }
    const bool needsRecord = (id >= kCmdDataSheet && id <= kCmdBalloons) || id == kCmdSaveDatabaseAs ||
                             (id >= kCmdDeleteSpeaker && id <= kCmdRotateMinus5);
    return !needsRecord || records;
  };
  const MenuRule checked = [](int id) {
    switch (id) {
      case kCmdCoordinateSnapOff: return gView.coordinateSnap == 0;
      case kCmdCoordinateSnapOn: return gView.coordinateSnap != 0;
      case kCmdNodeSnapOff: return gView.nodeSnap == 0;
      case kCmdNodeSnapOn: return gView.nodeSnap != 0;
      case kCmdWireframe: return gDrawing.hiddenFaces == 0;
      case kCmdHiddenFaces: return gDrawing.hiddenFaces != 0;
      case kCmdGrid: return gLayers.IsVisible(kGridLayer);
      default: return false;
    }
  };
  ApplyMenuState(ComputeMenuItemStates(gProgramShell.commands, allowed, checked));
  platform::RedrawMenuBar(MainWindow.window);
}

void EnterDrawingMode() {
  SpeakerDatabase& db = gSpeakerEditor.database;
  FreeAllObjects();
  ClearUndoRing();
  if (!db.records.empty()) CopyShapeToDrawing(db.records[size_t(db.currentRecordIndex)].shape.list());
  ShowRecordSelector(false);
  platform::SetWindowMenu(MainWindow.window, gSpeakerEditor.drawingMenu);
  SetViewWindow(gSpeakerEditor.drawingRecord);
  SelectOutputWindow(gSpeakerEditor.drawingRecord);
  platform::ShowWindow(gSpeakerEditor.drawingWindow, platform::ShowMode::kShow);
  platform::InvalidateWindow(gSpeakerEditor.drawingWindow);
  ShowViewPanel(1);
  gSpeakerEditor.drawingMode = true;
  UpdateSpeakerTitle();
  platform::UpdateWindow(MainWindow.window);
  platform::SetFocus(MainWindow.window);
}

void LeaveDrawingMode() {
  SpeakerDatabase& db = gSpeakerEditor.database;
  if (HasDrawing() && db.records.empty()) {
    if (ShowMessage(kStoreDrawingMessage, kNoSpeakerCaption, kMsgOkCancel) == kIdOk) {
      CmdSaveDrawing();
      return;
    }
  } else if (HasDrawing()) {
    StoreDrawingInRecord();
  }
  ShowDatabaseMode();
}

void ExitSpeakerEditor() { ExitApplication(); }

void QuitSpeakerEditor() {
  // A drawing not yet taken into its record would go unasked.
  if (gSpeakerEditor.drawingMode && HasDrawing() && !gSpeakerEditor.database.records.empty()) StoreDrawingInRecord();
  if (!ConfirmDiscardDatabase(gSpeakerEditor.database)) return;
  ExitSpeakerEditor();
}
