#include "design/shell/calculation_commands.h"

#include <string>

#include "design/acoustics/level_map.h"
#include "design/acoustics/map_file.h"
#include "design/acoustics/ray_file.h"
#include "design/acoustics/reflection_search.h"
#include "design/acoustics/result_map.h"
#include "design/acoustics/reverberation.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "design/shell/design_shell.h"
#include "design/shell/property_dialogs.h"
#include "design/windows/ray_windows.h"
#include "design/windows/result_window.h"
#include "design/windows/rt60_window.h"
#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/sound_system.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/editor/edit_steps.h"
#include "framework/model/layers.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "platform/dialog.h"
#include "platform/window.h"

namespace {

constexpr int kFirstPhase = 101, kLastPhase = 103;
constexpr int kShadingBox = 104, kReflectionBox = 105;
constexpr int kFirstGridButton = 301, kLastGridButton = 307;
constexpr int kStartButton = 501, kCancelButton = 502;
// The grid button of size index 0 (0.25 m); "Minimum" (index -1) lies before it.
constexpr int kGridButtonOfIndex0 = 302;

// The grid buttons 302 .. 307 in feet.
constexpr const char* kFeetGridLabels[] = {"    .8 ft.", "  1.6 ft.", "  3.3 ft.", "  6.6 ft.", "16.4 ft.", "32.8 ft."};

platform::LParam CalcOptionsProc(platform::Window dialog, unsigned kind, platform::WParam wParam,
                                 platform::LParam lParam) {
  CalcOptions& options = gProject.calcOptions;
  switch (kind) {
    case platform::msg::kInitDialog:
      platform::CheckRadioButton(dialog, kFirstPhase, kLastPhase, kFirstPhase - 1 + options.phaseMode);
      platform::CheckDialogButton(dialog, kShadingBox, (options.roomBits & kCalcShading) != 0);
      platform::CheckDialogButton(dialog, kReflectionBox, (options.roomBits & kCalcFirstReflection) != 0);
      platform::CheckRadioButton(dialog, kFirstGridButton, kLastGridButton, kGridButtonOfIndex0 + options.gridIndex);
      if (gUnitFlag)
        for (int i = 0; i < int(std::size(kFeetGridLabels)); ++i)
          SetDialogText(dialog, kGridButtonOfIndex0 + i, kFeetGridLabels[i]);
      return 0;
    case platform::msg::kCommand: {
      const int id = int(platform::LowWord(wParam));
      if (id >= kFirstPhase && id <= kLastPhase) options.phaseMode = int16_t(id - (kFirstPhase - 1));
      if (id == kShadingBox) options.roomBits ^= kCalcShading;
      if (id == kReflectionBox) options.roomBits ^= kCalcFirstReflection;
      if (id >= kFirstGridButton && id <= kLastGridButton) options.gridIndex = int16_t(id - kGridButtonOfIndex0);
      if (id == kStartButton) platform::EndDialog(dialog, 1);
      if (id == kCancelButton) platform::EndDialog(dialog, 0);
      return 0;
    }
    default: return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  }
}

bool HasLoudspeakerObjects() {
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->layer == kLoudspeakerLayer) return true;
  return false;
}

// While the search runs the drawing window and the panel step aside, so
// that its progress window stands over the main window alone.
class DrawingWindowAside {
 public:
  DrawingWindowAside() : panel_(gViewPanel) {
    platform::ShowWindow(DrawWindow->window, platform::ShowMode::kHide);
    if (panel_ != platform::Window::kNone) platform::ShowWindow(panel_, platform::ShowMode::kHide);
    previous_ = SelectOutputWindow(&MainWindow);
  }
  ~DrawingWindowAside() {
    SelectOutputWindow(previous_);
    platform::ShowWindow(DrawWindow->window, platform::ShowMode::kShow);
    if (platform::IsWindow(panel_)) platform::ShowWindow(panel_, platform::ShowMode::kShow);
  }
  DrawingWindowAside(const DrawingWindowAside&) = delete;
  DrawingWindowAside& operator=(const DrawingWindowAside&) = delete;

