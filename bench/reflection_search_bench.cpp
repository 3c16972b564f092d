// Times Calculate Rays, the reflection-path search of one loudspeaker to one
// target, in three rooms: a 20 x 15 x 8 m shoebox of 6 faces, the same box
// tessellated into 1000 faces, and a real room of 24 triangles read from a
// binary STL file (tests/design/acoustics/data/INRIA_MUSIS.stl, see the
// NOTICE.md beside it). Prints per room the split of the orders between
// image sources and rays, the paths found, the seconds the search took and
// the paths per second, with the mean free path estimate as a check of what
// was computed.
//
// Usage: bench_reflection_search [maximum order, default 40 [threads,
// default 1 [STL file]]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
  for (uint32_t t = 0; t < count; ++t) {
    const uint8_t* p = bytes.data() + 84 + 50 * size_t(t) + 12;
    GraphicObject* o = CreateObject(0, 3, 4);
    for (uint32_t v = 0; v < 3; ++v)
      o->vertices[2 - v] = {LoadF32(p + 12 * v) / 1000, LoadF32(p + 12 * v + 4) / 1000, LoadF32(p + 12 * v + 8) / 1000};
    o->items[0] = {kOpStart, 0};
    o->items[1] = {kOpAttribute, 0};
    o->items[2] = {kOpLineTo, 1};
    o->items[3] = {kOpClose, 2};
    o->kind = kKindFace;
    o->layer = kRoomLayer;
    AppendObject(o);
  }
  return true;
}

void TimeSearch(const char* room, ObjectVertex target, int order, unsigned threads) {
  RaySearchState& state = gRaySearch;
  const DesignTables design = ProjectTables();
  if (!PrepareCalculateRays(state, design)) std::exit(1);
  const auto start = std::chrono::steady_clock::now();
  const uint32_t paths = CalculateRays(state, design, std::to_string(order), target, threads);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  const RaySearchOrders& orders = state.orders;
  char split[32];
  if (orders.TracesRays())
    std::snprintf(split, sizeof split, "1-%d + %d-%d", orders.imageOrder, orders.lowestTracedOrder, orders.maxOrder);
  else std::snprintf(split, sizeof split, "1-%d", orders.imageOrder);
  std::printf("%-22s %6d %-14s %8u %10.3f %12.0f %9.2f\n", room, state.tables.faces.Count(), split, paths,
              elapsed.count(), paths / elapsed.count(), state.meanFreePathEstimate);
}

void Reset() {
  ResetObjectStore();
  ClearSpeakerTypeTable(gSpeakerModel.types);
  ResetSpeakerModel();
  ResetRaySearch();
  SetBenchMaterial(0, "Absorber", kAlpha);
}

}  // namespace

int main(int argc, char** argv) {
  const int order = argc > 1 ? std::atoi(argv[1]) : kMaxSearchOrder;
  const unsigned threads = argc > 2 ? unsigned(std::atoi(argv[2])) : 1;
  const std::string stl = argc > 3 ? argv[3] : "tests/design/acoustics/data/INRIA_MUSIS.stl";
  std::printf("Reflection search to order %d, one loudspeaker, %u thread(s)\n", order, threads);
  std::printf("%-22s %6s %-14s %8s %10s %12s %9s\n", "room", "faces", "orders", "paths", "seconds", "paths/s", "mfp m");

  Reset();
  AddBenchBox({20, 15, 8}, 0, 0, 0);
  AddSpeaker({2.5f, 4.2f, 3.1f});
  TimeSearch("shoebox 20 x 15 x 8 m", {14.3f, 9.6f, 1.2f}, order, threads);

  Reset();
  AddBenchBox({20, 15, 8, 10, 20, 10}, 0, 0, 0);
  AddSpeaker({2.5f, 4.2f, 3.1f});
  TimeSearch("the same in 1000 faces", {14.3f, 9.6f, 1.2f}, order, threads);

  Reset();
  if (AddStlRoom(stl)) {
    AddSpeaker({-1.5f, 1.5f, 1.4f});
    TimeSearch("INRIA MUSIS room", {-2.5f, 3.0f, 1.1f}, order, threads);
  } else {
    std::printf("%s: not read (run from the source folder or name the file)\n", stl.c_str());
  }
  Reset();
  return 0;
}
