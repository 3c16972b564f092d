// The speaker database file (.KSB) and the speaker-database editor's database
// in memory. The design program reads these files too (speaker_database_index.h)
// and writes one for a computed cluster, so the format lives here, beside the
// record it stores.
//
// Version V140, little-endian:
//   0   char[30]  "KORVANE SPEAKER DATABASE V140" and NULs (byte 29 is NUL)
//   30  i16       record count
//   32  records back to back, each:
//       - the 19160-byte SpeakerType, sealed. Its u32 at +196 is the byte
//         length of the shape chain that follows it, 0 when none does; +192
//         is 1 when a chain follows and 0 otherwise (readers ignore it);
//       - the shape chain: per object of the shape, in list order, the 48-byte
//         packed header (word 1 "next" 1 on all but the last, 0 on the last;
//         kind, state, colour and layer as held; word 11, the data size,
//         always 0), the vertices (3 x f32) and the 4-byte items. Its length
//         is the sum of 48 + 12 x vertices + 4 x items over the objects.
//       Readers take back state and layer, set the colour to 0 and the kind
//       from the items (ShapeKindFromItems).
// Version V130 (read to convert it): a 32-byte header opening with
// "KORVANE SPEAKER DATABASE V130" and its NUL, then (size - 32) / 19160
// sealed records; each type's shape lies beside the database in the older
// shape file "<type name>.TCF".
// Version V1.1 (the design program reads it): a 32-byte header opening with
// "KORVANE SPEAKER DATABASE V1.1" and its NUL, then (size - 32) / 18344 plain
// records of the older layout.
//
// In memory the editor holds each record open (unsealed) together with the
// objects of its shape; records are sealed only on their way to disk, so a
// save seals copies and never the records themselves. The +192 and +196 slots
// of a held record are 0: the shape is the record's object list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "design/model/speaker_type.h"
#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"

inline constexpr char kSpeakerDatabaseV11Magic[] = "KORVANE SPEAKER DATABASE V1.1";
inline constexpr char kSpeakerDatabaseV130Magic[] = "KORVANE SPEAKER DATABASE V130";
inline constexpr char kSpeakerDatabaseV140Magic[] = "KORVANE SPEAKER DATABASE V140";
constexpr size_t kSpeakerDatabaseHeaderSize = 32;
constexpr size_t kSpeakerDatabaseMagicSize = 30;
constexpr size_t kSpeakerDatabaseCountOffset = 30;
inline constexpr char kSpeakerDatabaseExtension[] = ".KSB";
// The name of a new database.
inline constexpr char kNewSpeakerDatabaseName[] = "LS001.KSB";
// The extension of the older shape files beside a V130 database.
inline constexpr char kShapeFileExtension[] = ".TCF";
// +192 of a stored record that a shape chain follows.
constexpr uint32_t kStoredShapeFollows = 1;

inline constexpr char kDatabaseNotSavedMessage[] = "Database has not been saved !";
inline constexpr char kInvalidDatabaseMessage[] = "Invalid file";
inline constexpr char kConvertOnOpenMessage[] = "Database will be converted to V2.30-format";
inline constexpr char kConvertOnMergeMessage[] = "Database will be converted to V2.xx-format";
inline constexpr char kObsoleteFormatCaption[] = "Obsolete format";
inline constexpr char kCantWriteDatabaseMessage[] = "Can\xB4t write file to Disk";
inline constexpr char kCantReadRecordMessage[] = "Can\xB4t read record";
inline constexpr char kCantLoadDatabaseMessage[] = "Can\xB4t load entire database";
// Asked (caption "WARNING", OK/Cancel) before Save as writes over a file
// that was read only in part.
inline constexpr char kOverwritePartlyReadMessage[] = "Only part of this database was loaded. Overwrite the file ?";

enum class SpeakerDatabaseVersion : int { kNone = 0, kV11 = 1, kV130 = 2, kV140 = 3 };

// The version whose magic the 32-byte header holds, compared as text up to
// its NUL; kNone for anything else, a short header included.
SpeakerDatabaseVersion SpeakerDatabaseVersionOf(std::span<const uint8_t> header);

// ---- Shape chains ----

// The kind of a shape object from its items: no close item 0, one a face
// (8), more a solid (16).
uint32_t ShapeKindFromItems(const GraphicObject& object);
// The stored length of a shape's chain.
uint64_t ShapeChainLength(const ObjectList& shape);
bool WriteShapeChain(ByteWriter& writer, const ObjectList& shape);

enum class ShapeChainResult { kOk, kBadFormat, kNoMemory };
// Reads a chain of exactly `length` bytes into `objects` (appended, unlinked
// from any other list). The chain must end (a next word of 0) exactly at its
// length and every body must lie within it; otherwise kBadFormat with
// nothing appended. An item naming a vertex its object lacks is dropped, as
// welding drops it (packed_object.h). The reader stands behind the chain's
// `length` bytes whenever they were there, whatever the result.
ShapeChainResult ReadShapeChain(ByteReader& reader, uint32_t length, ObjectList& objects);

