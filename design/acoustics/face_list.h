// The face list and the printed "Room Faces Summary": every face of the
// calculation face table with its area, its share of the room's area, its
// material and its absorption per band in sabins (area x coefficient),
// summed per material and over the room; and the two material changes the
// list offers, of one face and of every face of the face's material.
//
// Everything here reads the table as the caller built and sorted it
// (SortCalcFaces: the larger face first) and the materials it is given; a
// face whose material item is missing or names no material counts as
// material 0. Areas and sabins are in square metres, or in square feet
// while lengths are shown in feet (gUnitFlag); the summary's bounding boxes
// are in the user's length unit. The window that shows the list and the
// printing code take their texts and pages from here, so that the design
// program and the viewer show the same.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "design/acoustics/calc_faces.h"
#include "design/model/absorber_database.h"
#include "framework/core/printed_page.h"

constexpr int kFaceSummaryRowsPerPage = 72;

inline constexpr char kCantLoadAbsorberMessage[] = "Can\xB4t load absorber";
inline constexpr char kInsufficientMemoryCaption[] = "Error : Insufficient memory";

// sqrt(2 x the stored half squared normal length) / 2, in the user's unit.
float GetCalcFaceArea(const CalcFace& face);

// An area and its absorption per band, in the user's unit.
struct AbsorptionSum {
  double area = 0;
  std::array<double, kAbsorberBandCount> sabins{};
};
// One face with its own material.
AbsorptionSum SumFaceAbsorption(const CalcFace& face, const MaterialTable& materials);
// All faces of material `material`.
AbsorptionSum SumMaterialAbsorption(const CalcFaceTable& table, const MaterialTable& materials, int material);
// All faces.
AbsorptionSum SumRoomAbsorption(const CalcFaceTable& table, const MaterialTable& materials);

// The list's row `row`: "%03d\t" of row + 1, the area "%7.1f\t", then the
// material's name.
std::string FormatFaceListRow(const CalcFaceTable& table, const MaterialTable& materials, int row);

// What the list shows of the face in row `row` and of its material: the
// sabins per band ("%3.1f" for the face, "%7.1f" for the material), the
// area ("%3.1f m²" or "%3.1f ft²") and its share of the room's area
// ("%3.1f%").
struct FaceListFields {
  std::array<std::string, kAbsorberBandCount> faceSabins;
  std::string faceArea, faceShare;
  std::array<std::string, kAbsorberBandCount> materialSabins;
  std::string materialArea, materialShare;
};
FaceListFields FormatFaceListFields(const CalcFaceTable& table, const MaterialTable& materials, int row);

// The room's sabins per band ("%5.1f") and its area ("%5.1f m²" or
// "%5.1f ft²").
struct FaceListTotals {
  std::array<std::string, kAbsorberBandCount> sabins;
  std::string area;
};
FaceListTotals FormatFaceListTotals(const CalcFaceTable& table, const MaterialTable& materials);

// The line that marks a face in the drawing: from the centroid of its
// vertices, 2 sqrt(2) m against its normal.
struct FaceMarkerLine {
  ObjectVertex from, to;
};
FaceMarkerLine ComputeFaceMarkerLine(const CalcFace& face);

// ---- Material changes ----
// Both take database record `dbIndex` into the project's materials
// (AddMaterialFromDatabase) and write its project index into the material
// item of the faces concerned; a face without a material item keeps what it
// has. When a face took the material, the materials no face names any more
// are emptied (PurgeUnusedMaterials) and `modifiedMark` becomes 1; when none
// did, the materials are left as they were (FinishMaterialAssignment). A
// material that cannot be added shows "Can´t load absorber" under "Error :
// Insufficient memory" and changes nothing: -1.

// The face in row `row`: 1 when it took the material, else 0.
int ChangeFaceMaterial(CalcFaceTable& table, int row, int dbIndex, uint16_t& modifiedMark);
// Every face of the material of the face in row `row`: how many took the
// new one.
int ReplaceFaceMaterial(CalcFaceTable& table, int row, int dbIndex, uint16_t& modifiedMark);

// ---- The printed summary ----

// The portrait pages of the summary of `table` on a printable width of
// `printableWidth` pixels (text sizes by ListingSizesForWidth): 72 faces a
// page in table order under the head "Room Faces Summary - Page n" and the
// heads of the 17 columns (number, area, share, material, the bounding box,
// the sabins per band), columns counted in character widths from x = 100;
// after the last face, on its page, the total area and the room's sabins.
// An empty table gives no page.
std::vector<ListingPage> LayOutFaceSummary(const CalcFaceTable& table, const MaterialTable& materials,
                                           int printableWidth);
