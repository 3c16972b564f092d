// Files of the older formats that the suite reads but no longer writes,
// written by hand from their layouts: the 40-byte object records with 2-byte
// items, an older speaker-type record, the shape files and a "KORVANE
// V1.27  " project. The tests and the fuzz seeds share them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "design/model/absorber_database.h"
#include "design/model/loudspeaker.h"
#include "design/model/project_file.h"
#include "design/model/shape_file.h"
#include "design/model/speaker_type.h"
#include "framework/core/byte_codec.h"
#include "framework/model/plot_header.h"

// A 2-byte item: op in the low two bits, index above.
inline uint16_t ShortItem(uint16_t op, uint16_t index) { return uint16_t(index << 2 | op); }

// An older object record: the eight words prev, next, data, vertices,
// items, kind, state, colour; u16 layer, vertex count, item count, data
// size; then the data, the vertices and the 2-byte items.
inline void WriteOlderRecord(MemoryWriter& w, uint32_t kind, uint32_t state, uint32_t colour, uint16_t layer,
                             const std::vector<ObjectVertex>& vertices, const std::vector<uint16_t>& items,
                             const std::vector<uint8_t>& data, bool last) {
  for (uint32_t word : {0u, last ? 0u : 1u, 0u, 0u, 0u, kind, state, colour}) w.U32(word);
  w.U16(layer);
  w.U16(uint16_t(vertices.size()));
  w.U16(uint16_t(items.size()));
  w.U16(uint16_t(data.size()));
  w.Bytes(data.data(), data.size());
  for (const ObjectVertex& v : vertices) {
    w.F32(v.x);
    w.F32(v.y);
    w.F32(v.z);
  }
  for (uint16_t item : items) w.U16(item);
}

// An older-layout speaker record (18344 bytes, plain): a head of bytes 1 to
// 200 with layout flag 0, and 36 balloon rows a band of distinct codes.
inline std::vector<uint8_t> OlderSpeakerRecord() {
  std::vector<uint8_t> older(kOlderSpeakerTypeSize);
  for (size_t i = 0; i < 200; ++i) older[i] = uint8_t(i + 1);
  older[kTypeLayoutFlag] = 0;
  for (int band = 0; band < kBandCount; ++band)
    for (int row = 0; row < 36; ++row)
      for (int column = 0; column < 72; ++column)
        older[200 + 2592 * band + 72 * row + column] = uint8_t(band * 37 + row + column);
  return older;
}

// "TARNIK 1.0     ": two blocks, a triangle and a line.
inline std::vector<uint8_t> TarnikShapeFixture() {
  MemoryWriter w;
  w.Text(32, kTarnikMagic);
  w.Zeros(384);
  // Block 1: three vertices, items 0 1 2.
  w.U16(3);
  w.U16(3);
  w.Zeros(10);
  w.U32(1);
  for (float x : {0.0f, 1.0f, 2.0f}) {
    w.F32(x);
    w.F32(0);
    w.F32(0);
  }
  for (uint16_t op = 0; op < 3; ++op) {
    w.U16(op);
    w.U16(op);
  }
  // Block 2, the last: two vertices, items 0 1 over its own indices.
  w.U16(2);
  w.U16(2);
  w.Zeros(10);
  w.U32(0);
  for (float y : {5.0f, 6.0f}) {
    w.F32(0);
    w.F32(y);
    w.F32(0);
  }
  for (uint16_t i = 0; i < 2; ++i) {
    w.U16(i);
    w.U16(i);
  }
  return w.Take();
}

