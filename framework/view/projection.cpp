#include "framework/view/projection.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/base/drawing_layer.h"
#include "framework/base/view_state.h"

namespace {

// The angle-proportional mapping of an eye-space point, before truncation.
ScreenPosition FisheyePosition(const EyePoint& e) {
  const FisheyePixel p = FisheyeProject(e, DrawWindow->right, DrawWindow->bottom);
  return {p.x, p.y, e.depth};
}

// A point given along the view's horizontal and vertical model axes.
ScreenPosition Orthographic(double horizontal, double vertical, double depth) {
  return {HorizontalPixel(horizontal), VerticalPixel(vertical), depth};
}

int32_t Clamped(double v) { return int32_t(float(std::clamp(v, -kProjectionClamp, kProjectionClamp))); }

int32_t DepthWord(double depth) {
  constexpr double kLimit = std::numeric_limits<int32_t>::max();
  return int32_t(std::clamp(depth * 1000, -kLimit, kLimit));
}

void Widen(ScreenBox& box, int32_t x, int32_t y) {
  box.minX = std::min(box.minX, x);
  box.minY = std::min(box.minY, y);
  box.maxX = std::max(box.maxX, x);
  box.maxY = std::max(box.maxY, y);
}

}  // namespace

double HorizontalPixel(double value) { return value * gView.scale + (gView.centreX - gView.originX * gView.scale); }
double VerticalPixel(double value) { return (gView.originY * gView.scale + gView.centreY) - value * gView.scale; }

ScreenPosition MapToScreen(const ObjectVertex& p) {
  const auto& r = gView.rotation;
  switch (gView.mode) {
    case kViewXY: return Orthographic(p.x, p.y, p.z);
    case kViewYZ: return Orthographic(p.y, p.z, p.x);
    case kViewXZ: return Orthographic(p.x, p.z, -double(p.y));
    case kView3D:
      return Orthographic(r[0] * p.x + r[1] * p.y + r[2] * p.z, r[3] * p.x + r[4] * p.y + r[5] * p.z,
                          r[6] * p.x + r[7] * p.y + r[8] * p.z);
    default: {
      ScreenPosition s = FisheyePosition(EyeTransformPoint(p));
      s.depth = std::max(s.depth, 0.0);
      return s;
    }
  }
}

void ProjectObjectToScreen() {
  const ObjectAccessBlock& access = gObjects.access;
  gWork.screenPoints.resize(access.vertexCount);
  gWork.objectBox = ScreenBox{};
  for (uint32_t i = 0; i < access.vertexCount; ++i) {
    const ScreenPosition m = MapToScreen(access.vertices[i]);
    ScreenVertex& s = gWork.screenPoints[i];
    s = {Clamped(m.x), Clamped(m.y), DepthWord(m.depth)};
    Widen(gWork.objectBox, s.x, s.y);
  }
}

void ProjectPointToScreen(const ObjectVertex& point) {
  if (gWork.screenPoints.empty()) gWork.screenPoints.resize(1);
  const ScreenPosition m = MapToScreen(point);
  gWork.screenPoints[0].x = Clamped(m.x);
  gWork.screenPoints[0].y = Clamped(m.y);
}

EyePoint EyeTransformPoint(const ObjectVertex& point) {
  return ToEyeSpace(gView.rotation, double(point.x) - gView.eyePoint.x, double(point.y) - gView.eyePoint.y,
                    double(point.z) - gView.eyePoint.z);
}

platform::Point PerspectiveProjectPoint(const EyePoint& point) {
  const ScreenPosition s = FisheyePosition(point);
  return {int32_t(s.x), int32_t(s.y)};
}
