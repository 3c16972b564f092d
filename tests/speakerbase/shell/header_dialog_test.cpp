// Edit Speaker Header (6110) through "Edit Speaker Data": the fields shown
// and taken back, the decimal comma, the owner test, and OK without a
// change.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/byte_codec.h"
#include "platform/test_seams.h"
#include "speakerbase/record_operations.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_editor.h"
#include "tests/speakerbase/shell/ksb_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

SpeakerDatabase& Db() { return gSpeakerEditor.database; }
const SpeakerType& Current() { return *Db().records[size_t(Db().currentRecordIndex)].type; }

class HeaderDialogTest : public KsbTest {
 protected:
  void SetUp() override {
    KsbTest::SetUp();
    StartWithExample();
    platform::test::SetClock(123456, 0);
  }
  void TearDown() override {
    platform::test::UseRealClock();
    KsbTest::TearDown();
  }
  // Edit Speaker Header with `actions` in its dialog.
  void Edit(std::function<void(platform::test::DialogUser&)> actions) {
    platform::test::DialogScript dialogs;
    dialogs.On("DIALOG_5", std::move(actions));
    Command(kCmdEditSpeakerHeader);
    opened_ = dialogs.opened();
  }
  std::vector<std::string> opened_;
};

TEST_F(HeaderDialogTest, FieldsAreShownAndTypedValuesTakenBackWithTheSessionsStamps) {
  const SpeakerType before = Current();
  std::string power, sensitivity;
  Edit([&](platform::test::DialogUser& user) {
    EXPECT_EQ(user.Text(101), before.Brand());
    EXPECT_EQ(user.Text(102), before.TypeName());
    power = user.Text(401);
    sensitivity = user.Text(501);
    user.Type(102, "RENAMED");
    user.Type(503, "0,5");
    user.Type(402, "1234");
    user.Press(2001);
  });
  EXPECT_EQ(power, "400.0");
  EXPECT_EQ(sensitivity, "94.0");
  const SpeakerType& r = Current();
  EXPECT_EQ(r.TypeName(), "RENAMED");
  EXPECT_FLOAT_EQ(r.Sensitivity(2), 0.5f);
  EXPECT_FLOAT_EQ(r.RatedPower(1), 1234.0f);
  for (int band : {0, 3, 6}) {
    EXPECT_EQ(r.Sensitivity(band), before.Sensitivity(band)) << band;
    EXPECT_EQ(r.RatedPower(band), before.RatedPower(band)) << band;
  }
  EXPECT_EQ(LoadU32(&r.bytes[kTypeOwnerBlock + kOwnerFirstStamp]), 123456u);
  EXPECT_TRUE(Db().modified);
  EXPECT_EQ(Listed()[size_t(Db().currentRecordIndex)], "RENAMED");
}

TEST_F(HeaderDialogTest, ANegativeImpedanceIsRefusedAsAnyInvalidNumberIs) {
  const SpeakerType before = Current();
  Edit([](platform::test::DialogUser& user) {
    user.Type(601, "-8");
    user.Type(602, "x");
    user.Type(603, "16");
    user.Press(2001);
  });
  EXPECT_EQ(Current().Impedance(0), before.Impedance(0));
  EXPECT_EQ(Current().Impedance(1), before.Impedance(1));
  EXPECT_EQ(Current().Impedance(2), 16);
}

TEST_F(HeaderDialogTest, OkWithoutAChangeOrCancelLeavesTheRecordAsItWas) {
  const SpeakerType before = Current();
  Edit([](platform::test::DialogUser& user) { user.Press(2001); });
  EXPECT_EQ(Current().bytes, before.bytes);
  Edit([](platform::test::DialogUser& user) {
    user.Type(101, "Another Brand");
    user.Press(2002);
  });
  EXPECT_EQ(Current().bytes, before.bytes);
  EXPECT_FALSE(Db().modified);
}

TEST_F(HeaderDialogTest, ARecordOfAnotherOwnerIsRefused) {
  // The record was made in a session with another password.
  const SessionOwnerBlock other = MakeSessionOwnerBlock("other owner");
  Db().currentRecord = Current();
  AppendNewRecord(Db(), other);
  RebuildRecordSelector(int(Db().records.size()) - 1);
  Db().modified = false;
  const SpeakerType before = Current();
  gSpeakerEditor.session = MakeSessionOwnerBlock("me");
  for (int command : {int(kCmdEditSpeakerHeader), int(kCmdRotate90)}) {
    MessageRecorder messages;
    platform::test::DialogScript dialogs;
    Command(command);
    EXPECT_TRUE(dialogs.opened().empty());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, kAccessDeniedMessage);
    EXPECT_EQ(messages.messages()[0].caption, kAccessDeniedCaption);
  }
  EXPECT_EQ(Current().bytes, before.bytes);
  EXPECT_FALSE(Db().modified);
  // Deleting is not guarded.
  MessageRecorder messages;
  messages.Answer(kIdOk);
  Command(kCmdDeleteSpeaker);
  EXPECT_EQ(Db().records.size(), 2u);
  EXPECT_EQ(Listed().size(), 2u);
}

TEST_F(HeaderDialogTest, RotationsTurnTheBalloonAndFourQuarterTurnsGiveItBack) {
  const SpeakerType before = Current();
  Command(kCmdRotatePlus5);
  EXPECT_EQ(Current().BalloonCode(3, 10, 1), before.BalloonCode(3, 10, 0));
  Command(kCmdRotateMinus5);
  EXPECT_EQ(Current().bytes, before.bytes);
  for (int i = 0; i < 4; ++i) Command(kCmdRotate90);
  EXPECT_EQ(Current().bytes, before.bytes);
  EXPECT_TRUE(Db().modified);
}

}  // namespace
