#include "framework/base/hit_test.h"

#include "platform/drawing.h"

bool IsPointInRect(ScreenPoint p, const ScreenRect& r) {
  return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

bool DoRectsOverlap(const ScreenRect& a, const ScreenRect& b) {
  return !(a.left > b.right || a.right < b.left || a.top > b.bottom || a.bottom < b.top);
}

bool IsPointInPolygon(const ScreenPoint* points, int count, int32_t x, int32_t y) {
  return platform::PolygonContainsPixel(points, count, x, y);
}
