#include "design/shell/loudspeaker_steps.h"

#include "design/document/speaker_operations.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/editor/selection.h"
#include "framework/view/rendering.h"

int SelectAfterPrompt(const char* prompt, const char* text) {
  gDrawing.prompt = prompt;
  ShowStatusText(text);
  return SelectObjects();
}

std::vector<GraphicObject*> SelectSpeakersAfter(const char* prompt, const char* text) {
  if (SelectAfterPrompt(prompt, text) == 0) return {};
  return SelectedLoudspeakers();
}

bool PickCommandPoint(const char* text, ObjectVertex& point) {
  ShowStatusText(text);
  WaitForPoint();
  if (gInput.cancel || gInput.done) return false;
  point = gInput.acceptedPoint;
  return true;
}

void RedrawSpeaker(GraphicObject* object) {
  ViewShowCrosshair(0);
  DrawObjects(object, object, 0);
  ViewShowCrosshair(1);
}
