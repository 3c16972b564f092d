#include "design/windows/ray_windows.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "design/acoustics/audio_profile.h"
#include "design/acoustics/auralisation.h"
#include "design/acoustics/impulse_response.h"
#include "design/acoustics/level_map.h"
#include "design/acoustics/ray_file.h"
#include "design/acoustics/realtime_playback.h"
#include "framework/base/bitmaps.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/framework_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/core/text_format.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/window.h"

RayWindowState gRayWindows;

void ResetRayWindows() { gRayWindows = RayWindowState{}; }

namespace {

const StateReset kReset(ResetRayWindows);

constexpr int kBarHeight = 18, kBarFromBottom = 22, kBarButtonWidth = 60, kBarButtons = 3;
constexpr int kSideButton = 32;
constexpr int kRealTimeButtonTop = 320, kProfileButtonTop = 352;  // below the top margin
constexpr int16_t kBlack = 0, kWhite = 30, kGridColour = 1, kPathColour = 19, kDecayColour = 29;
constexpr int kFontHeight = 16, kFontWidth = 7;
// The details' box: its lines, the gap to the marker, the room it leaves at
// the right edge, its padding round the texts.
constexpr int kDetailsLine = kFontHeight + 2, kDetailsGap = 4, kDetailsFromRight = 56, kDetailsPadding = 3;

constexpr const char* kBandButtonTexts[] = {"125", "250", "500", " 1k", " 2k", " 4k", " 8k", "\xF8"};
constexpr const char* kBandNames[] = {"125 Hz",  "250 Hz",  "500 Hz",  "1000 Hz",
                                      "2000 Hz", "4000 Hz", "8000 Hz", "125 Hz - 8 kHz"};
constexpr float kTimeSpans[] = {100,  200,  300,  400,  500,  600,  700,  800,  900,  1000,
                                1500, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000};

RayWindowState& W() { return gRayWindows; }

int Band() { return std::clamp(W().context->band, 0, int(kAllBands)); }

// The RayPath objects of the model in list order, numbered from 0.
template <typename Visit>
void ForEachPath(const ObjectList& model, Visit&& visit) {
  int i = 0;
  for (GraphicObject* o = model.first; o; o = o->next)
    if (RayPathReflectionCount(o) >= 0) visit(o, i++);
}

ObjectList& Model() { return *W().context->design.model; }
RayResults& Results() { return W().context->search->results; }

void DestroyIfMade(platform::Window& window) {
  if (window != platform::Window::kNone) DestroyControl(window);
  window = platform::Window::kNone;
}

// The child window over the drawing area and the controls along the bottom
// margin and the left edge, for the main window's client size now.
void PlaceWindows() {
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  RayWindowState& w = W();
  if (w.record.window != platform::Window::kNone && w.open == RayWindowKind::kImpulse) {
    platform::MoveWindow(w.record.window, kDrawMarginLeft, kDrawMarginTop,
                         main.width - kDrawMarginLeft - kDrawMarginRight,
                         main.height - kDrawMarginTop - kDrawMarginBottom, false);
    const platform::Size client = platform::GetClientSize(w.record.window);
    w.record.left = w.record.top = 0;
    w.record.right = client.width;
    w.record.bottom = client.height;
  }
  const int barWidth = std::max(main.width - kDrawMarginLeft - kDrawMarginRight - kBarButtons * kBarButtonWidth, 1);
  const int y = main.height - kBarFromBottom;
  int x = kDrawMarginLeft;
  platform::MoveWindow(w.scrollBar, x, y, barWidth, kBarHeight, true);
  x += barWidth;
  for (platform::Window button : {w.switchButton, w.printButton, w.copyButton}) {
    platform::MoveWindow(button, x, y, kBarButtonWidth, kBarHeight, true);
    x += kBarButtonWidth;
  }
  platform::MoveWindow(w.backButton, 0, kDrawMarginTop, kSideButton, kSideButton, true);
}

void CreateBarControls() {
  RayWindowState& w = W();
  w.scrollBar = CreateHorizontalScrollBar("", 0, 0, 1, kBarHeight, kPathScrollBarId);
  w.switchButton = CreatePushButton("ETC", 0, 0, kBarButtonWidth, kBarHeight, kSwitchButtonId);
  w.printButton = CreatePushButton("PRINT", 0, 0, kBarButtonWidth, kBarHeight, kRayPrintButtonId);
  w.copyButton = CreatePushButton("COPY", 0, 0, kBarButtonWidth, kBarHeight, kRayCopyButtonId);
  w.backButton = CreatePushButton("<-", 0, 0, kSideButton, kSideButton, kRayBackButtonId);
  platform::SetScrollRange(w.scrollBar, platform::ScrollBar::kControl, 0, kPathScrollRange, false);
  PlaceWindows();
}

void DestroyBarControls() {
  RayWindowState& w = W();
  for (platform::Window* c : {&w.scrollBar, &w.switchButton, &w.printButton, &w.copyButton, &w.backButton})
    DestroyIfMade(*c);
}

void UpdateScrollBar() {
  platform::SetScrollPosition(W().scrollBar, platform::ScrollBar::kControl,
                              PathScrollPosition(W().selection, W().paths), true);
}

// ---- Drawing ----

// The width the texts below give a text of `characters` characters.
int TextWidth(size_t characters) { return int(characters) * kFontWidth + 8; }

void Text(int x, int y, const std::string& text, int16_t colour = kWhite, unsigned align = platform::kTextLeft) {
  SetTextStyle("Arial", kFontHeight, kFontWidth, 0, colour, kBlack, platform::kBackTransparent);
  const int width = TextWidth(text.size());
  const int left = align == platform::kTextRight ? x - width : x;
  DrawStyledText(left, y, left + width, y + kFontHeight + 2, text.c_str(), align | platform::kTextSingleLine);
}

ImpulsePlot CurrentPlot() {
  return LayoutImpulsePlot(GetClientWidth(), GetClientHeight(), Results().highestLevel, Results().latestArrival);
}

std::string PositionText(const ObjectVertex& p) {
  return FormatText("X: %3.1f", p.x) + "  " + FormatText("Y: %3.1f", p.y) + "  " + FormatText("Z: %3.1f", p.z);
}

std::string SourceTypeName(const GraphicObject* path) {
  const auto& speakers = W().context->search->tables.speakers.entries;
  const size_t index = RayPathTag(path, 0);
  if (index >= speakers.size() || !speakers[index].type) return "";
  return speakers[index].type->TypeName();
}

void DrawMarker() {
  const RayWindowState& w = W();
  SetDrawMode(platform::kMixXor);
  SetPenColor(kWhite);
  DrawLine(w.markerX, w.markerBottom, w.markerX, w.markerTop);
  SetDrawMode(platform::kMixCopy);
}

// A path's details, a line a text.
std::vector<std::string> PathDetails(const GraphicObject* path, int band, double level) {
  const double t = RayPathTime(path);
  std::vector<std::string> lines = {FormatText("dE : %1.1f dB", level - Results().directLevel[size_t(band)]) + "   " +
                                        FormatText("dT : %1.2f ms", t - Results().firstArrival[size_t(band)]),
                                    "Source : " + SourceTypeName(path) + "  " + PositionText(path->vertices[0]),
                                    "Target : " + PositionText(path->vertices[path->vertexCount - 1])};
  if (RayPathReflectionCount(path) > 0) lines.push_back(ReflectingFacesText(path));
  return lines;
}

// The box of the selected path's details, beside the top of its marker:
// left of it where there is room, else right of it, and at most 56 pixels
// from the right edge. The box covers the plot there; its black ground
// keeps the texts readable over the grid and the other paths.
platform::Rect PlaceDetails(const ImpulsePlot& plot, const RayWindowState& w, const std::vector<std::string>& lines) {
  size_t longest = 0;
  for (const std::string& line : lines) longest = std::max(longest, line.size());
  const int width = TextWidth(longest) + 2 * kDetailsPadding;
  const int height = int(lines.size()) * kDetailsLine + 2 * kDetailsPadding;
  int left = w.markerX - kDetailsGap - width;
  if (left < plot.left) left = w.markerX + kDetailsGap;
  left = std::max(std::min(left, GetClientWidth() - kDetailsFromRight - width), 0);
  const int top = std::max(std::min(w.markerTop, plot.baseline - height), plot.top);
  return {left, top, left + width, top + height};
}

// The selected path's marker (XOR, from the baseline up to its level) and
// its details.
void PaintPathInfo() {
  RayWindowState& w = W();
  if (!w.selected) return;
  const ImpulsePlot plot = CurrentPlot();
  const int band = Band();
  const double level = PathLevelDb(w.selected, band);
  w.markerX = plot.TimeX(RayPathTime(w.selected));
  w.markerBottom = plot.baseline;
  w.markerTop = std::clamp(plot.LevelY(level), plot.top, plot.baseline);
  DrawMarker();
  w.markerShown = true;

  const std::vector<std::string> lines = PathDetails(w.selected, band, level);
  w.details = PlaceDetails(plot, w, lines);
  SetBrushColor(kBlack);
  SetPenColor(kGridColour);
  DrawRectangle(w.details, 1);
  int y = w.details.top + kDetailsPadding;
  for (const std::string& line : lines) {
    Text(w.details.left + kDetailsPadding, y, line);
    y += kDetailsLine;
  }
}

void PaintImpulseResponse() {
  RayWindowState& w = W();
  const RayResults& r = Results();
  const int band = Band();
  const int width = GetClientWidth(), height = GetClientHeight();
  const ImpulsePlot plot = CurrentPlot();
  SetBrushColor(kBlack);
  SelectNullPen(1);
  FillRectangle(0, 0, width + 1, height + 1);
  SelectNullPen(0);
  w.markerShown = false;

  // Grid lines with their levels and times.
  SetPenColor(kGridColour);
  for (int step = 1; step <= 5; ++step) {
    const int y = plot.LevelY(plot.topLevel - 10.0 * step);
    DrawLine(plot.left, y, plot.right, y);
    Text(plot.left - 2, y - kFontHeight / 2, FormatText("%3d", int(plot.topLevel) - 10 * step), kWhite,
         platform::kTextRight);
  }
  SetPenColor(kGridColour);
  for (int step = 0; step <= 10; ++step) {
    const double ms = plot.span / 10.0 * step;
    const int x = plot.TimeX(ms);
    DrawLine(x, plot.top, x, plot.baseline);
    Text(x - 12, plot.baseline + 2, FormatText("%d", int(ms)));
  }
  SetPenColor(kWhite);
  DrawLine(plot.left, plot.baseline, plot.right, plot.baseline);
  DrawLine(plot.left, plot.top, plot.left, plot.baseline);
  Text(plot.left + 4, plot.top, "dB");
  Text(plot.right - 24, plot.baseline - kFontHeight - 2, "ms");

  // Every path but the selected one, from the baseline up to its level.
  SetPenColor(kPathColour);
  ForEachPath(Model(), [&](GraphicObject* path, int) {
    if (path == w.selected) return;
    const int y = plot.LevelY(PathLevelDb(path, band));
    if (y >= plot.baseline) return;
    const int x = plot.TimeX(RayPathTime(path));
    DrawLine(x, plot.baseline, x, std::max(y, plot.top));
  });

  // The decay: the arrivals summed backwards from the last bin.
  SetPenColor(kDecayColour);
  const ImpulseHistogram& histogram = r.histograms[size_t(band)];
  double sum = 0;
  bool started = false;
  for (int i = int(kImpulseBins) - 1; i >= 0; --i) {
    sum += histogram[size_t(i)];
    const int x = std::clamp(plot.TimeX(r.earliestArrival + i * r.binWidth), plot.left, plot.right);
    const int y = std::clamp(plot.LevelY(LevelDb(sum)), plot.top, plot.baseline);
    if (!started) MovePenTo(x, y);
    else DrawLineTo(x, y);
    started = true;
  }

  // Read-outs, titles and the band.
  const size_t k = size_t(band);
  Text(plot.left, 4, FormatText("Ld-Lr : %1.1f dB", r.earlyLevel[k] - r.reverberantLevel[k]));
  Text(width / 2 - 40, 4, FormatText("RT 60 : %1.1f s", r.reverberationTime[k]));
  Text(width - 16, 4,
       FormatText("Alcons : %1.1f ", AlconsPercent(r.reverberationTime[k], r.reverberantLevel[k], r.earlyLevel[k])) +
           "%",
       kWhite, platform::kTextRight);
  const std::string& project = W().context->projectName;
  Text(plot.left, 4 + kFontHeight + 2,
       W().context->programTitle + "  " + project.substr(project.find_last_of('/') + 1));
  Text(width - 16, 4 + kFontHeight + 2, std::string("Impulse Response  ") + kBandNames[k], kWhite,
       platform::kTextRight);
  PaintPathInfo();
  SetPenColor(0);
  SetBrushColor(kWhite);
  if (!ShownStatusText().empty()) RepaintStatusLine();
}

// ---- Path selection ----

void ShowPathSelection() {
  RayWindowState& w = W();
  w.selected = nullptr;
  ForEachPath(Model(), [&](GraphicObject* path, int i) {
    const bool shown = w.selection < 0 || i == w.selection;
    path->state = shown ? 0 : uint32_t(kStateLayerOff);
    if (w.selection >= 0 && i == w.selection) w.selected = path;
  });
  if (w.open == RayWindowKind::kReflection) RedrawAllObjects();
}

void ScrollPaths(unsigned code, int thumb) {
  RayWindowState& w = W();
  const bool impulse = w.open == RayWindowKind::kImpulse;
  const int selection = ScrollPathSelection(w.selection, w.paths, code, thumb, impulse);
  if (selection != w.selection) {
    w.selection = selection;
    ShowPathSelection();
    // The plot again: the details of the path before covered part of it.
    if (impulse) PaintImpulseResponse();
  }
  UpdateScrollBar();
}

// ---- Buttons ----

void StoreProfileOfPaths() {
  if (!SaveFileDialog(kProfileSaveFilter, "*.KAP")) return;
  const std::string path = GetDialogDirectory() + GetDialogFileName();
  std::string angle;
  InputLine(kListenAnglePrompt, angle, kProfileDescriptionLength + 1, 0);
  std::string description;
  InputLine(kProfileDescriptionPrompt, description, kProfileDescriptionLength + 1, 0);
  StoreAudioProfile(path, Model(), Results(), description, angle);
}

// "RTA": the paths of `context` through the real-time playback.
int PlayPaths(RayWindowContext& c) {
  if (!c.sound || (gAuralisation.wavInputPath.empty() && !c.selectWavInput)) return 0;
  return RunTemporaryProfile(gAuralisation, *c.design.model, c.search->results, *c.sound, c.selectWavInput);
}

void ComputeResponseOfPaths(RayWindowContext& context) {
  const ReverberantTerms terms = ComputeReverberantTerms(context.design, context.reverb);
  ComputeImpulseResponse(*context.design.model, terms.acousticPower, terms.room.volume, context.search->results);
}

// Prints or copies the child window, as the view commands do the drawing window.
void PrintChild() {
  WindowRecord* view = DrawWindow;
  DrawWindow = &W().record;
  PrintView();
  DrawWindow = view;
}

void CopyChild() {
  WindowRecord* previous = SelectOutputWindow(&W().record);
  CopyViewToClipboard();
  SelectOutputWindow(previous);
}

void HandleButton(int id) {
  RayWindowState& w = W();
  const bool impulse = w.open == RayWindowKind::kImpulse;
  if (id == kSwitchButtonId) RequestDone();
  else if (id == kRayBackButtonId) RequestCancel();
  else if (id == kRayPrintButtonId) PrintChild();
  else if (id == kRayCopyButtonId) CopyChild();
  else if (impulse && id >= kFirstBandButtonId && id <= kFirstBandButtonId + kAllBands) {
    w.context->band = id - kFirstBandButtonId;
    PaintImpulseResponse();
  } else if (impulse && id == kProfileButtonId && w.context->profileButton) {
    StoreProfileOfPaths();
  } else if (impulse && id == kRealTimeButtonId) {
    PlayPaths(*w.context);
  }
  platform::SetFocus(MainWindow.window);
}

// ---- The two windows ----

void WaitUntilDoneOrCancelled() {
  do {
    SelectOutputWindow(&W().record);
    WaitForPoint();
  } while (!gInput.done && !gInput.cancel);
}

void CloseChild() {
  RayWindowState& w = W();
  if (DrawWindow == &w.record) DrawWindow = w.previousView;
  SelectOutputWindow(DrawWindow);
  DestroyIfMade(w.record.window);
  w.record = WindowRecord{};
  w.open = RayWindowKind::kNone;
}

// The reflection window's messages: its buttons; a paint places the windows
// and is left to the view window, which lays the view out and draws it.
// True when handled.
bool ReflectionWindowProc(unsigned kind, platform::WParam wParam) {
  switch (kind) {
    case platform::msg::kCommand: HandleButton(int(platform::LowWord(wParam))); return true;
    case platform::msg::kPaint: PlaceWindows(); return false;
    default: return false;
  }
}

// The impulse-response window's messages: its buttons and its paint. True
// when handled.
bool ImpulseWindowProc(platform::Window window, unsigned kind, platform::WParam wParam) {
  switch (kind) {
    case platform::msg::kCommand: HandleButton(int(platform::LowWord(wParam))); return true;
    case platform::msg::kPaint: {
      PlaceWindows();
      WindowRecord* previous = SelectOutputWindow(&W().record);
      PaintImpulseResponse();
      SelectOutputWindow(previous);
      platform::ValidateWindow(window);
      return true;
    }
    default: return false;
  }
}

// 2 for "ETC", 0 to close, 1 when the window cannot be made.
int RunReflectionWindow() {
  RayWindowState& w = W();
  w.previousView = DrawWindow;
  platform::ShowWindow(DrawWindow->window, platform::ShowMode::kHide);
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  w.record.window =
      CreateChildWindow("", platform::kStyleBorder | platform::kStyleHorizontalScroll | platform::kStyleVerticalScroll,
                        kDrawMarginLeft, kDrawMarginTop, main.width - kDrawMarginLeft - kDrawMarginRight,
                        main.height - kDrawMarginTop - kDrawMarginBottom, kRayChildWindowId);
  if (w.record.window == platform::Window::kNone) {
    ShowMessage(kRayWindowFailedMessage, nullptr, kMsgOk);
    platform::ShowWindow(DrawWindow->window, platform::ShowMode::kShow);
    return 1;
  }
  w.open = RayWindowKind::kReflection;
  DrawWindow = &w.record;
  SelectOutputWindow(DrawWindow);
  platform::SetWindowText(w.switchButton, "ETC");
  LayoutAndRedraw();
  ShowPathSelection();
  UpdateScrollBar();
  WaitUntilDoneOrCancelled();
  const bool toImpulse = gInput.done && !gInput.cancel;
  CloseChild();
  return toImpulse ? 2 : 0;
}

// 1 for "RAY", 0 to close, -1 when the window cannot be made.
int RunImpulseWindow() {
  RayWindowState& w = W();
  w.previousView = DrawWindow;
  if (gViewPanel != platform::Window::kNone) platform::ShowWindow(gViewPanel, platform::ShowMode::kHide);
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  w.record.window = CreateChildWindow("", platform::kStyleBorder, kDrawMarginLeft, kDrawMarginTop,
                                      main.width - kDrawMarginLeft - kDrawMarginRight,
                                      main.height - kDrawMarginTop - kDrawMarginBottom, kRayChildWindowId);
  if (w.record.window == platform::Window::kNone) {
    ShowMessage(kImpulseWindowFailedMessage, nullptr, kMsgOk);
    if (platform::IsWindow(gViewPanel)) platform::ShowWindow(gViewPanel, platform::ShowMode::kShow);
    return -1;
  }
  w.open = RayWindowKind::kImpulse;
  PlaceWindows();
  for (int b = 0; b <= kAllBands; ++b)
    w.impulseButtons[size_t(b)] = CreatePushButton(kBandButtonTexts[b], 0, kDrawMarginTop + kSideButton * (b + 1),
                                                   kSideButton, kSideButton, kFirstBandButtonId + b);
  w.impulseButtons[8] =
      CreatePushButton("RTA", 0, kDrawMarginTop + kRealTimeButtonTop, kSideButton, kSideButton, kRealTimeButtonId);
  if (w.context->profileButton)
    w.impulseButtons[9] =
        CreatePushButton("APF", 0, kDrawMarginTop + kProfileButtonTop, kSideButton, kSideButton, kProfileButtonId);
  platform::SetWindowText(w.switchButton, "RAY");
  if (w.selection < 0) {
    w.selection = 0;
    ShowPathSelection();
  }
  UpdateScrollBar();
  SelectOutputWindow(&w.record);
  PaintImpulseResponse();
  platform::ValidateWindow(w.record.window);
  WaitUntilDoneOrCancelled();
  const bool toReflection = gInput.done && !gInput.cancel;
  for (platform::Window& button : w.impulseButtons) DestroyIfMade(button);
  CloseChild();
  if (platform::IsWindow(gViewPanel)) platform::ShowWindow(gViewPanel, platform::ShowMode::kShow);
  return toReflection ? 1 : 0;
}

}  // namespace

