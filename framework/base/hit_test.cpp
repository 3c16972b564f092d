#include "framework/base/hit_test.h"

#include <algorithm>

#include "platform/drawing.h"

bool IsPointInRect(ScreenPoint p, const ScreenRect& r) {
  return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

bool DoRectsOverlap(const ScreenRect& a, const ScreenRect& b) {
  return !(a.left > b.right || a.right < b.left || a.top > b.bottom || a.bottom < b.top);
}

bool SegmentTouchesRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ScreenRect& r) {
  if (std::max(x1, x2) < r.left || std::min(x1, x2) > r.right) return false;
  if (std::max(y1, y2) < r.top || std::min(y1, y2) > r.bottom) return false;
  // The ranges overlap, so only the segment's own line can still separate
  // them: it misses when every corner lies strictly on one side of it.
  const auto side = [&](int32_t x, int32_t y) {
    const int64_t cross = int64_t(x2 - x1) * (y - y1) - int64_t(y2 - y1) * (x - x1);
    return cross > 0 ? 1 : cross < 0 ? -1 : 0;
  };
  const int sides[4] = {side(r.left, r.top), side(r.right, r.top), side(r.right, r.bottom), side(r.left, r.bottom)};
  bool positive = false, negative = false;
  for (int s : sides) {
    if (s >= 0) positive = true;
    if (s <= 0) negative = true;
  }
  return positive && negative;
}

bool IsPointInPolygon(const ScreenPoint* points, int count, int32_t x, int32_t y) {
  return platform::PolygonContainsPixel(points, count, x, y);
}
