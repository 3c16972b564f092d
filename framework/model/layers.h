// The layer table: 32 named layers with a visibility flag each. Objects name
// their layer by index; only the first 16 records travel in project files,
// drawing files and undo snapshots (24 bytes each: a 22-byte name field and a
// u16 visibility flag at +22).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/core/byte_codec.h"

// What each layer holds in the programs that draw (kdn, kv; ksb draws a
// loudspeaker's shape on the first three and its balloon mesh on layer 6).
enum ModelLayer : uint32_t {
  kRoomLayer = 0,         // room faces and solids
  kAudienceLayer = 1,     // audience areas, the faces the level map covers
  kLoudspeakerLayer = 2,  // placed loudspeakers (symbol plus 152-byte block)
  kShapeLayer = 3,        // loudspeaker types' shapes, hidden
  kAimLineLayer = 4,      // the aim-line overlay the program rebuilds
  kRayPathLayer = 5,      // reflection paths while their windows are open
  kMeshLayer = 6,         // isobar rings and balloon meshes
  kAuxiliaryLayer = 7,    // the user's auxiliary drawing
  kGridLayer = 8,         // the grid
};

constexpr int kLayerCount = 32;
constexpr int kStoredLayerCount = 16;
constexpr size_t kLayerRecordSize = 24;
constexpr size_t kLayerNameSize = 22;
constexpr size_t kStoredLayersSize = kStoredLayerCount * kLayerRecordSize;  // 384

struct LayerRecord {
  std::string name;      // at most 21 characters
  uint16_t visible = 0;  // 1 shown, 0 hidden

  bool operator==(const LayerRecord&) const = default;
};

struct LayerTable {
  std::array<LayerRecord, kLayerCount> records;

  bool IsVisible(uint32_t layer) const { return layer < uint32_t(kLayerCount) && records[layer].visible != 0; }
  void SetVisible(uint32_t layer, bool visible) {
    if (layer < uint32_t(kLayerCount)) records[layer].visible = visible ? 1 : 0;
  }
};
extern LayerTable gLayers;

// Names every record "LAYER n" (n = index + 1) and shows layers 0, 1 and 2
// only.
void ResetLayers(LayerTable& table);

// The first 16 records as stored. Reading leaves the table as it was unless
// all 384 bytes were there; a name is read up to its NUL, at most 21
// characters, as it is written.
bool ReadStoredLayers(ByteReader& reader, LayerTable& table);
bool WriteStoredLayers(ByteWriter& writer, const LayerTable& table);
