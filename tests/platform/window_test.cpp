// Windows, the message queue and the translation of input into messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/drawing.h"
#include "platform/menu.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/support/gui_fixture.h"

using namespace platform;

namespace {

using WindowTest = PlatformTest;

Window CreateChild(Window parent, unsigned style, int x, int y, int w, int h, int id) {
  WindowCreation creation;
  creation.className = "TEST_WINDOW";
  creation.style = kStyleChild | kStyleVisible | style;
  creation.x = x;
  creation.y = y;
  creation.width = w;
  creation.height = h;
  creation.parent = parent;
  creation.id = id;
  return CreateWindow(creation);
}

TEST_F(WindowTest, PostedMessagesComeInOrderAndQuitEndsEveryLoop) {
  PostMessage(window_, msg::kUser + 1, 10, 20);
  PostMessage(window_, msg::kUser + 2);
  Message m;
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.kind, msg::kUser + 1);
  EXPECT_EQ(m.wParam, 10u);
  EXPECT_EQ(m.lParam, 20);
  ASSERT_TRUE(PeekMessage(m));
  EXPECT_EQ(m.kind, msg::kUser + 2);
  EXPECT_FALSE(PeekMessage(m));

  // A nested loop inside a dispatched message ends on quit, and so does the
  // loop around it.
  int nestedEnded = 0;
  onMessage = [&](const Message& message) -> LParam {
    if (message.kind == msg::kUser + 3) {
      Message inner;
      while (GetMessage(inner)) DispatchMessage(inner);
      ++nestedEnded;
    }
    return 0;
  };
  PostMessage(window_, msg::kUser + 3);
  RunLoop([] { PostQuitMessage(7); });
  EXPECT_EQ(nestedEnded, 1);
  EXPECT_TRUE(IsQuitPosted());
  EXPECT_EQ(QuitCode(), 7);
  ASSERT_TRUE(PeekMessage(m));
  EXPECT_EQ(m.kind, msg::kQuit);
}

TEST_F(WindowTest, MouseInputArrivesAsMessagesWithPointAndFlags) {
  test::Click(window_, 12, 34);
  test::Click(window_, 5, 6, kMouseRight);
  test::MouseMove(window_, 150, 40, kMouseShift);
  Pump();
  auto downs = Received(msg::kLeftButtonDown);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(LowSigned(std::uintptr_t(downs[0].lParam)), 12);
  EXPECT_EQ(HighSigned(std::uintptr_t(downs[0].lParam)), 34);
  EXPECT_EQ(downs[0].wParam & kMouseLeft, kMouseLeft);
  EXPECT_EQ(Received(msg::kLeftButtonUp).size(), 1u);
  EXPECT_EQ(Received(msg::kRightButtonDown).size(), 1u);
  EXPECT_EQ(Received(msg::kRightButtonUp).size(), 1u);
  auto moves = Received(msg::kMouseMove);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(LowSigned(std::uintptr_t(moves[0].lParam)), 150);
  EXPECT_EQ(moves[0].wParam, kMouseShift);
  // The window hears first that the pointer is over its client area.
  auto cursors = Received(msg::kSetCursor);
  ASSERT_EQ(cursors.size(), 1u);
  EXPECT_EQ(cursors[0].lParam, kHitClient);

  // A drag keeps reporting to the window it started in, beyond its edge.
  messages_.clear();
  test::Drag(window_, 10, 10, -3, 40);
  Pump();
  moves = Received(msg::kMouseMove);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(LowSigned(std::uintptr_t(moves[0].lParam)), -3);
  EXPECT_EQ(moves[0].wParam, kMouseLeft);
  ASSERT_EQ(Received(msg::kLeftButtonUp).size(), 1u);
  EXPECT_EQ(LowSigned(std::uintptr_t(Received(msg::kLeftButtonUp)[0].lParam)), -3);

  messages_.clear();
  test::DoubleClick(window_, 1, 1);
  Pump();
  std::vector<unsigned> kinds;
  for (auto& m : messages_) kinds.push_back(m.kind);
  EXPECT_EQ(kinds, (std::vector<unsigned>{msg::kLeftButtonDown, msg::kLeftButtonUp, msg::kLeftDoubleClick,
                                          msg::kLeftButtonUp}));
}

