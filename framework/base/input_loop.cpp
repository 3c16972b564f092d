#include "framework/base/input_loop.h"

#include "framework/base/drawing_layer.h"
#include "framework/core/state_reset.h"
#include "platform/window.h"

PointInputState gInput;

void ResetPointInput() { gInput = PointInputState{}; }

namespace {
const StateReset kReset(ResetPointInput);
}  // namespace

void WaitForPoint() {
  ClearRequestFlags();
  platform::Message message;
  for (;;) {
    if (!platform::GetMessage(message)) {
      // The quit stays posted, so the loops below this one end as well.
      gInput.cancel = 1;
      return;
    }
    gInput.pickFlag = gInput.secondClickFlag = gInput.endFlag = false;
    platform::DispatchMessage(message);
    if (gInput.activeCommand == 0) continue;
    if (gInput.done || gInput.cancel) return;
    if (gInput.pickFlag) {
      gInput.acceptedPoint = gInput.cursorPoint;
      return;
    }
    if (gInput.secondClickFlag || gInput.endFlag) {
      gInput.done = 1;
      return;
    }
  }
}

void ClearRequestFlags() { gInput.done = gInput.cancel = 0; }

void RequestDone() {
  if (gInput.activeCommand) gInput.done = 1;
}

void RequestCancel() {
  if (gInput.activeCommand) gInput.cancel = 1;
}

int RepeatLastCommand() {
  if (gInput.activeCommand || gInput.lastCommand == 0) return 0;
  const bool posted =
      platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(gInput.lastCommand));
  return posted ? 1 : 0;
}
