// The seams that act on windows as the user would, and read what they show
// (test_seams.h).
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include "platform/internal.h"
#include "platform/keys_internal.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform::test {

using namespace detail;

namespace {

void SendMouse(Window window, QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held, WParam modifiers) {
  QWidget* view = ClientWidgetOf(window);
  if (!view) return;
  QPointF local(x, y);
  QMouseEvent event(type, local, view->mapToGlobal(local), button, held, QtModifiers(modifiers));
  QCoreApplication::sendEvent(view, &event);
}

Qt::MouseButton QtButton(WParam button) { return button & kMouseRight ? Qt::RightButton : Qt::LeftButton; }

}  // namespace

void Click(Window window, int x, int y, WParam button, WParam modifiers) {
  Qt::MouseButton b = QtButton(button);
  SendMouse(window, QEvent::MouseButtonPress, x, y, b, b, modifiers);
  SendMouse(window, QEvent::MouseButtonRelease, x, y, b, Qt::NoButton, modifiers);
}

void DoubleClick(Window window, int x, int y, WParam button, WParam modifiers) {
  Qt::MouseButton b = QtButton(button);
  Click(window, x, y, button, modifiers);
  SendMouse(window, QEvent::MouseButtonDblClick, x, y, b, b, modifiers);
  SendMouse(window, QEvent::MouseButtonRelease, x, y, b, Qt::NoButton, modifiers);
}

void MouseMove(Window window, int x, int y, WParam modifiers) {
  SendMouse(window, QEvent::MouseMove, x, y, Qt::NoButton, Qt::NoButton, modifiers);
}

void KeyPress(Window window, unsigned virtualKey, WParam modifiers) {
  QWidget* view = ClientWidgetOf(window);
  int key = QtKeyOf(virtualKey);
  if (!view || !key) return;
  QString text;
  if (virtualKey == kKeyEnter) text = QStringLiteral("\r");
  else if (virtualKey == kKeyEscape) text = QString(QChar(27));
  else if (virtualKey == kKeySpace) text = QStringLiteral(" ");
  else if (virtualKey == kKeyTab) text = QStringLiteral("\t");
  else if ((virtualKey >= 'A' && virtualKey <= 'Z'))
    text = QString(QChar(char16_t(modifiers & kMouseShift ? virtualKey : virtualKey + 32)));
  else if (virtualKey >= '0' && virtualKey <= '9') text = QString(QChar(char16_t(virtualKey)));
  QKeyEvent press(QEvent::KeyPress, key, QtModifiers(modifiers), text);
  QCoreApplication::sendEvent(view, &press);
  QKeyEvent release(QEvent::KeyRelease, key, QtModifiers(modifiers), text);
  QCoreApplication::sendEvent(view, &release);
}

void TypeText(Window window, std::string_view text) {
  QWidget* view = ClientWidgetOf(window);
  if (!view) return;
  for (QChar c : ToQt(text)) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(view, &press);
  }
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

std::uint64_t DrawCallCount(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? w->drawCalls : 0;
}

}  // namespace platform::test
