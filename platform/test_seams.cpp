// The seams that act on windows as the user would, and read what they show
// (test_seams.h).
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWindow>

#include "platform/internal.h"
#include "platform/keys_internal.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform::test {

using namespace detail;

namespace {

// Mouse events go to the top-level window at the point, the way the window
// system delivers them: the toolkit then picks the widget under the pointer,
// applies its focus rules and refuses input that a modal window blocks.
void SendMouse(Window window, QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held,
               WParam modifiers) {
  WindowObject* w = FindWindow(window);
  QWidget* view = w ? InnerWidget(*w) : nullptr;  // a window's surface, or a control
  if (!view) return;
  QPointF local(x, y);
  QWidget* top = view->window();
  QObject* receiver = top->windowHandle() ? static_cast<QObject*>(top->windowHandle()) : view;
  QPointF at = receiver == view ? local : QPointF(view->mapTo(top, local.toPoint()));
  QMouseEvent event(type, at, view->mapToGlobal(local), button, held, QtModifiers(modifiers));
  QCoreApplication::sendEvent(receiver, &event);
}

Qt::MouseButton QtButton(WParam button) { return button & kMouseRight ? Qt::RightButton : Qt::LeftButton; }

// Key events go to the window that has the keyboard focus, the way the
// window system delivers them.
void SendKey(QEvent::Type type, int key, WParam modifiers, const QString& text) {
  QWindow* focus = QGuiApplication::focusWindow();
  QObject* receiver = focus ? static_cast<QObject*>(focus) : QApplication::focusWidget();
  if (!receiver) return;
  QKeyEvent event(type, key, QtModifiers(modifiers), text);
  QCoreApplication::sendEvent(receiver, &event);
}

}  // namespace

void Click(Window window, int x, int y, WParam button, WParam modifiers) {
  Qt::MouseButton b = QtButton(button);
  SendMouse(window, QEvent::MouseButtonPress, x, y, b, b, modifiers);
  SendMouse(window, QEvent::MouseButtonRelease, x, y, b, Qt::NoButton, modifiers);
}

// As the window system reports it: the second press comes with a double
// click right behind it.
void DoubleClick(Window window, int x, int y, WParam button, WParam modifiers) {
  Qt::MouseButton b = QtButton(button);
  Click(window, x, y, button, modifiers);
  SendMouse(window, QEvent::MouseButtonPress, x, y, b, b, modifiers);
  SendMouse(window, QEvent::MouseButtonDblClick, x, y, b, b, modifiers);
  SendMouse(window, QEvent::MouseButtonRelease, x, y, b, Qt::NoButton, modifiers);
}

void MouseMove(Window window, int x, int y, WParam modifiers) {
  SendMouse(window, QEvent::MouseMove, x, y, Qt::NoButton, Qt::NoButton, modifiers);
}