TEST_F(WindowTest, KeysArriveAsVirtualKeysAndCharacters) {
  struct Case {
    unsigned key;
    char32_t character;  // 0: none
  };
  for (Case c :
       {Case{KeyF(5), 0}, Case{KeyF(11), 0}, Case{kKeyEnter, 13}, Case{kKeySpace, ' '}, Case{kKeyEscape, 27},
        Case{kKeyLeft, 0}, Case{kKeyDown, 0}, Case{'A', 'a'}, Case{'R', 'r'}, Case{'7', '7'}, Case{kKeyTab, 9}}) {
    messages_.clear();
    test::KeyPress(c.key);
    Pump();
    auto downs = Received(msg::kKeyDown);
    ASSERT_EQ(downs.size(), 1u) << c.key;
    EXPECT_EQ(downs[0].wParam, c.key);
    auto chars = Received(msg::kChar);
    if (c.character) {
      ASSERT_EQ(chars.size(), 1u) << c.key;
      EXPECT_EQ(chars[0].wParam, WParam(c.character));
    } else {
      EXPECT_TRUE(chars.empty()) << c.key;
    }
  }
}

TEST_F(WindowTest, AResizeGivesANewSurfaceASizeAndThenAPaint) {
  Window child = CreateChild(window_, 0, 10, 10, 80, 60, 5);
  Pump();
  EXPECT_EQ(GetClientSize(child).width, 80);
  Context c = GetWindowContext(child);
  SetPixel(c, 1, 1, Rgb(1, 2, 3));
  messages_.clear();
  MoveWindow(child, 10, 10, 120, 70, true);
  // The size handler has run before the call returns.
  ASSERT_EQ(Received(msg::kSize).size(), 1u);
  PostMessage(window_, msg::kUser);
  EXPECT_EQ(GetClientSize(child).width, 120);
  EXPECT_EQ(GetClientSize(child).height, 70);
  EXPECT_EQ(test::SurfacePixel(child, 1, 1), 0xFFFFFFu);  // the class background
  Pump();
  std::vector<unsigned> kinds;
  for (auto& m : messages_)
    if (m.window == child || m.kind == msg::kUser) kinds.push_back(m.kind);
  EXPECT_EQ(kinds, (std::vector<unsigned>{msg::kSize, msg::kUser, msg::kPaint}));
  auto sizes = Received(msg::kSize);
  EXPECT_EQ(LowWord(std::uintptr_t(sizes[0].lParam)), 120u);
  EXPECT_EQ(HighWord(std::uintptr_t(sizes[0].lParam)), 70u);
  // Nothing is invalid now: no further paint.
  messages_.clear();
  Pump();
  EXPECT_TRUE(Received(msg::kPaint).empty());
}

TEST_F(WindowTest, DrawingOutsidePaintStaysOnTheSurface) {
  SetPixel(context_, 4, 4, Rgb(200, 10, 10));
  Pump();
  EXPECT_EQ(test::SurfacePixel(window_, 4, 4), Rgb(200, 10, 10));
  std::string path = ::testing::TempDir() + "surface.png";
  EXPECT_TRUE(test::SaveSurfacePng(window_, path));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char magic[4] = {};
  EXPECT_EQ(std::fread(magic, 1, 4, f), 4u);
  std::fclose(f);
  EXPECT_EQ(magic[1], 'P');
  std::remove(path.c_str());
}

