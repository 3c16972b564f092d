// The face index: an acceleration structure over a calculation face table
// that the level map, the shading tests and the reflection-path search ask
// which faces a test needs to visit. It never decides a test itself: every
// face it names is tested exactly as without it, and a face it leaves out
// is one that exact test would reject, so every figure, every tie and the
// order of arrivals and paths stay those of the tests over all faces.
//
// Each face gets a reach box: the box that holds every point the exact
// tests can accept on the face. On the two axes its point-in-face test
// projects on that is the face's own box; on the third it is the span of
// the face's plane over that rectangle (in both forms the tests use, the
// plane through the plane point and the one of the stored constant); all
// widened by more than the rounding of a computed hit point. The reach
// boxes are kept in a bounding-volume hierarchy that lines and segments
// walk front to back. The faces are also grouped by plane: faces whose
// planes agree within a small tilt and offset share a group plane and the
// bound of how far a member's plane departs from it, and each group keeps a
// hierarchy of its own members. A first-order reflection point is then
// found once per group, and only the members whose reach box can hold it,
// allowing for the departure, are named; a group for which that bound is
// not tight (a point close to its plane, a grazing path) names every
// member. Faces with coordinates that are not finite are always named.
// The same holds for a box of receivers (neighbouring grid points) at
// once: the reflection points of all its points off a group plane lie in a
// ball about that of its centre, so a face whose reach box that ball misses
// reflects to no point of it, and the exact tests of the points need visit
// only the faces it names.
//
// The index holds face numbers, not pointers: it stays valid while the
// table it was built from is unchanged, wherever that table is moved. Once
// built it is only read, so any number of threads query it at once.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "design/acoustics/calc_faces.h"

// An axis-aligned box, inclusive.
struct Bounds {
  Vec3d low, high;
};

// Which side of a face a reflection must lie on.
enum class ReflectingSide {
  kEither,  // the two points on one side, either (the receiver engine's test)
  kFront,   // both in front, the side the normal points to (the image sources)
};

class FaceIndex {
 public:
  // Rebuilds the index over `table`.
  void Build(const CalcFaceTable& table);
  void Clear();
  // Whether it was built over a table of the size of `table`. A table
  // rebuilt to another size is tested face by face until its index is
  // rebuilt too (whoever rebuilds a table rebuilds its index).
  bool Covers(const CalcFaceTable& table) const { return faceCount_ == table.Count(); }
  // The memory the index holds, bytes.
  size_t MemoryBytes() const;
  size_t GroupCount() const { return groups_.size(); }
  // Asking a plane group costs about this many exact face tests (measured:
  // bench_level_map prints both).
  static constexpr double kGroupCost = 0.5;
  // Whether asking the groups for the faces that may reflect costs less than
  // testing `faces` faces.
  bool GroupsCheaperThan(double faces) const { return kGroupCost * double(groups_.size()) <= faces; }
  // Whether asking for reflecting faces costs less than testing every face:
  // when the faces lie in few enough planes.
  bool PlaneGroupsPay() const { return GroupsCheaperThan(faceCount_); }

  // Visits the faces whose reach box meets the part of the line origin +
  // t direction with 0 <= t <= limit, nearer boxes first (not strictly by
  // face: a face is visited when its box is reached). `visit(face)` returns
  // false to end the walk and may lower `limit` meanwhile. Returns false
  // when a visit ended it.
  template <typename Visit>
  bool VisitAlongLine(Vec3d origin, Vec3d direction, double& limit, Visit&& visit) const;

  // Fills `faces`, in increasing order, with every face off which a
  // first-order reflection from `mirrored` (the point mirrored in the face)
  // to `other` may pass: on the side `side` asks for, with a reflection
  // point inside the face and a path from the mirror image to `other` not
  // longer than sqrt(pathLimit2).
  void CollectReflectingFaces(Vec3d mirrored, Vec3d other, ReflectingSide side, double pathLimit2,
                              std::vector<uint32_t>& faces) const;
  // Fills `faces`, in increasing order, with every face whose reach box
  // meets the convex hull of the boxes `a` and `b`: all that a segment from
  // a point of `a` to a point of `b` can cross.
  void CollectFacesBetween(const Bounds& a, const Bounds& b, std::vector<uint32_t>& faces) const;
  // The reach box of `face`: every point the exact tests accept on it lies
  // inside. False, leaving `bounds` alone, for a face whose reach is not
  // known (one with coordinates that are not finite).
  bool ReachOf(uint32_t face, Bounds& bounds) const;

  // The same for every point of the box from `low` to `high` at once, on
  // either side and at any path length: fills `faces`, in increasing order,
  // with every face that may reflect from `other` to some point of the box.
  // Returns the number of plane groups that named a face.
  uint32_t CollectBoxReflectingFaces(Vec3d low, Vec3d high, Vec3d other, std::vector<uint32_t>& faces) const;

