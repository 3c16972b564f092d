#include "design/document/speaker_operations.h"

#include <algorithm>
#include <cmath>

#include "design/acoustics/receiver_engine.h"
#include "design/document/loudspeaker_aim.h"
#include "design/model/project.h"
#include "framework/core/geometry.h"
#include "framework/core/services.h"
#include "framework/core/text_lines.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"

namespace {

constexpr double kDegree = kPi / 180;
constexpr double kHalfPi = 1.570796327;
// A target within this of the loudspeaker along x is aimed at by the sign
// of dy alone.
constexpr double kAxialTarget = 0.001;
// Keeps the elevation of a target straight above or below finite.
constexpr double kElevationGuard = 1e-9;
// A mirror line's squared length in the view's plane at or below this
// mirrors nothing.
constexpr double kShortestMirrorLine = 1e-6;
constexpr double kNoGain = -1000.0;

void MarkChanged() { gProject.modified = kSpeakerChangedMark; }

ObjectVertex PositionOf(const Loudspeaker& speaker) {
  return {speaker.position[0], speaker.position[1], speaker.position[2]};
}
void SetPosition(Loudspeaker& speaker, const ObjectVertex& p) { speaker.position = {p.x, p.y, p.z}; }

float& CoordinateOf(ObjectVertex& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// Stores the block, then rebuilds the symbol from it (a rebuild without a
// shape at hand leaves the block alone, so it is stored first).
void StoreAndRebuild(Loudspeaker& speaker) {
  WriteLoudspeaker(speaker, speaker.object);
  BuildSpeakerSymbol(speaker, speaker.object, false);
}

// The loudspeakers among `objects`, decoded and linked to their objects.
std::vector<Loudspeaker> ReadLoudspeakers(std::span<GraphicObject* const> objects) {
  std::vector<Loudspeaker> speakers;
  for (GraphicObject* object : objects) {
    Loudspeaker speaker;
    if (ReadLoudspeaker(object, speaker)) speakers.push_back(std::move(speaker));
  }
  return speakers;
}

// Puts `objects` at the head of the model list in their order.
void InsertAtHead(const std::vector<GraphicObject*>& objects) {
  for (auto it = objects.rbegin(); it != objects.rend(); ++it) InsertObjectBefore(*it, gObjects.model.first);
}

void UpdateBandPowerOfType(Loudspeaker& speaker) {
  if (const SpeakerType* type = SpeakerTypeOf(speaker)) UpdateSpeakerBandPower(speaker, *type);
}

void StoreGains(Loudspeaker& speaker, const EqualizerBands& gains) {
  for (size_t b = 0; b < kBandCount; ++b) speaker.eqGain[b] = float(gains[b]);
  UpdateBandPowerOfType(speaker);
  WriteLoudspeaker(speaker, speaker.object);
}

}  // namespace

// ---- The selection and the limits ----

std::vector<GraphicObject*> SelectedLoudspeakers() {
  std::vector<GraphicObject*> found;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    if ((o->state & kStateSelected) && IsLoudspeakerObject(o)) found.push_back(o);
  return found;
}

std::vector<GraphicObject*> SelectedObjects() {
  std::vector<GraphicObject*> found;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (o->state & kStateSelected) found.push_back(o);
  return found;
}

bool CheckSpeakerLimit(uint32_t adding) {
  if (WithinSpeakerLimit(adding)) return true;
  ShowSpeakerLimitMessage();
  return false;
}

bool CheckSpeakerCopies(std::span<GraphicObject* const> sources) {
  uint32_t speakers = 0;
  uint64_t packed = 0;
  for (const GraphicObject* source : sources) {
    if (!IsLoudspeakerObject(source)) continue;
    ++speakers;
    packed += uint64_t(PackedObjectSize(source));
  }
  if (!CheckSpeakerLimit(speakers)) return false;
  if (packed <= GetAvailableMemory()) return true;
  ShowMessage(kInsufficientMemoryMessage, nullptr, kMsgOk);
  return false;
}

std::optional<double> ReadSpeakerEntry(std::string_view text) {
  double value = 0;
  if (ReadTypedNumber(text, value)) return value;
  ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk);
  return std::nullopt;
}

