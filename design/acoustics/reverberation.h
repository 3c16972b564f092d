// Reverberation time of the room per octave band after Sabine, Eyring and
// Fitzroy or from measured values, with and without air absorption, and the
// room results (volume, absorption areas, reverberation times of the
// project's method) that the level map, its result window, the STI and the
// RT60 window share.
//
// Everything is recomputed from the current model on demand: the room faces
// and solids of layer 0 and the project's materials. The project's method and
// measured times are passed in (ReverbSettings), so the caller maps them from
// wherever the project keeps them.
#pragma once

#include <array>
#include <cstdint>

#include "design/model/absorber_database.h"
#include "design/model/design_tables.h"
#include "design/model/project.h"
#include "design/model/speaker_type.h"

static_assert(kBandCount == kAbsorberBandCount);  // 125 Hz .. 8 kHz
using BandValues = std::array<double, kBandCount>;
// The bands' centre frequencies in Hz, for the labels.
inline constexpr std::array<int, kBandCount> kBandCentreFrequencies = {125, 250, 500, 1000, 2000, 4000, 8000};

// Rt60Method: the project's reverberation method; any other value computes
// Sabine.
enum Rt60Method : int32_t { kRt60Sabine = 0, kRt60Eyring = 1, kRt60Fitzroy = 2, kRt60Measured = 3 };

// Air absorption coefficient m per band, per metre.
inline constexpr BandValues AirAbsorptionTable = {0.0, 3e-05, 0.0001, 0.0005, 0.002, 0.009, 0.035};
inline constexpr BandValues kNoAirAbsorption = {};

// Sabine's constant: T = 0.161 V / A (seconds, m^3, m^2).
constexpr double kSabineConstant = 0.161;

// Below this volume (m^3) the room counts as not closed: the formula methods
// give reverberation times of 0.
constexpr double kMinRoomVolume = 0.1;
// The longest reverberation time any method gives (seconds): a band with
// (almost) no absorption gets this instead of an infinite or absurd time.
constexpr double kMaxRt60 = 100.0;

// The project's choice of method and its measured times in seconds.
struct ReverbSettings {
  int32_t method = kRt60Sabine;
  BandValues measured{};
};

// Sums over the room's faces: volume by the divergence theorem (positive for
// a closed room whose face normals point inwards), total face area, and per
// band the absorption area of the materials. Per axis (x, y, z) the summed
// projected areas and absorption areas, for Fitzroy.
struct RoomSums {
  double volume = 0;
  double surface = 0;
  BandValues absorption{};
  std::array<double, 3> axisSurface{};
  std::array<BandValues, 3> axisAbsorption{};
};

// Walks the faces and solids (kind bit 8 or 16) of the design's room layer.
// A face without a material item, or one naming no material of the design,
// counts as material 0; coefficients are taken clamped to 0..1.
RoomSums SumRoomFaces(const DesignTables& design);

// The room results of one method run.
struct RoomResults {
  double volume = 0;        // V, m^3
  double surface = 0;       // S, m^2
  BandValues absorption{};  // A_b, m^2: of the materials; for measured times the area they imply
  BandValues rt60{};        // T_b, seconds, 0 .. kMaxRt60
};

// The formula methods with air absorption coefficients `air` (per metre;
// kNoAirAbsorption gives the times without air absorption). All give 0 when
// the volume is below kMinRoomVolume.
RoomResults CalcRt60Sabine(const RoomSums& sums, const BandValues& air);
RoomResults CalcRt60Eyring(const RoomSums& sums, const BandValues& air);
// Sabine per axis, weighted by each axis's share of the projected areas.
RoomResults CalcRt60Fitzroy(const RoomSums& sums, const BandValues& air);
// The measured times (their magnitudes, at most kMaxRt60) and the absorption
// areas they imply, at most S; a time of 0.1 s or less implies A_b = S.
RoomResults CalcRt60Measured(const RoomSums& sums, const BandValues& measured);

// The method of `settings` on `sums`; `air` applies to the formula methods.
RoomResults CalcRt60(const ReverbSettings& settings, const RoomSums& sums, const BandValues& air);
// The room results of the design's room by `settings`, with air absorption.
RoomResults ComputeRoomResults(const ReverbSettings& settings, const DesignTables& design);
// The method and measured times the project holds.
ReverbSettings ProjectReverbSettings(const ProjectState& project);

// D_b = 4 m_b V: the air's share of the absorption area in each band, for
// the coefficients `air` (per metre).
BandValues AirAbsorptionAreas(double volume, const BandValues& air);

// What the RT60 window shows for the method of `settings`.
struct Rt60Graph {
  RoomResults withAir;      // T_b, A_b, V, S
  BandValues withoutAir{};  // T'_b
  BandValues airAreas{};    // D_b
  // Measured times that air absorption alone explains (or a volume below
  // kMinRoomVolume): the window says "Impossible input values". Such bands
  // have T'_b = 0.
  bool impossible = false;
};
Rt60Graph ComputeRt60Graph(const ReverbSettings& settings, const DesignTables& design);

// How far the room's faces are from enclosing a volume: the summed halved
// Newell vectors are zero for a closed room.
struct RoomClosure {
  float error = 0;                     // length of the summed area vectors
  std::array<float, 3> absoluteSum{};  // per axis, the sum of |component|
  std::array<float, 3> signedSum{};    // per axis, the signed sum
};
RoomClosure MeasureRoomClosure(const ObjectList& model);
