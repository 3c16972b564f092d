#include "framework/program/program_windows.h"

#include <algorithm>

#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/help.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/editor/pointer_input.h"
#include "framework/model/layers.h"
#include "framework/model/undo_ring.h"
#include "framework/program/drawing_program.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/menu.h"
#include "platform/window.h"

namespace {

constexpr int kButtonWidth = 40, kButtonHeight = 20, kButtonsFromBottom = 22;

// A menu bar with fewer popups than `menus` has all of them greyed. A
// command that switches the main window's menu enables again the menu it
// greyed, not the one it put up.
void EnableMenuBar(int menus, bool enabled) {
  const platform::Menu shown = GetWindowMenu(&MainWindow);
  const platform::Menu menu =
      enabled && gProgramShell.greyedMenu != platform::Menu::kNone ? gProgramShell.greyedMenu : shown;
  gProgramShell.greyedMenu = enabled ? platform::Menu::kNone : shown;
  const int count = std::min(menus, platform::MenuBarItemCount(menu));
  for (int i = 0; i < count; ++i) platform::EnableMenuBarItem(menu, i, enabled);
  platform::RedrawMenuBar(MainWindow.window);
}

// The layer and colour of a command's menu become the current ones (the
// snap layer too, but not for the audience areas, which snap to what they
// stand on); a hidden layer is shown with its objects.
void SetActiveLayerForCommand(const ActiveLayerChoice& choice) {
  gDrawing.currentLayer = choice.layer;
  gDrawing.drawingColour = choice.colour;
  if (choice.layer != kAudienceLayer) gDrawing.snapLayer = choice.layer;
  if (gLayers.IsVisible(uint32_t(choice.layer))) return;
  gLayers.SetVisible(uint32_t(choice.layer), true);
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (o->layer != uint32_t(choice.layer) || !(o->state & kStateLayerOff)) continue;
    o->state &= ~uint32_t(kStateLayerOff);
    DrawObjects(o, o, 0);
  }
}

}  // namespace

void EnableCommandMenus(bool enabled) {
  const CommandTable* table = gProgramShell.program ? gProgramShell.program->commands : nullptr;
  if (table) EnableMenuBar(table->greyedMenus, enabled);
}

namespace {

void Run(void (*hook)()) {
  if (hook) hook();
}

class ShellHost final : public CommandHost {
 public:
  int16_t& RunningCommand() override { return gInput.activeCommand; }
  uint32_t& LastCommand() override { return gInput.lastCommand; }
  void ShowHelp(int context) override { ::ShowHelp(context, gProgramShell.program->helpFile); }
  void EnableMenuBar(int menus, bool enabled) override { ::EnableMenuBar(menus, enabled); }
  void ClearSplash() override {
    if (!gProgramShell.splash) return;
    gProgramShell.splash = false;
    ClearDrawingArea();
  }
  void SetActiveLayer(const ActiveLayerChoice& choice) override { SetActiveLayerForCommand(choice); }
  void ShowCommandButtons(bool show) override { ::ShowCommandButtons(show ? 1 : 0); }
  void TakeSnapshot() override { TakeUndoSnapshot(); }
  void WriteHistory() override { Run(gProgramShell.program->writeHistory); }
  void PurgeMaterials() override { Run(gProgramShell.program->purgeMaterials); }
  void ClearStatus() override {
    gDrawing.prompt.clear();
    ShowStatusText("");
  }
  void RequestDone() override { ::RequestDone(); }
  void RequestCancel() override { ::RequestCancel(); }
  void ForwardButton(int id) override {
    const WindowRecord* output = gOutput.currentWindow;
    if (output && output->window != platform::Window::kNone)
      platform::PostMessage(output->window, platform::msg::kCommand, platform::WParam(id));
  }
  void ExitProgram() override { Run(gProgramShell.program->exitProgram); }
};

ShellHost gHost;

}  // namespace

