#include "design/windows/result_window.h"

#include <array>
#include <vector>

#include "design/acoustics/result_export.h"
#include "design/acoustics/result_map.h"
#include "design/windows/result_map_drawing.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/editor/pointer_input.h"
#include "framework/model/layers.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

constexpr int kSideButtonSize = 32;
constexpr int kRowButtonHeight = 18, kRowFromBottom = 22;
constexpr int kModeButtonWidth = 48;
constexpr int kStepButtonsX = 328, kStepButtonWidth = 40;
constexpr int kPrintButtonX = 496, kClearButtonX = 576, kWideButtonWidth = 80;
// On opening the map is fitted left of the legend and below the title strip.
constexpr int kFitRightInset = 80, kFitTopInset = 20;

struct ResultWindowShell {
  WindowRecord record;
  WindowRecord* drawingWindow = nullptr;  // the view window before this one, back at the close
  WindowRecord* previousOutput = nullptr;
  const ResultWindowInput* input = nullptr;
  int offeredModes = kModeButtonCount;
  std::array<platform::Window, kBandButtonCount> bands{};
  std::array<platform::Window, kModeButtonCount> modes{};
  std::array<platform::Window, kScaleStepButtonCount> steps{};
  platform::Window back{}, print{}, clear{};
  bool layoutPending = false;  // the first paint fits the view to the map
  bool painting = false;
  bool printing = false;  // painting the window for the printer
  bool searching = false;
};
ResultWindowShell gShell;

void ResetResultWindowShell() { gShell = ResultWindowShell{}; }
const StateReset kReset(ResetResultWindowShell);

int MainHeight() { return platform::GetClientSize(MainWindow.window).height; }

// The bottom row follows the main window's height.
void PlaceRowButtons() {
  const int y = MainHeight() - kRowFromBottom;
  for (int i = 0; i < gShell.offeredModes; ++i)
    platform::MoveWindow(gShell.modes[size_t(i)], kDrawMarginLeft + kModeButtonWidth * i, y, kModeButtonWidth,
                         kRowButtonHeight, true);
  for (int i = 0; i < kScaleStepButtonCount; ++i)
    platform::MoveWindow(gShell.steps[size_t(i)], kStepButtonsX + kStepButtonWidth * i, y, kStepButtonWidth,
                         kRowButtonHeight, true);
  platform::MoveWindow(gShell.print, kPrintButtonX, y, kWideButtonWidth, kRowButtonHeight, true);
  platform::MoveWindow(gShell.clear, kClearButtonX, y, kWideButtonWidth, kRowButtonHeight, true);
}

void ShowPressedButtons() {
  const ResultWindowState& view = gResultWindow;
  for (int i = 0; i < kBandButtonCount; ++i) platform::SetButtonPressed(gShell.bands[size_t(i)], i == view.band);
  for (int i = 0; i < gShell.offeredModes; ++i)
    platform::SetButtonPressed(gShell.modes[size_t(i)], kModeButtonModes[size_t(i)] == view.mode);
  const std::array<const char*, kScaleStepButtonCount> labels = ScaleStepLabels(view.mode);
  for (int i = 0; i < kScaleStepButtonCount; ++i) {
    platform::SetWindowText(gShell.steps[size_t(i)], labels[size_t(i)]);
    platform::SetButtonPressed(gShell.steps[size_t(i)], i - 1 == view.stepIndex);
  }
}

