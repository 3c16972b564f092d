// What the fuzz targets share: the promises each checks of its reader, the
// quiet set-up of a run and a small design to read into.
//
// A target is one source file that defines LLVMFuzzerTestOneInput over one
// reader. Built with libFuzzer (make fuzz) it runs under the fuzzer with the
// address and undefined-behaviour sanitizers; built without (make test) the
// replay main feeds it its seeds and regression inputs. A broken promise
// aborts, so the fuzzer keeps the input as a crash and the replay fails.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "framework/model/graphic_object.h"

using FuzzBytes = std::vector<uint8_t>;
using FuzzInput = std::span<const uint8_t>;

// Aborts, naming `promise`, unless `kept`.
void FuzzRequire(bool kept, const char* promise);

// Every target calls this first: messages are answered OK and counted
// instead of shown, and the default loudspeaker symbol is set.
void SetUpFuzzRun();
// Messages shown since the run began.
uint64_t FuzzMessageCount();

// A new project with one room face in it, so that a read that touched the
// live model would show.
void ResetFuzzProject();

// The promise of a reader that has a writer. `state()` gives the bytes of
// what `read(bytes)` reads into, `write()` what the writer writes of it:
// - a failed read leaves the state as it was;
// - what a successful read leaves is written; that reads back without a
//   message and is written again to the same bytes.
template <typename Read, typename Write, typename State>
void CheckReadWriteRead(FuzzInput input, Read read, Write write, State state) {
  const FuzzBytes before = state();
  if (!read(input)) {
    FuzzRequire(state() == before, "a failed read leaves the state as it was");
    return;
  }
  const FuzzBytes first = write();
  const uint64_t messages = FuzzMessageCount();
  FuzzRequire(read(FuzzInput(first)), "what was written reads back");
  FuzzRequire(FuzzMessageCount() == messages, "what was written reads back without a message");
  FuzzRequire(write() == first, "what was written reads back as it was");
}

// The same where the writer's bytes are the whole state.
template <typename Read, typename Write>
void CheckReadWriteRead(FuzzInput input, Read read, Write write) {
  CheckReadWriteRead(input, read, write, write);
}

// The packed bytes of every object of `list`, in list order, with link
// words 0: for comparing lists.
FuzzBytes PackedObjects(const ObjectList& list);
// Whether every start, line-to and close item of the object names one of
// its vertices.
bool ItemsNameTheirVertices(const GraphicObject& object);
