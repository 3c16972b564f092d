// The reflection and impulse-response windows in kdn on the example hall:
// Calculate Rays ends in them, the path bar and the switch buttons work
// through the controls, the ray file is offered when they close, and Load
// Ray File shows a stored file's paths again.
#include <gtest/gtest.h>

#include <filesystem>

#include "design/acoustics/ray_file.h"
#include "design/acoustics/reflection_search.h"
#include "design/acoustics/result_map.h"
#include "design/shell/core/command_table.h"
#include "design/windows/ray_windows.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/model/layers.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogUser;

class RayCommandsTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
    // Calculate Rays' order prompt comes first in every test.
    dialogs_.On("DIALOG_3", [](DialogUser& user) {
      user.Type(105, "1");
      user.Press(102);
    });
  }

  static int ShownPaths() {
    int shown = 0;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->layer == kRayPathLayer && !(o->state & kStateHiddenMask)) ++shown;
    return shown;
  }

  platform::test::DialogScript dialogs_;
};

TEST_F(RayCommandsTest, TheWindowsShowTheSearchAndSwitchUntilBack) {
  MessageRecorder messages;
  messages.Answer(kIdCancel);  // no ray file
  const int band = gResultWindow.band;
  int paths = 0;
  CalculateRaysAtSeats({
      [&] {
        ASSERT_EQ(gRayWindows.open, RayWindowKind::kReflection);
        paths = gRayWindows.paths;
        EXPECT_GE(paths, 4);
        EXPECT_EQ(gRayWindows.selection, -1);
        EXPECT_EQ(ShownPaths(), paths);
        EXPECT_FALSE(platform::IsWindowVisible(gRayWindows.previousView->window));
        EXPECT_EQ(platform::GetWindowText(gRayWindows.switchButton), "ETC");
        platform::test::ScrollAction(gRayWindows.scrollBar, platform::ScrollBar::kControl, platform::kScrollLineDown);
      },
      [&] {
        EXPECT_EQ(gRayWindows.selection, 0);
        EXPECT_EQ(ShownPaths(), 1);
        EXPECT_EQ(gRayWindows.selected, gObjects.model.first);
        platform::test::ClickControl(gRayWindows.switchButton);
      },
      [&] {
        ASSERT_EQ(gRayWindows.open, RayWindowKind::kImpulse);
        EXPECT_EQ(platform::GetWindowText(gRayWindows.switchButton), "RAY");
        EXPECT_TRUE(gRayWindows.markerShown);
        platform::test::ClickControl(gRayWindows.impulseButtons[3]);
      },
      [&] {
        EXPECT_EQ(gRayWindows.context->band, 3);
        // The plot's background is black, the marker of path 0 white.
        EXPECT_EQ(platform::test::SurfacePixel(gRayWindows.record.window, 5, 5), 0x000000u);
        // A new size of the main window moves the plot and the controls with it.
        const platform::Rect main = platform::GetWindowRect(MainWindow.window);
        platform::MoveWindow(MainWindow.window, main.left, main.top, 700, 500, true);
      },
      [&] {
        const platform::Size main = platform::GetClientSize(MainWindow.window);
        EXPECT_EQ(platform::GetClientSize(gRayWindows.record.window).width,
                  main.width - kDrawMarginLeft - kDrawMarginRight - 2);
        EXPECT_EQ(platform::GetWindowRect(gRayWindows.copyButton).right, main.width - kDrawMarginRight);
        platform::test::DragScrollThumb(gRayWindows.scrollBar, platform::ScrollBar::kControl, kPathScrollRange);
      },
      [&] {
        EXPECT_EQ(gRayWindows.selection, paths - 1);
        platform::test::ClickControl(gRayWindows.switchButton);
      },
      [&] {
        ASSERT_EQ(gRayWindows.open, RayWindowKind::kReflection);
        EXPECT_EQ(gRayWindows.selection, paths - 1);
        platform::test::ClickControl(gRayWindows.backButton);
      },
  });
  EXPECT_EQ(gRayWindows.open, RayWindowKind::kNone);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kStoreRayFileQuestion});
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);
  EXPECT_EQ(gResultWindow.band, band);
  EXPECT_TRUE(platform::IsWindowVisible(DrawWindow->window));
  EXPECT_EQ(gInput.activeCommand, 0);
}

TEST_F(RayCommandsTest, AStoredRayFileComesBackWithLoadRayFile) {
  MessageRecorder messages;
  platform::test::FileDialogScript files;
  files.Choose(Path("hall"));
  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "Seats");
    user.Press(102);
  });
  int paths = 0;
  CalculateRaysAtSeats({[&] {
    paths = gRayWindows.paths;
    platform::test::ClickControl(gRayWindows.backButton);
  }});
  ASSERT_TRUE(std::filesystem::exists(Path("hall.KRF")));
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);

  files.Choose(Path("hall.KRF"));
  RunSteps([&] { Command(kCmdLoadRayFile); }, {[&] {
             ASSERT_EQ(gRayWindows.open, RayWindowKind::kReflection);
             EXPECT_EQ(gRayWindows.paths, paths);
             platform::test::ClickControl(gRayWindows.backButton);
           }});
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{kStoreRayFileQuestion, "Seats"}));
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);
}

TEST_F(RayCommandsTest, TheImpulseWindowPrintsAndCopiesItselfAndEscapeClosesBoth) {
  MessageRecorder messages;
  messages.Answer(kIdCancel);
  platform::test::PrintDialogScript print;
  platform::test::RecordingPrinter printer;
  printer.caps.widthPixels = 1200;
  printer.caps.heightPixels = 900;
  printer.caps.colours = 16777216;
  print.Record(printer);
  platform::Size child{};
  CalculateRaysAtSeats({
      // Enter ends the reflection window's input: on to the impulse window.
      [&] { platform::test::KeyPress(platform::kKeyEnter); },
      [&] {
        ASSERT_EQ(gRayWindows.open, RayWindowKind::kImpulse);
        child = platform::GetClientSize(gRayWindows.record.window);
        platform::test::ClickControl(gRayWindows.copyButton);
      },
      [&] { platform::test::ClickControl(gRayWindows.printButton); },
      [&] {
        EXPECT_EQ(platform::GetFocus(), MainWindow.window);
        platform::test::KeyPress(platform::kKeyEscape);
      },
  });
  EXPECT_EQ(gRayWindows.open, RayWindowKind::kNone);
  const platform::Bitmap copied = platform::test::ClipboardBitmap();
  ASSERT_NE(copied, platform::Bitmap::kNone);
  EXPECT_EQ(platform::GetBitmapSize(copied).width, child.width + 1);
  ASSERT_EQ(print.documents().size(), 1u);
  EXPECT_FALSE(print.documents()[0].pages.empty());
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);
}

}  // namespace
