// The framework's one loop over the message queue. WaitForPoint is both the
// programs' main loop and the wait of a running command for its next point:
// a command such as "MOVE > " calls it once per point and then tests, in
// this order, the cancel flag (abandon), the done flag (input finished) and
// otherwise takes the accepted point.
//
// The window procedures, run from inside the loop, set the flags: the
// drawing window the pick flag for a left click and the end flag for a right
// click while a command runs, the keys and the "OK" and "STOP" buttons the
// done and cancel flags. The main window procedure sets the active command
// id while a command runs (which makes the loop return on input) and clears
// it afterwards.
//
// A quit ends every level: the loop returns with the cancel flag set and the
// quit still posted, so a command waiting for a point is cancelled, and each
// loop below it returns in turn.
#pragma once

#include <cstdint>

#include "framework/model/graphic_object.h"
#include "platform/types.h"

// Cursor figures of the pointer code.
enum InputMode : int16_t {
  kInputCrosshair = 0,
  kInputPickBox = 1,
  kInputSelectionWindow = 2,
  kInputZoomBox = 3,
};

// The active command id of a nested wait that no menu command started (a
// zoom-in or an exit while no command ran).
constexpr int16_t kInternalCommand = 1;

struct PointInputState {
  int16_t done = 0;              // input complete: right click, Enter or Space, "OK"
  int16_t cancel = 0;            // cancelled: Escape, "STOP", closing the window, a No or Cancel answer, quit
  int16_t activeCommand = 0;     // the running menu command, 0 when none runs
  uint32_t lastCommand = 0;      // repeated by a right click, Enter or Space when none runs
  bool pickFlag = false;         // a left click while a command runs
  bool secondClickFlag = false;  // ends the input like the end flag
  bool endFlag = false;          // a right click while a command runs
  ObjectVertex cursorPoint{};    // the model point under the crosshair
  ObjectVertex acceptedPoint{};  // the point the last left click accepted
  // Kept by the pointer code (framework/editor/pointer_input.h): the cursor
  // figure, the cursor pixel in the drawing window and the preview's mode.
  int16_t inputMode = kInputCrosshair;
  platform::Point cursorPixel{};
  int16_t rubberBandMode = 0;
  ObjectVertex pickedPoint{};  // the cursor point when the crosshair was last drawn
  ObjectVertex basePoint{};    // the origin of every rubber-band vector
  bool crosshairDrawn = false;
  platform::Point crosshairPixel{};  // where the XOR figures are drawn
  bool trackingSuspended = true;     // the pointer is outside the drawing window (as at start-up)
  bool rubberBandOn = false;
  bool baseLineOn = false;  // a line from the last accepted point to the cursor
  platform::Point baseLineStart{};
  platform::Point firstCornerPixel{};  // of the selection window
  ObjectVertex firstCornerPoint{};
  bool nodeMoveArmed = false;  // the node preview moves the picked nodes once per step
};
extern PointInputState gInput;
void ResetPointInput();

// One input event per pass until the command's input is taken, ended or
// cancelled; with no command active, until quit.
void WaitForPoint();
// done = cancel = 0.
void ClearRequestFlags();
// While a command runs, set the done or the cancel flag.
void RequestDone();
void RequestCancel();
// With no command running, posts the last command to the main window as a
// menu command: 1 when posted.
int RepeatLastCommand();
