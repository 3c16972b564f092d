// The data sheet of a speaker record: its rows as texts, and their framed
// cells in a window's client area.
//
// Rows (the place under the title; 2, 13 and 15 hold nothing and are left
// out, their place stays empty):
//   0 "Manufacturer"  brand             1 "Type"          type name
//   3 "Data source"   text at +200      4 "    dto."      text at +241
//   5 "Input format"  the grid code at +132 in words (1 to 4; any other
//                     value shows nothing)
//   6 "Frequency [Hz]"            "125" .. "8000"
//   7 "Max. Power(AES)[W]"        rated power "%4.0f"
//   8 "SPL @1W @1m [dB]"          sensitivity + (on-axis code - 225) / 5, "%3.1f"
//   9 "Nominal impedance[Ohms]"   impedance "%3d"
//  10 "Directivity factor Q"      stored Q x 10 / 10, "%2.1f"
//  11 "Directivity index [dB]"    10 x log10(Q), "%2.1f"
//  12 "Efficiency [%]"            100 x 10^((S - 10 x log10(Q) - 109) / 10), "%2.1f"
//  14 "Comment"                   comment
// Rows 6 to 12 have seven band values, the others one. The on-axis code is
// row 0, column 0 of the band's balloon. A stored Q of 0 or below (a damaged
// or foreign record) has no logarithm: its directivity index and efficiency
// show "---".
//
// Layout in a client area of width x height, right of the buttons' column
// (so that "<-" never covers a label): with a = width - kViewButtonSize the
// cell width w = (a - 16) / 12 and row height h = (height - 16) / 16. The
// title "Korvane Speaker Datasheet" takes the first of 16 rows, from
// y0 = (height - 16h) / 2, centred over the area; row r lies under it at
// y0 + (r + 1) h. Each row is a label cell 5w wide and one value cell 7w
// wide or seven band cells w wide, from the left edge
// kViewButtonSize + (a - 12w) / 2. Labels are left-aligned, values centred,
// in "ARIAL" h - 5 pixels high and w / 6 wide.
#pragma once

#include <string>
#include <vector>

#include "design/model/speaker_type.h"
#include "speakerbase/view_layout.h"

inline constexpr char kDataSheetTitle[] = "Korvane Speaker Datasheet";
inline constexpr char kDataSheetFont[] = "ARIAL";
constexpr int kDataSheetRows = 16;
// Shown for a figure that has no value.
inline constexpr char kDataSheetNoValue[] = "---";

struct DataSheetRow {
  int row = 0;  // its place under the title, 0 .. 15
  std::string label;
  std::vector<std::string> values;  // one, or seven per band
};
// The rows that have a label, in order.
std::vector<DataSheetRow> DataSheetRows(const SpeakerType& record);

// One framed cell: its frame lies on the columns left and right and the rows
// top and bottom (a cell shares its right edge with the next one), its text
// inside.
struct DataSheetCell {
  ViewRect frame;
  ViewText text;
};
struct DataSheetLayout {
  int cellWidth = 0, rowHeight = 0;  // w, h
  int textHeight = 0, textWidth = 0;
  ViewText title;
  std::vector<DataSheetCell> cells;  // none when the area is too small for a row of text
};
DataSheetLayout LayOutDataSheet(const SpeakerType& record, int width, int height);
