// The framework's small dialogs, worked through the design program's
// templates as a user works them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/base/framework_dialogs.h"
#include "framework/base/framework_windows.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"
#include "platform/application.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogScript;
using platform::test::DialogUser;

class FrameworkDialogsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    smoke_ = gFramework.instance;
    gFramework.instance = platform::StartApplication("kdn");
  }
  platform::Instance smoke_ = platform::Instance::kNone;
};

TEST_F(FrameworkDialogsTest, InputLineShowsTheBufferAndGivesBackAtMostMaxLengthLessOne) {
  DialogScript script;
  std::string caption, shown;
  script.On("DIALOG_3", [&](DialogUser& user) {
    caption = user.Caption();
    shown = user.Text(105);
    user.Type(105, "abcdefghijklmno");
    user.Press(102);
  });
  script.On("DIALOG_3", [&](DialogUser& user) {
    user.Type(105, "2,5");
    user.Press(102);
  });
  script.On("DIALOG_3", [&](DialogUser& user) {
    user.Type(105, "changed");
    user.Close();
  });
  std::string buffer = "start";
  EXPECT_EQ(InputLine("Prompt \xB0:", buffer, 10, 0), 1);
  EXPECT_EQ(caption, "Prompt \xC2\xB0:");
  EXPECT_EQ(shown, "start");
  EXPECT_EQ(buffer, "abcdefghi");
  EXPECT_EQ(InputLine("Number", buffer, 21, 1), 1);
  EXPECT_EQ(buffer, "2.5");
  EXPECT_EQ(InputLine("Number", buffer, 21, 1), 0);
  EXPECT_EQ(buffer, "2.5");
}

TEST_F(FrameworkDialogsTest, ThePolarAngleIsBroughtIntoOneTurnAndTheDistanceMadePositive) {
  struct Case {
    const char *distance, *angle;
    double metres, degrees;
  };
  for (const Case& c : {Case{"2", "200", 2, -160}, Case{"1", "-190", 1, 170}, Case{"1", "540", 1, 180},
                        Case{"-2,5", "45", 2.5, 45}, Case{"3", "900", 3, 180}, Case{"abc", "x", 7, 9}}) {
    DialogScript script;
    std::string startDistance, startAngle;
    script.On("DIALOG_2", [&](DialogUser& user) {
      startDistance = user.Text(101);
      startAngle = user.Text(102);
      user.Type(101, c.distance);
      user.Type(102, c.angle);
      user.Press(103);
    });
    double distance = 7, angle = 9 * kPi / 180;  // what a field without a number leaves
    EXPECT_EQ(PointPolarDialog(distance, angle), 1);
    EXPECT_EQ(startDistance, "0");
    EXPECT_EQ(startAngle, "0");
    EXPECT_NEAR(distance, c.metres, 1e-6) << c.distance;
    EXPECT_NEAR(angle * 180 / kPi, c.degrees, 1e-4) << c.angle;
  }
  DialogScript cancel;
  cancel.On("DIALOG_2", [](DialogUser& user) { user.Press(104); });
  double distance = 1, angle = 1;
  EXPECT_EQ(PointPolarDialog(distance, angle), 0);
  EXPECT_EQ(distance, 1.0);
}

// The polar dialog belongs to the window that is active when it opens (here
// another dialog); the others to the main window.
TEST_F(FrameworkDialogsTest, ThePolarDialogIsOwnedByTheActiveWindow) {
  DialogScript script;
  platform::Window input = platform::Window::kNone, polarOwner = platform::Window::kNone;
  script.On("DIALOG_3", [&](DialogUser& user) {
    input = user.dialog();
    EXPECT_EQ(platform::GetParent(input), MainWindow.window);
    double distance = 0, angle = 0;
    EXPECT_EQ(PointPolarDialog(distance, angle), 0);
    user.Press(103);
  });
  script.On("DIALOG_2", [&](DialogUser& user) {
    polarOwner = platform::GetParent(user.dialog());
    user.Press(104);
  });
  std::string buffer;
  EXPECT_EQ(InputLine("Line", buffer, 10, 0), 0);
  ASSERT_NE(input, platform::Window::kNone);
  EXPECT_EQ(polarOwner, input);
}

