// The reflection-path search: every sound path from each active loudspeaker
// to one target point with up to a chosen number of reflections on the room
// faces. Low orders are found exactly by mirroring the source in the faces
// (image sources); when the face sequences grow too many, the higher orders
// come from tracing a fixed set of 61198 rays per loudspeaker and catching
// those that pass within 0.15 m of the target, one path per face sequence.
// The search also estimates the room's mean free path from the distances
// its rays travel between faces.
//
// The work of one loudspeaker is a PathSearch: it reads the calculation
// faces (and their FaceIndex, which names the faces a test needs to visit,
// and the beams it prunes the image sources with) and its source and target
// and writes only into itself (the records it
// found, its free-path sums, its work counters). The faces stay unchanged
// while searches run, so the loudspeakers of a search run side by side on
// worker threads and are merged in the order of the loudspeaker table: the
// paths, their order and every figure are those of the reference run, on
// one thread over every face. Progress and Cancel stay with the thread that
// called the search.
//
// Calculate Rays and the search at a point of the result window build on the
// kernels here and leave the paths as RayPath objects in the model
// (ray_paths.h).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "design/acoustics/calc_workers.h"
#include "design/acoustics/face_index.h"
#include "design/acoustics/ray_paths.h"

// ---- The direction set ----

// A full turn in steps of the direction tables.
constexpr int kDirectionSteps = 400;
// Polar rows 1 to 199 of the set; row 0 and 200 are the poles.
constexpr int kDirectionRows = kDirectionSteps / 2;
// Traced rays have this length (m), more than any room is across.
constexpr double kRayLength = 1000.0;

// Sines and cosines of 2 pi i / 400 and, per polar row i, the azimuth step
// that keeps the rays of the row about as far apart as those of the
// equator: step[i] = trunc(1 / sin(2 pi i / 400)), at least 1; step[0] =
// step[200] = 400.
struct RayDirectionTables {
  std::array<float, kDirectionSteps> sines{};
  std::array<float, kDirectionSteps> cosines{};
  std::array<uint16_t, kDirectionRows + 1> steps{};
};
// The tables, built once.
const RayDirectionTables& RayDirections();

// Ray (i, j): (cos a_i, sin a_i cos b_j, sin a_i sin b_j) x kRayLength, with
// a_i = 2 pi i / 400 off the x axis and b_j = 2 pi j / 400 about it.
Vec3d RayDirection(int i, int j);

// Visits the rays of polar rows 1, 1 + rowStep, ... below 200 and, in row i,
// of azimuths 0, columnFactor x step[i], ... below 400. (1, 1) is the whole
// set of 61198 rays; (16, 16) the 239 of the mean-free-path estimate.
template <typename Visit>
void ForEachRayDirection(int rowStep, int columnFactor, Visit&& visit) {
  const RayDirectionTables& tables = RayDirections();
  for (int i = 1; i < kDirectionRows; i += rowStep)
    for (int j = 0; j < kDirectionSteps; j += columnFactor * tables.steps[size_t(i)]) visit(RayDirection(i, j));
}
constexpr int kMeanFreePathRaySpacing = 16;
// The number of rays ForEachRayDirection visits.
int CountRayDirections(int rowStep, int columnFactor);

// ---- Orders ----

constexpr int kMaxSearchOrder = 40;
// The image sources go only as deep as (faces - 1)^order stays at or below
// this many face sequences.
constexpr double kImageSequenceLimit = 8.0e9;

// How a search splits its orders: paths of fewer than lowestTracedOrder
// reflections come from the image sources (to imageOrder), those from
// lowestTracedOrder to maxOrder from the rays, which run only when
// imageOrder is below maxOrder.
struct RaySearchOrders {
  int maxOrder = 1;
  int imageOrder = 1;
  int lowestTracedOrder = 0;
  bool TracesRays() const { return imageOrder < maxOrder; }
};
// For M above 1: image order M, unless for some k from 3 to M (the first
// such) (faces - 1)^k exceeds kImageSequenceLimit, which makes the image
// order k - 1 and the lowest traced order k. M = 1: image order 1, no rays.
RaySearchOrders SplitSearchOrders(int faceCount, int maxOrder);

// The maximum order typed into the prompt (ReadTypedNumber, text_lines.h;
// what is no number reads 0) without its fraction, clamped to 1 .. 40.
int ParseMaxOrder(std::string_view text);

// The image order of the search at a clicked point: trunc(10 / ln(faces x
// loudspeakers)), 1 when that quotient is 1 or less, at most 3.
int PointSearchOrder(int faceCount, int speakerCount);

// ---- Progress ----

