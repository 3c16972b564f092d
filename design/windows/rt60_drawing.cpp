#include "design/windows/rt60_drawing.h"

#include "framework/base/drawing_layer.h"
#include "framework/core/geometry.h"

namespace {

constexpr int16_t kWhite = 30, kBackgroundAfter = 5;
constexpr int kFontHeight = 16, kFontWidth = 8;
constexpr int kMarkerHalf = kRt60MarkerSize / 2;

}  // namespace

Rt60Figure DrawRt60Graph(const ReverbSettings& settings, const DesignTables& design) {
  const int width = GetClientWidth(), height = GetClientHeight();
  const Rt60Figure figure = LayoutRt60Graph(settings.method, ComputeRt60Graph(settings, design),
                                            MeasureRoomClosure(*design.model), width, height, gUnitFlag != 0);
  SetBrushColor(kWhite);
  FillRectangle(0, 0, width, height);
  SetBackgroundColor(kWhite);
  for (const Rt60Line& line : figure.lines) {
    SetPenColor(line.pen);
    DrawLine(line.x1, line.y1, line.x2, line.y2);
  }
  for (const Rt60Curve& curve : figure.curves) {
    platform::Point points[kBandCount];
    for (size_t b = 0; b < kBandCount; ++b) points[b] = {curve.points[b].x, curve.points[b].y};
    SetPenColor(curve.pen);
    DrawPolyline(points, kBandCount);
    SetBrushColor(curve.pen);
    for (const platform::Point& p : points)
      FillRectangle(p.x - kMarkerHalf, p.y - kMarkerHalf, p.x + kMarkerHalf, p.y + kMarkerHalf);
  }
  for (const Rt60Text& text : figure.texts) {
    SetTextStyle("Arial", kFontHeight, kFontWidth, 0, text.colour, kWhite, platform::kBackTransparent);
    DrawStyledText(text.x, text.y, width, text.y + kFontHeight + 2, text.text.c_str(),
                   platform::kTextLeft | platform::kTextSingleLine);
  }
  SetPenColor(0);
  SetBrushColor(kWhite);
  SetBackgroundColor(kBackgroundAfter);
  return figure;
}
