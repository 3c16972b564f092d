// Window classes, windows and controls: creation and destruction, showing,
// moving, texts, focus, validity and scroll bars.
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "platform/dialog_internal.h"
#include "platform/drawing_internal.h"
#include "platform/internal.h"
#include "platform/menu.h"
#include "platform/menu_internal.h"
#include "platform/queue_internal.h"
#include "platform/resources.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {

WindowRegistry& Windows() {
  static WindowRegistry registry;
  return registry;
}

WindowObject* FindWindow(Window window) {
  auto it = Windows().windows.find(std::uintptr_t(window));
  return it == Windows().windows.end() ? nullptr : it->second.get();
}

QWidget* ClientWidgetOf(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? static_cast<QWidget*>(w->view) : nullptr;
}

void SyncSurface(WindowObject& w) {
  if (!w.view) return;
  QSize size = w.view->size();
  if (size == w.surface.size()) return;
  w.surface = QImage(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
  w.surface.fill(ToPixel(w.background));
  w.invalid = true;
  LParam packed = LParam(std::uint32_t(size.width() & 0xFFFF) | std::uint32_t(size.height() & 0xFFFF) << 16);
  if (Windows().sendingSizes > 0) SendMessage(w.handle, msg::kSize, 0, packed);
  else PostMessage(w.handle, msg::kSize, 0, packed);
}

namespace {

// While it lives, size changes are sent to the procedures at once.
struct SendSizesNow {
  SendSizesNow() { ++Windows().sendingSizes; }
  ~SendSizesNow() { --Windows().sendingSizes; }
  SendSizesNow(const SendSizesNow&) = delete;
  SendSizesNow& operator=(const SendSizesNow&) = delete;
};

void CollectDescendants(Window parent, std::vector<Window>& out) {
  for (auto& [id, w] : Windows().windows)
    if (w->parent == parent) {
      out.push_back(w->handle);
      CollectDescendants(w->handle, out);
    }
}

void Forget(Window window) {
  ForgetQueued(window);
  if (WindowObject* w = FindWindow(window)) ForgetContext(w->context);
  DetachMenus(window);
  Windows().windows.erase(std::uintptr_t(window));
}

// A child about to go that holds its top-level window's keys (a progress
// window's Cancel button) hands them back to that window, which would
// otherwise keep them with nobody.
void ReturnKeysToTopLevel(FrameWidget* leaving) {
  QWidget* top = leaving->window();
  QWidget* focus = top->focusWidget();
  if (top == leaving || !focus || !leaving->isAncestorOf(focus)) return;
  for (auto& [id, w] : Windows().windows)
    if (w->frame == top && w->view) {
      w->view->setFocus(Qt::OtherFocusReason);
      return;
    }
}

// Destroys the toolkit widgets and the records of a window and its children.
void RemoveWindowTree(Window window, bool notify) {
  WindowObject* w = FindWindow(window);
  if (!w) return;
  std::vector<Window> all{window};
  CollectDescendants(window, all);
  if (notify)
    for (Window each : all)
      if (IsWindow(each)) SendMessage(each, msg::kDestroy);
  w = FindWindow(window);
  FrameWidget* frame = w ? w->frame : nullptr;
  if (frame) ReturnKeysToTopLevel(frame);
  for (Window each : all) Forget(each);
  if (frame) {
    frame->hide();
    delete frame;
  }
}

}  // namespace

LParam ControlProc(Window window, unsigned kind, WParam wParam, LParam lParam) {
  WindowObject* w = FindWindow(window);
  if (w && kind == msg::kPaint && w->kind == WindowKind::kOwnerDrawButton) {
    DrawItem item;
    item.controlId = w->id;
    item.control = window;
    item.context = GetWindowContext(window);
    item.bounds = {0, 0, w->surface.width(), w->surface.height()};
    item.pressed = w->pressed;
    item.focused = w->view && w->view->hasFocus();
    return SendMessage(w->parent, msg::kDrawItem, WParam(w->id), LParam(&item));
  }
  return DefaultWindowProc(window, kind, wParam, lParam);
}

namespace {
void PostScroll(Window target, bool horizontal, unsigned code, int position, Window bar) {
  PostMessage(target, horizontal ? msg::kHorizontalScroll : msg::kVerticalScroll,
              WParam(code | std::uint32_t(std::uint16_t(position)) << 16), bar == Window::kNone ? 0 : WindowParam(bar));
}

}  // namespace

void ConnectScrollBar(QScrollBar* bar, Window target, bool horizontal, Window control) {
  QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [=](int action) {
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: PostScroll(target, horizontal, kScrollLineUp, 0, control); break;
      case QAbstractSlider::SliderSingleStepAdd: PostScroll(target, horizontal, kScrollLineDown, 0, control); break;
      case QAbstractSlider::SliderPageStepSub: PostScroll(target, horizontal, kScrollPageUp, 0, control); break;
      case QAbstractSlider::SliderPageStepAdd: PostScroll(target, horizontal, kScrollPageDown, 0, control); break;
      case QAbstractSlider::SliderToMinimum: PostScroll(target, horizontal, kScrollTop, 0, control); break;
      case QAbstractSlider::SliderToMaximum: PostScroll(target, horizontal, kScrollBottom, 0, control); break;
      case QAbstractSlider::SliderMove:
        PostScroll(target, horizontal, kScrollThumbTrack, bar->sliderPosition(), control);
        break;
      default: break;
    }
  });
  QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [=] {
    PostScroll(target, horizontal, kScrollThumbPosition, bar->sliderPosition(), control);
    PostScroll(target, horizontal, kScrollEnd, 0, control);
  });
}

