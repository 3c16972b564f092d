// The folder and name the last file dialog chose, and forced extensions.
#include "framework/core/file_dialog_state.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/core/text_encoding.h"

namespace {

TEST(FileDialogState, AChosenFolderAndNameJoinIntoThePathEvenWhenLong) {
  ResetFileDialogState();
  std::string folder = "/home/engineer/";
  for (int i = 0; i < 30; ++i) folder += "projects_" + std::to_string(i) + "/";
  ASSERT_GT(folder.size(), 256u);
  SetDialogDirectory(folder);
  SetDialogFileName("Hall1.KPR");
  EXPECT_EQ(GetDialogDirectory() + GetDialogFileName(), folder + "Hall1.KPR");
  ResetFileDialogState();
  EXPECT_EQ(GetDialogDirectory(), "");
  EXPECT_EQ(GetDialogFileName(), "");
}

TEST(FileDialogState, AnExtensionIsAddedUnlessThePathEndsWithItInAnyCase) {
  struct Case {
    const char* path;
    const char* forced;
  } cases[] = {
      {"/p/hall.KPR", "/p/hall.KPR"},
      {"/p/hall.kpr", "/p/hall.kpr"},
      {"/p/hall.Kpr", "/p/hall.Kpr"},
      {"/p/hall", "/p/hall.KPR"},
      {"/p/hall.KP", "/p/hall.KP.KPR"},
      {"/p/hall.KPR.bak", "/p/hall.KPR.bak.KPR"},
      {"KPR", "KPR.KPR"},
      {"", ".KPR"},
  };
  for (const Case& c : cases) EXPECT_EQ(ForceExtension(c.path, ".KPR"), c.forced) << c.path;
}

TEST(FileDialogState, FolderOfAPathKeepsItsSlash) {
  EXPECT_EQ(FolderOfPath("/data/hall.KSB"), "/data/");
  EXPECT_EQ(FolderOfPath("hall.KSB"), "");
  EXPECT_EQ(FolderOfPath("/hall.KSB"), "/");
}

TEST(FileDialogState, FilesAreFoundWithoutRegardToCase) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("korvane_find_" + std::to_string(::getpid()));
  fs::create_directories(dir / "SUB.TCF");
  std::ofstream(dir / "Horn12.tcf") << "x";
  const std::string folder = dir.string() + "/";
  EXPECT_EQ(FindFileIgnoringCase(folder + "Horn12.tcf"), folder + "Horn12.tcf");
  EXPECT_EQ(FindFileIgnoringCase(folder + "HORN12.TCF"), folder + "Horn12.tcf");
  EXPECT_EQ(FindFileIgnoringCase(folder + "horn12.Tcf"), folder + "Horn12.tcf");
  EXPECT_EQ(FindFileIgnoringCase(folder + "horn1.tcf"), "");
  EXPECT_EQ(FindFileIgnoringCase(folder + "sub.tcf"), "");  // a folder is no file
  EXPECT_EQ(FindFileIgnoringCase(folder + "missing/horn12.tcf"), "");
  EXPECT_EQ(FindFolderIgnoringCase(folder + "sub.tcf"), folder + "SUB.TCF/");
  EXPECT_EQ(FindFolderIgnoringCase(folder + "SUB.TCF"), folder + "SUB.TCF/");
  EXPECT_EQ(FindFolderIgnoringCase(folder + "horn12.tcf"), "");  // a file is no folder
  EXPECT_EQ(FindFolderIgnoringCase(folder + "missing"), "");
  // One file by two paths, and one path not there yet.
  EXPECT_TRUE(IsSameFile(folder + "Horn12.tcf", folder + "SUB.TCF/../Horn12.tcf"));
  EXPECT_TRUE(IsSameFile(folder + "new.tcf", folder + "./new.tcf"));
  EXPECT_FALSE(IsSameFile(folder + "Horn12.tcf", folder + "HORN12.TCF"));
  EXPECT_FALSE(IsSameFile(folder + "Horn12.tcf", ""));
  fs::remove_all(dir);
  // Only ASCII letters fold: "\xC4" (A umlaut) and "\xE4" stay different.
  EXPECT_TRUE(EqualIgnoringCase("Horn12", "hORN12"));
  EXPECT_FALSE(EqualIgnoringCase("\xC4", "\xE4"));
  EXPECT_FALSE(EqualIgnoringCase("Horn", "Horn1"));
}

TEST(FileDialogState, AFilterStringSplitsIntoPairs) {
  struct Case {
    const char* filter;
    std::vector<FilterPair> pairs;
  } cases[] = {
      {"Korvane Project|*.kpr|", {{"Korvane Project", "*.kpr"}}},
      {"*.KAB|*.kab|", {{"*.KAB", "*.kab"}}},
      {"Projects|*.kpr;*.kp2|All files|*.*", {{"Projects", "*.kpr;*.kp2"}, {"All files", "*.*"}}},
      {"Dangling|", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    std::vector<FilterPair> pairs = SplitFilter(c.filter);
    ASSERT_EQ(pairs.size(), c.pairs.size()) << c.filter;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      EXPECT_EQ(pairs[i].description, c.pairs[i].description) << c.filter;
      EXPECT_EQ(pairs[i].patterns, c.pairs[i].patterns) << c.filter;
    }
  }
}

}  // namespace
