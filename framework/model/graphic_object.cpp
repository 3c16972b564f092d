#include "framework/model/graphic_object.h"

#include <cstdlib>
#include <cstring>

#include "framework/core/byte_codec.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"
#include "framework/model/packed_object.h"

ObjectStore gObjects;

void ResetObjectStore() {
  FreeAllObjects();
  gObjects.access = ObjectAccessBlock{};
}

namespace {
const StateReset kReset(ResetObjectStore);
}  // namespace

// ---- Creation and arrays ----

ObjectVertex* AllocVertexArray(uint32_t count) {
  if (count == 0) return nullptr;
  return static_cast<ObjectVertex*>(std::calloc(count, sizeof(ObjectVertex)));
}

ObjectItem* AllocItemArray(uint32_t count) {
  if (count == 0) return nullptr;
  return static_cast<ObjectItem*>(std::calloc(count, sizeof(ObjectItem)));
}

namespace {

template <typename T>
T* ResizeArray(T* array, uint32_t oldCount, uint32_t newCount) {
  if (newCount == 0) {
    std::free(array);
    return nullptr;
  }
  T* grown = static_cast<T*>(std::realloc(array, size_t(newCount) * sizeof(T)));
  if (!grown) return nullptr;
  for (uint32_t i = oldCount; i < newCount; ++i) grown[i] = T{};
  return grown;
}

}  // namespace

ObjectVertex* ResizeVertexArray(ObjectVertex* array, uint32_t oldCount, uint32_t newCount) {
  return ResizeArray(array, oldCount, newCount);
}

ObjectItem* ResizeItemArray(ObjectItem* array, uint32_t oldCount, uint32_t newCount) {
  return ResizeArray(array, oldCount, newCount);
}

GraphicObject* CreateObject(uint32_t dataSize, uint32_t vertexCount, uint32_t itemCount) {
  auto* object = static_cast<GraphicObject*>(std::calloc(1, sizeof(GraphicObject)));
  if (!object) return nullptr;
  object->vertices = AllocVertexArray(vertexCount);
  object->items = AllocItemArray(itemCount);
  object->data = dataSize ? static_cast<uint8_t*>(std::calloc(dataSize, 1)) : nullptr;
  if ((vertexCount && !object->vertices) || (itemCount && !object->items) || (dataSize && !object->data)) {
    std::free(object->data);
    std::free(object->items);
    std::free(object->vertices);
    std::free(object);
    return nullptr;
  }
  object->vertexCount = vertexCount;
  object->itemCount = itemCount;
  object->dataSize = dataSize;
  return object;
}

GraphicObject* CreatePointBufferObject() { return CreateObject(0, 360, 361); }

GraphicObject* CloneObject(const GraphicObject* object) {
  if (!object) return nullptr;
  GraphicObject* clone = CreateObject(object->dataSize, object->vertexCount, object->itemCount);
  if (!clone) return nullptr;
  clone->kind = object->kind;
  clone->state = object->state;
  clone->colour = object->colour;
  clone->layer = object->layer;
  if (object->vertexCount) std::memcpy(clone->vertices, object->vertices, object->vertexCount * sizeof(ObjectVertex));
  if (object->itemCount) std::memcpy(clone->items, object->items, object->itemCount * sizeof(ObjectItem));
  return clone;
}

namespace {

void FreeObjectBlocks(GraphicObject* object) {
  std::free(object->data);
  std::free(object->items);
  std::free(object->vertices);
  std::free(object);
}

}  // namespace

// ---- List operations, shared by the model list and private lists ----

void AppendObjectToList(GraphicObject* object, ObjectList& list) {
  if (!object) return;
  if (list.last) {
    object->previous = list.last;
    list.last->next = object;
  } else {
    list.first = object;
    object->previous = nullptr;
    object->next = nullptr;
  }
  list.last = object;
}

