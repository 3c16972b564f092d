// The drawing files of the speaker-database editor (NEBRIX .TCF): header,
// layers and objects, with the settings object that is no part of the
// drawing.
#include <cstdlib>

#include "fuzz/fuzz_check.h"
#include "speakerbase/drawing_file.h"

namespace {

DrawingFileModel gDrawing;

bool ReadDrawingFile(FuzzInput bytes) {
  MemoryReader reader(bytes);
  if (!ReadDrawing(reader, gDrawing)) return false;
  for (const GraphicObject* o = gDrawing.objects.list().first; o; o = o->next)
    FuzzRequire(ItemsNameTheirVertices(*o), "a drawing's items name their vertices");
  return true;
}

FuzzBytes WriteDrawingFile() {
  MemoryWriter writer;
  FuzzRequire(WriteDrawing(writer, gDrawing.header, gDrawing.layers, gDrawing.objects.list()),
              "the drawing is written");
  return writer.Take();
}

// The drawing with the settings it was read with.
FuzzBytes DrawingState() {
  FuzzBytes state = WriteDrawingFile();
  state.insert(state.end(), gDrawing.settings.bytes.begin(), gDrawing.settings.bytes.end());
  state.push_back(gDrawing.hasSettings ? 1 : 0);
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  // A drawing held before, for a failed read to keep: one line, settings
  // and a named layer.
  gDrawing = DrawingFileModel();
  gDrawing.header.gridSize = 0.5f;
  gDrawing.layers.records[2] = {"HELD", 1};
  gDrawing.settings.bytes.fill(0x5A);
  gDrawing.hasSettings = true;
  GraphicObject* line = CreateObject(0, 2, 2);
  if (!line) std::abort();
  line->items[1] = {kOpLineTo, 1};
  line->kind = kKindLine;
  AppendObjectToList(line, gDrawing.objects.list());
  CheckReadWriteRead(FuzzInput(data, size), ReadDrawingFile, WriteDrawingFile, DrawingState);
  gDrawing = DrawingFileModel();
  return 0;
}
