// The seams of printing: scripted print dialogs with recording and PDF
// printers, and images read from files (test_seams.h).
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include "platform/drawing_internal.h"
#include "platform/internal.h"
#include "platform/printer_internal.h"
#include "platform/test_seams.h"

namespace platform::test {

using namespace detail;

namespace {
PrintDialogScript* gScript = nullptr;
}

struct PrintDialogScriptAccess {
  static bool Answer(PrintSetup& setup, std::unique_ptr<PrinterObject>& printer) {
    gScript->presets_.push_back(setup);
    if (gScript->next_ >= gScript->answers_.size()) return true;  // cancelled
    const PrintDialogScript::Answer& answer = gScript->answers_[gScript->next_++];
    if (!answer.ok) return true;
    printer = std::make_unique<PrinterObject>();
    setup.copies = answer.copies;
    if (answer.pdfPath.empty()) {
      printer->caps = answer.recording.caps;
      printer->recording = {&gScript->documents_, answer.recording.keepImages};
      setup.driverCopies = answer.recording.driverCopies;
    } else {
      printer->device = PdfPrinter(answer.pdfPath, answer.dotsPerInch);
      printer->device->setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
      printer->caps = CapsOf(*printer->device);
      setup.driverCopies = 1;
    }
    return true;
  }
};

PrintDialogScript::PrintDialogScript() {
  gScript = this;
  gScriptedPrintDialog = PrintDialogScriptAccess::Answer;
}

PrintDialogScript::~PrintDialogScript() {
  if (gScript != this) return;
  gScript = nullptr;
  gScriptedPrintDialog = nullptr;
}

void PrintDialogScript::Record(const RecordingPrinter& printer, int copies) {
  Answer answer;
  answer.ok = true;
  answer.recording = printer;
  answer.copies = copies;
  answers_.push_back(answer);
}

void PrintDialogScript::PrintToPdf(std::string path, int dotsPerInch, int copies) {
  Answer answer;
  answer.ok = true;
  answer.pdfPath = std::move(path);
  answer.dotsPerInch = dotsPerInch;
  answer.copies = copies;
  answers_.push_back(answer);
}

void PrintDialogScript::Cancel() { answers_.push_back({}); }

Bitmap LoadImageFile(const std::string& path) {
  QImage image(ToQt(path));
  return image.isNull() ? Bitmap::kNone : AddBitmap(image);
}

bool SaveBitmapPng(Bitmap bitmap, const std::string& path) {
  auto it = Objects().bitmaps.find(std::uintptr_t(bitmap));
  return it != Objects().bitmaps.end() && it->second.save(ToQt(path), "PNG");
}

}  // namespace platform::test
