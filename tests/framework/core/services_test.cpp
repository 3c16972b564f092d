// The core services: the console defaults, installing and restoring a table,
// and the test main's rule that an unrecorded message fails its test.
#include "framework/core/services.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"

namespace {

TEST(CoreServicesTest, AMessageNobodyRecordsFailsTheTestAndNamesIt) {
  EXPECT_NONFATAL_FAILURE(ShowMessage("Invalid file format !", nullptr, kMsgOk),
                          "unexpected message \"Invalid file format !\"");
}

TEST(CoreServicesTest, TheConsoleDefaultsAnswerWithTheFirstButtonAndNeverCancel) {
  const MessageHandler unexpected = SetMessageHandler(nullptr);  // reach the installed service itself
  EXPECT_EQ(ShowMessage("Calculating", "Note", kMsgOkCancel), kIdOk);
  SetMessageHandler(unexpected);
  EXPECT_EQ(BeginProgress("Calculation Status :", "0 %", "Cancel"), 1);
  EXPECT_EQ(ReportProgress(50, "50 %"), 0);
  EndProgress();
  const uint32_t before = ServiceTickCount();
  EXPECT_GE(ServiceTickCount(), before);
}

TEST(CoreServicesTest, AnInstalledTableServesUntilTheOneBeforeComesBack) {
  {
    FakeServices services;
    services.clock = 700;
    services.cancelAtUpdate = 2;
    EXPECT_EQ(ServiceTickCount(), 700u);
    EXPECT_EQ(BeginProgress("Working", "", "Cancel"), 1);
    EXPECT_EQ(BeginProgress("Another", "", nullptr), 0);  // one progress window at a time
    EXPECT_EQ(ReportProgress(10, ""), 0);
    EXPECT_EQ(ReportProgress(20, ""), 1);
    EndProgress();
    {
      WaitCursorScope outer;
      WaitCursorScope inner;
      EXPECT_EQ(services.waitDepth, 2);
    }
    EXPECT_EQ(services.waitDepth, 0);
    RequestRedraw();
    EXPECT_EQ(services.redraws, 1);
    EXPECT_EQ(services.percents, (std::vector<int>{10, 20}));
  }
  // The console defaults again: nothing cancels.
  EXPECT_EQ(ReportProgress(20, ""), 0);
}

TEST(CoreServicesTest, ARecorderTakesMessagesBeforeTheService) {
  MessageRecorder recorder;
  recorder.Answer(kIdCancel);
  EXPECT_EQ(ShowMessage("Current project status has not been saved", "WARNING", kMsgOkCancel), kIdCancel);
  ASSERT_EQ(recorder.messages().size(), 1u);
  EXPECT_EQ(recorder.messages()[0].caption, "WARNING");
}

}  // namespace
