#include "design/commands/command_ids.h"
#include "design/commands/view_commands.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/settings_prompts.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/view/view_keys.h"
#include "framework/view/view_panel.h"

namespace {

void SetNodeSnap(int32_t on) {
  gView.nodeSnap = on;
  CheckMenuPair(kMenuNodeSnapOff, kMenuNodeSnapOn, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
}

void SetUnit(uint32_t feet) {
  gUnitFlag = feet;
  ShowAllViewPanelCoordinates();
}

}  // namespace

void SetCoordinateSnap(int32_t on) {
  gView.coordinateSnap = on;
  CheckMenuPair(kMenuCoordinateSnapOff, kMenuCoordinateSnapOn, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
}

void BindOptionCommands(CommandRegistry& r) {
  r.Bind(kCmdNothing, EmptyCommand);
  r.Bind(kCmdCircleSegments, PromptCircleResolution);
  r.Bind(kCmdApplyLayers, ApplyLayerVisibility);
  r.Bind(kCmdNodeSnapOff, [] { SetNodeSnap(0); });
  r.Bind(kCmdNodeSnapOn, [] { SetNodeSnap(1); });
  r.Bind(kCmdNodeSnapDistance, PromptNodeSnapWidth);
  r.Bind(kCmdCoordinateSnapOff, [] { SetCoordinateSnap(0); });
  r.Bind(kCmdCoordinateSnapOn, [] { SetCoordinateSnap(1); });
  r.Bind(kCmdCoordinateSnapDistance, PromptCursorSnap);
  r.Bind(kCmdGridSize, PromptGridSize);
  r.Bind(kCmdUnitMetres, [] { SetUnit(0); });
  r.Bind(kCmdUnitFeet, [] { SetUnit(1); });
}
