#include "framework/model/layers.h"

#include "framework/core/state_reset.h"

LayerTable gLayers;

namespace {
const StateReset kReset([] { ResetLayers(gLayers); });
}  // namespace

void ResetLayers(LayerTable& table) {
  for (int i = 0; i < kLayerCount; ++i) {
    table.records[size_t(i)].name = "LAYER " + std::to_string(i + 1);
    table.records[size_t(i)].visible = i < 3 ? 1 : 0;
  }
}

bool ReadStoredLayers(ByteReader& reader, LayerTable& table) {
  std::array<LayerRecord, kStoredLayerCount> read;
  for (LayerRecord& record : read) {
    if (!reader.Text(kLayerNameSize, record.name) || !reader.U16(record.visible)) return false;
    // A field full to its end (no NUL) keeps the 21 characters a save writes.
    if (record.name.size() > kLayerNameSize - 1) record.name.resize(kLayerNameSize - 1);
  }
  std::copy(read.begin(), read.end(), table.records.begin());
  return true;
}

bool WriteStoredLayers(ByteWriter& writer, const LayerTable& table) {
  for (int i = 0; i < kStoredLayerCount; ++i) {
    writer.Text(kLayerNameSize, table.records[size_t(i)].name);
    writer.U16(table.records[size_t(i)].visible);
  }
  return writer.ok();
}
