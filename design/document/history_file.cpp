#include "design/document/history_file.h"

#include <algorithm>

#include "design/model/project.h"
#include "framework/core/byte_codec.h"

namespace {

// The four folders in the order they are stored.
template <class Record>
auto Folders(Record& r) {
  return std::array{&r.projectFolder, &r.speakerDatabaseFolder, &r.absorberDatabaseFolder, &r.audioFolder};
}

std::span<uint8_t> Field(std::vector<uint8_t>& bytes, size_t offset) {
  return std::span<uint8_t>(bytes).subspan(offset, kHistoryFieldSize);
}

void PutText(std::vector<uint8_t>& bytes, size_t offset, const std::string& text) {
  if (text.size() < kHistoryFieldSize) WriteTextField(Field(bytes, offset), text);
}

std::string GetText(std::span<const uint8_t> bytes, size_t offset) {
  const std::span<const uint8_t> field = bytes.subspan(offset, kHistoryFieldSize);
  if (std::find(field.begin(), field.end(), 0) == field.end()) return {};
  return ReadTextField(field);
}

}  // namespace

int HistoryRecord::RecentCount() const {
  return int(std::count_if(recent.begin(), recent.end(), [](const std::string& path) { return !path.empty(); }));
}

std::vector<uint8_t> EncodeHistory(const HistoryRecord& record) {
  std::vector<uint8_t> bytes(kHistoryFileSize, 0);
  StoreU32(bytes.data(), record.unitFlag);
  const auto folders = Folders(record);
  for (size_t i = 0; i < folders.size(); ++i)
    PutText(bytes, kHistoryFoldersOffset + i * kHistoryFieldSize, *folders[i]);
  for (size_t i = 0; i < record.recent.size(); ++i)
    PutText(bytes, kHistoryRecentOffset + i * kHistoryFieldSize, record.recent[i]);
  return bytes;
}

bool DecodeHistory(std::span<const uint8_t> bytes, HistoryRecord& record) {
  if (bytes.size() < kHistoryFileSize) return false;
  HistoryRecord read;
  read.unitFlag = LoadU32(bytes.data()) != 0 ? 1 : 0;
  const auto folders = Folders(read);
  for (size_t i = 0; i < folders.size(); ++i)
    *folders[i] = GetText(bytes, kHistoryFoldersOffset + i * kHistoryFieldSize);
  size_t count = 0;
  for (size_t i = 0; i < read.recent.size(); ++i) {
    std::string path = GetText(bytes, kHistoryRecentOffset + i * kHistoryFieldSize);
    if (!path.empty()) read.recent[count++] = std::move(path);
  }
  record = std::move(read);
  return true;
}

bool PushRecentProject(HistoryRecord& record, const std::string& path) {
  if (path.empty() || path == kDefaultProjectPath) return false;
  auto& recent = record.recent;
  // The later of two equal entries counts; not found, the oldest falls out.
  size_t position = recent.size() - 1;
  for (size_t i = recent.size(); i-- > 0;)
    if (recent[i] == path) {
      position = i;
      break;
    }
  if (position == 0 && recent[0] == path) return false;
  std::move_backward(recent.begin(), recent.begin() + std::ptrdiff_t(position),
                     recent.begin() + std::ptrdiff_t(position) + 1);
  recent[0] = path;
  return true;
}

int LoadHistoryRecord(const std::string& path, HistoryRecord& record) {
  std::vector<uint8_t> bytes;
  // Only the first 4096 bytes count; a file far larger is no history file.
  if (!ReadWholeFile(path, bytes, 1 << 20)) return 0;
  return DecodeHistory(bytes, record) ? 1 : 0;
}

int StoreHistoryRecord(const std::string& path, const HistoryRecord& record) {
  SafeFileWriter writer(path);
  const std::vector<uint8_t> bytes = EncodeHistory(record);
  return writer.IsOpen() && writer.Bytes(bytes.data(), bytes.size()) && writer.Commit() ? 1 : 0;
}
