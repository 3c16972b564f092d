#include "framework/base/printing.h"

#include <cmath>
#include <cstdio>
#include <random>

#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/progress_window.h"
#include "platform/drawing.h"
#include "platform/window.h"

PrintSettings gPrintSettings;
PrintJob gPrintJob;

namespace {

constexpr platform::Colour kWhite = 0xFFFFFF;

void StoreCaps(const platform::PrinterCaps& caps) {
  gPrintSettings.horizontalResolution = caps.widthPixels;
  gPrintSettings.verticalResolution = caps.heightPixels;
  gPrintSettings.horizontalSize = caps.widthMm;
  gPrintSettings.verticalSize = caps.heightMm;
  gPrintSettings.plotter = caps.plotter ? 1 : 0;
  gPrintSettings.planes = caps.planes;
  gPrintSettings.colours = caps.colours;
  gPrintSettings.pens = caps.pens;
  gPrintSettings.brushes = caps.brushes;
}

void StoreCopies(const platform::PrintSetup& setup) {
  gPrintSettings.dialogCopies = std::int16_t(setup.copies);
  gPrintSettings.copies = std::int16_t(setup.driverCopies > 0 ? setup.driverCopies : 1);
}

// "JOB_" and six capital letters, different from job to job.
std::string JobName() {
  static std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<int> letter('A', 'Z');
  std::string name = "JOB_";
  for (int i = 0; i < 6; ++i) name += char(letter(random));
  return name;
}

void DeletePrinter() {
  platform::DeleteContext(gPrintJob.printer);
  gPrintJob.printer = platform::Context::kNone;
  gPrintJob.printerContext = false;
}

int StartJob() {
  if (!gPrintJob.printerContext) return 0;
  gPrintJob.documentName = JobName();
  if (!platform::StartDocument(gPrintJob.printer, gPrintJob.documentName)) return 0;
  gOutput.context = gPrintJob.printer;
  gOutput.printing = true;
  gPrintJob.printing = true;
  gPrintJob.aborted = !platform::StartPage(gPrintJob.printer);
  return 1;
}

// Back from the printer to the current window's context.
void ReturnToWindow(bool withObjects) {
  if (gOutput.context == gPrintJob.printer && gPrintJob.printer != platform::Context::kNone) {
    if (withObjects) ReleaseDrawingObjects();
    DeletePrinter();
    gOutput.printing = false;
    gPrintJob.printing = false;
    gOutput.context = gOutput.currentWindow ? gOutput.currentWindow->context : platform::Context::kNone;
    if (withObjects) LoadPatternBrushes();
  }
  if (gPrintJob.printer != platform::Context::kNone) DeletePrinter();
  gOutput.printing = gPrintJob.printing = false;
}

}  // namespace

void ResetPrinting() {
  if (gPrintJob.printer != platform::Context::kNone) platform::DeleteContext(gPrintJob.printer);
  gPrintSettings = {};
  gPrintJob = {};
}

void QueryDefaultPrinter() {
  platform::PrintSetup setup;
  platform::PrinterCaps caps;
  if (!platform::QueryDefaultPrinter(setup, caps)) return;
  StoreCaps(caps);
}

int PrintSetupDialog() {
  if (IsPrinting()) return 0;  // one job at a time
  platform::PrintSetup setup;
  setup.landscape = gPrintSettings.landscape != 0;
  setup.scalePercent = gPrintSettings.scale;
  setup.copies = 1;
  platform::PrinterCaps caps;
  platform::Context printer = platform::PrintDialog(ActiveOrMainWindow(), setup, caps);
  if (printer == platform::Context::kNone) return 0;
  if (gPrintJob.printer != platform::Context::kNone) DeletePrinter();
  gPrintJob.printer = printer;
  gPrintJob.printerContext = true;
  StoreCaps(caps);
  StoreCopies(setup);
  return 1;
}

void SetPrintLandscape(int flag) { gPrintSettings.landscape = flag; }
void SetPrintScale(int percent) { gPrintSettings.scale = percent; }
bool IsPrinting() { return gPrintJob.printing; }
PrintSettings* GetPrintSettings() { return &gPrintSettings; }

int StartPrintJob() { return StartJob(); }

int StartPrintJobWithObjects() {
  if (!gPrintJob.printerContext) return 0;
  ReleaseDrawingObjects();
  if (!StartJob()) {
    LoadPatternBrushes();
    return 0;
  }
  LoadPatternBrushes();
  return 1;
}

void PrintNewPage() {
  if (!gPrintJob.printing || gPrintJob.aborted) return;
  if (!platform::EndPage(gPrintJob.printer) || !platform::StartPage(gPrintJob.printer)) {
    gPrintJob.aborted = true;
    platform::AbortDocument(gPrintJob.printer);
  }
}

void EndPrintJob() {
  if (gPrintJob.printing) {
    if (!gPrintJob.aborted && platform::EndPage(gPrintJob.printer)) platform::EndDocument(gPrintJob.printer);
    else platform::AbortDocument(gPrintJob.printer);
  }
  ReturnToWindow(true);
}

void EndPrintJobPlain() {
  if (gPrintJob.printing && !gPrintJob.aborted) {
    if (platform::EndPage(gPrintJob.printer)) platform::EndDocument(gPrintJob.printer);
    else platform::AbortDocument(gPrintJob.printer);
  }
  ReturnToWindow(false);
}

void FreePrinterSetup() {
  if (gPrintJob.printer != platform::Context::kNone) DeletePrinter();
}

