// The Room menu: the drawing editor's draw, edit and face families at 2200
// and 2300, Import Room Geometry, Assign Material, the face list, the
// absorber database (Select Material Database, Edit Database) and the room
// boundary check.
#include <cstdint>

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/face_list.h"
#include "design/acoustics/room_check.h"
#include "design/model/absorber_database.h"
#include "design/model/materials.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "design/shell/material_dialogs.h"
#include "design/shell/project_commands.h"
#include "design/windows/face_list_window.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/editor/draw_commands.h"
#include "framework/editor/edit_commands.h"
#include "framework/editor/face_commands.h"
#include "framework/editor/selection.h"
#include "framework/model/face_geometry.h"
#include "framework/view/projection.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/messages.h"
#include "platform/window.h"

namespace {

constexpr int kRoomDrawBase = 2200, kRoomEditBase = 2300;
constexpr int16_t kGapMarkerBrush = 16;

// The view that looks along each scan axis: x from the side, y from the
// front, z from above.
void (*const kScanViews[3])() = {SelectViewYZ, SelectViewXZ, SelectViewXY};

// A gap's marker: a 3 x 3 pixel square around the point in the drawing.
void DrawGapMarker(const ObjectVertex& point) {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  ProjectPointToScreen(point);
  const ScreenVertex& at = gWork.screenPoints[0];
  SetBrushColor(kGapMarkerBrush);
  FillRectangle(at.x - 1, at.y - 1, at.x + 1, at.y + 1);
  SelectOutputWindow(previous);
}

void CmdFaceList() { ShowFaceListDialog(gCalcFaceTable, gProject.modified, SelectDatabaseMaterial); }

// Room/Assign Material (2501): a material of the database, then face after
// face picked takes it, until the picking is cancelled. A face without a
// material item keeps what it has.
void CmdAssignMaterial() {
  if (!AllocPickBuffer(2)) return;
  ClearRequestFlags();
  const MaterialTable before = gMaterials.project;
  bool assigned = false;
  int dbIndex = 0;
  if (SelectDatabaseMaterial(0, dbIndex) == 1) {
    const int material = AddMaterialFromDatabase(dbIndex);
    if (material < 0) {
      ShowMessage(kCantLoadAbsorberMessage, kInsufficientMemoryCaption, kMsgOk);
    } else {
      // The command pattern's " > " parts the prompt from the picker's text.
      gDrawing.prompt = "Assign " + gMaterials.project.records[material].name + " > ";
      ShowStatusText("");
      while (SelectFace()) {
        if (ObjectItem* item = FaceMaterialItem(*gPicks.faceObject, gPicks.faceItem)) {
          item->index = uint16_t(material);
          gProject.modified = 1;
          assigned = true;
        }
        gPicks.faceObject = nullptr;
        RedrawAllObjects();
      }
    }
  }
  FreePickBuffer();
  ClearRequestFlags();
  FinishMaterialAssignment(before, assigned);
  gDrawing.prompt.clear();
  ClearStatusLine();
}
}  // namespace

void CmdCheckRoomBoundaries() {
  bool firstScan = true;
  RoomCheckHooks hooks;
  hooks.beginScan = [&firstScan](int axis) {
    kScanViews[axis]();
    // Projected points are clamped to the pixel range, so a fit from a view
    // far off (the one before the command) may need a second.
    if (firstScan) ZoomToFit();
    firstScan = false;
    ZoomToFit();
  };
  hooks.marker = DrawGapMarker;
  const RoomCheckResult result = CheckRoomBoundaries(ProjectTables(), gCalcFaceTable, gProject.modified, hooks);
  if (result.end == RoomCheckEnd::kTooFewFaces) return;
  // The 3D view of the room with the gaps found marked until the next redraw.
  platform::SendMessage(MainWindow.window, platform::msg::kKeyDown, platform::KeyF(4));
  for (const ObjectVertex& point : result.errorPoints) DrawGapMarker(point);
}

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
  r.Bind(kCmdAssignMaterial, CmdAssignMaterial);
  r.Bind(kCmdFaceList, CmdFaceList);
  r.Bind(kCmdSelectMaterialDatabase, CmdLoadAbsorberDatabase);
  r.Bind(kCmdEditMaterialDatabase, CmdEditAbsorberDatabase);
  r.Bind(kCmdCheckRoomBoundaries, CmdCheckRoomBoundaries);
}
