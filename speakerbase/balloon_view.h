// The balloon window of a speaker record, apart from the window: its state,
// the 3D mesh of one band's balloon, the turning of the 3D view by the
// scroll bars, the views' projections and the layout.
//
// The mesh (BuildBalloonMesh) has 2522 vertices: with rho(code) =
// max(0, code - 75) (0 dB gives 150, -30 dB and below 0), vertex 0 is
// (rho(row 0, column 0), 0, 0), vertex 1 (-rho(row 36, column 0), 0, 0), and
// vertex 2 + 72 (r - 1) + c, for the rows r = 1..35 and columns c = 0..71
// (theta = 5r, phi = 5c degrees), is rho x (cos theta, cos phi sin theta,
// sin phi sin theta). Its faces: 72 triangles from vertex 0 to row 1,
// 34 x 72 quadrilaterals between consecutive rows (each row closing from
// column 71 to column 0) and 72 triangles from row 35 to vertex 1. A face is
// the items op 0, op 1 .. and op 2 (the last vertex), 3 items a triangle and
// 4 a quadrilateral, 10224 in all. Every face winds with its Newell normal
// pointing inwards, so that the renderer, which culls every face on the
// mesh layer whose normal points towards the viewer, shows the near side
// of the balloon. The object: kind 8, state 1, colour 21, layer 6.
//
// The views, orthographic, the origin at the centre of their cells, to one
// scale at which rho 180 (the +6 dB of code 255) fits a cell with the labels
// around it: "Horiz." from above (the axis, +x, up, +y to the left), "Vert."
// from the side (+x up, +z to the left) and "Front" from in front (+z up, +y
// to the right), each with the rings of 0 to -25 dB and the angle labels of
// the polar plots, and "3D" turned by the window's two angles. With the 3D
// flag the whole area shows the 3D view alone, with the axis cross at its
// lower left.
//
// The window's angles: the horizontal one turns the 3D view within -pi..pi
// (wrapping round), the vertical one tilts it within -pi..0 (0 looks from
// above, -pi/2 from the side, -pi from below), clamped, since the scroll bar
// that shows it runs -314..0. A line scrolls one rotation step of 5
// degrees, a page six, the thumb sets position / 100.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "design/model/speaker_type.h"
#include "framework/model/graphic_object.h"
#include "speakerbase/view_layout.h"

constexpr uint32_t kBalloonMeshVertices = 2 + (kBalloonRows - 2) * kBalloonColumns;                         // 2522
constexpr uint32_t kBalloonMeshItems = 2 * 3 * kBalloonColumns + (kBalloonRows - 3) * kBalloonColumns * 4;  // 10224
constexpr int16_t kBalloonMeshColour = 21;
// rho of code 255, the farthest a vertex lies from the origin.
constexpr double kBalloonMeshReach = 180;
constexpr int kBalloonStartBand = 3;  // 1 kHz

constexpr double kBalloonPi = 3.141592654;
constexpr float kBalloonRotationStep = 0.08726646f;  // 5 degrees
constexpr int kBalloonPageSteps = 6;
constexpr double kBalloonScrollScale = 100;  // scroll position = angle x 100

struct ObjectDeleter {
  void operator()(GraphicObject* object) const { FreeObject(object); }
};
using BalloonMeshPtr = std::unique_ptr<GraphicObject, ObjectDeleter>;

// The window's state; a default one is the window as it opens (band 1 kHz,
// the four views), looking at the balloon from 30 degrees above its axis
// and 45 degrees to its right.
struct BalloonViewState {
  int band = kBalloonStartBand;
  bool threeD = false;
  float horizontalAngle = float(-kBalloonPi / 4);
  float verticalAngle = float(-kBalloonPi / 3);
  BalloonMeshPtr mesh;  // while the window is open
};

// The mesh object with room for the balloon of one band, unlinked; null
// when memory runs out (no message is shown).
BalloonMeshPtr CreateBalloonMesh();
// Fills `mesh` from the band's codes; false, leaving it alone, when it has
// fewer vertices or items than a balloon mesh needs.
bool BuildBalloonMesh(std::span<const uint8_t, kBalloonBandSize> band, GraphicObject& mesh);

// A scroll bar's step.
enum class BalloonScroll { kLineBack, kLineForward, kPageBack, kPageForward, kThumb };
float ScrollHorizontalAngle(float angle, BalloonScroll scroll, int thumbPosition);
float ScrollVerticalAngle(float angle, BalloonScroll scroll, int thumbPosition);
// The scroll bars' ranges and an angle's position on them.
constexpr int kHorizontalScrollMin = -314, kHorizontalScrollMax = 314;
constexpr int kVerticalScrollMin = -314, kVerticalScrollMax = 0;
int BalloonScrollPosition(float angle);

enum class BalloonViewKind { kHorizontal, kVertical, kFront, k3D };
// Row-major: the screen's horizontal (rightwards) and vertical (upwards)
// axes and the depth towards the viewer, as the renderer's view rotation
// holds them. The 3D view is the renderer's own, from the window's angles.
using BalloonProjection = std::array<double, 9>;
BalloonProjection FixedBalloonProjection(BalloonViewKind kind);

// A ring of equal level around a view: its balloon code and radius.
struct BalloonRing {
  int code = 0;
  int radius = 0;  // pixels
};
struct BalloonViewCell {
  BalloonViewKind kind = BalloonViewKind::k3D;
  ViewText title;
  ViewPoint centre;
  double scale = 0;                // pixels per unit of rho
  std::vector<ViewText> labels;    // the angle labels, none in the 3D view
  std::vector<BalloonRing> rings;  // 0 to -25 dB, none in the 3D view
};
struct BalloonLayout {
  ViewText heading, bandHeader;
  std::vector<BalloonViewCell> cells;  // four, or the 3D view alone
  std::vector<LegendEntry> legend;     // the rings', with the four views
  ViewPoint axisCross;                 // the axis cross's origin, with the 3D view alone
};
// The layout of band `band` right of the buttons' column: heading and band
// header at the top, the cells below, the legend at the bottom.
BalloonLayout LayOutBalloonView(const SpeakerType& record, int band, bool threeD, int width, int height);
