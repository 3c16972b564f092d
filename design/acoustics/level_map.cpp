#include "design/acoustics/level_map.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <memory>

#include "design/acoustics/calc_faces.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"

LevelMapState gLevelMap;

void ResetLevelMap() { gLevelMap = LevelMapState{}; }

namespace {
const StateReset kReset(ResetLevelMap);
}  // namespace

void ClearMapResult() {
  gLevelMap.result = MapResult{};
  gLevelMap.resultPresent = 0;
}

// ---- The audience faces ----

namespace {

// The index of the object's first start item, or its item count when it has
// none.
uint32_t FirstStartItem(const GraphicObject& object) {
  uint32_t i = 0;
  while (i < object.itemCount && object.items[i].op != kOpStart) ++i;
  return i;
}

}  // namespace

FaceExtents MappingFaceExtents(const GraphicObject& object) {
  FaceExtents e;
  for (uint32_t i = 0; i < object.vertexCount; ++i) {
    const ObjectVertex& v = object.vertices[i];
    if (v.x < e.minX) {
      e.minX = v.x;
      e.leastXVertex = i;
    }
    e.maxX = std::max(e.maxX, v.x);
    e.minY = std::min(e.minY, v.y);
    e.maxY = std::max(e.maxY, v.y);
    e.maxZ = std::max(e.maxZ, v.z);
  }
  return e;
}

int CompareMappingFaces(const MappingFace& a, const MappingFace& b) {
  if (a.maxZ < b.maxZ) return -1;
  if (a.maxZ > b.maxZ) return 1;
  return 0;
}

int BuildMappingFaces(MappingFaceTable& table, const ObjectList& model) {
  table.faces.clear();
  table.extent = PlanExtent{};
  PlanExtent& extent = table.extent;
  for (const GraphicObject* o = model.first; o; o = o->next) {
    if (o->layer != kAudienceLayer || table.faces.size() == size_t(kMaxMappingFaces)) continue;
    const Vec3d n = ComputeFaceAreaVector(*o, FirstStartItem(*o));
    if (!(std::fabs(n.z) >= kUprightFaceNz)) continue;
    const FaceExtents e = MappingFaceExtents(*o);
    MappingFace face;
    face.object = o;
    face.normal = ToVertex(n);
    face.planeConstant = float(Dot(ToVec3d(face.normal), ToVec3d(o->vertices[e.leastXVertex])));
    face.minX = e.minX;
    face.maxX = e.maxX;
    face.minY = e.minY;
    face.maxY = e.maxY;
    face.maxZ = e.maxZ;
    extent.minX = std::min(extent.minX, e.minX);
    extent.maxX = std::max(extent.maxX, e.maxX);
    extent.minY = std::min(extent.minY, e.minY);
    extent.maxY = std::max(extent.maxY, e.maxY);
    table.faces.push_back(face);
  }
  std::stable_sort(table.faces.begin(), table.faces.end(),
                   [](const MappingFace& a, const MappingFace& b) { return CompareMappingFaces(a, b) < 0; });
  return table.Count();
}

double AudiencePlanArea(const ObjectList& model) {
  double area = 0;
  for (const GraphicObject* o = model.first; o; o = o->next)
    if (o->layer == kAudienceLayer && o->kind == kKindFace && o->itemCount > 0 && o->items[0].op == kOpStart)
      area += std::fabs(ComputeFaceAreaVector(*o, 0).z) / 2;
  return area;
}

int PointInMappingFace(const GraphicObject& object, float x, float y) {
  constexpr uint32_t kPlan = 2;  // the projection that drops z
  return PointInPolygon(object, FirstStartItem(object), {x, y, 0}, kPlan);
}

// ---- The grid ----

void BandRanges::Reset() {
  minLevel.fill(1.0e20f);
  maxLevel.fill(kSilentLevel);
  minTime.fill(kNoArrivalMs);
  maxTime.fill(0.0f);
}

float ChooseGridSpacing(double area, int16_t& sizeIndex) {
  if (sizeIndex < 0) return float(std::sqrt(area / kMaxGridPoints) / 0.95);
  for (int k = sizeIndex; k < kGridSpacingCount; ++k) {
    const float s = GridSpacingTable[size_t(k)];
    if (float(area) / (s * s) < float(kMaxGridPoints)) {
      sizeIndex = int16_t(k);
      return s;
    }
  }
  ShowMessage("Insufficient memory for grid size. Please select larger grid", nullptr, kMsgOk);
  return 0;
}

