// The one loop over the queue as the main loop and as a command's wait for
// points, driven by real clicks, keys and quits.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/support/gui_fixture.h"

namespace {

constexpr int kCommand = 2201;

// A program's window procedures in miniature: the main window runs command
// 2201, which waits for points until its input ends, and takes Enter and
// Escape; the drawing window turns a left click into the point (x, y, 0)
// and a right click into the end of the input, or into the last command
// again when none runs.
class InputLoopTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    DrawWindow->window = CreateChildWindow("", 0, kDrawMarginLeft, kDrawMarginTop, 300, 200, 10000);
    draw_ = DrawWindow->window;
    Pump();
    onMessage = [this](const platform::Message& m) -> platform::LParam {
      if (m.window == MainWindow.window && m.kind == platform::msg::kCommand && platform::LowWord(m.wParam) == kCommand)
        RunCommand();
      else if (m.kind == platform::msg::kKeyDown && m.wParam == platform::kKeyEscape) RequestCancel();
      else if (m.kind == platform::msg::kKeyDown && m.wParam == platform::kKeyEnter) RequestDone();
      else if (m.window == draw_ && m.kind == platform::msg::kLeftButtonDown && gInput.activeCommand) {
        gInput.cursorPoint = {float(platform::LowSigned(m.lParam)), float(platform::HighSigned(m.lParam)), 0};
        gInput.pickFlag = true;
      } else if (m.window == draw_ && m.kind == platform::msg::kRightButtonDown) {
        if (gInput.activeCommand) gInput.endFlag = true;
        else RepeatLastCommand();
      }
      return platform::DefaultWindowProc(m.window, m.kind, m.wParam, m.lParam);
    };
  }
  // What one run of the command saw.
  struct Run {
    std::vector<ObjectVertex> points;
    bool cancelled = false, done = false;
  };

  void RunCommand() {
    Run run;
    gInput.activeCommand = kCommand;
    for (;;) {
      WaitForPoint();
      if (gInput.cancel) {
        run.cancelled = true;
        break;
      }
      if (gInput.done) {
        run.done = true;
        break;
      }
      run.points.push_back(gInput.acceptedPoint);
    }
    gInput.activeCommand = 0;
    gInput.lastCommand = kCommand;
    runs_.push_back(run);
  }

  // The main loop, with `steps` acting one after another whenever it would block.
  void MainLoop(std::vector<std::function<void()>> steps) { RunSteps(WaitForPoint, std::move(steps)); }

  void StartCommand() { platform::PostMessage(MainWindow.window, platform::msg::kCommand, kCommand); }
  void Quit() { platform::PostQuitMessage(0); }

  platform::Window draw_ = platform::Window::kNone;
  std::vector<Run> runs_;
};

bool Same(const ObjectVertex& a, const ObjectVertex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

TEST_F(InputLoopTest, ACommandTakesTwoClickedPointsAndEndsOnARightClickThatLeavesTheLastPoint) {
  MainLoop({[&] { StartCommand(); }, [&] { platform::test::Click(draw_, 10, 20); },
            [&] { platform::test::Click(draw_, 30, 40); },
            [&] { platform::test::Click(draw_, 50, 60, platform::kMouseRight); }, [&] { Quit(); }});
  ASSERT_EQ(runs_.size(), 1u);
  const Run& run = runs_[0];
  EXPECT_TRUE(run.done);
  EXPECT_FALSE(run.cancelled);
  ASSERT_EQ(run.points.size(), 2u);
  EXPECT_TRUE(Same(run.points[0], {10, 20, 0}));
  EXPECT_TRUE(Same(run.points[1], {30, 40, 0}));
  EXPECT_TRUE(Same(gInput.acceptedPoint, {30, 40, 0}));
}

TEST_F(InputLoopTest, EscapeCancelsAndEnterEndsTheWaitingCommand) {
  MainLoop({[&] { StartCommand(); }, [&] { platform::test::Click(draw_, 5, 5); },
            [&] { platform::test::KeyPress(platform::kKeyEscape); }, [&] { StartCommand(); },
            [&] { platform::test::KeyPress(platform::kKeyEnter); }, [&] { Quit(); }});
  ASSERT_EQ(runs_.size(), 2u);
  EXPECT_TRUE(runs_[0].cancelled);
  EXPECT_EQ(runs_[0].points.size(), 1u);
  EXPECT_TRUE(runs_[1].done);
  EXPECT_TRUE(runs_[1].points.empty());
}

TEST_F(InputLoopTest, WithNoCommandRunningClicksAndKeysDoNotEndTheMainLoopOnlyQuitDoes) {
  MainLoop({[&] { platform::test::Click(draw_, 5, 5); }, [&] { platform::test::KeyPress(platform::kKeyEscape); },
            [&] { platform::test::KeyPress(platform::kKeyEnter); }, [&] { Quit(); }});
  EXPECT_TRUE(runs_.empty());
  EXPECT_EQ(gInput.done, 0);
}

TEST_F(InputLoopTest, AQuitWhileACommandWaitsCancelsTheCommandAndThenEndsTheMainLoop) {
  MainLoop({[&] { StartCommand(); }, [&] { platform::test::Click(draw_, 7, 8); }, [&] { Quit(); }});
  ASSERT_EQ(runs_.size(), 1u);
  EXPECT_TRUE(runs_[0].cancelled);
  EXPECT_EQ(runs_[0].points.size(), 1u);
  EXPECT_TRUE(platform::IsQuitPosted());  // still there for any loop further out
  // A command that waits again after the quit is cancelled at once.
  gInput.activeCommand = kCommand;
  WaitForPoint();
  EXPECT_EQ(gInput.cancel, 1);
}

TEST_F(InputLoopTest, ARightClickWithNoCommandRunningRepeatsTheLastCommand) {
  MainLoop({[&] { platform::test::Click(draw_, 5, 5, platform::kMouseRight); },  // no last command yet
            [&] { StartCommand(); }, [&] { platform::test::Click(draw_, 50, 60, platform::kMouseRight); },  // ends it
            [&] { platform::test::Click(draw_, 50, 60, platform::kMouseRight); },  // runs it again
            [&] { platform::test::Click(draw_, 1, 2); }, [&] { platform::test::KeyPress(platform::kKeyEscape); },
            [&] { Quit(); }});
  ASSERT_EQ(runs_.size(), 2u);
  EXPECT_TRUE(runs_[0].done);
  EXPECT_TRUE(runs_[1].cancelled);
  ASSERT_EQ(runs_[1].points.size(), 1u);
  EXPECT_TRUE(Same(runs_[1].points[0], {1, 2, 0}));
}

}  // namespace
