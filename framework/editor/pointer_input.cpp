#include "framework/editor/pointer_input.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <unordered_map>
#include <vector>

#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/hit_test.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/face_geometry.h"
#include "framework/view/projection.h"
#include "framework/view/rendering.h"
#include "framework/view/view_keys.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/drawing.h"
#include "platform/messages.h"

namespace {

using Preview = void (*)(GraphicObject*, double, double, double);

// The coordinates the preview's objects had when it began (SavePreviewStart).
struct PreviewStart {
  std::unordered_map<const GraphicObject*, std::vector<ObjectVertex>> vertices;
};
PreviewStart gPreviewStart;
const StateReset kReset(ForgetPreviewStart);

// A mirror direction shorter than this counts as none.
constexpr double kLeastPlaneLength2 = 1e-6;

bool CanDraw() { return DrawWindow && DrawWindow->window != platform::Window::kNone && !IsPrinting(); }

bool SamePixel(platform::Point a, platform::Point b) { return a.x == b.x && a.y == b.y; }
bool SamePoint(const ObjectVertex& a, const ObjectVertex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

Preview CurrentPreview() {
  switch (gInput.rubberBandMode) {
    case kBandCircle: return CirclePreview;
    case kBandRectangle: return RectanglePreview;
    case kBandMoveNodes: return MoveNodesPreview;
    case kBandMirror: return MirrorPreview;
    default: return TranslateObject;
  }
}

// The in-plane axes (horizontal, vertical) of a 2D view; false in the 3D views.
bool PlaneAxes(int& u, int& v) {
  switch (gView.mode) {
    case kViewXY: u = 0, v = 1; return true;
    case kViewYZ: u = 1, v = 2; return true;
    case kViewXZ: u = 0, v = 2; return true;
    default: return false;
  }
}

float& Axis(ObjectVertex& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

platform::Point PixelOf(const ObjectVertex& point) {
  ProjectPointToScreen(point);
  return {gWork.screenPoints[0].x, gWork.screenPoints[0].y};
}

// The cursor pixel of the cursor point in the 2D views.
void PlaceCursorPixel() {
  int u = 0, v = 0;
  if (!PlaneAxes(u, v)) return;
  const ObjectVertex& p = gInput.cursorPoint;
  gInput.cursorPixel = {WorldToScreen(Coordinate(p, u), kAxisHorizontal),
                        WorldToScreen(Coordinate(p, v), kAxisVertical)};
}

// Node snap: the vertex of the snap layer nearest the pixel (x, y) within
// the snap width moves the cursor point onto it.
void SnapToNode(int x, int y) {
  int tolerance = int(gDrawing.nodeSnapWidth);
  const ObjectVertex* snap = nullptr;
  platform::Point snapPixel{};
  // What the preview moves never snaps to itself: the picked nodes under the
  // node preview, the whole of what the other previews move or build.
  const bool nodesMove = gInput.rubberBandOn && gInput.rubberBandMode == kBandMoveNodes;
  std::vector<const ObjectVertex*> moving;
  if (nodesMove) {
    moving.assign(gPicks.nodes.begin(), gPicks.nodes.end());
    std::sort(moving.begin(), moving.end(), std::less<>());
  }
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (o->layer != uint32_t(gDrawing.snapLayer) || (o->state & kStateHiddenMask)) continue;
    const bool selected = (o->state & kStateSelected) != 0;
    if (selected && gInput.rubberBandOn && !nodesMove) continue;
    const uint32_t drawn = DrawnVertexCount(*o);
    for (uint32_t i = 0; i < drawn; ++i) {
      if (selected && std::binary_search(moving.begin(), moving.end(), &o->vertices[i], std::less<>())) continue;
      const platform::Point s = PixelOf(o->vertices[i]);
      const int adx = std::abs(x - s.x), ady = std::abs(y - s.y);
      if (adx < tolerance && ady < tolerance) {
        snap = &o->vertices[i];
        snapPixel = s;
        tolerance = std::min(adx, ady);
      }
    }
  }
  if (!snap) return;
  int u = 0, v = 0;
  ObjectVertex& p = gInput.cursorPoint;
  if (PlaneAxes(u, v)) {
    Axis(p, u) = Coordinate(*snap, u);
    Axis(p, v) = Coordinate(*snap, v);
    return;
  }
  p = *snap;
  gInput.cursorPixel = snapPixel;
}

void DrawBaseLine(platform::Point to) { DrawXorLine(gInput.baseLineStart.x, gInput.baseLineStart.y, to.x, to.y); }

// The typed point becomes the cursor point and counts as a click there;
// one beyond the reach of a typed coordinate is refused.
void TakeTypedPoint(double x, double y, double z) {
  if (!IsTypedCoordinate(x) || !IsTypedCoordinate(y) || !IsTypedCoordinate(z)) {
    ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk);
    return;
  }
  gInput.cursorPoint = {float(x), float(y), float(z)};
  PlaceCursorPixel();
  SetCursorTracking(1);
  ShowCrosshair(1);
  gInput.pickFlag = true;
}

// The offset of a polar entry in the plane of the view.
ObjectVertex PolarOffset(double distance, double angle) {
  const float u = float(distance * std::cos(angle)), v = float(distance * std::sin(angle));
  switch (gView.mode) {
    case kViewYZ: return {0, u, v};
    case kViewXZ: return {u, 0, v};
    default: return {u, v, 0};
  }
}

void TypePoint(unsigned key) {
  const ObjectVertex last = gInput.acceptedPoint;
  ShowCrosshair(0);
  if (key == 'P') {
    double distance = 0, angle = 0;
    if (PointPolarDialog(distance, angle)) {
      const ObjectVertex d = PolarOffset(distance, angle);
      TakeTypedPoint(last.x + d.x, last.y + d.y, last.z + d.z);
    }
  } else {
    const bool relative = key == 'R';
    double x = relative ? 0 : last.x, y = relative ? 0 : last.y, z = relative ? 0 : last.z;
    if (PointAbsoluteDialog(x, y, z, relative ? "Point relative :" : "Point absolute :")) {
      if (relative) TakeTypedPoint(last.x + x, last.y + y, last.z + z);
      else TakeTypedPoint(x, y, z);
    }
  }
  ShowCrosshair(1);
}

// Reflects w across the line through b along d in the plane (u, v).
void Reflect(ObjectVertex& w, const ObjectVertex& b, double du, double dv, int u, int v) {
  const double t = 2 * ((double(Coordinate(b, v)) - Axis(w, v)) * du - (double(Coordinate(b, u)) - Axis(w, u)) * dv) /
                   (du * du + dv * dv);
  Axis(w, u) = float(Axis(w, u) - dv * t);
  Axis(w, v) = float(Axis(w, v) + du * t);
}

}  // namespace

