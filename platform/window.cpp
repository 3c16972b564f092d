#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <clocale>
#include <filesystem>

#include "platform/application.h"
#include "platform/internal.h"
#include "platform/resources.h"

namespace platform {
namespace detail {

State& S() {
  static State state;
  return state;
}

WindowObject* FindWindow(Window window) {
  auto it = S().windows.find(std::uintptr_t(window));
  return it == S().windows.end() ? nullptr : it->second.get();
}

void PumpToolkit(bool wait) {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (!wait) return;
  if (S().idleHook) {
    auto hook = S().idleHook;  // the hook may replace itself
    hook();
  } else {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

namespace {

constexpr int kCaptionHeight = 18;
constexpr int kScrollBarSize = 16;

struct KeyPair {
  unsigned virtualKey;
  int qtKey;
};
constexpr KeyPair kKeys[] = {
    {kKeyBackspace, Qt::Key_Backspace}, {kKeyTab, Qt::Key_Tab},        {kKeyEnter, Qt::Key_Return},
    {kKeyEnter, Qt::Key_Enter},         {kKeyShift, Qt::Key_Shift},    {kKeyControl, Qt::Key_Control},
    {kKeyEscape, Qt::Key_Escape},       {kKeySpace, Qt::Key_Space},    {kKeyPageUp, Qt::Key_PageUp},
    {kKeyPageDown, Qt::Key_PageDown},   {kKeyEnd, Qt::Key_End},        {kKeyHome, Qt::Key_Home},
    {kKeyLeft, Qt::Key_Left},           {kKeyUp, Qt::Key_Up},          {kKeyRight, Qt::Key_Right},
    {kKeyDown, Qt::Key_Down},           {kKeyInsert, Qt::Key_Insert},  {kKeyDelete, Qt::Key_Delete},
};

WParam MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  WParam flags = 0;
  if (buttons & Qt::LeftButton) flags |= kMouseLeft;
  if (buttons & Qt::RightButton) flags |= kMouseRight;
  if (modifiers & Qt::ShiftModifier) flags |= kMouseShift;
  if (modifiers & Qt::ControlModifier) flags |= kMouseControl;
  return flags;
}

LParam PointOf(const QMouseEvent& event) { return PackPoint(int(event.position().x()), int(event.position().y())); }

// Posts the message of the event's button: `left` or `right`.
void PostButton(Window window, const QMouseEvent& event, unsigned left, unsigned right) {
  unsigned kind = event.button() == Qt::LeftButton ? left : event.button() == Qt::RightButton ? right : 0;
  if (kind) PostMessage(window, kind, MouseFlags(event.buttons(), event.modifiers()), PointOf(event));
}

Qt::KeyboardModifiers QtModifiers(WParam modifiers) {
  Qt::KeyboardModifiers result;
  if (modifiers & kMouseShift) result |= Qt::ShiftModifier;
  if (modifiers & kMouseControl) result |= Qt::ControlModifier;
  return result;
}

void ApplyCursor(WindowObject& w) {
  if (!w.view) return;
  w.view->setCursor(w.cursor == CursorShape::kNone ? Qt::BlankCursor : Qt::ArrowCursor);
}

// Gives the window a new surface when its client size changed.
void SyncSurface(WindowObject& w) {
  if (!w.view) return;
  QSize size = w.view->size();
  if (size == w.surface.size()) return;
  w.surface = QImage(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
  w.surface.fill(ToPixel(w.background));
  w.invalid = true;
  PostMessage(w.handle, msg::kSize, 0, LParam(std::uint32_t(size.width() & 0xFFFF) | std::uint32_t(size.height() & 0xFFFF) << 16));
}

void CollectDescendants(Window parent, std::vector<Window>& out) {
  for (auto& [id, w] : S().windows)
    if (w->parent == parent) {
      out.push_back(w->handle);
      CollectDescendants(w->handle, out);
    }
}

void Forget(Window window) {
  auto& q = S().queue;
  q.erase(std::remove_if(q.begin(), q.end(), [&](const Message& m) { return m.window == window; }), q.end());
  if (WindowObject* w = FindWindow(window)) {
    S().contexts.erase(std::uintptr_t(w->context));
    for (auto& [id, menu] : S().menus)
      if (menu.window == window) menu.window = Window::kNone;
  }
  S().windows.erase(std::uintptr_t(window));
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
  for (Window each : all) Forget(each);
  if (frame) {
    frame->hide();
    delete frame;
  }
}

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

void PostScroll(Window target, bool horizontal, unsigned code, int position, Window bar) {
  PostMessage(target, horizontal ? msg::kHorizontalScroll : msg::kVerticalScroll,
              WParam(code | std::uint32_t(std::uint16_t(position)) << 16), bar == Window::kNone ? 0 : WindowParam(bar));
}

void ConnectScrollBar(QScrollBar* bar, Window target, bool horizontal, Window control) {
  QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [=](int action) {
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: PostScroll(target, horizontal, kScrollLineUp, 0, control); break;
      case QAbstractSlider::SliderSingleStepAdd: PostScroll(target, horizontal, kScrollLineDown, 0, control); break;
      case QAbstractSlider::SliderPageStepSub: PostScroll(target, horizontal, kScrollPageUp, 0, control); break;
      case QAbstractSlider::SliderPageStepAdd: PostScroll(target, horizontal, kScrollPageDown, 0, control); break;
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

QScrollBar* BarOf(WindowObject& w, ScrollBar bar) {
  switch (bar) {
    case ScrollBar::kHorizontal: return w.horizontalBar;
    case ScrollBar::kVertical: return w.verticalBar;
    case ScrollBar::kControl: return w.controlBar;
  }
  return nullptr;
}

WindowObject* NewWindowObject(Window parent, unsigned style, int id) {
  auto object = std::make_unique<WindowObject>();
  object->handle = Window(S().nextHandle++);
  object->parent = parent;
  object->style = style;
  object->id = id;
  WindowObject* w = object.get();
  S().windows.emplace(std::uintptr_t(w->handle), std::move(object));
  return w;
}

QWidget* ClientWidgetOf(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? static_cast<QWidget*>(w->view) : nullptr;
}

}  // namespace

unsigned VirtualKeyOf(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return kKeyF1 + unsigned(qtKey - Qt::Key_F1);
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return unsigned(qtKey);
  for (const KeyPair& k : kKeys)
    if (k.qtKey == qtKey) return k.virtualKey;
  return 0;
}

int QtKeyOf(unsigned virtualKey) {
  if (virtualKey >= kKeyF1 && virtualKey < kKeyF1 + 12) return Qt::Key_F1 + int(virtualKey - kKeyF1);
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) return int(virtualKey);
  for (const KeyPair& k : kKeys)
    if (k.virtualKey == virtualKey) return k.qtKey;
  return 0;
}

// Frame: menu bar, caption, border, scroll bars around the client view.
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

}  // namespace detail

using namespace detail;

namespace {

// The offscreen platform warns about every top-level window; nothing to fix.
QtMessageHandler gToolkitMessages = nullptr;
void FilterToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QLatin1String("propagateSizeHints"))) return;
  if (gToolkitMessages) gToolkitMessages(type, context, text);
}

}  // namespace

Instance StartApplication(std::string_view program) {
  if (!QApplication::instance()) {
    gToolkitMessages = qInstallMessageHandler(FilterToolkitMessage);
    static int argc = 1;
    static char name[] = "korvane";
    static char* argv[] = {name, nullptr};
    auto* app = new QApplication(argc, argv);  // lives for the rest of the process
    app->setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont ui(QStringLiteral("Liberation Sans"));
    ui.setPixelSize(12);
    QApplication::setFont(ui);
    std::error_code error;
    S().startDirectory = std::filesystem::current_path(error).string();
  }
  // The toolkit takes the user's locale at start; numbers are always read
  // and written with '.'.
  std::setlocale(LC_NUMERIC, "C");
  for (auto& [id, name] : S().programs)
    if (name == program) return Instance(id);
  Instance instance = Instance(S().nextHandle++);
  S().programs.emplace(std::uintptr_t(instance), std::string(program));
  return instance;
}

void EndApplication(Instance) {
  std::vector<Window> tops;
  for (auto& [id, w] : S().windows)
    if (w->parent == Window::kNone) tops.push_back(w->handle);
  for (Window w : tops) RemoveWindowTree(w, false);
  S().windows.clear();
  S().contexts.clear();
  S().queue.clear();
  S().quit = false;
  S().quitCode = 0;
  S().classes.clear();
  S().idleHook = nullptr;
  ResetMenus();
  ResetDrawingObjects();
  SetCursor(CursorShape::kArrow);
  QCoreApplication::processEvents();
}

LParam DefaultWindowProc(Window window, unsigned kind, WParam, LParam) {
  if (kind == msg::kClose) DestroyWindow(window);
  return 0;
}

bool RegisterWindowClass(const WindowClass& windowClass) {
  if (windowClass.name.empty() || !windowClass.proc || S().classes.count(windowClass.name)) return false;
  S().classes.emplace(windowClass.name, windowClass);
  return true;
}

bool UnregisterWindowClass(std::string_view name) {
  auto it = S().classes.find(name);
  if (it == S().classes.end()) return false;
  S().classes.erase(it);
  return true;
}

Window CreateWindow(const WindowCreation& creation) {
  auto it = S().classes.find(creation.className);
  if (it == S().classes.end()) return Window::kNone;
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
    if (!cls.icon.empty() && HasIcon(cls.instance, cls.icon))
      w->frame->setWindowIcon(QIcon(ResourcePath(cls.instance, "icons", cls.icon, ".png")));
  }
  if (creation.style & kStyleHorizontalScroll) {
    w->horizontalBar = new QScrollBar(Qt::Horizontal, w->frame);
    ConnectScrollBar(w->horizontalBar, handle, true, Window::kNone);
  }
  if (creation.style & kStyleVerticalScroll) {
    w->verticalBar = new QScrollBar(Qt::Vertical, w->frame);
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

Window CreateControl(ControlKind kind, std::string_view text, int x, int y, int width, int height, Window parent, int id) {
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
      QObject::connect(w->button, &QPushButton::clicked, w->button,
                       [=] { PostMessage(parent, msg::kCommand, WParam(id), WindowParam(handle)); });
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
  switch (mode) {
    case ShowMode::kHide: w->frame->hide(); break;
    case ShowMode::kShow: w->frame->show(); break;
    case ShowMode::kMaximised:
      if (w->parent == Window::kNone) {
        // Without a window manager a request to maximise is not acted on:
        // take the screen's free area first.
        if (QScreen* screen = QGuiApplication::primaryScreen()) w->frame->setGeometry(screen->availableGeometry());
        w->frame->showMaximized();
      }
      else
        w->frame->show();
      break;
  }
  QCoreApplication::processEvents();  // let the toolkit settle the size before anyone draws
  if ((w = FindWindow(window))) w->frame->Layout();
}

bool IsWindowVisible(Window window) {
  WindowObject* w = FindWindow(window);
  return w && w->frame->isVisible();
}

bool MoveWindow(Window window, int x, int y, int width, int height, bool repaint) {
  WindowObject* w = FindWindow(window);
  if (!w) return false;
  w->frame->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
  w->frame->Layout();
  if (repaint && w->view) w->invalid = true;
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
  if (w->parent == Window::kNone) w->frame->setWindowTitle(ToQt(text));
  if (w->caption) w->caption->setText(ToQt(text));
  if (w->button) w->button->setText(ToQt(text));
}

std::string GetWindowText(Window window) {
  WindowObject* w = FindWindow(window);
  return w ? w->text : std::string();
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
  if (w->parent == Window::kNone) w->frame->activateWindow();
  if (w->view) w->view->setFocus(Qt::OtherFocusReason);
  if (w->button) w->button->setFocus(Qt::OtherFocusReason);
  if (w->controlBar) w->controlBar->setFocus(Qt::OtherFocusReason);
}

Window GetFocus() {
  QWidget* focus = QApplication::focusWidget();
  for (auto& [id, w] : S().windows)
    if (focus && (focus == w->view || focus == w->button || focus == w->controlBar)) return w->handle;
  return Window::kNone;
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

namespace {

// The next queued message for a live window, else a paint for the first
// invalid visible window.
bool TakeMessage(Message& message) {
  auto& q = S().queue;
  while (!q.empty()) {
    message = q.front();
    q.pop_front();
    if (message.window == Window::kNone || IsWindow(message.window)) return true;
  }
  for (auto& [id, w] : S().windows)
    if (w->invalid && w->frame->isVisible()) {
      w->invalid = false;
      message = {w->handle, msg::kPaint, 0, 0};
      return true;
    }
  return false;
}

}  // namespace

bool GetMessage(Message& message) {
  for (;;) {
    if (S().quit) return false;
    PumpToolkit(false);
    if (S().quit) return false;
    if (TakeMessage(message)) return true;
    PumpToolkit(true);
  }
}

bool PeekMessage(Message& message) {
  if (S().quit) {
    message = {Window::kNone, msg::kQuit, WParam(S().quitCode), 0};
    return true;
  }
  PumpToolkit(false);
  return TakeMessage(message);
}

LParam DispatchMessage(const Message& message) {
  if (message.kind == msg::kQuit) return 0;
  return SendMessage(message.window, message.kind, message.wParam, message.lParam);
}

bool PostMessage(Window window, unsigned kind, WParam wParam, LParam lParam) {
  if (window != Window::kNone && !IsWindow(window)) return false;
  S().queue.push_back({window, kind, wParam, lParam});
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
  return true;
}

LParam SendMessage(Window window, unsigned kind, WParam wParam, LParam lParam) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->proc) return 0;
  return w->proc(window, kind, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  S().quit = true;
  S().quitCode = exitCode;
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

bool IsQuitPosted() { return S().quit; }
int QuitCode() { return S().quitCode; }

// Seams that act on windows.
namespace test {

void SetIdleHook(std::function<void()> hook) { S().idleHook = std::move(hook); }

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

}  // namespace test
}  // namespace platform