TEST_F(WindowTest, DestroyTellsTheWindowThenItsChildrenAndForgetsThem) {
  Window child = CreateChild(window_, 0, 0, 0, 50, 50, 1);
  Window grandchild = CreateChild(child, 0, 0, 0, 20, 20, 2);
  PostMessage(child, msg::kUser);
  messages_.clear();
  EXPECT_TRUE(DestroyWindow(child));
  auto destroys = Received(msg::kDestroy);
  ASSERT_EQ(destroys.size(), 2u);
  EXPECT_EQ(destroys[0].window, child);
  EXPECT_EQ(destroys[1].window, grandchild);
  EXPECT_FALSE(IsWindow(grandchild));
  EXPECT_FALSE(DestroyWindow(child));
  EXPECT_EQ(GetWindowContext(child), Context::kNone);
  Pump();
  EXPECT_TRUE(Received(msg::kUser).empty());
}

TEST_F(WindowTest, TheCloseBoxAsksTheProcedure) {
  test::RequestClose(window_);
  EXPECT_TRUE(IsWindow(window_));
  Pump();
  EXPECT_EQ(Received(msg::kClose).size(), 1u);
  EXPECT_FALSE(IsWindow(window_));  // the default procedure destroyed it
}

TEST_F(WindowTest, ScrollBarsSendCodeSignedThumbAndSender) {
  Window scrolled = CreateChild(window_, kStyleHorizontalScroll | kStyleVerticalScroll, 0, 0, 150, 120, 3);
  SetScrollRange(scrolled, ScrollBar::kVertical, -50, 50, false);
  SetScrollPosition(scrolled, ScrollBar::kVertical, 0, true);
  EXPECT_LT(GetClientSize(scrolled).width, 150);
  test::ScrollAction(scrolled, ScrollBar::kVertical, kScrollLineDown);
  test::ScrollAction(scrolled, ScrollBar::kHorizontal, kScrollPageUp);
  test::DragScrollThumb(scrolled, ScrollBar::kVertical, -20);
  Window bar = CreateControl(ControlKind::kHorizontalScrollBar, "", 0, 130, 100, 16, window_, 9);
  SetScrollRange(bar, ScrollBar::kControl, -50, 50, false);
  test::ScrollAction(bar, ScrollBar::kControl, kScrollLineUp);
  Pump();
  auto vertical = Received(msg::kVerticalScroll);
  ASSERT_GE(vertical.size(), 2u);
  EXPECT_EQ(vertical[0].window, scrolled);
  EXPECT_EQ(LowWord(vertical[0].wParam), kScrollLineDown);
  EXPECT_EQ(vertical[0].lParam, 0);
  bool thumb = false;
  for (auto& m : vertical)
    if (LowWord(m.wParam) == kScrollThumbPosition) {
      thumb = true;
      EXPECT_EQ(HighSigned(m.wParam), -20);
    }
  EXPECT_TRUE(thumb);
  auto horizontal = Received(msg::kHorizontalScroll);
  ASSERT_EQ(horizontal.size(), 2u);
  EXPECT_EQ(LowWord(horizontal[0].wParam), kScrollPageUp);
  EXPECT_EQ(horizontal[1].window, window_);  // a control tells its parent
  EXPECT_EQ(ParamWindow(horizontal[1].lParam), bar);
}

// Top and bottom: from the seam, and from Home and End on a bar that has the
// focus, as the toolkit turns those keys into the bar's own actions.
TEST_F(WindowTest, ScrollBarsSendTopAndBottom) {
  Window bar = CreateControl(ControlKind::kVerticalScrollBar, "", 0, 0, 16, 100, window_, 9);
  SetScrollRange(bar, ScrollBar::kControl, 0, 100, false);
  SetScrollPosition(bar, ScrollBar::kControl, 50, false);
  test::ScrollAction(bar, ScrollBar::kControl, kScrollBottom);
  test::ScrollAction(bar, ScrollBar::kControl, kScrollTop);
  SetFocus(bar);
  test::KeyPress(kKeyEnd);
  test::KeyPress(kKeyHome);
  Pump();
  std::vector<unsigned> codes;
  for (const Message& m : Received(msg::kVerticalScroll)) {
    EXPECT_EQ(ParamWindow(m.lParam), bar);
    codes.push_back(LowWord(m.wParam));
  }
  EXPECT_EQ(codes, (std::vector<unsigned>{kScrollBottom, kScrollTop, kScrollBottom, kScrollTop}));
}

