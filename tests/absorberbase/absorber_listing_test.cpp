// The printed listing: its layout (sizes from the printable width, 28
// records a page with the header and its page number, the category's
// second line, the header's lines and frame), and the Print command, on a
// printer that records its pages and on a PDF file read back as images.
#include "absorberbase/absorber_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "absorberbase/absorber_editor.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/printing.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "tests/absorberbase/kab_fixture.h"
#include "tests/support/bitmap_compare.h"

namespace {

std::unique_ptr<AbsorberDatabase> DatabaseOf(int count) {
  auto database = std::make_unique<AbsorberDatabase>();
  for (int i = 0; i < count; ++i) {
    AbsorberRecord& r = database->records[i];
    r.name = "M" + std::to_string(i + 1);
    r.description = "Material " + std::to_string(i + 1);
    r.category = "Walls";
    r.absorption = {0.01f, 0.02f, 0.05f, 0.1f, 0.2f, 0.5f, 1.0f};
  }
  database->count = int16_t(count);
  return database;
}

const ListingText* FindText(const ListingPage& page, const std::string& text) {
  auto it = std::find_if(page.texts.begin(), page.texts.end(), [&](const ListingText& t) { return t.text == text; });
  return it == page.texts.end() ? nullptr : &*it;
}

// The column unit is narrowed where the 202 units of the columns would not
// fit the printable width, and kept where they do.
TEST(AbsorberListing, SizesFollowThePrintableWidth) {
  struct Case {
    int width, rowHeight, columnUnit;
  };
  for (Case c : {Case{2299, 18, 8}, Case{2300, 36, 11}, Case{2550, 36, 12}, Case{3231, 36, 15}, Case{3232, 36, 16},
                 Case{4599, 36, 16}, Case{4600, 72, 22}, Case{6463, 72, 31}, Case{6464, 72, 32}, Case{9000, 72, 32}}) {
    ListingSizes sizes = AbsorberListingSizes(c.width);
    EXPECT_EQ(sizes.rowHeight, c.rowHeight) << c.width;
    EXPECT_EQ(sizes.columnUnit, c.columnUnit) << c.width;
    const std::vector<ListingPage> pages = LayOutAbsorberListing(*DatabaseOf(1), "", c.width, 2400);
    ASSERT_EQ(pages.size(), 1u);
    for (const ListingText& text : pages[0].texts) EXPECT_LE(text.right, c.width) << c.width << " " << text.text;
  }
}

TEST(AbsorberListing, TwentyEightRecordsAPageEachUnderItsHeader) {
  constexpr int kWidth = 3300, kHeight = 2400, a = 36, b = 16;
  auto database = DatabaseOf(29);
  std::vector<ListingPage> pages = LayOutAbsorberListing(*database, "/data/HALL.KAB", kWidth, kHeight);
  ASSERT_EQ(pages.size(), 2u);

  for (int page = 0; page < 2; ++page) {
    const ListingPage& p = pages[page];
    const ListingText* title = FindText(p, "Korvane Absorber Database ");
    const ListingText* number = FindText(p, "Page " + std::to_string(page + 1));
    const ListingText* file = FindText(p, "/data/HALL.KAB");
    ASSERT_TRUE(title && number && file) << page;
    EXPECT_EQ(*number, (ListingText{0, 0, kWidth, a + 2, number->text, ListingAlign::kRight}));
    EXPECT_EQ(title->align, ListingAlign::kLeft);
    EXPECT_EQ(file->align, ListingAlign::kCentre);
    const ListingText* eightK = FindText(p, "8 kHz");
    ASSERT_TRUE(eightK);
    EXPECT_EQ(*eightK, (ListingText{196 * b, 2 * a, 202 * b, 3 * a + 1, "8 kHz", ListingAlign::kRight}));
    EXPECT_EQ(p.lines, (std::vector<ListingLine>{{1, 54, kWidth - 1, 54},
                                                 {1, 127, kWidth - 1, 127},
                                                 {kWidth - 1, 54, kWidth - 1, kHeight - 1},
                                                 {kWidth - 1, kHeight - 1, 1, kHeight - 1},
                                                 {1, kHeight - 1, 1, 54}}));
  }
  // Records 1 to 28 on page 1, each two rows and 8 pixels below the last;
  // record 29 starts page 2 at the first row.
  for (int j = 1; j <= 28; ++j) {
    char number[8];
    std::snprintf(number, sizeof number, "%3d", j);
    const ListingText* text = FindText(pages[0], number);
    ASSERT_TRUE(text) << j;
    const int y = 4 * a + (j - 1) * (2 * a + 8);
    EXPECT_EQ(*text, (ListingText{b, y, 5 * b, y + a, number, ListingAlign::kRight}));
  }
  EXPECT_FALSE(FindText(pages[0], " 29"));
  const ListingText* last = FindText(pages[1], " 29");
  ASSERT_TRUE(last);
  EXPECT_EQ(last->top, 4 * a);
  EXPECT_FALSE(FindText(pages[1], " 28"));

  // A record's texts and coefficients in their columns.
  const int y = 4 * a;
  EXPECT_EQ(*FindText(pages[1], "M29"), (ListingText{6 * b, y, 27 * b, y + a, "M29", ListingAlign::kLeft}));
  EXPECT_EQ(*FindText(pages[1], "Material 29"),
            (ListingText{28 * b, y, 109 * b, y + a, "Material 29", ListingAlign::kLeft}));
  EXPECT_EQ(*FindText(pages[1], "0.05"), (ListingText{168 * b, y, 173 * b, y + a, "0.05", ListingAlign::kRight}));
  EXPECT_EQ(*FindText(pages[1], "1.00"), (ListingText{196 * b, y, 201 * b, y + a, "1.00", ListingAlign::kRight}));
}

TEST(AbsorberListing, ALongCategoryGoesOnInTheSecondRow) {
  constexpr int a = 18, b = 8;
  auto database = DatabaseOf(2);
  const std::string first40 = "Audience (unless not specified explicitl";
  const std::string rest20 = "y, 2 persons per m2)";
  database->records[1].category = first40 + rest20;
  std::vector<ListingPage> pages = LayOutAbsorberListing(*database, "", 2000, 1400);
  ASSERT_EQ(pages.size(), 1u);
  const int y = 4 * a + 2 * a + 8;
  auto categoryTexts = [&] {
    return std::count_if(pages[0].texts.begin(), pages[0].texts.end(),
                         [&](const ListingText& t) { return t.left == 110 * b && t.top >= y; });
  };
  EXPECT_EQ(categoryTexts(), 2);
  EXPECT_EQ(*FindText(pages[0], first40), (ListingText{110 * b, y, 153 * b, y + a, first40, ListingAlign::kLeft}));
  EXPECT_EQ(*FindText(pages[0], rest20),
            (ListingText{110 * b, y + a + 4, 153 * b, y + 2 * a + 4, rest20, ListingAlign::kLeft}));
  // A category of exactly 40 characters has no second line.
  database->records[1].category = first40;
  pages = LayOutAbsorberListing(*database, "", 2000, 1400);
  EXPECT_EQ(categoryTexts(), 1);
}

TEST(AbsorberListing, AnEmptyDatabaseHasNoPage) {
  EXPECT_TRUE(LayOutAbsorberListing(AbsorberDatabase{}, "x", 3300, 2400).empty());
}

using PrintListingTest = KabTest;

platform::test::RecordingPrinter Printer(int width, int height, bool keepImages) {
  platform::test::RecordingPrinter printer;
  printer.caps.widthPixels = width;
  printer.caps.heightPixels = height;
  printer.caps.colours = 2;
  printer.keepImages = keepImages;
  return printer;
}

// Print asks for a landscape printer and draws every text and line of the
// layout, page by page; Cancel prints nothing.
TEST_F(PrintListingTest, PrintDrawsTheLayoutOnLandscapePages) {
  ShowDatabase({});
  gAbsorberEditor.database = *DatabaseOf(29);
  gAbsorberEditor.fileName = "/data/HALL.KAB";
  platform::test::PrintDialogScript script;
  script.Cancel();
  script.Record(Printer(3300, 2400, false));
  Command(kCmdPrint);
  EXPECT_TRUE(script.documents().empty());
  Command(kCmdPrint);
  ASSERT_EQ(script.presets().size(), 2u);
  EXPECT_TRUE(script.presets()[1].landscape);
  ASSERT_EQ(script.documents().size(), 1u);
  const platform::test::RecordedPrint& printed = script.documents()[0];
  EXPECT_TRUE(printed.ended);
  const std::vector<ListingPage> layout = LayOutAbsorberListing(*DatabaseOf(29), "/data/HALL.KAB", 3300, 2400);
  ASSERT_EQ(printed.pages.size(), layout.size());
  for (size_t i = 0; i < layout.size(); ++i) {
    const auto& ops = printed.pages[i].operations;
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(), [](const auto& op) { return op.kind == 'T'; }),
              std::ptrdiff_t(layout[i].texts.size()))
        << i;
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(), [](const auto& op) { return op.kind == 'L'; }),
              std::ptrdiff_t(layout[i].lines.size()))
        << i;
  }
  EXPECT_FALSE(IsPrinting());
  EXPECT_EQ(gTextStyle.charHeight, TextStyle{}.charHeight);  // the default style again
}

