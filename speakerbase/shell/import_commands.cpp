// The database menu's imports: EASE 2 speaker bases, EASE 3, GDF and KNF
// loudspeakers (AcoustaCadd has its dialog, acoustacadd_dialog.cpp). Each
// chooses its file, runs its reader, shows the reader's messages in their
// order and appends the records it gave; the last record becomes current
// and the selector lists it.
#include <string>

#include "framework/base/file_dialogs.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "speakerbase/imports/ease_import.h"
#include "speakerbase/imports/gdf_import.h"
#include "speakerbase/imports/knf_import.h"
#include "speakerbase/record_operations.h"
#include "speakerbase/shell/import_results.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"

namespace {

bool DatabaseFull() {
  if (gSpeakerEditor.database.records.size() < kMaxDatabaseRecords) return false;
  ShowMessage(kDatabaseFullMessage, nullptr, kMsgOk);
  return true;
}

// The file chosen in the open dialog; empty after Cancel.
std::string ChooseImportFile(const char* filter, const char* defaultName) {
  if (!OpenFileDialog(filter, defaultName)) return {};
  return GetDialogDirectory() + GetDialogFileName();
}

void ImportFile(const char* filter, const char* defaultName, SpeakerImport (*reader)(const std::string&)) {
  if (DatabaseFull()) return;
  const std::string path = ChooseImportFile(filter, defaultName);
  if (path.empty()) return;
  AppendImportedRecords(reader(path));
}

void CmdAddEase2() {
  const std::string path = ChooseImportFile("*.LSP|catalog.lsp|", "*.lsp");
  if (path.empty()) return;
  const int room = int(kMaxDatabaseRecords - gSpeakerEditor.database.records.size());
  WaitCursorScope wait;
  AppendImportedRecords(ImportEase2SpeakerBase(path, room));
}

}  // namespace

void AppendImportedRecords(const SpeakerImport& result) {
  for (const ImportMessage& m : result.messages)
    ShowMessage(m.text.c_str(), m.caption.empty() ? nullptr : m.caption.c_str(), kMsgOk);
  SpeakerDatabase& db = gSpeakerEditor.database;
  bool appended = false;
  for (const SpeakerType& record : result.records) {
    db.currentRecord = record;
    if (!AppendNewRecord(db, gSpeakerEditor.session)) {
      ShowMessage(kDatabaseFullMessage, nullptr, kMsgOk);
      break;
    }
    SendRecordSelectorCommand(kSelectorAppended);
    appended = true;
  }
  if (appended) RebuildRecordSelector(int(db.records.size()) - 1);
  else SelectCurrentRecord(db, db.currentRecordIndex);
}

void BindImportCommands(CommandRegistry& r) {
  r.Bind(kCmdAddAcoustaCadd, ImportAcoustaCadd);
  r.Bind(kCmdAddEase2, CmdAddEase2);
  r.Bind(kCmdAddEase3, [] { ImportFile("*.SPK|*.spk|", "*.spk", ImportEase3Speaker); });
  r.Bind(kCmdAddGdf, [] { ImportFile("GDF|*.GDF|", "*.gdf", ImportGdfSpeaker); });
  r.Bind(kCmdAddKnf, [] { ImportFile("KNF|*.KNF|", "*.knf", ImportKnfSpeaker); });
}
