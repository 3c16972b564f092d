#include "framework/core/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/core/state_reset.h"

uint32_t gUnitFlag = 0;

void ResetUnitFlag() { gUnitFlag = 0; }

namespace {
const StateReset kReset(ResetUnitFlag);
}  // namespace

int IntersectSegments(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, double& x,
                      double& y) {
  const double a1 = y1 - y2, b1 = x2 - x1, c1 = x1 * y2 - x2 * y1;
  const double a2 = y3 - y4, b2 = x4 - x3, c2 = x3 * y4 - x4 * y3;
  const double det = a1 * b2 - a2 * b1;
  if (std::fabs(det) < 1e-8) return 0;
  x = (b1 * c2 - b2 * c1) / det;
  y = (c1 * a2 - c2 * a1) / det;
  auto within = [](double v, double e1, double e2) { return std::min(e1, e2) <= v && v <= std::max(e1, e2); };
  return within(x, x1, x2) && within(y, y1, y2) && within(x, x3, x4) && within(y, y3, y4) ? 1 : 0;
}

bool FixDecimalCommaText(std::string& text) {
  bool replaced = false;
  for (char& c : text) {
    if (c == ',') {
      c = '.';
      replaced = true;
    }
  }
  return replaced;
}

std::string FormatNumber(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

double WrappedDegrees(double degrees) {
  degrees = std::fmod(degrees, 360);
  if (degrees > 180) return degrees - 360;
  if (degrees < -180) return degrees + 360;
  return degrees;
}

bool IsTypedCoordinate(double metres) { return std::fabs(metres) <= kMaxTypedCoordinate; }

namespace {
constexpr double kFeetPerMetre = 3.28084;
constexpr double kSquareFeetPerSquareMetre = 10.76391;
constexpr double kCubicFeetPerCubicMetre = 35.31467;
constexpr double kPoundsPerKilogram = 2.204622;

double ImperialFactor(int kind) {
  return kind == kUnitArea ? kSquareFeetPerSquareMetre : kind == kUnitVolume ? kCubicFeetPerCubicMetre : kFeetPerMetre;
}
double CentimetreFactor(int kind) { return kind == kUnitArea ? 6.4516 : 2.54; }
}  // namespace

double MetricToImperial(double value, int kind) { return value * ImperialFactor(kind); }
double ImperialToMetric(double value, int kind) { return value / ImperialFactor(kind); }
double CentimetresToInches(double value, int kind) { return value / CentimetreFactor(kind); }
double InchesToCentimetres(double value, int kind) { return value * CentimetreFactor(kind); }
double PoundsToKilograms(double value) { return value / kPoundsPerKilogram; }
double KilogramsToPounds(double value) { return value * kPoundsPerKilogram; }

double LengthInUserUnit(double metres) { return gUnitFlag ? MetricToImperial(metres, kUnitLength) : metres; }
double LengthFromUserUnit(double value) { return gUnitFlag ? ImperialToMetric(value, kUnitLength) : value; }
double AreaInUserUnit(double squareMetres) {
  return gUnitFlag ? MetricToImperial(squareMetres, kUnitArea) : squareMetres;
}
