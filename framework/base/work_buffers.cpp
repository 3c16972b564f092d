#include "framework/base/work_buffers.h"

#include <new>

#include "framework/core/services.h"
#include "framework/core/state_reset.h"
#include "framework/model/undo_ring.h"

WorkBuffers gWork;

int AllocWorkBuffers() {
  ResetUndo();
  try {
    gWork.screenPoints.reserve(kInitialScreenPoints);
    gWork.polygonPoints.reserve(kInitialPolygonPoints);
    gWork.sortList.reserve(kMaxSortedFaces);
  } catch (const std::bad_alloc&) {
    FreeWorkBuffers();
    ShowMessage(kOutOfMemoryMessage, nullptr, kMsgOk);
    return 0;
  }
  return 1;
}

int FreeWorkBuffers() {
  gWork = WorkBuffers{};
  ResetUndoQuiet();
  return 1;
}

namespace {
const StateReset kReset([] { FreeWorkBuffers(); });
}  // namespace
