#include "design/acoustics/result_map.h"

#include <algorithm>
#include <cmath>

#include "framework/core/state_reset.h"
#include "framework/core/text_format.h"
#include "framework/model/layers.h"

ResultWindowState gResultWindow;

void ResetResultWindow() { gResultWindow = ResultWindowState{}; }

namespace {

const StateReset kReset(ResetResultWindow);

bool OneBand(int band) { return band >= 0 && band < kBandCount; }

double Db(double energy) { return 10 * std::log10(energy); }

// The mode's value of one band for a level x (or a time t, in Time).
double BandValue(int16_t mode, int band, double x, double t, const ReverberantTerms& terms) {
  switch (mode) {
    case kResultTotalLevel: return TotalLevelBand(terms, band, x);
    case kResultTime: return t;
    case kResultSti:
    case kResultStiExport: return StiBand(band, x, terms.Sti());
    case kResultDirectToReverb: return DirectToReverbBand(terms, band, x);
    default: return Db(x);
  }
}

bool StiMode(int16_t mode) { return mode == kResultSti || mode == kResultStiExport; }

// A finite value as a whole number, half away from zero, within the range
// limit.
int WholeNumber(double value) { return int(std::round(std::clamp(value, -kResultRangeLimit, kResultRangeLimit))); }

int FloorTo(int value, int step) { return int(std::floor(double(value) / step)) * step; }

// The STI label of a whole-number 100 x STI: "%1.3f" without its leading
// "0", so 0.85 reads ".850", 1 "1.000" and -0.05 "-0.050".
std::string StiLabel(int hundredths) {
  std::string text = FormatText("%1.3f", hundredths / 100.0);
  if (text.size() > 1 && text[0] == '0') text.erase(0, 1);
  return text;
}

}  // namespace

int OfferedModeCount(const ObjectList& model) {
  for (const GraphicObject* o = model.first; o; o = o->next)
    if (o->layer == kRoomLayer && (o->kind & kKindFaceOrSolid)) return kModeButtonCount;
  return kModesWithoutRoom;
}

int16_t OfferedMode(int16_t mode, int offered) {
  const int count = std::clamp(offered, 0, kModeButtonCount);
  const auto first = kModeButtonModes.begin();
  return std::find(first, first + count, mode) != first + count ? mode : int16_t(kResultDirectLevel);
}

bool BandOffered(const BandSpeakerCounts& counts, int band) {
  return band >= 0 && band < kBandButtonCount && counts.words[size_t(band)] != 0;
}

std::array<const char*, kScaleStepButtonCount> ScaleStepLabels(int16_t mode) {
  if (mode == kResultTime) return {"Auto", "5 ms", "10ms", "30ms"};
  if (StiMode(mode)) return {"Auto", ".02", ".05", ".1"};
  return {"Auto", "1 dB", "2 dB", "3 dB"};
}

bool ModeUsesRoom(int16_t mode) { return mode == kResultTotalLevel || StiMode(mode) || mode == kResultDirectToReverb; }

double ResultValue(int16_t mode, int band, const GridPoint& point, const ReverberantTerms& terms) {
  if (OneBand(band)) return BandValue(mode, band, point.level[size_t(band)], point.time[size_t(band)], terms);
  switch (mode) {
    case kResultTotalLevel: return TotalLevelAll(terms, point.level);
    case kResultTime: return EarliestTime(point.time);
    case kResultSti:
    case kResultStiExport: return StiAll(point.level, terms.Sti());
    case kResultDirectToReverb: return DirectToReverbAll(terms, point.level);
    default: return DirectLevelAll(point.level);
  }
}

double SinglePointValue(int16_t mode, int band, const GridPoint& point, const ReverberantTerms& terms) {
  const double value = ResultValue(mode, band, point, terms);
  return StiMode(mode) ? value * 0.01 : value;
}

ResultRange ComputeResultRange(int16_t mode, int band, const BandRanges& ranges, const ReverberantTerms& terms) {
  ResultRange range;
  for (int b = 0; b < kBandCount; ++b) {
    if (OneBand(band) && b != band) continue;
    const size_t i = size_t(b);
    const double top = BandValue(mode, b, ranges.maxLevel[i], ranges.maxTime[i], terms);
    const double bottom = BandValue(mode, b, ranges.minLevel[i], ranges.minTime[i], terms);
    if (std::isfinite(top)) range.maximum = OneBand(band) ? top : std::max(range.maximum, top);
    if (std::isfinite(bottom)) range.minimum = OneBand(band) ? bottom : std::min(range.minimum, bottom);
  }
  return range;
}

ColourScale MakeColourScale(int16_t mode, int16_t stepIndex, const ResultRange& range) {
  ColourScale scale;
  scale.mode = mode;
  scale.maximum = WholeNumber(range.maximum);
  scale.minimum = WholeNumber(range.minimum);
  const bool fixed = stepIndex >= 0 && stepIndex < kScaleStepButtonCount - 1;
  const int spread = scale.maximum - scale.minimum;
  if (mode == kResultTime) {
    static constexpr int kTimeSteps[] = {5, 10, 30};
    scale.step = fixed ? kTimeSteps[stepIndex] : std::max(1, int(std::ceil(spread / double(kScaleClasses))));
    scale.bottom = scale.minimum;
    scale.top = scale.bottom + (kScaleClasses - 1) * scale.step;
    return scale;
  }
  if (StiMode(mode)) {
    static constexpr int kStiSteps[] = {2, 5, 10};
    scale.step = fixed ? kStiSteps[stepIndex] : 5;
    if (fixed) scale.maximum = FloorTo(scale.maximum, scale.step);
  } else if (fixed) {
    scale.step = stepIndex + 1;
  } else {
    scale.step = std::max(1, int(std::floor(spread / double(kScaleClasses))));
    if (mode != kResultDirectToReverb) scale.minimum = std::max(scale.minimum, 0);
  }
  scale.top = scale.maximum;
  scale.bottom = scale.top - (kScaleClasses - 1) * scale.step;
  return scale;
}

