#include "framework/view/rendering.h"

#include <algorithm>
#include <cmath>

#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/grid.h"
#include "framework/base/hit_test.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"
#include "framework/view/projection.h"
#include "framework/view/view_transform.h"
#include "platform/drawing.h"
#include "platform/messages.h"
#include "platform/window.h"

RenderState gRender;

void ResetRenderState() { gRender = RenderState{}; }

namespace {
const StateReset kReset(ResetRenderState);
}  // namespace

namespace {

constexpr int kSmallObjectPixels = 4;
constexpr int kNodeMarkerHalf = 2;
constexpr int kPickMarkerHalf = 3;
constexpr uint32_t kAxisCrossOrigin = 18;
constexpr int kAxisCrossCorner = 45;  // its origin's distance from the lower left corner
constexpr int kPlotAxisCrossCorner = 150;
constexpr double kPlotAxisCrossPixels = 2.5 * kAxisCrossPixels;  // on the page
// The title block of a plot: 83 character widths span 120 mm; labels of 11,
// texts of 31 and free texts of 41 character widths.
constexpr double kTitleBlockMillimetres = 120;
constexpr int kTitleBlockChars = 83, kLabelChars = 11, kTextChars = 31, kFreeTextChars = 41;
// The free texts fill the block's width behind the labels and texts.
static_assert(kLabelChars + kTextChars + kFreeTextChars == kTitleBlockChars);
constexpr int kCommentStrip = 16;
constexpr int16_t kPerspectiveCrossPen = 23;
constexpr int16_t kIsobarPens[3] = {19, 17, 16};
constexpr int kIsobarRingVertices = 72;
constexpr double kBandFrequencies[7] = {125, 250, 500, 1000, 2000, 4000, 8000};
constexpr int16_t kRoomFill = 8, kLoudspeakerFill = 3;

// Draws into the drawing window for the scope's lifetime, with the layout
// flag set, and leaves the default pen selected.
class DrawingScope {
 public:
  DrawingScope() : previous_(SelectOutputWindow(DrawWindow)), laying_(gView.layoutInProgress) {
    gView.layoutInProgress = true;
  }
  ~DrawingScope() {
    SetPenColor(0);
    gView.layoutInProgress = laying_;
    SelectOutputWindow(previous_);
  }
  DrawingScope(const DrawingScope&) = delete;
  DrawingScope& operator=(const DrawingScope&) = delete;

