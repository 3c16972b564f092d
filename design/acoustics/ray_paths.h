// The reflection paths a search finds, from the record the search writes to
// the RayPath objects the reflection windows show and a ray file stores:
// the path record and its byte form, the RayPath object with its data
// block, and the linking that gives each path its loudspeaker, arrival time
// and band levels and estimates the room's figures from them.
//
// Path record, as stored (little-endian, no padding), 14 + 14 (n + 2) bytes:
//   +0  i16 n, the number of reflections (0 .. kMaxPathReflections)
//   +2  f32 x, y, z of the target point
//   +14 n + 2 nodes of 14 bytes: u16 tag, f32 x, y, z
// Node 0 is the source (tag kSourceTag), nodes 1 to n the reflection points
// (tag: the index of the reflecting face in the calculation faces sorted by
// SortCalcFaces), node n + 1 the target (tag kTargetTag).
//
// RayPath object: kind kKindLine on kRayPathLayer, colour max(25 - (n + 2),
// 0), n + 2 vertices (the nodes), n + 2 items (start at vertex 0, line to
// each further vertex, no close item), and a data block of 62 + 2 (n + 2)
// bytes, the same in memory and in ray files:
//   +0  f32 arrival time, ms, the loudspeaker's delay included
//   +4  7 x f32 band levels, linear energy, at least 1.0
//   +32 28 bytes zero
//   +60 u16 n
//   +62 (n + 2) x u16 node tags: first the ActiveSpeaker index of the source
//       once linked (kSourceTag before), then the face indexes, last
//       kTargetTag
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/face_index.h"
#include "design/acoustics/receiver_engine.h"
#include "design/model/design_tables.h"

// ---- The path record ----

constexpr uint16_t kSourceTag = 65534;
constexpr uint16_t kTargetTag = 65535;
// Room for the head and this many nodes; the deepest search stores 42.
constexpr int kMaxPathNodes = 50;
constexpr int kMaxPathReflections = kMaxPathNodes - 2;
constexpr size_t kPathRecordHeadSize = 14;
constexpr size_t kPathNodeSize = 14;

struct PathNode {
  uint16_t tag = 0;
  ObjectVertex point;
};

struct PathRecord {
  int16_t reflections = 0;
  ObjectVertex target;
  std::array<PathNode, kMaxPathNodes> nodes{};
  int NodeCount() const { return reflections + 2; }
};

// 14 + 14 (n + 2).
constexpr size_t PathRecordSize(int reflections) {
  return kPathRecordHeadSize + kPathNodeSize * size_t(reflections + 2);
}

// Appends the stored form of `record` (its n + 2 nodes) to `bytes`. The
// record's reflections must lie in 0 .. kMaxPathReflections.
void AppendPathRecord(std::vector<uint8_t>& bytes, const PathRecord& record);
// Writes the stored form of `record` at `at`, PathRecordSize of its
// reflections long.
void StorePathRecord(uint8_t* at, const PathRecord& record);
// Reads the record at `offset` of `bytes` into `record` and moves `offset`
// behind it. False, leaving both alone, when fewer than 14 bytes are left,
// when n lies outside 0 .. kMaxPathReflections, or when the nodes do not lie
// wholly inside `bytes`.
bool ReadPathRecord(std::span<const uint8_t> bytes, size_t& offset, PathRecord& record);

// ---- RayPath objects ----

constexpr size_t kRayPathTime = 0;
constexpr size_t kRayPathLevels = 4;
constexpr size_t kRayPathReflections = 60;
constexpr size_t kRayPathTags = 62;
constexpr uint32_t kRayPathKind = kKindLine;

// 62 + 2 (n + 2).
constexpr size_t RayPathDataSize(int reflections) { return kRayPathTags + 2 * size_t(reflections + 2); }

// A new unlinked RayPath object of `record`, time and levels 0; null when
// memory runs out (no message).
GraphicObject* CreateRayPath(const PathRecord& record);
// Whether `object` lies on the ray-path layer.
bool IsRayPath(const GraphicObject* object);
// The number of reflections of a RayPath whose data block, vertices and
// items agree with its stored n; -1 for any other object (a damaged one from
// a file).
int RayPathReflectionCount(const GraphicObject* object);

// Fields of the data block; the object must be a RayPath that
// RayPathReflectionCount accepts, and `node` lie in 0 .. n + 1.
float RayPathTime(const GraphicObject* path);
void SetRayPathTime(GraphicObject* path, float ms);
float RayPathLevel(const GraphicObject* path, int band);
void SetRayPathLevel(GraphicObject* path, int band, float level);
uint16_t RayPathTag(const GraphicObject* path, int node);
void SetRayPathTag(GraphicObject* path, int node, uint16_t tag);

// Turns the stored records in `records` into RayPath objects, each inserted
// in front of the first object of `model` (so the last record read ends up
// first), with the wait cursor. Reading stops at the first record
// ReadPathRecord refuses; "Insufficient Memory" ends it when an object
// cannot be made. Returns the number of objects made.
uint32_t LoadPathObjects(ObjectList& model, std::span<const uint8_t> records);

// ---- Linking ----

