#include "design/windows/result_map_drawing.h"

#include <array>
#include <string_view>

#include "framework/base/drawing_layer.h"
#include "framework/base/work_buffers.h"
#include "framework/view/projection.h"

namespace {

constexpr int16_t kBlack = 0, kWhite = 30;
// Fonts: height and average width in pixels.
constexpr int kTitleFont[2] = {16, 8}, kLabelFont[2] = {12, 6}, kTimesFont[2] = {10, 6}, kValueFont[2] = {14, 7};
constexpr int kTitleX = 8, kStripTextY = 2;
constexpr int kNotesGap = 8;
constexpr int kValueRight = 4, kValueRise = 20, kValueUnderline = 16;  // below the text's top

platform::Point Project(const ObjectVertex& at) {
  ProjectPointToScreen(at);
  return {gWork.screenPoints[0].x, gWork.screenPoints[0].y};
}

// `text` with its top left at (x, y), black on white, in the font given.
void DrawText(int x, int y, std::string_view text, const int (&font)[2], int16_t colour = kBlack) {
  SetTextStyle("Arial", font[0], font[1], 0, colour, kWhite, platform::kBackOpaque);
  const std::string copy(text);
  DrawStyledText(x, y, x + font[1] * int(text.size()) + font[1], y + font[0] + 2, copy.c_str(),
                 platform::kTextLeft | platform::kTextSingleLine);
}

void DrawCells(const ResultMapPicture& picture, const ColourScale& scale) {
  const MapResult& result = picture.result;
  const float half = result.grid.HalfSpacing();
  SelectNullPen(1);  // the cells tile the face without outlines
  for (const GridPoint& point : result.grid.points) {
    const int16_t colour = ScaleColour(scale, ResultValue(picture.view.mode, picture.view.band, point, picture.terms));
    if (colour == kNoDataColour) continue;
    std::array<platform::Point, 4> corners;
    const std::array<ObjectVertex, 4> cell = CellCorners(result.faces, point, half);
    for (size_t i = 0; i < cell.size(); ++i) corners[i] = Project(cell[i]);
    SetBrushColor(colour);
    if (picture.patterns) DrawPolygonPattern(corners.data(), int(corners.size()));
    else DrawPolygon(corners.data(), int(corners.size()));
  }
  SelectNullPen(0);
}

void DrawSinglePoints(const ResultMapPicture& picture) {
  const MapResult& result = picture.result;
  for (uint16_t index : ShownSinglePoints(picture.singlePoints, result.grid.PointCount())) {
    const GridPoint& point = result.grid.points[index];
    const platform::Point at = Project(PointOnFace(result.faces, point));
    ShowSinglePointValue({at.x, at.y}, picture.view.mode, picture.view.band, point, picture.terms,
                         picture.singlePointExport);
  }
}

// The white strips, framed, with the title and the path centred on top.
void DrawStrips(const ResultMapPicture& picture, int width, int height) {
  SetPenColor(kBlack);
  SetBrushColor(kWhite);
  DrawRectangle({0, 0, width - 1, kResultTitleStrip - 1}, 1);
  DrawRectangle({width - kResultLegendStrip, kResultTitleStrip - 1, width - 1, height - 1}, 1);
  DrawText(kTitleX, kStripTextY, picture.programTitle, kTitleFont);
  const int pathX = width / 2 - kTitleFont[1] / 2 * int(picture.projectPath.size());
  DrawText(pathX, kStripTextY, picture.projectPath, kTitleFont);
}

void DrawLegend(const ResultMapPicture& picture, const ColourScale& scale, int width) {
  const int boxX = width - kResultLegendStrip + kLegendBoxInset;
  DrawText(boxX, kResultTitleStrip + 2, LegendTitle(picture.view.mode), kTitleFont);
  int y = kLegendBoxesTop;
  for (const LegendBox& box : LegendBoxes(scale)) {
    SetBrushColor(box.brush);
    if (picture.patterns) FillRectanglePattern(boxX, y, boxX + kLegendBoxWidth, y + kLegendBoxHeight);
    else FillRectangle(boxX, y, boxX + kLegendBoxWidth, y + kLegendBoxHeight);
    if (!box.label.empty()) DrawText(boxX + kLegendLabelOffset, y, box.label, kLabelFont);
    y += kLegendBoxHeight;
  }
  const LegendNotes notes = MakeLegendNotes(picture.view.mode, picture.view.band, picture.result.phaseMode,
                                            picture.rt60Method, picture.terms.room.rt60);
  y += kNotesGap;
  for (const std::string& line : notes.bandLines) {
    DrawText(boxX, y, line, kTitleFont);
    y += kTitleFont[0] + 2;
  }
  if (!notes.methodLine.empty()) {
    DrawText(boxX, y, notes.methodLine, kTitleFont);
    y += kTitleFont[0] + 2;
  }
  // One time per band in the small font, one band's in the large.
  const int(&timesFont)[2] = notes.rt60Lines.size() > 1 ? kTimesFont : kTitleFont;
  for (const std::string& line : notes.rt60Lines) {
    DrawText(boxX, y, line, timesFont);
    y += timesFont[0] + 2;
  }
}

}  // namespace

ColourScale DrawResultMap(const ResultMapPicture& picture) {
  const int width = GetClientWidth(), height = GetClientHeight();
  const ResultWindowState& view = picture.view;
  const ResultRange range = ComputeResultRange(view.mode, view.band, picture.result.grid.ranges, picture.terms);
  const ColourScale scale = MakeColourScale(view.mode, view.stepIndex, range);
  DrawCells(picture, scale);
  DrawSinglePoints(picture);
  DrawStrips(picture, width, height);
  DrawLegend(picture, scale, width);
  SetPenColor(kBlack);
  SetBrushColor(kWhite);
  return scale;
}

std::vector<PixelPosition> GridPointPixels(const MapResult& result) {
  std::vector<PixelPosition> pixels;
  pixels.reserve(result.grid.points.size());
  for (const GridPoint& point : result.grid.points) {
    const platform::Point at = Project(PointOnFace(result.faces, point));
    pixels.push_back({at.x, at.y});
  }
  return pixels;
}

void ShowSinglePointValue(const PixelPosition& at, int16_t mode, int band, const GridPoint& point,
                          const ReverberantTerms& terms, SinglePointExport& target) {
  const std::string text = SinglePointText(mode, band, point, terms, target);
  SetPenColor(kBlack);
  SetBrushColor(kBlack);
  FillRectangle(at.x - 1, at.y - 1, at.x + 2, at.y + 2);
  if (text.empty()) return;
  const int textX = at.x + kValueRight, textY = at.y - kValueRise;
  DrawText(textX, textY, text, kValueFont);
  const int underline = textY + kValueUnderline;
  const platform::Point line[] = {
      {at.x, at.y}, {textX, underline}, {textX + kValueFont[1] * int(text.size()), underline}};
  DrawPolyline(line, 3);
  SetBrushColor(kWhite);
}
