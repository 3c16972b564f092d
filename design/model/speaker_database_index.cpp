#include "design/model/speaker_database_index.h"

#include <algorithm>
#include <array>
#include <utility>

#include "design/model/shape_file.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/text_encoding.h"
#include "framework/model/packed_object.h"

namespace {

constexpr size_t kRecordHeaderSize = kTypeBalloon;  // what UnsealSpeakerHeader needs

std::string NameOf(std::span<const uint8_t> record) { return ReadTextField(record.subspan(kTypeName, kTypeNameSize)); }

bool IndexFull(const std::vector<SpeakerIndexEntry>& entries) { return entries.size() >= kMaxIndexedSpeakers; }

// V1.1: every whole record, by its plain head.
void IndexOlderRecords(ByteReader& r, std::vector<SpeakerIndexEntry>& entries) {
  std::array<uint8_t, kOlderSpeakerHeadSize> head;
  for (uint64_t n = r.Remaining() / kOlderSpeakerTypeSize; n > 0 && !IndexFull(entries); --n) {
    const uint64_t position = r.Position();
    if (!r.Bytes(head.data(), head.size()) || !r.Skip(kOlderSpeakerTypeSize - kOlderSpeakerHeadSize)) return;
    entries.push_back({NameOf(head), position, 0});
  }
}

// Goes to `position` when it lies in the input; the reader stays good
// otherwise.
bool SeekWithin(ByteReader& r, uint64_t position) {
  return position <= r.Position() + r.Remaining() && r.Seek(position);
}

// Whether a whole record whose header opens stands at `position`.
bool RecordOpensAt(ByteReader& r, uint64_t position) {
  std::array<uint8_t, kRecordHeaderSize> header;
  return SeekWithin(r, position) && r.Remaining() >= kSpeakerTypeSize && r.Bytes(header.data(), header.size()) &&
         UnsealSpeakerHeader(header) == 1;
}

// The end of the shape chain at `position`, walked header by header to the
// one whose next word is 0; false when no whole chain stands there.
bool ChainEndsAt(ByteReader& r, uint64_t position, uint64_t& end) {
  if (!SeekWithin(r, position)) return false;
  PackedObjectHeader h;
  do {
    if (r.Remaining() < kPackedHeaderSize || !ReadPackedHeader(r, PackedLayout::kCurrent, h)) return false;
    const uint64_t body = PackedBodySize(h, PackedLayout::kCurrent);
    if (body > r.Remaining() || !r.Skip(body)) return false;
  } while (h.next != 0);
  end = r.Position();
  return true;
}

// Goes behind the V140 record at `position` that failed its check, whose
// first bytes, still sealed, are `header`. When the header opens, the chain
// length at +196 can be trusted. Otherwise the record's fixed length is all
// that is known: the next record stands right behind it, unless the bytes
// there walk as a chain, which is then the damaged record's own. False when
// the input ends first.
bool SkipFailedRecord(ByteReader& r, std::span<uint8_t, kRecordHeaderSize> header, uint64_t position) {
  if (UnsealSpeakerHeader(header) == 1) return r.Skip(LoadU32(&header[kTypeShapeField]));
  const uint64_t end = position + kSpeakerTypeSize;
  uint64_t chainEnd = 0;
  if (!RecordOpensAt(r, end) && ChainEndsAt(r, end, chainEnd)) return r.Seek(chainEnd);
  return r.Seek(end);
}

// V130 and V140: the records that pass their check. V140 records are
// followed by their chains, whose positions are noted and which are skipped.
void IndexSealedRecords(ByteReader& r, uint64_t count, bool chains, std::vector<SpeakerIndexEntry>& entries) {
  std::array<uint8_t, kSpeakerTypeSize> record;
  std::array<uint8_t, kRecordHeaderSize> header;
  for (; count > 0 && !IndexFull(entries); --count) {
    const uint64_t position = r.Position();
    if (!r.Bytes(record.data(), record.size())) return;
    std::copy_n(record.begin(), header.size(), header.begin());
    if (UnsealSpeakerRecord(record) == 1) {
      const uint32_t chainLength = chains ? LoadU32(&record[kTypeShapeField]) : 0;
      entries.push_back({NameOf(record), position, chainLength ? r.Position() : 0});
      if (chainLength != 0 && !r.Skip(chainLength)) return;
    } else if (chains && !SkipFailedRecord(r, header, position)) {
      return;
    }
  }
}

const SpeakerIndexEntry* FindEntry(const SpeakerDatabaseIndex& index, std::string_view name) {
  for (const SpeakerIndexEntry& entry : index.entries)
    if (EqualIgnoringCase(entry.name, name)) return &entry;
  return nullptr;
}

// The shape of a V140 type: its chain as one object.
GraphicObject* ReadChainShape(ByteReader& r, uint32_t chainLength) {
  OwnedObjectList chain;
  if (ReadShapeChain(r, chainLength, chain.list()) != ShapeChainResult::kOk) return nullptr;
  ShapeAssembler assembler;
  for (const GraphicObject* o = chain.list().first; o; o = o->next)
    if (!assembler.Add(*o)) return nullptr;
  return assembler.Finish(ShapeForm::kSymbol);
}

// The shape of a V1.1 or V130 type: its older shape file beside the database.
GraphicObject* ReadShapeFileBeside(const std::string& folder, const std::string& name) {
  const std::string path = FindShapeFile(folder, name);
  std::vector<uint8_t> bytes;
  if (path.empty() || !ReadWholeFile(path, bytes)) return nullptr;
  return ReadShapeFile(bytes, ShapeForm::kSymbol);
}

}  // namespace

