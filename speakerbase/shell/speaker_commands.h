// ksb's commands bound to its command table, one source and one bind
// function per menu: the database menu's files and records
// (database_commands.cpp), its imports (import_commands.cpp) and record
// views (record_view_windows.cpp), and the drawing menu
// (drawing_commands.cpp), which binds the drawing editor's families
// (framework/editor) at ksb's id bases. A command of the table without a
// handler stays greyed.
#pragma once

#include <string>

#include "framework/shell/command_dispatch.h"

// Every menu's commands.
void BindSpeakerEditorCommands(CommandRegistry& registry);

void BindDatabaseCommands(CommandRegistry& registry);
void BindImportCommands(CommandRegistry& registry);
void BindRecordViewCommands(CommandRegistry& registry);
void BindDrawingCommands(CommandRegistry& registry);

// Open Database on a path already chosen (the command line's database):
// the records replace the open ones, the first is current, the title and
// the selector follow.
void OpenSpeakerDatabaseAt(const std::string& path);

// The drawing menu's Save as (102), also OK to "Store drawing file ?": the
// drawing into a drawing file, named by default after the current record.
void CmdSaveDrawing();

// "Edit Speaker Data" (6110) over the current record, after the access test.
void EditSpeakerHeader();
// Add AcoustaCadd Speaker (6104) through "Import AcoustaCadd LS Data".
void ImportAcoustaCadd();
