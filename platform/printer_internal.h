// Printers inside the layer: the device or the recording behind a printer
// context, and the hook of the seams (test_seams.h: PrintDialogScript).
#pragma once

#include <QRect>
#include <memory>
#include <vector>

#include "platform/drawing_internal.h"
#include "platform/printer.h"
#include "platform/test_seams.h"

class QPainter;
class QPrinter;

namespace platform::detail {

struct PageOperation {
  QRect bounds;
  PageOpKind kind;
  DrawOp draw;        // may be empty
  DeviceOp onDevice;  // may be empty
};

// A printer of the seams: its documents go into the script's list.
struct PrintRecording {
  std::vector<test::RecordedPrint>* documents = nullptr;
  bool keepImages = true;
};

struct PrinterObject {
  std::unique_ptr<QPrinter> device;  // a real printer or a PDF file
  PrintRecording recording;          // when there is no device
  PrinterCaps caps;
  PrintSetup setup;
  std::unique_ptr<QPainter> painter;  // on the device while a document is open
  bool documentOpen = false, pageOpen = false;
  int pagesStarted = 0;
  std::vector<PageOperation> page;  // the open page's drawing
};

// A scripted answer to the print dialog, when set: true when it answered,
// with the printer to use in `printer` (none for Cancel); false to show
// the real dialog.
extern bool (*gScriptedPrintDialog)(PrintSetup& setup, std::unique_ptr<PrinterObject>& printer);

// A PDF printer writing to `path` at `dotsPerInch`, A4.
std::unique_ptr<QPrinter> PdfPrinter(const std::string& path, int dotsPerInch);
// The capabilities of a device.
PrinterCaps CapsOf(QPrinter& device);
// Drops every printer.
void ResetPrinters();

}  // namespace platform::detail
