#include "design/model/shape_file.h"

#include <algorithm>
#include <string>
#include <vector>

#include "design/model/project_file.h"
#include "framework/core/byte_codec.h"
#include "framework/core/services.h"
#include "framework/model/layers.h"
#include "framework/model/packed_object.h"

namespace {

enum class BlockHeader {
  kShort,   // 18-byte header, no data
  kPacked,  // the older 40-byte object header
};

struct ShapeLayout {
  size_t firstBlock;
  BlockHeader header;
  PackedLayout items;  // kCurrent: 4-byte items, kOld: 2-byte items
};

constexpr ShapeLayout kTarnikLayout = {kShapeMagicSize + kShapeSkippedSize, BlockHeader::kShort,
                                       PackedLayout::kCurrent};
constexpr ShapeLayout kTemplateLayout = {kShapeMagicSize + kShapeSkippedSize, BlockHeader::kShort, PackedLayout::kOld};
constexpr ShapeLayout kPackedLayout = {kProjectHeaderSize + kShapeSkippedSize, BlockHeader::kPacked,
                                       PackedLayout::kOld};

// Blocks on these layers are part of a shape; the others are skipped.
constexpr uint32_t kLastShapeBlockLayer = 2;
constexpr size_t kShortHeaderUnused = 10;  // bytes 4-13

bool ReadShortBlockHeader(ByteReader& r, PackedObjectHeader& h) {
  uint16_t vertexCount = 0, itemCount = 0;
  uint32_t next = 0;
  if (!r.U16(vertexCount) || !r.U16(itemCount) || !r.Skip(kShortHeaderUnused) || !r.U32(next)) return false;
  h = PackedObjectHeader{.next = next, .vertexCount = vertexCount, .itemCount = itemCount};
  return true;
}

enum class ShapeResult { kOk, kBadFormat, kNoMemory };

// The one block reader of all layouts: collects the blocks into one shape.
ShapeResult ReadShapeBlocks(std::span<const uint8_t> bytes, const ShapeLayout& layout, ShapeForm form,
                            GraphicObject*& shape) {
  MemoryReader r(bytes);
  if (!r.Skip(layout.firstBlock)) return ShapeResult::kBadFormat;
  ShapeAssembler assembler;
  PackedObjectHeader h;
  do {
    const bool headerRead =
        layout.header == BlockHeader::kShort ? ReadShortBlockHeader(r, h) : ReadPackedHeader(r, PackedLayout::kOld, h);
    if (!headerRead) return ShapeResult::kBadFormat;
    if (h.layer > kLastShapeBlockLayer) {
      if (!SkipPackedBody(r, layout.items, h)) return ShapeResult::kBadFormat;
      continue;
    }
    GraphicObject* block = nullptr;
    switch (ReadPackedBody(r, layout.items, h, 0, block)) {
      case PackedReadResult::kOk: break;
      case PackedReadResult::kBadFormat: return ShapeResult::kBadFormat;
      case PackedReadResult::kNoMemory: return ShapeResult::kNoMemory;
    }
    const bool added = assembler.Add(*block);
    ObjectList unlinked;
    FreeObjectInList(block, unlinked);
    if (!added) return ShapeResult::kBadFormat;
  } while (h.next != 0);

  shape = assembler.Finish(form);
  return shape ? ShapeResult::kOk : ShapeResult::kNoMemory;
}

}  // namespace

bool ShapeAssembler::Add(const GraphicObject& block) {
  const size_t base = vertices_.size();
  const size_t firstItem = items_.size();
  for (uint32_t i = 0; i < block.itemCount; ++i) {
    ObjectItem item = block.items[i];
    if (item.op <= kOpClose) {
      if (base + item.index > UINT16_MAX) {
        items_.resize(firstItem);
        return false;
      }
      item.index = uint16_t(base + item.index);
    }
    items_.push_back(item);
  }
  vertices_.insert(vertices_.end(), block.vertices, block.vertices + block.vertexCount);
  return true;
}

GraphicObject* ShapeAssembler::Finish(ShapeForm form) const {
  const bool symbol = form == ShapeForm::kSymbol;
  const size_t vertexCount = vertices_.size() + (symbol ? 2 : 0);
  if (vertexCount > UINT32_MAX || items_.size() > UINT32_MAX) return nullptr;
  GraphicObject* o = CreateObject(0, uint32_t(vertexCount), uint32_t(items_.size()));
  if (!o) return nullptr;
  std::copy(vertices_.begin(), vertices_.end(), o->vertices);
  std::copy(items_.begin(), items_.end(), o->items);
  o->kind = kKindSolid;
  if (symbol) {
    o->vertices[vertices_.size()] = {1, 0, 0};
    o->vertices[vertices_.size() + 1] = {0, 0, 1};
    o->state = kShapeState;
    o->layer = kShapeLayer;
  }
  return o;
}

GraphicObject* ReadShapeFile(std::span<const uint8_t> file, ShapeForm form) {
  if (file.size() < kShapeMagicSize) {
    ShowMessage(kInvalidFileFormatMessage, nullptr, kMsgOk);
    return nullptr;
  }
  const std::string magic = ReadTextField(file.first(kShapeMagicSize));
  const ShapeLayout* layout = nullptr;
  if (magic == kTarnikMagic) layout = &kTarnikLayout;
  else if (magic == kTarnikV127Magic || (form == ShapeForm::kSymbol && magic == kProjectMagic)) layout = &kPackedLayout;
  GraphicObject* shape = nullptr;
  const ShapeResult result = layout ? ReadShapeBlocks(file, *layout, form, shape) : ShapeResult::kBadFormat;
  if (result == ShapeResult::kBadFormat) ShowMessage(kInvalidFileFormatMessage, nullptr, kMsgOk);
  return shape;
}

GraphicObject* ReadShapeResource(std::span<const uint8_t> resource) {
  GraphicObject* shape = nullptr;
  ReadShapeBlocks(resource, kTemplateLayout, ShapeForm::kSymbol, shape);
  return shape;
}