void InitPointerInput() {
  ViewHooks hooks;
  hooks.showCrosshair = ShowCrosshair;
  InstallViewHooks(hooks);
}

void ShowCrosshair(int show) {
  if (show && gInput.trackingSuspended) return;
  if (!CanDraw()) return;
  if (gInput.baseLineOn) {
    const ScreenPosition s = MapToScreen(gInput.acceptedPoint);
    gInput.baseLineStart = {int32_t(std::clamp(s.x, -kProjectionClamp, kProjectionClamp)),
                            int32_t(std::clamp(s.y, -kProjectionClamp, kProjectionClamp))};
  }
  if (!show) {
    if (!gInput.crosshairDrawn) return;
    if (gInput.baseLineOn) DrawBaseLine(gInput.crosshairPixel);
    if (gInput.rubberBandOn) DrawRubberBand(0);
    DrawCrosshair(gInput.crosshairPixel.x, gInput.crosshairPixel.y);
    gInput.crosshairDrawn = false;
    return;
  }
  const platform::Point pixel = gInput.cursorPixel;
  if (!gInput.crosshairDrawn) {
    if (gInput.baseLineOn) DrawBaseLine(pixel);
    if (gInput.rubberBandOn) DrawRubberBand(1);
    DrawCrosshair(pixel.x, pixel.y);
    gInput.crosshairDrawn = true;
  } else if (!SamePixel(pixel, gInput.crosshairPixel) || !SamePoint(gInput.cursorPoint, gInput.pickedPoint)) {
    // A step of the point without one of the pixel (coordinate snap in a
    // pick box) still moves the preview.
    DrawCrosshair(gInput.crosshairPixel.x, gInput.crosshairPixel.y);
    if (gInput.rubberBandOn) DrawRubberBand(0);
    if (gInput.baseLineOn) DrawBaseLine(gInput.crosshairPixel);
    if (gInput.rubberBandOn) DrawRubberBand(1);
    if (gInput.baseLineOn) DrawBaseLine(pixel);
    DrawCrosshair(pixel.x, pixel.y);
  }
  gInput.pickedPoint = gInput.cursorPoint;
  gInput.crosshairPixel = pixel;
  RefreshViewPanelCoordinates();
}

