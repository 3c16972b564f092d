#include "design/model/loudspeaker.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"

SpeakerModelState gSpeakerModel;
SpeakerSymbolHooks gSpeakerSymbolHooks;

namespace {
const StateReset kModelReset([] { ResetSpeakerModel(); });
const StateReset kHooksReset([] { gSpeakerSymbolHooks = {}; });
}  // namespace

// ---- The block codec ----

namespace {

void DecodeFloats(const uint8_t* block, size_t offset, std::span<float> out) {
  for (size_t i = 0; i < out.size(); ++i) out[i] = LoadF32(block + offset + 4 * i);
}

void EncodeFloats(uint8_t* block, size_t offset, std::span<const float> values) {
  for (size_t i = 0; i < values.size(); ++i) StoreF32(block + offset + 4 * i, values[i]);
}

constexpr size_t kSpeakerTextWidth = 11;

bool HasLoudspeakerBlock(const GraphicObject* object) {
  return object && object->data && object->dataSize == kLoudspeakerSize;
}

std::span<uint8_t, kLoudspeakerSize> BlockOf(GraphicObject* object) {
  return std::span<uint8_t, kLoudspeakerSize>(object->data, kLoudspeakerSize);
}

}  // namespace

bool IsTypedDelay(double ms) { return ms >= 0 && ms <= kMaxTypedDelay; }

bool DecodeLoudspeaker(std::span<const uint8_t> block, Loudspeaker& speaker) {
  if (block.size() != kLoudspeakerSize) return false;
  const uint8_t* b = block.data();
  speaker.name = ReadTextField(block.subspan(kSpeakerName, kSpeakerTextWidth));
  speaker.group = ReadTextField(block.subspan(kSpeakerGroup, kSpeakerTextWidth));
  speaker.on = LoadU16(b + kSpeakerOn);
  speaker.polarity = LoadI16(b + kSpeakerPolarity);
  speaker.nominalPower = LoadF32(b + kSpeakerNominalPower);
  DecodeFloats(b, kSpeakerEqGain, speaker.eqGain);
  DecodeFloats(b, kSpeakerPower, speaker.power);
  DecodeFloats(b, kSpeakerIntensity, speaker.intensity);
  speaker.delay = LoadF32(b + kSpeakerDelay);
  DecodeFloats(b, kSpeakerPosition, speaker.position);
  speaker.horizontal = LoadF32(b + kSpeakerHorizontal);
  speaker.vertical = LoadF32(b + kSpeakerVertical);
  speaker.rotation = LoadF32(b + kSpeakerRotation);
  speaker.typeIndex = LoadI16(b + kSpeakerTypeIndex);
  return true;
}

void EncodeLoudspeaker(const Loudspeaker& speaker, std::span<uint8_t, kLoudspeakerSize> block) {
  uint8_t* b = block.data();
  WriteTextField(block.subspan(kSpeakerName, kSpeakerTextWidth), speaker.name);
  WriteTextField(block.subspan(kSpeakerGroup, kSpeakerTextWidth), speaker.group);
  StoreU16(b + kSpeakerOn, speaker.on);
  StoreI16(b + kSpeakerPolarity, speaker.polarity);
  StoreF32(b + kSpeakerNominalPower, speaker.nominalPower);
  EncodeFloats(b, kSpeakerEqGain, speaker.eqGain);
  EncodeFloats(b, kSpeakerPower, speaker.power);
  EncodeFloats(b, kSpeakerIntensity, speaker.intensity);
  StoreF32(b + kSpeakerDelay, speaker.delay);
  EncodeFloats(b, kSpeakerPosition, speaker.position);
  StoreF32(b + kSpeakerHorizontal, speaker.horizontal);
  StoreF32(b + kSpeakerVertical, speaker.vertical);
  StoreF32(b + kSpeakerRotation, speaker.rotation);
  StoreI16(b + kSpeakerTypeIndex, speaker.typeIndex);
  StoreU32(b + kSpeakerObjectSlot, 0);
  StoreU32(b + kSpeakerReserved, 0);
}

bool IsLoudspeakerObject(const GraphicObject* object) {
  return HasLoudspeakerBlock(object) && object->layer == kLoudspeakerLayer;
}

