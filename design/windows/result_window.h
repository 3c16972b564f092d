// The calculation result window of kdn and kv: a bordered child window (id
// 10001) in place of the drawing window, showing the level and time result
// as a coloured map over the model view (result_map_drawing.h), with the
// buttons that choose the band, the mode and the scale step, print the
// window and clear the single points. A left click marks the grid point
// under it as a single point; a right click hands the point to the
// program's search at a point, when the program has one.
//
// While the window is open it is the view window, so the view keys zoom,
// pan and turn the map; mode, band and step (gResultWindow) survive
// closing it. Buttons reach the window as commands forwarded by the
// dispatch (the running command's buttons), never through the focus.
//
// In the export mode the map is written as CSV whenever a button paints it
// again ("--> exp", a band, a step, "CLEAR", "PRINT"); a plain repaint of
// the window lays out the model view alone and writes nothing.
#pragma once

#include <string>

#include "design/acoustics/level_map.h"
#include "design/acoustics/reverberation.h"
#include "design/model/design_tables.h"
#include "platform/messages.h"
#include "platform/types.h"

constexpr int kResultWindowId = 10001;
inline constexpr char kCantCreateSplWindow[] = "Can\xB4t create SPL window";

// Button ids: band i is kFirstBandButton + i, mode button i kFirstModeButton
// + i, step button i kFirstStepButton + i (step index i - 1).
constexpr int kFirstBandButton = 20000;
constexpr int kFirstModeButton = 20010;
constexpr int kFirstStepButton = 20020;
constexpr int kResultBackButton = 20030;   // "<-"
constexpr int kResultPrintButton = 20031;  // "PRINT"
constexpr int kResultClearButton = 20032;  // "CLEAR", shown while single points exist

// The program's search at a right-clicked grid point: `point` on its
// audience face, `directToReverb` the point's all-band direct-to-reverberant
// value (dB) on the current room. kdn searches the reflection paths there.
using ResultPointSearch = void (*)(const ObjectVertex& point, double directToReverb);

// What the window shows; the records must outlive the window.
struct ResultWindowInput {
  const MapResult* result = nullptr;
  SinglePointList* singlePoints = nullptr;
  DesignTables design;    // the model under the map and the room of the reverberant terms
  ReverbSettings reverb;  // the project's method and measured times
  std::string programTitle;
  std::string projectPath;                  // in the title strip, and the start of the CSV exports' names
  ResultPointSearch pointSearch = nullptr;  // none: a right click does nothing
};

// Opens the window over the drawing area and runs it until "<-", Escape,
// Enter or Space (or the program quits); then the drawing window is back.
// The single points are emptied first when they belong to another grid. A
// window that cannot be made: "Can´t create SPL window".
void ShowCalculationResults(const ResultWindowInput& input);

// The window's messages: paint, mouse, cursor and the forwarded buttons.
platform::LParam CalculationResultsWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                              platform::LParam lParam);

// The open window (none while it is closed) and one of its buttons by id
// (none when it does not exist now).
platform::Window ResultWindowHandle();
platform::Window ResultWindowButton(int id);

// The model view and the map over it, then in the export mode the CSV
// export; `layout` first lays the window out for the main window's size.
void PaintCalculationResults(bool layout = false);
