// The cluster balloon of a group of loudspeakers (Loudspeakers > Array >
// Calculate Cluster Balloons): what the group radiates together, as the
// directivity balloon of one loudspeaker type that a speaker database can
// hold, written as a one-record database (brand "LS ARRAY", type "CLUSTER")
// whose shape is the group's symbols.
//
// The receiver engine computes, in free field and with the phase relations
// of the octave bandwidth, a sphere of 100 m radius about the group's centre
// (the mean of the loudspeakers' positions): 35 rings of 72 points at polar
// angles of 5 .. 175 degrees from the +x axis, the column angle turning about
// the x axis from +y towards +z, then the points on the axis (+x) and behind
// it (-x): 2522 points. Per band, each point's level (10000 x the band
// result, at least 1) less the air's loss over 100 m, against the loudest
// point, becomes a balloon code: row 0 the axis point, rows 1 .. 35 the
// rings, row 36 the point behind. The type's rated power per band is the sum
// of the group's band powers (switched on or not), its sensitivity the
// loudest level less 10 log10 of that power (at least 1 W), its Q x 10 the
// balloon's directivity factor and its efficiency (percent x 10) follows
// from the two. The loudspeakers that play are the switched-on ones with an
// intensity of at least 1.0 in a band.
//
// The file: the V140 header with the count 1, the sealed record with the
// chain length at +196, then per loudspeaker of the group in list order its
// symbol as a shape object: the vertices without the two reference points,
// relative to the centre, the items that name them, the selected state
// cleared and no data block. The loudspeaker objects are not changed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "design/model/speaker_type.h"
#include "framework/model/face_geometry.h"
#include "framework/model/graphic_object.h"

inline constexpr char kClusterPrompt[] = "Build CLUSTER > ";
inline constexpr char kClusterDescriptionTitle[] = "Cluster Description :";
constexpr size_t kClusterDescriptionLength = 40;  // what the comment keeps
inline constexpr char kClusterBrand[] = "LS ARRAY";
inline constexpr char kClusterTypeName[] = "CLUSTER";
inline constexpr char kClusterProgressTitle[] = "Calculation Status :";

constexpr double kClusterRadius = 100.0;  // m
constexpr int kClusterRings = kBalloonRows - 2;
constexpr uint32_t kClusterRingPoints = uint32_t(kClusterRings) * kBalloonColumns;  // 2520
constexpr uint32_t kClusterAxisPoint = kClusterRingPoints;                          // +x
constexpr uint32_t kClusterRearPoint = kClusterRingPoints + 1;                      // -x
constexpr uint32_t kClusterPointCount = kClusterRingPoints + 2;                     // 2522
// The progress rises by one percent every this many points.
constexpr uint32_t kClusterProgressStep = 26;

// The receiver points about `centre`: ring i column j at i x 72 + j, then the
// axis point and the rear point.
std::vector<Vec3d> ClusterSpherePoints(Vec3d centre);

struct ClusterBalloon {
  SpeakerTypePtr record;  // the computed type, open; its comment is the writer's
  Vec3d centre;
  std::vector<const GraphicObject*> loudspeakers;  // of the selection, in list order
};

enum class ClusterRun {
  kDone,
  kNoLoudspeakers,  // the selection holds none: nothing to compute or write
  kCancelled,       // Cancel in the progress window
  kNoMemory,        // the record could not be had (the message was shown)
};

// Computes the balloon of the loudspeakers among `selected` (in list order)
// with their types from `types`, showing the progress ("Calculation Status
// :", "%1.1f %", Cancel). Only kDone leaves a record.
ClusterRun ComputeClusterBalloon(std::span<const GraphicObject* const> selected, const SpeakerTypeTable& types,
                                 ClusterBalloon& cluster);

// Writes the computed cluster with `description` (its first 40 characters)
// as its comment into a one-record database at `path`, through a file
// beside it that replaces it only when whole. 1 when written; 0 after
// "Couldn´t write data to disk !", the old file left as it was.
int WriteClusterDatabase(const ClusterBalloon& cluster, std::string_view description, const std::string& path);