int BuildMapGrid(const ObjectList& model, MappingFaceTable& faces, int16_t& sizeIndex, MapGrid& grid) {
  if (BuildMappingFaces(faces, model) == 0) return 0;
  const float s = ChooseGridSpacing(AudiencePlanArea(model), sizeIndex);
  // No area gives no automatic spacing; a grid loop must always advance.
  if (!(s > 0 && std::isfinite(s))) return 0;

  WaitCursorScope wait;
  grid.spacing = s;
  grid.points.clear();
  grid.points.reserve(kMaxGridPoints);
  const float half = grid.HalfSpacing();
  for (size_t k = 0; k < faces.faces.size(); ++k) {
    const MappingFace& face = faces.faces[k];
    for (uint32_t j = 0;; ++j) {
      const float y = face.minY + half + float(j) * s;
      if (!(y < face.maxY - kGridEdgeMargin)) break;
      for (uint32_t i = 0;; ++i) {
        const float x = face.minX + half + float(i) * s;
        if (!(x < face.maxX - kGridEdgeMargin)) break;
        if (!PointInMappingFace(*face.object, x, y)) continue;
        GridPoint& p = grid.points.emplace_back();
        p.x = x;
        p.y = y;
        p.z = face.PlaneZ(x, y);
        p.face = uint16_t(k);
        if (grid.PointCount() == kMaxGridPoints) return 1;
      }
    }
  }
  return 1;
}

// ---- Room terms ----

namespace {

constexpr double kFourPi = 12.566370616;
constexpr double kQFloor = 0.1;  // below this a directivity factor counts as 1
constexpr double kReverberantFactor = 4 * 1.047;

double Db(double energy) { return 10 * std::log10(energy); }

}  // namespace

BandValues SumSpeakerAcousticPower(const DesignTables& design) {
  BandValues power{};
  for (GraphicObject* o = design.model->first; o; o = o->next) {
    Loudspeaker speaker;
    if (!ReadLoudspeaker(o, speaker) || !(speaker.on & 1)) continue;
    const SpeakerType* type = design.types->At(speaker.typeIndex);
    if (!type) continue;
    for (int b = 0; b < kBandCount; ++b) {
      double q = type->DirectivityQ10(b) / 10.0;
      if (q < kQFloor) q = 1;
      power[size_t(b)] += speaker.intensity[size_t(b)] * kFourPi / (q + 1e-6);
    }
  }
  return power;
}

BandValues ReverberantEnergy(const BandValues& power, const RoomResults& room) {
  BandValues r;
  for (size_t b = 0; b < kBandCount; ++b) {
    const double absorption = kSabineConstant * room.volume / room.rt60[b];  // A_b of the time, m^2
    r[b] = room.volume <= kSmallestRoom ? 1.0 : power[b] * kReverberantFactor / absorption;
  }
  return r;
}

ReverberantTerms ComputeReverberantTerms(const DesignTables& design, const ReverbSettings& settings) {
  ReverberantTerms terms;
  terms.acousticPower = SumSpeakerAcousticPower(design);
  terms.room = ComputeRoomResults(settings, design);
  terms.reverberant = ReverberantEnergy(terms.acousticPower, terms.room);
  return terms;
}

// ---- Per-point values ----

double TotalLevelBand(const ReverberantTerms& terms, int band, double x) {
  return Db(x + terms.reverberant[size_t(band)] + 1e-12);
}

double TotalLevelAll(const ReverberantTerms& terms, PointLevels levels) {
  double sum = 0;
  for (size_t b = 0; b < kBandCount; ++b) sum += double(levels[b]) + terms.reverberant[b];
  return Db(sum + 1e-12);
}

double DirectToReverbBand(const ReverberantTerms& terms, int band, double x) {
  return Db(x / (terms.reverberant[size_t(band)] + 1.0));
}

double DirectToReverbAll(const ReverberantTerms& terms, PointLevels levels) {
  double sum = 0;
  for (size_t b = 0; b < kBandCount; ++b) sum += BandSpeechWeights[b] * levels[b] / (terms.reverberant[b] + 1.0);
  return Db(sum + 1e-12);
}