void CreateButtons() {
  const ResultWindowInput& in = *gShell.input;
  const int y = MainHeight() - kRowFromBottom;
  gShell.back = CreatePushButton("<-", 0, kDrawMarginTop, kSideButtonSize, kSideButtonSize, kResultBackButton);
  for (int i = 0; i < kBandButtonCount; ++i)
    gShell.bands[size_t(i)] = CreatePushButton(BandOffered(in.result->counts, i) ? kBandButtonLabels[size_t(i)] : "", 0,
                                               kDrawMarginTop + kSideButtonSize * (i + 1), kSideButtonSize,
                                               kSideButtonSize, kFirstBandButton + i);
  for (int i = 0; i < gShell.offeredModes; ++i)
    gShell.modes[size_t(i)] = CreatePushButton(kModeButtonLabels[size_t(i)], kDrawMarginLeft + kModeButtonWidth * i, y,
                                               kModeButtonWidth, kRowButtonHeight, kFirstModeButton + i);
  for (int i = 0; i < kScaleStepButtonCount; ++i)
    gShell.steps[size_t(i)] = CreatePushButton("", kStepButtonsX + kStepButtonWidth * i, y, kStepButtonWidth,
                                               kRowButtonHeight, kFirstStepButton + i);
  gShell.print = CreatePushButton("PRINT", kPrintButtonX, y, kWideButtonWidth, kRowButtonHeight, kResultPrintButton);
  gShell.clear = CreatePushButton("CLEAR", kClearButtonX, y, kWideButtonWidth, kRowButtonHeight, kResultClearButton);
  platform::ShowWindow(gShell.clear, platform::ShowMode::kHide);
  ShowPressedButtons();
}

void DestroyButtons() {
  auto destroy = [](platform::Window& button) {
    if (button != platform::Window::kNone) DestroyControl(button);
    button = platform::Window::kNone;
  };
  for (platform::Window& b : gShell.bands) destroy(b);
  for (platform::Window& b : gShell.modes) destroy(b);
  for (platform::Window& b : gShell.steps) destroy(b);
  for (platform::Window* b : {&gShell.back, &gShell.print, &gShell.clear}) destroy(*b);
}

bool HasSinglePoints() {
  return !ShownSinglePoints(*gShell.input->singlePoints, gShell.input->result->grid.PointCount()).empty();
}

ReverberantTerms CurrentTerms() { return ComputeReverberantTerms(gShell.input->design, gShell.input->reverb); }

// Fits the model into the area left of the legend strip and below the
// title strip, then lays the window out around it.
void FitResultView() {
  const platform::Size client = platform::GetClientSize(DrawWindow->window);
  DrawWindow->right = client.width - kFitRightInset;
  DrawWindow->bottom = client.height - kFitTopInset;
  if (ZoomToFit()) {
    // ZoomToFit centres on the whole window; the narrowed area's centre
    // lies half the insets left and down of it.
    gView.originX += float(kFitRightInset / 2) / gView.scale;
    gView.originY += float(kFitTopInset / 2) / gView.scale;
    StoreViewOrigin();
  }
  LayoutAndRedraw();
}

// The window laid out for the main window's size and the model drawn: on
// opening fitted to the map.
void LayOutModelView() {
  if (gShell.layoutPending) {
    gShell.layoutPending = false;
    FitResultView();
  } else {
    LayoutAndRedraw();
  }
}

// The loudspeaker symbols over the cells.
void DrawLoudspeakersOnTop() {
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->layer == kLoudspeakerLayer && !(o->state & kStateLayerOff)) DrawObjects(o, o, 0);
}

// A printer of two colours (black on white) gets the level patterns.
bool PrinterWithoutColour() { return GetPrintSettings()->colours <= 2; }

// The window painted for the printer (with patterns on one without
// colour) and printed as a bitmap; the export mode writes once, after.
void Print() {
  SetPrintLandscape(1);
  if (PrintSetupDialog()) {
    gShell.printing = true;
    PaintCalculationResults();
    WindowRecord* previous = SelectOutputWindow(&gShell.record);
    PrintViewWindow();
    SelectOutputWindow(previous);
    gShell.printing = false;
  }
  SetPrintLandscape(0);
  PaintCalculationResults();
}

void AddSinglePointAt(int x, int y) {
  const ResultWindowInput& in = *gShell.input;
  const std::vector<PixelPosition> pixels = GridPointPixels(*in.result);
  const int index = NearestGridPoint(pixels, x, y);
  if (index < 0 || AddSinglePoint(*in.singlePoints, uint16_t(index)) != 1) return;
  const GridPoint& point = in.result->grid.points[size_t(index)];
  SinglePointExport target{in.projectPath, platform::LocalTime()};
  WindowRecord* previous = SelectOutputWindow(&gShell.record);
  ViewShowCrosshair(0);
  ShowSinglePointValue(pixels[size_t(index)], gResultWindow.mode, gResultWindow.band, point, CurrentTerms(), target);
  ViewShowCrosshair(1);
  SelectOutputWindow(previous);
  platform::ShowWindow(gShell.clear, platform::ShowMode::kShow);
}

