// A small program to look at the framework's windows: a main window with the
// SMOKE menu, a drawing window inside the margins, a picture drawn on
// Draw/Picture or F2, the test dialog on Options/Dialog..., the window
// printed on File/Print... and copied on File/Copy. The status line under
// the drawing window tells which window the last key and click reached.
// Draw/Room shows a box room with an audience area and a pillar in the
// framework's views, with the design program's view panel and dialogs: the
// function keys and arrows work as in the programs (F6 zooms in at each
// left click until a right click, Enter or Escape), and View/Perspective
// from inside looks out along the room.
//
//   korvane_smoke [--room plan|3d|perspective] [--screenshot FILE]
//
// `--room` starts with the room in that view with hidden faces;
// `--screenshot FILE` (without --room: the picture and a progress window)
// writes a screenshot of the whole screen and ends.
#include <cstdio>
#include <cstring>
#include <string>

#include "framework/base/bitmaps.h"
#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/progress_window.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/model/graphic_object.h"
#include "framework/view/rendering.h"
#include "framework/view/view_keys.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/application.h"
#include "platform/system.h"
#include "platform/test_seams.h"
#include "platform/window.h"

namespace {

constexpr int kCmdNew = 101, kCmdPrint = 107, kCmdCopy = 210, kCmdDialog = 520, kCmdPerspective = 616,
              kCmdPicture = 4201, kCmdClear = 4202, kCmdRoom = 4203, kCmdExit = 199;
enum class Shown { kNothing, kPicture, kRoom };
Shown gShown = Shown::kNothing;
std::string gStatus = "Click into the drawing window, then press F2 or Escape.";
const std::string gFileName = "smoke room.kpr";
// The room's dialogs and view panel are the design program's; the rest is
// the smoke program's own.
platform::Instance gSmokeInstance = platform::Instance::kNone, gDesignInstance = platform::Instance::kNone;

void LayOut() {
  platform::Size client = platform::GetClientSize(MainWindow.window);
  MainWindow.right = client.width;
  MainWindow.bottom = client.height;
  int width = client.width - kDrawMarginLeft - kDrawMarginRight,
      height = client.height - kDrawMarginTop - kDrawMarginBottom;
  platform::MoveWindow(DrawWindow->window, kDrawMarginLeft, kDrawMarginTop, width, height, true);
  platform::Size inner = platform::GetClientSize(DrawWindow->window);
  DrawWindow->right = inner.width;
  DrawWindow->bottom = inner.height;
}

void ShowStatus(const std::string& text) {
  gStatus = text;
  ShowStatusText(gStatus.c_str());
}

void DrawPicture() {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  SetBrushColor(30);
  SelectNullPen(1);
  DrawRectangle({0, 0, GetClientWidth(), GetClientHeight()}, 1);
  SelectNullPen(0);
  // The palette: 64 swatches.
  for (int i = 0; i < kPaletteSize; ++i) {
    SetBrushColor(std::int16_t(i));
    SetPenColor(0);
    DrawRectangle({10 + (i % 32) * 18, 10 + (i / 32) * 18, 24 + (i % 32) * 18, 24 + (i / 32) * 18}, 1);
  }
  // The sixteen fill patterns.
  for (int i = 0; i < kPatternBrushCount; ++i) {
    SetBrushColor(std::int16_t(i));
    FillRectanglePattern(10 + i * 24, 60, 30 + i * 24, 80);
  }
  // Solid and dotted pens, a filled polygon, a bevel, text.
  for (int i = 0; i < 6; ++i) {
    SetPenColor(std::int16_t(i < 3 ? 21 + i : 40 + i * 4));
    DrawLine(10, 100 + i * 8, 300, 100 + i * 8);
  }
  SetPenColor(14);
  SetBrushColor(25);
  const platform::Point star[] = {{420, 100}, {450, 190}, {375, 135}, {465, 135}, {390, 190}};
  DrawPolygon(star, 5);
  SetBrushColor(5);
  DrawBevel({320, 100, 360, 140}, 1);
  SetTextColorIndex(0);
  DrawTextAt(10, 160, "Korvane drawing layer: 16 px text, 20\xB0, 12 m\xB2");
  SetTextStyle("Arial", 24, 10, 0, 21, 30, 2);
  DrawStyledText(10, 190, 360, 220, "Styled text & colours", platform::kTextLeft);
  SetTextStyle("Arial", 16, 8, 900, 32, 30, 1);
  DrawStyledText(480, 220, 600, 400, "Turned", platform::kTextLeft);
  SetPenColor(0);
  SelectOutputWindow(previous);
  gShown = Shown::kPicture;
}

// A closed box of six faces in one solid, every face's normal pointing into
// the box, as the room and the solids of the editor have them.
void AddBox(float x0, float y0, float z0, float x1, float y1, float z1, uint32_t layer, uint32_t colour) {
  static constexpr uint16_t kFaces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1},
                                            {3, 2, 6, 7}, {0, 3, 7, 4}, {1, 5, 6, 2}};
  GraphicObject* box = CreateObject(0, 8, 6 * 5);
  for (int i = 0; i < 8; ++i)
    box->vertices[i] = {i == 1 || i == 2 || i == 5 || i == 6 ? x1 : x0, i % 4 >= 2 ? y1 : y0, i >= 4 ? z1 : z0};
  for (int f = 0; f < 6; ++f) {
    ObjectItem* items = box->items + 5 * f;
    items[0] = {kOpStart, kFaces[f][0]};
    items[1] = {kOpAttribute, 0};
    items[2] = {kOpLineTo, kFaces[f][1]};
    items[3] = {kOpLineTo, kFaces[f][2]};
    items[4] = {kOpClose, kFaces[f][3]};
  }
  box->kind = kKindSolid;
  box->layer = layer;
  box->colour = colour;
  AppendObject(box);
}

