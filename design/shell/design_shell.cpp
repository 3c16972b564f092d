#include "design/shell/design_shell.h"

#include "design/acoustics/auralisation.h"
#include "design/commands/design_symbols.h"
#include "design/commands/project_open.h"
#include "design/document/project_document.h"
#include "design/model/loudspeaker.h"
#include "design/model/materials.h"
#include "design/model/project.h"
#include "design/model/undo_tables.h"
#include "design/shell/calculation_commands.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/main_window.h"
#include "design/shell/project_commands.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/core/geometry.h"
#include "framework/core/state_reset.h"
#include "framework/program/drawing_program.h"

DesignShellState gDesignShell;

void ResetDesignShell() { gDesignShell = DesignShellState{}; }

namespace {

const StateReset kReset(ResetDesignShell);

const DrawingProgram& DesignProgram() {
  static const DrawingProgram program = [] {
    DrawingProgram p;
    p.title = std::string(kDesignTitle) + kDesignVersion;
    p.menu = kDesignMenu;
    p.helpFile = kHelpFileName;
    p.splashBitmap = kSplashBitmap;
    p.strokeFont = "STANDARDFONT";
    p.commands = &DesignCommandTable();
    p.windowProc = MainWindowProc;
    p.document = {StartNewProject, &gProject.modified};
    p.titleFileName = &gProject.path;
    p.useUndoTables = UseProjectTablesForUndo;
    p.readHistory = ReadHistoryFile;
    p.updateMenuState = UpdateMenuState;
    p.writeHistory = [] { WriteHistoryFile(); };
    p.purgeMaterials = PurgeUnusedMaterials;
    p.exitProgram = ExitApplication;
    return p;
  }();
  return program;
}

}  // namespace

int StartDesignProgram(platform::Instance instance) {
  if (!StartDrawingProgram(instance, DesignProgram())) return 0;
  LoadDesignSymbols();
  gCalculationWindows = {kDesignTitle, EditMeasuredTimes, true, &gProject.modified};
  BindDesignCommands(gProgramShell.commands);
  UpdateMenuState();
  return 1;
}

void RunDesignProgram() { RunDrawingProgram(); }

void EndDesignProgram() {
  FreeDesignSymbols();
  EndDrawingProgram();
}

std::string HistoryFilePath() { return GetStartDirectory() + "/" + kHistoryFileName; }

int ReadHistoryFile() {
  HistoryRecord record;
  if (!LoadHistoryRecord(HistoryFilePath(), record)) return 0;
  gUnitFlag = record.unitFlag;
  gProject.lastProjectFolder = record.projectFolder;
  gDesignShell.speakerDatabase.folder = record.speakerDatabaseFolder;
  gAuralisation.wavFolder = record.audioFolder;
  gDesignShell.history = std::move(record);
  return 1;
}

int WriteHistoryFile() {
  HistoryRecord& record = gDesignShell.history;
  PushRecentProject(record, gProject.path);
  record.unitFlag = gUnitFlag;
  record.projectFolder = gProject.lastProjectFolder;
  record.speakerDatabaseFolder = gDesignShell.speakerDatabase.folder;
  record.audioFolder = gAuralisation.wavFolder;
  return StoreHistoryRecord(HistoryFilePath(), record);
}
