#include "design/acoustics/reflection_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "framework/model/layers.h"
#include "tests/design/acoustics/ray_fixtures.h"
#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"

namespace {

// ---- The direction set and the orders ----

TEST(RayDirectionTest, TheSetHoldsItsRaysAtTheirLength) {
  EXPECT_EQ(CountRayDirections(1, 1), 61198);
  EXPECT_EQ(CountRayDirections(kMeanFreePathRaySpacing, kMeanFreePathRaySpacing), 239);
  const RayDirectionTables& tables = RayDirections();
  EXPECT_EQ(tables.steps[0], 400);
  EXPECT_EQ(tables.steps[200], 400);
  EXPECT_EQ(tables.steps[1], 63);  // 1 / sin(0.9 degrees) = 63.66
  EXPECT_EQ(tables.steps[100], 1);
  EXPECT_EQ(tables.steps[199], 63);
  for (const auto& [i, j] : std::vector<std::pair<int, int>>{{1, 0}, {100, 100}, {57, 399}}) {
    const Vec3d d = RayDirection(i, j);
    EXPECT_NEAR(std::sqrt(Dot(d, d)), 1000.0, 1e-3);
  }
  EXPECT_NEAR(RayDirection(100, 100).z, 1000.0, 1e-3);  // 90 degrees off x, 90 degrees about it
}

TEST(SearchOrderTest, OrdersSplitBetweenImageSourcesAndRays) {
  struct Case {
    int faces, maxOrder;
    int imageOrder, lowestTraced;
    bool rays;
  };
  const Case cases[] = {
      {20, 10, 7, 8, true},   {6, 40, 14, 15, true},  {2000, 40, 3, 4, true}, {2002, 40, 2, 3, true},
      {2, 40, 40, 40, false}, {5000, 2, 2, 2, false}, {6, 1, 1, 0, false},    {16000, 1, 1, 0, false},
  };
  for (const Case& c : cases) {
    const RaySearchOrders orders = SplitSearchOrders(c.faces, c.maxOrder);
    EXPECT_EQ(orders.maxOrder, c.maxOrder) << c.faces << " " << c.maxOrder;
    EXPECT_EQ(orders.imageOrder, c.imageOrder) << c.faces << " " << c.maxOrder;
    EXPECT_EQ(orders.lowestTracedOrder, c.lowestTraced) << c.faces << " " << c.maxOrder;
    EXPECT_EQ(orders.TracesRays(), c.rays) << c.faces << " " << c.maxOrder;
  }
}

TEST(SearchOrderTest, TheTypedOrderIsAnIntegerFromOneToForty) {
  const std::pair<const char*, int> cases[] = {
      {"3", 3},    {"0", 1},   {"-5", 1}, {"abc", 1}, {"99", 40},
      {" 12", 12}, {"7,9", 7}, {"", 1},   {"40", 40}, {"99999999999999999999", 40}};
  for (const auto& [text, order] : cases) EXPECT_EQ(ParseMaxOrder(text), order) << text;
}

TEST(SearchOrderTest, TheClickedPointOrderFallsWithFacesAndSpeakers) {
  const std::tuple<int, int, int> cases[] = {{30, 2, 2}, {10000, 3, 1}, {1, 1, 3}, {6, 1, 3}, {200, 1, 1}, {0, 3, 1}};
  for (const auto& [faces, speakers, order] : cases)
    EXPECT_EQ(PointSearchOrder(faces, speakers), order) << faces << " x " << speakers;
}

// ---- The kernels ----

class SearchKernelTest : public RayDesignTest {
 protected:
  const CalcFaceTable& Faces() {
    BuildCalcFaceTable(faces_, gObjects.model, gMaterials.project);
    SortCalcFaces(faces_);
    return faces_;
  }
  PathSearch Search(Vec3d target) {
    PathSearch search;
    PreparePathSearch(search, Faces(), target);
    return search;
  }
  // The paths of one loudspeaker at `source` to `target`.
  std::vector<PathRecord> Paths(Vec3d source, Vec3d target, RaySearchOrders orders) {
    PathSearch search = Search(target);
    SearchSpeakerPaths(search, source, orders);
    EXPECT_EQ(search.pathCount, DecodePathRecords(search.paths).size());
    return DecodePathRecords(search.paths);
  }
  static RaySearchOrders ImageOrders(int order) { return {order, order, order}; }
  static int CountWithReflections(const std::vector<PathRecord>& paths, int n) {
    return int(std::count_if(paths.begin(), paths.end(), [n](const PathRecord& p) { return p.reflections == n; }));
  }

