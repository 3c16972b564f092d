// kdn's menu rules: which of its menu items are greyed and which carry a
// check mark, computed from what the model holds and the program's switches
// (the plumbing is framework/shell/menu_state.h). A command without a
// handler is always greyed (but Help); the others are enabled unless a rule
// below greys them:
// - Undo and Redo follow the undo ring;
// - with nothing on the room, audience, loudspeaker and auxiliary layers,
//   Save as, Print, Zoom All and Zoom Window are greyed;
// - the room's edit commands need room objects; the face exports, material
//   commands, audience on faces and the reverberation items need room faces
//   or solids, Calculate Rays and Load Ray File need them and loudspeakers;
// - the audience edit commands and Load Calculation need audience areas,
//   Level + Time needs them and loudspeakers;
// - Show Last Calculation and Save Calculation need a result and room faces
//   or audience areas;
// - the loudspeaker edit commands and exports need loudspeakers, New
//   Loudspeaker a speaker database;
// - the auxiliary edit commands need auxiliary objects;
// - the audio play items need a WAV input and an audio profile;
// - recent project items beyond the entries held are greyed.
// Check marks show the layers of the View menu, the face mode, the node
// markers, the two snap switches and the unit.
#pragma once

#include <array>
#include <map>

#include "design/commands/view_commands.h"
#include "framework/shell/menu_state.h"

struct MenuStateInput : ViewSwitches {
  // Objects of the model by layer.
  int roomObjects = 0;
  int roomFacesOrSolids = 0;  // room objects that are faces or solids
  int audienceObjects = 0;
  int loudspeakers = 0;
  int auxiliaryObjects = 0;

  bool canUndo = false, canRedo = false;
  bool resultPresent = false;    // a level and time result is held
  bool speakerDatabase = false;  // a speaker database is selected
  bool audioReady = false;       // a WAV input and an audio profile are set
  int recentProjects = 0;        // entries of the recent list
};

// The state of every command of kdn's table, by id.
std::map<int, MenuItemState> ComputeMenuState(const MenuStateInput& input, const CommandRegistry& registry);