// The listing of 29 records printed to a PDF file at 300 dpi (A4 landscape,
// 3508 x 2480 pixels, sizes 36 and 16): two pages, each the same image as
// the page the same drawing gives on a recording printer of that size, with
// its texts as text: the page's text layer holds the listing's words.
TEST_F(PrintListingTest, APdfFileHoldsThePagesAsDrawn) {
  namespace fs = std::filesystem;
  ShowDatabase({});
  gAbsorberEditor.database = *DatabaseOf(29);
  gAbsorberEditor.database.records[28].category = std::string(60, 'c');
  const std::string pdf = (dir_ / "listing.pdf").string();
  platform::test::PrintDialogScript script;
  script.PrintToPdf(pdf, 300);
  Command(kCmdPrint);
  const PrintSettings printer = *GetPrintSettings();
  ASSERT_GE(printer.horizontalResolution, 2300);
  ASSERT_LT(printer.horizontalResolution, 4600);
  ASSERT_GT(printer.horizontalResolution, printer.verticalResolution);
  script.Record(Printer(printer.horizontalResolution, printer.verticalResolution, true));
  Command(kCmdPrint);
  ASSERT_EQ(script.documents().size(), 1u);  // the PDF printer records nothing
  const auto& recorded = script.documents()[0].pages;
  ASSERT_EQ(recorded.size(), 2u);
  const std::vector<ListingPage> layout = LayOutAbsorberListing(
      gAbsorberEditor.database, gAbsorberEditor.fileName, printer.horizontalResolution, printer.verticalResolution);
  ASSERT_EQ(layout.size(), 2u);
  for (int page = 1; page <= 2; ++page) {
    platform::Bitmap image = PdfPageImage(pdf, page, 300);
    ASSERT_NE(image, platform::Bitmap::kNone) << page;
    int compared = 0;
    const platform::test::RecordedPage& drawn = recorded[size_t(page - 1)];
    EXPECT_EQ(InteriorMismatches(drawn.image, image, 0, 0, &compared, TextBoxes(drawn)), 0) << page;
    EXPECT_GT(compared, 5000000) << page;
    EXPECT_EQ(PdfPageWords(pdf, page), ListingWords(layout[size_t(page - 1)])) << page;
  }
  EXPECT_EQ(PdfPageImage(pdf, 3, 300), platform::Bitmap::kNone);
}