void InsertObjectBeforeInList(GraphicObject* object, GraphicObject* position, ObjectList& list) {
  if (!object) return;
  if (!position) {
    object->previous = list.last;
    if (list.last) list.last->next = object;
    object->next = nullptr;
    list.last = object;
    if (!list.first) list.first = object;
  } else if (position == list.first) {
    object->previous = nullptr;
    object->next = position;
    position->previous = object;
    list.first = object;
  } else {
    object->previous = position->previous;
    position->previous = object;
    if (object->previous) object->previous->next = object;
    object->next = position;
  }
}

void UnlinkObjectFromList(GraphicObject* object, ObjectList& list) {
  if (!object) return;
  GraphicObject* p = object->previous;
  GraphicObject* n = object->next;
  // An object without links is in the list only as its one object; any
  // other is in no list, and unlinking it must not empty this one.
  if (!p && !n && list.first != object) return;
  if (n) n->previous = p;
  else list.last = p;
  if (p) p->next = n;
  else list.first = n;
  object->previous = nullptr;
  object->next = nullptr;
}

void FreeObjectInList(GraphicObject* object, ObjectList& list) {
  if (!object) return;
  UnlinkObjectFromList(object, list);
  FreeObjectBlocks(object);
}

ObjectList& FreeObjectList(ObjectList& list) {
  GraphicObject* object = list.first;
  while (object) {
    GraphicObject* next = object->next;
    FreeObjectBlocks(object);
    object = next;
  }
  list.first = nullptr;
  list.last = nullptr;
  return list;
}

void AppendObject(GraphicObject* object) { AppendObjectToList(object, gObjects.model); }
void InsertObjectBefore(GraphicObject* object, GraphicObject* position) {
  InsertObjectBeforeInList(object, position, gObjects.model);
}
void UnlinkObject(GraphicObject* object) { UnlinkObjectFromList(object, gObjects.model); }
void FreeObject(GraphicObject* object) { FreeObjectInList(object, gObjects.model); }
void FreeAllObjects() { FreeObjectList(gObjects.model); }

GraphicObject* GetObjectByIndexInList(int32_t n, const ObjectList& list) {
  if (n < 0) return nullptr;
  GraphicObject* object = list.first;
  while (object && n-- > 0) object = object->next;
  return object;
}

int32_t GetObjectIndexInList(const GraphicObject* object, const ObjectList& list) {
  int32_t index = 0;
  for (const GraphicObject* o = list.first; o; o = o->next, ++index)
    if (o == object) return index;
  return -1;
}

GraphicObject* GetObjectByIndex(int32_t n) { return GetObjectByIndexInList(n, gObjects.model); }
int32_t GetObjectIndex(const GraphicObject* object) { return GetObjectIndexInList(object, gObjects.model); }

// ---- Access ----

GraphicObject* AccessObject(int8_t flags, GraphicObject* object) {
  if (!object) return nullptr;
  GraphicObject* result = object;
  if (flags < 0 && (object->state & kStateChainMember)) {
    while (!(result->state & kStateChainEnd) && result->next) result = result->next;
  }
  if (flags & kAccessFillBlock) {
    ObjectAccessBlock& block = gObjects.access;
    block.object = object;
    block.vertices = object->vertices;
    block.vertexCount = object->vertexCount;
    block.items = object->items;
    block.itemCount = object->itemCount;
    block.trailingData = nullptr;
  }
  return result;
}

namespace {

// The header of the whole packed record at `offset`; false when none lies
// there in full.
bool PackedRecordAt(std::span<const uint8_t> packed, size_t offset, PackedObjectHeader& header) {
  MemoryReader reader(packed);
  return reader.Skip(offset) && ReadPackedHeader(reader, PackedLayout::kCurrent, header) &&
         PackedBodySize(header, PackedLayout::kCurrent) <= reader.Remaining();
}

size_t PackedRecordSize(const PackedObjectHeader& header) {
  return kPackedHeaderSize + size_t(PackedBodySize(header, PackedLayout::kCurrent));
}

}  // namespace