  CalcFaceTable faces_;
};

// Where the image i of a point at s lies along an axis of length l: the
// point mirrored |i| times in the walls 0 and l.
double ImageCoordinate(int i, double l, double s) { return i % 2 == 0 ? i * l + s : (i + 1) * l - s; }

TEST_F(SearchKernelTest, ShoeboxPathsAreTheImageLattice) {
  const Vec3d size{7, 5, 3}, source{1.3, 1.7, 1.1}, target{5.2, 3.4, 1.9};
  AddBoxRoom(ToVertex(size));
  constexpr int kOrder = 6;
  const std::vector<PathRecord> paths = Paths(source, target, ImageOrders(kOrder));

  // The lattice: per order n, the distances from the target to the images
  // (i, j, l) with |i| + |j| + |l| = n.
  std::map<int, std::vector<double>> lattice;
  for (int i = -kOrder; i <= kOrder; ++i)
    for (int j = -kOrder; j <= kOrder; ++j)
      for (int l = -kOrder; l <= kOrder; ++l) {
        const int n = std::abs(i) + std::abs(j) + std::abs(l);
        if (n > kOrder) continue;
        const Vec3d image{ImageCoordinate(i, size.x, source.x), ImageCoordinate(j, size.y, source.y),
                          ImageCoordinate(l, size.z, source.z)};
        lattice[n].push_back(Distance(image, target));
      }
  ASSERT_EQ(paths.size(), 377u);
  std::map<int, std::vector<double>> found;
  for (const PathRecord& path : paths) {
    found[path.reflections].push_back(PathLength(path));
    // Every reflection point lies on its face's plane.
    for (int k = 1; k <= path.reflections; ++k) {
      const CalcFace& face = faces_.faces[path.nodes[size_t(k)].tag];
      const Vec3d offset = ToVec3d(path.nodes[size_t(k)].point) - ToVec3d(face.planePoint);
      EXPECT_NEAR(Dot(offset, ToVec3d(face.normal)), 0.0, 1e-3);
    }
  }
  for (int n = 0; n <= kOrder; ++n) {
    std::vector<double>& expected = lattice[n];
    std::vector<double>& lengths = found[n];
    ASSERT_EQ(lengths.size(), n == 0 ? 1u : size_t(4 * n * n + 2)) << n;
    ASSERT_EQ(lengths.size(), expected.size()) << n;
    std::sort(expected.begin(), expected.end());
    std::sort(lengths.begin(), lengths.end());
    for (size_t k = 0; k < lengths.size(); ++k) EXPECT_NEAR(lengths[k], expected[k], 1e-3) << n << " " << k;
  }
}

TEST_F(SearchKernelTest, TracedPathsRunStraightWhenUnfoldedAndPassTheTarget) {
  const Vec3d source{1.3, 1.7, 1.1}, target{5.2, 3.4, 1.9};
  AddBoxRoom({7, 5, 3});
  constexpr int kOrder = 4;
  const std::vector<PathRecord> paths = Paths(source, target, {kOrder, 1, 2});  // rays for orders 2 to 4

  std::map<int, int> traced;
  for (const PathRecord& path : paths) {
    if (path.reflections < 2) continue;
    ++traced[path.reflections];
    // Unfolded, a ray runs straight: the source mirrored in the planes of
    // the faces hit, in their order, lies as far from the last reflection
    // point as the path has come to it, and the target lies ahead of that
    // line within the 0.15 m by which the ray may pass it.
    Vec3d image = source;
    double travelled = 0;
    for (int k = 1; k <= path.reflections; ++k) {
      const CalcFace& face = faces_.faces[path.nodes[size_t(k)].tag];
      const Vec3d normal = ToVec3d(face.normal) * (1 / std::sqrt(Dot(ToVec3d(face.normal), ToVec3d(face.normal))));
      const Vec3d point = ToVec3d(path.nodes[size_t(k)].point);
      EXPECT_NEAR(Dot(point - ToVec3d(face.planePoint), normal), 0.0, 1e-4) << "a reflection point off its face";
      image = image - normal * (2 * Dot(image - ToVec3d(face.planePoint), normal));
      travelled += Distance(point, ToVec3d(path.nodes[size_t(k - 1)].point));
    }
    const Vec3d last = ToVec3d(path.nodes[size_t(path.reflections)].point);
    EXPECT_NEAR(Distance(image, last), travelled, 1e-3) << path.reflections;
    const Vec3d along = (last - image) * (1 / Distance(image, last));
    const double ahead = Dot(target - last, along);
    EXPECT_GT(ahead, 0) << path.reflections;
    const Vec3d miss = target - (last + along * ahead);
    EXPECT_LT(Dot(miss, miss), 0.0225) << path.reflections;
  }
  for (int n = 2; n <= kOrder; ++n) EXPECT_GT(traced[n], 0) << n;
  EXPECT_EQ(CountWithReflections(paths, 1), 6);  // order 1 from the image sources
}

// The 1 kHz levels of the paths one loudspeaker's search with `orders` finds
// to `target`, linked to the loudspeaker, by face sequence.
std::map<std::vector<uint16_t>, std::vector<float>> LinkedLevelsBySequence(const RaySearchOrders& orders,
                                                                           Vec3d target) {
  RaySearchTables tables;
  PrepareRaySearchTables(tables, ProjectTables());
  SearchMonitor monitor(1.0, tables.speakers.Count(), [](int, const char*) { return 0; });
  const RaySearchOutcome found = SearchSpeakers(tables, target, orders, monitor, kReferenceExecution);
  LoadPathObjects(gObjects.model, found.records);
  RayResults results;
  LinkPathsToSpeakers(tables, ProjectTables(), 5.0, results);
  std::map<std::vector<uint16_t>, std::vector<float>> levels;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next) {
    const int n = RayPathReflectionCount(o);
    if (n < 0) continue;
    std::vector<uint16_t> sequence;
    for (int k = 1; k <= n; ++k) sequence.push_back(RayPathTag(o, k));
    levels[sequence].push_back(RayPathLevel(o, 3));
  }
  RaySearchState state;
  DeleteRayPaths(state, gObjects.model);
  return levels;
}

