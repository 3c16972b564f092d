#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <vector>

#include "platform/drawing_internal.h"
#include "platform/internal.h"
#include "platform/raster.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {
namespace {

// Stock objects have the handles below 100.
constexpr std::uintptr_t kStockBlackPen = 1, kStockNullPen = 2;
constexpr std::uintptr_t kStockWhiteBrush = 1, kStockHollowBrush = 2, kStockLightGreyBrush = 3;
constexpr std::uintptr_t kStockFont = 1;
constexpr int kDefaultCellHeight = 16;
constexpr Colour kNoColour = 0xFFFFFFFF;  // what colour getters give for a bad context

bool IsStock(std::uintptr_t handle) { return handle < 100; }

// The toolkit family a face resolves to.
QString FamilyOf(std::string_view face) {
  QString f = ToQt(face);
  if (f.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) return QStringLiteral("Liberation Sans");
  if (f.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0) return QStringLiteral("Liberation Serif");
  if (f.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0) return QStringLiteral("Liberation Mono");
  return f;
}

FontObject MakeFont(const FontRequest& request) {
  QFont font(FamilyOf(request.face));
  font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
  font.setHintingPreference(QFont::PreferFullHinting);
  // The cell height of the face per pixel of size.
  QFont probe(font);
  probe.setPixelSize(100);
  double cellPerPixel = QFontMetricsF(probe).height() / 100.0;
  int height = request.height == 0 ? kDefaultCellHeight : request.height;
  int pixels = height > 0 ? int(std::lround(height / cellPerPixel)) : -height;
  font.setPixelSize(std::max(pixels, 1));
  if (request.width > 0) {
    double natural = QFontMetricsF(font).averageCharWidth();
    if (natural > 0) font.setStretch(std::clamp(int(std::lround(100.0 * request.width / natural)), 1, 4000));
  }
  return {font, request.escapement};
}

// Selects the object `handle` of `objects` into a context slot, keeping a
// copy of it; returns the handle it replaces (none for a bad handle).
template <class Handle, class Value>
Handle SelectInto(Context context, Handle handle, const std::map<std::uintptr_t, Value>& objects,
                  Handle ContextObject::*slot, Value ContextObject::*copy) {
  ContextObject* c = FindContext(context);
  auto it = objects.find(std::uintptr_t(handle));
  if (!c || it == objects.end()) return Handle::kNone;
  Handle previous = c->*slot;
  c->*slot = handle;
  c->*copy = it->second;
  return previous;
}

// Sets one state field of a context and returns its old value.
template <class T>
T Exchange(Context context, T ContextObject::*field, T value, T none) {
  ContextObject* c = FindContext(context);
  if (!c) return none;
  T previous = c->*field;
  c->*field = value;
  return previous;
}

template <class T>
T Read(Context context, T ContextObject::*field, T none) {
  ContextObject* c = FindContext(context);
  return c ? c->*field : none;
}

const BrushObject* FindBrush(Brush brush) {
  auto it = Objects().brushes.find(std::uintptr_t(brush));
  return it == Objects().brushes.end() ? nullptr : &it->second;
}
QImage* FindBitmap(Bitmap bitmap) {
  auto it = Objects().bitmaps.find(std::uintptr_t(bitmap));
  return it == Objects().bitmaps.end() ? nullptr : &it->second;
}

void EnsureStock() {
  auto& s = Objects();
  if (s.pens.count(kStockBlackPen)) return;
  s.pens[kStockBlackPen] = {PenStyle::kSolid, 1, 0};
  s.pens[kStockNullPen] = {PenStyle::kNull, 1, 0};
  s.brushes[kStockWhiteBrush] = {BrushObject::kSolid, 0xFFFFFF, {}};
  s.brushes[kStockHollowBrush] = {BrushObject::kHollow, 0, {}};
  s.brushes[kStockLightGreyBrush] = {BrushObject::kSolid, 0xC0C0C0, {}};
  s.fonts[kStockFont] = MakeFont({});
}

// Where a context's drawing goes now: the image of a window's surface or of
// the bitmap of a memory context, or the open page of a printer.
struct Target {
  ContextObject* context = nullptr;
  WindowObject* window = nullptr;  // to be told that its surface changed
  QImage* image = nullptr;
  bool page = false;
  explicit operator bool() const { return context && (page || (image && !image->isNull())); }
  QSize size() const { return page ? PageSize(*context) : image->size(); }
};

Target TargetOf(Context handle) {
  Target t;
  t.context = FindContext(handle);
  if (!t.context) return t;
  switch (t.context->kind) {
    case TargetKind::kWindow:
      t.window = FindWindow(t.context->window);
      if (t.window) t.image = &t.window->surface;
      break;
    case TargetKind::kMemory: t.image = FindBitmap(t.context->bitmap); break;
    case TargetKind::kPage: t.page = true; break;
  }
  return t;
}

Canvas WholeCanvas(QImage& image) {
  return {&image,
          {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(), int(image.bytesPerLine() / 4),
           0}};
}

// Runs one drawing operation on the target: at once on an image, later on
// each band of a printed page that `bounds` reaches.
void Perform(Target& t, const QRect& bounds, PageOpKind kind, const DrawOp& op) {
  if (t.page) {
    RecordPageOperation(*t.context, bounds, kind, op);
    return;
  }
  Canvas canvas = WholeCanvas(*t.image);
  op(canvas);
  if (t.window) {
    ++t.window->drawCalls;
    if (t.window->view) t.window->view->update();
  }
}

// The pixels a figure through `points` may touch with a pen `width` wide.
QRect Around(const Point* points, std::size_t count, int width) {
  int left = points[0].x, right = left, top = points[0].y, bottom = top;
  for (std::size_t i = 1; i < count; ++i) {
    left = std::min(left, points[i].x);
    right = std::max(right, points[i].x);
    top = std::min(top, points[i].y);
    bottom = std::max(bottom, points[i].y);
  }
  return QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-width, -width, width, width);
}