 private:
  WindowRecord* previous_;
  bool laying_;
};

int Width() { return DrawWindow->right; }
int Height() { return DrawWindow->bottom; }

// The sum of (x_i - x_i+1)(y_i + y_i+1) over the edges of a pixel outline,
// the edge back to the first point included when `closed`: >= 0 when the
// outline's normal points away from the viewer.
int64_t ShoelaceSum(const platform::Point* points, size_t count, bool closed = true) {
  int64_t sum = 0;
  const size_t edges = closed ? count : count > 0 ? count - 1 : 0;
  for (size_t i = 0; i < edges; ++i) {
    const platform::Point& a = points[i];
    const platform::Point& b = points[(i + 1) % count];
    sum += int64_t(a.x - b.x) * int64_t(a.y + b.y);
  }
  return sum;
}

platform::Point ScreenPointOf(uint32_t vertex) {
  const ScreenVertex& s = gWork.screenPoints[vertex];
  return {s.x, s.y};
}

void DrawPoints(const std::vector<platform::Point>& points) { DrawPolyline(points.data(), int(points.size())); }

// The outlines of the current object, projected.
void DrawProjectedOutlines(bool cull) {
  const ObjectAccessBlock& a = gObjects.access;
  std::vector<platform::Point>& points = gWork.polygonPoints;
  points.clear();
  for (uint32_t i = 0; i < a.itemCount; ++i) {
    const ObjectItem item = a.items[i];
    if (item.op == kOpAttribute || item.index >= a.vertexCount) continue;
    const platform::Point p = ScreenPointOf(item.index);
    switch (item.op) {
      case kOpStart:
        if (points.size() >= 2) DrawPoints(points);
        points.assign(1, p);
        break;
      case kOpLineTo: points.push_back(p); break;
      case kOpClose:
        points.push_back(p);
        points.push_back(points.front());
        if (!cull || ShoelaceSum(points.data(), points.size()) >= 0) DrawPoints(points);
        points.clear();
        break;
      default: break;
    }
  }
  if (points.size() >= 2) DrawPoints(points);
}

void DrawNodeMarkers() {
  SetPenColor(kNodeMarkerPen);
  for (uint32_t i = 0; i < gObjects.access.vertexCount; ++i) {
    const platform::Point p = ScreenPointOf(i);
    DrawRectangle({p.x - kNodeMarkerHalf, p.y - kNodeMarkerHalf, p.x + kNodeMarkerHalf, p.y + kNodeMarkerHalf}, 0);
  }
}

void DrawOneObject(GraphicObject* o, bool full) {
  if (o->state & kStateHiddenMask) return;
  const bool selected = o->state & kStateSelected;
  const bool skipped = selected && full && gDrawing.skipSelected;
  SetPenColor(selected ? gDrawing.pickColour : int16_t(o->colour & 0xFFFF));
  AccessObject(kAccessFillBlock, o);
  ProjectObjectToScreen();
  const ScreenBox& box = gWork.objectBox;
  if (!skipped) {
    const bool cull = o->layer == kLoudspeakerLayer || o->layer == kMeshLayer ||
                      (gDrawing.hiddenFaces && (o->kind & kKindFaceOrSolid) && o->layer != kAudienceLayer);
    if (box.minX <= box.maxX && DoRectsOverlap({box.minX, box.minY, box.maxX, box.maxY}, {0, 0, Width(), Height()})) {
      if (box.maxX - box.minX < kSmallObjectPixels && box.maxY - box.minY < kSmallObjectPixels)
        DrawRectangle({box.minX, box.minY, box.maxX, box.maxY}, 0);
      else DrawProjectedOutlines(cull);
    }
  }
  if (gDrawing.nodeMarkers && o->layer == uint32_t(gDrawing.currentLayer) && o->layer != kLoudspeakerLayer)
    DrawNodeMarkers();
}

void DrawGridLines() {
  SetPenColor(kGridPen);
  for (GraphicObject* line = gGridLines.first; line; line = line->next) {
    AccessObject(kAccessFillBlock, line);
    ProjectObjectToScreen();
    DrawProjectedOutlines(false);
  }
}

// An X at every picked node.
void DrawPickedNodeMarkers() {
  SetPenColor(kPickMarkerPen);
  for (const ObjectVertex* node : gPicks.nodes) {
    ProjectPointToScreen(*node);
    const platform::Point p = ScreenPointOf(0);
    DrawLine(p.x - kPickMarkerHalf, p.y - kPickMarkerHalf, p.x + kPickMarkerHalf, p.y + kPickMarkerHalf);
    DrawLine(p.x - kPickMarkerHalf, p.y + kPickMarkerHalf, p.x + kPickMarkerHalf, p.y - kPickMarkerHalf);
  }
}

void HighlightPickedFace() { DrawFaceOutline(gPicks.faceObject, gPicks.faceItem, 1); }

// The picked nodes while a node-moving command runs, else the picked face.
void DrawPickMarkers() {
  const bool movingNodes = std::find(std::begin(kMoveNodesCommands), std::end(kMoveNodesCommands),
                                     gInput.activeCommand) != std::end(kMoveNodesCommands);
  if (!gPicks.nodes.empty() && movingNodes) DrawPickedNodeMarkers();
  else if (gPicks.faceObject) HighlightPickedFace();
}

void DrawAxisLegend() {
  const int h = Height();
  SetPenColor(kLegendPen);
  if (gView.mode == kView3D) {
    DrawAxisCross(kAxisCrossCorner, h - kAxisCrossCorner, kAxisCrossPixels);
    return;
  }
  static constexpr const char* kLetters[3][2] = {{"Y", "X"}, {"Z", "Y"}, {"Z", "X"}};  // vertical, horizontal
  const platform::Point corner[] = {{10, h - 20}, {10, h - 10}, {20, h - 10}};
  DrawPolyline(corner, 3);
  SetTextColorIndex(kLegendPen);
  SetBackgroundColor(gDrawing.textBackColour);
  const int mode = platform::SetBackMode(gOutput.context, platform::kBackOpaque);
  DrawTextAt(6, h - 40, kLetters[gView.mode][0]);
  DrawTextAt(30, h - 18, kLetters[gView.mode][1]);
  platform::SetBackMode(gOutput.context, mode);
}

// ---- Perspective ----

struct RingDepths {
  int32_t farDepth = INT32_MIN, nearDepth = INT32_MAX;
};

bool IsInFrontOfEye(const EyePoint& e) { return e.depth >= 0; }

// The point where the edge a-b crosses depth 0.
EyePoint ClipToNearPlane(const EyePoint& a, const EyePoint& b) {
  const double t = (0 - a.depth) / (b.depth - a.depth);
  return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0};
}

