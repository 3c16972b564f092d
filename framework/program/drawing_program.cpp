#include "framework/program/drawing_program.h"

#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/vector_font.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/core/state_reset.h"
#include "framework/editor/pointer_input.h"
#include "framework/model/graphic_object.h"
#include "framework/program/program_windows.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/window.h"

ProgramShellState gProgramShell;

void ResetProgramShell() { gProgramShell = ProgramShellState{}; }

namespace {

const StateReset kReset(ResetProgramShell);

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
  DrawResourceBitmapCentredAt(middle.x, middle.y, gProgramShell.program->splashBitmap, 1);
  SelectOutputWindow(previous);
}

int StartDrawingProgram(platform::Instance instance, const DrawingProgram& program) {
  gProgramShell.program = &program;
  SetDrawingDocument(program.document);
  if (!AllocWorkBuffers()) return 0;
  if (program.useUndoTables) program.useUndoTables();
  if (program.document.newDrawing) program.document.newDrawing();
  BuildViewRotation();

  SetTitleBase(program.title.c_str());
  InitFramework(instance, program.menu, program.windowProc);
  InitViews();
  ViewHooks hooks;
  hooks.enableCommandMenus = EnableCommandMenus;
  InstallViewHooks(hooks);
  InitPointerInput();
  SetTitleFileName(program.titleFileName);
  CreateDrawingWindow();
  SetViewAngles();
  BuildViewRotation();
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  CheckMenuItemOn(menu, kMenuWireframe);
  CheckMenuItemOff(menu, kMenuHiddenFaces);
  if (program.strokeFont) LoadVectorFont(program.strokeFont);
  if (program.readHistory) program.readHistory();

  SelectViewXY();
  ShowViewPanel(1);
  platform::ValidateWindow(MainWindow.window);
  DrawSplash();
  gProgramShell.splash = true;
  platform::SetFocus(MainWindow.window);
  SendViewPanelCommand(kPanelRefreshCoordinates);
  UpdateWindowTitle();
  gProgramShell.commands = CommandRegistry(*program.commands);
  return 1;
}

void RunDrawingProgram() { WaitForPoint(); }

void EndDrawingProgram() {
  ShowViewPanel(0);
  FreeAllObjects();
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
