// The AUX Drawing menu: the drawing editor's draw, edit and face families
// at 4200 and 4300, and Insert File.
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/project_commands.h"
#include "framework/editor/draw_commands.h"
#include "framework/editor/edit_commands.h"
#include "framework/editor/face_commands.h"

namespace {
constexpr int kAuxDrawBase = 4200, kAuxEditBase = 4300;
}

void BindAuxDrawingMenu(CommandRegistry& r) {
  BindDrawCommands(r, kAuxDrawBase);
  BindEditCommands(r, kAuxEditBase);
  BindFaceCommands(r, kAuxEditBase);
  r.Bind(kCmdInsertFile, CmdInsertFile);
}
