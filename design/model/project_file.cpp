#include "design/model/project_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "design/model/loudspeaker.h"
#include "design/model/materials.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/model/layers.h"
#include "framework/model/undo_ring.h"

namespace {

constexpr size_t kHeaderReserved1 = 3;   // bytes 17-19
constexpr size_t kHeaderReserved2 = 24;  // bytes 66-89
constexpr size_t kVersionChars = 4;
constexpr double kHighestVersion = 99.99;
constexpr uint32_t kUnitVectorCount = 2;
constexpr std::array<uint32_t, 4> kLayersHiddenAfterRead = {kShapeLayer, kAimLineLayer, kMeshLayer, kGridLayer};
constexpr std::string_view kProjectExtension = ".KPR";
constexpr std::string_view kBackupSuffix = "_old.KPR";

void ShowFileMessage(const char* text) { ShowMessage(text, nullptr, kMsgOk); }

bool ReadCalcOptions(ByteReader& r, CalcOptions& c) {
  return r.I16(c.resultView) && r.I16(c.resultSubChoice) && r.I16(c.gridIndex) && r.I16(c.band) && r.I16(c.phaseMode) &&
         r.U16(c.roomBits);
}

void WriteCalcOptions(ByteWriter& w, const CalcOptions& c) {
  w.I16(c.resultView);
  w.I16(c.resultSubChoice);
  w.I16(c.gridIndex);
  w.I16(c.band);
  w.I16(c.phaseMode);
  w.U16(c.roomBits);
}

// ---- Object records ----

// The colour and state rules of a read by layer, the same for both formats.
// Loudspeakers take their colour from their on word; another object on their
// layer has no on word and keeps its stored colour.
void ApplyLayerRules(GraphicObject& o) {
  switch (o.layer) {
    case 0: o.colour = kRoomColour; break;
    case 1: o.colour = kAudienceColour; break;
    case kLoudspeakerLayer:
      if (IsLoudspeakerObject(&o)) o.colour = LoadU16(o.data + kSpeakerOn) == 1 ? kSpeakerColourOn : kSpeakerColourOff;
      break;
    case kAimLineLayer:
      o.colour = 0;
      o.state = kStateLayerOff;
      break;
    default: break;
  }
}

// Reads the object records up to the one whose next word is 0, the settings
// object last among them. Objects that cannot be loaded are left out and
// counted.
ProjectReadResult ReadObjectRecords(ByteReader& r, PackedLayout layout, ProjectModel& model) {
  PackedObjectHeader h;
  do {
    if (!ReadPackedHeader(r, layout, h)) return ProjectReadResult::kBadFormat;
    // A loudspeaker's data is its 152-byte block: an object of the layer with
    // another block is damaged.
    if (h.layer == kLoudspeakerLayer && h.dataSize != 0 && h.dataSize != kLoudspeakerSize) {
      if (!SkipPackedBody(r, layout, h)) return ProjectReadResult::kBadFormat;
      ++model.objectsLeftOut;
      continue;
    }
    const uint32_t extra = h.layer == kShapeLayer ? kUnitVectorCount : 0;
    GraphicObject* o = nullptr;
    switch (ReadPackedBody(r, layout, h, extra, o)) {
      case PackedReadResult::kOk: break;
      case PackedReadResult::kBadFormat: return ProjectReadResult::kBadFormat;
      case PackedReadResult::kNoMemory: ShowFileMessage(kOutOfMemoryMessage); return ProjectReadResult::kNoMemory;
    }
    if (extra) {
      o->vertices[o->vertexCount - 2] = {1, 0, 0};
      o->vertices[o->vertexCount - 1] = {0, 0, 1};
    }
    ApplyLayerRules(*o);
    AppendObjectToList(o, model.objects);
  } while (h.next != 0);

  GraphicObject* last = model.objects.last;
  if (last && last->kind == kKindSettings) {
    if (last->dataSize == kPlotHeaderSize) std::copy_n(last->data, kPlotHeaderSize, model.plotHeader.bytes.begin());
    else ++model.objectsLeftOut;
    FreeObjectInList(last, model.objects);
  }
  return ProjectReadResult::kOk;
}

void WriteObjectRecords(ByteWriter& w, const ObjectList& model) {
  for (const GraphicObject* o = model.first; o; o = o->next)
    WritePackedObject(w, *o, 0, kPackedNextFollows, o->layer == kShapeLayer ? kUnitVectorCount : 0);
  // The settings object ends every file, so that even an empty model has the
  // object record every reader expects.
  GraphicObject settings{};
  settings.kind = kKindSettings;
  settings.state = kSettingsObjectState;
  settings.dataSize = uint32_t(kPlotHeaderSize);
  settings.data = gPlotHeader.bytes.data();
  WritePackedObject(w, settings, 0, 0);
}

// ---- The live model ----

// Rebuilds every loudspeaker's symbol from its type. Each rebuilt symbol goes
// to the head of the list, so the last is rebuilt first to keep their order.
void RebuildSpeakerSymbols() {
  std::vector<GraphicObject*> speakers;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (IsLoudspeakerObject(o)) speakers.push_back(o);
  for (auto it = speakers.rbegin(); it != speakers.rend(); ++it) {
    Loudspeaker speaker;
    if (ReadLoudspeaker(*it, speaker)) BuildSpeakerSymbol(speaker, *it, true);
  }
}

// Copies the file at `from` over `to` through the save routine; the copy
// takes the mode of the file it copies, so that a private project keeps a
// private backup. True when there was nothing to copy, too; false otherwise
// with the system's reason, if it gave one, in `error`.
bool BackUpFile(const std::string& from, const std::string& to, int& error) {
  FileReader reader(from);
  if (!reader.IsOpen()) return true;
  std::vector<uint8_t> bytes;
  if (!reader.Block(size_t(reader.Size()), bytes)) return false;
  SafeFileWriter writer(to);
  std::error_code statusError;
  const std::filesystem::perms mode = std::filesystem::status(from, statusError).permissions();
  if (!statusError) writer.SetFileMode(uint32_t(mode));
  const bool copied = writer.Bytes(bytes.data(), bytes.size()) && writer.Commit();
  error = writer.SystemError();
  return copied;
}

// kSpeakerTypesResetMessage with the types, at most kListed of them and the
// number of all behind the others; nothing for none.
void ShowSpeakerTypesReset(const std::vector<DamagedSpeakerType>& types) {
  if (types.empty()) return;
  constexpr size_t kListed = 10;
  std::string text = kSpeakerTypesResetMessage;
  for (size_t i = 0; i < std::min(types.size(), kListed); ++i) {
    if (i > 0) text += ", ";
    text += types[i].name.empty() ? "type " + std::to_string(types[i].index + 1) : types[i].name;
  }
  if (types.size() > kListed) text += ", ... (" + std::to_string(types.size()) + " in all)";
  ShowFileMessage(text.c_str());
}

// Reads the header of a project and gives its version; -1 after "Invalid
// file format !".
int ReadVersionedHeader(ByteReader& reader, ProjectHeader& header) {
  const int version = ReadProjectHeader(reader, header) ? ProjectFileVersion(header) : -1;
  if (version < 0) ShowFileMessage(kInvalidFileFormatMessage);
  return version;
}

// False after "Can´t locate file" when the file did not open.
bool Located(const FileReader& reader) {
  if (!reader.IsOpen()) ShowFileMessage(kCantLocateFileMessage);
  return reader.IsOpen();
}

// Reads the rest of a file of the given layout behind its checked header
// into `model`, showing the message of a failure, or how many objects were
// left out.
int ParseBody(ByteReader& reader, const ProjectHeader& header, PackedLayout layout, ProjectModel& model) {
  switch (ReadProjectModel(reader, header, layout, gSpeakerModel.defaultSymbol, model)) {
    case ProjectReadResult::kOk:
      ShowSpeakerTypesReset(model.typesReset);
      ShowObjectsLeftOut(model.objectsLeftOut);
      return 1;
    case ProjectReadResult::kBadFormat: ShowFileMessage(kInvalidFileFormatMessage); return 0;
    case ProjectReadResult::kNoMemory: return 0;
  }
  return 0;
}

// An older project behind the header already read: its whole magic must be
// the older one.
int ParseOldBody(ByteReader& reader, const ProjectHeader& header, ProjectModel& model) {
  if (header.magic != kOldProjectMagic) {
    ShowFileMessage(kInvalidFileFormatMessage);
    return 0;
  }
  return ParseBody(reader, header, PackedLayout::kOld, model);
}

}  // namespace