// ---- The arithmetic ----

double PathScrollFactor(int paths) {
  return paths > 1 ? double(kPathScrollRange) / double(paths - 1) : double(kPathScrollRange);
}

int ScrollPathSelection(int selection, int paths, unsigned code, int thumb, bool impulseWindow) {
  const int last = std::max(paths - 1, 0);
  const int least = impulseWindow ? 0 : -1;
  switch (code) {
    case platform::kScrollLineUp: return selection > least ? selection - 1 : selection;
    case platform::kScrollLineDown: return selection < last ? selection + 1 : selection;
    case platform::kScrollPageUp: return selection > least + 9 ? selection - 10 : selection;
    case platform::kScrollPageDown: return selection >= last - 10 ? last : selection + 10;
    case platform::kScrollThumbTrack:
    case platform::kScrollThumbPosition: {
      // thumb / (1000 / (N - 1)), without the rounding of the quotient.
      const int64_t s = int64_t(std::clamp(thumb, 0, kPathScrollRange)) * last / kPathScrollRange;
      return int(std::min<int64_t>(s, last));
    }
    default: return selection;
  }
}

int PathScrollPosition(int selection, int paths) {
  if (selection <= 0) return 0;
  return std::min(int(selection * PathScrollFactor(paths)), kPathScrollRange);
}

