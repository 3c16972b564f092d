#include "design/windows/face_list_window.h"

#include <string>
#include <vector>

#include "design/acoustics/face_list.h"
#include "design/model/materials.h"
#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/state_reset.h"
#include "framework/editor/pointer_input.h"
#include "framework/editor/selection.h"
#include "framework/model/layers.h"
#include "framework/view/rendering.h"
#include "platform/window.h"

FaceListState gFaceList;

void ResetFaceList() { gFaceList = FaceListState{}; }

namespace {

using platform::LParam;
using platform::Window;
using platform::WParam;

const StateReset kReset(ResetFaceList);

constexpr int kList = 101, kChangeFaceMaterial = 102, kReplaceMaterial = 103, kQuit = 104, kPrint = 105;
constexpr int kFaceFields = 201, kFaceArea = 208, kFaceShare = 209;
constexpr int kMaterialFields = 301, kMaterialArea = 308, kMaterialShare = 309;
constexpr int kTotalFields = 401, kTotalArea = 501;
constexpr uint32_t kMarkerColour = 22;

const MaterialTable& Materials() { return gMaterials.project; }
CalcFaceTable& Table() { return *gFaceList.table; }

void ShowTotals(Window dialog) {
  const FaceListTotals totals = FormatFaceListTotals(Table(), Materials());
  for (int band = 0; band < kAbsorberBandCount; ++band)
    SetDialogText(dialog, kTotalFields + band, totals.sabins[size_t(band)].c_str());
  SetDialogText(dialog, kTotalArea, totals.area.c_str());
}

void ShowFaceFields(Window dialog, int row) {
  const FaceListFields fields = FormatFaceListFields(Table(), Materials(), row);
  for (int band = 0; band < kAbsorberBandCount; ++band) {
    SetDialogText(dialog, kFaceFields + band, fields.faceSabins[size_t(band)].c_str());
    SetDialogText(dialog, kMaterialFields + band, fields.materialSabins[size_t(band)].c_str());
  }
  SetDialogText(dialog, kFaceArea, fields.faceArea.c_str());
  SetDialogText(dialog, kFaceShare, fields.faceShare.c_str());
  SetDialogText(dialog, kMaterialArea, fields.materialArea.c_str());
  SetDialogText(dialog, kMaterialShare, fields.materialShare.c_str());
}

// The list's choice is marked and shown; the face marked before is
// unmarked first.
void UpdateSelection(Window dialog) {
  const int selected = platform::GetListSelection(dialog, kList);
  if (selected < 0 || selected >= Table().Count()) return;
  if (gFaceList.row >= 0 && gFaceList.row < Table().Count()) MarkCalcFace(Table().faces[size_t(gFaceList.row)], 0);
  gFaceList.row = selected;
  MarkCalcFace(Table().faces[size_t(selected)], 1);
  ShowFaceFields(dialog, selected);
}

void Fill(Window dialog) {
  SortCalcFaces(Table());
  for (int row = 0; row < Table().Count(); ++row)
    AddDialogListText(dialog, kList, FormatFaceListRow(Table(), Materials(), row).c_str());
  platform::SetListSelection(dialog, kList, 0);
  ShowTotals(dialog);
  if (!gFaceList.selectMaterial) {
    platform::ShowWindow(platform::GetDialogItem(dialog, kChangeFaceMaterial), platform::ShowMode::kHide);
    platform::ShowWindow(platform::GetDialogItem(dialog, kReplaceMaterial), platform::ShowMode::kHide);
  }
  UpdateSelection(dialog);
}

// Rows whose material changed get their new text; the choice stays.
void RefreshRows(Window dialog) {
  for (int row = 0; row < Table().Count(); ++row) {
    const std::string text = FormatFaceListRow(Table(), Materials(), row);
    if (GetDialogListText(dialog, kList, row) == text) continue;
    platform::DeleteListItem(dialog, kList, row);
    InsertDialogListText(dialog, kList, row, text.c_str());
  }
  platform::SetListSelection(dialog, kList, gFaceList.row);
}

// "Change Face Material" (every face of its material with `all`).
void ChangeMaterial(Window dialog, bool all) {
  const int row = gFaceList.row;
  if (!gFaceList.selectMaterial || row < 0 || row >= Table().Count()) return;
  int dbIndex = 0;
  if (!gFaceList.selectMaterial(CalcFaceMaterialIndex(Table().faces[size_t(row)], Materials()), dbIndex)) return;
  uint16_t& mark = *gFaceList.modifiedMark;
  const int changed =
      all ? ReplaceFaceMaterial(Table(), row, dbIndex, mark) : ChangeFaceMaterial(Table(), row, dbIndex, mark);
  if (changed > 0) {
    RefreshRows(dialog);
    ShowFaceFields(dialog, row);
  }
  ShowTotals(dialog);
}

void Close(Window dialog, bool print) {
  gFaceList.printAfterwards = print;
  platform::ResetList(dialog, kList);
  platform::DestroyWindow(dialog);
}

LParam FaceListDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  switch (kind) {
    case platform::msg::kInitDialog: Fill(dialog); return 0;
    case platform::msg::kCommand:
      switch (int(platform::LowWord(wParam))) {
        case kList:
          if (platform::HighWord(wParam) == platform::kNotifySelectionChange) UpdateSelection(dialog);
          break;
        case kChangeFaceMaterial: ChangeMaterial(dialog, false); break;
        case kReplaceMaterial: ChangeMaterial(dialog, true); break;
        case kQuit: Close(dialog, false); break;
        case kPrint: Close(dialog, true); break;
      }
      return 0;
    case platform::msg::kDestroy: gFaceList.dialog = Window::kNone; return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

// Until the dialog is gone: its messages to it, left clicks into the
// drawing dropped, the rest dispatched. A quit closes the list.
void RunFaceListLoop() {
  const Window drawing = DrawWindow ? DrawWindow->window : Window::kNone;
  platform::Message message;
  while (gFaceList.dialog != Window::kNone) {
    if (!platform::GetMessage(message)) {
      platform::DestroyWindow(gFaceList.dialog);
      break;
    }
    if (platform::IsDialogMessage(gFaceList.dialog, message)) continue;
    if (message.window == drawing && message.kind == platform::msg::kLeftButtonDown) continue;
    platform::DispatchMessage(message);
  }
}

void FreeMarker() {
  if (!gFaceList.marker) return;
  FreeObject(gFaceList.marker);
  gFaceList.marker = nullptr;
}

}  // namespace

void MarkCalcFace(const CalcFace& face, int on) {
  if (on) {
    gPicks.faceObject = face.object;
    gPicks.faceItem = face.firstItem;
    FreeMarker();
    GraphicObject* marker = CreateObject(0, 2, 2);
    if (marker) {
      const FaceMarkerLine line = ComputeFaceMarkerLine(face);
      marker->vertices[0] = line.from;
      marker->vertices[1] = line.to;
      marker->items[0] = {kOpStart, 0};
      marker->items[1] = {kOpLineTo, 1};
      marker->layer = kRoomLayer;
      marker->colour = kMarkerColour;
      InsertObjectBefore(marker, gObjects.model.first);
      gFaceList.marker = marker;
      DrawObjects(marker, marker, 0);
    }
    DrawFaceOutline(face.object, face.firstItem, 1);
    return;
  }
  if (gFaceList.marker) {
    gFaceList.marker->colour = uint32_t(gDrawing.backgroundColour);
    DrawObjects(gFaceList.marker, gFaceList.marker, 0);
    FreeMarker();
  }
  DrawFaceOutline(face.object, face.firstItem, 0);
  gPicks.faceObject = nullptr;
  gPicks.faceItem = 0;
}

int ShowFaceListDialog(CalcFaceTable& table, uint16_t& modifiedMark, SelectMaterialHook selectMaterial) {
  if (BuildCalcFaceTable(table, gObjects.model, gMaterials.project) == 0 || !AllocPickBuffer(2)) return 0;
  gFaceList = FaceListState{Window::kNone, &table, &modifiedMark, selectMaterial};
  ShowCrosshair(0);
  SetCursorTracking(0);
  gFaceList.dialog = OpenModelessDialog(kFaceListDialog, MainWindow.window, FaceListDialogProc);
  const bool opened = gFaceList.dialog != Window::kNone;
  if (opened) RunFaceListLoop();
  const bool print = gFaceList.printAfterwards;
  FreeMarker();
  FreePickBuffer();
  gFaceList = FaceListState{};
  if (platform::IsQuitPosted()) return int(opened);  // the windows are going
  RedrawAllObjects();
  SetCursorTracking(1);
  ShowCrosshair(1);
  if (opened && print) PrintFaceSummary(table, gMaterials.project);
  return int(opened);
}

void PrintFaceSummary(const CalcFaceTable& table, const MaterialTable& materials) {
  SetPrintLandscape(0);
  if (!PrintSetupDialog() || !StartPrintJobWithObjects()) return;
  const int width = GetPrintSettings()->horizontalResolution;
  PrintListingPages(LayOutFaceSummary(table, materials, width), ListingSizesForWidth(width));
}
