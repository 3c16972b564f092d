// Times the reflection-path search of Calculate Rays, one loudspeaker to one
// target, the reference run (the calling thread, every face tested) beside
// the fast run (the face index and its beams) on one thread and on the
// worker threads, checks that all find the same paths in the same order
// with the same free-path sums, bit for bit, and prints the ratios of their
// times. The rooms: a 20 x 15 x 8 m shoebox of 6 faces, the same box
// tessellated into 1000 faces, a fan-shaped hall with a balcony whose faces
// lie in many planes, and a real room of 24 triangles read from a binary
// STL file (tests/design/acoustics/data/INRIA_MUSIS.stl, see the NOTICE.md
// beside it). Prints per room the split of the orders between image sources
// and rays, the paths found, the mean free path estimate, and the paths of
// each kind with the 1 kHz energy they carry once linked. Then how the fast
// search grows with the order and the faces, its memory, and the time the
// sort by arrival time takes for 200 000 paths.
//
// Usage: bench_reflection_search [maximum order, default 40 [STL file]]
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_rooms.h"
#include "design/acoustics/reflection_search.h"
#include "design/model/loudspeaker.h"
#include "framework/core/byte_codec.h"

namespace {

constexpr float kAlpha[kBandCount] = {0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f};

// One loudspeaker at `position` of a type with a flat balloon.
void AddSpeaker(ObjectVertex position) {
  SpeakerTypeTable& types = gSpeakerModel.types;
  types.types[0] = AllocSpeakerType();
  types.count = 1;
  ResetSpeakerType(*types.types[0]);
  Loudspeaker s;
  s.position = {position.x, position.y, position.z};
  s.intensity.fill(1.0e6f);
  GraphicObject* o = CreateObject(kLoudspeakerSize, 0, 0);
  o->layer = kLoudspeakerLayer;
  WriteLoudspeaker(s, o);
  AppendObject(o);
}

// The triangles of a binary STL file (80-byte header, u32 count, 50 bytes
// per triangle: normal, three vertices, attribute word) in millimetres, as
// room faces in metres facing into the room (the file's face outwards).
bool AddStlRoom(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes) || bytes.size() < 84) return false;
  const uint32_t count = LoadU32(bytes.data() + 80);
  if ((bytes.size() - 84) / 50 < count) return false;
  std::vector<std::vector<ObjectVertex>> triangles;
  for (uint32_t t = 0; t < count; ++t) {
    const uint8_t* p = bytes.data() + 84 + 50 * size_t(t) + 12;
    std::vector<ObjectVertex>& triangle = triangles.emplace_back(3);
    for (uint32_t v = 0; v < 3; ++v)
      triangle[2 - v] = {LoadF32(p + 12 * v) / 1000, LoadF32(p + 12 * v + 4) / 1000, LoadF32(p + 12 * v + 8) / 1000};
  }
  AddBenchFaces(triangles, 0);
  return true;
}

// The 20 x 15 x 8 m shoebox, each side in tiles x tiles faces, and the
// loudspeaker in it.
bool AddShoebox(int tiles) {
  AddBenchBox({20, 15, 8, tiles, tiles, tiles}, 0, 0, 0);
  AddSpeaker({2.5f, 4.2f, 3.1f});
  return true;
}

// The STL file of the real room.
std::string gStlPath;

// A search and the seconds it took.
struct TimedSearch {
  RaySearchRun run;
  double seconds = 0;
};

TimedSearch RunSearch(const RaySearchTables& tables, Vec3d target, const RaySearchOrders& orders,
                      CalcExecution execution) {
  const auto start = std::chrono::steady_clock::now();
  RaySearchRun run = SearchRayPaths(tables, target, orders, execution);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {std::move(run), elapsed.count()};
}

bool SameSearch(const RaySearchRun& a, const RaySearchRun& b) {
  return a.outcome.records == b.outcome.records && a.outcome.pathCount == b.outcome.pathCount &&
         a.outcome.freePaths.hits == b.outcome.freePaths.hits &&
         std::bit_cast<uint64_t>(a.outcome.freePaths.distance) ==
             std::bit_cast<uint64_t>(b.outcome.freePaths.distance) &&
         std::bit_cast<uint64_t>(a.meanFreePath) == std::bit_cast<uint64_t>(b.meanFreePath);
}

// The paths of a search by where they came from, image sources or rays, and
// the 1 kHz energy they carry once linked to their loudspeaker, in dB.
struct PathLevels {
  uint32_t imagePaths = 0, tracedPaths = 0;
  double imageEnergy = 0, tracedEnergy = 0;
};

