// kv's menu rules: which of its items are greyed and which carry a check
// mark, from what the model holds (the plumbing is framework/shell/
// menu_state.h). A command without a handler is always greyed (but Help);
// the others are enabled unless a rule below greys them:
// - with nothing on the room, audience and loudspeaker layers, Zoom All,
//   Zoom Window and Show Last Calulation are greyed;
// - the face list and the reverberation items need room faces or solids,
//   Load Ray File needs them and loudspeakers;
// - Show Last Calulation and Save Calculation need a held calculation and
//   room faces, or audience areas and loudspeakers;
// - Load Calculation needs audience areas;
// - the loudspeaker listing needs loudspeakers.
// Check marks show the layers of the View menu, the face mode, the two snap
// switches and the unit.
#pragma once

#include <map>

#include "design/commands/view_commands.h"
#include "framework/shell/menu_state.h"

struct ViewerMenuStateInput : ViewSwitches {
  // Objects of the model by layer.
  int roomObjects = 0;
  int roomFacesOrSolids = 0;  // room objects that are faces or solids
  int audienceObjects = 0;
  int loudspeakers = 0;

  bool calculationHeld = false;  // a level and time result is held
};

// The state of every command of the registry's (kv's) table, by id.
std::map<int, MenuItemState> ComputeViewerMenuState(const ViewerMenuStateInput& input, const CommandRegistry& registry);