// Text may reach anywhere within its own length around its origin when
// turned.
QRect TextBounds(const FontObject& font, int x, int y, int width, int height) {
  if (!font.escapement) return QRect(x, y, width, height);
  int reach = width + height;
  return QRect(x - reach, y - reach, 2 * reach, 2 * reach);
}

// A painter on a canvas, in the target's coordinates.
void BeginPainter(QPainter& painter, Canvas& canvas) {
  painter.begin(canvas.image);
  painter.translate(0, -canvas.surface.top);
}

// Runs a text operation. `paint` draws the text into a painter on the
// target's coordinates: its opaque background when `background` is set, its
// glyphs when `glyphs` is. On a window or a bitmap both are pixels at once;
// on a printer with a device of its own the background is pixels in its
// turn and the glyphs go onto the device as text, in the same font and at
// the same place, so that a printed document can be searched and copied
// from.
using TextPaint = std::function<void(QPainter& painter, bool background, bool glyphs)>;
void PerformText(Target& t, const QRect& bounds, bool opaque, const TextPaint& paint) {
  auto pixels = [paint](bool background, bool glyphs) -> DrawOp {
    return [=](Canvas& canvas) {
      QPainter painter;
      BeginPainter(painter, canvas);
      paint(painter, background, glyphs);
    };
  };
  if (t.page && PrintsTextAsText(*t.context)) {
    RecordPageOperation(*t.context, bounds, PageOpKind::kText, opaque ? pixels(true, false) : DrawOp{},
                        [paint](QPainter& device) {
                          device.save();
                          paint(device, false, true);
                          device.restore();
                        });
    return;
  }
  Perform(t, bounds, PageOpKind::kText, pixels(opaque, true));
}

raster::LineStyle LineStyleOf(const ContextObject& c) {
  raster::LineStyle style;
  style.dotted = c.penValue.style == PenStyle::kDotted;
  style.width = c.penValue.width;
  style.rgb = ToPixel(c.penValue.colour);
  style.opaqueGaps = style.dotted && c.backMode == kBackOpaque;
  style.gapRgb = ToPixel(c.back);
  return style;
}

