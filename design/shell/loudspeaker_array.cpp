// The Array submenu of the Loudspeakers menu: Calculate Cluster Balloons,
// Turn array and Tilt array.
#include <optional>
#include <string>
#include <vector>

#include "design/acoustics/cluster_balloon.h"
#include "design/document/speaker_operations.h"
#include "design/model/speaker_database.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "design/shell/loudspeaker_commands.h"
#include "design/shell/loudspeaker_steps.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_dialogs.h"
#include "framework/core/file_dialog_state.h"
#include "framework/editor/edit_steps.h"

namespace {

constexpr size_t kAngleTextLength = 39;

using ArrayOperation = void (*)(std::span<GraphicObject* const>, const ObjectVertex&, double);

// The selection, the base point and the angle, then `operation` on them.
void MoveArray(const char* prompt, ArrayOperation operation) {
  const std::vector<GraphicObject*> speakers = SelectSpeakersAfter(prompt);
  ObjectVertex base;
  std::string text = "0";
  if (!speakers.empty() && PickCommandPoint(kBasepointText, base) &&
      InputLine(kArrayAngleTitle, text, kAngleTextLength + 1, 1))
    if (const std::optional<double> degrees = ReadSpeakerEntry(text)) operation(speakers, base, *degrees);
  ResetCommandState();
}

}  // namespace

void CmdClusterBalloons() {
  const std::vector<GraphicObject*> selected =
      SelectAfterPrompt(kClusterPrompt) >= 2 ? SelectedObjects() : std::vector<GraphicObject*>{};
  ClusterBalloon cluster;
  if (!selected.empty() &&
      ComputeClusterBalloon({selected.data(), selected.size()}, gSpeakerModel.types, cluster) == ClusterRun::kDone) {
    // A cancelled description leaves the comment empty; the file is still written.
    std::string description;
    if (!InputLine(kClusterDescriptionTitle, description, kClusterDescriptionLength + 1, 0)) description.clear();
    StartDialogIn(gDesignShell.speakerDatabase.folder);
    if (SaveFileDialog(kSpeakerDatabaseFilter, nullptr))
      WriteClusterDatabase(cluster, description,
                           ForceExtension(GetDialogDirectory() + GetDialogFileName(), kSpeakerDatabaseExtension));
  }
  ResetCommandState();
}

void CmdTurnArray() { MoveArray(kTurnArrayPrompt, TurnLoudspeakerArray); }
void CmdTiltArray() { MoveArray(kTiltArrayPrompt, TiltLoudspeakerArray); }
