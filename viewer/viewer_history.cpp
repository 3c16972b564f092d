#include "viewer/viewer_history.h"

#include <algorithm>

#include "design/model/project.h"
#include "framework/base/framework_windows.h"
#include "framework/core/byte_codec.h"
#include "framework/core/geometry.h"
#include "framework/core/state_reset.h"

ViewerHistoryState gViewerHistory;

void ResetViewerHistory() { gViewerHistory = ViewerHistoryState{}; }

namespace {

const StateReset kReset(ResetViewerHistory);

inline constexpr char kViewerHistoryName[] = "HISTORY.KDN";
constexpr size_t kMaxPathLength = kViewerHistoryFieldSize - 1;

std::span<const uint8_t> Field(std::span<const uint8_t> bytes, size_t index) {
  return bytes.subspan(index * kViewerHistoryFieldSize, kViewerHistoryFieldSize);
}

}  // namespace

int ViewerHistory::RecentCount() const {
  return int(std::count_if(recent.begin(), recent.end(), [](const std::string& path) { return !path.empty(); }));
}

std::vector<uint8_t> EncodeViewerHistory(const ViewerHistory& record) {
  std::vector<uint8_t> bytes(kViewerHistorySize, 0);
  for (size_t i = 0; i < record.recent.size(); ++i)
    WriteTextField(std::span<uint8_t>(bytes).subspan(i * kViewerHistoryFieldSize, kViewerHistoryFieldSize),
                   record.recent[i]);
  WriteU32At(bytes, kViewerUnitFlagOffset, record.unitFlag);
  return bytes;
}

bool DecodeViewerHistory(std::span<const uint8_t> bytes, ViewerHistory& record) {
  if (bytes.size() < kViewerHistorySize) return false;
  ViewerHistory read;
  for (size_t i = 0; i < read.recent.size(); ++i)
    read.recent[i] = ReadTextField(Field(bytes, i)).substr(0, kMaxPathLength);
  uint32_t unit = 0;
  ReadU32At(bytes, kViewerUnitFlagOffset, unit);
  read.unitFlag = unit != 0 ? 1 : 0;
  record = std::move(read);
  return true;
}

bool AddViewerRecentProject(ViewerHistory& record, const std::string& path) {
  // The path as its entry keeps it, so that a long one is found again.
  const std::string kept = path.substr(0, kMaxPathLength);
  if (kept.empty() || path == kDefaultProjectPath) return false;
  auto& recent = record.recent;
  if (std::find(recent.begin(), recent.end(), kept) != recent.end()) return false;
  std::move_backward(recent.begin(), recent.end() - 1, recent.end());
  recent[0] = kept;
  return true;
}

std::string ViewerHistoryPath(const std::string& startFolder) {
  if (!startFolder.empty() && startFolder.back() == '/') return {};
  return startFolder + kViewerHistoryName;
}

int ReadViewerHistory() {
  const std::string path = ViewerHistoryPath(GetStartDirectory());
  std::vector<uint8_t> bytes;
  ViewerHistory record;
  if (path.empty() || !ReadWholeFile(path, bytes, 1 << 20) || !DecodeViewerHistory(bytes, record)) return 0;
  gUnitFlag = record.unitFlag;
  gViewerHistory.record = std::move(record);
  gViewerHistory.recentChanged = true;
  return 1;
}

int WriteViewerHistory() {
  ViewerHistory& record = gViewerHistory.record;
  if (AddViewerRecentProject(record, gProject.path)) gViewerHistory.recentChanged = true;
  record.unitFlag = gUnitFlag;
  const std::string path = ViewerHistoryPath(GetStartDirectory());
  if (path.empty()) return 0;
  SafeFileWriter writer(path);
  const std::vector<uint8_t> bytes = EncodeViewerHistory(record);
  return writer.IsOpen() && writer.Bytes(bytes.data(), bytes.size()) && writer.Commit() ? 1 : 0;
}