bool ReadLoudspeaker(GraphicObject* object, Loudspeaker& speaker) {
  if (!IsLoudspeakerObject(object) || !DecodeLoudspeaker(BlockOf(object), speaker)) return false;
  speaker.object = object;
  return true;
}

bool WriteLoudspeaker(const Loudspeaker& speaker, GraphicObject* object) {
  if (!IsLoudspeakerObject(object)) return false;
  EncodeLoudspeaker(speaker, BlockOf(object));
  return true;
}

// ---- The loudspeaker model ----

int ResetSpeakerModel() {
  ClearSpeakerTypeTable(gSpeakerModel.types);
  gSpeakerModel.speakerLimit = kMaxLoudspeakers;
  gSpeakerModel.setUp = true;
  return 1;
}

void ShowSpeakerLimitMessage() { ShowMessage("Maximum amount of speakers is 5000", "Sorry!", kMsgOk); }

uint32_t SpeakerRoom() {
  const int64_t room = int64_t(gSpeakerModel.speakerLimit) - int64_t(CountObjectsOnLayer2());
  return room > 0 ? uint32_t(room) : 0;
}

bool WithinSpeakerLimit(uint32_t adding) { return adding <= SpeakerRoom(); }

SpeakerType* SpeakerTypeOf(const Loudspeaker& speaker) { return gSpeakerModel.types.At(speaker.typeIndex); }

namespace {

int16_t StoredTypeIndex(const GraphicObject* object) { return LoadI16(object->data + kSpeakerTypeIndex); }

}  // namespace

uint32_t DropInvalidSpeakers(ObjectList& model, const SpeakerTypeTable& types) {
  uint32_t kept = 0, dropped = 0;
  for (GraphicObject* object = model.first; object;) {
    GraphicObject* next = object->next;
    if (IsLoudspeakerObject(object)) {
      if (types.At(StoredTypeIndex(object)) && kept < uint32_t(kMaxLoudspeakers)) {
        ++kept;
      } else {
        FreeObjectInList(object, model);
        ++dropped;
      }
    }
    object = next;
  }
  return dropped;
}

void UpdateSpeakerBandPower(Loudspeaker& speaker, const SpeakerType& type) {
  for (int band = 0; band < kBandCount; ++band) {
    const double rated = type.RatedPower(band);
    const float gain = speaker.eqGain[size_t(band)];
    double power = gain > kBandOffGain ? rated * std::pow(10.0, gain / 10.0) : 0.0;
    // A positive gain never raises a band above the type's rated power.
    if (power > rated) power = rated >= 0.1 ? rated : speaker.nominalPower * 0.0001;
    speaker.power[size_t(band)] = float(power);
    speaker.intensity[size_t(band)] =
        float(speaker.power[size_t(band)] * std::pow(10.0, type.Sensitivity(band) / 10.0));
  }
}

// ---- The symbol ----

namespace {

constexpr double kAngleEpsilon = 1e-6;

// One turn of every vertex about `p` in the plane of the axes u and w (0 x,
// 1 y, 2 z): u' = cos a du + sin a dw, w' = -sin a du + cos a dw.
void TurnPass(std::span<ObjectVertex> vertices, const std::array<float, 3>& p, int u, int w, double angle) {
  if (std::fabs(angle) <= kAngleEpsilon) return;
  const double c = std::cos(angle), s = std::sin(angle);
  for (ObjectVertex& v : vertices) {
    float* xyz[3] = {&v.x, &v.y, &v.z};
    const double du = double(*xyz[u]) - p[size_t(u)];
    const double dw = double(*xyz[w]) - p[size_t(w)];
    *xyz[u] = float(p[size_t(u)] + (c * du + s * dw));
    *xyz[w] = float(p[size_t(w)] + (-s * du + c * dw));
  }
}

}  // namespace

void PlaceSymbolVertices(std::span<ObjectVertex> vertices, const std::array<float, 3>& position, float horizontal,
                         float vertical, float rotation) {
  for (ObjectVertex& v : vertices) {
    v.x += position[0];
    v.y += position[1];
    v.z += position[2];
  }
  TurnPass(vertices, position, 1, 2, rotation);  // about x
  // About y, with the elevation positive upwards: x' = cos b dx - sin b dz.
  TurnPass(vertices, position, 0, 2, -double(vertical));
  // About z, counter-clockwise seen from +z: x' = cos h dx - sin h dy.
  TurnPass(vertices, position, 0, 1, -double(horizontal));
}

