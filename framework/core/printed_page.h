// A printed page as data: texts in rectangles and lines, in printer pixels.
// The printed listings and summaries (absorber listing, room faces,
// loudspeakers) work out their pages in this form from the printable size
// alone, so a layout is checked without a printer; the printing code draws
// a page as it stands, lines first, in "Arial", black on white.
#pragma once

#include <string>
#include <vector>

// The text size of a listing: a row of text is `rowHeight` pixels high and
// columns are counted in units of `columnUnit` pixels.
struct ListingSizes {
  int rowHeight = 0;
  int columnUnit = 0;
};
// The sizes of the absorber listing and the room-faces summary for a
// printable width w: w < 2300: 18 and 8; below 4600: 36 and 16; else 72 and
// 32.
inline ListingSizes ListingSizesForWidth(int printableWidth) {
  if (printableWidth >= 4600) return {72, 32};
  if (printableWidth < 2300) return {18, 8};
  return {36, 16};
}

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
