// kv's 516-byte history record: its layout, the recent list's rules, the
// path beside the start folder, and the unit commands that alone write it.
#include "viewer/viewer_history.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "design/commands/command_ids.h"
#include "design/model/project.h"
#include "framework/base/framework_windows.h"
#include "framework/core/byte_codec.h"
#include "framework/core/geometry.h"
#include "framework/view/view_panel.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/viewer/kv_fixture.h"

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
  return bytes;
}

TEST(ViewerHistoryRecord, IsFourFieldsOf128BytesAndTheUnitFlagAt512) {
  ViewerHistory record;
  record.recent = {"/a/HALL.KPR", "/b/X.KPR", "", ""};
  record.unitFlag = 1;
  std::vector<uint8_t> expected(516, 0);
  const std::string first = "/a/HALL.KPR", second = "/b/X.KPR";
  std::copy(first.begin(), first.end(), expected.begin());
  std::copy(second.begin(), second.end(), expected.begin() + 128);
  expected[512] = 1;
  EXPECT_EQ(EncodeViewerHistory(record), expected);

  ViewerHistory read;
  ASSERT_TRUE(DecodeViewerHistory(expected, read));
  EXPECT_EQ(read, record);
  // A short file leaves the record as it was.
  EXPECT_FALSE(DecodeViewerHistory(std::span(expected).first(515), read));
  EXPECT_EQ(read, record);
  // A field without its NUL gives its first 127 characters.
  std::vector<uint8_t> full(516, 'x');
  ASSERT_TRUE(DecodeViewerHistory(full, read));
  EXPECT_EQ(read.recent[3], std::string(127, 'x'));
  EXPECT_EQ(read.unitFlag, 1u);
}

TEST(ViewerHistoryRecord, ANewPathGoesFirstAListedOneStaysWhereItIs) {
  ViewerHistory record;
  record.recent = {"A", "B", "C", "D"};
  EXPECT_TRUE(AddViewerRecentProject(record, "E"));
  EXPECT_EQ(record.recent, (std::array<std::string, 4>{"E", "A", "B", "C"}));
  EXPECT_FALSE(AddViewerRecentProject(record, "B"));
  EXPECT_EQ(record.recent, (std::array<std::string, 4>{"E", "A", "B", "C"}));
  EXPECT_FALSE(AddViewerRecentProject(record, kDefaultProjectPath));
  EXPECT_FALSE(AddViewerRecentProject(record, ""));
  EXPECT_EQ(record.recent, (std::array<std::string, 4>{"E", "A", "B", "C"}));

  // A long path is kept cut, and found again as it was kept.
  const std::string longPath = "/" + std::string(200, 'p') + ".KPR";
  EXPECT_TRUE(AddViewerRecentProject(record, longPath));
  EXPECT_EQ(record.recent[0], longPath.substr(0, 127));
  EXPECT_FALSE(AddViewerRecentProject(record, longPath));
  EXPECT_EQ(record.recent[1], "E");
}

TEST(ViewerHistoryRecord, LiesBesideTheStartFolderNeverAtKdnsFile) {
  EXPECT_EQ(ViewerHistoryPath("/apps"), "/appsHISTORY.KDN");
  EXPECT_EQ(ViewerHistoryPath("/"), "");
  EXPECT_EQ(ViewerHistoryPath("/apps/"), "");
}

class ViewerHistoryTest : public KvTest {};

TEST_F(ViewerHistoryTest, AMissingFileGivesMetresAndNothingIsWrittenButByTheUnitCommands) {
  StartWithCalculatedHall();
  EXPECT_EQ(gUnitFlag, 0u);
  EXPECT_EQ(gViewerHistory.record.RecentCount(), 0);
  // Opening a project writes no history.
  EXPECT_FALSE(std::filesystem::exists(HistoryPath()));

  Command(kCmdUnitFeet);
  ViewerHistory written;
  ASSERT_TRUE(DecodeViewerHistory(FileBytes(HistoryPath()), written));
  EXPECT_EQ(FileBytes(HistoryPath()).size(), 516u);
  EXPECT_EQ(written.unitFlag, 1u);
  EXPECT_EQ(written.recent[0], Path("HALL_CALC.KPR"));
  // kdn's history in the start folder is not kv's.
  EXPECT_FALSE(std::filesystem::exists(Path("HISTORY.KDN")));
  // Nor is it written when the program ends.
  std::filesystem::remove(HistoryPath());
  platform::DestroyWindow(MainWindow.window);
  EXPECT_FALSE(std::filesystem::exists(HistoryPath()));
}

TEST_F(ViewerHistoryTest, TheStartReadsTheUnitAndAListedProjectDoesNotMove) {
  ViewerHistory stored;
  stored.recent = {"/x/ONE.KPR", Path("HALL_CALC.KPR"), "", ""};
  stored.unitFlag = 1;
  {
    const std::vector<uint8_t> bytes = EncodeViewerHistory(stored);
    std::ofstream(HistoryPath(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 516);
  }
  StartWithCalculatedHall();
  EXPECT_EQ(gUnitFlag, 1u);
  EXPECT_EQ(gViewerHistory.record.recent, stored.recent);
  Command(kCmdUnitMetres);
  ViewerHistory written;
  ASSERT_TRUE(DecodeViewerHistory(FileBytes(HistoryPath()), written));
  EXPECT_EQ(written.recent, stored.recent);
  EXPECT_EQ(written.unitFlag, 0u);
}

TEST_F(ViewerHistoryTest, AStartInFeetReadsOutEveryAxisInFeet) {
  ViewerHistory stored;
  stored.unitFlag = 1;
  {
    const std::vector<uint8_t> bytes = EncodeViewerHistory(stored);
    std::ofstream(HistoryPath(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 516);
  }
  Start();
  ASSERT_NE(gViewPanel, platform::Window::kNone);
  // The plan view refreshes X and Y; Z, which it does not show, too is in feet.
  const platform::test::DialogUser panel(gViewPanel);
  for (int id : {201, 202, 203}) EXPECT_EQ(panel.Text(id), "0.00") << id;
}

TEST_F(ViewerHistoryTest, AStartFolderEndingInASlashLeavesKdnsHistoryAlone) {
  std::vector<uint8_t> kdnHistory(4096, 0);
  kdnHistory[0] = 1;
  kdnHistory[3072] = 'K';
  {
    std::ofstream(Path("HISTORY.KDN"), std::ios::binary)
        .write(reinterpret_cast<const char*>(kdnHistory.data()), std::streamsize(kdnHistory.size()));
  }
  platform::test::SetStartDirectory(dir_.string() + "/");
  Start();
  EXPECT_EQ(gUnitFlag, 0u);
  Command(kCmdUnitFeet);
  EXPECT_EQ(FileBytes(Path("HISTORY.KDN")), kdnHistory);
  EXPECT_EQ(WriteViewerHistory(), 0);
  EXPECT_EQ(FileBytes(Path("HISTORY.KDN")), kdnHistory);
}

}  // namespace
