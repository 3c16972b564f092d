#include "framework/core/perspective.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kQuarterTurn = 1.5708;
constexpr double kHalfPi = kPi / 2;
// A horizontal length of the unit axis below this leaves its azimuth open.
constexpr double kVerticalAxis = 1e-9;

}  // namespace

ViewRotationMatrix ViewRotation(double turn, double tilt) {
  const double sa = std::sin(tilt), ca = std::cos(tilt), sb = std::sin(turn), cb = std::cos(turn);
  return {cb, -sb, 0, ca * sb, ca * cb, -sa, sa * sb, sa * cb, ca};
}

EyePoint ToEyeSpace(const ViewRotationMatrix& r, double dx, double dy, double dz) {
  return {-(r[0] * dx + r[1] * dy + r[2] * dz), r[3] * dx + r[4] * dy + r[5] * dz, r[6] * dx + r[7] * dy + r[8] * dz};
}

std::array<double, 3> FromEyeSpace(const ViewRotationMatrix& r, const EyePoint& e) {
  // The rows are orthonormal: the inverse is the transpose.
  return {-e.x * r[0] + e.y * r[3] + e.depth * r[6], -e.x * r[1] + e.y * r[4] + e.depth * r[7],
          -e.x * r[2] + e.y * r[5] + e.depth * r[8]};
}

double FisheyePixelsPerRadian(double width, double height) { return std::max(width, height) / kQuarterTurn; }

FisheyePixel FisheyeOffsetPixel(double ax, double ay, double width, double height) {
  const double f = FisheyePixelsPerRadian(width, height);
  return {f * ax + width * 0.5, height * 0.5 + f * ay};
}

FisheyePixel FisheyeProject(const EyePoint& e, double width, double height) {
  const double r = std::sqrt(e.x * e.x + e.y * e.y + 1e-6);
  const double k = std::acos(e.depth / std::sqrt(r * r + e.depth * e.depth)) / r;
  return FisheyeOffsetPixel(k * e.x, -k * e.y, width, height);
}

EyePoint FisheyeDirection(double ox, double oy, double width, double height) {
  const double f = FisheyePixelsPerRadian(width, height);
  const double offset = std::hypot(ox, oy);
  if (offset == 0) return {0, 0, 1};
  const double angle = offset / f;
  const double s = std::sin(angle) / offset;
  return {s * ox, -s * oy, std::cos(angle)};
}

PerspectiveAngles PerspectiveLookingAlong(const AxisAngles& axis) {
  return {-(axis.horizontal + kHalfPi), axis.vertical - kHalfPi};
}

AxisAngles PerspectiveAxis(const PerspectiveAngles& view) { return {-(view.turn + kHalfPi), view.tilt + kHalfPi}; }

PerspectiveAngles RecentrePerspective(const PerspectiveAngles& view, int x, int y, int width, int height) {
  const int ox = x - width / 2, oy = y - height / 2;
  if (ox == 0 && oy == 0) return view;
  const EyePoint e = FisheyeDirection(ox, oy, width, height);
  const std::array<double, 3> d = FromEyeSpace(ViewRotation(view.turn, view.tilt), e);
  const double across = std::hypot(d[0], d[1]);
  AxisAngles axis = PerspectiveAxis(view);
  if (across > kVerticalAxis) axis.horizontal = std::atan2(d[1], d[0]);
  axis.vertical = std::atan2(d[2], across);
  // atan2 keeps the new turn and tilt within their ranges.
  return PerspectiveLookingAlong(axis);
}
