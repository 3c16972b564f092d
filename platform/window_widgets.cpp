// The widgets that stand for a window: its frame (menu bar, caption, border,
// scroll bars) and its client view, which shows the surface and turns the
// toolkit's input events into messages on the queue.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "platform/keys_internal.h"
#include "platform/window_internal.h"

namespace platform::detail {
namespace {

constexpr int kCaptionHeight = 18;
constexpr int kScrollBarSize = 16;

LParam PointOf(const QMouseEvent& event) { return PackPoint(int(event.position().x()), int(event.position().y())); }

// Posts the message of the event's button: `left` or `right`.
void PostButton(Window window, const QMouseEvent& event, unsigned left, unsigned right) {
  unsigned kind = event.button() == Qt::LeftButton ? left : event.button() == Qt::RightButton ? right : 0;
  if (kind) PostMessage(window, kind, MouseFlags(event.buttons(), event.modifiers()), PointOf(event));
}

}  // namespace

void ApplyCursor(WindowObject& w) {
  if (!w.view) return;
  w.view->setCursor(w.cursor == CursorShape::kNone ? Qt::BlankCursor : Qt::ArrowCursor);
}

FrameWidget::FrameWidget(Window window, QWidget* parent) : QWidget(parent), window_(window) {}

void FrameWidget::Layout() {
  WindowObject* w = FindWindow(window_);
  if (!w) return;
  QRect r = rect();
  if (w->style & kStyleCaption)
    r.adjust(3, 3, -3, -3);
  else if (w->style & kStyleBorder)
    r.adjust(1, 1, -1, -1);
  if (w->menuBar && w->menu != Menu::kNone) {
    int h = w->menuBar->sizeHint().height();
    w->menuBar->setGeometry(r.left(), r.top(), r.width(), h);
    w->menuBar->show();
    r.setTop(r.top() + h);
  } else if (w->menuBar) {
    w->menuBar->hide();
  }
  if (w->caption) {
    w->caption->setGeometry(r.left(), r.top(), r.width(), kCaptionHeight);
    r.setTop(r.top() + kCaptionHeight);
  }
  if (w->verticalBar) {
    int bottom = w->horizontalBar ? r.bottom() - kScrollBarSize : r.bottom();
    w->verticalBar->setGeometry(r.right() - kScrollBarSize + 1, r.top(), kScrollBarSize, bottom - r.top() + 1);
    r.setRight(r.right() - kScrollBarSize);
  }
  if (w->horizontalBar) {
    w->horizontalBar->setGeometry(r.left(), r.bottom() - kScrollBarSize + 1, r.width(), kScrollBarSize);
    r.setBottom(r.bottom() - kScrollBarSize);
  }
  QWidget* inner = w->view ? static_cast<QWidget*>(w->view)
                   : w->button ? static_cast<QWidget*>(w->button)
                               : static_cast<QWidget*>(w->controlBar);
  if (inner) inner->setGeometry(r.left(), r.top(), std::max(r.width(), 0), std::max(r.height(), 0));
  SyncSurface(*w);
}

void FrameWidget::resizeEvent(QResizeEvent*) { Layout(); }

void FrameWidget::closeEvent(QCloseEvent* event) {
  event->ignore();  // the window procedure decides
  PostMessage(window_, msg::kClose);
}

void FrameWidget::paintEvent(QPaintEvent*) {
  WindowObject* w = FindWindow(window_);
  if (!w) return;
  QPainter painter(this);
  if (w->style & kStyleCaption) {
    painter.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0));
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
  } else if (w->style & kStyleBorder) {
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, width() - 1, height() - 1);
  }
}

SurfaceView::SurfaceView(Window window, QWidget* parent) : QWidget(parent), window_(window) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceView::paintEvent(QPaintEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (!w) return;
  QPainter painter(this);
  painter.drawImage(event->rect(), w->surface, event->rect());
}

void SurfaceView::resizeEvent(QResizeEvent*) {
  if (WindowObject* w = FindWindow(window_)) SyncSurface(*w);
}

void SurfaceView::mousePressEvent(QMouseEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (!w) return;
  if (w->kind == WindowKind::kOwnerDrawButton) {
    if (event->button() == Qt::LeftButton) {
      w->pressed = true;
      w->invalid = true;
    }
    return;
  }
  PostButton(window_, *event, msg::kLeftButtonDown, msg::kRightButtonDown);
}

void SurfaceView::mouseReleaseEvent(QMouseEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (!w) return;
  if (w->kind == WindowKind::kOwnerDrawButton) {
    if (event->button() == Qt::LeftButton && w->pressed) {
      w->pressed = false;
      w->invalid = true;
      if (rect().contains(event->position().toPoint())) PostMessage(w->parent, msg::kCommand, WParam(w->id), WindowParam(window_));
    }
    return;
  }
  PostButton(window_, *event, msg::kLeftButtonUp, msg::kRightButtonUp);
}

void SurfaceView::mouseDoubleClickEvent(QMouseEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (w && w->kind == WindowKind::kFramework) PostButton(window_, *event, msg::kLeftDoubleClick, msg::kRightDoubleClick);
}

void SurfaceView::mouseMoveEvent(QMouseEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (!w || w->kind != WindowKind::kFramework) return;
  ApplyCursor(*w);
  PostMessage(window_, msg::kMouseMove, MouseFlags(event->buttons(), event->modifiers()), PointOf(*event));
}

void SurfaceView::keyPressEvent(QKeyEvent* event) {
  if (unsigned key = VirtualKeyOf(event->key())) PostMessage(window_, msg::kKeyDown, key);
  for (char32_t c : event->text().toUcs4())
    if (c) PostMessage(window_, msg::kChar, WParam(c));
}

}  // namespace platform::detail
