#include "framework/editor/selection.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/editor/pointer_input.h"
#include "framework/model/face_geometry.h"
#include "framework/view/projection.h"
#include "framework/view/rendering.h"

SelectionState gSelection;

void ResetSelection() { gSelection = SelectionState{}; }

namespace {

const StateReset kReset(ResetSelection);

constexpr uint32_t kNotOffered = kStateHiddenMask | kStateSelected;
constexpr int16_t kNodeCrossPen = kPickMarkerPen;
constexpr int kNodeCrossHalf = 3;

ScreenRect PickBoxAt(platform::Point p) {
  return {p.x - kPickBoxHalf, p.y - kPickBoxHalf, p.x + kPickBoxHalf, p.y + kPickBoxHalf};
}

bool IsOnCurrentLayer(const GraphicObject* o) { return o->layer == uint32_t(uint16_t(gDrawing.currentLayer)); }

// Projects the object; false when nothing of it lands in `rect`'s reach.
bool ProjectAndOverlap(GraphicObject* object, const ScreenRect& rect) {
  AccessObject(kAccessFillBlock, object);
  ProjectObjectToScreen();
  const ScreenBox& box = gWork.objectBox;
  return box.minX <= box.maxX && DoRectsOverlap({box.minX, box.minY, box.maxX, box.maxY}, rect);
}

platform::Point Pixel(uint32_t vertex) { return {gWork.screenPoints[vertex].x, gWork.screenPoints[vertex].y}; }

// Whether the run first .. last is caught. Group markers (no vertices)
// neither catch nor keep a run from being caught.
bool RunCaught(GraphicObject* first, GraphicObject* last, const ScreenRect& rect, bool inside) {
  bool any = false;
  for (GraphicObject* o = first;; o = o->next) {
    if (o->vertexCount > 0) {
      if (!inside && ObjectTouchesWindow(o, rect)) return true;
      if (inside) {
        if (!ObjectInsideWindow(o, rect)) return false;
        any = true;
      }
    }
    if (o == last) break;
  }
  return any;
}

// Selects what the rectangle catches; the number of objects selected.
int CatchRuns(const ScreenRect& rect, bool window, bool inside) {
  int caught = 0;
  for (GraphicObject* o = gObjects.model.first; o;) {
    GraphicObject* last = FindGroupEnd(o);
    if (!last) last = o;  // an unmatched start marker stands for itself
    GraphicObject* next = last->next;
    if (!(o->state & kNotOffered) && IsOnCurrentLayer(o) && RunCaught(o, last, rect, inside)) {
      for (GraphicObject* m = o;; m = m->next) {
        m->state |= kStateSelected;
        ++caught;
        if (m == last) break;
      }
      DrawObjects(o, last, 0);
      if (!window) break;
    }
    o = next;
  }
  return caught;
}

void DrawNodeCross(platform::Point p) {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  const int16_t pen = GetPenColor();
  SetPenColor(kNodeCrossPen);
  DrawLine(p.x - kNodeCrossHalf, p.y - kNodeCrossHalf, p.x + kNodeCrossHalf, p.y + kNodeCrossHalf);
  DrawLine(p.x - kNodeCrossHalf, p.y + kNodeCrossHalf, p.x + kNodeCrossHalf, p.y - kNodeCrossHalf);
  SetPenColor(pen);
  SelectOutputWindow(previous);
}

// Picks the nodes of the layer inside the rectangle; the number added.
int CatchNodes(const ScreenRect& rect) {
  int added = 0;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (!IsOnCurrentLayer(o) || (o->state & kStateHiddenMask)) continue;
    AccessObject(kAccessFillBlock, o);
    ProjectObjectToScreen();
    for (uint32_t i = 0; i < o->itemCount; ++i) {
      const ObjectItem item = o->items[i];
      if (item.op == kOpAttribute || item.index >= o->vertexCount) continue;
      const platform::Point p = Pixel(item.index);
      ObjectVertex* node = &o->vertices[item.index];
      if (!IsPointInRect(p, rect) || std::find(gPicks.nodes.begin(), gPicks.nodes.end(), node) != gPicks.nodes.end())
        continue;
      gPicks.nodes.push_back(node);
      ++added;
      if (!(o->state & kStateSelected)) {
        o->state |= kStateSelected;
        DrawObjects(o, o, 0);
      }
      DrawNodeCross(p);
    }
  }
  return added;
}

