#include "framework/editor/edit_steps.h"

#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/view/rendering.h"

void ResetCommandState() {
  ClearRequestFlags();
  DeselectAllObjects();
  ClearStatusLine();
}
