// kdn's File/Open and the recent projects on the example hall: the undo
// history goes only when another project has been read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "framework/model/undo_ring.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

class ProjectCommandsTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
  }
};

TEST_F(ProjectCommandsTest, TheUndoHistoryStaysUntilAProjectIsRead) {
  TakeUndoSnapshot();
  ASSERT_TRUE(CanUndo());
  // File/Open cancelled in its dialog.
  {
    platform::test::FileDialogScript files;
    files.Cancel();
    Command(kCmdOpenProject);
  }
  EXPECT_TRUE(CanUndo());
  // A recent project whose file has gone.
  gDesignShell.history.recent[1] = Path("GONE.KPR");
  {
    MessageRecorder messages;
    Command(kCmdRecentProject + 1);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Can\xB4t locate file"});
  }
  EXPECT_TRUE(CanUndo());
  EXPECT_EQ(CountOnLayer(kRoomLayer), 8);
  // A project read: its history starts afresh.
  platform::test::FileDialogScript files;
  files.Choose(Path("HALL.KPR"));
  Command(kCmdOpenProject);
  EXPECT_FALSE(CanUndo());
}

}  // namespace
