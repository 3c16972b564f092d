// A shape chain of a speaker database (V140), the input its whole length:
// the objects of a loudspeaker type's shape, each with its kind taken from
// its items and colour 0.
#include "design/model/speaker_database.h"
#include "fuzz/fuzz_check.h"

namespace {

OwnedObjectList gChain;

bool ReadChain(FuzzInput bytes) {
  FreeObjectList(gChain.list());
  MemoryReader reader(bytes);
  if (ReadShapeChain(reader, uint32_t(bytes.size()), gChain.list()) != ShapeChainResult::kOk) return false;
  FuzzRequire(reader.Remaining() == 0, "a chain read stands behind its length");
  for (const GraphicObject* o = gChain.list().first; o; o = o->next)
    FuzzRequire(ItemsNameTheirVertices(*o) && o->colour == 0 && o->kind == ShapeKindFromItems(*o),
                "a chain's objects name their vertices, with colour 0 and the kind of their items");
  return true;
}

FuzzBytes WriteChain() {
  MemoryWriter writer;
  FuzzRequire(WriteShapeChain(writer, gChain.list()), "the chain is written");
  FuzzBytes bytes = writer.Take();
  FuzzRequire(bytes.size() == ShapeChainLength(gChain.list()), "a chain is as long as its length says");
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  if (size > UINT32_MAX) return 0;
  CheckReadWriteRead(FuzzInput(data, size), ReadChain, WriteChain);
  FreeObjectList(gChain.list());
  return 0;
}
