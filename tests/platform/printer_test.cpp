// Printing: pages drawn in bands give the pixels a bitmap gets, documents
// start, end and abort, and a PDF page read back shows what was drawn.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/drawing.h"
#include "platform/printer.h"
#include "platform/resources.h"
#include "platform/test_seams.h"
#include "tests/platform/figure.h"
#include "tests/support/bitmap_compare.h"
#include "tests/support/gui_fixture.h"

using namespace platform;

namespace {

class PrinterTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    lev_ = LoadBitmap(instance_, "LEV_07");
    pattern_ = CreatePatternBrush(lev_);
  }
  // The figure at (dx, dy) of a white bitmap of the page's size.
  Bitmap Expected(int width, int height, int dx, int dy) {
    Bitmap bitmap = CreateBitmap(width, height);
    Context memory = CreateMemoryContext();
    SelectBitmap(memory, bitmap);
    figure::DrawFigure(memory, pattern_, dx, dy);
    SelectBitmap(memory, Bitmap::kNone);
    DeleteContext(memory);
    return bitmap;
  }
  // One page drawn by `draw` on the PDF printer writing `pdf` at
  // `dotsPerInch`; the printer's capabilities.
  PrinterCaps PrintPdfPage(const std::string& pdf, int dotsPerInch, const std::function<void(Context)>& draw) {
    test::PrintDialogScript script;
    script.PrintToPdf(pdf, dotsPerInch);
    PrintSetup setup;
    PrinterCaps caps;
    Context printer = PrintDialog(window_, setup, caps);
    EXPECT_NE(printer, Context::kNone);
    EXPECT_TRUE(StartDocument(printer, "JOB_PDF"));
    EXPECT_TRUE(StartPage(printer));
    draw(printer);
    EXPECT_TRUE(EndPage(printer));
    EXPECT_TRUE(EndDocument(printer));
    DeleteContext(printer);
    return caps;
  }
  Bitmap lev_ = Bitmap::kNone;
  Brush pattern_ = Brush::kNone;
};

// The smallest rectangle holding the pixels of `area` darker than mid-grey
// in every channel; empty when there are none.
Rect InkBox(Bitmap bitmap, const Rect& area) {
  Context reader = CreateMemoryContext();
  SelectBitmap(reader, bitmap);
  Rect box{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const Colour c = GetPixel(reader, x, y);
      if (c == 0xFFFFFFFFu || RedOf(c) >= 0x80 || GreenOf(c) >= 0x80 || BlueOf(c) >= 0x80) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    }
  SelectBitmap(reader, Bitmap::kNone);
  DeleteContext(reader);
  return box;
}

std::string TempFolder(const char* name) {
  namespace fs = std::filesystem;
  fs::path folder = fs::path(::testing::TempDir()) / (name + std::to_string(::getpid()));
  fs::create_directories(folder);
  return folder.string();
}

test::RecordingPrinter SmallPrinter(int width, int height) {
  test::RecordingPrinter printer;
  printer.caps.widthPixels = width;
  printer.caps.heightPixels = height;
  printer.caps.colours = 16777216;
  return printer;
}

// Bands of 81 rows: the figure crosses three seams between bands, and
// every pixel comes out as in a bitmap; the band below it is not sent.
TEST_F(PrinterTest, APageDrawnInBandsHasTheBitmapsPixels) {
  test::SetPrintBandBytes(200 * 4 * 81);
  test::PrintDialogScript script;
  script.Record(SmallPrinter(200, 400));
  PrintSetup setup;
  setup.landscape = true;
  setup.scalePercent = 75;
  PrinterCaps caps;
  Context printer = PrintDialog(window_, setup, caps);
  ASSERT_NE(printer, Context::kNone);
  EXPECT_EQ(caps.widthPixels, 200);
  ASSERT_EQ(script.presets().size(), 1u);
  EXPECT_TRUE(script.presets()[0].landscape);
  EXPECT_EQ(script.presets()[0].scalePercent, 75);

  ASSERT_TRUE(StartDocument(printer, "JOB_ABCDEF"));
  ASSERT_TRUE(StartPage(printer));
  figure::DrawFigure(printer, pattern_, 30, 60);
  EXPECT_EQ(GetPixel(printer, 40, 70), 0xFFFFFFFFu);  // a page cannot be read
  EXPECT_TRUE(EndPage(printer));
  EXPECT_TRUE(EndDocument(printer));
  ASSERT_EQ(script.documents().size(), 1u);
  const test::RecordedPrint& printed = script.documents()[0];
  EXPECT_EQ(printed.name, "JOB_ABCDEF");
  EXPECT_TRUE(printed.ended);
  ASSERT_EQ(printed.pages.size(), 1u);
  Bitmap expected = Expected(200, 400, 30, 60);
  EXPECT_EQ(DifferingPixels(expected, printed.pages[0].image), 0);
  std::string kinds;
  for (const auto& op : printed.pages[0].operations) kinds += op.kind;
  EXPECT_EQ(kinds, "FLRPLST");  // every call, in order
  EXPECT_TRUE(DeleteContext(printer));
}