// "TARNIK V1.27" (or another magic of that layout): the project header,
// then 40-byte blocks: a room block, a layer-3 block that is skipped, and a
// layer-2 block.
inline std::vector<uint8_t> PackedShapeFixture(const char* magic) {
  MemoryWriter w;
  w.Text(16, magic);
  w.Zeros(kProjectHeaderSize - 16);
  w.Zeros(384);
  auto block = [&w](uint16_t layer, uint16_t dataSize, const std::vector<float>& xs, bool last) {
    std::vector<ObjectVertex> vertices;
    std::vector<uint16_t> items;
    for (size_t i = 0; i < xs.size(); ++i) {
      vertices.push_back({xs[i], 0, 1});
      items.push_back(ShortItem(i == 0 ? kOpStart : kOpLineTo, uint16_t(i)));
    }
    WriteOlderRecord(w, kKindSolid, 0, 0, layer, vertices, items, std::vector<uint8_t>(dataSize), last);
  };
  block(0, 4, {1, 2}, false);
  block(3, 8, {7, 8, 9}, false);
  block(2, 0, {3, 4, 5}, true);
  return w.Take();
}

// The older project: header and layers as now, 40-byte object headers and
// 2-byte items, the shape two vertices short, then the type and material
// sections. It holds a room face, a shape, a switched-on loudspeaker of type
// 0, a line on the loudspeaker layer and the settings object.
inline std::vector<uint8_t> OldProjectFixture() {
  MemoryWriter w;
  w.Text(16, "KORVANE V1.27  ");
  w.I8(1);
  w.Zeros(3);
  w.I16(0);      // view mode XY
  w.F32(0.75f);  // snap step
  w.U16(0);      // snap on
  w.F32(4.0f);   // node-snap width
  w.U16(1);      // node snap on
  for (int b = 0; b < 7; ++b) w.F32(2.0f);
  w.F32(0.5f);  // grid size
  w.Zeros(24);
  for (int16_t word : {0, -1, 2, 7, 2, 0}) w.I16(word);
  for (int i = 0; i < 16; ++i) {
    w.Text(22, i == 0 ? "OLD ROOM" : "LAYER " + std::to_string(i + 1));
    w.U16(i < 3 ? 1 : 0);
  }
  // Room face with material 1.
  WriteOlderRecord(w, kKindFace, 0, 7, 0, {{0, 0, 0}, {4, 0, 0}, {0, 3, 0}},
                   {ShortItem(0, 0), ShortItem(3, 1), ShortItem(1, 1), ShortItem(2, 2)}, {}, false);
  // The type's shape: three vertices stored, five in memory.
  WriteOlderRecord(w, kKindSolid, 134, 9, 3, {{0.5f, 0, 0}, {0, 0.2f, 0}, {0, -0.2f, 0}},
                   {ShortItem(0, 0), ShortItem(1, 1), ShortItem(2, 2)}, {}, false);
  // A switched-on loudspeaker of type 0.
  std::vector<uint8_t> speaker(kLoudspeakerSize, 0);
  std::memcpy(speaker.data(), "OLD", 3);
  StoreU16(&speaker[kSpeakerOn], 1);
  StoreF32(&speaker[kSpeakerPosition], 1.0f);
  WriteOlderRecord(w, kKindSolid, 0, 5, 2, {}, {}, speaker, false);
  // A line drawn on the loudspeaker layer: no loudspeaker block.
  WriteOlderRecord(w, kKindLine, 0, 9, 2, {{0, 0, 0}, {1, 1, 1}}, {ShortItem(0, 0), ShortItem(1, 1)}, {}, false);
  std::vector<uint8_t> plot(kPlotHeaderSize, 0);
  std::memcpy(&plot[kPlotHeaderRowsOffset], "Old", 3);
  WriteOlderRecord(w, kKindSettings, 224, 0, 0, {}, {}, plot, true);

  SpeakerType type;
  type.SetBrand("OLDTYPE");
  type.SetLayoutFlag(kCurrentSpeakerLayout);
  type.SetShapeField(1);
  SealSpeakerRecord(type.Bytes());
  w.I16(1);
  w.Bytes(type.bytes.data(), kSpeakerTypeSize);
  w.I16(2);
  AbsorberRecord full;
  full.name = "100%";
  AbsorberRecord brick;
  brick.name = "BRICK";
  brick.absorption.fill(0.02f);
  WriteAbsorberRecord(w, full);
  WriteAbsorberRecord(w, brick);
  return w.Take();
}
