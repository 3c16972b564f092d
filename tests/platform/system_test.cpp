// System services, resources, cursors, the test clock and the numeric locale.
#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/application.h"
#include "platform/drawing.h"
#include "platform/resources.h"
#include "platform/system.h"
#include "platform/test_seams.h"
#include "tests/support/comma_locale.h"
#include "tests/support/gui_fixture.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

using SystemTest = PlatformTest;

void WriteFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST_F(SystemTest, FilesAreCopiedDeletedSizedAndFoundWithoutRegardToCase) {
  fs::path dir = fs::path(::testing::TempDir()) / ("korvane_system_test_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string project = (dir / "Hall1.KPR").string();
  WriteFile(project, "12345");
  EXPECT_TRUE(FileExists(project));
  EXPECT_EQ(FileSize(project), 5);
  EXPECT_EQ(FileSize((dir / "none").string()), -1);
  std::string backup = (dir / "Hall1_old.KPR").string();
  WriteFile(backup, "old old old");
  EXPECT_TRUE(CopyFileOverwrite(project, backup));
  EXPECT_EQ(FileSize(backup), 5);
  EXPECT_TRUE(DeleteFile(backup));
  EXPECT_FALSE(DeleteFile(backup));
  EXPECT_FALSE(CopyFileOverwrite((dir / "none").string(), backup));
  fs::remove_all(dir);
}

TEST_F(SystemTest, TheStartFolderIsTheCurrentFolderAtStart) {
  EXPECT_FALSE(StartDirectory().empty());
  EXPECT_TRUE(fs::is_directory(StartDirectory()));
}

TEST_F(SystemTest, TheTestClockSetsTicksAndLocalTime) {
  std::tm day{};
  day.tm_year = 124;
  day.tm_mon = 2;
  day.tm_mday = 9;
  day.tm_hour = 14;
  day.tm_min = 30;
  day.tm_isdst = -1;
  std::time_t when = std::mktime(&day);
  test::SetClock(1000, when);
  EXPECT_EQ(TickCount(), 1000u);
  test::AdvanceClock(2500);
  EXPECT_EQ(TickCount(), 3500u);
  std::tm now = LocalTime();
  EXPECT_EQ(now.tm_hour, 14);
  EXPECT_EQ(now.tm_min, 30);
  EXPECT_EQ(now.tm_sec, 2);
  test::UseRealClock();
  std::uint32_t a = TickCount();
  EXPECT_GE(TickCount(), a);
}

TEST_F(SystemTest, TheWaitCursorIsTheOneApplicationWideOverride) {
  EXPECT_FALSE(IsWaitCursorOn());
  EXPECT_FALSE(SetWaitCursor(true));
  EXPECT_TRUE(IsWaitCursorOn());
  EXPECT_EQ(test::ShownCursor(window_), CursorShape::kWait);
  EXPECT_TRUE(SetWaitCursor(false));
  EXPECT_EQ(test::ShownCursor(window_), CursorShape::kArrow);
}

TEST_F(SystemTest, ResourcesLoadByNameAndMissingOnesGiveNone) {
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(LoadRcData(instance_, "SAMPLE", bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x4B, 0x4F, 0x52, 0x00, 0x01, 0x02, 0xFF}));
  EXPECT_FALSE(LoadRcData(instance_, "NOBLOCK", bytes));
  Bitmap lev = LoadBitmap(instance_, "LEV_15");
  ASSERT_NE(lev, Bitmap::kNone);
  EXPECT_EQ(GetBitmapSize(lev).width, 8);
  EXPECT_EQ(LoadBitmap(instance_, "NOPE"), Bitmap::kNone);
  EXPECT_TRUE(HasIcon(instance_, "SMOKE"));
  EXPECT_FALSE(HasIcon(instance_, "KSB"));
  // Another program's instance sees its own folder only.
  Instance other = StartApplication("nothing");
  EXPECT_FALSE(LoadRcData(other, "SAMPLE", bytes));

  // A pattern brush repeats the bitmap's 8 by 8 pixels.
  Brush pattern = CreatePatternBrush(LoadBitmap(instance_, "LEV_00"));
  FillRect(context_, {0, 0, 16, 16}, pattern);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(test::SurfacePixel(window_, x, y), test::SurfacePixel(window_, x + 8, y + 8));
  int black = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) black += test::SurfacePixel(window_, x, y) == 0;
  EXPECT_EQ(black, 4);
}

// The toolkit takes the user's locale when it starts; numbers must still be
// written and read with '.'. Runs in a fresh process that starts the toolkit
// under a locale with a decimal comma.
TEST(NumericLocaleDeathTest, StaysCAfterTheToolkitStartsUnderACommaLocale) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::string why;
  const std::string locale = CommaLocaleName(why);
  if (locale.empty()) GTEST_SKIP() << why;
  EXPECT_EXIT(
      {
        setenv("LC_ALL", locale.c_str(), 1);
        StartApplication("smoke");
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", 2.5);
        double read = 0;
        bool ok = std::string(text) == "2.50" && std::sscanf("1.25", "%lf", &read) == 1 && read == 1.25 &&
                  std::string(std::setlocale(LC_NUMERIC, nullptr)) == "C" &&
                  std::string(std::setlocale(LC_CTYPE, nullptr)) != "C";  // the toolkit did take the locale
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