raster::Fill FillOf(const BrushObject& brush) {
  raster::Fill fill;
  switch (brush.kind) {
    case BrushObject::kHollow: fill.kind = raster::Fill::kNone; break;
    case BrushObject::kSolid:
      fill.kind = raster::Fill::kSolid;
      fill.rgb = ToPixel(brush.colour);
      break;
    case BrushObject::kPattern:
      fill.kind = raster::Fill::kPattern;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) fill.pattern[y * 8 + x] = brush.pattern.pixel(x, y) | 0xFF000000u;
      break;
  }
  return fill;
}

bool HasPen(const ContextObject& c) { return c.penValue.style != PenStyle::kNull; }

// Text with '&' prefixes taken out ("&&" stays one '&').
QString WithoutPrefixes(const QString& text) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    else if (text[i] == u'&') continue;
    out += text[i];
  }
  return out;
}

// Sets the painter up with the font and text colour, turned by the font's
// escapement about (x, y), which becomes the origin.
void PrepareTextPainter(QPainter& painter, const FontObject& font, Colour text, int x, int y) {
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(font.font);
  painter.setPen(QColor::fromRgb(ToPixel(text)));
  painter.translate(x, y);
  if (font.escapement) painter.rotate(-font.escapement / 10.0);
}

// The lines of a boxed text: broken at newlines (unless single-line) and,
// with word breaks, between words that would pass the box's width. Lines
// follow each other at the font's cell height.
QStringList BreakLines(const QString& text, const QFontMetrics& metrics, int width, unsigned format) {
  if (format & kTextSingleLine) return {QString(text).replace(u'\n', u' ')};
  QStringList lines;
  for (const QString& paragraph : text.split(u'\n')) {
    if (!(format & kTextWordBreak)) {
      lines << paragraph;
      continue;
    }
    QString line;
    for (const QString& word : paragraph.split(u' ')) {
      QString longer = line.isEmpty() ? word : line + u' ' + word;
      if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
        lines << line;
        line = word;
      } else {
        line = longer;
      }
    }
    lines << line;
  }
  return lines;
}

}  // namespace

DrawingObjects& Objects() {
  static DrawingObjects objects;
  return objects;
}

namespace {

// Default objects of a new context.
void InitContext(ContextObject& c) {
  EnsureStock();
  c.pen = Pen(kStockBlackPen);
  c.penValue = Objects().pens[kStockBlackPen];
  c.brush = Brush(kStockWhiteBrush);
  c.brushValue = Objects().brushes[kStockWhiteBrush];
  c.font = Font(kStockFont);
  c.fontValue = Objects().fonts[kStockFont];
}

}  // namespace

Context NewContext(TargetKind kind) {
  Context handle = Context(NewHandle());
  ContextObject& c = Objects().contexts[std::uintptr_t(handle)];
  InitContext(c);
  c.kind = kind;
  return handle;
}

ContextObject* FindContext(Context context) {
  auto it = Objects().contexts.find(std::uintptr_t(context));
  return it == Objects().contexts.end() ? nullptr : &it->second;
}

void ForgetContext(Context context) { Objects().contexts.erase(std::uintptr_t(context)); }

Bitmap AddBitmap(const QImage& image) {
  Bitmap bitmap = Bitmap(NewHandle());
  Objects().bitmaps[std::uintptr_t(bitmap)] = image.convertToFormat(QImage::Format_RGB32);
  return bitmap;
}

void ResetDrawingObjects() {
  auto& s = Objects();
  s.contexts.clear();
  std::erase_if(s.pens, [](auto& e) { return !IsStock(e.first); });
  std::erase_if(s.brushes, [](auto& e) { return !IsStock(e.first); });
  std::erase_if(s.fonts, [](auto& e) { return !IsStock(e.first); });
  s.bitmaps.clear();
}

}  // namespace detail

using namespace detail;

