// Pixel-exact rasterising of lines, spans and polygons on 32-bit surfaces
// (pixels 0xFFRRGGBB). Used for every raster target so that the pixel rules
// of drawing.h hold exactly, whatever the toolkit would do.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform::raster {

// Rows top..top+height-1 of a target (all of it for a window or bitmap, one
// band for a printed page). Coordinates are the target's: what falls
// outside the rows held is left alone, and patterns align to the target's
// origin whatever band is drawn.
struct Surface {
  std::uint32_t* bits = nullptr;
  int width = 0, height = 0;
  int stride = 0;  // in pixels
  int top = 0;     // the target row of the first row held
};

// Combines a source colour with the destination by a mix mode (drawing.h).
std::uint32_t Mix(std::uint32_t destination, std::uint32_t source, int mode);
void Plot(Surface& surface, int x, int y, std::uint32_t rgb, int mode);

// How a line is drawn.
struct LineStyle {
  bool dotted = false;
  int width = 1;
  std::uint32_t rgb = 0;
  bool opaqueGaps = false;  // paint the dots' gaps in `gapRgb`
  std::uint32_t gapRgb = 0;
};
constexpr int kDotLength = 2;
// From (x0, y0) up to, not including, (x1, y1). `phase` counts pixels along
// a figure so that the dots run on from one segment to the next.
void Line(Surface& surface, int x0, int y0, int x1, int y1, const LineStyle& style, int mode, int& phase);

// How areas are filled.
struct Fill {
  enum Kind { kNone, kSolid, kPattern } kind = kNone;
  std::uint32_t rgb = 0;
  std::uint32_t pattern[64] = {};  // 8 by 8, row by row, aligned to the surface origin
};
// Pixels x0..x1-1 of row y.
void Span(Surface& surface, int y, int x0, int x1, const Fill& fill, int mode);
void FillBox(Surface& surface, int left, int top, int right, int bottom, const Fill& fill, int mode);
// Even-odd fill of the pixels whose centres lie inside.
void FillPolygon(Surface& surface, const Point* points, int count, const Fill& fill, int mode);
bool PolygonCovers(const Point* points, int count, int x, int y);

// Copies source pixels sx..sx+sw-1 by sy..sy+sh-1 onto destination pixels
// x..x+w-1 by y..y+h-1, stretched (each destination pixel takes the source
// pixel its position maps to), combined by the mix mode. Source pixels
// outside the source leave the destination alone.
void Blit(Surface& destination, int x, int y, int w, int h, const Surface& source, int sx, int sy, int sw, int sh,
          int mode);

}  // namespace platform::raster