// Takes the object's vertices into eye space until one lies in front of the
// eye; whether one does.
bool EyeTransformObject(const GraphicObject* o) {
  for (uint32_t i = 0; i < o->vertexCount; ++i)
    if (IsInFrontOfEye(EyeTransformPoint(o->vertices[i]))) return true;
  return false;
}

// Points at depth 0 lie 90 degrees off the axis, on a circle round the
// centre well beyond the window's corners. The edge between two of them is
// drawn along that circle, as the mapping shows it, with points added every
// 45 degrees at most (a straight chord between far-apart ends would cut into
// the window and leave the part of the face nearest the eye unpainted).
void AddEyePlaneArc(const EyePoint& a, const EyePoint& b, std::vector<platform::Point>& points) {
  constexpr double kNearAxis = 1e-6, kLargestStep = kPi / 4;
  if (std::hypot(a.x, a.y) < kNearAxis || std::hypot(b.x, b.y) < kNearAxis) return;
  const double from = std::atan2(a.y, a.x);
  const double turn = std::remainder(std::atan2(b.y, b.x) - from, 2 * kPi);
  if (std::fabs(turn) >= kPi - kNearAxis) return;  // an edge through the eye: no side to bend to
  const int steps = int(std::ceil(std::fabs(turn) / kLargestStep));
  for (int i = 1; i < steps; ++i) {
    const double angle = from + turn * i / steps;
    points.push_back(PerspectiveProjectPoint({std::cos(angle), std::sin(angle), 0}));
  }
}

// Clips the polygon that starts at the op-0 item `start` at depth 0 and
// projects what is in front into gWork.polygonPoints; gives its depths.
// The number of points.
size_t ClipProjectPolygon(const GraphicObject* o, uint32_t start, RingDepths* depths) {
  std::vector<EyePoint> ring;
  WalkFaceVertices(*o, start, [&](const ObjectVertex& v) { ring.push_back(EyeTransformPoint(v)); });
  // Sutherland-Hodgman against depth >= 0: each edge that enters or leaves
  // adds its crossing; the closing edge back to the start comes last.
  std::vector<EyePoint> clipped;
  for (size_t i = 0; i < ring.size(); ++i) {
    if (i > 0 && IsInFrontOfEye(ring[i]) != IsInFrontOfEye(ring[i - 1]))
      clipped.push_back(ClipToNearPlane(ring[i - 1], ring[i]));
    if (IsInFrontOfEye(ring[i])) clipped.push_back(ring[i]);
  }
  if (ring.size() > 1 && IsInFrontOfEye(ring.back()) != IsInFrontOfEye(ring.front()))
    clipped.push_back(ClipToNearPlane(ring.back(), ring.front()));
  std::vector<platform::Point>& points = gWork.polygonPoints;
  points.clear();
  for (size_t i = 0; i < clipped.size(); ++i) {
    const EyePoint& e = clipped[i];
    points.push_back(PerspectiveProjectPoint(e));
    if (depths) {
      const int32_t depth = int32_t(std::min(e.depth * 1000, 2147483647.0));
      depths->farDepth = std::max(depths->farDepth, depth);
      depths->nearDepth = std::min(depths->nearDepth, depth);
    }
    const EyePoint& next = clipped[(i + 1) % clipped.size()];
    if (clipped.size() > 2 && e.depth == 0 && next.depth == 0) AddEyePlaneArc(e, next, points);
  }
  return points.size();
}