// The right-click pick: the grid point nearest (x, y) closer than
// kPickRadius, none when there is none.
const GridPoint* PickGridPoint(int x, int y) {
  const MapResult& result = *gShell.input->result;
  const int index = NearestGridPoint(GridPointPixels(result), x, y);
  return index < 0 ? nullptr : &result.grid.points[size_t(index)];
}

void SearchAtPoint(int x, int y) {
  const ResultWindowInput& in = *gShell.input;
  if (!in.pointSearch || gShell.searching) return;
  const GridPoint* point = PickGridPoint(x, y);
  if (!point) return;
  gShell.searching = true;
  in.pointSearch(PointOnFace(in.result->faces, *point), DirectToReverbAll(CurrentTerms(), point->level));
  gShell.searching = false;
  if (platform::IsWindow(gShell.record.window)) platform::InvalidateWindow(gShell.record.window);
}

void OnButton(int id) {
  ResultWindowState& view = gResultWindow;
  if (id == kResultBackButton) {
    gInput.cancel = 1;
  } else if (id >= kFirstBandButton && id < kFirstBandButton + kBandButtonCount) {
    if (!BandOffered(gShell.input->result->counts, id - kFirstBandButton)) return;
    view.band = int16_t(id - kFirstBandButton);
    ShowPressedButtons();
    PaintCalculationResults();
  } else if (id >= kFirstModeButton && id < kFirstModeButton + gShell.offeredModes) {
    view.mode = kModeButtonModes[size_t(id - kFirstModeButton)];
    ShowPressedButtons();
    PaintCalculationResults();
  } else if (id >= kFirstStepButton && id < kFirstStepButton + kScaleStepButtonCount) {
    view.stepIndex = int16_t(id - kFirstStepButton - 1);
    ShowPressedButtons();
    PaintCalculationResults();
  } else if (id == kResultPrintButton) {
    Print();
  } else if (id == kResultClearButton) {
    *gShell.input->singlePoints = SinglePointList{.pointCount = gShell.input->result->grid.PointCount()};
    PaintCalculationResults();
  }
  platform::SetFocus(MainWindow.window);
}

}  // namespace

platform::Window ResultWindowHandle() { return gShell.record.window; }

platform::Window ResultWindowButton(int id) {
  if (gShell.record.window == platform::Window::kNone) return platform::Window::kNone;
  if (id >= kFirstBandButton && id < kFirstBandButton + kBandButtonCount)
    return gShell.bands[size_t(id - kFirstBandButton)];
  if (id >= kFirstModeButton && id < kFirstModeButton + gShell.offeredModes)
    return gShell.modes[size_t(id - kFirstModeButton)];
  if (id >= kFirstStepButton && id < kFirstStepButton + kScaleStepButtonCount)
    return gShell.steps[size_t(id - kFirstStepButton)];
  switch (id) {
    case kResultBackButton: return gShell.back;
    case kResultPrintButton: return gShell.print;
    case kResultClearButton: return gShell.clear;
    default: return platform::Window::kNone;
  }
}

