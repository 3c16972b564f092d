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
// before it, then the reference points (1,0,0) and (0,0,1); kind 16 (solid),
// state 134, layer 3, no data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/model/graphic_object.h"

inline constexpr char kTarnikMagic[] = "TARNIK 1.0     ";
inline constexpr char kTarnikV127Magic[] = "TARNIK V1.27";
constexpr size_t kShapeMagicSize = 32;
constexpr size_t kShapeSkippedSize = 384;
constexpr uint32_t kShapeState = 134;

// Reads an older shape file from its whole contents and returns the shape,
// unlinked. None after "Invalid file format !" (another magic, or blocks
// that are short or name vertices they do not have) or when memory runs out.
GraphicObject* ReadShapeFile(std::span<const uint8_t> file);

// Builds the shape of a template's RCDATA block and returns it, unlinked.
// None, without a message, for a missing (empty) or malformed block or when
// memory runs out.
GraphicObject* ReadShapeResource(std::span<const uint8_t> resource);