int BuildSpeakerSymbol(Loudspeaker& speaker, GraphicObject* object, bool isNew) {
  if (!HasLoudspeakerBlock(object)) return 0;
  SpeakerType* type = SpeakerTypeOf(speaker);
  GraphicObject* shape = type && type->shape ? type->shape : gSpeakerModel.defaultSymbol;
  if (!shape) return 0;
  if (type && !type->shape) type->shape = shape;
  if (!isNew && gSpeakerSymbolHooks.erase) gSpeakerSymbolHooks.erase(object);

  ObjectVertex* vertices = AllocVertexArray(shape->vertexCount);
  ObjectItem* items = AllocItemArray(shape->itemCount);
  if ((shape->vertexCount && !vertices) || (shape->itemCount && !items)) {
    std::free(vertices);
    std::free(items);
    ShowMessage(kInsufficientMemoryMessage, nullptr, kMsgOk);
    FreeObject(object);
    speaker.object = nullptr;
    return 0;
  }
  UnlinkObject(object);
  std::free(object->vertices);
  std::free(object->items);
  if (shape->vertexCount) std::memcpy(vertices, shape->vertices, shape->vertexCount * sizeof(ObjectVertex));
  if (shape->itemCount) std::memcpy(items, shape->items, shape->itemCount * sizeof(ObjectItem));
  object->vertices = vertices;
  object->items = items;
  object->vertexCount = shape->vertexCount;
  object->itemCount = shape->itemCount;

  object->colour = speaker.IsOn() ? kSpeakerColourOn : kSpeakerColourOff;
  object->state = 0;
  object->layer = kLoudspeakerLayer;
  object->kind = kKindSolid;
  speaker.object = object;
  EncodeLoudspeaker(speaker, BlockOf(object));
  InsertObjectBefore(object, gObjects.model.first);
  AccessObject(kAccessFillBlock, object);

  PlaceSymbolVertices(std::span(object->vertices, object->vertexCount), speaker.position, speaker.horizontal,
                      speaker.vertical, speaker.rotation);
  if (gSpeakerSymbolHooks.draw) gSpeakerSymbolHooks.draw(object);
  return 1;
}

namespace {

uint64_t SymbolBytes(const GraphicObject* shape) {
  return shape ? sizeof(ObjectVertex) * uint64_t(shape->vertexCount) + sizeof(ObjectItem) * uint64_t(shape->itemCount)
               : 0;
}

}  // namespace

void BoundSpeakerShapes(const ObjectList& model, SpeakerTypeTable& types, GraphicObject* defaultSymbol) {
  std::array<uint64_t, kMaxSpeakerTypes> users{};
  for (const GraphicObject* object = model.first; object; object = object->next)
    if (IsLoudspeakerObject(object) && types.At(StoredTypeIndex(object))) ++users[size_t(StoredTypeIndex(object))];
  auto symbolsOf = [&](int i) { return users[size_t(i)] * SymbolBytes(types.At(i)->shape); };

  uint64_t total = 0;
  for (int i = 0; i < types.count; ++i) {
    SpeakerType& type = *types.At(i);
    if (type.shape && type.shape->vertexCount > kMaxSymbolVertices) type.shape = defaultSymbol;
    total += symbolsOf(i);
  }
  while (total > kSymbolMemoryBudget) {
    int largest = -1;
    for (int i = 0; i < types.count; ++i)
      if (types.At(i)->shape != defaultSymbol && (largest < 0 || symbolsOf(i) > symbolsOf(largest))) largest = i;
    if (largest < 0) break;
    total -= symbolsOf(largest);
    types.At(largest)->shape = defaultSymbol;
    total += symbolsOf(largest);
  }
}

