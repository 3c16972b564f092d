// The message model. Every window has one window procedure; input and
// window events arrive as messages with a kind and two parameters on the
// layer's one queue (see window.h for the queue calls).
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

using WParam = std::uintptr_t;
using LParam = std::intptr_t;

// Message kinds and the meaning of their parameters.
namespace msg {
constexpr unsigned kCreate = 1;      // sent while the window is created
constexpr unsigned kDestroy = 2;     // sent to a window, then to its children, before they go
constexpr unsigned kSize = 3;        // lParam: client width (low 16 bits), height (high 16 bits)
constexpr unsigned kPaint = 4;       // the window is invalid; it is already validated when this arrives
constexpr unsigned kClose = 5;       // the close box; the default procedure destroys the window
constexpr unsigned kQuit = 6;        // only ever seen by PeekMessage; wParam: exit code
constexpr unsigned kCommand = 7;     // wParam: id (low 16) | notification (high 16, kNotify...); lParam: control or 0
constexpr unsigned kKeyDown = 8;     // wParam: virtual key (kKey...)
constexpr unsigned kChar = 9;        // wParam: the character's Unicode code point
constexpr unsigned kMouseMove = 10;  // mouse messages: wParam kMouse... flags, lParam a point
constexpr unsigned kLeftButtonDown = 11;
constexpr unsigned kLeftButtonUp = 12;
constexpr unsigned kLeftDoubleClick = 13;  // follows a down and an up; a second down is not sent
constexpr unsigned kRightButtonDown = 14;
constexpr unsigned kRightButtonUp = 15;
constexpr unsigned kRightDoubleClick = 16;
constexpr unsigned kHorizontalScroll = 17;  // wParam: code (low 16) | thumb (high 16, signed)
constexpr unsigned kVerticalScroll = 18;    // lParam: the scroll-bar control, or 0 for the window's own bar
constexpr unsigned kDrawItem = 19;          // sent to an owner-drawn button's parent; lParam: const DrawItem*
constexpr unsigned kInitMenu = 20;          // sent before a popup of the window's menu opens; wParam: the Menu
constexpr unsigned kSetCursor = 21;         // the pointer moves over the window; lParam: its hit area (kHit...)
constexpr unsigned kNonClientMouseMove =
    22;  // over the menu bar, frame or scroll bars; wParam: hit area, lParam: point in the window's outer rectangle
constexpr unsigned kMouseWheel = 23;  // wParam: kMouse... flags (low 16) | delta (high 16, signed, 120 a notch, > 0
                                      // away from the user); lParam: point
constexpr unsigned kInitDialog = 24;  // sent to a dialog before it shows; lParam: the creation parameter
constexpr unsigned kSetFocus = 25;    // the window took the keyboard focus
constexpr unsigned kKillFocus = 26;   // the window lost the keyboard focus
constexpr unsigned kShowWindow = 27;  // sent when ShowWindow shows (wParam 1) or hides (0) the window
constexpr unsigned kUser = 0x400;     // programs use kinds from here on
}  // namespace msg

// Hit areas of kSetCursor and kNonClientMouseMove.
constexpr LParam kHitClient = 1, kHitCaption = 2, kHitMenu = 5, kHitHorizontalScroll = 6, kHitVerticalScroll = 7,
                 kHitBorder = 18;

// Notification codes of kCommand from controls (high 16 bits of wParam).
constexpr unsigned kNotifyClicked = 0;          // a button was clicked
constexpr unsigned kNotifySelectionChange = 1;  // the user changed a list's or combo box's selection
constexpr unsigned kNotifyDoubleClick = 2;      // the user double-clicked a list entry
constexpr unsigned kNotifyEditChange = 0x300;   // the user changed an edit field's text
constexpr WParam CommandParam(int id, unsigned notification) {
  return WParam(std::uint16_t(id)) | WParam(notification) << 16;
}

// Flags of mouse messages.
constexpr WParam kMouseLeft = 0x1, kMouseRight = 0x2, kMouseShift = 0x4, kMouseControl = 0x8;

// Scroll codes. Top and bottom move the bar to its minimum and maximum (the
// Home and End keys on a bar that has the focus, or its context menu).
constexpr unsigned kScrollLineUp = 0, kScrollLineDown = 1, kScrollPageUp = 2, kScrollPageDown = 3,
                   kScrollThumbPosition = 4, kScrollThumbTrack = 5, kScrollTop = 6, kScrollBottom = 7, kScrollEnd = 8;

// Virtual keys of key-down messages. Letters and digits are their upper-case
// ASCII codes ('A' is 65, '0' is 48).
constexpr unsigned kKeyBackspace = 8, kKeyTab = 9, kKeyEnter = 13, kKeyShift = 16, kKeyControl = 17, kKeyEscape = 27,
                   kKeySpace = 32, kKeyPageUp = 33, kKeyPageDown = 34, kKeyEnd = 35, kKeyHome = 36, kKeyLeft = 37,
                   kKeyUp = 38, kKeyRight = 39, kKeyDown = 40, kKeyInsert = 45, kKeyDelete = 46,
                   kKeyF1 = 112;  // F1..F12 are 112..123
constexpr unsigned KeyF(int n) { return kKeyF1 + unsigned(n - 1); }

struct Message {
  Window window = Window::kNone;
  unsigned kind = 0;
  WParam wParam = 0;
  LParam lParam = 0;
};

// What an owner-drawn button's parent receives with kDrawItem: draw the
// button into `context`, whose surface is the button's own.
struct DrawItem {
  int controlId = 0;
  Window control = Window::kNone;
  Context context = Context::kNone;
  Rect bounds;  // the whole button, right and bottom exclusive
  bool pressed = false;
  bool focused = false;
};

// Parameter packing.
constexpr LParam PackPoint(int x, int y) {
  return LParam(std::uint32_t(std::uint16_t(x)) | std::uint32_t(std::uint16_t(y)) << 16);
}
constexpr int LowSigned(std::uintptr_t v) { return std::int16_t(std::uint16_t(v & 0xFFFF)); }
constexpr int HighSigned(std::uintptr_t v) { return std::int16_t(std::uint16_t((v >> 16) & 0xFFFF)); }
constexpr unsigned LowWord(std::uintptr_t v) { return unsigned(v & 0xFFFF); }
constexpr unsigned HighWord(std::uintptr_t v) { return unsigned((v >> 16) & 0xFFFF); }
inline LParam WindowParam(Window w) { return LParam(w); }
inline Window ParamWindow(LParam l) { return Window(std::uintptr_t(l)); }

}  // namespace platform
