#include "design/acoustics/reflection_search.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <mutex>
#include <span>

#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/core/text_lines.h"

// ---- The direction set ----

namespace {

constexpr double kPi = 3.141592654;

RayDirectionTables BuildRayDirections() {
  RayDirectionTables tables;
  for (int i = 0; i < kDirectionSteps; ++i) {
    const double angle = 2 * kPi * i / kDirectionSteps;
    tables.sines[size_t(i)] = float(std::sin(angle));
    tables.cosines[size_t(i)] = float(std::cos(angle));
  }
  tables.steps[0] = tables.steps[kDirectionRows] = kDirectionSteps;
  for (int i = 1; i < kDirectionRows; ++i) {
    const double step = kDirectionSteps / (kDirectionSteps * double(tables.sines[size_t(i)]));
    tables.steps[size_t(i)] = uint16_t(std::max(int(step), 1));
  }
  return tables;
}

}  // namespace

const RayDirectionTables& RayDirections() {
  static const RayDirectionTables tables = BuildRayDirections();
  return tables;
}

Vec3d RayDirection(int i, int j) {
  const RayDirectionTables& t = RayDirections();
  const double sine = t.sines[size_t(i)];
  return Vec3d{t.cosines[size_t(i)], sine * t.cosines[size_t(j)], sine * t.sines[size_t(j)]} * kRayLength;
}

int CountRayDirections(int rowStep, int columnFactor) {
  int count = 0;
  ForEachRayDirection(rowStep, columnFactor, [&count](Vec3d) { ++count; });
  return count;
}

// ---- Orders ----

RaySearchOrders SplitSearchOrders(int faceCount, int maxOrder) {
  RaySearchOrders orders;
  if (maxOrder <= 1) return orders;
  orders.maxOrder = orders.imageOrder = orders.lowestTracedOrder = maxOrder;
  for (int k = 3; k <= maxOrder; ++k) {
    if (std::pow(double(faceCount - 1), k) > kImageSequenceLimit) {
      orders.lowestTracedOrder = k;
      orders.imageOrder = k - 1;
      break;
    }
  }
  return orders;
}

int ParseMaxOrder(std::string_view text) {
  double order = 0;
  ReadTypedNumber(text, order);
  return int(std::clamp(order, 1.0, double(kMaxSearchOrder)));
}

int PointSearchOrder(int faceCount, int speakerCount) {
  const double quotient = 10.0 / std::log(double(faceCount) * speakerCount);
  if (!(quotient > 1.0)) return 1;
  return int(std::min(quotient, 3.0));
}

// ---- Progress ----

SearchMonitor::SearchMonitor(double totalWork, int speakers, SearchReport report)
    : totalWork_(totalWork), work_(size_t(std::max(speakers, 0))), report_(report) {}

void SearchMonitor::Record(int speaker, double work) {
  work_[size_t(speaker)].fetch_add(work, std::memory_order_relaxed);
}

bool SearchMonitor::Checkpoint(int speaker, double work) {
  Record(speaker, work);
  if (reportAtCheckpoints_) ReportSearchProgress();
  return Cancelled();
}

double SearchMonitor::Percent() const {
  double work = 0;
  for (const std::atomic<double>& slot : work_) work += slot.load(std::memory_order_relaxed);
  const double percent = totalWork_ > 0 ? work * 100.0 / totalWork_ : 100.0;
  return std::min(percent, 100.0);
}

int SearchMonitor::ReportSearchProgress() {
  const double percent = Percent();
  char text[32];
  std::snprintf(text, sizeof text, "%1.2f %%", percent);
  if (report_(int(percent), text)) cancelled_.store(true, std::memory_order_relaxed);
  return Cancelled() ? 1 : 0;
}

// ---- The search of one loudspeaker ----

namespace {

// The faces of a record's reflection points, in order.
std::u16string FaceSequence(const PathRecord& record) {
  std::u16string sequence(size_t(record.reflections), u'\0');
  for (int k = 1; k <= record.reflections; ++k) sequence[size_t(k - 1)] = char16_t(record.nodes[size_t(k)].tag);
  return sequence;
}

}  // namespace

void TracedPaths::Keep(const PathRecord& record, double miss2) {
  const auto [slot, added] = bySequence.emplace(FaceSequence(record), uint32_t(kept.size()));
  if (added) {
    kept.push_back({records.size(), miss2});
    AppendPathRecord(records, record);
  } else if (Kept& path = kept[slot->second]; miss2 < path.miss2) {
    path.miss2 = miss2;
    StorePathRecord(records.data() + path.offset, record);
  }
}

void TracedPaths::Add(const TracedPaths& later) {
  PathRecord record;
  for (const Kept& path : later.kept) {
    size_t offset = path.offset;
    ReadPathRecord(later.records, offset, record);
    Keep(record, path.miss2);
  }
}