// ClipProjectPolygon for the depth sort: the number of points when the
// clipped, projected polygon is worth sorting, which is when it faces the eye
// (sign x its shoelace sum is -1 or less) and touches the window; else 0.
size_t ClipProjectPolygonForSort(const GraphicObject* o, uint32_t start, int sign, RingDepths& depths) {
  if (!ClipProjectPolygon(o, start, &depths)) return 0;
  const std::vector<platform::Point>& points = gWork.polygonPoints;
  if (sign * ShoelaceSum(points.data(), points.size()) > -1) return 0;
  int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
  for (const platform::Point& p : points) {
    minX = std::min(minX, p.x), minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x), maxY = std::max(maxY, p.y);
  }
  return maxX >= 0 && maxY >= 0 && minX <= Width() && minY <= Height() ? points.size() : 0;
}

// Painter's order: farthest first.
bool CompareFaceDepth(const DepthSortEntry& a, const DepthSortEntry& b) {
  if (a.farDepth != b.farDepth) return a.farDepth > b.farDepth;
  return a.nearDepth > b.nearDepth;
}

void DrawPerspectiveReadouts() {
  SetBackgroundColor(gDrawing.backgroundColour);
  SetTextColorIndex(0);
  if (gRender.isobarRings) {
    DrawIsobarRings();
    MovePenTo(0, 82);
    DrawTextFormat("%4.0f Hz", kBandFrequencies[std::clamp(gRender.isobarBand, 0, 6)]);
  }
  const double degrees = 180 / kPi;
  const float* eye = &gView.eyePoint.x;
  const char* labels[3] = {"X: %3.3f", "Y: %3.3f", "Z: %3.3f"};
  for (int i = 0; i < 3; ++i) {
    MovePenTo(0, 16 * i);
    DrawTextFormat(labels[i], double(eye[i]));
  }
  MovePenTo(0, 48);
  DrawTextFormat("Hor. %3.0f\xB0", -(gView.perspectiveAngles[0] + kPi / 2) * degrees);
  MovePenTo(0, 64);
  DrawTextFormat("Ver. %3.0f\xB0", (gView.perspectiveAngles[2] + kPi / 2) * degrees);
  SetBackgroundColor(gDrawing.statusColour);
  SetPenColor(kPerspectiveCrossPen);
  const int cx = int(gView.centreX), cy = int(gView.centreY);
  DrawLine(cx - 5, cy, cx + 6, cy);
  DrawLine(cx, cy - 5, cx, cy + 6);
}

// The outlines of the current object on the page: moves and lines, every
// polygon that IsBackFace calls a back face left out when culling.
void DrawPlotOutlines(bool cull) {
  const ObjectAccessBlock& a = gObjects.access;
  platform::Point start{};
  bool skipping = false;
  for (uint32_t i = 0; i < a.itemCount; ++i) {
    const ObjectItem item = a.items[i];
    if (item.op == kOpAttribute || item.index >= a.vertexCount) continue;
    const platform::Point p = ScreenPointOf(item.index);
    if (item.op == kOpStart) {
      skipping = cull && IsBackFace(i);
      start = p;
      if (!skipping) MovePenTo(p.x, p.y);
    } else if (!skipping && item.op == kOpLineTo) {
      DrawLineTo(p.x, p.y);
    } else if (!skipping && item.op == kOpClose) {
      DrawLineTo(p.x, p.y);
      DrawLineTo(start.x, start.y);
    }
  }
}