std::optional<double> ReadSpeakerDelay(std::string_view text) {
  const std::optional<double> delay = ReadSpeakerEntry(text);
  if (!delay || IsTypedDelay(*delay)) return delay;
  ShowMessage(kInvalidEntryMessage, nullptr, kMsgOk);
  return std::nullopt;
}

// ---- Placing and editing ----

GraphicObject* AddLoudspeaker(const ObjectVertex& position, const SpeakerDatabaseIndex& index,
                              const EditSpeakerDialog& dialog) {
  if (!gSpeakerModel.setUp) ResetSpeakerModel();
  if (!CheckSpeakerLimit(1)) return nullptr;
  Loudspeaker speaker;
  SetPosition(speaker, position);
  std::string typeName;
  if (!dialog(speaker, typeName)) return nullptr;
  if (!UseSpeakerType(index, typeName, speaker, gSpeakerModel.types, gObjects.model, gSpeakerModel.defaultSymbol))
    return nullptr;
  GraphicObject* object = CreateObject(kLoudspeakerSize, 0, 0);
  if (!object) {
    ShowMessage(kInsufficientMemoryMessage, nullptr, kMsgOk);
    return nullptr;
  }
  UpdateBandPowerOfType(speaker);
  speaker.object = object;
  if (!BuildSpeakerSymbol(speaker, object, true)) {
    if (speaker.object) FreeObject(object);  // else the build freed it
    return nullptr;
  }
  MarkChanged();
  RefreshAimLines();
  return object;
}

int EditLoudspeakers(std::span<GraphicObject* const> speakers, const SpeakerDatabaseIndex& index,
                     const EditSpeakerDialog& dialog) {
  int changed = 0;
  for (Loudspeaker& speaker : ReadLoudspeakers(speakers)) {
    const SpeakerType* type = SpeakerTypeOf(speaker);
    const std::string oldName = type ? type->TypeName() : std::string();
    std::string typeName = oldName;
    Loudspeaker edited = speaker;
    if (!dialog(edited, typeName)) continue;
    if (typeName != oldName &&
        !UseSpeakerType(index, typeName, edited, gSpeakerModel.types, gObjects.model, gSpeakerModel.defaultSymbol))
      edited.typeIndex = speaker.typeIndex;
    edited.object = speaker.object;
    UpdateBandPowerOfType(edited);
    StoreAndRebuild(edited);
    MarkChanged();
    ++changed;
  }
  if (changed > 0) {
    RefreshAimLines();
    PurgeUnusedSpeakerTypes();
  }
  return changed;
}

void MoveLoudspeakers(std::span<GraphicObject* const> speakers, const ObjectVertex& offset) {
  std::vector<Loudspeaker> moving = ReadLoudspeakers(speakers);
  if (moving.empty()) return;
  for (Loudspeaker& speaker : moving) {
    const ObjectVertex p = PositionOf(speaker);
    SetPosition(speaker, {p.x + offset.x, p.y + offset.y, p.z + offset.z});
    StoreAndRebuild(speaker);
  }
  MarkChanged();
  RefreshAimLines();
}

std::vector<GraphicObject*> CopyLoudspeakers(std::span<GraphicObject* const> sources, const ObjectVertex& offset) {
  if (!CheckSpeakerCopies(sources)) return {};
  std::vector<GraphicObject*> copies;
  for (Loudspeaker copy : ReadLoudspeakers(sources)) {
    copy.name.clear();
    copy.group.clear();
    const ObjectVertex p = PositionOf(copy);
    SetPosition(copy, {p.x + offset.x, p.y + offset.y, p.z + offset.z});
    GraphicObject* object = CreateObject(kLoudspeakerSize, 0, 0);
    if (!object) {
      ShowMessage(kInsufficientMemoryMessage, nullptr, kMsgOk);
      break;
    }
    copy.object = object;
    if (!BuildSpeakerSymbol(copy, object, true)) {
      if (copy.object) FreeObject(object);  // else the build freed it
      continue;
    }
    copies.push_back(object);
  }
  // Each build put its copy at the head: put them back in the sources' order.
  for (GraphicObject* copy : copies) UnlinkObject(copy);
  InsertAtHead(copies);
  if (!copies.empty()) {
    MarkChanged();
    RefreshAimLines();
  }
  return copies;
}

