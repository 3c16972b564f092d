#include "design/acoustics/rt60_graph.h"

#include <algorithm>
#include <cmath>

#include "framework/core/geometry.h"
#include "framework/core/text_format.h"

namespace {

// Rows below the baseline: the band texts, then the room lines.
constexpr int kBandRows[] = {20, 40, 60, 80, 100, 120};
constexpr int kVolumeRow = 150, kSurfaceRow = 170, kClosureRow = 190, kProjectionRow = 208, kProjectionSpacing = 18;
constexpr int kBandTextOffset = 24, kScaleTextOffset = 36, kRoomTextOffset = 88, kTitleOffset = 56;
constexpr int kTitleRow = 8, kWithoutAirLabelOffset = 136, kScaleLabelRise = 8;
// A projection is reported when its faces' projected areas add to less than
// this, or their signed sum exceeds it (m^2).
constexpr float kProjectionTolerance = 0.01f;

// A time as the graph shows it: 0 .. kMaxRt60, the cap for one that is not
// a number.
double ShownTime(double seconds) { return std::isnan(seconds) ? kMaxRt60 : std::clamp(seconds, 0.0, kMaxRt60); }

// "%5.1lf Sa" and "a = %3.1lf%" of an absorption area and its share of S.
void AddAbsorption(Rt60Figure& figure, int x, int row, int16_t colour, double area, double surface) {
  const double share = surface > 0 ? 100 * area / surface : 0;
  figure.texts.push_back({x, figure.baseline + row, colour, FormatText("%5.1lf Sa", area)});
  figure.texts.push_back({x, figure.baseline + row + 20, colour, FormatText("a = %3.1lf%%", share)});
}

// One projection's closure line: the sum of its absolute projected areas
// and the magnitude of their signed sum, when the projection is open.
void AddProjection(Rt60Figure& figure, int x, int& y, const char* plane, float absolute, float signedSum, bool feet) {
  if (!(absolute < kProjectionTolerance || std::fabs(signedSum) > kProjectionTolerance)) return;
  const double area = feet ? MetricToImperial(absolute, kUnitArea) : absolute;
  const double error = feet ? MetricToImperial(std::fabs(signedSum), kUnitArea) : std::fabs(signedSum);
  const char* unit = feet ? "ft\xB2" : "m\xB2";
  figure.texts.push_back(
      {x, y, kRt60FrameColour,
       FormatText("%s Area : %6.2f %s, %s Error : %6.2f %s ", plane, area, unit, plane, error, unit)});
  y += kProjectionSpacing;
}

}  // namespace

const char* Rt60Title(int32_t method) {
  switch (method) {
    case kRt60Eyring: return "RT60 >Eyring<";
    case kRt60Fitzroy: return "RT60 >Fitzroy<";
    case kRt60Measured: return "RT60 >Measurement<";
    default: return "RT60 >Sabine<";
  }
}

