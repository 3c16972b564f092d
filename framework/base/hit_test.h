// Hit tests on screen pixels: rectangles, and polygons by the drawing
// layer's own fill rule, so that a click hits exactly what a fill covers.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Screen points and rectangles {left, top, right, bottom} in pixels.
using ScreenPoint = platform::Point;
using ScreenRect = platform::Rect;

// Edges included.
bool IsPointInRect(ScreenPoint point, const ScreenRect& rect);
// Touching rectangles overlap.
bool DoRectsOverlap(const ScreenRect& a, const ScreenRect& b);
// Whether the segment from (x1, y1) to (x2, y2) passes through the
// rectangle, its edges included.
bool SegmentTouchesRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ScreenRect& rect);
// Even-odd rule over `count` points: true for exactly the pixels that the
// polygon fills when drawn.
bool IsPointInPolygon(const ScreenPoint* points, int count, int32_t x, int32_t y);
