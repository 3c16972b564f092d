// The face list "Face Listing" (the modeless dialog FACELIST_DLG) and the
// printed "Room Faces Summary", which kdn and kv both show.
//
// The list holds every face of the calculation face table, larger first
// (row texts, fields and pages from design/acoustics/face_list.h): the face
// chosen in it shows its sabins per band, its area and share, the same
// summed over its material, and the room's totals; it is marked in the
// drawing by a line from its centre against its normal and its outline in
// the pick colour, both taken away when another face is chosen and when the
// list ends. While the list is open its own loop waits for messages: the
// dialog's go to it, left clicks into the drawing window are dropped, all
// others are dispatched, so the views still work.
//
// A program that lets materials change hands in a chooser: the buttons
// "Change Face Material" (this face) and "Replace Material" (every face of
// its material) then take a database record into the project's materials.
// Without one they are hidden and the list only reads. "Print" closes the
// list and prints the summary (portrait, after the print dialog).
#pragma once

#include <cstdint>

#include "design/acoustics/calc_faces.h"
#include "design/model/absorber_database.h"
#include "platform/types.h"

inline constexpr char kFaceListDialog[] = "FACELIST_DLG";

// Chooses a database record for a face of project material
// `projectIndex`: 1 with the record's index in `dbIndex`, 0 when nothing
// was chosen.
using SelectMaterialHook = int (*)(int projectIndex, int& dbIndex);

struct FaceListState {
  platform::Window dialog = platform::Window::kNone;  // none unless the list is open
  CalcFaceTable* table = nullptr;                     // what the list shows, sorted
  uint16_t* modifiedMark = nullptr;                   // set when a material changed
  SelectMaterialHook selectMaterial = nullptr;        // none: the list only reads
  int row = -1;                                       // the face marked, -1 for none
  GraphicObject* marker = nullptr;                    // its line, at the head of the model list
  bool printAfterwards = false;                       // "Print" closed the list
};
extern FaceListState gFaceList;
void ResetFaceList();

// Builds `table` from the room (layer 0 of the model list, the project's
// materials) and shows the list until it is closed, then prints the summary
// when "Print" closed it. 1 when the list ran; 0 when the room has no face
// or the dialog cannot be made ("Unable to display dialog").
int ShowFaceListDialog(CalcFaceTable& table, uint16_t& modifiedMark, SelectMaterialHook selectMaterial);

// Marks `face` in the drawing (on 1: the pick buffer holds it, a new marker
// line is drawn in colour 22 and the outline highlighted) or takes the mark
// away (on 0: the line drawn in the background colour and freed, the
// outline drawn in its own colour).
void MarkCalcFace(const CalcFace& face, int on);

// The summary of `table` on the printer chosen in the print dialog
// (portrait preset); nothing when the dialog is cancelled or the job cannot
// start.
void PrintFaceSummary(const CalcFaceTable& table, const MaterialTable& materials);
