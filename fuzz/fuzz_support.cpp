#include "fuzz/fuzz_check.h"

#include <cstdio>
#include <cstdlib>

#include "design/document/project_document.h"
#include "design/model/loudspeaker.h"
#include "framework/core/services.h"
#include "framework/model/packed_object.h"
#include "tests/design/model/speaker_objects.h"

namespace {

uint64_t gMessages = 0;

int CountMessage(const char*, const char*, unsigned) {
  ++gMessages;
  return kIdOk;
}

}  // namespace

void FuzzRequire(bool kept, const char* promise) {
  if (kept) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

void SetUpFuzzRun() {
  static const bool done = [] {
    SetMessageHandler(CountMessage);
    gSpeakerModel.defaultSymbol = MakeShape();  // never freed
    return true;
  }();
  (void)done;
}

uint64_t FuzzMessageCount() { return gMessages; }

void ResetFuzzProject() {
  ResetProjectState();
  NewProject();
  GraphicObject* face = CreateObject(0, 3, 4);
  if (!face) std::abort();
  face->vertices[1] = {1, 0, 0};
  face->vertices[2] = {0, 1, 0};
  const ObjectItem items[] = {{kOpStart, 0}, {kOpAttribute, 0}, {kOpLineTo, 1}, {kOpClose, 2}};
  for (int i = 0; i < 4; ++i) face->items[i] = items[i];
  face->kind = kKindFace;
  AppendObject(face);
  gProject.modified = 1;
}

FuzzBytes PackedObjects(const ObjectList& list) {
  MemoryWriter writer;
  for (const GraphicObject* o = list.first; o; o = o->next) WritePackedObject(writer, *o, 0, 0);
  return writer.Take();
}

bool ItemsNameTheirVertices(const GraphicObject& object) {
  for (uint32_t i = 0; i < object.itemCount; ++i)
    if (object.items[i].op <= kOpClose && object.items[i].index >= object.vertexCount) return false;
  return true;
}
