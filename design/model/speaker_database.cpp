#include "design/model/speaker_database.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

#include "design/model/shape_file.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/model/packed_object.h"

namespace {

void ShowText(const char* text) { ShowMessage(text, nullptr, kMsgOk); }

// Moves the objects of `from` to the end of `to`.
void AppendList(ObjectList& from, ObjectList& to) {
  while (GraphicObject* o = from.first) {
    UnlinkObjectFromList(o, from);
    AppendObjectToList(o, to);
  }
}

// One V140 record with its chain into `record`: the record opened, its +192
// and +196 cleared, its shape read. False when the record is cut, fails its
// check or its chain is damaged (or memory runs out).
bool ReadDatabaseRecord(ByteReader& reader, SpeakerDatabaseRecord& record) {
  record.type = AllocSpeakerType();
  if (!record.type || !reader.Bytes(record.type->bytes.data(), kSpeakerTypeSize) ||
      UnsealSpeakerRecord(record.type->Bytes()) != 1)
    return false;
  const uint32_t chainLength = LoadU32(&record.type->bytes[kTypeShapeField]);
  StoreU32(&record.type->bytes[kTypeShapeSlot], 0);
  StoreU32(&record.type->bytes[kTypeShapeField], 0);
  return chainLength == 0 || ReadShapeChain(reader, chainLength, record.shape.list()) == ShapeChainResult::kOk;
}

// Appends a record read from a file and makes it current.
void AppendLoadedRecord(SpeakerDatabase& database, SpeakerDatabaseRecord record) {
  database.records.push_back(std::move(record));
  SelectCurrentRecord(database, int(database.records.size()) - 1);
}

bool WriteDatabase(ByteWriter& writer, const std::vector<SpeakerDatabaseRecord>& records) {
  if (records.size() > size_t(INT16_MAX) || !WriteSpeakerDatabaseHeader(writer, int16_t(records.size()))) return false;
  for (const SpeakerDatabaseRecord& record : records)
    if (!WriteSpeakerDatabaseRecord(writer, *record.type, record.shape.list())) return false;
  return true;
}

// The version of the file at `path`, kNone when it has none; false when it
// cannot be opened.
bool ProbeDatabaseVersion(const std::string& path, SpeakerDatabaseVersion& version) {
  FileReader reader(path);
  if (!reader.IsOpen()) return false;
  std::array<uint8_t, kSpeakerDatabaseHeaderSize> header{};
  version =
      reader.Bytes(header.data(), header.size()) ? SpeakerDatabaseVersionOf(header) : SpeakerDatabaseVersion::kNone;
  return true;
}

}  // namespace

SpeakerDatabaseVersion SpeakerDatabaseVersionOf(std::span<const uint8_t> header) {
  if (header.size() < kSpeakerDatabaseHeaderSize) return SpeakerDatabaseVersion::kNone;
  const std::string magic = ReadTextField(header.first(kSpeakerDatabaseMagicSize));
  if (magic == kSpeakerDatabaseV11Magic) return SpeakerDatabaseVersion::kV11;
  if (magic == kSpeakerDatabaseV130Magic) return SpeakerDatabaseVersion::kV130;
  if (magic == kSpeakerDatabaseV140Magic) return SpeakerDatabaseVersion::kV140;
  return SpeakerDatabaseVersion::kNone;
}

// ---- Shape chains ----

uint32_t ShapeKindFromItems(const GraphicObject& object) {
  const auto closes = std::count_if(object.items, object.items + object.itemCount,
                                    [](const ObjectItem& item) { return item.op == kOpClose; });
  return closes == 0 ? 0 : closes == 1 ? uint32_t(kKindFace) : uint32_t(kKindSolid);
}

uint64_t ShapeChainLength(const ObjectList& shape) {
  uint64_t length = 0;
  for (const GraphicObject* o = shape.first; o; o = o->next)
    length += kPackedHeaderSize + 12 * uint64_t(o->vertexCount) + 4 * uint64_t(o->itemCount);
  return length;
}

bool WriteShapeChain(ByteWriter& writer, const ObjectList& shape) {
  for (const GraphicObject* o = shape.first; o; o = o->next) {
    PackedObjectHeader h = PackedHeaderOf(*o, 0, o->next ? kPackedNextFollows : 0);
    h.dataSize = 0;
    if (!WritePackedHeader(writer, h) || !WritePackedBody(writer, *o, h)) return false;
  }
  return true;
}

