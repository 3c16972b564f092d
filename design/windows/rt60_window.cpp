#include "design/windows/rt60_window.h"

#include <array>

#include "design/windows/rt60_drawing.h"
#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "platform/window.h"

namespace {

constexpr int kSideButtonSize = 32;
constexpr int kBottomButtonWidth = 80, kBottomButtonHeight = 20, kBottomFromBottom = 22;
constexpr const char* kMethodLabels[] = {"Sa", "Ey", "Fi", "M"};
constexpr int kMethodButtons = 4;

struct Rt60WindowShell {
  WindowRecord record;
  WindowRecord* previousOutput = nullptr;
  const Rt60WindowInput* input = nullptr;
  platform::Window panel{};  // the view panel, hidden meanwhile
  platform::Window back{}, print{}, copy{};
  std::array<platform::Window, kMethodButtons> methods{};
};
Rt60WindowShell gShell;

void ResetRt60WindowShell() { gShell = Rt60WindowShell{}; }
const StateReset kReset(ResetRt60WindowShell);

platform::Size MainClient() { return platform::GetClientSize(MainWindow.window); }

void PlaceBottomButtons() {
  const platform::Size main = MainClient();
  const int x = main.width / 2, y = main.height - kBottomFromBottom;
  platform::MoveWindow(gShell.print, x - kBottomButtonWidth, y, kBottomButtonWidth, kBottomButtonHeight, true);
  platform::MoveWindow(gShell.copy, x, y, kBottomButtonWidth, kBottomButtonHeight, true);
}

// The button of the method shown, pressed.
void ShowMethodPressed() {
  for (int i = 0; i < kMethodButtons; ++i)
    platform::SetButtonPressed(gShell.methods[size_t(i)], i == *gShell.input->method);
}

void CreateButtons() {
  gShell.back = CreatePushButton("<-", 0, kDrawMarginTop, kSideButtonSize, kSideButtonSize, kRt60BackButton);
  for (int i = 0; i < kMethodButtons; ++i)
    gShell.methods[size_t(i)] = CreatePushButton(kMethodLabels[i], 0, kDrawMarginTop + kSideButtonSize * (i + 1),
                                                 kSideButtonSize, kSideButtonSize, kFirstRt60MethodButton + i);
  gShell.print = CreatePushButton("PRINT", 0, 0, kBottomButtonWidth, kBottomButtonHeight, kRt60PrintButton);
  gShell.copy = CreatePushButton("COPY", 0, 0, kBottomButtonWidth, kBottomButtonHeight, kRt60CopyButton);
  PlaceBottomButtons();
  ShowMethodPressed();
}

void DestroyButtons() {
  for (platform::Window* b : {&gShell.back, &gShell.print, &gShell.copy, &gShell.methods[0], &gShell.methods[1],
                              &gShell.methods[2], &gShell.methods[3]}) {
    if (*b != platform::Window::kNone) DestroyControl(*b);
    *b = platform::Window::kNone;
  }
}

// The window over the main window's client area inside the margins.
void FitToMainWindow() {
  const platform::Size main = MainClient();
  platform::MoveWindow(gShell.record.window, kDrawMarginLeft, kDrawMarginTop,
                       main.width - kDrawMarginLeft - kDrawMarginRight,
                       main.height - kDrawMarginTop - kDrawMarginBottom, false);
  const platform::Size client = platform::GetClientSize(gShell.record.window);
  gShell.record.left = gShell.record.top = 0;
  gShell.record.right = client.width;
  gShell.record.bottom = client.height;
}

ReverbSettings Settings() {
  const Rt60WindowInput& in = *gShell.input;
  return {*in.method, *in.measured};
}

void Paint() {
  if (platform::IsMinimised(MainWindow.window) || IsPrinting()) return;
  FitToMainWindow();
  PlaceBottomButtons();
  WindowRecord* previous = SelectOutputWindow(&gShell.record);
  const Rt60Figure figure = DrawRt60Graph(Settings(), gShell.input->design);
  DrawDrawingComment();
  SelectOutputWindow(previous);
  if (figure.impossible) ShowMessage(kImpossibleInputValues, kPleaseCorrect, kMsgOk);
}

void SetMethod(int32_t method) {
  *gShell.input->method = method;
  ShowMethodPressed();
  Paint();
}

// The window framed in black along its last column and row, for the print
// and the clipboard.
void FrameWindow() {
  SetPenColor(0);
  DrawRectangle({0, 0, gShell.record.right - 1, gShell.record.bottom - 1}, 0);
}

void Print() {
  WindowRecord* previous = SelectOutputWindow(&gShell.record);
  FrameWindow();
  {
    WaitCursorScope wait;
    SetPrintLandscape(gShell.record.right > gShell.record.bottom ? 1 : 0);
    if (PrintSetupDialog()) PrintViewWindow();
  }
  SelectOutputWindow(previous);
}

void Copy() {
  WindowRecord* previous = SelectOutputWindow(&gShell.record);
  FrameWindow();
  CopyViewToClipboard();
  SelectOutputWindow(previous);
}

void OnButton(int id) {
  const Rt60WindowInput& in = *gShell.input;
  switch (id) {
    case kRt60BackButton: gInput.cancel = 1; break;
    case kRt60PrintButton: Print(); break;
    case kRt60CopyButton: Copy(); break;
    case kFirstRt60MethodButton + kRt60Sabine:
    case kFirstRt60MethodButton + kRt60Eyring:
    case kFirstRt60MethodButton + kRt60Fitzroy: SetMethod(id - kFirstRt60MethodButton); break;
    case kFirstRt60MethodButton + kRt60Measured:
      if (!in.editMeasured || in.editMeasured(*in.measured)) SetMethod(kRt60Measured);
      else ShowMethodPressed();
      break;
    default: break;
  }
  platform::SetFocus(MainWindow.window);
}

}  // namespace