namespace {

// A window's polygon lies this far outside the points its face accepts: a
// fixed amount and a share of the largest coordinate, well above the
// rounding of a reflection point to single precision.
constexpr double kWindowMargin = 1.0e-4;  // m
constexpr double kWindowRelativeMargin = 1.0e-5;

struct Point2 {
  double u, v;
};
double Cross2(Point2 o, Point2 a, Point2 b) { return (a.u - o.u) * (b.v - o.v) - (a.v - o.v) * (b.u - o.u); }

// The convex hull of `points`, counter-clockwise, without collinear points.
std::vector<Point2> ConvexHull(std::vector<Point2> points) {
  std::sort(points.begin(), points.end(), [](Point2 a, Point2 b) { return a.u < b.u || (a.u == b.u && a.v < b.v); });
  if (points.size() < 3) return {};
  std::vector<Point2> hull(2 * points.size());
  size_t k = 0;
  for (size_t pass = 0; pass < 2; ++pass) {
    const size_t start = k;
    for (size_t n = 0; n < points.size(); ++n) {
      const Point2 p = pass == 0 ? points[n] : points[points.size() - 1 - n];
      while (k >= start + 2 && !(Cross2(hull[k - 2], hull[k - 1], p) > 0)) --k;
      hull[k++] = p;
    }
    --k;  // the last point starts the other chain
  }
  hull.resize(k);
  return hull;
}

// The window of `face`: the hull of its vertices in the projection its
// point-in-face test uses (its box there when the hull has too many
// corners), each edge moved out by the window margin, lifted onto the plane.
FaceWindow WindowOf(const CalcFace& face) {
  const int w = int(face.dominantAxis), u = w == 0 ? 1 : 0, v = w == 2 ? 1 : 2;
  std::vector<Point2> points;
  WalkFaceVertices(*face.object, face.firstItem, [&](const ObjectVertex& p) {
    points.push_back({Coordinate(p, u), Coordinate(p, v)});
  });
  FaceWindow window;
  const bool finite =
      std::all_of(points.begin(), points.end(), [](Point2 p) { return std::isfinite(p.u) && std::isfinite(p.v); });
  if (!finite) return window;
  std::vector<Point2> hull = ConvexHull(points);
  if (hull.size() < 3) return window;
  if (hull.size() > size_t(kMaxWindowCorners)) {
    const float *low = face.box.min, *high = face.box.max;
    hull = {{low[u], low[v]}, {high[u], low[v]}, {high[u], high[v]}, {low[u], high[v]}};
  }
  double largest = 0;
  for (int a = 0; a < 3; ++a)
    largest = std::max({largest, double(std::fabs(face.box.min[a])), double(std::fabs(face.box.max[a]))});
  const double margin = kWindowMargin + kWindowRelativeMargin * largest;
  const size_t n = hull.size();
  std::vector<Point2> outward(n);  // of edge i, from corner i to i + 1
  for (size_t i = 0; i < n; ++i) {
    const Point2 a = hull[i], b = hull[(i + 1) % n];
    const double length = std::hypot(b.u - a.u, b.v - a.v);
    outward[i] = {(b.v - a.v) / length, (a.u - b.u) / length};
  }
  const Vec3d normal = ToVec3d(face.normal);
  const double offset = Dot(normal, ToVec3d(face.planePoint));
  for (size_t i = 0; i < n; ++i) {
    const Point2 e0 = outward[(i + n - 1) % n], e1 = outward[i];
    const double scale = margin / (1 + e0.u * e1.u + e0.v * e1.v);
    const Point2 p = {hull[i].u + scale * (e0.u + e1.u), hull[i].v + scale * (e0.v + e1.v)};
    double corner[3];
    corner[u] = p.u;
    corner[v] = p.v;
    corner[w] = (offset - normal[u] * p.u - normal[v] * p.v) / normal[w];
    window.corners[size_t(i)] = {corner[0], corner[1], corner[2]};
    window.centre = window.centre + window.corners[size_t(i)] * (1.0 / double(n));
  }
  window.count = int(n);
  return window;
}

}  // namespace

void PreparePathSearch(PathSearch& search, const CalcFaceTable& faces, Vec3d target, const FaceIndex* index) {
  search.faces = &faces;
  search.index = index;
  search.target = target;
  auto planes = std::make_shared<std::vector<SearchPlane>>(faces.faces.size());
  for (size_t f = 0; f < faces.faces.size(); ++f) {
    const CalcFace& face = faces.faces[f];
    SearchPlane& plane = (*planes)[f];
    plane.normal = ToVec3d(face.normal);
    plane.offset = Dot(plane.normal, ToVec3d(face.planePoint));
    plane.halfLength2 = face.halfNormalLength2;
    plane.targetSide = plane.Side(target);
  }
  search.planes = std::move(planes);
  search.bounds = nullptr;
  if (!index) return;
  auto bounds = std::make_shared<std::vector<SearchFaceBounds>>(faces.faces.size());
  for (size_t f = 0; f < faces.faces.size(); ++f) {
    SearchFaceBounds& face = (*bounds)[f];
    face.window = WindowOf(faces.faces[f]);
    face.reachKnown = index->ReachOf(uint32_t(f), face.reach);
  }
  search.bounds = std::move(bounds);
}