double PrintViewScale(double w, double h, int horizontalResolution, int verticalResolution) {
  if (w <= 0 || h <= 0 || horizontalResolution <= 0 || verticalResolution <= 0) return 1;
  double pageAspect = double(verticalResolution) / horizontalResolution;
  double fit = pageAspect < std::fabs(h / w) ? verticalResolution * 0.9 / h : horizontalResolution * 0.9 / w;
  return fit >= 1 ? std::floor(fit) : fit;
}

void PrintViewWindow() {
  if (!gOutput.currentWindow || !gPrintJob.printerContext) return;
  platform::Size client = platform::GetClientSize(gOutput.currentWindow->window);
  const int w = client.width + 1, h = client.height + 1;
  const int hres = gPrintSettings.horizontalResolution, vres = gPrintSettings.verticalResolution;
  const double scale = PrintViewScale(w, h, hres, vres);
  platform::Bitmap captured = platform::Bitmap::kNone;
  if (!CaptureWindowBitmap({0, 0, client.width, client.height}, &captured)) {
    ReleaseBitmapDc(captured);
    return;
  }
  if (StartPrintJob()) {
    platform::Context page = gOutput.context;
    int copies = gPrintSettings.dialogCopies > gPrintSettings.copies
                     ? gPrintSettings.dialogCopies + 1 - gPrintSettings.copies
                     : 1;
    ShowWaitCursor(true);
    const double x0 = std::trunc((hres - scale * client.width) * 0.5),
                 y0 = std::trunc((vres - scale * client.height) * 0.5);
    OpenProgressWindow("Printing Window...", "0 %", "Cancel");
    // A pixel edge of the window on the page (the same rounding for the
    // right edge of one run and the left edge of the next).
    auto edge = [&](double origin, int pixel) { return int(std::lround(origin + pixel * scale)); };
    platform::Pen pen = platform::SelectPen(page, platform::GetStockPen(platform::StockPen::kNull));
    bool cancelled = false;
    for (int copy = 0; copy < copies && !cancelled; ++copy) {
      platform::SelectPen(page, platform::GetStockPen(platform::StockPen::kNull));
      platform::Brush previous = platform::SelectBrush(page, platform::GetStockBrush(platform::StockBrush::kWhite));
      platform::Rectangle(page, 0, 0, hres - 1, vres - 1);
      for (int y = 0; y < h && !cancelled; ++y) {
        platform::Colour brushColour = kWhite;
        platform::Brush brush = platform::CreateSolidBrush(kWhite);
        platform::SelectBrush(page, brush);
        for (int x = 0; x < w;) {
          platform::Colour c = platform::GetPixel(gCapture.memory, x, y);
          int run = 1;
          while (x + run < w && platform::GetPixel(gCapture.memory, x + run, y) == c) ++run;
          if (c != kWhite) {
            if (c != brushColour) {
              platform::Brush next = platform::CreateSolidBrush(c);
              platform::SelectBrush(page, next);
              platform::DeleteObject(brush);
              brush = next;
              brushColour = c;
            }
            // With the null pen a rectangle covers up to right - 2.
            platform::Rectangle(page, edge(x0, x), edge(y0, y), edge(x0, x + run) + 1, edge(y0, y + 1) + 1);
          }
          x += run;
        }
        platform::SelectBrush(page, platform::GetStockBrush(platform::StockBrush::kHollow));
        platform::DeleteObject(brush);
        int percent = y * 100 / h;
        char text[16];
        std::snprintf(text, sizeof text, "%d %%", percent);
        cancelled = UpdateProgress(percent, text) != 0;
      }
      platform::SelectBrush(page, previous);
      if (cancelled) break;
      if (copy + 1 < copies) PrintNewPage();
      cancelled = UpdateProgress(0, "          ") != 0;
    }
    platform::SelectPen(page, pen);
    CloseProgressWindow();
    ShowWaitCursor(false);
    EndPrintJobPlain();
  }
  // The capture back onto the window, then let it go.
  platform::Blit(gOutput.currentWindow->context, 0, 0, w, h, gCapture.memory, 0, 0, platform::kMixCopy);
  ReleaseBitmapDc(captured);
}

namespace {

unsigned ListingTextFormat(ListingAlign align) {
  const unsigned alignment = align == ListingAlign::kRight    ? platform::kTextRight
                             : align == ListingAlign::kCentre ? platform::kTextCentre
                                                              : platform::kTextLeft;
  return alignment | platform::kTextSingleLine | platform::kTextNoPrefix;
}

}  // namespace

void DrawListingPage(const ListingPage& page) {
  constexpr std::int16_t kBlack = 0;
  SetPenColor(kBlack);
  for (const ListingLine& line : page.lines) DrawLine(line.x1, line.y1, line.x2, line.y2);
  for (const ListingText& text : page.texts)
    DrawStyledText(text.left, text.top, text.right, text.bottom, text.text.c_str(), ListingTextFormat(text.align));
}

void PrintListingPages(const std::vector<ListingPage>& pages, ListingSizes sizes) {
  constexpr std::int16_t kInk = 0, kPaper = 30;  // palette indexes: black on white
  SetTextStyle("Arial", sizes.rowHeight, sizes.columnUnit, 0, kInk, kPaper, platform::kBackOpaque);
  for (size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) PrintNewPage();
    DrawListingPage(pages[i]);
  }
  SetDefaultTextStyle();
  EndPrintJob();
}