TEST_F(SearchKernelTest, RaysGiveOnePathPerFaceSequenceAtItsImageSourceLevel) {
  AddBoxRoom({7, 5, 3});
  AddSpeaker({1.3, 1.7, 1.1});
  const Vec3d target{5.2, 3.4, 1.9};
  const auto images = LinkedLevelsBySequence(ImageOrders(3), target);
  const auto traced = LinkedLevelsBySequence({3, 1, 2}, target);  // rays for orders 2 and 3

  std::map<size_t, int> sequences;
  for (const auto& [sequence, levels] : traced) {
    if (sequence.size() < 2) continue;
    ++sequences[sequence.size()];
    EXPECT_EQ(levels.size(), 1u) << "a sequence of order " << sequence.size() << " counted " << levels.size()
                                 << " times";
    const auto image = images.find(sequence);
    ASSERT_NE(image, images.end()) << "a traced sequence the image sources do not have";
    EXPECT_NEAR(10 * std::log10(levels[0]), 10 * std::log10(image->second[0]), 0.1);
  }
  EXPECT_EQ(sequences[2], 18);  // every second-order sequence of a box
  EXPECT_GT(sequences[3], 30);  // of 38; rays may pass a farther image by
  EXPECT_LE(sequences[3], 38);
}

TEST_F(SearchKernelTest, TilingTheWallsChangesNoPath) {
  const Vec3d size{7, 5, 3}, source{1.3, 1.7, 1.1}, target{5.2, 3.4, 1.9};
  AddBoxRoom(ToVertex(size));
  std::vector<double> whole;
  for (const PathRecord& path : Paths(source, target, ImageOrders(3))) whole.push_back(PathLength(path));

  // Each side in 3 x 3 tiles of its own orientation: neighbours share edges
  // and planes, which must neither block nor double a path.
  ResetObjectStore();
  for (const Polygon& side : BoxFaces(float(size.x), float(size.y), float(size.z))) {
    auto at = [&side](float a, float b) {
      const ObjectVertex &p = side[0], &u = side[1], &v = side[3];
      return ObjectVertex{p.x + a * (u.x - p.x) + b * (v.x - p.x), p.y + a * (u.y - p.y) + b * (v.y - p.y),
                          p.z + a * (u.z - p.z) + b * (v.z - p.z)};
    };
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        const float a0 = i / 3.0f, a1 = (i + 1) / 3.0f, b0 = j / 3.0f, b1 = (j + 1) / 3.0f;
        AddObject({{at(a0, b0), at(a1, b0), at(a1, b1), at(a0, b1)}});
      }
  }
  std::vector<double> tiled;
  for (const PathRecord& path : Paths(source, target, ImageOrders(3))) tiled.push_back(PathLength(path));
  EXPECT_EQ(faces_.Count(), 54);
  ASSERT_EQ(tiled.size(), whole.size());
  std::sort(whole.begin(), whole.end());
  std::sort(tiled.begin(), tiled.end());
  for (size_t k = 0; k < whole.size(); ++k) EXPECT_NEAR(tiled[k], whole[k], 1e-3) << k;
}