void DrawCrosshair(int x, int y) {
  if (!CanDraw()) return;
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  const int16_t pen = GetPenColor();
  SetDrawMode(platform::kMixXor);
  const int w = DrawWindow->right, h = DrawWindow->bottom;
  switch (gInput.inputMode) {
    case kInputPickBox:
      SetPenColor(gDrawing.pickColour);
      DrawRectangle({x - kPickBoxHalf, y - kPickBoxHalf, x + kPickBoxHalf, y + kPickBoxHalf}, 0);
      break;
    case kInputSelectionWindow: {
      const int x0 = gInput.firstCornerPixel.x - kPickBoxHalf, y0 = gInput.firstCornerPixel.y - kPickBoxHalf;
      SetPenColor(x >= x0 && y >= y0 ? gDrawing.pickColour : gDrawing.crosshairColour);
      DrawRectangle({std::min(x0, x), std::min(y0, y), std::max(x0, x), std::max(y0, y)}, 0);
      break;
    }
    case kInputZoomBox: {
      const int qw = w / 4, qh = h / 4;
      SetPenColor(kZoomBoxPen);
      DrawRectangle({x - qw, y - qh, x + qw, y + qh}, 0);
      DrawLine(x - kPickBoxHalf, y, x + kPickBoxHalf, y);
      DrawLine(x, y - kPickBoxHalf, x, y + kPickBoxHalf);
      break;
    }
    default:
      SetPenColor(gDrawing.crosshairColour);
      DrawLine(x, 0, x, h);
      DrawLine(0, y, w, y);
      break;
  }
  SetDrawMode(platform::kMixCopy);
  SetPenColor(pen);
  SelectOutputWindow(previous);
}

void SetInputMode(int16_t mode) {
  if (mode == gInput.inputMode) return;
  ShowCrosshair(0);
  gInput.inputMode = mode;
  ShowCrosshair(1);
}

void SetCursorTracking(int on) { gInput.trackingSuspended = on == 0; }
int IsCursorTrackingOn() { return gInput.trackingSuspended ? 0 : 1; }

void SetRubberBandMode(int mode) { gInput.rubberBandMode = int16_t(mode); }

void SetRubberBand(int on) {
  if (gInput.rubberBandOn == (on != 0)) return;
  ShowCrosshair(0);
  gInput.rubberBandOn = on != 0;
  gDrawing.skipSelected = on ? 1 : 0;
  ShowCrosshair(1);
}

void SetBaseLine(int on) {
  if (gInput.baseLineOn == (on != 0)) return;
  ShowCrosshair(0);
  gInput.baseLineOn = on != 0;
  ShowCrosshair(1);
}

