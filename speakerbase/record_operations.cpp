#include "speakerbase/record_operations.h"

#include <algorithm>
#include <utility>

#include "framework/core/services.h"

namespace {

// strncmp over at most `width` bytes of two NUL-padded fields.
int CompareFields(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t width) {
  for (size_t i = 0; i < width; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    if (a[i] == 0) break;
  }
  return 0;
}

void CopyOwnerBlock(const SessionOwnerBlock& session, SpeakerType& record) {
  std::ranges::copy(session.bytes, record.OwnerBlock().begin());
}

}  // namespace

SessionOwnerBlock MakeSessionOwnerBlock(std::string_view sessionPassword) {
  SessionOwnerBlock session;
  std::span<uint8_t> block(session.bytes);
  WriteTextField(block.subspan(kOwnerSourceText, kOwnerSourceTextSize), kEditorDataSource);
  WriteTextFieldFull(block.subspan(kOwnerPassword, kTypePasswordSize), sessionPassword);
  return session;
}

bool RecordAccessGranted(const SpeakerType& record, const SessionOwnerBlock& session) {
  const std::span<const uint8_t> owner = std::span(record.bytes).subspan(kTypePassword, kTypePasswordSize);
  return owner[0] == 0 || CompareFields(owner, session.Password(), kTypePasswordSize) == 0;
}

int CheckRecordAccess(const SpeakerDatabase& database, const SessionOwnerBlock& session) {
  if (database.records.empty()) return -1;
  if (RecordAccessGranted(database.currentRecord, session)) return 1;
  ShowMessage(kAccessDeniedMessage, kAccessDeniedCaption, kMsgOk);
  return 0;
}

int AppendNewRecord(SpeakerDatabase& database, const SessionOwnerBlock& session) {
  if (database.records.size() >= kMaxDatabaseRecords) return 0;
  SpeakerDatabaseRecord record;
  record.type = AllocSpeakerType();
  if (!record.type) return 0;
  record.type->bytes = database.currentRecord.bytes;
  CopyOwnerBlock(session, *record.type);
  StoreU32(&record.type->bytes[kTypeShapeSlot], 0);
  record.type->SetShapeField(0);
  database.records.push_back(std::move(record));
  SelectCurrentRecord(database, int(database.records.size()) - 1);
  database.modified = true;
  return 1;
}

int DeleteCurrentRecord(SpeakerDatabase& database) {
  const int index = database.currentRecordIndex;
  if (index < 0 || size_t(index) >= database.records.size()) return 0;
  if (ShowMessage(kDeleteRecordMessage, kWarningCaption, kMsgOkCancel) != kIdOk) return 0;
  database.records.erase(database.records.begin() + index);
  if (!SelectCurrentRecord(database, size_t(index) < database.records.size() ? index : 0))
    database.currentRecordIndex = 0;
  database.modified = true;
  return 1;
}

int CompareRecordsByTypeName(const SpeakerType& a, const SpeakerType& b) {
  return CompareFields(std::span(a.bytes).subspan(kTypeName, kTypeNameSize),
                       std::span(b.bytes).subspan(kTypeName, kTypeNameSize), kTypeNameSize);
}

void SortRecordsByTypeName(SpeakerDatabase& database) {
  if (database.records.size() < 2) return;
  std::stable_sort(database.records.begin(), database.records.end(),
                   [](const SpeakerDatabaseRecord& a, const SpeakerDatabaseRecord& b) {
                     return CompareRecordsByTypeName(*a.type, *b.type) < 0;
                   });
  SelectCurrentRecord(database, 0);
  database.modified = true;
}

int RotateBalloons(SpeakerDatabase& database, const SessionOwnerBlock& session, int steps) {
  if (CheckRecordAccess(database, session) != 1) return 0;
  const int shift = ((steps % kBalloonColumns) + kBalloonColumns) % kBalloonColumns;
  for (int band = 0; band < kBandCount; ++band) {
    std::span<uint8_t, kBalloonBandSize> codes = database.currentRecord.BalloonBand(band);
    for (int row = 0; row < kBalloonRows; ++row) {
      const auto first = codes.begin() + row * kBalloonColumns;
      std::rotate(first, first + (kBalloonColumns - shift), first + kBalloonColumns);
    }
  }
  StoreCurrentRecord(database);
  database.modified = true;
  return 1;
}

void StoreEditedHeader(SpeakerDatabase& database, const SessionOwnerBlock& session, const SpeakerType& edited,
                       uint32_t tickCount) {
  SpeakerType& record = database.currentRecord;
  std::copy_n(edited.bytes.begin(), kTypeBalloon, record.bytes.begin());
  CopyOwnerBlock(session, record);
  StoreU32(&record.OwnerBlock()[kOwnerFirstStamp], tickCount);
  StoreU32(&record.OwnerBlock()[kOwnerSecondStamp], tickCount);
  StoreCurrentRecord(database);
  database.modified = true;
}