MirrorPlane MirrorPlaneOfView(int viewMode) {
  switch (viewMode) {
    case 0:
    case 3: return MirrorPlane::kXY;
    case 1: return MirrorPlane::kYZ;
    case 2: return MirrorPlane::kXZ;
    default: return MirrorPlane::kNone;
  }
}

std::optional<ObjectVertex> MirrorPoint(const ObjectVertex& p, const ObjectVertex& base, const ObjectVertex& point,
                                        MirrorPlane plane) {
  int u = 0, w = 1;
  switch (plane) {
    case MirrorPlane::kXY: u = 0, w = 1; break;
    case MirrorPlane::kYZ: u = 1, w = 2; break;
    case MirrorPlane::kXZ: u = 0, w = 2; break;
    case MirrorPlane::kNone: return std::nullopt;
  }
  const double bu = Coordinate(base, u), bw = Coordinate(base, w);
  const double du = Coordinate(point, u) - bu, dw = Coordinate(point, w) - bw;
  const double length = du * du + dw * dw;
  if (length <= kShortestMirrorLine) return std::nullopt;
  const double pu = Coordinate(p, u), pw = Coordinate(p, w);
  const double t = 2 * ((bw - pw) * du - (bu - pu) * dw) / length;
  ObjectVertex mirrored = p;
  CoordinateOf(mirrored, u) = float(pu - dw * t);
  CoordinateOf(mirrored, w) = float(pw + du * t);
  return mirrored;
}

std::vector<GraphicObject*> MirrorLoudspeakers(std::span<GraphicObject* const> sources, const ObjectVertex& base,
                                               const ObjectVertex& point, MirrorPlane plane) {
  if (!CheckSpeakerCopies(sources)) return {};
  std::vector<GraphicObject*> copies;
  for (Loudspeaker speaker : ReadLoudspeakers(sources)) {
    GraphicObject* copy = CloneObject(speaker.object);
    if (!copy) {
      ShowMessage(kInsufficientMemoryMessage, nullptr, kMsgOk);
      break;
    }
    copy->layer = kLoudspeakerLayer;
    copy->state = 0;
    speaker.name.clear();
    speaker.group.clear();
    speaker.object = copy;
    const std::optional<ObjectVertex> position = MirrorPoint(PositionOf(speaker), base, point, plane);
    if (position) {
      SetPosition(speaker, *position);
      for (uint32_t i = 0; i < copy->vertexCount; ++i)
        copy->vertices[i] = MirrorPoint(copy->vertices[i], base, point, plane).value();
    }
    WriteLoudspeaker(speaker, copy);
    if (position) {
      SpeakerAnglesFromSymbol(copy);
      // A reflection turns every face inside out: turn them round again.
      for (uint32_t i = 0; i < copy->itemCount; ++i)
        if (copy->items[i].op == kOpStart) ReverseFacePolygon(*copy, i);
    }
    copies.push_back(copy);
  }
  InsertAtHead(copies);
  if (!copies.empty()) {
    MarkChanged();
    RefreshAimLines();
  }
  return copies;
}

void DeleteLoudspeakers(std::span<GraphicObject* const> objects) {
  if (objects.empty()) return;
  for (GraphicObject* object : objects) FreeObject(object);
  MarkChanged();
  PurgeUnusedSpeakerTypes();
  RefreshAimLines();
  RequestRedraw();
}