void ShowRoom() {
  if (!gObjects.model.first) {
    AddBox(0, 0, 0, 12, 8, 4, 0, 0);  // the room
    AddBox(8, 5, 0, 9, 6, 4, 0, 14);  // a pillar
    GraphicObject* audience = CreateObject(0, 4, 5);
    const ObjectVertex corners[] = {{2, 1, 0.1f}, {7, 1, 0.1f}, {7, 6, 0.1f}, {2, 6, 0.1f}};
    const ObjectItem items[] = {{kOpStart, 0}, {kOpAttribute, 0}, {kOpLineTo, 1}, {kOpLineTo, 2}, {kOpClose, 3}};
    std::copy(std::begin(corners), std::end(corners), audience->vertices);
    std::copy(std::begin(items), std::end(items), audience->items);
    audience->kind = kKindFace;
    audience->layer = 1;
    audience->colour = 21;
    AppendObject(audience);
  }
  gShown = Shown::kRoom;
  gFramework.instance = gDesignInstance;
  gStatus.clear();
  gView.eyePoint = {1, 4, 1.6f};
  UpdateWindowTitle();
  if (gViewPanel == platform::Window::kNone) ShowViewPanel(1);
}

// The room in `mode`, fitted to the window (the perspective view looks out
// from the eye point along +x).
void ShowRoomIn(ViewMode mode) {
  ShowRoom();
  gView.mode = mode;
  LayoutAndRedraw();
  ZoomToFit();
  SendViewPanelCommand(kPanelRefreshSwitches);
}