struct HeldFace {
  GraphicObject* object = nullptr;
  uint32_t item = 0;
};

void Hold(HeldFace& held, GraphicObject* object, uint32_t item) {
  held = {object, item};
  gPicks.faceObject = object;
  gPicks.faceItem = item;
  DrawFaceOutline(object, item, 1);
}

// One click of SelectFace at `click`; true when a face was held.
bool PickFaceAt(platform::Point click, HeldFace& held, std::vector<uint32_t>& candidates,
                std::vector<platform::Point>& polygon) {
  bool any = false;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (!IsOnCurrentLayer(o) || (o->state & kStateHiddenMask) || !(o->kind & kKindFaceOrSolid)) continue;
    AccessObject(kAccessFillBlock, o);
    ProjectObjectToScreen();
    const ScreenBox& box = gWork.objectBox;
    if (box.minX > box.maxX || !IsPointInRect(click, {box.minX, box.minY, box.maxX, box.maxY})) continue;
    candidates.clear();
    for (uint32_t i = 0; i < o->itemCount; ++i)
      if (o->items[i].op == kOpStart && !(gDrawing.hiddenFaces && IsBackFace(i))) candidates.push_back(i);
    const size_t n = candidates.size();
    for (size_t i = 0; i < n; ++i) {
      const size_t j = size_t(gSelection.shuffle.Next()) * n / 32768;
      if (i != j) std::swap(candidates[i], candidates[j]);
    }
    for (const uint32_t item : candidates) {
      // Holding a face draws it, which projects its object again: the
      // polygon is gathered from this object's pixels each time.
      AccessObject(kAccessFillBlock, o);
      ProjectObjectToScreen();
      polygon.clear();
      WalkFaceVertices(*o, item, [&](const ObjectVertex& v) { polygon.push_back(Pixel(uint32_t(&v - o->vertices))); });
      if (!IsPointInPolygon(polygon.data(), int(polygon.size()), click.x, click.y)) continue;
      if (!held.object) {
        Hold(held, o, item);
        any = true;
      } else if (held.object != o || held.item != item) {
        DrawFaceOutline(held.object, held.item, 0);
        Hold(held, o, item);
        return true;
      }
    }
  }
  return any;
}

}  // namespace

void SeedFaceShuffle(uint32_t seed) { gSelection.shuffle.Seed(seed); }

int AllocPickBuffer(size_t entries) {
  FreePickBuffer();
  try {
    gPicks.nodes.reserve(entries);
  } catch (const std::bad_alloc&) {
    ShowMessage(kOutOfMemoryMessage, nullptr, kMsgOk);
    return 0;
  }
  gPicks.allocated = true;
  return 1;
}

void FreePickBuffer() { gPicks.Clear(); }

int SelectObjects() {
  if (!gObjects.model.first) return 0;
  SetInputMode(kInputPickBox);
  int count = 0, previous = 0;
  ShowStatusText("Select Objects");
  ClearRequestFlags();
  for (;;) {
    WaitForPoint();
    if (gInput.done || gInput.cancel) break;
    const platform::Point click = gInput.cursorPixel;
    const bool window = gInput.inputMode == kInputSelectionWindow;
    bool inside = false;
    if (window) {
      const platform::Point c = gInput.firstCornerPixel;
      gSelection.rect = {std::min(c.x, click.x), std::min(c.y, click.y), std::max(c.x, click.x),
                         std::max(c.y, click.y)};
      inside = click.x < c.x || click.y < c.y;
      gInput.acceptedPoint = gInput.firstCornerPoint;
    } else {
      gSelection.rect = PickBoxAt(click);
    }
    ShowCrosshair(0);
    count += CatchRuns(gSelection.rect, window, inside);
    ShowCrosshair(1);
    if (count == previous && !window) {
      // A click on empty space: its point is the first corner of a window.
      gInput.firstCornerPoint = gInput.pickedPoint;
      SetInputMode(kInputSelectionWindow);
    } else {
      SetInputMode(kInputPickBox);
    }
    previous = count;
  }
  ClearStatusLine();
  const bool cancelled = gInput.cancel != 0;
  if (cancelled && count) DeselectAllObjects();
  SetInputMode(kInputCrosshair);
  return cancelled ? 0 : count;
}

