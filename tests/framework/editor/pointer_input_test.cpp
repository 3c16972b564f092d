// The cursor point under the mouse in each view, and the keys of a running
// command: Enter, Space and Escape, and the typed points "A", "R" and "P".
#include <gtest/gtest.h>

#include "framework/base/framework_dialogs.h"
#include "framework/editor/pointer_input.h"
#include "platform/application.h"
#include "platform/test_seams.h"
#include "tests/framework/view/view_fixture.h"

namespace {

using platform::test::DialogUser;

class PointerInputTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    gFramework.instance = platform::StartApplication("kdn");
    gView.coordinateSnap = 0;
  }
  void TearDown() override {
    gInput.activeCommand = 0;
    ViewTest::TearDown();
  }
};

TEST_F(PointerInputTest, EachViewSetsTheCoordinatesItShows) {
  struct Case {
    ViewMode mode;
    ObjectVertex expected;
  };
  // 10 pixels right of and 20 above the centre at 5 pixels per metre: two
  // metres along the view's horizontal axis and four along its vertical one.
  const Case cases[] = {{kViewXY, {2, 4, 9}}, {kViewYZ, {9, 2, 4}}, {kViewXZ, {2, 9, 4}}, {kView3D, {9, 9, 9}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Show(c.mode);
    gInput.cursorPoint = {9, 9, 9};
    const int x = int(gView.centreX) + 10, y = int(gView.centreY) - 20;
    TrackMousePosition(x, y);
    EXPECT_EQ(gInput.cursorPixel.x, x);
    EXPECT_EQ(gInput.cursorPixel.y, y);
    EXPECT_NEAR(gInput.cursorPoint.x, c.expected.x, 1e-3);
    EXPECT_NEAR(gInput.cursorPoint.y, c.expected.y, 1e-3);
    EXPECT_NEAR(gInput.cursorPoint.z, c.expected.z, 1e-3);
  }
  // With coordinate snap on the point falls on the snap step.
  Show(kViewXY);
  gView.coordinateSnap = 1;
  gView.snapStep = 0.5f;
  TrackMousePosition(int(gView.centreX) + 13, int(gView.centreY));
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, 2.5f);
}

TEST_F(PointerInputTest, EnterSpaceAndEscapeEndOrCancelTheRunningCommand) {
  gInput.activeCommand = 2302;
  HandleDrawingKey(platform::kKeySpace);
  EXPECT_EQ(gInput.done, 1);
  HandleDrawingKey(platform::kKeyEscape);
  EXPECT_EQ(gInput.cancel, 1);
  // With none running Enter repeats the last command, Escape does nothing.
  ClearRequestFlags();
  gInput.activeCommand = 0;
  gInput.lastCommand = 2302;
  HandleDrawingKey(platform::kKeyEscape);
  HandleDrawingKey(platform::kKeyEnter);
  EXPECT_EQ(gInput.cancel, 0);
  Pump();
  const auto commands = Received(platform::msg::kCommand);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(platform::LowWord(commands[0].wParam), 2302u);
}

TEST_F(PointerInputTest, TypedPointsAreTakenAsAClickIs) {
  Show(kViewYZ);
  gInput.activeCommand = 2302;
  gInput.acceptedPoint = {1, 2, 3};
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_1", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Point relative :");
    EXPECT_EQ(user.Text(104), "0.000");
    user.Type(104, "0,5");
    user.Press(102);
  });
  dialogs.On("DIALOG_2", [](DialogUser& user) {
    user.Type(101, "2");
    user.Type(102, "90");
    user.Press(103);
  });
  dialogs.On("DIALOG_1", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Point absolute :");
    EXPECT_EQ(user.Text(106), "3.000");
    user.Press(103);
  });
  HandleDrawingKey('R');
  EXPECT_TRUE(gInput.pickFlag);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, 1.5f);
  // In the side view the polar offset lies in the y-z plane.
  gInput.pickFlag = false;
  HandleDrawingKey('P');
  EXPECT_NEAR(gInput.cursorPoint.y, 2, 1e-5);
  EXPECT_NEAR(gInput.cursorPoint.z, 5, 1e-5);
  EXPECT_EQ(gInput.cursorPixel.x, WorldToScreen(gInput.cursorPoint.y, kAxisHorizontal));
  // Cancel leaves the cursor and the wait alone.
  gInput.pickFlag = false;
  HandleDrawingKey('A');
  EXPECT_FALSE(gInput.pickFlag);
  EXPECT_NEAR(gInput.cursorPoint.z, 5, 1e-5);
  // Without a running command the letters type nothing.
  gInput.activeCommand = 0;
  HandleDrawingKey('A');
  EXPECT_EQ(dialogs.opened().size(), 3u);
}

}  // namespace