bool ReadSpeakerDatabaseIndex(ByteReader& reader, SpeakerDatabaseVersion& version,
                              std::vector<SpeakerIndexEntry>& entries) {
  std::array<uint8_t, kSpeakerDatabaseHeaderSize> header{};
  entries.clear();
  version =
      reader.Bytes(header.data(), header.size()) ? SpeakerDatabaseVersionOf(header) : SpeakerDatabaseVersion::kNone;
  switch (version) {
    case SpeakerDatabaseVersion::kNone: return false;
    case SpeakerDatabaseVersion::kV11: IndexOlderRecords(reader, entries); break;
    case SpeakerDatabaseVersion::kV130:
      IndexSealedRecords(reader, reader.Remaining() / kSpeakerTypeSize, false, entries);
      break;
    case SpeakerDatabaseVersion::kV140:
      IndexSealedRecords(reader, LoadU16(&header[kSpeakerDatabaseCountOffset]), true, entries);
      break;
  }
  return true;
}

int OpenSpeakerDatabaseIndex(SpeakerDatabaseIndex& index, const std::string& path) {
  FileReader reader(path);
  if (!reader.IsOpen()) return -1;
  SpeakerDatabaseIndex read;
  if (!ReadSpeakerDatabaseIndex(reader, read.version, read.entries)) {
    ShowMessage(kInvalidSpeakerDatabaseMessage, nullptr, kMsgOk);
    return 0;
  }
  read.path = path;
  read.folder = FolderOfPath(path);
  index = std::move(read);
  return 1;
}

int ReadIndexedHeader(const SpeakerDatabaseIndex& index, int position, SpeakerType& header) {
  if (position < 0 || size_t(position) >= index.entries.size()) return 0;
  FileReader reader(index.path);
  std::array<uint8_t, kRecordHeaderSize> read{};
  const bool plain = index.version == SpeakerDatabaseVersion::kV11;
  const size_t size = plain ? kOlderSpeakerHeadSize : kRecordHeaderSize;
  if (!reader.IsOpen() || !reader.Skip(index.entries[size_t(position)].recordOffset) ||
      !reader.Bytes(read.data(), size) || (!plain && UnsealSpeakerHeader(read) != 1))
    return 0;
  std::copy(read.begin(), read.end(), header.bytes.begin());
  return 1;
}

int ReadIndexedComment(const SpeakerDatabaseIndex& index, int position, std::string& comment) {
  SpeakerType header;
  if (!ReadIndexedHeader(index, position, header)) return 0;
  comment = header.Comment();
  return 1;
}

