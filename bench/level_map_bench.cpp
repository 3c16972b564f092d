// Times full level maps, the reference run (the calling thread, every face
// tested, a sine and cosine per band) beside the fast run on one thread and
// on a worker per core (the face index, one phase per arrival), checks that
// the maps agree (bit for bit, but for levels one unit in the last place of
// their dB values apart; the fast runs bit for bit with each other) and
// prints the ratios of their times. The rooms: a 40 x 25 x 14 m hall whose six sides are tessellated
// into 150, 486 or 864 faces, with ten directional loudspeakers along the
// front and one audience plane over the floor, with first reflections
// without and with shading; and a fan-shaped hall with a balcony, whose
// faces lie in many planes. Then what asking a plane group and testing a
// face cost, how the fast map grows with the points, the faces and the
// loudspeakers, and the memory of the face index and the worker contexts of
// a fast map over a room of nearly 16000 faces.
//
// Usage: bench_level_map [grid size index, -1 automatic (default) .. 7]
#include <sys/resource.h>

#include <bit>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "bench/bench_rooms.h"
#include "design/acoustics/level_map.h"
#include "design/model/loudspeaker.h"
#include "design/model/materials.h"
#include "framework/model/layers.h"

namespace {

constexpr float kLength = 40, kWidth = 25, kHeight = 14;
constexpr double kPi = 3.141592654;

// Per band 125 Hz .. 8 kHz: the drop of the balloon at 90 degrees off axis
// (dB, the pattern narrows with frequency) and the directivity factor x 10.
constexpr double kOffAxisDrop[kBandCount] = {3, 4, 6, 9, 12, 15, 18};
constexpr int16_t kDirectivityQ10[kBandCount] = {15, 25, 40, 70, 100, 130, 160};

// Absorption of the floor, the walls and the ceiling per band.
constexpr float kFloorAlpha[kBandCount] = {0.15f, 0.11f, 0.10f, 0.07f, 0.06f, 0.07f, 0.07f};
constexpr float kWallAlpha[kBandCount] = {0.02f, 0.02f, 0.03f, 0.03f, 0.04f, 0.05f, 0.05f};
constexpr float kCeilingAlpha[kBandCount] = {0.29f, 0.10f, 0.05f, 0.04f, 0.07f, 0.09f, 0.09f};

void SetMaterials() {
  SetBenchMaterial(0, "Floor", kFloorAlpha);
  SetBenchMaterial(1, "Wall", kWallAlpha);
  SetBenchMaterial(2, "Ceiling", kCeilingAlpha);
}

// The box hall tessellated t x t per side, and its audience plane 1.2 m up.
void AddHall(int planTiles, int wallTiles, int heightTiles) {
  AddBenchBox({kLength, kWidth, kHeight, planTiles, wallTiles, heightTiles}, 0, 2, 1);
  AddBenchFaces({{{3, 1, 1.2f}, {39, 1, 1.2f}, {39, 24, 1.2f}, {3, 24, 1.2f}}}, 0, kAudienceLayer);
}

// A horn-loaded box: 98 dB at 1 W / 1 m, 200 W, a pattern wider across
// (about the local y axis) than up and down, narrowing with frequency.
void AddSpeakerType() {
  SpeakerTypeTable& types = gSpeakerModel.types;
  types.types[0] = AllocSpeakerType();
  types.count = 1;
  SpeakerType& type = *types.types[0];
  for (int b = 0; b < kBandCount; ++b) {
    type.SetSensitivity(b, 98);
    type.SetRatedPower(b, 200);
    type.SetDirectivityQ10(b, kDirectivityQ10[b]);
    std::span<uint8_t, kBalloonBandSize> balloon = type.BalloonBand(b);
    for (int row = 0; row < kBalloonRows; ++row) {
      const double polar = row * 5 * kPi / 180;
      for (int column = 0; column < kBalloonColumns; ++column) {
        const double azimuth = column * 5 * kPi / 180;
        const double spread = 0.6 * std::cos(azimuth) * std::cos(azimuth) + 1.4 * std::sin(azimuth) * std::sin(azimuth);
        const double db = -kOffAxisDrop[b] * spread * (1 - std::cos(polar));
        balloon[size_t(row * kBalloonColumns + column)] = DbToAttenuationCode(db);
      }
    }
  }
}

// Ten loudspeakers in a row across at x = 1 m, `height` up, from `y0` at
// `step`, toed in towards y = `middle` and tilted down.
void AddSpeakers(float height, float y0, float step, float middle) {
  for (int i = 0; i < 10; ++i) {
    Loudspeaker s;
    s.position = {1.0f, y0 + step * float(i), height};
    s.horizontal = float((middle - s.position[1]) * 0.02);
    s.vertical = -0.3f;
    s.delay = float(i % 3);
    UpdateSpeakerBandPower(s, *gSpeakerModel.types.At(0));
    GraphicObject* o = CreateObject(kLoudspeakerSize, 0, 0);
    o->layer = kLoudspeakerLayer;
    WriteLoudspeaker(s, o);
    AppendObject(o);
  }
}

void NewDesign() {
  ResetObjectStore();
  ResetSpeakerModel();
  ResetLevelMap();
  ResetReceiverEngine();
  AddSpeakerType();
  SetMaterials();
}

// A map and the seconds it took.
struct TimedMap {
  MapResult result;
  double seconds = 0;
};

TimedMap RunMap(int16_t gridSize, uint16_t roomBits, CalcExecution execution) {
  CalcOptions options;
  options.gridIndex = gridSize;
  options.roomBits = roomBits;
  const auto start = std::chrono::steady_clock::now();
  if (RunLevelTimeCalculation(options, ProjectTables(), execution) != LevelMapRun::kDone) {
    std::fprintf(stderr, "the map did not run\n");
    std::exit(1);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {gLevelMap.result, elapsed.count()};
}

template <size_t N>
bool SameBits(const std::array<float, N>& a, const std::array<float, N>& b) {
  for (size_t i = 0; i < N; ++i)
    if (std::bit_cast<uint32_t>(a[i]) != std::bit_cast<uint32_t>(b[i])) return false;
  return true;
}

// The units in the last place between the dB values of two levels, as
// floats.
uint32_t DbUlps(float a, float b) {
  auto ordered = [](float level) {
    const int32_t bits = std::bit_cast<int32_t>(float(10 * std::log10(double(level))));
    return bits < 0 ? int64_t(INT32_MIN) - bits : int64_t(bits);
  };
  return uint32_t(std::min<int64_t>(std::llabs(ordered(a) - ordered(b)), UINT32_MAX));
}

// How two maps compare: whether their points, times and faces are the same
// bit for bit, and how many levels (of points and ranges) differ, by at most
// how many units in the last place of their dB values.
struct MapComparison {
  bool same = true;
  uint32_t levelsApart = 0, mostUlps = 0;
  void Levels(const std::array<float, kBandCount>& a, const std::array<float, kBandCount>& b) {
    for (size_t i = 0; i < kBandCount; ++i) {
      if (std::bit_cast<uint32_t>(a[i]) == std::bit_cast<uint32_t>(b[i])) continue;
      ++levelsApart;
      mostUlps = std::max(mostUlps, DbUlps(a[i], b[i]));
    }
  }
  // Identical, or apart by no more than a unit in the last place of a dB value.
  bool Close() const { return same && mostUlps <= 1; }
};

MapComparison CompareMaps(const MapResult& a, const MapResult& b) {
  MapComparison comparison;
  const BandRanges &ra = a.grid.ranges, &rb = b.grid.ranges;
  comparison.same = SameBits(ra.minTime, rb.minTime) && SameBits(ra.maxTime, rb.maxTime) &&
                    a.grid.points.size() == b.grid.points.size();
  comparison.Levels(ra.minLevel, rb.minLevel);
  comparison.Levels(ra.maxLevel, rb.maxLevel);
  for (size_t i = 0; comparison.same && i < a.grid.points.size(); ++i) {
    const GridPoint &p = a.grid.points[i], &q = b.grid.points[i];
    comparison.same = SameBits(std::array<float, 3>{p.x, p.y, p.z}, std::array<float, 3>{q.x, q.y, q.z}) &&
                      SameBits(p.time, q.time) && p.face == q.face;
    comparison.Levels(p.level, q.level);
  }
  return comparison;
}

bool gAllSame = true;

void TimeMaps(const char* room, int faces, int16_t gridSize, uint16_t roomBits) {
  const TimedMap reference = RunMap(gridSize, roomBits, kReferenceExecution);
  const TimedMap single = RunMap(gridSize, roomBits, CalcExecution{1});
  const TimedMap fast = RunMap(gridSize, roomBits, CalcExecution{});
  const MapComparison comparison = CompareMaps(reference.result, fast.result);
  const MapComparison threads = CompareMaps(single.result, fast.result);
  const bool close = comparison.Close() && threads.same && threads.levelsApart == 0;
  gAllSame = gAllSame && close;
  char result[32];
  if (!close) std::snprintf(result, sizeof result, "DIFFERENT");
  else if (comparison.levelsApart == 0) std::snprintf(result, sizeof result, "identical");
  else std::snprintf(result, sizeof result, "%u at 1 ulp", comparison.levelsApart);
  const BandRanges& ranges = fast.result.grid.ranges;
  std::printf("%-14s %6d %7u %-9s %9.3f %9.3f %9.3f %7.1f %7.1f %-14s %6.1f .. %5.1f\n", room, faces,
              fast.result.grid.PointCount(), roomBits & kCalcShading ? "shading" : "no", reference.seconds,
              single.seconds, fast.seconds, reference.seconds / single.seconds, reference.seconds / fast.seconds,
              result, 10 * std::log10(ranges.minLevel[3]), 10 * std::log10(ranges.maxLevel[3]));
}

// What asking the plane groups and testing a face exactly cost, measured
// over the faces of the fan-shaped hall from receivers over its audience:
// the figures behind the face index's cost model (FaceIndex::kGroupCost).
void ReportIndexCosts() {
  NewDesign();
  AddFanHall();
  AddSpeakers(9.0f, -6.0f, 1.4f, 0.0f);
  CalcFaceTable faces;
  BuildCalcFaceTable(faces, gObjects.model, gMaterials.project);
  FaceIndex index;
  index.Build(faces);
  ActiveSpeakerTable speakers;
  PrepareActiveSpeakers(speakers, gObjects.model, gSpeakerModel.types);
  auto context = std::make_unique<ReceiverContext>();
  context->speakers = &speakers;
  context->faces = &faces;
  context->materials = &gMaterials.project;
  context->options = ReceiverOptionsOf({.roomBits = kCalcFirstReflection});
  std::mt19937 random(3);
  std::uniform_real_distribution<double> x(1, 30), y(-7, 7), z(1.5, 4);
  std::vector<Vec3d> points(2000);
  for (Vec3d& p : points) p = {x(random), y(random), z(random)};

  std::vector<uint32_t> named;
  size_t reflecting = 0;
  auto start = std::chrono::steady_clock::now();
  for (const Vec3d& p : points)
    for (const ActiveSpeaker& speaker : speakers.entries) {
      index.CollectReflectingFaces(p, SpeakerPosition(speaker), ReflectingSide::kEither, kOpenReflectionPathLimit,
                                   named);
      reflecting += named.size();
    }
  const std::chrono::duration<double> groups = std::chrono::steady_clock::now() - start;
  start = std::chrono::steady_clock::now();
  for (const Vec3d& p : points)
    for (const ActiveSpeaker& speaker : speakers.entries) {
      context->current = &speaker;
      for (const CalcFace& face : faces.faces) {
        Vec3d image;
        reflecting += size_t(MirrorReceiverInFace(*context, p, face, image));
      }
    }
  const std::chrono::duration<double> tests = std::chrono::steady_clock::now() - start;
  const double asks = double(points.size() * speakers.entries.size());
  const double perGroup = groups.count() / (asks * double(index.GroupCount())) * 1e9;
  const double perFace = tests.count() / (asks * double(faces.faces.size())) * 1e9;
  std::printf(
      "\nCosts in the fan-shaped hall (%d faces in %zu plane groups; %zu named or reflecting): asking a plane group "
      "%.1f ns, an exact face test %.1f ns: a group costs %.2f face tests (the index takes %.2f)\n",
      faces.Count(), index.GroupCount(), reflecting, perGroup, perFace, perGroup / perFace, FaceIndex::kGroupCost);
}

// How the fast map's time grows with the points, the faces and the
// loudspeakers, with first reflections and shading, on one thread and on
// all: the hall tessellated t x t per side.
void ReportGrowth() {
  std::printf("\nGrowth of the fast map with shading, the hall 40 x 25 x 14 m\n");
  std::printf("%-12s %6s %8s %7s %9s %9s\n", "grows", "faces", "speakers", "points", "1 thread", "fast");
  const uint16_t bits = kCalcShading | kCalcFirstReflection;
  auto row = [bits](const char* what, int tiles, int speakerRows, int16_t gridSize) {
    NewDesign();
    AddHall(tiles, tiles, tiles);
    for (int r = 0; r < speakerRows; ++r) AddSpeakers(8.0f - 1.5f * float(r), 2.5f + 0.5f * float(r), 2.2f, 12.5f);
    const TimedMap single = RunMap(gridSize, bits, CalcExecution{1});
    const TimedMap fast = RunMap(gridSize, bits, CalcExecution{});
    std::printf("%-12s %6d %8d %7u %9.3f %9.3f\n", what, gCalcFaceTable.Count(), gReceiverEngine.activeSpeakers.Count(),
                fast.result.grid.PointCount(), single.seconds, fast.seconds);
  };
  for (int16_t grid : {int16_t(3), int16_t(2), int16_t(1), int16_t(0), kAutomaticGridSize}) row("points", 12, 1, grid);
  for (int tiles : {5, 24, 48}) row("faces", tiles, 1, kAutomaticGridSize);
  for (int rows : {2, 4}) row("speakers", 12, rows, kAutomaticGridSize);
}

// The memory of a fast map over a box of nearly 16000 faces: the index,
// and as many worker contexts as the run has threads, each as large as the
// program's context, which the first worker used, grew to.
void ReportMemory(int16_t gridSize) {
  NewDesign();
  AddHall(60, 80, 27);
  AddSpeakers(8.0f, 2.5f, 2.2f, 12.5f);
  const TimedMap fast = RunMap(gridSize, kCalcShading | kCalcFirstReflection, CalcExecution{});
  const size_t indexBytes = gReceiverEngine.faceIndex.MemoryBytes();
  const unsigned threads = WorkerThreadCount({});
  const size_t contextBytes = gReceiverEngine.context.MemoryBytes();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "\nMemory over %d faces, %u points, %u threads, %.3f s: index %.2f MB, %u contexts of %.2f MB, "
      "together %.2f MB (process peak %.1f MB)\n",
      gCalcFaceTable.Count(), fast.result.grid.PointCount(), threads, fast.seconds, indexBytes / 1048576.0, threads,
      contextBytes / 1048576.0, (indexBytes + threads * contextBytes) / 1048576.0, usage.ru_maxrss / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const int16_t gridSize = argc > 1 ? int16_t(std::atoi(argv[1])) : kAutomaticGridSize;
  std::printf(
      "Level maps, ten loudspeakers, first reflections, grid size index %d; reference: one thread over "
      "every face; fast: %u threads with the face index\n",
      gridSize, WorkerThreadCount({}));
  std::printf("%-14s %6s %7s %-9s %9s %9s %9s %7s %7s %-14s %16s\n", "room", "faces", "points", "shading", "reference",
              "1 thread", "fast", "ratio 1", "ratio", "result", "1 kHz level dB");
  for (int t : {5, 9, 12}) {
    NewDesign();
    AddHall(t, t, t);
    AddSpeakers(8.0f, 2.5f, 2.2f, 12.5f);
    for (uint16_t bits : {kCalcFirstReflection, uint16_t(kCalcFirstReflection | kCalcShading)})
      TimeMaps("hall 40x25x14", 6 * t * t, gridSize, bits);
  }
  NewDesign();
  const int fanFaces = AddFanHall();
  AddSpeakers(9.0f, -6.0f, 1.4f, 0.0f);
  for (uint16_t bits : {kCalcFirstReflection, uint16_t(kCalcFirstReflection | kCalcShading)})
    TimeMaps("fan + balcony", fanFaces, gridSize, bits);

  ReportIndexCosts();
  ReportGrowth();
  ReportMemory(gridSize);
  ClearSpeakerTypeTable(gSpeakerModel.types);
  ResetObjectStore();
  if (!gAllSame) std::printf("\nThe fast maps differ from the reference by more than a unit in the last place.\n");
  return gAllSame ? 0 : 1;
}
