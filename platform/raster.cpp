#include "platform/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/drawing.h"

namespace platform::raster {

std::uint32_t Mix(std::uint32_t destination, std::uint32_t source, int mode) {
  constexpr std::uint32_t kOpaque = 0xFF000000u, kRgb = 0x00FFFFFFu;
  switch (mode) {
    case kMixXor: return kOpaque | ((destination ^ source) & kRgb);
    case kMixNotXor: return kOpaque | (~(destination ^ source) & kRgb);
    case kMixMerge: return kOpaque | ((destination | source) & kRgb);
    default:  // kMixCopy and anything else: the pen
      return kOpaque | (source & kRgb);
  }
}

namespace {

// The held row of target row y, or null.
std::uint32_t* Row(Surface& surface, int y) {
  int row = y - surface.top;
  if (y < 0 || row < 0 || row >= surface.height) return nullptr;
  return surface.bits + std::size_t(row) * surface.stride;
}

int FirstRow(const Surface& surface, int from) { return std::max({from, 0, surface.top}); }
int EndRow(const Surface& surface, int to) { return std::min(to, surface.top + surface.height); }

}  // namespace

void Plot(Surface& surface, int x, int y, std::uint32_t rgb, int mode) {
  std::uint32_t* row = Row(surface, y);
  if (!row || x < 0 || x >= surface.width) return;
  row[x] = Mix(row[x], rgb, mode);
}

namespace {

void PlotWide(Surface& surface, int x, int y, std::uint32_t rgb, int width, int mode) {
  if (width <= 1) {
    Plot(surface, x, y, rgb, mode);
    return;
  }
  int from = -(width - 1) / 2;
  for (int dy = from; dy < from + width; ++dy)
    for (int dx = from; dx < from + width; ++dx) Plot(surface, x + dx, y + dy, rgb, mode);
}

std::uint32_t FillColourAt(const Fill& fill, int x, int y) {
  if (fill.kind == Fill::kPattern) return fill.pattern[(y & 7) * 8 + (x & 7)];
  return fill.rgb;
}

// The x positions where the polygon's edges cross the centre line of row y.
void Crossings(const Point* points, int count, int y, std::vector<double>& xs) {
  xs.clear();
  double yc = y + 0.5;
  for (int i = 0; i < count; ++i) {
    const Point& a = points[i];
    const Point& b = points[(i + 1) % count];
    if (a.y == b.y) continue;
    double lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
    if (yc < lo || yc >= hi) continue;
    xs.push_back(a.x + (yc - a.y) * double(b.x - a.x) / double(b.y - a.y));
  }
  std::sort(xs.begin(), xs.end());
}

// Pixels whose centre x + 0.5 lies in [from, to).
int FirstPixel(double from) { return int(std::ceil(from - 0.5)); }

}  // namespace

void Line(Surface& surface, int x0, int y0, int x1, int y1, const LineStyle& style, int mode, int& phase) {
  int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int steps = std::max(dx, dy);
  int error = (dx > dy ? dx : -dy) / 2;
  int x = x0, y = y0;
  for (int i = 0; i < steps; ++i, ++phase) {
    bool on = !style.dotted || (phase / kDotLength) % 2 == 0;
    if (on) PlotWide(surface, x, y, style.rgb, style.width, mode);
    else if (style.opaqueGaps) PlotWide(surface, x, y, style.gapRgb, style.width, mode);
    int e = error;
    if (e > -dx) {
      error -= dy;
      x += sx;
    }
    if (e < dy) {
      error += dx;
      y += sy;
    }
  }
}

void Span(Surface& surface, int y, int x0, int x1, const Fill& fill, int mode) {
  std::uint32_t* row = Row(surface, y);
  if (fill.kind == Fill::kNone || !row) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, surface.width);
  for (int x = x0; x < x1; ++x) row[x] = Mix(row[x], FillColourAt(fill, x, y), mode);
}

void FillBox(Surface& surface, int left, int top, int right, int bottom, const Fill& fill, int mode) {
  for (int y = FirstRow(surface, top); y < EndRow(surface, bottom); ++y) Span(surface, y, left, right, fill, mode);
}

void FillPolygon(Surface& surface, const Point* points, int count, const Fill& fill, int mode) {
  if (count < 3 || fill.kind == Fill::kNone) return;
  int top = points[0].y, bottom = points[0].y;
  for (int i = 1; i < count; ++i) {
    top = std::min(top, points[i].y);
    bottom = std::max(bottom, points[i].y);
  }
  std::vector<double> xs;
  for (int y = FirstRow(surface, top); y < EndRow(surface, bottom); ++y) {
    Crossings(points, count, y, xs);
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
      Span(surface, y, FirstPixel(xs[i]), FirstPixel(xs[i + 1]), fill, mode);
  }
}

bool PolygonCovers(const Point* points, int count, int x, int y) {
  if (count < 3) return false;
  std::vector<double> xs;
  Crossings(points, count, y, xs);
  for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
    if (x >= FirstPixel(xs[i]) && x < FirstPixel(xs[i + 1])) return true;
  return false;
}

void Blit(Surface& destination, int x, int y, int w, int h, const Surface& source, int sx, int sy, int sw, int sh,
          int mode) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  for (int row = FirstRow(destination, y); row < EndRow(destination, y + h); ++row) {
    int from = sy + int(std::int64_t(row - y) * sh / h) - source.top;
    if (from < 0 || from >= source.height || from + source.top < 0) continue;
    const std::uint32_t* in = source.bits + std::size_t(from) * source.stride;
    std::uint32_t* out = Row(destination, row);
    for (int column = std::max(x, 0); column < std::min(x + w, destination.width); ++column) {
      int u = sx + int(std::int64_t(column - x) * sw / w);
      if (u >= 0 && u < source.width) out[column] = Mix(out[column], in[u], mode);
    }
  }
}

}  // namespace platform::raster