// The progress report a search calls: ReportProgress of the progress window,
// or what the caller shows instead. 1 when the user cancelled.
using SearchReport = int (*)(int percent, const char* text);

// A search reports after every this many face tests.
constexpr uint32_t kReportInterval = 60001;

// The progress of a search over its loudspeakers: each loudspeaker's work
// (face tests done and skipped) in a slot of its own, to which every piece
// of its search adds, and the Cancel that stops them all. On one thread the
// search itself reports at its report points; with workers it only
// publishes, and the calling thread reports.
class SearchMonitor {
 public:
  // `totalWork` is what 100 % stands for.
  SearchMonitor(double totalWork, int speakers, SearchReport report);

  // Whether the searches report at their report points themselves (they run
  // on the thread that may report; the default) or only publish their work.
  void ReportAtCheckpoints(bool on) { reportAtCheckpoints_ = on; }
  // A report point of loudspeaker `speaker`'s search, which did `work`
  // since it last published: true when the search must stop.
  bool Checkpoint(int speaker, double work);
  // Adds work to a loudspeaker's without a report.
  void Record(int speaker, double work);
  // "%1.2f %" of the percent done (at most 100) through the report; a
  // Cancel stops the search. 1 when cancelled.
  int ReportSearchProgress();
  bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
  double Percent() const;

 private:
  double totalWork_;
  std::vector<std::atomic<double>> work_;
  SearchReport report_;
  bool reportAtCheckpoints_ = true;
  std::atomic<bool> cancelled_{false};
};

// ---- The search of one loudspeaker ----

// The target counts as reached by a ray passing closer than 0.15 m.
constexpr double kDetectionRadius2 = 0.0225;

// Sum and count of the distances traced rays travelled to the faces they hit.
struct FreePathSum {
  double distance = 0;
  uint32_t hits = 0;
  void Add(const FreePathSum& other) {
    distance += other.distance;
    hits += other.hits;
  }
  // The mean distance, 0 without a hit.
  double Mean() const { return hits ? distance / hits : 0.0; }
};

// A face's plane as a search reads it, in double precision.
struct SearchPlane {
  Vec3d normal;            // the face's Newell normal
  double offset = 0;       // normal . plane point
  double halfLength2 = 0;  // |normal|^2 / 2
  double targetSide = 0;   // Side(target)
  // Where p lies along the normal: positive in front of the face (the side
  // its normal points to), in units of the normal's length.
  double Side(Vec3d p) const { return Dot(normal, p) - offset; }
};

// The paths traced rays caught, one per face sequence: of the rays that
// caught a sequence the one that passed nearest the target (the first of
// equals), until the sequence's exact image path replaces it; kept in the
// order the rays first caught the sequences. So every specular path counts
// once, however many rays of the set pass near the target along it.
struct TracedPaths {
  static constexpr double kExactImagePath = -1;
  std::vector<uint8_t> records;  // the stored form of each path (a sequence keeps its size)
  struct Kept {
    size_t offset = 0;  // of its record
    double miss2 = 0;   // m^2 the ray passed the target by; kExactImagePath for the image path
  };
  std::vector<Kept> kept;
  std::unordered_map<std::u16string, uint32_t> bySequence;  // the faces of nodes 1 to n

  // Keeps `record` caught `miss2` from the target unless its sequence holds
  // one caught as near or nearer.
  void Keep(const PathRecord& record, double miss2);
  // Keeps the paths of `later`, caught by later rays, in their order.
  void Add(const TracedPaths& later);
};

// Where the rays of an image through its faces can go, for pruning the image
// sources. A face's window is the convex polygon on its plane that holds
// every point its point-in-face test accepts, widened by more than the
// rounding of those points. A beam is a convex cone about an image: the
// points x with normal . x <= offset for each of its planes, all of which
// pass through the image. The beam of image k holds every point that a ray
// from image k through the windows of its faces (unfolded: the window of
// face k, the mirrored window of face k - 1, ...) reaches; so a valid path
// whose first k faces are those has its reflection point k + 1 in it, and a
// face whose reach box the beam misses can follow those k faces in no path.
// A beam keeps the planes of the nearest windows it has room for: fewer
// planes bound a larger cone, never a smaller one.
constexpr int kMaxWindowCorners = 8;
struct FaceWindow {
  std::array<Vec3d, kMaxWindowCorners> corners{};  // in order around the polygon
  int count = 0;                                   // 0: no window (the face accepts no area)
  Vec3d centre;
};
constexpr int kMaxBeamPlanes = 24;
struct Beam {
  struct Plane {
    Vec3d normal;  // unit, pointing out of the beam
    double offset = 0;
  };
  std::array<Plane, kMaxBeamPlanes> planes{};
  int count = 0;  // 0: all of space
};