namespace {

// p mirrored in the plane, for `side` = plane.Side(p).
Vec3d Mirror(const SearchPlane& plane, Vec3d p, double side) { return p - plane.normal * (side / plane.halfLength2); }

// Whether the segment from a to b, which lie at sa and sb from the face's
// plane, crosses the plane strictly between its ends at a point inside the
// face; the point is left in ray.hitPoint. (Such a segment also meets the
// face's box, so no box test needs to come first.)
bool CrossesInside(CalcRay& ray, const CalcFace& face, Vec3d a, double sa, Vec3d b, double sb) {
  if (!((sa < 0 && sb > 0) || (sa > 0 && sb < 0))) return false;
  ray.hitPoint = ToVertex(a + (b - a) * (sa / (sa - sb)));
  ray.face = &face;
  return PointInCalcFace(ray) == 1;
}

// The work done and skipped since the search last told its monitor.
double UnpublishedWork(PathSearch& search) {
  const double work = search.workDone + search.workSkipped;
  const double unpublished = work - search.workPublished;
  search.workPublished = work;
  return unpublished;
}

// Counts `tests` face tests; at every report point publishes the work and
// learns whether the search was cancelled. True when it was.
bool CountFaceTests(PathSearch& search, uint32_t tests) {
  search.testsSinceReport += tests;
  if (search.testsSinceReport < kReportInterval) return false;
  search.testsSinceReport = 0;
  if (search.monitor && search.monitor->Checkpoint(search.speaker, UnpublishedWork(search))) search.cancelled = true;
  return search.cancelled;
}
bool CountFaceTest(PathSearch& search) { return CountFaceTests(search, 1); }

// Whether `crosses(face)` holds for a face on the segment from `origin` to
// origin + direction: every face tried in table order, or those the index
// names.
template <typename Crosses>
bool AnyFaceOnSegment(const PathSearch& search, Vec3d origin, Vec3d direction, Crosses&& crosses) {
  if (!search.index) {
    for (uint32_t f = 0; f < uint32_t(search.faces->faces.size()); ++f)
      if (crosses(f)) return true;
    return false;
  }
  double limit = 1;
  return !search.index->VisitAlongLine(origin, direction, limit, [&](uint32_t f) { return !crosses(f); });
}

void StorePath(PathSearch& search, int reflections) {
  search.record.reflections = int16_t(reflections);
  AppendPathRecord(search.paths, search.record);
  ++search.pathCount;
}

// Sets the depth of the image sources and the work a face left out at each
// depth stands for: faces^(depth - d).
void SetImageDepth(PathSearch& search, int depth) {
  search.maxDepth = depth;
  const double faces = search.faces->Count();
  for (int d = 0; d <= depth && d < kMaxPathNodes; ++d) search.skippedWork[size_t(d)] = std::pow(faces, depth - d);
}

constexpr double kNearestNone2 = 1.0e10;  // m^2: no face and no target ahead
// More than a hit point's distance from a ray's origin may be off by the
// rounding of the point and the origin to single precision: a fixed
// amount and a share of their size.
constexpr double kHitRounding = 1.0e-3;  // m
constexpr double kHitRelativeRounding = 1.0e-6;
constexpr double kShortestDirection2 = 0.001;
constexpr int kEstimateDepth = 7;

}  // namespace

void StartPathRecord(PathSearch& search, Vec3d source) {
  PathRecord& record = search.record;
  record.reflections = 0;
  record.target = ToVertex(search.target);
  record.nodes[0] = {kSourceTag, ToVertex(source)};
  record.nodes[1] = {kTargetTag, ToVertex(search.target)};
  search.images[0] = source;
}

namespace {

// ValidateImagePath without storing the path: true when it validates.
bool CompleteImagePath(PathSearch& search, int depth) {
  const std::vector<CalcFace>& faces = search.faces->faces;
  std::array<PathNode, kMaxPathNodes>& nodes = search.record.nodes;
  CalcRay ray;
  for (int k = depth - 1; k >= 1; --k) {
    const uint16_t f = nodes[size_t(k)].tag;
    const SearchPlane& plane = search.Plane(f);
    const Vec3d image = search.images[size_t(k)];
    const Vec3d next = ToVec3d(nodes[size_t(k + 1)].point);
    if (!CrossesInside(ray, faces[f], image, plane.Side(image), next, plane.Side(next))) return false;
    nodes[size_t(k)].point = ray.hitPoint;
  }
  nodes[size_t(depth + 1)] = {kTargetTag, ToVertex(search.target)};

  for (int k = 0; k <= depth; ++k) {
    const Vec3d a = ToVec3d(nodes[size_t(k)].point), b = ToVec3d(nodes[size_t(k + 1)].point);
    const SegmentBox box = BoundSegment(a, b);
    const uint16_t startTag = nodes[size_t(k)].tag, endTag = nodes[size_t(k + 1)].tag;
    const bool blocked = AnyFaceOnSegment(search, a, b - a, [&](uint32_t f) {
      if (f == startTag || f == endTag || !SegmentOverlapsFace(box, faces[f].box)) return false;
      const SearchPlane& plane = search.Plane(f);
      return CrossesInside(ray, faces[f], a, plane.Side(a), b, plane.Side(b));
    });
    if (blocked) return false;
  }
  return true;
}

}  // namespace

int ValidateImagePath(PathSearch& search, int depth) {
  if (!CompleteImagePath(search, depth)) return 0;
  StorePath(search, depth);
  return 1;
}

