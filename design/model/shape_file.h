// Loudspeaker shapes of the older formats: the shape files beside older
// speaker databases and the shape templates "LSTMPL" (the default
// loudspeaker symbol) and "XYZ_CROSS" (the axis cross) that the programs
// carry as RCDATA blocks.
//
// Layouts (little-endian):
// - "TARNIK 1.0     ": a 32-byte magic field, 384 bytes skipped, then blocks
//   of an 18-byte header (u16 vertex count at 0, u16 item count at 2, bytes
//   4-13 unused, u32 next at 14), the vertices (3 x f32) and 4-byte items
//   (u16 op, u16 index); the block whose next is 0 is the last.
// - "TARNIK V1.27" and the project magic "KORVANE V2.80  ": the 102-byte
//   project header, 384 bytes skipped, then blocks with the older 40-byte
//   object header, data, vertices and 2-byte items; only blocks on layers 0
//   to 2 are part of the shape.
// - Templates: as "TARNIK 1.0     " (the magic field is not read) but with
//   2-byte items (op = v & 3, index = v >> 2).
//
// Every shape becomes ONE object: the vertices of all its blocks in block
// order, each block's item indices raised by the vertices of the blocks
// before it; kind 16 (solid), no data. As a loudspeaker symbol's shape
// (ShapeForm::kSymbol) it ends in the reference points (1,0,0) and (0,0,1)
// and lies on layer 3 with state 134; as a drawing of the speaker-database
// editor (ShapeForm::kDrawing) it has neither and lies on layer 0, state 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "framework/model/graphic_object.h"

inline constexpr char kTarnikMagic[] = "TARNIK 1.0     ";
inline constexpr char kTarnikV127Magic[] = "TARNIK V1.27";
constexpr size_t kShapeMagicSize = 32;
constexpr size_t kShapeSkippedSize = 384;
constexpr uint32_t kShapeState = 134;

enum class ShapeForm {
  kSymbol,   // a loudspeaker type's shape in the design program
  kDrawing,  // a drawing in the speaker-database editor
};

// Collects the blocks of a shape into one object.
class ShapeAssembler {
 public:
  // Appends the block's vertices and its items, the start, line-to and close
  // items raised by the vertices before the block. False, leaving the
  // collection alone, when a raised index no longer fits in 16 bits.
  bool Add(const GraphicObject& block);
  // The one object in `form`, unlinked; null when memory runs out.
  GraphicObject* Finish(ShapeForm form) const;

 private:
  std::vector<ObjectVertex> vertices_;
  std::vector<ObjectItem> items_;
};

// Reads an older shape file from its whole contents and returns the shape,
// unlinked. None after "Invalid file format !" (another magic, or blocks
// that are short) or when memory runs out. An item naming a vertex its block
// lacks is dropped.
// The drawing form takes the two TARNIK magics only; the symbol form also
// takes the project magic.
GraphicObject* ReadShapeFile(std::span<const uint8_t> file, ShapeForm form = ShapeForm::kSymbol);

// Builds the shape of a template's RCDATA block and returns it, unlinked.
// None, without a message, for a missing (empty) or malformed block or when
// memory runs out.
GraphicObject* ReadShapeResource(std::span<const uint8_t> resource);
