#include "framework/model/undo_ring.h"

#include <cstring>
#include <new>
#include <span>

#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"
#include "framework/model/packed_object.h"

UndoRing gUndo;

namespace {

// Writes into a block of fixed size; a write past its end fails.
class BlockWriter final : public ByteWriter {
 public:
  explicit BlockWriter(std::span<uint8_t> block) : block_(block) {}

 protected:
  bool WriteRaw(const uint8_t* data, size_t count) override {
    if (count > block_.size() - pos_) return false;
    std::memcpy(block_.data() + pos_, data, count);
    pos_ += count;
    return true;
  }

 private:
  std::span<uint8_t> block_;
  size_t pos_ = 0;
};

constexpr uint32_t kSnapshotPreviousWord = 0xFFFFFFFF;
constexpr size_t kEmptyObjectsSize = 4;
constexpr size_t kSnapshotSlack = 6;

UndoSnapshot& SlotOf(int32_t position) { return gUndo.slots[uint32_t(position) & kUndoSlotMask]; }

bool HoldsSnapshot(int32_t position) { return position >= 0 && SlotOf(position).position == position; }

std::array<UndoSection*, 2> Sections() { return {gUndo.speakerTypes, gUndo.materials}; }

bool WriteSnapshot(ByteWriter& w) {
  WriteStoredLayers(w, gLayers);
  const ObjectList& model = gObjects.model;
  if (!model.first) w.U32(0);
  for (const GraphicObject* o = model.first; o; o = o->next)
    WritePackedObject(w, *o, kSnapshotPreviousWord, o->next ? kPackedNextFollows : 0);
  for (UndoSection* section : Sections())
    if (section && !section->Write(w, model)) return false;
  return w.ok();
}

// Reads every part into pending copies and makes them live only when all
// were read.
bool RestoreSnapshot(const UndoSnapshot& slot) {
  MemoryReader r(std::span<const uint8_t>(slot.block.get(), slot.size));
  LayerTable layers = gLayers;
  // The objects part, whose first byte tells an empty model, must follow.
  if (!ReadStoredLayers(r, layers) || r.Remaining() == 0) return false;

  ObjectList restored;
  bool ok = true;
  PackedReadResult objectRead = PackedReadResult::kOk;
  if (slot.block[kStoredLayersSize] == 0) {
    ok = r.Skip(kEmptyObjectsSize);
  } else {
    PackedObjectHeader header;
    do {
      GraphicObject* object = nullptr;
      ok = ReadPackedHeader(r, PackedLayout::kCurrent, header) &&
           (objectRead = ReadPackedBody(r, PackedLayout::kCurrent, header, 0, object)) == PackedReadResult::kOk;
      if (ok) AppendObjectToList(object, restored);
    } while (ok && header.next != 0);
  }
  for (UndoSection* section : Sections()) ok = ok && (!section || section->Read(r, restored));
  if (!ok) {
    for (UndoSection* section : Sections())
      if (section) section->Discard();
    FreeObjectList(restored);
    // A table that ran out of memory has said so itself.
    if (objectRead == PackedReadResult::kNoMemory) ShowMessage(kOutOfMemoryMessage, nullptr, kMsgOk);
    return false;
  }

  ResetObjectStore();
  gObjects.model = restored;
  gLayers = layers;
  for (UndoSection* section : Sections())
    if (section) section->Commit();
  return true;
}

}  // namespace

void SetUndoSections(UndoSection* speakerTypes, UndoSection* materials) {
  gUndo.speakerTypes = speakerTypes;
  gUndo.materials = materials;
}

size_t UndoSnapshotSize() {
  size_t size = kStoredLayersSize + kEmptyObjectsSize + kSnapshotSlack;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) size += size_t(PackedObjectSize(o));
  for (const UndoSection* section : Sections())
    if (section) size += section->StoredSize();
  return size;
}

size_t UndoBlockSize(size_t snapshotSize) {
  return (snapshotSize + kUndoBlockUnit - 1) / kUndoBlockUnit * kUndoBlockUnit;
}

int TakeUndoSnapshot() {
  const size_t size = UndoBlockSize(UndoSnapshotSize());
  UndoSnapshot& slot = SlotOf(gUndo.position);
  slot = UndoSnapshot{};
  // Zero-filled, so that the slack behind the last part holds no stale bytes.
  if (!gUndo.mayAllocateBlock || gUndo.mayAllocateBlock(size)) slot.block.reset(new (std::nothrow) uint8_t[size]());
  if (!slot.block) {
    ShowMessage(kUndoMemoryMessage, kUndoMemoryCaption, kMsgOk);
    return 0;
  }
  slot.size = size;
  BlockWriter writer(std::span(slot.block.get(), size));
  if (!WriteSnapshot(writer)) {
    slot = UndoSnapshot{};
    return 0;
  }
  slot.position = gUndo.position;
  gUndo.top = gUndo.position + 1;
  gUndo.position = gUndo.top;
  return 1;
}

int CanUndo() {
  const int32_t p = gUndo.position;
  return p >= 1 && p > gUndo.top - kUndoSlotCount && HoldsSnapshot(p - 1) ? 1 : 0;
}

int CanRedo() { return gUndo.position < gUndo.top - 1 && HoldsSnapshot(gUndo.position + 1) ? 1 : 0; }

int RestoreUndoSnapshot(int32_t direction) {
  if (direction == 0 || (direction < 0 && !CanUndo()) || (direction > 0 && !CanRedo())) return 1;
  const int32_t target = gUndo.position + (direction < 0 ? -1 : 1);
  if (!RestoreSnapshot(SlotOf(target))) return 0;
  gUndo.position = target;
  RequestRedraw();
  return 1;
}

void Undo() {
  if (gUndo.position == gUndo.top) {
    if (!TakeUndoSnapshot()) return;
    --gUndo.position;
  }
  RestoreUndoSnapshot(-1);
}

void Redo() { RestoreUndoSnapshot(+1); }

void ClearUndoRing() {
  for (UndoSnapshot& slot : gUndo.slots) slot = UndoSnapshot{};
  gUndo.position = 0;
  gUndo.top = 0;
}

int ResetUndo() {
  ClearUndoRing();
  return 1;
}

void ResetUndoQuiet() { ClearUndoRing(); }

namespace {
const StateReset kReset([] { gUndo = UndoRing{}; });
}  // namespace
