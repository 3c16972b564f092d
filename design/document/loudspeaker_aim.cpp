#include "design/document/loudspeaker_aim.h"

#include <algorithm>
#include <cmath>

#include "design/model/materials.h"
#include "framework/core/services.h"
#include "framework/model/layers.h"

namespace {

constexpr double kAimReach = 10000.0;  // m, the length of the axis segment
constexpr float kNoAimDistance = 1e6f;
// An x component of the axis below this (of kAimReach) counts as 0.
constexpr double kAxialComponent = 0.1;
// Item indexes are 16-bit: the overlay holds at most this many vertices.
constexpr uint32_t kMaxAimVertices = 65536;

bool IsAimLineOverlay(const GraphicObject* object) {
  // The isobars of the perspective aiming, also of kind 0, have no items.
  return object->layer == kAimLineLayer && object->kind == kAimLineOverlayKind && object->dataSize == 0 &&
         object->itemCount > 0;
}

}  // namespace

int FindAimPoint(const CalcFaceTable& table, const Loudspeaker& speaker, ObjectVertex& point) {
  const Vec3d position = {speaker.position[0], speaker.position[1], speaker.position[2]};
  const double h = speaker.horizontal, v = speaker.vertical;
  const Vec3d axis = Vec3d{std::cos(v) * std::cos(h), std::cos(v) * std::sin(h), std::sin(v)} * kAimReach;
  const SegmentBox segment = BoundSegment(position, position + axis);
  const Vec3d u = {std::fabs(axis.x) < kAxialComponent ? 0.0 : axis.x, axis.y, axis.z};

  CalcRay ray;
  ray.origin = ToVertex(position);
  ray.direction = ToVertex(u);
  float best = kNoAimDistance;
  int bestFace = -1;
  for (int i = 0; i < table.Count(); ++i) {
    const CalcFace& face = table.faces[size_t(i)];
    if (!SegmentOverlapsFace(segment, face.box)) continue;
    ray.face = &face;
    if (!IntersectRayPlane(ray)) continue;
    const Vec3d d = ToVec3d(ray.hitPoint) - position;
    const float distance = float(std::sqrt(Dot(d, d)));
    const bool ahead = u.x * d.x >= 0 && u.y * d.y >= 0 && u.z * d.z >= 0;
    if (distance < best && ahead) {
      best = distance;
      bestFace = i;
      point = ray.hitPoint;
    }
  }
  return bestFace;
}

void RebuildAimLines(bool layerShown) {
  uint32_t speakersOn = 0;
  for (GraphicObject* object = gObjects.model.first; object;) {
    GraphicObject* next = object->next;
    Loudspeaker speaker;
    if (IsAimLineOverlay(object)) FreeObject(object);
    else if (ReadLoudspeaker(object, speaker) && speaker.IsOn()) ++speakersOn;
    object = next;
  }
  if (speakersOn == 0) return;

  const uint32_t room = std::min(2 * speakersOn, kMaxAimVertices);
  GraphicObject* overlay = CreateObject(0, room, room);
  if (!overlay) {
    ShowMessage(kInsufficientMemoryMessage, nullptr, kMsgOk);
    return;
  }
  overlay->vertexCount = overlay->itemCount = 0;
  overlay->kind = kAimLineOverlayKind;
  overlay->layer = kAimLineLayer;
  overlay->colour = kAimLineColour;

  BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project);
  for (GraphicObject* object = gObjects.model.first; object && overlay->vertexCount < room; object = object->next) {
    Loudspeaker speaker;
    ObjectVertex aim;
    if (!ReadLoudspeaker(object, speaker) || !speaker.IsOn() || FindAimPoint(gCalcFaceTable, speaker, aim) < 0)
      continue;
    const uint32_t k = overlay->vertexCount;
    overlay->vertices[k] = {speaker.position[0], speaker.position[1], speaker.position[2]};
    overlay->vertices[k + 1] = aim;
    overlay->items[k] = {kOpStart, uint16_t(k)};
    overlay->items[k + 1] = {kOpLineTo, uint16_t(k + 1)};
    overlay->vertexCount = overlay->itemCount = k + 2;
  }
  if (overlay->vertexCount == 0) {
    FreeObject(overlay);
    return;
  }
  InsertObjectBefore(overlay, gObjects.model.first);
  overlay->state = layerShown ? 0u : uint32_t(kStateLayerOff);
  RequestRedraw();
}

void RefreshAimLines() { RebuildAimLines(gLayers.IsVisible(kAimLineLayer)); }
