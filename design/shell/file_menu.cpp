// The File menu: Open, Save as, Print, New, Exit, the recent projects and
// the EASE imports and exports.
#include "design/document/history_file.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/ease_commands.h"
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
  r.Bind(kCmdImportFacesEase3, CmdImportFacesEase3);
  r.Bind(kCmdExportFacesEase3, CmdExportFacesEase3);
  r.Bind(kCmdImportFacesEase2, CmdImportFacesEase2);
  r.Bind(kCmdExportFacesEase2, CmdExportFacesEase2);
  r.Bind(kCmdImportSpeakersEase3, CmdImportSpeakersEase3);
  r.Bind(kCmdExportSpeakersEase3, CmdExportSpeakersEase3);
  r.Bind(kCmdImportSpeakersEase2, CmdImportSpeakersEase2);
  r.Bind(kCmdExportSpeakersEase2, CmdExportSpeakersEase2);
}
