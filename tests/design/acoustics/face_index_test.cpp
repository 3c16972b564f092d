#include "design/acoustics/face_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "design/acoustics/level_map.h"
#include "design/acoustics/reflection_search.h"
#include "tests/design/acoustics/map_fixtures.h"
#include "tests/design/acoustics/ray_fixtures.h"

namespace {

// ---- Rooms of tiled faces ----

// The planar quad a b c d (counter-clockwise seen from the side it faces)
// as nu x nv tiles, one polygon each, every tile vertex moved by up to
// `jitter` on each axis: neighbouring tiles then lie in planes that differ
// a little, and a tile itself is a little warped.
std::vector<Polygon> Tiles(Vec3d a, Vec3d b, Vec3d c, Vec3d d, int nu, int nv, double jitter, std::mt19937& random) {
  std::uniform_real_distribution<double> shake(-jitter, jitter);
  auto at = [&](double s, double t) {
    const Vec3d p = a * ((1 - s) * (1 - t)) + b * (s * (1 - t)) + c * (s * t) + d * ((1 - s) * t);
    return ToVertex(p + Vec3d{shake(random), shake(random), shake(random)});
  };
  std::vector<Polygon> tiles;
  for (int i = 0; i < nu; ++i)
    for (int j = 0; j < nv; ++j) {
      const double s0 = double(i) / nu, s1 = double(i + 1) / nu, t0 = double(j) / nv, t1 = double(j + 1) / nv;
      tiles.push_back({at(s0, t0), at(s1, t0), at(s1, t1), at(s0, t1)});
    }
  return tiles;
}

enum class Room { kBox, kLShaped, kSlantedCeiling };
const char* Name(Room room) {
  return room == Room::kBox ? "box" : room == Room::kLShaped ? "L-shaped room" : "slanted ceiling";
}

// The room's faces in tiles facing into it, materials 1 to 3, and its
// audience areas: one 1.2 m up, a sloping one and one a hair over the
// floor. The L-shaped room is a 12 x 9 m box less the quarter x > 6, y > 5.
void AddTiledRoom(Room room, double jitter) {
  std::mt19937 random(7);
  SetMaterial(1, 0.1f);
  SetMaterial(2, 0.3f);
  SetMaterial(3, 0.6f);
  auto add = [&](Vec3d a, Vec3d b, Vec3d c, Vec3d d, int nu, int nv, int material) {
    AddObject(Tiles(a, b, c, d, nu, nv, jitter, random), material);
  };
  // A wall from (x0, y0) to (x1, y1) between heights z0 and z1 (at its two
  // ends), facing left of its run.
  auto wall = [&](double x0, double y0, double x1, double y1, double z0, double z1, int nu) {
    add({x0, y0, 0}, {x0, y0, z0}, {x1, y1, z1}, {x1, y1, 0}, 3, nu, 2);
  };
  const double h = 5;
  if (room == Room::kLShaped) {
    // Floor and ceiling in two rectangles each.
    add({0, 0, 0}, {12, 0, 0}, {12, 5, 0}, {0, 5, 0}, 6, 3, 1);
    add({0, 5, 0}, {6, 5, 0}, {6, 9, 0}, {0, 9, 0}, 3, 2, 1);
    add({0, 0, h}, {0, 5, h}, {12, 5, h}, {12, 0, h}, 3, 6, 3);
    add({0, 5, h}, {0, 9, h}, {6, 9, h}, {6, 5, h}, 2, 3, 3);
    wall(0, 0, 12, 0, h, h, 6);
    wall(12, 0, 12, 5, h, h, 3);
    wall(12, 5, 6, 5, h, h, 3);
    wall(6, 5, 6, 9, h, h, 2);
    wall(6, 9, 0, 9, h, h, 3);
    wall(0, 9, 0, 0, h, h, 4);
  } else {
    const double high = room == Room::kSlantedCeiling ? 8 : h;  // the ceiling's height at x = 12
    add({0, 0, 0}, {12, 0, 0}, {12, 9, 0}, {0, 9, 0}, 4, 3, 1);
    add({0, 0, h}, {0, 9, h}, {12, 9, high}, {12, 0, high}, 3, 4, 3);
    wall(0, 0, 12, 0, h, high, 4);
    wall(12, 0, 12, 9, high, high, 3);
    wall(12, 9, 0, 9, high, h, 4);
    wall(0, 9, 0, 0, h, h, 3);
  }
  const float farX = room == Room::kLShaped ? 6 : 11;
  MapModel::AddAudience({{1, 1, 1.2f}, {11, 1, 1.2f}, {11, 4.5f, 1.2f}, {1, 4.5f, 1.2f}});
  MapModel::AddAudience({{1, 5.2f, 0.5f}, {farX - 0.5f, 5.2f, 2.5f}, {farX - 0.5f, 8.5f, 2.5f}, {1, 8.5f, 0.5f}});
  MapModel::AddAudience({{0.5f, 0.5f, 0.0005f}, {3, 0.5f, 0.0005f}, {3, 3, 0.0005f}, {0.5f, 3, 0.0005f}});
}

constexpr Room kRooms[] = {Room::kBox, Room::kLShaped, Room::kSlantedCeiling};
constexpr double kJitters[] = {0, 2e-6};

// ---- The level map ----

class FastMapTest : public MapModelTest {
 protected:
  // Loudspeakers mid-room, in a corner, and a hair in front of the wall x = 0.
  static void AddSpeakers() {
    PlaceSpeaker(Speaker({4.0, 2.5, 3.5}));
    Loudspeaker corner = Speaker({0.3, 0.4, 4.6}, 3.0e5f);
    corner.delay = 3;
    PlaceSpeaker(corner);
    PlaceSpeaker(Speaker({0.0001, 4.0, 2.0}, 7.0e5f));
  }
  // The room in jittered tiles, its faces and their index.
  void IndexRoom(Room room, double jitter = kJitters[1]) {
    ResetObjectStore();
    AddTiledRoom(room, jitter);
    BuildCalcFaceTable(faces_, gObjects.model, gMaterials.project);
    index_.Build(faces_);
  }
  static MapResult Run(uint16_t roomBits, CalcExecution execution) {
    CalcOptions options;
    options.gridIndex = 1;  // 0.5 m
    options.roomBits = roomBits;
    options.phaseMode = 3;
    EXPECT_EQ(RunLevelTimeCalculation(options, ProjectTables(), execution), LevelMapRun::kDone);
    return gLevelMap.result;
  }

