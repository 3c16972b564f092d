#include "framework/editor/edit_commands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/vector_font.h"
#include "framework/base/view_state.h"
#include "framework/core/byte_codec.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_lines.h"
#include "framework/editor/edit_steps.h"
#include "framework/editor/pointer_input.h"
#include "framework/editor/selection.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"
#include "framework/view/rendering.h"

namespace {

constexpr size_t kMoveNodesPicks = 5400;
constexpr int kChosenLayers = 12;
constexpr size_t kAngleLength = 40;
constexpr double kLeastMirrorLength2 = 1e-6;

// The coordinates of some vertices as they were, put back when a preview
// is cancelled: moving back by the negated offset would leave the rounding
// of every step behind.
class VertexBackup {
 public:
  void SaveSelectedObjects() {
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->state & kStateSelected)
        for (uint32_t i = 0; i < o->vertexCount; ++i) Save(&o->vertices[i]);
  }
  void SavePickedNodes() {
    for (ObjectVertex* node : gPicks.nodes) Save(node);
  }
  void Restore() const {
    for (const auto& [vertex, value] : saved_) *vertex = value;
  }

 private:
  void Save(ObjectVertex* vertex) { saved_.emplace_back(vertex, *vertex); }
  std::vector<std::pair<ObjectVertex*, ObjectVertex>> saved_;
};

template <class F>
void ForSelected(F f) {
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->state & kStateSelected) f(o);
}

// Faces and solids turned round after a reflection, so that their normals
// keep the side they had (lines and other kinds keep their order).
void ReverseFaces(GraphicObject* o) {
  if (o->kind == kKindFace || o->kind == kKindSolid) ReverseAllFaces(*o);
}

// Every vertex of the selection mapped, the objects taken off the screen
// before and drawn again after.
template <class F>
void TransformSelection(F map) {
  EraseSelectedObjects();
  ForSelected([&](GraphicObject* o) {
    for (uint32_t i = 0; i < o->vertexCount; ++i) o->vertices[i] = ToVertex(map(ToVec3d(o->vertices[i])));
  });
  DeselectAllObjects();
}

// Waits for the base point of TURN and SCALE (no preview); false on cancel.
bool PickPivot(Vec3d& pivot) {
  ShowStatusText("Basepoint :");
  WaitForPoint();
  if (gInput.cancel) return false;
  pivot = ToVec3d(gInput.cursorPoint);
  return true;
}

// The rotation of TURN by `angle` about the axis perpendicular to the view.
std::array<double, 9> TurnMatrix(double angle) {
  double a = 0, b = 0, c = 0;  // about z, x and y
  switch (gView.mode) {
    case kViewXY:
    case kView3D: a = -angle; break;
    case kViewYZ: b = -angle; break;
    case kViewXZ: c = angle; break;
    default: break;
  }
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cc = std::cos(c),
               sc = std::sin(c);
  return {cc * ca,
          ca * sc * sb + sa * cb,
          sa * sb - ca * sc * cb,  //
          -cc * sa,
          ca * cb - sa * sc * sb,
          sa * sc * cb + ca * sb,  //
          sc,
          -cc * sb,
          cc * cb};
}

// The copies of COPY and MIRROR follow the cursor from the base point to
// the offset point; false (the copies deleted) on cancel.
bool PlaceCopies() {
  DuplicateSelectedObjects();
  SetRubberBand(1);
  float dx = 0, dy = 0, dz = 0;
  PickOffsetPoint(dx, dy, dz);
  const bool cancelled = gInput.cancel != 0;
  SetRubberBand(0);
  if (cancelled) DeleteSelectedObjects();
  return !cancelled;
}

void InsertAfter(GraphicObject* object, GraphicObject* position) {
  if (position->next) InsertObjectBefore(object, position->next);
  else AppendObject(object);
}

GraphicObject* NewMarker(uint32_t kind, uint32_t layer) {
  GraphicObject* marker = AllocMarkerObject();
  if (!marker) return nullptr;
  marker->kind = kind;
  marker->state = kStateSelected;
  marker->layer = layer;
  return marker;
}

// ---- MAKEFONT ----

// A glyph coordinate: 7 bits of whole font units, 1000 model units each.
uint16_t FontUnits(double offset) { return uint16_t(int(std::trunc(offset / 1000)) & 0x7F); }

uint16_t StrokeWord(uint16_t op, uint16_t x, uint16_t y) { return uint16_t(op | (x << 2) | (y << 9)); }

struct MadeFont {
  std::array<int16_t, kFontCharacterCodes> first;
  std::vector<uint16_t> strokes;
  MadeFont() { first.fill(-1); }
};

