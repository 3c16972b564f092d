#include "design/commands/calculation_windows.h"

#include <string>

#include "design/acoustics/level_map.h"
#include "design/acoustics/map_file.h"
#include "design/acoustics/reflection_search.h"
#include "design/acoustics/result_map.h"
#include "design/acoustics/reverberation.h"
#include "design/commands/audio_commands.h"
#include "design/model/project.h"
#include "design/windows/result_window.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/sound_system.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/state_reset.h"
#include "framework/editor/pointer_input.h"
#include "framework/view/view_panel.h"
#include "platform/window.h"

CalculationWindowsVariant gCalculationWindows;

void ResetCalculationWindows() { gCalculationWindows = CalculationWindowsVariant{}; }

namespace {

const StateReset kReset(ResetCalculationWindows);

void MarkModified() {
  if (gCalculationWindows.modifiedMark) *gCalculationWindows.modifiedMark = 1;
}

// The clicked-point search shows no progress window; its reports keep the
// windows answering, and Escape (or the quit) stops it.
int ReportPointSearch(int, const char*) {
  platform::Message message;
  while (platform::PeekMessage(message) && message.kind != platform::msg::kQuit) platform::DispatchMessage(message);
  return gInput.cancel || platform::IsQuitPosted() ? 1 : 0;
}

}  // namespace

RayWindowContext DesignRayWindowContext() {
  RayWindowContext context;
  context.search = &gRaySearch;
  context.design = ProjectTables();
  context.reverb = ProjectReverbSettings(gProject);
  context.programTitle = gCalculationWindows.programTitle;
  context.projectName = gProject.path;
  context.band = gResultWindow.band;
  context.sound = &PlatformSoundSystem();
  context.selectWavInput = SelectWavInput;
  context.profileButton = gCalculationWindows.profileButton;
  return context;
}

void ShowResultWindow() {
  ResultWindowInput input;
  input.result = &gLevelMap.result;
  input.singlePoints = &gLevelMap.singlePoints;
  input.design = ProjectTables();
  input.reverb = ProjectReverbSettings(gProject);
  input.programTitle = gCalculationWindows.programTitle;
  input.projectPath = gProject.path;
  input.pointSearch = SearchAtResultPoint;
  ShowCalculationResults(input);
}

void CmdShowLastCalculation() {
  if (gLevelMap.resultPresent != 1) return;
  ViewShowCrosshair(0);
  ShowResultWindow();
  ViewShowCrosshair(1);
}

void SearchAtResultPoint(const ObjectVertex& point, double directToReverb) {
  const int32_t paths = SearchPathsAtPoint(gRaySearch, ProjectTables(), point, ReportPointSearch);
  // A cancel stopped the search, not the window it was started from.
  ClearRequestFlags();
  if (paths <= 0) return;
  RayWindowContext context = DesignRayWindowContext();
  PlayPathsAtPoint(context, float(directToReverb));
}

void CmdRt60(int32_t method) {
  const int32_t oldMethod = gProject.reverbMethod;
  const BandValues oldMeasured = gProject.measuredRt;
  Rt60WindowInput input;
  input.method = &gProject.reverbMethod;
  input.measured = &gProject.measuredRt;
  input.design = ProjectTables();
  input.editMeasured = gCalculationWindows.editMeasured;
  ShowRt60Window(method, input);
  if (gProject.reverbMethod != oldMethod || gProject.measuredRt != oldMeasured) MarkModified();
}

void CmdSaveCalculation() {
  if (gLevelMap.resultPresent != 1) return;
  ViewShowCrosshair(0);
  if (SaveFileDialog(kMapFileFilter, kMapFileDefaultName)) {
    const std::string path = GetDialogDirectory() + GetDialogFileName();
    std::string description = gDrawing.comment;
    InputLine(kDescriptionTitle, description, kMapDescriptionLength, 0);
    SaveMapFile(path, description);
  }
  ViewShowCrosshair(1);
}

void CmdLoadCalculation() {
  ViewShowCrosshair(0);
  if (OpenFileDialog(kLoadMapFileFilter, nullptr) &&
      LoadMapFile(GetDialogDirectory() + GetDialogFileName(), ProjectTables())) {
    gDrawing.comment = gLevelMap.description.substr(0, kCommentLength);
    MarkModified();
    ShowResultWindow();
  }
  ViewShowCrosshair(1);
}

void CmdLoadRayFile() {
  RayWindowContext context = DesignRayWindowContext();
  OpenRayFile(context);
}

platform::LParam RouteDesignWindows(platform::Window window, unsigned kind, platform::WParam wParam,
                                    platform::LParam lParam, platform::WindowProc drawingWindow,
                                    platform::WindowProc mainWindow) {
  if (RouteRayWindowMessage(window, kind, wParam, lParam)) return 0;
  // The result window is the view window while it is open: it comes first.
  if (window == ResultWindowHandle()) return CalculationResultsWindowProc(window, kind, wParam, lParam);
  if (window == Rt60WindowHandle()) return Rt60WindowProc(window, kind, wParam, lParam);
  if (window == DrawWindow->window) return drawingWindow(window, kind, wParam, lParam);
  if (window != MainWindow.window) return platform::DefaultWindowProc(window, kind, wParam, lParam);
  // The RT60 window follows the main window's size when it paints.
  if (kind == platform::msg::kSize && Rt60WindowHandle() != platform::Window::kNone)
    platform::InvalidateWindow(Rt60WindowHandle());
  const platform::LParam result = mainWindow(window, kind, wParam, lParam);
  // A view key (or the panel's) lays the result window out with the model
  // alone; the map follows in its paint.
  if ((kind == platform::msg::kKeyDown || kind == kDrawingKeyMessage) &&
      ResultWindowHandle() != platform::Window::kNone)
    platform::InvalidateWindow(ResultWindowHandle());
  return result;
}
