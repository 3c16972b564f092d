#include "framework/editor/draw_commands.h"

#include <algorithm>
#include <array>
#include <string>

#include "framework/base/drawing_reset.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/vector_font.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/editor/draw_layouts.h"
#include "framework/editor/edit_steps.h"
#include "framework/editor/pointer_input.h"
#include "framework/editor/selection.h"
#include "framework/view/rendering.h"

DrawCommandState gDrawCommands;

namespace {

const StateReset kReset([] { gDrawCommands = DrawCommandState{}; });

constexpr char kLinesPrompt[] = "LINES > Point #";
constexpr char kPolygonPrompt[] = "POLYGON > Point #";
constexpr char kCirclePrompt[] = "CIRCLE > ";
constexpr char kRectanglePrompt[] = "RECTANGLE > ";
constexpr char kTextPrompt[] = "TEXT > ";
constexpr char kCentrePointText[] = "Center point :";
constexpr char kRadiusPointText[] = "Radius point :";
constexpr char kFirstCornerText[] = "1.Point :";
constexpr char kSecondCornerText[] = "2.Point :";
constexpr char kStartPointText[] = "Start-point :";
constexpr char kNoFontMessage[] = "No Font loaded";
constexpr char kSwitchViewMessage[] = "Please switch to XY-, YZ-, or XZ-View ";
constexpr char kSwitchViewCaption[] = "You can\xB4t create a rectangle in 3D";
// A polyline or polygon holds at most this many items.
constexpr uint32_t kMaxFigureItems = 360;
constexpr size_t kTextLength = 80;
constexpr double kDegreesPerRadian = 57.29577951;

// While it is drawn a figure sits off the room layer, so that node snap,
// which looks at the snap layer, never catches it.
uint32_t DrawingLayer() { return gDrawing.currentLayer == 0 ? 1 : uint32_t(gDrawing.currentLayer); }

void BeginCommand(const char* prompt, const char* text) {
  SetCommandPrompt(prompt);
  ShowStatusText(text);
}

// The preview of the figure being drawn follows the cursor from `base`.
void StartPreview(int mode, const ObjectVertex& base) {
  gInput.basePoint = base;
  SetRubberBandMode(mode);
  SetRubberBand(1);
}
void StopPreview() {
  SetRubberBand(0);
  SetRubberBandMode(kBandTranslate);
}

void EndCommand() {
  StopPreview();
  RedrawAllObjects();
  ClearRequestFlags();
  SetCommandPrompt("");
  ClearStatusLine();
}

// The finished figure takes the menu's layer and colour.
void Commit(GraphicObject& object) {
  object.layer = uint32_t(gDrawing.currentLayer);
  object.colour = uint32_t(uint16_t(gDrawing.drawingColour));
  MarkDrawingModified();
}

bool PlaneView() { return gView.mode == kViewXY || gView.mode == kViewYZ || gView.mode == kViewXZ; }

void InViewPlane(Vec3d& u, Vec3d& v, double angle) {
  // Text in the perspective view lies in the plan's plane, as in the
  // rotated 3D view.
  const int16_t mode = gView.mode;
  if (mode == kViewPerspective) gView.mode = kView3D;
  const std::array<double, 9> m = BuildViewPlaneRotation(angle);
  gView.mode = mode;
  u = {m[0], m[3], m[6]};
  v = {m[1], m[4], m[7]};
}

// LINES and POLYGON: points until the input ends, the last vertex trailing
// at the latest point; `closed` keeps the outline closed after each point.
void DrawFigure(const char* prompt, bool closed) {
  GraphicObject* figure = CreatePointBufferObject();
  if (!figure) return;
  if (!AllocPickBuffer(1)) {
    FreeObject(figure);
    return;
  }
  BeginCommand(prompt, "1");
  WaitForPoint();
  if (gInput.cancel || gInput.done) {
    FreeObject(figure);
    FreePickBuffer();
    EndCommand();
    return;
  }
  const ObjectVertex first = gInput.acceptedPoint;
  figure->vertices[0] = figure->vertices[1] = first;
  figure->items[0] = {kOpStart, 0};
  figure->items[1] = {kOpAttribute, 0};
  figure->items[2] = {kOpLineTo, 1};
  figure->vertexCount = 2;
  figure->itemCount = 3;
  figure->kind = kKindLine;
  figure->state = kStateSelected;
  figure->layer = DrawingLayer();
  InsertObjectBefore(figure, gObjects.model.first);
  // The trailing vertex follows the cursor (the node preview moves the one
  // picked node).
  gPicks.nodes = {&figure->vertices[1]};
  StartPreview(kBandMoveNodes, first);
  bool atLimit = true;
  while (figure->itemCount < kMaxFigureItems) {
    ShowStatusText(std::to_string(figure->vertexCount).c_str());
    WaitForPoint();
    if (gInput.cancel) {
      StopPreview();
      FreeObject(figure);
      FreePickBuffer();
      EndCommand();
      return;
    }
    if (gInput.done) {
      atLimit = false;
      break;
    }
    const uint32_t n = figure->vertexCount;
    figure->vertices[n - 1] = figure->vertices[n] = gInput.acceptedPoint;
    if (closed) {
      figure->items[figure->itemCount - 1].op = kOpLineTo;
      figure->items[figure->itemCount++] = {kOpClose, uint16_t(n)};
      figure->kind = kKindFace;
    } else {
      figure->items[figure->itemCount++] = {kOpLineTo, uint16_t(n)};
    }
    figure->vertexCount = n + 1;
    gPicks.nodes = {&figure->vertices[n]};
  }
  StopPreview();
  FreePickBuffer();
  bool kept;
  if (closed) {
    // The face ends at the last click, wherever the cursor went after it.
    const uint32_t n = figure->vertexCount;
    if (!atLimit) figure->vertices[n - 1] = figure->vertices[n - 2];
    kept = FinishPolygon(*figure, !atLimit);
  } else {
    // The polyline ends where the cursor was when the input ended.
    if (!atLimit) figure->vertices[figure->vertexCount - 1] = gInput.cursorPoint;
    kept = FinishPolyline(*figure);
  }
  if (kept) Commit(*figure);
  else FreeObject(figure);
  EndCommand();
}

void CmdDrawLines() { DrawFigure(kLinesPrompt, false); }
void CmdDrawPolygon() { DrawFigure(kPolygonPrompt, true); }

// CIRCLE and RECTANGLE: a first point, refused outside the 2D views, then
// the point that sizes the figure.
void DrawTwoPointFigure(const char* prompt, const char* firstText, const char* secondText, uint32_t vertices,
                        uint32_t items, void (*writeItems)(GraphicObject&), int previewMode,
                        void (*preview)(GraphicObject*, double, double, double)) {
  GraphicObject* figure = CreateObject(0, vertices, items);
  if (!figure) return;
  BeginCommand(prompt, firstText);
  WaitForPoint();
  if (gInput.cancel || gInput.done) {
    FreeObject(figure);
    EndCommand();
    return;
  }
  if (!PlaneView()) {
    ShowMessage(kSwitchViewMessage, kSwitchViewCaption, kMsgOk);
    FreeObject(figure);
    EndCommand();
    return;
  }
  const ObjectVertex first = gInput.acceptedPoint;
  for (uint32_t i = 0; i < vertices; ++i) figure->vertices[i] = first;
  writeItems(*figure);
  figure->kind = kKindFace;
  figure->state = kStateSelected;
  figure->layer = DrawingLayer();
  InsertObjectBefore(figure, gObjects.model.first);
  ShowStatusText(secondText);
  StartPreview(previewMode, first);
  WaitForPoint();
  StopPreview();
  if (gInput.cancel) {
    FreeObject(figure);
    EndCommand();
    return;
  }
  // The figure through the point taken (the click, or the cursor where the
  // input ended).
  preview(figure, 0, 0, 0);
  // A figure without extent is no face.
  const Vec3d area = ComputeFaceAreaVector(*figure, 0);
  if (Dot(area, area) < 1e-12) {
    FreeObject(figure);
    EndCommand();
    return;
  }
  figure->state &= ~uint32_t(kStateSelected);
  Commit(*figure);
  EndCommand();
}

void CmdDrawCircle() {
  const uint32_t n = uint32_t(std::clamp<int>(gDrawing.circleResolution, 3, 360));
  DrawTwoPointFigure(kCirclePrompt, kCentrePointText, kRadiusPointText, n, n + 1, WriteCircleItems, kBandCircle,
                     CirclePreview);
}

void CmdDrawRectangle() {
  DrawTwoPointFigure(kRectanglePrompt, kFirstCornerText, kSecondCornerText, 4, 5, WriteRectangleItems, kBandRectangle,
                     RectanglePreview);
}

void CmdDrawText() {
  if (!HasVectorFont()) {
    ShowMessage(kNoFontMessage, nullptr, kMsgOk);
    return;
  }
  BeginCommand(kTextPrompt, kStartPointText);
  WaitForPoint();
  if (!gInput.cancel && !gInput.done) {
    const ObjectVertex start = gInput.acceptedPoint;
    if (gDrawCommands.textHeight == 0) gDrawCommands.textHeight = 1;
    float height = gDrawCommands.textHeight;
    float degrees = float(gDrawCommands.textAngle * kDegreesPerRadian);
    std::string text;
    const bool typed = TextDialog(height, degrees, text, kTextLength) == 1;
    if (typed && height > kMaxTypedCoordinate) {
      ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk);  // it would reach beyond a typed point
    } else if (typed) {
      gDrawCommands.textHeight = height;
      gDrawCommands.textAngle = degrees / kDegreesPerRadian;
      if (height >= 0.001f) {
        Vec3d u, v;
        InViewPlane(u, v, gDrawCommands.textAngle);
        GraphicObject* object = BuildTextObject(text, ToVec3d(start), height, u, v, uint32_t(gDrawing.currentLayer),
                                                uint32_t(uint16_t(gDrawing.drawingColour)));
        if (object) {
          InsertObjectBefore(object, gObjects.model.first);
          MarkDrawingModified();
        }
      }
    }
  }
  EndCommand();
}

}  // namespace

void BindDrawCommands(CommandRegistry& registry, int idBase) {
  registry.Bind(idBase + kDrawLines, CmdDrawLines);
  registry.Bind(idBase + kDrawPolygon, CmdDrawPolygon);
  registry.Bind(idBase + kDrawCircle, CmdDrawCircle);
  registry.Bind(idBase + kDrawRectangle, CmdDrawRectangle);
  registry.Bind(idBase + kDrawText, CmdDrawText);
}