WindowObject* NewWindowObject(Window parent, unsigned style, int id) {
  auto object = std::make_unique<WindowObject>();
  object->handle = Window(NewHandle());
  object->parent = parent;
  object->style = style;
  object->id = id;
  WindowObject* w = object.get();
  Windows().windows.emplace(std::uintptr_t(w->handle), std::move(object));
  return w;
}

QWidget* InnerWidget(const WindowObject& w) {
  if (w.view) return w.view;
  if (w.button) return w.button;
  if (w.controlBar) return w.controlBar;
  return w.control;
}

QScrollBar* BarOf(WindowObject& w, ScrollBar bar) {
  switch (bar) {
    case ScrollBar::kHorizontal: return w.horizontalBar;
    case ScrollBar::kVertical: return w.verticalBar;
    case ScrollBar::kControl: return w.controlBar;
  }
  return nullptr;
}

void ResetWindows() {
  std::vector<Window> tops;
  for (auto& [id, w] : Windows().windows)
    if (w->parent == Window::kNone) tops.push_back(w->handle);
  for (Window w : tops) RemoveWindowTree(w, false);
  Windows() = WindowRegistry{};
}

}  // namespace detail

using namespace detail;

LParam DefaultWindowProc(Window window, unsigned kind, WParam, LParam) {
  if (kind == msg::kClose) DestroyWindow(window);
  return 0;
}

bool RegisterWindowClass(const WindowClass& windowClass) {
  auto& classes = Windows().classes;
  if (windowClass.name.empty() || !windowClass.proc || classes.count(windowClass.name)) return false;
  classes.emplace(windowClass.name, windowClass);
  return true;
}

bool UnregisterWindowClass(std::string_view name) {
  auto& classes = Windows().classes;
  auto it = classes.find(name);
  if (it == classes.end()) return false;
  classes.erase(it);
  return true;
}

