// Printers: the print dialog, documents and pages, and the rendering of each
// page in bands through the one rasteriser.
#include "platform/printer.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <map>

#include "platform/internal.h"
#include "platform/printer_internal.h"
#include "platform/queue_internal.h"
#include "platform/system.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {
namespace {

constexpr std::int64_t kBandBytes = 32 << 20;  // the most one band of a page holds
std::int64_t gBandBytes = kBandBytes;
constexpr int kPdfDotsPerInch = 600;
constexpr int kColourCount = 16777216;

std::map<std::uintptr_t, std::unique_ptr<PrinterObject>>& Printers() {
  static std::map<std::uintptr_t, std::unique_ptr<PrinterObject>> printers;
  return printers;
}

PrinterObject* PrinterOf(const ContextObject& context) {
  auto it = Printers().find(context.printer);
  return it == Printers().end() ? nullptr : it->second.get();
}

PrinterObject* PrinterOf(Context context) {
  ContextObject* c = FindContext(context);
  return c && c->kind == TargetKind::kPage ? PrinterOf(*c) : nullptr;
}

// The printer the system offers: the default one, or a PDF file in the
// start folder when none is installed.
std::unique_ptr<QPrinter> DefaultDevice() {
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return PdfPrinter(StartDirectory() + "/print.pdf", kPdfDotsPerInch);
  return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

// Sends the page to the device or the recording, band by band.
bool PrintPage(PrinterObject& p) {
  const int width = p.caps.widthPixels, height = p.caps.heightPixels;
  if (width < 1 || height < 1) return false;
  QImage whole;
  if (!p.device && p.recording.keepImages) {
    whole = QImage(width, height, QImage::Format_RGB32);
    whole.fill(0xFFFFFFFFu);
  }
  const int bandRows = int(std::max<std::int64_t>(1, gBandBytes / 4 / width));
  for (int top = 0; top < height; top += bandRows) {
    const int rows = std::min(bandRows, height - top);
    const QRect band(0, top, width, rows);
    bool touched = false;
    for (const PageOperation& op : p.page) touched = touched || (op.draw && op.bounds.intersects(band));
    if (!touched) continue;
    QImage pixels(width, rows, QImage::Format_RGB32);
    if (pixels.isNull()) return false;
    pixels.fill(0xFFFFFFFFu);
    Canvas canvas{&pixels,
                  {reinterpret_cast<std::uint32_t*>(pixels.bits()), width, rows, int(pixels.bytesPerLine() / 4), top}};
    for (const PageOperation& op : p.page)
      if (op.draw && op.bounds.intersects(band)) op.draw(canvas);
    if (p.painter) {
      p.painter->drawImage(QPoint(0, top), pixels);
    } else if (!whole.isNull()) {
      QPainter onto(&whole);
      onto.drawImage(QPoint(0, top), pixels);
    }
  }
  if (p.painter)
    for (const PageOperation& op : p.page)
      if (op.onDevice) op.onDevice(*p.painter);
  if (p.device) return p.device->printerState() != QPrinter::Error;
  if (p.recording.documents && !p.recording.documents->empty()) {
    test::RecordedPage recorded;
    for (const PageOperation& op : p.page)
      recorded.operations.push_back(
          {char(op.kind), {op.bounds.left(), op.bounds.top(), op.bounds.right() + 1, op.bounds.bottom() + 1}});
    if (!whole.isNull()) recorded.image = AddBitmap(whole);
    p.recording.documents->back().pages.push_back(std::move(recorded));
  }
  return true;
}

void Abort(PrinterObject& p) {
  if (!p.documentOpen) return;
  if (p.device) p.device->abort();
  if (p.painter && p.painter->isActive()) p.painter->end();
  p.painter.reset();
  if (!p.device && p.recording.documents && !p.recording.documents->empty())
    p.recording.documents->back().aborted = true;
  p.documentOpen = p.pageOpen = false;
  p.page.clear();
}

}  // namespace

bool (*gScriptedPrintDialog)(PrintSetup& setup, std::unique_ptr<PrinterObject>& printer) = nullptr;

std::unique_ptr<QPrinter> PdfPrinter(const std::string& path, int dotsPerInch) {
  auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
  device->setOutputFormat(QPrinter::PdfFormat);
  device->setResolution(dotsPerInch);
  device->setPageSize(QPageSize(QPageSize::A4));
  // A file has no unprintable edges: its pages are printable to the edge,
  // which also puts every page pixel on a whole pixel of the file.
  device->setFullPage(true);
  device->setOutputFileName(ToQt(path));
  return device;
}

PrinterCaps CapsOf(QPrinter& device) {
  PrinterCaps caps;
  QRect pixels = device.pageLayout().paintRectPixels(device.resolution());
  QRectF millimetres = device.pageLayout().paintRect(QPageLayout::Millimeter);
  caps.widthPixels = pixels.width();
  caps.heightPixels = pixels.height();
  caps.widthMm = int(millimetres.width());
  caps.heightMm = int(millimetres.height());
  caps.colours = device.colorMode() == QPrinter::Color ? kColourCount : 2;
  caps.pens = caps.brushes = caps.colours;
  return caps;
}

Context AdoptPrinter(std::unique_ptr<PrinterObject> printer) {
  Context context = NewContext(TargetKind::kPage);
  std::uintptr_t id = NewHandle();
  Printers()[id] = std::move(printer);
  FindContext(context)->printer = id;
  return context;
}

void RecordPageOperation(const ContextObject& printer, const QRect& bounds, PageOpKind kind, DrawOp op,
                         DeviceOp onDevice) {
  PrinterObject* p = PrinterOf(printer);
  if (!p || !p->pageOpen) return;
  QRect page(0, 0, p->caps.widthPixels, p->caps.heightPixels);
  if (bounds.intersects(page)) p->page.push_back({bounds, kind, std::move(op), std::move(onDevice)});
}

bool PrintsTextAsText(const ContextObject& printer) {
  PrinterObject* p = PrinterOf(printer);
  return p && p->device;
}

QSize PageSize(const ContextObject& printer) {
  PrinterObject* p = PrinterOf(printer);
  return p ? QSize(p->caps.widthPixels, p->caps.heightPixels) : QSize();
}

void ReleasePrinter(const ContextObject& printer) {
  if (PrinterObject* p = PrinterOf(printer)) Abort(*p);
  Printers().erase(printer.printer);
}

void ResetPrinters() {
  Printers().clear();
  gBandBytes = kBandBytes;
}

}  // namespace detail

