#include "design/acoustics/reverberation.h"

#include <algorithm>
#include <cmath>

#include "design/acoustics/calc_faces.h"
#include "design/model/materials.h"
#include "design/model/project.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"

namespace {

// Visits every polygon of the room's faces and solids with its halved
// Newell vector (its area vector).
template <typename Visit>
void ForEachRoomFace(const ObjectList& model, Visit&& visit) {
  for (const GraphicObject* o = model.first; o; o = o->next) {
    if (o->layer != kRoomLayer || !(o->kind & kKindFaceOrSolid)) continue;
    for (uint32_t i = 0; i < o->itemCount; ++i)
      if (o->items[i].op == kOpStart) visit(*o, i, ComputeFaceAreaVector(*o, i) * 0.5);
  }
}

// 0.161 V / area, and kMaxRt60 wherever that would be longer: an area of
// (nearly) zero, a negative one or a NaN.
double ReverberationTime(double volume, double area) {
  const double numerator = kSabineConstant * volume;
  return area > numerator / kMaxRt60 ? numerator / area : kMaxRt60;
}

bool RoomIsOpen(const RoomSums& sums) { return !(sums.volume >= kMinRoomVolume); }

RoomResults ResultsOf(const RoomSums& sums) {
  RoomResults results;
  results.volume = sums.volume;
  results.surface = sums.surface;
  results.absorption = sums.absorption;
  return results;
}

// A formula method's results: times of 0 for a room that is not closed,
// else time(b, D_b) per band.
template <typename BandTime>
RoomResults FormulaResults(const RoomSums& sums, const BandValues& air, BandTime&& time) {
  RoomResults results = ResultsOf(sums);
  if (RoomIsOpen(sums)) return results;
  const BandValues airAreas = AirAbsorptionAreas(sums.volume, air);
  for (size_t b = 0; b < kBandCount; ++b) results.rt60[b] = time(b, airAreas[b]);
  return results;
}

}  // namespace

RoomSums SumRoomFaces(const DesignTables& design) {
  RoomSums sums;
  const MaterialTable& materials = *design.materials;
  ForEachRoomFace(*design.model, [&](const GraphicObject& object, uint32_t first, Vec3d area) {
    const uint16_t start = object.items[first].index;
    if (start < object.vertexCount) sums.volume -= Dot(ToVec3d(object.vertices[start]), area) / 3;
    const double size = std::sqrt(Dot(area, area));
    sums.surface += size;
    const AbsorberRecord& material = materials.records[size_t(FaceMaterialIndex(object, first, materials))];
    for (int axis = 0; axis < 3; ++axis) sums.axisSurface[size_t(axis)] += std::fabs(area[axis]);
    for (int b = 0; b < kBandCount; ++b) {
      const double alpha = ClampedAbsorption(material, b);
      sums.absorption[size_t(b)] += alpha * size;
      for (int axis = 0; axis < 3; ++axis)
        sums.axisAbsorption[size_t(axis)][size_t(b)] += alpha * std::fabs(area[axis]);
    }
  });
  return sums;
}

BandValues AirAbsorptionAreas(double volume, const BandValues& air) {
  BandValues areas;
  for (size_t b = 0; b < kBandCount; ++b) areas[b] = 4 * air[b] * volume;
  return areas;
}

RoomResults CalcRt60Sabine(const RoomSums& sums, const BandValues& air) {
  return FormulaResults(sums, air, [&sums](size_t b, double airArea) {
    return ReverberationTime(sums.volume, sums.absorption[b] + airArea);
  });
}

RoomResults CalcRt60Eyring(const RoomSums& sums, const BandValues& air) {
  return FormulaResults(sums, air, [&sums](size_t b, double airArea) {
    // The offset keeps the logarithm finite when every face absorbs fully.
    const double eyring = -std::log(1.000000000001 - sums.absorption[b] / sums.surface) * sums.surface;
    return ReverberationTime(sums.volume, eyring + airArea);
  });
}