// The strokes of the selected objects for `code`, drawn from the origin
// (ox, oy), then the end-of-glyph word with the advance.
void AddGlyph(MadeFont& font, unsigned char code, int ox, int oy) {
  font.first[code] = int16_t(font.strokes.size());
  int widest = 0;
  ForSelected([&](GraphicObject* o) {
    for (uint32_t i = 0; i < o->itemCount; ++i) {
      const ObjectItem item = o->items[i];
      // A face's material item names no vertex.
      if (item.op == kOpAttribute || item.index >= o->vertexCount) continue;
      const ObjectVertex& v = o->vertices[item.index];
      const int x = int(std::trunc((double(v.x) - ox) / 1000));
      widest = std::max(widest, x);
      font.strokes.push_back(StrokeWord(item.op, FontUnits(double(v.x) - ox), FontUnits(double(v.y) - oy)));
    }
  });
  font.strokes.push_back(StrokeWord(kStrokeEndGlyph, uint16_t((widest + 2) & 0x7F), 0));
}

// The font block: the header of the stroke font, then the strokes.
bool WriteMadeFont(const MadeFont& font) {
  constexpr uint16_t kHeaderWord = 6850;
  SafeFileWriter out(kMadeFontFile);
  if (!out.IsOpen()) return false;
  out.U16(kHeaderWord);
  out.U16(kHeaderWord);
  out.U16(2);
  out.U16(uint16_t(font.strokes.size()));
  for (int16_t first : font.first) out.I16(first);
  out.Zeros(kFontStrokesOffset - kFontIndexOffset - 2 * kFontCharacterCodes);
  for (uint16_t word : font.strokes) out.U16(word);
  return out.ok() && out.Commit();
}

}  // namespace

void BindEditCommands(CommandRegistry& r, int base) {
  r.Bind(base + kEditDelete, CmdDelete);
  r.Bind(base + kEditMove, CmdMove);
  r.Bind(base + kEditCopy, CmdCopy);
  r.Bind(base + kEditTurn, CmdTurn);
  r.Bind(base + kEditScale, CmdScale);
  r.Bind(base + kEditMirror, CmdMirror);
  r.Bind(base + kEditMoveNodes, CmdMoveNodes);
  BindGroupCommands(r, base);
}

void BindGroupCommands(CommandRegistry& r, int base) {
  r.Bind(base + kEditBuildGroup, CmdBuildGroup);
  r.Bind(base + kEditSplitGroup, CmdSplitGroup);
}

void CmdDelete() {
  SetCommandPrompt("DELETE > ");
  if (SelectObjects()) {
    EraseSelectedObjects();
    DeleteSelectedObjects();
  }
  MarkDrawingModified();
  ResetCommandState();
}

void CmdMove() {
  SetCommandPrompt("MOVE > ");
  if (SelectObjects() > 0) {
    PickBasePoint();
    if (!gInput.cancel) {
      VertexBackup backup;
      backup.SaveSelectedObjects();
      EraseSelectedObjects();
      SetRubberBand(1);
      float dx = 0, dy = 0, dz = 0;
      PickOffsetPoint(dx, dy, dz);
      const bool cancelled = gInput.cancel != 0;
      SetRubberBand(0);
      if (cancelled) backup.Restore();
      else MarkDrawingModified();
    }
  }
  DeselectAllObjects();
  ResetCommandState();
}

void CmdCopy() {
  SetCommandPrompt("COPY > ");
  if (SelectObjects() > 0 && SelectionFitsCopyBudget()) {
    PickBasePoint();
    if (!gInput.cancel && PlaceCopies()) MarkDrawingModified();
    DeselectAllObjects();
  }
  ResetCommandState();
}

void CmdMirror() {
  SetCommandPrompt("MIRROR > ");
  if (SelectObjects() > 0 && SelectionFitsCopyBudget()) {
    PickBasePoint();
    if (!gInput.cancel) {
      DuplicateSelectedObjects();
      SavePreviewStart();
      SetRubberBandMode(kBandMirror);
      SetRubberBand(1);
      float dx = 0, dy = 0, dz = 0;
      PickOffsetPoint(dx, dy, dz);
      // No line in the 3D views or between two points together: copies on
      // their originals with their normals turned would only stand in the way.
      double ax = 0, ay = 0, az = 0;
      ViewPlaneOffset(ax, ay, az);
      const bool made = !gInput.cancel && ax * ax + ay * ay + az * az > kLeastMirrorLength2;
      SetRubberBand(0);
      SetRubberBandMode(kBandTranslate);
      ForgetPreviewStart();
      if (made) {
        ForSelected(ReverseFaces);
        MarkDrawingModified();
      } else {
        DeleteSelectedObjects();
      }
    }
    DeselectAllObjects();
  }
  ResetCommandState();
}

