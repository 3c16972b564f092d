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
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/model/layers.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/bitmap_compare.h"
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

  // Pixels of `window`'s surface in {left, top, right, bottom} (right and
  // bottom outside) whose colour is the palette's `index` (or, with
  // `other`, is not).
  static int CountPixels(platform::Window window, const platform::Rect& r, int16_t index, bool other = false) {
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        count += (platform::test::SurfacePixel(window, x, y) == gPalette.colours[size_t(index)]) != other;
    return count;
  }

  // The selected path's details: in a box beside the top of its marker, at
  // most 56 pixels from the right edge, its texts white on black with no
  // path or decay line through them.
  static void ExpectDetailsBesideTheMarker() {
    const RayWindowState& w = gRayWindows;
    const platform::Rect& box = w.details;
    ASSERT_TRUE(w.markerShown);
    EXPECT_TRUE(box.right < w.markerX || box.left > w.markerX) << box.left << " " << box.right << " " << w.markerX;
    EXPECT_LE(box.top, w.markerTop);
    EXPECT_GE(box.bottom, w.markerTop);
    EXPECT_LE(box.right, platform::GetClientSize(w.record.window).width - 56);
    const platform::Rect inside{box.left + 1, box.top + 1, box.right, box.bottom};
    EXPECT_GT(CountPixels(w.record.window, inside, kWhiteColour), 100);
    EXPECT_EQ(CountPixels(w.record.window, inside, kPathColour), 0);
    EXPECT_EQ(CountPixels(w.record.window, inside, kDecayColour), 0);
  }

  static constexpr int16_t kWhiteColour = 30, kPathColour = 19, kDecayColour = 29;
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

// The impulse-response window shows the selected path's details beside its
// marker, draws the plot again when another path is chosen (the details of
// the one before covered part of it), and repaints the status strip after
// the plot.
TEST_F(RayCommandsTest, TheImpulseWindowShowsThePathsDetailsBesideItsMarkerAndRepaintsTheStrip) {
  MessageRecorder messages;
  messages.Answer(kIdCancel);  // no ray file
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  const platform::Rect strip{kDrawMarginLeft, main.height - 24, main.width, main.height};
  const std::string fresh = Path("fresh.png"), scrolled = Path("scrolled.png");
  CalculateRaysAtSeats({
      [&] { platform::test::KeyPress(platform::kKeyEnter); },
      [&] {
        ASSERT_EQ(gRayWindows.open, RayWindowKind::kImpulse);
        ExpectDetailsBesideTheMarker();
        ASSERT_FALSE(ShownStatusText().empty());
        ClearStatusLine();
        EXPECT_EQ(CountPixels(MainWindow.window, strip, gDrawing.statusColour, true), 0);
        platform::InvalidateWindow(gRayWindows.record.window);
      },
      [&] {
        EXPECT_GT(CountPixels(MainWindow.window, strip, gDrawing.statusColour, true), 20);
        platform::test::ScrollAction(gRayWindows.scrollBar, platform::ScrollBar::kControl, platform::kScrollLineDown);
      },
      [&] {
        EXPECT_EQ(gRayWindows.selection, 1);
        ExpectDetailsBesideTheMarker();
        ASSERT_TRUE(platform::test::SaveSurfacePng(gRayWindows.record.window, scrolled));
        platform::InvalidateWindow(gRayWindows.record.window);
      },
      [&] {
        ASSERT_TRUE(platform::test::SaveSurfacePng(gRayWindows.record.window, fresh));
        platform::test::ClickControl(gRayWindows.backButton);
      },
  });
  EXPECT_EQ(gRayWindows.open, RayWindowKind::kNone);
  const platform::Bitmap before = platform::test::LoadImageFile(scrolled), after = platform::test::LoadImageFile(fresh);
  ASSERT_NE(before, platform::Bitmap::kNone);
  EXPECT_EQ(DifferingPixels(before, after), 0);
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
