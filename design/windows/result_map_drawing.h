// Drawing the result map over the current output target: the cells of the
// grid in the colour classes of the result mode, the single points' read-outs,
// the white strips along the top (program title and project path) and the
// right edge (the legend: its title, 20 boxes with their labels, the band,
// phase-mode and reverberation texts). The result window of kdn and kv paints
// the model view first and calls these; the view's mapping (ProjectPointToScreen)
// places the grid, so the zoom, pan and rotation keys work on the map.
//
// On a printer without colour (`patterns`) cells and legend boxes take the
// pattern brushes LEV_00..LEV_15 that the drawing layer spreads over the level
// scale, so a printed map and its legend still match.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "design/acoustics/level_map.h"
#include "design/acoustics/result_export.h"
#include "design/acoustics/result_map.h"

// Pixel layout of the strips and the legend.
constexpr int kResultTitleStrip = 20;   // along the top
constexpr int kResultLegendStrip = 75;  // along the right edge
constexpr int kLegendBoxWidth = 24, kLegendBoxHeight = 13;
constexpr int kLegendLabelOffset = 28;  // from the box's left edge
constexpr int kLegendBoxInset = 4;      // from the strip's left edge
constexpr int kLegendBoxesTop = kResultTitleStrip + 24;

// What one paint of the map shows.
struct ResultMapPicture {
  const MapResult& result;
  const SinglePointList& singlePoints;
  ResultWindowState view;  // the mode as offered, the band, the step
  const ReverberantTerms& terms;
  int32_t rt60Method = kRt60Sabine;
  std::string programTitle;
  std::string projectPath;
  SinglePointExport& singlePointExport;  // where the export mode appends the single points
  bool patterns = false;                 // a printer without colour
};

// Draws the map as the picture says and returns the colour scale it used.
ColourScale DrawResultMap(const ResultMapPicture& picture);

// The grid points' pixel positions in the current view (z on their face),
// for picking a single point with NearestGridPoint.
std::vector<PixelPosition> GridPointPixels(const MapResult& result);

// One single point's read-out, its value in `mode` and `band` as
// SinglePointText gives it (which appends the point to `target` in the
// export mode), on white: the value 4 pixels right of and 20 above the
// point, a black line from the point to the start of the text's underline,
// the underline 7 pixels per character, and a 3 by 3 square about the point.
// Without a text only the square.
void ShowSinglePointValue(const PixelPosition& at, int16_t mode, int band, const GridPoint& point,
                          const ReverberantTerms& terms, SinglePointExport& target);