ShapeChainResult ReadShapeChain(ByteReader& reader, uint32_t length, ObjectList& objects) {
  std::vector<uint8_t> bytes;
  if (length > reader.Remaining() || !reader.Block(length, bytes)) return ShapeChainResult::kBadFormat;
  MemoryReader r(bytes);
  OwnedObjectList read;
  PackedObjectHeader h;
  do {
    if (!ReadPackedHeader(r, PackedLayout::kCurrent, h)) return ShapeChainResult::kBadFormat;
    GraphicObject* o = nullptr;
    switch (ReadPackedBody(r, PackedLayout::kCurrent, h, 0, o)) {
      case PackedReadResult::kOk: break;
      case PackedReadResult::kBadFormat: return ShapeChainResult::kBadFormat;
      case PackedReadResult::kNoMemory: return ShapeChainResult::kNoMemory;
    }
    o->colour = 0;
    o->kind = ShapeKindFromItems(*o);
    AppendObjectToList(o, read.list());
  } while (h.next != 0);
  if (r.Remaining() != 0) return ShapeChainResult::kBadFormat;
  AppendList(read.list(), objects);
  return ShapeChainResult::kOk;
}

// ---- Writing ----

bool WriteSpeakerDatabaseHeader(ByteWriter& writer, int16_t count) {
  std::array<uint8_t, kSpeakerDatabaseHeaderSize> header{};
  WriteTextFieldFull(std::span(header).first(kSpeakerDatabaseMagicSize), kSpeakerDatabaseV140Magic);
  StoreI16(&header[kSpeakerDatabaseCountOffset], count);
  return writer.Bytes(header.data(), header.size());
}

bool WriteSpeakerDatabaseRecord(ByteWriter& writer, const SpeakerType& type, const ObjectList& shape) {
  const uint64_t chainLength = ShapeChainLength(shape);
  if (chainLength > UINT32_MAX) return false;
  std::array<uint8_t, kSpeakerTypeSize> sealed = type.bytes;
  // Every record of the file is in the current layout, whatever the flag of
  // a record built elsewhere said.
  sealed[kTypeLayoutFlag] = kCurrentSpeakerLayout;
  StoreU32(&sealed[kTypeShapeSlot], chainLength ? kStoredShapeFollows : 0);
  StoreU32(&sealed[kTypeShapeField], uint32_t(chainLength));
  SealSpeakerRecord(sealed);
  return writer.Bytes(sealed.data(), sealed.size()) && WriteShapeChain(writer, shape);
}

// ---- Names ----

void TrimTrailingSpaces(std::span<uint8_t> text) {
  const auto end = std::find(text.begin(), text.end(), uint8_t(0));
  for (auto it = end; it != text.begin() && *(it - 1) == ' ';) *--it = 0;
}

std::string FindShapeFile(const std::string& folder, std::string_view typeName) {
  const size_t last = typeName.find_last_not_of(' ');
  if (last == std::string_view::npos) return {};
  const std::string_view name = typeName.substr(0, last + 1);
  if (name.find('/') != std::string_view::npos || name.find("..") != std::string_view::npos) return {};
  return FindFileIgnoringCase(folder + std::string(name) + kShapeFileExtension);
}

// ---- The editor's database ----

void ResetSpeakerDatabase(SpeakerDatabase& database) {
  database.records.clear();
  database.currentRecordIndex = 0;
  database.modified = false;
  database.fileName = kNewSpeakerDatabaseName;
  database.partlyReadFile.clear();
}

int ConfirmDiscardDatabase(const SpeakerDatabase& database) {
  if (!database.modified) return 1;
  return ShowMessage(kDatabaseNotSavedMessage, kWarningCaption, kMsgOkCancel) == kIdOk ? 1 : 0;
}

int NewSpeakerDatabase(SpeakerDatabase& database) {
  if (!ConfirmDiscardDatabase(database)) return 0;
  const bool modified = database.modified;
  ResetSpeakerDatabase(database);
  database.modified = modified;
  return 1;
}

bool SelectCurrentRecord(SpeakerDatabase& database, int index) {
  if (index < 0 || size_t(index) >= database.records.size()) return false;
  database.currentRecordIndex = index;
  database.currentRecord.bytes = database.records[size_t(index)].type->bytes;
  return true;
}

void StoreCurrentRecord(SpeakerDatabase& database) {
  const int index = database.currentRecordIndex;
  if (index >= 0 && size_t(index) < database.records.size())
    database.records[size_t(index)].type->bytes = database.currentRecord.bytes;
}

DatabaseReadResult ReadSpeakerDatabase(ByteReader& reader, SpeakerDatabase& database, DatabaseLoad how) {
  std::array<uint8_t, kSpeakerDatabaseHeaderSize> header{};
  const bool headerRead = reader.Bytes(header.data(), header.size());
  const int16_t count = LoadI16(&header[kSpeakerDatabaseCountOffset]);
  if (!headerRead || SpeakerDatabaseVersionOf(header) != SpeakerDatabaseVersion::kV140 || count < 0) {
    ShowText(kInvalidDatabaseMessage);
    return DatabaseReadResult::kNotRead;
  }

  if (how == DatabaseLoad::kOpen) ResetSpeakerDatabase(database);
  bool stopped = false;
  int added = 0;
  for (; added < count; ++added) {
    SpeakerDatabaseRecord record;
    stopped = database.records.size() >= kMaxDatabaseRecords || !ReadDatabaseRecord(reader, record);
    if (stopped) break;
    AppendLoadedRecord(database, std::move(record));
  }
  // A merge changes the database as much as any edit: it must be saved.
  if (how == DatabaseLoad::kMerge && added > 0) database.modified = true;
  if (stopped) {
    ShowText(kCantLoadDatabaseMessage);
    return DatabaseReadResult::kStopped;
  }
  return DatabaseReadResult::kLoaded;
}