TEST_F(PrinterTest, DocumentsEndAbortAndRefuseDrawingOutsidePages) {
  test::PrintDialogScript script;
  script.Record(SmallPrinter(100, 100));
  script.Cancel();
  PrintSetup setup;
  PrinterCaps caps;
  Context printer = PrintDialog(window_, setup, caps);
  ASSERT_NE(printer, Context::kNone);
  EXPECT_FALSE(StartPage(printer));  // no document yet
  ASSERT_TRUE(StartDocument(printer, "JOB_A"));
  Brush red = CreateSolidBrush(figure::kRed);
  FillRect(printer, {0, 0, 10, 10}, red);  // before the page: nothing
  ASSERT_TRUE(StartPage(printer));
  FillRect(printer, {500, 500, 600, 600}, red);  // off the page: nothing
  FillRect(printer, {0, 0, 10, 10}, red);
  EXPECT_TRUE(EndPage(printer));
  ASSERT_TRUE(StartPage(printer));
  AbortDocument(printer);
  EXPECT_FALSE(EndPage(printer));
  DeleteObject(red);
  const test::RecordedPrint& printed = script.documents()[0];
  EXPECT_TRUE(printed.aborted);
  EXPECT_FALSE(printed.ended);
  ASSERT_EQ(printed.pages.size(), 1u);
  ASSERT_EQ(printed.pages[0].operations.size(), 1u);
  EXPECT_EQ(printed.pages[0].operations[0].kind, 'F');
  EXPECT_EQ(printed.pages[0].operations[0].bounds.right, 10);
  DeleteContext(printer);
  EXPECT_EQ(PrintDialog(window_, setup, caps), Context::kNone);  // cancelled
  EXPECT_EQ(PrintDialog(window_, setup, caps), Context::kNone);  // the script ran out
}

// The PDF printer: its first page, turned into an image, shows the figure
// pixel for pixel where it was drawn (in from the page's margins).
TEST_F(PrinterTest, APdfPageReadBackShowsTheDrawing) {
  const std::string folder = TempFolder("korvane_pdf_");
  const std::string pdf = folder + "/page.pdf";
  const PrinterCaps caps = PrintPdfPage(pdf, 100, [&](Context c) { figure::DrawFigure(c, pattern_, 200, 300); });
  EXPECT_EQ(caps.colours, 16777216);
  EXPECT_EQ(caps.widthPixels, 826);  // A4 at 100 dpi
  EXPECT_EQ(caps.widthMm, 210);

  Bitmap page = PdfPageImage(pdf, 1, 100);
  ASSERT_NE(page, Bitmap::kNone);
  // A PDF viewer smooths the edges of images; inside each area of one
  // colour the page shows the drawn colour where it was drawn. The text is
  // text there, drawn by the viewer.
  int compared = 0;
  EXPECT_EQ(InteriorMismatches(Expected(120, 90, 0, 0), page, 200, 300, &compared, {{45, 72, 120, 90}}), 0);
  EXPECT_GT(compared, 2000);
  if (!HasFailure()) std::filesystem::remove_all(folder);
}

// Text on a PDF page is text: pdftotext reads its words back, and the page
// shows each where and as large as the pixels of a bitmap show it; an
// opaque text's background is painted in its turn, over what was there.
TEST_F(PrinterTest, APdfPageCarriesItsTextAsTextWhereThePixelsShowIt) {
  auto draw = [](Context c) {
    Brush blue = CreateSolidBrush(figure::kBlue);
    FillRect(c, {100, 380, 1500, 480}, blue);
    Font font = CreateFont({72, 32, 0, "Arial"});
    Font old = SelectFont(c, font);
    SetBackMode(c, kBackTransparent);
    TextOut(c, 100, 100, "Room Faces Summary");
    DrawTextInRect(c, {100, 220, 1500, 300}, "Loudspeakers Summary", kTextRight | kTextSingleLine);
    SetBackMode(c, kBackOpaque);
    SetBackColour(c, figure::kWhite);
    DrawTextInRect(c, {100, 390, 1500, 470}, "Korvane Absorber Database", kTextCentre | kTextSingleLine);
    SelectFont(c, old);
    DeleteObject(font);
    DeleteObject(blue);
  };
  const std::string folder = TempFolder("korvane_pdf_text_");
  const std::string pdf = folder + "/text.pdf";
  PrintPdfPage(pdf, 300, draw);

  EXPECT_EQ(PdfPageWords(pdf, 1), (std::vector<std::string>{"Absorber", "Database", "Faces", "Korvane", "Loudspeakers",
                                                            "Room", "Summary", "Summary"}));
  Bitmap expected = CreateBitmap(1600, 600);
  Context memory = CreateMemoryContext();
  SelectBitmap(memory, expected);
  draw(memory);
  SelectBitmap(memory, Bitmap::kNone);
  DeleteContext(memory);
  Bitmap page = PdfPageImage(pdf, 1, 300);
  ASSERT_NE(page, Bitmap::kNone);
  std::vector<Rect> glyphs;
  for (const Rect& line : {Rect{0, 90, 1600, 200}, Rect{0, 210, 1600, 310}, Rect{0, 385, 1600, 475}}) {
    const Rect want = InkBox(expected, line), got = InkBox(page, line);
    glyphs.push_back({want.left - 3, want.top - 3, want.right + 3, want.bottom + 3});
    ASSERT_LT(want.left, want.right) << line.top;
    EXPECT_NEAR(got.left, want.left, 3) << line.top;
    EXPECT_NEAR(got.right, want.right, 3) << line.top;
    EXPECT_NEAR(got.top, want.top, 3) << line.top;
    EXPECT_NEAR(got.bottom, want.bottom, 3) << line.top;
  }
  // Around the glyphs: the blue fill and the opaque text's white box on it.
  int compared = 0;
  EXPECT_EQ(InteriorMismatches(expected, page, 0, 0, &compared, glyphs), 0);
  EXPECT_GT(compared, 100000);
  if (!HasFailure()) std::filesystem::remove_all(folder);
}

}  // namespace