TEST_F(SearchKernelTest, AFaceBetweenSourceAndTargetRemovesTheDirectPath) {
  const Vec3d source{1, 1, 1}, target{5, 1, 1};
  EXPECT_EQ(CountWithReflections(Paths(source, target, ImageOrders(1)), 0), 1);
  AddObject({WallX(3, 0, 2, 0, 2)});
  EXPECT_EQ(CountWithReflections(Paths(source, target, ImageOrders(1)), 0), 0);
}

TEST_F(SearchKernelTest, ASourceOnAFacePlaneGetsNoReflectionFromIt) {
  AddObject({RectangleXY(0, 0, 10, 10)});
  const Vec3d target{6, 5, 2};
  EXPECT_EQ(CountWithReflections(Paths({3, 5, 0.5}, target, ImageOrders(1)), 1), 1);
  EXPECT_EQ(CountWithReflections(Paths({3, 5, 0}, target, ImageOrders(1)), 1), 0);
}

TEST_F(SearchKernelTest, NoReflectionOffAFaceTheTargetLiesBehind) {
  // A face in the plane z = x, facing up, and a target below its plane: the
  // line from the source's image through the target meets the face beyond
  // the target, inside the face and within the segment's box.
  AddObject({{{0, 0, 0}, {4, 0, 4}, {4, 4, 4}, {0, 4, 0}}});
  const Vec3d source{1, 2, 3}, target{3, 2, 2.5};
  const CalcFace& face = Faces().faces[0];
  ASSERT_GT(Dot(source - ToVec3d(face.planePoint), ToVec3d(face.normal)), 0);
  CalcRay line;
  line.origin = {3, 2, 1};  // the image
  line.direction = ToVertex(target - Vec3d{3, 2, 1});
  line.face = &face;
  ASSERT_EQ(IntersectRayPlane(line), 1);
  EXPECT_NEAR(line.hitPoint.z, 3.0f, 1e-5);

  EXPECT_TRUE(Paths(source, target, ImageOrders(2)).empty());
}

// A ray from `origin` along `direction` traced to `maxDepth` reflections,
// catching the target from `lowestTraced` reflections on.
struct TracedRay {
  std::vector<PathRecord> paths;
  FreePathSum freePaths;
};

class TraceTest : public SearchKernelTest {
 protected:
  TracedRay Trace(Vec3d origin, Vec3d direction, Vec3d target, int maxDepth, int lowestTraced) {
    PathSearch search = Search(target);
    StartPathRecord(search, origin);
    search.maxDepth = maxDepth;
    search.lowestTracedOrder = lowestTraced;
    TraceRay(search, origin, direction, nullptr, 0);
    EXPECT_TRUE(search.paths.empty());  // what a ray catches waits to be settled
    return {DecodePathRecords(search.traced.records), search.freePaths};
  }
};

