// The design program's index of a speaker database of any version, and the
// loading of every indexed type with its shape (a V140 chain, or the shape
// file "HORN12.TCF" beside the database) and its comment. The index read
// from memory is the one the file gives.
#include <cstdlib>

#include "design/model/speaker_database_index.h"
#include "fuzz/shape_check.h"
#include "tests/design/model/older_format_fixtures.h"

namespace {

bool SameEntries(const std::vector<SpeakerIndexEntry>& a, const std::vector<SpeakerIndexEntry>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].name != b[i].name || a[i].recordOffset != b[i].recordOffset || a[i].shapeOffset != b[i].shapeOffset)
      return false;
  return true;
}

// Entries in file order, each record wholly inside the file, a V140 chain
// right behind its record.
void CheckEntries(SpeakerDatabaseVersion version, const std::vector<SpeakerIndexEntry>& entries, size_t size) {
  const size_t recordSize = version == SpeakerDatabaseVersion::kV11 ? kOlderSpeakerTypeSize : kSpeakerTypeSize;
  FuzzRequire(entries.size() <= kMaxIndexedSpeakers, "at most 512 entries");
  uint64_t next = kSpeakerDatabaseHeaderSize;
  for (const SpeakerIndexEntry& entry : entries) {
    FuzzRequire(entry.recordOffset >= next && entry.recordOffset + recordSize <= size,
                "an entry's record lies in the file, behind the one before");
    FuzzRequire(entry.name.size() <= kTypeNameSize, "an entry's name fits a type name");
    FuzzRequire(entry.shapeOffset == 0 ||
                    (version == SpeakerDatabaseVersion::kV140 && entry.shapeOffset == entry.recordOffset + recordSize),
                "a chain follows its V140 record");
    next = entry.recordOffset + recordSize;
  }
}

// Every entry loads into a table with a shape, and its comment reads.
void CheckLoading(const SpeakerDatabaseIndex& index) {
  GraphicObject* const defaultSymbol = gSpeakerModel.defaultSymbol;
  for (size_t i = 0; i < index.entries.size(); ++i) {
    std::string comment;
    FuzzRequire(ReadIndexedComment(index, int(i), comment) == 1, "an indexed record's comment reads");
    SpeakerTypeTable table;
    OwnedObjectList model;
    FuzzRequire(LoadSpeakerType(index, index.entries[i].name, table, 0, model.list(), defaultSymbol) == 1,
                "an indexed record loads");
    const SpeakerType& type = *table.types[0];
    FuzzRequire(type.LayoutFlag() == kCurrentSpeakerLayout && LoadU32(&type.bytes[kTypeShapeSlot]) == 0 &&
                    type.ShapeField() == 0,
                "a loaded type is held open in the current layout");
    if (type.shape == defaultSymbol) {
      FuzzRequire(model.empty(), "a type with the default symbol adds no shape");
      continue;
    }
    FuzzRequire(type.shape == model.list().first && !type.shape->next, "a loaded shape heads the model");
    CheckSymbolShape(*type.shape);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  const FuzzInput input(data, size);
  MemoryReader reader(input);
  SpeakerDatabaseVersion version = SpeakerDatabaseVersion::kV11;
  std::vector<SpeakerIndexEntry> entries(1);
  if (!ReadSpeakerDatabaseIndex(reader, version, entries)) {
    FuzzRequire(entries.empty() && version == SpeakerDatabaseVersion::kNone, "no database, nothing indexed");
    return 0;
  }
  CheckEntries(version, entries, size);

  static const bool shapeFileWritten = [] {
    WriteFuzzFile(FuzzScratchFolder() + "HORN12.TCF", TarnikShapeFixture());
    return true;
  }();
  (void)shapeFileWritten;
  const std::string path = FuzzScratchFolder() + "FUZZ.KSB";
  WriteFuzzFile(path, input);
  SpeakerDatabaseIndex index;
  FuzzRequire(OpenSpeakerDatabaseIndex(index, path) == 1 && index.version == version &&
                  SameEntries(index.entries, entries) && index.folder == FuzzScratchFolder(),
              "the file gives the index the bytes give");
  CheckLoading(index);
  return 0;
}
