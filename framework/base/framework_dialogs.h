// The small modal dialogs every drawing program shares: the one-line input
// of the settings and command prompts, the absolute and polar point entry,
// the text entry of the TEXT command, the layer chooser and the print
// header texts. Each runs from the program's own template (dialogs.h), is
// owned by the main window, and shows "Unable to display dialog" and
// returns 0 when its template is missing.
//
// Templates and their control ids: "DIALOG_3" one-line input (edit 105, OK
// 102, Cancel 103); "DIALOG_1" absolute point (edits 104-106 for x, y, z; OK
// 102, Cancel 103); "DIALOG_2" polar point (edit 101 distance, 102 angle; OK
// 103, Cancel 104); "DIALOG_6" text (size 104, angle 105, text 106; OK 102,
// Cancel 103); "DIALOG_5" layer chooser (names of layers 0-11 in 104-115,
// their radio buttons 117-128; OK 102, Cancel 103); "PLOT_HEADER" (labels
// 101-108, texts 110-117, free texts 120-123; OK 140, the close box
// cancels); "DIALOG_7" plot parameters (page 102, 103; millimetres 106 for
// metres 105; measure 107, zoom window 108, zoom all 109; Header... 130; OK
// 110, Cancel 111).
//
// Lengths are metres in the program and shown and typed in feet while the
// unit flag says so. Number fields turn a typed ',' into '.'; a field that
// holds no number leaves its value as it was.
#pragma once

#include <cstddef>
#include <string>

#include "platform/types.h"

// One-line input: the dialog's caption is `title` and its field holds
// `buffer`; OK replaces the buffer by at most `maxLength` - 1 characters of
// the field and returns 1, Cancel or the close box return 0 and leave it.
// With `fixComma` the field is a number field.
int InputLine(const char* title, std::string& buffer, std::size_t maxLength, int fixComma);

// A point in metres, shown with "%0.3f" (feet: "%0.2f") under `title`. 1 on
// OK with x, y and z as typed, else 0. A field left as shown keeps its value
// (a value shown rounded does not move).
int PointAbsoluteDialog(double& x, double& y, double& z, const char* title);
// A distance (its absolute value, metres) and an angle (typed in degrees,
// brought into -180 .. 180, given in radians); both fields start at "0".
// Owned by the active window (the others here by the main window).
int PointPolarDialog(double& distance, double& angle);
// The size (metres) and angle of a text, shown with "%3.2f", and the text of
// at most `maxLength` - 1 characters. 1 only on OK with a text that is not
// empty. A number left as shown keeps its value.
int TextDialog(float& size, float& angle, std::string& text, std::size_t maxLength);
// One of layers 0-11, the current layer checked at first. `layer` gets the
// last layer chosen (also on Cancel, when it keeps the choice before); 1 on
// OK.
int ChooseLayer(int& layer);
// Edits the plot-header texts (gPlotHeader): labels of 10, texts of 40
// characters. 1 on OK; the close box keeps the texts.
int PlotHeaderDialog(platform::Window owner);

// How a plot fills the page.
enum PlotMode : int { kPlotMeasure = 0, kPlotZoomWindow = 1, kPlotZoomAll = 2 };
inline constexpr char kInvalidMeasureMessage[] = "Invalid Measure !";
// The print dialog (landscape preset when the printer is wider than high),
// then the plot parameters: the page in millimetres, the measure (whole
// millimetres on paper for whole metres of model, both above 0, else
// "Invalid Measure !" and the dialog stays), the mode, and "Header..." for
// the title block texts. The measure and mode are remembered while the
// program runs (at first 1 mm = 1 m, measure). 1 on OK with the outputs
// set; 0 when either dialog is cancelled.
int PlotParametersDialog(int& metres, int& millimetres, int& mode);
