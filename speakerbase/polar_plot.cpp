#include "speakerbase/polar_plot.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegree = 3.141592654 / 180;
constexpr int kCodeStep = 5;  // degrees between balloon rows and columns
constexpr int kBackRow = kBalloonRows - 1;
constexpr int kHalfPoints = kPolarPoints / 2;  // the point at the bottom
// Columns of the left and the right half of each cut.
constexpr int kColumnLeft[2] = {36, 18};
constexpr int kColumnRight[2] = {0, 54};

constexpr int kMargin = 8;  // around the plots, left and right
constexpr int kCellsPerRow = 4;
constexpr int kRingInset = 32;  // between the outer ring and the cell's edge
constexpr int kHeadingTop = 10, kHeadingBottom = 30;
constexpr int kPlotsTop = 34;
constexpr int kLabelGap = 2;  // between the outer ring and a label
constexpr int kLabelWidth = 4 * kViewLabelCharBox;
constexpr int kCellGap = 8;  // under each row of plots
// The band header's character height: a sixteenth of the cell's width,
// within 10 .. 18 pixels, and half as wide.
constexpr int kHeaderDivisor = 16, kMinHeader = 10, kMaxHeader = 18;
// The band headers keep clear of the "<-" button above the first plot.
constexpr int kHeaderInset = kViewButtonSize - kMargin;

// The height of a row of plots besides its two radii.
int RowOverhead(int headerHeight) { return headerHeight + 2 * (kViewLabelHeight + kLabelGap) + kCellGap; }

}  // namespace

const std::array<LegendKey, 2> kRingLegend = {{{kMajorRingPen, "-0/-10/-20 dB"}, {kMinorRingPen, "-5/-15/-25 dB"}}};
const std::array<LegendKey, 4> kPolarLegend = {{{kHorizontalCurvePen, "Hor."},
                                                {kVerticalCurvePen, "Vert."},
                                                {kMajorRingPen, "-0/-10/-20 dB"},
                                                {kMinorRingPen, "-5/-15/-25 dB"}}};

int16_t PolarRingPen(int code) { return (kBalloonCodeZeroDb - code) % 50 == 0 ? kMajorRingPen : kMinorRingPen; }

ViewPoint PolarPoint(ViewPoint centre, double radius, double degrees) {
  const double a = degrees * kDegree;
  return {int(std::lround(centre.x - radius * std::sin(a))), int(std::lround(centre.y - radius * std::cos(a)))};
}

std::array<uint8_t, kPolarPoints> PolarCurveCodes(std::span<const uint8_t, kBalloonBandSize> band, PolarCut cut) {
  const auto code = [&](int row, int column) { return band[size_t(row) * kBalloonColumns + column]; };
  const int c = cut == PolarCut::kHorizontal ? 0 : 1;
  std::array<uint8_t, kPolarPoints> codes{};
  codes[0] = code(0, 0);
  codes[kHalfPoints] = code(kBackRow, 0);
  for (int row = 1; row < kBackRow; ++row) {
    codes[size_t(row)] = code(row, kColumnLeft[c]);
    codes[size_t(kPolarPoints - row)] = code(row, kColumnRight[c]);
  }
  return codes;
}

std::array<ViewPoint, kPolarPoints> PolarCurve(std::span<const uint8_t, kBalloonBandSize> band, PolarCut cut,
                                               ViewPoint centre, int radius) {
  const std::array<uint8_t, kPolarPoints> codes = PolarCurveCodes(band, cut);
  std::array<ViewPoint, kPolarPoints> points{};
  for (int k = 0; k < kPolarPoints; ++k)
    points[size_t(k)] = PolarPoint(centre, codes[size_t(k)] * double(radius) / kBalloonCodeZeroDb, k * kCodeStep);
  return points;
}

std::array<ViewText, 4> PolarLabels(ViewPoint c, int radius) {
  const int halfWidth = kLabelWidth / 2, halfHeight = kViewLabelHeight / 2;
  const int top = c.y - radius - kLabelGap, bottom = c.y + radius + kLabelGap;
  const int left = c.x - radius - kLabelGap, right = c.x + radius + kLabelGap;
  return {{
      {{c.x - halfWidth, top - kViewLabelHeight, c.x + halfWidth, top}, "0\xB0"},
      {{c.x - halfWidth, bottom, c.x + halfWidth, bottom + kViewLabelHeight}, "180\xB0"},
      {{left - kLabelWidth, c.y - halfHeight, left, c.y + halfHeight}, "+90\xB0", ViewAlign::kRight},
      {{right, c.y - halfHeight, right + kLabelWidth, c.y + halfHeight}, "-90\xB0", ViewAlign::kLeft},
  }};
}

PolarPlotLayout LayOutPolarPlots(const SpeakerType& record, int width, int height) {
  PolarPlotLayout layout;
  const int cw = (width - 2 * kMargin) / kCellsPerRow;
  layout.cellWidth = cw;
  layout.headerHeight = std::clamp(cw / kHeaderDivisor, kMinHeader, kMaxHeader);
  layout.headerCharWidth = layout.headerHeight / 2;
  const int headerBox = layout.headerHeight + 4;
  const int overhead = RowOverhead(headerBox);
  const int byHeight = ((height - kPlotsTop - LegendBottom(0) - kMargin) / 2 - overhead) / 2;
  layout.radius = std::max(kMinPolarRadius, std::min(cw / 2 - kRingInset, byHeight));
  const int r = layout.radius;
  const int rowHeight = 2 * r + overhead;
  // Centred on the window, clear of the "<-" button.
  layout.heading = {{kViewButtonSize, kHeadingTop, width - kViewButtonSize, kHeadingBottom}, RecordHeading(record)};
  for (int band = 0; band < kBandCount; ++band) {
    const int left = kMargin + (band % kCellsPerRow) * cw;
    const int top = kPlotsTop + (band / kCellsPerRow) * rowHeight;
    PolarPlotCell& cell = layout.cells[size_t(band)];
    cell.centre = {left + cw / 2, top + headerBox + kViewLabelHeight + kLabelGap + r};
    cell.header = {{left + kHeaderInset, top, left + cw - kHeaderInset, top + headerBox}, BandHeader(record, band)};
    cell.labels = PolarLabels(cell.centre, r);
  }
  layout.legend = LayOutLegend(kPolarLegend, {kMargin, kPlotsTop + 2 * rowHeight});
  return layout;
}
