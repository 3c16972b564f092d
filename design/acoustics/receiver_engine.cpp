#include "design/acoustics/receiver_engine.h"

#include <algorithm>
#include <cmath>
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
  const double polarity = speaker.polarity < 0 ? -1.0 : 1.0;
  for (int b = 0; b < kBandCount; ++b) {
    BandEchogram& band = context.bands[size_t(b)];
    if (!(entry.bandMask & (1u << b))) {
      band.values[n] = kPlaceholderValue;
      band.times[n] = kNoArrivalTime;
      band.real[n] = 0;
      continue;
    }
    double e = std::pow(kAirTransmission[size_t(b)], d) * (distanceLaw * speaker.intensity[size_t(b)]) *
               InterpolateBalloon(*entry.type, b, at);
    if (reflection) e *= context.reflectionWeights[size_t(b)];
    band.values[n] = float(polarity * e);
    band.times[n] = float(time);
    band.real[n] = 1;
  }
  return d2;
}

namespace {

// Whether no face but `skipped` lies on the segment from `from` to `to`.
bool SegmentClear(ReceiverContext& context, Vec3d from, Vec3d to, const CalcFace* skipped) {
  context.ray.origin = ToVertex(from);
  context.ray.direction = ToVertex(to - from);
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

  if (context.options.shading && !(SegmentClear(context, source, reflectionPoint, &face) &&
                                   SegmentClear(context, receiver, reflectionPoint, &face)))
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

void CalcPointEchogram(ReceiverContext& context, Vec3d point) {
  context.arrivalCount = 0;
  const ReceiverOptions& options = context.options;
  const bool withFaces = context.faces && context.faces->Count() > 0;
  const bool withReflections = options.firstReflections && withFaces && context.materials;
  for (const ActiveSpeaker& entry : context.speakers->entries) {
    context.current = &entry;
    context.pathLimit = kOpenReflectionPathLimit;
    if (!options.shading || !withFaces) {
      AddSpeakerArrival(context, point, false);
    } else if (SegmentClear(context, SpeakerPosition(entry), point, nullptr)) {
      context.pathLimit = AddSpeakerArrival(context, point, false) + kReflectionPathMargin;
    }

    if (!withReflections) continue;
    const std::vector<CalcFace>& faces = context.faces->faces;
    if (context.index && context.index->Covers(*context.faces) && context.index->PlaneGroupsPay()) {
      context.index->CollectReflectingFaces(point, SpeakerPosition(entry), ReflectingSide::kEither, context.pathLimit,
                                            context.reflectingFaces);
      for (uint32_t f : context.reflectingFaces) AddReflection(context, point, faces[f]);
    } else {
      for (const CalcFace& face : faces) AddReflection(context, point, face);
    }
  }
  CombineBandEchograms(context);
}

namespace {

// Sets the band's first arrival: the earliest real arrival, replaced by each
// later one more than kPrecedenceFactor times stronger than the one it
// replaces. Arrivals of equal time count in arrival order, so the result
// does not depend on the order of the loudspeakers. Returns the number of
// real arrivals.
uint32_t FindFirstArrival(BandEchogram& band, std::vector<uint32_t>& order, uint32_t count) {
  uint32_t real = 0;
  for (uint32_t i = 0; i < count; ++i)
    if (band.real[i]) order[real++] = i;
  std::sort(order.begin(), order.begin() + real, [&band](uint32_t a, uint32_t b) {
    return band.times[a] < band.times[b] || (band.times[a] == band.times[b] && a < b);
  });
  band.firstArrival = kNoArrivalTime;
  band.firstIndex = 0;
  double reference = 0;
  for (uint32_t k = 0; k < real; ++k) {
    const uint32_t i = order[k];
    const double e = std::fabs(band.values[i]);
    if (k == 0 || e > reference) {
      band.firstArrival = band.times[i];
      band.firstIndex = i;
      reference = e * kPrecedenceFactor;
    }
  }
  return real;
}

// |sum of k sqrt(e) exp(j w t)|^2 over the window's arrivals.
double CoherentPower(const BandEchogram& band, uint32_t count, double windowEnd, double w) {
  double re = 0, im = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (!band.real[i] || !(band.times[i] < windowEnd)) continue;
    const double amplitude = std::copysign(std::sqrt(std::fabs(double(band.values[i]))), band.values[i]);
    re += amplitude * std::cos(w * band.times[i]);
    im += amplitude * std::sin(w * band.times[i]);
  }
  return re * re + im * im;
}

}  // namespace

void CombineBandEchograms(ReceiverContext& context) {
  const uint32_t count = context.arrivalCount;
  for (int b = 0; b < kBandCount; ++b) {
    BandEchogram& band = context.bands[size_t(b)];
    band.bandResult = 1.0f;
    if (FindFirstArrival(band, context.timeOrder, count) == 0) continue;

    const double windowEnd = double(band.firstArrival) + kCombineWindow;
    const double w = kBandAngularFrequencies[size_t(b)];
    double combined = 0;
    switch (context.options.phase) {
      case PhaseRelations::kEnergy:
        for (uint32_t i = 0; i < count; ++i)
          if (band.real[i] && band.times[i] < windowEnd) combined += std::fabs(double(band.values[i]));
        break;
      case PhaseRelations::kSingleFrequency: combined = CoherentPower(band, count, windowEnd, w); break;
      case PhaseRelations::kOctaveBandwidth:
      default:  // an unknown mode computes the default
        combined = (CoherentPower(band, count, windowEnd, 0.8 * w) + CoherentPower(band, count, windowEnd, w) +
                    CoherentPower(band, count, windowEnd, 1.25 * w)) /
                   3.0;
        break;
    }
    band.bandResult = float(1.0 + combined);
  }
}
