#include "design/acoustics/face_index.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>

namespace {

// A reach box lies this far beyond every point the exact tests can accept
// on its face: a fixed amount and a share of its largest coordinate, well
// above the rounding of a hit point to single precision (6e-8 of it).
constexpr double kReachMargin = 1.0e-4;  // m
constexpr double kReachRelativeMargin = 1.0e-6;

// Faces group by the unit normal rounded to this step per component and the
// plane offset rounded to this many metres.
constexpr double kGroupNormalStep = 1.0e-5;
constexpr double kGroupOffsetStep = 1.0e-3;

// A reflection point found on a group plane lies within the bound of the
// group's departure times this factor of the point on any member, plus the
// same margins as a reach box.
constexpr double kDepartureSafety = 4.0;
// The exact tests round the mirror image and the path to single precision:
// a point of them may lie this share of their size away.
constexpr double kCoordinateRounding = 1.0e-6;
// A group whose departure makes up half the heights of the two points above
// its plane, or whose path runs more than this many times as far along the
// plane as those heights, names every member.
constexpr double kMaxStretch = 1.0e6;

bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

bool FaceIsFinite(const CalcFace& face) {
  return AllFinite({face.normal.x, face.normal.y, face.normal.z, face.planePoint.x, face.planePoint.y,
                    face.planePoint.z, face.planeConstant, face.halfNormalLength2, face.box.min[0], face.box.min[1],
                    face.box.min[2], face.box.max[0], face.box.max[1], face.box.max[2]});
}

// The two axes the face's point-in-face test projects on.
void ProjectionAxes(const CalcFace& face, int& u, int& v) {
  u = face.dominantAxis == 0 ? 1 : 0;
  v = face.dominantAxis == 2 ? 1 : 2;
}

// Whether the point-in-face test can accept any point: a face whose box is
// empty on a projected axis accepts none.
bool FaceCanHold(const CalcFace& face) {
  int u, v;
  ProjectionAxes(face, u, v);
  return face.box.min[u] <= face.box.max[u] && face.box.min[v] <= face.box.max[v];
}

float RoundDown(double x) {
  float f = float(x);
  if (double(f) > x) f = std::nextafter(f, -std::numeric_limits<float>::infinity());
  return f;
}
float RoundUp(double x) {
  float f = float(x);
  if (double(f) < x) f = std::nextafter(f, std::numeric_limits<float>::infinity());
  return f;
}

double LargestMagnitude(Vec3d p) { return std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}); }

// The face's plane in the two forms the tests use: through the plane point,
// and by the stored constant; as offsets along the Newell normal.
std::array<double, 2> PlaneOffsets(const CalcFace& face) {
  return {Dot(ToVec3d(face.normal), ToVec3d(face.planePoint)), -double(face.planeConstant)};
}

FaceBox ReachBox(const CalcFace& face) {
  int u, v;
  ProjectionAxes(face, u, v);
  const int w = int(face.dominantAxis);
  const Vec3d n = ToVec3d(face.normal);
  double low[3], high[3];
  for (int a = 0; a < 3; ++a) {
    low[a] = face.box.min[a];
    high[a] = face.box.max[a];
  }
  // The plane over the corners of the projected box, in both forms.
  for (double offset : PlaneOffsets(face))
    for (double cu : {low[u], high[u]})
      for (double cv : {low[v], high[v]}) {
        const double cw = (offset - n[u] * cu - n[v] * cv) / n[w];
        low[w] = std::min(low[w], cw);
        high[w] = std::max(high[w], cw);
      }
  double largest = 0;
  for (int a = 0; a < 3; ++a) largest = std::max({largest, std::fabs(low[a]), std::fabs(high[a])});
  const double margin = kReachMargin + kReachRelativeMargin * largest;
  FaceBox reach;
  for (int a = 0; a < 3; ++a) {
    reach.min[a] = RoundDown(low[a] - margin);
    reach.max[a] = RoundUp(high[a] + margin);
  }
  return reach;
}

double Centre(const FaceBox& box, int axis) { return (double(box.min[axis]) + box.max[axis]) / 2; }

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr float kFloatInfinity = std::numeric_limits<float>::infinity();

// A hierarchy splits its faces at one of the bounds between this many bins
// of their box centres.
constexpr uint32_t kSplitBins = 16;
uint32_t BinOf(double centre, double low, double extent) {
  return std::min(uint32_t((centre - low) / extent * kSplitBins), kSplitBins - 1);
}

}  // namespace

