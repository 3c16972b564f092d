#include "speakerbase/drawing_file.h"

#include <algorithm>
#include <vector>

#include "design/model/shape_file.h"
#include "design/model/speaker_database.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/model/packed_object.h"

namespace {

void ShowInvalid() { ShowMessage(kInvalidFileFormatMessage, nullptr, kMsgOk); }

bool IsDrawingFile(std::span<const uint8_t> bytes) {
  return bytes.size() >= kProjectMagicSize && ReadTextField(bytes.first(kProjectMagicSize)) == kDrawingMagic;
}

// An older shape file's one object in the drawing form, unlinked; none after
// "Invalid file format !".
GraphicObject* ReadTarnikShapeFile(std::span<const uint8_t> bytes) { return ReadShapeFile(bytes, ShapeForm::kDrawing); }

// An older shape file opened: its object goes into `model` for the caller to
// add to the drawing.
DrawingReadResult OpenTarnikShapeFile(std::span<const uint8_t> bytes, DrawingFileModel& model) {
  GraphicObject* shape = ReadTarnikShapeFile(bytes);
  if (!shape) return DrawingReadResult::kNotRead;
  model.objects = OwnedObjectList();
  AppendObjectToList(shape, model.objects.list());
  return DrawingReadResult::kShape;
}

// An older shape file merged: only a "TARNIK 1.0     " file is taken, its
// object at the head of the drawing.
int MergeTarnikShapeFile(std::span<const uint8_t> bytes, ObjectList& drawing) {
  const bool tarnik = bytes.size() >= kShapeMagicSize && ReadTextField(bytes.first(kShapeMagicSize)) == kTarnikMagic;
  if (!tarnik) {
    ShowInvalid();
    return 0;
  }
  GraphicObject* shape = ReadTarnikShapeFile(bytes);
  if (!shape) return 0;
  InsertObjectBeforeInList(shape, drawing.first, drawing);
  return 1;
}

// Reads the objects up to the one whose next word is 0 into `objects`.
bool ReadDrawingObjects(ByteReader& r, ObjectList& objects) {
  PackedObjectHeader h;
  do {
    GraphicObject* o = nullptr;
    if (!ReadPackedHeader(r, PackedLayout::kCurrent, h) ||
        ReadPackedBody(r, PackedLayout::kCurrent, h, 0, o) != PackedReadResult::kOk)
      return false;
    AppendObjectToList(o, objects);
  } while (h.next != 0);
  return true;
}

}  // namespace

bool ReadDrawing(ByteReader& reader, DrawingFileModel& model) {
  ProjectHeader header;
  LayerTable layers = model.layers;
  OwnedObjectList objects;
  if (!ReadProjectHeader(reader, header) || header.magic != kDrawingMagic || !ReadStoredLayers(reader, layers))
    return false;
  if (reader.Remaining() != 0 && !ReadDrawingObjects(reader, objects.list())) return false;

  GraphicObject* last = objects.list().last;
  const bool settingsObject = last && last->kind == kKindSettings;
  const bool hasSettings = settingsObject && last->dataSize == kPlotHeaderSize;
  if (hasSettings) std::copy_n(last->data, kPlotHeaderSize, model.settings.bytes.begin());
  // Settings of another size are left out, as a project's reader does.
  if (settingsObject) FreeObjectInList(last, objects.list());
  // Only the last object is settings. One of that kind before it is part of
  // the drawing and takes the kind of its items, as a merged object does, so
  // that a saved drawing never ends in an object read back as settings.
  for (GraphicObject* o = objects.list().first; o; o = o->next)
    if (o->kind == kKindSettings) o->kind = ShapeKindFromItems(*o);
  model.hasSettings = hasSettings;
  model.objectsLeftOut = settingsObject && !hasSettings ? 1 : 0;
  model.header = header;
  model.layers = layers;
  model.objects = std::move(objects);
  return true;
}

DrawingReadResult OpenDrawingFile(const std::string& path, DrawingFileModel& model) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return DrawingReadResult::kNotRead;
  if (IsDrawingFile(bytes)) {
    MemoryReader reader(bytes);
    if (!ReadDrawing(reader, model)) {
      ShowInvalid();
      return DrawingReadResult::kNotRead;
    }
    ShowObjectsLeftOut(model.objectsLeftOut);
    return DrawingReadResult::kDrawing;
  }
  return OpenTarnikShapeFile(bytes, model);
}

int MergeDrawingFile(const std::string& path, uint32_t currentLayer, ObjectList& drawing) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return -1;
  if (IsDrawingFile(bytes)) {
    MemoryReader reader(bytes);
    DrawingFileModel merged;
    if (!ReadDrawing(reader, merged)) {
      ShowInvalid();
      return 0;
    }
    ShowObjectsLeftOut(merged.objectsLeftOut);
    ObjectList& objects = merged.objects.list();
    while (GraphicObject* o = objects.first) {
      UnlinkObjectFromList(o, objects);
      o->layer = currentLayer;
      o->kind = ShapeKindFromItems(*o);
      AppendObjectToList(o, drawing);
    }
    return 1;
  }
  return MergeTarnikShapeFile(bytes, drawing);
}

bool WriteDrawing(ByteWriter& writer, const ProjectHeader& header, const LayerTable& layers,
                  const ObjectList& objects) {
  ProjectHeader stored = header;
  stored.magic = kDrawingMagic;
  bool ok = WriteProjectHeader(writer, stored) && WriteStoredLayers(writer, layers);
  for (const GraphicObject* o = objects.first; ok && o; o = o->next)
    ok = WritePackedObject(writer, *o, 0, o->next ? kPackedNextFollows : 0);
  return ok;
}

int SaveDrawingFile(const std::string& path, const ProjectHeader& header, const LayerTable& layers,
                    const ObjectList& objects) {
  SafeFileWriter writer(path);
  if (!WriteDrawing(writer, header, layers, objects) || !writer.Commit()) {
    ShowMessage(WithSystemReason(kWriteFailedMessage, writer.SystemError()).c_str(), nullptr, kMsgOk);
    return 0;
  }
  return 1;
}

std::string ForceDrawingExtension(const std::string& path) { return ForceExtension(path, kDrawingExtension); }