double DirectLevelAll(PointLevels levels) {
  double sum = 0;
  for (float x : levels) sum += x;
  return Db(sum + 0.001);
}

double EarliestTime(const std::array<float, kBandCount>& times) {
  double earliest = 1.0e6;
  for (float t : times) earliest = std::min(earliest, double(t));
  return earliest;
}

// ---- The calculation ----

ReceiverOptions ReceiverOptionsOf(const CalcOptions& options) {
  ReceiverOptions engine;
  engine.shading = options.roomBits & kCalcShading;
  engine.firstReflections = options.roomBits & kCalcFirstReflection;
  const int16_t mode = options.phaseMode;
  if (mode >= int16_t(PhaseRelations::kEnergy) && mode <= int16_t(PhaseRelations::kSingleFrequency))
    engine.phase = PhaseRelations(mode);
  return engine;
}

int ReportMapProgress(MapProgress& progress, uint32_t i, uint32_t count) {
  const uint32_t now = ServiceTickCount();
  if (!(now - progress.lastUpdate > kProgressInterval)) return 0;
  progress.lastUpdate = now;
  const double percent = i * 100.0 / count;
  char text[32];
  char* end = std::to_chars(text, text + sizeof text - 3, percent, std::chars_format::fixed, 1).ptr;
  *end++ = ' ';
  *end++ = '%';
  *end = '\0';
  return ReportProgress(int(percent), text);
}

namespace {

// Takes the engine's band results of one point into the point.
void StorePointBands(const ReceiverContext& context, GridPoint& point) {
  for (size_t b = 0; b < kBandCount; ++b) {
    const BandEchogram& band = context.bands[b];
    const float r = band.bandResult;
    point.level[b] = r >= kSilentLevel ? r : kSilentLevel;
    point.time[b] = r > kSilentLevel ? band.firstArrival * 1000.0f : kNoArrivalMs;
  }
}

// Widens the ranges by a stored point: every level, and the level and time
// of every band where something arrived.
void WidenBandRanges(const GridPoint& point, BandRanges& ranges) {
  for (size_t b = 0; b < kBandCount; ++b) {
    const float level = point.level[b], time = point.time[b];
    if (level <= ranges.minLevel[b]) ranges.minLevel[b] = level;
    if (!(level > kSilentLevel)) continue;
    if (level >= ranges.maxLevel[b]) ranges.maxLevel[b] = level;
    if (time >= ranges.maxTime[b]) ranges.maxTime[b] = time;
    if (time <= ranges.minTime[b]) ranges.minTime[b] = time;
  }
}

// Points a worker takes at a time, and how often the calling thread shows
// the progress of the workers.
constexpr uint32_t kPointsPerItem = 16;
constexpr std::chrono::milliseconds kMapProgressPoll{20};

// Runs the engine at points first .. end - 1 and stores its bands there, in
// blocks of at most kPointsPerItem points of one row (with a face index the
// engine then tests at each point only the faces that may reflect to some
// point of its block), calling stop(i) after point i. True when a stop()
// did.
template <typename Stop>
bool CalculatePointRun(ReceiverContext& context, std::vector<GridPoint>& points, uint32_t first, uint32_t end,
                       Stop&& stop) {
  bool stopped = false;
  for (uint32_t block = first; block < end && !stopped;) {
    const GridPoint& start = points[block];
    const uint32_t limit = std::min(end, block + kPointsPerItem);
    uint32_t blockEnd = block + 1;
    while (blockEnd < limit && points[blockEnd].y == start.y && points[blockEnd].face == start.face) ++blockEnd;
    Vec3d low{start.x, start.y, start.z}, high = low;
    for (uint32_t i = block + 1; i < blockEnd; ++i) {
      const GridPoint& p = points[i];
      low = {std::min(low.x, double(p.x)), std::min(low.y, double(p.y)), std::min(low.z, double(p.z))};
      high = {std::max(high.x, double(p.x)), std::max(high.y, double(p.y)), std::max(high.z, double(p.z))};
    }
    SetReceiverBlock(context, low, high);
    for (uint32_t i = block; i < blockEnd && !stopped; ++i) {
      GridPoint& point = points[i];
      CalcPointEchogram(context, {point.x, point.y, point.z});
      StorePointBands(context, point);
      stopped = stop(i);
    }
    block = blockEnd;
  }
  ClearReceiverBlock(context);
  return stopped;
}

// Runs the engine at every point and stores its bands there: with
// `context` on the calling thread, or on up to `threads` workers, the
// first with `context` and each other with a context of its own over the
// same tables. The calling thread shows the progress. True when Cancel was
// pressed.
bool CalculateMapPoints(ReceiverContext& context, std::vector<GridPoint>& points, unsigned threads) {
  MapProgress progress{ServiceTickCount()};
  const uint32_t count = uint32_t(points.size());

  const uint32_t items = (count + kPointsPerItem - 1) / kPointsPerItem;
  const unsigned workers = std::min(threads, items);
  if (workers > 1) {
    std::vector<std::unique_ptr<ReceiverContext>> contexts;
    for (unsigned w = 1; w < workers; ++w) {
      ReceiverContext& own = *contexts.emplace_back(std::make_unique<ReceiverContext>());
      own.speakers = context.speakers;
      own.faces = context.faces;
      own.index = context.index;
      own.materials = context.materials;
      own.options = context.options;
      own.onePhase = context.onePhase;
    }
    std::atomic<uint32_t> done{0};
    bool cancelled = false;
    const bool ran = RunOnWorkers(
        items, workers, kMapProgressPoll,
        [&](unsigned worker, uint32_t item) {
          ReceiverContext& engine = worker == 0 ? context : *contexts[worker - 1];
          const uint32_t first = item * kPointsPerItem, end = std::min(count, first + kPointsPerItem);
          CalculatePointRun(engine, points, first, end, [](uint32_t) { return false; });
          done.fetch_add(end - first, std::memory_order_relaxed);
        },
        [] { return false; },
        [&] { return cancelled = ReportMapProgress(progress, done.load(std::memory_order_relaxed), count) != 0; });
    if (ran) return cancelled;
  }
  return CalculatePointRun(context, points, 0, count,
                           [&](uint32_t i) { return ReportMapProgress(progress, i, count) != 0; });
}

}  // namespace