PathLevels LinkedLevels(const RaySearchRun& run, const RaySearchOrders& orders) {
  ObjectList& model = *ProjectTables().model;
  LoadPathObjects(model, run.outcome.records);
  RaySearchTables tables;
  RayResults results;
  LinkPathsToSpeakers(tables, ProjectTables(), run.meanFreePath, results);
  PathLevels levels;
  for (GraphicObject* o = model.first; o; o = o->next) {
    const int reflections = RayPathReflectionCount(o);
    if (reflections < 0) continue;
    const bool traced = orders.TracesRays() && reflections >= orders.lowestTracedOrder;
    (traced ? levels.tracedPaths : levels.imagePaths) += 1;
    (traced ? levels.tracedEnergy : levels.imageEnergy) += RayPathLevel(o, 3);
  }
  RaySearchState state;
  DeleteRayPaths(state, model);
  return levels;
}

double Db(double energy) { return energy > 0 ? 10 * std::log10(energy) : 0.0; }

bool gAllSame = true;

std::string SplitText(const RaySearchOrders& orders) {
  char split[32];
  if (orders.TracesRays())
    std::snprintf(split, sizeof split, "1-%d + %d-%d", orders.imageOrder, orders.lowestTracedOrder, orders.maxOrder);
  else std::snprintf(split, sizeof split, "1-%d", orders.imageOrder);
  return split;
}

void CompareSearches(const char* room, ObjectVertex target, int order) {
  RaySearchTables tables;
  if (PrepareRaySearchTables(tables, ProjectTables()) == 0) std::exit(1);
  const RaySearchOrders orders = SplitSearchOrders(tables.faces.Count(), order);
  const Vec3d at = ToVec3d(target);
  const TimedSearch reference = RunSearch(tables, at, orders, kReferenceExecution);
  const TimedSearch single = RunSearch(tables, at, orders, CalcExecution{1});
  const TimedSearch fast = RunSearch(tables, at, orders, CalcExecution{});
  const bool same = SameSearch(reference.run, fast.run) && SameSearch(single.run, fast.run);
  gAllSame = gAllSame && same;
  const PathLevels levels = LinkedLevels(fast.run, orders);
  std::printf("%-22s %6d %-14s %8u %9.3f %9.3f %9.3f %7.1f %7.1f %-9s %7.2f %7u %7.2f %7u %7.2f\n", room,
              tables.faces.Count(), SplitText(orders).c_str(), fast.run.outcome.pathCount, reference.seconds,
              single.seconds, fast.seconds, reference.seconds / single.seconds, reference.seconds / fast.seconds,
              same ? "identical" : "DIFFERENT", fast.run.meanFreePath, levels.imagePaths, Db(levels.imageEnergy),
              levels.tracedPaths, Db(levels.tracedEnergy));
}

// A room of the benchmarks: what puts it and its loudspeaker into the
// model, and the target.
struct BenchRoom {
  const char* name;
  bool (*add)();
  ObjectVertex target;
};

void Reset() {
  ResetObjectStore();
  ClearSpeakerTypeTable(gSpeakerModel.types);
  ResetSpeakerModel();
  ResetRaySearch();
  SetBenchMaterial(0, "Absorber", kAlpha);
  SetBenchMaterial(1, "Absorber", kAlpha);
  SetBenchMaterial(2, "Absorber", kAlpha);
}

// Sorts `count` paths of random arrival times.
void TimePathSort(uint32_t count) {
  Reset();
  std::mt19937 random(19);
  std::uniform_real_distribution<float> time(0.0f, 2000.0f);
  PathRecord record;
  record.reflections = 1;
  for (uint32_t i = 0; i < count; ++i) {
    GraphicObject* path = CreateRayPath(record);
    SetRayPathTime(path, time(random));
    AppendObject(path);
  }
  const auto start = std::chrono::steady_clock::now();
  SortPathsByTime(gObjects.model);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("\nSorting %u paths by time: %.3f s\n", count, elapsed.count());
  Reset();
}