float ImpulseTimeSpan(float latestArrival) {
  for (float span : kTimeSpans)
    if (span > latestArrival) return span;
  return (std::floor(latestArrival / 1000.0f) + 1.0f) * 1000.0f;
}

double AlconsPercent(double reverberationTime, double reverberantLevel, double earlyLevel) {
  double direct = std::pow(10.0, earlyLevel / 10.0);
  if (direct <= 1.0) direct = 1.0;
  const double alcons = 0.6406 * reverberationTime * std::pow(10.0, reverberantLevel / 10.0) / direct;
  return alcons < 100.0 ? alcons : 100.0;
}

int ImpulsePlot::LevelY(double db) const { return int(std::lround(baseline - (db - (topLevel - 60.0)) * pixelsPerDb)); }
int ImpulsePlot::TimeX(double ms) const { return left + 1 + int(ms * pixelsPerMs); }

ImpulsePlot LayoutImpulsePlot(int width, int height, float highestLevel, float latestArrival) {
  ImpulsePlot plot;
  plot.left = 32;
  plot.right = width - 16;
  plot.top = 60;
  plot.baseline = height / 2 + 60;
  plot.topLevel = 10.0 * std::ceil(highestLevel / 10.0);
  plot.pixelsPerDb = (plot.baseline - plot.top) / 60.0;
  plot.span = ImpulseTimeSpan(latestArrival);
  plot.pixelsPerMs = (plot.right - plot.left) / plot.span;
  return plot;
}

