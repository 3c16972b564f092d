#include "design/commands/project_open.h"

#include <filesystem>

#include "design/document/project_document.h"
#include "design/model/project.h"
#include "design/model/project_file.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/grid.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/program/drawing_program.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"

namespace {

// What a new project does to the view, without its model: the view and
// the drawing settings to their defaults, the two snap switches and the
// node markers kept.
void ResetViewForOpenedProject() {
  const int32_t snap = gView.coordinateSnap, nodeSnap = gView.nodeSnap;
  const int16_t markers = gDrawing.nodeMarkers;
  ResetViewState();
  gView.coordinateSnap = snap;
  gView.nodeSnap = nodeSnap;
  gDrawing.nodeMarkers = markers;
}

// The project just read, in wireframe in the view of its view mode, fitted.
void ShowOpenedProject() {
  ResetViewForOpenedProject();
  ApplyProjectSettingsToView();
  gDrawing.hiddenFaces = 0;
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  CheckMenuItemOn(menu, kMenuWireframe);
  CheckMenuItemOff(menu, kMenuHiddenFaces);
  BuildGrid();
  SelectViewOfMode(gView.mode);
  SendViewPanelCommand(kPanelRefreshSwitches);
  UpdateWindowTitle();
  ZoomToFit();
}

}  // namespace

void SelectViewOfMode(int16_t mode) {
  switch (mode) {
    case kViewXY: SelectViewXY(); break;
    case kViewYZ: SelectViewYZ(); break;
    case kViewXZ: SelectViewXZ(); break;
    case kView3D: SelectView3D(); break;
    default: LayoutAndRedraw(); break;
  }
}

void StartInProjectFolder() {
  SetDialogDirectory(gProject.lastProjectFolder.empty() ? GetStartDirectory() + "/" : gProject.lastProjectFolder);
}

void StartNewProject() {
  ResetDrawing();
  NewProject();
  ApplyProjectSettingsToView();
  gProject.modified = 0;
}

void ApplyProjectSettingsToView() {
  const ProjectViewSettings& settings = gProject.view;
  gView.mode = settings.viewMode >= kViewXY && settings.viewMode <= kView3D ? settings.viewMode : int16_t(kView3D);
  gView.snapStep = settings.snapStep;
  gDrawing.nodeSnapWidth = settings.nodeSnapWidth;
  gDrawing.gridSize = settings.gridSize;
}

void StoreViewSettingsInProject() {
  ProjectViewSettings& settings = gProject.view;
  // The perspective view is no stored view mode; it is seen from the 3D one.
  settings.viewMode = gView.mode <= kView3D ? gView.mode : int16_t(kView3D);
  settings.snapStep = gView.snapStep;
  settings.snapOn = uint32_t(gView.coordinateSnap);
  settings.nodeSnapWidth = gDrawing.nodeSnapWidth;
  settings.nodeSnapOn = uint32_t(gView.nodeSnap);
  settings.gridSize = gDrawing.gridSize;
}

int OpenProjectFile(const std::string& path) {
  if (!ReadProjectFile(path)) return 0;
  ShowOpenedProject();
  return 1;
}

int OpenProjectAtStart(const std::string& path) {
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
  if (!OpenProjectFile(error ? path : absolute)) return 0;
  gProgramShell.splash = false;
  gProject.lastProjectFolder = FolderOfPath(gProject.path);
  return 1;
}

void OpenProjectDialog() {
  StartInProjectFolder();
  if (!OpenFileDialog(kProjectFilter, nullptr)) return;
  gProject.lastProjectFolder = GetDialogDirectory();
  OpenProjectFile(GetDialogDirectory() + GetDialogFileName());
}

void CmdOpenProject() {
  AskToDiscardProject();  // reading the project clears the undo ring
  if (!gInput.cancel) OpenProjectDialog();
  ClearRequestFlags();
}
