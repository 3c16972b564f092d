// The small steps that the drawing editor's commands and the programs' own
// commands are made of: the command's prompt, the base and offset points of
// a move, erasing, duplicating and deleting the selection, the copy budget,
// the group markers, the modified mark and the end of a command.
//
// A command runs as: prompt (SetCommandPrompt), selection (selection.h),
// PickBasePoint, the preview on (SetRubberBand), PickOffsetPoint, the
// preview off, and ResetCommandState at the end, which leaves no
// selection, the request flags clear, the preview off and the status line
// empty.
#pragma once

#include <cstdint>

#include "framework/model/graphic_object.h"

inline constexpr char kCopyBudgetMessage[] = "ERROR : Insufficient memory";

// The running command's prompt ("MOVE > "), ahead of every status text.
void SetCommandPrompt(const char* prefix);

// Shows "Basepoint :" and waits for a point with the rubber band off;
// unless cancelled the cursor point becomes the base point and the rubber
// band is back as it was (after a cancel it stays off).
void PickBasePoint();
// Shows "Offset-point :" and waits for a point; unless cancelled the
// offsets receive the cursor point minus the base point.
void PickOffsetPoint(float& dx, float& dy, float& dz);

// Takes the selected objects off the screen (the rest redrawn without
// them); they stay selected.
void EraseSelectedObjects();
// Copies every selected object (data, vertices and items) to the head of
// the list, in the originals' order, on the current layer: the copies carry
// their original's state with kStateDuplicate and are the new selection;
// the originals are deselected and drawn. An object that cannot be copied
// stays deselected and has no copy.
void DuplicateSelectedObjects();
// Unlinks and frees every selected object.
void DeleteSelectedObjects();

// The packed size of the selected objects (PackedObjectSize summed).
uint64_t SelectedPackedSize();
// Whether copying the selection stays within the copy budget; if not,
// "ERROR : Insufficient memory" and the selection is cleared.
bool SelectionFitsCopyBudget();

// A bare zero-filled object header for a group marker: no data, vertices or
// items; NULL (no message) when memory runs out.
GraphicObject* AllocMarkerObject();

// The drawing holds unsaved changes (the program's modified mark).
void MarkDrawingModified();

// The end of a command: the request flags cleared, every object deselected,
// the preview off and its mode back to translation, and the status line
// emptied.
void ResetCommandState();
