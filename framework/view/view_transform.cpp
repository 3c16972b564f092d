#include "framework/view/view_transform.h"

#include <algorithm>
#include <cmath>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/core/text_encoding.h"
#include "framework/view/projection.h"
#include "framework/view/rendering.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

constexpr std::int16_t kXorLineColour = 30;  // white: XOR inverts what is there

const std::string* gTitleFileName = nullptr;

const StateReset kReset([] { SetTitleFileName(nullptr); });

// The stored origin of `view` along its horizontal (0) or vertical (1) axis.
float& StoredOrigin(int view, int axis) { return gView.viewOrigins[size_t(view)][size_t(axis)]; }

// One of the views 0 to 2 at its stored origin.
void ShowOrthographicView(ViewMode mode) {
  gView.mode = mode;
  gView.originX = StoredOrigin(mode, 0);
  gView.originY = StoredOrigin(mode, 1);
  LayoutAndRedraw();
}

}  // namespace

void InitViews() {
  ViewHooks hooks;
  hooks.redrawAll = RedrawAllObjects;
  hooks.layoutAndRedraw = LayoutAndRedraw;
  hooks.selectPlanView = SelectViewXY;
  hooks.updateTitle = UpdateWindowTitle;
  InstallViewHooks(hooks);
  CoreServices services = GetCoreServices();
  services.redraw = RedrawAllObjects;
  InstallCoreServices(services);
}

void SetTitleBase(const char* text) { SetMainTitle(text); }

void SetTitleFileName(const std::string* fileName) { gTitleFileName = fileName; }

void UpdateWindowTitle() {
  // The base is code page 1252; the file name is already the system's UTF-8.
  const std::string name = gTitleFileName ? platform::UpperCaseText(*gTitleFileName) : std::string();
  platform::SetWindowText(MainWindow.window, Cp1252ToUtf8(GetMainTitle() + " > ") + name);
}

void ClearDrawingArea() {
  // The XOR figures go with everything else.
  ViewShowCrosshair(0);
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  const std::int16_t brush = gOutput.brushIndex;
  SetBrushColor(gDrawing.backgroundColour);
  FillRectangle(0, 0, DrawWindow->right, DrawWindow->bottom);
  SetBrushColor(brush);
  SelectOutputWindow(previous);
}

void SetViewAngles() {
  const float half = float(kPi / 2);
  switch (gView.mode) {
    case kViewXY: gView.angles = {0, 0, 0}; break;
    case kViewYZ: gView.angles = {-half, 0, -half}; break;
    case kViewXZ: gView.angles = {0, 0, -half}; break;
    case kView3D: gView.angles = gView.saved3DAngles; break;
    default: gView.angles = gView.perspectiveAngles; break;
  }
}

void BuildViewRotation() { gView.rotation = ViewRotation(gView.angles[0], gView.angles[2]); }

int32_t WorldToScreen(float value, int axis) {
  const double p = axis != kAxisVertical ? HorizontalPixel(value) : VerticalPixel(value);
  return int32_t(float(std::clamp(p, -32767.0, 32767.0)));
}

float ScreenToWorld(int32_t pixel, int axis) {
  const double w = axis != kAxisVertical ? gView.originX + (pixel - gView.centreX) / gView.scale
                                         : gView.originY - (pixel - gView.centreY) / gView.scale;
  const double step = gView.coordinateSnap ? gView.snapStep : 0.001;
  // Toward zero, with a nudge for quotients such as 0.3 / 0.1 that binary
  // fractions leave just short of a whole number; just left of 0 is 0, not
  // a -0 that would show as "-0.000".
  const double steps = w / step;
  return float(std::trunc(steps + (steps >= 0 ? 1e-6 : -1e-6)) * step) + 0.0f;
}

