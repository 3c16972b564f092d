#include "design/shell/design_shell.h"

#include "design/document/project_document.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/model/shape_file.h"
#include "design/model/undo_tables.h"
#include "design/shell/design_commands.h"
#include "design/shell/main_window.h"
#include "design/shell/project_commands.h"
#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/vector_font.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/core/geometry.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/window.h"

DesignShellState gDesignShell;

void ResetDesignShell() { gDesignShell = DesignShellState{}; }

namespace {

// The shape template `name` of the resources; none when it is missing.
GraphicObject* LoadShapeTemplate(const char* name) {
  const auto block = LoadRcDataResource(name);
  return block ? ReadShapeResource(*block) : nullptr;
}

void CreateDrawingWindow() {
  const platform::Size client = platform::GetClientSize(MainWindow.window);
  DrawWindow->window =
      CreateChildWindow("", platform::kStyleBorder | platform::kStyleHorizontalScroll | platform::kStyleVerticalScroll,
                        kDrawMarginLeft, kDrawMarginTop, client.width - kDrawMarginLeft - kDrawMarginRight,
                        client.height - kDrawMarginTop - kDrawMarginBottom, kDrawingWindowId);
  // Until the crosshair is drawn, the system's cross shows the pointer.
  platform::SetWindowCursor(DrawWindow->window, platform::CursorShape::kCross);
  SetViewWindow(DrawWindow);
  SelectOutputWindow(&MainWindow);
  platform::UpdateWindow(MainWindow.window);
}

}  // namespace

void DrawSplash() {
  ClearDrawingArea();
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  // In the middle of the main window, on the drawing window that covers it.
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  const platform::Point middle =
      platform::MapClientPoint(MainWindow.window, DrawWindow->window, {main.width / 2, main.height / 2});
  DrawResourceBitmapCentredAt(middle.x, middle.y, kSplashBitmap, 1);
  SelectOutputWindow(previous);
}

void StartNewProject() {
  ResetDrawing();
  NewProject();
  ApplyProjectSettingsToView();
  gProject.modified = 0;
}

int StartDesignProgram(platform::Instance instance) {
  SetDrawingDocument({StartNewProject, &gProject.modified});
  if (!AllocWorkBuffers()) return 0;
  UseProjectTablesForUndo();
  StartNewProject();
  BuildViewRotation();

  SetMainTitle((std::string(kDesignTitle) + kDesignVersion).c_str());
  InitFramework(instance, kDesignMenu, MainWindowProc);
  InitViews();
  SetTitleFileName(&gProject.path);
  CreateDrawingWindow();
  SetViewAngles();
  BuildViewRotation();
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  CheckMenuItemOn(menu, kMenuWireframe);
  CheckMenuItemOff(menu, kMenuHiddenFaces);
  LoadVectorFont("STANDARDFONT");
  ReadHistoryFile();

  SelectViewXY();
  ShowViewPanel(1);
  platform::ValidateWindow(MainWindow.window);
  DrawSplash();
  gDesignShell.splash = true;
  platform::SetFocus(MainWindow.window);
  SendViewPanelCommand(kPanelRefreshCoordinates);
  UpdateWindowTitle();
  gSpeakerModel.defaultSymbol = LoadShapeTemplate("LSTMPL");
  // The axis cross is drawn without its two reference points.
  gRender.axisCross = LoadShapeTemplate("XYZ_CROSS");
  if (gRender.axisCross && gRender.axisCross->vertexCount >= 2) gRender.axisCross->vertexCount -= 2;

  BindDesignCommands(gDesignShell.commands);
  UpdateMenuState();
  return 1;
}

void RunDesignProgram() { WaitForPoint(); }

void EndDesignProgram() {
  ShowViewPanel(0);
  FreeAllObjects();
  FreeObject(gSpeakerModel.defaultSymbol);
  gSpeakerModel.defaultSymbol = nullptr;
  if (gRender.axisCross) gRender.axisCross->vertexCount += 2;
  FreeObject(gRender.axisCross);
  gRender.axisCross = nullptr;
  FreeVectorFont();
  FreeWorkBuffers();
  UnregisterFrameworkClasses();
}

void ExitApplication() {
  ConfirmDiscardProject();
  if (gInput.cancel) {
    ClearRequestFlags();
    return;
  }
  ResetDrawing();
  platform::DestroyWindow(MainWindow.window);
}

std::string HistoryFilePath() { return GetStartDirectory() + "/" + kHistoryFileName; }

int ReadHistoryFile() {
  HistoryRecord record;
  if (!LoadHistoryRecord(HistoryFilePath(), record)) return 0;
  gUnitFlag = record.unitFlag;
  gProject.lastProjectFolder = record.projectFolder;
  gDesignShell.speakerDatabase.folder = record.speakerDatabaseFolder;
  gDesignShell.history = std::move(record);
  return 1;
}

int WriteHistoryFile() {
  HistoryRecord& record = gDesignShell.history;
  PushRecentProject(record, gProject.path);
  record.unitFlag = gUnitFlag;
  record.projectFolder = gProject.lastProjectFolder;
  record.speakerDatabaseFolder = gDesignShell.speakerDatabase.folder;
  return StoreHistoryRecord(HistoryFilePath(), record);
}