TEST_F(TraceTest, TheTargetIsCaughtAheadWithinFifteenCentimetres) {
  struct Case {
    const char* what;
    Vec3d target;
    int lowestTraced;
    bool caught;
  };
  const Case cases[] = {
      {"on the ray", {10, 0, 0}, 0, true},
      {"14 cm beside it", {10, 0.14, 0}, 0, true},
      {"16 cm beside it", {10, 0, 0.16}, 0, false},
      {"behind the origin", {-10, 0, 0}, 0, false},
      {"beside the origin, a little ahead", {0.01, 0.1, 0}, 0, true},
      {"at a depth the image sources cover", {10, 0, 0}, 1, false},
  };
  for (const Case& c : cases) {
    const TracedRay ray = Trace({0, 0, 0}, {3, 0, 0}, c.target, 0, c.lowestTraced);
    ASSERT_EQ(ray.paths.size(), c.caught ? 1u : 0u) << c.what;
    if (c.caught) {
      EXPECT_EQ(ray.paths[0].reflections, 0) << c.what;
      EXPECT_EQ(ray.paths[0].nodes[1].tag, kTargetTag) << c.what;
    }
  }
}

TEST_F(TraceTest, OnlyFacesAheadOfTheOriginAreHit) {
  AddObject({RectangleXY(0, 0, 10, 10)});                     // floor, facing up
  AddObject({{{0, 0, 0}, {4, 0, 4}, {4, 4, 4}, {0, 4, 0}}});  // the slope z = x, facing up
  struct Case {
    const char* what;
    Vec3d origin, direction;
    double distance;  // 0: no hit
  };
  const Case cases[] = {
      {"down onto the floor", {6, 5, 2}, {0, 0, -5}, 2},
      {"up, away from the floor", {6, 5, 2}, {0, 0, 5}, 0},
      {"from under the floor", {6, 5, -2}, {0, 0, 5}, 0},
      // Away from the slope: its plane lies behind the origin, inside the
      // face, and the segment's box overlaps the face's.
      {"away from the slope", {1, 2, 3}, {-1, 0, 1}, 0},
      {"onto the slope", {1, 2, 3}, {1, 0, -1}, std::sqrt(2.0)},
  };
  for (const Case& c : cases) {
    const TracedRay ray = Trace(c.origin, c.direction, {50, 50, 50}, 1, 2);
    EXPECT_EQ(ray.freePaths.hits, c.distance > 0 ? 1u : 0u) << c.what;
    EXPECT_NEAR(ray.freePaths.distance, c.distance, 1e-5) << c.what;
  }
}

TEST_F(TraceTest, AFaceNearerThanTheTargetHidesIt) {
  const Vec3d target{10, 0, 0};
  AddObject({WallX(12, -1, 1, -1, 1)});
  EXPECT_EQ(Trace({0, 0, 0}, {1, 0, 0}, target, 0, 0).paths.size(), 1u);
  AddObject({Reversed(WallX(5, -1, 1, -1, 1))});  // facing the origin
  EXPECT_TRUE(Trace({0, 0, 0}, {1, 0, 0}, target, 0, 0).paths.empty());
}

TEST_F(TraceTest, AReflectedRayFindsTheImageSourcePath) {
  AddBoxRoom({7, 5, 3});
  const Vec3d source{1.3, 1.7, 1.1}, target{5.2, 3.4, 1.9};
  const Vec3d targetImage{target.x, target.y, -target.z};  // in the floor
  const TracedRay ray = Trace(source, targetImage - source, target, 1, 1);
  ASSERT_EQ(ray.paths.size(), 1u);
  const PathRecord& traced = ray.paths[0];
  ASSERT_EQ(traced.reflections, 1);
  EXPECT_EQ(ray.freePaths.hits, 1u);

  const std::vector<PathRecord> images = Paths(source, target, ImageOrders(1));
  const auto floor = std::find_if(images.begin(), images.end(), [&](const PathRecord& p) {
    return p.reflections == 1 && p.nodes[1].tag == traced.nodes[1].tag;
  });
  ASSERT_NE(floor, images.end());
  EXPECT_NEAR(Distance(ToVec3d(floor->nodes[1].point), ToVec3d(traced.nodes[1].point)), 0.0, 1e-4);
  EXPECT_NEAR(floor->nodes[1].point.z, 0.0f, 1e-5);
}

