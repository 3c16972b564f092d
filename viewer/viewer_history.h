// kv's history record "HISTORY.KDN": the unit choice and the four most
// recent projects, read at the start and written by the unit commands.
//
// Layout, exactly 516 bytes, little-endian, written and read whole:
//   0    4 x char[128]  recent projects, full paths, most recent first; an
//                       empty string marks a free entry
//   512  u32            unit flag: 0 metres, 1 feet
// A path keeps at most 127 characters, so that it ends with a NUL inside
// its field; a field without its NUL is read as its first 127 characters.
//
// The file's path is the start folder's text followed directly by the name,
// without a separator (a start folder /apps gives /appsHISTORY.KDN), so it
// lies beside the start folder and never meets kdn's 4096-byte history in
// it. A start folder whose text ends in '/' would name kdn's own file: kv
// then neither reads nor writes a history.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

constexpr size_t kViewerHistorySize = 516;
constexpr size_t kViewerHistoryFieldSize = 128;
constexpr size_t kViewerUnitFlagOffset = 512;
constexpr int kViewerRecentCount = 4;

struct ViewerHistory {
  std::array<std::string, kViewerRecentCount> recent;  // most recent first
  uint32_t unitFlag = 0;                               // 0 metres, 1 feet

  int RecentCount() const;
  bool operator==(const ViewerHistory&) const = default;
};

// The 516 bytes of the record.
std::vector<uint8_t> EncodeViewerHistory(const ViewerHistory& record);
// The record of a history file's first 516 bytes; false, with `record` as
// it was, when there are fewer.
bool DecodeViewerHistory(std::span<const uint8_t> bytes, ViewerHistory& record);

// The project `path` (cut to 127 characters) goes first when it is in none
// of the four entries, pushing the oldest out; a path already listed stays
// where it is, and "PROJECT1.KPR" is never listed. True when the list
// changed.
bool AddViewerRecentProject(ViewerHistory& record, const std::string& path);

// The history path for the start folder `startFolder`; empty when that
// would be kdn's history file in the folder itself.
std::string ViewerHistoryPath(const std::string& startFolder);

// kv's history state while it runs: the record and whether the recent list
// changed since the menu last looked.
struct ViewerHistoryState {
  ViewerHistory record;
  bool recentChanged = false;
};
extern ViewerHistoryState gViewerHistory;
// Back to the state before start-up.
void ResetViewerHistory();

// Reads the history at the start: the unit flag into the program's unit and
// the recent list into gViewerHistory. 1 when read, 0 when there is no file
// (nothing changes).
int ReadViewerHistory();
// After a unit command: the current project into the recent list (unless it
// is the unnamed one or already listed), the unit flag, then the file
// written whole. 1 when written, 0 when it cannot be created.
int WriteViewerHistory();
