// What the result window shows of a level and time result, without the
// window: the quantity of each result mode per grid point, its colour scale
// over the palette's level scale, the 20-box legend with its labels and the
// texts beside it, the modes and bands a result offers, and the single points
// the user picks. The window (kdn's and kv's) draws what these give; the map
// file stores the single points.
//
// Invariants: a value that is not finite (a damaged result, a room term out
// of range) is no data: it gets no colour class, no label and no integer
// conversion. The scale's numbers are whole numbers within
// +-kResultRangeLimit, so every label and class is computed in range.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "design/acoustics/level_map.h"
#include "design/acoustics/receiver_engine.h"

// ---- The window's state ----

// The result modes; 2 is not used.
enum ResultMode : int16_t {
  kResultDirectLevel = 0,     // "Ld(Z)"
  kResultTotalLevel = 1,      // "Lt(Z)"
  kResultTime = 3,            // "Time", the first arrival
  kResultSti = 4,             // "STI"
  kResultStiExport = 5,       // "--> exp": STI, and the map written as CSV
  kResultDirectToReverb = 6,  // "Ld-Lr"
};

// The band selection: 0..6 one octave band, kAllBands all together.
constexpr int16_t kAllBands = 7;
constexpr int kBandButtonCount = 8;
// The scale step index: kAutoScaleStep or 0..2, one of the three fixed steps.
constexpr int16_t kAutoScaleStep = -1;
constexpr int kScaleStepButtonCount = 4;

// The mode buttons in their order, their modes and labels. A model without a
// room face or solid offers only the first kModesWithoutRoom.
constexpr int kModeButtonCount = 6;
constexpr int kModesWithoutRoom = 2;
inline constexpr std::array<int16_t, kModeButtonCount> kModeButtonModes = {
    kResultDirectLevel, kResultTime, kResultTotalLevel, kResultDirectToReverb, kResultSti, kResultStiExport};
inline constexpr std::array<const char*, kModeButtonCount> kModeButtonLabels = {"Ld(Z)", "Time", "Lt(Z)",
                                                                                "Ld-Lr", "STI",  "--> exp"};
inline constexpr std::array<const char*, kBandButtonCount> kBandButtonLabels = {"125", "250", "500", " 1k",
                                                                                " 2k", " 4k", " 8k", "\xF8"};

// What survives closing the window: mode, band and step.
struct ResultWindowState {
  int16_t mode = kResultDirectLevel;
  int16_t band = kAllBands;
  int16_t stepIndex = kAutoScaleStep;
};
extern ResultWindowState gResultWindow;
void ResetResultWindow();

// kModeButtonCount when the model holds a room face or solid (a room-layer
// object of kind bit 8 or 16), else kModesWithoutRoom.
int OfferedModeCount(const ObjectList& model);
// `mode` when one of the first `offered` buttons shows it, else
// kResultDirectLevel: a stored Lt falls back to Ld without a room.
int16_t OfferedMode(int16_t mode, int offered);
// Whether a band button acts (and shows its label): its loudspeaker count is
// not 0. Band kAllBands reads word 7, which counts any of 250 Hz to 4 kHz.
bool BandOffered(const BandSpeakerCounts& counts, int band);
// The labels of the four step buttons in `mode`: "Auto" and the fixed steps.
std::array<const char*, kScaleStepButtonCount> ScaleStepLabels(int16_t mode);

// ---- The quantity ----

// Whether the mode's values take the room's reverberant terms (Lt, STI,
// export, Ld-Lr), so the legend names the reverberation method.
bool ModeUsesRoom(int16_t mode);

// The value of a grid point in `mode` for `band` (0..6 or kAllBands): Ld in
// dB, Lt in dB, Time in ms, Ld-Lr in dB, STI and export as 100 x STI.
double ResultValue(int16_t mode, int band, const GridPoint& point, const ReverberantTerms& terms);
// The value a single point's read-out shows: ResultValue, STI as a fraction.
double SinglePointValue(int16_t mode, int band, const GridPoint& point, const ReverberantTerms& terms);

// The range of the quantity from the grid's band ranges: for one band the
// mode's value of its largest and smallest level (or its time range), for
// all bands the largest of the band maxima and the smallest of the band
// minima. A value that is not finite leaves the start values.
constexpr double kResultRangeLimit = 32000;
struct ResultRange {
  double maximum = -kResultRangeLimit;  // M
  double minimum = kResultRangeLimit;   // m
};
ResultRange ComputeResultRange(int16_t mode, int band, const BandRanges& ranges, const ReverberantTerms& terms);