void MouseMoveInFrame(Window window, int x, int y) {
  WindowObject* w = FindWindow(window);
  if (!w) return;
  QWidget* top = w->frame->window();
  QPoint at = w->frame->mapTo(top, QPoint(x, y));
  QObject* receiver = top->windowHandle() ? static_cast<QObject*>(top->windowHandle()) : w->frame;
  QMouseEvent event(QEvent::MouseMove, QPointF(at), QPointF(w->frame->mapToGlobal(QPoint(x, y))), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(receiver, &event);
}

void Wheel(Window window, int x, int y, int delta) {
  QWidget* view = ClientWidgetOf(window);
  if (!view) return;
  QWidget* top = view->window();
  QPointF at(view->mapTo(top, QPoint(x, y)));
  QWheelEvent event(at, QPointF(view->mapToGlobal(QPoint(x, y))), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QObject* receiver = top->windowHandle() ? static_cast<QObject*>(top->windowHandle()) : view;
  QCoreApplication::sendEvent(receiver, &event);
}

void Drag(Window window, int fromX, int fromY, int toX, int toY, WParam button) {
  Qt::MouseButton b = QtButton(button);
  SendMouse(window, QEvent::MouseButtonPress, fromX, fromY, b, b, 0);
  SendMouse(window, QEvent::MouseMove, toX, toY, Qt::NoButton, b, 0);
  SendMouse(window, QEvent::MouseButtonRelease, toX, toY, b, Qt::NoButton, 0);
}

void KeyPress(unsigned virtualKey, WParam modifiers) {
  int key = QtKeyOf(virtualKey);
  if (!key) return;
  QString text;
  if (virtualKey == kKeyEnter) text = QStringLiteral("\r");
  else if (virtualKey == kKeyEscape) text = QString(QChar(27));
  else if (virtualKey == kKeySpace) text = QStringLiteral(" ");
  else if (virtualKey == kKeyTab) text = QStringLiteral("\t");
  else if ((virtualKey >= 'A' && virtualKey <= 'Z'))
    text = QString(QChar(char16_t(modifiers & kMouseShift ? virtualKey : virtualKey + 32)));
  else if (virtualKey >= '0' && virtualKey <= '9') text = QString(QChar(char16_t(virtualKey)));
  SendKey(QEvent::KeyPress, key, modifiers, text);
  SendKey(QEvent::KeyRelease, key, modifiers, text);
}

void TypeText(std::string_view text) {
  for (QChar c : ToQt(text)) SendKey(QEvent::KeyPress, 0, 0, QString(c));
}

bool ClickControl(Window control) {
  WindowObject* w = FindWindow(control);
  if (!w) return false;
  if (w->button) {
    w->button->click();
    return true;
  }
  if (w->kind == WindowKind::kOwnerDrawButton) {
    Click(control, 1, 1);
    return true;
  }
  return false;
}

void ScrollAction(Window window, ScrollBar bar, unsigned code) {
  WindowObject* w = FindWindow(window);
  QScrollBar* b = w ? BarOf(*w, bar) : nullptr;
  if (!b) return;
  switch (code) {
    case kScrollLineUp: b->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case kScrollLineDown: b->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case kScrollPageUp: b->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case kScrollPageDown: b->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case kScrollTop: b->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case kScrollBottom: b->triggerAction(QAbstractSlider::SliderToMaximum); break;
    default: break;
  }
}

void DragScrollThumb(Window window, ScrollBar bar, int position) {
  WindowObject* w = FindWindow(window);
  QScrollBar* b = w ? BarOf(*w, bar) : nullptr;
  if (!b) return;
  b->setSliderDown(true);
  b->setSliderPosition(position);
  b->setSliderDown(false);
}

void RequestClose(Window window) {
  if (WindowObject* w = FindWindow(window)) w->frame->close();
}

Colour SurfacePixel(Window window, int x, int y) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->view || !w->surface.valid(x, y)) return 0xFFFFFFFF;
  return FromPixel(w->surface.pixel(x, y));
}

Size SurfaceSize(Window window) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->view) return {};
  return {w->surface.width(), w->surface.height()};
}

bool SaveSurfacePng(Window window, const std::string& path) {
  WindowObject* w = FindWindow(window);
  return w && w->view && w->surface.save(ToQt(path), "PNG");
}

bool SaveWindowPng(Window window, const std::string& path) {
  WindowObject* w = FindWindow(window);
  if (!w) return false;
  QCoreApplication::processEvents();
  return w->frame->grab().save(ToQt(path), "PNG");
}

bool SaveScreenPng(const std::string& path) {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen && screen->grabWindow(0).save(ToQt(path), "PNG");
}

CursorShape ShownCursor(Window window) {
  if (QApplication::overrideCursor()) return CursorShape::kWait;
  WindowObject* w = FindWindow(window);
  if (!w || !w->view) return CursorShape::kArrow;
  switch (w->view->cursor().shape()) {
    case Qt::BlankCursor: return CursorShape::kNone;
    case Qt::CrossCursor: return CursorShape::kCross;
    default: return CursorShape::kArrow;
  }
}

std::uint64_t DrawCallCount(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? w->drawCalls : 0;
}

}  // namespace platform::test