std::string ReflectingFacesText(const GraphicObject* path) {
  std::string text = "Reflecting Faces : ";
  const int n = RayPathReflectionCount(path);
  for (int node = 1; node <= n; ++node) text += FormatText("#%d ", int(RayPathTag(path, node)) + 1);
  return text;
}

// ---- The windows ----

int ShowRayResults(RayWindowContext& context) {
  RaySearchState& search = *context.search;
  ShowStatusText(kLinkingStatusText);
  const LinkOutcome link =
      LinkPathsToSpeakers(search.tables, context.design, search.meanFreePathEstimate, search.results);
  search.pathCount = link.paths;
  if (link.paths <= 0) return 0;
  ShowStatusText(SortingStatusText(link.paths).c_str());
  SortPathsByTime(*context.design.model);
  ShowStatusText("");
  return ShowRayPaths(context);
}

int ShowRayPaths(RayWindowContext& context) {
  RayWindowState& w = W();
  if (w.context) return 0;
  int paths = 0;
  ForEachPath(*context.design.model, [&](GraphicObject*, int) { ++paths; });
  if (paths == 0) return 0;
  ComputeResponseOfPaths(context);
  w = RayWindowState{};
  w.context = &context;
  w.paths = paths;
  const int band = context.band;
  CreateBarControls();
  // The keys (Enter to switch, Escape to close) go to the main window.
  platform::SetFocus(MainWindow.window);
  for (bool reflection = true;;) {
    if (reflection) {
      if (RunReflectionWindow() != 2) break;
    } else if (RunImpulseWindow() != 1) {
      break;
    }
    reflection = !reflection;
  }
  DestroyBarControls();
  ClearRequestFlags();
  context.band = band;
  w = RayWindowState{};
  platform::ShowWindow(DrawWindow->window, platform::ShowMode::kShow);
  return 1;
}

