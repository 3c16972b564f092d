#include "design/acoustics/ray_paths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "framework/core/byte_codec.h"
#include "framework/core/services.h"
#include "framework/model/layers.h"

// ---- The path record ----

void AppendPathRecord(std::vector<uint8_t>& bytes, const PathRecord& record) {
  const size_t start = bytes.size();
  bytes.resize(start + PathRecordSize(record.reflections));
  StorePathRecord(bytes.data() + start, record);
}

void StorePathRecord(uint8_t* p, const PathRecord& record) {
  StoreI16(p, record.reflections);
  StoreF32(p + 2, record.target.x);
  StoreF32(p + 6, record.target.y);
  StoreF32(p + 10, record.target.z);
  p += kPathRecordHeadSize;
  for (int k = 0; k < record.NodeCount(); ++k, p += kPathNodeSize) {
    const PathNode& node = record.nodes[size_t(k)];
    StoreU16(p, node.tag);
    StoreF32(p + 2, node.point.x);
    StoreF32(p + 6, node.point.y);
    StoreF32(p + 10, node.point.z);
  }
}

bool ReadPathRecord(std::span<const uint8_t> bytes, size_t& offset, PathRecord& record) {
  if (!InBounds(bytes.size(), offset, kPathRecordHeadSize)) return false;
  const uint8_t* p = bytes.data() + offset;
  const int16_t reflections = LoadI16(p);
  if (reflections < 0 || reflections > kMaxPathReflections) return false;
  const size_t size = PathRecordSize(reflections);
  if (!InBounds(bytes.size(), offset, size)) return false;
  record.reflections = reflections;
  record.target = {LoadF32(p + 2), LoadF32(p + 6), LoadF32(p + 10)};
  p += kPathRecordHeadSize;
  for (int k = 0; k < record.NodeCount(); ++k, p += kPathNodeSize)
    record.nodes[size_t(k)] = {LoadU16(p), {LoadF32(p + 2), LoadF32(p + 6), LoadF32(p + 10)}};
  offset += size;
  return true;
}

// ---- RayPath objects ----

GraphicObject* CreateRayPath(const PathRecord& record) {
  const uint32_t nodes = uint32_t(record.NodeCount());
  GraphicObject* path = CreateObject(uint32_t(RayPathDataSize(record.reflections)), nodes, nodes);
  if (!path) return nullptr;
  path->kind = kRayPathKind;
  path->layer = kRayPathLayer;
  path->colour = uint32_t(std::max(25 - int(nodes), 0));
  for (uint32_t k = 0; k < nodes; ++k) {
    path->vertices[k] = record.nodes[k].point;
    path->items[k] = {k == 0 ? kOpStart : kOpLineTo, uint16_t(k)};
    StoreU16(path->data + kRayPathTags + 2 * k, record.nodes[k].tag);
  }
  StoreU16(path->data + kRayPathReflections, uint16_t(record.reflections));
  return path;
}

bool IsRayPath(const GraphicObject* object) { return object && object->layer == kRayPathLayer; }

int RayPathReflectionCount(const GraphicObject* object) {
  if (!IsRayPath(object) || !object->data || object->dataSize < kRayPathTags) return -1;
  const int reflections = LoadU16(object->data + kRayPathReflections);
  if (object->dataSize < RayPathDataSize(reflections) || object->vertexCount != uint32_t(reflections + 2)) return -1;
  return reflections;
}

float RayPathTime(const GraphicObject* path) { return LoadF32(path->data + kRayPathTime); }
void SetRayPathTime(GraphicObject* path, float ms) { StoreF32(path->data + kRayPathTime, ms); }
float RayPathLevel(const GraphicObject* path, int band) {
  return LoadF32(path->data + kRayPathLevels + 4 * size_t(band));
}
void SetRayPathLevel(GraphicObject* path, int band, float level) {
  StoreF32(path->data + kRayPathLevels + 4 * size_t(band), level);
}
uint16_t RayPathTag(const GraphicObject* path, int node) {
  return LoadU16(path->data + kRayPathTags + 2 * size_t(node));
}
void SetRayPathTag(GraphicObject* path, int node, uint16_t tag) {
  StoreU16(path->data + kRayPathTags + 2 * size_t(node), tag);
}

uint32_t LoadPathObjects(ObjectList& model, std::span<const uint8_t> records) {
  WaitCursorScope wait;
  uint32_t loaded = 0;
  size_t offset = 0;
  PathRecord record;
  while (ReadPathRecord(records, offset, record)) {
    GraphicObject* path = CreateRayPath(record);
    if (!path) {
      ShowMessage(kInsufficientMemoryMessage, nullptr, kMsgOk);
      break;
    }
    InsertObjectBeforeInList(path, model.first, model);
    ++loaded;
  }
  return loaded;
}