void StoreViewOrigin() {
  const float h = gView.originX, v = gView.originY;
  switch (gView.mode) {
    case kViewXY: StoredOrigin(kViewXZ, 0) = h, StoredOrigin(kViewYZ, 0) = v; break;
    case kViewYZ: StoredOrigin(kViewXY, 1) = h, StoredOrigin(kViewXZ, 1) = v; break;
    case kViewXZ: StoredOrigin(kViewXY, 0) = h, StoredOrigin(kViewYZ, 1) = v; break;
    case kView3D: break;
    default: return;
  }
  StoredOrigin(gView.mode, 0) = h;
  StoredOrigin(gView.mode, 1) = v;
}

void LayoutAndRedraw() {
  gView.layoutInProgress = true;
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  MainWindow.right = main.width;
  MainWindow.bottom = main.height;
  // Drawn in full below, so the move itself asks for no paint.
  platform::MoveWindow(DrawWindow->window, kDrawMarginLeft, kDrawMarginTop,
                       main.width - kDrawMarginLeft - kDrawMarginRight,
                       main.height - kDrawMarginTop - kDrawMarginBottom, false);
  const platform::Size client = platform::GetClientSize(DrawWindow->window);
  DrawWindow->left = DrawWindow->top = 0;
  DrawWindow->right = client.width;
  DrawWindow->bottom = client.height;
  ViewShowCrosshair(0);
  if (gView.pendingScrollX) {
    gView.originX -= float(gView.pendingScrollX) / gView.scale;
    gView.pendingScrollX = 0;
  }
  if (gView.pendingScrollY) {
    gView.originY += float(gView.pendingScrollY) / gView.scale;
    gView.pendingScrollY = 0;
  }
  StoreViewOrigin();
  gView.centreX = float(client.width / 2);
  gView.centreY = float(client.height / 2);
  SetViewAngles();
  BuildViewRotation();
  DrawObjects(gObjects.model.first, gObjects.model.last, -1);
  platform::ValidateWindow(DrawWindow->window);
  if (gInput.inputMode == kInputSelectionWindow) gInput.inputMode = kInputPickBox;
  ViewShowCrosshair(1);
  gView.layoutInProgress = false;
  for (platform::ScrollBar bar : {platform::ScrollBar::kHorizontal, platform::ScrollBar::kVertical}) {
    platform::SetScrollRange(DrawWindow->window, bar, -kScrollRange, kScrollRange, false);
    platform::SetScrollPosition(DrawWindow->window, bar, 0, true);
  }
  ShowStatusText("");
}

void ScrollView(bool horizontal, unsigned code, int position) {
  if (gView.layoutInProgress || IsPrinting()) return;
  if (gView.mode == kViewPerspective) {
    // The horizontal bar turns the view, the vertical one tilts it.
    const int sign = horizontal ? 1 : -1;
    switch (code) {
      case platform::kScrollLineUp: RotateViewByAngle(sign * 361); break;
      case platform::kScrollLineDown: RotateViewByAngle(sign * 359); break;
      case platform::kScrollPageUp: RotateViewByAngle(sign * 370); break;
      case platform::kScrollPageDown: RotateViewByAngle(sign * 350); break;
      case platform::kScrollThumbPosition: RotateViewByAngle(horizontal ? 360 - position : position - 360); break;
      default: break;
    }
    return;
  }
  int32_t& pending = horizontal ? gView.pendingScrollX : gView.pendingScrollY;
  switch (code) {
    case platform::kScrollLineUp:
      pending += kLineScrollPixels;
      LayoutAndRedraw();
      break;
    case platform::kScrollLineDown:
      pending -= kLineScrollPixels;
      LayoutAndRedraw();
      break;
    case platform::kScrollPageUp: horizontal ? ScrollHorizontalPage(-1) : ScrollVerticalPage(-1); break;
    case platform::kScrollPageDown: horizontal ? ScrollHorizontalPage(1) : ScrollVerticalPage(1); break;
    case platform::kScrollThumbPosition:
      horizontal ? ScrollHorizontalPercent(position) : ScrollVerticalPercent(position);
      break;
    default: break;
  }
}

void ScrollHorizontalPage(int direction) {
  gView.pendingScrollX = int32_t(gView.pendingScrollX - direction * DrawWindow->right * 0.5);
  LayoutAndRedraw();
}

