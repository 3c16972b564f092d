#include "framework/editor/plot_region.h"

#include <algorithm>
#include <cmath>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/services.h"
#include "framework/editor/pointer_input.h"
#include "framework/view/projection.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"

namespace {

constexpr char kSelectRegionPrompt[] = "Select print-region";
constexpr char kRegionFirstPrompt[] = "Print-region 1st point";
constexpr char kRegionSecondPrompt[] = "Print-region 2nd point";
constexpr char kZeroWidthMessage[] = "System reports 0 print width";
constexpr char kZeroHeightMessage[] = "System reports 0 print height";
constexpr char kPrinterDeniedMessage[] = "System denied printer access";
constexpr uint32_t kMarkerLayer = 1;
// The marker's frame is drawn by its first four vertices; vertex 4 holds the
// half page, vertex 5 its centre.
constexpr uint32_t kMarkerVertices = 6;

// The part of the view the plot sets and puts back.
struct SavedView {
  int16_t mode;
  float scale, originX, originY, centreX, centreY;
  std::array<float, 3> angles;
  ViewRotationMatrix rotation;
  std::array<std::array<float, 2>, 4> viewOrigins;
};
SavedView SaveView() {
  return {gView.mode,    gView.scale,  gView.originX,  gView.originY,    gView.centreX,
          gView.centreY, gView.angles, gView.rotation, gView.viewOrigins};
}
void RestoreView(const SavedView& v) {
  gView.mode = v.mode;
  gView.scale = v.scale;
  gView.originX = v.originX;
  gView.originY = v.originY;
  gView.centreX = v.centreX;
  gView.centreY = v.centreY;
  gView.angles = v.angles;
  gView.rotation = v.rotation;
  gView.viewOrigins = v.viewOrigins;
}

// The marker of the page placed at the measure, selected so that the
// rubber band moves it.
GraphicObject* CreatePlotMarker() {
  GraphicObject* marker = CreateObject(0, kMarkerVertices, 4);
  if (!marker) return nullptr;
  marker->kind = kKindPrintRegion;
  marker->state = kStateSelected;
  marker->layer = kMarkerLayer;
  const ObjectItem items[4] = {{kOpStart, 0}, {kOpLineTo, 1}, {kOpLineTo, 2}, {kOpClose, 3}};
  std::copy(items, items + 4, marker->items);
  return marker;
}
// The page's outline around `centre` in the plane of the 2D view shown.
void LayOutPlotMarker(GraphicObject& marker, ObjectVertex centre, double halfWidth, double halfHeight) {
  std::fill_n(marker.vertices, 4, centre);
  marker.vertices[4] = {float(halfWidth), float(halfHeight), 0};
  marker.vertices[5] = centre;
  CentrePrintRegion(marker, centre);
}

// The perspective view has no scale to set, and a page placed at a measure
// lies in the plane of a 2D view: those views print as the plan.
void ShowPlanToPrint(int mode) {
  if (gView.mode == kViewPerspective || (mode == kPlotMeasure && gView.mode == kView3D)) SelectViewXY();
}

// The screen rectangle of the marker's frame.
PlotRegionBox MarkerRegion(const GraphicObject& marker) {
  PlotRegionBox box{1e30, 1e30, -1e30, -1e30};
  for (uint32_t i = 0; i < 4; ++i) {
    const ScreenPosition p = MapToScreen(marker.vertices[i]);
    box.left = std::min(box.left, p.x), box.right = std::max(box.right, p.x);
    box.top = std::min(box.top, p.y), box.bottom = std::max(box.bottom, p.y);
  }
  return box;
}

void RemoveMarker(GraphicObject*& marker) {
  FreeObject(marker);
  marker = nullptr;
}

// The region of the page for `mode`, asked of the user; false on cancel.
bool PickPlotRegion(int mode, GraphicObject& marker, double r, const PlotPage& page, PlotRegionBox& region) {
  if (mode == kPlotMeasure) {
    double halfWidth = 0, halfHeight = 0;
    PlotMarkerHalfSize(page, r, halfWidth, halfHeight);
    const ObjectVertex start = gInput.cursorPoint;
    LayOutPlotMarker(marker, start, halfWidth, halfHeight);
    if (!ZoomToFit()) LayoutAndRedraw();
    ShowStatusText(kSelectRegionPrompt);
    // The marker follows the cursor.
    gInput.basePoint = start;
    SetRubberBandMode(kBandPlotRegion);
    SetRubberBand(1);
    WaitForPoint();
    SetRubberBand(0);
    SetRubberBandMode(kBandTranslate);
    if (gInput.cancel) return false;
    // The page's centre goes where the user clicked, in the plan when the
    // view was switched to a 3D one meanwhile.
    ShowPlanToPrint(mode);
    LayOutPlotMarker(marker, gInput.done ? start : gInput.acceptedPoint, halfWidth, halfHeight);
    region = MarkerRegion(marker);
    return true;
  }
  if (mode == kPlotZoomWindow) {
    SetInputMode(kInputPickBox);
    ShowStatusText(kRegionFirstPrompt);
    WaitForPoint();
    const platform::Point first = gInput.cursorPixel;
    if (gInput.cancel || gInput.done) {
      SetInputMode(kInputCrosshair);
      return false;
    }
    SetInputMode(kInputSelectionWindow);
    ShowStatusText(kRegionSecondPrompt);
    WaitForPoint();
    SetInputMode(kInputCrosshair);
    if (gInput.cancel || gInput.done) return false;
    const platform::Point second = gInput.cursorPixel;
    region = {double(std::min(first.x, second.x)), double(std::min(first.y, second.y)),
              double(std::max(first.x, second.x)), double(std::max(first.y, second.y))};
    return true;
  }
  const ScreenExtents all = ModelScreenExtents();
  if (all.minX > all.maxX) region = {0, 0, 2 * gView.centreX, 2 * gView.centreY};
  else region = {all.minX, all.minY, all.maxX, all.maxY};
  return true;
}

void PrintPlotPage(const PlotPage& page) {
  DrawObjectsForPlot(gObjects.model.first, gObjects.model.last);
  SetPenColor(0);
  const int width = int(page.widthPx), height = int(page.heightPx);
  for (int i = 0; i < 3; ++i) DrawRectangle({i, i, width - 1 - i, height - 2 - i}, 0);
}

void CmdPlotRegion() {
  GraphicObject* marker = CreatePlotMarker();
  if (!marker) return;
  InsertObjectBefore(marker, gObjects.model.first);
  const SavedView saved = SaveView();
  int metres = 1, millimetres = 1, mode = kPlotMeasure;
  bool plotted = false;
  if (PlotParametersDialog(metres, millimetres, mode)) {
    const PrintSettings& settings = *GetPrintSettings();
    const PlotPage page{double(settings.horizontalResolution), double(settings.verticalResolution),
                        double(settings.horizontalSize), double(settings.verticalSize)};
    if (page.widthPx < 1 || page.widthMm < 1) {
      ShowMessage(kZeroWidthMessage, nullptr, kMsgOk);
    } else if (page.heightPx < 1 || page.heightMm < 1) {
      ShowMessage(kZeroHeightMessage, nullptr, kMsgOk);
    } else {
      const double r = double(millimetres) / metres;
      ShowPlanToPrint(mode);
      PlotRegionBox region;
      if (PickPlotRegion(mode, *marker, r, page, region)) {
        const PlotMapping m = ComputePlotMapping(mode, r, page, region, gView.scale, gView.originX, gView.originY,
                                                 gView.centreX, gView.centreY);
        RemoveMarker(marker);
        if (!StartPrintJobWithObjects()) {
          ShowMessage(kPrinterDeniedMessage, nullptr, kMsgOk);
        } else {
          gView.scale = float(m.scale);
          gView.originX = float(m.originX);
          gView.originY = float(m.originY);
          gView.centreX = float(m.centreX);
          gView.centreY = float(m.centreY);
          PrintPlotPage(page);
          EndPrintJob();
          plotted = true;
        }
      }
    }
  }
  if (marker) RemoveMarker(marker);
  if (!plotted && IsPrinting()) EndPrintJob();
  RestoreView(saved);
  LayoutAndRedraw();
  ClearStatusLine();
  ClearRequestFlags();
}

}  // namespace