void CmdTurn() {
  SetCommandPrompt("TURN >");
  Vec3d pivot;
  std::string text = "0";
  if (SelectObjects() > 0 && PickPivot(pivot) && InputLine("Angle [deg] : ", text, kAngleLength, 1)) {
    double degrees = 0;  // text that is no number turns nothing
    ReadTypedNumber(text, degrees);
    const std::array<double, 9> m = TurnMatrix(degrees * kPi / 180);
    TransformSelection([&](Vec3d v) {
      const Vec3d d = v - pivot;
      return pivot + Vec3d{m[0] * d.x + m[1] * d.y + m[2] * d.z, m[3] * d.x + m[4] * d.y + m[5] * d.z,
                           m[6] * d.x + m[7] * d.y + m[8] * d.z};
    });
    MarkDrawingModified();
  }
  ResetCommandState();
}

void CmdScale() {
  SetCommandPrompt("SCALE > ");
  Vec3d base;
  if (SelectObjects() > 0 && PickPivot(base)) {
    // Factors are no lengths: shown and read as typed whatever the unit.
    const uint32_t unit = gUnitFlag;
    gUnitFlag = 0;
    double f[3] = {1, 1, 1};
    const int ok = PointAbsoluteDialog(f[0], f[1], f[2], "Factors X,Y,Z :");
    gUnitFlag = unit;
    const auto scaled = [&](Vec3d v) {
      return Vec3d{base.x + (v.x - base.x) * f[0], base.y + (v.y - base.y) * f[1], base.z + (v.z - base.z) * f[2]};
    };
    bool reachable = true;
    ForSelected([&](const GraphicObject* o) {
      for (uint32_t i = 0; i < o->vertexCount; ++i) {
        const Vec3d v = scaled(ToVec3d(o->vertices[i]));
        reachable = reachable && IsTypedCoordinate(v.x) && IsTypedCoordinate(v.y) && IsTypedCoordinate(v.z);
      }
    });
    const bool flattens = f[0] == 0 || f[1] == 0 || f[2] == 0;  // the faces into lines
    if (ok && (flattens || !reachable)) {
      ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk);
    } else if (ok) {
      const bool mirrored = f[0] * f[1] * f[2] < 0;
      if (mirrored) ForSelected(ReverseFaces);
      TransformSelection(scaled);
      MarkDrawingModified();
    }
  }
  ResetCommandState();
}

void CmdMoveNodes() {
  if (!AllocPickBuffer(kMoveNodesPicks)) return;
  SetCommandPrompt("MOVE NODES >");
  const int16_t markers = gDrawing.nodeMarkers;
  gDrawing.nodeMarkers = 1;
  RedrawAllObjects();
  const int picked = SelectNodes();
  bool moving = picked > 0 && !gInput.cancel;
  if (moving) {
    ClearRequestFlags();
    PickBasePoint();
    moving = !gInput.cancel;
  }
  if (moving) {
    VertexBackup backup;
    backup.SavePickedNodes();
    EraseSelectedObjects();
    SetRubberBandMode(kBandMoveNodes);
    SetRubberBand(1);
    float dx = 0, dy = 0, dz = 0;
    PickOffsetPoint(dx, dy, dz);
    const bool cancelled = gInput.cancel != 0;
    SetRubberBand(0);
    SetRubberBandMode(kBandTranslate);
    if (cancelled) backup.Restore();
    else MarkDrawingModified();
  } else {
    DeselectAllObjects();
  }
  FreePickBuffer();
  gDrawing.nodeMarkers = markers;
  ResetCommandState();
  RedrawAllObjects();
}

void CmdBuildGroup() {
  SetCommandPrompt("BUILD GROUP > ");
  if (SelectObjects() >= 2 && !gInput.cancel) {
    GraphicObject *first = nullptr, *last = nullptr;
    ForSelected([&](GraphicObject* o) {
      if (!first) first = o;
      last = o;
    });
    GraphicObject* start = NewMarker(kKindGroupStart, first->layer);
    GraphicObject* end = start ? NewMarker(kKindGroupEnd, uint32_t(uint16_t(gDrawing.currentLayer))) : nullptr;
    if (start && end) {
      InsertObjectBefore(start, first);
      InsertAfter(end, last);
      // The group, markers included, becomes the first run of the list.
      std::vector<GraphicObject*> group;
      ForSelected([&](GraphicObject* o) { group.push_back(o); });
      for (GraphicObject* o : group) UnlinkObject(o);
      for (auto it = group.rbegin(); it != group.rend(); ++it) {
        if (gObjects.model.first) InsertObjectBefore(*it, gObjects.model.first);
        else AppendObject(*it);
      }
      MarkDrawingModified();
    } else {
      FreeObject(start);
    }
  }
  DeselectAllObjects();
  ResetCommandState();
}

