// The settings prompts of the Options menu and the view panel, each a
// one-line input (InputLine) showing the current value:
//
//   PromptCursorSnap        "Set Cursor Snap ( 0 .. 1000 ):"  snap step, 0.001 .. 1000 m
//   PromptNodeSnapWidth     "Node Snap Width (1 - 100):"      whole pixels 1 .. 100
//   PromptCircleResolution  "Circle Resolution (3 - 360):"    segments 3 .. 360
//   PromptZoomFactor        "Zoomfactor [%] (0.01 - 100.0):"  view scale 0.01 .. 100
//   PromptGridSize          "Grid size(0.1 - 100) :"          grid step, 0.1 .. 100 m
//   PromptComment           "Comment (80 chars max.):"        the drawing comment
//
// Lengths are shown and typed in feet while the unit flag says so, and
// checked against their range in metres. A value outside its range, or a
// field that holds no number, shows "Invalid entry !" and keeps the old
// value; Cancel keeps it silently, and so does OK on the number as shown (a
// length shown in feet with two decimals keeps its metres). Afterwards the
// snap prompt clears the status line, a new view scale lays the view out
// again, the grid is built again (whatever the answer) and a new comment
// repaints the drawing.
#pragma once

#include "framework/core/geometry.h"  // kInvalidEntryMessage

void PromptCursorSnap();
void PromptNodeSnapWidth();
void PromptCircleResolution();
void PromptZoomFactor();
void PromptGridSize();
void PromptComment();

// The handler of an Options item without a function (503): does nothing.
inline void EmptyCommand() {}