int LoadSpeakerType(const SpeakerDatabaseIndex& index, std::string_view name, SpeakerTypeTable& table, int slot,
                    ObjectList& model, GraphicObject* defaultSymbol) {
  const SpeakerIndexEntry* entry = FindEntry(index, name);
  if (index.path.empty() || slot < 0 || slot >= kMaxSpeakerTypes || !entry) return 0;
  SpeakerTypePtr type = AllocSpeakerType();
  FileReader reader(index.path);
  if (!type || !reader.IsOpen() || !reader.Skip(entry->recordOffset)) return 0;

  GraphicObject* shape = nullptr;
  if (index.version == SpeakerDatabaseVersion::kV11) {
    std::array<uint8_t, kOlderSpeakerTypeSize> older;
    if (!reader.Bytes(older.data(), older.size())) return 0;
    ConvertOlderSpeakerRecord(older, *type);
    WriteTextField(type->Password(), kConvertedSpeakerStamp);
    shape = ReadShapeFileBeside(index.folder, entry->name);
  } else {
    if (!reader.Bytes(type->bytes.data(), kSpeakerTypeSize) || UnsealSpeakerRecord(type->Bytes()) != 1) return 0;
    const uint32_t chainLength = LoadU32(&type->bytes[kTypeShapeField]);
    type->SetLayoutFlag(kCurrentSpeakerLayout);
    if (index.version == SpeakerDatabaseVersion::kV140)
      shape = chainLength ? ReadChainShape(reader, chainLength) : nullptr;
    else shape = ReadShapeFileBeside(index.folder, entry->name);
  }
  // What the file held in the shape slots (an older program's pointer, a
  // chain length) means nothing in the project.
  StoreU32(&type->bytes[kTypeShapeSlot], 0);
  type->SetShapeField(0);
  if (shape) InsertObjectBeforeInList(shape, model.first, model);
  type->shape = shape ? shape : defaultSymbol;
  table.types[size_t(slot)] = std::move(type);
  return 1;
}

SpeakerTypeLoader IndexTypeLoader(const SpeakerDatabaseIndex& index, ObjectList& model, GraphicObject* defaultSymbol) {
  return [&index, &model, defaultSymbol](std::string_view name, SpeakerTypeTable& table, int slot) {
    return LoadSpeakerType(index, name, table, slot, model, defaultSymbol);
  };
}

SpeakerTypeLink LinkSpeakerType(std::string_view name, SpeakerTypeTable& table, const SpeakerTypeLoader& load,
                                int16_t& typeIndex) {
  for (int k = 0; k < table.count; ++k) {
    if (table.types[size_t(k)]->TypeName() == name) {
      typeIndex = int16_t(k);
      return SpeakerTypeLink::kLinked;
    }
  }
  if (table.count >= kMaxSpeakerTypes) return SpeakerTypeLink::kTableFull;
  if (!load || !load(name, table, table.count)) return SpeakerTypeLink::kNotAvailable;
  typeIndex = table.count++;
  return SpeakerTypeLink::kLinked;
}

void ShowSpeakerTypeLinkFailure(SpeakerTypeLink failure) {
  if (failure == SpeakerTypeLink::kTableFull) ShowMessage(kSpeakerTypesFullMessage, kSorryCaption, kMsgOk);
  else if (failure == SpeakerTypeLink::kNotAvailable) ShowMessage(kSpeakerNotAvailableMessage, nullptr, kMsgOk);
}

int UseSpeakerType(const SpeakerDatabaseIndex& index, std::string_view name, Loudspeaker& speaker,
                   SpeakerTypeTable& table, ObjectList& model, GraphicObject* defaultSymbol) {
  const SpeakerTypeLink link =
      LinkSpeakerType(name, table, IndexTypeLoader(index, model, defaultSymbol), speaker.typeIndex);
  ShowSpeakerTypeLinkFailure(link);
  return link == SpeakerTypeLink::kLinked ? 1 : 0;
}
