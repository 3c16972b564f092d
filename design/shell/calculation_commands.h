// The window side of the Calculate menu: the calculation options dialog and
// Level + Time (5001), the RT60 window (5010-5013), Calculate Rays (5020)
// with the reflection windows and the ray file, Load Ray File (5021), the
// audio commands (5030 .. 5034, audio_commands.cpp), and Show Last, Save
// and Load Calculation (5101-5103) with the result's description; the
// result window after a run, a load and 5101, and its search at a clicked
// point. The menu's bind function (design_commands.h) is here.
#pragma once

#include <cstdint>

#include "design/windows/ray_windows.h"
#include "framework/model/graphic_object.h"
#include "framework/shell/command_dispatch.h"

inline constexpr char kCalcOptionsDialog[] = "DIALOG_10";
inline constexpr char kMapFileFilter[] = "Korvane Map File|*.kmf|";
inline constexpr char kMapFileDefaultName[] = "*.KMF";
inline constexpr char kLoadMapFileFilter[] = "*.Korvane Map File|*.kmf|";
inline constexpr char kDescriptionTitle[] = "Description :";
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

// Calculate/Show Last Calulation: the result window on the held result.
void CmdShowLastCalculation();
// The result window on the held result, its single points, the project's
// model and reverberation settings; a right click searches the reflection
// paths at the point (SearchAtResultPoint).
void ShowResultWindow();

// The search at a right-clicked point of the result window, as the window
// calls it: without a progress window (Escape or the quit stop it), the
// paths found played at once with the map's direct-to-reverberant value
// there (PlayPathsAtPoint), then gone from the model.
void SearchAtResultPoint(const ObjectVertex& point, double directToReverb);

// Calculate/RT60 Sabine, Eyring, Fitzroy: the RT60 window in that method.
// Calculate/RT60 Measurement: the measured times in the equaliser first;
// on OK the window in the measured method. The method shown last stays the
// project's, and a changed method or measured time marks it modified.
void CmdRt60(int32_t method);
void CmdRt60Measurement();

// Calculate/Calculate Rays: "Max.Order : (1 .. 40)", the target point
// ("REFLECTIONS > Target Point"), then the search with its progress window
// and Cancel. The paths found stand in the model while the reflection
// windows show them, may be stored in a ray file ("Store ray calculation to
// file ?") and go again when the command ends.
void CmdCalculateRays();
// Calculate/Load Ray File: a ray file's paths in the reflection windows.
void CmdLoadRayFile();

// What the reflection windows of kdn show: the search, the project's tables
// and reverberation, the result window's band, and the sound with the WAV
// input command for "RTA".
RayWindowContext DesignRayWindowContext();

// Calculate/Select Audio Processing File, Select WAV Input File, Process
// and Play, Play Input File and Play Output File (5030 .. 5034) on the
// program's auralisation state and sound.
void CmdSelectAudioProfile();
void CmdSelectWavInput();
void CmdProcessAndPlay();
void CmdPlayInputFile();
void CmdPlayOutputFile();
void BindAudioCommands(CommandRegistry& registry);

// Calculate/Save Calculation: with a result, the file, then its description
// (the drawing comment to start with; Cancel keeps it), written as a map
// file.
void CmdSaveCalculation();
// Calculate/Load Calculation: a map file whose description the user
// confirms becomes the result, and its description the drawing comment.
void CmdLoadCalculation();