DatabaseReadResult ReadSpeakerDatabaseFile(SpeakerDatabase& database, const std::string& path, DatabaseLoad how) {
  SpeakerDatabaseVersion version = SpeakerDatabaseVersion::kNone;
  if (!ProbeDatabaseVersion(path, version)) return DatabaseReadResult::kNotRead;
  if (version != SpeakerDatabaseVersion::kV140 && version != SpeakerDatabaseVersion::kV130) {
    ShowText(kInvalidDatabaseMessage);
    return DatabaseReadResult::kNotRead;
  }
  if (version == SpeakerDatabaseVersion::kV130) {
    ShowMessage(how == DatabaseLoad::kOpen ? kConvertOnOpenMessage : kConvertOnMergeMessage, kObsoleteFormatCaption,
                kMsgOk);
    if (!ConvertV130Database(path)) return DatabaseReadResult::kNotRead;
  }
  FileReader reader(path);
  if (!reader.IsOpen()) return DatabaseReadResult::kNotRead;
  const DatabaseReadResult result = ReadSpeakerDatabase(reader, database, how);
  if (result != DatabaseReadResult::kNotRead) database.fileName = path;
  if (result == DatabaseReadResult::kStopped) database.partlyReadFile = path;
  if (result == DatabaseReadResult::kLoaded && IsSameFile(path, database.partlyReadFile))
    database.partlyReadFile.clear();
  return result;
}

int SaveSpeakerDatabaseAs(SpeakerDatabase& database, const std::string& path) {
  if (database.records.empty()) return -1;
  const bool overPartlyRead = IsSameFile(path, database.partlyReadFile);
  if (overPartlyRead &&
      ShowMessage(kOverwritePartlyReadMessage, kWarningCaption, kMsgOkCancel | kMsgDefaultButton2) != kIdOk)
    return 0;
  SafeFileWriter writer(path);
  if (!WriteDatabase(writer, database.records) || !writer.Commit()) {
    ShowText(WithSystemReason(kWriteFailedMessage, writer.SystemError()).c_str());
    return 0;
  }
  database.fileName = path;
  database.modified = false;
  if (overPartlyRead) database.partlyReadFile.clear();
  return 1;
}

int ConvertV130Database(const std::string& path) {
  std::vector<SpeakerDatabaseRecord> converted;
  std::vector<std::string> shapeFiles;
  uint64_t stored = 0;
  {
    FileReader reader(path);
    if (!reader.IsOpen() || !reader.Skip(kSpeakerDatabaseHeaderSize)) return 0;
    stored = reader.Remaining() / kSpeakerTypeSize;
    if (stored > uint64_t(INT16_MAX)) {
      ShowText(kInvalidDatabaseMessage);
      return 0;
    }
    const std::string folder = FolderOfPath(path);
    for (uint64_t i = 0; i < stored; ++i) {
      SpeakerDatabaseRecord record;
      record.type = AllocSpeakerType();
      if (!record.type || !reader.Bytes(record.type->bytes.data(), kSpeakerTypeSize)) return 0;
      if (UnsealSpeakerRecord(record.type->Bytes()) != 1) {
        ShowText(kCantReadRecordMessage);
        continue;
      }
      TrimTrailingSpaces(record.type->Bytes().subspan(kTypeName, kTypeNameSize));
      StoreU32(&record.type->bytes[kTypeShapeSlot], 0);
      StoreU32(&record.type->bytes[kTypeShapeField], 0);
      const std::string shapePath = FindShapeFile(folder, record.type->TypeName());
      std::vector<uint8_t> shapeBytes;
      if (!shapePath.empty() && ReadWholeFile(shapePath, shapeBytes)) {
        if (GraphicObject* shape = ReadShapeFile(shapeBytes, ShapeForm::kDrawing))
          AppendObjectToList(shape, record.shape.list());
        shapeFiles.push_back(shapePath);
      }
      converted.push_back(std::move(record));
    }
  }
  if (converted.empty() && stored > 0) return 0;

  SafeFileWriter writer(path);
  if (!WriteDatabase(writer, converted) || !writer.Commit()) {
    ShowText(kCantWriteDatabaseMessage);
    return 0;
  }
  for (const std::string& shapePath : shapeFiles) {
    std::error_code ignored;
    std::filesystem::remove(shapePath, ignored);
  }
  return 1;
}
