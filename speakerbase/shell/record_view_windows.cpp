#include "speakerbase/shell/record_view_windows.h"

#include <array>

#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/view/rendering.h"
#include "platform/window.h"
#include "speakerbase/balloon_view.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"
#include "speakerbase/views/record_views.h"

namespace {

constexpr int kButtonSize = 32, kButtonsTop = 24;
constexpr int kViewLeft = 32, kViewTop = 24;
constexpr std::array<const char*, kBandCount> kBandButtonTexts = {"125", "250", "500", "1k", "2k", "4k", "8k"};

struct RecordViewState {
  RecordView view = RecordView::kDataSheet;
  WindowRecord record;
  platform::Window back = platform::Window::kNone;
  std::array<platform::Window, kBandCount> bands{};
  platform::Window toggle3D = platform::Window::kNone;
  BalloonViewState balloon;
};
RecordViewState gRecordView;

void ResetRecordViews() { gRecordView = RecordViewState{}; }
const StateReset kReset(ResetRecordViews);

bool IsOpen() { return gRecordView.record.window != platform::Window::kNone; }

void DestroyButton(platform::Window& button) {
  if (button != platform::Window::kNone) DestroyControl(button);
  button = platform::Window::kNone;
}

void DestroyButtons() {
  DestroyButton(gRecordView.back);
  for (platform::Window& b : gRecordView.bands) DestroyButton(b);
  DestroyButton(gRecordView.toggle3D);
}

void CreateButtons() {
  if (gRecordView.back != platform::Window::kNone) return;
  gRecordView.back = CreatePushButton("<-", 0, kButtonsTop, kButtonSize, kButtonSize, kBackButtonId);
  if (gRecordView.view != RecordView::kBalloons) return;
  for (int b = 0; b < kBandCount; ++b)
    gRecordView.bands[size_t(b)] = CreatePushButton(kBandButtonTexts[size_t(b)], 0, kButtonsTop + (b + 1) * kButtonSize,
                                                    kButtonSize, kButtonSize, kFirstBandButtonId + b);
  gRecordView.toggle3D =
      CreatePushButton(gRecordView.balloon.threeD ? "3D-" : "3D+", 0, kButtonsTop + (kBandCount + 1) * kButtonSize,
                       kButtonSize, kButtonSize, kToggle3DButtonId);
  const platform::Window w = gRecordView.record.window;
  platform::SetScrollRange(w, platform::ScrollBar::kHorizontal, kHorizontalScrollMin, kHorizontalScrollMax, false);
  platform::SetScrollRange(w, platform::ScrollBar::kVertical, kVerticalScrollMin, kVerticalScrollMax, false);
}

void ShowScrollPositions() {
  const platform::Window w = gRecordView.record.window;
  platform::SetScrollPosition(w, platform::ScrollBar::kHorizontal,
                              BalloonScrollPosition(gRecordView.balloon.horizontalAngle), true);
  platform::SetScrollPosition(w, platform::ScrollBar::kVertical,
                              BalloonScrollPosition(gRecordView.balloon.verticalAngle), true);
}

// The view drawn into its window; the balloon's mesh first rebuilt from the
// band when `rebuild`.
void Draw(bool rebuild) {
  if (!IsOpen() || platform::IsMinimised(MainWindow.window) || IsPrinting()) return;
  // The views lay themselves out for the window's client size.
  const platform::Size size = platform::GetClientSize(gRecordView.record.window);
  gRecordView.record.right = size.width;
  gRecordView.record.bottom = size.height;
  WindowRecord* previous = SelectOutputWindow(&gRecordView.record);
  const SpeakerType& record = gSpeakerEditor.database.currentRecord;
  switch (gRecordView.view) {
    case RecordView::kDataSheet: DrawDataSheet(record); break;
    case RecordView::kPolarPlots: DrawPolarPlots(record); break;
    case RecordView::kBalloons:
      DrawBalloons(record, gRecordView.balloon, rebuild);
      ShowScrollPositions();
      break;
  }
  SelectOutputWindow(previous);
}

BalloonScroll ScrollStep(unsigned code) {
  switch (code) {
    case platform::kScrollLineUp: return BalloonScroll::kLineBack;
    case platform::kScrollLineDown: return BalloonScroll::kLineForward;
    case platform::kScrollPageUp: return BalloonScroll::kPageBack;
    case platform::kScrollPageDown: return BalloonScroll::kPageForward;
    default: return BalloonScroll::kThumb;
  }
}

void Scroll(bool horizontal, unsigned code, int position) {
  if (gRecordView.view != RecordView::kBalloons) return;
  if (code != platform::kScrollLineUp && code != platform::kScrollLineDown && code != platform::kScrollPageUp &&
      code != platform::kScrollPageDown && code != platform::kScrollThumbTrack &&
      code != platform::kScrollThumbPosition)
    return;
  BalloonViewState& s = gRecordView.balloon;
  if (horizontal) s.horizontalAngle = ScrollHorizontalAngle(s.horizontalAngle, ScrollStep(code), position);
  else s.verticalAngle = ScrollVerticalAngle(s.verticalAngle, ScrollStep(code), position);
  Draw(false);
}

void ViewButton(int id) {
  if (id == kBackButtonId) {
    RequestCancel();
    return;
  }
  if (gRecordView.view != RecordView::kBalloons) return;
  if (id >= kFirstBandButtonId && id < kFirstBandButtonId + kBandCount) {
    gRecordView.balloon.band = id - kFirstBandButtonId;
  } else if (id == kToggle3DButtonId) {
    gRecordView.balloon.threeD = !gRecordView.balloon.threeD;
    platform::SetWindowText(gRecordView.toggle3D, gRecordView.balloon.threeD ? "3D-" : "3D+");
  } else {
    return;
  }
  Draw(true);
}

// The view window's place for the main window's client size now: at
// (32, 24), as high as the client less 48, and as wide as the client less 64
// (the balloons, whose scroll bars take the right margin: less 32).
platform::Rect RecordViewPlace(RecordView view) {
  const platform::Size client = platform::GetClientSize(MainWindow.window);
  const int width = client.width - (view == RecordView::kBalloons ? kViewLeft : 2 * kViewLeft);
  return {kViewLeft, kViewTop, kViewLeft + width, client.height - kViewTop};
}

const char* CreationError(RecordView view) {
  switch (view) {
    case RecordView::kDataSheet: return kDataWindowError;
    case RecordView::kPolarPlots: return kPolarWindowError;
    default: return kBalloonWindowError;
  }
}

}  // namespace