void ShowCalculationResults(const ResultWindowInput& input) {
  if (!input.result || !input.singlePoints || !input.design.model || gShell.record.window != platform::Window::kNone)
    return;
  MatchSinglePointsToGrid(*input.singlePoints, input.result->grid.PointCount());
  gShell.input = &input;
  gShell.offeredModes = OfferedModeCount(*input.design.model);
  gResultWindow.mode = OfferedMode(gResultWindow.mode, gShell.offeredModes);

  const platform::Size main = platform::GetClientSize(MainWindow.window);
  platform::ShowWindow(DrawWindow->window, platform::ShowMode::kHide);
  const platform::Window window = CreateChildWindow("", platform::kStyleBorder, kDrawMarginLeft, kDrawMarginTop,
                                                    main.width - kDrawMarginLeft - kDrawMarginRight,
                                                    main.height - kDrawMarginTop - kDrawMarginBottom, kResultWindowId);
  if (window == platform::Window::kNone) {
    ShowMessage(kCantCreateSplWindow, nullptr, kMsgOk);
    platform::ShowWindow(DrawWindow->window, platform::ShowMode::kShow);
    gShell = ResultWindowShell{};
    return;
  }
  gShell.record = WindowRecord{};
  gShell.record.window = window;
  gShell.drawingWindow = SetViewWindow(&gShell.record);
  gShell.previousOutput = SelectOutputWindow(&gShell.record);
  CreateButtons();
  platform::SetFocus(MainWindow.window);
  gShell.layoutPending = true;
  platform::InvalidateWindow(window);

  do {
    WaitForPoint();
  } while (!gInput.done && !gInput.cancel);

  DestroyButtons();
  SetViewWindow(gShell.drawingWindow);
  SelectOutputWindow(gShell.previousOutput);
  platform::DestroyWindow(window);
  gShell = ResultWindowShell{};
  platform::ShowWindow(DrawWindow->window, platform::ShowMode::kShow);
  ClearRequestFlags();
  platform::InvalidateWindow(DrawWindow->window);
}

void PaintCalculationResults(bool layout) {
  if (gShell.painting || !gShell.input) return;
  const ResultWindowInput& in = *gShell.input;
  gShell.painting = true;
  WindowRecord* previous = SelectOutputWindow(&gShell.record);
  if (layout || gShell.layoutPending) LayOutModelView();
  else RedrawAllObjects();
  ViewShowCrosshair(0);
  SelectOutputWindow(&gShell.record);
  const ReverberantTerms terms = CurrentTerms();
  SinglePointExport singlePoints{in.projectPath, platform::LocalTime()};
  ResultMapPicture picture{*in.result,     *in.singlePoints, gResultWindow,
                           terms,          in.reverb.method, in.programTitle,
                           in.projectPath, singlePoints,     gShell.printing && PrinterWithoutColour()};
  DrawResultMap(picture);
  platform::ShowWindow(gShell.clear, HasSinglePoints() ? platform::ShowMode::kShow : platform::ShowMode::kHide);
  DrawLoudspeakersOnTop();
  SelectOutputWindow(&gShell.record);
  DrawDrawingComment();
  ViewShowCrosshair(1);
  SelectOutputWindow(previous);
  gShell.painting = false;
  if (gResultWindow.mode == kResultStiExport && !gShell.printing)
    ExportStiMap(in.result->grid.points, terms.Sti(), gResultWindow.band, in.projectPath, platform::LocalTime());
}

platform::LParam CalculationResultsWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                              platform::LParam lParam) {
  if (window != gShell.record.window || !gShell.input) return platform::DefaultWindowProc(window, kind, wParam, lParam);
  const int x = platform::LowSigned(std::uintptr_t(lParam)), y = platform::HighSigned(std::uintptr_t(lParam));
  // A nested wait for a point (F6's zoom) takes the clicks as the drawing
  // window would.
  const bool pointWanted = gInput.inputMode == kInputZoomBox;
  switch (kind) {
    case platform::msg::kPaint:
      platform::ValidateWindow(window);
      if (gShell.painting || platform::IsMinimised(MainWindow.window) || IsPrinting()) return 0;
      PlaceRowButtons();
      if (gResultWindow.mode != kResultStiExport) PaintCalculationResults(true);
      else LayOutModelView();
      return 0;
    case platform::msg::kCommand: OnButton(int(platform::LowWord(wParam))); return 0;
    case platform::msg::kLeftButtonDown:
      TrackMousePosition(x, y);
      if (pointWanted) gInput.pickFlag = true;
      else AddSinglePointAt(x, y);
      return 0;
    case platform::msg::kRightButtonDown:
      if (pointWanted) gInput.endFlag = true;
      else SearchAtPoint(x, y);
      return 0;
    case platform::msg::kMouseMove:
      if (!IsPrinting()) TrackMousePosition(x, y);
      return 0;
    case platform::msg::kSetCursor: platform::SetWindowCursor(window, platform::CursorShape::kArrow); return 0;
    default: return platform::DefaultWindowProc(window, kind, wParam, lParam);
  }
}