// ---- Linking ----

int PrepareRaySearchTables(RaySearchTables& tables, const DesignTables& design) {
  BuildCalcFaceTable(tables.faces, *design.model, *design.materials);
  SortCalcFaces(tables.faces);
  tables.index.Build(tables.faces);
  return PrepareActiveSpeakers(tables.speakers, *design.model, *design.types);
}

namespace {

double Distance2(Vec3d a, Vec3d b) { return Dot(a - b, a - b); }

// From this row on a path reads the row below and this one at half weight.
constexpr int kPathHalfRow = 35;
constexpr double kPolarOffset = 1e-6;

}  // namespace

int FindSourceSpeaker(const ObjectList& model, const ActiveSpeakerTable& speakers, ObjectVertex point) {
  const Vec3d at = ToVec3d(point);
  int nearest = kNoSourceSpeaker;
  double nearest2 = kSourceMatch2;
  for (int i = 0; i < speakers.Count(); ++i) {
    const double d2 = Distance2(SpeakerPosition(speakers.entries[size_t(i)]), at);
    if (d2 < nearest2) {
      nearest2 = d2;
      nearest = i;
    }
  }
  if (nearest != kNoSourceSpeaker) return nearest;
  for (GraphicObject* object = model.first; object; object = object->next) {
    Loudspeaker speaker;
    if (!ReadLoudspeaker(object, speaker)) continue;
    const Vec3d position{speaker.position[0], speaker.position[1], speaker.position[2]};
    if (Distance2(position, at) < kSourceMatch2) return kInactiveSourceSpeaker;
  }
  return kNoSourceSpeaker;
}

std::array<double, kBandCount> PathDirectivity(const ActiveSpeaker& speaker, ObjectVertex point) {
  const Vec3d local = TurnIntoSpeakerFrame(speaker, ToVec3d(point) - SpeakerPosition(speaker));
  const double off = std::sqrt(local.y * local.y + local.z * local.z);
  BalloonPosition at;
  LocateBalloonRow(std::fabs(std::atan2(off, local.x + kPolarOffset)) * kBalloonStepsPerRadian, at, kPathHalfRow);
  LocateBalloonColumn(local.y, local.z, at);
  std::array<double, kBandCount> factors;
  for (int b = 0; b < kBandCount; ++b)
    factors[size_t(b)] = speaker.bandMask & (1u << b) ? InterpolateBalloon(*speaker.type, b, at) : 1.0;
  return factors;
}

