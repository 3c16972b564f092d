// The reset of everything a drawing holds (settings, view, objects, layers,
// plot-header texts, picks, grid), the layer visibility update, File/New
// with its unsaved-changes prompt, and the small helpers of the drawing
// commands that belong to no view: the drawing window's record, the eye
// point of the perspective view and the rotation into the view plane.
//
// A program hands the framework its document at start-up (SetDrawingDocument):
// the routine that starts a new drawing (kdn's starts a new project) and the
// modified mark that the unsaved-changes prompt tests.
#pragma once

#include <array>
#include <cstdint>

#include "framework/base/drawing_layer.h"

// The routine File/New runs to start the program's new drawing.
using NewProjectCallback = void (*)();

struct DrawingDocument {
  NewProjectCallback newDrawing = nullptr;
  uint16_t* modified = nullptr;  // non-zero while the model holds unsaved changes
};
void SetDrawingDocument(const DrawingDocument& document);
// Sets the document's modified mark (the drawing commands' changes).
void SetDrawingModified();

// Menu items of the view's face mode.
constexpr int kMenuWireframe = 604;
constexpr int kMenuHiddenFaces = 605;

inline constexpr char kUnsavedMessage[] = "Current project status has not been saved";

// Comment and plot header empty; settings and view to their defaults (the
// face mode and node markers stay, as their menu items show them); the
// command ids and the cancel flag cleared; the model, the picks and the grid
// freed; the 32 layers named "LAYER 1" .. "LAYER 32" with layers 0 to 2
// shown. 1.
int ResetDrawing();

// Makes the record the drawing window when it has a window and returns the
// one before; a record without a window changes nothing (the current one is
// returned).
WindowRecord* SetViewWindow(WindowRecord* record);

// Objects on hidden layers get state bit 0x80, objects on shown layers lose
// it (the shape layer 3 stays as it is); then everything is redrawn.
void ApplyLayerVisibility();

// Waits for a point; unless cancelled the cursor point becomes the eye point
// of the perspective view. The request flags are cleared afterwards.
void PickEyePoint();

// The row-major 3 x 3 matrix that maps plane coordinates (u, v, 0), turned
// by `angle`, into the plane of the current view: XY and the rotated 3D
// view the plane z = 0, YZ the plane x = 0, XZ the plane y = 0; all zero in
// the perspective view.
std::array<double, 9> BuildViewPlaneRotation(double angle);

// Clears the cancel flag; when the model holds objects and unsaved changes,
// asks "Current project status has not been saved" (OK/Cancel, Cancel the
// default), and any answer but OK sets the cancel flag.
void AskToDiscardProject();
// The question above and, unless cancelled, the undo ring cleared (New,
// Exit). Open asks only: its history goes once another project is read, so
// that a cancelled dialog or a missing file keeps it.
void ConfirmDiscardProject();

// File/New: on a model that holds objects, the prompt above and, unless
// cancelled, the program's new drawing in the wireframe plan view with the
// cursor at the origin; always the request flags cleared and the title
// updated.
void CmdNewDrawing();
