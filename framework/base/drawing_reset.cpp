#include "framework/base/drawing_reset.h"

#include <cmath>

#include "framework/base/framework_windows.h"
#include "framework/base/grid.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"
#include "framework/model/undo_ring.h"

namespace {

DrawingDocument gDocument;

const StateReset kReset([] { SetDrawingDocument({}); });

bool ModelIsModified() { return gDocument.modified && *gDocument.modified != 0; }

}  // namespace

void SetDrawingDocument(const DrawingDocument& document) { gDocument = document; }

void SetDrawingModified() {
  if (gDocument.modified) *gDocument.modified = 1;
}

int ResetDrawing() {
  ResetPlotHeader();
  // The face mode and the node markers stay as their menu items show them.
  const int16_t hiddenFaces = gDrawing.hiddenFaces, nodeMarkers = gDrawing.nodeMarkers;
  ResetViewState();
  gDrawing.hiddenFaces = hiddenFaces;
  gDrawing.nodeMarkers = nodeMarkers;
  gInput.cancel = 0;
  gInput.activeCommand = 0;
  gInput.lastCommand = 0;
  gInput.inputMode = kInputCrosshair;
  gInput.rubberBandMode = 0;
  FreeAllObjects();
  ResetLayers(gLayers);
  FreeGridLines();
  return 1;
}

WindowRecord* SetViewWindow(WindowRecord* record) {
  WindowRecord* previous = DrawWindow;
  if (record && record->window != platform::Window::kNone) DrawWindow = record;
  return previous;
}

void ApplyLayerVisibility() {
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (!gLayers.IsVisible(o->layer)) o->state |= kStateLayerOff;
    else if (o->layer != kShapeLayer) o->state &= ~uint32_t(kStateLayerOff);
  }
  ViewRedrawAll();
}

void PickEyePoint() {
  WaitForPoint();
  if (!gInput.cancel) gView.eyePoint = gInput.cursorPoint;
  ClearRequestFlags();
}

std::array<double, 9> BuildViewPlaneRotation(double angle) {
  std::array<double, 9> m{};
  const double c = std::cos(angle), s = std::sin(angle);
  switch (gView.mode) {
    case kViewXY:
    case kView3D: m[0] = c, m[1] = -s, m[3] = s, m[4] = c; break;
    case kViewYZ: m[3] = c, m[4] = -s, m[6] = s, m[7] = c; break;
    case kViewXZ: m[0] = c, m[1] = -s, m[6] = s, m[7] = c; break;
    default: break;
  }
  return m;
}

void AskToDiscardProject() {
  gInput.cancel = 0;
  if (ModelIsModified() && gObjects.model.first &&
      ShowMessage(kUnsavedMessage, kWarningCaption, kMsgOkCancel | kMsgDefaultButton2) != kIdOk)
    gInput.cancel = 1;
}

void ConfirmDiscardProject() {
  AskToDiscardProject();
  if (!gInput.cancel) ClearUndoRing();
}

void CmdNewDrawing() {
  if (gObjects.model.first) {
    ConfirmDiscardProject();
    if (!gInput.cancel) {
      ViewShowCrosshair(0);
      if (gDocument.newDrawing) gDocument.newDrawing();
      // The new drawing shows in wireframe, as its menu marks say.
      gDrawing.hiddenFaces = 0;
      platform::Menu menu = GetWindowMenu(&MainWindow);
      CheckMenuItemOn(menu, kMenuWireframe);
      CheckMenuItemOff(menu, kMenuHiddenFaces);
      gInput.cursorPoint = {0, 0, 0};
      ViewSelectPlan();
      ViewShowCrosshair(1);
    }
  }
  ClearRequestFlags();
  ViewUpdateTitle();
}
