// The packed form of a graphic object: the stored header of twelve 32-bit
// words, then the data block, the vertices (3 x f32) and the items. Project
// files, undo snapshots, speaker databases and drawing files all use it.
// The older layout has a 40-byte header (eight words, then the layer and the
// three counts as 16-bit values) and 2-byte items (op = v & 3, index = v >> 2).
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"

enum class PackedLayout {
  kCurrent,  // 48-byte header, 4-byte items
  kOld,      // 40-byte header, 2-byte items
};

constexpr size_t kPackedHeaderSize = 48;

// The stored header. The pointer words mean nothing on disk; readers look
// only at `next` (non-zero while another record follows).
struct PackedObjectHeader {
  uint32_t previous = 0;
  uint32_t next = 0;
  uint32_t data = 0;
  uint32_t vertices = 0;
  uint32_t items = 0;
  uint32_t kind = 0;
  uint32_t state = 0;
  uint32_t colour = 0;
  uint32_t layer = 0;
  uint32_t vertexCount = 0;
  uint32_t itemCount = 0;
  uint32_t dataSize = 0;
};

// The value written into `next` when another record follows.
constexpr uint32_t kPackedNextFollows = 1;

// The header of an object as it is stored: pointer words 0 except the two
// link words given, and `omitVertices` fewer vertices.
PackedObjectHeader PackedHeaderOf(const GraphicObject& object, uint32_t previousWord, uint32_t nextWord,
                                  uint32_t omitVertices = 0);

// Bytes of data, vertices and items behind the header.
uint64_t PackedBodySize(const PackedObjectHeader& header, PackedLayout layout);

bool ReadPackedHeader(ByteReader& reader, PackedLayout layout, PackedObjectHeader& header);
bool WritePackedHeader(ByteWriter& writer, const PackedObjectHeader& header);

enum class PackedReadResult { kOk, kBadFormat, kNoMemory };

// Reads the body behind `header` into a new unlinked object with kind,
// state, colour and layer from the header and `extraVertices` zeroed vertex
// slots behind the stored ones. The body must lie wholly in the input
// (otherwise kBadFormat, with nothing allocated). A start, line-to or close
// item that names a vertex the object lacks is dropped, as welding drops it.
PackedReadResult ReadPackedBody(ByteReader& reader, PackedLayout layout, const PackedObjectHeader& header,
                                uint32_t extraVertices, GraphicObject*& object);
bool SkipPackedBody(ByteReader& reader, PackedLayout layout, const PackedObjectHeader& header);

// Writes what `header` announces of the object in the current layout:
// header.dataSize bytes of its data (at most its own), header.vertexCount
// vertices and header.itemCount items. With a header from PackedHeaderOf
// that is the whole body; a writer that stores no data sets dataSize to 0.
bool WritePackedBody(ByteWriter& writer, const GraphicObject& object, const PackedObjectHeader& header);

// Writes the object in the current layout: header, data, the first
// vertexCount - omitVertices vertices, items.
bool WritePackedObject(ByteWriter& writer, const GraphicObject& object, uint32_t previousWord, uint32_t nextWord,
                       uint32_t omitVertices = 0);

// A 2-byte item of the older layout.
inline ObjectItem UnpackShortItem(uint16_t v) { return {uint16_t(v & 3), uint16_t(v >> 2)}; }