TEST_F(SearchKernelTest, TheMeanFreePathOfAShoeboxIsNearFourVOverS) {
  struct Case {
    Vec3d size, point;
  };
  const Case cases[] = {{{10, 7, 4}, {3.1, 2.3, 1.2}},
                        {{5, 5, 5}, {2.5, 2.5, 2.5}},
                        {{30, 4, 3}, {3, 1, 1.5}},
                        {{20, 15, 8}, {13, 4, 1.2}}};
  for (const Case& c : cases) {
    ResetObjectStore();
    AddBoxRoom(ToVertex(c.size));
    const double volume = c.size.x * c.size.y * c.size.z;
    const double surface = 2 * (c.size.x * c.size.y + c.size.y * c.size.z + c.size.x * c.size.z);
    FreePathSum sum;
    const double estimate = EstimateMeanFreePath(Faces(), c.point, sum);
    EXPECT_EQ(sum.hits, 239u * 7u);  // every ray reflects seven times in a closed room
    // Within 10 %: the estimate starts each ray at the point and weights
    // each ray's seven segments alike, where 4V/S is the diffuse mean.
    EXPECT_NEAR(estimate, 4 * volume / surface, 0.1 * 4 * volume / surface) << c.size.x << " x " << c.size.y;
  }
  FreePathSum none;
  EXPECT_EQ(EstimateMeanFreePath(CalcFaceTable{}, {0, 0, 0}, none), 0.0);
}

// ---- The search over the loudspeakers ----

class SpeakerSearchTest : public RayDesignTest {
 protected:
  void SetUp() override {
    RayDesignTest::SetUp();
    AddBoxRoom({7, 5, 3});
    AddObject({WallY(2.5f, 2, 4, 0, 2)});  // a panel in the room
  }
};

TEST_F(SpeakerSearchTest, ThreadedAndSingleThreadedSearchesFindTheSamePaths) {
  for (Vec3d at : {Vec3d{1, 1, 1}, Vec3d{6, 1, 2}, Vec3d{1, 4, 2.5}, Vec3d{5, 4, 1}, Vec3d{3, 1.2f, 1.5f}})
    AddSpeaker(at);
  RaySearchTables tables;
  ASSERT_EQ(PrepareRaySearchTables(tables, Design()), 5);
  const RaySearchOrders orders{5, 2, 3};  // image sources to 2, rays from 3 to 5
  const Vec3d target{3.5, 3.2, 1.2};
  auto run = [&](unsigned threads) {
    SearchMonitor monitor(1.0, tables.speakers.Count(), [](int, const char*) { return 0; });
    return SearchSpeakers(tables, target, orders, monitor, CalcExecution{threads});
  };
  const RaySearchOutcome single = run(1);
  const RaySearchOutcome threaded = run(4);
  EXPECT_GT(single.pathCount, 50u);
  const std::vector<PathRecord> paths = DecodePathRecords(single.records);
  EXPECT_TRUE(std::any_of(paths.begin(), paths.end(), [](const PathRecord& p) { return p.reflections >= 3; }));
  EXPECT_EQ(threaded.pathCount, single.pathCount);
  EXPECT_EQ(threaded.records, single.records);
  EXPECT_EQ(threaded.freePaths.hits, single.freePaths.hits);
  EXPECT_EQ(threaded.freePaths.distance, single.freePaths.distance);
  EXPECT_FALSE(threaded.cancelled);
}

