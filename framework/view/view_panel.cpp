#include "framework/view/view_panel.h"

#include <cstdio>

#include "framework/base/bitmaps.h"
#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/settings_prompts.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/dialog.h"
#include "platform/window.h"

platform::Window gViewPanel = platform::Window::kNone;

namespace {

constexpr int kFirstViewButton = 101, kLastViewButton = 104;
constexpr int kHiddenFacesBox = 108, kCoordinateSnapBox = 109, kNodeSnapBox = 110;
constexpr int kPrintButton = 111, kCopyButton = 112, kCommentButton = 113;
constexpr int kFirstReadout = 201;
constexpr platform::Colour kReadoutRed = 0x0000FF, kWhite = 0xFFFFFF;

// The key each button stands for.
unsigned KeyOfButton(int id) {
  switch (id) {
    case 101: return platform::KeyF(1);
    case 102: return platform::KeyF(2);
    case 103: return platform::KeyF(3);
    case 104: return platform::KeyF(4);
    case 105: return platform::KeyF(5);
    case 106: return platform::KeyF(6);
    case 107: return platform::KeyF(7);
    case kHiddenFacesBox: return platform::KeyF(8);
    case kCoordinateSnapBox: return platform::KeyF(9);
    case kNodeSnapBox: return platform::KeyF(11);
    default: return 0;
  }
}

bool IsSwitchKey(platform::WParam key) {
  return (key >= platform::KeyF(1) && key <= platform::KeyF(4)) || key == platform::KeyF(8) ||
         key == platform::KeyF(9) || key == platform::KeyF(11);
}

void ShowSwitches(platform::Window panel) {
  if (gView.mode <= kView3D)
    platform::CheckRadioButton(panel, kFirstViewButton, kLastViewButton, kFirstViewButton + gView.mode);
  else platform::CheckRadioButton(panel, kFirstViewButton, kLastViewButton, 0);
  platform::CheckDialogButton(panel, kHiddenFacesBox, gDrawing.hiddenFaces != 0);
  platform::CheckDialogButton(panel, kCoordinateSnapBox, gView.coordinateSnap != 0);
  platform::CheckDialogButton(panel, kNodeSnapBox, gView.nodeSnap != 0);
}

// The read-out of one axis (0 x, 1 y, 2 z) of the cursor point.
void ShowCoordinate(platform::Window panel, int axis, const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  SetDialogText(panel, kFirstReadout + axis, text);
}

double CursorCoordinate(int axis) {
  const ObjectVertex& p = gInput.cursorPoint;
  return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// The read-outs of the axes that view `mode` shows.
void ShowCoordinates(platform::Window panel, int mode) {
  static constexpr bool kShown[5][3] = {
      {true, true, false}, {false, true, true}, {true, false, true}, {true, true, true}, {false, false, false}};
  const char* format = gUnitFlag ? "%0.2f" : "%0.3f";
  for (int axis = 0; axis < 3; ++axis)
    if (kShown[mode][axis]) ShowCoordinate(panel, axis, format, LengthInUserUnit(CursorCoordinate(axis)));
}

// The switches, the print, copy and comment buttons and the read-outs in
// the normal weight of the panel's bold font.
void SetNormalWeights(platform::Window panel) {
  for (int id : {kHiddenFacesBox, kCoordinateSnapBox, kNodeSnapBox, kPrintButton, kCopyButton, kCommentButton,
                 kFirstReadout, kFirstReadout + 1, kFirstReadout + 2})
    platform::SetControlFontWeight(platform::GetDialogItem(panel, id), false);
}

void SetColours(platform::Window panel) {
  for (int id : {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, kPrintButton, kCopyButton, kCommentButton})
    platform::SetControlColours(platform::GetDialogItem(panel, id), 0, kLightGrey);
  for (int axis = 0; axis < 3; ++axis)
    platform::SetControlColours(platform::GetDialogItem(panel, kFirstReadout + axis), kReadoutRed, kWhite);
}

// The drawing window onto the clipboard.
void CopyDrawingWindow() {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  CopyViewToClipboard();
  SelectOutputWindow(previous);
}

}  // namespace

platform::Window ShowViewPanel(int show) {
  if (gViewPanel != platform::Window::kNone) platform::DestroyWindow(gViewPanel);
  gViewPanel = show ? platform::CreateDialog(gFramework.instance, "3DPANEL", MainWindow.window, ViewPanelProc)
                    : platform::Window::kNone;
  // The keys stay with the main window, as after every button.
  platform::SetFocus(MainWindow.window);
  return gViewPanel;
}

void SendViewPanelCommand(int command) {
  if (gViewPanel != platform::Window::kNone)
    platform::SendMessage(gViewPanel, platform::msg::kCommand, platform::WParam(command));
}

void ShowAllViewPanelCoordinates() {
  if (gViewPanel != platform::Window::kNone) ShowCoordinates(gViewPanel, kView3D);
}

platform::LParam ViewPanelProc(platform::Window panel, unsigned kind, platform::WParam wParam,
                               platform::LParam lParam) {
  switch (kind) {
    case platform::msg::kInitDialog:
      SetNormalWeights(panel);
      SetColours(panel);
      ShowSwitches(panel);
      // All three, in the unit in use like every later read-out.
      ShowCoordinates(panel, kView3D);
      return 0;
    case platform::msg::kCommand: {
      const int id = int(platform::LowWord(wParam));
      if (id == kPanelRefreshCoordinates) {
        ShowCoordinates(panel, gView.mode);
      } else if (id == kPanelRefreshSwitches) {
        ShowSwitches(panel);
      } else if (const unsigned key = KeyOfButton(id)) {
        platform::PostMessage(MainWindow.window, kDrawingKeyMessage, key);
        platform::SetFocus(MainWindow.window);
      } else if (id == kPrintButton || id == kCopyButton || id == kCommentButton) {
        platform::SetFocus(MainWindow.window);
        // One command at a time: a running command's progress window hands
        // on the clicks on the panel as well.
        if (gInput.activeCommand != 0) return 0;
        InternalCommandScope command;
        if (id == kPrintButton) PrintView();
        if (id == kCopyButton) CopyDrawingWindow();
        if (id == kCommentButton) PromptComment();
        ClearRequestFlags();
      }
      return 0;
    }
    case platform::msg::kKeyDown:
      if (IsSwitchKey(wParam)) ShowSwitches(panel);
      return 0;
    case platform::msg::kDestroy:
      if (panel == gViewPanel) gViewPanel = platform::Window::kNone;
      return 0;
    default: return platform::DefaultDialogProc(panel, kind, wParam, lParam);
  }
}