void ShowObjectsLeftOut(uint32_t count) {
  if (count == 0) return;
  char text[64];
  std::snprintf(text, sizeof text, kObjectsLeftOutMessage, count);
  ShowFileMessage(text);
}

// ---- Header ----

bool ReadProjectHeader(ByteReader& r, ProjectHeader& header) {
  ProjectHeader h;
  bool ok = r.Text(kProjectMagicSize, h.magic) && r.I8(h.reverbMethod) && r.Skip(kHeaderReserved1) &&
            r.I16(h.viewMode) && r.F32(h.snapStep) && r.U16(h.snapOn) && r.F32(h.nodeSnapWidth) && r.U16(h.nodeSnapOn);
  for (float& rt : h.measuredRt) ok = ok && r.F32(rt);
  ok = ok && r.F32(h.gridSize) && r.Skip(kHeaderReserved2) && ReadCalcOptions(r, h.calcOptions);
  if (ok) header = h;
  return ok;
}

bool WriteProjectHeader(ByteWriter& w, const ProjectHeader& h) {
  w.Text(kProjectMagicSize, h.magic);
  w.I8(h.reverbMethod);
  w.Zeros(kHeaderReserved1);
  w.I16(h.viewMode);
  w.F32(h.snapStep);
  w.U16(h.snapOn);
  w.F32(h.nodeSnapWidth);
  w.U16(h.nodeSnapOn);
  for (float rt : h.measuredRt) w.F32(rt);
  w.F32(h.gridSize);
  w.Zeros(kHeaderReserved2);
  WriteCalcOptions(w, h.calcOptions);
  return w.ok();
}

