// Window classes, windows, controls and the message queue.
//
// Every window has a persistent backing surface that lives as long as the
// window: drawing (drawing.h) goes straight into it at any time, and the
// screen only shows it. A resize gives a new surface filled with the class
// background, tells the window with kSize (see MoveWindow) and makes it
// invalid; an invalid window gets kPaint once the queue is otherwise empty.
#pragma once

#include <climits>
#include <string>
#include <string_view>

#include "platform/messages.h"
#include "platform/system.h"
#include "platform/types.h"

namespace platform {

using WindowProc = LParam (*)(Window window, unsigned kind, WParam wParam, LParam lParam);

// The default handling: kClose destroys the window; everything else is 0.
LParam DefaultWindowProc(Window window, unsigned kind, WParam wParam, LParam lParam);

// Window classes.
constexpr unsigned kClassRedrawOnResize = 0x1;  // the whole window is invalid after every resize
constexpr unsigned kClassOwnContext = 0x2;      // one context for the window's life (every window has one here)
constexpr unsigned kClassNoClose = 0x4;         // no close box in the caption

struct WindowClass {
  std::string name;
  WindowProc proc = nullptr;
  unsigned style = 0;
  Colour background = 0xFFFFFF;
  std::string icon;  // icon resource name, empty for none
  CursorShape cursor = CursorShape::kArrow;
  Instance instance = Instance::kNone;
};
bool RegisterWindowClass(const WindowClass& windowClass);  // false when the name is taken
bool UnregisterWindowClass(std::string_view name);

// Window styles.
constexpr unsigned kStyleOverlapped = 0x1;  // a top-level window with a caption, close box and frame
constexpr unsigned kStyleChild = 0x2;       // inside the parent's client area
constexpr unsigned kStyleVisible = 0x4;
constexpr unsigned kStyleClipChildren = 0x8;  // always so here: children cover their parent
constexpr unsigned kStyleCaption = 0x10;      // a caption bar on a child window
constexpr unsigned kStyleBorder = 0x20;       // a one-pixel frame
constexpr unsigned kStyleHorizontalScroll = 0x40;
constexpr unsigned kStyleVerticalScroll = 0x80;

constexpr int kDefaultPosition = INT_MIN;  // for x, y, width or height

struct WindowCreation {
  std::string className;
  std::string caption;  // UTF-8
  unsigned style = 0;
  int x = kDefaultPosition, y = kDefaultPosition;
  int width = kDefaultPosition, height = kDefaultPosition;  // the outer size
  Window parent = Window::kNone;
  Menu menu = Menu::kNone;
  int id = 0;
};
// Creates a window of a registered class; kCreate is sent before it returns.
Window CreateWindow(const WindowCreation& creation);

enum class ControlKind { kPushButton, kOwnerDrawButton, kHorizontalScrollBar, kVerticalScrollBar };
// A visible control at (x, y) of the parent's client area. Buttons post
// kCommand (id, lParam the button) to the parent when clicked; scroll bars
// post kHorizontalScroll/kVerticalScroll with the bar as lParam; owner-drawn
// buttons are painted by the parent on kDrawItem.
Window CreateControl(ControlKind kind, std::string_view text, int x, int y, int width, int height, Window parent,
                     int id);

// A push button shown held down (the chosen one of a group of buttons) or
// raised; a click on it still posts its kCommand, and leaves it as it was
// shown. Other windows are left alone.
void SetButtonPressed(Window button, bool pressed);
bool IsButtonPressed(Window button);

// Sends kDestroy to the window and then to each of its descendants, removes
// them and their queued messages. False for a window that does not exist.
bool DestroyWindow(Window window);
bool IsWindow(Window window);

enum class ShowMode { kHide, kShow, kMaximised, kMinimised };
// Sends kShowWindow first when the window's visibility changes. A child
// window is only shown by kMaximised and kMinimised.
void ShowWindow(Window window, ShowMode mode);
bool IsWindowVisible(Window window);
// Whether the top-level window that holds `window` is minimised (an icon).
bool IsMinimised(Window window);
// A disabled window (and its children) takes no input.
void EnableWindow(Window window, bool enabled);
bool IsWindowEnabled(Window window);
// Outer position (in the parent's client area for a child) and size. A new
// client size is sent as kSize before the call returns (as is the size a
// maximised window takes in ShowWindow), so that a layout kept by the size
// handler follows at once; sizes the window system imposes are posted.
bool MoveWindow(Window window, int x, int y, int width, int height, bool repaint);
Rect GetWindowRect(Window window);  // outer rectangle, right and bottom exclusive
Size GetClientSize(Window window);  // the surface's size
void SetWindowText(Window window, std::string_view text);
std::string GetWindowText(Window window);
Window GetParent(Window window);
// A point of `from`'s client area in `to`'s client area (windows of one
// top-level window).
Point MapClientPoint(Window from, Window to, Point point);
int GetWindowId(Window window);
// The keyboard focus. A click into a window does not move it: only SetFocus
// does (and a click on a control that takes the focus, such as a button or
// an edit field). Keys go to the window with the focus; a top-level
// window's keys go to the window itself until SetFocus moves them.
void SetFocus(Window window);
Window GetFocus();
// The top-level window (or dialog) the user works in now, none when the
// program has none active.
Window GetActiveWindow();

// The cursor over the window's client area: arrow, none (a window that
// draws its own crosshair) or cross. Returns the one it replaces; the wait
// cursor is not a window's (system.h: SetWaitCursor).
CursorShape SetWindowCursor(Window window, CursorShape shape);
CursorShape GetWindowCursor(Window window);

void InvalidateWindow(Window window);
void ValidateWindow(Window window);
bool IsWindowInvalid(Window window);
// Sends kPaint at once when the window is invalid.
void UpdateWindow(Window window);

// Scroll bars: kHorizontal and kVertical address a window's own bars, kControl a
// scroll-bar control.
enum class ScrollBar { kHorizontal, kVertical, kControl };
void SetScrollRange(Window window, ScrollBar bar, int minimum, int maximum, bool redraw);
void SetScrollPosition(Window window, ScrollBar bar, int position, bool redraw);
int GetScrollPosition(Window window, ScrollBar bar);

// The queue.
// Blocks until a message is there and takes it; false once quit is posted.
// Quit stays posted, so every nested loop over the queue ends too.
bool GetMessage(Message& message);
// Takes the next message if there is one without waiting; a posted quit
// comes back as a kQuit message (and stays posted).
bool PeekMessage(Message& message);
LParam DispatchMessage(const Message& message);
bool PostMessage(Window window, unsigned kind, WParam wParam = 0, LParam lParam = 0);
LParam SendMessage(Window window, unsigned kind, WParam wParam = 0, LParam lParam = 0);
void PostQuitMessage(int exitCode);
bool IsQuitPosted();
int QuitCode();

}  // namespace platform