Window CreateWindow(const WindowCreation& creation) {
  auto it = Windows().classes.find(creation.className);
  if (it == Windows().classes.end()) return Window::kNone;
  const WindowClass& cls = it->second;
  WindowObject* parent = FindWindow(creation.parent);
  bool child = (creation.style & kStyleChild) && parent;
  if ((creation.style & kStyleChild) && !parent) return Window::kNone;

  WindowObject* w = NewWindowObject(child ? creation.parent : Window::kNone, creation.style, creation.id);
  Window handle = w->handle;
  w->proc = cls.proc;
  w->background = cls.background;
  w->cursor = cls.cursor;
  w->text = creation.caption;
  w->frame = new FrameWidget(handle, child ? ClientWidgetOf(creation.parent) : nullptr);
  w->view = new SurfaceView(handle, w->frame);
  ApplyCursor(*w);
  if (child) {
    if (creation.style & kStyleCaption) {
      w->caption = new QLabel(ToQt(creation.caption), w->frame);
      w->caption->setStyleSheet(QStringLiteral("background:#000080; color:white; font-weight:bold; padding-left:3px;"));
    }
  } else {
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint;
    if (!(cls.style & kClassNoClose)) flags |= Qt::WindowCloseButtonHint;
    w->frame->setWindowFlags(flags);
    w->frame->setWindowTitle(ToQt(creation.caption));
    w->menuBar = new QMenuBar(w->frame);
    w->menuBar->setNativeMenuBar(false);
    w->menuBar->hide();
    w->menuBar->installEventFilter(new NonClientFilter(handle, kHitMenu, w->menuBar));
    // Keys go to the window itself until SetFocus gives them to another.
    w->view->setFocus(Qt::OtherFocusReason);
    if (!cls.icon.empty() && HasIcon(cls.instance, cls.icon))
      w->frame->setWindowIcon(QIcon(ResourcePath(cls.instance, "icons", cls.icon, ".png")));
  }
  if (creation.style & kStyleHorizontalScroll) {
    w->horizontalBar = new QScrollBar(Qt::Horizontal, w->frame);
    w->horizontalBar->setMouseTracking(true);
    w->horizontalBar->installEventFilter(new NonClientFilter(handle, kHitHorizontalScroll, w->horizontalBar));
    ConnectScrollBar(w->horizontalBar, handle, true, Window::kNone);
  }
  if (creation.style & kStyleVerticalScroll) {
    w->verticalBar = new QScrollBar(Qt::Vertical, w->frame);
    w->verticalBar->setMouseTracking(true);
    w->verticalBar->installEventFilter(new NonClientFilter(handle, kHitVerticalScroll, w->verticalBar));
    ConnectScrollBar(w->verticalBar, handle, false, Window::kNone);
  }
  int x = creation.x == kDefaultPosition ? (child ? 0 : 40) : creation.x;
  int y = creation.y == kDefaultPosition ? (child ? 0 : 40) : creation.y;
  int width = creation.width == kDefaultPosition ? (child ? 0 : 640) : creation.width;
  int height = creation.height == kDefaultPosition ? (child ? 0 : 480) : creation.height;
  w->frame->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
  if (creation.menu != Menu::kNone) SetWindowMenu(handle, creation.menu);
  if (child && !(creation.style & kStyleVisible)) w->frame->hide();
  w->frame->Layout();
  SendMessage(handle, msg::kCreate);
  if (IsWindow(handle) && (creation.style & kStyleVisible)) ShowWindow(handle, ShowMode::kShow);
  return IsWindow(handle) ? handle : Window::kNone;
}