TEST_F(FrameworkDialogsTest, AnAbsolutePointIsShownAndTakenInTheUsersUnit) {
  struct Case {
    uint32_t feet;
    const char* shown;
    const char* typed;
    double metres;
  };
  for (const Case& c : {Case{0, "1.000", "2,25", 2.25}, Case{1, "3.28", "6.56", 6.56 / 3.28084}}) {
    gUnitFlag = c.feet;
    DialogScript script;
    std::string caption, shown, z;
    script.On("DIALOG_1", [&](DialogUser& user) {
      caption = user.Caption();
      shown = user.Text(104);
      z = user.Text(106);
      user.Type(104, c.typed);
      user.Type(105, "abc");  // no number: y stays
      user.Press(102);
    });
    double x = 1, y = -4, z0 = 0;
    EXPECT_EQ(PointAbsoluteDialog(x, y, z0, "Point absolute :"), 1);
    EXPECT_EQ(caption, "Point absolute :");
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(z, c.feet ? "0.00" : "0.000");
    EXPECT_NEAR(x, c.metres, 1e-6);
    EXPECT_EQ(y, -4.0);
  }
  EXPECT_NEAR(3.28 / 3.28084, 0.99974, 1e-5);
}

// Fields shown rounded and left as shown keep their values; a field typed
// into takes the new one.
TEST_F(FrameworkDialogsTest, FieldsLeftAsShownKeepTheirValues) {
  gUnitFlag = 1;
  DialogScript script;
  script.On("DIALOG_1", [](DialogUser& user) {
    EXPECT_EQ(user.Text(104), "4.92");
    user.Type(105, "3.28");
    user.Press(102);
  });
  script.On("DIALOG_6", [](DialogUser& user) {
    EXPECT_EQ(user.Text(104), "0.41");
    user.Type(106, "Stage");
    user.Press(102);
  });
  double x = 1.5, y = 0, z = 2.25;
  EXPECT_EQ(PointAbsoluteDialog(x, y, z, "Point absolute :"), 1);
  EXPECT_EQ(x, 1.5);
  EXPECT_NEAR(y, 3.28 / 3.28084, 1e-6);
  EXPECT_EQ(z, 2.25);
  float size = 0.125f, angle = 12.345f;
  std::string text;
  EXPECT_EQ(TextDialog(size, angle, text, 80), 1);
  EXPECT_EQ(size, 0.125f);
  EXPECT_EQ(angle, 12.345f);
}

TEST_F(FrameworkDialogsTest, TheTextDialogNeedsATextAndTakesSizeAndAngle) {
  DialogScript script;
  std::string size, angle;
  script.On("DIALOG_6", [&](DialogUser& user) {
    size = user.Text(104);
    angle = user.Text(105);
    user.Type(104, "0,5");
    user.Type(105, "90");
    user.Type(106, "Stage left");
    user.Press(102);
  });
  script.On("DIALOG_6", [&](DialogUser& user) {
    user.Type(106, "");  // selects the text
    user.Key(platform::kKeyBackspace);
    user.Press(102);
  });
  float height = 1, turn = 0;
  std::string text;
  EXPECT_EQ(TextDialog(height, turn, text, 80), 1);
  EXPECT_EQ(size, "1.00");
  EXPECT_EQ(angle, "0.00");
  EXPECT_EQ(height, 0.5f);
  EXPECT_EQ(turn, 90.0f);
  EXPECT_EQ(text, "Stage left");
  EXPECT_EQ(TextDialog(height, turn, text, 80), 0);
  EXPECT_EQ(text, "");
}

TEST_F(FrameworkDialogsTest, TheLayerChooserOffersTwelveLayersAndTheDesignProgramHasNone) {
  ResetLayers(gLayers);
  gLayers.records[1].name = "AUDIENCE";
  gDrawing.currentLayer = 1;
  int layer = -1;
  {
    MessageRecorder messages;
    EXPECT_EQ(ChooseLayer(layer), 0);  // kdn carries no layer chooser
    ASSERT_EQ(messages.texts(), std::vector<std::string>{"Unable to display dialog"});
  }
  EXPECT_EQ(layer, 0);  // the last choice, none yet

  gFramework.instance = smoke_;
  DialogScript script;
  std::string name;
  bool currentChecked = false;
  script.On("DIALOG_5", [&](DialogUser& user) {
    name = user.Text(105);
    currentChecked = user.IsChecked(118);
    user.Press(126);
    user.Press(102);
  });
  script.On("DIALOG_5", [&](DialogUser& user) {
    user.Press(117);
    user.Press(103);
  });
  EXPECT_EQ(ChooseLayer(layer), 1);
  EXPECT_EQ(name, "AUDIENCE");
  EXPECT_TRUE(currentChecked);
  EXPECT_EQ(layer, 9);
  EXPECT_EQ(ChooseLayer(layer), 0);
  EXPECT_EQ(layer, 9);  // Cancel keeps the last choice
}