TEST_F(SpeakerSearchTest, ACancelledSearchKeepsThePathsFoundSoFar) {
  AddSpeaker({1, 1, 1});
  AddSpeaker({6, 1, 2});
  RaySearchTables tables;
  ASSERT_EQ(PrepareRaySearchTables(tables, Design()), 2);
  const RaySearchOrders orders{4, 2, 3};
  FakeServices services;
  const RaySearchRun whole = SearchRayPaths(tables, {3.5, 3.2, 1.2}, orders, CalcExecution{1});
  EXPECT_EQ(services.progressTitle, "Calculating Reflections");
  EXPECT_EQ(services.progressOpen, 0);
  ASSERT_GT(services.percents.size(), 2u);
  EXPECT_TRUE(std::is_sorted(services.percents.begin(), services.percents.end()));
  EXPECT_LE(services.percents.back(), 100);
  EXPECT_FALSE(whole.outcome.cancelled);
  EXPECT_GT(whole.meanFreePath, 0.0);

  // Cancel at the first report: the image paths of the first loudspeaker,
  // found before its rays, stay.
  services.percents.clear();
  services.cancelAtUpdate = 1;
  const RaySearchRun cancelled = SearchRayPaths(tables, {3.5, 3.2, 1.2}, orders, CalcExecution{1});
  EXPECT_TRUE(cancelled.outcome.cancelled);
  EXPECT_EQ(services.percents.size(), 1u);
  EXPECT_EQ(services.progressOpen, 0);
  ASSERT_GT(cancelled.outcome.pathCount, 0u);
  EXPECT_LT(cancelled.outcome.pathCount, whole.outcome.pathCount);
  const std::vector<PathRecord> kept = DecodePathRecords(cancelled.outcome.records);
  const std::vector<PathRecord> all = DecodePathRecords(whole.outcome.records);
  for (size_t k = 0; k < kept.size(); ++k) EXPECT_EQ(PathLength(kept[k]), PathLength(all[k])) << k;

  // Workers stop at the Cancel of the calling thread.
  SearchMonitor monitor(1.0, 2, [](int, const char*) { return 1; });
  ASSERT_EQ(monitor.ReportSearchProgress(), 1);
  const RaySearchOutcome threaded = SearchSpeakers(tables, {3.5, 3.2, 1.2}, orders, monitor, CalcExecution{2});
  EXPECT_TRUE(threaded.cancelled);
  EXPECT_EQ(threaded.pathCount, 0u);
}

TEST_F(SpeakerSearchTest, WithoutFacesNoSearchRunsAndASearchFindsTheDirectPaths) {
  ResetObjectStore();
  AddSpeaker({1, 1, 1});
  RaySearchTables tables;
  ASSERT_EQ(PrepareRaySearchTables(tables, Design()), 1);
  FakeServices services;
  const RaySearchRun run = SearchRayPaths(tables, {3, 3, 1}, SplitSearchOrders(0, 3), CalcExecution{1});
  EXPECT_EQ(run.outcome.pathCount, 0u);
  EXPECT_EQ(services.progressTitle, "");

  // Searched all the same, each loudspeaker has its direct path, on one
  // thread as on several, with rays or without.
  AddSpeaker({2, 1, 1});
  ASSERT_EQ(PrepareRaySearchTables(tables, Design()), 2);
  auto direct = [&](unsigned threads) {
    SearchMonitor monitor(1.0, 2, [](int, const char*) { return 0; });
    return SearchSpeakers(tables, {3, 3, 1}, {3, 2, 3}, monitor, CalcExecution{threads});
  };
  const RaySearchOutcome single = direct(1);
  EXPECT_EQ(single.pathCount, 2u);
  EXPECT_EQ(direct(2).records, single.records);
}

// ---- The command and the clicked point ----

class CalculateRaysTest : public SpeakerSearchTest {
 protected:
  std::vector<GraphicObject*> RayPaths() const {
    std::vector<GraphicObject*> paths;
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (IsRayPath(o)) paths.push_back(o);
    return paths;
  }
  RaySearchState& state_ = gRaySearch;
};

TEST_F(CalculateRaysTest, WithoutActiveSpeakersTheCommandStops) {
  AddSpeaker({1, 1, 1}, 10.0f);  // plays no band
  MessageRecorder messages;
  EXPECT_FALSE(PrepareCalculateRays(state_, Design()));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"No speakers to process"});
}

