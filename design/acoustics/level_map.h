// The level and time map: a grid of receiver points over the audience areas
// (layer 1), the receiver-point engine run at every point (on worker
// threads, each point stored in its own slot, so that the map is the one of
// a run on one thread) with the progress window and its Cancel, and the
// result that the result window shows, the map file stores and the project
// file carries. Beside it stand the
// reverberant terms that every per-point value (total level, direct to
// reverberant, STI) adds to a point's own energies.
//
// A result is replaced only by a run that reaches its end (or a map file
// read in full): a run that ends early leaves the last result as it was, a
// cancelled run leaves no result at all.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "design/acoustics/calc_workers.h"
#include "design/acoustics/receiver_engine.h"
#include "design/acoustics/reverberation.h"
#include "design/acoustics/speech_transmission.h"
#include "design/model/design_tables.h"
#include "design/model/project.h"

// ---- The audience faces ----

// A face whose |nz| (Newell sum) is below this stands upright and gets no
// grid points.
constexpr float kUprightFaceNz = 0.001f;
// Face indexes are 16-bit in the grid and the map file.
constexpr int kMaxMappingFaces = 32767;

// One usable audience face.
struct MappingFace {
  // The audience object, for the grid build only: a map file gives none, and
  // the object may be gone by the time a result is shown.
  const GraphicObject* object = nullptr;
  ObjectVertex normal;      // Newell sums: perpendicular, twice the area long
  float planeConstant = 0;  // n . v on the plane (v the vertex with the least x)
  float minX = 1.0e9f, maxX = -1.0e9f, minY = 1.0e9f, maxY = -1.0e9f;
  float maxZ = -1.0e9f;

  // z on the face's plane at (x, y).
  float PlaneZ(float x, float y) const { return ((planeConstant - normal.y * y) - normal.x * x) / normal.z; }
};

struct PlanExtent {
  float minX = 1.0e9f, maxX = -1.0e9f, minY = 1.0e9f, maxY = -1.0e9f;
};

// The audience faces sorted by max z (lowest first) and their plan extent.
struct MappingFaceTable {
  std::vector<MappingFace> faces;  // at most kMaxMappingFaces
  PlanExtent extent;
  int16_t Count() const { return int16_t(faces.size()); }
};

// Plan extent and max z of the vertices of one object, and the index of its
// first vertex with the least x (0 for an object without vertices).
struct FaceExtents {
  float minX = 1.0e9f, maxX = -1.0e9f, minY = 1.0e9f, maxY = -1.0e9f, maxZ = -1.0e9f;
  uint32_t leastXVertex = 0;
};
FaceExtents MappingFaceExtents(const GraphicObject& object);

// -1, 0 or 1 as a's max z is lower than, equal to or higher than b's.
int CompareMappingFaces(const MappingFace& a, const MappingFace& b);

// Rebuilds `table` from the audience objects of `model` in list order,
// leaving out the upright ones, sorted by CompareMappingFaces (equal heights
// keep list order). Returns the count.
int BuildMappingFaces(MappingFaceTable& table, const ObjectList& model);

// The plan area (m^2) of the audience faces: |nz| / 2 over the audience
// objects of kind 8 whose first item starts a polygon.
double AudiencePlanArea(const ObjectList& model);

// 1 when (x, y) lies inside the object's first polygon in plan, else 0. An
// edge counts when exactly one of its ends lies above y, so a row through a
// vertex is classified like its neighbours.
int PointInMappingFace(const GraphicObject& object, float x, float y);

// ---- The grid ----

constexpr uint32_t kMaxGridPoints = 64000;
constexpr int kGridSpacingCount = 8;
inline constexpr std::array<float, kGridSpacingCount> GridSpacingTable = {0.25f, 0.5f,  1.0f,  2.0f,
                                                                          5.0f,  10.0f, 25.0f, 50.0f};
constexpr int16_t kAutomaticGridSize = -1;
// Rows and columns keep this far inside a face's extent (m).
constexpr float kGridEdgeMargin = 0.01f;

// Level of a band where nothing arrived, and its time (ms).
constexpr float kSilentLevel = 1.0f;
constexpr float kNoArrivalMs = 10000.0f;

struct GridPoint {
  float x = 0, y = 0, z = 0;              // m
  std::array<float, kBandCount> level{};  // linear energy, at least kSilentLevel
  std::array<float, kBandCount> time{};   // first arrival, ms; kNoArrivalMs for none
  uint16_t face = 0;                      // index into the MappingFaceTable
};

// The ranges over the points, per band.
struct BandRanges {
  std::array<float, kBandCount> minLevel, maxLevel, minTime, maxTime;
  BandRanges() { Reset(); }
  // The start values: min level 1.0e20, max level 1.0, min time 10000 ms,
  // max time 0.
  void Reset();
};

struct MapGrid {
  BandRanges ranges;
  std::vector<GridPoint> points;  // at most kMaxGridPoints
  float spacing = 0;              // m
  uint32_t PointCount() const { return uint32_t(points.size()); }
  float HalfSpacing() const { return spacing / 2; }
};

// The spacing for an audience plan area: with a size index k >= 0 the first
// GridSpacingTable entry from k on that gives fewer than kMaxGridPoints
// points, and k becomes its index; none of them: "Insufficient memory for
// grid size. Please select larger grid" and 0. With kAutomaticGridSize:
// sqrt(area / kMaxGridPoints) / 0.95, which is 0 when there is no area.
float ChooseGridSpacing(double area, int16_t& sizeIndex);

