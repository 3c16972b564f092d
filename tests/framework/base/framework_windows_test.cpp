// Start-up, the main window with its drawing window, menus, controls and
// the end of the program.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "platform/menu.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/support/gui_fixture.h"

namespace {

using FrameworkWindowsTest = FrameworkTest;

TEST_F(FrameworkWindowsTest, AProgramRunsItsMainWindowDrawsOnACommandAndEndsWhenItIsDestroyed) {
  EXPECT_TRUE(platform::IsWindowVisible(MainWindow.window));
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "Framework test");
  EXPECT_EQ(gOutput.currentWindow, &MainWindow);
  EXPECT_NE(MainWindow.context, platform::Context::kNone);
  EXPECT_EQ(platform::test::SurfacePixel(MainWindow.window, 5, 5), kLightGrey);

  platform::Size client = platform::GetClientSize(MainWindow.window);
  ASSERT_GT(client.width, 200);
  DrawWindow->window = CreateChildWindow("", platform::kStyleBorder, kDrawMarginLeft, kDrawMarginTop,
                                         client.width - kDrawMarginLeft - kDrawMarginRight,
                                         client.height - kDrawMarginTop - kDrawMarginBottom, 10000);
  platform::Rect placed = platform::GetWindowRect(DrawWindow->window);
  EXPECT_EQ(placed.left, 32);
  EXPECT_EQ(placed.top, 24);
  EXPECT_EQ(client.width - placed.right, 32);
  EXPECT_EQ(client.height - placed.bottom, 24);
  EXPECT_EQ(platform::GetWindowId(DrawWindow->window), 10000);

  int drawn = 0;
  onMessage = [&](const platform::Message& m) -> platform::LParam {
    if (m.window == MainWindow.window && m.kind == platform::msg::kCommand && platform::LowWord(m.wParam) == 4201) {
      WindowRecord* previous = SelectOutputWindow(DrawWindow);
      SetPenColor(21);
      SetBrushColor(19);
      DrawRectangle({10, 10, 60, 40}, 1);
      SelectOutputWindow(previous);
      ++drawn;
    }
    return platform::DefaultWindowProc(m.window, m.kind, m.wParam, m.lParam);
  };
  int step = 0;
  RunLoop([&] {
    switch (step++) {
      case 0: EXPECT_TRUE(platform::test::ChooseMenuItem(MainWindow.window, 4201)); break;
      case 1: platform::test::RequestClose(MainWindow.window); break;
      default: break;
    }
  });
  EXPECT_EQ(drawn, 1);
  EXPECT_GE(step, 2);
  EXPECT_FALSE(platform::IsWindow(MainWindow.window));  // closed, destroyed, and the loop ended on quit
  EXPECT_TRUE(platform::IsQuitPosted());
  EXPECT_EQ(Received(platform::msg::kDestroy).size(), 2u);  // main and drawing window
  EXPECT_EQ(MainWindow.context, platform::Context::kNone);
}

TEST_F(FrameworkWindowsTest, TheSurfaceOfTheDrawingWindowShowsTheDrawing) {
  DrawWindow->window = CreateChildWindow("", 0, 32, 24, 200, 150, 10000);
  SelectOutputWindow(DrawWindow);
  SetPenColor(21);
  SetBrushColor(19);
  DrawRectangle({10, 10, 60, 40}, 1);
  Pump();  // paints and resizes leave the surface as drawn
  EXPECT_EQ(platform::test::SurfacePixel(DrawWindow->window, 10, 10), gPalette.colours[21]);
  EXPECT_EQ(platform::test::SurfacePixel(DrawWindow->window, 30, 30), gPalette.colours[19]);
  EXPECT_EQ(platform::test::SurfacePixel(DrawWindow->window, 61, 30), kLightGrey);
}

TEST_F(FrameworkWindowsTest, TheTwoClassesAreRegisteredUntilTheEnd) {
  platform::WindowClass again;
  again.name = kMainWindowClass;
  again.proc = platform::DefaultWindowProc;
  EXPECT_FALSE(platform::RegisterWindowClass(again));
  UnregisterFrameworkClasses();
  EXPECT_EQ(CreateChildWindow("", 0, 0, 0, 10, 10, 1), platform::Window::kNone);
  EXPECT_TRUE(platform::RegisterWindowClass(again));
}

TEST_F(FrameworkWindowsTest, StartUpRecordsTheFolderAndPreparesTheDrawingObjects) {
  EXPECT_EQ(GetStartDirectory(), platform::StartDirectory());
  EXPECT_TRUE(std::filesystem::is_directory(GetStartDirectory()));
  for (int i = 0; i < kPatternBrushCount; ++i) EXPECT_NE(gFramework.patternBrushes[i], platform::Brush::kNone) << i;
  EXPECT_EQ(platform::GetBackMode(gOutput.context), platform::kBackTransparent);
  EXPECT_EQ(platform::test::CountLiveObjects().pens, 1);  // the black pen of LoadPatternBrushes
  ReleaseDrawingObjects();
  platform::test::LiveObjects live = platform::test::CountLiveObjects();
  EXPECT_EQ(live.pens, 0);
  EXPECT_EQ(live.brushes, 0);
  EXPECT_EQ(live.bitmaps, 0);
  LoadPatternBrushes();
  EXPECT_EQ(platform::test::CountLiveObjects().brushes, kPatternBrushCount + 1);
}

