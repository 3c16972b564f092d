// The RT60 window on the example hall: the four commands, the method
// buttons, the measured times edited in the equaliser, the impossible
// measured times, and the framed window printed and copied.
#include "design/windows/rt60_window.h"

#include <gtest/gtest.h>

#include <functional>

#include "design/acoustics/rt60_graph.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/core/geometry.h"
#include "framework/view/view_panel.h"
#include "platform/dialog.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::ClickControl;
using platform::test::DialogUser;

class Rt60WindowTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
    gProject.modified = 0;
  }
  // The command, `steps` whenever the window waits, then "<-".
  void InRt60(int command, std::vector<std::function<void()>> steps) {
    steps.push_back([] { ClickControl(Rt60WindowButton(kRt60BackButton)); });
    RunSteps([&] { Command(command); }, steps);
    EXPECT_EQ(Rt60WindowHandle(), platform::Window::kNone);
  }
  static std::function<void()> Press(int id) {
    return [id] { ASSERT_TRUE(ClickControl(Rt60WindowButton(id))) << id; };
  }
  // The figure of the project's method for the window as it stands.
  static Rt60Figure Figure() {
    const platform::Size client = platform::GetClientSize(Rt60WindowHandle());
    const ReverbSettings settings = ProjectReverbSettings(gProject);
    return LayoutRt60Graph(settings.method, ComputeRt60Graph(settings, ProjectTables()),
                           MeasureRoomClosure(gObjects.model), client.width, client.height, gUnitFlag != 0);
  }
  // The 1 kHz mark of the curve with air absorption, in its colour.
  static void ExpectCurveShown() {
    const Rt60Point mark = Figure().curves[1].points[3];
    EXPECT_EQ(platform::test::SurfacePixel(Rt60WindowHandle(), mark.x, mark.y), gPalette.colours[kRt60WithAirColour]);
  }
  platform::test::DialogScript dialogs_;
};

TEST_F(Rt60WindowTest, EachCommandShowsItsMethodAndTheButtonsSwitchIt) {
  InRt60(kCmdRt60Eyring,
         {[] {
            ASSERT_NE(Rt60WindowHandle(), platform::Window::kNone);
            EXPECT_EQ(gProject.reverbMethod, kRt60Eyring);
            EXPECT_FALSE(platform::IsWindowVisible(DrawWindow->window));
            EXPECT_FALSE(platform::IsWindowVisible(gViewPanel));
            EXPECT_TRUE(platform::IsButtonPressed(Rt60WindowButton(kFirstRt60MethodButton + kRt60Eyring)));
            const platform::Size main = platform::GetClientSize(MainWindow.window);
            const struct {
              int id;
              platform::Rect rect;
              const char* text;
            } buttons[] = {
                {kRt60BackButton, {0, 24, 32, 56}, "<-"},
                {kFirstRt60MethodButton + kRt60Measured, {0, 152, 32, 184}, "M"},
                {kRt60PrintButton, {main.width / 2 - 80, main.height - 22, main.width / 2, main.height - 2}, "PRINT"},
                {kRt60CopyButton, {main.width / 2, main.height - 22, main.width / 2 + 80, main.height - 2}, "COPY"},
            };
            for (const auto& b : buttons) {
              const platform::Rect r = platform::GetWindowRect(Rt60WindowButton(b.id));
              EXPECT_EQ(r.left, b.rect.left) << b.id;
              EXPECT_EQ(r.top, b.rect.top) << b.id;
              EXPECT_EQ(r.right, b.rect.right) << b.id;
              EXPECT_EQ(r.bottom, b.rect.bottom) << b.id;
              EXPECT_EQ(platform::GetWindowText(Rt60WindowButton(b.id)), b.text) << b.id;
            }
            ExpectCurveShown();
          },
          Press(kFirstRt60MethodButton + kRt60Fitzroy),
          [] {
            EXPECT_EQ(gProject.reverbMethod, kRt60Fitzroy);
            EXPECT_FALSE(platform::IsButtonPressed(Rt60WindowButton(kFirstRt60MethodButton + kRt60Eyring)));
            ExpectCurveShown();
          }});
  // The method shown last is the project's, to be saved.
  EXPECT_EQ(gProject.reverbMethod, kRt60Fitzroy);
  EXPECT_EQ(gProject.modified, 1);
  EXPECT_TRUE(platform::IsWindowVisible(DrawWindow->window));
  EXPECT_TRUE(platform::IsWindowVisible(gViewPanel));
  EXPECT_EQ(gInput.activeCommand, 0);
  // The same method again changes nothing to save.
  gProject.modified = 0;
  InRt60(kCmdRt60Fitzroy, {});
  EXPECT_EQ(gProject.modified, 0);
}