  CalcFaceTable faces_;
  FaceIndex index_;
};

template <size_t N>
bool SameBits(const std::array<float, N>& a, const std::array<float, N>& b) {
  return std::equal(a.begin(), a.end(), b.begin(),
                    [](float x, float y) { return std::bit_cast<uint32_t>(x) == std::bit_cast<uint32_t>(y); });
}

TEST_F(FastMapTest, ThreadsAndTheIndexGiveTheReferenceMapBitForBit) {
  for (Room room : kRooms) {
    for (double jitter : kJitters) {
      ResetObjectStore();
      AddTiledRoom(room, jitter);
      AddSpeakers();
      for (uint16_t bits :
           {uint16_t(0), kCalcShading, kCalcFirstReflection, uint16_t(kCalcShading | kCalcFirstReflection)}) {
        const std::string what =
            std::string(Name(room)) + ", jitter " + std::to_string(jitter) + ", room bits " + std::to_string(bits);
        const MapResult reference = Run(bits, kReferenceExecution);
        const MapResult fast = Run(bits, CalcExecution{4});
        ASSERT_GT(reference.grid.PointCount(), 100u) << what;
        ASSERT_EQ(fast.grid.PointCount(), reference.grid.PointCount()) << what;
        for (size_t i = 0; i < reference.grid.points.size(); ++i) {
          const GridPoint &p = reference.grid.points[i], &q = fast.grid.points[i];
          ASSERT_TRUE(SameBits(p.level, q.level) && SameBits(p.time, q.time)) << what << ", point " << i;
        }
        const BandRanges &r = reference.grid.ranges, &s = fast.grid.ranges;
        EXPECT_TRUE(SameBits(r.minLevel, s.minLevel) && SameBits(r.maxLevel, s.maxLevel) &&
                    SameBits(r.minTime, s.minTime) && SameBits(r.maxTime, s.maxTime))
            << what;
      }
    }
  }
}

// The faces the index names for a first reflection include every face the
// engine's exact test accepts, for points and loudspeakers anywhere, on
// planes and a hair off them.
TEST_F(FastMapTest, TheIndexNamesEveryFaceThatReflects) {
  for (Room room : kRooms) {
    IndexRoom(room);
    const CalcFaceTable& faces = faces_;
    const FaceIndex& index = index_;
    ASSERT_TRUE(index.PlaneGroupsPay()) << Name(room);

    auto context = std::make_unique<ReceiverContext>();
    context->faces = &faces;
    ActiveSpeaker speaker;
    context->current = &speaker;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> x(-1, 13), y(-1, 10), z(-1, 9), off(-1e-4, 1e-4);
    std::uniform_int_distribution<int> snap(0, 5);
    // Some points lie on a wall, the floor or the ceiling, or just off it.
    auto point = [&] {
      Vec3d p{x(random), y(random), z(random)};
      switch (snap(random)) {
        case 0: p.x = off(random); break;
        case 1: p.z = off(random); break;
        case 2: p.z = 5 + off(random); break;
        default: break;
      }
      return p;
    };
    int reflections = 0;
    std::vector<uint32_t> named;
    for (int k = 0; k < 4000; ++k) {
      const Vec3d receiver = point(), source = point();
      speaker.speaker.position = {float(source.x), float(source.y), float(source.z)};
      index.CollectReflectingFaces(receiver, SpeakerPosition(speaker), ReflectingSide::kEither,
                                   kOpenReflectionPathLimit, named);
      ASSERT_TRUE(std::is_sorted(named.begin(), named.end()));
      for (uint32_t f = 0; f < uint32_t(faces.Count()); ++f) {
        Vec3d image;
        if (!MirrorReceiverInFace(*context, receiver, faces.faces[f], image)) continue;
        ++reflections;
        ASSERT_TRUE(std::binary_search(named.begin(), named.end(), f))
            << Name(room) << ", case " << k << ", face " << f;
      }
    }
    EXPECT_GT(reflections, 4000) << Name(room);
  }
}

// The faces the index names for a box of receivers include every face the
// exact test accepts for any point of the box: its corners, its sides and
// inside, boxes thin and wide, near faces and far, in rooms whose tiles
// share planes and in rooms where each tile lies in a plane of its own.
TEST_F(FastMapTest, TheIndexNamesEveryFaceThatReflectsToABoxOfPoints) {
  for (Room room : kRooms) {
    for (double jitter : {kJitters[1], 0.03}) {
      IndexRoom(room, jitter);
      const CalcFaceTable& faces = faces_;
      auto context = std::make_unique<ReceiverContext>();
      context->faces = &faces;
      ActiveSpeaker speaker;
      context->current = &speaker;
      std::mt19937 random(17);
      std::uniform_real_distribution<double> x(-1, 13), y(-1, 10), z(-1, 9), unit(0, 1), off(-1e-4, 1e-4);
      std::uniform_real_distribution<double> size(0, 2.5);
      std::uniform_int_distribution<int> snap(0, 5);
      int reflections = 0;
      size_t named = 0, all = 0;
      std::vector<uint32_t> boxFaces;
      for (int k = 0; k < 1000; ++k) {
        // Some boxes and sources lie a hair off the floor, the ceiling or
        // the wall x = 0; some boxes are single points.
        Vec3d low{x(random), y(random), z(random)}, source{x(random), y(random), z(random)};
        for (Vec3d* p : {&low, &source}) {
          switch (snap(random)) {
            case 0: p->x = off(random); break;
            case 1: p->z = off(random); break;
            case 2: p->z = 5 + off(random); break;
            default: break;
          }
        }
        const Vec3d high =
            k % 4 == 0 ? low
                       : low + Vec3d{size(random), k % 3 == 0 ? 0.0 : size(random) / 4, k % 2 ? 0.0 : size(random)};
        speaker.speaker.position = {float(source.x), float(source.y), float(source.z)};
        index_.CollectBoxReflectingFaces(low, high, SpeakerPosition(speaker), boxFaces);
        ASSERT_TRUE(std::is_sorted(boxFaces.begin(), boxFaces.end()));
        named += boxFaces.size();
        for (int n = 0; n < 12; ++n) {
          // Corners first, then points on the box's sides and inside it.
          Vec3d t{unit(random), unit(random), unit(random)};
          if (n < 8) t = {double(n & 1), double((n >> 1) & 1), double((n >> 2) & 1)};
          else if (n < 10) t.x = double(n & 1);
          const Vec3d receiver{low.x + t.x * (high.x - low.x), low.y + t.y * (high.y - low.y),
                               low.z + t.z * (high.z - low.z)};
          for (uint32_t f = 0; f < uint32_t(faces.Count()); ++f) {
            Vec3d image;
            if (!MirrorReceiverInFace(*context, receiver, faces.faces[f], image)) continue;
            ++reflections;
            ASSERT_TRUE(std::binary_search(boxFaces.begin(), boxFaces.end(), f))
                << Name(room) << ", jitter " << jitter << ", box " << k << ", point " << n << ", face " << f;
          }
          all += faces.faces.size();
        }
      }
      EXPECT_GT(reflections, 10000) << Name(room);
      // The boxes are small beside the room: most faces are left out.
      EXPECT_LT(named * 12, all / 3) << Name(room) << ", jitter " << jitter;
    }
  }
}

// An index left from a table rebuilt since to another size is not asked:
// the engine tests every face, as the reference does.
TEST_F(FastMapTest, AnIndexOfAnotherTableIsLeftAlone) {
  IndexRoom(Room::kBox);
  AddObject({RectangleXY(2, 2, 4, 4, 3)});  // a panel under the ceiling
  ActiveSpeakerTable speakers;
  AddSpeakers();
  ASSERT_EQ(PrepareActiveSpeakers(speakers, gObjects.model, gSpeakerModel.types), 3);
  CalcFaceTable rebuilt;
  ASSERT_EQ(BuildCalcFaceTable(rebuilt, gObjects.model, gMaterials.project), faces_.Count() + 1);
  auto fast = std::make_unique<ReceiverContext>(), reference = std::make_unique<ReceiverContext>();
  for (ReceiverContext* context : {fast.get(), reference.get()}) {
    context->speakers = &speakers;
    context->faces = &rebuilt;
    context->materials = &gMaterials.project;
    context->options = {true, true, PhaseRelations::kEnergy};
  }
  fast->index = &index_;
  for (Vec3d point : {Vec3d{3, 3, 1.2}, Vec3d{9, 7, 2}}) {
    CalcPointEchogram(*fast, point);
    CalcPointEchogram(*reference, point);
    ASSERT_EQ(fast->arrivalCount, reference->arrivalCount);
    for (size_t b = 0; b < kBandCount; ++b)
      EXPECT_EQ(std::bit_cast<uint32_t>(fast->bands[b].bandResult),
                std::bit_cast<uint32_t>(reference->bands[b].bandResult));
  }
}

// A segment's walk visits every face the exact segment test finds crossed.
TEST_F(FastMapTest, ASegmentWalkVisitsEveryFaceItCrosses) {
  for (Room room : kRooms) {
    IndexRoom(room);
    const CalcFaceTable& faces = faces_;
    const FaceIndex& index = index_;
    std::mt19937 random(13);
    std::uniform_real_distribution<double> x(-2, 14), y(-2, 11), z(-2, 10);
    int crossings = 0;
    for (int k = 0; k < 4000; ++k) {
      CalcRay ray;
      Vec3d from{x(random), y(random), z(random)};
      Vec3d to{x(random), y(random), z(random)};
      if (k % 4 == 0) to.z = from.z = 0;  // along the floor's plane
      ray.origin = ToVertex(from);
      ray.direction = ToVertex(to - from);
      const SegmentProbe segment = ProbeSegment(ray);
      std::vector<uint32_t> visited;
      double limit = 1;
      index.VisitAlongLine(ToVec3d(ray.origin), ToVec3d(ray.direction), limit, [&](uint32_t f) {
        visited.push_back(f);
        return true;
      });
      std::sort(visited.begin(), visited.end());
      for (uint32_t f = 0; f < uint32_t(faces.Count()); ++f) {
        double t;
        if (!SegmentCrossesFace(segment, faces.faces[f], ray, t)) continue;
        ++crossings;
        ASSERT_TRUE(std::binary_search(visited.begin(), visited.end(), f)) << Name(room) << ", case " << k;
      }
      EXPECT_EQ(SegmentClearOfFaces(faces, index, ray, nullptr), CheckSegmentFaces(faces, ray, nullptr, 0) == 1);
    }
    EXPECT_GT(crossings, 2000) << Name(room);
  }
}

// The faces named for two boxes include every face that a segment from a
// point of one to a point of the other crosses; a point and a box, two
// boxes, and boxes that lie on a face's plane.
TEST_F(FastMapTest, TheFacesBetweenTwoBoxesIncludeEveryFaceTheirSegmentsCross) {
  for (Room room : kRooms) {
    for (double jitter : {kJitters[1], 0.03}) {
      IndexRoom(room, jitter);
      const CalcFaceTable& faces = faces_;
      std::mt19937 random(23);
      std::uniform_real_distribution<double> x(-2, 14), y(-2, 11), z(-2, 10), size(0, 3), unit(0, 1);
      int crossings = 0;
      size_t named = 0;
      std::vector<uint32_t> between;
      for (int k = 0; k < 1500; ++k) {
        Bounds a, b;
        for (Bounds* box : {&a, &b}) {
          box->low = {x(random), y(random), z(random)};
          if (k % 5 == 0) box->low.z = 0;  // on the floor's plane
          box->high = k % 3 == 0 ? box->low : box->low + Vec3d{size(random), size(random), size(random) / 3};
        }
        index_.CollectFacesBetween(a, b, between);
        ASSERT_TRUE(std::is_sorted(between.begin(), between.end()));
        named += between.size();
        for (int n = 0; n < 8; ++n) {
          auto in = [&](const Bounds& box) {
            return Vec3d{box.low.x + unit(random) * (box.high.x - box.low.x),
                         box.low.y + unit(random) * (box.high.y - box.low.y),
                         box.low.z + unit(random) * (box.high.z - box.low.z)};
          };
          const Vec3d from = n == 0 ? a.low : in(a), to = n == 0 ? b.high : in(b);
          CalcRay ray;
          ray.origin = ToVertex(from);
          ray.direction = ToVertex(to - from);
          const SegmentProbe segment = ProbeSegment(ray);
          for (uint32_t f = 0; f < uint32_t(faces.Count()); ++f) {
            double t;
            if (!SegmentCrossesFace(segment, faces.faces[f], ray, t)) continue;
            ++crossings;
            ASSERT_TRUE(std::binary_search(between.begin(), between.end(), f))
                << Name(room) << ", jitter " << jitter << ", case " << k << ", segment " << n << ", face " << f;
          }
        }
      }
      EXPECT_GT(crossings, 5000) << Name(room);
      EXPECT_LT(named, 1500 * faces.faces.size() / 2) << Name(room);
    }
  }
}

// ---- The reflection paths ----

class FastSearchTest : public RayDesignTest {};

// The beams leave out face sequences that no path can take, and no path: in
// a box, and with panels hung in it (of an L-shaped outline, a triangle, a
// slanted face, some facing each way), one loudspeaker's image paths with
// the index are those without it, in order, from far fewer face sequences.
TEST_F(FastSearchTest, BeamsPruneTheImageSourcesButNoPath) {
  // In a box tiled in 3 m squares, paths off the floor and the ceiling
  // between (1.5, 2, 1.5) and (7.5, 2, 1.5) reflect on the tiles' edges.
  {
    std::mt19937 random(3);
    AddObject(Tiles({0, 0, 0}, {9, 0, 0}, {9, 6, 0}, {0, 6, 0}, 3, 2, 0, random));
    AddObject(Tiles({0, 0, 3}, {0, 6, 3}, {9, 6, 3}, {9, 0, 3}, 2, 3, 0, random));
    const std::vector<Polygon> box = BoxFaces(9, 6, 3);
    for (size_t wall = 2; wall < box.size(); ++wall) AddObject({box[wall]});
    CalcFaceTable faces;
    BuildCalcFaceTable(faces, gObjects.model, gMaterials.project);
    SortCalcFaces(faces);
    FaceIndex index;
    index.Build(faces);
    for (const auto& [source, target] :
         {std::pair{Vec3d{1.5, 2, 1.5}, Vec3d{7.5, 2, 1.5}}, std::pair{Vec3d{7.5, 2, 1.5}, Vec3d{1.5, 2, 1.5}},
          std::pair{Vec3d{1.5, 4, 1.5}, Vec3d{7.5, 4, 1.5}}, std::pair{Vec3d{7.5, 4, 1.5}, Vec3d{1.5, 4, 1.5}}}) {
      PathSearch plain, pruned;
      PreparePathSearch(plain, faces, target);
      PreparePathSearch(pruned, faces, target, &index);
      SearchSpeakerPaths(plain, source, {4, 4, 4});
      SearchSpeakerPaths(pruned, source, {4, 4, 4});
      EXPECT_EQ(pruned.paths, plain.paths);
    }
  }
  for (bool panels : {false, true}) {
    ResetObjectStore();
    AddBoxRoom({9, 7, 4});
    if (panels) {
      AddObject({Reversed({{2, 2, 3}, {5, 2, 3}, {5, 3, 3}, {3, 3, 3}, {3, 5, 3}, {2, 5, 3}})});
      AddObject({{{6, 1, 0.5}, {8, 1, 0.5}, {7, 3, 2.5}}});
      AddObject({{{1, 6, 0.5}, {4, 6.5f, 0.5}, {4, 6.5f, 2}, {1, 6, 2}}});
      AddObject({Reversed({{1, 6, 0.5}, {4, 6.5f, 0.5}, {4, 6.5f, 2}, {1, 6, 2}})});
    }
    CalcFaceTable faces;
    BuildCalcFaceTable(faces, gObjects.model, gMaterials.project);
    SortCalcFaces(faces);
    FaceIndex index;
    index.Build(faces);
    for (const Vec3d target : {Vec3d{6.5, 4.5, 1.2}, Vec3d{2.5, 2.5, 2.9}, Vec3d{0.01, 0.02, 0.03}}) {
      const Vec3d source{1.3, 1.7, 1.1};
      PathSearch plain, pruned;
      PreparePathSearch(plain, faces, target);
      PreparePathSearch(pruned, faces, target, &index);
      SearchSpeakerPaths(plain, source, {7, 7, 7});
      SearchSpeakerPaths(pruned, source, {7, 7, 7});
      EXPECT_GT(plain.pathCount, 100u) << panels;
      EXPECT_EQ(pruned.pathCount, plain.pathCount) << panels;
      EXPECT_EQ(pruned.paths, plain.paths) << panels;
      // The panels hide most of what the beams would reach.
      EXPECT_LT(pruned.workDone * (panels ? 5 : 2), plain.workDone) << panels;
    }
  }
}

TEST_F(FastSearchTest, ThreadsAndTheIndexFindTheReferencePathsPathByPath) {
  const RaySearchOrders searches[] = {{3, 3, 3}, {4, 2, 3}};  // image sources only; rays from order 3
  for (Room room : kRooms) {
    for (double jitter : kJitters) {
      ResetObjectStore();
      AddTiledRoom(room, jitter);
      AddSpeaker({4.0, 2.5, 3.5});
      AddSpeaker({0.3, 0.4, 4.6});
      RaySearchTables tables;
      ASSERT_EQ(PrepareRaySearchTables(tables, Design()), 2);
      for (const RaySearchOrders& orders : searches) {
        const std::string what = std::string(Name(room)) + ", jitter " + std::to_string(jitter) + ", order " +
                                 std::to_string(orders.maxOrder);
        const Vec3d target{2.5, 1.5, 1.2};
        const RaySearchRun reference = SearchRayPaths(tables, target, orders, kReferenceExecution);
        const RaySearchRun fast = SearchRayPaths(tables, target, orders, CalcExecution{4});
        const std::vector<PathRecord> expected = DecodePathRecords(reference.outcome.records);
        const std::vector<PathRecord> found = DecodePathRecords(fast.outcome.records);
        ASSERT_GT(expected.size(), 50u) << what;
        ASSERT_EQ(found.size(), expected.size()) << what;
        for (size_t k = 0; k < expected.size(); ++k) {
          ASSERT_EQ(found[k].reflections, expected[k].reflections) << what << ", path " << k;
          for (int n = 0; n < expected[k].NodeCount(); ++n) {
            const PathNode &a = found[k].nodes[size_t(n)], &b = expected[k].nodes[size_t(n)];
            ASSERT_TRUE(a.tag == b.tag && SameBits(std::array<float, 3>{a.point.x, a.point.y, a.point.z},
                                                   std::array<float, 3>{b.point.x, b.point.y, b.point.z}))
                << what << ", path " << k << ", node " << n;
          }
        }
        EXPECT_EQ(fast.outcome.records, reference.outcome.records) << what;
        EXPECT_EQ(fast.outcome.freePaths.hits, reference.outcome.freePaths.hits) << what;
        EXPECT_EQ(std::bit_cast<uint64_t>(fast.outcome.freePaths.distance),
                  std::bit_cast<uint64_t>(reference.outcome.freePaths.distance))
            << what;
        EXPECT_EQ(std::bit_cast<uint64_t>(fast.meanFreePath), std::bit_cast<uint64_t>(reference.meanFreePath)) << what;
      }
    }
  }
}

}  // namespace