// Builds the audience faces of `model` into `faces` and lays the grid over them into
// `grid`: per face in sorted order, rows from min y + s/2 and within a row
// columns from min x + s/2, both while inside the extent less
// kGridEdgeMargin, positions from the counters, z on the face's plane. Stops
// at kMaxGridPoints. 1 when a grid was laid (perhaps of no point); 0 without
// a usable audience face or spacing.
int BuildMapGrid(const ObjectList& model, MappingFaceTable& faces, int16_t& sizeIndex, MapGrid& grid);

// ---- Room terms ----

// Per band the acoustic power of the switched-on loudspeakers of the design
// (bit 0 of `on`), summed as energies: P = I_b 4 pi / (Q_b + 1e-6), with Q_b
// the type's directivity word / 10, taken as 1 below 0.1.
BandValues SumSpeakerAcousticPower(const DesignTables& design);

// Up to this volume (m^3) the reverberant energy is taken as 1.
constexpr double kSmallestRoom = 1.0;
// The reverberant energy per band for the power sums and the room: 1.0 when
// V is kSmallestRoom or less, else P_b 4 x 1.047 / (0.161 V / T_b).
BandValues ReverberantEnergy(const BandValues& power, const RoomResults& room);

// What every per-point value adds to the point's own energies.
struct ReverberantTerms {
  BandValues acousticPower{};
  RoomResults room;          // V and T_b of the project's method
  BandValues reverberant{};  // R_b
  StiRoom Sti() const { return {reverberant, room.rt60}; }
};

// The reverberation method of `settings` on the design's room, and the power
// sums. The result window computes them before every paint or export, so the
// terms follow the current model.
ReverberantTerms ComputeReverberantTerms(const DesignTables& design, const ReverbSettings& settings);

// ---- Per-point values ----
// x is a point's level (linear energy) of band b (0..6), `levels` all seven.

// Weights of the bands in the direct-to-reverberant value of all bands.
inline constexpr BandValues BandSpeechWeights = {0.01, 0.042, 0.129, 0.2, 0.312, 0.25, 0.057};

double TotalLevelBand(const ReverberantTerms& terms, int band, double x);      // 10 log10(x + R + 1e-12)
double TotalLevelAll(const ReverberantTerms& terms, PointLevels levels);       // 10 log10(sum (x + R) + 1e-12)
double DirectToReverbBand(const ReverberantTerms& terms, int band, double x);  // 10 log10(x / (R + 1))
double DirectToReverbAll(const ReverberantTerms& terms, PointLevels levels);   // weighted, + 1e-12
double DirectLevelAll(PointLevels levels);                                     // 10 log10(sum x + 0.001)
double EarliestTime(const std::array<float, kBandCount>& times);               // ms, from 1.0e6

// ---- The calculation ----

// The engine options of a run: the include-room bits and the phase mode; a
// mode outside 1..3 (a damaged project's) computes the default, Octave
// Bandwidth, so the result never holds a mode a map file cannot.
ReceiverOptions ReceiverOptionsOf(const CalcOptions& options);

// What a calculation leaves, and a map file holds.
struct MapResult {
  MappingFaceTable faces;
  MapGrid grid;
  BandSpeakerCounts counts;  // active loudspeakers per band of the run
  int16_t phaseMode = 2;
};

// The single points the result window marks, by grid index.
constexpr int32_t kMaxSinglePoints = 100;
struct SinglePointList {
  int32_t count = 0;
  std::array<uint16_t, kMaxSinglePoints> indices{};
  uint32_t pointCount = 0;  // the grid point count the list belongs to
};

struct LevelMapState {
  // 1 while a result is held: after a run reached its end or a map was read;
  // 0 after a cancelled run or a new project. A project saves its block then.
  int resultPresent = 0;
  MapResult result;
  SinglePointList singlePoints;
  // The description of the result: what a map file was saved or read with.
  std::string description;
};
extern LevelMapState gLevelMap;
void ResetLevelMap();
// No result: an empty grid and face table, the flag 0.
void ClearMapResult();

// The progress of a run: "Calculation Status :" with the percent done, at
// most once per 100 ms of tick count.
constexpr uint32_t kProgressInterval = 100;  // ms
struct MapProgress {
  uint32_t lastUpdate = 0;  // tick count
};
// Updates the progress window for point i of `count` when more than
// kProgressInterval ms passed since the last update: "%1.1f %" as its text.
// 1 when Cancel was pressed.
int ReportMapProgress(MapProgress& progress, uint32_t i, uint32_t count);

enum class LevelMapRun {
  kNoSpeakers,        // no loudspeaker object: ended silently
  kNoActiveSpeakers,  // "No speakers to process"
  kNoGrid,            // no usable audience face, or the grid too fine
  kCancelled,         // Cancel pressed: no result
  kDone,              // the new result is held
};

// Calculate/Level + Time with the options already chosen (the project's,
// after its dialog): the active loudspeakers, the grid, the calculation faces
// (without any, no shading and no reflections), then every point through the
// engine with the progress window, run as `execution` says: by default on a
// worker per core with the face index, each worker with a context of its
// own, the calling thread showing the progress and taking the Cancel; the
// result is the reference run's, bit for bit. `options.gridIndex` becomes
// the size index the grid used. The engine's tables (gReceiverEngine,
// gCalcFaceTable) keep what the run used, for the result window's single
// points. `beforeGrid` runs once the active loudspeakers are known and
// before the grid is laid (the program fits its view there).
LevelMapRun RunLevelTimeCalculation(CalcOptions& options, const DesignTables& design, CalcExecution execution = {},
                                    const std::function<void()>& beforeGrid = {});
