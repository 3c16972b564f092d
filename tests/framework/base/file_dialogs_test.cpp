// The framework's open and save dialogs over the file-dialog seam: the
// remembered folder and name, the save dialog's default title, cancel and
// failure.
#include <gtest/gtest.h>

#include "framework/base/drawing_layer.h"
#include "framework/base/file_dialogs.h"
#include "framework/core/file_dialog_state.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

class FileDialogsTest : public FrameworkTest {
 protected:
  void SetUp() override { FrameworkTest::SetUp(); }
};

TEST_F(FileDialogsTest, OpeningAFileRemembersItsFolderAndName) {
  platform::test::FileDialogScript script;
  script.Choose("/data/rooms/HALL.KPR");
  SetDialogDirectory("/data/start/");
  EXPECT_EQ(OpenFileDialog("Korvane Project|*.kpr|", "PROJECT1.KPR"), 1);
  EXPECT_EQ(GetDialogDirectory(), "/data/rooms/");
  EXPECT_EQ(GetDialogFileName(), "HALL.KPR");
  EXPECT_EQ(GetDialogDirectory() + GetDialogFileName(), "/data/rooms/HALL.KPR");
  ASSERT_EQ(script.dialogs().size(), 1u);
  const platform::FileDialogRequest& asked = script.dialogs()[0].request;
  EXPECT_FALSE(script.dialogs()[0].save);
  ASSERT_EQ(asked.filters.size(), 1u);
  EXPECT_EQ(asked.filters[0].description, "Korvane Project");
  EXPECT_EQ(asked.filters[0].patterns, "*.kpr");
  EXPECT_EQ(asked.filterIndex, 1);
  EXPECT_EQ(asked.folder, "/data/start/");
  EXPECT_EQ(asked.fileName, "PROJECT1.KPR");
  EXPECT_EQ(asked.owner, MainWindow.window);
}

TEST_F(FileDialogsTest, CancelIsSilentAndAFailureSaysSoOnlyWhenOpening) {
  platform::test::FileDialogScript script;
  script.Cancel();
  script.Fail();
  script.Fail();
  SetDialogDirectory("/kept/");
  MessageRecorder recorder;
  EXPECT_EQ(OpenFileDialog("*.KAB|*.kab|", nullptr), 0);
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(OpenFileDialog("*.KAB|*.kab|", nullptr), 0);
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].text, "File Selection Error");
  EXPECT_FALSE(recorder.messages()[0].hasCaption);
  EXPECT_EQ(recorder.messages()[0].flags, unsigned(kMsgIconStop));
  EXPECT_EQ(SaveFileDialog("*.KAB|*.kab|", nullptr), 0);
  EXPECT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(GetDialogDirectory(), "/kept/");
}

TEST_F(FileDialogsTest, TheSaveDialogStartsWithTheDefaultsFileTitleWhenItFits) {
  struct Case {
    const char* defaultName;
    const char* shown;
  } cases[] = {
      {"/data/rooms/HALL.KPR", "HALL.KPR"},
      {"ABCDEFGHIJKLMNO.KPR", "ABCDEFGHIJKLMNO.KPR"},  // 19 characters
      {"/x/ABCDEFGHIJKLMNOP.KPR", ""},                 // 20
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    platform::test::FileDialogScript script;
    script.Choose("/out/NEW.KPR");
    EXPECT_EQ(SaveFileDialog("Korvane Project|*.kpr|", c.defaultName), 1);
    ASSERT_EQ(script.dialogs().size(), 1u);
    EXPECT_TRUE(script.dialogs()[0].save);
    EXPECT_EQ(script.dialogs()[0].request.fileName, c.shown) << (c.defaultName ? c.defaultName : "none");
  }
  EXPECT_EQ(GetDialogDirectory() + GetDialogFileName(), "/out/NEW.KPR");
}

}  // namespace
