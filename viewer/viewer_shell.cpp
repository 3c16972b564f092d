#include "viewer/viewer_shell.h"

#include <string>

#include "design/acoustics/level_map.h"
#include "design/commands/calculation_windows.h"
#include "design/commands/design_symbols.h"
#include "design/commands/project_open.h"
#include "design/model/project.h"
#include "framework/base/framework_windows.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/program/drawing_program.h"
#include "framework/program/program_windows.h"
#include "platform/menu.h"
#include "platform/window.h"
#include "viewer/viewer_commands.h"
#include "viewer/viewer_history.h"

namespace {

const DrawingProgram& ViewerProgram() {
  static const DrawingProgram program = [] {
    DrawingProgram p;
    p.title = std::string(kViewerTitle) + kViewerVersion;
    p.menu = kViewerMenu;
    p.helpFile = kViewerHelpFile;
    p.splashBitmap = "KOBMP290";
    p.commands = &ViewerCommandTable();
    p.windowProc = kv::MainWindowProc;
    // kv saves no project, so it has no unsaved changes to ask about.
    p.document = {StartNewProject, nullptr};
    p.titleFileName = &gProject.path;
    p.readHistory = ReadViewerHistory;
    p.updateMenuState = kv::UpdateMenuState;
    p.writeHistory = [] { WriteViewerHistory(); };
    p.exitProgram = ExitApplication;
    return p;
  }();
  return program;
}

platform::LParam ViewerMainWindowMessage(platform::Window window, unsigned kind, platform::WParam wParam,
                                         platform::LParam lParam) {
  if (kind == platform::msg::kShowWindow && wParam) kv::UpdateMenuState();
  return MainWindowMessage(window, kind, wParam, lParam);
}

}  // namespace

int StartViewerProgram(platform::Instance instance) {
  if (!StartDrawingProgram(instance, ViewerProgram())) return 0;
  LoadDesignSymbols();
  // kv stores no audio profiles, edits no measured times and saves no
  // project, so nothing it loads or chooses is to be saved.
  gCalculationWindows = {kViewerTitle, nullptr, false, nullptr};
  BindViewerCommands(gProgramShell.commands);
  kv::UpdateMenuState();
  return 1;
}

void RunViewerProgram() { RunDrawingProgram(); }

void EndViewerProgram() {
  FreeDesignSymbols();
  EndDrawingProgram();
}

namespace kv {

platform::LParam MainWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam) {
  return RouteDesignWindows(window, kind, wParam, lParam, ViewWindowProc, ViewerMainWindowMessage);
}

platform::LParam ViewWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam) {
  switch (kind) {
    case platform::msg::kHorizontalScroll:
    case platform::msg::kVerticalScroll:
      // The scroll bars move the flat views only; the perspective view
      // keeps its direction.
      if (gView.mode == kViewPerspective) return 0;
      break;
    case platform::msg::kMouseMove:
      // The crosshair follows the pointer with Shift held too.
      wParam &= ~platform::WParam(platform::kMouseShift);
      break;
    default: break;
  }
  return ::ViewWindowProc(window, kind, wParam, lParam);
}

ViewerMenuStateInput CurrentMenuStateInput() {
  ViewerMenuStateInput in;
  static_cast<ViewSwitches&>(in) = CurrentViewSwitches();
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    switch (o->layer) {
      case kRoomLayer:
        ++in.roomObjects;
        if (o->kind & kKindFaceOrSolid) ++in.roomFacesOrSolids;
        break;
      case kAudienceLayer: ++in.audienceObjects; break;
      case kLoudspeakerLayer: ++in.loudspeakers; break;
      default: break;
    }
  }
  in.calculationHeld = gLevelMap.resultPresent == 1;
  return in;
}

void UpdateMenuState() {
  ApplyMenuState(ComputeViewerMenuState(CurrentMenuStateInput(), gProgramShell.commands));
  platform::RedrawMenuBar(MainWindow.window);
}

}  // namespace kv
