#include "design/shell/project_commands.h"

#include <filesystem>

#include "design/document/project_document.h"
#include "design/model/project.h"
#include "design/model/project_file.h"
#include "design/shell/design_shell.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/grid.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/editor/edit_steps.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/program/drawing_program.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"

namespace {

// The objects read onto `layer` go in front of the model, as they were read.
void InsertInFront(ObjectList& objects) {
  GraphicObject* const front = gObjects.model.first;
  while (GraphicObject* o = objects.first) {
    UnlinkObjectFromList(o, objects);
    InsertObjectBefore(o, front);
  }
}

void MoveSelectedObjects(const ObjectVertex& d) {
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (!(o->state & kStateSelected)) continue;
    for (uint32_t i = 0; i < o->vertexCount; ++i) {
      o->vertices[i].x += d.x;
      o->vertices[i].y += d.y;
      o->vertices[i].z += d.z;
    }
  }
}

// A base point and an offset point; the selected objects move by their
// difference unless either is cancelled.
void PlaceSelectedObjects() {
  ShowStatusText(kBasepointPrompt);
  WaitForPoint();
  if (gInput.cancel || gInput.done) return;
  const ObjectVertex base = gInput.acceptedPoint;
  ShowStatusText(kOffsetPointPrompt);
  WaitForPoint();
  if (gInput.cancel || gInput.done) return;
  const ObjectVertex& offset = gInput.acceptedPoint;
  MoveSelectedObjects({offset.x - base.x, offset.y - base.y, offset.z - base.z});
}

void ImportProjectObjects(uint32_t layer) {
  if (!OpenFileDialog(kProjectFilter, nullptr)) return;
  OwnedObjectList read;
  if (ReadProjectObjects(GetDialogDirectory() + GetDialogFileName(), layer, read.list()) != 1 || !read.list().first)
    return;
  ObjectList objects = read.Release();
  InsertInFront(objects);
  gLayers.SetVisible(layer, true);
  SelectViewOfMode(gView.mode);
  PlaceSelectedObjects();
  ResetCommandState();
  RedrawAllObjects();
  gProject.modified = 1;
}

}  // namespace

void CmdSaveProjectAs() {
  StartInProjectFolder();
  if (SaveFileDialog(kSaveProjectFilter, gProject.path.c_str())) {
    StoreViewSettingsInProject();
    SaveProjectAs(GetDialogDirectory() + GetDialogFileName());
  }
  UpdateWindowTitle();
  ClearRequestFlags();
}

void CmdOpenRecentProject(int index) {
  const std::string path = gDesignShell.history.recent[size_t(index)];
  AskToDiscardProject();  // reading the project clears the undo ring
  if (gInput.cancel) {
    gInput.cancel = 0;
    return;
  }
  if (!path.empty()) OpenProjectFile(path);
}

void CmdImportRoomGeometry() { ImportProjectObjects(kRoomLayer); }
void CmdInsertFile() { ImportProjectObjects(kAuxiliaryLayer); }
