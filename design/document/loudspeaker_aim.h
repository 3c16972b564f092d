// Where the loudspeakers aim: the point at which a loudspeaker's axis first
// meets a room face, and the aim-line overlay that shows a line from every
// switched-on loudspeaker to its aim point.
#pragma once

#include <cstdint>

#include "design/acoustics/calc_faces.h"
#include "design/model/loudspeaker.h"
#include "framework/model/layers.h"

// The overlay: one object on kAimLineLayer, in this colour, whose line k runs
// from vertex 2k (a loudspeaker's position) to vertex 2k + 1 (its aim point).
constexpr uint32_t kAimLineColour = 22;
// The overlay's mark among what the user draws on its layer: kind 0. Every
// drawing command gives what it makes a kind of its own (lines 1, faces 8,
// solids 16, text 32), and project files and undo keep the kind, so an
// overlay read back is still known as the program's.
constexpr uint32_t kAimLineOverlayKind = 0;

// The index in `table` of the face that the loudspeaker's axis (a segment of
// 10000 m from its position) meets first ahead of it, with the meeting point
// in `point`; of faces at equal distance the earlier wins. -1 when the axis
// meets no face; `point` is then unchanged.
int FindAimPoint(const CalcFaceTable& table, const Loudspeaker& speaker, ObjectVertex& point);

// Replaces the overlay: frees the old one (and nothing else of its layer),
// rebuilds the calculation face table and, when any switched-on loudspeaker
// aims at a face, puts a new overlay at the head of the model list, hidden
// unless `layerShown` (the aim-line layer is switched on), and redraws. "Insufficient Memory" when
// the overlay cannot be allocated; there is then none.
void RebuildAimLines(bool layerShown);
// RebuildAimLines, shown as the aim-line layer's switch in the layer table says.
void RefreshAimLines();