Rt60Figure LayoutRt60Graph(int32_t method, const Rt60Graph& graph, const RoomClosure& closure, int width, int height,
                           bool feet) {
  Rt60Figure figure;
  figure.left = kRt60MarginX;
  figure.right = width - kRt60MarginX;
  figure.top = kRt60GraphTop;
  figure.baseline = (height - kRt60GraphTop) / 2;
  figure.bandSpacing = (figure.right - figure.left) / (kBandCount - 1);
  figure.impossible = graph.impossible;
  const int left = figure.left, right = figure.right, top = figure.top, baseline = figure.baseline;
  const int centre = (left + right) / 2;

  figure.texts.push_back({centre - kTitleOffset, kTitleRow, kRt60FrameColour, Rt60Title(method)});
  figure.texts.push_back({left, kTitleRow, kRt60WithAirColour, "inc. air absorbtion"});
  figure.texts.push_back({right - kWithoutAirLabelOffset, kTitleRow, kRt60WithoutAirColour, "w/o air absorbtion"});

  // The frame, a vertical line per band and the band read-outs.
  figure.lines.push_back({left, top, right, top});
  figure.lines.push_back({left, baseline, right, baseline});
  figure.lines.push_back({right, top, right, baseline});
  const RoomResults& room = graph.withAir;
  double longest = 0;
  for (size_t b = 0; b < kBandCount; ++b) {
    const int x = left + int(b) * figure.bandSpacing;
    figure.bandX[b] = x;
    figure.lines.push_back({x, baseline, x, top});
    const int textX = x - kBandTextOffset;
    const double time = ShownTime(room.rt60[b]);
    figure.texts.push_back(
        {textX, baseline + kBandRows[0], kRt60FrameColour, FormatText("%d Hz", kBandCentreFrequencies[b])});
    figure.texts.push_back({textX, baseline + kBandRows[1], kRt60FrameColour, FormatText("%2.2lf s", time)});
    const bool measured = method == kRt60Measured;
    const double materials = measured ? room.absorption[b] - graph.airAreas[b] : room.absorption[b];
    const double total = measured ? room.absorption[b] : room.absorption[b] + graph.airAreas[b];
    AddAbsorption(figure, textX, kBandRows[2], kRt60WithoutAirColour, materials, room.surface);
    AddAbsorption(figure, textX, kBandRows[4], kRt60WithAirColour, total, room.surface);
    longest = std::max({longest, time, ShownTime(graph.withoutAir[b])});
  }

  // The scale: whole and half seconds.
  figure.scaleSeconds = std::max(1, int(std::ceil(longest)));
  figure.pixelsPerSecond = double(baseline - top) / figure.scaleSeconds;
  const double pps = figure.pixelsPerSecond;
  for (int i = 0; i <= figure.scaleSeconds; ++i) {
    const int y = int(std::lround(baseline - i * pps));
    figure.lines.push_back({left, y, right, y});
    if (i < figure.scaleSeconds) {
      const int half = int(std::lround(baseline - (i + 0.5) * pps));
      figure.lines.push_back({left, half, right, half, kRt60HalfSecondColour});
    }
    const int labelY = int(std::lround(baseline - kScaleLabelRise - i * pps));
    figure.texts.push_back({left - kScaleTextOffset, labelY, kRt60FrameColour, FormatText("%d s", i)});
  }

  // The curves, without air absorption first.
  figure.curves[0].pen = kRt60WithoutAirColour;
  figure.curves[1].pen = kRt60WithAirColour;
  for (size_t b = 0; b < kBandCount; ++b) {
    const double times[2] = {ShownTime(graph.withoutAir[b]), ShownTime(room.rt60[b])};
    for (size_t c = 0; c < 2; ++c)
      figure.curves[c].points[b] = {figure.bandX[b], int(std::lround(baseline - pps * times[c]))};
  }

  // The room: volume and area, and where it is open.
  const int roomX = centre - kRoomTextOffset;
  const double volume = feet ? MetricToImperial(room.volume, kUnitVolume) : room.volume;
  const double surface = feet ? MetricToImperial(room.surface, kUnitArea) : room.surface;
  figure.texts.push_back({roomX, baseline + kVolumeRow, kRt60FrameColour,
                          FormatText(feet ? "V total : %6.1lf cu.ft" : "V total : %6.1lf cbm", volume)});
  figure.texts.push_back({roomX, baseline + kSurfaceRow, kRt60FrameColour,
                          FormatText(feet ? "S total : %6.1lf ft\xB2" : "S total : %6.1lf m\xB2", surface)});
  if (closure.error > kRoomClosureTolerance * room.surface) {
    const double error = feet ? MetricToImperial(closure.error, kUnitArea) : closure.error;
    figure.texts.push_back(
        {roomX, baseline + kClosureRow, kRt60FrameColour,
         FormatText(feet ? "Total Area Error : %6.2f ft\xB2" : "Total Area Error : %6.2f m\xB2", error)});
    int y = baseline + kProjectionRow;
    AddProjection(figure, roomX, y, "XY", closure.absoluteSum[2], closure.signedSum[2], feet);
    AddProjection(figure, roomX, y, "YZ", closure.absoluteSum[0], closure.signedSum[0], feet);
    AddProjection(figure, roomX, y, "XZ", closure.absoluteSum[1], closure.signedSum[1], feet);
  }
  return figure;
}
