#include "speakerbase/views/record_views.h"

#include <array>
#include <vector>

#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/view_state.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/drawing.h"
#include "speakerbase/data_sheet.h"
#include "speakerbase/polar_plot.h"

namespace {

constexpr int16_t kInk = 0, kPaper = 30;  // palette indexes
constexpr int16_t kAxisCrossPen = 0;
constexpr int kRadialStep = 10;  // degrees between radial lines

void FillWindow() {
  SetPenColor(kInk);
  SetBrushColor(kPaper);
  FillRectangle(0, 0, GetClientWidth(), GetClientHeight());
}

void UseTextStyle(const char* face, int height, int width) {
  SetTextStyle(face, height, width, 0, kInk, kPaper, platform::kBackTransparent);
}
void UseLabelStyle() { UseTextStyle(kViewFont, kViewLabelHeight, kViewLabelCharWidth); }

void DrawViewText(const ViewText& text) {
  const unsigned align = text.align == ViewAlign::kLeft    ? platform::kTextLeft
                         : text.align == ViewAlign::kRight ? platform::kTextRight
                                                           : platform::kTextCentre;
  DrawStyledText(text.box.left, text.box.top, text.box.right, text.box.bottom, text.text.c_str(),
                 align | platform::kTextSingleLine | platform::kTextVerticalCentre);
}

void DrawCurve(const std::array<ViewPoint, kPolarPoints>& curve) {
  std::array<platform::Point, kPolarPoints> points;
  for (size_t k = 0; k < curve.size(); ++k) points[k] = {curve[k].x, curve[k].y};
  DrawClosedPolyline(points.data(), kPolarPoints, 0);
}

// A ring of 72 segments.
void DrawCircle(ViewPoint centre, double radius) {
  std::array<ViewPoint, kPolarPoints> ring;
  for (int k = 0; k < kPolarPoints; ++k) ring[size_t(k)] = PolarPoint(centre, radius, k * 360.0 / kPolarPoints);
  DrawCurve(ring);
}

void DrawLegend(const std::vector<LegendEntry>& legend) {
  UseLabelStyle();
  for (const LegendEntry& entry : legend) {
    SetPenColor(entry.pen);
    DrawLine(entry.from.x, entry.from.y, entry.to.x, entry.to.y);
    DrawViewText(entry.text);
  }
  SetPenColor(kInk);
}

void DrawLabels(const std::vector<ViewText>& labels) {
  UseLabelStyle();
  for (const ViewText& label : labels) DrawViewText(label);
}

void DrawPolarPlot(const SpeakerType& record, int band, const PolarPlotCell& cell, int radius) {
  SetPenColor(kRadialLinePen);
  for (int degrees = 0; degrees < 360; degrees += kRadialStep) {
    const ViewPoint outer = PolarPoint(cell.centre, radius, degrees);
    DrawLine(outer.x, outer.y, cell.centre.x, cell.centre.y);
  }
  for (int code : kPolarRingCodes) {
    SetPenColor(PolarRingPen(code));
    DrawCircle(cell.centre, code * double(radius) / kBalloonCodeZeroDb);
  }
  DrawLabels({cell.labels.begin(), cell.labels.end()});
  const std::span<const uint8_t, kBalloonBandSize> codes = record.BalloonBand(band);
  SetPenColor(kHorizontalCurvePen);
  DrawCurve(PolarCurve(codes, PolarCut::kHorizontal, cell.centre, radius));
  SetPenColor(kVerticalCurvePen);
  platform::SetBackMode(gOutput.context, platform::kBackTransparent);
  DrawCurve(PolarCurve(codes, PolarCut::kVertical, cell.centre, radius));
  SetPenColor(kInk);
}

// The renderer draws into the current output window, in the 3D view mode,
// with the rotation and the pixel mapping of one balloon view, for the
// scope's lifetime.
class BalloonViewScope {
 public:
  BalloonViewScope(const BalloonViewCell& cell, const BalloonViewState& state)
      : view_(gView), window_(SetViewWindow(gOutput.currentWindow)) {
    gView.mode = kView3D;
    gView.scale = float(cell.scale);
    gView.originX = gView.originY = 0;
    gView.centreX = float(cell.centre.x);
    gView.centreY = float(cell.centre.y);
    if (cell.kind == BalloonViewKind::k3D) {
      gView.angles = {state.horizontalAngle, 0, state.verticalAngle};
      BuildViewRotation();
    } else {
      gView.rotation = FixedBalloonProjection(cell.kind);
    }
  }
  ~BalloonViewScope() {
    // Put back as it was, even a view window that has no window yet.
    DrawWindow = window_;
    gView = view_;
  }
  BalloonViewScope(const BalloonViewScope&) = delete;
  BalloonViewScope& operator=(const BalloonViewScope&) = delete;