void SwitchLoudspeakers(std::span<GraphicObject* const> speakers, bool on) {
  std::vector<Loudspeaker> switching = ReadLoudspeakers(speakers);
  if (switching.empty()) return;
  for (Loudspeaker& speaker : switching) {
    speaker.on = on ? 1 : 0;
    speaker.object->colour = on ? kSpeakerColourOn : kSpeakerColourOff;
    if (on) UpdateBandPowerOfType(speaker);
    WriteLoudspeaker(speaker, speaker.object);
  }
  RefreshAimLines();
  MarkChanged();
  RequestRedraw();
}

// ---- Delay and aim ----

void AlignLoudspeakers(std::span<GraphicObject* const> speakers, const ObjectVertex& reference) {
  std::vector<Loudspeaker> aligning = ReadLoudspeakers(speakers);
  if (aligning.empty()) return;
  auto travel = [&](const Loudspeaker& speaker) {
    const Vec3d d = ToVec3d(reference) - ToVec3d(PositionOf(speaker));
    return std::sqrt(Dot(d, d)) / kSpeedOfSound;
  };
  double latest = 0;
  for (const Loudspeaker& speaker : aligning) latest = std::max(latest, travel(speaker));
  for (Loudspeaker& speaker : aligning) {
    speaker.delay = float((latest - travel(speaker)) * 1000);
    WriteLoudspeaker(speaker, speaker.object);
  }
  MarkChanged();
}

void SetLoudspeakerDelay(std::span<GraphicObject* const> speakers, double delayMs) {
  std::vector<Loudspeaker> delaying = ReadLoudspeakers(speakers);
  if (delaying.empty()) return;
  for (Loudspeaker& speaker : delaying) {
    speaker.delay = float(delayMs);
    WriteLoudspeaker(speaker, speaker.object);
  }
  MarkChanged();
}

AxisAngles AimAtTarget(const std::array<float, 3>& position, const ObjectVertex& target) {
  const double dx = double(target.x) - position[0], dy = double(target.y) - position[1],
               dz = double(target.z) - position[2];
  AxisAngles aim;
  // dy = 0 counts as upwards here, as the aiming always had it.
  aim.horizontal = std::fabs(dx) > kAxialTarget ? std::atan2(dy, dx) : dy < 0 ? -kHalfPi : kHalfPi;
  aim.vertical = std::atan2(dz, std::sqrt(dx * dx + dy * dy) + kElevationGuard);
  return aim;
}

void AimLoudspeakersAtTarget(std::span<GraphicObject* const> speakers, const ObjectVertex& target) {
  std::vector<Loudspeaker> aiming = ReadLoudspeakers(speakers);
  if (aiming.empty()) return;
  for (Loudspeaker& speaker : aiming) {
    const AxisAngles aim = AimAtTarget(speaker.position, target);
    speaker.horizontal = float(aim.horizontal);
    speaker.vertical = float(aim.vertical);
    StoreAndRebuild(speaker);
  }
  MarkChanged();
  RefreshAimLines();
}

void AimLoudspeakerByPerspective(GraphicObject* object, const PerspectiveAngles& view) {
  Loudspeaker speaker;
  if (!ReadLoudspeaker(object, speaker)) return;
  const AxisAngles axis = PerspectiveAxis(view);
  speaker.horizontal = float(axis.horizontal);
  speaker.vertical = float(axis.vertical);
  StoreAndRebuild(speaker);
  MarkChanged();
}

// ---- The equaliser ----

CommonEqualizerStart StartCommonEqualizer(std::span<GraphicObject* const> speakers) {
  CommonEqualizerStart start;
  start.bandMax.fill(kNoGain);
  start.overallMax = kNoGain;
  for (const Loudspeaker& speaker : ReadLoudspeakers(speakers))
    for (size_t b = 0; b < kBandCount; ++b) start.bandMax[b] = std::max(start.bandMax[b], double(speaker.eqGain[b]));
  for (double gain : start.bandMax) start.overallMax = std::max(start.overallMax, gain);
  return start;
}

int ApplySpeakerEqualizer(GraphicObject* object, const EqualizerBands& gains) {
  Loudspeaker speaker;
  if (!ReadLoudspeaker(object, speaker) || !AcceptEqGains(gains)) return 0;
  StoreGains(speaker, gains);
  MarkChanged();
  RequestRedraw();
  return 1;
}

