#include "design/acoustics/receiver_engine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "framework/core/state_reset.h"

ReceiverEngineState gReceiverEngine;

void ResetReceiverEngine() {
  gReceiverEngine.activeSpeakers = ActiveSpeakerTable{};
  gReceiverEngine.faceIndex.Clear();
  gReceiverEngine.context = ReceiverContext{};
}

namespace {
const StateReset kReset(ResetReceiverEngine);
}  // namespace

// ---- The active loudspeakers ----

uint16_t CalculationBandMask(const Loudspeaker& speaker) {
  uint16_t mask = 0;
  for (int b = 0; b < kBandCount; ++b)
    if (std::fabs(speaker.intensity[size_t(b)]) > kActiveBandIntensity) mask |= uint16_t(1u << b);
  return mask;
}

namespace {

// The flag of one aiming angle, with its sine and cosine when turned.
uint16_t TurnAngle(float angle, float& sine, float& cosine) {
  if (!(std::fabs(angle) > kTurnedAngle)) return 0;
  sine = float(std::sin(double(angle)));
  cosine = float(std::cos(double(angle)));
  return 1;
}

}  // namespace

bool AddActiveSpeaker(ActiveSpeakerTable& table, const Loudspeaker& speaker, uint16_t bandMask,
                      const SpeakerTypeTable& types) {
  const SpeakerType* type = types.At(speaker.typeIndex);
  if (bandMask == 0 || !type || table.Count() >= kMaxActiveSpeakers) return false;
  ActiveSpeaker entry;
  entry.speaker = speaker;
  entry.type = type;
  entry.bandMask = bandMask;
  entry.horizontalTurned = TurnAngle(speaker.horizontal, entry.sinHorizontal, entry.cosHorizontal);
  entry.verticalTurned = TurnAngle(speaker.vertical, entry.sinVertical, entry.cosVertical);
  entry.rotationTurned = TurnAngle(speaker.rotation, entry.sinRotation, entry.cosRotation);
  table.entries.push_back(std::move(entry));

  std::array<uint16_t, 8>& words = table.counts.words;
  for (int b = 0; b < kBandCount; ++b)
    if (bandMask & (1u << b)) ++words[size_t(b)];
  words[7] = std::any_of(words.begin() + 1, words.begin() + 6, [](uint16_t w) { return w != 0; }) ? 1 : 0;
  return true;
}

int PrepareActiveSpeakers(ActiveSpeakerTable& table, const ObjectList& model, const SpeakerTypeTable& types) {
  table.entries.clear();
  table.counts = BandSpeakerCounts{};
  for (GraphicObject* object = model.first; object; object = object->next) {
    Loudspeaker speaker;
    if (!ReadLoudspeaker(object, speaker) || !speaker.IsOn()) continue;
    AddActiveSpeaker(table, speaker, CalculationBandMask(speaker), types);
  }
  return table.Count();
}

Vec3d SpeakerPosition(const ActiveSpeaker& entry) {
  return {entry.speaker.position[0], entry.speaker.position[1], entry.speaker.position[2]};
}

