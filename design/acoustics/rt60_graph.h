// The RT60 window's figure as data: the graph of the reverberation times with
// and without air absorption over the seven bands, its scale, the read-outs
// under each band, the volume and area lines in metres or feet, and the
// closure read-outs that show where an open room leaks. The window draws the
// figure as it stands (texts, lines, curves with their markers), so kdn and
// kv show the same and the numbers are tested without a window.
//
// Layout in pixels of the window (width w, height h): the graph runs from
// x = 48 to w - 48 and from y = 32 down to the baseline (h - 32) / 2; band b
// stands at 48 + b (w - 96) / 6. The scale has n = ceil(longest time) whole
// seconds (at least 1, at most kMaxRt60), so its loop is bounded; a time that
// is not finite or beyond the cap is shown as kMaxRt60.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "design/acoustics/reverberation.h"

// The figure's palette indexes: the curve with air absorption, the one
// without, and black for the frame and the scale.
constexpr int16_t kRt60WithAirColour = 19;
constexpr int16_t kRt60WithoutAirColour = 22;
constexpr int16_t kRt60FrameColour = 0;
constexpr int16_t kRt60HalfSecondColour = 5;

constexpr int kRt60MarginX = 48, kRt60GraphTop = 32;
constexpr int kRt60MarkerSize = 4;  // the filled square on each curve point
// The "Total Area Error" read-outs appear when the closure error exceeds this
// share of the total area.
constexpr double kRoomClosureTolerance = 0.005;

struct Rt60Text {
  int x = 0, y = 0;
  int16_t colour = kRt60FrameColour;
  std::string text;  // code page 1252
};
struct Rt60Line {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int16_t pen = kRt60FrameColour;
};
struct Rt60Point {
  int x = 0, y = 0;
};
struct Rt60Curve {
  int16_t pen = kRt60FrameColour;
  std::array<Rt60Point, kBandCount> points;  // band 0 to 6; each marked by a filled square
};

struct Rt60Figure {
  int left = 0, right = 0, top = 0, baseline = 0;
  int bandSpacing = 0;  // (right - left) / 6
  std::array<int, kBandCount> bandX{};
  int scaleSeconds = 1;        // n
  double pixelsPerSecond = 0;  // (baseline - top) / n
  std::vector<Rt60Line> lines;
  std::array<Rt60Curve, 2> curves;  // without air (drawn first), with air
  std::vector<Rt60Text> texts;
  // Measured times that air absorption alone would make longer: after the
  // paint the window says "Impossible input values" / "Please correct".
  bool impossible = false;
};

// The title of the method: "RT60 >Sabine<", "RT60 >Eyring<", "RT60
// >Fitzroy<" or "RT60 >Measurement<" (Sabine for any other value).
const char* Rt60Title(int32_t method);

// The figure for the method `method` of `graph` in a window of `width` by
// `height`, with `closure` for the read-outs below, volume and areas in feet
// when `feet`:
// - title at ((left + right) / 2 - 56, 8); "inc. air absorbtion" at (left,
//   8) in colour 19, "w/o air absorbtion" at (right - 136, 8) in colour 22;
// - per band, 24 left of x_b, below the baseline: at +20 "%d Hz", at +40 T_b
//   "%2.2lf s", at +60 and +80 (colour 22) and +100 and +120 (colour 19) the
//   absorption "%5.1lf Sa" and its share of S "a = %3.1lf%": for the formula
//   methods A_b (22) and A_b + D_b (19), for measured times A_b - D_b (22)
//   and A_b (19);
// - the scale lines every second and half second, "%d s" at (left - 36,
//   baseline - 8 - i pps);
// - below, from (left + right) / 2 - 88: "V total : %6.1lf cbm" (or cu.ft),
//   "S total : %6.1lf m²" (or ft²), and when the closure error exceeds
//   kRoomClosureTolerance S the "Total Area Error" line and the lines of the
//   projections whose absolute sum is below 0.01 or whose signed sum exceeds
//   0.01 in magnitude, 18 pixels apart.
Rt60Figure LayoutRt60Graph(int32_t method, const Rt60Graph& graph, const RoomClosure& closure, int width, int height,
                           bool feet);
