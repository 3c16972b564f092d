// kdn's own side of the Calculate menu: the calculation options dialog and
// Level + Time (5001) with the result window after a run, RT60 Measurement
// (5013) with the measured times edited first, and Calculate Rays (5020)
// with the reflection windows and the ray file. The menu's bind function
// (design_commands.h) is here; the commands kv shares (the result and RT60
// windows, Load Ray File, the map files, the audio commands) are in
// design/commands.
#pragma once

#include <cstdint>

#include "design/commands/audio_commands.h"
#include "design/commands/calculation_windows.h"
#include "framework/model/graphic_object.h"
#include "framework/shell/command_dispatch.h"

inline constexpr char kCalcOptionsDialog[] = "DIALOG_10";
// The pen a level and time run selects for what it draws.
constexpr int kCalculationPen = 19;

// DIALOG_10 "Calculation options" on the project's calculation options:
// phase relations (101 "Energy", 102 "Octave Bandwidth", 103 "Single
// Frequency"), what of the room takes part (104 "Shading", 105 "1.
// Reflection") and the grid size (301 "Minimum", 302-307 0.25 m to 10 m,
// in feet while the unit flag says so). 1 on "Start" (501), 0 on "Cancel"
// (502), the close box, or when the dialog cannot be shown; the choices
// clicked stay in the options either way.
int ShowCalcOptionsDialog();

// Calculate/Level + Time: with loudspeakers placed, the options dialog, then
// the view fitted and the map computed with its progress window; a finished
// run leaves its result held (the project then saves it) and shows it in
// the result window, a cancelled one leaves none.
void CmdLevelAndTime();

// Calculate/RT60 Measurement: the measured times in the equaliser first;
// on OK the RT60 window in the measured method.
void CmdRt60Measurement();
// The equaliser on the measured times: 1 when the user took the values.
int EditMeasuredTimes(BandValues& measured);

// Calculate/Calculate Rays: "Max.Order : (1 .. 40)", the target point
// ("REFLECTIONS > Target Point"), then the search with its progress window
// and Cancel. The paths found stand in the model while the reflection
// windows show them, may be stored in a ray file ("Store ray calculation to
// file ?") and go again when the command ends.
void CmdCalculateRays();
