// The speaker-database editor's operations on single records of the open
// database (design/model/speaker_database.h): appending a new record,
// deleting and sorting, the owner protection that guards header edits and
// balloon rotation, the edit stamps and the turning of a balloon about its
// axis. The dialogs and menus that call these are the editor's shell.
//
// Owner protection: every record carries an owner password (record bytes
// 470-489, 20 characters that need no NUL), which is also the key its seal
// mixes the record with. A record whose owner password is set and differs
// from the session password cannot be edited or rotated; deleting is not
// protected. The protection guards against accidental edits only: the key
// that opens a record is in every copy of the programs, so it is no
// security, and the prompt for the session password must say so. It stays
// for the files' sake.
//
// SessionOwnerBlock: the 312 bytes that a new or edited record takes over
// its owner block (record bytes 200-511). Block offsets: 0 the data-source
// text (41 bytes, "KSB V2.90"), 41 the second source text (41 bytes, empty),
// 270 the session password (20 bytes), 291 and 295 the edit stamps (u32,
// written when a header edit is stored); every other byte is 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "design/model/speaker_database.h"
#include "design/model/speaker_type.h"

constexpr size_t kOwnerSourceText = 0;
constexpr size_t kOwnerSecondSourceText = 41;
constexpr size_t kOwnerSourceTextSize = 41;
constexpr size_t kOwnerPassword = kTypePassword - kTypeOwnerBlock;  // 270
constexpr size_t kOwnerFirstStamp = 291;
constexpr size_t kOwnerSecondStamp = 295;
// The data source of the records this program makes.
inline constexpr char kEditorDataSource[] = "KSB V2.90";

inline constexpr char kDatabaseFullMessage[] = "Max. amount of speakers in database is 500";
inline constexpr char kDeleteRecordMessage[] = "Delete marked record ?";
inline constexpr char kAccessDeniedMessage[] = "You can\xB4t change data in this record";
inline constexpr char kAccessDeniedCaption[] = "ACCESS DENIED";

// Balloon rotations of the menu: 90 degrees, +5 degrees, -5 degrees.
constexpr int kRotate90Steps = 18;
constexpr int kRotatePlus5Steps = 1;
constexpr int kRotateMinus5Steps = 71;

struct SessionOwnerBlock {
  std::array<uint8_t, kTypeOwnerBlockSize> bytes{};

  std::span<const uint8_t, kTypePasswordSize> Password() const {
    return std::span(bytes).subspan<kOwnerPassword, kTypePasswordSize>();
  }
};

// The block of a session whose password is `sessionPassword` (its first 20
// characters).
SessionOwnerBlock MakeSessionOwnerBlock(std::string_view sessionPassword);

// Whether `record` may be changed in the session: its owner password is
// empty or equals the session password over at most 20 bytes.
bool RecordAccessGranted(const SpeakerType& record, const SessionOwnerBlock& session);
// The access test of the header edit and the rotation on the current
// record: 1 granted; 0 after "You can´t change data in this record"
// ("ACCESS DENIED"); -1, silently, when the database has no record.
int CheckRecordAccess(const SpeakerDatabase& database, const SessionOwnerBlock& session);

// Appends the working copy as a new record owned by the session and makes it
// current; sets the modified flag. 0 when the database already holds 500
// records (the importers then show kDatabaseFullMessage) or memory runs out.
int AppendNewRecord(SpeakerDatabase& database, const SessionOwnerBlock& session);

// Asks "Delete marked record ?" ("WARNING", OK/Cancel) and on OK removes the
// current record with its shape; a current index beyond the last record
// becomes 0. Sets the modified flag. 1 when a record was deleted.
int DeleteCurrentRecord(SpeakerDatabase& database);

// Three-way comparison of the type names as bytes, over at most 9 bytes.
int CompareRecordsByTypeName(const SpeakerType& a, const SpeakerType& b);
// Sorts the records by type name, records of equal names keeping their order,
// makes the first current and sets the modified flag. Nothing happens with
// fewer than two records.
void SortRecordsByTypeName(SpeakerDatabase& database);

// Turns the current record's balloon in all bands and rows by `steps`
// columns towards higher column numbers (the last column moves to the
// first), after the access test; stores the record and sets the modified
// flag. 1 when turned.
int RotateBalloons(SpeakerDatabase& database, const SessionOwnerBlock& session, int steps);

// Stores the header edited in the dialog: the first 512 bytes of `edited`
// into the working copy, the session's owner block over them, `tickCount` in
// both edit stamps; then the working copy into the current record. Sets the
// modified flag.
void StoreEditedHeader(SpeakerDatabase& database, const SessionOwnerBlock& session, const SpeakerType& edited,
                       uint32_t tickCount);