Context GetWindowContext(Window window) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->view) return Context::kNone;
  if (w->context == Context::kNone) {
    w->context = NewContext(TargetKind::kWindow);
    FindContext(w->context)->window = window;
  }
  return w->context;
}

Pen CreatePen(PenStyle style, int width, Colour colour) {
  Pen pen = Pen(NewHandle());
  Objects().pens[std::uintptr_t(pen)] = {style, std::max(width, 1), colour & 0xFFFFFF};
  return pen;
}

Pen GetStockPen(StockPen which) {
  EnsureStock();
  return Pen(which == StockPen::kBlack ? kStockBlackPen : kStockNullPen);
}

Brush CreateSolidBrush(Colour colour) {
  Brush brush = Brush(NewHandle());
  Objects().brushes[std::uintptr_t(brush)] = {BrushObject::kSolid, colour & 0xFFFFFF, {}};
  return brush;
}

Brush CreatePatternBrush(Bitmap pattern) {
  QImage* image = FindBitmap(pattern);
  if (!image || image->isNull()) return Brush::kNone;
  QImage tile(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile.setPixel(x, y, image->pixel(x % image->width(), y % image->height()));
  Brush brush = Brush(NewHandle());
  Objects().brushes[std::uintptr_t(brush)] = {BrushObject::kPattern, 0, tile};
  return brush;
}

Brush GetStockBrush(StockBrush which) {
  EnsureStock();
  switch (which) {
    case StockBrush::kWhite: return Brush(kStockWhiteBrush);
    case StockBrush::kHollow: return Brush(kStockHollowBrush);
    case StockBrush::kLightGrey: return Brush(kStockLightGreyBrush);
  }
  return Brush::kNone;
}

Font CreateFont(const FontRequest& request) {
  if (request.face.empty()) return Font::kNone;
  Font font = Font(NewHandle());
  Objects().fonts[std::uintptr_t(font)] = MakeFont(request);
  return font;
}

Font GetStockFont() {
  EnsureStock();
  return Font(kStockFont);
}

Size GetBitmapSize(Bitmap bitmap) {
  QImage* image = FindBitmap(bitmap);
  return image ? Size{image->width(), image->height()} : Size{};
}

bool DeleteObject(Pen pen) { return !IsStock(std::uintptr_t(pen)) && Objects().pens.erase(std::uintptr_t(pen)); }
bool DeleteObject(Brush brush) {
  return !IsStock(std::uintptr_t(brush)) && Objects().brushes.erase(std::uintptr_t(brush));
}
bool DeleteObject(Font font) { return !IsStock(std::uintptr_t(font)) && Objects().fonts.erase(std::uintptr_t(font)); }
// A bitmap selected into a memory context stays until it is selected out.
bool DeleteObject(Bitmap bitmap) {
  for (auto& [id, c] : Objects().contexts)
    if (c.kind == TargetKind::kMemory && c.bitmap == bitmap) return false;
  return Objects().bitmaps.erase(std::uintptr_t(bitmap)) > 0;
}

Pen SelectPen(Context context, Pen pen) {
  return SelectInto(context, pen, Objects().pens, &ContextObject::pen, &ContextObject::penValue);
}
Brush SelectBrush(Context context, Brush brush) {
  return SelectInto(context, brush, Objects().brushes, &ContextObject::brush, &ContextObject::brushValue);
}
Font SelectFont(Context context, Font font) {
  return SelectInto(context, font, Objects().fonts, &ContextObject::font, &ContextObject::fontValue);
}

int SetMixMode(Context context, int mode) { return Exchange(context, &ContextObject::mix, mode, 0); }
int GetMixMode(Context context) { return Read(context, &ContextObject::mix, 0); }
int SetBackMode(Context context, int mode) {
  if (mode != kBackTransparent && mode != kBackOpaque) return 0;
  return Exchange(context, &ContextObject::backMode, mode, 0);
}
int GetBackMode(Context context) { return Read(context, &ContextObject::backMode, 0); }
Colour SetBackColour(Context context, Colour colour) {
  return Exchange(context, &ContextObject::back, colour & 0xFFFFFF, kNoColour);
}
Colour GetBackColour(Context context) { return Read(context, &ContextObject::back, kNoColour); }
Colour SetTextColour(Context context, Colour colour) {
  return Exchange(context, &ContextObject::text, colour & 0xFFFFFF, kNoColour);
}
Colour GetTextColour(Context context) { return Read(context, &ContextObject::text, kNoColour); }

void MoveTo(Context context, int x, int y) {
  if (ContextObject* c = FindContext(context)) c->position = {x, y};
}

Point GetCurrentPosition(Context context) {
  ContextObject* c = FindContext(context);
  return c ? c->position : Point{};
}

void LineTo(Context context, int x, int y) {
  Target t = TargetOf(context);
  if (!t.context) return;
  if (t && HasPen(*t.context)) {
    raster::LineStyle style = LineStyleOf(*t.context);
    Point from = t.context->position;
    int mix = t.context->mix;
    Point ends[] = {from, {x, y}};
    Perform(t, Around(ends, 2, style.width), PageOpKind::kLine, [=](Canvas& canvas) {
      int phase = 0;
      raster::Line(canvas.surface, from.x, from.y, x, y, style, mix, phase);
    });
  }
  t.context->position = {x, y};
}

void Polyline(Context context, const Point* points, int count) {
  Target t = TargetOf(context);
  if (!t || !points || count < 2 || !HasPen(*t.context)) return;
  raster::LineStyle style = LineStyleOf(*t.context);
  int mix = t.context->mix;
  std::vector<Point> copy(points, points + count);
  Perform(t, Around(points, std::size_t(count), style.width), PageOpKind::kLine, [=](Canvas& canvas) {
    int phase = 0;
    for (std::size_t i = 0; i + 1 < copy.size(); ++i)
      raster::Line(canvas.surface, copy[i].x, copy[i].y, copy[i + 1].x, copy[i + 1].y, style, mix, phase);
  });
}

void Polygon(Context context, const Point* points, int count) {
  Target t = TargetOf(context);
  if (!t || !points || count < 2) return;
  raster::Fill fill = FillOf(t.context->brushValue);
  bool outline = HasPen(*t.context);
  raster::LineStyle style = LineStyleOf(*t.context);
  int mix = t.context->mix;
  std::vector<Point> copy(points, points + count);
  Perform(t, Around(points, std::size_t(count), style.width), PageOpKind::kPolygon, [=](Canvas& canvas) {
    raster::FillPolygon(canvas.surface, copy.data(), int(copy.size()), fill, mix);
    if (!outline) return;
    int phase = 0;
    for (std::size_t i = 0; i < copy.size(); ++i) {
      const Point& a = copy[i];
      const Point& b = copy[(i + 1) % copy.size()];
      raster::Line(canvas.surface, a.x, a.y, b.x, b.y, style, mix, phase);
    }
  });
}

void Rectangle(Context context, int left, int top, int right, int bottom) {
  Target t = TargetOf(context);
  if (!t) return;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const ContextObject& c = *t.context;
  raster::Fill fill = FillOf(c.brushValue);
  raster::LineStyle style = LineStyleOf(c);
  bool outline = HasPen(c);
  int mix = c.mix;
  if (outline && (right - left < 1 || bottom - top < 1)) return;
  Perform(t, QRect(left, top, right - left, bottom - top), PageOpKind::kRectangle, [=](Canvas& canvas) {
    raster::Surface& surface = canvas.surface;
    if (!outline) {
      raster::FillBox(surface, left, top, right - 1, bottom - 1, fill, mix);
      return;
    }
    raster::FillBox(surface, left + 1, top + 1, right - 1, bottom - 1, fill, mix);
    int phase = 0;
    int r = right - 1, b = bottom - 1;
    if (r == left || b == top) {
      if (r == left) raster::Line(surface, left, top, left, bottom, style, mix, phase);
      else raster::Line(surface, left, top, right, top, style, mix, phase);
    } else {
      raster::Line(surface, left, top, r, top, style, mix, phase);
      raster::Line(surface, r, top, r, b, style, mix, phase);
      raster::Line(surface, r, b, left, b, style, mix, phase);
      raster::Line(surface, left, b, left, top, style, mix, phase);
    }
  });
}

void FillRect(Context context, const Rect& rect, Brush brush) {
  Target t = TargetOf(context);
  const BrushObject* value = FindBrush(brush);
  if (!t || !value) return;
  raster::Fill fill = FillOf(*value);
  Perform(t, QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top), PageOpKind::kFill,
          [=](Canvas& canvas) {
            raster::FillBox(canvas.surface, rect.left, rect.top, rect.right, rect.bottom, fill, kMixCopy);
          });
}

