// The progress window: drawing, pumping and Cancel.
#include <gtest/gtest.h>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/progress_window.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/support/gui_fixture.h"

namespace {

constexpr platform::Colour kBlue = 0xFF0000;

class ProgressWindowTest : public FrameworkTest {
 protected:
  std::uint64_t Draws() { return platform::test::DrawCallCount(gProgress.window); }
  int BlueInBar() {
    int n = 0;
    for (int x = 0; x < 160; ++x) n += platform::test::SurfacePixel(gProgress.window, x, 30) == kBlue;
    return n;
  }
};

TEST_F(ProgressWindowTest, OpensCentredWithFrameTextAndCancel) {
  ASSERT_EQ(OpenProgressWindow("Calculating", "0 %", "Cancel"), 1);
  platform::Size main = platform::GetClientSize(MainWindow.window);
  platform::Rect r = platform::GetWindowRect(gProgress.window);
  EXPECT_EQ(r.left, main.width / 2 - 80);
  EXPECT_EQ(r.top, main.height / 2 - 40);
  EXPECT_EQ(r.right - r.left, 160);
  EXPECT_EQ(r.bottom - r.top, 100);
  EXPECT_EQ(platform::GetWindowId(gProgress.window), kProgressWindowId);
  EXPECT_EQ(platform::GetWindowText(gProgress.window), "Calculating");
  EXPECT_EQ(platform::GetWindowId(gProgress.cancelButton), kProgressCancelId);
  EXPECT_EQ(platform::GetFocus(), gProgress.cancelButton);
  EXPECT_EQ(platform::test::SurfacePixel(gProgress.window, 9, 30), 0u);  // the frame
  EXPECT_EQ(platform::test::SurfacePixel(gProgress.window, 150, 30), 0u);
  EXPECT_EQ(platform::test::SurfacePixel(gProgress.window, 80, 30), 0xFFFFFFu);
  EXPECT_EQ(CloseProgressWindow(), 1);
  EXPECT_FALSE(platform::IsWindow(gProgress.window));
  EXPECT_EQ(CloseProgressWindow(), 0);
}

TEST_F(ProgressWindowTest, TheSamePercentDrawsOnceAndZeroOnlyPumps) {
  ASSERT_EQ(OpenProgressWindow("Map", "", "Cancel"), 1);
  std::uint64_t before = Draws();
  EXPECT_EQ(UpdateProgress(50, "50 %"), 0);
  std::uint64_t once = Draws();
  EXPECT_GT(once, before);
  EXPECT_EQ(BlueInBar(), 70);
  EXPECT_EQ(UpdateProgress(50, "50 %"), 0);
  EXPECT_EQ(Draws(), once);

  platform::PostMessage(MainWindow.window, platform::msg::kUser + 5);
  EXPECT_EQ(UpdateProgress(0, "          "), 0);
  EXPECT_EQ(Draws(), once);
  EXPECT_EQ(Received(platform::msg::kUser + 5).size(), 1u);  // dispatched while pumping
  CloseProgressWindow();
}

TEST_F(ProgressWindowTest, APercentAbove100FillsTheWholeBar) {
  ASSERT_EQ(OpenProgressWindow("Map", "", nullptr), 1);
  EXPECT_EQ(gProgress.cancelButton, platform::Window::kNone);
  UpdateProgress(150, "150 %");
  EXPECT_EQ(BlueInBar(), 140);
  EXPECT_EQ(platform::test::SurfacePixel(gProgress.window, 10, 20), kBlue);
  EXPECT_EQ(platform::test::SurfacePixel(gProgress.window, 149, 40), kBlue);
  EXPECT_EQ(platform::test::SurfacePixel(gProgress.window, 150, 30), 0u);
  CloseProgressWindow();
}

TEST_F(ProgressWindowTest, CancelStopsTheNextUpdateBeforeItDraws) {
  ASSERT_EQ(OpenProgressWindow("Reflections", "", "Cancel"), 1);
  UpdateProgress(10, "10 %");
  std::uint64_t drawn = Draws();
  platform::test::ClickControl(gProgress.cancelButton);
  EXPECT_EQ(UpdateProgress(20, "20 %"), 1);
  EXPECT_EQ(Draws(), drawn);
  EXPECT_EQ(gProgress.cancelFlag, 1);
  CloseProgressWindow();
  EXPECT_EQ(gProgress.cancelFlag, 0);
  ASSERT_EQ(OpenProgressWindow("Reflections", "", "Cancel"), 1);
  EXPECT_EQ(UpdateProgress(20, "20 %"), 0);  // a new window starts clear
  CloseProgressWindow();
}

TEST_F(ProgressWindowTest, ASecondOpenIsRefusedAndLeavesTheFirstAlone) {
  ASSERT_EQ(OpenProgressWindow("First", "", "Cancel"), 1);
  platform::Window first = gProgress.window;
  platform::test::ClickControl(gProgress.cancelButton);
  UpdateProgress(0, nullptr);
  ASSERT_EQ(gProgress.cancelFlag, 1);
  EXPECT_EQ(OpenProgressWindow("Second", "", "Cancel"), 0);
  EXPECT_EQ(gProgress.window, first);
  EXPECT_EQ(platform::GetWindowText(first), "First");
  EXPECT_EQ(gProgress.cancelFlag, 1);  // the running operation still sees its Cancel
  EXPECT_EQ(UpdateProgress(30, nullptr), 1);
  CloseProgressWindow();
}

TEST_F(ProgressWindowTest, WithoutAWindowUpdatesOnlyRememberThePercent) {
  EXPECT_EQ(UpdateProgress(40, "40 %"), 0);
  EXPECT_EQ(gProgress.lastPercent, 40);
  ASSERT_EQ(OpenProgressWindow("Map", "", nullptr), 1);
  UpdateProgress(40, "40 %");  // a new window draws its first percent
  EXPECT_EQ(BlueInBar(), 56);
  CloseProgressWindow();
}

TEST_F(ProgressWindowTest, AQuitStopsTheOperation) {
  ASSERT_EQ(OpenProgressWindow("Map", "", "Cancel"), 1);
  platform::PostQuitMessage(0);
  EXPECT_EQ(UpdateProgress(10, nullptr), 1);
  CloseProgressWindow();
}

}  // namespace