void ScrollVerticalPage(int direction) {
  gView.pendingScrollY = int32_t(gView.pendingScrollY - direction * DrawWindow->bottom * 0.5);
  LayoutAndRedraw();
}

void ScrollHorizontalPercent(int percent) {
  gView.pendingScrollX = int32_t(gView.pendingScrollX - DrawWindow->right * percent * 0.01);
  LayoutAndRedraw();
}

void ScrollVerticalPercent(int percent) {
  gView.pendingScrollY = int32_t(gView.pendingScrollY - DrawWindow->bottom * percent * 0.01);
  LayoutAndRedraw();
}

void ZoomToPixelBox(int left, int top, int right, int bottom) {
  if (right - left < 2) right = left + 2;
  if (bottom - top < 2) bottom = top + 2;
  const double width = DrawWindow->right, height = DrawWindow->bottom;
  const double dx = (right - left) / double(gView.scale), dy = (bottom - top) / double(gView.scale);
  const double aspect = height / (width + 1);
  const double scale = std::abs(dy / dx) <= aspect ? width / dx : height / dy;
  gView.originX = float(gView.originX + ((left + right) * 0.5 - gView.centreX) / gView.scale);
  gView.originY = float(gView.originY - ((top + bottom) * 0.5 - gView.centreY) / gView.scale);
  gView.scale = std::clamp(float(scale * 0.99), kMinScale, kMaxScale);
  StoreViewOrigin();
  LayoutAndRedraw();
}

InternalCommandScope::InternalCommandScope() : started_(gInput.activeCommand == 0) {
  if (!started_) return;
  ViewEnableCommandMenus(false);
  gInput.activeCommand = kInternalCommand;
}

InternalCommandScope::~InternalCommandScope() {
  if (!started_) return;
  gInput.activeCommand = 0;
  ViewEnableCommandMenus(true);
}

void ZoomIn() {
  if (!gView.zoomInActive && gView.scale < kMaxScale && gView.mode < kViewPerspective) {
    const int16_t inputMode = gInput.inputMode;
    ViewShowCrosshair(0);
    gInput.inputMode = kInputZoomBox;
    ViewShowCrosshair(1);
    gView.zoomInActive = true;
    InternalCommandScope command;
    while (!gInput.cancel && !gInput.done && gView.scale < kMaxScale && gView.mode < kViewPerspective) {
      WaitForPoint();
      if (gInput.cancel || gInput.done) break;
      const int x = gInput.cursorPixel.x, y = gInput.cursorPixel.y;
      const int qw = DrawWindow->right / 4, qh = DrawWindow->bottom / 4;
      ZoomToPixelBox(x - qw, y - qh, x + qw, y + qh);
    }
    ViewShowCrosshair(0);
    gInput.inputMode = inputMode != kInputCrosshair ? kInputPickBox : kInputCrosshair;
    ViewShowCrosshair(1);
    gView.zoomInActive = false;
  }
  ClearRequestFlags();
  gInput.pickFlag = gInput.endFlag = false;
}

void ZoomOut() {
  if (gView.scale > kMinScale && gView.mode < kViewPerspective) {
    gView.scale *= 0.5f;
    LayoutAndRedraw();
  }
}

void ZoomAll() { ZoomToFit(); }

void SelectViewXY() { ShowOrthographicView(kViewXY); }
void SelectViewYZ() { ShowOrthographicView(kViewYZ); }
void SelectViewXZ() { ShowOrthographicView(kViewXZ); }

void SelectView3D() {
  gView.mode = kView3D;
  gView.angles = gView.saved3DAngles;
  BuildViewRotation();
  // An empty model has nothing to fit but still shows the new view.
  if (!ZoomToFit()) LayoutAndRedraw();
}

void DrawXorLine(int x1, int y1, int x2, int y2) {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  const std::int16_t pen = GetPenColor();
  SetPenColor(kXorLineColour);
  SetDrawMode(platform::kMixXor);
  DrawLine(x1, y1, x2, y2);
  SetDrawMode(platform::kMixCopy);
  SetPenColor(pen);
  SelectOutputWindow(previous);
}
