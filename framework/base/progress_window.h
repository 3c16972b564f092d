// The one progress window: a caption, a text, a bar and an optional Cancel
// button, shown by long operations that pump messages while they run.
#pragma once

#include <cstdint>

#include "platform/messages.h"
#include "platform/types.h"

constexpr int kProgressWindowId = 32760;
constexpr int kProgressCancelId = 32761;

struct ProgressWindowState {
  platform::Window window = platform::Window::kNone;
  platform::Window cancelButton = platform::Window::kNone;
  std::int16_t cancelFlag = 0;
  int lastPercent = 0;
};
extern ProgressWindowState gProgress;
void ResetProgressWindow();

// 1 when opened; 0 when one is already open (which stays as it is) or the
// window cannot be made. A null cancel text gives no Cancel button.
int OpenProgressWindow(const char* title, const char* text, const char* cancelText);
// Dispatches every pending message, then draws the bar for `percent` (0
// only pumps). Returns 1 when Cancel was pressed or the program is quitting.
int UpdateProgress(int percent, const char* text);
int CloseProgressWindow();
platform::LParam StatusWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                  platform::LParam lParam);