size_t AccessPackedObject(int8_t flags, std::span<const uint8_t> packed, size_t offset) {
  PackedObjectHeader header;
  if (!PackedRecordAt(packed, offset, header)) return SIZE_MAX;

  size_t result = offset;
  if (flags < 0 && (header.state & kStateChainMember)) {
    // Records follow one another; the chain ends at the first with bit 4, or
    // at the last whole record.
    PackedObjectHeader walked = header;
    while (!(walked.state & kStateChainEnd)) {
      const size_t next = result + PackedRecordSize(walked);
      if (!PackedRecordAt(packed, next, walked)) break;
      result = next;
    }
  }
  if (flags & kAccessFillBlock) {
    ObjectAccessBlock& block = gObjects.access;
    const uint8_t* p = packed.data() + offset + kPackedHeaderSize + header.dataSize;
    block.packedVertices.resize(header.vertexCount);
    for (auto& v : block.packedVertices) {
      v = {LoadF32(p), LoadF32(p + 4), LoadF32(p + 8)};
      p += 12;
    }
    block.packedItems.resize(header.itemCount);
    for (auto& item : block.packedItems) {
      item = {LoadU16(p), LoadU16(p + 2)};
      p += 4;
    }
    block.object = nullptr;
    block.vertices = block.packedVertices.empty() ? nullptr : block.packedVertices.data();
    block.vertexCount = header.vertexCount;
    block.items = block.packedItems.empty() ? nullptr : block.packedItems.data();
    block.itemCount = header.itemCount;
    block.trailingData = header.kind == kKindText ? p : nullptr;
  }
  return result;
}

// ---- Sizes and counts ----

int32_t PackedObjectSize(const GraphicObject* object) {
  return int32_t(kPackedHeaderSize + object->dataSize + 12 * object->vertexCount + 4 * object->itemCount);
}

uint32_t LargestSelectedPackedSize() {
  uint32_t largest = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
    if ((o->state & kStateSelected) && uint32_t(PackedObjectSize(o)) > largest) largest = uint32_t(PackedObjectSize(o));
  return largest;
}

uint32_t CountObjects() {
  uint32_t n = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) ++n;
  return n;
}

uint32_t CountObjectsOnLayer(const ObjectList& list, uint32_t layer) {
  uint32_t n = 0;
  for (const GraphicObject* o = list.first; o; o = o->next)
    if (o->layer == layer) ++n;
  return n;
}

uint32_t CountObjectsOnLayer0(uint32_t* faces) {
  uint32_t n = 0, f = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (o->layer != kRoomLayer) continue;
    ++n;
    if (o->kind & kKindFaceOrSolid) ++f;
  }
  if (faces) *faces = f;
  return n;
}

uint32_t CountObjectsOnLayer1() { return CountObjectsOnLayer(gObjects.model, kAudienceLayer); }
uint32_t CountObjectsOnLayer2() { return CountObjectsOnLayer(gObjects.model, kLoudspeakerLayer); }
uint32_t CountObjectsOnLayer7() { return CountObjectsOnLayer(gObjects.model, kAuxiliaryLayer); }

// ---- Welding ----

namespace {

// Marks an item that welding drops whatever its neighbours are.
constexpr uint16_t kOpDropped = 0xFFFF;

// Removes the polygon that opens at output[start] (its start, attribute and
// edges) when all its vertex items name the start vertex.
void DropCollapsedPolygon(std::vector<ObjectItem>& output, size_t start) {
  if (start >= output.size()) return;
  const uint16_t origin = output[start].index;
  for (size_t k = start; k < output.size(); ++k)
    if (output[k].op != kOpAttribute && output[k].index != origin) return;
  output.resize(start);
}

}  // namespace

