#include "framework/model/packed_object.h"

PackedObjectHeader PackedHeaderOf(const GraphicObject& object, uint32_t previousWord, uint32_t nextWord,
                                  uint32_t omitVertices) {
  PackedObjectHeader h;
  h.previous = previousWord;
  h.next = nextWord;
  h.kind = object.kind;
  h.state = object.state;
  h.colour = object.colour;
  h.layer = object.layer;
  h.vertexCount = object.vertexCount > omitVertices ? object.vertexCount - omitVertices : 0;
  h.itemCount = object.itemCount;
  h.dataSize = object.dataSize;
  return h;
}

uint64_t PackedBodySize(const PackedObjectHeader& h, PackedLayout layout) {
  const uint64_t itemSize = layout == PackedLayout::kCurrent ? 4 : 2;
  return uint64_t(h.dataSize) + 12 * uint64_t(h.vertexCount) + itemSize * uint64_t(h.itemCount);
}

bool ReadPackedHeader(ByteReader& r, PackedLayout layout, PackedObjectHeader& h) {
  PackedObjectHeader out;
  bool ok = r.U32(out.previous) && r.U32(out.next) && r.U32(out.data) && r.U32(out.vertices) && r.U32(out.items) &&
            r.U32(out.kind) && r.U32(out.state) && r.U32(out.colour);
  if (layout == PackedLayout::kCurrent) {
    ok = ok && r.U32(out.layer) && r.U32(out.vertexCount) && r.U32(out.itemCount) && r.U32(out.dataSize);
  } else {
    // The four 16-bit words are taken only once all of them were read.
    uint16_t layer, vertexCount, itemCount, dataSize;
    ok = ok && r.U16(layer) && r.U16(vertexCount) && r.U16(itemCount) && r.U16(dataSize);
    if (ok) {
      out.layer = layer;
      out.vertexCount = vertexCount;
      out.itemCount = itemCount;
      out.dataSize = dataSize;
    }
  }
  if (ok) h = out;
  return ok;
}

bool WritePackedHeader(ByteWriter& w, const PackedObjectHeader& h) {
  return w.U32(h.previous) && w.U32(h.next) && w.U32(h.data) && w.U32(h.vertices) && w.U32(h.items) && w.U32(h.kind) &&
         w.U32(h.state) && w.U32(h.colour) && w.U32(h.layer) && w.U32(h.vertexCount) && w.U32(h.itemCount) &&
         w.U32(h.dataSize);
}

PackedReadResult ReadPackedBody(ByteReader& r, PackedLayout layout, const PackedObjectHeader& h, uint32_t extraVertices,
                                GraphicObject*& object) {
  object = nullptr;
  const uint64_t vertexTotal = uint64_t(h.vertexCount) + extraVertices;
  if (PackedBodySize(h, layout) > r.Remaining() || vertexTotal > UINT32_MAX) return PackedReadResult::kBadFormat;
  GraphicObject* o = CreateObject(h.dataSize, uint32_t(vertexTotal), h.itemCount);
  if (!o) return PackedReadResult::kNoMemory;
  o->kind = h.kind;
  o->state = h.state;
  o->colour = h.colour;
  o->layer = h.layer;
  bool ok = r.Bytes(o->data, h.dataSize);
  for (uint32_t i = 0; ok && i < h.vertexCount; ++i)
    ok = r.F32(o->vertices[i].x) && r.F32(o->vertices[i].y) && r.F32(o->vertices[i].z);
  uint32_t kept = 0;
  for (uint32_t i = 0; ok && i < h.itemCount; ++i) {
    ObjectItem item;
    if (layout == PackedLayout::kCurrent) {
      ok = r.U16(item.op) && r.U16(item.index);
    } else {
      uint16_t v = 0;
      ok = r.U16(v);
      item = UnpackShortItem(v);
    }
    // An item naming a vertex the object lacks is dropped, as welding drops it.
    if (ok && (item.op > kOpClose || item.index < vertexTotal)) o->items[kept++] = item;
  }
  if (!ok) {
    ObjectList unlinked;
    FreeObjectInList(o, unlinked);
    return PackedReadResult::kBadFormat;
  }
  if (kept < h.itemCount) {
    // A shrink that fails keeps the larger array, which holds the items too.
    ObjectItem* items = ResizeItemArray(o->items, h.itemCount, kept);
    if (items || kept == 0) o->items = items;
    o->itemCount = kept;
  }
  object = o;
  return PackedReadResult::kOk;
}

bool SkipPackedBody(ByteReader& r, PackedLayout layout, const PackedObjectHeader& h) {
  return r.Skip(PackedBodySize(h, layout));
}

bool WritePackedBody(ByteWriter& w, const GraphicObject& object, const PackedObjectHeader& h) {
  if (h.dataSize > object.dataSize || h.vertexCount > object.vertexCount || h.itemCount > object.itemCount) {
    return false;
  }
  bool ok = w.Bytes(object.data, h.dataSize);
  for (uint32_t i = 0; ok && i < h.vertexCount; ++i)
    ok = w.F32(object.vertices[i].x) && w.F32(object.vertices[i].y) && w.F32(object.vertices[i].z);
  for (uint32_t i = 0; ok && i < h.itemCount; ++i) ok = w.U16(object.items[i].op) && w.U16(object.items[i].index);
  return ok;
}

bool WritePackedObject(ByteWriter& w, const GraphicObject& object, uint32_t previousWord, uint32_t nextWord,
                       uint32_t omitVertices) {
  const PackedObjectHeader h = PackedHeaderOf(object, previousWord, nextWord, omitVertices);
  return WritePackedHeader(w, h) && WritePackedBody(w, object, h);
}
