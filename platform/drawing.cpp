#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

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
Handle SelectInto(Context context, Handle handle, const std::map<std::uintptr_t, Value>& objects, Handle ContextObject::*slot,
                  Value ContextObject::*copy) {
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

// The surface a context draws into, and the window to tell about it.
struct Target {
  ContextObject* context = nullptr;
  WindowObject* window = nullptr;
  raster::Surface surface;
  explicit operator bool() const { return context && window && surface.bits; }
};

Target TargetOf(Context handle) {
  Target t;
  t.context = FindContext(handle);
  if (!t.context) return t;
  t.window = FindWindow(t.context->window);
  if (!t.window || t.window->surface.isNull()) return t;
  QImage& image = t.window->surface;
  t.surface = {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(), int(image.bytesPerLine() / 4)};
  return t;
}

void Drawn(Target& t) {
  ++t.window->drawCalls;
  if (t.window->view) t.window->view->update();
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

// A painter on the target with the context's font and text colour, turned
// by the font's escapement about (x, y), which becomes the origin.
void PrepareTextPainter(QPainter& painter, const ContextObject& c, int x, int y) {
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(c.fontValue.font);
  painter.setPen(QColor::fromRgb(ToPixel(c.text)));
  painter.translate(x, y);
  if (c.fontValue.escapement) painter.rotate(-c.fontValue.escapement / 10.0);
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
    w->context = Context(NewHandle());
    ContextObject& c = Objects().contexts[std::uintptr_t(w->context)];
    InitContext(c);
    c.window = window;
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
bool DeleteObject(Brush brush) { return !IsStock(std::uintptr_t(brush)) && Objects().brushes.erase(std::uintptr_t(brush)); }
bool DeleteObject(Font font) { return !IsStock(std::uintptr_t(font)) && Objects().fonts.erase(std::uintptr_t(font)); }
bool DeleteObject(Bitmap bitmap) { return Objects().bitmaps.erase(std::uintptr_t(bitmap)) > 0; }

Pen SelectPen(Context context, Pen pen) { return SelectInto(context, pen, Objects().pens, &ContextObject::pen, &ContextObject::penValue); }
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
Colour SetBackColour(Context context, Colour colour) { return Exchange(context, &ContextObject::back, colour & 0xFFFFFF, kNoColour); }
Colour GetBackColour(Context context) { return Read(context, &ContextObject::back, kNoColour); }
Colour SetTextColour(Context context, Colour colour) { return Exchange(context, &ContextObject::text, colour & 0xFFFFFF, kNoColour); }
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
    int phase = 0;
    raster::Line(t.surface, t.context->position.x, t.context->position.y, x, y, LineStyleOf(*t.context), t.context->mix, phase);
    Drawn(t);
  }
  t.context->position = {x, y};
}

void Polyline(Context context, const Point* points, int count) {
  Target t = TargetOf(context);
  if (!t || !points || count < 2 || !HasPen(*t.context)) return;
  raster::LineStyle style = LineStyleOf(*t.context);
  int phase = 0;
  for (int i = 0; i + 1 < count; ++i)
    raster::Line(t.surface, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, style, t.context->mix, phase);
  Drawn(t);
}

void Polygon(Context context, const Point* points, int count) {
  Target t = TargetOf(context);
  if (!t || !points || count < 2) return;
  raster::FillPolygon(t.surface, points, count, FillOf(t.context->brushValue), t.context->mix);
  if (HasPen(*t.context)) {
    raster::LineStyle style = LineStyleOf(*t.context);
    int phase = 0;
    for (int i = 0; i < count; ++i) {
      const Point& a = points[i];
      const Point& b = points[(i + 1) % count];
      raster::Line(t.surface, a.x, a.y, b.x, b.y, style, t.context->mix, phase);
    }
  }
  Drawn(t);
}

void Rectangle(Context context, int left, int top, int right, int bottom) {
  Target t = TargetOf(context);
  if (!t) return;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const ContextObject& c = *t.context;
  raster::Fill fill = FillOf(c.brushValue);
  if (!HasPen(c)) {
    raster::FillBox(t.surface, left, top, right - 1, bottom - 1, fill, c.mix);
  } else if (right - left >= 1 && bottom - top >= 1) {
    raster::FillBox(t.surface, left + 1, top + 1, right - 1, bottom - 1, fill, c.mix);
    raster::LineStyle style = LineStyleOf(c);
    int phase = 0;
    int r = right - 1, b = bottom - 1;
    if (r == left || b == top) {
      if (r == left)
        raster::Line(t.surface, left, top, left, bottom, style, c.mix, phase);
      else
        raster::Line(t.surface, left, top, right, top, style, c.mix, phase);
    } else {
      raster::Line(t.surface, left, top, r, top, style, c.mix, phase);
      raster::Line(t.surface, r, top, r, b, style, c.mix, phase);
      raster::Line(t.surface, r, b, left, b, style, c.mix, phase);
      raster::Line(t.surface, left, b, left, top, style, c.mix, phase);
    }
  }
  Drawn(t);
}

void FillRect(Context context, const Rect& rect, Brush brush) {
  Target t = TargetOf(context);
  const BrushObject* value = FindBrush(brush);
  if (!t || !value) return;
  raster::FillBox(t.surface, rect.left, rect.top, rect.right, rect.bottom, FillOf(*value), kMixCopy);
  Drawn(t);
}

Colour SetPixel(Context context, int x, int y, Colour colour) {
  Target t = TargetOf(context);
  if (!t || x < 0 || y < 0 || x >= t.surface.width || y >= t.surface.height) return 0xFFFFFFFF;
  raster::Plot(t.surface, x, y, ToPixel(colour), kMixCopy);
  Drawn(t);
  return FromPixel(t.surface.bits[std::size_t(y) * t.surface.stride + x]);
}

Colour GetPixel(Context context, int x, int y) {
  Target t = TargetOf(context);
  if (!t || x < 0 || y < 0 || x >= t.surface.width || y >= t.surface.height) return 0xFFFFFFFF;
  return FromPixel(t.surface.bits[std::size_t(y) * t.surface.stride + x]);
}

bool PolygonContainsPixel(const Point* points, int count, int x, int y) {
  return points && raster::PolygonCovers(points, count, x, y);
}

void TextOut(Context context, int x, int y, std::string_view text) {
  Target t = TargetOf(context);
  if (!t) return;
  const ContextObject& c = *t.context;
  QString s = ToQt(text);
  QPainter painter(&t.window->surface);
  PrepareTextPainter(painter, c, x, y);
  QFontMetricsF metrics(c.fontValue.font);
  if (c.backMode == kBackOpaque)
    painter.fillRect(QRectF(0, 0, metrics.horizontalAdvance(s), metrics.height()), QColor::fromRgb(ToPixel(c.back)));
  painter.drawText(QPointF(0, metrics.ascent()), s);
  Drawn(t);
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
  int y = format & kTextVerticalCentre ? (height - total) / 2 : format & kTextBottom ? height - total : 0;
  QPainter painter(&t.window->surface);
  PrepareTextPainter(painter, c, rect.left, rect.top);
  painter.setClipRect(0, 0, width, height);
  for (const QString& line : lines) {
    int w = metrics.horizontalAdvance(line);
    int x = format & kTextCentre ? (width - w) / 2 : format & kTextRight ? width - w : 0;
    if (c.backMode == kBackOpaque) painter.fillRect(x, y, w, lineHeight, QColor::fromRgb(ToPixel(c.back)));
    painter.drawText(x, y + metrics.ascent(), line);
    y += lineHeight;
  }
  Drawn(t);
  return total;
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
