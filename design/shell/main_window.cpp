#include "design/shell/main_window.h"

#include <string>

#include "design/acoustics/level_map.h"
#include "design/model/materials.h"
#include "design/shell/design_shell.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/help.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/model/layers.h"
#include "framework/model/undo_ring.h"
#include "framework/view/pointer_input.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/menu.h"
#include "platform/window.h"

namespace {

constexpr int kGreyedMenus = 9;  // File .. Calculate; Help stays
constexpr int kButtonWidth = 40, kButtonHeight = 20, kButtonsFromBottom = 22;

void EnableMenuBar(bool enabled) {
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  for (int i = 0; i < kGreyedMenus; ++i) platform::EnableMenuBarItem(menu, i, enabled);
  platform::RedrawMenuBar(MainWindow.window);
}

// The layer and colour of a command's menu become the current ones (the
// snap layer too, but not for the audience areas, which snap to what they
// stand on); a hidden layer is shown with its objects.
void ActivateLayer(const ActiveLayerChoice& choice) {
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

class ShellHost final : public CommandHost {
 public:
  int16_t& RunningCommand() override { return gInput.activeCommand; }
  uint32_t& LastCommand() override { return gInput.lastCommand; }
  void ShowHelp(int context) override { ::ShowHelp(context, kHelpFileName); }
  void EnableMenuBar(bool enabled) override { ::EnableMenuBar(enabled); }
  void ClearSplash() override {
    if (!gDesignShell.splash) return;
    gDesignShell.splash = false;
    ClearDrawingArea();
  }
  void SetActiveLayer(const ActiveLayerChoice& choice) override { ActivateLayer(choice); }
  void ShowCommandButtons(bool show) override { ::ShowCommandButtons(show ? 1 : 0); }
  void TakeSnapshot() override { TakeUndoSnapshot(); }
  void WriteHistory() override { WriteHistoryFile(); }
  void PurgeMaterials() override { PurgeUnusedMaterials(); }
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
  void ExitProgram() override { ExitApplication(); }
};

ShellHost gHost;

bool IsFaceOrSolid(const GraphicObject* o) { return (o->kind & kKindFaceOrSolid) != 0; }

// A recent project's path as a menu text: '&' would mark a mnemonic.
std::string RecentItemText(const std::string& path) {
  std::string text;
  for (char c : path) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

platform::LParam HandleMainWindow(platform::Window window, unsigned kind, platform::WParam wParam,
                                  platform::LParam lParam) {
  switch (kind) {
    case platform::msg::kCommand:
      DispatchCommand(int(platform::LowWord(wParam)), gDesignShell.commands, gHost);
      return 0;
    case platform::msg::kClose: CloseRequested(gHost); return 0;
    case platform::msg::kDestroy:
      WriteHistoryFile();
      SetArrowCursor();
      ShutdownFramework();
      return 0;
    case platform::msg::kInitMenu: UpdateMenuState(); return 0;
    case platform::msg::kKeyDown:
      if (gViewPanel != platform::Window::kNone) platform::PostMessage(gViewPanel, kind, wParam);
      HandleDrawingKey(unsigned(wParam));
      return 0;
    case kDrawingKeyMessage: HandleDrawingKey(unsigned(wParam)); return 0;
    case platform::msg::kSetCursor:
      ViewShowCrosshair(0);
      SetArrowCursor();
      return 0;
    case platform::msg::kSize:
      if (DrawWindow->window == platform::Window::kNone || gView.layoutInProgress || IsPrinting()) return 0;
      LayoutAndRedraw();
      if (gDesignShell.splash) DrawSplash();
      return 0;
    case platform::msg::kPaint: ShowStatusText(""); return 0;
    default: return platform::DefaultWindowProc(window, kind, wParam, lParam);
  }
}

}  // namespace

platform::LParam MainWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam) {
  if (window == DrawWindow->window) return ViewWindowProc(window, kind, wParam, lParam);
  if (window == MainWindow.window) return HandleMainWindow(window, kind, wParam, lParam);
  return platform::DefaultWindowProc(window, kind, wParam, lParam);
}

platform::LParam ViewWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam) {
  const int x = platform::LowSigned(std::uintptr_t(lParam)), y = platform::HighSigned(std::uintptr_t(lParam));
  switch (kind) {
    case platform::msg::kMouseMove:
      if (IsPrinting()) return 0;
      if (wParam & platform::kMouseShift) {
        ViewShowCrosshair(0);
        SetArrowCursor();
      } else {
        TrackMousePosition(x, y);
      }
      return 0;
    case platform::msg::kLeftButtonDown:
      TrackMousePosition(x, y);
      gInput.pickFlag = true;
      return 0;
    case platform::msg::kRightButtonDown:
      if (gInput.activeCommand) gInput.endFlag = true;
      else RepeatLastCommand();
      return 0;
    case platform::msg::kHorizontalScroll:
    case platform::msg::kVerticalScroll:
      ScrollView(kind == platform::msg::kHorizontalScroll, platform::LowWord(wParam), platform::HighSigned(wParam));
      return 0;
    case platform::msg::kNonClientMouseMove: ViewShowCrosshair(0); return 0;
    case platform::msg::kSetCursor: platform::SetWindowCursor(window, platform::CursorShape::kCross); return 0;
    case platform::msg::kPaint:
      // The model drawn again covers the start-up picture for good.
      if (!gView.layoutInProgress && !IsPrinting() && !platform::IsMinimised(MainWindow.window)) {
        LayoutAndRedraw();
        SendViewPanelCommand(kPanelRefreshCoordinates);
        gDesignShell.splash = false;
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
    gDesignShell.okButton = CreatePushButton("OK", x, y, kButtonWidth, kButtonHeight, kOkButtonId);
    gDesignShell.stopButton = CreatePushButton("STOP", x + kButtonWidth, y, kButtonWidth, kButtonHeight, kStopButtonId);
    platform::ValidateWindow(MainWindow.window);
    return;
  }
  for (platform::Window* button : {&gDesignShell.okButton, &gDesignShell.stopButton}) {
    if (*button != platform::Window::kNone) DestroyControl(*button);
    *button = platform::Window::kNone;
  }
}

MenuStateInput CurrentMenuStateInput() {
  MenuStateInput in;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    switch (o->layer) {
      case kRoomLayer:
        ++in.roomObjects;
        if (IsFaceOrSolid(o)) ++in.roomFacesOrSolids;
        break;
      case kAudienceLayer: ++in.audienceObjects; break;
      case kLoudspeakerLayer: ++in.loudspeakers; break;
      case kAuxiliaryLayer: ++in.auxiliaryObjects; break;
      default: break;
    }
  }
  in.canUndo = CanUndo() != 0;
  in.canRedo = CanRedo() != 0;
  in.resultPresent = gLevelMap.resultPresent == 1;
  in.speakerDatabase = !gDesignShell.speakerDatabase.path.empty();
  in.recentProjects = gDesignShell.history.RecentCount();
  for (size_t layer = 0; layer < in.layerShown.size(); ++layer)
    in.layerShown[layer] = gLayers.IsVisible(uint32_t(layer));
  in.hiddenFaces = gDrawing.hiddenFaces != 0;
  in.nodeMarkers = gDrawing.nodeMarkers != 0;
  in.coordinateSnap = gView.coordinateSnap != 0;
  in.nodeSnap = gView.nodeSnap != 0;
  in.feet = gUnitFlag != 0;
  return in;
}

void UpdateMenuState() {
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  for (const auto& [id, state] : ComputeMenuState(CurrentMenuStateInput(), gDesignShell.commands)) {
    platform::EnableMenuItem(menu, id, state.enabled);
    platform::SetMenuItemChecked(menu, id, state.checked);
  }
  const auto& recent = gDesignShell.history.recent;
  for (int i = 0; i < kRecentProjectCount; ++i)
    if (!recent[size_t(i)].empty())
      platform::SetMenuItemText(menu, kCmdRecentProject + i, RecentItemText(recent[size_t(i)]));
  platform::RedrawMenuBar(MainWindow.window);
}
