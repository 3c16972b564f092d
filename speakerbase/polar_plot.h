// The polar plots of a speaker record: per band the horizontal and the
// vertical cut through its balloon as two closed curves over rings of
// equal level, laid out in a window's client area.
//
// A plot of radius R draws a balloon code c at the radius c x R / 225: 0 dB
// (225) on the outer ring, -45 dB (0) at the centre. Angles are degrees from
// the top, counter-clockwise (the left side first). Point k of a curve
// (k = 0 .. 71) lies at 5k degrees: the horizontal curve takes row 0 at the
// top, rows 1 to 35 of column 36 on the left side, row 36 at the bottom and
// rows 35 to 1 of column 0 on the right side; the vertical curve the same
// with column 18 on the left and column 54 on the right.
//
// Rings of 72 segments stand for the codes 50, 75, .. 225 (-35 to 0 dB);
// the 0, -10, -20 and -30 dB rings are drawn in pen 0, the others in pen 5.
// Radial lines every 10 degrees run from the outer ring to the centre. The
// labels "0°" above, "180°" below, "+90°" left and "-90°" right stand just
// outside the outer ring.
//
// Layout in a client area of width x height: the heading (brand : type) at
// y 10 to 30, then the plots in cells of width cw = (width - 16) / 4 from
// x = 8, four a row (bands 0 to 3, then 4 to 6), each with its band header
// (BandHeader) over it in "ARIAL" sized by the cell, and under both rows the
// legend. R = cw / 2 - 32, but no more than lets both rows and the legend
// fit the height (a wide window would otherwise push the second row out of
// sight) and at least kMinPolarRadius.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "design/model/speaker_type.h"
#include "speakerbase/view_layout.h"

constexpr int kPolarPoints = 72;  // 5-degree steps around
constexpr int kMinPolarRadius = 8;

// Pens (palette indexes).
constexpr int16_t kHorizontalCurvePen = 21;
constexpr int16_t kVerticalCurvePen = 32;
constexpr int16_t kMajorRingPen = 0;  // 0, -10, -20, -30 dB
constexpr int16_t kMinorRingPen = 5;  // -5, -15, -25, -35 dB
constexpr int16_t kRadialLinePen = 5;

constexpr std::array<int, 8> kPolarRingCodes = {50, 75, 100, 125, 150, 175, 200, 225};
// kMajorRingPen for a ring of a whole 10 dB below 0 dB, else kMinorRingPen.
int16_t PolarRingPen(int code);
// The legend of the rings alone, and of the curves and the rings.
extern const std::array<LegendKey, 2> kRingLegend;
extern const std::array<LegendKey, 4> kPolarLegend;

// The point `radius` pixels from `centre` at `degrees` from the top,
// counter-clockwise, rounded to the nearest pixel.
ViewPoint PolarPoint(ViewPoint centre, double radius, double degrees);

enum class PolarCut { kHorizontal, kVertical };
// The 72 balloon codes of a curve, point 0 first.
std::array<uint8_t, kPolarPoints> PolarCurveCodes(std::span<const uint8_t, kBalloonBandSize> band, PolarCut cut);
// The curve's points in a plot of radius `radius` around `centre`.
std::array<ViewPoint, kPolarPoints> PolarCurve(std::span<const uint8_t, kBalloonBandSize> band, PolarCut cut,
                                               ViewPoint centre, int radius);

// The angle labels around a plot whose outer ring has radius `radius`:
// "0°", "180°", "+90°", "-90°".
std::array<ViewText, 4> PolarLabels(ViewPoint centre, int radius);

struct PolarPlotCell {
  ViewPoint centre;
  ViewText header;
  std::array<ViewText, 4> labels;
};
struct PolarPlotLayout {
  int radius = 0;     // R
  int cellWidth = 0;  // cw
  int headerHeight = 0, headerCharWidth = 0;
  ViewText heading;
  std::array<PolarPlotCell, kBandCount> cells;
  std::vector<LegendEntry> legend;
};
PolarPlotLayout LayOutPolarPlots(const SpeakerType& record, int width, int height);