Colour SetPixel(Context context, int x, int y, Colour colour) {
  Target t = TargetOf(context);
  if (!t || x < 0 || y < 0 || x >= t.size().width() || y >= t.size().height()) return kNoColour;
  std::uint32_t rgb = ToPixel(colour);
  Perform(t, QRect(x, y, 1, 1), PageOpKind::kPixel,
          [=](Canvas& canvas) { raster::Plot(canvas.surface, x, y, rgb, kMixCopy); });
  return t.page ? FromPixel(rgb) : FromPixel(t.image->pixel(x, y));
}

Colour GetPixel(Context context, int x, int y) {
  Target t = TargetOf(context);
  if (!t || t.page || !t.image->valid(x, y)) return kNoColour;
  return FromPixel(t.image->pixel(x, y));
}

bool PolygonContainsPixel(const Point* points, int count, int x, int y) {
  return points && raster::PolygonCovers(points, count, x, y);
}

void TextOut(Context context, int x, int y, std::string_view text) {
  Target t = TargetOf(context);
  if (!t) return;
  const ContextObject& c = *t.context;
  QString s = ToQt(text);
  FontObject font = c.fontValue;
  Colour colour = c.text, back = c.back;
  bool opaque = c.backMode == kBackOpaque;
  QFontMetrics extent(font.font);
  QRect bounds = TextBounds(font, x, y, extent.horizontalAdvance(s), extent.height());
  PerformText(t, bounds, opaque, [=](QPainter& painter, bool background, bool glyphs) {
    PrepareTextPainter(painter, font, colour, x, y);
    QFontMetricsF metrics(font.font);
    if (background)
      painter.fillRect(QRectF(0, 0, metrics.horizontalAdvance(s), metrics.height()), QColor::fromRgb(ToPixel(back)));
    if (glyphs) painter.drawText(QPointF(0, metrics.ascent()), s);
  });
}

