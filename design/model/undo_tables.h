// The tables that the design program's undo snapshots carry beside the
// layers and objects: its loudspeaker types and its materials. ksb hands the
// ring the same sections over empty tables.
//
// Stored forms: the types as an i16 count and the plain 19160-byte records,
// each with its shape's list position in +196 (-1 for the default symbol);
// the materials as an i16 count and the 256-byte records.
#pragma once

#include "design/model/absorber_database.h"
#include "design/model/speaker_type.h"
#include "framework/model/undo_ring.h"

class SpeakerTypeUndoSection final : public UndoSection {
 public:
  // `defaultSymbol` is read at each restore: the shape of types without one.
  SpeakerTypeUndoSection(SpeakerTypeTable& table, GraphicObject* const& defaultSymbol)
      : table_(table), defaultSymbol_(defaultSymbol) {}

  size_t StoredSize() const override;
  bool Write(ByteWriter& writer, const ObjectList& model) override;
  bool Read(ByteReader& reader, const ObjectList& restored) override;
  void Commit() override;
  void Discard() override;

 private:
  SpeakerTypeTable& table_;
  GraphicObject* const& defaultSymbol_;
  SpeakerTypeTable pending_;
};

class MaterialUndoSection final : public UndoSection {
 public:
  explicit MaterialUndoSection(MaterialTable& table) : table_(table) {}

  size_t StoredSize() const override;
  bool Write(ByteWriter& writer, const ObjectList& model) override;
  bool Read(ByteReader& reader, const ObjectList& restored) override;
  void Commit() override;
  void Discard() override;

 private:
  MaterialTable& table_;
  MaterialTable pending_;
};

// Hands the ring the project's type table (gSpeakerModel) and material
// table (gMaterials), as kdn's start-up does.
void UseProjectTablesForUndo();