int16_t ScaleColour(const ColourScale& scale, double value) {
  if (!std::isfinite(value)) return kNoDataColour;
  const double below = scale.mode == kResultTime ? value - scale.bottom : scale.top - value;
  const double colour = kLevelScaleTop - std::round(below / scale.step);
  return int16_t(std::clamp(colour, double(kLevelScaleBottom), double(kLevelScaleTop)));
}

std::array<LegendBox, kLegendBoxCount> LegendBoxes(const ColourScale& scale) {
  std::array<LegendBox, kLegendBoxCount> boxes;
  bool labelled = true;  // labels stop at the first that falls outside the range
  for (int i = 0; i < kLegendBoxCount; ++i) {
    LegendBox& box = boxes[size_t(i)];
    box.brush = int16_t(kLevelScaleTop - i);
    if (scale.mode == kResultTime) {
      const int value = scale.minimum + i * scale.step;
      labelled = labelled && value < scale.maximum + scale.step;
      if (labelled) box.label = FormatText("%3d", value);
      continue;
    }
    const int value = scale.top - i * scale.step;
    labelled = labelled && value > scale.minimum - scale.step;
    if (labelled) box.label = StiMode(scale.mode) ? StiLabel(value) : FormatText("%3d", value);
  }
  return boxes;
}

const char* LegendTitle(int16_t mode) {
  switch (mode) {
    case kResultTotalLevel: return "Lt[dB]";
    case kResultTime: return "t0[ms]";
    case kResultSti: return "STI";
    case kResultStiExport: return "STIexp";
    case kResultDirectToReverb: return "Ld-Lr[dB]";
    default: return "Ld[dB]";
  }
}

LegendNotes MakeLegendNotes(int16_t mode, int band, int16_t phaseMode, int32_t rt60Method, const BandValues& rt60) {
  LegendNotes notes;
  if (OneBand(band)) {
    notes.bandLines.push_back(phaseMode == 1 ? "Energy" : phaseMode == 3 ? "Freq." : "Octave");
    notes.bandLines.push_back(FormatText("%4.0f Hz", double(kBandCentreFrequencies[size_t(band)])));
  } else {
    notes.bandLines = {"125 Hz -", "8000 Hz"};
  }
  if (!ModeUsesRoom(mode)) return notes;
  static constexpr const char* kMethodLetters[] = {"(S)", "(E)", "(F)", "(M)"};
  const bool known = rt60Method >= kRt60Sabine && rt60Method <= kRt60Measured;
  notes.methodLine = std::string("RT60") + kMethodLetters[known ? rt60Method : kRt60Sabine];
  for (int b = 0; b < kBandCount; ++b) {
    if (OneBand(band) && b != band) continue;
    // The times are at most kMaxRt60; a damaged one shows as that cap.
    const double time = rt60[size_t(b)];
    notes.rt60Lines.push_back(FormatText("%2.1lf s", std::isfinite(time) ? std::clamp(time, 0.0, kMaxRt60) : kMaxRt60));
  }
  return notes;
}

ObjectVertex PointOnFace(const MappingFaceTable& faces, const GridPoint& point) {
  ObjectVertex at{point.x, point.y, point.z};
  if (point.face < faces.faces.size()) {
    const float z = faces.faces[point.face].PlaneZ(point.x, point.y);
    if (std::isfinite(z)) at.z = z;
  }
  return at;
}

std::array<ObjectVertex, 4> CellCorners(const MappingFaceTable& faces, const GridPoint& point, float half) {
  static constexpr float kSigns[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  std::array<ObjectVertex, 4> corners;
  for (size_t i = 0; i < corners.size(); ++i) {
    GridPoint corner = point;
    corner.x = point.x + kSigns[i][0] * half;
    corner.y = point.y + kSigns[i][1] * half;
    corners[i] = PointOnFace(faces, corner);
  }
  return corners;
}

int NearestGridPoint(std::span<const PixelPosition> positions, int x, int y) {
  double best = 1000;
  int nearest = -1;
  for (size_t i = 0; i < positions.size(); ++i) {
    const double distance = std::hypot(double(positions[i].x) - x, double(positions[i].y) - y);
    if (distance < kPickRadius && distance < best) {
      best = distance;
      nearest = int(i);
    }
  }
  return nearest;
}

int AddSinglePoint(SinglePointList& list, uint16_t index) {
  if (list.count < 0) list.count = 0;
  if (list.count >= kMaxSinglePoints) return -1;
  list.indices[size_t(list.count++)] = index;
  return 1;
}

void MatchSinglePointsToGrid(SinglePointList& list, uint32_t pointCount) {
  if (list.pointCount != pointCount) list = SinglePointList{.pointCount = pointCount};
}

std::vector<uint16_t> ShownSinglePoints(const SinglePointList& list, uint32_t pointCount) {
  std::vector<uint16_t> shown;
  for (int32_t i = 0; i < std::clamp(list.count, 0, kMaxSinglePoints); ++i)
    if (list.indices[size_t(i)] < pointCount) shown.push_back(list.indices[size_t(i)]);
  return shown;
}
