#include "framework/editor/pointer_input.h"

#include <cmath>

#include "framework/base/framework_dialogs.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/view/view_keys.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/messages.h"

namespace {

// The typed point becomes the cursor point and counts as a click there.
void TakeTypedPoint(const ObjectVertex& point) {
  gInput.cursorPoint = point;
  ViewShowCrosshair(0);
  switch (gView.mode) {
    case kViewXY:
      gInput.cursorPixel = {WorldToScreen(point.x, kAxisHorizontal), WorldToScreen(point.y, kAxisVertical)};
      break;
    case kViewYZ:
      gInput.cursorPixel = {WorldToScreen(point.y, kAxisHorizontal), WorldToScreen(point.z, kAxisVertical)};
      break;
    case kViewXZ:
      gInput.cursorPixel = {WorldToScreen(point.x, kAxisHorizontal), WorldToScreen(point.z, kAxisVertical)};
      break;
    default: break;
  }
  ViewShowCrosshair(1);
  SendViewPanelCommand(kPanelRefreshCoordinates);
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
  if (key == 'P') {
    double distance = 0, angle = 0;
    if (!PointPolarDialog(distance, angle)) return;
    const ObjectVertex d = PolarOffset(distance, angle);
    TakeTypedPoint({last.x + d.x, last.y + d.y, last.z + d.z});
    return;
  }
  const bool relative = key == 'R';
  double x = relative ? 0 : last.x, y = relative ? 0 : last.y, z = relative ? 0 : last.z;
  if (!PointAbsoluteDialog(x, y, z, relative ? "Point relative :" : "Point absolute :")) return;
  if (relative) TakeTypedPoint({float(last.x + x), float(last.y + y), float(last.z + z)});
  else TakeTypedPoint({float(x), float(y), float(z)});
}

}  // namespace

void TrackMousePosition(int x, int y) {
  gInput.cursorPixel = {x, y};
  ObjectVertex& p = gInput.cursorPoint;
  switch (gView.mode) {
    case kViewXY:
      p.x = ScreenToWorld(x, kAxisHorizontal);
      p.y = ScreenToWorld(y, kAxisVertical);
      break;
    case kViewYZ:
      p.y = ScreenToWorld(x, kAxisHorizontal);
      p.z = ScreenToWorld(y, kAxisVertical);
      break;
    case kViewXZ:
      p.x = ScreenToWorld(x, kAxisHorizontal);
      p.z = ScreenToWorld(y, kAxisVertical);
      break;
    default: return;
  }
  ViewShowCrosshair(1);
  SendViewPanelCommand(kPanelRefreshCoordinates);
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
