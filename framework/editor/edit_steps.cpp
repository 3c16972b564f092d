#include "framework/editor/edit_steps.h"

#include <cstring>

#include "framework/base/drawing_reset.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/editor/pointer_input.h"
#include "framework/view/rendering.h"

void SetCommandPrompt(const char* prefix) { gDrawing.prompt = prefix; }

void PickBasePoint() {
  const bool band = gInput.rubberBandOn;
  SetRubberBand(0);
  ShowStatusText("Basepoint :");
  WaitForPoint();
  if (gInput.cancel) return;
  gInput.basePoint = gInput.cursorPoint;
  SetRubberBand(band ? 1 : 0);
}

void PickOffsetPoint(float& dx, float& dy, float& dz) {
  ShowStatusText("Offset-point :");
  WaitForPoint();
  if (gInput.cancel) return;
  dx = gInput.cursorPoint.x - gInput.basePoint.x;
  dy = gInput.cursorPoint.y - gInput.basePoint.y;
  dz = gInput.cursorPoint.z - gInput.basePoint.z;
}

void EraseSelectedObjects() {
  // Drawing them over in the background colour would cut the lines they
  // share with their neighbours (the edges of adjoining faces); a redraw
  // without them keeps those.
  const int16_t skip = gDrawing.skipSelected;
  gDrawing.skipSelected = 1;
  RedrawAllObjects();
  gDrawing.skipSelected = skip;
}

void DuplicateSelectedObjects() {
  GraphicObject* head = gObjects.model.first;
  // Tail to head, each copy put in front: the walk ends at the head it
  // started from and never meets a copy.
  for (GraphicObject* o = gObjects.model.last; o;) {
    GraphicObject* previous = o == head ? nullptr : o->previous;
    if (o->state & kStateSelected) {
      o->state &= ~uint32_t(kStateSelected);
      ShowCrosshair(0);
      DrawObjects(o, o, 0);
      ShowCrosshair(1);
      if (GraphicObject* copy = CloneObject(o)) {
        if (o->dataSize) std::memcpy(copy->data, o->data, o->dataSize);
        copy->state = o->state | kStateSelected | kStateDuplicate;
        copy->layer = uint32_t(uint16_t(gDrawing.currentLayer));
        InsertObjectBefore(copy, gObjects.model.first);
      }
    }
    o = previous;
  }
}

void DeleteSelectedObjects() {
  ShowCrosshair(0);
  for (GraphicObject* o = gObjects.model.first; o;) {
    GraphicObject* next = o->next;
    if (o->state & kStateSelected) FreeObject(o);
    o = next;
  }
  ShowCrosshair(1);
}

uint64_t SelectedPackedSize() {
  uint64_t size = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->state & kStateSelected) size += uint64_t(PackedObjectSize(o));
  return size;
}

bool SelectionFitsCopyBudget() {
  if (SelectedPackedSize() <= GetAvailableMemory()) return true;
  ShowMessage(kCopyBudgetMessage, nullptr, kMsgOk);
  DeselectAllObjects();
  return false;
}

GraphicObject* AllocMarkerObject() { return CreateObject(0, 0, 0); }

void MarkDrawingModified() { SetDrawingModified(); }

void ResetCommandState() {
  ClearRequestFlags();
  SetRubberBand(0);
  SetBaseLine(0);
  SetRubberBandMode(kBandTranslate);
  DeselectAllObjects();
  ClearStatusLine();
}