platform::LParam MainWindowMessage(platform::Window window, unsigned kind, platform::WParam wParam,
                                   platform::LParam lParam) {
  switch (kind) {
    case platform::msg::kCommand:
      DispatchCommand(int(platform::LowWord(wParam)), gProgramShell.commands, gHost);
      return 0;
    case platform::msg::kClose: CloseRequested(gHost); return 0;
    case platform::msg::kDestroy:
      SetArrowCursor();
      ShutdownFramework();
      return 0;
    case platform::msg::kInitMenu: Run(gProgramShell.program->updateMenuState); return 0;
    case platform::msg::kKeyDown:
      if (gViewPanel != platform::Window::kNone) platform::PostMessage(gViewPanel, kind, wParam);
      HandleDrawingKey(unsigned(wParam));
      return 0;
    case kDrawingKeyMessage: HandleDrawingKey(unsigned(wParam)); return 0;
    case platform::msg::kSetCursor:
      // Over the main window outside the drawing window.
      ShowCrosshair(0);
      SetCursorTracking(0);
      SetArrowCursor();
      return 0;
    case platform::msg::kSize:
      if (DrawWindow->window == platform::Window::kNone || gView.layoutInProgress || IsPrinting()) return 0;
      LayoutAndRedraw();
      if (gProgramShell.splash) DrawSplash();
      return 0;
    case platform::msg::kPaint: ShowStatusText(""); return 0;
    default: return platform::DefaultWindowProc(window, kind, wParam, lParam);
  }
}

platform::LParam ViewWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam) {
  const int x = platform::LowSigned(std::uintptr_t(lParam)), y = platform::HighSigned(std::uintptr_t(lParam));
  switch (kind) {
    case platform::msg::kMouseMove:
      if (IsPrinting()) return 0;
      // With Control held the crosshair goes and the arrow shows.
      if (wParam & platform::kMouseControl) {
        ShowCrosshair(0);
        SetArrowCursor();
      } else {
        TrackMousePosition(x, y);
      }
      return 0;
    case platform::msg::kLeftButtonDown:
      if (IsPrinting()) return 0;
      SetCursorTracking(1);
      TakeMouseClick(x, y);
      return 0;
    case platform::msg::kRightButtonDown:
      if (gInput.activeCommand) gInput.endFlag = true;
      else RepeatLastCommand();
      return 0;
    case platform::msg::kHorizontalScroll:
    case platform::msg::kVerticalScroll:
      ScrollView(kind == platform::msg::kHorizontalScroll, platform::LowWord(wParam), platform::HighSigned(wParam));
      return 0;
    case platform::msg::kNonClientMouseMove: ShowCrosshair(0); return 0;
    case platform::msg::kSetCursor:
      // The window draws its own crosshair.
      SetCursorTracking(1);
      HideCursor();
      return 0;
    case platform::msg::kPaint:
      // The model drawn again covers the start-up picture for good.
      if (!gView.layoutInProgress && !IsPrinting() && !platform::IsMinimised(MainWindow.window)) {
        LayoutAndRedraw();
        SendViewPanelCommand(kPanelRefreshCoordinates);
        gProgramShell.splash = false;
      }
      platform::ValidateWindow(window);
      return 0;
    default: return platform::DefaultWindowProc(window, kind, wParam, lParam);
  }
}

void ShowCommandButtons(int on) {
  if (on) {
    const platform::Size client = platform::GetClientSize(MainWindow.window);
    const int x = client.width / 2 - kButtonWidth, y = client.height - kButtonsFromBottom;
    gProgramShell.okButton = CreatePushButton("OK", x, y, kButtonWidth, kButtonHeight, kOkButtonId);
    gProgramShell.stopButton =
        CreatePushButton("STOP", x + kButtonWidth, y, kButtonWidth, kButtonHeight, kStopButtonId);
    platform::ValidateWindow(MainWindow.window);
    return;
  }
  for (platform::Window* button : {&gProgramShell.okButton, &gProgramShell.stopButton}) {
    if (*button != platform::Window::kNone) DestroyControl(*button);
    *button = platform::Window::kNone;
  }
}

void ApplyMenuState(const std::map<int, MenuItemState>& states) {
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  for (const auto& [id, state] : states) {
    platform::EnableMenuItem(menu, id, state.enabled);
    platform::SetMenuItemChecked(menu, id, state.checked);
  }
}

void CopyDrawingToClipboard() {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  ViewShowCrosshair(0);
  const int16_t pen = GetPenColor();
  SetPenColor(0);
  DrawRectangle({0, 0, DrawWindow->right - 1, DrawWindow->bottom - 1}, 0);  // its last column and row
  SetPenColor(pen);
  CopyViewToClipboard();
  ViewShowCrosshair(1);
  SelectOutputWindow(previous);
}
