// The Calculate commands that show what the design holds, which kdn and kv
// share: the result window on the held result (5101) with its search at a
// right-clicked point, the RT60 window (5010-5013), Load Ray File (5021)
// with the reflection windows, and Save and Load Calculation (5102, 5103)
// with the result's description.
//
// What differs between the programs is data, CalculationWindowsVariant,
// which the program sets at its start: the title above the plots, how the
// RT60 window's "M" reaches the measured times, whether the
// impulse-response window offers "APF", and the modified mark that a loaded
// calculation or a changed reverberation method sets (none in a program
// that cannot save the project).
#pragma once

#include <cstdint>

#include "design/windows/ray_windows.h"
#include "design/windows/rt60_window.h"
#include "framework/model/graphic_object.h"
#include "platform/messages.h"
#include "platform/types.h"
#include "platform/window.h"

inline constexpr char kMapFileFilter[] = "Korvane Map File|*.kmf|";
inline constexpr char kMapFileDefaultName[] = "*.KMF";
inline constexpr char kLoadMapFileFilter[] = "*.Korvane Map File|*.kmf|";
inline constexpr char kDescriptionTitle[] = "Description :";

struct CalculationWindowsVariant {
  const char* programTitle = "";            // the title base, above the plots
  EditMeasuredRt60 editMeasured = nullptr;  // "M" edits the measured times first; none: it switches at once
  bool profileButton = true;                // the impulse-response window's "APF"
  uint16_t* modifiedMark = nullptr;         // what a change to save sets; none: nothing is to be saved
};
extern CalculationWindowsVariant gCalculationWindows;
// Back to the state before start-up.
void ResetCalculationWindows();

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

// Calculate/RT60 Sabine, Eyring, Fitzroy (and kv's RT60 Measurement): the
// RT60 window in that method. The method shown last stays the project's,
// and a changed method or measured time sets the variant's modified mark.
void CmdRt60(int32_t method);

// Calculate/Load Ray File: a ray file's paths in the reflection windows.
void CmdLoadRayFile();

// What the reflection windows show: the search, the project's tables and
// reverberation, the result window's band, and the sound with the WAV input
// command for "RTA".
RayWindowContext DesignRayWindowContext();

// Calculate/Save Calculation: with a result, the file, then its description
// (the drawing comment to start with; Cancel keeps it), written as a map
// file.
void CmdSaveCalculation();
// Calculate/Load Calculation: a map file whose description the user
// confirms becomes the result, and its description the drawing comment;
// it sets the variant's modified mark (the result goes with the project's
// next save), and the result window shows it.
void CmdLoadCalculation();

// The window procedure of kdn and kv around their own parts: the
// reflection, result and RT60 windows go to their procedures, the drawing
// window to `drawingWindow`, the main window to `mainWindow` (with the RT60
// window following its size, and the result window laid out again after a
// view key), any other window to the system's default.
platform::LParam RouteDesignWindows(platform::Window window, unsigned kind, platform::WParam wParam,
                                    platform::LParam lParam, platform::WindowProc drawingWindow,
                                    platform::WindowProc mainWindow);