// One framed cell of the title block with its text.
void DrawTitleCell(int left, int top, int right, int bottom, const std::string& text, unsigned align, int inset) {
  DrawRectangle({left, top, right, bottom}, 0);
  if (!text.empty())
    DrawStyledText(left + inset, top + 1, right - inset, bottom, text.c_str(),
                   align | platform::kTextVerticalCentre | platform::kTextSingleLine);
}

// The plot header's texts in the lower right corner of the page.
void DrawTitleBlock(const PrintSettings& page) {
  if (page.horizontalSize <= 0 || page.horizontalResolution <= 0) return;
  const double pixelsPerMillimetre = double(page.horizontalResolution) / page.horizontalSize;
  const int cw = int(kTitleBlockMillimetres * pixelsPerMillimetre / kTitleBlockChars);
  const int ch = int(cw * 2.25), row = ch + 2;
  // The frame's right and bottom lines on the page's last column and row.
  const int right = page.horizontalResolution - 1, bottom = page.verticalResolution - 1;
  const int labels = right - kTitleBlockChars * cw, texts = labels + kLabelChars * cw;
  const int frees = texts + kTextChars * cw;
  SetPenColor(0);
  SetTextStyle("Arial", ch, cw, 0, 0, gDrawing.backgroundColour, platform::kBackOpaque);
  for (int r = 0; r < kPlotHeaderRows; ++r) {  // from the bottom row up: the last field first
    const int field = kPlotHeaderRows - 1 - r, y1 = bottom - r * row;
    DrawTitleCell(labels, y1 - row, texts, y1, gPlotHeader.Label(field), platform::kTextLeft, cw / 2);
    DrawTitleCell(texts, y1 - row, frees, y1, gPlotHeader.Text(field), platform::kTextLeft, cw / 2);
  }
  for (int i = 0; i < kPlotHeaderFreeTexts; ++i) {
    const int y1 = bottom - i * 2 * row;
    DrawTitleCell(frees, y1 - 2 * row, right, y1, gPlotHeader.FreeText(kPlotHeaderFreeTexts - 1 - i),
                  platform::kTextCentre, cw / 2);
  }
}

}  // namespace

void DrawAxisCross(int x, int y, double unit) {
  const GraphicObject* cross = gRender.axisCross;
  if (!cross || cross->vertexCount <= kAxisCrossOrigin) return;
  const auto& r = gView.rotation;
  const ObjectVertex& o = cross->vertices[kAxisCrossOrigin];
  const auto pixel = [&](uint32_t i) {
    const ObjectVertex& v = cross->vertices[i];
    const double dx = v.x - o.x, dy = v.y - o.y, dz = v.z - o.z;
    return platform::Point{int32_t(x + unit * (r[0] * dx + r[1] * dy + r[2] * dz)),
                           int32_t(y - unit * (r[3] * dx + r[4] * dy + r[5] * dz))};
  };
  for (uint32_t i = 0; i < cross->itemCount; ++i) {
    const ObjectItem item = cross->items[i];
    if (item.index >= cross->vertexCount) continue;
    const platform::Point p = pixel(item.index);
    if (item.op == kOpStart) MovePenTo(p.x, p.y);
    else if (item.op == kOpLineTo || item.op == kOpClose) DrawLineTo(p.x, p.y);
  }
}

void DrawObjects(GraphicObject* first, GraphicObject* last, int full) {
  if (gView.mode == kViewPerspective) {
    DrawObjectsPerspective(first, last, full);
    return;
  }
  DrawingScope scope;
  if (full) {
    ClearDrawingArea();
    if (gLayers.IsVisible(kGridLayer)) DrawGridLines();
  }
  for (GraphicObject* o = first; o; o = o->next) {
    DrawOneObject(o, full != 0);
    if (o == last) break;
  }
  if (full) {
    DrawPickMarkers();
    DrawAxisLegend();
    DrawDrawingComment();
  }
}