TEST_F(FrameworkWindowsTest, MenuItemsAreCheckedDeletedInsertedAndTheMenuReplaced) {
  platform::Menu menu = GetWindowMenu(&MainWindow);
  ASSERT_NE(menu, platform::Menu::kNone);
  EXPECT_TRUE(CheckMenuItemOn(menu, 605));
  EXPECT_TRUE(CheckMenuItemOff(menu, 604));
  EXPECT_TRUE(platform::IsMenuItemChecked(menu, 605));
  EXPECT_FALSE(platform::IsMenuItemChecked(menu, 604));
  EXPECT_FALSE(CheckMenuItemOn(menu, 9999));
  InsertMenuItem(menu, 103, 199, "Recent \xB0");
  EXPECT_EQ(platform::GetMenuItemText(menu, 103), "Recent \xC2\xB0");
  DeleteMenuItem(menu, 101);
  EXPECT_FALSE(platform::HasMenuItem(menu, 101));
  ReplaceWindowMenu(&MainWindow, "SMOKE");
  platform::Menu fresh = GetWindowMenu(&MainWindow);
  EXPECT_NE(fresh, menu);
  EXPECT_TRUE(platform::HasMenuItem(fresh, 101));
  EXPECT_FALSE(platform::HasMenuItem(menu, 101));  // the old one is gone
  EXPECT_TRUE(platform::test::ChooseMenuItem(MainWindow.window, 101));
}

TEST_F(FrameworkWindowsTest, ScrollParametersCarryASignedThumb) {
  struct Case {
    platform::WParam wParam;
    std::int32_t code, thumb;
  };
  for (Case c : {Case{0x00000001, 1, 0}, Case{0x00140004, 4, 20}, Case{0xFFEC0004, 4, -20}, Case{0xFFCE0005, 5, -50},
                 Case{0x80000004, 4, -32768}}) {
    ScrollParams* p = UnpackScrollParams(c.wParam, 0);
    EXPECT_EQ(p->code, c.code) << std::hex << c.wParam;
    EXPECT_EQ(p->thumb, c.thumb) << std::hex << c.wParam;
    EXPECT_EQ(p->scrollBar, platform::Window::kNone);
  }
  platform::Window bar = CreateVerticalScrollBar("", 0, 0, 16, 100, 7);
  platform::SetScrollRange(bar, platform::ScrollBar::kControl, -50, 50, false);
  platform::test::DragScrollThumb(bar, platform::ScrollBar::kControl, -30);
  Pump();
  bool seen = false;
  for (const auto& m : Received(platform::msg::kVerticalScroll)) {
    ScrollParams* p = UnpackScrollParams(m.wParam, m.lParam);
    EXPECT_EQ(p->scrollBar, bar);
    if (p->code == std::int32_t(platform::kScrollThumbPosition)) {
      seen = true;
      EXPECT_EQ(p->thumb, -30);
    }
  }
  EXPECT_TRUE(seen);
}

TEST_F(FrameworkWindowsTest, ControlsOfTheMainWindowSendTheirIds) {
  platform::Window ok = CreatePushButton("OK", 10, 10, 60, 22, 20000);
  platform::Window tool = CreateOwnerDrawButton("", 80, 10, 30, 30, 20001);
  platform::Window child = CreateChildWindow("RT60", platform::kStyleBorder, 10, 50, 100, 80, 10003);
  EXPECT_EQ(platform::GetParent(ok), MainWindow.window);
  EXPECT_TRUE(platform::IsWindowVisible(child));
  platform::test::ClickControl(ok);
  platform::test::ClickControl(tool);
  Pump();
  std::vector<unsigned> ids;
  for (const auto& m : Received(platform::msg::kCommand)) ids.push_back(platform::LowWord(m.wParam));
  EXPECT_EQ(ids, (std::vector<unsigned>{20000, 20001}));
  EXPECT_FALSE(Received(platform::msg::kDrawItem).empty());
  DestroyControl(ok);
  EXPECT_FALSE(platform::IsWindow(ok));
}

// A command waiting for input while the user clicks into the drawing window
// and presses Escape, all through the toolkit's own event path: the key
// reaches the main window's procedure and cancels the command.
TEST_F(FrameworkWindowsTest, EscapeAfterAClickInTheDrawingWindowCancelsTheWaitingCommand) {
  DrawWindow->window = CreateChildWindow("", platform::kStyleBorder, 32, 24, 300, 200, 10000);
  Pump();
  messages_.clear();
  bool cancelled = false;
  onMessage = [&](const platform::Message& m) -> platform::LParam {
    if (m.window != MainWindow.window) return 0;
    if (m.kind == platform::msg::kKeyDown && m.wParam == platform::kKeyEscape) cancelled = true;
    if (m.kind == platform::msg::kCommand && platform::LowWord(m.wParam) == 2302) {
      // The command's own wait, as the input loop runs it.
      platform::Message inner;
      while (!cancelled && platform::GetMessage(inner)) platform::DispatchMessage(inner);
      platform::PostQuitMessage(0);
    }
    return 0;
  };
  platform::PostMessage(MainWindow.window, platform::msg::kCommand, 2302);
  int step = 0;
  RunLoop([&] {
    switch (step++) {
      case 0: platform::test::Click(DrawWindow->window, 100, 80); break;
      case 1: platform::test::KeyPress(platform::kKeyEscape); break;
      default: break;
    }
  });
  EXPECT_TRUE(cancelled);
  ASSERT_EQ(Received(platform::msg::kLeftButtonDown).size(), 1u);
  EXPECT_EQ(Received(platform::msg::kLeftButtonDown)[0].window, DrawWindow->window);
  for (const auto& key : Received(platform::msg::kKeyDown)) EXPECT_EQ(key.window, MainWindow.window);
  EXPECT_EQ(platform::GetFocus(), MainWindow.window);
}

}  // namespace
