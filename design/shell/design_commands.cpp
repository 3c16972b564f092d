#include "design/shell/design_commands.h"

#include "design/document/loudspeaker_aim.h"
#include "design/model/absorber_database.h"
#include "design/model/materials.h"
#include "design/model/speaker_database.h"
#include "design/shell/calculation_commands.h"
#include "design/shell/design_shell.h"
#include "design/shell/project_commands.h"
#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/grid.h"
#include "framework/base/settings_prompts.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/geometry.h"
#include "framework/model/layers.h"
#include "framework/model/undo_ring.h"
#include "framework/view/rendering.h"
#include "framework/view/view_keys.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/menu.h"

namespace {

void CheckPair(int offItem, int onItem, bool on) {
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  CheckMenuItemOn(menu, on ? onItem : offItem);
  CheckMenuItemOff(menu, on ? offItem : onItem);
}

void CheckItem(int id, bool on) { platform::SetMenuItemChecked(GetWindowMenu(&MainWindow), id, on); }

void SetNodeSnap(int32_t on) {
  gView.nodeSnap = on;
  CheckPair(kMenuNodeSnapOff, kMenuNodeSnapOn, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
}

void SetCoordinateSnap(int32_t on) {
  gView.coordinateSnap = on;
  CheckPair(kMenuCoordinateSnapOff, kMenuCoordinateSnapOn, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
}

void SetHiddenFaces(int16_t on) {
  if (gDrawing.hiddenFaces == on) return;
  gDrawing.hiddenFaces = on;
  CheckPair(kMenuWireframe, kMenuHiddenFaces, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
  LayoutAndRedraw();
}

void SetUnit(uint32_t feet) {
  gUnitFlag = feet;
  ShowAllViewPanelCoordinates();
}

void PickEyePointCommand() {
  PickEyePoint();
  SetCoordinateSnap(0);
}

bool ToggleLayer(uint32_t layer) {
  const bool shown = !gLayers.IsVisible(layer);
  gLayers.SetVisible(layer, shown);
  return shown;
}

void ToggleAimLines() {
  const bool shown = ToggleLayer(kAimLineLayer);
  CheckItem(kCmdAimPoints, shown);
  bool speakers = false;
  for (const GraphicObject* o = gObjects.model.first; o && !speakers; o = o->next)
    speakers = o->layer == kLoudspeakerLayer;
  if (!shown || speakers) RebuildAimLines(shown);
  RedrawAllObjects();
}

// The folder a database dialog starts in: the remembered one, else the
// start folder.
void StartDialogIn(const std::string& folder) {
  SetDialogDirectory(folder.empty() ? GetStartDirectory() + "/" : folder);
}

}  // namespace

void SelectSpeakerDatabase() {
  StartDialogIn(gDesignShell.speakerDatabase.folder);
  if (!OpenFileDialog(kSpeakerDatabaseFilter, nullptr)) return;
  OpenSpeakerDatabaseIndex(gDesignShell.speakerDatabase,
                           ForceExtension(GetDialogDirectory() + GetDialogFileName(), kSpeakerDatabaseExtension));
}

void CmdLoadAbsorberDatabase() {
  StartDialogIn(gDesignShell.history.absorberDatabaseFolder);
  if (!OpenFileDialog(kAbsorberDatabaseFilter, nullptr)) return;
  gDesignShell.history.absorberDatabaseFolder = GetDialogDirectory();
  LoadAbsorberDatabase(ForceExtension(GetDialogDirectory() + GetDialogFileName(), kAbsorberDatabaseExtension));
}

void CopyDrawingToClipboard() {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  ViewShowCrosshair(0);
  const int16_t pen = GetPenColor();
  SetPenColor(0);
  DrawRectangle({0, 0, DrawWindow->right - 1, DrawWindow->bottom - 1}, 0);  // its last column and row
  SetPenColor(pen);
  CopyViewToClipboard();
  ViewShowCrosshair(1);
  SelectOutputWindow(previous);
}

void BindDesignCommands(CommandRegistry& r) {
  // File
  r.Bind(kCmdOpenProject, CmdOpenProject);
  r.Bind(kCmdSaveProjectAs, CmdSaveProjectAs);
  r.Bind(kCmdNewProject, CmdNewDrawing);
  r.Bind(kCmdExitProgram, ExitApplication);
  for (int i = 0; i < kRecentProjectCount; ++i) r.Bind(kCmdRecentProject + i, [i] { CmdOpenRecentProject(i); });
  // Edit
  r.Bind(kCmdUndo, Undo);
  r.Bind(kCmdRedo, Redo);
  r.Bind(kCmdCopyToClipboard, CopyDrawingToClipboard);
  // Options
  r.Bind(kCmdNothing, [] {});
  r.Bind(kCmdCircleSegments, PromptCircleResolution);
  r.Bind(kCmdApplyLayers, ApplyLayerVisibility);
  r.Bind(kCmdNodeSnapOff, [] { SetNodeSnap(0); });
  r.Bind(kCmdNodeSnapOn, [] { SetNodeSnap(1); });
  r.Bind(kCmdNodeSnapDistance, PromptNodeSnapWidth);
  r.Bind(kCmdCoordinateSnapOff, [] { SetCoordinateSnap(0); });
  r.Bind(kCmdCoordinateSnapOn, [] { SetCoordinateSnap(1); });
  r.Bind(kCmdCoordinateSnapDistance, PromptCursorSnap);
  r.Bind(kCmdGridSize, PromptGridSize);
  r.Bind(kCmdUnitMetres, [] { SetUnit(0); });
  r.Bind(kCmdUnitFeet, [] { SetUnit(1); });
  // View
  r.Bind(kCmdZoomAll, [] { ZoomToFit(); });
  r.Bind(kCmdZoomWindow, ZoomWindow);
  r.Bind(kCmdWireframe, [] { SetHiddenFaces(0); });
  r.Bind(kCmdHiddenFaces, [] { SetHiddenFaces(1); });
  r.Bind(kCmdPickEyePoint, PickEyePointCommand);
  r.Bind(kCmdAimPoints, ToggleAimLines);
  for (uint32_t layer : {kRoomLayer, kAudienceLayer, kLoudspeakerLayer, kAuxiliaryLayer}) {
    const int id = layer == kAuxiliaryLayer ? kCmdShowAuxiliary : kCmdShowRoom + int(layer);
    r.Bind(id, [layer] {
      ToggleLayer(layer);
      ApplyLayerVisibility();
    });
  }
  r.Bind(kCmdShowGrid, [] {
    ToggleLayer(kGridLayer);
    BuildGrid();
  });
  r.Bind(kCmdShowNodes, [] {
    gDrawing.nodeMarkers = gDrawing.nodeMarkers ? 0 : 1;
    CheckItem(kCmdShowNodes, gDrawing.nodeMarkers != 0);
    BuildGrid();
  });
  // Databases and the objects of other projects
  r.Bind(kCmdSelectSpeakerDatabase, SelectSpeakerDatabase);
  r.Bind(kCmdImportRoomGeometry, CmdImportRoomGeometry);
  r.Bind(kCmdSelectMaterialDatabase, CmdLoadAbsorberDatabase);
  r.Bind(kCmdInsertFile, CmdInsertFile);
  // Calculate
  r.Bind(kCmdLevelAndTime, CmdLevelAndTime);
  r.Bind(kCmdCalculateRays, CmdCalculateRays);
  r.Bind(kCmdSaveCalculation, CmdSaveCalculation);
  r.Bind(kCmdLoadCalculation, CmdLoadCalculation);
}