void DrawObjectsPerspective(GraphicObject* first, GraphicObject* last, int full) {
  DrawingScope scope;
  const bool hidden = gDrawing.hiddenFaces != 0;
  // A full redraw with hidden faces paints off-screen and shows the result
  // at once; a partial one draws over what the window shows.
  const bool buffered = hidden && full && ManageBackBuffer(1);
  if (full) ClearDrawingArea();
  std::vector<DepthSortEntry>& faces = gWork.sortList;
  faces.clear();
  for (GraphicObject* o = first; o; o = o->next) {
    if (!(o->state & kStateHiddenMask) && (o->kind & kKindFaceOrSolid) && o->layer != kAudienceLayer &&
        EyeTransformObject(o)) {
      const int sign = o->layer == kLoudspeakerLayer || o->layer == kAuxiliaryLayer ? -1 : 1;
      for (uint32_t i = 0; i < o->itemCount && faces.size() < kMaxSortedFaces; ++i) {
        if (o->items[i].op != kOpStart) continue;
        RingDepths depths;
        if (ClipProjectPolygonForSort(o, i, sign, depths)) faces.push_back({o, i, depths.farDepth, depths.nearDepth});
      }
    }
    if (o == last) break;
  }
  if (hidden) std::stable_sort(faces.begin(), faces.end(), CompareFaceDepth);
  const GraphicObject* current = nullptr;
  for (const DepthSortEntry& face : faces) {
    if (face.object != current) {
      current = face.object;
      const int16_t colour = int16_t(current->colour & 0xFFFF);
      SetPenColor(colour);
      SetBrushColor(current->layer == kRoomLayer          ? kRoomFill
                    : current->layer == kLoudspeakerLayer ? kLoudspeakerFill
                                                          : colour);
    }
    const size_t count = ClipProjectPolygon(face.object, face.startItem, nullptr);
    if (count >= 3) DrawClosedPolyline(gWork.polygonPoints.data(), int(count), hidden ? 1 : 0);
  }
  if (buffered) {
    ManageBackBuffer(2);
    ManageBackBuffer(0);
  }
  MovePenTo(DrawWindow->left, Height() - kCommentStrip);
  SetBrushColor(gDrawing.backgroundColour);
}

void RedrawAllObjects() {
  ViewShowCrosshair(0);
  DrawObjects(gObjects.model.first, gObjects.model.last, -1);
  ViewShowCrosshair(1);
}

int IsBackFace(uint32_t startItem) {
  const ObjectAccessBlock& a = gObjects.access;
  if (!a.object) return 1;
  std::vector<platform::Point>& points = gWork.polygonPoints;
  points.clear();
  const FaceWalk walk = WalkFaceVertices(
      *a.object, startItem, [&](const ObjectVertex& v) { points.push_back(ScreenPointOf(uint32_t(&v - a.vertices))); });
  return ShoelaceSum(points.data(), points.size(), walk == FaceWalk::kClosed) <= 0 ? 1 : 0;
}

void DeselectAllObjects() {
  ViewShowCrosshair(0);
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (!(o->state & kStateSelected)) continue;
    o->state &= ~uint32_t(kStateSelected);
    DrawObjects(o, o, 0);
  }
  ViewShowCrosshair(1);
}

void DrawFaceOutline(GraphicObject* object, uint32_t startItem, int highlight) {
  if (!object || startItem >= object->itemCount) return;
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  const int16_t pen = GetPenColor();
  SetPenColor(highlight == 1 ? gDrawing.pickColour : int16_t(object->colour & 0xFFFF));
  AccessObject(kAccessFillBlock, object);
  ProjectObjectToScreen();
  std::vector<platform::Point>& points = gWork.polygonPoints;
  points.clear();
  WalkFaceVertices(*object, startItem,
                   [&](const ObjectVertex& v) { points.push_back(ScreenPointOf(uint32_t(&v - object->vertices))); });
  if (!points.empty()) {
    points.push_back(points.front());
    DrawPoints(points);
  }
  SetPenColor(pen);
  SelectOutputWindow(previous);
}