LevelMapRun RunLevelTimeCalculation(CalcOptions& options, const DesignTables& design, CalcExecution execution,
                                    const std::function<void()>& beforeGrid) {
  if (CountObjectsOnLayer(*design.model, kLoudspeakerLayer) == 0) return LevelMapRun::kNoSpeakers;
  ReceiverEngineState& engine = gReceiverEngine;
  if (PrepareActiveSpeakers(engine.activeSpeakers, *design.model, *design.types) == 0) {
    ShowMessage("No speakers to process", nullptr, kMsgOk);
    return LevelMapRun::kNoActiveSpeakers;
  }
  if (beforeGrid) beforeGrid();

  // The new result is built aside: until the run ends, the last one stays.
  MapResult result;
  if (!BuildMapGrid(*design.model, result.faces, options.gridIndex, result.grid)) return LevelMapRun::kNoGrid;
  result.counts = engine.activeSpeakers.counts;

  CalcOptions run = options;
  if (BuildCalcFaceTable(gCalcFaceTable, *design.model, *design.materials) == 0) run.roomBits = 0;
  ReceiverContext& context = engine.context;
  context.speakers = &engine.activeSpeakers;
  context.faces = &gCalcFaceTable;
  context.materials = design.materials;
  context.options = ReceiverOptionsOf(run);
  context.onePhase = execution.onePhase;
  result.phaseMode = int16_t(context.options.phase);  // the mode computed
  engine.faceIndex.Clear();
  context.index = nullptr;
  if (execution.faceIndex && (context.options.shading || context.options.firstReflections)) {
    engine.faceIndex.Build(gCalcFaceTable);
    context.index = &engine.faceIndex;
  }

  BeginProgress("Calculation Status :", "0 %", "Cancel");
  const bool cancelled = CalculateMapPoints(context, result.grid.points, WorkerThreadCount(execution));
  EndProgress();

  if (cancelled) {
    ClearMapResult();
    return LevelMapRun::kCancelled;
  }
  for (const GridPoint& point : result.grid.points) WidenBandRanges(point, result.grid.ranges);
  gLevelMap.result = std::move(result);
  gLevelMap.resultPresent = 1;
  return LevelMapRun::kDone;
}
