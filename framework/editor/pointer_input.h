// The pointer and keyboard side of the drawing editor that kdn, kv and ksb
// share: the model point under the mouse for the current view with
// coordinate and node snap, the XOR figures over the drawing window (the
// cursor figure, the base-point line and the rubber band), and the keys of
// the drawing window. The state is gInput (framework/base/input_loop.h).
//
// The cursor point follows the mouse in the plan, side and front views,
// each of which sets the two coordinates it shows (truncated to the
// coordinate snap step while snap is on) and keeps the third; the rotated
// 3D view leaves it where it is except for node snap, and the perspective
// view leaves it alone. Node snap (F11) works only with the crosshair
// figure: the cursor point takes the in-plane coordinates of the nearest
// vertex of the snap layer within the snap width (all three in the 3D
// view, whose cursor pixel then moves onto the vertex), of the vertices
// that something draws (DrawnVertexCount). While the rubber band is on,
// what it moves is never snapped to: the picked nodes under the node
// preview, the selected objects (those being moved or drawn) under the
// others.
//
// XOR: the cursor figure, the base-point line and the rubber band are drawn
// in XOR, so drawing one twice at the same place erases it. Every routine
// that draws into the drawing window erases them first (ShowCrosshair(0))
// and shows them again afterwards (ShowCrosshair(1)); a clear of the drawing
// area erases them itself. While the rubber band is on, a full redraw
// leaves the selected objects out, because the band draws them.
//
// The rubber band is the preview of a command: on every cursor step its
// callback edits each selected object in place (moves it, reflects it,
// builds a circle or a rectangle in it, moves the picked nodes) and the
// object is drawn there in XOR. A cancelled command moves the objects back
// itself. A view switched in the middle of a command leaves nothing of the
// steps before it: the moves add up to the cursor's way from the base
// point, and the mirror and the figures are laid out afresh at each step
// from where they started, in the view shown.
#pragma once

#include <cstdint>

#include "framework/model/graphic_object.h"

// The rubber-band previews, by SetRubberBandMode's argument.
enum RubberBandMode : int16_t {
  kBandTranslate = 0,  // and every value not named here
  kBandCircle = 1,
  kBandRectangle = 2,
  kBandMoveNodes = 8,
  kBandPlotRegion = 16,  // translates; the print region re-centres itself
  kBandMirror = 32,
};

// The shown pick box reaches this many pixels either side of the cursor.
constexpr int kPickBoxHalf = 4;
// Palette index of the zoom box.
constexpr int16_t kZoomBoxPen = 18;

// Installs ShowCrosshair as the views' crosshair hook (start-up).
void InitPointerInput();

// 0 erases whatever XOR figure is drawn; 1 draws them at the cursor pixel
// (moving them when the cursor moved) unless tracking is suspended, and
// makes the cursor point the picked point.
void ShowCrosshair(int show);
// The cursor figure of the input mode at (x, y), in XOR: the crosshair
// across the drawing window, the pick box, the selection window from its
// first corner, or the zoom box.
void DrawCrosshair(int x, int y);
// The input mode (InputMode) with the figures erased and drawn again.
void SetInputMode(int16_t mode);

// Tracking is suspended (0) while the pointer is over the main window
// outside the drawing window; the figures stay erased meanwhile.
void SetCursorTracking(int on);
int IsCursorTrackingOn();

// The preview the rubber band runs (RubberBandMode).
void SetRubberBandMode(int mode);
// Switches the rubber band (and the base-point line) on or off, the figures
// erased before and drawn again after, so that nothing is left behind.
void SetRubberBand(int on);
void SetBaseLine(int on);
// The preview: with draw = 1 each selected object is first edited by the
// callback for the cursor step; then each is drawn alone in XOR.
void DrawRubberBand(int draw);
// Cursor point minus picked point.
void GetCursorStep(double& dx, double& dy, double& dz);
// Cursor point minus base point in the plane of the view: the out-of-plane
// component 0 in the 2D views, all three 0 in the 3D views.
void ViewPlaneOffset(double& dx, double& dy, double& dz);
void ArmNodeMove(int on);

// The previews, each called as callback(object, dx, dy, dz) with the cursor
// step.
// Adds the step to every vertex; the print region (kind 255) instead
// re-centres its four corners on the cursor in the 2D views.
void TranslateObject(GraphicObject* object, double dx, double dy, double dz);
// The print region's four corners centred on `centre` in the plane of the
// 2D view shown, half its vertex 4's x wide and half its y high; their
// third coordinate stays. Nothing happens in the 3D views.
void CentrePrintRegion(GraphicObject& region, const ObjectVertex& centre);
// A circle round the base point through the cursor in the plane of the
// view, of the circle resolution's vertices from angle 0 clockwise.
void CirclePreview(GraphicObject* object, double dx, double dy, double dz);
// A rectangle from vertex 0 to the cursor: vertices 1 to 3 complete it in
// the plane of a 2D view; in the 3D views vertex 2 is the cursor and 1 and
// 3 stay on vertex 0, so that no face is made there.
void RectanglePreview(GraphicObject* object, double dx, double dy, double dz);
// Once per step (see ArmNodeMove), the step added to every picked node.
void MoveNodesPreview(GraphicObject* object, double dx, double dy, double dz);
// The selected objects' coordinates as the mirror preview begins, and
// forgetting them when it ends (before an object saved may be freed).
void SavePreviewStart();
void ForgetPreviewStart();
// A copy as it was saved (SavePreviewStart), reflected across the line from
// the base point through the cursor in the plane of the 2D view shown; in
// the 3D views, or with the cursor on the base point, the copy as saved.
void MirrorPreview(GraphicObject* object, double dx, double dy, double dz);

// The view panel's read-out of the picked point.
void RefreshViewPanelCoordinates();

// The mouse at pixel (x, y) of the drawing window: the cursor pixel, the
// cursor point, node snap, the figures and the view panel's read-out. With
// the point-taken flag already set (a left click) it only records the first
// corner of a selection window.
void TrackMousePosition(int x, int y);
// A left click at (x, y) of the drawing window: the cursor there and the
// point taken.
void TakeMouseClick(int x, int y);

// A key for the drawing window: while a command runs Enter and Space set
// the done flag and Escape the cancel flag; with none running Enter and
// Space repeat the last command. While a command runs "A" and "R" ask for
// an absolute point and one relative to the last accepted point ("Point
// absolute :", "Point relative :"), "P" for a distance and angle from it in
// the view's plane; the typed point is taken as a click takes the cursor
// point, without snapping, unless it lies beyond kMaxTypedCoordinate
// (geometry.h), which "Invalid entry !" refuses. Every other key goes to
// the view keys
// (view_keys.h).
void HandleDrawingKey(unsigned key);