platform::Window Rt60WindowHandle() { return gShell.record.window; }

platform::Window Rt60WindowButton(int id) {
  if (gShell.record.window == platform::Window::kNone) return platform::Window::kNone;
  if (id >= kFirstRt60MethodButton && id < kFirstRt60MethodButton + kMethodButtons)
    return gShell.methods[size_t(id - kFirstRt60MethodButton)];
  switch (id) {
    case kRt60BackButton: return gShell.back;
    case kRt60PrintButton: return gShell.print;
    case kRt60CopyButton: return gShell.copy;
    default: return platform::Window::kNone;
  }
}

void ShowRt60Window(int32_t method, const Rt60WindowInput& input) {
  if (!input.method || !input.measured || !input.design.model || gShell.record.window != platform::Window::kNone)
    return;
  gShell.input = &input;
  gShell.panel = gViewPanel;
  platform::ShowWindow(DrawWindow->window, platform::ShowMode::kHide);
  if (platform::IsWindow(gShell.panel)) platform::ShowWindow(gShell.panel, platform::ShowMode::kHide);
  *input.method = method;
  const platform::Size main = MainClient();
  const platform::Window window = CreateChildWindow("", platform::kStyleBorder, kDrawMarginLeft, kDrawMarginTop,
                                                    main.width - kDrawMarginLeft - kDrawMarginRight,
                                                    main.height - kDrawMarginTop - kDrawMarginBottom, kRt60WindowId);
  if (window == platform::Window::kNone) {
    ShowMessage(kCantCreateRt60Window, nullptr, kMsgOk);
  } else {
    gShell.record = WindowRecord{};
    gShell.record.window = window;
    gShell.previousOutput = SelectOutputWindow(&gShell.record);
    CreateButtons();
    platform::SetFocus(MainWindow.window);
    platform::InvalidateWindow(window);
    do {
      WaitForPoint();
    } while (!gInput.done && !gInput.cancel);
    DestroyButtons();
    SelectOutputWindow(gShell.previousOutput);
    platform::DestroyWindow(window);
  }
  if (platform::IsWindow(gShell.panel)) platform::ShowWindow(gShell.panel, platform::ShowMode::kShow);
  platform::ShowWindow(DrawWindow->window, platform::ShowMode::kShow);
  gShell = Rt60WindowShell{};
  ClearRequestFlags();
  platform::InvalidateWindow(DrawWindow->window);
}

platform::LParam Rt60WindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam) {
  if (window != gShell.record.window || !gShell.input) return platform::DefaultWindowProc(window, kind, wParam, lParam);
  switch (kind) {
    case platform::msg::kPaint:
      platform::ValidateWindow(window);
      Paint();
      return 0;
    case platform::msg::kCommand: OnButton(int(platform::LowWord(wParam))); return 0;
    case platform::msg::kSetCursor: platform::SetWindowCursor(window, platform::CursorShape::kArrow); return 0;
    default: return platform::DefaultWindowProc(window, kind, wParam, lParam);
  }
}
