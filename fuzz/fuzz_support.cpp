#include "fuzz/fuzz_check.h"

#include <cstdio>
#include <cstdlib>

#include "design/document/project_document.h"
#include "design/model/loudspeaker.h"
#include "framework/core/services.h"
#include "framework/model/layers.h"
#include "framework/model/packed_object.h"

namespace {

uint64_t gMessages = 0;

int CountMessage(const char*, const char*, unsigned) {
  ++gMessages;
  return kIdOk;
}

// A triangle pointing along +x with the reference points (1,0,0) and
// (0,0,1) behind it; never freed.
GraphicObject* MakeDefaultSymbol() {
  const ObjectVertex vertices[] = {{0.5f, 0, 0}, {0, 0.2f, 0.1f}, {0, -0.2f, -0.1f}, {1, 0, 0}, {0, 0, 1}};
  const ObjectItem items[] = {{kOpStart, 0}, {kOpLineTo, 1}, {kOpClose, 2}};
  GraphicObject* symbol = CreateObject(0, 5, 3);
  if (!symbol) std::abort();
  for (int i = 0; i < 5; ++i) symbol->vertices[i] = vertices[i];
  for (int i = 0; i < 3; ++i) symbol->items[i] = items[i];
  symbol->kind = kKindSolid;
  symbol->state = 134;
  symbol->layer = kShapeLayer;
  return symbol;
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
    gSpeakerModel.defaultSymbol = MakeDefaultSymbol();
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