TEST_F(FrameworkDialogsTest, ThePlotHeaderEditsTheTitleBlockTextsAndTheCloseBoxKeepsThem) {
  gPlotHeader.SetLabel(0, "Project");
  gPlotHeader.SetText(7, "Hall 1");
  DialogScript script;
  std::string label, text;
  script.On("PLOT_HEADER", [&](DialogUser& user) {
    label = user.Text(101);
    text = user.Text(117);
    user.Type(102, "Drawn by");
    user.Type(120, "Free text one");
    user.Press(140);
  });
  script.On("PLOT_HEADER", [&](DialogUser& user) {
    user.Type(101, "Lost");
    user.Close();
  });
  EXPECT_EQ(PlotHeaderDialog(MainWindow.window), 1);
  EXPECT_EQ(label, "Project");
  EXPECT_EQ(text, "Hall 1");
  EXPECT_EQ(gPlotHeader.Label(1), "Drawn by");
  EXPECT_EQ(gPlotHeader.FreeText(0), "Free text one");
  EXPECT_EQ(gPlotHeader.Text(7), "Hall 1");
  EXPECT_EQ(PlotHeaderDialog(MainWindow.window), 0);
  EXPECT_EQ(gPlotHeader.Label(0), "Project");
}

TEST_F(FrameworkDialogsTest, ThePlotParametersNeedAWholeMeasureAndAreRemembered) {
  platform::test::PrintDialogScript printer;
  platform::test::RecordingPrinter a4;
  a4.caps = {2480, 3508, 210, 297};
  printer.Record(a4);
  printer.Record(a4);
  printer.Cancel();
  DialogScript script;
  std::string pageWidth, pageHeight, shownMetres, headerOpened;
  std::vector<std::string> messages;
  script.On("DIALOG_7", [&](DialogUser& user) {
    pageWidth = user.Text(102);
    pageHeight = user.Text(103);
    shownMetres = user.Text(105);
    user.Type(105, "0");
    {
      MessageRecorder recorder;
      user.Press(110);
      Pump();
      messages = recorder.texts();
    }
    user.Type(105, "5");
    user.Type(106, "10");
    user.Press(130);
    Pump();
    user.Press(110);
  });
  script.On("PLOT_HEADER", [&](DialogUser& user) {
    headerOpened = user.Caption();
    user.Close();
  });
  script.On("DIALOG_7", [&](DialogUser& user) {
    shownMetres = user.Text(105) + " " + user.Text(106);
    user.Press(109);
    user.Type(105, "x");  // not read for the whole model
    user.Press(110);
  });
  int metres = 0, millimetres = 0, mode = -1;
  EXPECT_EQ(PlotParametersDialog(metres, millimetres, mode), 1);
  EXPECT_EQ(pageWidth, "210");
  EXPECT_EQ(pageHeight, "297");
  EXPECT_EQ(messages, std::vector<std::string>{kInvalidMeasureMessage});
  EXPECT_EQ(headerOpened, "Print Header");
  EXPECT_EQ(metres, 5);
  EXPECT_EQ(millimetres, 10);
  EXPECT_EQ(mode, kPlotMeasure);
  EXPECT_EQ(PlotParametersDialog(metres, millimetres, mode), 1);
  EXPECT_EQ(shownMetres, "5 10");
  EXPECT_EQ(mode, kPlotZoomAll);
  EXPECT_EQ(metres, 5);
  // A cancelled print dialog ends before the parameters.
  EXPECT_EQ(PlotParametersDialog(metres, millimetres, mode), 0);
  EXPECT_EQ(script.opened().size(), 3u);
  EXPECT_FALSE(printer.presets()[0].landscape);
}

}  // namespace
