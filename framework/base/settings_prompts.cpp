#include "framework/base/settings_prompts.h"

#include <cstdio>
#include <string>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/grid.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_lines.h"
#include "platform/window.h"

namespace {

constexpr std::size_t kNumberField = 21;

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void RefuseEntry() { ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk); }

// Asks for a number shown as `shown`; the number typed, or false after
// "Invalid entry !" (no number) or silently (Cancel, or OK on the text as
// shown: a value shown rounded keeps its own value).
bool AskNumber(const char* prompt, const std::string& shown, double& typed) {
  std::string field = shown;
  if (!InputLine(prompt, field, kNumberField, 1) || field == shown) return false;
  if (ReadTypedNumber(field, typed)) return true;
  RefuseEntry();
  return false;
}

bool AskInteger(const char* prompt, int shown, int& typed) {
  const std::string text = std::to_string(shown);
  std::string field = text;
  if (!InputLine(prompt, field, kNumberField, 1) || field == text) return false;
  if (ReadTypedInteger(field, typed)) return true;
  RefuseEntry();
  return false;
}

// Stores `value` when it lies in [low, high], else refuses it; true when stored.
template <class T>
bool Accept(T& setting, double value, double low, double high) {
  if (!(value >= low && value <= high)) {
    RefuseEntry();
    return false;
  }
  setting = T(value);
  return true;
}

// A length setting in metres, shown in the user's unit.
bool AskLength(const char* prompt, float& setting, double low, double high) {
  double typed = 0;
  const char* format = gUnitFlag ? "%0.2lf" : "%lf";
  return AskNumber(prompt, Format(format, LengthInUserUnit(setting)), typed) &&
         Accept(setting, LengthFromUserUnit(typed), low, high);
}

}  // namespace

void PromptCursorSnap() {
  AskLength("Set Cursor Snap ( 0 .. 1000 ):", gView.snapStep, 0.001, 1000);
  ClearStatusLine();
}

void PromptNodeSnapWidth() {
  int typed = 0;
  if (AskInteger("Node Snap Width (1 - 100):", int(gDrawing.nodeSnapWidth), typed))
    Accept(gDrawing.nodeSnapWidth, typed, 1, 100);
}

void PromptCircleResolution() {
  int typed = 0;
  if (AskInteger("Circle Resolution (3 - 360):", gDrawing.circleResolution, typed))
    Accept(gDrawing.circleResolution, typed, 3, 360);
}

void PromptZoomFactor() {
  double typed = 0;
  if (AskNumber("Zoomfactor [%] (0.01 - 100.0):", Format("%lf", gView.scale), typed) &&
      Accept(gView.scale, typed, 0.01, 100))
    ViewLayoutAndRedraw();
}

void PromptGridSize() {
  AskLength("Grid size(0.1 - 100) :", gDrawing.gridSize, 0.1, 100);
  BuildGrid();
}

void PromptComment() {
  std::string comment = gDrawing.comment;
  if (!InputLine("Comment (80 chars max.):", comment, kCommentLength + 1, 0)) return;
  gDrawing.comment = comment;
  platform::InvalidateWindow(DrawWindow->window);
}
