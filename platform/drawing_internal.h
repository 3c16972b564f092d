// Drawing objects and contexts: pens, brushes, fonts and bitmaps by handle,
// and each context's state.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <functional>
#include <map>

#include "platform/drawing.h"
#include "platform/raster.h"

namespace platform::detail {

struct PenObject {
  PenStyle style = PenStyle::kSolid;
  int width = 1;
  Colour colour = 0;
};
struct BrushObject {
  enum Kind { kSolid, kHollow, kPattern } kind = kSolid;
  Colour colour = 0;
  QImage pattern;  // 8 by 8 for kPattern
};
struct FontObject {
  QFont font;
  int escapement = 0;
};

// What a context draws into: a window's surface, the bitmap selected into a
// memory context, or the page of a print job (drawn later, band by band).
enum class TargetKind { kWindow, kMemory, kPage };

// A context keeps copies of what is selected, so deleting a selected object
// leaves it drawing as before.
struct ContextObject {
  TargetKind kind = TargetKind::kWindow;
  Window window = Window::kNone;  // kWindow
  Bitmap bitmap = Bitmap::kNone;  // kMemory: the bitmap selected, none at first
  std::uintptr_t printer = 0;     // kPage: the printer object
  Pen pen{};
  PenObject penValue;
  Brush brush{};
  BrushObject brushValue;
  Font font{};
  FontObject fontValue;
  int mix = kMixCopy;
  int backMode = kBackOpaque;
  Colour back = 0xFFFFFF;
  Colour text = 0;
  Point position;
};

struct DrawingObjects {
  std::map<std::uintptr_t, ContextObject> contexts;
  std::map<std::uintptr_t, PenObject> pens;
  std::map<std::uintptr_t, BrushObject> brushes;
  std::map<std::uintptr_t, FontObject> fonts;
  std::map<std::uintptr_t, QImage> bitmaps;
};
DrawingObjects& Objects();
// Drops every context and every object but the stock ones.
void ResetDrawingObjects();

// What one drawing operation draws on: all of a window's surface or a
// bitmap, or one band of a printed page.
struct Canvas {
  QImage* image = nullptr;
  raster::Surface surface;  // over `image`; its first row is target row surface.top
};
using DrawOp = std::function<void(Canvas&)>;
// What an operation draws on a printer's own device instead of pixels: text
// as text, so that a printed document can be searched and copied from.
using DeviceOp = std::function<void(QPainter&)>;

// What the seams' summary of a printed page calls each operation.
enum class PageOpKind : char {
  kLine = 'L',
  kPolygon = 'P',
  kRectangle = 'R',
  kFill = 'F',
  kPixel = 'S',
  kText = 'T',
  kBlit = 'B'
};

// Adds an operation to the open page of a printer context (printer.cpp);
// `bounds` holds every pixel it may touch. `op` (which may be empty) draws
// its pixels in their turn; `onDevice` (which may be empty) draws on the
// printer's device over the page's pixels. Nothing while no page is open.
void RecordPageOperation(const ContextObject& printer, const QRect& bounds, PageOpKind kind, DrawOp op,
                         DeviceOp onDevice = {});
// True when the printer context prints on a device of its own (a printer or
// a PDF file), where text is drawn as text; false for a recording printer
// of the seams, whose pages are pixels only.
bool PrintsTextAsText(const ContextObject& printer);
// The printable size of a printer context's pages in pixels.
QSize PageSize(const ContextObject& printer);
// Lets a printer context's printer go, aborting a document still open.
void ReleasePrinter(const ContextObject& printer);

ContextObject* FindContext(Context context);
// A new context of the kind with the stock objects selected.
Context NewContext(TargetKind kind);
void ForgetContext(Context context);
// A new bitmap holding `image` (converted to 32-bit RGB).
Bitmap AddBitmap(const QImage& image);

}  // namespace platform::detail
