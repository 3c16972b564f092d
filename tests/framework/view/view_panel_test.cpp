// The view panel: its buttons act as the function keys through the main
// window, and it reads out the cursor and the switches.
#include <gtest/gtest.h>

#include <string>

#include "framework/base/settings_prompts.h"
#include "framework/core/geometry.h"
#include "framework/view/view_keys.h"
#include "framework/view/view_panel.h"
#include "platform/application.h"
#include "platform/dialog.h"
#include "tests/framework/view/view_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

class ViewPanelTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    gFramework.instance = platform::StartApplication("kdn");
    // The main window hands the panel's keys to the view keys, and its own
    // keys to the panel and the view keys.
    onMessage = [](const platform::Message& m) -> platform::LParam {
      if (m.window == MainWindow.window && m.kind == kDrawingKeyMessage) HandleViewKey(unsigned(m.wParam));
      if (m.window == MainWindow.window && m.kind == platform::msg::kKeyDown) {
        platform::PostMessage(gViewPanel, platform::msg::kKeyDown, m.wParam);
        HandleViewKey(unsigned(m.wParam));
      }
      return platform::DefaultWindowProc(m.window, m.kind, m.wParam, m.lParam);
    };
  }
  void TearDown() override {
    ShowViewPanel(0);
    ViewTest::TearDown();
  }
  std::string Readout(int id) const { return platform::GetDialogItemText(gViewPanel, id); }
  bool Checked(int id) const { return platform::IsDialogButtonChecked(gViewPanel, id); }
  void Press(int id) {
    platform::test::DialogUser user(gViewPanel);
    user.Press(id);
    Pump();
  }
};

TEST_F(ViewPanelTest, TheButtonsActAsTheFunctionKeysAndGiveTheFocusBack) {
  gInput.cursorPoint = {1.5f, -2, 0.25f};
  ASSERT_NE(ShowViewPanel(1), platform::Window::kNone);
  EXPECT_TRUE(Checked(104));  // the rotated 3D view
  EXPECT_FALSE(Checked(108));
  EXPECT_TRUE(Checked(109));  // coordinate snap is on
  EXPECT_EQ(Readout(201), "1.500");
  EXPECT_EQ(Readout(202), "-2.000");
  EXPECT_EQ(Readout(203), "0.250");

  Press(101);
  EXPECT_EQ(gView.mode, kViewXY);
  EXPECT_EQ(platform::GetFocus(), MainWindow.window);
  const float scale = gView.scale;
  Press(105);
  EXPECT_FLOAT_EQ(gView.scale, scale / 2);
  Press(108);
  EXPECT_EQ(gDrawing.hiddenFaces, 1);
  Press(110);
  EXPECT_EQ(gView.nodeSnap, 1);

  // The keys themselves re-check the panel.
  platform::test::KeyPress(platform::KeyF(3));
  Pump();
  EXPECT_EQ(gView.mode, kViewXZ);
  EXPECT_TRUE(Checked(103));
  EXPECT_FALSE(Checked(101));
}

// The view buttons keep the panel's bold font; the switches, the print,
// copy and comment buttons and the read-outs are in its normal weight.
TEST_F(ViewPanelTest, TheSwitchesButtonsAndReadoutsAreInTheNormalWeight) {
  ASSERT_NE(ShowViewPanel(1), platform::Window::kNone);
  platform::test::DialogUser panel(gViewPanel);
  for (int id = 101; id <= 107; ++id) EXPECT_TRUE(panel.IsBold(id)) << id;
  for (int id : {108, 109, 110, 111, 112, 113, 201, 202, 203}) EXPECT_FALSE(panel.IsBold(id)) << id;
}

TEST_F(ViewPanelTest, TheReadoutsShowTheAxesOfTheViewInTheUsersUnit) {
  ASSERT_NE(ShowViewPanel(1), platform::Window::kNone);
  gView.mode = kViewYZ;
  gInput.cursorPoint = {9, 1, 2};
  SendViewPanelCommand(kPanelRefreshCoordinates);
  EXPECT_EQ(Readout(201), "0.000");  // x is not shown in the side view
  EXPECT_EQ(Readout(202), "1.000");
  EXPECT_EQ(Readout(203), "2.000");
  gUnitFlag = 1;
  gView.mode = kViewXZ;
  SendViewPanelCommand(kPanelRefreshCoordinates);
  EXPECT_EQ(Readout(201), "29.53");
  EXPECT_EQ(Readout(202), "1.000");
  EXPECT_EQ(Readout(203), "6.56");
  gView.mode = kViewPerspective;
  gDrawing.hiddenFaces = 1;
  SendViewPanelCommand(kPanelRefreshSwitches);
  EXPECT_FALSE(Checked(101) || Checked(102) || Checked(103) || Checked(104));
  EXPECT_TRUE(Checked(108));
}

TEST_F(ViewPanelTest, CommentAsksForTheDrawingComment) {
  ASSERT_NE(ShowViewPanel(1), platform::Window::kNone);
  platform::test::DialogScript script;
  script.On("DIALOG_3", [](platform::test::DialogUser& user) {
    user.Type(105, "Hall 1");
    user.Press(102);
  });
  Press(113);
  EXPECT_EQ(gDrawing.comment, "Hall 1");
}

TEST_F(ViewPanelTest, AProgramWithoutThePanelWorksOnWithoutIt) {
  gFramework.instance = platform::StartApplication("smoke");
  MessageRecorder quiet;
  EXPECT_EQ(ShowViewPanel(1), platform::Window::kNone);
  SendViewPanelCommand(kPanelRefreshSwitches);
  EXPECT_TRUE(quiet.texts().empty());
}

}  // namespace
