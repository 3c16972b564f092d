// The printed listing of an absorber database: landscape pages of 28
// records under a header with the program's name, the file name and the
// page number, and column heads for number, material, description,
// category and the seven octave-band coefficients.
//
// The layout is worked out first, as texts in rectangles and lines in
// printer pixels, from the printable size alone, so it can be checked
// without a printer; printing draws it page by page in "Arial", black on
// white.
//
// Sizes follow the printable width w: a row of text is a pixels high and
// columns are counted in units of b pixels (w < 2300: a = 18, b = 8; w
// below 4600: 36 and 16; else 72 and 32). The columns span 202 units; where
// they would not fit the width, b is narrowed to w / 202. A record takes two
// rows (its category, when longer than 40 characters, goes on in the second).
#pragma once

#include <string>
#include <vector>

#include "design/model/absorber_database.h"

constexpr int kListingRecordsPerPage = 28;
constexpr size_t kListingCategoryLine = 40;  // characters of the category's first line

struct ListingSizes {
  int rowHeight = 0;   // a
  int columnUnit = 0;  // b
};
ListingSizes ListingSizesForWidth(int printableWidth);

enum class ListingAlign { kLeft, kCentre, kRight };
// Texts are code page 1252, in the rectangle {left, top, right, bottom}.
struct ListingText {
  int left = 0, top = 0, right = 0, bottom = 0;
  std::string text;
  ListingAlign align = ListingAlign::kLeft;

  bool operator==(const ListingText&) const = default;
};
struct ListingLine {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;

  bool operator==(const ListingLine&) const = default;
};
struct ListingPage {
  std::vector<ListingText> texts;
  std::vector<ListingLine> lines;
};

// The pages of the listing of `database` on a printable area of width x
// height pixels; `fileName` is centred in each header. An empty database
// gives no page.
std::vector<ListingPage> LayOutAbsorberListing(const AbsorberDatabase& database, const std::string& fileName,
                                               int printableWidth, int printableHeight);

// Prints the listing: the print dialog, preset to landscape, then every
// page on the printer chosen there. Nothing is printed when the dialog is
// cancelled or the job cannot start.
void PrintAbsorberDatabase(const AbsorberDatabase& database, const std::string& fileName);
