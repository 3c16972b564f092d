#include "design/model/undo_tables.h"

#include "design/model/loudspeaker.h"
#include "design/model/materials.h"

// ---- Loudspeaker types ----

size_t SpeakerTypeUndoSection::StoredSize() const { return 2 + kSpeakerTypeSize * size_t(table_.count); }

bool SpeakerTypeUndoSection::Write(ByteWriter& w, const ObjectList& model) {
  w.I16(table_.count);
  for (int i = 0; i < table_.count; ++i) {
    SpeakerType* type = table_.At(i);
    if (!type) return false;
    StoreShapePosition(*type, model);
    w.Bytes(type->bytes.data(), kSpeakerTypeSize);
  }
  return w.ok();
}

bool SpeakerTypeUndoSection::Read(ByteReader& r, const ObjectList& restored) {
  ClearSpeakerTypeTable(pending_);
  int16_t count = 0;
  if (!r.I16(count) || count < 0 || count > kMaxSpeakerTypes || uint64_t(count) * kSpeakerTypeSize > r.Remaining())
    return false;
  for (int i = 0; i < count; ++i) {
    SpeakerTypePtr type = AllocSpeakerType();
    if (!type || !r.Bytes(type->bytes.data(), kSpeakerTypeSize)) {
      ClearSpeakerTypeTable(pending_);
      return false;
    }
    LinkShapeAtPosition(*type, restored, defaultSymbol_);
    pending_.types[size_t(i)] = std::move(type);
    pending_.count = int16_t(i + 1);
  }
  return true;
}

void SpeakerTypeUndoSection::Commit() {
  table_ = std::move(pending_);
  pending_.count = 0;
}

void SpeakerTypeUndoSection::Discard() { ClearSpeakerTypeTable(pending_); }

// ---- Materials ----

size_t MaterialUndoSection::StoredSize() const { return 2 + kAbsorberRecordSize * size_t(table_.count); }

bool MaterialUndoSection::Write(ByteWriter& w, const ObjectList&) { return WriteMaterialSection(w, table_); }

bool MaterialUndoSection::Read(ByteReader& r, const ObjectList&) { return ReadMaterialSection(r, pending_); }

void MaterialUndoSection::Commit() {
  table_ = pending_;
  pending_ = MaterialTable{};
}

void MaterialUndoSection::Discard() { pending_ = MaterialTable{}; }

// ---- The project's tables ----

void UseProjectTablesForUndo() {
  static SpeakerTypeUndoSection types(gSpeakerModel.types, gSpeakerModel.defaultSymbol);
  static MaterialUndoSection materials(gMaterials.project);
  SetUndoSections(&types, &materials);
}