ProjectHeader ProjectHeaderOf(const ProjectState& state) {
  ProjectHeader h;
  h.magic = kProjectMagic;
  h.reverbMethod = int8_t(state.reverbMethod);
  h.viewMode = state.view.viewMode;
  h.snapStep = state.view.snapStep;
  h.snapOn = uint16_t(state.view.snapOn);
  h.nodeSnapWidth = float(state.view.nodeSnapWidth);
  h.nodeSnapOn = uint16_t(state.view.nodeSnapOn);
  for (int i = 0; i < kRt60BandCount; ++i) h.measuredRt[size_t(i)] = float(state.measuredRt[size_t(i)]);
  h.gridSize = state.view.gridSize;
  h.calcOptions = state.calcOptions;
  return h;
}

void ApplyProjectHeader(const ProjectHeader& h, ProjectState& state) {
  state.reverbMethod = h.reverbMethod;
  state.view.viewMode = h.viewMode;
  state.view.snapStep = h.snapStep;
  state.view.nodeSnapWidth = h.nodeSnapWidth;
  for (int i = 0; i < kRt60BandCount; ++i) state.measuredRt[size_t(i)] = h.measuredRt[size_t(i)];
  state.view.gridSize = h.gridSize;
  state.calcOptions = h.calcOptions;
}

