#include "design/acoustics/room_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/core/services.h"
#include "framework/model/face_geometry.h"

namespace {

// A line starts this far before the box on its axis and runs far past it.
constexpr double kRayLead = 1000.0;
constexpr float kRayLength = 1e10f;
// Of two coincident faces, the one facing against the line is crossed first.
constexpr float kFacingOffset = 0.001f;
// The progress is updated once per this many face tests.
constexpr uint32_t kFaceTestsPerUpdate = 0x20000;

// The sign of a face's normal on `axis` from its sign bits: 1, -1 or 0.
int NormalSign(const CalcFace& face, int axis) {
  const uint32_t bits = (face.normalSignBits >> (2 * axis)) & 3;
  return bits == 1 ? 1 : bits == 3 ? -1 : 0;
}

// Turns a face round: its polygon in the model and its table entry, whose
// sign fields swap 1 and 3.
void InvertCalcFace(CalcFace& face) {
  ReverseFacePolygon(*face.object, face.firstItem);
  uint32_t bits = 0;
  for (int axis = 0; axis < 3; ++axis) {
    const uint32_t sign = (face.normalSignBits >> (2 * axis)) & 3;
    bits |= (sign == 1 ? 3u : sign == 3 ? 1u : 0u) << (2 * axis);
  }
  face.normalSignBits = bits;
  face.normal = {-face.normal.x, -face.normal.y, -face.normal.z};
  face.planeConstant = -face.planeConstant;
}

int CompareMin(const CalcFace& a, const CalcFace& b, int axis) {
  return a.box.min[axis] < b.box.min[axis] ? -1 : a.box.min[axis] > b.box.min[axis] ? 1 : 0;
}

// One scan: the axis of its lines, the axes of the outer and inner loop, and
// the plane it looks at.
struct Scan {
  int axis, outer, inner;
  uint32_t errorFlag;
  const char* plane;
};
constexpr Scan kScans[3] = {
    {0, 2, 1, kRoomCheckErrorYZ, "YZ "}, {1, 2, 0, kRoomCheckErrorXZ, "XZ "}, {2, 0, 1, kRoomCheckErrorXY, "XY "}};
// The order in which the report names the planes.
constexpr int kReportOrder[3] = {2, 1, 0};

class RoomScanner {
 public:
  RoomScanner(CalcFaceTable& table, uint16_t& modifiedMark, const RoomCheckHooks& hooks, RoomCheckResult& result)
      : table_(table), modifiedMark_(modifiedMark), hooks_(hooks), result_(result), box_(ComputeScanBox(table)) {
    crossings_.reserve(table.faces.size());
    double n[3];
    for (int a = 0; a < 3; ++a) n[a] = (double(box_.max[a]) - box_.min[a]) / kScanStep;
    totalLines_ = std::trunc((n[0] - 1) * (n[1] - 1) + (n[1] - 1) * (n[2] - 1) + (n[0] - 1) * (n[2] - 1));
  }

  // False when cancelled.
  bool Run(const Scan& scan) {
    if (hooks_.beginScan) hooks_.beginScan(scan.axis);
    std::stable_sort(table_.faces.begin(), table_.faces.end(),
                     [&scan](const CalcFace& a, const CalcFace& b) { return CompareMin(a, b, scan.axis) < 0; });
    CalcRay ray;
    SetCoordinate(ray.origin, scan.axis, float(box_.min[scan.axis] - kRayLead));
    SetCoordinate(ray.direction, scan.axis, kRayLength);
    // The positions are computed from the line's number, not added up step
    // by step, so that the last lines of a large room lie on the grid too.
    for (int i = 0;; ++i) {
      const double outer = box_.min[scan.outer] + kScanStep / 2 + kScanStep * i;
      if (!(outer < box_.max[scan.outer])) break;
      SetCoordinate(ray.origin, scan.outer, float(outer));
      for (int j = 0;; ++j) {
        const double inner = box_.min[scan.inner] + kScanStep / 2 + kScanStep * j;
        if (!(inner < box_.max[scan.inner])) break;
        SetCoordinate(ray.origin, scan.inner, float(inner));
        if (!CollectScanCrossings(scan, ray)) return false;
        CheckLine(scan, ray);
      }
    }
    return true;
  }

