// Printers and print jobs.
//
// The print dialog gives a printer context: the drawing calls of drawing.h
// draw on its pages like on a window, in the printer's own pixels. Each page
// is rasterised by the same rasteriser as every window, at the printer's
// resolution, and sent to the printer in bands of at most 32 MB, so that a
// 600 dpi A4 page (4960 x 7016 pixels, 139 MB whole) never needs its full
// size in memory; a band nothing was drawn in is not sent. Text is the
// exception: its glyphs go to the printer as text, in the font, size and
// place the rasteriser gives them, over all the page's pixels (an opaque
// text's background is pixels in its turn), so that a printed document can
// be searched and copied from. With no printer installed, the printer is a
// PDF file that the user names in the print dialog (as on any Linux
// desktop); PDF pages are 600 dpi.
//
// A document: StartDocument, then for each page StartPage, drawing,
// EndPage; then EndDocument (or AbortDocument). DeleteContext (drawing.h)
// lets the printer go and aborts a document still open.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace platform {

struct PrinterCaps {
  int widthPixels = 0, heightPixels = 0;  // the printable area
  int widthMm = 0, heightMm = 0;
  bool plotter = false;
  int planes = 1;
  int colours = 0;  // how many the device shows: 2 for a black-and-white printer, 16777216 for colour
  int pens = 0, brushes = 0;
};

// What the print dialog is preset with and gives back.
struct PrintSetup {
  bool landscape = false;
  int scalePercent = 100;  // the device scales each page by it
  int copies = 1;          // the copies the user asked for
  int driverCopies = 1;    // of those, the copies the device makes itself (1: the program prints each)
};

// The default printer without a dialog. Always true while PDF output
// stands in for a missing printer.
bool QueryDefaultPrinter(PrintSetup& setup, PrinterCaps& caps);

// The print dialog over `owner`, preset from `setup`; on OK a printer
// context, with `setup` and `caps` read back; none on Cancel. Runs the
// layer's queue meanwhile; a quit cancels it and stays posted.
Context PrintDialog(Window owner, PrintSetup& setup, PrinterCaps& caps);
PrinterCaps GetPrinterCaps(Context printer);

bool StartDocument(Context printer, std::string_view name);
bool StartPage(Context printer);
// Prints the page; false when the printer refuses it.
bool EndPage(Context printer);
bool EndDocument(Context printer);
void AbortDocument(Context printer);

}  // namespace platform