int ProjectFileVersion(const ProjectHeader& header) {
  const std::string_view magic = header.magic;
  const std::string_view prefix = kProjectMagicPrefix;
  if (!magic.starts_with(prefix)) return -1;
  std::string_view digits = magic.substr(prefix.size(), kVersionChars);
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  double version = 0;
  if (std::from_chars(digits.data(), digits.data() + digits.size(), version).ec != std::errc()) return 0;
  // Four characters can spell no sensible version beyond 99.99 ("9e99", "inf").
  if (!(version >= 0)) return 0;
  return int(std::min(version, kHighestVersion) * 100);
}

// ---- Reading ----

ProjectModel::ProjectModel() { ResetLayers(layers); }

ProjectModel::~ProjectModel() { FreeObjectList(objects); }

ProjectReadResult ReadProjectModel(ByteReader& r, const ProjectHeader& header, PackedLayout layout,
                                   GraphicObject* defaultSymbol, ProjectModel& model) {
  model.header = header;
  if (!ReadStoredLayers(r, model.layers)) return ProjectReadResult::kBadFormat;
  ProjectReadResult result = ReadObjectRecords(r, layout, model);
  if (result == ProjectReadResult::kOk) {
    switch (ReadSpeakerTypeSection(r, model.types, model.objects, defaultSymbol, model.typesReset)) {
      case SpeakerSectionResult::kOk:
      case SpeakerSectionResult::kRecordsReset: break;
      case SpeakerSectionResult::kBadFormat: result = ProjectReadResult::kBadFormat; break;
      case SpeakerSectionResult::kNoMemory: result = ProjectReadResult::kNoMemory; break;
    }
  }
  if (result == ProjectReadResult::kOk) {
    model.objectsLeftOut += DropInvalidSpeakers(model.objects, model.types);
    BoundSpeakerShapes(model.objects, model.types, defaultSymbol);
    if (!ReadMaterialSection(r, model.materials)) result = ProjectReadResult::kBadFormat;
  }
  if (result == ProjectReadResult::kOk && layout == PackedLayout::kCurrent &&
      !r.Block(size_t(r.Remaining()), model.resultBlock))
    result = ProjectReadResult::kBadFormat;
  if (result != ProjectReadResult::kOk) {
    FreeObjectList(model.objects);
    ClearSpeakerTypeTable(model.types);
  }
  return result;
}

void CommitProjectModel(ProjectModel& model, const std::string& path) {
  const uint32_t snapOn = gProject.view.snapOn;
  const uint32_t nodeSnapOn = gProject.view.nodeSnapOn;
  ClearProjectModel();
  gProject.view.snapOn = snapOn;
  gProject.view.nodeSnapOn = nodeSnapOn;
  gProject.path = path;

  std::copy_n(model.layers.records.begin(), kStoredLayerCount, gLayers.records.begin());
  for (uint32_t layer : kLayersHiddenAfterRead) gLayers.SetVisible(layer, false);
  gObjects.model = model.objects;
  model.objects = ObjectList{};
  gPlotHeader = model.plotHeader;
  gSpeakerModel.types = std::move(model.types);
  TakeProjectMaterials(model.materials);
  ApplyProjectHeader(model.header, gProject);
  RebuildSpeakerSymbols();
  ClearUndoRing();
  gProject.modified = 0;
}

int ParseProject(ByteReader& reader, ProjectModel& model) {
  ProjectHeader header;
  const int version = ReadVersionedHeader(reader, header);
  if (version < 0) return 0;
  if (version < kFirstCurrentProjectVersion) return ParseOldBody(reader, header, model);
  return ParseBody(reader, header, PackedLayout::kCurrent, model);
}

int ParseProjectFile(const std::string& path, ProjectModel& model) {
  FileReader reader(path);
  return Located(reader) ? ParseProject(reader, model) : 0;
}

int ParseOldProjectFile(const std::string& path, ProjectModel& model) {
  FileReader reader(path);
  if (!reader.IsOpen()) return 0;
  ProjectHeader header;  // a short header leaves the magic empty, which is refused
  ReadProjectHeader(reader, header);
  return ParseOldBody(reader, header, model);
}

