#include "absorberbase/absorber_listing.h"

#include <algorithm>
#include <cstdio>

#include "framework/base/printing.h"

namespace {

constexpr int kCounterStart = -2, kCounterStep = 2, kCounterLast = 54;  // 28 records a page
constexpr char kListingTitle[] = "Korvane Absorber Database ";

// Column edges in column units.
constexpr int kNumberLeft = 1, kNumberRight = 5;
constexpr int kNameLeft = 6, kNameRight = 27;
constexpr int kDescriptionLeft = 28, kDescriptionRight = 109;
constexpr int kCategoryLeft = 110, kCategoryRight = 153, kCategoryHeadRight = 150;
constexpr int kBandLeft = 154, kBandWidth = 5, kBandStep = 7;
constexpr int kLastBandHeadLeft = 196, kLastBandHeadRight = 202;
constexpr const char* kBandHeads[kAbsorberBandCount - 1] = {"125", "250", "500", "1 k", "2 k", "4 k"};

std::string FormatNumber(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d", number);
  return text;
}

class PageBuilder {
 public:
  PageBuilder(ListingSizes sizes, int width, int height)
      : a_(sizes.rowHeight), b_(sizes.columnUnit), w_(width), h_(height) {}

  // The page head: title, page and file name across the top, the column
  // heads and the frames.
  void PrintListingHeader(ListingPage& page, const std::string& fileName, int number) const {
    const int band = a_ + 2;
    page.texts.push_back({0, 0, w_, band, kListingTitle, ListingAlign::kLeft});
    page.texts.push_back({0, 0, w_, band, "Page " + std::to_string(number), ListingAlign::kRight});
    page.texts.push_back({0, 0, w_, band, fileName, ListingAlign::kCentre});
    const int top = 2 * a_, bottom = 3 * a_ + 1;
    Column(page, top, bottom, kNumberLeft, kNumberRight, "No.", ListingAlign::kLeft);
    Column(page, top, bottom, kNameLeft, kNameRight, "Material", ListingAlign::kLeft);
    Column(page, top, bottom, kDescriptionLeft, kDescriptionRight, "Description", ListingAlign::kLeft);
    Column(page, top, bottom, kCategoryLeft, kCategoryHeadRight, "Category", ListingAlign::kLeft);
    for (int k = 0; k < kAbsorberBandCount - 1; ++k)
      Column(page, top, bottom, BandLeft(k), BandLeft(k) + kBandWidth, kBandHeads[k], ListingAlign::kRight);
    Column(page, top, bottom, kLastBandHeadLeft, kLastBandHeadRight, "8 kHz", ListingAlign::kRight);
    const int above = 2 * a_ - a_ / 2, below = 3 * a_ + 1 + a_ / 2;
    const int right = w_ - 1, bottomEdge = h_ - 1;
    page.lines.push_back({1, above, right, above});
    page.lines.push_back({1, below, right, below});
    page.lines.push_back({right, above, right, bottomEdge});
    page.lines.push_back({right, bottomEdge, 1, bottomEdge});
    page.lines.push_back({1, bottomEdge, 1, above});
  }

  // Record `index` in the two rows from y; returns the y of the next record.
  int Record(ListingPage& page, const AbsorberRecord& record, int index, int y) const {
    const int bottom = y + a_;
    Column(page, y, bottom, kNumberLeft, kNumberRight, FormatNumber(index + 1), ListingAlign::kRight);
    Column(page, y, bottom, kNameLeft, kNameRight, record.name, ListingAlign::kLeft);
    Column(page, y, bottom, kDescriptionLeft, kDescriptionRight, record.description, ListingAlign::kLeft);
    Column(page, y, bottom, kCategoryLeft, kCategoryRight, record.category.substr(0, kListingCategoryLine),
           ListingAlign::kLeft);
    if (record.category.size() > kListingCategoryLine)
      Column(page, y + a_ + 4, y + 2 * a_ + 4, kCategoryLeft, kCategoryRight,
             record.category.substr(kListingCategoryLine), ListingAlign::kLeft);
    for (int k = 0; k < kAbsorberBandCount; ++k)
      Column(page, y, bottom, BandLeft(k), BandLeft(k) + kBandWidth, FormatAbsorption(record.absorption[k]),
             ListingAlign::kRight);
    return y + 2 * a_ + 8;
  }

  int FirstRow() const { return 4 * a_; }

 private:
  static int BandLeft(int k) { return kBandLeft + kBandStep * k; }
  void Column(ListingPage& page, int top, int bottom, int left, int right, std::string text, ListingAlign align) const {
    page.texts.push_back({left * b_, top, right * b_, bottom, std::move(text), align});
  }

  int a_, b_, w_, h_;
};

}  // namespace

ListingSizes AbsorberListingSizes(int printableWidth) {
  ListingSizes sizes = ListingSizesForWidth(printableWidth);
  sizes.columnUnit = std::max(1, std::min(sizes.columnUnit, printableWidth / kLastBandHeadRight));
  return sizes;
}

std::vector<ListingPage> LayOutAbsorberListing(const AbsorberDatabase& database, const std::string& fileName,
                                               int printableWidth, int printableHeight) {
  const PageBuilder builder(AbsorberListingSizes(printableWidth), printableWidth, printableHeight);
  std::vector<ListingPage> pages;
  int counter = kCounterStart, y = 0;
  for (int j = 0; j < database.count; ++j) {
    counter += kCounterStep;
    if (counter > kCounterLast) counter = 0;
    if (counter == 0) {
      pages.emplace_back();
      builder.PrintListingHeader(pages.back(), fileName, int(pages.size()));
      y = builder.FirstRow();
    }
    y = builder.Record(pages.back(), database.records[j], j, y);
  }
  return pages;
}

void PrintAbsorberDatabase(const AbsorberDatabase& database, const std::string& fileName) {
  SetPrintLandscape(1);
  if (!PrintSetupDialog() || !StartPrintJobWithObjects()) return;
  const PrintSettings& printer = *GetPrintSettings();
  PrintListingPages(LayOutAbsorberListing(database, fileName, printer.horizontalResolution, printer.verticalResolution),
                    AbsorberListingSizes(printer.horizontalResolution));
}
