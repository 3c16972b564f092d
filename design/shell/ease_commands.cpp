#include "design/shell/ease_commands.h"

#include <string>
#include <vector>

#include "design/model/ease_exchange.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "design/shell/property_dialogs.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/editor/edit_steps.h"
#include "framework/editor/selection.h"
#include "framework/model/layers.h"
#include "framework/view/rendering.h"

namespace {

// The command's prompt on the status line while it runs; the command's end
// state afterwards.
class CommandPrompt {
 public:
  explicit CommandPrompt(const char* prompt) {
    gDrawing.prompt = prompt;
    ShowStatusText("");
  }
  ~CommandPrompt() {
    gDrawing.prompt.clear();
    ResetCommandState();
  }
  CommandPrompt(const CommandPrompt&) = delete;
  CommandPrompt& operator=(const CommandPrompt&) = delete;
};

std::string ChosenPath() { return GetDialogDirectory() + GetDialogFileName(); }

using FaceImport = int (*)(const std::string& path, ObjectList& model);

void ImportFaces(const char* filter, FaceImport import) {
  const FileDialogState project = gFileDialog;
  if (!gProject.lastProjectFolder.empty()) SetDialogDirectory(gProject.lastProjectFolder);
  if (OpenFileDialog(filter, nullptr) && import(ChosenPath(), gObjects.model) == 1) RedrawAllObjects();
  gFileDialog = project;
}

using FaceExport = int (*)(const std::string& path, std::span<const GraphicObject* const> objects);

// The room faces the user selects, written to the file the user names.
void ExportFaces(const char* filter, FaceExport write) {
  CommandPrompt prompt(kExportFacesPrompt);
  gDrawing.currentLayer = int16_t(kRoomLayer);
  if (SelectObjects() <= 0 || !SaveFileDialog(filter, nullptr)) return;
  std::vector<const GraphicObject*> selected;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->state & kStateSelected) selected.push_back(o);
  write(ChosenPath(), selected);
}

bool HasLoudspeakers() {
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->layer == kLoudspeakerLayer) return true;
  return false;
}

using SpeakerExport = int (*)(const std::string& path, const ObjectList& model, const SpeakerTypeTable& types);

void ExportSpeakers(const char* filter, SpeakerExport write) {
  if (!HasLoudspeakers()) return;
  CommandPrompt prompt(kExportSpeakersPrompt);
  if (SaveFileDialog(filter, nullptr)) write(ChosenPath(), gObjects.model, gSpeakerModel.types);
}

using SpeakerImport = int (*)(const std::string& path, const SpeakerImportLinks& links);

// The Edit Loudspeaker dialog on a loudspeaker whose type was not found.
int PickImportedSpeakerType(Loudspeaker& speaker, std::string& typeName) {
  return ShowEditLoudspeakerDialog(speaker, typeName, nullptr);
}

void ImportSpeakers(const char* filter, SpeakerImport import) {
  SpeakerDatabaseIndex& database = gDesignShell.speakerDatabase;
  if (database.path.empty()) {
    if (ShowMessage(kLoadSpeakerDatabaseFirstMessage, kWarningCaption, kMsgOkCancel) != kIdOk) return;
    SelectSpeakerDatabase();
    if (database.path.empty()) return;
  }
  CommandPrompt prompt(kImportSpeakersPrompt);
  if (!OpenFileDialog(filter, nullptr)) return;
  if (!gSpeakerModel.setUp) ResetSpeakerModel();
  SpeakerImportLinks links;
  links.loadType = IndexTypeLoader(database, gObjects.model, gSpeakerModel.defaultSymbol);
  links.pickType = PickImportedSpeakerType;
  if (import(ChosenPath(), links) == 1) RedrawAllObjects();
}

}  // namespace

void CmdImportFacesEase3() { ImportFaces(kEase3FaceImportFilter, ImportFacesEase3); }
void CmdImportFacesEase2() { ImportFaces(kEase2ImportFilter, ImportFacesEase2); }

void CmdExportFacesEase3() { ExportFaces(kEase3FaceExportFilter, ExportFacesEase3); }
void CmdExportFacesEase2() { ExportFaces(kEase2ExportFilter, ExportFacesEase2); }

void CmdImportSpeakersEase3() { ImportSpeakers(kEase3SpeakerImportFilter, ImportSpeakersEase3); }
void CmdImportSpeakersEase2() { ImportSpeakers(kEase2ImportFilter, ImportSpeakersEase2); }

void CmdExportSpeakersEase3() { ExportSpeakers(kEase3SpeakerExportFilter, ExportSpeakersEase3); }
void CmdExportSpeakersEase2() { ExportSpeakers(kEase2ExportFilter, ExportSpeakersEase2); }