void DrawRubberBand(int draw) {
  if (!CanDraw()) return;
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  double dx = 0, dy = 0, dz = 0;
  if (draw) {
    GetCursorStep(dx, dy, dz);
    ArmNodeMove(1);
  }
  const Preview preview = CurrentPreview();
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (!(o->state & kStateSelected)) continue;
    if (draw) preview(o, dx, dy, dz);
    SetDrawMode(platform::kMixXor);
    DrawObjects(o, o, 0);
  }
  ArmNodeMove(0);
  SetDrawMode(platform::kMixCopy);
  SelectOutputWindow(previous);
}

void GetCursorStep(double& dx, double& dy, double& dz) {
  dx = double(gInput.cursorPoint.x) - gInput.pickedPoint.x;
  dy = double(gInput.cursorPoint.y) - gInput.pickedPoint.y;
  dz = double(gInput.cursorPoint.z) - gInput.pickedPoint.z;
}

void ViewPlaneOffset(double& dx, double& dy, double& dz) {
  dx = double(gInput.cursorPoint.x) - gInput.basePoint.x;
  dy = double(gInput.cursorPoint.y) - gInput.basePoint.y;
  dz = double(gInput.cursorPoint.z) - gInput.basePoint.z;
  switch (gView.mode) {
    case kViewXY: dz = 0; break;
    case kViewYZ: dx = 0; break;
    case kViewXZ: dy = 0; break;
    default: dx = dy = dz = 0; break;
  }
}

void ArmNodeMove(int on) { gInput.nodeMoveArmed = on != 0; }

void CentrePrintRegion(GraphicObject& region, const ObjectVertex& centre) {
  int u = 0, v = 0;
  if (region.vertexCount < 5 || !PlaneAxes(u, v)) return;
  const ObjectVertex& half = region.vertices[4];
  const double hx = half.x, hy = half.y;
  const double cu = Coordinate(centre, u), cv = Coordinate(centre, v);
  const double corners[4][2] = {{cu - hx, cv + hy}, {cu - hx, cv - hy}, {cu + hx, cv - hy}, {cu + hx, cv + hy}};
  for (int i = 0; i < 4; ++i) {
    Axis(region.vertices[i], u) = float(corners[i][0]);
    Axis(region.vertices[i], v) = float(corners[i][1]);
  }
}

void TranslateObject(GraphicObject* object, double dx, double dy, double dz) {
  if (object->kind == kKindPrintRegion) {
    CentrePrintRegion(*object, gInput.cursorPoint);
    return;
  }
  for (uint32_t i = 0; i < object->vertexCount; ++i) {
    ObjectVertex& p = object->vertices[i];
    p = {float(p.x + dx), float(p.y + dy), float(p.z + dz)};
  }
}

void CirclePreview(GraphicObject* object, double, double, double) {
  double dx = 0, dy = 0, dz = 0;
  ViewPlaneOffset(dx, dy, dz);
  const double r = std::sqrt(dx * dx + dy * dy + dz * dz);
  const int n = gDrawing.circleResolution;
  if (n <= 0) return;
  const double step = 6.283185308 / n;
  const std::array<double, 9> m = BuildViewPlaneRotation(0);
  const double U[3] = {m[0], m[3], m[6]}, V[3] = {m[1], m[4], m[7]};
  const ObjectVertex& b = gInput.basePoint;
  uint32_t k = 0;
  for (int i = n; i >= 1 && k < object->vertexCount; --i, ++k) {
    const double c = r * std::cos(i * step), s = r * std::sin(i * step);
    object->vertices[k] = {float(b.x + U[0] * c + V[0] * s), float(b.y + U[1] * c + V[1] * s),
                           float(b.z + U[2] * c + V[2] * s)};
  }
}

