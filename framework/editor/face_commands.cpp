#include "framework/editor/face_commands.h"

#include <string>
#include <vector>

#include "framework/base/framework_dialogs.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_lines.h"
#include "framework/editor/edit_steps.h"
#include "framework/editor/pointer_input.h"
#include "framework/editor/selection.h"
#include "framework/model/face_cutting.h"
#include "framework/model/solid_building.h"
#include "framework/view/rendering.h"

namespace {

constexpr char kExtrudePrompt[] = "EXTRUDE >";
constexpr char kRotatePrompt[] = "ROTATE >";
constexpr char kDismantlePrompt[] = "DISMANTLE SOLID > ";
constexpr char kAssemblePrompt[] = "ASSEMBLE SOLID > ";
constexpr char kInsertNodesPrompt[] = "INSERT NODES > ";
constexpr char kSplitFacePrompt[] = "SPLIT FACE >";
constexpr char kInvertFacePrompt[] = "INVERT FACE > ";
constexpr char kDeleteFacePrompt[] = "DELETE FACE > ";

constexpr char kPivotText[] = "Basepoint :";
constexpr char kAngleTitle[] = "Rotation angle [deg] :";
constexpr char kSegmentsTitle[] = "Amount of segments :";
constexpr char kLineFirstText[] = "Intersection line, 1st point";
constexpr char kLineSecondText[] = "Intersection line, 2nd point";
constexpr char kLineSecondOfTwoText[] = "Intersection line, 2nd point, max. 2 intersections";

constexpr char kTooBigForExtrusionMessage[] = "Object too big for extrusion";
constexpr char kTooManySegmentsMessage[] = "Object too big or too many segments";
constexpr char kNoIntersectionIn3DMessage[] = "Can\xB4t calculate intersection in 3D-view";
constexpr char kNoIntersectionMessage[] = "No intersection found, operation cancelled";
constexpr char kOneIntersectionMessage[] = "Only 1 intersection found, operation cancelled";
constexpr size_t kInputLength = 40;
// A face pick holds its object and its start item.
constexpr size_t kFacePickEntries = 2;

void Tell(const char* message) { ShowMessage(message, nullptr, kMsgOk); }

// The plane of the current view for the line commands; -1 in the 3D views.
int ViewPlane() { return gView.mode <= kViewXZ ? gView.mode : -1; }

void EndCommand() {
  ResetCommandState();
  RedrawAllObjects();
}

Vec3d Picked() { return ToVec3d(gInput.acceptedPoint); }

}  // namespace

int PickIntersectionLine(int variant, Vec3d& p1, Vec3d& p2) {
  ShowStatusText(kLineFirstText);
  WaitForPoint();
  if (gInput.cancel || gInput.done) return 0;
  p1 = Picked();
  SetBaseLine(1);
  ShowStatusText(variant == 0 ? kLineSecondOfTwoText : kLineSecondText);
  WaitForPoint();
  SetBaseLine(0);
  if (gInput.cancel || gInput.done) return 0;
  p2 = Picked();
  // The line stays on the screen until the command redraws.
  GraphicObject* line = CreateObject(0, 2, 2);
  if (line) {
    line->vertices[0] = ToVertex(p1);
    line->vertices[1] = ToVertex(p2);
    line->items[0] = {kOpStart, 0};
    line->items[1] = {kOpLineTo, 1};
    line->kind = kKindLine;
    line->colour = uint32_t(gDrawing.pickColour);
    DrawObjects(line, line, 0);
    ObjectList none;
    FreeObjectInList(line, none);
  }
  return 1;
}

