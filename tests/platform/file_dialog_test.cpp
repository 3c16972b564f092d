// File dialogs: filters match without regard to case, in the matcher and in
// the real dialog's listing; the seam's answers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/file_dialog.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"

using namespace platform;

namespace {

TEST(FileFilterTest, PatternsMatchWithoutRegardToCase) {
  struct Case {
    const char* patterns;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.kpr", "HALL.KPR", true},
      {"*.kpr", "hall.kpr", true},
      {"*.KPR", "Hall.Kpr", true},
      {"*.kpr", "hall.kpr.bak", false},
      {"*.kpr", "hallkpr", false},
      {"*.*", "README", false},
      {"*.*", "a.b", true},
      {"*.kpr;*.kab", "BASE.KAB", true},
      {"*.kpr;*.kab", "x.txt", false},
      {"lev_??.bmp", "LEV_07.BMP", true},
      {"lev_??.bmp", "LEV_7.BMP", false},
      {"*", "", true},
      {"", "anything", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchesFileFilter(c.patterns, c.name), c.matches) << c.patterns << " " << c.name;
}

using FileDialogTest = PlatformTest;

// The real dialog, as the user sees it: "*.kpr" lists both spellings, the
// second filter everything; a chosen name comes back as a full path with
// the offset of its name.
TEST_F(FileDialogTest, TheRealDialogListsBothCasesAndReturnsThePathAndNameOffset) {
  namespace fs = std::filesystem;
  fs::path folder = fs::path(::testing::TempDir()) / ("korvane_file_dialog_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "sub");
  for (const char* name : {"HALL.KPR", "hall.kpr", "notes.txt"}) std::ofstream(folder / name) << "x";

  test::FileDialogScript script;
  std::vector<std::string> first, second;
  script.Look([&](test::FileDialogUser& user) {
    first = user.Shown();
    user.ChooseFilter(2);
    second = user.Shown();
    user.Choose("hall.kpr");
  });
  FileDialogRequest request;
  request.owner = window_;
  request.filters = {{"Korvane Project", "*.kpr"}, {"All files", "*"}};
  request.folder = folder.string();
  ChosenFile chosen;
  EXPECT_EQ(ShowOpenDialog(request, chosen), FileDialogResult::kChosen);
  std::sort(first.begin(), first.end());
  std::sort(second.begin(), second.end());
  EXPECT_EQ(first, (std::vector<std::string>{"HALL.KPR", "hall.kpr"}));
  EXPECT_EQ(second, (std::vector<std::string>{"HALL.KPR", "hall.kpr", "notes.txt"}));
  EXPECT_EQ(chosen.path, (folder / "hall.kpr").string());
  EXPECT_EQ(chosen.path.substr(0, chosen.nameOffset), folder.string() + "/");
  EXPECT_EQ(chosen.path.substr(chosen.nameOffset), "hall.kpr");
  fs::remove_all(folder);
}

// Where no window system hands the focus back, the keys still go where they
// went before the dialog, as after a dialog from a template.
TEST_F(FileDialogTest, TheKeysGoBackToTheWindowThatHadThemWhenTheDialogCloses) {
  SetFocus(window_);
  Pump();
  ASSERT_EQ(GetFocus(), window_);
  test::FileDialogScript script;
  script.Look([&](test::FileDialogUser& user) { user.Cancel(); });
  FileDialogRequest request;
  request.owner = window_;
  ChosenFile chosen;
  EXPECT_EQ(ShowOpenDialog(request, chosen), FileDialogResult::kCancelled);
  Pump();
  EXPECT_EQ(GetFocus(), window_);
}

TEST_F(FileDialogTest, TheScriptAnswersInTurnAndThenCancels) {
  test::FileDialogScript script;
  script.Choose("/data/rooms/HALL.KPR");
  script.Fail();
  FileDialogRequest request;
  request.filters = {{"Korvane Project", "*.kpr"}};
  request.fileName = "PROJECT1.KPR";
  ChosenFile chosen;
  EXPECT_EQ(ShowSaveDialog(request, chosen), FileDialogResult::kChosen);
  EXPECT_EQ(chosen.path, "/data/rooms/HALL.KPR");
  EXPECT_EQ(chosen.nameOffset, 12u);
  EXPECT_EQ(ShowOpenDialog(request, chosen), FileDialogResult::kFailed);
  EXPECT_EQ(ShowOpenDialog(request, chosen), FileDialogResult::kCancelled);
  ASSERT_EQ(script.dialogs().size(), 3u);
  EXPECT_TRUE(script.dialogs()[0].save);
  EXPECT_EQ(script.dialogs()[0].request.fileName, "PROJECT1.KPR");
  EXPECT_FALSE(script.dialogs()[1].save);
}

}  // namespace
