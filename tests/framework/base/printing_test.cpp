// Printing through the framework: the settings, the print of a window as a
// bitmap (scale, offsets, merged runs, white left out, Cancel, copies, PDF),
// and jobs during which the drawing layer draws on the page.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
// With the sanitizers g++ 12 takes the std::function moves of the regex
// compiler's states for reads of uninitialised memory.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <regex>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/printing.h"
#include "framework/base/progress_window.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "tests/support/bitmap_compare.h"
#include "tests/support/gui_fixture.h"

namespace {

using platform::test::RecordingPrinter;

RecordingPrinter Page(int width, int height, bool keepImages) {
  RecordingPrinter printer;
  printer.caps.widthPixels = width;
  printer.caps.heightPixels = height;
  printer.caps.colours = 16777216;
  printer.keepImages = keepImages;
  return printer;
}

class PrintingTest : public FrameworkTest {
 protected:
  // A drawing window with a client area of 400 x 300: white, a red box of
  // 40 x 20 at (10, 10), a blue line of 200 at row 100 and a green last pixel.
  void SetUp() override {
    FrameworkTest::SetUp();
    DrawWindow->window = CreateChildWindow("", platform::kStyleBorder, 32, 24, 402, 302, 10000);
    SelectOutputWindow(DrawWindow);
    SetBrushColor(30);
    FillRectangle(0, 0, 400, 300);
    SetBrushColor(32);
    FillRectangle(10, 10, 50, 30);
    SetPenColor(21);
    DrawLine(100, 100, 300, 100);
    SetPenColor(19);
    SetPixelInPenColor(399, 299);
    SetPenColor(0);
  }
  // What the window shows now, `scale` times as large.
  platform::Bitmap WindowImage(int scale) {
    platform::Bitmap image = platform::CreateBitmap(400 * scale, 300 * scale);
    platform::Context memory = platform::CreateMemoryContext();
    platform::SelectBitmap(memory, image);
    platform::StretchBlit(memory, {0, 0, 400 * scale, 300 * scale}, DrawWindow->context, {0, 0, 400, 300},
                          platform::kMixCopy);
    platform::SelectBitmap(memory, platform::Bitmap::kNone);
    platform::DeleteContext(memory);
    return image;
  }
};

TEST(PrintViewScaleTest, WholePrinterPixelsPerWindowPixelAndNeverZero) {
  struct Case {
    double w, h;
    int hres, vres;
    double scale;
  } cases[] = {
      {401, 301, 4800, 6600, 10},             // floor(4800 x 0.9 / 401)
      {401, 301, 6600, 4800, 14},             // landscape: the height rules, floor(4800 x 0.9 / 301)
      {201, 601, 4800, 6600, 9},              // a tall window: floor(6600 x 0.9 / 601)
      {401, 301, 300, 200, 200 * 0.9 / 301},  // larger than the page: the fraction that fits
      {0, 301, 4800, 6600, 1},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(PrintViewScale(c.w, c.h, c.hres, c.vres), c.scale) << c.w << " " << c.hres;
}

TEST_F(PrintingTest, TheDefaultPrinterIsACountedColourDevice) {
  // Started by InitFramework: with no printer installed, a PDF file.
  EXPECT_GT(GetPrintSettings()->horizontalResolution, 0);
  EXPECT_EQ(GetPrintSettings()->colours, 16777216);
  EXPECT_EQ(GetPrintSettings()->scale, 100);
  EXPECT_EQ(GetPrintSettings()->landscape, 0);
}

// A 400 x 300 window on a page of 4800 x 6600: 10 printer pixels a window
// pixel, centred at (400, 1800); one rectangle a run of one colour, none for
// white; the page frame first.
TEST_F(PrintingTest, AWindowPrintsCentredInRunsWithoutItsWhite) {
  platform::test::PrintDialogScript script;
  script.Record(Page(4800, 6600, false));
  SetPrintLandscape(1);
  ASSERT_EQ(PrintSetupDialog(), 1);
  EXPECT_TRUE(script.presets()[0].landscape);
  EXPECT_EQ(GetPrintSettings()->horizontalResolution, 4800);
  PrintViewWindow();
  ASSERT_EQ(script.documents().size(), 1u);
  const auto& printed = script.documents()[0];
  EXPECT_TRUE(std::regex_match(printed.name, std::regex("JOB_[A-Z]{6}")));
  EXPECT_TRUE(printed.ended);
  ASSERT_EQ(printed.pages.size(), 1u);
  const auto& ops = printed.pages[0].operations;
  ASSERT_EQ(ops.size(), 1u + 20 + 1 + 1);  // frame, 20 red rows, the blue line, the green pixel
  EXPECT_EQ(ops[0].kind, 'R');
  EXPECT_EQ(ops[0].bounds.right, 4799);
  // With the null pen a rectangle covers up to its right and bottom less 2.
  auto covers = [](const platform::test::RecordedPageOp& op) {
    return platform::Rect{op.bounds.left, op.bounds.top, op.bounds.right - 1, op.bounds.bottom - 1};
  };
  platform::Rect red = covers(ops[1]);
  EXPECT_EQ(red.left, 400 + 10 * 10);
  EXPECT_EQ(red.top, 1800 + 10 * 10);
  EXPECT_EQ(red.right - red.left, 40 * 10);
  EXPECT_EQ(red.bottom - red.top, 10);
  platform::Rect line = covers(ops[21]);
  EXPECT_EQ(line.left, 400 + 100 * 10);
  EXPECT_EQ(line.top, 1800 + 100 * 10);
  EXPECT_EQ(line.right - line.left, 200 * 10);
  platform::Rect last = covers(ops[22]);
  EXPECT_EQ(last.left, 400 + 399 * 10);
  EXPECT_EQ(last.top, 1800 + 299 * 10);
  EXPECT_FALSE(IsPrinting());
  EXPECT_EQ(gOutput.context, DrawWindow->context);
}

TEST_F(PrintingTest, AnAllWhiteWindowPrintsOnlyThePageFrame) {
  SetBrushColor(30);
  FillRectangle(0, 0, 400, 300);
  platform::test::PrintDialogScript script;
  script.Record(Page(4800, 6600, false));
  ASSERT_EQ(PrintSetupDialog(), 1);
  PrintViewWindow();
  EXPECT_EQ(script.documents()[0].pages[0].operations.size(), 1u);
}

TEST_F(PrintingTest, ThePrintedPageIsTheWindowScaledWithEveryPixel) {
  platform::test::PrintDialogScript script;
  script.Record(Page(1000, 800, true), 2);  // two copies the printer cannot make itself
  ASSERT_EQ(PrintSetupDialog(), 1);
  PrintViewWindow();
  const auto& pages = script.documents()[0].pages;
  ASSERT_EQ(pages.size(), 2u);
  // floor(1000 x 0.9 / 401) = 2, centred at (100, 100).
  for (const auto& page : pages) EXPECT_EQ(DifferingPixels(WindowImage(2), page.image, 100, 100), 0);
}

TEST_F(PrintingTest, AWindowLargerThanThePageStillPrints) {
  platform::test::PrintDialogScript script;
  script.Record(Page(300, 200, false));
  ASSERT_EQ(PrintSetupDialog(), 1);
  PrintViewWindow();
  const auto& ops = script.documents()[0].pages[0].operations;
  ASSERT_GT(ops.size(), 1u);
  for (const auto& op : ops) {
    EXPECT_GE(op.bounds.left, 0);
    EXPECT_LE(op.bounds.right, 301);
  }
}

// Cancel in the progress window stops the print after the row it was
// pressed in; the page so far is still printed.
TEST_F(PrintingTest, CancelInTheProgressWindowStopsThePrint) {
  platform::test::PrintDialogScript script;
  script.Record(Page(4800, 6600, false));
  ASSERT_EQ(PrintSetupDialog(), 1);
  onMessage = [&](const platform::Message& m) -> platform::LParam {
    if (m.kind == platform::msg::kUser + 7) platform::test::ClickControl(gProgress.cancelButton);
    return 0;
  };
  platform::PostMessage(MainWindow.window, platform::msg::kUser + 7);
  PrintViewWindow();
  const auto& printed = script.documents()[0];
  EXPECT_TRUE(printed.ended);
  ASSERT_EQ(printed.pages.size(), 1u);
  EXPECT_EQ(printed.pages[0].operations.size(), 1u);  // the frame: row 0 is white
  EXPECT_EQ(gProgress.window, platform::Window::kNone);
}

// The same print to a PDF file: its page, turned into an image, shows the
// window 1:1 at (213, 434) (A4 at 100 dpi is 826 x 1169 pixels).
TEST_F(PrintingTest, ThePrintToAPdfShowsTheWindow) {
  namespace fs = std::filesystem;
  fs::path folder = fs::path(::testing::TempDir()) / ("korvane_print_view_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::string pdf = (folder / "window.pdf").string();
  platform::test::PrintDialogScript script;
  script.PrintToPdf(pdf, 100);
  ASSERT_EQ(PrintSetupDialog(), 1);
  PrintViewWindow();
  platform::Bitmap page = PdfPageImage(pdf, 1, 100);
  ASSERT_NE(page, platform::Bitmap::kNone);
  int compared = 0;
  EXPECT_EQ(InteriorMismatches(WindowImage(1), page, 213, 434, &compared), 0);
  EXPECT_GT(compared, 100000);
  if (!HasFailure()) fs::remove_all(folder);
}

// A job with objects: the layer's pens, brushes and patterns draw on the
// page; afterwards they draw on the window again.
TEST_F(PrintingTest, AJobWithObjectsDrawsThroughTheDrawingLayer) {
  platform::test::PrintDialogScript script;
  script.Record(Page(200, 150, true));
  script.Cancel();
  ASSERT_EQ(PrintSetupDialog(), 1);
  ASSERT_EQ(StartPrintJobWithObjects(), 1);
  EXPECT_TRUE(IsPrinting());
  SetPenColor(14);
  SetBrushColor(5);
  DrawRectangle({20, 20, 60, 40}, 1);
  PrintNewPage();
  SetBrushColor(7);
  FillRectanglePattern(0, 0, 16, 16);
  EndPrintJob();
  EXPECT_FALSE(IsPrinting());
  const auto& printed = script.documents()[0];
  ASSERT_EQ(printed.pages.size(), 2u);
  platform::Context read = platform::CreateMemoryContext();
  platform::SelectBitmap(read, printed.pages[0].image);
  EXPECT_EQ(platform::GetPixel(read, 20, 30), gPalette.colours[14]);
  EXPECT_EQ(platform::GetPixel(read, 40, 30), gPalette.colours[5]);
  platform::SelectBitmap(read, printed.pages[1].image);
  int black = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) black += platform::GetPixel(read, x, y) == 0;
  EXPECT_GT(black, 0);  // the pattern, not a solid fill
  EXPECT_LT(black, 64);
  platform::SelectBitmap(read, platform::Bitmap::kNone);
  platform::DeleteContext(read);
  EXPECT_EQ(GetPenColor(), 0);  // the objects made again are black, and the indexes say so
  SetBrushColor(7);
  DrawRectangle({5, 5, 8, 8}, 1);  // the window again
  EXPECT_EQ(platform::test::SurfacePixel(DrawWindow->window, 6, 6), gPalette.colours[7]);
  EXPECT_EQ(PrintSetupDialog(), 0);
  EXPECT_EQ(StartPrintJob(), 0);  // no printer: nothing starts
}

}  // namespace
