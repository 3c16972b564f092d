#include "design/model/absorber_database.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/text_lines.h"

namespace {

// Field offsets and widths of the stored record.
constexpr size_t kNameOffset = 0, kNameWidth = 22;
constexpr size_t kDescriptionOffset = 23, kDescriptionWidth = 80;
constexpr size_t kAbsorptionOffset = 112;
constexpr size_t kCategoryOffset = 148, kCategoryWidth = 80;

// The text of a field, cut where a write would cut it (width - 1).
std::string DecodeText(std::span<const uint8_t, kAbsorberRecordSize> bytes, size_t offset, size_t width) {
  return ReadTextField(bytes.subspan(offset, width - 1));
}

// Moves the first `count` records of `source` into `table` and empties the
// entries behind them.
void TakeRecords(AbsorberTable& table, AbsorberTable& source, int16_t count) {
  for (int i = 0; i < kMaxAbsorberRecords; ++i)
    table.records[i] = i < count ? std::move(source.records[i]) : AbsorberRecord{};
  table.count = count;
}

// "1 material", "89 materials".
std::string Counted(uint64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// What a read of a file of `stored` whole records and `partialBytes` more
// loaded (`loaded` records) and left out.
std::string LeftOutMessage(uint64_t stored, int16_t loaded, uint64_t partialBytes) {
  std::string text;
  if (stored > uint64_t(loaded))
    text = std::string(kTooManyMaterialsMessage) + "\nLoaded " + std::to_string(loaded) + " of the file's " +
           Counted(stored, "material") + "; left out " + std::to_string(stored - uint64_t(loaded)) + ".";
  if (partialBytes > 0) {
    if (!text.empty()) text += "\n";
    text += "The file ends in a partial record (" + Counted(partialBytes, "byte") + "), which was left out.";
    if (stored == uint64_t(loaded)) text += "\nLoaded " + Counted(stored, "material") + ".";
  }
  return text;
}

}  // namespace

std::string FormatAbsorption(float coefficient) {
  char text[32];
  std::snprintf(text, sizeof text, "%1.2f", double(coefficient));
  return text;
}

bool ReadAbsorptionText(std::string_view text, size_t characters, float& value) {
  double read = 0;
  if (!ReadTypedNumber(text.substr(0, characters), read) || !(read >= 0 && read <= 1)) return false;
  value = float(read);
  return true;
}

// ---- The 256-byte record ----

void DecodeAbsorberRecord(std::span<const uint8_t, kAbsorberRecordSize> bytes, AbsorberRecord& record) {
  record.name = DecodeText(bytes, kNameOffset, kNameWidth);
  record.description = DecodeText(bytes, kDescriptionOffset, kDescriptionWidth);
  record.category = DecodeText(bytes, kCategoryOffset, kCategoryWidth);
  for (int b = 0; b < kAbsorberBandCount; ++b) record.absorption[b] = LoadF32(&bytes[kAbsorptionOffset + 4 * b]);
}

void EncodeAbsorberRecord(const AbsorberRecord& record, std::span<uint8_t, kAbsorberRecordSize> bytes) {
  std::fill(bytes.begin(), bytes.end(), uint8_t(0));
  WriteTextField(bytes.subspan(kNameOffset, kNameWidth), record.name);
  WriteTextField(bytes.subspan(kDescriptionOffset, kDescriptionWidth), record.description);
  WriteTextField(bytes.subspan(kCategoryOffset, kCategoryWidth), record.category);
  for (int b = 0; b < kAbsorberBandCount; ++b) StoreF32(&bytes[kAbsorptionOffset + 4 * b], record.absorption[b]);
}

bool ReadAbsorberRecord(ByteReader& reader, AbsorberRecord& record) {
  std::array<uint8_t, kAbsorberRecordSize> bytes;
  if (!reader.Bytes(bytes.data(), bytes.size())) return false;
  DecodeAbsorberRecord(bytes, record);
  return true;
}

bool WriteAbsorberRecord(ByteWriter& writer, const AbsorberRecord& record) {
  std::array<uint8_t, kAbsorberRecordSize> bytes;
  EncodeAbsorberRecord(record, bytes);
  return writer.Bytes(bytes.data(), bytes.size());
}

// ---- A table as a count and its records ----

bool ReadMaterialSection(ByteReader& reader, MaterialTable& table) {
  int16_t count = 0;
  if (!reader.I16(count) || count < 0 || count > kMaxAbsorberRecords ||
      uint64_t(count) * kAbsorberRecordSize > reader.Remaining())
    return false;
  auto read = std::make_unique<MaterialTable>();
  for (int i = 0; i < count; ++i)
    if (!ReadAbsorberRecord(reader, read->records[i])) return false;
  TakeRecords(table, *read, count);
  return true;
}

bool WriteMaterialSection(ByteWriter& writer, const MaterialTable& table) {
  if (!writer.I16(table.count)) return false;
  for (int i = 0; i < table.count; ++i)
    if (!WriteAbsorberRecord(writer, table.records[i])) return false;
  return true;
}

// ---- The .KAB file ----

int ReadAbsorberDatabaseFile(const std::string& path, AbsorberDatabase& database, const char* badFormatMessage,
                             bool* partlyRead) {
  FileReader reader(path);
  if (!reader.IsOpen()) return -1;
  return ReadAbsorberDatabase(reader, database, badFormatMessage, partlyRead);
}

int ReadAbsorberDatabase(ByteReader& reader, AbsorberDatabase& database, const char* badFormatMessage,
                         bool* partlyRead) {
  std::string magic;
  if (!reader.Text(kAbsorberMagicSize, magic) || magic != kAbsorberDatabaseMagic) {
    ShowMessage(badFormatMessage, nullptr, kMsgOk);
    return 0;
  }
  const uint64_t stored = reader.Remaining() / kAbsorberRecordSize;
  const uint64_t partialBytes = reader.Remaining() % kAbsorberRecordSize;
  const auto count = int16_t(stored < uint64_t(kMaxAbsorberRecords) ? stored : kMaxAbsorberRecords);
  auto read = std::make_unique<AbsorberDatabase>();
  for (int i = 0; i < count; ++i) {
    if (!ReadAbsorberRecord(reader, read->records[i])) {
      ShowMessage(badFormatMessage, nullptr, kMsgOk);
      return 0;
    }
  }
  TakeRecords(database, *read, count);
  const bool leftOut = stored > uint64_t(count) || partialBytes > 0;
  if (leftOut) ShowMessage(LeftOutMessage(stored, count, partialBytes).c_str(), nullptr, kMsgOk);
  if (partlyRead) *partlyRead = leftOut;
  return 1;
}

bool WriteAbsorberDatabase(ByteWriter& writer, const AbsorberDatabase& database) {
  std::array<uint8_t, kAbsorberMagicSize> magic;
  WriteTextFieldFull(magic, kAbsorberDatabaseMagic);
  writer.Bytes(magic.data(), magic.size());
  for (int i = 0; i < database.count; ++i) WriteAbsorberRecord(writer, database.records[i]);
  return writer.ok();
}

int WriteAbsorberDatabaseFile(const std::string& path, const AbsorberDatabase& database) {
  SafeFileWriter writer(path);
  WriteAbsorberDatabase(writer, database);
  if (!writer.Commit()) {
    ShowMessage(WithSystemReason(kWriteFailedMessage, writer.SystemError()).c_str(), nullptr, kMsgOk);
    return 0;
  }
  return 1;
}

// ---- Saving over a file the database was loaded from in part ----

std::string ProposedDatabaseSaveName(const std::string& currentFile, const std::string& partlyReadFile) {
  return IsSameFile(currentFile, partlyReadFile) ? std::string() : currentFile;
}

bool ConfirmDatabaseSaveTo(const std::string& path, const std::string& partlyReadFile) {
  return !IsSameFile(path, partlyReadFile) ||
         ShowMessage(kOverwritePartlyReadDatabaseMessage, kWarningCaption, kMsgOkCancel | kMsgDefaultButton2) == kIdOk;
}
