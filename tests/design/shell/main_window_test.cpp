// kdn's drawing window as the window system drives it: no painting while
// the main window is minimised, and the arrow for a pointer moved with
// Control held.
#include <gtest/gtest.h>

#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "platform/system.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/design/shell/kdn_fixture.h"

namespace {

class MainWindowTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
  }
};

TEST_F(MainWindowTest, NothingIsPaintedWhileTheMainWindowIsMinimised) {
  const platform::Window draw = DrawWindow->window;
  platform::ShowWindow(MainWindow.window, platform::ShowMode::kMinimised);
  ASSERT_TRUE(platform::IsMinimised(draw));
  Pump();
  const uint64_t calls = platform::test::DrawCallCount(draw);
  platform::InvalidateWindow(draw);
  Pump();
  EXPECT_EQ(platform::test::DrawCallCount(draw), calls);
  platform::ShowWindow(MainWindow.window, platform::ShowMode::kMaximised);
  EXPECT_FALSE(platform::IsMinimised(draw));
  platform::InvalidateWindow(draw);
  Pump();
  EXPECT_GT(platform::test::DrawCallCount(draw), calls);
}

TEST_F(MainWindowTest, AMoveWithControlHeldShowsTheArrow) {
  const platform::Window draw = DrawWindow->window;
  platform::test::MouseMove(draw, 100, 100);
  Pump();
  EXPECT_EQ(platform::test::ShownCursor(draw), platform::CursorShape::kNone);  // the crosshair stands for it
  platform::test::MouseMove(draw, 120, 100, platform::kMouseControl);
  Pump();
  EXPECT_EQ(platform::test::ShownCursor(draw), platform::CursorShape::kArrow);
}

}  // namespace
