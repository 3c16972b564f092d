// The view transform: the mapping between model coordinates and the pixels
// of the drawing window for the plan (XY), side (YZ), front (XZ), rotated 3D
// and perspective views, and what moves it: the layout of the drawing window
// inside the main window, scrolling, zooming in at picked points and out by
// halves, the view presets of F1 to F4. Beside them the window title and
// the XOR line of the crosshair.
//
// The state is gView and gDrawing (framework/base/view_state.h). Pixels grow
// rightwards and downwards; the vertical screen axis shows the view's
// vertical model axis upwards. WorldToScreen clamps to +-32767 before it
// truncates, so far-away geometry never overflows a drawing call.
//
// The title is the title base (SetTitleBase, set once at start-up, in code
// page 1252), " > " and the program's current file name (a path of the
// system's, in UTF-8) in upper case; the name itself is never changed. The
// program names the string that holds its file name with SetTitleFileName.
#pragma once

#include <cstdint>
#include <string>

// Axis arguments of WorldToScreen and ScreenToWorld.
constexpr int kAxisVertical = 0;
constexpr int kAxisHorizontal = 1;

constexpr float kMinScale = 0.001f, kMaxScale = 1000.0f;
constexpr int kLineScrollPixels = 8;
constexpr int kScrollRange = 50;  // the drawing window's bars run -50 .. 50

// Installs the view library into the layers below: the redraw hooks of
// framework/base and the core's RequestRedraw.
void InitViews();

// The title base is the drawing layer's main title (SetMainTitle), which the
// main window also takes as its caption when it is made.
void SetTitleBase(const char* text);
void SetTitleFileName(const std::string* fileName);
void UpdateWindowTitle();

// Fills the drawing window with the background colour.
void ClearDrawingArea();

// Current view angles from the view mode, and the rotation from them.
void SetViewAngles();
void BuildViewRotation();

int32_t WorldToScreen(float value, int axis);
// With coordinate snap on, truncated toward zero to a multiple of the snap
// step, else to a multiple of 0.001.
float ScreenToWorld(int32_t pixel, int axis);
// The current origin becomes the stored origin of the current view and of
// the views sharing its axes (views 0 to 3 only).
void StoreViewOrigin();

// Lays the drawing window out inside the main window's margins, applies the
// pending scroll, recomputes the transform and redraws everything.
void LayoutAndRedraw();
// The drawing window's scroll bars: in the perspective view they turn the
// view instead. `code` is a platform scroll code, `position` the thumb's.
// Nothing scrolls during a layout or while a print job is open.
void ScrollView(bool horizontal, unsigned code, int position);
void ScrollHorizontalPage(int direction);
void ScrollVerticalPage(int direction);
void ScrollHorizontalPercent(int percent);
void ScrollVerticalPercent(int percent);

// While it lives, a step that no menu command started (a zoom-in, a print
// from the view panel) runs as the program's command when none runs yet:
// the active command id is kInternalCommand and the first nine menus are
// greyed, so that other commands, the repeat and the close box wait until
// it is done. Inside a running command it changes nothing.
class InternalCommandScope {
 public:
  InternalCommandScope();
  ~InternalCommandScope();
  InternalCommandScope(const InternalCommandScope&) = delete;
  InternalCommandScope& operator=(const InternalCommandScope&) = delete;

 private:
  bool started_;
};

// F6: zoom in around picked points until cancelled, confirmed or at the
// largest scale. F5: halve the scale. Neither works in the perspective view.
void ZoomIn();
void ZoomOut();
void ZoomAll();

// F1 to F4.
void SelectViewXY();
void SelectViewYZ();
void SelectViewXZ();
void SelectView3D();

// A line in XOR white in the drawing window (drawn twice it is gone).
void DrawXorLine(int x1, int y1, int x2, int y2);

// Zooms so that the pixel box {left, top, right, bottom}, widened to at
// least 2 pixels each way, fills the window around its centre (ZoomIn and
// ZoomWindow).
void ZoomToPixelBox(int left, int top, int right, int bottom);
