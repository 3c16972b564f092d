// Printing from the view panel in kdn: while the job is open the program
// takes no other command, no view key, no second print and no close box,
// so the page comes out as the drawing window showed it; and the panel's
// Print waits its turn behind a running command.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "design/acoustics/level_map.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/model/layers.h"
#include "framework/view/view_panel.h"
#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/bitmap_compare.h"

namespace {

constexpr int kPrintButton = 111, kZoomAllButton = 107;

platform::test::RecordingPrinter SmallPage() {
  platform::test::RecordingPrinter printer;
  printer.caps.widthPixels = 1200;
  printer.caps.heightPixels = 900;
  printer.caps.colours = 16777216;
  printer.keepImages = true;
  return printer;
}

class PanelPrintTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
    ASSERT_NE(gViewPanel, platform::Window::kNone);
  }
  // A click on a panel button through the toolkit: it reaches the panel
  // the next time the queue is read.
  static void ClickPanelButton(int id) { platform::test::Click(platform::GetDialogItem(gViewPanel, id), 1, 1); }
};

// Each row acts while the print's progress window pumps the queue: the
// print started first, the row's input right behind it.
TEST_F(PanelPrintTest, WhileTheJobIsOpenNothingElseReachesTheProgram) {
  platform::test::PrintDialogScript script;
  for (int i = 0; i < 12; ++i) script.Record(SmallPage());
  ClickPanelButton(kPrintButton);
  Pump();
  ASSERT_EQ(script.documents().size(), 1u);
  const platform::Bitmap asDrawn = script.documents()[0].pages[0].image;
  const int16_t mode = gView.mode;
  const float scale = gView.scale;

  struct Row {
    const char* name;
    std::function<void()> meanwhile;
  } rows[] = {
      {"zoom all", [] { ClickPanelButton(kZoomAllButton); }},
      {"F4", [] { platform::test::KeyPress(platform::KeyF(4)); }},
      {"File/New", [] { EXPECT_TRUE(platform::test::ChooseMenuItem(MainWindow.window, kCmdNewProject)); }},
      {"second Print", [] { ClickPanelButton(kPrintButton); }},
      {"close box", [] { platform::test::RequestClose(MainWindow.window); }},
  };
  for (const Row& row : rows) {
    const size_t dialogs = script.presets().size(), documents = script.documents().size();
    ClickPanelButton(kPrintButton);
    row.meanwhile();
    Pump();
    ASSERT_TRUE(platform::IsWindow(MainWindow.window)) << row.name;
    EXPECT_EQ(script.presets().size(), dialogs + 1) << row.name;
    ASSERT_EQ(script.documents().size(), documents + 1) << row.name;
    const platform::test::RecordedPrint& job = script.documents().back();
    EXPECT_TRUE(job.ended && !job.aborted) << row.name;
    ASSERT_EQ(job.pages.size(), 1u) << row.name;
    EXPECT_EQ(DifferingPixels(asDrawn, job.pages[0].image), 0) << row.name;
    // The program as it was, ready for the next command.
    EXPECT_EQ(CountOnLayer(kRoomLayer), 8) << row.name;
    EXPECT_EQ(gView.mode, mode) << row.name;
    EXPECT_EQ(gView.scale, scale) << row.name;
    EXPECT_EQ(gInput.activeCommand, 0) << row.name;
    EXPECT_FALSE(IsPrinting()) << row.name;
    EXPECT_TRUE(platform::IsMenuBarItemEnabled(GetWindowMenu(&MainWindow), 0)) << row.name;
  }
  // Afterwards the keys and the menus work again.
  platform::test::KeyPress(platform::KeyF(4));
  Pump();
  EXPECT_EQ(gView.mode, kView3D);
}

// Level + Time's progress keeps its Cancel: the panel's Print pressed
// meanwhile opens no print dialog, and the run ends with its result.
TEST_F(PanelPrintTest, PrintDuringACalculationIsRefused) {
  platform::test::PrintDialogScript script;
  script.Record(SmallPage());
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_10", [](platform::test::DialogUser& user) {
    user.Press(501);
    // Behind the dialog's end, as the panel posts a click.
    platform::PostMessage(gViewPanel, platform::msg::kCommand, platform::WParam(kPrintButton));
  });
  // A clock that moves on a second at every reading: each poll of the run
  // shows its progress, and the queue is read there.
  platform::test::SetClock(0, 0);
  platform::test::SetClockStep(1000);
  CommandLeavingResults(kCmdLevelAndTime);
  platform::test::UseRealClock();
  EXPECT_TRUE(script.presets().empty());
  EXPECT_EQ(gLevelMap.resultPresent, 1);
  EXPECT_EQ(gInput.activeCommand, 0);
}

}  // namespace