Window CreateControl(ControlKind kind, std::string_view text, int x, int y, int width, int height, Window parent,
                     int id) {
  QWidget* parentView = ClientWidgetOf(parent);
  if (!parentView) return Window::kNone;
  WindowObject* w = NewWindowObject(parent, kStyleChild | kStyleVisible, id);
  Window handle = w->handle;
  w->proc = ControlProc;
  w->text = std::string(text);
  w->frame = new FrameWidget(handle, parentView);
  switch (kind) {
    case ControlKind::kPushButton:
      w->kind = WindowKind::kPushButton;
      w->button = new QPushButton(ToQt(text), w->frame);
      // As in the windows' own surfaces, a click leaves the keys where they
      // are ("STOP" clicked mid-command must not take Space and Escape);
      // SetFocus still gives the button the keys.
      w->button->setFocusPolicy(Qt::NoFocus);
      QObject::connect(w->button, &QPushButton::clicked, w->button, [=, button = w->button] {
        // A button shown pressed or raised (SetButtonPressed) stays as the
        // program shows it; the click only tells the parent.
        if (button->isCheckable()) button->setChecked(!button->isChecked());
        PostMessage(parent, msg::kCommand, WParam(id), WindowParam(handle));
      });
      break;
    case ControlKind::kOwnerDrawButton:
      w->kind = WindowKind::kOwnerDrawButton;
      w->background = 0xC0C0C0;
      w->view = new SurfaceView(handle, w->frame);
      break;
    case ControlKind::kHorizontalScrollBar:
    case ControlKind::kVerticalScrollBar: {
      bool horizontal = kind == ControlKind::kHorizontalScrollBar;
      w->kind = WindowKind::kScrollBar;
      w->controlBar = new QScrollBar(horizontal ? Qt::Horizontal : Qt::Vertical, w->frame);
      ConnectScrollBar(w->controlBar, parent, horizontal, handle);
      break;
    }
  }
  w->frame->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
  w->frame->Layout();
  ShowWindow(handle, ShowMode::kShow);
  return handle;
}

bool DestroyWindow(Window window) {
  if (!IsWindow(window)) return false;
  RemoveWindowTree(window, true);
  return true;
}

bool IsWindow(Window window) { return FindWindow(window) != nullptr; }

void ShowWindow(Window window, ShowMode mode) {
  WindowObject* w = FindWindow(window);
  if (!w) return;
  bool shown = mode != ShowMode::kHide;
  if (shown != w->frame->isVisible()) {
    SendMessage(window, msg::kShowWindow, shown ? 1 : 0);
    if (!(w = FindWindow(window))) return;
  }
  SendSizesNow sizes;
  switch (mode) {
    case ShowMode::kHide: w->frame->hide(); break;
    case ShowMode::kShow: w->frame->show(); break;
    case ShowMode::kMaximised:
      if (w->frame->isWindow()) {
        // Without a window manager a request to maximise is not acted on:
        // take the screen's free area first.
        if (QScreen* screen = QGuiApplication::primaryScreen()) w->frame->setGeometry(screen->availableGeometry());
        w->frame->showMaximized();
      } else w->frame->show();
      break;
    case ShowMode::kMinimised:
      if (w->frame->isWindow()) w->frame->showMinimized();
      else w->frame->show();
      break;
  }
  QCoreApplication::processEvents();  // let the toolkit settle the size before anyone draws
  if ((w = FindWindow(window))) w->frame->Layout();
}

bool IsWindowVisible(Window window) {
  WindowObject* w = FindWindow(window);
  return w && w->frame->isVisible();
}

Point MapClientPoint(Window from, Window to, Point point) {
  QWidget* source = ClientWidgetOf(from);
  QWidget* target = ClientWidgetOf(to);
  if (!source || !target) return point;
  const QPoint mapped = target->mapFromGlobal(source->mapToGlobal(QPoint(point.x, point.y)));
  return {mapped.x(), mapped.y()};
}

bool IsMinimised(Window window) {
  WindowObject* w = FindWindow(window);
  return w && w->frame->window()->isMinimized();
}

void EnableWindow(Window window, bool enabled) {
  if (WindowObject* w = FindWindow(window)) w->frame->setEnabled(enabled);
}

bool IsWindowEnabled(Window window) {
  WindowObject* w = FindWindow(window);
  return w && w->frame->isEnabled();
}

bool MoveWindow(Window window, int x, int y, int width, int height, bool repaint) {
  WindowObject* w = FindWindow(window);
  if (!w) return false;
  SendSizesNow sizes;
  w->frame->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
  if (!(w = FindWindow(window))) return false;
  w->frame->Layout();
  if (repaint && (w = FindWindow(window)) && w->view) w->invalid = true;
  return true;
}

