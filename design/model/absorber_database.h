// The absorber material record, the tables of 200 that hold it (the
// project's materials and a loaded absorber database) and the absorber
// database file (.KAB). The design program and the absorber-database editor
// share this code, so it depends on nothing but the byte codec and the
// message box.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "framework/core/byte_codec.h"

constexpr int kAbsorberBandCount = 7;  // 125 Hz .. 8 kHz
constexpr int16_t kMaxAbsorberRecords = 200;
constexpr size_t kAbsorberRecordSize = 256;

// The 32-byte magic field that opens a .KAB file: this text and two NULs.
inline constexpr char kAbsorberDatabaseMagic[] = "KORVANE ABSORBER DATABASE V1.1";
constexpr size_t kAbsorberMagicSize = 32;
// The file dialogs' filter, and the extension a chosen name is given.
inline constexpr char kAbsorberDatabaseFilter[] = "*.KAB|*.kab|";
inline constexpr char kAbsorberDatabaseExtension[] = ".KAB";

inline constexpr char kTooManyMaterialsMessage[] = "Database can\xB4t contain more than 200 materials";
// What the editors of a database say of a coefficient outside 0..1.
inline constexpr char kInvalidAbsorptionMessage[] = "Valid coefficients only 0...1";

// One material. Stored as 256 bytes: name at 0 (22 bytes, at most 21
// characters), description at 23 (80 bytes), the seven coefficients at 112
// (f32), category at 148 (80 bytes); the other bytes are unused and stored 0.
// The name is the key by which database and project entries are matched
// (exact comparison); an empty name marks a free project entry.
struct AbsorberRecord {
  std::string name;                                    // at most 21 characters
  std::string description;                             // at most 79 characters
  std::string category;                                // at most 79 characters
  std::array<float, kAbsorberBandCount> absorption{};  // 0..1 per octave band

  bool operator==(const AbsorberRecord&) const = default;
};

// A signed 16-bit count followed by room for 200 records. Entries at and
// above the count are empty.
struct AbsorberTable {
  int16_t count = 0;
  std::array<AbsorberRecord, kMaxAbsorberRecords> records;

  bool operator==(const AbsorberTable&) const = default;
};
// The project's materials: face attribute items index it, and indexes never
// move (unused entries are emptied, not removed). Entry 0 is the default.
using MaterialTable = AbsorberTable;
// A loaded absorber database.
using AbsorberDatabase = AbsorberTable;

// A coefficient as the programs show and print it: "%1.2f".
std::string FormatAbsorption(float coefficient);
// A coefficient as the programs read their fields: the first `characters`
// characters, the field's width, as a typed number (ReadTypedNumber,
// text_lines.h: "+0.5" is 0.5, "-0" is 0). False when they are no number
// ("0.5x") or one outside 0..1.
bool ReadAbsorptionText(std::string_view text, size_t characters, float& value);

// ---- The 256-byte record ----

// Texts longer than their field are cut so that what is in memory is exactly
// what a write stores.
void DecodeAbsorberRecord(std::span<const uint8_t, kAbsorberRecordSize> bytes, AbsorberRecord& record);
void EncodeAbsorberRecord(const AbsorberRecord& record, std::span<uint8_t, kAbsorberRecordSize> bytes);
bool ReadAbsorberRecord(ByteReader& reader, AbsorberRecord& record);
bool WriteAbsorberRecord(ByteWriter& writer, const AbsorberRecord& record);

// ---- A table as a count and its records (project files, undo snapshots) ----

// Reads an i16 count and that many records. A count outside 0..200, or one
// whose records are not all in the input, fails and leaves the table as it
// was.
bool ReadMaterialSection(ByteReader& reader, MaterialTable& table);
bool WriteMaterialSection(ByteWriter& writer, const MaterialTable& table);

// ---- The .KAB file: the magic field, then records to the end of the file ----

// Reads the file at `path` (opened for reading only) into `database`:
// (size - 32) / 256 records, of which the first 200 are kept. Records past
// the 200th and a partial record at the file's end are left out, and one
// message says what was loaded and what left out (its first line
// kTooManyMaterialsMessage when records were left out). `partlyRead`, when
// given, tells whether anything was left out. Returns 1 when loaded; 0 when
// the file does not start with the magic or cannot be read, after showing
// `badFormatMessage` (the two programs word it differently), with the
// database as it was; -1 when the file cannot be opened (no message).
int ReadAbsorberDatabaseFile(const std::string& path, AbsorberDatabase& database, const char* badFormatMessage,
                             bool* partlyRead = nullptr);
// The same from the start of `reader`, with 0 or 1.
int ReadAbsorberDatabase(ByteReader& reader, AbsorberDatabase& database, const char* badFormatMessage,
                         bool* partlyRead = nullptr);

// Writes the magic field and the database's records in table order. The file
// is replaced only when everything was written; otherwise shows
// kWriteFailedMessage (with the system's reason as a second line where it
// gave one), keeps the old file and returns 0. Returns 1 when written.
int WriteAbsorberDatabaseFile(const std::string& path, const AbsorberDatabase& database);
// The file's bytes to `writer`; false when a write failed.
bool WriteAbsorberDatabase(ByteWriter& writer, const AbsorberDatabase& database);

// ---- Saving over a file the database was loaded from in part ----

// What a save asks before it writes over such a file (caption
// kWarningCaption, OK and Cancel, Cancel first).
inline constexpr char kOverwritePartlyReadDatabaseMessage[] =
    "Only part of this database was loaded. Overwrite the file ?";
// The name a save dialog proposes for the database of `currentFile`: none
// when that is `partlyReadFile`, the file the database was loaded from in
// part, so that Enter does not drop what was left out of it.
std::string ProposedDatabaseSaveName(const std::string& currentFile, const std::string& partlyReadFile);
// True when a save may write to `path`: any file but `partlyReadFile`, and
// that one after OK to kOverwritePartlyReadDatabaseMessage.
bool ConfirmDatabaseSaveTo(const std::string& path, const std::string& partlyReadFile);
