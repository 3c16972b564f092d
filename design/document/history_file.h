// The design program's history file "HISTORY.KDN": what one run hands the
// next: the unit choice, the last folders of the file dialogs and the four
// most recent projects, which the File menu lists.
//
// Layout, exactly 4096 bytes, little-endian, written and read whole:
//   0     u32        unit flag: 0 metres, 1 feet
//   4     2044 bytes zero
//   2048  char[256]  last project folder
//   2304  char[256]  speaker database folder
//   2560  char[256]  absorber database folder
//   2816  char[256]  audio folder
//   3072  4 x char[256]  recent projects, full paths, most recent first; an
//                    empty string marks a free entry
// Every text ends with a NUL inside its field. A text that would not fit is
// written empty rather than cut (a cut path names another place), and a
// field without its NUL is read as empty. Reading moves the entries of the
// recent list up over free ones, so the list the menu shows has no gaps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr char kHistoryFileName[] = "HISTORY.KDN";
constexpr int kRecentProjectCount = 4;
constexpr size_t kHistoryFileSize = 4096;
constexpr size_t kHistoryFieldSize = 256;
constexpr size_t kHistoryFoldersOffset = 2048;
constexpr size_t kHistoryRecentOffset = 3072;

struct HistoryRecord {
  uint32_t unitFlag = 0;  // 0 metres, 1 feet
  std::string projectFolder;
  std::string speakerDatabaseFolder;
  std::string absorberDatabaseFolder;
  std::string audioFolder;
  std::array<std::string, kRecentProjectCount> recent;  // most recent first, free entries last

  int RecentCount() const;
  bool operator==(const HistoryRecord&) const = default;
};

// The 4096 bytes of the record.
std::vector<uint8_t> EncodeHistory(const HistoryRecord& record);
// The record of a history file's bytes (those past 4096 are not looked at);
// false, with `record` as it was, when there are fewer than 4096.
bool DecodeHistory(std::span<const uint8_t> bytes, HistoryRecord& record);

// Puts the project `path` first in the recent list: a path not yet in the
// list pushes the oldest entry out, one already in it (the later of two
// equal ones, compared exactly) moves to the front and the entries before it
// move down one. The new project's default name "PROJECT1.KPR" is never
// listed. True when the list changed.
bool PushRecentProject(HistoryRecord& record, const std::string& path);

// The file at `path`: 1 when read, 0 when it is missing or shorter than its
// size (the record is then as it was).
int LoadHistoryRecord(const std::string& path, HistoryRecord& record);
// 1 when written whole, 0 when it could not be (the old file then stays).
int StoreHistoryRecord(const std::string& path, const HistoryRecord& record);