Rect GetWindowRect(Window window) {
  WindowObject* w = FindWindow(window);
  if (!w) return {};
  QRect r = w->frame->geometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

Size GetClientSize(Window window) {
  WindowObject* w = FindWindow(window);
  if (!w) return {};
  if (w->view) return {w->surface.width(), w->surface.height()};
  return {w->frame->width(), w->frame->height()};
}

void SetWindowText(Window window, std::string_view text) {
  WindowObject* w = FindWindow(window);
  if (!w) return;
  w->text = std::string(text);
  if (w->frame->isWindow()) {
    w->frame->setWindowTitle(ToQt(text));
    FitDialogToCaption(*w);
  }
  if (w->caption) w->caption->setText(ToQt(text));
  SetControlText(*w, text);
}

void SetButtonPressed(Window button, bool pressed) {
  WindowObject* w = FindWindow(button);
  if (!w || w->kind != WindowKind::kPushButton) return;
  w->button->setCheckable(true);
  w->button->setChecked(pressed);
}

bool IsButtonPressed(Window button) {
  const WindowObject* w = FindWindow(button);
  return w && w->kind == WindowKind::kPushButton && w->button->isChecked();
}

std::string GetWindowText(Window window) {
  WindowObject* w = FindWindow(window);
  if (!w) return {};
  return w->kind == WindowKind::kEdit || w->kind == WindowKind::kComboBox ? ControlText(*w) : w->text;
}

Window GetParent(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? w->parent : Window::kNone;
}

int GetWindowId(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? w->id : 0;
}

void SetFocus(Window window) {
  WindowObject* w = FindWindow(window);
  if (!w) return;
  NoteFocusMoved();
  if (!w->frame->window()->isActiveWindow()) w->frame->activateWindow();
  if (QWidget* inner = InnerWidget(*w)) inner->setFocus(Qt::OtherFocusReason);
}

Window GetFocus() {
  // The focus may sit inside a control's widget (a combo box's edit part).
  for (QWidget* focus = QApplication::focusWidget(); focus; focus = focus->parentWidget())
    for (auto& [id, w] : Windows().windows)
      if (focus == InnerWidget(*w)) return w->handle;
  return Window::kNone;
}

Window GetActiveWindow() {
  QWidget* active = QApplication::activeWindow();
  for (auto& [id, w] : Windows().windows)
    if (active && w->frame == active) return w->handle;
  return Window::kNone;
}

CursorShape SetWindowCursor(Window window, CursorShape shape) {
  WindowObject* w = FindWindow(window);
  if (!w || shape == CursorShape::kWait) return CursorShape::kArrow;
  CursorShape previous = w->cursor;
  w->cursor = shape;
  ApplyCursor(*w);
  return previous;
}

CursorShape GetWindowCursor(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? w->cursor : CursorShape::kArrow;
}

void InvalidateWindow(Window window) {
  if (WindowObject* w = FindWindow(window); w && w->view) w->invalid = true;
}

void ValidateWindow(Window window) {
  if (WindowObject* w = FindWindow(window)) w->invalid = false;
}

bool IsWindowInvalid(Window window) {
  WindowObject* w = FindWindow(window);
  return w && w->invalid;
}

void UpdateWindow(Window window) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->invalid) return;
  w->invalid = false;
  SendMessage(window, msg::kPaint);
}

void SetScrollRange(Window window, ScrollBar bar, int minimum, int maximum, bool) {
  WindowObject* w = FindWindow(window);
  if (QScrollBar* b = w ? BarOf(*w, bar) : nullptr) {
    QSignalBlocker quiet(b);
    b->setRange(minimum, maximum);
  }
}

void SetScrollPosition(Window window, ScrollBar bar, int position, bool) {
  WindowObject* w = FindWindow(window);
  if (QScrollBar* b = w ? BarOf(*w, bar) : nullptr) {
    QSignalBlocker quiet(b);
    b->setValue(position);
  }
}

int GetScrollPosition(Window window, ScrollBar bar) {
  WindowObject* w = FindWindow(window);
  QScrollBar* b = w ? BarOf(*w, bar) : nullptr;
  return b ? b->value() : 0;
}

}  // namespace platform
