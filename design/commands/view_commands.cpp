#include "design/commands/view_commands.h"

#include "design/commands/command_ids.h"
#include "design/document/loudspeaker_aim.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/grid.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/geometry.h"
#include "framework/model/layers.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/menu.h"

namespace {

void SetHiddenFaces(int16_t on) {
  if (gDrawing.hiddenFaces == on) return;
  gDrawing.hiddenFaces = on;
  CheckMenuPair(kMenuWireframe, kMenuHiddenFaces, on != 0);
  SendViewPanelCommand(kPanelRefreshSwitches);
  LayoutAndRedraw();
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
  CheckMenuItem(kCmdAimPoints, shown);
  bool speakers = false;
  for (const GraphicObject* o = gObjects.model.first; o && !speakers; o = o->next)
    speakers = o->layer == kLoudspeakerLayer;
  if (!shown || speakers) RebuildAimLines(shown);
  RedrawAllObjects();
}

}  // namespace

void BindViewCommands(CommandRegistry& r) {
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
    CheckMenuItem(kCmdShowNodes, gDrawing.nodeMarkers != 0);
    BuildGrid();
  });
}

void CheckMenuPair(int offItem, int onItem, bool on) {
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  CheckMenuItemOn(menu, on ? onItem : offItem);
  CheckMenuItemOff(menu, on ? offItem : onItem);
}

void CheckMenuItem(int id, bool on) { platform::SetMenuItemChecked(GetWindowMenu(&MainWindow), id, on); }

void StartDialogIn(const std::string& folder) {
  SetDialogDirectory(folder.empty() ? GetStartDirectory() + "/" : folder);
}

ViewSwitches CurrentViewSwitches() {
  ViewSwitches s;
  for (size_t layer = 0; layer < s.layerShown.size(); ++layer) s.layerShown[layer] = gLayers.IsVisible(uint32_t(layer));
  s.hiddenFaces = gDrawing.hiddenFaces != 0;
  s.nodeMarkers = gDrawing.nodeMarkers != 0;
  s.coordinateSnap = gView.coordinateSnap != 0;
  s.nodeSnap = gView.nodeSnap != 0;
  s.feet = gUnitFlag != 0;
  return s;
}

bool ViewCheckMark(int id, const ViewSwitches& s) {
  switch (id) {
    case kCmdShowRoom: return s.layerShown[0];
    case kCmdShowAudience: return s.layerShown[1];
    case kCmdShowLoudspeakers: return s.layerShown[2];
    case kCmdAimPoints: return s.layerShown[4];
    case kCmdShowAuxiliary: return s.layerShown[7];
    case kCmdShowGrid: return s.layerShown[8];
    case kCmdShowNodes: return s.nodeMarkers;
    case kCmdWireframe: return !s.hiddenFaces;
    case kCmdHiddenFaces: return s.hiddenFaces;
    case kCmdNodeSnapOff: return !s.nodeSnap;
    case kCmdNodeSnapOn: return s.nodeSnap;
    case kCmdCoordinateSnapOff: return !s.coordinateSnap;
    case kCmdCoordinateSnapOn: return s.coordinateSnap;
    case kCmdUnitMetres: return !s.feet;
    case kCmdUnitFeet: return s.feet;
    default: return false;
  }
}