void ShowRecordView(RecordView view) {
  if (IsOpen() || gSpeakerEditor.database.records.empty()) return;
  const bool balloons = view == RecordView::kBalloons;
  const unsigned style =
      platform::kStyleBorder | (balloons ? platform::kStyleHorizontalScroll | platform::kStyleVerticalScroll : 0u);
  gRecordView.view = view;
  gRecordView.balloon = BalloonViewState{};
  if (balloons) {
    gRecordView.balloon.mesh = CreateBalloonMesh();
    if (!gRecordView.balloon.mesh) {
      ShowMessage(kBalloonWindowError, nullptr, kMsgOk);
      return;
    }
  }
  gRecordView.record = WindowRecord{};
  const platform::Rect place = RecordViewPlace(view);
  gRecordView.record.window = CreateChildWindow("", style, place.left, place.top, place.right - place.left,
                                                place.bottom - place.top, kRecordViewId);
  if (gRecordView.record.window == platform::Window::kNone) {
    gRecordView.balloon.mesh.reset();
    ShowMessage(CreationError(view), nullptr, kMsgOk);
    return;
  }
  platform::ShowWindow(gRecordView.record.window, platform::ShowMode::kShow);
  WindowRecord* previousView = SetViewWindow(&gRecordView.record);
  WindowRecord* previousOutput = SelectOutputWindow(&gRecordView.record);
  if (view != RecordView::kDataSheet) SetDefaultTextStyle();
  platform::InvalidateWindow(gRecordView.record.window);
  while (!gInput.cancel) WaitForPoint();
  SelectOutputWindow(previousOutput);
  SetViewWindow(previousView);
  const platform::Window window = gRecordView.record.window;
  platform::DestroyWindow(window);
  gRecordView = RecordViewState{};
  ClearRequestFlags();
  platform::InvalidateWindow(MainWindow.window);
}

platform::Window OpenRecordViewWindow() { return gRecordView.record.window; }

bool IsRecordViewWindow(platform::Window window) { return IsOpen() && window == gRecordView.record.window; }

platform::LParam RecordViewWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                      platform::LParam lParam) {
  switch (kind) {
    case platform::msg::kPaint:
      platform::ValidateWindow(window);
      CreateButtons();
      Draw(true);
      return 0;
    case platform::msg::kCommand: ViewButton(int(platform::LowWord(wParam))); return 0;
    case platform::msg::kHorizontalScroll:
    case platform::msg::kVerticalScroll:
      Scroll(kind == platform::msg::kHorizontalScroll, platform::LowWord(wParam), platform::HighSigned(wParam));
      return 0;
    case platform::msg::kDestroy: DestroyButtons(); return 0;
    case platform::msg::kSetCursor: SetArrowCursor(); return 0;
    default: return platform::DefaultWindowProc(window, kind, wParam, lParam);
  }
}

void FitRecordView() {
  if (!IsOpen()) return;
  const platform::Rect place = RecordViewPlace(gRecordView.view);
  platform::MoveWindow(gRecordView.record.window, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, true);
}

void RepaintRecordView() {
  if (IsOpen()) Draw(true);
}

void PrintRecordView() {
  if (!IsOpen()) return;
  WindowRecord* previous = SetViewWindow(&gRecordView.record);
  PrintView();
  SetViewWindow(previous);
}

void CopyRecordView() {
  if (!IsOpen()) return;
  WindowRecord* previous = SelectOutputWindow(&gRecordView.record);
  CopyViewToClipboard();
  SelectOutputWindow(previous);
}

void ShowDataSheet() { ShowRecordView(RecordView::kDataSheet); }
void ShowPolarPlots() { ShowRecordView(RecordView::kPolarPlots); }
void ShowBalloons() { ShowRecordView(RecordView::kBalloons); }

void BindRecordViewCommands(CommandRegistry& r) {
  r.Bind(kCmdDataSheet, ShowDataSheet);
  r.Bind(kCmdPolarPlots, ShowPolarPlots);
  r.Bind(kCmdBalloons, ShowBalloons);
}