// RT60 Measurement edits the measured times first: Cancel shows nothing;
// OK shows them. In the window "M" edits them again and shows them only on
// OK.
TEST_F(Rt60WindowTest, MeasuredTimesAreEditedBeforeTheyAreShown) {
  // Times the air allows in every band.
  gProject.measuredRt = {2.0, 1.9, 1.7, 1.7, 1.6, 1.3, 0.6};
  dialogs_.On("EQ_DLG", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "RT 60");
    user.Press(402);
  });
  Command(kCmdRt60Measurement);
  EXPECT_EQ(gProject.reverbMethod, kRt60Sabine);
  EXPECT_EQ(gProject.modified, 0);

  const auto raiseFirstBand = [](DialogUser& user) {
    platform::test::ScrollAction(platform::GetDialogItem(user.dialog(), 201), platform::ScrollBar::kControl,
                                 platform::kScrollLineUp);
    user.Press(401);
  };
  dialogs_.On("EQ_DLG", raiseFirstBand);
  InRt60(kCmdRt60Measurement, {[] {
                                 EXPECT_EQ(gProject.reverbMethod, kRt60Measured);
                                 EXPECT_NEAR(gProject.measuredRt[0], 2.1, 1e-9);
                                 ExpectCurveShown();
                               },
                               Press(kFirstRt60MethodButton + kRt60Sabine),
                               [this] { dialogs_.On("EQ_DLG", [](DialogUser& user) { user.Press(402); }); },
                               Press(kFirstRt60MethodButton + kRt60Measured),
                               [this, raiseFirstBand] {
                                 EXPECT_EQ(gProject.reverbMethod, kRt60Sabine);
                                 dialogs_.On("EQ_DLG", raiseFirstBand);
                               },
                               Press(kFirstRt60MethodButton + kRt60Measured),
                               [] {
                                 EXPECT_EQ(gProject.reverbMethod, kRt60Measured);
                                 EXPECT_NEAR(gProject.measuredRt[0], 2.2, 1e-9);
                               }});
  EXPECT_EQ(gProject.modified, 1);
}

// Ten seconds in every band: at 8 kHz the air alone absorbs more than the
// time allows. The window says so after its paint, and stays.
TEST_F(Rt60WindowTest, MeasuredTimesTheAirCannotAllowAreTold) {
  gProject.measuredRt.fill(10.0);
  dialogs_.On("EQ_DLG", [](DialogUser& user) { user.Press(401); });
  MessageRecorder messages;
  InRt60(kCmdRt60Measurement, {[] { EXPECT_NE(Rt60WindowHandle(), platform::Window::kNone); }});
  ASSERT_FALSE(messages.messages().empty());
  EXPECT_EQ(messages.messages()[0].text, kImpossibleInputValues);
  EXPECT_EQ(messages.messages()[0].caption, kPleaseCorrect);
}

// "COPY" and "PRINT" take the window framed along its last column and row.
TEST_F(Rt60WindowTest, CopyAndPrintTakeTheFramedWindow) {
  platform::test::PrintDialogScript script;
  platform::test::RecordingPrinter printer;
  printer.caps.widthPixels = 1600;
  printer.caps.heightPixels = 1200;
  printer.caps.colours = 16777216;
  script.Record(printer);
  platform::Size client;
  Rt60Point mark;
  InRt60(kCmdRt60Sabine, {Press(kRt60CopyButton),
                          [&] {
                            client = platform::GetClientSize(Rt60WindowHandle());
                            mark = Figure().curves[1].points[3];
                          },
                          Press(kRt60PrintButton)});
  const platform::Bitmap copied = platform::test::ClipboardBitmap();
  ASSERT_NE(copied, platform::Bitmap::kNone);
  platform::Context memory = platform::CreateMemoryContext();
  platform::SelectBitmap(memory, copied);
  const int right = client.width - 1, bottom = client.height - 1;
  for (int y : {1, client.height / 2, bottom - 1}) {
    EXPECT_EQ(platform::GetPixel(memory, 0, y), 0u) << y;
    EXPECT_EQ(platform::GetPixel(memory, right, y), 0u) << y;
  }
  for (int x : {1, client.width / 2, right - 1}) {
    EXPECT_EQ(platform::GetPixel(memory, x, 0), 0u) << x;
    EXPECT_EQ(platform::GetPixel(memory, x, bottom), 0u) << x;
  }
  EXPECT_EQ(platform::GetPixel(memory, mark.x, mark.y), gPalette.colours[kRt60WithAirColour]);
  platform::SelectBitmap(memory, platform::Bitmap::kNone);
  platform::DeleteContext(memory);

  ASSERT_EQ(script.presets().size(), 1u);
  EXPECT_TRUE(script.presets()[0].landscape);
  ASSERT_EQ(script.documents().size(), 1u);
  EXPECT_TRUE(script.documents()[0].ended);
  EXPECT_EQ(script.documents()[0].pages.size(), 1u);
}

}  // namespace
