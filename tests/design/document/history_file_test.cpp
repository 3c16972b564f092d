#include "design/document/history_file.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A history file written by hand from the layout.
std::vector<uint8_t> HistoryBytes(uint32_t unit, const std::vector<std::pair<size_t, std::string>>& texts) {
  std::vector<uint8_t> bytes(4096, 0);
  bytes[0] = uint8_t(unit);
  for (const auto& [offset, text] : texts) std::memcpy(&bytes[offset], text.data(), text.size());
  return bytes;
}

TEST(HistoryFileTest, EncodesTheLayoutByteForByte) {
  HistoryRecord record;
  record.unitFlag = 1;
  record.projectFolder = "/halls/";
  record.speakerDatabaseFolder = "/speakers/";
  record.absorberDatabaseFolder = "/materials/";
  record.audioFolder = "/audio/";
  record.recent = {"/halls/B.KPR", "/halls/A.KPR", "", ""};
  const std::vector<uint8_t> expected = HistoryBytes(1, {{2048, "/halls/"},
                                                         {2304, "/speakers/"},
                                                         {2560, "/materials/"},
                                                         {2816, "/audio/"},
                                                         {3072, "/halls/B.KPR"},
                                                         {3328, "/halls/A.KPR"}});
  EXPECT_EQ(EncodeHistory(record), expected);
  HistoryRecord read;
  ASSERT_TRUE(DecodeHistory(expected, read));
  EXPECT_EQ(read, record);
  EXPECT_EQ(read.RecentCount(), 2);
}

TEST(HistoryFileTest, ReadingIsBoundedAndClosesGapsInTheRecentList) {
  std::vector<uint8_t> bytes = HistoryBytes(7, {{3328, "/b.KPR"}, {3840, "/d.KPR"}});
  // The project folder fills its field without a NUL: it is not taken.
  std::memset(&bytes[2048], 'x', 256);
  HistoryRecord record;
  record.audioFolder = "/old/";
  ASSERT_TRUE(DecodeHistory(bytes, record));
  EXPECT_EQ(record.unitFlag, 1u);
  EXPECT_EQ(record.projectFolder, "");
  EXPECT_EQ(record.audioFolder, "");
  EXPECT_EQ(record.recent, (std::array<std::string, 4>{"/b.KPR", "/d.KPR", "", ""}));

  // A short file is no history: the record stays.
  bytes.resize(4095);
  EXPECT_FALSE(DecodeHistory(bytes, record));
  EXPECT_EQ(record.recent[0], "/b.KPR");
}

TEST(HistoryFileTest, APathThatWouldNotFitIsWrittenEmpty) {
  HistoryRecord record;
  record.projectFolder = std::string(255, 'a');
  record.recent[0] = "/" + std::string(255, 'b');
  HistoryRecord read;
  ASSERT_TRUE(DecodeHistory(EncodeHistory(record), read));
  EXPECT_EQ(read.projectFolder, record.projectFolder);
  EXPECT_EQ(read.RecentCount(), 0);
}

TEST(HistoryFileTest, OpeningAProjectPutsItFirst) {
  using Recent = std::array<std::string, 4>;
  struct Case {
    std::string name;
    Recent before;
    std::string path;
    Recent after;
    bool changed;
  };
  const Case cases[] = {
      {"entry 2 moves up", {"a", "b", "c", "d"}, "c", {"c", "a", "b", "d"}, true},
      {"a fifth drops the oldest", {"a", "b", "c", "d"}, "e", {"e", "a", "b", "c"}, true},
      {"the first stays", {"a", "b", "", ""}, "a", {"a", "b", "", ""}, false},
      {"into an empty list", {"", "", "", ""}, "a", {"a", "", "", ""}, true},
      {"the later of two counts", {"a", "x", "b", "x"}, "x", {"x", "a", "x", "b"}, true},
      {"compared exactly", {"a.KPR", "", "", ""}, "a.kpr", {"a.kpr", "a.KPR", "", ""}, true},
      {"the new project is not listed", {"a", "", "", ""}, "PROJECT1.KPR", {"a", "", "", ""}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HistoryRecord record;
    record.recent = c.before;
    EXPECT_EQ(PushRecentProject(record, c.path), c.changed);
    EXPECT_EQ(record.recent, c.after);
  }
}

TEST(HistoryFileTest, TheFileIsWrittenWholeAndReadBack) {
  const fs::path dir = fs::temp_directory_path() / ("korvane_history_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / kHistoryFileName).string();
  HistoryRecord record;
  EXPECT_EQ(LoadHistoryRecord(path, record), 0);
  record.unitFlag = 1;
  record.recent[0] = "/x/HALL.KPR";
  ASSERT_EQ(StoreHistoryRecord(path, record), 1);
  EXPECT_EQ(fs::file_size(path), 4096u);
  HistoryRecord read;
  EXPECT_EQ(LoadHistoryRecord(path, read), 1);
  EXPECT_EQ(read, record);
  // A file of another program's history, too short, leaves the record.
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "short";
  EXPECT_EQ(LoadHistoryRecord(path, read), 0);
  EXPECT_EQ(read, record);
  fs::remove_all(dir);
}

}  // namespace