// What a search reads of every face besides its plane, built once for a
// search with a face index: the window and the reach box.
struct SearchFaceBounds {
  FaceWindow window;
  Bounds reach;
  bool reachKnown = false;
};

// The working state and the findings of one loudspeaker's search. A search
// reads `faces` (unchanged while it runs) and writes nothing outside itself.
struct PathSearch {
  const CalcFaceTable* faces = nullptr;
  const FaceIndex* index = nullptr;  // over the faces; none: every face is tested
  Vec3d target;
  // One per face, shared by the copies of a prepared search; the bounds only
  // with an index, which prunes the image sources by beams.
  std::shared_ptr<const std::vector<SearchPlane>> planes;
  std::shared_ptr<const std::vector<SearchFaceBounds>> bounds;
  const SearchPlane& Plane(uint32_t face) const { return (*planes)[face]; }
  // The depth the running kernel goes to: the image order for the image
  // sources, the maximum order for the rays.
  int maxDepth = 0;
  // Rays catch the target only from this many reflections on (all orders
  // below come from the image sources).
  int lowestTracedOrder = 0;
  // Where progress goes; none: no reports and no Cancel.
  SearchMonitor* monitor = nullptr;
  int speaker = 0;  // the loudspeaker's slot in the monitor

  // Working state: the path under construction, image k (the source
  // mirrored in the faces of nodes 1 to k), the work skipped with a face
  // at each depth.
  PathRecord record;
  std::array<Vec3d, kMaxPathNodes> images{};
  std::array<Beam, kMaxPathNodes> beams{};  // of images 1 to the depth, with bounds
  std::array<double, kMaxPathNodes> skippedWork{};
  uint32_t testsSinceReport = 0;
  std::vector<uint32_t> reflectingFaces;  // what the index names at the last image level

  // Findings.
  std::vector<uint8_t> paths;  // stored path records
  uint32_t pathCount = 0;
  TracedPaths traced;  // what the rays caught, not yet stored
  // The distances traced rays travel to the faces they hit: summed here,
  // or with `hitDistances` listed there in order, for a merge to sum.
  FreePathSum freePaths;
  std::vector<double>* hitDistances = nullptr;
  double workDone = 0;       // face tests
  double workSkipped = 0;    // face sequences left out
  double workPublished = 0;  // of both, what the monitor was told
  bool cancelled = false;
};

// Sets a search up over `faces` (kept unchanged while it runs) to `target`,
// asking `index` (built over the faces) which faces to test, or testing
// every face without one. Copies of the prepared search share its planes.
void PreparePathSearch(PathSearch& search, const CalcFaceTable& faces, Vec3d target, const FaceIndex* index = nullptr);

// Starts the record of a loudspeaker at `source`: node 0 the source, node 1
// the target, no reflection, image 0 the source.
void StartPathRecord(PathSearch& search, Vec3d source);

// Completes and stores the image path whose node `depth` was just set (the
// reflection point in the face of that node, or no reflection at depth 0):
// traces back from node depth - 1 to node 1, each the point where the
// segment from its image to the next node crosses its face strictly between
// the two; then the path must cross no face but those at each segment's
// ends. 1 when stored, 0 when dropped.
int ValidateImagePath(PathSearch& search, int depth);

// Replaces each path in search.traced by the exact image path of its face
// sequence where the image sources would find that path: each image lies
// in front of the next face, and the path validates as above.
void SettleTracedPaths(PathSearch& search);

// The image-source search below image `imageLevel`, to search.maxDepth: for
// every face (from `firstFace` up to `endFace`, or all) that the image lies
// in front of, the image mirrored in it;
// where the segment from that mirror image to the target crosses the face
// strictly between the two, inside the face, that crossing is a reflection
// point to validate; deeper levels follow whether or not the face
// reflected. Faces the image does not lie in front of are skipped with all
// their deeper sequences, and with the search's bounds so are faces whose
// reach box the image's beam misses.
void SearchImageSources(PathSearch& search, int imageLevel, uint32_t firstFace = 0, uint32_t endFace = UINT32_MAX);

// Traces the ray from `origin` along `direction` (taken as kRayLength long)
// at depth + 1, node depth + 1 receiving its next reflection point: the
// nearest face (but `skipped`) that the origin lies in front of and the ray
// meets ahead of it; from that face the ray mirrored in its plane goes on
// up to search.maxDepth reflections. Deeper than lowestTracedOrder the
// target counts as reached when it lies ahead of the ray within the
// detection radius of its line and nearer than any face; that path goes to
// search.traced. Each face hit adds its distance to the free-path sums. A
// direction whose squared length is below 0.001 ends the ray.
void TraceRay(PathSearch& search, Vec3d origin, Vec3d direction, const CalcFace* skipped, int depth);

