// ksb's record views as the user works them: opened by their commands, the
// pixels they show read back from the window, repainted when the selector
// picks another record, printed from the selector, closed by "<-".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "framework/base/drawing_layer.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "speakerbase/data_sheet.h"
#include "speakerbase/polar_plot.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/record_view_windows.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_editor.h"
#include "tests/speakerbase/shell/ksb_fixture.h"

namespace {

SpeakerDatabase& Db() { return gSpeakerEditor.database; }

platform::Colour Pixel(int x, int y) { return platform::test::SurfacePixel(OpenRecordViewWindow(), x, y); }

platform::Size ViewSize() { return platform::GetClientSize(OpenRecordViewWindow()); }

void PostButton(int id) { platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(id)); }

class RecordViewTest : public KsbTest {
 protected:
  void SetUp() override {
    KsbTest::SetUp();
    StartWithExample();
  }
  // Runs `command` with `steps` acting whenever its view waits; the last
  // step's "<-" must close it.
  void RunView(int command, std::vector<std::function<void()>> steps) {
    steps.push_back([] { PostButton(kBackButtonId); });
    size_t next = 0;
    platform::test::SetIdleHook([&] {
      if (next < steps.size()) steps[next++]();
    });
    Command(command);
    platform::test::SetIdleHook(nullptr);
    EXPECT_EQ(next, steps.size());
    EXPECT_EQ(OpenRecordViewWindow(), platform::Window::kNone);
    EXPECT_TRUE(platform::IsWindowVisible(RecordSelector()));
  }
};

TEST_F(RecordViewTest, TheDataSheetFramesItsCellsAndTheSelectorCopiesIt) {
  RunView(kCmdDataSheet, {[] {
                            const platform::Size size = ViewSize();
                            const DataSheetLayout layout = LayOutDataSheet(Db().currentRecord, size.width, size.height);
                            ASSERT_FALSE(layout.cells.empty());
                            for (const DataSheetCell& cell : layout.cells) {
                              const int midY = (cell.frame.top + cell.frame.bottom) / 2;
                              EXPECT_EQ(Pixel(cell.frame.left, midY), gPalette.colours[0]);
                              EXPECT_EQ(Pixel((cell.frame.left + cell.frame.right) / 2, cell.frame.top),
                                        gPalette.colours[0]);
                            }
                            platform::test::DialogUser(RecordSelector()).Press(kSelectorCopy);
                          },
                          [] {
                            // The window's client area with a white extra column and row.
                            const platform::Size copied = platform::GetBitmapSize(platform::test::ClipboardBitmap());
                            EXPECT_EQ(copied.width, ViewSize().width + 1);
                            EXPECT_EQ(copied.height, ViewSize().height + 1);
                          }});
}

TEST_F(RecordViewTest, PolarCurvesOfAFlatBalloonLieOnTheOuterRingAndFollowTheSelector) {
  // The first record radiates 0 dB everywhere.
  for (int band = 0; band < kBandCount; ++band) std::ranges::fill(Db().records[0].type->BalloonBand(band), 225);
  RebuildRecordSelector(0);
  std::vector<platform::Colour> first;
  // Pixels along the outer ring of the 1 kHz plot.
  const auto ring = [&first](bool record) {
    const platform::Size size = ViewSize();
    const PolarPlotLayout layout = LayOutPolarPlots(Db().currentRecord, size.width, size.height);
    std::vector<platform::Colour> pixels;
    for (int k = 0; k < kPolarPoints; ++k) {
      const ViewPoint p = PolarPoint(layout.cells[3].centre, layout.radius, 5.0 * k);
      pixels.push_back(Pixel(p.x, p.y));
    }
    if (record) first = pixels;
    return pixels;
  };
  RunView(kCmdPolarPlots, {[&] {
                             const std::vector<platform::Colour> pixels = ring(true);
                             const auto count = [&](int16_t pen) {
                               return std::ranges::count(pixels, gPalette.colours[pen]);
                             };
                             EXPECT_GT(count(kHorizontalCurvePen), 0);
                             EXPECT_GT(count(kVerticalCurvePen), 0);
                             EXPECT_EQ(count(kHorizontalCurvePen) + count(kVerticalCurvePen), kPolarPoints);
                           },
                           [] { platform::test::DialogUser(RecordSelector()).Choose(kSelectorTypeList, 1); },
                           [&] {
                             EXPECT_EQ(Db().currentRecordIndex, 1);
                             EXPECT_NE(ring(false), first) << "the plots of the second record";
                           }});
}

