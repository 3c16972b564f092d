// Undo and redo over whole-model snapshots. Before a command changes the
// model the program takes a snapshot of the stored layers, every object and
// the tables the program hands the ring (kdn: its loudspeaker types and
// materials; ksb: empty ones); eight slots keep the last snapshots, so that
// seven changes can be undone and redone.
//
// A snapshot is one block, little-endian, in this order: the 16 stored
// layers (384 bytes); every object of the model list in packed form (word 0
// 0xFFFFFFFF, word 1 non-zero while another object follows), or four zero
// bytes for an empty model; then each handed table's own section. The block
// is the computed size (384 + 4 + the packed objects + the sections + 6)
// rounded up to a multiple of 256.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"

// A table that snapshots carry beside the layers and objects. Restoring reads
// every part into pending copies first and makes them live only when all of
// them were read, so a restore that runs out of memory changes nothing.
class UndoSection {
 public:
  virtual ~UndoSection() = default;
  // Bytes that Write adds to a snapshot.
  virtual size_t StoredSize() const = 0;
  // Appends the live table; links to objects are stored as positions in
  // `model`.
  virtual bool Write(ByteWriter& writer, const ObjectList& model) = 0;
  // Reads a stored table into a pending copy whose links name objects of
  // `restored`, the list the restore builds.
  virtual bool Read(ByteReader& reader, const ObjectList& restored) = 0;
  // Makes the pending copy the live table, or drops it.
  virtual void Commit() = 0;
  virtual void Discard() = 0;
};

constexpr int kUndoSlotCount = 8;
constexpr uint32_t kUndoSlotMask = 7;
constexpr size_t kUndoBlockUnit = 256;
inline constexpr char kUndoMemoryMessage[] = "Insufficient memory for UNDO-buffer";
inline constexpr char kUndoMemoryCaption[] = "Warning !";

// One slot's snapshot: the block laid out as above.
struct UndoSnapshot {
  std::unique_ptr<uint8_t[]> block;
  size_t size = 0;        // bytes of the block
  int32_t position = -1;  // the position whose snapshot the block holds; -1 while empty
};

struct UndoRing {
  std::array<UndoSnapshot, kUndoSlotCount> slots;
  int32_t position = 0;  // the state the model is in now, counted since the last clear
  int32_t top = 0;       // one past the highest position with a snapshot
  // The tables a snapshot carries; null ones are left out.
  UndoSection* speakerTypes = nullptr;
  UndoSection* materials = nullptr;
  // Test seam: when set and it answers false, allocating a block of that
  // size fails as when memory runs out.
  bool (*mayAllocateBlock)(size_t size) = nullptr;
};
extern UndoRing gUndo;

// Hands the ring the tables its snapshots carry (null: none).
void SetUndoSections(UndoSection* speakerTypes, UndoSection* materials);

// The computed size of a snapshot of the current model, and the block size
// that holds it.
size_t UndoSnapshotSize();
size_t UndoBlockSize(size_t snapshotSize);

// Stores the current model in the slot of the current position and advances.
// 1 on success; 0 when the block cannot be had ("Insufficient memory for
// UNDO-buffer" under "Warning !"): the slot is then empty and the counters
// stay as they were.
int TakeUndoSnapshot();
// direction -1 steps back, +1 forward, 0 nothing. A step is possible only
// to a position whose slot holds its snapshot. 1 when the step was made or
// none was possible; 0 when memory ran out while restoring, with the model
// and position unchanged.
int RestoreUndoSnapshot(int32_t direction);
// Edit/Undo: a current state without a snapshot of its own is stored first,
// so that Redo can come back to it; when that fails nothing is undone.
void Undo();
void Redo();
// Whether a step back or forward is possible (the menu greys Undo and Redo
// by them).
int CanUndo();
int CanRedo();

// Frees all slots; position = top = 0.
void ClearUndoRing();
int ResetUndo();
void ResetUndoQuiet();