RoomResults CalcRt60Fitzroy(const RoomSums& sums, const BandValues& air) {
  return FormulaResults(sums, air, [&sums](size_t b, double airArea) {
    double time = 0;
    for (size_t axis = 0; axis < 3; ++axis) {
      const double alpha = sums.axisAbsorption[axis][b] / (sums.axisSurface[axis] + 1e-12) + 1e-12;
      const double share = sums.axisSurface[axis] / sums.surface;
      time += share * ReverberationTime(sums.volume, sums.surface * alpha + airArea);
    }
    // The shares add up to more than 1 for tilted faces.
    return std::min(time, kMaxRt60);
  });
}

RoomResults CalcRt60Measured(const RoomSums& sums, const BandValues& measured) {
  RoomResults results = ResultsOf(sums);
  for (size_t b = 0; b < kBandCount; ++b) {
    double time = std::fabs(measured[b]);
    time = std::isnan(time) ? 0 : std::min(time, kMaxRt60);
    results.rt60[b] = time;
    results.absorption[b] = time <= 0.1 ? sums.surface : std::min(kSabineConstant * sums.volume / time, sums.surface);
  }
  return results;
}

RoomResults CalcRt60(const ReverbSettings& settings, const RoomSums& sums, const BandValues& air) {
  switch (settings.method) {
    case kRt60Eyring: return CalcRt60Eyring(sums, air);
    case kRt60Fitzroy: return CalcRt60Fitzroy(sums, air);
    case kRt60Measured: return CalcRt60Measured(sums, settings.measured);
    default: return CalcRt60Sabine(sums, air);
  }
}

ReverbSettings ProjectReverbSettings(const ProjectState& project) {
  ReverbSettings settings;
  settings.method = project.reverbMethod;
  std::copy(project.measuredRt.begin(), project.measuredRt.end(), settings.measured.begin());
  return settings;
}

RoomResults ComputeRoomResults(const ReverbSettings& settings, const DesignTables& design) {
  return CalcRt60(settings, SumRoomFaces(design), AirAbsorptionTable);
}

Rt60Graph ComputeRt60Graph(const ReverbSettings& settings, const DesignTables& design) {
  const RoomSums sums = SumRoomFaces(design);
  Rt60Graph graph;
  graph.withAir = CalcRt60(settings, sums, AirAbsorptionTable);
  graph.airAreas = AirAbsorptionAreas(sums.volume, AirAbsorptionTable);
  if (settings.method != kRt60Measured) {
    graph.withoutAir = CalcRt60(settings, sums, kNoAirAbsorption).rt60;
    return graph;
  }
  // A measured time includes the air's absorption: without it the room
  // absorbs A_b - D_b, and the time is only possible while that is positive.
  for (size_t b = 0; b < kBandCount; ++b) {
    const double materials = graph.withAir.absorption[b] - graph.airAreas[b];
    if (!RoomIsOpen(sums) && materials > 0) graph.withoutAir[b] = ReverberationTime(sums.volume, materials);
    else graph.impossible = true;
  }
  return graph;
}

RoomClosure MeasureRoomClosure(const ObjectList& model) {
  Vec3d sum;
  std::array<double, 3> absoluteSum{};
  ForEachRoomFace(model, [&](const GraphicObject&, uint32_t, Vec3d area) {
    sum = sum + area;
    for (int axis = 0; axis < 3; ++axis) absoluteSum[size_t(axis)] += std::fabs(area[axis]);
  });
  RoomClosure closure;
  closure.error = float(std::sqrt(Dot(sum, sum)));
  for (int axis = 0; axis < 3; ++axis) {
    closure.absoluteSum[size_t(axis)] = float(absoluteSum[size_t(axis)]);
    closure.signedSum[size_t(axis)] = float(sum[axis]);
  }
  return closure;
}