int SelectNodes() {
  if (!gObjects.model.first || !gPicks.allocated) return 0;
  SetInputMode(kInputPickBox);
  ShowStatusText("Select Nodes");
  ClearRequestFlags();
  const size_t before = gPicks.nodes.size();
  int count = 0;
  for (;;) {
    WaitForPoint();
    if (gInput.done || gInput.cancel) break;
    gSelection.rect = PickBoxAt(gInput.cursorPixel);
    ShowCrosshair(0);
    count += CatchNodes(gSelection.rect);
    ShowCrosshair(1);
  }
  ClearStatusLine();
  const bool cancelled = gInput.cancel != 0;
  if (cancelled) {
    gPicks.nodes.resize(before);
    if (count) DeselectAllObjects();
  }
  SetInputMode(kInputCrosshair);
  return cancelled ? 0 : count;
}

int SelectFace() {
  if (!gObjects.model.first || !gPicks.allocated) return 0;
  std::vector<uint32_t> candidates;
  std::vector<platform::Point> polygon;
  HeldFace held;
  int result = 0;
  ShowStatusText("Select Face");
  ClearRequestFlags();
  for (;;) {
    WaitForPoint();
    if (gInput.done || gInput.cancel) break;
    const platform::Point click = gInput.cursorPixel;
    gSelection.rect = {click.x, click.y, click.x, click.y};
    ShowCrosshair(0);
    if (PickFaceAt(click, held, candidates, polygon)) result = 1;
    ShowCrosshair(1);
  }
  ClearStatusLine();
  if (gInput.cancel) {
    if (held.object) {
      ShowCrosshair(0);
      DrawFaceOutline(held.object, held.item, 0);
      ShowCrosshair(1);
    }
    gPicks.faceObject = nullptr;
    gPicks.faceItem = 0;
    result = 0;
  }
  return result;
}

int ObjectTouchesWindow(GraphicObject* object, const ScreenRect& rect) {
  if (!ProjectAndOverlap(object, rect)) return 0;
  platform::Point start{}, previous{};
  for (uint32_t i = 0; i < object->itemCount; ++i) {
    const ObjectItem item = object->items[i];
    if (item.op == kOpAttribute || item.index >= object->vertexCount) continue;
    const platform::Point p = Pixel(item.index);
    switch (item.op) {
      case kOpStart:
        if (IsPointInRect(p, rect)) return 1;
        start = p;
        break;
      case kOpLineTo:
        if (SegmentTouchesRect(previous.x, previous.y, p.x, p.y, rect)) return 1;
        break;
      case kOpClose:
        if (SegmentTouchesRect(previous.x, previous.y, p.x, p.y, rect)) return 1;
        if (SegmentTouchesRect(p.x, p.y, start.x, start.y, rect)) return 1;
        break;
      default: break;
    }
    previous = p;
  }
  return 0;
}

int ObjectInsideWindow(GraphicObject* object, const ScreenRect& rect) {
  if (!ProjectAndOverlap(object, rect)) return 0;
  for (uint32_t i = 0; i < object->itemCount; ++i) {
    const ObjectItem item = object->items[i];
    if (item.op == kOpAttribute || item.index >= object->vertexCount) continue;
    if (!IsPointInRect(Pixel(item.index), rect)) return 0;
  }
  return 1;
}

GraphicObject* FindGroupEnd(GraphicObject* object) {
  if (!object || object->kind != kKindGroupStart) return object;
  int starts = 0, ends = 0;
  for (GraphicObject* o = object; o; o = o->next) {
    if (o->kind == kKindGroupStart) ++starts;
    else if (o->kind == kKindGroupEnd) ++ends;
    if (starts == ends) return o;
  }
  return nullptr;
}