// ---- The colour scale ----

// The palette's level scale: the class of a value is 63 - its steps below
// the top (above the bottom for Time), kept within 37..63.
constexpr int16_t kLevelScaleTop = 63;
constexpr int16_t kLevelScaleBottom = 37;
constexpr int16_t kNoDataColour = -1;
constexpr int kScaleClasses = 16;

struct ColourScale {
  int16_t mode = kResultDirectLevel;
  int maximum = 0, minimum = 0;  // M and m, whole numbers (STI: M on the step)
  int step = 1;                  // s
  int top = 0, bottom = 0;       // the scale: top - 15 s = bottom
};
// M and m rounded half away from zero (and within +-kResultRangeLimit);
// then by mode:
// - Ld, Lt, Ld-Lr: a fixed step of 1, 2 or 3 dB, or Auto: floor((M - m) /
//   16), at least 1, and for Ld and Lt a negative m becomes 0. Top M.
// - Time: 5, 10 or 30 ms, or Auto: ceil((M - m) / 16), at least 1. Bottom m.
// - STI and export: index 0, 1, 2 put M on a multiple of 2, 5, 10 below it
//   and step by that; Auto steps by 5 from M. Top M.
ColourScale MakeColourScale(int16_t mode, int16_t stepIndex, const ResultRange& range);
// The palette index of `value`, or kNoDataColour when it is not finite.
int16_t ScaleColour(const ColourScale& scale, double value);

// ---- The legend ----

constexpr int kLegendBoxCount = 20;
// Box i of the legend: brush 63 - i and its label, empty where none shows.
struct LegendBox {
  int16_t brush = kLevelScaleTop;
  std::string label;
};
// Labels: Ld, Lt, Ld-Lr "%3d" of top - i s while above m - s; Time "%3d" of
// m + i s while below M + s; STI and export (top - i s) / 100 as "%1.3f"
// without a leading "0" (".850", "1.000"), while above m - s.
std::array<LegendBox, kLegendBoxCount> LegendBoxes(const ColourScale& scale);
// The legend's title: "Ld[dB]", "Lt[dB]", "t0[ms]", "STI", "STIexp",
// "Ld-Lr[dB]".
const char* LegendTitle(int16_t mode);

// The texts under the legend boxes, in their order.
struct LegendNotes {
  // All bands: "125 Hz -" and "8000 Hz"; one band: the phase relations mode
  // ("Energy", "Octave" or "Freq.") and the band as "%4.0f Hz".
  std::vector<std::string> bandLines;
  // In the modes that use the room: "RT60" and the method's letter, "RT60(S)"
  // (Sabine for any method but 1..3), and the reverberation times "%2.1lf s"
  // used, one per band for all bands, else the band's; none in Ld and Time.
  std::string methodLine;
  std::vector<std::string> rt60Lines;
};
LegendNotes MakeLegendNotes(int16_t mode, int band, int16_t phaseMode, int32_t rt60Method, const BandValues& rt60);

// ---- The cells ----

// A point's position with z on its mapping face's plane (its own z when the
// face is missing or the plane gives no finite height).
ObjectVertex PointOnFace(const MappingFaceTable& faces, const GridPoint& point);
// The corners of the point's cell, (x -+ h, y -+ h) with h half the grid
// spacing, each with z on the face's plane, in drawing order.
std::array<ObjectVertex, 4> CellCorners(const MappingFaceTable& faces, const GridPoint& point, float half);

// ---- The single points ----

// A click picks the grid point nearest to it, when closer than this.
constexpr double kPickRadius = 10;  // pixels
struct PixelPosition {
  int x = 0, y = 0;
};
// The index of the position nearest (x, y) closer than kPickRadius (the
// first of equally near ones), or -1.
int NearestGridPoint(std::span<const PixelPosition> positions, int x, int y);
// Appends grid point `index`: 1, or -1 when the list already holds
// kMaxSinglePoints.
int AddSinglePoint(SinglePointList& list, uint16_t index);
// On opening: a list that belongs to another point count is emptied and
// takes the grid's count.
void MatchSinglePointsToGrid(SinglePointList& list, uint32_t pointCount);
// The list's indexes that name a point of a grid of `pointCount`.
std::vector<uint16_t> ShownSinglePoints(const SinglePointList& list, uint32_t pointCount);
