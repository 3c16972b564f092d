// The undo restore: a slot's block read back into the model with the
// project's loudspeaker types and materials. What it restores is taken as a
// snapshot again, restored and taken once more.
#include <algorithm>

#include "design/model/undo_tables.h"
#include "framework/model/undo_ring.h"
#include "fuzz/fuzz_check.h"

namespace {

// The block as the snapshot of position 0, with the model at position 1.
bool Restore(FuzzInput block) {
  ClearUndoRing();
  UndoSnapshot& slot = gUndo.slots[0];
  slot.block.reset(new uint8_t[std::max<size_t>(block.size(), 1)]);
  std::copy(block.begin(), block.end(), slot.block.get());
  slot.size = block.size();
  slot.position = 0;
  gUndo.position = gUndo.top = 1;
  return RestoreUndoSnapshot(-1) == 1 && gUndo.position == 0;
}

FuzzBytes Snapshot() {
  ClearUndoRing();
  FuzzRequire(TakeUndoSnapshot() == 1, "the snapshot is taken");
  const UndoSnapshot& slot = gUndo.slots[0];
  return FuzzBytes(slot.block.get(), slot.block.get() + slot.size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  UseProjectTablesForUndo();
  ResetFuzzProject();
  CheckReadWriteRead(FuzzInput(data, size), Restore, Snapshot);
  ClearUndoRing();
  return 0;
}
