// Drawing the RT60 window's graph over the current output target: the
// figure of rt60_graph.h for the project's method, laid out for the target's
// client size, in metres or feet as the unit flag says. kdn and kv show it
// in their RT60 windows; the window prints and copies what this drew.
#pragma once

#include "design/acoustics/rt60_graph.h"
#include "design/model/design_tables.h"

// Clears the target, computes the method of `settings` on the design's room
// with and without air absorption and the room's closure, and draws the
// figure: texts, frame and scale, the curve without air absorption and then
// the one with it, each point marked by a filled 4 by 4 square. Returns the
// figure; its `impossible` asks the window for "Impossible input values".
Rt60Figure DrawRt60Graph(const ReverbSettings& settings, const DesignTables& design);
