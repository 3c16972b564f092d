// The status line under the drawing window.
#include <gtest/gtest.h>

#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/support/gui_fixture.h"

namespace {

class StatusLineTest : public FrameworkTest {
 protected:
};

TEST_F(StatusLineTest, TheStatusLineShowsThePromptAndTextUnderTheDrawing) {
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  const auto inked = [&] {
    int n = 0;
    for (int y = main.height - 22; y < main.height; ++y)
      for (int x = kDrawMarginLeft; x < kDrawMarginLeft + 200; ++x)
        n += platform::test::SurfacePixel(MainWindow.window, x, y) == 0;
    return n;
  };
  gDrawing.prompt = "MOVE > ";
  ShowStatusText("Base point :");
  const int withText = inked();
  EXPECT_GT(withText, 0);
  EXPECT_EQ(platform::test::SurfacePixel(MainWindow.window, 5, main.height - 1),
            gPalette.colours[gDrawing.statusColour]);
  gInput.activeCommand = 2302;
  ShowStatusText("");  // a command runs: the text stays
  EXPECT_EQ(inked(), withText);
  ClearStatusLine();
  EXPECT_EQ(inked(), 0);
  gInput.activeCommand = 0;
  gDrawing.prompt.clear();
  ShowStatusText("");
  EXPECT_EQ(inked(), 0);
}

// The text lies on the strip's colour, whatever back colour and mode the
// main window's context was left with.
TEST_F(StatusLineTest, TheTextLiesOnTheStatusColour) {
  WindowRecord* previous = SelectOutputWindow(&MainWindow);
  SetBackgroundColor(30);
  platform::SetBackMode(gOutput.context, platform::kBackOpaque);
  SelectOutputWindow(previous);
  ShowStatusText("Base point :");
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  int white = 0;
  for (int y = main.height - 24; y < main.height; ++y)
    for (int x = 0; x < main.width; ++x) white += platform::test::SurfacePixel(MainWindow.window, x, y) == 0xFFFFFF;
  EXPECT_EQ(white, 0);
}

}  // namespace
