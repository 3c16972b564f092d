// The design program's access to a speaker database. It never holds a
// database in memory: it keeps an index of one database file (the names and
// file positions of its good records) and copies a record, with its shape,
// into the project's type table the first time a loudspeaker of that type is
// placed. Databases of all three versions are read (speaker_database.h has
// the layouts):
// - V1.1: every 18344-byte record is plain and indexed; a loaded one is
//   converted to the current layout and carries the project magic as its
//   owner password;
// - V130: the 19160-byte records that pass their check are indexed;
// - V140: the records that pass their check are indexed with the position of
//   their shape chain. A record that fails is skipped together with its chain
//   when its header still opens (the chain length at +196 lies in the opened
//   part); otherwise its fixed length is skipped, and the chain behind it if
//   the bytes there walk as one (up to a header whose next word is 0) and are
//   no record that opens.
// Shapes of V1.1 and V130 types come from the older shape file
// "<type name>.TCF" beside the database, found without regard to case; a V140
// type's chain becomes one shape object. A type without a shape, or whose
// shape cannot be read, takes the default loudspeaker symbol.
//
// Type names are found in the index without regard to case but in the
// project's table by exact comparison, so a name in another case loads a
// second copy of the record.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "design/model/loudspeaker.h"
#include "design/model/speaker_database.h"
#include "design/model/speaker_type.h"
#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"

constexpr size_t kMaxIndexedSpeakers = 512;

inline constexpr char kInvalidSpeakerDatabaseMessage[] = "Invalid file format";
inline constexpr char kSpeakerNotAvailableMessage[] = "Loudspeaker not available in database";
inline constexpr char kSpeakerTypesFullMessage[] = "Maximum amount of loudspeaker types is 500";
inline constexpr char kSorryCaption[] = "Sorry!";

struct SpeakerIndexEntry {
  std::string name;           // the record's type name, up to 9 characters
  uint64_t recordOffset = 0;  // file position of the record
  uint64_t shapeOffset = 0;   // file position of its shape chain, 0 when none (V140 only)
};

struct SpeakerDatabaseIndex {
  std::string path;  // the indexed database; empty when none is loaded
  SpeakerDatabaseVersion version = SpeakerDatabaseVersion::kNone;
  std::string folder;                      // the database's folder, with its '/'
  std::vector<SpeakerIndexEntry> entries;  // the good records in file order, at most 512
  int position = 0;                        // the selection dialog's current entry
};

// Builds the entries of the database whose contents `reader` holds from the
// start: the header's magic gives the version and the walk. False, with
// nothing indexed, when the header is no database's. A cut file ends the
// index after its last whole record; records past the 512th are not indexed.
bool ReadSpeakerDatabaseIndex(ByteReader& reader, SpeakerDatabaseVersion& version,
                              std::vector<SpeakerIndexEntry>& entries);

// Loads the index of the database at `path` (the path as the file dialog and
// the ".KSB" rule gave it). 1 when indexed: the index names the file, its
// folder and version, and the list position is 0. 0 after "Invalid file
// format" for a file of another kind, -1 when it cannot be opened (silently);
// either way the loaded index stays as it was.
int OpenSpeakerDatabaseIndex(SpeakerDatabaseIndex& index, const std::string& path);

// The header of the indexed record at `position` (bytes 0..511, opened; of a
// V1.1 record its plain 200-byte head and zeros), whose comment and band data
// the selection dialog and its callers take, into `header`. The balloon and
// shape link are not touched. 0, leaving `header`, when the position, the
// file or the record's check fails.
int ReadIndexedHeader(const SpeakerDatabaseIndex& index, int position, SpeakerType& header);
// The comment of that header, as the selection dialog shows it.
int ReadIndexedComment(const SpeakerDatabaseIndex& index, int position, std::string& comment);

// Reads the first indexed record whose name equals `name` without regard to
// case into `table` at `slot` (the count is the caller's), with its shape:
// a new shape object goes to the head of `model`; a type without one takes
// `defaultSymbol`. The record is stored open, in the current layout, with
// +192 and +196 cleared. 1 when loaded; 0 when no database is loaded, the
// slot lies outside the table, the name is not indexed, the file cannot be
// read or the record fails its check.
int LoadSpeakerType(const SpeakerDatabaseIndex& index, std::string_view name, SpeakerTypeTable& table, int slot,
                    ObjectList& model, GraphicObject* defaultSymbol);

// Loads the type named `name` into `table` at `slot` (the count is the
// caller's): 1 when loaded, 0 otherwise. LoadSpeakerType over an index, or
// whatever a caller hands in its place.
using SpeakerTypeLoader = std::function<int(std::string_view name, SpeakerTypeTable& table, int slot)>;
// LoadSpeakerType of `index` with shapes going to `model` (both must outlive
// the loader).
SpeakerTypeLoader IndexTypeLoader(const SpeakerDatabaseIndex& index, ObjectList& model, GraphicObject* defaultSymbol);

enum class SpeakerTypeLink {
  kLinked,
  kTableFull,     // the project has no room for another type
  kNotAvailable,  // the loader cannot load the type
};

// Gives `typeIndex` the index of the type named `name` in `table` (exact
// comparison), loading it with `load` into the next entry first when the
// table does not have it yet (the count then grows by one). Shows nothing;
// on failure `typeIndex` is left alone.
SpeakerTypeLink LinkSpeakerType(std::string_view name, SpeakerTypeTable& table, const SpeakerTypeLoader& load,
                                int16_t& typeIndex);
// "Maximum amount of loudspeaker types is 500" ("Sorry!") for a full table,
// "Loudspeaker not available in database" for a type that cannot be loaded.
void ShowSpeakerTypeLinkFailure(SpeakerTypeLink failure);

// Gives `speaker` the type named `name` (exact comparison), loading it into
// the table first when the project does not have it yet. 1 when done; 0
// after "Maximum amount of loudspeaker types is 500" ("Sorry!") when the
// table is full, or after "Loudspeaker not available in database" when the
// type cannot be loaded; the speaker is then left alone.
int UseSpeakerType(const SpeakerDatabaseIndex& index, std::string_view name, Loudspeaker& speaker,
                   SpeakerTypeTable& table, ObjectList& model, GraphicObject* defaultSymbol);
