// The View and Options families of the design programs, which kdn and kv
// bind alike: zoom all and window, wireframe and hidden faces, the
// loudspeaker aim points, the layers, the grid and the nodes, the eye point
// pick (606, no menu text); circle segments, node and coordinate snap, grid
// size and the unit, with the two items without menu text (503 nothing, 507
// the layer visibility). A program's table decides which of them it has: the
// registry binds only the ids its table holds.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/shell/command_dispatch.h"

void BindViewCommands(CommandRegistry& registry);
void BindOptionCommands(CommandRegistry& registry);

// Options/Coordinate-Snap Off and On (511, 512): the switch, its check
// marks and the view panel's switches.
void SetCoordinateSnap(int32_t on);

// Helpers of the menus: the check marks of an off/on pair and of one item,
// and the folder a file dialog starts in (the remembered one, else the
// start folder).
void CheckMenuPair(int offItem, int onItem, bool on);
void CheckMenuItem(int id, bool on);
void StartDialogIn(const std::string& folder);

// What the check marks of the View and Options items show, for kdn's and
// kv's menu rules: the layers 0 .. 8, the face mode, the node markers, the
// two snap switches and the unit.
struct ViewSwitches {
  std::array<bool, 9> layerShown{};
  bool hiddenFaces = false;
  bool nodeMarkers = false;
  bool coordinateSnap = false;
  bool nodeSnap = false;
  bool feet = false;
};
// The switches as the program holds them now.
ViewSwitches CurrentViewSwitches();
// Whether item `id` carries a check mark; false for any item without one.
bool ViewCheckMark(int id, const ViewSwitches& switches);
