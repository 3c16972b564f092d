// The RT60 window of kdn and kv: a bordered child window (id 10003) over the
// main window's client area inside the drawing margins, in place of the
// drawing window and the view panel, showing the reverberation-time graph
// of the project's method (rt60_drawing.h). Buttons at its left switch the
// method ("Sa", "Ey", "Fi", and "M", which in kdn edits the measured times first),
// "PRINT" prints it and "COPY" copies it to the clipboard, both framed;
// "<-" closes it. The method chosen last stays the project's.
//
// Buttons reach the window as commands forwarded by the dispatch (the
// running command's buttons), never through the focus.
#pragma once

#include <cstdint>

#include "design/acoustics/reverberation.h"
#include "design/model/design_tables.h"
#include "platform/messages.h"
#include "platform/types.h"

constexpr int kRt60WindowId = 10003;
inline constexpr char kCantCreateRt60Window[] = "Can\xB4t create RT60 window";
inline constexpr char kImpossibleInputValues[] = "Impossible input values";
inline constexpr char kPleaseCorrect[] = "Please correct";

constexpr int kRt60BackButton = 20030;   // "<-"
constexpr int kRt60PrintButton = 20031;  // "PRINT"
constexpr int kRt60CopyButton = 20032;   // "COPY"
// "Sa", "Ey", "Fi", "M": kFirstRt60MethodButton + the method.
constexpr int kFirstRt60MethodButton = 20040;

// The program's dialog that edits the measured times (seconds per band):
// 1 when the user took the values.
using EditMeasuredRt60 = int (*)(BandValues& measured);

// What the window shows and sets; the records must outlive the window.
struct Rt60WindowInput {
  int32_t* method = nullptr;       // the project's reverberation method
  BandValues* measured = nullptr;  // the project's measured times
  DesignTables design;
  EditMeasuredRt60 editMeasured = nullptr;  // none: "M" switches to the measured times at once
};

// Sets the method to `method` and runs the window until "<-", Escape, Enter
// or Space (or the program quits); then the drawing window and the panel
// are back. "Can´t create RT60 window" when it cannot be made.
void ShowRt60Window(int32_t method, const Rt60WindowInput& input);

// The window's messages: paint, cursor and the forwarded buttons.
platform::LParam Rt60WindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam);

// The open window (none while it is closed) and one of its buttons by id.
platform::Window Rt60WindowHandle();
platform::Window Rt60WindowButton(int id);
