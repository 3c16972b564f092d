#include "design/acoustics/ray_file.h"

#include <array>
#include <cmath>
#include <vector>

#include "design/acoustics/ray_paths.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/model/layers.h"
#include "framework/model/packed_object.h"

namespace {

// What a stored header must say of a path before its body is read.
bool IsRayPathHeader(const PackedObjectHeader& header) {
  return header.layer == kRayPathLayer && header.kind == kRayPathKind && header.vertexCount >= 2 &&
         header.vertexCount <= kMaxRayFileNodes && header.itemCount == header.vertexCount &&
         header.dataSize == RayPathDataSize(int(header.vertexCount) - 2);
}

// Whether `object` is a path as the search makes it, which a ray file holds.
bool IsStorableRayPath(const GraphicObject* object) {
  const int reflections = RayPathReflectionCount(object);
  if (reflections < 0 || object->kind != kRayPathKind || object->vertexCount > kMaxRayFileNodes ||
      object->itemCount != object->vertexCount || object->dataSize != RayPathDataSize(reflections))
    return false;
  for (uint32_t k = 0; k < object->vertexCount; ++k) {
    const ObjectVertex& v = object->vertices[k];
    const ObjectItem& item = object->items[k];
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z) || item.index != k ||
        item.op != (k == 0 ? kOpStart : kOpLineTo))
      return false;
  }
  return true;
}

std::vector<const GraphicObject*> StorableRayPaths(const ObjectList& model) {
  std::vector<const GraphicObject*> paths;
  for (const GraphicObject* object = model.first; object; object = object->next)
    if (IsStorableRayPath(object)) paths.push_back(object);
  return paths;
}

}  // namespace

bool HasRayPaths(const ObjectList& model) {
  for (const GraphicObject* object = model.first; object; object = object->next)
    if (IsStorableRayPath(object)) return true;
  return false;
}

bool WriteRayFile(ByteWriter& writer, const ObjectList& model, const std::string& description, double meanFreePath) {
  std::array<uint8_t, kRayFileHeaderSize> header{};
  WriteTextFieldFull(std::span(header).subspan(0, kRayFileMagicSize), kRayFileMagic);
  WriteTextField(std::span(header).subspan(kRayFileMagicSize, kRayFileDescriptionSize), description);
  StoreF64(&header[kRayFileMeanFreePathOffset], meanFreePath);
  writer.Bytes(header.data(), header.size());
  const std::vector<const GraphicObject*> paths = StorableRayPaths(model);
  for (size_t i = 0; i < paths.size(); ++i)
    WritePackedObject(writer, *paths[i], 0, i + 1 < paths.size() ? kPackedNextFollows : 0);
  return writer.ok();
}

bool ReadRayFileContents(ByteReader& reader, RayFileContents& contents) {
  std::array<uint8_t, kRayFileHeaderSize> header{};
  if (!reader.Bytes(header.data(), header.size()) ||
      ReadTextField(std::span(header).subspan(0, kRayFileMagicSize)) != kRayFileMagic)
    return false;
  RayFileContents read;
  read.description = ReadTextField(std::span(header).subspan(kRayFileMagicSize, kRayFileDescriptionSize))
                         .substr(0, kRayFileDescriptionLength);
  const double meanFreePath = LoadF64(&header[kRayFileMeanFreePathOffset]);
  read.meanFreePath = std::isfinite(meanFreePath) ? meanFreePath : 0.0;
  for (;;) {
    PackedObjectHeader stored;
    GraphicObject* path = nullptr;
    if (!ReadPackedHeader(reader, PackedLayout::kCurrent, stored) || !IsRayPathHeader(stored) ||
        ReadPackedBody(reader, PackedLayout::kCurrent, stored, 0, path) != PackedReadResult::kOk)
      return false;
    AppendObjectToList(path, read.paths.list());
    if (!IsStorableRayPath(path)) return false;
    if (stored.next == 0) break;
  }
  contents = std::move(read);
  return true;
}

int StoreRayFile(const std::string& path, const ObjectList& model, const std::string& description,
                 double meanFreePath) {
  SafeFileWriter writer(ForceExtension(path, kRayFileExtension));
  if (!writer.IsOpen() || !WriteRayFile(writer, model, description, meanFreePath) || !writer.Commit()) {
    ShowMessage("Can\xB4t write file to disk", nullptr, kMsgOk);
    return 0;
  }
  return 1;
}

int ReadRayFile(const std::string& path, ObjectList& model, double& meanFreePath) {
  FileReader reader(path);
  RayFileContents contents;
  if (!reader.IsOpen() || !ReadRayFileContents(reader, contents)) {
    ShowMessage(kNotRayFileMessage, nullptr, kMsgOk);
    return 0;
  }
  if (ShowMessage(contents.description.c_str(), kRayFileDescriptionPrompt, kMsgOkCancel) != kIdOk) return 0;
  const ObjectList paths = contents.paths.Release();
  for (GraphicObject* object = paths.first; object;) {
    GraphicObject* next = object->next;
    object->previous = object->next = nullptr;
    AppendObjectToList(object, model);
    object = next;
  }
  meanFreePath = contents.meanFreePath;
  return 1;
}
