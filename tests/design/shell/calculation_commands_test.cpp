// The Calculate menu on the example hall: the calculation options dialog
// and Level + Time, Save and Load Calculation with the description, and
// Calculate Rays with its prompt, target point and progress.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "design/acoustics/level_map.h"
#include "design/acoustics/reflection_search.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/windows/ray_windows.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/model/layers.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogUser;

class CalculationTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
  }
};

TEST_F(CalculationTest, TheOptionsDialogSetsTheRunAndStartComputesTheMap) {
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_10", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Calculation options");
    // A new project's options: octave bandwidth, nothing of the room, 1 m.
    EXPECT_TRUE(user.IsChecked(102));
    EXPECT_FALSE(user.IsChecked(104));
    EXPECT_TRUE(user.IsChecked(304));
    EXPECT_EQ(user.Text(305), "2 m");
    user.Press(101);
    user.Press(104);
    user.Press(305);
    user.Press(501);
  });
  gProject.modified = 0;
  CommandLeavingResults(kCmdLevelAndTime);
  // A result travels with the project, so exit and New ask before it goes.
  EXPECT_EQ(gProject.modified, 1);
  EXPECT_EQ(gProject.calcOptions.phaseMode, 1);
  EXPECT_EQ(gProject.calcOptions.roomBits, kCalcShading);
  EXPECT_EQ(gProject.calcOptions.gridIndex, 3);
  ASSERT_EQ(gLevelMap.resultPresent, 1);
  // The 14 x 12 m of seats at 2 m: 7 x 6 points.
  EXPECT_EQ(gLevelMap.result.grid.PointCount(), 42u);
  EXPECT_EQ(gLevelMap.result.grid.spacing, 2.0f);
  EXPECT_EQ(gInput.activeCommand, 0);
}

// The run's progress window holds the keys while it is open; once it has
// gone, the function keys reach the drawing again.
TEST_F(CalculationTest, TheFunctionKeysWorkAfterARun) {
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_10", [](DialogUser& user) { user.Press(501); });
  CommandLeavingResults(kCmdLevelAndTime);
  ASSERT_EQ(gLevelMap.resultPresent, 1);
  platform::test::KeyPress(platform::KeyF(4));
  Pump();
  EXPECT_EQ(gView.mode, kView3D);
}

// With every loudspeaker off the command says so and leaves the view as it
// was; with one on, the view is fitted to the room before the grid is laid.
TEST_F(CalculationTest, NoSpeakerSwitchedOnIsToldBeforeTheViewIsFitted) {
  std::vector<GraphicObject*> speakers;
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    if (IsLoudspeakerObject(o)) speakers.push_back(o);
  ASSERT_EQ(speakers.size(), 2u);
  auto switchTo = [&](uint16_t on) {
    for (GraphicObject* o : speakers) {
      Loudspeaker s;
      ReadLoudspeaker(o, s);
      s.on = on;
      WriteLoudspeaker(s, o);
    }
  };
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_10", [](DialogUser& user) { user.Press(501); });
  dialogs.On("DIALOG_10", [](DialogUser& user) { user.Press(501); });
  switchTo(0);
  gView.scale /= 4;
  const float scale = gView.scale;
  {
    MessageRecorder messages;
    Command(kCmdLevelAndTime);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"No speakers to process"});
  }
  EXPECT_EQ(gView.scale, scale);
  EXPECT_EQ(gLevelMap.resultPresent, 0);
  switchTo(1);
  CommandLeavingResults(kCmdLevelAndTime);
  EXPECT_EQ(gLevelMap.resultPresent, 1);
  EXPECT_GT(gView.scale, scale);
}

TEST_F(CalculationTest, CancelKeepsTheChoicesButComputesNothingAndFeetLabelTheGrid) {
  gUnitFlag = 1;
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_10", [](DialogUser& user) {
    EXPECT_EQ(user.Text(304), "  3.3 ft.");
    user.Press(103);
    user.Press(502);
  });
  gProject.modified = 0;
  Command(kCmdLevelAndTime);
  EXPECT_EQ(gProject.calcOptions.phaseMode, 3);
  EXPECT_EQ(gLevelMap.resultPresent, 0);
  EXPECT_EQ(gProject.modified, 0);
}