// At 200 dpi A4 landscape is about 2339 pixels wide, too narrow for the
// columns at 16 pixels a unit: the last column head, "8 kHz", is printed on
// the page all the same, left of its right-hand frame.
TEST_F(PrintListingTest, TheLastColumnIsOnAPageTooNarrowForTheFixedSizes) {
  ShowDatabase({});
  gAbsorberEditor.database = *DatabaseOf(1);
  const std::string pdf = (dir_ / "narrow.pdf").string();
  platform::test::PrintDialogScript script;
  script.PrintToPdf(pdf, 200);
  Command(kCmdPrint);
  const int width = GetPrintSettings()->horizontalResolution;
  ASSERT_GE(width, 2300);
  ASSERT_LT(width, 202 * 16);
  const ListingSizes sizes = AbsorberListingSizes(width);
  platform::Bitmap image = PdfPageImage(pdf, 1, 200);
  ASSERT_NE(image, platform::Bitmap::kNone);
  platform::Context page = platform::CreateMemoryContext();
  platform::SelectBitmap(page, image);
  // The heads' band, 2a to 3a, across the last head's columns 196 to 202.
  int dark = 0;
  for (int y = 2 * sizes.rowHeight; y <= 3 * sizes.rowHeight; ++y)
    for (int x = 196 * sizes.columnUnit; x < std::min(202 * sizes.columnUnit, width - 2); ++x)
      dark += (platform::GetPixel(page, x, y) & 0xFF) < 0x80;
  platform::SelectBitmap(page, platform::Bitmap::kNone);
  platform::DeleteContext(page);
  EXPECT_GT(dark, 20);
}

}  // namespace