namespace {

void CmdExtrude() {
  SetCommandPrompt(kExtrudePrompt);
  if (SelectObjects() > 0 && !gInput.cancel) {
    PickBasePoint();
    float dx = 0, dy = 0, dz = 0;
    if (!gInput.cancel && !gInput.done) PickOffsetPoint(dx, dy, dz);
    if (!gInput.cancel && !gInput.done && (dx != 0 || dy != 0 || dz != 0)) {
      if (ExtrudeSelectedObjects(gObjects.model, {dx, dy, dz}) == SolidBuild::kTooBig) Tell(kTooBigForExtrusionMessage);
      MarkDrawingModified();
    }
  }
  EndCommand();
}

void CmdRotate() {
  SetCommandPrompt(kRotatePrompt);
  if (SelectObjects() > 0 && !gInput.cancel) {
    ShowStatusText(kPivotText);
    WaitForPoint();
    RotateSweep sweep;
    sweep.pivot = Picked();
    std::string angleText = "360";
    if (!gInput.cancel && !gInput.done && InputLine(kAngleTitle, angleText, kInputLength, 1)) {
      double angle = 0;
      ReadTypedNumber(angleText, angle);
      std::string segmentText = FormatNumber("%3.0f", std::abs(angle / 10));
      if (InputLine(kSegmentsTitle, segmentText, kInputLength, 1)) {
        if (!ReadRotateSweep(angleText, segmentText, gDrawing.circleResolution, sweep)) {
          Tell(kInvalidEntryMessage);
        } else if (ViewPlane() >= 0) {
          sweep.plane = ViewPlane();
          if (RotateSelectedObjects(gObjects.model, sweep) == SolidBuild::kTooBig) Tell(kTooManySegmentsMessage);
          MarkDrawingModified();
        }
      }
    }
  }
  EndCommand();
}

void CmdDismantleSolid() {
  SetCommandPrompt(kDismantlePrompt);
  if (SelectObjects() > 0 && !gInput.cancel) {
    std::vector<GraphicObject*> solids;
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if ((o->state & kStateSelected) && o->kind == kKindSolid) solids.push_back(o);
    for (GraphicObject* solid : solids) DismantleSolid(solid, gObjects.model);
    if (!solids.empty()) MarkDrawingModified();
  }
  EndCommand();
}

void CmdAssembleSolid() {
  SetCommandPrompt(kAssemblePrompt);
  if (SelectObjects() > 0 && !gInput.cancel && AssembleSolid(gObjects.model, uint32_t(gDrawing.currentLayer)))
    MarkDrawingModified();
  EndCommand();
}

void CmdInsertNodes() {
  SetCommandPrompt(kInsertNodesPrompt);
  const int16_t nodes = gDrawing.nodeMarkers;
  gDrawing.nodeMarkers = 1;
  RedrawAllObjects();
  Vec3d p1, p2;
  if (SelectObjects() > 0 && !gInput.cancel && PickIntersectionLine(1, p1, p2)) {
    if (ViewPlane() < 0) Tell(kNoIntersectionIn3DMessage);
    else if (InsertNodes(gObjects.model, p1, p2, ViewPlane()) > 0) MarkDrawingModified();
  }
  gDrawing.nodeMarkers = nodes;
  EndCommand();
}

// The face a SelectFace pick holds; false when none was chosen.
bool PickFace(GraphicObject*& object, uint32_t& item) {
  if (!AllocPickBuffer(kFacePickEntries)) return false;
  const bool chosen = SelectFace() == 1 && gPicks.faceObject;
  object = gPicks.faceObject;
  item = gPicks.faceItem;
  FreePickBuffer();
  return chosen;
}

void CmdSplitFace() {
  SetCommandPrompt(kSplitFacePrompt);
  GraphicObject* object = nullptr;
  uint32_t item = 0;
  Vec3d p1, p2;
  if (PickFace(object, item) && PickIntersectionLine(0, p1, p2)) {
    if (ViewPlane() < 0) {
      Tell(kNoIntersectionIn3DMessage);
    } else {
      switch (SplitFace(gObjects.model, object, item, p1, p2, ViewPlane())) {
        case FaceSplit::kSplit: MarkDrawingModified(); break;
        case FaceSplit::kNoIntersection: Tell(kNoIntersectionMessage); break;
        case FaceSplit::kOneIntersection: Tell(kOneIntersectionMessage); break;
        case FaceSplit::kNoMemory: Tell(kOutOfMemoryMessage); break;
      }
    }
  }
  EndCommand();
}

void CmdInvertFace() {
  SetCommandPrompt(kInvertFacePrompt);
  GraphicObject* object = nullptr;
  uint32_t item = 0;
  if (PickFace(object, item)) {
    ReverseFacePolygon(*object, item);
    MarkDrawingModified();
  }
  EndCommand();
}

void CmdDeleteFace() {
  SetCommandPrompt(kDeleteFacePrompt);
  GraphicObject* object = nullptr;
  uint32_t item = 0;
  if (PickFace(object, item) && DeleteFace(gObjects.model, object, item)) MarkDrawingModified();
  EndCommand();
}

}  // namespace

void BindFaceCommands(CommandRegistry& registry, int idBase) {
  registry.Bind(idBase + kFaceExtrude, CmdExtrude);
  registry.Bind(idBase + kFaceRotate, CmdRotate);
  registry.Bind(idBase + kFaceDismantleSolid, CmdDismantleSolid);
  registry.Bind(idBase + kFaceAssembleSolid, CmdAssembleSolid);
  registry.Bind(idBase + kFaceInsertNodes, CmdInsertNodes);
  registry.Bind(idBase + kFaceSplit, CmdSplitFace);
  registry.Bind(idBase + kFaceInvert, CmdInvertFace);
  registry.Bind(idBase + kFaceDelete, CmdDeleteFace);
}