void RectanglePreview(GraphicObject* object, double, double, double) {
  if (object->vertexCount < 4) return;
  ObjectVertex* p = object->vertices;
  p[2] = gInput.cursorPoint;
  // Laid out afresh from the first corner at every step, whatever view the
  // step before was in.
  p[1] = p[3] = p[0];
  int u = 0, v = 0;
  if (!PlaneAxes(u, v)) return;
  const int w = 3 - u - v;  // the axis out of the plane
  Axis(p[2], w) = Coordinate(p[0], w);
  Axis(p[1], v) = Coordinate(p[2], v);
  Axis(p[3], u) = Coordinate(p[2], u);
}

void MoveNodesPreview(GraphicObject*, double dx, double dy, double dz) {
  if (!gInput.nodeMoveArmed || gPicks.nodes.empty()) return;
  for (ObjectVertex* node : gPicks.nodes) *node = {float(node->x + dx), float(node->y + dy), float(node->z + dz)};
  gInput.nodeMoveArmed = false;
}

void SavePreviewStart() {
  gPreviewStart.vertices.clear();
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->state & kStateSelected) gPreviewStart.vertices[o].assign(o->vertices, o->vertices + o->vertexCount);
}

void ForgetPreviewStart() { gPreviewStart.vertices.clear(); }

void MirrorPreview(GraphicObject* object, double, double, double) {
  const auto saved = gPreviewStart.vertices.find(object);
  if (saved != gPreviewStart.vertices.end())
    std::copy_n(saved->second.begin(), std::min<size_t>(saved->second.size(), object->vertexCount), object->vertices);
  int u = 0, v = 0;
  if (!PlaneAxes(u, v)) return;
  double a[3] = {};
  ViewPlaneOffset(a[0], a[1], a[2]);
  if (a[u] * a[u] + a[v] * a[v] <= kLeastPlaneLength2) return;
  for (uint32_t i = 0; i < object->vertexCount; ++i) Reflect(object->vertices[i], gInput.basePoint, a[u], a[v], u, v);
}

void RefreshViewPanelCoordinates() { SendViewPanelCommand(kPanelRefreshCoordinates); }

void TrackMousePosition(int x, int y) {
  if (gInput.pickFlag) {
    if (gInput.activeCommand) {
      const ScreenRect drawing{0, 0, DrawWindow->right, DrawWindow->bottom};
      if (IsPointInRect(gInput.cursorPixel, drawing) && gInput.inputMode != kInputCrosshair &&
          gInput.inputMode != kInputSelectionWindow)
        gInput.firstCornerPixel = gInput.cursorPixel;
    } else if (gInput.lastCommand) {
      gInput.pickFlag = false;
    }
    return;
  }
  gInput.cursorPixel = {x, y};
  ObjectVertex& p = gInput.cursorPoint;
  int u = 0, v = 0;
  if (PlaneAxes(u, v)) {
    Axis(p, u) = ScreenToWorld(x, kAxisHorizontal);
    Axis(p, v) = ScreenToWorld(y, kAxisVertical);
  }
  // The perspective view maps no point back onto the screen to snap to.
  if (gInput.inputMode == kInputCrosshair && gView.nodeSnap && gObjects.model.first && gView.mode != kViewPerspective)
    SnapToNode(x, y);
  if (gInput.inputMode == kInputCrosshair) PlaceCursorPixel();
  ShowCrosshair(1);
}

void TakeMouseClick(int x, int y) {
  // The click's own pixel first: a click need not follow a move there.
  gInput.pickFlag = false;
  TrackMousePosition(x, y);
  gInput.pickFlag = true;
  TrackMousePosition(gInput.cursorPixel.x, gInput.cursorPixel.y);
}

void HandleDrawingKey(unsigned key) {
  const bool running = gInput.activeCommand != 0;
  switch (key) {
    case platform::kKeyEnter:
    case platform::kKeySpace:
      if (running) RequestDone();
      else RepeatLastCommand();
      return;
    case platform::kKeyEscape: RequestCancel(); return;
    case 'A':
    case 'R':
    case 'P':
      if (running) TypePoint(key);
      return;
    default: HandleViewKey(key); return;
  }
}