void PlotMarkerHalfSize(const PlotPage& page, double r, double& halfWidth, double& halfHeight) {
  halfWidth = page.widthMm / 2 / r;
  halfHeight = page.heightMm / 2 / r;
}

PlotMapping ComputePlotMapping(int mode, double r, const PlotPage& page, const PlotRegionBox& region, double viewScale,
                               double viewOriginX, double viewOriginY, double viewCentreX, double viewCentreY) {
  PlotMapping m;
  m.originX = viewOriginX + ((region.left + region.right) / 2 - viewCentreX) / viewScale;
  m.originY = viewOriginY - ((region.top + region.bottom) / 2 - viewCentreY) / viewScale;
  m.centreX = page.widthPx / 2;
  m.centreY = page.heightPx / 2;
  if (mode == kPlotMeasure) {
    m.scale = r * page.widthPx / page.widthMm;
    return m;
  }
  const double w = (region.right - region.left) / viewScale, h = (region.bottom - region.top) / viewScale;
  if (w <= 0 && h <= 0) m.scale = viewScale;
  else if (w > 0 && h / w <= page.heightPx / page.widthPx) m.scale = 0.95 * page.widthPx / w;
  else m.scale = 0.95 * page.heightPx / h;
  return m;
}

void BindPlotCommand(CommandRegistry& registry, int id) { registry.Bind(id, CmdPlotRegion); }