SpeakerAngles AnglesFromReferencePoints(const std::array<float, 3>& position, ObjectVertex axisPoint,
                                        ObjectVertex upPoint) {
  constexpr float kHalfPi = 1.5707964f;
  constexpr double kVerticalAxis = 0.001;  // horizontal length below which the axis counts as vertical
  SpeakerAngles angles;
  const double dx = double(axisPoint.x) - position[0];
  const double dy = double(axisPoint.y) - position[1];
  const double dz = double(axisPoint.z) - position[2];
  const float r = float(std::sqrt(dx * dx + dy * dy));
  if (r > kVerticalAxis) {
    angles.horizontal = float(std::atan2(dy, dx));
    angles.vertical = float(std::atan2(dz, double(r)));
  } else {
    angles.horizontal = dy > 0 ? kHalfPi : -kHalfPi;
    angles.vertical = dz > 0 ? kHalfPi : -kHalfPi;
  }
  // The up point turned back by the horizontal and vertical angles lies at
  // (0, sin r, cos r) from the position.
  const double h = angles.horizontal, v = angles.vertical;
  const double ux = double(upPoint.x) - position[0];
  const double uy = double(upPoint.y) - position[1];
  const double uz = double(upPoint.z) - position[2];
  const double side = -std::sin(h) * ux + std::cos(h) * uy;
  const double up = -std::sin(v) * (std::cos(h) * ux + std::sin(h) * uy) + std::cos(v) * uz;
  angles.rotation = float(std::atan2(side, up));
  return angles;
}

void SpeakerAnglesFromSymbol(GraphicObject* object) {
  Loudspeaker speaker;
  if (!ReadLoudspeaker(object, speaker) || object->vertexCount < 2) return;
  const uint32_t n = object->vertexCount;
  const SpeakerAngles angles =
      AnglesFromReferencePoints(speaker.position, object->vertices[n - 2], object->vertices[n - 1]);
  speaker.horizontal = angles.horizontal;
  speaker.vertical = angles.vertical;
  speaker.rotation = angles.rotation;
  WriteLoudspeaker(speaker, object);
}

// ---- Types ----

void PurgeUnusedSpeakerTypes() {
  SpeakerTypeTable& table = gSpeakerModel.types;
  std::array<bool, kMaxSpeakerTypes> used{};
  for (const GraphicObject* object = gObjects.model.first; object; object = object->next)
    if (IsLoudspeakerObject(object) && table.At(StoredTypeIndex(object))) used[size_t(StoredTypeIndex(object))] = true;

  bool allUsed = true;
  for (int i = 0; i < table.count; ++i) allUsed = allUsed && used[size_t(i)];
  if (!allUsed) {
    std::array<int16_t, kMaxSpeakerTypes> newIndex;
    newIndex.fill(-1);
    int16_t kept = 0;
    std::vector<GraphicObject*> unusedShapes;
    for (int i = 0; i < table.count; ++i) {
      SpeakerTypePtr& type = table.types[size_t(i)];
      if (used[size_t(i)]) {
        newIndex[size_t(i)] = kept;
        if (kept != i) table.types[size_t(kept)] = std::move(type);
        ++kept;
      } else {
        if (type->shape && type->shape != gSpeakerModel.defaultSymbol) unusedShapes.push_back(type->shape);
        type.reset();
      }
    }
    const int16_t oldCount = table.count;
    table.count = kept;
    // Types read from a file may share a shape: each goes once, and only when
    // no kept type still uses it.
    std::sort(unusedShapes.begin(), unusedShapes.end());
    unusedShapes.erase(std::unique(unusedShapes.begin(), unusedShapes.end()), unusedShapes.end());
    for (GraphicObject* shape : unusedShapes) {
      bool stillUsed = false;
      for (int i = 0; i < kept; ++i) stillUsed = stillUsed || table.types[size_t(i)]->shape == shape;
      if (!stillUsed) FreeObject(shape);
    }
    for (GraphicObject* object = gObjects.model.first; object; object = object->next) {
      if (!IsLoudspeakerObject(object)) continue;
      const int16_t index = StoredTypeIndex(object);
      if (index >= 0 && index < oldCount) StoreI16(object->data + kSpeakerTypeIndex, newIndex[size_t(index)]);
    }
  }
  for (int i = 0; i < table.count; ++i)
    if (!table.types[size_t(i)]->shape) table.types[size_t(i)]->shape = gSpeakerModel.defaultSymbol;
}
