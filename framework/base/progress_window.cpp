#include "framework/base/progress_window.h"

#include <algorithm>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/core/state_reset.h"
#include "framework/core/text_encoding.h"
#include "platform/drawing.h"
#include "platform/window.h"

ProgressWindowState gProgress;

namespace {

constexpr int kWidth = 160, kHeight = 100;
constexpr int kBarWidth = 140;
constexpr platform::Colour kBarColour = 0xFF0000;  // blue

platform::Window OutputWindow() { return gOutput.currentWindow ? gOutput.currentWindow->window : MainWindow.window; }

void DrawFrameAndText(platform::Context c, const char* text) {
  if (text) platform::TextOut(c, 10, 50, Cp1252ToUtf8(text));
  platform::Rectangle(c, 9, 19, 151, 41);
}

}  // namespace

void ResetProgressWindow() { gProgress = {}; }

namespace {
const StateReset kReset(ResetProgressWindow);
}  // namespace

int OpenProgressWindow(const char* title, const char* text, const char* cancelText) {
  if (gProgress.window != platform::Window::kNone) return 0;
  gProgress.cancelFlag = 0;
  platform::Size main = platform::GetClientSize(MainWindow.window);
  platform::WindowCreation creation;
  creation.className = kStatusWindowClass;
  creation.caption = Cp1252ToUtf8(title ? title : "");
  creation.style =
      platform::kStyleChild | platform::kStyleVisible | platform::kStyleClipChildren | platform::kStyleCaption;
  creation.x = main.width / 2 - kWidth / 2;
  creation.y = main.height / 2 - 40;
  creation.width = kWidth;
  creation.height = kHeight;
  creation.parent = OutputWindow();
  creation.id = kProgressWindowId;
  gProgress.window = platform::CreateWindow(creation);
  if (gProgress.window == platform::Window::kNone) return 0;
  // A new window shows its first percent, whatever the last one showed.
  gProgress.lastPercent = 0;
  if (cancelText) {
    gProgress.cancelButton = platform::CreateControl(platform::ControlKind::kPushButton, Cp1252ToUtf8(cancelText), 64,
                                                     50, 90, 22, gProgress.window, kProgressCancelId);
    platform::ShowWindow(gProgress.window, platform::ShowMode::kShow);
    platform::ValidateWindow(OutputWindow());
    platform::SetFocus(gProgress.cancelButton);
  }
  DrawFrameAndText(platform::GetWindowContext(gProgress.window), text);
  return 1;
}

int UpdateProgress(int percent, const char* text) {
  int last = gProgress.lastPercent;
  gProgress.lastPercent = percent;
  if (gProgress.window == platform::Window::kNone) return 0;
  platform::Message message;
  while (platform::PeekMessage(message) && message.kind != platform::msg::kQuit) platform::DispatchMessage(message);
  if (gProgress.cancelFlag || platform::IsQuitPosted()) return 1;
  if (!platform::IsWindow(gProgress.window)) {
    gProgress.window = gProgress.cancelButton = platform::Window::kNone;
    return 0;
  }
  platform::ShowWindow(gProgress.window, platform::ShowMode::kShow);
  platform::ValidateWindow(OutputWindow());
  if (percent != 0 && percent != last) {
    platform::Context c = platform::GetWindowContext(gProgress.window);
    DrawFrameAndText(c, text);
    int w = std::min(percent * kBarWidth / 100, kBarWidth);
    platform::Brush bar = platform::CreateSolidBrush(kBarColour);
    platform::FillRect(c, {10, 20, 10 + w, 41}, bar);
    platform::DeleteObject(bar);
    platform::UpdateWindow(gProgress.window);
    platform::ValidateWindow(OutputWindow());
  }
  return 0;
}

int CloseProgressWindow() {
  if (gProgress.window == platform::Window::kNone) return 0;
  if (gProgress.cancelButton != platform::Window::kNone) platform::DestroyWindow(gProgress.cancelButton);
  int result = platform::DestroyWindow(gProgress.window) ? 1 : 0;
  gProgress.window = gProgress.cancelButton = platform::Window::kNone;
  gProgress.cancelFlag = 0;
  return result;
}

platform::LParam StatusWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                  platform::LParam lParam) {
  if (kind == platform::msg::kCommand && platform::LowWord(wParam) == kProgressCancelId) {
    gProgress.cancelFlag = 1;
    return 0;
  }
  return platform::DefaultWindowProc(window, kind, wParam, lParam);
}
