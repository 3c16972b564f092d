// The Audience Areas menu: the drawing editor's draw and edit families at
// 3200 and 3300, and Build Ontop Room Faces.
#include <string>

#include "design/document/audience_on_faces.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_lines.h"
#include "framework/editor/draw_commands.h"
#include "framework/editor/edit_commands.h"
#include "framework/editor/edit_steps.h"
#include "framework/editor/selection.h"
#include "framework/view/rendering.h"

namespace {

constexpr int kAudienceDrawBase = 3200, kAudienceEditBase = 3300;
constexpr char kHeightPrompt[] = "Height above room-face ( 0.0 .. 10.0 )";
constexpr char kAudienceOnFacesPrompt[] = "AUDIENCE AREAS ONTOP ROOM FACES  > ";
constexpr size_t kHeightField = 21;
constexpr double kMaxHeight = 10.0;  // m

// Audience Areas/Build Ontop Room Faces (2601): the height, then for every
// room face picked an audience area that copies it raised by the height,
// until the picking ends.
void CmdAudienceOnFaces() {
  std::string typed;
  if (!InputLine(kHeightPrompt, typed, kHeightField, 1)) return;
  double height = 0;
  if (!ReadTypedNumber(typed, height) ||
      !(LengthFromUserUnit(height) >= 0.0 && LengthFromUserUnit(height) <= kMaxHeight)) {
    ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk);
    return;
  }
  height = LengthFromUserUnit(height);
  gDrawing.prompt = kAudienceOnFacesPrompt;
  if (!AllocPickBuffer(2)) return;
  while (SelectFace()) {
    if (GraphicObject* area = CreateAudienceOnFace(*gPicks.faceObject, gPicks.faceItem, float(height))) {
      InsertObjectBefore(area, gObjects.model.first);
      DrawObjects(area, area, 0);
      gProject.modified = 1;
    }
    gPicks.faceObject = nullptr;
    ClearRequestFlags();
  }
  FreePickBuffer();
  gDrawing.prompt.clear();
  ResetCommandState();
}

}  // namespace

void BindAudienceMenu(CommandRegistry& r) {
  BindDrawCommands(r, kAudienceDrawBase);
  BindEditCommands(r, kAudienceEditBase);
  r.Bind(kCmdAudienceOnFaces, CmdAudienceOnFaces);
}