 private:
  ViewState view_;
  WindowRecord* window_;
};

void DrawHeadings(const BalloonLayout& layout) {
  SetDefaultTextStyle();
  DrawViewText(layout.heading);
  DrawViewText(layout.bandHeader);
}

void DrawBalloonCell(const BalloonViewCell& cell, const BalloonViewState& state) {
  UseLabelStyle();
  DrawViewText(cell.title);
  for (const BalloonRing& ring : cell.rings) {
    SetPenColor(PolarRingPen(ring.code));
    DrawCircle(cell.centre, ring.radius);
  }
  DrawLabels(cell.labels);
  BalloonViewScope scope(cell, state);
  DrawObjects(state.mesh.get(), state.mesh.get(), 0);
}

}  // namespace

void DrawDataSheet(const SpeakerType& record) {
  FillWindow();
  const DataSheetLayout layout = LayOutDataSheet(record, GetClientWidth(), GetClientHeight());
  if (layout.cells.empty()) return;
  UseTextStyle(kDataSheetFont, layout.textHeight, layout.textWidth);
  DrawViewText(layout.title);
  for (const DataSheetCell& cell : layout.cells) {
    const ViewRect& f = cell.frame;
    DrawRectangle({f.left, f.top, f.right, f.bottom}, 0);
    DrawViewText(cell.text);
  }
}

void DrawPolarPlots(const SpeakerType& record) {
  FillWindow();
  const PolarPlotLayout layout = LayOutPolarPlots(record, GetClientWidth(), GetClientHeight());
  SetDefaultTextStyle();
  DrawViewText(layout.heading);
  UseTextStyle(kViewFont, layout.headerHeight, layout.headerCharWidth);
  for (const PolarPlotCell& cell : layout.cells) DrawViewText(cell.header);
  for (int band = 0; band < kBandCount; ++band) DrawPolarPlot(record, band, layout.cells[size_t(band)], layout.radius);
  DrawLegend(layout.legend);
}

void DrawBalloons(const SpeakerType& record, BalloonViewState& state, bool rebuild) {
  if (!state.mesh || state.band < 0 || state.band >= kBandCount) return;
  if (rebuild) BuildBalloonMesh(record.BalloonBand(state.band), *state.mesh);
  if (state.threeD) {
    DrawBalloon3D(record, state);
    return;
  }
  FillWindow();
  const BalloonLayout layout = LayOutBalloonView(record, state.band, false, GetClientWidth(), GetClientHeight());
  DrawHeadings(layout);
  for (const BalloonViewCell& cell : layout.cells) DrawBalloonCell(cell, state);
  DrawLegend(layout.legend);
}

void DrawBalloon3D(const SpeakerType& record, const BalloonViewState& state) {
  if (!state.mesh || state.band < 0 || state.band >= kBandCount) return;
  FillWindow();
  const BalloonLayout layout = LayOutBalloonView(record, state.band, true, GetClientWidth(), GetClientHeight());
  DrawHeadings(layout);
  const BalloonViewCell& cell = layout.cells.front();
  BalloonViewScope scope(cell, state);
  DrawObjects(state.mesh.get(), state.mesh.get(), 0);
  SetPenColor(kAxisCrossPen);
  DrawAxisCross(layout.axisCross.x, layout.axisCross.y, kAxisCrossPixels);
}
