// The reader behind Import Room Geometry and Insert File: the room and
// auxiliary objects of another project. What it takes is saved as a
// project's model and taken again.
#include <vector>

#include "design/document/project_document.h"
#include "design/model/project.h"
#include "framework/model/layers.h"
#include "fuzz/fuzz_check.h"

namespace {

// Taken objects lie on the target layer, selected, with material 0 and
// items that name their own vertices.
void CheckTaken(const ObjectList& objects, uint32_t layer) {
  for (const GraphicObject* o = objects.first; o; o = o->next) {
    FuzzRequire(o->layer == layer && o->state == kStateSelected, "taken objects lie on the layer, selected");
    FuzzRequire(ItemsNameTheirVertices(*o), "taken objects' items name their vertices");
    for (uint32_t i = 0; i < o->itemCount; ++i)
      FuzzRequire(o->items[i].op != kOpAttribute || o->items[i].index == 0, "taken faces have material 0");
  }
}

// The objects saved as a project's model, which puts the first of the list
// first in the file.
FuzzBytes SavedAsProject(ObjectList& objects) {
  ResetFuzzProject();
  ResetObjectStore();
  gObjects.model = objects;
  objects = ObjectList{};
  MemoryWriter writer;
  FuzzRequire(WriteProjectDocument(writer), "the document is written");
  return writer.Take();
}

// The list in the opposite order, which is the order a read of it gives.
FuzzBytes ReversedPacked(const ObjectList& list) {
  std::vector<const GraphicObject*> objects;
  for (const GraphicObject* o = list.first; o; o = o->next) objects.push_back(o);
  MemoryWriter writer;
  for (auto o = objects.rbegin(); o != objects.rend(); ++o) WritePackedObject(writer, **o, 0, 0);
  return writer.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  for (uint32_t layer : {kRoomLayer, kAuxiliaryLayer}) {
    ObjectList objects;
    MemoryReader reader(FuzzInput(data, size));
    if (ReadProjectObjects(reader, layer, objects) != 1) {
      FuzzRequire(objects.first == nullptr, "a failed read takes no object");
      continue;
    }
    CheckTaken(objects, layer);
    const FuzzBytes taken = ReversedPacked(objects);
    const FuzzBytes file = SavedAsProject(objects);
    ObjectList again;
    MemoryReader saved(file);
    FuzzRequire(ReadProjectObjects(saved, layer, again) == 1, "the saved objects are taken again");
    FuzzRequire(PackedObjects(again) == taken, "the saved objects come back as they were");
    FreeObjectList(again);
  }
  return 0;
}
