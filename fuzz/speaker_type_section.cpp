// The speaker-type section of project files: sealed current-layout records
// and plain older ones, with their shapes' list positions. The model the
// shapes are looked up in holds a face at position 0 and a shape at 1.
#include <cstdlib>

#include "design/model/loudspeaker.h"
#include "design/model/speaker_type.h"
#include "fuzz/fuzz_check.h"

namespace {

SpeakerTypeTable gTable;

const ObjectList& Model() {
  static const ObjectList model = [] {
    ObjectList list;
    GraphicObject* face = CreateObject(0, 3, 3);
    GraphicObject* shape = CreateObject(0, 3, 2);
    if (!face || !shape) std::abort();
    face->kind = kKindFace;
    shape->layer = kShapeLayer;
    shape->kind = kKindSolid;
    AppendObjectToList(face, list);
    AppendObjectToList(shape, list);
    return list;
  }();
  return model;
}

bool ReadSection(FuzzInput bytes) {
  MemoryReader reader(bytes);
  std::vector<DamagedSpeakerType> damaged;
  const SpeakerSectionResult result =
      ReadSpeakerTypeSection(reader, gTable, Model(), gSpeakerModel.defaultSymbol, damaged);
  return result == SpeakerSectionResult::kOk || result == SpeakerSectionResult::kRecordsReset;
}

FuzzBytes WriteSection() {
  MemoryWriter writer;
  FuzzRequire(WriteSpeakerTypeSection(writer, gTable, Model()), "the section is written");
  return writer.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  // One record held before, for a failed read to keep.
  ClearSpeakerTypeTable(gTable);
  gTable.types[0] = AllocSpeakerType();
  gTable.types[0]->SetBrand("HELD");
  gTable.types[0]->SetLayoutFlag(kCurrentSpeakerLayout);
  gTable.types[0]->shape = gSpeakerModel.defaultSymbol;
  gTable.count = 1;
  CheckReadWriteRead(FuzzInput(data, size), ReadSection, WriteSection);
  ClearSpeakerTypeTable(gTable);
  return 0;
}
