// The layer's own state and toolkit objects. Included only by platform/*.cpp.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/drawing.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/system.h"
#include "platform/test_seams.h"
#include "platform/window.h"

class QLabel;
class QMenuBar;
class QPushButton;
class QScrollBar;

namespace platform::detail {

inline QString ToQt(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }
inline std::string FromQt(const QString& text) { return text.toStdString(); }
// 0x00BBGGRR <-> the surfaces' 0xFFRRGGBB.
inline std::uint32_t ToPixel(Colour c) { return 0xFF000000u | RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c); }
inline Colour FromPixel(std::uint32_t p) { return Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

struct PenObject {
  PenStyle style = PenStyle::kSolid;
  int width = 1;
  Colour colour = 0;
};
struct BrushObject {
  enum Kind { kSolid, kHollow, kPattern } kind = kSolid;
  Colour colour = 0;
  QImage pattern;  // 8 by 8 for kPattern
};
struct FontObject {
  QFont font;
  int escapement = 0;
};

// A context keeps copies of what is selected, so deleting a selected object
// leaves it drawing as before.
struct ContextObject {
  Window window = Window::kNone;
  Pen pen{};
  PenObject penValue;
  Brush brush{};
  BrushObject brushValue;
  Font font{};
  FontObject fontValue;
  int mix = kMixCopy;
  int backMode = kBackOpaque;
  Colour back = 0xFFFFFF;
  Colour text = 0;
  Point position;
};

class FrameWidget;
class SurfaceView;

struct MenuItem {
  int id = 0;
  std::string text;
  bool separator = false, checked = false, enabled = true, popup = false;
  std::vector<MenuItem> children;
};
struct MenuObject {
  std::vector<MenuItem> items;
  Window window = Window::kNone;
};

enum class WindowKind { kFramework, kPushButton, kOwnerDrawButton, kScrollBar };

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
  QImage surface;
  bool invalid = false;
  bool pressed = false;  // owner-drawn button held down
  Context context{};
  std::uint64_t drawCalls = 0;
};

struct State {
  std::map<std::uintptr_t, std::string> programs;  // instance -> resource folder
  std::map<std::string, WindowClass, std::less<>> classes;
  std::map<std::uintptr_t, std::unique_ptr<WindowObject>> windows;  // in creation order
  std::map<std::uintptr_t, ContextObject> contexts;
  std::map<std::uintptr_t, PenObject> pens;
  std::map<std::uintptr_t, BrushObject> brushes;
  std::map<std::uintptr_t, FontObject> fonts;
  std::map<std::uintptr_t, QImage> bitmaps;
  std::map<std::uintptr_t, MenuObject> menus;
  std::uintptr_t nextHandle = 100;  // below are the stock objects
  std::deque<Message> queue;
  bool quit = false;
  int quitCode = 0;
  std::function<void()> idleHook;
  test::MessageBoxScript* boxScript = nullptr;
  CursorShape cursor = CursorShape::kArrow;
  std::string startDirectory;
  std::optional<std::uint64_t> fixedClockMs;  // the test clock, in ms of local time
  std::uint32_t fixedTicks = 0;
  std::uint32_t clockStep = 0;  // ms the test clock moves on after each TickCount
};
State& S();

WindowObject* FindWindow(Window window);
ContextObject* FindContext(Context context);
// The path of a named resource of the instance's program (resources.cpp).
QString ResourcePath(Instance instance, const char* folder, std::string_view name, const char* extension);
void RebuildMenuBar(WindowObject& window);
void ResetDrawingObjects();
void ResetMenus();
// Runs toolkit events once; with `wait` it blocks for the next one, or calls
// the idle hook when one is set.
void PumpToolkit(bool wait);
// Default objects of a new context.
void InitContext(ContextObject& context);

// Widgets.
class FrameWidget : public QWidget {
 public:
  FrameWidget(Window window, QWidget* parent);
  void Layout();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Window window_;
};

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

 private:
  Window window_;
};

// Virtual keys <-> toolkit keys.
unsigned VirtualKeyOf(int qtKey);
int QtKeyOf(unsigned virtualKey);

}  // namespace platform::detail
