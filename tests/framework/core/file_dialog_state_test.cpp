// The folder and name the last file dialog chose, and forced extensions.
#include "framework/core/file_dialog_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
      {"/p/hall.KPR", "/p/hall.KPR"},    {"/p/hall.kpr", "/p/hall.kpr"},   {"/p/hall.Kpr", "/p/hall.Kpr"},
      {"/p/hall", "/p/hall.KPR"},        {"/p/hall.KP", "/p/hall.KP.KPR"}, {"/p/hall.KPR.bak", "/p/hall.KPR.bak.KPR"},
      {"KPR", "KPR.KPR"},                {"", ".KPR"},
  };
  for (const Case& c : cases) EXPECT_EQ(ForceExtension(c.path, ".KPR"), c.forced) << c.path;
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