void CmdSplitGroup() {
  SetCommandPrompt("SPLIT GROUP > ");
  if (SelectObjects() > 0 && !gInput.cancel) {
    int starts = 0, ends = 0;
    GraphicObject *firstStart = nullptr, *lastEnd = nullptr;
    for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
      if (!(o->state & kStateSelected)) continue;
      if (o->kind == kKindGroupStart && starts++ == 0) firstStart = o;
      if (o->kind == kKindGroupEnd) {
        ++ends;
        lastEnd = o;
      }
      if (starts > 0 && starts == ends) {
        FreeObject(firstStart);
        FreeObject(lastEnd);
        MarkDrawingModified();
        break;
      }
    }
  }
  DeselectAllObjects();
  ResetCommandState();
}

void CmdChangeLayer() {
  SetCommandPrompt("CHANGE LAYER >");
  int layer = gDrawing.currentLayer;
  if (SelectObjects() > 0 && !gInput.cancel && ChooseLayer(layer) == 1 && layer >= 0 && layer < kChosenLayers) {
    EraseSelectedObjects();
    const bool visible = gLayers.IsVisible(uint32_t(layer));
    ForSelected([&](GraphicObject* o) {
      o->layer = uint32_t(layer);
      if (!visible) o->state |= kStateLayerOff;
    });
    DeselectAllObjects();
    MarkDrawingModified();
  }
  ResetCommandState();
}

void CmdMultiCopy() {
  SetCommandPrompt("MULTICOPY >");
  if (SelectObjects() > 0 && SelectionFitsCopyBudget()) {
    PickBasePoint();
    // Each pass copies the copies just placed, from where they stand.
    while (!gInput.cancel && !gInput.done && SelectionFitsCopyBudget()) {
      DuplicateSelectedObjects();
      SetRubberBand(1);
      float dx = 0, dy = 0, dz = 0;
      PickOffsetPoint(dx, dy, dz);
      SetRubberBand(0);
      if (gInput.cancel || gInput.done) DeleteSelectedObjects();
      else MarkDrawingModified();
    }
    DeselectAllObjects();
  }
  ResetCommandState();
}

void CmdMeasure() {
  SetCommandPrompt("Measure area & volume : ");
  if (SelectObjects() > 0) {
    float area = 0, volume = 0;
    ForSelected([&](GraphicObject* o) {
      double a = 0, v = 0;
      ObjectAreaVolume(*o, a, v);
      area += float(a);
      volume += float(v);
    });
    DeselectAllObjects();
    const std::string text = "A : " + FormatNumber("%6.0f", area) + " V : " + FormatNumber("%6.0f", volume);
    ShowMessage(text.c_str(), "", kMsgOk);
  }
  ClearRequestFlags();
  ClearStatusLine();
}

void CmdMakeFont() {
  SetCommandPrompt("MAKEFONT > ");
  MadeFont font;
  for (;;) {
    std::string character;
    // Cancel ends the builder without a file (a prompt that cannot show
    // must not keep asking).
    if (!InputLine("MAKEFONT > ", character, 2, 0)) {
      ResetCommandState();
      return;
    }
    if (character.empty()) continue;
    const auto code = static_cast<unsigned char>(character[0]);
    if (code == 255) break;
    if (SelectObjects() > 0) {
      ShowStatusText("Character Offset :");
      WaitForPoint();
      if (!gInput.cancel) {
        const size_t before = font.strokes.size();
        AddGlyph(font, code, int(gInput.cursorPoint.x), int(gInput.cursorPoint.y));
        if (font.strokes.size() > size_t(INT16_MAX)) {
          // The indexes are 16-bit: the font is full without this glyph.
          font.strokes.resize(before);
          font.first[code] = -1;
          ShowMessage(kInsufficientMemoryMessage, nullptr, kMsgOk);
        }
      }
    }
    ResetCommandState();
  }
  if (!WriteMadeFont(font)) ShowMessage(kWriteFailedMessage, nullptr, kMsgOk);
  ResetCommandState();
}