using namespace detail;

bool QueryDefaultPrinter(PrintSetup& setup, PrinterCaps& caps) {
  std::unique_ptr<QPrinter> device = DefaultDevice();
  if (!device) return false;
  caps = CapsOf(*device);
  setup.copies = 1;
  setup.driverCopies = 1;
  return true;
}

Context PrintDialog(Window owner, PrintSetup& setup, PrinterCaps& caps) {
  auto printer = std::make_unique<PrinterObject>();
  if (gScriptedPrintDialog) {
    std::unique_ptr<PrinterObject> scripted;
    if (gScriptedPrintDialog(setup, scripted)) {
      if (!scripted) return Context::kNone;
      printer = std::move(scripted);
    }
  }
  if (!printer->device && !printer->recording.documents) {
    printer->device = DefaultDevice();
    QPrinter& device = *printer->device;
    device.setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device.setCopyCount(std::max(setup.copies, 1));
    device.setFromTo(1, 1);
    WindowObject* ownerObject = FindWindow(owner);
    QPrintDialog dialog(&device, ownerObject ? ownerObject->frame->window() : nullptr);
    dialog.setMinMax(1, 1);
    dialog.setWindowModality(ownerObject ? Qt::WindowModal : Qt::ApplicationModal);
    dialog.show();
    if (!RunModalLoop([&] { return !dialog.isVisible(); })) {
      dialog.hide();
      return Context::kNone;
    }
    if (dialog.result() != QDialog::Accepted) return Context::kNone;
    setup.landscape = device.pageLayout().orientation() == QPageLayout::Landscape;
    setup.copies = device.copyCount();
    setup.driverCopies = device.supportsMultipleCopies() ? device.copyCount() : 1;
    printer->caps = CapsOf(device);
  }
  printer->setup = setup;
  caps = printer->caps;
  return AdoptPrinter(std::move(printer));
}

PrinterCaps GetPrinterCaps(Context printer) {
  PrinterObject* p = PrinterOf(printer);
  return p ? p->caps : PrinterCaps{};
}

bool StartDocument(Context printer, std::string_view name) {
  PrinterObject* p = PrinterOf(printer);
  if (!p || p->documentOpen) return false;
  if (p->device) {
    p->device->setDocName(ToQt(name));
    p->painter = std::make_unique<QPainter>();
    if (!p->painter->begin(p->device.get())) {
      p->painter.reset();
      return false;
    }
    // The device shows the pixels as they are, scaled as its setup says.
    p->painter->setRenderHint(QPainter::LosslessImageRendering);
    if (p->setup.scalePercent > 0 && p->setup.scalePercent != 100)
      p->painter->scale(p->setup.scalePercent / 100.0, p->setup.scalePercent / 100.0);
  } else if (p->recording.documents) {
    p->recording.documents->push_back({std::string(name), {}, false, false});
  }
  p->documentOpen = true;
  p->pagesStarted = 0;
  return true;
}

bool StartPage(Context printer) {
  PrinterObject* p = PrinterOf(printer);
  if (!p || !p->documentOpen || p->pageOpen) return false;
  if (p->device && p->pagesStarted > 0 && !p->device->newPage()) return false;
  ++p->pagesStarted;
  p->pageOpen = true;
  p->page.clear();
  return true;
}

bool EndPage(Context printer) {
  PrinterObject* p = PrinterOf(printer);
  if (!p || !p->pageOpen) return false;
  bool printed = PrintPage(*p);
  p->pageOpen = false;
  p->page.clear();
  return printed;
}

bool EndDocument(Context printer) {
  PrinterObject* p = PrinterOf(printer);
  if (!p || !p->documentOpen || p->pageOpen) return false;
  bool done = true;
  if (p->painter) done = p->painter->end() && p->device->printerState() != QPrinter::Error;
  p->painter.reset();
  if (!p->device && p->recording.documents && !p->recording.documents->empty())
    p->recording.documents->back().ended = true;
  p->documentOpen = false;
  return done;
}

void AbortDocument(Context printer) {
  if (PrinterObject* p = PrinterOf(printer)) Abort(*p);
}

namespace test {

void SetPrintBandBytes(std::int64_t bytes) { detail::gBandBytes = bytes > 0 ? bytes : detail::kBandBytes; }

}  // namespace test
}  // namespace platform