// The tables a search and its linking work on: the calculation faces sorted
// by SortCalcFaces, so that the tags of the paths name faces, their index,
// and the active loudspeakers, whose indexes the linked paths carry.
struct RaySearchTables {
  CalcFaceTable faces;
  FaceIndex index;
  ActiveSpeakerTable speakers;
};
// Rebuilds them from `design`. Returns the number of active loudspeakers.
int PrepareRaySearchTables(RaySearchTables& tables, const DesignTables& design);

// A path's source lies within this distance of its loudspeaker, squared (m^2).
constexpr double kSourceMatch2 = 0.01;
// What FindSourceSpeaker finds besides an ActiveSpeaker index.
constexpr int kNoSourceSpeaker = -1;        // no loudspeaker there: the path is unassigned
constexpr int kInactiveSourceSpeaker = -2;  // only one that is off or plays no band

// The source of a path that starts at `point`: the index of the active
// loudspeaker nearest to it within kSourceMatch2; else kInactiveSourceSpeaker
// when a loudspeaker of `model` that takes no part (switched off, or no band
// played) lies that near; else kNoSourceSpeaker.
int FindSourceSpeaker(const ObjectList& model, const ActiveSpeakerTable& speakers, ObjectVertex point);

// The loudspeaker's balloon factor per band towards `point`: the balloon
// lookup of the receiver engine, with the polar position
// |atan2(sqrt(y^2 + z^2), x + 1e-6)| in 5-degree steps and, from step 35 on,
// the second row 35 at half weight. A band the loudspeaker does not play
// gets 1.0.
std::array<double, kBandCount> PathDirectivity(const ActiveSpeaker& speaker, ObjectVertex point);

// The arrivals of a search in time bins (impulse_response.h).
constexpr size_t kImpulseBins = 1024;
using ImpulseHistogram = std::array<float, kImpulseBins>;
// The figures of the last search: the linking computes the room's, the
// impulse response of the reflection windows the arrivals and levels; index
// 7 of a band group stands for all bands.
struct RayResults {
  std::array<float, 8> meanAbsorption{};
  float meanFreePath = 0;                    // m
  float reflectionRate = 0;                  // c / mean free path, 1/s
  std::array<float, 8> reverberationTime{};  // s
  float earliestArrival = 0;                 // ms
  float latestArrival = 0;                   // ms
  float highestLevel = 0;                    // dB, the largest band level of all paths
  std::array<float, 8> firstArrival{};       // ms, the earliest within 60 dB of the highest level
  std::array<float, 8> directLevel{};        // dB, the strongest within 5 ms of the first arrival
  std::array<float, 8> earlyLevel{};         // Ld, dB
  std::array<float, 8> reverberantLevel{};   // Lr, dB
  float binWidth = 0;                        // ms, of the histograms
  // Per band (and 7: their mean) the summed linear levels arriving in each
  // bin of binWidth from the earliest arrival on; the last bin takes all
  // later ones.
  std::array<ImpulseHistogram, 8> histograms{};
};

// A mean free path estimate must exceed this (m); else it is taken as it.
constexpr double kLeastMeanFreePath = 0.1;
// Mean absorption is held within these bounds.
constexpr double kLeastMeanAbsorption = 0.01;
constexpr double kMostMeanAbsorption = 0.999;

// What a linking left.
struct LinkOutcome {
  int32_t paths = 0;       // RayPath objects kept
  int32_t unassigned = 0;  // deleted for want of a loudspeaker or of a face
};

// Links every RayPath of the design's model (in list order, with the wait
// cursor) after rebuilding `tables` from `design`:
// - a path whose source FindSourceSpeaker does not find, or whose face tags
//   do not all name a face, is unassigned and deleted; one whose
//   loudspeaker takes no part is deleted without counting;
// - otherwise tag 0 := the ActiveSpeaker index; with L the path's length,
//   time := delay + 1000 L / 343.0 ms; per band the level
//   |B_b I_b A_b^L / L^2 x product of (1 - alpha_b) over its faces|, at
//   least 1.0 (B the directivity, I the on-axis intensity, A the air
//   transmission; L^2 no less than the engine's near field);
// then fills `results` afresh: the mean free path (`meanFreePathEstimate`,
// or 0.1 with "Can\xB4t calculate mean free path" when it is 0.1 or less,
// which leaves the absorption and reverberation figures 0), the reflection
// rate, the mean absorption of the reflections per band (within 0.01 ..
// 0.999) and the reverberation time 6 ln 10 / -ln(1 - a) x mfp x A_b^mfp /
// 343. Shows "%d paths left unassigned" when paths are kept and some were
// not, "No valid paths found, operation cancelled" when none is kept.
LinkOutcome LinkPathsToSpeakers(RaySearchTables& tables, const DesignTables& design, double meanFreePathEstimate,
                                RayResults& results);

// The status text the shell shows while linking.
inline constexpr char kLinkingStatusText[] = "Linking faces and speakers...";
// "Sorting <count> paths by time", the status text while sorting.
std::string SortingStatusText(int32_t count);

// Orders the RayPath objects of `model` by arrival time, paths of equal time
// in their list order, and puts them in front of the other objects, with the
// wait cursor.
void SortPathsByTime(ObjectList& model);
