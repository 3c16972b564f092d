// Drawing the object list into the drawing window for the current view.
//
// Views 0 to 3 draw outlines: an op-0 item starts a polyline, op 1 extends
// it, op 2 closes it back to its start (op 3, a face's material, is skipped).
// Back faces are culled for objects on the loudspeaker and mesh layers
// always, and for faces and solids off the audience layer while hidden
// faces are on: a closed outline is drawn only when its pixel shoelace sum
// S = sum (x_i - x_i+1)(y_i + y_i+1) is >= 0, which is when its Newell normal
// points away from the viewer. Rooms carry inward normals, so hidden faces
// show a closed room as its outer shell; an edge-on face (S = 0) is drawn
// but IsBackFace counts it as a back face, so it is never picked.
//
// The perspective view (view 4) draws the faces and solids off the audience
// layer only: each polygon is taken into eye space, clipped at depth 0,
// projected by the angle-proportional mapping (projection.h; the cut at
// depth 0 follows the circle 90 degrees off the axis), culled by its
// winding (always, facing sign -1 on the loudspeaker and auxiliary layers),
// and, with hidden faces on, painted farthest first and filled; at most
// kMaxSortedFaces faces are drawn. From inside a room with inward normals
// the walls in front of the eye are kept.
//
// Every routine draws into the drawing window (DrawWindow; SetViewWindow of
// framework/base points it elsewhere for a while) and selects the output
// that was current again afterwards.
#pragma once

#include <cstdint>

#include "framework/base/work_buffers.h"
#include "framework/model/graphic_object.h"

// Fixed palette indexes of the renderer.
constexpr int16_t kGridPen = 6;
constexpr int16_t kNodeMarkerPen = 19;
constexpr int16_t kLegendPen = 21;
constexpr int16_t kPickMarkerPen = 23;
// The length of the axis cross's unit axes on screen.
constexpr double kAxisCrossPixels = 25;
// The node-moving commands of the room, audience-area and auxiliary menus,
// during which the picked nodes are marked.
constexpr int16_t kMoveNodesCommands[] = {2311, 3311, 4311};

struct RenderState {
  // The axis cross the 3D view's legend draws (the program's "XYZ_CROSS"
  // symbol, its vertex 18 the origin); none: no cross.
  GraphicObject* axisCross = nullptr;
  // The -3, -6 and -9 dB isobars of the loudspeaker the perspective aiming
  // looks out of (three rings of 72 vertices, each an angular offset from
  // the viewing axis in x and y), and the band they are of (0..6); none
  // outside that command.
  GraphicObject* isobarRings = nullptr;
  int isobarBand = 0;
};
extern RenderState gRender;
void ResetRenderState();

// Draws first .. last (inclusive, along the next pointers). `full` first
// clears the window and draws the grid, and afterwards the pick markers, the
// axis legend and the comment. The perspective view goes to
// DrawObjectsPerspective.
void DrawObjects(GraphicObject* first, GraphicObject* last, int full);
void DrawObjectsPerspective(GraphicObject* first, GraphicObject* last, int full);
// A full redraw of the model with the crosshair hidden meanwhile.
void RedrawAllObjects();

// The drawing comment, when there is one, centred in the bottom 16 pixels
// of the current output's client area (a `full` draw ends with it).
void DrawDrawingComment();

// The axis cross (gRender.axisCross) turned as the view, in the current pen,
// the same size at every zoom: its origin vertex at (x, y) of the current
// output, its unit axes `unit` pixels long. Op 0 moves, ops 1 and 2 draw.
void DrawAxisCross(int x, int y, double unit);

// 1 when the projected polygon starting at the op-0 item `startItem` of the
// current object faces away (its shoelace sum is <= 0).
int IsBackFace(uint32_t startItem);

// Clears the selected bit of every selected object and redraws each.
void DeselectAllObjects();
// The outline of one face, in the pick colour (highlight 1) or its own.
void DrawFaceOutline(GraphicObject* object, uint32_t startItem, int highlight);

// F7: scales and centres the view on every shown object, whatever the view
// showed before; the scale stays within 0.001 .. 1000. Nothing happens on
// an empty model or in the perspective view. 1 when the view was fitted.
int ZoomToFit();
// View/Zoom Window: zooms to a rectangle picked by two corners.
void ZoomWindow();
// Arrow keys in the rotated 3D view: turn (left, right) or tilt (up, down)
// the saved 3D angles by one rotation step and fit again.
void RotateView3DByKey(unsigned key);
// The perspective view's turn (code >= 0: by 360 - code steps, kept within
// -270 .. 90 degrees) or tilt (code < 0: by -code - 360 steps, kept within
// -180 .. 0 degrees), then a redraw with the eye and angle read-outs.
void RotateViewByAngle(int code);
// Over the perspective view: the eye point and the view's azimuth and
// elevation at the top left, the cross at the centre and, while
// gRender.isobarRings is set, the rings and their band's frequency.
void ShowPerspectiveReadouts();
// The isobar rings around the centre of the perspective view, each vertex
// where the view maps its angular offset (FisheyeOffsetPixel), so a ring
// lies on the room image at the angle off the axis it stands for.
void DrawIsobarRings();

// The plot: the grid and the model as outlines (back faces left out by
// IsBackFace on the loudspeaker layer in wireframe, and on faces and solids
// off the audience layer with hidden faces), the axis cross at the lower
// left and, in the lower right corner framed up to the last pixel column
// and row, the title block with the plot header's texts: 83 character
// widths across 120 mm, rows 2.25 widths high (plus 2 pixels), eight rows
// of a label and a text (the header's first row at the top) beside the four
// free texts, each two rows high. Draws on the page of the open print job.
void DrawObjectsForPlot(GraphicObject* first, GraphicObject* last);
// Prints the drawing window as a bitmap (PrintViewWindow), framed, after
// the print dialog (landscape preset for a window wider than high).
void PrintView();

// The vertices of an object that something draws, from its first: all of
// them but the last two of an object on the loudspeaker layer, which no
// item names (the tips of a symbol's axis and up directions, a metre out).
uint32_t DrawnVertexCount(const GraphicObject& object);

// Unclamped screen extents over the drawn vertices of the shown objects
// (group markers and the print region's marker left out): widened by one
// object's vertices, and over the whole model.
struct ScreenExtents {
  double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
};
void ObjectScreenExtents(const GraphicObject* object, ScreenExtents& extents);
ScreenExtents ModelScreenExtents();