 private:
  // A node of a hierarchy: the union of its faces' reach boxes.
  struct Node {
    float min[3], max[3];
    uint32_t first;  // a leaf: its first face in order_; an inner node: its first child (the second follows)
    uint32_t count;  // a leaf: its faces (at least 1); an inner node: 0
  };
  // Faces whose planes agree closely, with one plane for them all.
  struct PlaneGroup {
    Vec3d normal;                   // unit, the side the members' normals point to
    double offset = 0;              // normal . x on the group plane
    Vec3d centre;                   // a point of the group plane amid the members
    double spread = 0;              // the farthest any member's plane lies from the centre, m
    double tilt = 0;                // the largest |member unit normal - normal|
    double scaleError = 0;          // the largest relative error of a member's mirror distance
    uint32_t root = 0;              // its hierarchy's root node
    uint32_t first = 0, count = 0;  // its members in order_
    // How far a member's plane may lie from the group's at `p`, m.
    double Departure(Vec3d p) const {
      return spread + tilt * (std::fabs(p.x - centre.x) + std::fabs(p.y - centre.y) + std::fabs(p.z - centre.z));
    }
  };

  static constexpr uint32_t kLeafFaces = 4;
  // Lines visit every face of a table this small, in order, without boxes.
  static constexpr uint32_t kWalkedFaces = 32;
  static constexpr int kMaxDepth = 64;

  uint32_t BuildHierarchy(uint32_t first, uint32_t count);
  void BuildNode(uint32_t node, uint32_t first, uint32_t count, int depth);
  // Visits the faces of the hierarchy at `root` whose reach box lies within
  // `margin` of the box from `low` to `high`.
  template <typename Visit>
  void VisitNear(uint32_t root, Vec3d low, Vec3d high, double margin, Visit&& visit) const;
  void AppendMembers(const PlaneGroup& group, std::vector<uint32_t>& faces) const;
  // The faces that may reflect from `other` to any point of the box about
  // `mirrored` `half` wide on each side (a box of some size is taken at any
  // path length); the number of groups that named a face.
  uint32_t CollectReflectors(Vec3d mirrored, Vec3d half, Vec3d other, ReflectingSide side, double pathLimit2,
                             std::vector<uint32_t>& faces) const;
  // A line as the walk takes it, with the reciprocals of its direction.
  struct Line {
    double origin[3], direction[3], inverse[3];
  };
  static bool EnterNode(const Node& node, const Line& line, double limit, double& enter);

  int32_t faceCount_ = 0;
  std::vector<FaceBox> reach_;   // per face
  std::vector<Node> nodes_;      // every hierarchy's
  std::vector<uint32_t> order_;  // face numbers: the leaves' runs, then the groups' members
  uint32_t allRoot_ = 0;         // the hierarchy of every face, over the first lineFaces_ of order_
  uint32_t lineFaces_ = 0;
  std::vector<PlaneGroup> groups_;
  std::vector<uint32_t> alwaysNamed_;  // faces with coordinates that are not finite
};

// What CheckSegmentFaces(table, ray, skipped, 0) == 1 says: no face of
// `table` but `skipped` crosses the segment of `ray`, asking `index` (built
// over `table`) which faces to test. The hit point and face of `ray` are
// left at the last face tested.
bool SegmentClearOfFaces(const CalcFaceTable& table, const FaceIndex& index, CalcRay& ray, const CalcFace* skipped);

// ---- Inline walks ----

inline bool FaceIndex::EnterNode(const Node& node, const Line& line, double limit, double& enter) {
  // An axis on which a bound is not a number constrains nothing, so that a
  // degenerate line is handed to the exact tests rather than lost.
  double low = 0, high = limit;
  for (int a = 0; a < 3; ++a) {
    const double o = line.origin[a];
    if (line.direction[a] == 0) {
      if (o < node.min[a] || o > node.max[a]) return false;
      continue;
    }
    double entry = (node.min[a] - o) * line.inverse[a], exit = (node.max[a] - o) * line.inverse[a];
    if (entry > exit) std::swap(entry, exit);
    if (entry > low) low = entry;
    if (exit < high) high = exit;
  }
  enter = low;
  return !(low > high);
}

template <typename Visit>
bool FaceIndex::VisitAlongLine(Vec3d origin, Vec3d direction, double& limit, Visit&& visit) const {
  if (faceCount_ <= int32_t(kWalkedFaces)) {
    for (uint32_t face = 0; face < uint32_t(faceCount_); ++face)
      if (!visit(face)) return false;
    return true;
  }
  for (uint32_t face : alwaysNamed_)
    if (!visit(face)) return false;
  if (lineFaces_ == 0) return true;
  struct Pending {
    uint32_t node;
    double enter;
  };
  Line line;
  for (int a = 0; a < 3; ++a) {
    line.origin[a] = origin[a];
    line.direction[a] = direction[a];
    line.inverse[a] = 1 / direction[a];
  }
  Pending stack[kMaxDepth];
  int top = 0;
  double enter = 0;
  if (EnterNode(nodes_[allRoot_], line, limit, enter)) stack[top++] = {allRoot_, enter};
  while (top > 0) {
    const Pending pending = stack[--top];
    if (pending.enter > limit) continue;
    const Node& node = nodes_[pending.node];
    if (node.count > 0) {
      for (uint32_t i = node.first; i < node.first + node.count; ++i)
        if (!visit(order_[i])) return false;
      continue;
    }
    double enterA = 0, enterB = 0;
    const bool a = EnterNode(nodes_[node.first], line, limit, enterA);
    const bool b = EnterNode(nodes_[node.first + 1], line, limit, enterB);
    // The nearer child goes on top, so it is walked first.
    if (a && b && enterA > enterB) {
      stack[top++] = {node.first, enterA};
      stack[top++] = {node.first + 1, enterB};
    } else {
      if (b) stack[top++] = {node.first + 1, enterB};
      if (a) stack[top++] = {node.first, enterA};
    }
  }
  return true;
}