 private:
  platform::Window panel_;
  WindowRecord* previous_ = nullptr;
};

// After the windows of a search: "Store ray calculation to file ?", the
// file and its description.
void OfferRayFile() {
  if (!HasRayPaths(gObjects.model) || ShowMessage(kStoreRayFileQuestion, nullptr, kMsgOkCancel) != kIdOk) return;
  if (!SaveFileDialog(kRayFileSaveFilter, kRayFileDefault)) return;
  const std::string path = GetDialogDirectory() + GetDialogFileName();
  std::string description;
  InputLine(kRayFileDescriptionPrompt, description, kRayFileDescriptionLength + 1, 0);
  StoreRayFile(path, gObjects.model, description, gRaySearch.meanFreePathEstimate);
}

}  // namespace

int EditMeasuredTimes(BandValues& measured) { return ShowEqualizerDialog(measured, EqualizerMode::kRt60); }

int ShowCalcOptionsDialog() {
  return RunModalDialog(kCalcOptionsDialog, MainWindow.window, CalcOptionsProc) == 1 ? 1 : 0;
}

void CmdLevelAndTime() {
  if (!HasLoudspeakerObjects() || !ShowCalcOptionsDialog()) return;
  // The view is fitted once there is something to compute.
  const LevelMapRun run = RunLevelTimeCalculation(gProject.calcOptions, ProjectTables(), {}, [] {
    ZoomToFit();
    SetPenColor(kCalculationPen);
  });
  // The result is saved with the project: leaving without saving asks first.
  if (run == LevelMapRun::kDone) gProject.modified = 1;
  platform::ValidateWindow(DrawWindow->window);
  ViewShowCrosshair(1);
  if (run == LevelMapRun::kCancelled) RedrawAllObjects();
  if (run == LevelMapRun::kDone) ShowResultWindow();
}

void CmdRt60Measurement() {
  BandValues measured = gProject.measuredRt;
  if (!EditMeasuredTimes(measured)) return;
  if (measured != gProject.measuredRt) gProject.modified = 1;
  gProject.measuredRt = measured;
  CmdRt60(kRt60Measured);
}

void CmdCalculateRays() {
  if (!PrepareCalculateRays(gRaySearch, ProjectTables())) return;
  std::string order = kDefaultMaxOrderText;
  if (!InputLine(kMaxOrderPrompt, order, kMaxOrderTextLength + 1, 1)) return;
  gDrawing.prompt = kRaysCommandPrompt;
  ShowStatusText(kTargetPointStatusText);
  WaitForPoint();
  if (!gInput.cancel && !gInput.done) {
    uint32_t paths = 0;
    {
      DrawingWindowAside aside;
      paths = CalculateRays(gRaySearch, ProjectTables(), order, gInput.acceptedPoint);
    }
    // The reflection windows show the paths, which may then be stored, and
    // leave the model afterwards.
    if (paths > 0) {
      RayWindowContext context = DesignRayWindowContext();
      ShowRayResults(context);
      OfferRayFile();
      DeleteRayPaths(gRaySearch, gObjects.model);
    }
  }
  gDrawing.prompt.clear();
  ResetCommandState();
}

void BindCalculateMenu(CommandRegistry& r) {
  r.Bind(kCmdLevelAndTime, CmdLevelAndTime);
  r.Bind(kCmdRt60Sabine, [] { CmdRt60(kRt60Sabine); });
  r.Bind(kCmdRt60Eyring, [] { CmdRt60(kRt60Eyring); });
  r.Bind(kCmdRt60Fitzroy, [] { CmdRt60(kRt60Fitzroy); });
  r.Bind(kCmdRt60Measurement, CmdRt60Measurement);
  r.Bind(kCmdCalculateRays, CmdCalculateRays);
  r.Bind(kCmdLoadRayFile, CmdLoadRayFile);
  BindAudioCommands(r);
  r.Bind(kCmdShowLastCalculation, CmdShowLastCalculation);
  r.Bind(kCmdSaveCalculation, CmdSaveCalculation);
  r.Bind(kCmdLoadCalculation, CmdLoadCalculation);
}