TEST_F(CalculateRaysTest, TheCommandPutsThePathsToTheRaisedTargetIntoTheModel) {
  AddSpeaker({1, 1, 1});
  FakeServices services;
  ASSERT_TRUE(PrepareCalculateRays(state_, Design()));
  EXPECT_EQ(state_.tables.faces.Count(), 7);
  EXPECT_GE(state_.tables.faces.faces[0].halfNormalLength2, state_.tables.faces.faces[6].halfNormalLength2);

  const uint32_t loaded = CalculateRays(state_, Design(), "2,7", {3.5f, 3.2f, 1.2f});
  EXPECT_EQ(state_.orders.maxOrder, 2);
  EXPECT_FALSE(state_.orders.TracesRays());
  EXPECT_EQ(loaded, state_.storedPaths);
  const std::vector<GraphicObject*> paths = RayPaths();
  ASSERT_EQ(paths.size(), loaded);
  ASSERT_GT(loaded, 10u);
  for (GraphicObject* path : paths) {
    const ObjectVertex target = path->vertices[path->vertexCount - 1];
    EXPECT_EQ(target.z, 1.2f + 0.01f);
    EXPECT_EQ(RayPathTag(path, 0), kSourceTag);
  }
  EXPECT_GT(state_.meanFreePathEstimate, 0.5);
  EXPECT_EQ(services.progressTitle, "Calculating Reflections");

  // The reflection windows link them to the loudspeaker; none is left out.
  MessageRecorder messages;
  const LinkOutcome linked = LinkPathsToSpeakers(state_.tables, Design(), state_.meanFreePathEstimate, state_.results);
  EXPECT_EQ(uint32_t(linked.paths), loaded);
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(CalculateRaysTest, TheClickedPointSearchLinksAndSortsItsPaths) {
  AddSpeaker({1, 1, 1}, 1.0e6f, 3.0f);
  AddSpeaker({6, 1, 2});
  FakeServices services;
  // 7 faces and 2 loudspeakers: order trunc(10 / ln 14) = 3.
  const int32_t kept = SearchPathsAtPoint(state_, Design(), {3.5f, 3.2f, 1.2f}, ReportProgress, CalcExecution{1});
  EXPECT_EQ(state_.orders.maxOrder, 3);
  EXPECT_FALSE(state_.orders.TracesRays());
  const std::vector<GraphicObject*> paths = RayPaths();
  ASSERT_EQ(int32_t(paths.size()), kept);
  EXPECT_EQ(uint32_t(kept), state_.storedPaths);
  EXPECT_EQ(paths.front(), gObjects.model.first);
  for (size_t k = 1; k < paths.size(); ++k) EXPECT_LE(RayPathTime(paths[k - 1]), RayPathTime(paths[k]));
  EXPECT_TRUE(std::all_of(paths.begin(), paths.end(), [](GraphicObject* p) { return RayPathTag(p, 0) < 2; }));
  EXPECT_GT(state_.results.meanFreePath, 0.5f);
  EXPECT_EQ(services.progressTitle, "");  // no progress window
  EXPECT_EQ(services.waitDepth, 0);

  DeleteRayPaths(state_, gObjects.model);
  EXPECT_TRUE(RayPaths().empty());
  EXPECT_EQ(state_.pathCount, 0);
}

TEST_F(CalculateRaysTest, TheClickedPointSearchStopsAtACancel) {
  // Enough faces for the estimate to reach a report point.
  for (int i = 0; i < 60; ++i) AddObject({RectangleXY(0.1f * float(i), 0, 0.1f * float(i) + 0.1f, 0.1f, 0.01f)});
  AddSpeaker({1, 1, 1});
  static int reports = 0;
  reports = 0;
  const SearchReport escape = [](int, const char*) { return ++reports > 0 ? 1 : 0; };
  // The reference tests every face, so its face tests reach a report point.
  EXPECT_EQ(SearchPathsAtPoint(state_, Design(), {3.5f, 3.2f, 1.2f}, escape, kReferenceExecution), 0);
  EXPECT_GT(reports, 0);
  EXPECT_TRUE(RayPaths().empty());
}

}  // namespace