TEST_F(WindowTest, ButtonsPostCommandsAndOwnerDrawnOnesAreDrawnByTheParent) {
  Window button = CreateControl(ControlKind::kPushButton, "Cancel", 10, 10, 90, 22, window_, 32761);
  EXPECT_EQ(GetWindowText(button), "Cancel");
  EXPECT_TRUE(test::ClickControl(button));
  Pump();
  auto commands = Received(msg::kCommand);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LowWord(commands[0].wParam), 32761u);
  EXPECT_EQ(ParamWindow(commands[0].lParam), button);

  messages_.clear();
  Rect drawn{};
  onMessage = [&](const Message& m) -> LParam {
    if (m.kind == msg::kDrawItem) {
      auto* item = reinterpret_cast<const DrawItem*>(m.lParam);
      drawn = item->bounds;
      Brush red = CreateSolidBrush(Rgb(255, 0, 0));
      FillRect(item->context, item->bounds, red);
      DeleteObject(red);
    }
    return DefaultWindowProc(m.window, m.kind, m.wParam, m.lParam);
  };
  Window owner = CreateControl(ControlKind::kOwnerDrawButton, "", 10, 40, 40, 30, window_, 20001);
  Pump();
  EXPECT_EQ(drawn.right, 40);
  EXPECT_EQ(drawn.bottom, 30);
  EXPECT_EQ(test::SurfacePixel(owner, 5, 5), Rgb(255, 0, 0));
  EXPECT_TRUE(test::ClickControl(owner));
  Pump();
  auto clicks = Received(msg::kCommand);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(LowWord(clicks[0].wParam), 20001u);
}

TEST_F(WindowTest, TheIdleHookActsWheneverTheLoopWouldWait) {
  int step = 0;
  RunLoop([&] {
    ++step;
    if (step == 1) test::Click(window_, 3, 3);
    if (step == 2) PostQuitMessage(0);
  });
  EXPECT_EQ(step, 2);
  EXPECT_EQ(Received(msg::kLeftButtonDown).size(), 1u);
}

TEST_F(WindowTest, TextAndGeometryOfWindows) {
  SetWindowText(window_, "Korvane \xC2\xB0");
  EXPECT_EQ(GetWindowText(window_), "Korvane \xC2\xB0");
  Window child = CreateChild(window_, kStyleBorder, 32, 24, 100, 80, 10000);
  EXPECT_EQ(GetWindowId(child), 10000);
  EXPECT_EQ(GetParent(child), window_);
  Rect r = GetWindowRect(child);
  EXPECT_EQ(r.left, 32);
  EXPECT_EQ(r.top, 24);
  EXPECT_EQ(r.right, 132);
  EXPECT_EQ(GetClientSize(child).width, 98);  // inside the border
  ShowWindow(child, ShowMode::kHide);
  EXPECT_FALSE(IsWindowVisible(child));
  InvalidateWindow(child);
  EXPECT_TRUE(IsWindowInvalid(child));
  ValidateWindow(child);
  EXPECT_FALSE(IsWindowInvalid(child));
  WindowCreation unknown;
  unknown.className = "NO_SUCH_CLASS";
  EXPECT_EQ(CreateWindow(unknown), Window::kNone);
}

TEST_F(WindowTest, ThePointerOverMenuBarAndFrameGivesNonClientMessages) {
  Menu menu = LoadMenu(instance_, "SMOKE");
  ASSERT_TRUE(SetWindowMenu(window_, menu));
  Window child = CreateChild(window_, kStyleBorder, 20, 60, 100, 60, 7);
  Pump();
  messages_.clear();
  test::MouseMoveInFrame(window_, 10, 5);  // on the menu bar
  test::MouseMoveInFrame(child, 0, 30);    // on the child's border
  test::MouseMove(child, 40, 20);
  Pump();
  std::vector<std::pair<Window, LParam>> hits;
  for (auto& m : Received(msg::kSetCursor)) hits.push_back({m.window, m.lParam});
  EXPECT_EQ(hits,
            (std::vector<std::pair<Window, LParam>>{{window_, kHitMenu}, {child, kHitBorder}, {child, kHitClient}}));
  auto outside = Received(msg::kNonClientMouseMove);
  ASSERT_EQ(outside.size(), 2u);
  EXPECT_EQ(outside[0].wParam, WParam(kHitMenu));
  EXPECT_EQ(LowSigned(std::uintptr_t(outside[0].lParam)), 10);
  EXPECT_EQ(Received(msg::kMouseMove).size(), 1u);
}

