// The drawing menu: the drawing files (Open, Save as, Merge Drawing), New,
// Exit, Undo and Copy, the snap and grid settings, the view, and the drawing
// editor's draw, edit and face families at ksb's id bases.
#include "design/model/project_file.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/grid.h"
#include "framework/base/input_loop.h"
#include "framework/base/settings_prompts.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/editor/draw_commands.h"
#include "framework/editor/edit_commands.h"
#include "framework/editor/face_commands.h"
#include "framework/editor/plot_region.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"
#include "framework/model/undo_ring.h"
#include "framework/program/program_windows.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/menu.h"
#include "speakerbase/drawing_file.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"

namespace {

inline constexpr char kOpenDrawingFilter[] = "TCF|*.tcf|NDF|*.ndf";
inline constexpr char kDrawingFilter[] = "TCF|*.tcf|";

// The objects of `list`, taken over, to the end of the drawing.
void AppendToDrawing(OwnedObjectList& list) {
  ObjectList taken = list.Release();
  for (GraphicObject* o = taken.first; o;) {
    GraphicObject* next = o->next;
    o->next = o->previous = nullptr;
    AppendObject(o);
    o = next;
  }
}

void SelectViewOfMode(int16_t mode) {
  switch (mode) {
    case kViewXY: SelectViewXY(); break;
    case kViewYZ: SelectViewYZ(); break;
    case kViewXZ: SelectViewXZ(); break;
    default: SelectView3D(); break;
  }
}

void ShowWireframe() {
  gDrawing.hiddenFaces = 0;
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  CheckMenuItemOn(menu, kMenuWireframe);
  CheckMenuItemOff(menu, kMenuHiddenFaces);
}

void TakeDrawing(DrawingFileModel& model, const std::string& path) {
  ResetSpeakerDrawing();
  gSpeakerEditor.drawingName = path;
  gLayers = model.layers;
  AppendToDrawing(model.objects);
  if (model.hasSettings) gPlotHeader = model.settings;
  gSpeakerEditor.drawingHeader = model.header;
  gView.snapStep = model.header.snapStep;
  gDrawing.nodeSnapWidth = model.header.nodeSnapWidth;
  gDrawing.gridSize = model.header.gridSize;
  ShowWireframe();
  SelectViewOfMode(model.header.viewMode);
  // The objects show as the layers they were read with say.
  ApplyLayerVisibility();
}

void CmdOpenDrawing() {
  ConfirmDiscardProject();
  if (!gInput.cancel && OpenFileDialog(kOpenDrawingFilter, nullptr)) {
    const std::string path = GetDialogDirectory() + GetDialogFileName();
    DrawingFileModel model;
    // The layers a drawing does not store are those of a new drawing.
    ResetLayers(model.layers);
    for (int layer = 1; layer < kLayerCount; ++layer) model.layers.SetVisible(uint32_t(layer), false);
    const DrawingReadResult read = OpenDrawingFile(path, model);
    if (read != DrawingReadResult::kNotRead) {
      ClearUndoRing();
      if (read == DrawingReadResult::kDrawing) {
        TakeDrawing(model, path);
      } else {
        AppendToDrawing(model.objects);
        SelectView3D();
      }
      SendViewPanelCommand(kPanelRefreshSwitches);
      UpdateSpeakerTitle();
      ZoomToFit();
    }
  }
  ClearRequestFlags();
  gInput.activeCommand = 0;
}

void CmdMergeDrawing() {
  if (!OpenFileDialog(kDrawingFilter, nullptr)) return;
  if (MergeDrawingFile(GetDialogDirectory() + GetDialogFileName(), uint32_t(gDrawing.currentLayer), gObjects.model) ==
      1)
    LayoutAndRedraw();
}

void SetNodeSnap(int32_t on) {
  gView.nodeSnap = on;
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  platform::SetMenuItemChecked(menu, kCmdNodeSnapOff, on == 0);
  platform::SetMenuItemChecked(menu, kCmdNodeSnapOn, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
}

void SetCoordinateSnap(int32_t on) {
  gView.coordinateSnap = on;
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  platform::SetMenuItemChecked(menu, kCmdCoordinateSnapOff, on == 0);
  platform::SetMenuItemChecked(menu, kCmdCoordinateSnapOn, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
}

void SetHiddenFaces(int16_t on) {
  if (gDrawing.hiddenFaces == on) return;
  gDrawing.hiddenFaces = on;
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  platform::SetMenuItemChecked(menu, kMenuWireframe, on == 0);
  platform::SetMenuItemChecked(menu, kMenuHiddenFaces, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
  LayoutAndRedraw();
}

void ShowPerspective() {
  gView.mode = kViewPerspective;
  LayoutAndRedraw();
}

// A prompt's new setting shows on every object.
void Prompted(void (*prompt)()) {
  prompt();
  RedrawAllObjects();
}

}  // namespace

void CmdSaveDrawing() {
  const SpeakerDatabase& db = gSpeakerEditor.database;
  std::string defaultName;
  if (!db.records.empty()) {
    defaultName = db.currentRecord.TypeName();
    while (!defaultName.empty() && defaultName.back() == ' ') defaultName.pop_back();
    gSpeakerEditor.drawingName = defaultName;
  }
  if (SaveFileDialog(kDrawingFilter, defaultName.c_str())) {
    const std::string path = ForceDrawingExtension(GetDialogDirectory() + GetDialogFileName());
    ProjectHeader header = gSpeakerEditor.drawingHeader;
    header.viewMode = gView.mode;
    header.snapStep = gView.snapStep;
    header.snapOn = uint16_t(gView.coordinateSnap != 0);
    header.nodeSnapWidth = float(gDrawing.nodeSnapWidth);
    header.nodeSnapOn = uint16_t(gView.nodeSnap != 0);
    header.gridSize = gDrawing.gridSize;
    if (SaveDrawingFile(path, header, gLayers, gObjects.model)) {
      gSpeakerEditor.drawingName = path;
      gSpeakerEditor.drawingModified = 0;
    }
  }
  UpdateSpeakerTitle();
  ClearRequestFlags();
}

void BindDrawingCommands(CommandRegistry& r) {
  r.Bind(kCmdOpenDrawing, CmdOpenDrawing);
  r.Bind(kCmdSaveDrawing, CmdSaveDrawing);
  r.Bind(kCmdNewDrawing, CmdNewDrawing);
  r.Bind(kCmdExitEditor, QuitSpeakerEditor);
  r.Bind(kCmdUndoDrawing, Undo);
  r.Bind(kCmdCopyDrawing, CopyDrawingToClipboard);
  r.Bind(kCmdNothing, EmptyCommand);
  r.Bind(kCmdCircleSegments, [] { Prompted(PromptCircleResolution); });
  r.Bind(kCmdNodeSnapWidth, [] { Prompted(PromptNodeSnapWidth); });
  r.Bind(kCmdCursorSnap, [] { Prompted(PromptCursorSnap); });
  r.Bind(kCmdGridSize, [] { Prompted(PromptGridSize); });
  r.Bind(kCmdNodeSnapOff, [] { SetNodeSnap(0); });
  r.Bind(kCmdNodeSnapOn, [] { SetNodeSnap(1); });
  r.Bind(kCmdCoordinateSnapOff, [] { SetCoordinateSnap(0); });
  r.Bind(kCmdCoordinateSnapOn, [] { SetCoordinateSnap(1); });
  r.Bind(kCmdZoomAll, [] { ZoomToFit(); });
  r.Bind(kCmdZoomWindow, ZoomWindow);
  r.Bind(kCmdWireframe, [] { SetHiddenFaces(0); });
  r.Bind(kCmdHiddenFaces, [] { SetHiddenFaces(1); });
  r.Bind(kCmdPickEyePoint, [] {
    PickEyePoint();
    ShowPerspective();
  });
  r.Bind(kCmdPerspective, ShowPerspective);
  r.Bind(kCmdGrid, [] {
    gLayers.SetVisible(kGridLayer, !gLayers.IsVisible(kGridLayer));
    BuildGrid();
  });
  r.Bind(kCmdMergeDrawing, CmdMergeDrawing);
  BindPlotCommand(r, kCmdPlotRegion);
  BindDrawCommands(r, kSpeakerDrawBase);
  BindDrawCommands(r, kSpeakerTextBase);
  BindEditCommands(r, kSpeakerEditBase);
  BindFaceCommands(r, kSpeakerEditBase);
}