// How the fast search's time grows with the order and with the faces, on
// one thread and on all.
void ReportGrowth(const std::vector<BenchRoom>& rooms) {
  std::printf("\nGrowth of the fast search\n");
  std::printf("%-22s %6s %-14s %8s %9s %9s\n", "room", "faces", "orders", "paths", "1 thread", "fast");
  auto row = [](const BenchRoom& room, int order) {
    Reset();
    if (!room.add()) return;
    RaySearchTables tables;
    PrepareRaySearchTables(tables, ProjectTables());
    const RaySearchOrders orders = SplitSearchOrders(tables.faces.Count(), order);
    const TimedSearch single = RunSearch(tables, ToVec3d(room.target), orders, CalcExecution{1});
    const TimedSearch fast = RunSearch(tables, ToVec3d(room.target), orders, CalcExecution{});
    std::printf("%-22s %6d %-14s %8u %9.3f %9.3f\n", room.name, tables.faces.Count(), SplitText(orders).c_str(),
                fast.run.outcome.pathCount, single.seconds, fast.seconds);
  };
  for (const BenchRoom& room : {rooms[0], rooms[3]})
    for (int order : {5, 10, 20}) row(room, order);
  const BenchRoom tiled[] = {
      {"shoebox in 54 faces", [] { return AddShoebox(3); }, rooms[0].target},
      {"shoebox in 216 faces", [] { return AddShoebox(6); }, rooms[0].target},
      {"shoebox in 1014 faces", [] { return AddShoebox(13); }, rooms[0].target},
      {"shoebox in 4056 faces", [] { return AddShoebox(26); }, rooms[0].target},
  };
  for (const BenchRoom& room : tiled) row(room, 10);
}

// The memory of a search over a room of `tiles` x `tiles` faces per side:
// the index, the planes and bounds of the faces that every piece shares,
// and the working state of a piece.
void ReportMemory(int tiles) {
  Reset();
  AddShoebox(tiles);
  RaySearchTables tables;
  PrepareRaySearchTables(tables, ProjectTables());
  PathSearch search;
  PreparePathSearch(search, tables.faces, {14.3, 9.6, 1.21}, &tables.index);
  const size_t shared =
      search.planes->capacity() * sizeof(SearchPlane) + search.bounds->capacity() * sizeof(SearchFaceBounds);
  std::printf(
      "\nMemory of a search over %d faces: index %.2f MB, face planes and bounds %.2f MB (shared), working state of "
      "a piece %.1f kB\n",
      tables.faces.Count(), tables.index.MemoryBytes() / 1048576.0, shared / 1048576.0, sizeof(PathSearch) / 1024.0);
  Reset();
}

}  // namespace

int main(int argc, char** argv) {
  const int order = argc > 1 ? std::atoi(argv[1]) : kMaxSearchOrder;
  const std::string stl = argc > 2 ? argv[2] : "tests/design/acoustics/data/INRIA_MUSIS.stl";
  std::printf(
      "Reflection search to order %d, one loudspeaker; reference: one thread over every face; fast: %u "
      "threads with the face index\n",
      order, WorkerThreadCount({}));
  std::printf("%-22s %6s %-14s %8s %9s %9s %9s %7s %7s %-9s %7s %15s %15s\n", "room", "faces", "orders", "paths",
              "reference", "1 thread", "fast", "ratio 1", "ratio", "result", "mfp m", "image 1k dB", "traced 1k dB");

  gStlPath = stl;
  const std::vector<BenchRoom> rooms = {
      {"shoebox 20 x 15 x 8 m", [] { return AddShoebox(1); }, {14.3f, 9.6f, 1.21f}},
      {"the same in 1000 faces",
       [] {
         AddBenchBox({20, 15, 8, 10, 20, 10}, 0, 0, 0);
         AddSpeaker({2.5f, 4.2f, 3.1f});
         return true;
       },
       {14.3f, 9.6f, 1.21f}},
      {"fan hall + balcony",
       [] {
         AddFanHall();
         AddSpeaker({-1.0f, 1.5f, 2.5f});
         return true;
       },
       {14.0f, -3.0f, 4.6f}},
      {"INRIA MUSIS room",
       [] {
         if (!AddStlRoom(gStlPath)) return false;
         AddSpeaker({-1.5f, 1.5f, 1.4f});
         return true;
       },
       {-2.5f, 3.0f, 1.11f}},
  };
  for (const BenchRoom& room : rooms) {
    Reset();
    if (room.add()) CompareSearches(room.name, room.target, order);
    else std::printf("%s: not read (run from the source folder or name the file)\n", stl.c_str());
  }

  ReportGrowth(rooms);
  ReportMemory(26);
  TimePathSort(200000);
  if (!gAllSame) std::printf("\nThe fast searches differ from the reference.\n");
  return gAllSame ? 0 : 1;
}
