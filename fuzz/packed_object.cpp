// The packed-object codec that project files, undo snapshots, speaker
// databases and drawing files share. The first byte chooses the layout
// (odd: the older 40-byte headers and 2-byte items); the rest is a chain of
// records up to the one whose next word is 0, records on the shape layer two
// vertices short, as project files store them. What is read is written in
// the current layout. The access to packed records in place is tried on the
// same bytes.
#include <cstddef>

#include "framework/model/layers.h"
#include "framework/model/packed_object.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr uint32_t kReferencePoints = 2;

ObjectList gRead;

bool ReadChain(FuzzInput input) {
  FreeObjectList(gRead);
  if (input.empty()) return false;
  const PackedLayout layout = input[0] & 1 ? PackedLayout::kOld : PackedLayout::kCurrent;
  MemoryReader reader(input.subspan(1));
  ObjectList read;
  PackedObjectHeader header;
  do {
    GraphicObject* object = nullptr;
    if (!ReadPackedHeader(reader, layout, header) ||
        ReadPackedBody(reader, layout, header, header.layer == kShapeLayer ? kReferencePoints : 0, object) !=
            PackedReadResult::kOk) {
      FreeObjectList(read);
      return false;
    }
    FuzzRequire(ItemsNameTheirVertices(*object), "read items name their vertices");
    AppendObjectToList(object, read);
  } while (header.next != 0);
  gRead = read;
  return true;
}

FuzzBytes WriteChain() {
  MemoryWriter writer;
  writer.U8(0);  // the current layout
  for (const GraphicObject* o = gRead.first; o; o = o->next)
    WritePackedObject(writer, *o, 0, o->next ? kPackedNextFollows : 0, o->layer == kShapeLayer ? kReferencePoints : 0);
  return writer.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  CheckReadWriteRead(FuzzInput(data, size), ReadChain, WriteChain);
  FreeObjectList(gRead);

  const FuzzInput records = FuzzInput(data, size).subspan(size ? 1 : 0);
  const size_t walked = AccessPackedObject(int8_t(kAccessWalkChain | kAccessFillBlock), records, 0);
  FuzzRequire(walked == SIZE_MAX || walked < records.size(), "the walk ends at a record within the bytes");
  return 0;
}