TEST_F(WindowTest, WheelAndFocusChangesArriveAsMessages) {
  Window child = CreateChild(window_, 0, 0, 0, 100, 60, 7);
  Pump();
  messages_.clear();
  test::Wheel(child, 30, 20, -120);
  SetFocus(child);
  EXPECT_EQ(GetFocus(), child);
  Pump();
  auto wheels = Received(msg::kMouseWheel);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(wheels[0].window, child);
  EXPECT_EQ(HighSigned(wheels[0].wParam), -120);
  EXPECT_EQ(LowSigned(std::uintptr_t(wheels[0].lParam)), 30);
  ASSERT_EQ(Received(msg::kKillFocus).size(), 1u);
  EXPECT_EQ(Received(msg::kKillFocus)[0].window, window_);
  ASSERT_EQ(Received(msg::kSetFocus).size(), 1u);
  EXPECT_EQ(Received(msg::kSetFocus)[0].window, child);
}

// A click into a child leaves the keyboard with the window that has it;
// keys reach the child only once SetFocus gives it the focus.
TEST_F(WindowTest, AClickDoesNotMoveTheKeyboardFocus) {
  Window child = CreateChild(window_, 0, 10, 10, 100, 60, 7);
  Window button = CreateControl(ControlKind::kPushButton, "OK", 120, 10, 40, 20, window_, 20998);
  Pump();
  test::Click(child, 5, 5);
  test::KeyPress(kKeyEscape);
  test::KeyPress(kKeyTab);  // a key like any other, not a move to the button
  SetFocus(child);
  test::KeyPress(KeyF(5));
  Pump();
  std::vector<std::pair<Window, WParam>> keys;
  for (auto& m : Received(msg::kKeyDown)) keys.push_back({m.window, m.wParam});
  EXPECT_EQ(keys,
            (std::vector<std::pair<Window, WParam>>{{window_, kKeyEscape}, {window_, kKeyTab}, {child, KeyF(5)}}));
  EXPECT_EQ(Received(msg::kLeftButtonDown).size(), 1u);
  EXPECT_NE(GetFocus(), button);
}

// A button clicked with the mouse leaves the keys where they were; a control
// that was given the keys and goes (a progress window's Cancel) hands them
// back to its top-level window, not to nobody.
TEST_F(WindowTest, KeysStayWithTheWindowWhenAButtonIsClickedOrTheFocusedControlGoes) {
  Window stop = CreateControl(ControlKind::kPushButton, "STOP", 10, 10, 40, 20, window_, 20999);
  Window panel = CreateChild(window_, 0, 100, 10, 160, 100, 7);
  Window cancel = CreateControl(ControlKind::kPushButton, "Cancel", 64, 50, 90, 22, panel, 32761);
  Pump();
  test::Click(stop, 5, 5);
  Pump();
  EXPECT_EQ(GetFocus(), window_);
  EXPECT_EQ(Received(msg::kCommand).size(), 1u);
  DestroyWindow(stop);
  SetFocus(cancel);
  ASSERT_EQ(GetFocus(), cancel);
  DestroyWindow(panel);
  Pump();
  EXPECT_EQ(GetFocus(), window_);
  messages_.clear();
  test::KeyPress(KeyF(4));
  Pump();
  ASSERT_EQ(Received(msg::kKeyDown).size(), 1u);
  EXPECT_EQ(Received(msg::kKeyDown)[0].window, window_);
}

}  // namespace
