// Windows: the registry of classes and windows, each window's record with
// its toolkit widgets and surface, and the two widgets that stand for a
// window on the screen (its frame and its client view).
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/drawing.h"
#include "platform/messages.h"
#include "platform/system.h"
#include "platform/window.h"

class QLabel;
class QMenuBar;
class QPushButton;
class QScrollBar;

namespace platform::detail {

class FrameWidget;
class SurfaceView;
struct DialogData;

enum class WindowKind {
  kFramework,
  kDialog,  // windows with a surface
  kPushButton,
  kOwnerDrawButton,
  kScrollBar,
  kLabel,
  kEdit,
  kCheckBox,
  kRadioButton,
  kGroupBox,
  kListBox,
  kComboBox,
};

struct WindowObject {
  Window handle{};
  WindowKind kind = WindowKind::kFramework;
  WindowProc proc = nullptr;
  Colour background = 0xFFFFFF;
  CursorShape cursor = CursorShape::kArrow;
  unsigned style = 0;
  Window parent{};
  int id = 0;
  std::string text;
  Menu menu{};
  FrameWidget* frame = nullptr;  // owns every widget below
  SurfaceView* view = nullptr;   // framework windows and owner-drawn buttons
  QMenuBar* menuBar = nullptr;
  QLabel* caption = nullptr;
  QScrollBar* horizontalBar = nullptr;
  QScrollBar* verticalBar = nullptr;
  QPushButton* button = nullptr;
  QScrollBar* controlBar = nullptr;
  QWidget* control = nullptr;          // the widget of any other control
  std::shared_ptr<DialogData> dialog;  // a dialog's own record
  int radioGroup = -1;                 // radio buttons: the group in their dialog
  int editLimit = 0;                   // multi-line edits: the most characters, 0 for any
  QImage surface;
  bool invalid = false;
  bool pressed = false;  // owner-drawn button held down
  Context context{};
  std::uint64_t drawCalls = 0;
};

struct WindowRegistry {
  std::map<std::string, WindowClass, std::less<>> classes;
  std::map<std::uintptr_t, std::unique_ptr<WindowObject>> windows;  // in creation order
  int sendingSizes = 0;  // > 0 while the program moves or shows a window: kSize is sent at once
};
WindowRegistry& Windows();
// Destroys every window without telling their procedures and forgets the
// classes.
void ResetWindows();

WindowObject* FindWindow(Window window);
// A new record with a new handle, in the registry.
WindowObject* NewWindowObject(Window parent, unsigned style, int id);
// The procedure of controls: an owner-drawn button's paint asks its parent
// for kDrawItem; the rest is the default.
LParam ControlProc(Window window, unsigned kind, WParam wParam, LParam lParam);
// Posts the bar's actions to `target` as scroll messages (lParam `control`,
// or 0 for a window's own bar).
void ConnectScrollBar(QScrollBar* bar, Window target, bool horizontal, Window control);
// The widget inside a window's frame that the user works with: its client
// view, button, scroll bar or control.
QWidget* InnerWidget(const WindowObject& w);
// A control's own text (an edit's, the edit part of a combo box), and
// setting it without notifying; false for a window without one (controls.cpp).
bool SetControlText(WindowObject& w, std::string_view text);
std::string ControlText(const WindowObject& w);
// The widget that shows a window's client area (its surface), if any.
QWidget* ClientWidgetOf(Window window);
// One of a window's scroll bars, if it has it.
QScrollBar* BarOf(WindowObject& w, ScrollBar bar);
// Shows the window's cursor over its client view.
void ApplyCursor(WindowObject& w);
// Gives the window a new surface when its client size changed, and tells it
// with kSize: sent at once while the program moves or shows a window (as
// the Parts' layouts expect), posted when the window system resized it.
void SyncSurface(WindowObject& w);

// Captions as the window system's title bar shows them: in its title font,
// beside the frame's icon and buttons, cut short with "…" where the frame
// is too narrow. CaptionWidth is the width that shows `caption` whole, at
// most two thirds of the screen (so a long caption cannot make a box
// wider than the screen); ShownCaption what a frame `width` wide shows.
int CaptionWidth(const QString& caption);
QString ShownCaption(const QString& caption, int width);
// Widens a top-level dialog to show its caption whole: about its centre,
// or to the right when it is placed at a point of its owner.
void FitDialogToCaption(WindowObject& w);

// Frame: menu bar, caption, border and scroll bars around the client view.
class FrameWidget : public QWidget {
 public:
  FrameWidget(Window window, QWidget* parent);
  void Layout();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  Window window_;
};

// The client area: shows the surface and turns input into messages.
class SurfaceView : public QWidget {
 public:
  SurfaceView(Window window, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  Window window_;
};

// Turns pointer moves over a window's non-client parts (menu bar, frame,
// caption, scroll bars) into kSetCursor and kNonClientMouseMove.
class NonClientFilter : public QObject {
 public:
  NonClientFilter(Window window, LParam hit, QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Window window_;
  LParam hit_;
};

}  // namespace platform::detail