GraphicObject* WeldObjectVertices(GraphicObject* object) {
  if (!object) return nullptr;
  WaitCursorScope waitCursor;  // the vertex search is quadratic
  const uint32_t itemCount = object->itemCount;

  // Vertex pass: the first kept vertex within 1 mm takes every later one.
  // Items of unknown operations or naming no vertex are marked dropped.
  std::vector<ObjectVertex> kept;
  kept.reserve(object->vertexCount);
  std::vector<ObjectItem> input(object->items, object->items + itemCount);
  for (ObjectItem& item : input) {
    if (item.op == kOpAttribute) continue;
    if (item.op > kOpClose || item.index >= object->vertexCount) {
      item.op = kOpDropped;
      continue;
    }
    const ObjectVertex& v = object->vertices[item.index];
    size_t found = kept.size();
    for (size_t k = 0; k < kept.size(); ++k) {
      float dx = kept[k].x - v.x, dy = kept[k].y - v.y, dz = kept[k].z - v.z;
      if (dx * dx + dy * dy + dz * dz < 1e-6f) {
        found = k;
        break;
      }
    }
    if (found == kept.size()) kept.push_back(v);
    item.index = uint16_t(found);  // at most one kept vertex per 16-bit index
  }

  // Item pass.
  std::vector<ObjectItem> output;
  output.reserve(itemCount);
  uint16_t startVertex = 0;
  size_t polygonStart = 0;  // output position of the open polygon's start
  bool polygonOpen = false;
  for (uint32_t i = 0; i < itemCount; ++i) {
    const ObjectItem item = input[i];
    const ObjectItem* prev = i >= 1 ? &input[i - 1] : nullptr;
    const ObjectItem* prev2 = i >= 2 ? &input[i - 2] : nullptr;
    switch (item.op) {
      case kOpStart:
        if (!output.empty() && output.back().op == kOpStart) {
          output.back().index = item.index;  // an empty start is dropped
        } else {
          polygonStart = output.size();
          output.push_back(item);
        }
        startVertex = item.index;
        polygonOpen = true;
        break;
      case kOpLineTo:
        // A zero-length first edge behind a start and its attribute.
        if (prev2 && prev2->op == kOpStart && prev->op == kOpAttribute && prev2->index == item.index) break;
        if (prev && prev->op == kOpLineTo && prev->index == item.index) break;
        output.push_back(item);
        break;
      case kOpClose:
        if (prev && prev->op == kOpLineTo && (prev->index == item.index || item.index == startVertex)) {
          // The closing edge repeats a vertex, so the last line-to closes
          // instead. Only a line-to may become the closing item; a polygon
          // with no edge left has collapsed and goes with its attribute.
          if (!output.empty() && output.back().op == kOpLineTo) output.back().op = kOpClose;
          else if (polygonOpen) output.resize(polygonStart);
        } else {
          output.push_back(item);
        }
        if (polygonOpen) DropCollapsedPolygon(output, polygonStart);
        polygonOpen = false;
        break;
      case kOpAttribute:
        if (output.empty() || output.back().op == kOpStart) output.push_back(item);
        break;
      default: break;  // unknown operations are dropped
    }
  }

  // Copy back, with the arrays at their new counts.
  ObjectVertex* vertices = AllocVertexArray(uint32_t(kept.size()));
  ObjectItem* items = AllocItemArray(uint32_t(output.size()));
  if ((!kept.empty() && !vertices) || (!output.empty() && !items)) {
    std::free(vertices);
    std::free(items);
    return nullptr;
  }
  if (!kept.empty()) std::memcpy(vertices, kept.data(), kept.size() * sizeof(ObjectVertex));
  if (!output.empty()) std::memcpy(items, output.data(), output.size() * sizeof(ObjectItem));
  std::free(object->vertices);
  std::free(object->items);
  object->vertices = vertices;
  object->vertexCount = uint32_t(kept.size());
  object->items = items;
  object->itemCount = uint32_t(output.size());
  if (gObjects.access.object == object) AccessObject(kAccessFillBlock, object);
  return object;
}

// ---- Allocation ----

void* CheckedAlloc(size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) ShowMessage(kOutOfMemoryMessage, nullptr, kMsgOk);
  return p;
}
