// The printed listing of an absorber database: landscape pages of 28
// records under a header with the program's name, the file name and the
// page number, and column heads for number, material, description,
// category and the seven octave-band coefficients.
//
// The layout is worked out first as printed pages (printed_page.h);
// printing draws them page by page.
//
// Sizes follow the printable width (AbsorberListingSizes): a row of text
// is a pixels high and columns are counted in units of b pixels. A record
// takes two rows (its category, when longer than 40 characters, goes on in
// the second).
#pragma once

#include <string>
#include <vector>

#include "design/model/absorber_database.h"
#include "framework/core/printed_page.h"

constexpr int kListingRecordsPerPage = 28;
constexpr size_t kListingCategoryLine = 40;  // characters of the category's first line

// The listing's sizes: those of ListingSizesForWidth, with the column unit
// narrowed to w / 202 where the 202 units of its columns would not fit the
// printable width w.
ListingSizes AbsorberListingSizes(int printableWidth);

// The pages of the listing of `database` on a printable area of width x
// height pixels; `fileName` is centred in each header. An empty database
// gives no page.
std::vector<ListingPage> LayOutAbsorberListing(const AbsorberDatabase& database, const std::string& fileName,
                                               int printableWidth, int printableHeight);

// Prints the listing: the print dialog, preset to landscape, then every
// page on the printer chosen there. Nothing is printed when the dialog is
// cancelled or the job cannot start.
void PrintAbsorberDatabase(const AbsorberDatabase& database, const std::string& fileName);