void FaceIndex::Clear() { *this = FaceIndex{}; }

void FaceIndex::Build(const CalcFaceTable& table) {
  Clear();
  faceCount_ = table.Count();
  reach_.resize(table.faces.size());

  // Faces the hierarchies hold, and their plane groups by rounded plane.
  std::vector<std::vector<uint32_t>> members;
  std::map<std::array<long long, 4>, uint32_t> groupOfPlane;
  for (uint32_t f = 0; f < uint32_t(table.faces.size()); ++f) {
    const CalcFace& face = table.faces[f];
    if (!FaceIsFinite(face)) {
      alwaysNamed_.push_back(f);
      continue;
    }
    if (!FaceCanHold(face)) continue;
    reach_[f] = ReachBox(face);
    if (!AllFinite({reach_[f].min[0], reach_[f].min[1], reach_[f].min[2], reach_[f].max[0], reach_[f].max[1],
                    reach_[f].max[2]})) {
      alwaysNamed_.push_back(f);
      continue;
    }
    order_.push_back(f);
    const Vec3d n = ToVec3d(face.normal);
    const Vec3d unit = n * (1.0 / std::sqrt(Dot(n, n)));
    const std::array<long long, 4> key = {
        std::llround(unit.x / kGroupNormalStep), std::llround(unit.y / kGroupNormalStep),
        std::llround(unit.z / kGroupNormalStep), std::llround(Dot(unit, ToVec3d(face.planePoint)) / kGroupOffsetStep)};
    const auto [slot, added] = groupOfPlane.emplace(key, uint32_t(members.size()));
    if (added) members.emplace_back();
    members[slot->second].push_back(f);
  }
  lineFaces_ = uint32_t(order_.size());
  if (lineFaces_ > 0) allRoot_ = BuildHierarchy(0, lineFaces_);

  groups_.reserve(members.size());
  for (const std::vector<uint32_t>& faces : members) {
    PlaneGroup group;
    Vec3d normalSum, centreSum;
    for (uint32_t f : faces) {
      const Vec3d n = ToVec3d(table.faces[f].normal);
      normalSum = normalSum + n * (1.0 / std::sqrt(Dot(n, n)));
      centreSum = centreSum + Vec3d{Centre(reach_[f], 0), Centre(reach_[f], 1), Centre(reach_[f], 2)};
    }
    group.normal = normalSum * (1.0 / std::sqrt(Dot(normalSum, normalSum)));
    const Vec3d amid = centreSum * (1.0 / double(faces.size()));
    // The group plane runs through amid at the members' mean offset there.
    double heightSum = 0;
    for (uint32_t f : faces) {
      const CalcFace& face = table.faces[f];
      const Vec3d n = ToVec3d(face.normal);
      heightSum += (Dot(n, amid) - PlaneOffsets(face)[0]) / std::sqrt(Dot(n, n));
    }
    group.centre = amid - group.normal * (heightSum / double(faces.size()));
    group.offset = Dot(group.normal, group.centre);
    for (uint32_t f : faces) {
      const CalcFace& face = table.faces[f];
      const Vec3d n = ToVec3d(face.normal);
      const double length2 = Dot(n, n), length = std::sqrt(length2);
      const Vec3d unit = n * (1.0 / length);
      const Vec3d turn = unit - group.normal;
      group.tilt = std::max(group.tilt, std::sqrt(Dot(turn, turn)));
      for (double offset : PlaneOffsets(face))
        group.spread = std::max(group.spread, std::fabs(Dot(n, group.centre) - offset) / length);
      group.scaleError = std::max(group.scaleError, std::fabs(1.0 - length2 / (2.0 * face.halfNormalLength2)));
    }
    group.first = uint32_t(order_.size());
    group.count = uint32_t(faces.size());
    order_.insert(order_.end(), faces.begin(), faces.end());
    group.root = BuildHierarchy(group.first, group.count);
    groups_.push_back(group);
  }
}

uint32_t FaceIndex::BuildHierarchy(uint32_t first, uint32_t count) {
  const uint32_t root = uint32_t(nodes_.size());
  nodes_.emplace_back();
  BuildNode(root, first, count, 0);
  return root;
}