Size TextExtent(Context context, std::string_view text) {
  ContextObject* c = FindContext(context);
  if (!c) return {};
  QFontMetrics metrics(c->fontValue.font);
  return {metrics.horizontalAdvance(ToQt(text)), metrics.height()};
}

int DrawTextInRect(Context context, const Rect& rect, std::string_view text, unsigned format) {
  Target t = TargetOf(context);
  if (!t) return 0;
  const ContextObject& c = *t.context;
  QString s = ToQt(text);
  if (!(format & kTextNoPrefix)) s = WithoutPrefixes(s);
  QFontMetrics metrics(c.fontValue.font);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  QStringList lines = BreakLines(s, metrics, width, format);
  int lineHeight = metrics.height();
  int total = int(lines.size()) * lineHeight;
  FontObject font = c.fontValue;
  Colour colour = c.text, back = c.back;
  bool opaque = c.backMode == kBackOpaque;
  QRect bounds = font.escapement ? TextBounds(font, rect.left, rect.top, std::max(width, 0) + total, total)
                                 : QRect(rect.left, rect.top, std::max(width, 0), std::max(height, 0));
  PerformText(t, bounds, opaque, [=](QPainter& painter, bool background, bool glyphs) {
    QFontMetrics fm(font.font);
    int y = format & kTextVerticalCentre ? (height - total) / 2 : format & kTextBottom ? height - total : 0;
    PrepareTextPainter(painter, font, colour, rect.left, rect.top);
    painter.setClipRect(0, 0, width, height);
    for (const QString& line : lines) {
      int w = fm.horizontalAdvance(line);
      int x = format & kTextCentre ? (width - w) / 2 : format & kTextRight ? width - w : 0;
      if (background) painter.fillRect(x, y, w, lineHeight, QColor::fromRgb(ToPixel(back)));
      if (glyphs) painter.drawText(x, y + fm.ascent(), line);
      y += lineHeight;
    }
  });
  return total;
}

