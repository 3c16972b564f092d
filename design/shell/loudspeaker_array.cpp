// The Array submenu of the Loudspeakers menu: Turn array and Tilt array.
#include <optional>
#include <string>
#include <vector>

#include "design/document/speaker_operations.h"
#include "design/shell/loudspeaker_commands.h"
#include "design/shell/loudspeaker_steps.h"
#include "framework/base/framework_dialogs.h"
#include "framework/editor/edit_steps.h"
#include "framework/view/rendering.h"

namespace {

constexpr size_t kAngleTextLength = 39;

using ArrayOperation = void (*)(std::span<GraphicObject* const>, const ObjectVertex&, double);

// The selection, the base point and the angle, then `operation` on them.
void MoveArray(const char* prompt, ArrayOperation operation) {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(prompt);
  if (speakers.empty()) return;
  ObjectVertex base;
  std::string text = "0";
  std::optional<double> degrees;
  if (PickCommandPoint(kBasepointText, base) && InputLine(kArrayAngleTitle, text, kAngleTextLength + 1, 1))
    degrees = ReadSpeakerEntry(text);
  if (!degrees) {
    DeselectAllObjects();
    return;
  }
  operation(speakers, base, *degrees);
  ResetCommandState();
}

}  // namespace

void CmdTurnArray() { MoveArray(kTurnArrayPrompt, TurnLoudspeakerArray); }
void CmdTiltArray() { MoveArray(kTiltArrayPrompt, TiltLoudspeakerArray); }
