// The database menu's files and records: New, Open, Save as, Quit, Add
// Korvane Speakerbase, Delete, Sort, Edit Speaker Header and the rotations.
#include "design/model/speaker_database.h"
#include "framework/base/file_dialogs.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "speakerbase/record_operations.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/record_view_windows.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"

namespace {

SpeakerDatabase& Database() { return gSpeakerEditor.database; }

// The path the dialog chose, with ".KSB" unless it ends so in any case.
std::string ChosenDatabasePath() {
  return ForceExtension(GetDialogDirectory() + GetDialogFileName(), kSpeakerDatabaseExtension);
}

void ReadDatabase(const std::string& path, DatabaseLoad how) {
  ReadSpeakerDatabaseFile(Database(), path, how);
  // Whatever was read, the title and the list follow the table.
  UpdateSpeakerTitle();
}

void CmdNewDatabase() {
  if (!NewSpeakerDatabase(Database())) return;
  UpdateSpeakerTitle();
  RebuildRecordSelector(0);
}

void OpenSpeakerDatabase() {
  if (!ConfirmDiscardDatabase(Database())) return;
  if (!OpenFileDialog(kSpeakerDatabaseFilter, "*.ksb")) return;
  OpenSpeakerDatabaseAt(ChosenDatabasePath());
}

void CmdSaveDatabaseAs() {
  if (Database().records.empty()) return;
  if (!SaveFileDialog(kSpeakerDatabaseFilter, Database().fileName.c_str())) return;
  SaveSpeakerDatabaseAs(Database(), ChosenDatabasePath());
  UpdateSpeakerTitle();
}

void MergeSpeakerDatabase() {
  if (!ConfirmDiscardDatabase(Database())) return;
  if (!OpenFileDialog(kSpeakerDatabaseFilter, "*.ksb")) return;
  ReadDatabase(ChosenDatabasePath(), DatabaseLoad::kMerge);
  RebuildRecordSelector(int(Database().records.size()) - 1);
}

void CmdDeleteSpeaker() {
  if (DeleteCurrentRecord(Database())) RebuildRecordSelector(Database().currentRecordIndex);
}

void CmdSortSpeakers() {
  SortRecordsByTypeName(Database());
  RebuildRecordSelector(0);
}

void Rotate(int steps) {
  if (RotateBalloons(Database(), gSpeakerEditor.session, steps)) RepaintRecordView();
}

}  // namespace

void OpenSpeakerDatabaseAt(const std::string& path) {
  ReadDatabase(path, DatabaseLoad::kOpen);
  RebuildRecordSelector(0);
}

void BindDatabaseCommands(CommandRegistry& r) {
  r.Bind(kCmdNewDatabase, CmdNewDatabase);
  r.Bind(kCmdOpenDatabase, OpenSpeakerDatabase);
  r.Bind(kCmdSaveDatabaseAs, CmdSaveDatabaseAs);
  r.Bind(kCmdQuit, QuitSpeakerEditor);
  r.Bind(kCmdAddDatabase, MergeSpeakerDatabase);
  r.Bind(kCmdDeleteSpeaker, CmdDeleteSpeaker);
  r.Bind(kCmdSortSpeakers, CmdSortSpeakers);
  r.Bind(kCmdEditSpeakerHeader, EditSpeakerHeader);
  r.Bind(kCmdRotate90, [] { Rotate(kRotate90Steps); });
  r.Bind(kCmdRotatePlus5, [] { Rotate(kRotatePlus5Steps); });
  r.Bind(kCmdRotateMinus5, [] { Rotate(kRotateMinus5Steps); });
  r.Bind(kCmdDrawingMenu, EnterDrawingMode);
  r.Bind(kCmdDatabaseMenu, LeaveDrawingMode);
}

void BindSpeakerEditorCommands(CommandRegistry& registry) {
  BindDatabaseCommands(registry);
  BindImportCommands(registry);
  BindRecordViewCommands(registry);
  BindDrawingCommands(registry);
}
