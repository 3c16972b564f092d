// The widgets that stand for a window: its frame (menu bar, caption, border,
// scroll bars) and its client view, which shows the surface and turns the
// toolkit's input events into messages on the queue.
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "platform/dialog_internal.h"
#include "platform/keys_internal.h"
#include "platform/queue_internal.h"
#include "platform/window_internal.h"

namespace platform::detail {
namespace {

constexpr int kCaptionHeight = 18;
constexpr int kScrollBarSize = 16;
constexpr int kTitleBarButtons = 4;  // the frame's icon and its minimise, maximise and close buttons
constexpr int kTitlePadding = 16;
constexpr int kNoScreenWidth = 1280;

LParam PointOf(const QMouseEvent& event) { return PackPoint(int(event.position().x()), int(event.position().y())); }

// Posts the message of the event's button: `left` or `right`.
void PostButton(Window window, const QMouseEvent& event, unsigned left, unsigned right) {
  unsigned kind = event.button() == Qt::LeftButton ? left : event.button() == Qt::RightButton ? right : 0;
  if (kind) PostMessage(window, kind, MouseFlags(event.buttons(), event.modifiers()), PointOf(event));
}

// The part of a title bar that its icon, buttons and margins take.
int TitleBarRoom() {
  return kTitleBarButtons * QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * kTitlePadding;
}

}  // namespace

int CaptionWidth(const QString& caption) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int most = (screen ? screen->availableGeometry().width() : kNoScreenWidth) * 2 / 3;
  const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
  return std::min(title.horizontalAdvance(caption) + TitleBarRoom(), most);
}

QString ShownCaption(const QString& caption, int width) {
  const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
  return title.elidedText(caption, Qt::ElideRight, std::max(width - TitleBarRoom(), 0));
}

void FitDialogToCaption(WindowObject& w) {
  if (!w.frame->isWindow() || !w.dialog || w.frame->windowFlags().testFlag(Qt::FramelessWindowHint)) return;
  const int width = CaptionWidth(w.frame->windowTitle());
  QRect frame = w.frame->geometry();
  if (frame.width() >= width) return;
  if (!w.dialog->positioned) frame.moveLeft(frame.left() - (width - frame.width()) / 2);
  frame.setWidth(width);
  w.frame->setGeometry(frame);
  w.frame->Layout();
}

void ApplyCursor(WindowObject& w) {
  if (!w.view) return;
  w.view->setCursor(w.cursor == CursorShape::kNone    ? Qt::BlankCursor
                    : w.cursor == CursorShape::kCross ? Qt::CrossCursor
                                                      : Qt::ArrowCursor);
}

NonClientFilter::NonClientFilter(Window window, LParam hit, QObject* parent)
    : QObject(parent), window_(window), hit_(hit) {}

bool NonClientFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseMove) return false;
  WindowObject* w = FindWindow(window_);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!w || !widget) return false;
  QPoint at = widget->mapTo(w->frame, static_cast<QMouseEvent*>(event)->position().toPoint());
  PostMessage(window_, msg::kSetCursor, WindowParam(window_), hit_);
  PostMessage(window_, msg::kNonClientMouseMove, WParam(hit_), PackPoint(at.x(), at.y()));
  return false;
}

FrameWidget::FrameWidget(Window window, QWidget* parent) : QWidget(parent), window_(window) {
  // The frame's own pixels are the border and caption: moves there are
  // non-client moves.
  setMouseTracking(true);
  installEventFilter(new NonClientFilter(window, kHitBorder, this));
}

void FrameWidget::Layout() {
  WindowObject* w = FindWindow(window_);
  if (!w) return;
  QRect r = rect();
  if (w->style & kStyleCaption) r.adjust(3, 3, -3, -3);
  else if (w->style & kStyleBorder) r.adjust(1, 1, -1, -1);
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
  if (QWidget* inner = InnerWidget(*w))
    inner->setGeometry(r.left(), r.top(), std::max(r.width(), 0), std::max(r.height(), 0));
  SyncSurface(*w);
}

void FrameWidget::resizeEvent(QResizeEvent*) { Layout(); }

// Taken here (the filter has reported it), not passed on to the parent's
// client area.
void FrameWidget::mouseMoveEvent(QMouseEvent* event) { event->accept(); }

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
  // A click does not take the keyboard focus: only SetFocus moves it, so
  // keys stay with the window that has it (the main window) while the user
  // clicks into its children.
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

// Tab is a key like any other for a window procedure, not a move to the
// next control; in a dialog it moves round the dialog's controls.
bool SurfaceView::focusNextPrevChild(bool next) {
  WindowObject* w = FindWindow(window_);
  if (!w || w->kind != WindowKind::kDialog) return false;
  MoveDialogFocus(window_, next);
  return true;
}

void SurfaceView::focusInEvent(QFocusEvent*) { PostMessage(window_, msg::kSetFocus); }
void SurfaceView::focusOutEvent(QFocusEvent*) { PostMessage(window_, msg::kKillFocus); }

void SurfaceView::wheelEvent(QWheelEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (!w || w->kind != WindowKind::kFramework) return;
  int delta = event->angleDelta().y();
  QPoint at = event->position().toPoint();
  PostMessage(window_, msg::kMouseWheel,
              MouseFlags(event->buttons(), event->modifiers()) | WParam(std::uint16_t(delta)) << 16,
              PackPoint(at.x(), at.y()));
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
      if (rect().contains(event->position().toPoint()))
        PostMessage(w->parent, msg::kCommand, WParam(w->id), WindowParam(window_));
    }
    return;
  }
  PostButton(window_, *event, msg::kLeftButtonUp, msg::kRightButtonUp);
}

// The toolkit reports the second press of a double click as a press and
// then a double click; the message model has the double click in place of
// that second press.
void SurfaceView::mouseDoubleClickEvent(QMouseEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (!w || w->kind != WindowKind::kFramework) return;
  unsigned down = event->button() == Qt::LeftButton ? msg::kLeftButtonDown : msg::kRightButtonDown;
  unsigned twice = event->button() == Qt::LeftButton ? msg::kLeftDoubleClick : msg::kRightDoubleClick;
  auto& q = Queue().queue;
  for (auto it = q.rbegin(); it != q.rend(); ++it)
    if (it->window == window_ && it->kind == down) {
      it->kind = twice;
      return;
    }
  PostButton(window_, *event, msg::kLeftDoubleClick, msg::kRightDoubleClick);
}

void SurfaceView::mouseMoveEvent(QMouseEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (!w || w->kind != WindowKind::kFramework) return;
  PostMessage(window_, msg::kSetCursor, WindowParam(window_), kHitClient);
  PostMessage(window_, msg::kMouseMove, MouseFlags(event->buttons(), event->modifiers()), PointOf(*event));
}

void SurfaceView::keyPressEvent(QKeyEvent* event) {
  WindowObject* w = FindWindow(window_);
  if (w && w->kind == WindowKind::kDialog) {
    // What the focused control left: the dialog's own keys.
    unsigned key = event->key() == Qt::Key_Backtab ? kKeyTab : VirtualKeyOf(event->key());
    bool backwards = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    if (!HandleDialogKey(window_, key, backwards)) event->ignore();
    return;
  }
  if (unsigned key = VirtualKeyOf(event->key())) PostMessage(window_, msg::kKeyDown, key);
  for (char32_t c : event->text().toUcs4())
    if (c) PostMessage(window_, msg::kChar, WParam(c));
}

}  // namespace platform::detail