namespace {

// The image `image` mirrored in face f, which it lies in front of by `side`,
// as image and node `depth`; returns it.
Vec3d EnterImage(PathSearch& search, uint32_t f, int depth, Vec3d image, double side) {
  // The mirror image lies as far behind the plane as the image in front.
  const Vec3d mirrored = Mirror(search.Plane(f), image, side);
  search.images[size_t(depth)] = mirrored;
  search.record.nodes[size_t(depth)].tag = uint16_t(f);
  return mirrored;
}

// The same, and the reflection point validated when the segment from the
// mirror image to the target crosses the face inside it.
void ReflectImage(PathSearch& search, uint32_t f, int depth, Vec3d image, double side) {
  const Vec3d mirrored = EnterImage(search, f, depth, image, side);
  const SearchPlane& plane = search.Plane(f);
  CalcRay ray;
  if (CrossesInside(ray, search.faces->faces[f], mirrored, -side, search.target, plane.targetSide)) {
    search.record.nodes[size_t(depth)].point = ray.hitPoint;
    ValidateImagePath(search, depth);
  }
}

// Puts the exact image path of the face sequence of `traced` into
// search.record, as the image sources would find it: true when it
// validates.
bool FindExactImagePath(PathSearch& search, const PathRecord& traced) {
  const int n = traced.reflections;
  search.record.reflections = int16_t(n);
  search.record.target = traced.target;
  search.record.nodes[0] = traced.nodes[0];
  search.images[0] = ToVec3d(traced.nodes[0].point);
  if (n == 0) return CompleteImagePath(search, 0);
  double side = 0;
  for (int k = 1; k <= n; ++k) {
    const uint16_t f = traced.nodes[size_t(k)].tag;
    side = search.Plane(f).Side(search.images[size_t(k - 1)]);
    if (!(side > 0)) return false;
    EnterImage(search, f, k, search.images[size_t(k - 1)], side);
  }
  const uint16_t last = traced.nodes[size_t(n)].tag;
  CalcRay ray;
  if (!CrossesInside(ray, search.faces->faces[last], search.images[size_t(n)], -side, search.target,
                     search.Plane(last).targetSide))
    return false;
  search.record.nodes[size_t(n)].point = ray.hitPoint;
  return CompleteImagePath(search, n);
}

// Appends the paths of `traced` to the stored records.
void StoreTracedPaths(const TracedPaths& traced, std::vector<uint8_t>& paths, uint32_t& pathCount) {
  paths.insert(paths.end(), traced.records.begin(), traced.records.end());
  pathCount += uint32_t(traced.kept.size());
}

Vec3d Cross(Vec3d a, Vec3d b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// A beam's planes pass through an image this far, as a share of its size,
// from the side a window lies on; closer, its window adds none.
constexpr double kLeastWindowHeight = 1.0e-6;

// Builds the beam of image `level` (the image of the face of node `level`):
// the planes through the image and the edges of that face's window, then as
// many of the beam of image level - 1, mirrored in the face, as it has room
// for.
void BuildBeam(PathSearch& search, int level) {
  Beam& beam = search.beams[size_t(level)];
  beam.count = 0;
  const uint16_t f = search.record.nodes[size_t(level)].tag;
  const FaceWindow& window = (*search.bounds)[f].window;
  const SearchPlane& plane = search.Plane(f);
  const Vec3d apex = search.images[size_t(level)];
  const double normalLength = std::sqrt(Dot(plane.normal, plane.normal));
  const Vec3d unit = plane.normal * (1 / normalLength);
  const double size = 1 + std::max({std::fabs(apex.x), std::fabs(apex.y), std::fabs(apex.z)});
  if (window.count >= 3 && -plane.Side(apex) / normalLength > kLeastWindowHeight * size) {
    for (int i = 0; i < window.count; ++i) {
      const Vec3d a = window.corners[size_t(i)] - apex, b = window.corners[size_t((i + 1) % window.count)] - apex;
      Vec3d normal = Cross(a, b);
      const double length = std::sqrt(Dot(normal, normal));
      if (!(length > 0)) continue;
      normal = normal * (1 / length);
      if (Dot(normal, window.centre - apex) > 0) normal = normal * -1.0;
      beam.planes[size_t(beam.count++)] = {normal, Dot(normal, apex)};
    }
  }
  if (level < 2) return;
  const Beam& parent = search.beams[size_t(level - 1)];
  for (int i = 0; i < parent.count && beam.count < kMaxBeamPlanes; ++i) {
    const Vec3d normal = parent.planes[size_t(i)].normal;
    const Vec3d mirrored = normal - unit * (2 * Dot(normal, unit));
    beam.planes[size_t(beam.count++)] = {mirrored, Dot(mirrored, apex)};
  }
}

// Whether the beam misses the box: the box lies wholly outside one of its
// planes, by more than the rounding of the test.
bool BeamMisses(const Beam& beam, const Bounds& box) {
  for (int i = 0; i < beam.count; ++i) {
    const Beam::Plane& plane = beam.planes[size_t(i)];
    const Vec3d nearest{plane.normal.x > 0 ? box.low.x : box.high.x, plane.normal.y > 0 ? box.low.y : box.high.y,
                        plane.normal.z > 0 ? box.low.z : box.high.z};
    const double size =
        1 + std::fabs(plane.offset) + std::max({std::fabs(nearest.x), std::fabs(nearest.y), std::fabs(nearest.z)});
    if (Dot(plane.normal, nearest) - plane.offset > 1e-9 * size) return true;
  }
  return false;
}

// Whether face f cannot follow the faces of images 1 to `level` in any
// path: the beam of image `level` misses its reach box.
bool OutsideBeam(const PathSearch& search, int level, uint32_t f) {
  if (!search.bounds || level < 1) return false;
  const SearchFaceBounds& face = (*search.bounds)[f];
  return face.reachKnown && BeamMisses(search.beams[size_t(level)], face.reach);
}

// The last image level over the faces first .. end - 1 with the index:
// every face counts as visited, and only the faces it names can reflect
// the image to the target.
void ReflectImageOnceMore(PathSearch& search, int imageLevel, uint32_t first, uint32_t end) {
  const int depth = imageLevel + 1;
  const Vec3d image = search.images[size_t(imageLevel)];
  search.workDone += end - first;
  std::vector<uint32_t>& faces = search.reflectingFaces;
  search.index->CollectReflectingFaces(image, search.target, ReflectingSide::kFront,
                                       std::numeric_limits<double>::infinity(), faces);
  for (uint32_t f : faces) {
    if (f < first || f >= end) continue;
    if (CountFaceTest(search)) return;
    const double side = search.Plane(f).Side(image);
    if (side > 0 && !OutsideBeam(search, imageLevel, f)) ReflectImage(search, f, depth, image, side);
  }
}

}  // namespace

void SettleTracedPaths(PathSearch& search) {
  TracedPaths& traced = search.traced;
  PathRecord record;
  for (TracedPaths::Kept& path : traced.kept) {
    size_t offset = path.offset;
    if (path.miss2 == TracedPaths::kExactImagePath || !ReadPathRecord(traced.records, offset, record) ||
        !FindExactImagePath(search, record))
      continue;
    StorePathRecord(traced.records.data() + path.offset, search.record);
    path.miss2 = TracedPaths::kExactImagePath;
  }
}

void SearchImageSources(PathSearch& search, int imageLevel, uint32_t firstFace, uint32_t endFace) {
  const int depth = imageLevel + 1;
  const uint32_t end = std::min(endFace, uint32_t(search.faces->faces.size()));
  if (search.bounds && imageLevel >= 1) BuildBeam(search, imageLevel);
  if (search.index && search.index->PlaneGroupsPay() && depth == search.maxDepth) {
    ReflectImageOnceMore(search, imageLevel, firstFace, end);
    return;
  }
  const Vec3d image = search.images[size_t(imageLevel)];
  for (uint32_t f = firstFace; f < end; ++f) {
    search.workDone += 1;
    if (CountFaceTest(search)) return;
    const double side = search.Plane(f).Side(image);
    // The image lies behind the face or on its plane, or its beam misses it.
    if (!(side > 0) || OutsideBeam(search, imageLevel, f)) {
      if (depth < search.maxDepth) search.workSkipped += search.skippedWork[size_t(depth)];
      continue;
    }
    ReflectImage(search, f, depth, image, side);
    if (depth < search.maxDepth) {
      SearchImageSources(search, depth);
      if (search.cancelled) return;
    }
  }
}

void TraceRay(PathSearch& search, Vec3d origin, Vec3d direction, const CalcFace* skipped, int depth) {
  const int d = depth + 1;
  const double length2 = Dot(direction, direction);
  if (!(length2 >= kShortestDirection2)) return;
  const Vec3d ahead = direction * (kRayLength / std::sqrt(length2));
  const SegmentBox box = BoundSegment(origin, origin + ahead);

  double nearest2 = kNearestNone2;
  bool targetReached = false;
  double miss2 = 0;
  if (d > search.lowestTracedOrder) {
    const Vec3d toTarget = search.target - origin;
    const double along = Dot(toTarget, ahead);
    if (along > 0) {
      const Vec3d miss = search.target - (origin + ahead * (along / Dot(ahead, ahead)));
      miss2 = Dot(miss, miss);
      if (miss2 < kDetectionRadius2) {
        targetReached = true;
        nearest2 = Dot(toTarget, toTarget);
      }
    }
  }
  if (!targetReached && d > search.maxDepth) return;

  const std::vector<CalcFace>& faces = search.faces->faces;
  CalcRay ray;
  ray.origin = ToVertex(origin);
  ray.direction = ToVertex(ahead);
  size_t hitFace = faces.size();
  ObjectVertex hitPoint;
  // The walk along the ray stops at boxes farther than the nearest hit so
  // far, by more than the rounding of a hit point.
  const Vec3d lineOrigin = ToVec3d(ray.origin), lineDirection = ToVec3d(ray.direction);
  const double directionLength = std::sqrt(Dot(lineDirection, lineDirection));
  const double originSize = std::max({std::fabs(origin.x), std::fabs(origin.y), std::fabs(origin.z)});
  auto walkLimit = [&] {
    const double nearest = std::sqrt(nearest2);
    return (nearest + kHitRounding + kHitRelativeRounding * (originSize + nearest)) / directionLength;
  };
  double limit = walkLimit();
  const RayLine line = LineOfRay(ray);
  // The exact test of face f; false when the search was cancelled.
  auto test = [&](uint32_t f) {
    const CalcFace& face = faces[f];
    if (&face == skipped) return true;
    if (CountFaceTest(search)) return false;
    // Only a face the origin lies in front of, and the ray runs towards.
    const SearchPlane& plane = search.Plane(f);
    if (!(plane.Side(origin) > 0) || !(Dot(ahead, plane.normal) < 0)) return true;
    if (!SegmentOverlapsFace(box, face.box)) return true;
    ray.face = &face;
    if (!IntersectRayLine(line, ray)) return true;
    const Vec3d offset = ToVec3d(ray.hitPoint) - origin;
    const double distance2 = Dot(offset, offset);
    // Of faces hit at one distance the first in the table counts.
    if (distance2 < nearest2 || (distance2 == nearest2 && hitFace < faces.size() && f < hitFace)) {
      nearest2 = distance2;
      hitFace = f;
      hitPoint = ray.hitPoint;
      limit = walkLimit();
    }
    return true;
  };
  if (search.index) {
    if (!search.index->VisitAlongLine(lineOrigin, lineDirection, limit, test)) return;
  } else {
    for (uint32_t f = 0; f < uint32_t(faces.size()); ++f)
      if (!test(f)) return;
  }

  if (hitFace < faces.size()) {
    const double distance = std::sqrt(nearest2);
    if (search.hitDistances) {
      search.hitDistances->push_back(distance);
    } else {
      search.freePaths.distance += distance;
      ++search.freePaths.hits;
    }
    search.record.nodes[size_t(d)] = {uint16_t(hitFace), hitPoint};
    if (d <= search.maxDepth) {
      // On along the ray mirrored in the face: the direction from the
      // origin's mirror image through the hit point, kept at full length so
      // that a hit close to an edge neither ends the ray nor blurs it.
      const SearchPlane& plane = search.Plane(uint32_t(hitFace));
      TraceRay(search, ToVec3d(hitPoint), Mirror(plane, ahead, Dot(ahead, plane.normal)), &faces[hitFace], d);
    }
  } else if (targetReached) {
    search.record.nodes[size_t(d)] = {kTargetTag, ToVertex(search.target)};
    search.record.reflections = int16_t(d - 1);
    search.traced.Keep(search.record, miss2);
  }
}

namespace {

// The rays of the direction set in order, built once.
const std::vector<Vec3d>& RayDirectionSet() {
  static const std::vector<Vec3d> directions = [] {
    std::vector<Vec3d> set;
    ForEachRayDirection(1, 1, [&set](Vec3d direction) { set.push_back(direction); });
    return set;
  }();
  return directions;
}

constexpr uint32_t kNoOuterFace = UINT32_MAX;

// The image sources of a loudspeaker at `source` below the first-level
// faces first .. end - 1; or, with an `outer` face, below that face the
// second-level faces first .. end - 1, after the reflection off the outer
// face itself when `first` is 0. The direct path comes before all.
void SearchSpeakerImages(PathSearch& search, Vec3d source, const RaySearchOrders& orders, uint32_t outer,
                         uint32_t first, uint32_t end) {
  StartPathRecord(search, source);
  SetImageDepth(search, orders.imageOrder);
  search.lowestTracedOrder = orders.lowestTracedOrder;
  if (first == 0 && (outer == kNoOuterFace || outer == 0)) ValidateImagePath(search, 0);
  if (outer == kNoOuterFace) {
    SearchImageSources(search, 0, first, end);
    return;
  }
  // The first level's step onto the outer face, counted once.
  if (first == 0) {
    search.workDone += 1;
    if (CountFaceTest(search)) return;
  }
  const double side = search.Plane(outer).Side(source);
  if (!(side > 0)) {
    if (first == 0 && 1 < search.maxDepth) search.workSkipped += search.skippedWork[1];
    return;
  }
  if (first == 0) ReflectImage(search, outer, 1, source, side);
  else EnterImage(search, outer, 1, source, side);
  if (1 < search.maxDepth) SearchImageSources(search, 1, first, end);
}

// Rays first .. end - 1 of the direction set from a loudspeaker at `source`,
// the paths they catch settled.
void TraceSpeakerRays(PathSearch& search, Vec3d source, const RaySearchOrders& orders, uint32_t first, uint32_t end) {
  StartPathRecord(search, source);
  search.lowestTracedOrder = orders.lowestTracedOrder;
  search.maxDepth = orders.maxOrder;
  const double rayWork = double(orders.maxOrder) * search.faces->Count();
  const std::vector<Vec3d>& directions = RayDirectionSet();
  for (uint32_t r = first; r < end && !search.cancelled; ++r) {
    TraceRay(search, source, directions[r], nullptr, 0);
    search.workDone += rayWork;
  }
  SettleTracedPaths(search);
}

}  // namespace

void SearchSpeakerPaths(PathSearch& search, Vec3d source, const RaySearchOrders& orders) {
  SearchSpeakerImages(search, source, orders, kNoOuterFace, 0, uint32_t(search.faces->faces.size()));
  if (search.cancelled || !orders.TracesRays()) return;
  TraceSpeakerRays(search, source, orders, 0, uint32_t(RayDirectionSet().size()));
  StoreTracedPaths(search.traced, search.paths, search.pathCount);
  search.traced = TracedPaths{};
}

double EstimateMeanFreePath(const CalcFaceTable& faces, Vec3d point, FreePathSum& sum, SearchMonitor* monitor,
                            const FaceIndex* index) {
  PathSearch search;
  PreparePathSearch(search, faces, point, index);
  search.maxDepth = kEstimateDepth;
  search.lowestTracedOrder = kEstimateDepth + 1;  // no target
  search.monitor = monitor;
  ForEachRayDirection(kMeanFreePathRaySpacing, kMeanFreePathRaySpacing, [&](Vec3d direction) {
    if (!search.cancelled) TraceRay(search, point, direction, nullptr, 0);
  });
  sum.Add(search.freePaths);
  return sum.Mean();
}

// ---- The search over all loudspeakers ----

namespace {

// How often the calling thread shows the progress of its workers.
constexpr std::chrono::milliseconds kProgressPoll{100};

struct SpeakerFindings {
  std::vector<uint8_t> paths;
  uint32_t pathCount = 0;
  TracedPaths traced;  // of the ray pieces, stored after the paths
  FreePathSum freePaths;
  void Add(std::span<const uint8_t> records, uint32_t count) {
    paths.insert(paths.end(), records.begin(), records.end());
    pathCount += count;
  }
};

// Workers split a loudspeaker's search into pieces: the image sources
// below a run of first-level faces (so that there are at most this many
// runs) or, in a room of fewer faces than this, below each pair of a first-
// and a second-level face; and runs of this many rays.
constexpr uint32_t kImagePieces = 256;
constexpr uint32_t kFacePairPieces = 64;
constexpr uint32_t kRaysPerPiece = 256;

// A piece of one loudspeaker's search and what it found; the free-path
// distances are listed in order so that merging the pieces in order sums
// them as one search would.
struct SearchPiece {
  uint32_t speaker = 0;
  bool rays = false;
  uint32_t outer = kNoOuterFace;  // the first-level face of a second-level run
  uint32_t first = 0, end = 0;    // first- or second-level faces, or ray numbers
  std::vector<uint8_t> paths;
  uint32_t pathCount = 0;
  TracedPaths traced;
  std::vector<double> hitDistances;
  bool done = false;
};

std::vector<SearchPiece> SplitSearch(uint32_t speakers, uint32_t faces, const RaySearchOrders& orders) {
  // Image order 1 asks the index about all faces at once: one piece.
  const uint32_t run =
      orders.imageOrder > 1 ? std::max((faces + kImagePieces - 1) / kImagePieces, 1u) : std::max(faces, 1u);
  const bool pairs = orders.imageOrder > 1 && faces > 0 && faces < kFacePairPieces;
  const uint32_t rays = uint32_t(RayDirectionSet().size());
  std::vector<SearchPiece> pieces;
  auto add = [&pieces](uint32_t speaker, bool rays, uint32_t outer, uint32_t first, uint32_t end) {
    SearchPiece& piece = pieces.emplace_back();
    piece.speaker = speaker;
    piece.rays = rays;
    piece.outer = outer;
    piece.first = first;
    piece.end = end;
  };
  for (uint32_t s = 0; s < speakers; ++s) {
    if (pairs) {
      for (uint32_t outer = 0; outer < faces; ++outer)
        for (uint32_t f = 0; f < faces; ++f) add(s, false, outer, f, f + 1);
    } else {
      uint32_t f = 0;
      do {
        add(s, false, kNoOuterFace, f, std::min(f + run, faces));
        f += run;
      } while (f < faces);
    }
    if (orders.TracesRays())
      for (uint32_t r = 0; r < rays; r += kRaysPerPiece)
        add(s, true, kNoOuterFace, r, std::min(r + kRaysPerPiece, rays));
  }
  return pieces;
}

}  // namespace

RaySearchOutcome SearchSpeakers(const RaySearchTables& tables, Vec3d target, const RaySearchOrders& orders,
                                SearchMonitor& monitor, CalcExecution execution) {
  const uint32_t count = uint32_t(tables.speakers.Count());
  const uint32_t faces = uint32_t(tables.faces.Count());
  PathSearch prepared;
  PreparePathSearch(prepared, tables.faces, target, execution.faceIndex ? &tables.index : nullptr);
  prepared.monitor = &monitor;
  std::vector<SpeakerFindings> findings(count);

  std::vector<SearchPiece> pieces = SplitSearch(count, faces, orders);
  const unsigned workers = std::min(WorkerThreadCount(execution), uint32_t(pieces.size()));
  monitor.ReportAtCheckpoints(workers <= 1);
  // Each finished piece is merged once those before it are: the last to
  // finish merges, so that few wait at a time.
  std::mutex mutex;
  size_t merged = 0;
  auto merge = [&](SearchPiece& piece) {
    SpeakerFindings& speaker = findings[piece.speaker];
    speaker.Add(piece.paths, piece.pathCount);
    speaker.traced.Add(piece.traced);
    for (double distance : piece.hitDistances) {
      speaker.freePaths.distance += distance;
      ++speaker.freePaths.hits;
    }
    piece.paths = {};
    piece.traced = {};
    piece.hitDistances = {};
  };
  auto searchPiece = [&](unsigned, uint32_t i) {
    SearchPiece& piece = pieces[i];
    PathSearch search = prepared;
    search.speaker = int(piece.speaker);
    search.hitDistances = &piece.hitDistances;
    const Vec3d source = SpeakerPosition(tables.speakers.entries[piece.speaker]);
    if (piece.rays) TraceSpeakerRays(search, source, orders, piece.first, piece.end);
    else SearchSpeakerImages(search, source, orders, piece.outer, piece.first, piece.end);
    monitor.Record(search.speaker, UnpublishedWork(search));
    piece.paths = std::move(search.paths);
    piece.pathCount = search.pathCount;
    piece.traced = std::move(search.traced);
    std::lock_guard<std::mutex> lock(mutex);
    piece.done = true;
    for (; merged < pieces.size() && pieces[merged].done; ++merged) merge(pieces[merged]);
  };
  const bool onWorkers =
      workers > 1 && RunOnWorkers(
                         uint32_t(pieces.size()), workers, kProgressPoll, searchPiece,
                         [&] { return monitor.Cancelled(); }, [&] { return monitor.ReportSearchProgress() != 0; });
  if (onWorkers) {
    // After a Cancel: what the pieces that ran found, in order.
    for (; merged < pieces.size(); ++merged)
      if (pieces[merged].done) merge(pieces[merged]);
  } else {
    monitor.ReportAtCheckpoints(true);
    for (uint32_t i = 0; i < count && !monitor.Cancelled(); ++i) {
      PathSearch search = prepared;
      search.speaker = int(i);
      SearchSpeakerPaths(search, SpeakerPosition(tables.speakers.entries[i]), orders);
      monitor.Record(search.speaker, UnpublishedWork(search));
      findings[i].Add(search.paths, search.pathCount);
      findings[i].freePaths = search.freePaths;
    }
  }

  RaySearchOutcome outcome;
  for (const SpeakerFindings& speaker : findings) {
    outcome.records.insert(outcome.records.end(), speaker.paths.begin(), speaker.paths.end());
    outcome.pathCount += speaker.pathCount;
    StoreTracedPaths(speaker.traced, outcome.records, outcome.pathCount);
    outcome.freePaths.Add(speaker.freePaths);
  }
  outcome.cancelled = monitor.Cancelled();
  return outcome;
}

RaySearchRun SearchRayPaths(const RaySearchTables& tables, Vec3d target, const RaySearchOrders& orders,
                            CalcExecution execution) {
  RaySearchRun run;
  const double faces = tables.faces.Count();
  if (faces == 0) return run;
  const double speakers = tables.speakers.Count();
  double totalWork = std::pow(faces, orders.imageOrder) * speakers;
  if (orders.TracesRays()) totalWork += orders.maxOrder * double(CountRayDirections(1, 1)) * faces * speakers;

  BeginProgress("Calculating Reflections", "0 %", "Cancel");
  SearchMonitor monitor(totalWork, tables.speakers.Count(), ReportProgress);
  run.outcome = SearchSpeakers(tables, target, orders, monitor, execution);
  EndProgress();
  FreePathSum freePaths = run.outcome.freePaths;
  run.meanFreePath =
      EstimateMeanFreePath(tables.faces, target, freePaths, nullptr, execution.faceIndex ? &tables.index : nullptr);
  return run;
}

// ---- The program's search ----

RaySearchState gRaySearch;

void ResetRaySearch() { gRaySearch = RaySearchState{}; }

namespace {
const StateReset kReset(ResetRaySearch);
}  // namespace

void DeleteRayPaths(RaySearchState& state, ObjectList& model) {
  for (GraphicObject* object = model.first; object;) {
    GraphicObject* next = object->next;
    if (IsRayPath(object)) FreeObjectInList(object, model);
    object = next;
  }
  state.pathCount = 0;
  RequestRedraw();
}

bool PrepareCalculateRays(RaySearchState& state, const DesignTables& design) {
  if (PrepareRaySearchTables(state.tables, design) > 0) return true;
  ShowMessage("No speakers to process", nullptr, kMsgOk);
  return false;
}

uint32_t CalculateRays(RaySearchState& state, const DesignTables& design, std::string orderText, ObjectVertex picked,
                       CalcExecution execution) {
  state.storedPaths = 0;
  state.meanFreePathEstimate = 0;
  state.pathCount = 0;
  state.orders = SplitSearchOrders(state.tables.faces.Count(), ParseMaxOrder(std::move(orderText)));
  const Vec3d target = ToVec3d({picked.x, picked.y, picked.z + kTargetLift});
  const RaySearchRun run = SearchRayPaths(state.tables, target, state.orders, execution);
  state.storedPaths = run.outcome.pathCount;
  state.meanFreePathEstimate = run.meanFreePath;
  if (state.storedPaths == 0) return 0;
  return LoadPathObjects(*design.model, run.outcome.records);
}

int32_t SearchPathsAtPoint(RaySearchState& state, const DesignTables& design, ObjectVertex point, SearchReport report,
                           CalcExecution execution) {
  state.storedPaths = 0;
  state.meanFreePathEstimate = 0;
  state.pathCount = 0;
  const int speakers = PrepareRaySearchTables(state.tables, design);
  const int faces = state.tables.faces.Count();
  if (faces == 0 || speakers == 0) return 0;
  const int order = PointSearchOrder(faces, speakers);
  state.orders = {order, order, order};

  WaitCursorScope wait;
  const Vec3d target = ToVec3d(point);
  SearchMonitor monitor(std::pow(double(faces), order) * speakers, speakers, report);
  FreePathSum freePaths;
  state.meanFreePathEstimate = EstimateMeanFreePath(state.tables.faces, target, freePaths, &monitor,
                                                    execution.faceIndex ? &state.tables.index : nullptr);
  const RaySearchOutcome found = SearchSpeakers(state.tables, target, state.orders, monitor, execution);
  state.storedPaths = found.pathCount;
  if (state.storedPaths == 0) return 0;
  LoadPathObjects(*design.model, found.records);
  state.pathCount = LinkPathsToSpeakers(state.tables, design, state.meanFreePathEstimate, state.results).paths;
  if (state.pathCount > 0) SortPathsByTime(*design.model);
  return state.pathCount;
}