TEST_F(RecordViewTest, TheBalloonWindowsButtonsRedrawItAndTheSelectorPrintsIt) {
  std::vector<platform::Colour> before;
  const auto middleRow = [] {
    const platform::Size size = ViewSize();
    std::vector<platform::Colour> row;
    for (int x = 0; x < size.width; x += 3) row.push_back(Pixel(x, size.height / 2));
    return row;
  };
  platform::test::PrintDialogScript prints;
  const std::string pdf = Path("balloon.pdf");
  prints.PrintToPdf(pdf, 150);
  RunView(kCmdBalloons, {[&] { before = middleRow(); }, [] { PostButton(kToggle3DButtonId); },
                         [&] {
                           EXPECT_NE(middleRow(), before) << "the 3D balloon alone";
                           before = middleRow();
                           platform::test::ScrollAction(OpenRecordViewWindow(), platform::ScrollBar::kHorizontal,
                                                        platform::kScrollPageDown);
                         },
                         [&] { EXPECT_NE(middleRow(), before) << "turned by the scroll bar"; },
                         [] { platform::test::DialogUser(RecordSelector()).Press(kSelectorPrint); }});
  EXPECT_TRUE(std::filesystem::exists(pdf));
  EXPECT_GT(std::filesystem::file_size(pdf), 0u);
}

// The main window's outer size set as the user drags it.
void ResizeMainWindow(int width, int height) {
  const platform::Rect outer = platform::GetWindowRect(MainWindow.window);
  platform::MoveWindow(MainWindow.window, outer.left, outer.top, width, height, true);
}

// Whether the view drew anything but white in the columns from `x` on.
bool DrawnFromColumn(int x) {
  const platform::Size size = ViewSize();
  for (; x < size.width; x += 2)
    for (int y = 0; y < size.height; y += 2)
      if (Pixel(x, y) != gPalette.colours[30]) return true;
  return false;
}

TEST_F(RecordViewTest, EachViewFollowsTheMainWindowsSize) {
  ResizeMainWindow(700, 500);
  Pump();
  struct Case {
    int command;
    int rightMargin;  // the balloons' scroll bars take the margin
  };
  for (const Case& c : {Case{kCmdDataSheet, 32}, Case{kCmdPolarPlots, 32}, Case{kCmdBalloons, 0}}) {
    SCOPED_TRACE(c.command);
    int oldWidth = 0;
    RunView(c.command, {[&] {
                          oldWidth = ViewSize().width;
                          ResizeMainWindow(1000, 720);
                        },
                        [&] {
                          const platform::Size main = platform::GetClientSize(MainWindow.window);
                          const platform::Rect view = platform::GetWindowRect(OpenRecordViewWindow());
                          EXPECT_EQ(view.left, 32);
                          EXPECT_EQ(view.top, 24);
                          EXPECT_EQ(view.right, main.width - c.rightMargin);
                          EXPECT_EQ(view.bottom, main.height - 24);
                          EXPECT_GT(ViewSize().width, oldWidth + 200);
                          EXPECT_TRUE(DrawnFromColumn(oldWidth)) << "drawn for the new size";
                          ResizeMainWindow(700, 500);
                        },
                        [&] {
                          const platform::Size main = platform::GetClientSize(MainWindow.window);
                          EXPECT_EQ(platform::GetWindowRect(OpenRecordViewWindow()).right, main.width - c.rightMargin);
                          EXPECT_EQ(ViewSize().width, oldWidth);
                        }});
  }
}

}  // namespace