namespace {

// The reflections summed over all linked paths: per band the absorption
// coefficients met, and how many reflections there were.
struct AbsorptionSums {
  std::array<double, kBandCount> alpha{};
  double reflections = 0;
};

bool FacesNamed(const GraphicObject* path, int reflections, int faceCount) {
  for (int k = 1; k <= reflections; ++k)
    if (RayPathTag(path, k) >= faceCount) return false;
  return true;
}

double PathLength(const GraphicObject* path) {
  double length = 0;
  for (uint32_t k = 1; k < path->vertexCount; ++k)
    length += std::sqrt(Distance2(ToVec3d(path->vertices[k]), ToVec3d(path->vertices[k - 1])));
  return length;
}

// Gives a path whose source and faces were found its loudspeaker, time and
// band levels, and adds its reflections to `sums`.
void LinkPath(GraphicObject* path, int reflections, int source, const RaySearchTables& tables,
              const MaterialTable& materials, AbsorptionSums& sums) {
  const ActiveSpeaker& speaker = tables.speakers.entries[size_t(source)];
  SetRayPathTag(path, 0, uint16_t(source));
  const double length = PathLength(path);
  SetRayPathTime(path, float(speaker.speaker.delay + 1000.0 * length / kSpeedOfSound));
  const double spread = 1.0 / std::max(length * length, kNearField * kNearField);
  const std::array<double, kBandCount> directivity = PathDirectivity(speaker, path->vertices[1]);
  for (int b = 0; b < kBandCount; ++b) {
    double e = speaker.speaker.intensity[size_t(b)] * std::pow(AirTransmissionTable[size_t(b)], length) * spread;
    for (int k = 1; k <= reflections; ++k) {
      const CalcFace& face = tables.faces.faces[RayPathTag(path, k)];
      const double alpha = ClampedAbsorption(materials.records[size_t(CalcFaceMaterialIndex(face, materials))], b);
      e *= 1.0 - alpha;
      sums.alpha[size_t(b)] += alpha;
      if (b == 0) sums.reflections += 1;
    }
    const double level = std::fabs(directivity[size_t(b)] * e);
    SetRayPathLevel(path, b, level > 1.0 ? float(level) : 1.0f);
  }
}

void FillRoomFigures(const AbsorptionSums& sums, double meanFreePathEstimate, RayResults& results) {
  if (!(meanFreePathEstimate > kLeastMeanFreePath)) {
    results.meanFreePath = float(kLeastMeanFreePath);
    results.reflectionRate = float(kSpeedOfSound / kLeastMeanFreePath);
    ShowMessage("Can\xB4t calculate mean free path", "Info :", kMsgOk);
    return;
  }
  const double mfp = meanFreePathEstimate;
  results.meanFreePath = float(mfp);
  results.reflectionRate = float(kSpeedOfSound / mfp);
  double absorptionSum = 0, timeSum = 0;
  for (int b = 0; b < kBandCount; ++b) {
    const double mean = sums.alpha[size_t(b)] / sums.reflections;  // NaN without reflections
    const double a = !(mean >= kLeastMeanAbsorption) ? kLeastMeanAbsorption : std::min(mean, kMostMeanAbsorption);
    const double rt = 6.0 * std::log(10.0) / -std::log(1.0 - a) * mfp * std::pow(AirTransmissionTable[size_t(b)], mfp) /
                      kSpeedOfSound;
    results.meanAbsorption[size_t(b)] = float(a);
    results.reverberationTime[size_t(b)] = float(rt);
    absorptionSum += a;
    timeSum += rt;
  }
  results.meanAbsorption[kBandCount] = float(absorptionSum / kBandCount);
  results.reverberationTime[kBandCount] = float(timeSum / kBandCount);
}

}  // namespace

LinkOutcome LinkPathsToSpeakers(RaySearchTables& tables, const DesignTables& design, double meanFreePathEstimate,
                                RayResults& results) {
  ObjectList& model = *design.model;
  WaitCursorScope wait;
  PrepareRaySearchTables(tables, design);
  results = RayResults{};
  LinkOutcome outcome;
  AbsorptionSums sums;
  for (GraphicObject* object = model.first; object;) {
    GraphicObject* next = object->next;
    if (IsRayPath(object)) {
      const int reflections = RayPathReflectionCount(object);
      const int source =
          reflections < 0 ? kNoSourceSpeaker : FindSourceSpeaker(model, tables.speakers, object->vertices[0]);
      if (source == kInactiveSourceSpeaker) {
        FreeObjectInList(object, model);
      } else if (source == kNoSourceSpeaker || !FacesNamed(object, reflections, tables.faces.Count())) {
        ++outcome.unassigned;
        FreeObjectInList(object, model);
      } else {
        LinkPath(object, reflections, source, tables, *design.materials, sums);
        ++outcome.paths;
      }
    }
    object = next;
  }
  FillRoomFigures(sums, meanFreePathEstimate, results);

  if (outcome.paths > 0 && outcome.unassigned > 0) {
    char text[64];
    std::snprintf(text, sizeof text, "%d paths left unassigned", int(outcome.unassigned));
    ShowMessage(text, "Information :", kMsgOk);
  } else if (outcome.paths == 0) {
    ShowMessage("No valid paths found, operation cancelled", nullptr, kMsgOk);
  }
  return outcome;
}

std::string SortingStatusText(int32_t count) {
  char text[64];
  std::snprintf(text, sizeof text, "Sorting %ld paths by time", long(count));
  return text;
}

void SortPathsByTime(ObjectList& model) {
  WaitCursorScope wait;
  struct Timed {
    float time;
    GraphicObject* path;
  };
  std::vector<Timed> paths;
  for (GraphicObject* object = model.first; object; object = object->next) {
    if (RayPathReflectionCount(object) < 0) continue;
    const float time = RayPathTime(object);
    paths.push_back({std::isnan(time) ? std::numeric_limits<float>::infinity() : time, object});
  }
  std::stable_sort(paths.begin(), paths.end(), [](const Timed& a, const Timed& b) { return a.time < b.time; });
  for (const Timed& entry : paths) UnlinkObjectFromList(entry.path, model);
  GraphicObject* rest = model.first;
  for (const Timed& entry : paths) InsertObjectBeforeInList(entry.path, rest, model);
}