namespace {

// The surface area of a box: what a hierarchy's walk pays for entering it.
double BoxArea(const double (&low)[3], const double (&high)[3]) {
  const double x = high[0] - low[0], y = high[1] - low[1], z = high[2] - low[2];
  return x * y + y * z + z * x;
}

struct Bin {
  double low[3] = {kInfinity, kInfinity, kInfinity};
  double high[3] = {-kInfinity, -kInfinity, -kInfinity};
  uint32_t count = 0;
  void Add(const FaceBox& box) {
    for (int a = 0; a < 3; ++a) {
      low[a] = std::min(low[a], double(box.min[a]));
      high[a] = std::max(high[a], double(box.max[a]));
    }
    ++count;
  }
  void Add(const Bin& other) {
    for (int a = 0; a < 3; ++a) {
      low[a] = std::min(low[a], other.low[a]);
      high[a] = std::max(high[a], other.high[a]);
    }
    count += other.count;
  }
};

}  // namespace

void FaceIndex::BuildNode(uint32_t node, uint32_t first, uint32_t count, int depth) {
  Node bounds{{kFloatInfinity, kFloatInfinity, kFloatInfinity},
              {-kFloatInfinity, -kFloatInfinity, -kFloatInfinity},
              first,
              count};
  double centreLow[3] = {kInfinity, kInfinity, kInfinity};
  double centreHigh[3] = {-kInfinity, -kInfinity, -kInfinity};
  for (uint32_t i = first; i < first + count; ++i) {
    const FaceBox& box = reach_[order_[i]];
    for (int a = 0; a < 3; ++a) {
      bounds.min[a] = std::min(bounds.min[a], box.min[a]);
      bounds.max[a] = std::max(bounds.max[a], box.max[a]);
      centreLow[a] = std::min(centreLow[a], Centre(box, a));
      centreHigh[a] = std::max(centreHigh[a], Centre(box, a));
    }
  }
  nodes_[node] = bounds;
  if (count <= kLeafFaces) return;

  // The split of the box centres into bins along an axis that makes the
  // walks cheapest (the children's areas weighted by their faces); a
  // median split where the centres coincide or the hierarchy grows deep.
  int axis = -1;
  uint32_t splitBin = 0;
  double best = kInfinity;
  if (depth < kMaxDepth / 2) {
    for (int a = 0; a < 3; ++a) {
      const double extent = centreHigh[a] - centreLow[a];
      if (!(extent > 0)) continue;
      Bin bins[kSplitBins];
      for (uint32_t i = first; i < first + count; ++i) {
        const FaceBox& box = reach_[order_[i]];
        bins[BinOf(Centre(box, a), centreLow[a], extent)].Add(box);
      }
      Bin below[kSplitBins];
      for (uint32_t b = 0; b < kSplitBins; ++b) {
        below[b] = bins[b];
        if (b > 0) below[b].Add(below[b - 1]);
      }
      Bin above;
      for (uint32_t b = kSplitBins - 1; b > 0; --b) {
        above.Add(bins[b]);
        const Bin& left = below[b - 1];
        if (left.count == 0 || above.count == 0) continue;
        const double cost = BoxArea(left.low, left.high) * left.count + BoxArea(above.low, above.high) * above.count;
        if (cost < best) {
          best = cost;
          axis = a;
          splitBin = b;
        }
      }
    }
  }
  uint32_t half;
  if (axis >= 0) {
    const double low = centreLow[axis], extent = centreHigh[axis] - low;
    const auto middle = std::partition(order_.begin() + first, order_.begin() + first + count, [&](uint32_t f) {
      return BinOf(Centre(reach_[f], axis), low, extent) < splitBin;
    });
    half = uint32_t(middle - (order_.begin() + first));
  } else {
    axis = 0;
    for (int a = 1; a < 3; ++a)
      if (centreHigh[a] - centreLow[a] > centreHigh[axis] - centreLow[axis]) axis = a;
    half = count / 2;
    std::nth_element(order_.begin() + first, order_.begin() + first + half, order_.begin() + first + count,
                     [&](uint32_t a, uint32_t b) {
                       const double ca = Centre(reach_[a], axis), cb = Centre(reach_[b], axis);
                       return ca < cb || (ca == cb && a < b);
                     });
  }
  const uint32_t children = uint32_t(nodes_.size());
  nodes_.resize(nodes_.size() + 2);
  nodes_[node].first = children;
  nodes_[node].count = 0;
  BuildNode(children, first, half, depth + 1);
  BuildNode(children + 1, first + half, count - half, depth + 1);
}

size_t FaceIndex::MemoryBytes() const {
  return sizeof(*this) + reach_.capacity() * sizeof(FaceBox) + nodes_.capacity() * sizeof(Node) +
         order_.capacity() * sizeof(uint32_t) + groups_.capacity() * sizeof(PlaneGroup) +
         alwaysNamed_.capacity() * sizeof(uint32_t);
}

