// kdn's Edit and Options commands on the example hall: the drawing window
// copied to the clipboard inside its frame, and the unit's read-outs.
#include <gtest/gtest.h>

#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/view/view_panel.h"
#include "platform/dialog.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/design/shell/kdn_fixture.h"

namespace {

class DesignCommandsTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
  }
};

// The copy is framed on all four sides: the frame runs along the last
// column and row of the drawing window, not one beyond them.
TEST_F(DesignCommandsTest, CopyToClipboardFramesTheWholeDrawingWindow) {
  Command(kCmdCopyToClipboard);
  const platform::Bitmap copied = platform::test::ClipboardBitmap();
  ASSERT_NE(copied, platform::Bitmap::kNone);
  const platform::Size client = platform::GetClientSize(DrawWindow->window);
  platform::Context memory = platform::CreateMemoryContext();
  platform::SelectBitmap(memory, copied);
  const int right = client.width - 1, bottom = client.height - 1;
  for (int y : {1, client.height / 2, bottom - 1}) {
    EXPECT_EQ(platform::GetPixel(memory, 0, y), 0u) << "left, row " << y;
    EXPECT_EQ(platform::GetPixel(memory, right, y), 0u) << "right, row " << y;
  }
  for (int x : {1, client.width / 2, right - 1}) {
    EXPECT_EQ(platform::GetPixel(memory, x, 0), 0u) << "top, column " << x;
    EXPECT_EQ(platform::GetPixel(memory, x, bottom), 0u) << "bottom, column " << x;
  }
  platform::SelectBitmap(memory, platform::Bitmap::kNone);
  platform::DeleteContext(memory);
}

// A change of unit reads out all three coordinates again in the new unit,
// whatever the view shows.
TEST_F(DesignCommandsTest, TheUnitCommandsRefreshEveryReadout) {
  ASSERT_EQ(gView.mode, kViewXY);
  gInput.cursorPoint = {1, 2, 3};
  Command(kCmdUnitFeet);
  EXPECT_EQ(platform::GetDialogItemText(gViewPanel, 201), "3.28");
  EXPECT_EQ(platform::GetDialogItemText(gViewPanel, 202), "6.56");
  EXPECT_EQ(platform::GetDialogItemText(gViewPanel, 203), "9.84");
  Command(kCmdUnitMetres);
  EXPECT_EQ(platform::GetDialogItemText(gViewPanel, 203), "3.000");
}

}  // namespace
