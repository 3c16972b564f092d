// The File menu: Open, Save as, Print, New, Exit and the recent projects.
#include "design/document/history_file.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/project_commands.h"
#include "framework/base/drawing_reset.h"
#include "framework/editor/plot_region.h"
#include "framework/program/drawing_program.h"

void BindFileMenu(CommandRegistry& r) {
  r.Bind(kCmdOpenProject, CmdOpenProject);
  r.Bind(kCmdSaveProjectAs, CmdSaveProjectAs);
  BindPlotCommand(r, kCmdPrintRegion);
  r.Bind(kCmdNewProject, CmdNewDrawing);
  r.Bind(kCmdExitProgram, ExitApplication);
  for (int i = 0; i < kRecentProjectCount; ++i) r.Bind(kCmdRecentProject + i, [i] { CmdOpenRecentProject(i); });
}