template <typename Visit>
void FaceIndex::VisitNear(uint32_t root, Vec3d low, Vec3d high, double margin, Visit&& visit) const {
  uint32_t stack[kMaxDepth];
  int top = 0;
  stack[top++] = root;
  auto near = [&](const float(&min)[3], const float(&max)[3]) {
    for (int a = 0; a < 3; ++a)
      if (!(high[a] >= min[a] - margin && low[a] <= max[a] + margin)) return false;
    return true;
  };
  while (top > 0) {
    const Node& node = nodes_[stack[--top]];
    if (!near(node.min, node.max)) continue;
    if (node.count > 0) {
      for (uint32_t i = node.first; i < node.first + node.count; ++i)
        if (near(reach_[order_[i]].min, reach_[order_[i]].max)) visit(order_[i]);
    } else {
      stack[top++] = node.first + 1;
      stack[top++] = node.first;
    }
  }
}

void FaceIndex::AppendMembers(const PlaneGroup& group, std::vector<uint32_t>& faces) const {
  faces.insert(faces.end(), order_.begin() + group.first, order_.begin() + group.first + group.count);
}

void FaceIndex::CollectReflectingFaces(Vec3d mirrored, Vec3d other, ReflectingSide side, double pathLimit2,
                                       std::vector<uint32_t>& faces) const {
  CollectReflectors(mirrored, {}, other, side, pathLimit2, faces);
}

uint32_t FaceIndex::CollectBoxReflectingFaces(Vec3d low, Vec3d high, Vec3d other, std::vector<uint32_t>& faces) const {
  const Vec3d centre = (low + high) * 0.5;
  // Every point of the box lies within this of the centre on each axis, the
  // rounding of the centre allowed for.
  const double rounding = 1e-12 * (1 + LargestMagnitude(centre));
  const Vec3d half = (high - low) * (0.5 * (1 + 1e-12)) + Vec3d{rounding, rounding, rounding};
  return CollectReflectors(centre, half, other, ReflectingSide::kEither, kInfinity, faces);
}

uint32_t FaceIndex::CollectReflectors(Vec3d mirrored, Vec3d half, Vec3d other, ReflectingSide side, double pathLimit2,
                                      std::vector<uint32_t>& faces) const {
  faces.assign(alwaysNamed_.begin(), alwaysNamed_.end());
  uint32_t naming = 0;
  const double pathLimit = std::sqrt(pathLimit2);
  // How far a point of the box may lie from its centre: along a line, in
  // one coordinate and in the sum of the coordinates.
  const double radius = std::sqrt(Dot(half, half));
  const double widest = LargestMagnitude(half), sum = half.x + half.y + half.z;
  const bool single = sum == 0;
  for (const PlaneGroup& group : groups_) {
    // Heights of the two points over the group plane (the receiver's within
    // `across` of the centre's), and how far they may be off for a member:
    // its plane departs from the group's, the mirror distance carries the
    // rounding of its normal length, and the points the rounding of the
    // exact tests; each at its largest over the box.
    const double p = Dot(group.normal, mirrored) - group.offset;
    const double q = Dot(group.normal, other) - group.offset;
    const double across =
        std::fabs(group.normal.x) * half.x + std::fabs(group.normal.y) * half.y + std::fabs(group.normal.z) * half.z;
    const double rounding = kCoordinateRounding *
                            (1 + LargestMagnitude(mirrored) + widest + LargestMagnitude(other) + std::fabs(p) + across);
    const double slackP =
        2 * (group.Departure(mirrored) + group.tilt * sum) + group.scaleError * (std::fabs(p) + across) + rounding;
    const double slackQ = group.Departure(other) + rounding;
    const bool clear = std::fabs(p) - across > slackP && std::fabs(q) > slackQ;
    if (clear && ((p > 0) != (q > 0) || (side == ReflectingSide::kFront && p < 0))) continue;

    const double heights = std::fabs(p) - across + std::fabs(q), slack = slackP + slackQ;
    const Vec3d image = mirrored - group.normal * (2 * p);
    const Vec3d path = image - other;
    const double length = std::sqrt(Dot(path, path));
    const double stretch = (length + radius) / (heights - slack);
    if (!clear || !(slack < 0.5 * heights) || !(stretch < kMaxStretch)) {
      AppendMembers(group, faces);
      ++naming;
      continue;
    }
    // A member's mirror image lies within twice the slack and the tilt of
    // the group's; its path is then no shorter than this one less that. (For
    // a box only the centre's path is known, which says nothing of the
    // shortest.)
    const double tilted = group.tilt * (heights + 2 * across);
    const double imageShift = 2 * (slack + tilted);
    if (single && length - kDepartureSafety * imageShift - kReachMargin > pathLimit) continue;

    // The reflection points on the group plane lie at the fraction |q| /
    // (|q| + |p|) of the path from `other` to the receiver's mirror image:
    // over the box between the fractions of its lowest and highest points,
    // the image within the radius of the centre's. So they lie in the ball
    // about the point of the middle fraction that holds both spreads. A
    // member's reflection point lies this far from the group plane's: the
    // heights' slack stretched along the path, the tilt over the heights
    // and the point's distance from the centre.
    const double nearest = std::fabs(q) / heights, farthest = std::fabs(q) / (heights + 2 * across);
    const Vec3d point = other + path * ((nearest + farthest) / 2);
    const double spread = length * (nearest - farthest) / 2 + radius * nearest;
    const double shift = slack * (1 + stretch) + tilted + group.Departure(point) + group.tilt * 2 * spread;
    const double margin =
        spread + kDepartureSafety * shift + kReachMargin + kReachRelativeMargin * (LargestMagnitude(point) + spread);
    if (!AllFinite({point.x, point.y, point.z, margin})) {
      AppendMembers(group, faces);
      ++naming;
      continue;
    }
    const size_t before = faces.size();
    VisitNear(group.root, point, point, margin, [&faces](uint32_t f) { faces.push_back(f); });
    if (faces.size() > before) ++naming;
  }
  std::sort(faces.begin(), faces.end());
  return naming;
}