uint32_t DrawnVertexCount(const GraphicObject& object) {
  if (object.layer != kLoudspeakerLayer) return object.vertexCount;
  return object.vertexCount >= 2 ? object.vertexCount - 2 : 0;
}

void ObjectScreenExtents(const GraphicObject* object, ScreenExtents& extents) {
  if (object->state & kStateHiddenMask) return;
  // The print region's page stands where the user puts it; it sizes nothing.
  if (object->kind == kKindGroupStart || object->kind == kKindGroupEnd || object->kind == kKindPrintRegion) return;
  const uint32_t count = DrawnVertexCount(*object);
  for (uint32_t i = 0; i < count; ++i) {
    const ScreenPosition p = MapToScreen(object->vertices[i]);
    extents.minX = std::min(extents.minX, p.x);
    extents.minY = std::min(extents.minY, p.y);
    extents.maxX = std::max(extents.maxX, p.x);
    extents.maxY = std::max(extents.maxY, p.y);
  }
}

ScreenExtents ModelScreenExtents() {
  ScreenExtents extents;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) ObjectScreenExtents(o, extents);
  if (extents.minX > extents.maxX) extents.minX = -1, extents.maxX = 1;
  if (extents.minY > extents.maxY) extents.minY = -1, extents.maxY = 1;
  return extents;
}

int ZoomToFit() {
  if (!gObjects.model.first || gView.mode == kViewPerspective) return 0;
  // Measured about the model's origin, so that what the view showed before
  // (a fit to a vertex 1e30 m away, since undone) takes no part.
  gView.originX = gView.originY = 0;
  const ScreenExtents e = ModelScreenExtents();
  const double scale = gView.scale;
  // Each extent is at least what a pixel holds at the largest scale.
  const double least = 1.0 / kMaxScale;
  const double dx = std::max((e.maxX - e.minX) / scale, least), dy = std::max((e.maxY - e.minY) / scale, least);
  const double width = std::max(Width(), 1), height = std::max(Height(), 1);
  const double fitted = std::abs(dy / dx) <= height / width ? width / dx : height / dy;
  gView.originX = float(((e.minX + e.maxX) * 0.5 - gView.centreX) / scale);
  gView.originY = float(-((e.minY + e.maxY) * 0.5 - gView.centreY) / scale);
  gView.scale = std::clamp(float(fitted * 0.95), kMinScale, kMaxScale);
  StoreViewOrigin();
  LayoutAndRedraw();
  return 1;
}

namespace {
// A new cursor figure, the old one erased first (both are XOR).
void ChangeInputMode(int16_t mode) {
  ViewShowCrosshair(0);
  gInput.inputMode = mode;
  ViewShowCrosshair(1);
}
}  // namespace

void ZoomWindow() {
  ChangeInputMode(kInputPickBox);
  WaitForPoint();
  if (!gInput.cancel && !gInput.done) {
    const platform::Point first = gInput.cursorPixel;
    ChangeInputMode(kInputSelectionWindow);
    WaitForPoint();
    if (!gInput.cancel && !gInput.done) {
      const platform::Point second = gInput.cursorPixel;
      ChangeInputMode(kInputCrosshair);
      ZoomToPixelBox(std::min(first.x, second.x), std::min(first.y, second.y), std::max(first.x, second.x),
                     std::max(first.y, second.y));
    }
  }
  ChangeInputMode(kInputCrosshair);
  ClearRequestFlags();
}

void RotateView3DByKey(unsigned key) {
  float& turn = gView.saved3DAngles[0];
  float& tilt = gView.saved3DAngles[2];
  switch (key) {
    case platform::kKeyLeft: turn -= gView.rotationStep; break;
    case platform::kKeyRight: turn += gView.rotationStep; break;
    case platform::kKeyUp: tilt -= gView.rotationStep; break;
    case platform::kKeyDown: tilt += gView.rotationStep; break;
    default: return;
  }
  gView.angles = gView.saved3DAngles;
  BuildViewRotation();
  if (!ZoomToFit()) LayoutAndRedraw();
}