Bitmap CreateBitmap(int width, int height) {
  if (width < 1 || height < 1 || std::int64_t(width) * height > (std::int64_t(1) << 28)) return Bitmap::kNone;
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return Bitmap::kNone;
  image.fill(0xFFFFFFFFu);
  return AddBitmap(image);
}

Context CreateMemoryContext() { return NewContext(TargetKind::kMemory); }

Bitmap SelectBitmap(Context memory, Bitmap bitmap) {
  ContextObject* c = FindContext(memory);
  if (!c || c->kind != TargetKind::kMemory || (bitmap != Bitmap::kNone && !FindBitmap(bitmap))) return Bitmap::kNone;
  Bitmap previous = c->bitmap;
  c->bitmap = bitmap;
  return previous;
}

bool DeleteContext(Context context) {
  ContextObject* c = FindContext(context);
  if (!c || c->kind == TargetKind::kWindow) return false;
  if (c->kind == TargetKind::kPage) ReleasePrinter(*c);
  ForgetContext(context);
  return true;
}

bool StretchBlit(Context destination, const Rect& to, Context source, const Rect& from, int mode) {
  Target out = TargetOf(destination), in = TargetOf(source);
  int w = to.right - to.left, h = to.bottom - to.top, sw = from.right - from.left, sh = from.bottom - from.top;
  if (!out || !in || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
  // The source pixels are taken now: drawing into the source later must not
  // change what this blit drew.
  QRect taken = QRect(from.left, from.top, sw, sh).intersected(in.image->rect());
  if (taken.isEmpty()) return true;
  QImage piece = in.image->copy(taken);
  int sx = from.left - taken.left(), sy = from.top - taken.top();
  Perform(out, QRect(to.left, to.top, w, h), PageOpKind::kBlit, [=](Canvas& canvas) {
    QImage& image = const_cast<QImage&>(piece);
    raster::Surface pixels{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                           int(image.bytesPerLine() / 4), 0};
    raster::Blit(canvas.surface, to.left, to.top, w, h, pixels, sx, sy, sw, sh, mode);
  });
  return true;
}

bool Blit(Context destination, int x, int y, int width, int height, Context source, int sourceX, int sourceY,
          int mode) {
  return StretchBlit(destination, {x, y, x + width, y + height}, source,
                     {sourceX, sourceY, sourceX + width, sourceY + height}, mode);
}

bool DrawIcon(Context context, int x, int y, Instance instance, std::string_view name) {
  Target t = TargetOf(context);
  QImage icon(ResourcePath(instance, "icons", name, ".png"));
  if (!t || icon.isNull()) return false;
  Perform(t, QRect(QPoint(x, y), icon.size()), PageOpKind::kBlit, [=](Canvas& canvas) {
    QPainter painter;
    BeginPainter(painter, canvas);
    painter.drawImage(x, y, icon);
  });
  return true;
}

namespace test {

LiveObjects CountLiveObjects() {
  LiveObjects live;
  for (auto& [id, pen] : Objects().pens) live.pens += !IsStock(id);
  for (auto& [id, brush] : Objects().brushes) live.brushes += !IsStock(id);
  for (auto& [id, font] : Objects().fonts) live.fonts += !IsStock(id);
  live.bitmaps = int(Objects().bitmaps.size());
  return live;
}

}  // namespace test
}  // namespace platform