 private:
  static void SetCoordinate(ObjectVertex& v, int axis, float value) {
    (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = value;
  }

  // The faces the line crosses, sorted by position; false when cancelled.
  bool CollectScanCrossings(const Scan& scan, CalcRay& ray) {
    ++linesDone_;
    crossings_.clear();
    const float fixedOuter = Coordinate(ray.origin, scan.outer), fixedInner = Coordinate(ray.origin, scan.inner);
    for (CalcFace& face : table_.faces) {
      if (++faceTests_ == kFaceTestsPerUpdate) {
        faceTests_ = 0;
        if (ReportScanProgress()) return false;
      }
      const int sign = NormalSign(face, scan.axis);
      if (sign == 0) continue;  // parallel to the line
      // A line exactly on the box's edge passes the face by.
      if (!(fixedOuter > face.box.min[scan.outer] && fixedOuter < face.box.max[scan.outer])) continue;
      if (!(fixedInner > face.box.min[scan.inner] && fixedInner < face.box.max[scan.inner])) continue;
      ray.face = &face;
      if (!IntersectRayPlane(ray)) continue;
      const ScanCrossing crossing{&face, Coordinate(ray.hitPoint, scan.axis) + kFacingOffset * float(sign)};
      const auto after =
          std::upper_bound(crossings_.begin(), crossings_.end(), crossing.position,
                           [](float position, const ScanCrossing& other) { return position < other.position; });
      crossings_.insert(after, crossing);
    }
    return true;
  }

  void CheckLine(const Scan& scan, const CalcRay& ray) {
    if (crossings_.empty()) return;
    ScanCounts& counts = result_.scans[size_t(scan.axis)];
    ++counts.lines;
    counts.crossings += int64_t(crossings_.size());
    result_.crossedArea += kScanLineArea;
    if (crossings_.size() % 2 == 1) {
      ObjectVertex point = ray.origin;
      SetCoordinate(point, scan.axis, crossings_.front().position);
      if (result_.errorPoints.size() < kMaxRoomCheckErrorPoints) result_.errorPoints.push_back(point);
      if (hooks_.marker) hooks_.marker(point);
      ++counts.oddLines;
      result_.errorArea += kScanLineArea;
      return;
    }
    // Along the line the faces must face along it, against it, along it ...
    int expected = 1;
    for (const ScanCrossing& crossing : crossings_) {
      if (expected * NormalSign(*crossing.face, scan.axis) < 0) {
        InvertCalcFace(*crossing.face);
        ++result_.inversions;
        modifiedMark_ = 1;
      }
      expected = -expected;
    }
  }

  // 1 when Cancel was pressed.
  int ReportScanProgress() {
    double percent = totalLines_ > 0 ? double(linesDone_) * 100 / totalLines_ : 100;
    if (percent > 100) percent = 100;
    char text[32];
    std::snprintf(text, sizeof text, "%1.2f %%", percent);
    return ReportProgress(int(percent), text);
  }

  CalcFaceTable& table_;
  uint16_t& modifiedMark_;
  const RoomCheckHooks& hooks_;
  RoomCheckResult& result_;
  const ScanBox box_;
  std::vector<ScanCrossing> crossings_;
  double totalLines_ = 0;
  int64_t linesDone_ = 0;
  uint32_t faceTests_ = 0;
};

void ComposeReport(RoomCheckResult& result) {
  char text[96];
  std::snprintf(text, sizeof text, "%ld", long(result.inversions));
  const std::string inverted = std::string(text) + "Faces auto-inverted ";
  bool anyScanEmpty = false;
  for (const ScanCounts& scan : result.scans) anyScanEmpty = anyScanEmpty || scan.crossings == 0;
  const double share = result.crossedArea > 0 ? 100 * result.errorArea / result.crossedArea + 1e-6 : 100;

  const uint32_t errors = result.flags & ~uint32_t(kRoomCheckInverted);
  result.reportCaption = kRoomCheckPassedCaption;
  if (result.flags == 0) {
    result.reportText = "No errors found";
  } else if (errors == 0) {
    result.reportText = inverted;
  } else if (!anyScanEmpty && share < kTolerableErrorShare) {
    std::snprintf(text, sizeof text, "Fehler = %1.3lf %%", share);
    result.reportText = text;
  } else {
    result.reportText = result.flags & kRoomCheckInverted ? inverted : "";
    for (int s : kReportOrder)
      if (errors & kScans[s].errorFlag) result.reportText += kScans[s].plane;
    result.reportText += "-Error";
    result.reportCaption = kMissingFacesCaption;
  }
}

}  // namespace

ScanBox ComputeScanBox(const CalcFaceTable& table) {
  ScanBox box;
  for (const CalcFace& face : table.faces) {
    for (int a = 0; a < 3; ++a) {
      box.min[a] = std::min(box.min[a], face.box.min[a]);
      box.max[a] = std::max(box.max[a], face.box.max[a]);
    }
  }
  return box;
}

int CompareMinX(const CalcFace& a, const CalcFace& b) { return CompareMin(a, b, 0); }
int CompareMinY(const CalcFace& a, const CalcFace& b) { return CompareMin(a, b, 1); }
int CompareMinZ(const CalcFace& a, const CalcFace& b) { return CompareMin(a, b, 2); }

RoomCheckResult CheckRoomBoundaries(const DesignTables& design, CalcFaceTable& table, uint16_t& modifiedMark,
                                    const RoomCheckHooks& hooks) {
  RoomCheckResult result;
  if (BuildCalcFaceTable(table, *design.model, *design.materials) < 2) {
    ShowMessage(kNoRoomBoundariesMessage, nullptr, kMsgOk);
    return result;
  }
  RoomScanner scanner(table, modifiedMark, hooks, result);
  BeginProgress(kRoomCheckTitle, "0 %", "Cancel");
  for (const Scan& scan : kScans) {
    if (!scanner.Run(scan)) {
      EndProgress();
      result.end = RoomCheckEnd::kCancelled;
      return result;
    }
  }
  EndProgress();

  for (const Scan& scan : kScans) {
    const ScanCounts& counts = result.scans[size_t(scan.axis)];
    if (counts.oddLines > 0 || counts.crossings == 0) result.flags |= scan.errorFlag;
  }
  if (result.inversions > 0) result.flags |= kRoomCheckInverted;
  ComposeReport(result);
  ShowMessage(result.reportText.c_str(), result.reportCaption.c_str(), kMsgOk);
  result.end = RoomCheckEnd::kReported;
  return result;
}