void RotateViewByAngle(int code) {
  float& turn = gView.perspectiveAngles[0];
  float& tilt = gView.perspectiveAngles[2];
  if (code >= 0) {
    turn += float(360 - code) * gView.rotationStep;
    if (turn > 1.570796327f) turn -= float(2 * kPi);
    else if (turn < -4.712388981f) turn += float(2 * kPi);
  } else {
    tilt = std::clamp(tilt + float(-code - 360) * gView.rotationStep, float(-kPi), 0.0f);
  }
  ViewShowCrosshair(0);
  LayoutAndRedraw();  // takes the new angles
  {
    DrawingScope scope;
    DrawPerspectiveReadouts();
  }
  ViewShowCrosshair(1);
}

void ShowPerspectiveReadouts() {
  ViewShowCrosshair(0);
  {
    DrawingScope scope;
    DrawPerspectiveReadouts();
  }
  ViewShowCrosshair(1);
}

void DrawIsobarRings() {
  const GraphicObject* rings = gRender.isobarRings;
  if (!rings || rings->vertexCount < 3 * kIsobarRingVertices) return;
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  std::vector<platform::Point>& points = gWork.polygonPoints;
  for (int ring = 0; ring < 3; ++ring) {
    points.clear();
    for (int i = 0; i < kIsobarRingVertices; ++i) {
      const ObjectVertex& v = rings->vertices[ring * kIsobarRingVertices + i];
      const FisheyePixel p = FisheyeOffsetPixel(v.x, v.y, Width(), Height());
      points.push_back({int32_t(p.x), int32_t(p.y)});
    }
    SetPenColor(kIsobarPens[ring]);
    DrawClosedPolyline(points.data(), int(points.size()), 0);
  }
  SetPenColor(0);
  SelectOutputWindow(previous);
}

void DrawObjectsForPlot(GraphicObject* first, GraphicObject* last) {
  const bool hidden = gDrawing.hiddenFaces != 0;
  if (gLayers.IsVisible(kGridLayer)) DrawGridLines();
  for (GraphicObject* o = first; o; o = o->next) {
    if (!(o->state & kStateHiddenMask)) {
      SetPenColor(o->state & kStateSelected ? gDrawing.pickColour : int16_t(o->colour & 0xFFFF));
      AccessObject(kAccessFillBlock, o);
      ProjectObjectToScreen();
      DrawPlotOutlines((o->layer == kLoudspeakerLayer && !hidden) ||
                       (hidden && (o->kind & kKindFaceOrSolid) && o->layer != kAudienceLayer));
    }
    if (o == last) break;
  }
  const PrintSettings& page = *GetPrintSettings();
  SetPenColor(kLegendPen);
  DrawAxisCross(kPlotAxisCrossCorner, page.verticalResolution - kPlotAxisCrossCorner, kPlotAxisCrossPixels);
  DrawTitleBlock(page);
  SetPenColor(0);
}

void PrintView() {
  ViewShowCrosshair(0);
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  SetPenColor(0);
  DrawRectangle({0, 0, Width() - 1, Height() - 1}, 0);
  {
    WaitCursorScope wait;
    SetPrintLandscape(Width() > Height() ? 1 : 0);
    if (PrintSetupDialog()) PrintViewWindow();
  }
  SelectOutputWindow(previous);
  ViewShowCrosshair(1);
}

void DrawDrawingComment() {
  if (gDrawing.comment.empty()) return;
  const int width = GetClientWidth(), height = GetClientHeight();
  SetDefaultTextStyle();
  DrawStyledText(0, height - kCommentStrip, width, height, gDrawing.comment.c_str(),
                 platform::kTextCentre | platform::kTextSingleLine);
}