int ApplyCommonEqualizer(std::span<GraphicObject* const> speakers, const CommonEqualizerStart& start,
                         const EqualizerBands& edited) {
  std::vector<Loudspeaker> equalising = ReadLoudspeakers(speakers);
  std::vector<EqualizerBands> gains(equalising.size());
  for (size_t i = 0; i < equalising.size(); ++i) {
    for (size_t b = 0; b < kBandCount; ++b)
      gains[i][b] = double(equalising[i].eqGain[b]) + (edited[b] - start.bandMax[b]);
    // All or none: one loudspeaker that would be too loud stops them all.
    if (!AcceptEqGains(gains[i])) return 0;
  }
  if (equalising.empty()) return 0;
  for (size_t i = 0; i < equalising.size(); ++i) StoreGains(equalising[i], gains[i]);
  MarkChanged();
  RequestRedraw();
  return 1;
}

// ---- Arrays ----

ObjectVertex RotatePointAboutAxis(const ObjectVertex& p, double angle, const ObjectVertex& base, int axis) {
  int u = 0, w = 1;
  switch (axis) {
    case kTurnAboutX: u = 1, w = 2; break;
    case kTurnAboutY: u = 0, w = 2; break;
    case kTurnAboutZ: u = 0, w = 1; break;
    default: return p;
  }
  const double c = std::cos(angle), s = std::sin(angle);
  const double du = double(Coordinate(p, u)) - Coordinate(base, u);
  const double dw = double(Coordinate(p, w)) - Coordinate(base, w);
  ObjectVertex turned = p;
  CoordinateOf(turned, u) = float(Coordinate(base, u) + c * du - s * dw);
  CoordinateOf(turned, w) = float(Coordinate(base, w) + s * du + c * dw);
  return turned;
}

void RotateSpeakerAboutPoint(Loudspeaker& speaker, double angle, const ObjectVertex& base, int axis) {
  SetPosition(speaker, RotatePointAboutAxis(PositionOf(speaker), angle, base, axis));
}

double WrapSpeakerAngle(double angle) { return std::remainder(angle, 2 * kPi); }

void TurnLoudspeakerArray(std::span<GraphicObject* const> speakers, const ObjectVertex& base, double degrees) {
  std::vector<Loudspeaker> turning = ReadLoudspeakers(speakers);
  if (turning.empty()) return;
  const double angle = WrapSpeakerAngle(degrees * kDegree);
  for (Loudspeaker& speaker : turning) {
    GraphicObject* object = speaker.object;
    for (uint32_t i = 0; i < object->vertexCount; ++i)
      object->vertices[i] = RotatePointAboutAxis(object->vertices[i], angle, base, kTurnAboutZ);
    RotateSpeakerAboutPoint(speaker, angle, base, kTurnAboutZ);
    speaker.horizontal = float(WrapSpeakerAngle(speaker.horizontal + angle));
    WriteLoudspeaker(speaker, object);
  }
  MarkChanged();
  RefreshAimLines();
  RequestRedraw();
}

void TiltLoudspeakerArray(std::span<GraphicObject* const> speakers, const ObjectVertex& base, double degrees) {
  std::vector<Loudspeaker> tilting = ReadLoudspeakers(speakers);
  if (tilting.empty()) return;
  const double angle = WrapSpeakerAngle(degrees * kDegree);
  for (Loudspeaker& speaker : tilting) {
    const double h = speaker.horizontal;
    RotateSpeakerAboutPoint(speaker, -h, base, kTurnAboutZ);
    RotateSpeakerAboutPoint(speaker, angle, base, kTurnAboutY);
    RotateSpeakerAboutPoint(speaker, h, base, kTurnAboutZ);
    speaker.vertical = float(WrapSpeakerAngle(speaker.vertical + angle));
    StoreAndRebuild(speaker);
  }
  MarkChanged();
  RefreshAimLines();
}
