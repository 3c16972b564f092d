// Printing: the printer settings the programs read, the print dialog, one
// print job at a time during which the drawing layer's current context is
// the printer's (every drawing call of drawing_layer.h then draws on the
// page, in printer pixels), and the print of a window as a bitmap.
//
// Pages are drawn through the same rasteriser as windows, at the printer's
// resolution (platform/printer.h). With no printer installed the printer is
// a PDF file the user names in the print dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/printed_page.h"
#include "platform/printer.h"
#include "platform/types.h"

// Read by the programs field by field (GetPrintSettings).
struct PrintSettings {
  std::int32_t horizontalResolution = 0;  // printable width in pixels
  std::int32_t verticalResolution = 0;    // printable height in pixels
  std::int32_t horizontalSize = 0;        // printable width in millimetres
  std::int32_t verticalSize = 0;          // printable height in millimetres
  std::int32_t plotter = 0;               // 1 for a plotter
  std::int32_t planes = 0;
  // Device colours as a count: 2 for black and white, 16777216 for colour;
  // never -1, so that "fewer than two colours" picks the patterns of a
  // black-and-white printer only.
  std::int32_t colours = 0;
  std::int32_t pens = 0;
  std::int32_t brushes = 0;
  std::int32_t landscape = 0;     // wanted for the next print dialog: 1 landscape, 0 portrait
  std::int32_t scale = 100;       // percent, for the next print dialog
  std::int16_t copies = 1;        // copies the printer makes itself (1 when unknown)
  std::int16_t dialogCopies = 1;  // copies the user asked for in the print dialog
};

struct PrintJob {
  bool printing = false;        // a job is open
  bool aborted = false;         // a page could not be ended
  bool printerContext = false;  // the print dialog gave a printer
  platform::Context printer = platform::Context::kNone;
  std::string documentName;  // "JOB_" and six letters
};
extern PrintSettings gPrintSettings;
extern PrintJob gPrintJob;
// Back to the state before start-up, letting a printer go.
void ResetPrinting();

// At start-up: the default printer's capabilities, without a dialog.
void QueryDefaultPrinter();
// The print dialog, preset with the wanted orientation and scale; on OK the
// chosen printer's capabilities and copies are stored and 1 returned; 0 on
// Cancel, and at once while a job is open (one job at a time).
int PrintSetupDialog();
void SetPrintLandscape(int flag);
void SetPrintScale(int percent);
bool IsPrinting();
PrintSettings* GetPrintSettings();

// A job on the printer of the last print dialog: 0 when there is none.
// The printer becomes the drawing layer's current context and the first
// page is started. WithObjects also moves the layer's pen, brush and
// pattern brushes to the printer, and pairs with EndPrintJob; the plain
// one pairs with EndPrintJobPlain.
int StartPrintJob();
int StartPrintJobWithObjects();
// Ends the page and starts the next; a page the printer refuses aborts the
// job.
void PrintNewPage();
void EndPrintJob();
void EndPrintJobPlain();
// At shutdown: lets the printer of the last dialog go.
void FreePrinterSetup();

// Draws a listing page on the current context (the page of the open job):
// its lines in black, then its texts in the current text style, each on one
// line in its rectangle as aligned, an '&' printed as it stands.
void DrawListingPage(const ListingPage& page);
// The pages of a listing on the open job, a new page before each but the
// first, in "Arial" of `sizes` black on white (DrawListingPage); then the
// default text style again and the job ended (EndPrintJob).
void PrintListingPages(const std::vector<ListingPage>& pages, ListingSizes sizes);

// Prints the current window's client area as a bitmap, centred on the page
// at a whole number of printer pixels per window pixel (or the fraction
// that fits, for a window larger than the page), white left unprinted and
// runs of one colour merged into one rectangle; with a progress window
// whose Cancel stops it (the page so far is printed).
void PrintViewWindow();

// The print scale of PrintViewWindow: printer pixels per window pixel for
// a client area of w x h pixels plus its extra column and row. Computed
// from the printer's own resolution; never 0.
double PrintViewScale(double w, double h, int horizontalResolution, int verticalResolution);