// ---- Writing ----

bool WriteSpeakerDatabaseHeader(ByteWriter& writer, int16_t count);
// Writes a sealed copy of the open record `type` with +192 and +196 set for
// the chain of `shape`, then the chain. The record itself is not touched.
bool WriteSpeakerDatabaseRecord(ByteWriter& writer, const SpeakerType& type, const ObjectList& shape);

// ---- Names ----

// Replaces the blanks at the end of a NUL-padded text by NULs, in place.
void TrimTrailingSpaces(std::span<uint8_t> text);
// The older shape file of a type beside a database: `folder` + the type name
// without trailing blanks + ".TCF", found without regard to case. Empty when
// there is none, and for a name that is empty or would reach outside the
// folder ('/' or "..").
std::string FindShapeFile(const std::string& folder, std::string_view typeName);

// ---- The editor's database ----

constexpr size_t kMaxDatabaseRecords = kMaxSpeakerTypes;  // 500

// One record: its image, held open, and its shape.
struct SpeakerDatabaseRecord {
  SpeakerTypePtr type;
  OwnedObjectList shape;
};

struct SpeakerDatabase {
  std::vector<SpeakerDatabaseRecord> records;  // at most kMaxDatabaseRecords
  // The working copy of the selected record (CurrentRecord): the views and
  // the record operations work on it and store it back with
  // StoreCurrentRecord. Its shape is the selected record's list.
  SpeakerType currentRecord;
  int currentRecordIndex = 0;
  bool modified = false;  // DatabaseModified
  std::string fileName = kNewSpeakerDatabaseName;
  // A file whose reading stopped ("Can´t load entire database"): it holds
  // more than the database took from it.
  std::string partlyReadFile;
};

// Frees every record: no records, index 0, not modified, the new name, no
// file read in part.
void ResetSpeakerDatabase(SpeakerDatabase& database);

// 1 to go on; when the database is modified asks "Database has not been
// saved !" ("WARNING", OK/Cancel) and gives 0 unless OK.
int ConfirmDiscardDatabase(const SpeakerDatabase& database);
// New Database: after ConfirmDiscardDatabase frees every record, makes index
// 0 current and names the database "LS001.KSB"; the modified flag stays as it
// was, so unsaved work is still asked about. 0 when the user cancelled.
int NewSpeakerDatabase(SpeakerDatabase& database);

// Makes record `index` current and copies it into the working copy; false
// when there is no such record.
bool SelectCurrentRecord(SpeakerDatabase& database, int index);
// Copies the working copy over the current record.
void StoreCurrentRecord(SpeakerDatabase& database);

enum class DatabaseLoad {
  kOpen,   // the file's records replace the database's
  kMerge,  // they are appended to it
};

enum class DatabaseReadResult {
  kLoaded,   // every record of the file
  kStopped,  // "Can´t load entire database": the records before the stop were taken
  kNotRead,  // nothing changed: the file could not be opened (silently), was no
             // V140 or V130 database ("Invalid file") or its conversion failed
};

// Open Database and Add Korvane Speakerbase after their file dialogs. A V130
// file is converted first ("Database will be converted to V2.30-format",
// Merge: "... V2.xx-format", caption "Obsolete format"). Open replaces the
// records, Merge appends after them; either way each record read becomes
// current, the database takes the file's name, Open clears the modified
// flag and a Merge that added records sets it. Reading stops, with "Can´t
// load entire database" once, at the 501st record, at a record that fails
// its check and at a damaged or cut record or chain.
DatabaseReadResult ReadSpeakerDatabaseFile(SpeakerDatabase& database, const std::string& path, DatabaseLoad how);

// The reading behind ReadSpeakerDatabaseFile, from the start of `reader`: a
// V140 database only, and the file name is the caller's. "Invalid file" and
// kNotRead for another header or a negative count.
DatabaseReadResult ReadSpeakerDatabase(ByteReader& reader, SpeakerDatabase& database, DatabaseLoad how);

// Save as after its dialog: writes every record with its shape into `path`
// through a temporary file. 1 when written (the database takes the name and
// is no longer modified); 0 after "Couldn´t write data to disk !" (and the
// system's reason where it gave one), with the old file, the name and the
// modified flag as they were; -1 when there is no record to write. Over the
// file the database was read from only in part it first asks
// kOverwritePartlyReadMessage: 0, writing nothing, unless OK.
int SaveSpeakerDatabaseAs(SpeakerDatabase& database, const std::string& path);

// Converts the V130 database at `path` into a V140 database under the same
// path. Every record that passes its check is converted, its type name
// trimmed and its shape taken from its shape file; a record that fails says
// "Can´t read record" and is dropped. Only when every write succeeded does
// the new file replace the old one, and only then are the shape files read
// deleted; a write that fails says "Can´t write file to Disk". 1 when
// converted (a file without records becomes an empty V140 database); 0,
// with the files as they were, when it could not be read or written or
// when it held records but none passed.
int ConvertV130Database(const std::string& path);
