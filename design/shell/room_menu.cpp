// The Room menu: the drawing editor's draw, edit and face families at 2200
// and 2300, Import Room Geometry, the face list and the absorber database
// (Select Material Database, Edit Database).
#include "design/acoustics/calc_faces.h"
#include "design/model/absorber_database.h"
#include "design/model/materials.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "design/shell/material_dialogs.h"
#include "design/shell/project_commands.h"
#include "design/windows/face_list_window.h"
#include "framework/base/file_dialogs.h"
#include "framework/core/file_dialog_state.h"
#include "framework/editor/draw_commands.h"
#include "framework/editor/edit_commands.h"
#include "framework/editor/face_commands.h"

namespace {
constexpr int kRoomDrawBase = 2200, kRoomEditBase = 2300;

void CmdFaceList() { ShowFaceListDialog(gCalcFaceTable, gProject.modified, SelectDatabaseMaterial); }
}  // namespace

void CmdLoadAbsorberDatabase() {
  StartDialogIn(gDesignShell.history.absorberDatabaseFolder);
  if (!OpenFileDialog(kAbsorberDatabaseFilter, nullptr)) return;
  gDesignShell.history.absorberDatabaseFolder = GetDialogDirectory();
  if (LoadAbsorberDatabase(ForceExtension(GetDialogDirectory() + GetDialogFileName(), kAbsorberDatabaseExtension)) == 1)
    gAbsorberDatabaseEdit.modified = false;
}

void BindRoomMenu(CommandRegistry& r) {
  BindDrawCommands(r, kRoomDrawBase);
  BindEditCommands(r, kRoomEditBase);
  BindFaceCommands(r, kRoomEditBase);
  r.Bind(kCmdImportRoomGeometry, CmdImportRoomGeometry);
  r.Bind(kCmdFaceList, CmdFaceList);
  r.Bind(kCmdSelectMaterialDatabase, CmdLoadAbsorberDatabase);
  r.Bind(kCmdEditMaterialDatabase, CmdEditAbsorberDatabase);
}
