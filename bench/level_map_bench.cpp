// Times full level maps over a synthetic hall: a 40 x 25 x 14 m box whose
// six sides are tessellated into 150, 486 or 864 faces, ten directional
// loudspeakers along the front and one audience plane over the floor.
// Prints, per face count, the map without and with first reflections in
// points per second and in microseconds per point and room face, with the
// span of the 1 kHz level over the grid as a check of what was computed.
//
// Usage: bench_level_map [grid size index, -1 automatic (default) .. 7]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

void AddHall(int t) {
  SetBenchMaterial(0, "Floor", kFloorAlpha);
  SetBenchMaterial(1, "Wall", kWallAlpha);
  SetBenchMaterial(2, "Ceiling", kCeilingAlpha);
  AddBenchBox({kLength, kWidth, kHeight, t, t, t}, 0, 2, 1);

  // The audience plane over the floor, 1.2 m up.
  GraphicObject* audience = CreateObject(0, 4, 4);
  const ObjectVertex corners[4] = {{3, 1, 1.2f}, {39, 1, 1.2f}, {39, 24, 1.2f}, {3, 24, 1.2f}};
  for (uint16_t i = 0; i < 4; ++i) {
    audience->vertices[i] = corners[i];
    audience->items[i] = {uint16_t(i == 0 ? kOpStart : i == 3 ? kOpClose : kOpLineTo), i};
  }
  audience->kind = kKindFace;
  audience->layer = kAudienceLayer;
  AppendObject(audience);
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

void AddSpeakers() {
  for (int i = 0; i < 10; ++i) {
    Loudspeaker s;
    s.position = {1.0f, 2.5f + 2.2f * float(i), 8.0f};
    s.horizontal = float((12.5 - s.position[1]) * 0.02);  // toed in towards the middle
    s.vertical = -0.3f;
    s.delay = float(i % 3);
    UpdateSpeakerBandPower(s, *gSpeakerModel.types.At(0));
    GraphicObject* o = CreateObject(kLoudspeakerSize, 0, 0);
    o->layer = kLoudspeakerLayer;
    WriteLoudspeaker(s, o);
    AppendObject(o);
  }
}

struct Timing {
  double seconds = 0;
  uint32_t points = 0;
};

Timing TimeMap(int16_t gridSize, uint16_t roomBits) {
  CalcOptions options;
  options.gridIndex = gridSize;
  options.roomBits = roomBits;
  const auto start = std::chrono::steady_clock::now();
  if (RunLevelTimeCalculation(options, ProjectTables()) != LevelMapRun::kDone) {
    std::fprintf(stderr, "the map did not run\n");
    std::exit(1);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), gLevelMap.result.grid.PointCount()};
}

}  // namespace

int main(int argc, char** argv) {
  const int16_t gridSize = argc > 1 ? int16_t(std::atoi(argv[1])) : kAutomaticGridSize;
  std::printf("Level map of a %.0f x %.0f x %.0f m hall, 10 loudspeakers, grid size index %d\n", kLength, kWidth,
              kHeight, gridSize);
  std::printf("%6s %7s %-18s %9s %12s %16s %16s\n", "faces", "points", "map", "seconds", "points/s", "us/(point face)",
              "1 kHz level dB");
  for (int t : {5, 9, 12}) {
    ResetObjectStore();
    ResetSpeakerModel();
    ResetLevelMap();
    AddSpeakerType();
    AddHall(t);
    AddSpeakers();
    const int faces = 6 * t * t;
    for (uint16_t roomBits : {uint16_t(0), kCalcFirstReflection}) {
      const Timing timing = TimeMap(gridSize, roomBits);
      const BandRanges& ranges = gLevelMap.result.grid.ranges;
      std::printf("%6d %7u %-18s %9.3f %12.0f %16.4f %7.1f .. %5.1f\n", faces, timing.points,
                  roomBits ? "first reflections" : "direct sound", timing.seconds, timing.points / timing.seconds,
                  1e6 * timing.seconds / (double(timing.points) * faces), 10 * std::log10(ranges.minLevel[3]),
                  10 * std::log10(ranges.maxLevel[3]));
    }
  }
  ClearSpeakerTypeTable(gSpeakerModel.types);
  ResetObjectStore();
  return 0;
}
