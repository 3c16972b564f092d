// The room boundary check: whether the room's faces form a closed shell
// whose normals all point into the room, as the calculations need.
//
// The room is scanned by a grid of straight lines along each axis in turn
// (x, then y, then z), 0.1 m apart. A line that enters a closed shell leaves
// it again, so it crosses an even number of faces, and along it the faces
// must alternate between facing along the line (entering the room) and
// against it (leaving). A line of an odd count marks a gap: the model point
// of its first crossing is a marker. On a line of an even count a face that
// breaks the alternation faces the wrong way and is turned round in the
// model at once (its table entry with it), so later lines see it corrected.
//
// The check works on the calculation face table it builds from the design,
// shows its progress ("Scan Mode :", with Cancel) and its report through the
// core services, and hands each marker to the caller as it is found; the
// caller draws it and turns the view to look along each scan. A cancelled
// check shows no report and keeps the inversions made so far.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "design/acoustics/calc_faces.h"
#include "design/model/design_tables.h"

// The grid of scan lines: 0.1 m apart on every axis, each line standing for
// 0.1 x 0.1 m of cross-section.
constexpr double kScanStep = 0.1;
constexpr double kScanLineArea = 0.01;
// Of the markers found, this many are kept for drawing again afterwards.
constexpr size_t kMaxRoomCheckErrorPoints = 5460;
// Gaps below this share of the crossed cross-section (percent) count as a
// tolerable error of a closed room.
constexpr double kTolerableErrorShare = 0.5;

inline constexpr char kNoRoomBoundariesMessage[] = "No room boundaries to process";
inline constexpr char kRoomCheckTitle[] = "Scan Mode :";
inline constexpr char kRoomCheckPassedCaption[] = "Rock \xB4n\xB4 Roll !";
inline constexpr char kMissingFacesCaption[] = "Missing faces !";

// The result flags: a scan with an odd line or no crossing at all, named by
// the plane the scan looks at, and any face inverted.
enum RoomCheckFlags : uint32_t {
  kRoomCheckErrorYZ = 1,  // the scan along x
  kRoomCheckErrorXZ = 2,  // the scan along y
  kRoomCheckErrorXY = 4,  // the scan along z
  kRoomCheckInverted = 8,
};

// The bounds of all faces of the table (from +1e10 / -1e10 when empty).
struct ScanBox {
  float min[3] = {1e10f, 1e10f, 1e10f};
  float max[3] = {-1e10f, -1e10f, -1e10f};
};
ScanBox ComputeScanBox(const CalcFaceTable& table);

// Ascending order of the face boxes' minimum on one axis: -1, 0 or 1.
int CompareMinX(const CalcFace& a, const CalcFace& b);
int CompareMinY(const CalcFace& a, const CalcFace& b);
int CompareMinZ(const CalcFace& a, const CalcFace& b);

// A face crossed by a scan line, at `position` along the scan axis.
struct ScanCrossing {
  CalcFace* face = nullptr;
  float position = 0;
};

// What the caller does on screen while the check runs.
struct RoomCheckHooks {
  // Before each scan, with its axis (0 x, 1 y, 2 z): the view turns to look
  // along it.
  std::function<void(int axis)> beginScan;
  // Each gap's marker as it is found (also those past the kept ones).
  std::function<void(const ObjectVertex& point)> marker;
};

enum class RoomCheckEnd {
  kReported,     // all three scans ran and the report was shown
  kTooFewFaces,  // fewer than two faces: "No room boundaries to process"
  kCancelled,    // Cancel in the progress window: no report
};

struct ScanCounts {
  int64_t lines = 0;      // lines that crossed at least one face
  int64_t crossings = 0;  // face crossings of those lines
  int64_t oddLines = 0;   // lines of an odd count: gaps
};

struct RoomCheckResult {
  RoomCheckEnd end = RoomCheckEnd::kTooFewFaces;
  std::array<ScanCounts, 3> scans;  // along x, y, z
  int32_t inversions = 0;
  double crossedArea = 0;                 // m^2 of cross-section whose lines crossed a face
  double errorArea = 0;                   // m^2 of cross-section whose lines had an odd count
  std::vector<ObjectVertex> errorPoints;  // the first kMaxRoomCheckErrorPoints markers
  uint32_t flags = 0;                     // RoomCheckFlags, once all scans ran
  // The report as shown; an empty caption stands for none.
  std::string reportText;
  std::string reportCaption;
};

// The check of the faces and solids of the design's room layer, built into
// `table` (left sorted by minimum z). Every inversion reverses the face's
// polygon in the model and sets `modifiedMark` to 1 at once, so it stays
// set when the check is cancelled. The report names a scan's plane ("XY ",
// "XZ ", "YZ ") under "Missing faces !" when that scan met no face at all or
// the lines with gaps make kTolerableErrorShare or more of the crossed
// cross-section; smaller gaps are reported as "Fehler = x.xxx %".
RoomCheckResult CheckRoomBoundaries(const DesignTables& design, CalcFaceTable& table, uint16_t& modifiedMark,
                                    const RoomCheckHooks& hooks = {});