// ---- Writing ----

bool WriteProjectFile(ByteWriter& w) {
  WriteProjectHeader(w, ProjectHeaderOf(gProject));
  WriteStoredLayers(w, gLayers);
  WriteObjectRecords(w, gObjects.model);
  if (!WriteSpeakerTypeSection(w, gSpeakerModel.types, gObjects.model)) return false;
  WriteMaterialSection(w, gMaterials.project);
  return w.ok();
}

std::string ForceProjectExtension(const std::string& path) { return ForceExtension(path, kProjectExtension); }

std::string ProjectBackupPath(const std::string& path) {
  const bool endsInExtension = ForceProjectExtension(path).size() == path.size();
  return path.substr(0, path.size() - (endsInExtension ? kProjectExtension.size() : 0)) + std::string(kBackupSuffix);
}

int SaveProjectFile(const std::string& chosenPath, const std::function<bool(ByteWriter&)>& writeTrailer) {
  const std::string path = ForceProjectExtension(chosenPath);
  SafeFileWriter writer(path);
  // The backup lies beside the file written, which a link may name.
  int backupError = 0;
  if (!writer.IsOpen() || !WriteProjectFile(writer) || (writeTrailer && !writeTrailer(writer)) ||
      !BackUpFile(path, ProjectBackupPath(writer.File()), backupError) || !writer.Commit()) {
    const int error = backupError != 0 ? backupError : writer.SystemError();
    ShowFileMessage(WithSystemReason(kCantWriteFileMessage, error).c_str());
    return 0;
  }
  gProject.modified = 0;
  gProject.path = path;
  gProject.lastProjectFolder = FolderOfPath(path);
  return 1;
}

// ---- Objects of another project ----

int ReadProjectObjects(const std::string& path, uint32_t layer, ObjectList& objects) {
  FileReader reader(path);
  return Located(reader) ? ReadProjectObjects(reader, layer, objects) : 0;
}

int ReadProjectObjects(ByteReader& r, uint32_t layer, ObjectList& objects) {
  ProjectHeader header;
  const int version = ReadVersionedHeader(r, header);
  if (version < 0) return 0;
  if (version < kFirstCurrentProjectVersion) return -1;

  ObjectList read;
  PackedReadResult result = r.Skip(kStoredLayersSize) ? PackedReadResult::kOk : PackedReadResult::kBadFormat;
  PackedObjectHeader h;
  while (result == PackedReadResult::kOk) {
    if (!ReadPackedHeader(r, PackedLayout::kCurrent, h)) {
      result = PackedReadResult::kBadFormat;
      break;
    }
    const bool taken = (h.layer == kRoomLayer || h.layer == kAuxiliaryLayer) && (h.state & kStateHiddenMask) == 0;
    GraphicObject* o = nullptr;
    if (!taken) {
      if (!SkipPackedBody(r, PackedLayout::kCurrent, h)) result = PackedReadResult::kBadFormat;
    } else if ((result = ReadPackedBody(r, PackedLayout::kCurrent, h, 0, o)) == PackedReadResult::kOk) {
      for (uint32_t i = 0; i < o->itemCount; ++i)
        if (o->items[i].op == kOpAttribute) o->items[i].index = 0;
      o->state = kStateSelected;
      o->layer = layer;
      o->colour = layer == kAuxiliaryLayer ? kAuxiliaryColour : kRoomColour;
      InsertObjectBeforeInList(o, read.first, read);
    }
    if (h.next == 0) break;
  }
  if (result != PackedReadResult::kOk) {
    FreeObjectList(read);
    ShowFileMessage(result == PackedReadResult::kNoMemory ? kOutOfMemoryMessage : kInvalidFileFormatMessage);
    return 0;
  }
  objects = read;
  return 1;
}