// The test dialog, filled with a loudspeaker-like record; OK shows what was
// entered in the status line.
platform::LParam TestDialogProc(platform::Window dialog, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam) {
  switch (kind) {
    case platform::msg::kInitDialog:
      SetDialogText(dialog, 101, "LS001");
      SetDialogText(dialog, 102, "2.5");
      platform::CheckDialogButton(dialog, 103, true);
      platform::CheckRadioButton(dialog, 104, 106, 105);
      platform::CheckRadioButton(dialog, 112, 113, 112);
      for (const char* row : {"001\t12.5\tConcrete", "002\t8.0\tCarpet", "003\t3.2\tGlass"})
        AddDialogListText(dialog, 107, row);
      platform::SetListSelection(dialog, 107, 0);
      for (const char* band : {"125 Hz", "250 Hz", "500 Hz", "1 kHz"}) AddDialogListText(dialog, 108, band);
      platform::SetListSelection(dialog, 108, 3);
      SetDialogText(dialog, 109, "Enter: OK, Escape: Cancel");
      return 0;
    case platform::msg::kCommand: {
      int id = int(platform::LowWord(wParam));
      if (id == 102 && platform::HighWord(wParam) == platform::kNotifyEditChange) FixDecimalComma(dialog, 102);
      if (id == 110) {
        ShowStatus("Dialog: " + GetDialogText(dialog, 101, 21) + ", value " + GetDialogText(dialog, 102, 21) + ", " +
                   GetDialogListText(dialog, 107, platform::GetListSelection(dialog, 107)));
        platform::EndDialog(dialog, 1);
      }
      if (id == 111) platform::EndDialog(dialog, 0);
      return 0;
    }
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

void PrintWindow() {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  SetPrintLandscape(DrawWindow->right > DrawWindow->bottom);
  if (PrintSetupDialog()) PrintViewWindow();
  SelectOutputWindow(previous);
}

const char* KeyName(platform::WParam key) {
  static char name[8];
  if (key >= platform::kKeyF1 && key < platform::kKeyF1 + 12)
    std::snprintf(name, sizeof name, "F%d", int(key - platform::kKeyF1 + 1));
  else if (key == platform::kKeyEscape) return "Escape";
  else if (key == platform::kKeyEnter) return "Enter";
  else std::snprintf(name, sizeof name, "%c", char(key));
  return name;
}

platform::LParam MainProc(platform::Window window, unsigned kind, platform::WParam wParam, platform::LParam lParam) {
  if (window == DrawWindow->window && gShown == Shown::kRoom && gInput.activeCommand) {
    // While the zoom waits for points: a left click gives it one, a right
    // click ends it.
    if (kind == platform::msg::kLeftButtonDown) {
      gInput.cursorPixel = {platform::LowSigned(std::uintptr_t(lParam)), platform::HighSigned(std::uintptr_t(lParam))};
      gInput.pickFlag = true;
      return 0;
    }
    if (kind == platform::msg::kRightButtonDown) {
      gInput.endFlag = true;
      return 0;
    }
  }
  if (window == MainWindow.window && gShown == Shown::kRoom) {
    // Escape cancels a wait for points, Enter and Space end it; the keys and
    // the panel's buttons drive the views.
    if (kind == platform::msg::kKeyDown && wParam == platform::kKeyEscape) RequestCancel();
    if (kind == platform::msg::kKeyDown && (wParam == platform::kKeyEnter || wParam == platform::kKeySpace))
      RequestDone();
    if (kind == platform::msg::kKeyDown) platform::PostMessage(gViewPanel, kind, wParam);
    if (kind == platform::msg::kKeyDown || kind == kDrawingKeyMessage) {
      HandleViewKey(unsigned(wParam));
      return 0;
    }
  }
  if (window == MainWindow.window) {
    switch (kind) {
      case platform::msg::kSize:
        if (DrawWindow->window == platform::Window::kNone) return 0;
        gShown == Shown::kRoom ? LayoutAndRedraw() : LayOut();
        return 0;
      case platform::msg::kPaint: ShowStatus(gStatus); return 0;
      case platform::msg::kKeyDown:
        ShowStatus(std::string("Key ") + KeyName(wParam) + " reached the main window.");
        if (wParam == platform::KeyF(2)) DrawPicture();
        if (wParam == platform::kKeyEscape)
          platform::PostMessage(MainWindow.window, platform::msg::kCommand, kCmdClear);
        return 0;
      case platform::msg::kCommand:
        switch (platform::LowWord(wParam)) {
          case kCmdPicture: DrawPicture(); break;
          case kCmdClear:
          case kCmdNew:
            gShown = Shown::kNothing;
            gFramework.instance = gSmokeInstance;
            ShowViewPanel(0);
            FreeAllObjects();
            platform::InvalidateWindow(DrawWindow->window);
            break;
          case kCmdRoom: ShowRoomIn(kView3D); break;
          case kCmdPerspective: ShowRoomIn(kViewPerspective); break;
          case kCmdDialog: RunModalDialog("TEST_DLG", MainWindow.window, TestDialogProc); break;
          case kCmdPrint: PrintWindow(); break;
          case kCmdCopy:
            ShowStatus(CopyViewToClipboard() ? "The drawing window is on the clipboard." : "Nothing copied.");
            break;
          case kCmdExit: platform::DestroyWindow(MainWindow.window); break;
        }
        return 0;
      case platform::msg::kDestroy: ShutdownFramework(); return 0;
    }
  } else if (window == DrawWindow->window) {
    if (kind == platform::msg::kPaint) {
      if (gShown == Shown::kPicture) DrawPicture();
      if (gShown == Shown::kRoom && !gView.layoutInProgress) LayoutAndRedraw();
      if (gShown == Shown::kNothing) ClearDrawingArea();
      return 0;
    }
    if (kind == platform::msg::kLeftButtonDown) {
      ShowStatus("Click at " + std::to_string(platform::LowSigned(std::uintptr_t(lParam))) + ", " +
                 std::to_string(platform::HighSigned(std::uintptr_t(lParam))) +
                 " in the drawing window; the keys stay with the main window.");
      return 0;
    }
  }
  return platform::DefaultWindowProc(window, kind, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  const char* screenshot = nullptr;
  const char* room = nullptr;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
    if (std::strcmp(argv[i], "--room") == 0) room = argv[i + 1];
  }
  platform::Instance instance = platform::StartApplication("smoke");
  SetMainTitle("Korvane smoke");
  InitFramework(instance, "SMOKE", MainProc);
  DrawWindow->window = CreateChildWindow("", platform::kStyleBorder, kDrawMarginLeft, kDrawMarginTop, 100, 100, 10000);
  LayOut();
  AllocWorkBuffers();
  InitViews();
  SetTitleFileName(&gFileName);
  gSmokeInstance = instance;
  gDesignInstance = platform::StartApplication("kdn");
  if (room) {
    gDrawing.hiddenFaces = 1;
    ShowRoomIn(std::strcmp(room, "plan") == 0          ? kViewXY
               : std::strcmp(room, "perspective") == 0 ? kViewPerspective
                                                       : kView3D);
  }
  if (screenshot) {
    // Acts by the clock while the loop waits, so that the real window has
    // been shown and painted before the screen is taken.
    std::uint32_t start = platform::TickCount();
    int step = room ? 2 : 0;
    platform::test::SetIdleHook([&] {
      std::uint32_t elapsed = platform::TickCount() - start;
      if (step == 0 && elapsed > 300) {
        ++step;
        platform::PostMessage(MainWindow.window, platform::msg::kCommand, kCmdPicture);
      } else if (step == 1 && elapsed > 600) {
        ++step;
        OpenProgressWindow("Calculating...", "60 %", "Cancel");
        UpdateProgress(60, "60 %");
      } else if (step == 2 && elapsed > 1500) {
        ++step;
        bool saved = platform::test::SaveScreenPng(screenshot);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", screenshot);
        CloseProgressWindow();
        platform::DestroyWindow(MainWindow.window);
      }
    });
  }
  WaitForPoint();  // the main loop
  FreeWorkBuffers();
  UnregisterFrameworkClasses();
  platform::EndApplication(instance);
  return 0;
}
