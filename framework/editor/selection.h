// The three pickers every edit command starts with: objects (by pick box
// and by window), nodes and faces, with their hit tests on the projected
// objects. They see only the objects of the current layer that are not
// hidden, and wait for their clicks in WaitForPoint until the input ends
// (Enter, Space, a right click, "OK") or is cancelled (Escape, "STOP"); a
// cancel undoes what the picker selected.
//
// The selection is a property of the objects (state bit kStateSelected);
// picked nodes and a picked face go into the PickBuffer (gPicks,
// framework/base/view_state.h), which the command allocates before and frees
// after. Groups are the runs from a start marker (kind 0x20000) to its
// matching end marker (0x40000); they nest, and a picker takes a group
// whole.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/base/hit_test.h"
#include "framework/core/random15.h"
#include "framework/model/graphic_object.h"

// The picker's state beside the objects' own bits: the rectangle the last
// click tested, and the generator of the face shuffle.
struct SelectionState {
  ScreenRect rect{};
  Random15 shuffle;
};
extern SelectionState gSelection;
void ResetSelection();
// Fixes the order in which SelectFace offers overlapping faces.
void SeedFaceShuffle(uint32_t seed);

// Room for `entries` picks ahead (it grows beyond if needed). 0 after
// "Insufficient memory, operation cancelled" when memory runs out.
int AllocPickBuffer(size_t entries);
// Empty and not allocated.
void FreePickBuffer();

// Objects by clicks: a click catches the first run (object or group) whose
// outline touches the pick box around it; a click that catches nothing
// opens a window, which the next click closes. A window drawn to the left
// or upwards catches the runs lying wholly inside it, one drawn to the
// right and downwards every run it touches. Each caught object is selected
// and drawn in the pick colour. Returns the number of objects selected by
// this call (0 on an empty list or cancel); objects selected before stay
// selected and are not counted.
int SelectObjects();
// Nodes by clicks: every vertex of an object of the layer inside the pick
// box goes into the PickBuffer once (marked with an X), and its object is
// selected. Returns the number of nodes added (0 on an empty list, without
// an allocated PickBuffer, or on cancel).
int SelectNodes();
// A face of the faces and solids by clicks: the face under the click is
// held (outlined in the pick colour) in the PickBuffer; where faces
// overlap, each further click holds another of them, in shuffled order.
// With hidden faces on, back faces are not offered. 1 when a face is held
// and the input ended normally, else 0.
int SelectFace();

// Hit tests of one object projected into the current view against a pixel
// rectangle, edges included. Touches: a start vertex inside it or an edge
// through it. Inside: every vertex its items name lies in it (an object
// without vertices is never inside).
int ObjectTouchesWindow(GraphicObject* object, const ScreenRect& rect);
int ObjectInsideWindow(GraphicObject* object, const ScreenRect& rect);
// The end of the run that starts at `object`: for a group start marker the
// end marker that matches it (nested groups counted), NULL when the list
// ends first; any other object itself.
GraphicObject* FindGroupEnd(GraphicObject* object);
