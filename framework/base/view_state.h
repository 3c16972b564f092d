// The drawing-wide state that the editor commands, the renderer and the
// pointer code share: the view (mode, scale, origins, angles, snap), the
// drawing settings (grid, node snap, circle resolution, current layer and
// colour, hidden faces, the comment), the picked nodes or face, and the
// hooks through which this layer asks the views to draw.
//
// The records live here, below the views, because the drawing reset and the
// settings prompts of this layer set them; framework/view maps, zooms and
// draws over them. Every default below is the one a drawing reset
// (ResetDrawing) gives.
//
// Angles are radians. The view origin is the model point shown at the centre
// of the drawing window, along the view's horizontal and vertical screen
// axes; the views 0 to 2 share their axes (plan x with front x, plan y with
// side horizontal, side z with front z), so their stored origins move
// together.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/perspective.h"
#include "framework/model/graphic_object.h"

enum ViewMode : int16_t {
  kViewXY = 0,  // plan
  kViewYZ = 1,  // side
  kViewXZ = 2,  // front
  kView3D = 3,  // rotated 3D
  kViewPerspective = 4,
};

constexpr float kRotationStep = 0.08726646f;  // 5 degrees

struct ViewState {
  int16_t mode = kView3D;
  float scale = 5.0f;  // pixels per metre
  float originX = 0, originY = 0;
  std::array<std::array<float, 2>, 4> viewOrigins{};  // stored origin of the views 0 to 3
  float centreX = 0, centreY = 0;                     // integer halves of the drawing window's client size
  // turn, a middle angle that no transform uses, tilt
  std::array<float, 3> angles{};
  std::array<float, 3> saved3DAngles{3 * kRotationStep, 0, -5 * kRotationStep};
  std::array<float, 3> perspectiveAngles{-1.5707964f, 0, -1.5707964f};
  float rotationStep = kRotationStep;
  // Row-major: row 0 the screen horizontal, row 1 the screen vertical, row 2
  // the depth towards the viewer.
  ViewRotationMatrix rotation{1, 0, 0, 0, 1, 0, 0, 0, 1};
  int32_t pendingScrollX = 0, pendingScrollY = 0;  // pixels the next layout applies
  int32_t coordinateSnap = 1;                      // F9
  float snapStep = 0.5f;                           // m
  int32_t nodeSnap = 0;                            // F11
  ObjectVertex eyePoint{};                         // of the perspective view
  // While set, the drawing window's paint handler and the scroll bars do nothing.
  bool layoutInProgress = false;
  bool zoomInActive = false;  // ZoomIn's nested loop runs
};
extern ViewState gView;

constexpr size_t kCommentLength = 80;

struct DrawingSettings {
  float gridSize = 1.0f;        // m
  double nodeSnapWidth = 10.0;  // pixels, 1..100
  int16_t circleResolution = 36;
  int16_t currentLayer = 0;  // the layer the pickers see and new objects get
  int32_t snapLayer = 0;     // the layer node snap looks at
  int16_t drawingColour = 0;
  int16_t hiddenFaces = 0;   // 0 wireframe, 1 back faces hidden (F8)
  int16_t nodeMarkers = 0;   // View/Nodes
  int16_t skipSelected = 0;  // the move and copy previews: a full redraw leaves selected objects out
  // Palette indexes of the drawing background, the legend's text background,
  // the status line, picked objects and the crosshair.
  int16_t backgroundColour = 30, textBackColour = 30, statusColour = 5, pickColour = 32, crosshairColour = 31;
  std::string comment;  // at most kCommentLength characters, shown under the drawing
  std::string prompt;   // the running command's prompt ("MOVE > "), ahead of every status text
};
extern DrawingSettings gDrawing;

// What the node and face pickers leave for the command that runs them. A
// command that picks nodes or a face allocates it first and frees it when
// it ends (AllocPickBuffer, framework/editor/selection.h); the pickers find
// nothing to fill while it is not allocated. It grows with what it holds.
struct PickBuffer {
  bool allocated = false;
  std::vector<ObjectVertex*> nodes;     // picked nodes, each once
  GraphicObject* faceObject = nullptr;  // a picked face: its object
  uint32_t faceItem = 0;                // and the index of its op-0 item
  void Clear() { *this = PickBuffer{}; }
};
extern PickBuffer gPicks;

// The view library's drawing, as this layer calls it. framework/view
// installs the first four at start-up (InitViews); the crosshair comes with
// the pointer code. A hook not installed does nothing.
struct ViewHooks {
  void (*redrawAll)() = nullptr;  // every object, the grid and the markers, the crosshair hidden meanwhile
  void (*layoutAndRedraw)() = nullptr;
  void (*selectPlanView)() = nullptr;
  void (*updateTitle)() = nullptr;
  void (*showCrosshair)(int show) = nullptr;
  void (*enableCommandMenus)(bool enabled) = nullptr;  // the menus the program greys while a command runs
};
// Installs the hooks given; a null member keeps the one installed before.
void InstallViewHooks(const ViewHooks& hooks);
void ResetViewHooks();
void ViewRedrawAll();
void ViewLayoutAndRedraw();
void ViewSelectPlan();
void ViewUpdateTitle();
void ViewShowCrosshair(int show);
void ViewEnableCommandMenus(bool enabled);

// The view, the settings and the picks back to their defaults.
void ResetViewState();
