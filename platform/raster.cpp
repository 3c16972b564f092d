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
    case kMixXor:
      return kOpaque | ((destination ^ source) & kRgb);
    case kMixNotXor:
      return kOpaque | (~(destination ^ source) & kRgb);
    default:  // kMixCopy and anything else: the pen
      return kOpaque | (source & kRgb);
  }
}

void Plot(Surface& surface, int x, int y, std::uint32_t rgb, int mode) {
  if (x < 0 || y < 0 || x >= surface.width || y >= surface.height) return;
  std::uint32_t& pixel = surface.bits[std::size_t(y) * surface.stride + x];
  pixel = Mix(pixel, rgb, mode);
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
    if (on)
      PlotWide(surface, x, y, style.rgb, style.width, mode);
    else if (style.opaqueGaps)
      PlotWide(surface, x, y, style.gapRgb, style.width, mode);
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
  if (fill.kind == Fill::kNone || y < 0 || y >= surface.height) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, surface.width);
  std::uint32_t* row = surface.bits + std::size_t(y) * surface.stride;
  for (int x = x0; x < x1; ++x) row[x] = Mix(row[x], FillColourAt(fill, x, y), mode);
}

void FillBox(Surface& surface, int left, int top, int right, int bottom, const Fill& fill, int mode) {
  for (int y = std::max(top, 0); y < std::min(bottom, surface.height); ++y) Span(surface, y, left, right, fill, mode);
}

void FillPolygon(Surface& surface, const Point* points, int count, const Fill& fill, int mode) {
  if (count < 3 || fill.kind == Fill::kNone) return;
  int top = points[0].y, bottom = points[0].y;
  for (int i = 1; i < count; ++i) {
    top = std::min(top, points[i].y);
    bottom = std::max(bottom, points[i].y);
  }
  std::vector<double> xs;
  for (int y = std::max(top, 0); y < std::min(bottom, surface.height); ++y) {
    Crossings(points, count, y, xs);
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) Span(surface, y, FirstPixel(xs[i]), FirstPixel(xs[i + 1]), fill, mode);
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

}  // namespace platform::raster
