#include "framework/view/view_keys.h"

#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/messages.h"

namespace {

// Sets the check marks of an off/on item pair.
void CheckPair(int offItem, int onItem, bool on) {
  platform::Menu menu = GetWindowMenu(&MainWindow);
  CheckMenuItemOn(menu, on ? onItem : offItem);
  CheckMenuItemOff(menu, on ? offItem : onItem);
}

bool IsArrowKey(unsigned key) { return key >= platform::kKeyLeft && key <= platform::kKeyDown; }

// The perspective view's turn and tilt codes of the arrow keys.
int PerspectiveCode(unsigned key) {
  switch (key) {
    case platform::kKeyLeft: return 361;
    case platform::kKeyRight: return 359;
    case platform::kKeyUp: return -361;
    default: return -359;
  }
}

}  // namespace

bool IsViewKey(unsigned key) {
  return (key >= platform::KeyF(1) && key <= platform::KeyF(9)) || key == platform::KeyF(11) || IsArrowKey(key);
}

int HandleViewKey(unsigned key) {
  // Everything drawn while a print job is open would land on its page.
  if (IsPrinting() || !IsViewKey(key)) return 0;
  switch (key) {
    case platform::KeyF(1): SelectViewXY(); return 1;
    case platform::KeyF(2): SelectViewYZ(); return 1;
    case platform::KeyF(3): SelectViewXZ(); return 1;
    case platform::KeyF(4): SelectView3D(); return 1;
    case platform::KeyF(5): ZoomOut(); return 1;
    case platform::KeyF(6): ZoomIn(); return 1;
    case platform::KeyF(7): ZoomToFit(); return 1;
    case platform::KeyF(8):
      gDrawing.hiddenFaces = gDrawing.hiddenFaces ? 0 : 1;
      CheckPair(kMenuWireframe, kMenuHiddenFaces, gDrawing.hiddenFaces != 0);
      RedrawAllObjects();
      return 1;
    case platform::KeyF(9):
      gView.coordinateSnap = gView.coordinateSnap ? 0 : 1;
      CheckPair(kMenuCoordinateSnapOff, kMenuCoordinateSnapOn, gView.coordinateSnap != 0);
      return 1;
    case platform::KeyF(11):
      gView.nodeSnap = gView.nodeSnap ? 0 : 1;
      CheckPair(kMenuNodeSnapOff, kMenuNodeSnapOn, gView.nodeSnap != 0);
      return 1;
    default: break;
  }
  if (!IsArrowKey(key)) return 0;
  if (gView.mode == kView3D) {
    RotateView3DByKey(key);
    return 1;
  }
  if (gView.mode == kViewPerspective) {
    RotateViewByAngle(PerspectiveCode(key));
    return 1;
  }
  return 0;
}