// Each grid button writes its size index (Cancel keeps it), and the map
// takes that index's spacing; "Minimum" spaces the grid by the seats' area.
TEST_F(CalculationTest, EachGridButtonWritesItsGridSize) {
  const float automatic = float(std::sqrt(AudiencePlanArea(gObjects.model) / kMaxGridPoints) / 0.95);
  const struct Case {
    int button;
    int16_t index;
    float spacing;
  } cases[] = {{301, -1, automatic}, {302, 0, 0.25f}, {303, 1, 0.5f}, {304, 2, 1.0f},
               {305, 3, 2.0f},       {306, 4, 5.0f},  {307, 5, 10.0f}};
  for (const Case& c : cases) {
    platform::test::DialogScript dialogs;
    dialogs.On("DIALOG_10", [&c](DialogUser& user) {
      user.Press(c.button);
      user.Press(502);
    });
    Command(kCmdLevelAndTime);
    EXPECT_EQ(gProject.calcOptions.gridIndex, c.index) << c.button;
    int16_t index = gProject.calcOptions.gridIndex;
    EXPECT_EQ(ChooseGridSpacing(AudiencePlanArea(gObjects.model), index), c.spacing) << c.button;
  }
}

TEST_F(CalculationTest, ASavedCalculationComesBackWithItsDescriptionAsComment) {
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_10", [](DialogUser& user) {
    user.Press(306);  // 5 m
    user.Press(501);
  });
  CommandLeavingResults(kCmdLevelAndTime);
  ASSERT_EQ(gLevelMap.resultPresent, 1);
  const uint32_t points = gLevelMap.result.grid.PointCount();

  gDrawing.comment = "Hall, both mains";
  dialogs.On("DIALOG_3", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Description :");
    EXPECT_EQ(user.Text(105), "Hall, both mains");
    user.Type(105, "Hall at 5 m");
    user.Press(102);
  });
  platform::test::FileDialogScript files;
  files.Choose(Path("map"));
  Command(kCmdSaveCalculation);
  ASSERT_TRUE(std::filesystem::exists(Path("map.KMF")));
  EXPECT_EQ(files.dialogs().back().request.fileName, "*.KMF");

  // A new project holds no result; loading the map asks with its
  // description and makes it the drawing comment.
  gProject.modified = 0;
  Command(kCmdNewProject);
  EXPECT_EQ(gLevelMap.resultPresent, 0);
  EXPECT_EQ(gDrawing.comment, "");
  files.Choose(Path("map.KMF"));
  MessageRecorder messages;
  CommandLeavingResults(kCmdLoadCalculation);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Hall at 5 m");
  EXPECT_EQ(messages.messages()[0].caption, "Description :");
  EXPECT_EQ(gLevelMap.resultPresent, 1);
  EXPECT_EQ(gLevelMap.result.grid.PointCount(), points);
  EXPECT_EQ(gDrawing.comment, "Hall at 5 m");
  EXPECT_EQ(gProject.modified, 1);
}

TEST_F(CalculationTest, RaysAreSearchedToAPickedTargetAndLeaveTheModelAfterwards) {
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_3", [](DialogUser& user) {
    EXPECT_EQ(user.Text(105), "3");
    user.Type(105, "1");
    user.Press(102);
  });
  const platform::Window draw = DrawWindow->window;
  // The plan view's pixel of the seats' middle (15, 0).
  const int x = int(gView.centreX + (15 - gView.originX) * gView.scale);
  const int y = int(gView.centreY - (0 - gView.originY) * gView.scale);
  MessageRecorder messages;
  messages.Answer(kIdCancel);  // no ray file
  RunSteps([&] { Command(kCmdCalculateRays); }, {[&] {
                                                   EXPECT_EQ(gDrawing.prompt, "REFLECTIONS > ");
                                                   platform::test::MouseMove(draw, x, y);
                                                   platform::test::Click(draw, x, y);
                                                 },
                                                 // The reflection windows show the paths until "<-".
                                                 [&] {
                                                   EXPECT_EQ(CountOnLayer(kRayPathLayer), gRaySearch.pathCount);
                                                   platform::test::ClickControl(gRayWindows.backButton);
                                                 }});
  EXPECT_EQ(gRaySearch.orders.maxOrder, 1);
  // Both loudspeakers reach the target directly and by the floor at least.
  EXPECT_GE(gRaySearch.storedPaths, 4u);
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);
  EXPECT_EQ(gDrawing.prompt, "");
  EXPECT_EQ(gInput.activeCommand, 0);
  EXPECT_TRUE(platform::IsWindowVisible(draw));
}

TEST_F(CalculationTest, HelpWithoutACommandOpensTheIndex) {
  platform::test::HelpRecorder help;
  std::ofstream(Path("KDN_E.HLP")) << "<html></html>";
  Command(kCmdHelp);
  ASSERT_EQ(help.opened().size(), 1u);
  EXPECT_EQ(help.opened()[0].find("#context-"), std::string::npos) << help.opened()[0];
}

}  // namespace