Vec3d TurnIntoSpeakerFrame(const ActiveSpeaker& e, Vec3d v) {
  if (e.horizontalTurned) {
    const double c = e.cosHorizontal, s = e.sinHorizontal;
    v = {c * v.x + s * v.y, -s * v.x + c * v.y, v.z};
  }
  if (e.verticalTurned) {
    const double c = e.cosVertical, s = e.sinVertical;
    v = {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
  }
  if (e.rotationTurned) {
    const double c = e.cosRotation, s = e.sinRotation;
    v = {v.x, -s * v.z + c * v.y, c * v.z + s * v.y};
  }
  return v;
}

// ---- The balloon lookup ----

namespace {

constexpr double kColumnStepsPerRadian = 11.45915;  // the same, as the columns are read
constexpr double kTwoPi = 6.283185307;
constexpr int kLastRow = kBalloonRows - 1;
constexpr int kLastColumn = kBalloonColumns - 1;
constexpr double kAxialY = 0.001;  // |y| up to this reads the column straight above or below
constexpr int kColumnAbove = 18, kColumnBelow = 54;

}  // namespace

void LocateBalloonRow(double polarSteps, BalloonPosition& at, int halfRow) {
  // Written so that a NaN reads the axis row.
  const double p = polarSteps > 0 ? std::min(polarSteps, double(kLastRow)) : 0.0;
  at.row = int(p);
  if (at.row < halfRow) {
    at.secondRow = at.row + 1;
    at.rowFraction = float(p - at.row);
  } else {
    at.secondRow = halfRow;
    at.rowFraction = 0.5f;
  }
}

void LocateBalloonColumn(double y, double z, BalloonPosition& at) {
  if (!(std::fabs(y) > kAxialY)) {
    at.column = at.secondColumn = z >= 0 || std::isnan(z) ? kColumnAbove : kColumnBelow;
    at.columnFraction = 0.5f;
    return;
  }
  double a = std::atan2(z, y);
  if (a < 0) a += kTwoPi;
  const double q = a * kColumnStepsPerRadian;
  const double column = q > 0 ? std::floor(q) : 0.0;  // a NaN reads column 0
  if (column < kLastColumn) {
    at.column = int(column);
    at.secondColumn = at.column + 1;
  } else {
    at.column = kLastColumn;
    at.secondColumn = 0;
  }
  at.columnFraction = float(std::clamp(q - column, 0.0, 1.0));
}

double InterpolateBalloon(const SpeakerType& type, int band, const BalloonPosition& at) {
  const std::array<double, 256>& factor = AttenuationFactorTable();
  auto cell = [&](int row, int column) { return factor[type.BalloonCode(band, row, column)]; };
  const double fr = at.rowFraction, fc = at.columnFraction;
  return (1 - fr) * (1 - fc) * cell(at.row, at.column) + (1 - fr) * fc * cell(at.row, at.secondColumn) +
         fr * (1 - fc) * cell(at.secondRow, at.column) + fr * fc * cell(at.secondRow, at.secondColumn);
}

// ---- One receiver point ----

namespace {

void SizeBands(ReceiverContext& context, uint32_t capacity) {
  for (BandEchogram& band : context.bands) {
    band.times.resize(capacity);
    band.values.resize(capacity);
    band.real.resize(capacity);
  }
  context.arrivalTimes.resize(capacity);
  context.timeOrder.resize(capacity);
}

// Whether the lists have room for one more arrival, growing them when they
// are full and may still grow.
bool MakeRoomForArrival(ReceiverContext& context) {
  const uint32_t capacity = uint32_t(context.timeOrder.size());
  if (context.arrivalCount < capacity) return true;
  if (capacity >= kMaxArrivals) return false;
  try {
    SizeBands(context, std::min(2 * std::max(capacity, 1u), kMaxArrivals));
  } catch (const std::bad_alloc&) {
    SizeBands(context, capacity);  // shrinking back keeps the arrivals there are
    return false;
  }
  return true;
}

}  // namespace

ReceiverContext::ReceiverContext() { SizeBands(*this, kInitialArrivals); }

size_t ReceiverContext::MemoryBytes() const {
  auto bytes = [](const auto& list) { return list.capacity() * sizeof(list[0]); };
  size_t total = sizeof(*this) + bytes(arrivalTimes) + bytes(timeOrder) + bytes(reflectingFaces) +
                 bytes(block.reflectors) + bytes(block.askGroups) + bytes(block.direct) + bytes(block.legs) +
                 bytes(block.listed) + bytes(block.scratch);
  for (const BandEchogram& band : bands) total += bytes(band.times) + bytes(band.values) + bytes(band.real);
  for (const std::vector<uint32_t>& faces : block.reflectors) total += bytes(faces);
  for (const auto& legs : block.legs) total += bytes(legs);
  return total;
}

double AddSpeakerArrival(ReceiverContext& context, Vec3d x, bool reflection) {
  const ActiveSpeaker& entry = *context.current;
  const Loudspeaker& speaker = entry.speaker;
  const Vec3d local = TurnIntoSpeakerFrame(entry, x - SpeakerPosition(entry));
  const double d2 = Dot(local, local);
  const double d = std::sqrt(d2);

  double distanceLaw = kNearFieldFactor;
  double polarSteps = 0;
  if (d > kNearField) {
    distanceLaw = 1.0 / d2;
    polarSteps = std::acos(std::clamp(local.x / d, -1.0, 1.0)) * kBalloonStepsPerRadian;
  }
  BalloonPosition at;
  LocateBalloonRow(polarSteps, at);
  LocateBalloonColumn(local.y, local.z, at);

  const double time = d / kSpeedOfSound + double(speaker.delay) * 0.001;
  if (!std::isfinite(time)) return d2;
  if (!MakeRoomForArrival(context)) return d2;
  const uint32_t n = context.arrivalCount++;
  context.arrivalTimes[n] = float(time);
  const double polarity = speaker.polarity < 0 ? -1.0 : 1.0;
  for (int b = 0; b < kBandCount; ++b) {
    BandEchogram& band = context.bands[size_t(b)];
    if (!(entry.bandMask & (1u << b))) {
      band.values[n] = kPlaceholderValue;
      band.times[n] = kNoArrivalTime;
      band.real[n] = 0;
      continue;
    }
    double e = std::pow(AirTransmissionTable[size_t(b)], d) * (distanceLaw * speaker.intensity[size_t(b)]) *
               InterpolateBalloon(*entry.type, b, at);
    if (reflection) e *= context.reflectionWeights[size_t(b)];
    band.values[n] = float(polarity * e);
    band.times[n] = float(time);
    band.real[n] = 1;
  }
  return d2;
}

namespace {

// A shading test lists at most this many faces; beyond, the index's walk
// along the segment costs less.
constexpr size_t kListedFaces = 48;
// The end of a tested segment lies this share of its size off the point it
// was aimed at (its direction is rounded to single precision).
constexpr double kSegmentRounding = 1.0e-6;

Bounds Widened(const Bounds& b) {
  const double largest = std::max({std::fabs(b.low.x), std::fabs(b.low.y), std::fabs(b.low.z), std::fabs(b.high.x),
                                   std::fabs(b.high.y), std::fabs(b.high.z)});
  const double margin = kSegmentRounding * (1 + 2 * largest);
  const Vec3d widen{margin, margin, margin};
  return {b.low - widen, b.high + widen};
}

// The faces of the index that a segment from a point of `from` to a point
// of `to` can cross, listed in the block, or the walk when they are many.
void ListSegmentFaces(ReceiverContext& context, const Bounds& from, const Bounds& to, SegmentFaces& faces) {
  ReceiverBlock& block = context.block;
  context.index->CollectFacesBetween(from, to, block.scratch);
  faces.ready = true;
  faces.walk = block.scratch.size() > kListedFaces;
  if (faces.walk) return;
  faces.first = uint32_t(block.listed.size());
  faces.count = uint32_t(block.scratch.size());
  block.listed.insert(block.listed.end(), block.scratch.begin(), block.scratch.end());
}

// The faces a shading test of the current loudspeaker's paths to `receiver`
// needs: with no `face` for the direct sound, else for the segment from the
// reflection point on `face` to the loudspeaker (leg 0) or to the receiver
// (leg 1). None when the block does not hold the receiver or the face: the
// index's walk then.
const SegmentFaces* BlockSegmentFaces(ReceiverContext& context, Vec3d receiver, const CalcFace* face, int leg) {
  ReceiverBlock& block = context.block;
  if (!block.active || !block.Holds(receiver)) return nullptr;
  const size_t s = size_t(context.current - context.speakers->entries.data());
  if (s >= block.direct.size()) return nullptr;
  const Vec3d source = SpeakerPosition(*context.current);
  const Bounds speaker{source, source};
  if (!face) {
    if (!block.direct[s].ready) ListSegmentFaces(context, speaker, Widened(block.box), block.direct[s]);
    return &block.direct[s];
  }
  const uint32_t f = uint32_t(face - context.faces->faces.data());
  const std::vector<uint32_t>& reflectors = block.reflectors[s];
  const auto at = std::lower_bound(reflectors.begin(), reflectors.end(), f);
  if (at == reflectors.end() || *at != f) return nullptr;
  SegmentFaces& faces = block.legs[s][size_t(at - reflectors.begin())][size_t(leg)];
  if (!faces.ready) {
    Bounds reach;
    if (context.index->ReachOf(f, reach))
      ListSegmentFaces(context, leg == 0 ? speaker : block.box, Widened(reach), faces);
    else faces = {true, true, 0, 0};
  }
  return &faces;
}

// Whether no face but `skipped` lies on the segment from `from` to `to`:
// asking the index, or testing the `listed` faces when they are given.
bool SegmentClear(ReceiverContext& context, Vec3d from, Vec3d to, const CalcFace* skipped,
                  const SegmentFaces* listed = nullptr) {
  context.ray.origin = ToVertex(from);
  context.ray.direction = ToVertex(to - from);
  if (listed && !listed->walk) {
    if (listed->count == 0) return true;
    const SegmentProbe segment = ProbeSegment(context.ray);
    const std::vector<CalcFace>& faces = context.faces->faces;
    for (uint32_t i = listed->first; i < listed->first + listed->count; ++i) {
      const CalcFace& face = faces[context.block.listed[i]];
      double t;
      if (&face != skipped && SegmentCrossesFace(segment, face, context.ray, t)) return false;
    }
    return true;
  }
  if (context.index && context.index->Covers(*context.faces))
    return SegmentClearOfFaces(*context.faces, *context.index, context.ray, skipped);
  return CheckSegmentFaces(*context.faces, context.ray, skipped, 0) == 1;
}

double SideOf(const CalcFace& face, Vec3d p) { return Dot(ToVec3d(face.normal), p) + face.planeConstant; }

}  // namespace

int MirrorReceiverInFace(ReceiverContext& context, Vec3d receiver, const CalcFace& face, Vec3d& mirrored) {
  const Vec3d source = SpeakerPosition(*context.current);
  const Vec3d normal = ToVec3d(face.normal);
  const Vec3d image = receiver + normal * (Dot(ToVec3d(face.planePoint) - receiver, normal) / face.halfNormalLength2);
  const Vec3d path = source - image;
  if (!(Dot(path, path) <= context.pathLimit)) return 0;
  // The face reflects only between points on the same side of it.
  if (!(SideOf(face, source) * SideOf(face, receiver) > 0)) return 0;

  CalcRay& ray = context.ray;
  ray.origin = ToVertex(image);
  ray.direction = ToVertex(path);
  ray.face = &face;
  ComputeRayPlaneHit(ray);
  if (!PointInCalcFace(ray)) return 0;
  const Vec3d reflectionPoint = ToVec3d(ray.hitPoint);

  if (context.options.shading &&
      !(SegmentClear(context, source, reflectionPoint, &face, BlockSegmentFaces(context, receiver, &face, 0)) &&
        SegmentClear(context, receiver, reflectionPoint, &face, BlockSegmentFaces(context, receiver, &face, 1))))
    return 0;
  mirrored = image;
  return 1;
}

namespace {

// The reflection of the current loudspeaker off `face` to `receiver`, when
// there is one, as an arrival weighted by the face's material.
void AddReflection(ReceiverContext& context, Vec3d receiver, const CalcFace& face) {
  Vec3d image;
  if (!MirrorReceiverInFace(context, receiver, face, image)) return;
  const MaterialTable& materials = *context.materials;
  const AbsorberRecord& material = materials.records[size_t(CalcFaceMaterialIndex(face, materials))];
  for (int b = 0; b < kBandCount; ++b)
    context.reflectionWeights[size_t(b)] = float(1.0 - ClampedAbsorption(material, b));
  AddSpeakerArrival(context, image, true);
}

}  // namespace

namespace {

bool IndexCovers(const ReceiverContext& context) {
  return context.index && context.faces && context.index->Covers(*context.faces);
}

bool WithReflections(const ReceiverContext& context) {
  return context.options.firstReflections && context.faces && context.faces->Count() > 0 && context.materials;
}

}  // namespace

void SetReceiverBlock(ReceiverContext& context, Vec3d low, Vec3d high) {
  ReceiverBlock& block = context.block;
  block.active = false;
  const bool withReflections = WithReflections(context);
  if (!IndexCovers(context) || !(withReflections || context.options.shading)) return;
  const std::vector<ActiveSpeaker>& speakers = context.speakers->entries;
  block.reflectors.resize(speakers.size());
  block.askGroups.resize(speakers.size());
  block.legs.resize(speakers.size());
  block.direct.assign(speakers.size(), SegmentFaces{});
  block.listed.clear();
  for (size_t s = 0; s < speakers.size(); ++s) {
    std::vector<uint32_t>& faces = block.reflectors[s];
    faces.clear();
    block.askGroups[s] = 0;
    if (withReflections) {
      const uint32_t naming = context.index->CollectBoxReflectingFaces(low, high, SpeakerPosition(speakers[s]), faces);
      block.askGroups[s] = context.index->GroupsCheaperThan(double(faces.size()) - naming);
    }
    block.legs[s].assign(faces.size(), {});
  }
  block.box = {low, high};
  block.active = true;
}

void ClearReceiverBlock(ReceiverContext& context) { context.block.active = false; }

void CalcPointEchogram(ReceiverContext& context, Vec3d point) {
  context.arrivalCount = 0;
  const ReceiverOptions& options = context.options;
  const bool withFaces = context.faces && context.faces->Count() > 0;
  const bool withReflections = WithReflections(context);
  const bool inBlock = context.block.active && context.block.Holds(point) &&
                       context.block.reflectors.size() == context.speakers->entries.size();
  const bool askGroups = IndexCovers(context) && context.index->PlaneGroupsPay();
  for (size_t s = 0; s < context.speakers->entries.size(); ++s) {
    const ActiveSpeaker& entry = context.speakers->entries[s];
    context.current = &entry;
    context.pathLimit = kOpenReflectionPathLimit;
    if (!options.shading || !withFaces) {
      AddSpeakerArrival(context, point, false);
    } else if (SegmentClear(context, SpeakerPosition(entry), point, nullptr,
                            BlockSegmentFaces(context, point, nullptr, 0))) {
      context.pathLimit = AddSpeakerArrival(context, point, false) + kReflectionPathMargin;
    }

    if (!withReflections) continue;
    const std::vector<CalcFace>& faces = context.faces->faces;
    if (inBlock ? context.block.askGroups[s] : askGroups) {
      context.index->CollectReflectingFaces(point, SpeakerPosition(entry), ReflectingSide::kEither, context.pathLimit,
                                            context.reflectingFaces);
      for (uint32_t f : context.reflectingFaces) AddReflection(context, point, faces[f]);
    } else if (inBlock) {
      for (uint32_t f : context.block.reflectors[s]) AddReflection(context, point, faces[f]);
    } else {
      for (const CalcFace& face : faces) AddReflection(context, point, face);
    }
  }
  CombineBandEchograms(context);
}

namespace {

// Puts the arrivals in time order, those of equal time in arrival order.
void SortArrivalsByTime(ReceiverContext& context) {
  std::vector<uint32_t>& order = context.timeOrder;
  const std::vector<float>& times = context.arrivalTimes;
  for (uint32_t i = 0; i < context.arrivalCount; ++i) order[i] = i;
  std::sort(order.begin(), order.begin() + context.arrivalCount,
            [&times](uint32_t a, uint32_t b) { return times[a] < times[b] || (times[a] == times[b] && a < b); });
}

// Sets the band's first arrival: the earliest real arrival, replaced by each
// later one more than kPrecedenceFactor times stronger than the one it
// replaces. Arrivals of equal time count in arrival order, so the result
// does not depend on the order of the loudspeakers. Returns the number of
// real arrivals.
uint32_t FindFirstArrival(BandEchogram& band, const std::vector<uint32_t>& order, uint32_t count) {
  uint32_t real = 0;
  band.firstArrival = kNoArrivalTime;
  band.firstIndex = 0;
  double reference = 0;
  for (uint32_t k = 0; k < count; ++k) {
    const uint32_t i = order[k];
    if (!band.real[i]) continue;
    const double e = std::fabs(band.values[i]);
    if (real++ == 0 || e > reference) {
      band.firstArrival = band.times[i];
      band.firstIndex = i;
      reference = e * kPrecedenceFactor;
    }
  }
  return real;
}

// The signed amplitude k sqrt(e) of an arrival's value.
double Amplitude(float value) { return std::copysign(std::sqrt(std::fabs(double(value))), value); }

// |sum of k sqrt(e) exp(j w t)|^2 over the window's arrivals, a sine and
// cosine per arrival.
double CoherentPower(const BandEchogram& band, uint32_t count, double windowEnd, double w) {
  double re = 0, im = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (!band.real[i] || !(band.times[i] < windowEnd)) continue;
    const double amplitude = Amplitude(band.values[i]);
    re += amplitude * std::cos(w * band.times[i]);
    im += amplitude * std::sin(w * band.times[i]);
  }
  return re * re + im * im;
}

// A complex phase, multiplied out by hand (the library's product guards
// against infinities at a cost the sums do not need to pay).
struct Phase {
  double re = 1, im = 0;
};
Phase Product(Phase a, Phase b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
Phase Square(Phase a) { return Product(a, a); }
Phase PhaseOf(double angle) { return {std::cos(angle), std::sin(angle)}; }

// The frequencies of the coherent sums, as factors of a band centre.
constexpr int kFrequencies = 3;
constexpr std::array<double, kFrequencies> kFrequencyFactors = {0.8, 1.0, 1.25};
constexpr int kCentre = 1;  // the frequency of Single Frequency

// The angular frequency by which band b's centre is not twice band b - 1's,
// over 20: 0 where the centres double exactly (the subtraction is exact).
constexpr std::array<double, kBandCount> kCentreCorrections = [] {
  std::array<double, kBandCount> corrections{};
  for (int b = 1; b < kBandCount; ++b)
    corrections[size_t(b)] = (BandAngularFrequencies[size_t(b)] - 2 * BandAngularFrequencies[size_t(b - 1)]) / 20;
  return corrections;
}();

// x^16, x^20 and x^25 of a phase x: the phases of the frequencies for x at a
// twentieth of the centre.
std::array<Phase, kFrequencies> FrequencyPowers(Phase x) {
  const Phase x4 = Square(Square(x)), x16 = Square(Square(x4)), x20 = Product(x16, x4);
  return {x16, x20, Product(Product(x20, x4), x)};
}

// The coherent powers |sum of k sqrt(e) exp(j f w t)|^2 of every band and
// frequency f over the windows' arrivals, in one pass with one phase per
// arrival: power[b][f] for band b, frequency kFrequencyFactors[f]. Only the
// frequencies of `frequencies` (bits) are summed. A band with no window
// (windowEnd NaN) takes no arrival.
void CoherentPowersByProducts(const ReceiverContext& context, const std::array<double, kBandCount>& windowEnds,
                              unsigned frequencies, std::array<std::array<double, kFrequencies>, kBandCount>& power) {
  std::array<std::array<Phase, kFrequencies>, kBandCount> sums{};
  for (auto& band : sums) band.fill(Phase{0, 0});
  const double lowest = BandAngularFrequencies[0] / 20;
  for (uint32_t i = 0; i < context.arrivalCount; ++i) {
    unsigned bands = 0;
    for (int b = 0; b < kBandCount; ++b) {
      const BandEchogram& band = context.bands[size_t(b)];
      if (band.real[i] && band.times[i] < windowEnds[size_t(b)]) bands |= 1u << b;
    }
    if (!bands) continue;
    const double t = context.arrivalTimes[i];
    std::array<Phase, kFrequencies> phase = FrequencyPowers(PhaseOf(lowest * t));
    for (int b = 0; b < kBandCount; ++b) {
      if (b > 0) {
        for (Phase& p : phase) p = Square(p);
        if (const double correction = kCentreCorrections[size_t(b)]; correction != 0) {
          const std::array<Phase, kFrequencies> corrections = FrequencyPowers(PhaseOf(correction * t));
          for (int f = 0; f < kFrequencies; ++f) phase[size_t(f)] = Product(phase[size_t(f)], corrections[size_t(f)]);
        }
      }
      if (!(bands & (1u << b))) continue;
      const double amplitude = Amplitude(context.bands[size_t(b)].values[i]);
      for (int f = 0; f < kFrequencies; ++f) {
        if (!(frequencies & (1u << f))) continue;
        Phase& sum = sums[size_t(b)][size_t(f)];
        sum.re += amplitude * phase[size_t(f)].re;
        sum.im += amplitude * phase[size_t(f)].im;
      }
    }
  }
  for (int b = 0; b < kBandCount; ++b)
    for (int f = 0; f < kFrequencies; ++f) {
      const Phase& sum = sums[size_t(b)][size_t(f)];
      power[size_t(b)][size_t(f)] = sum.re * sum.re + sum.im * sum.im;
    }
}

}  // namespace

void CombineBandEchograms(ReceiverContext& context) {
  const uint32_t count = context.arrivalCount;
  SortArrivalsByTime(context);
  std::array<double, kBandCount> windowEnds;
  for (int b = 0; b < kBandCount; ++b) {
    BandEchogram& band = context.bands[size_t(b)];
    band.bandResult = 1.0f;
    windowEnds[size_t(b)] = FindFirstArrival(band, context.timeOrder, count) > 0
                                ? double(band.firstArrival) + kCombineWindow
                                : std::numeric_limits<double>::quiet_NaN();
  }

  const PhaseRelations phase = context.options.phase;
  std::array<std::array<double, kFrequencies>, kBandCount> powers;
  const bool byProducts = context.onePhase && phase != PhaseRelations::kEnergy;
  if (byProducts) {
    const unsigned frequencies = phase == PhaseRelations::kSingleFrequency ? 1u << kCentre : 7u;
    CoherentPowersByProducts(context, windowEnds, frequencies, powers);
  }
  for (int b = 0; b < kBandCount; ++b) {
    BandEchogram& band = context.bands[size_t(b)];
    const double windowEnd = windowEnds[size_t(b)];
    if (std::isnan(windowEnd)) continue;
    auto coherent = [&](int f) {
      return byProducts ? powers[size_t(b)][size_t(f)]
                        : CoherentPower(band, count, windowEnd,
                                        kFrequencyFactors[size_t(f)] * BandAngularFrequencies[size_t(b)]);
    };
    double combined = 0;
    switch (phase) {
      case PhaseRelations::kEnergy:
        for (uint32_t i = 0; i < count; ++i)
          if (band.real[i] && band.times[i] < windowEnd) combined += std::fabs(double(band.values[i]));
        break;
      case PhaseRelations::kSingleFrequency: combined = coherent(kCentre); break;
      case PhaseRelations::kOctaveBandwidth:
      default:  // an unknown mode computes the default
        combined = (coherent(0) + coherent(1) + coherent(2)) / 3.0;
        break;
    }
    band.bandResult = float(1.0 + combined);
  }
}