int PlayPathsAtPoint(RayWindowContext& context, float mapLevel) {
  ComputeResponseOfPaths(context);
  RayResults& results = context.search->results;
  for (size_t b = 0; b < size_t(kBandCount); ++b) results.reverberantLevel[b] = results.earlyLevel[b] - mapLevel;
  const int played = PlayPaths(context);
  DeleteRayPaths(*context.search, *context.design.model);
  return played;
}

int OpenRayFile(RayWindowContext& context) {
  if (!OpenFileDialog(kRayFileOpenFilter, nullptr)) return 0;
  RaySearchState& search = *context.search;
  if (!ReadRayFile(GetDialogDirectory() + GetDialogFileName(), *context.design.model, search.meanFreePathEstimate))
    return 0;
  const int shown = ShowRayResults(context);
  DeleteRayPaths(search, *context.design.model);
  return shown;
}

bool RayWindowsOpen() { return W().open != RayWindowKind::kNone; }

bool RouteRayWindowMessage(platform::Window window, unsigned kind, platform::WParam wParam, platform::LParam lParam) {
  RayWindowState& w = W();
  if (w.open == RayWindowKind::kNone) return false;
  if (window == MainWindow.window) {
    if ((kind == platform::msg::kHorizontalScroll) && platform::ParamWindow(lParam) == w.scrollBar) {
      ScrollPaths(platform::LowWord(wParam), platform::HighSigned(wParam));
      return true;
    }
    if (kind == platform::msg::kSize) {
      PlaceWindows();
      if (w.open == RayWindowKind::kReflection) LayoutAndRedraw();
      else platform::InvalidateWindow(w.record.window);
      return true;
    }
    return false;
  }
  if (window != w.record.window) return false;
  return w.open == RayWindowKind::kImpulse ? ImpulseWindowProc(window, kind, wParam)
                                           : ReflectionWindowProc(kind, wParam);
}