namespace {

// Whether the convex hull of the boxes a and b meets the box from `min` to
// `max`: whether for some t in 0..1 the box a + t (b - a) (each bound moved
// linearly) meets it. A bound that is not a number meets everything.
bool HullMeets(const Bounds& a, const Bounds& b, const float (&min)[3], const float (&max)[3]) {
  double first = 0, last = 1;
  // Narrows first .. last to the t where from + t step <= bound.
  auto below = [&](double from, double step, double bound) {
    if (step > 0) last = std::min(last, (bound - from) / step);
    else if (step < 0) first = std::max(first, (bound - from) / step);
    else if (from > bound) last = -1;
  };
  for (int axis = 0; axis < 3; ++axis) {
    below(a.low[axis], b.low[axis] - a.low[axis], max[axis]);
    below(-a.high[axis], a.high[axis] - b.high[axis], -double(min[axis]));
  }
  return !(first > last);
}

}  // namespace

void FaceIndex::CollectFacesBetween(const Bounds& a, const Bounds& b, std::vector<uint32_t>& faces) const {
  faces.assign(alwaysNamed_.begin(), alwaysNamed_.end());
  if (lineFaces_ > 0) {
    uint32_t stack[kMaxDepth];
    int top = 0;
    stack[top++] = allRoot_;
    while (top > 0) {
      const Node& node = nodes_[stack[--top]];
      if (!HullMeets(a, b, node.min, node.max)) continue;
      if (node.count > 0) {
        for (uint32_t i = node.first; i < node.first + node.count; ++i)
          if (HullMeets(a, b, reach_[order_[i]].min, reach_[order_[i]].max)) faces.push_back(order_[i]);
      } else {
        stack[top++] = node.first + 1;
        stack[top++] = node.first;
      }
    }
  }
  std::sort(faces.begin(), faces.end());
}

bool FaceIndex::ReachOf(uint32_t face, Bounds& bounds) const {
  if (face >= reach_.size() || std::binary_search(alwaysNamed_.begin(), alwaysNamed_.end(), face)) return false;
  const FaceBox& reach = reach_[face];
  bounds = {{reach.min[0], reach.min[1], reach.min[2]}, {reach.max[0], reach.max[1], reach.max[2]}};
  return true;
}

bool SegmentClearOfFaces(const CalcFaceTable& table, const FaceIndex& index, CalcRay& ray, const CalcFace* skipped) {
  const SegmentProbe segment = ProbeSegment(ray);
  double limit = 1;
  return index.VisitAlongLine(segment.origin, ToVec3d(ray.direction), limit, [&](uint32_t f) {
    const CalcFace& face = table.faces[f];
    double t;
    return &face == skipped || !SegmentCrossesFace(segment, face, ray, t);
  });
}