// The whole search of one loudspeaker at `source`: the direct path, the
// image sources to orders.imageOrder and, when orders.TracesRays(), every
// ray of the direction set to orders.maxOrder, the traced paths settled and
// stored after the image paths.
void SearchSpeakerPaths(PathSearch& search, Vec3d source, const RaySearchOrders& orders);

// Adds to `sum` the faces hit by the 239 rays of the estimate traced from
// `point` to 7 reflections without a target, and returns sum.Mean() (0
// without a hit). With a `monitor` the tracing reports in slot 0 and stops
// at a Cancel. With an `index` over the faces it asks it which faces to test.
double EstimateMeanFreePath(const CalcFaceTable& faces, Vec3d point, FreePathSum& sum, SearchMonitor* monitor = nullptr,
                            const FaceIndex* index = nullptr);

// ---- The search over all loudspeakers ----

// What a search found, loudspeakers in table order.
struct RaySearchOutcome {
  std::vector<uint8_t> records;  // the path records
  uint32_t pathCount = 0;
  FreePathSum freePaths;  // of the rays traced
  bool cancelled = false;
};

// Searches every active loudspeaker of `tables` with `orders` to `target`,
// run as `execution` says (its threads, and the face index of the tables or
// every face), reporting through `monitor` (one slot per loudspeaker). A
// Cancel keeps the paths found so far; a monitor cancelled before the call
// finds nothing.
RaySearchOutcome SearchSpeakers(const RaySearchTables& tables, Vec3d target, const RaySearchOrders& orders,
                                SearchMonitor& monitor, CalcExecution execution);

// The search of Calculate Rays: nothing without faces; else with the
// progress window "Calculating Reflections" and its Cancel, then the mean
// free path estimate from the target added to the rays' sums.
struct RaySearchRun {
  RaySearchOutcome outcome;
  double meanFreePath = 0;
};
RaySearchRun SearchRayPaths(const RaySearchTables& tables, Vec3d target, const RaySearchOrders& orders,
                            CalcExecution execution = {});

// ---- The program's search ----

struct RaySearchState {
  RaySearchTables tables;  // of the last search and linking
  RaySearchOrders orders;
  uint32_t storedPaths = 0;         // paths the last search found
  double meanFreePathEstimate = 0;  // of the last search, m; a ray file stores it
  int32_t pathCount = 0;            // RayPath objects kept by the last linking
  RayResults results;
};
extern RaySearchState gRaySearch;
void ResetRaySearch();

// Frees every RayPath of `model`, sets the state's path count to 0 and asks
// for a redraw.
void DeleteRayPaths(RaySearchState& state, ObjectList& model);

// The texts of Calculate Rays.
inline constexpr char kMaxOrderPrompt[] = "Max.Order : (1 .. 40)";
inline constexpr char kDefaultMaxOrderText[] = "3";
constexpr int kMaxOrderTextLength = 9;
inline constexpr char kRaysCommandPrompt[] = "REFLECTIONS > ";
inline constexpr char kTargetPointStatusText[] = "Target Point";
// The target lies this far above the picked point (m).
constexpr float kTargetLift = 0.01f;

// Calculate Rays before its prompt: the faces sorted by area and the active
// loudspeakers into state.tables. False after "No speakers to process".
bool PrepareCalculateRays(RaySearchState& state, const DesignTables& design);

// Calculate Rays once the prompt gave `orderText` and the pick `picked`
// (after PrepareCalculateRays, the model unchanged since): the orders split
// for the faces, the target kTargetLift above the point, the search with
// its progress window, the paths put into the model. Returns the number of
// RayPath objects made, which the reflection windows then link and show.
uint32_t CalculateRays(RaySearchState& state, const DesignTables& design, std::string orderText, ObjectVertex picked,
                       CalcExecution execution = {});

// The search at a point the result window's user clicked: the faces rebuilt
// and sorted, the active loudspeakers, the order PointSearchOrder, the mean
// free path estimated from the point, then the image sources of every
// loudspeaker without rays or progress window, reporting through `report`
// (which shows no window but lets the user cancel). The paths are loaded,
// linked and sorted by time. Returns the number of RayPath objects kept in
// the model, 0 when there are no faces or no active loudspeaker or nothing
// was found.
int32_t SearchPathsAtPoint(RaySearchState& state, const DesignTables& design, ObjectVertex point, SearchReport report,
                           CalcExecution execution = {});
