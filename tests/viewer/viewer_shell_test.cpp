// kv's shell on the example hall with its stored calculation: the start-up,
// the commands of its table and the ids it lacks, the result and RT60
// windows, the reflection windows of a ray file, the scroll bars in the
// perspective view, Shift on the drawing window, and help.
#include "viewer/viewer_shell.h"

#include <gtest/gtest.h>

#include <fstream>

#include "design/acoustics/level_map.h"
#include "design/acoustics/map_file.h"
#include "design/acoustics/ray_file.h"
#include "design/acoustics/reflection_search.h"
#include "design/acoustics/reverberation.h"
#include "design/commands/command_ids.h"
#include "design/model/design_tables.h"
#include "design/model/project.h"
#include "design/windows/face_list_window.h"
#include "design/windows/ray_windows.h"
#include "design/windows/result_window.h"
#include "design/windows/rt60_window.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/model/layers.h"
#include "framework/program/drawing_program.h"
#include "framework/view/view_transform.h"
#include "platform/menu.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/support/message_recorder.h"
#include "tests/viewer/kv_fixture.h"
#include "viewer/viewer_commands.h"

namespace {

using platform::test::ClickControl;

int CountOnLayer(uint32_t layer) {
  int n = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) n += o->layer == layer;
  return n;
}

class ViewerShellTest : public KvTest {
 protected:
  // No dialog but the view panel of the start-up opened.
  void ExpectNoDialog() const { EXPECT_EQ(dialogs_.opened(), std::vector<std::string>{"3DPANEL"}); }
  platform::test::DialogScript dialogs_;
};

TEST_F(ViewerShellTest, StartsAsTheViewerAndOpensTheHallWithItsCalculation) {
  Start();
  EXPECT_EQ(platform::GetWindowText(MainWindow.window).rfind("Korvane Viewer 2.90", 0), 0u)
      << platform::GetWindowText(MainWindow.window);
  EXPECT_TRUE(gProgramShell.splash);
  // kv's own texts of its menu.
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  EXPECT_EQ(platform::GetMenuItemText(menu, 5101), "&Level + Time");
  EXPECT_EQ(platform::GetMenuItemText(menu, 516), "1 unit = 1 &m");
  EXPECT_EQ(platform::GetMenuItemText(menu, 517), "1 unit = 1 &ft.");

  platform::test::FileDialogScript files;
  std::filesystem::copy_file(std::filesystem::path(KORVANE_EXAMPLE_DIR) / "HALL_CALC.KPR", Path("HALL_CALC.KPR"));
  files.Choose(Path("HALL_CALC.KPR"));
  Command(kCmdOpenProject);
  EXPECT_EQ(gProject.path, Path("HALL_CALC.KPR"));
  EXPECT_EQ(gLevelMap.resultPresent, 1);
  EXPECT_EQ(CountOnLayer(kLoudspeakerLayer), 2);
  EXPECT_FALSE(gProgramShell.splash);
  ExpectNoDialog();
}

TEST_F(ViewerShellTest, EveryCommandOfItsTableIsBuiltAndEveryOtherIdIsIgnored) {
  StartWithCalculatedHall();
  const CommandRegistry& registry = gProgramShell.commands;
  for (const CommandSpec& c : ViewerCommandTable().commands) {
    EXPECT_TRUE(registry.IsBuilt(c.id) || c.id == kHelpCommand) << c.id;
    EXPECT_FALSE(c.flags & kSnapshotFirst) << c.id;
    EXPECT_FALSE(c.flags & kCommandButtons) << c.id;
  }
  // kdn's commands that kv lacks: editing, saving, databases, exchange and
  // new calculations change nothing and ask nothing.
  MessageRecorder messages;
  platform::test::FileDialogScript files;
  const uint32_t objects = [] {
    uint32_t n = 0;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next) ++n;
    return n;
  }();
  for (int id : {102,  103,  104,  110,  120,  121,  201,  202,  210,  507,  615,  1002, 1003, 1005, 1007,
                 1016, 1021, 2201, 2301, 2501, 2601, 2801, 2803, 3202, 4205, 5001, 5020, 5030, 5031, 5032}) {
    EXPECT_EQ(FindCommand(registry.Table(), id), nullptr) << id;
    Command(id);
    EXPECT_EQ(gInput.activeCommand, 0) << id;
  }
  uint32_t after = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) ++after;
  EXPECT_EQ(after, objects);
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_TRUE(files.dialogs().empty());
  ExpectNoDialog();
  EXPECT_EQ(gProject.modified, 0);
}

TEST_F(ViewerShellTest, TheStoredCalculationShowsAt1kHzWithTheMenusGreyedMeanwhile) {
  StartWithCalculatedHall();
  kv::UpdateMenuState();
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  EXPECT_TRUE(platform::IsMenuItemEnabled(menu, kCmdShowLastCalculation));
  constexpr int k1kHz = 3;
  RunSteps([&] { Command(kCmdShowLastCalculation); },
           {[&] {
              ASSERT_NE(ResultWindowHandle(), platform::Window::kNone);
              for (int position = 0; position < 6; ++position)
                EXPECT_FALSE(platform::IsMenuBarItemEnabled(menu, position)) << position;
              EXPECT_TRUE(platform::IsMenuBarItemEnabled(menu, 6));  // Help
              ASSERT_TRUE(ClickControl(ResultWindowButton(kFirstBandButton + k1kHz)));
            },
            [&] {
              EXPECT_EQ(gResultWindow.band, k1kHz);
              ClickControl(ResultWindowButton(kResultBackButton));
            }});
  EXPECT_EQ(ResultWindowHandle(), platform::Window::kNone);
  for (int position = 0; position < 6; ++position) EXPECT_TRUE(platform::IsMenuBarItemEnabled(menu, position));
  // Only the listings are remembered for the right click.
  EXPECT_EQ(gInput.lastCommand, 0u);
}

// The view's own wait (the zoom box of "Z+") greys what the viewer's commands
// grey, and no more: Help stays.
TEST_F(ViewerShellTest, TheZoomBoxGreysTheViewersCommandMenusButNotHelp) {
  StartWithCalculatedHall();
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  RunSteps(ZoomIn, {[&] {
             ASSERT_TRUE(gView.zoomInActive);
             for (int position = 0; position < 6; ++position)
               EXPECT_FALSE(platform::IsMenuBarItemEnabled(menu, position)) << position;
             EXPECT_TRUE(platform::IsMenuBarItemEnabled(menu, 6));  // Help
             platform::test::KeyPress(platform::kKeyEscape);
           }});
  EXPECT_FALSE(gView.zoomInActive);
  for (int position = 0; position < 7; ++position) EXPECT_TRUE(platform::IsMenuBarItemEnabled(menu, position));
}

TEST_F(ViewerShellTest, RT60MeasurementShowsTheMeasuredTimesAtOnceAndMSwitchesWithoutADialog) {
  StartWithCalculatedHall();
  RunSteps([&] { Command(kCmdRt60Measurement); },
           {[&] {
              ASSERT_NE(Rt60WindowHandle(), platform::Window::kNone);
              EXPECT_EQ(gProject.reverbMethod, kRt60Measured);
              ASSERT_TRUE(ClickControl(Rt60WindowButton(kFirstRt60MethodButton + kRt60Sabine)));
            },
            [&] {
              EXPECT_EQ(gProject.reverbMethod, kRt60Sabine);
              ASSERT_TRUE(ClickControl(Rt60WindowButton(kFirstRt60MethodButton + kRt60Measured)));
            },
            [&] {
              EXPECT_EQ(gProject.reverbMethod, kRt60Measured);
              ClickControl(Rt60WindowButton(kRt60BackButton));
            }});
  EXPECT_EQ(Rt60WindowHandle(), platform::Window::kNone);
  ExpectNoDialog();
}

// kv cannot save, so nothing it does leaves the project to be saved: after
// a loaded calculation and methods chosen in the RT60 window, File/Open and
// Exit ask nothing.
TEST_F(ViewerShellTest, NothingItDoesIsAskedAboutOnOpenOrExit) {
  StartWithCalculatedHall();
  ASSERT_EQ(SaveMapFile(Path("hall.KMF"), "Seats"), 1);
  MessageRecorder messages;
  platform::test::FileDialogScript files;
  files.Choose(Path("hall.KMF"));
  files.Cancel();
  RunSteps([&] { Command(kCmdLoadCalculation); }, {[] { ClickControl(ResultWindowButton(kResultBackButton)); }});
  EXPECT_EQ(gLevelMap.resultPresent, 1);
  RunSteps([&] { Command(kCmdRt60Sabine); },
           {[] { ClickControl(Rt60WindowButton(kFirstRt60MethodButton + kRt60Eyring)); },
            [] { ClickControl(Rt60WindowButton(kFirstRt60MethodButton + kRt60Measured)); },
            [] { ClickControl(Rt60WindowButton(kRt60BackButton)); }});
  EXPECT_EQ(gProject.reverbMethod, kRt60Measured);
  EXPECT_EQ(gProject.modified, 0);
  Command(kCmdOpenProject);
  EXPECT_EQ(files.dialogs().size(), 2u);
  Command(kCmdExitProgram);
  EXPECT_FALSE(platform::IsWindow(MainWindow.window));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Seats"});  // the map's description alone
}

TEST_F(ViewerShellTest, ARayFileShowsItsPathsAndTheImpulseWindowHasRTAButNoAPF) {
  StartWithCalculatedHall();
  // A ray file of the hall, written by the search kdn runs.
  ASSERT_TRUE(PrepareCalculateRays(gRaySearch, ProjectTables()));
  ASSERT_GT(CalculateRays(gRaySearch, ProjectTables(), "2", {15, 0, 0}), 0u);
  ASSERT_EQ(StoreRayFile(Path("hall.KRF"), gObjects.model, "Seats", gRaySearch.meanFreePathEstimate), 1);
  DeleteRayPaths(gRaySearch, gObjects.model);

  MessageRecorder messages;
  platform::test::FileDialogScript files;
  files.Choose(Path("hall.KRF"));
  RunSteps([&] { Command(kCmdLoadRayFile); },
           {[&] {
              ASSERT_EQ(gRayWindows.open, RayWindowKind::kReflection);
              platform::test::KeyPress(platform::kKeyEnter);
            },
            [&] {
              ASSERT_EQ(gRayWindows.open, RayWindowKind::kImpulse);
              EXPECT_NE(gRayWindows.impulseButtons[8], platform::Window::kNone);  // "RTA"
              EXPECT_EQ(gRayWindows.impulseButtons[9], platform::Window::kNone);  // no "APF"
              platform::test::KeyPress(platform::kKeyEscape);
            }});
  EXPECT_EQ(gRayWindows.open, RayWindowKind::kNone);
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Seats"});
}

TEST_F(ViewerShellTest, TheListingHasNoTypeChangesAndStillSelectsMarksAndPrints) {
  StartWithCalculatedHall();
  platform::test::PrintDialogScript printing;
  printing.PrintToPdf(Path("summary.pdf"), 300);
  dialogs_.On("SPKRLIST_DLG", [](platform::test::DialogUser& user) {
    EXPECT_FALSE(user.IsVisible(102));
    EXPECT_FALSE(user.IsVisible(103));
    EXPECT_EQ(gProgramShell.okButton, platform::Window::kNone);
    EXPECT_EQ(user.Items(101).size(), 2u);
    user.Choose(101, 1);
    platform::Message m;
    while (platform::PeekMessage(m)) platform::DispatchMessage(m);
    int selected = 0;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      selected += o->layer == kLoudspeakerLayer && (o->state & kStateSelected);
    EXPECT_EQ(selected, 1);
    user.Press(102);
    user.Press(105);
  });
  Command(kCmdSpeakerListing);
  EXPECT_TRUE(std::filesystem::exists(Path("summary.pdf")));
  EXPECT_EQ(gProject.modified, 0);
  EXPECT_EQ(gInput.lastCommand, uint32_t(kCmdSpeakerListing));
  EXPECT_EQ(uint32_t(gDrawing.currentLayer), kLoudspeakerLayer);
}

TEST_F(ViewerShellTest, TheFaceListHasNoMaterialChangesAndStillSelectsMarksAndPrints) {
  StartWithCalculatedHall();
  platform::test::PrintDialogScript printing;
  printing.PrintToPdf(Path("faces.pdf"), 300);
  const uint32_t objects = [] {
    uint32_t n = 0;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next) ++n;
    return n;
  }();
  dialogs_.On("FACELIST_DLG", [&](platform::test::DialogUser& user) {
    EXPECT_FALSE(user.IsVisible(102));
    EXPECT_FALSE(user.IsVisible(103));
    EXPECT_TRUE(user.IsVisible(105));
    EXPECT_EQ(gProgramShell.okButton, platform::Window::kNone);
    user.Choose(101, 1);
    platform::Message m;
    while (platform::PeekMessage(m)) platform::DispatchMessage(m);
    EXPECT_EQ(gFaceList.row, 1);
    EXPECT_NE(gFaceList.marker, nullptr);
    user.Press(102);
    user.Press(105);
  });
  Command(kCmdFaceList);
  EXPECT_TRUE(std::filesystem::exists(Path("faces.pdf")));
  EXPECT_EQ(gProject.modified, 0);
  EXPECT_EQ(gInput.lastCommand, uint32_t(kCmdFaceList));
  uint32_t after = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) ++after;
  EXPECT_EQ(after, objects);  // the marker line is gone again
}

TEST_F(ViewerShellTest, TheScrollBarsMoveTheFlatViewsButNeverTurnThePerspective) {
  StartWithCalculatedHall();
  const platform::Window draw = DrawWindow->window;
  const float originX = gView.originX;
  platform::SendMessage(draw, platform::msg::kHorizontalScroll, platform::WParam(platform::kScrollLineDown));
  EXPECT_NE(gView.originX, originX);

  gView.mode = kViewPerspective;
  const auto angles = gView.perspectiveAngles;
  for (unsigned kind : {platform::msg::kHorizontalScroll, platform::msg::kVerticalScroll})
    for (unsigned code :
         {platform::kScrollLineUp, platform::kScrollLineDown, platform::kScrollPageUp, platform::kScrollPageDown})
      platform::SendMessage(draw, kind, platform::WParam(code));
  EXPECT_EQ(gView.perspectiveAngles, angles);
}

TEST_F(ViewerShellTest, WithShiftHeldThePointerIsStillTracked) {
  StartWithCalculatedHall();
  const platform::Window draw = DrawWindow->window;
  const auto move = [draw](int x, int y, platform::WParam keys) {
    platform::SendMessage(draw, platform::msg::kMouseMove, keys, platform::LParam(uintptr_t(x) | (uintptr_t(y) << 16)));
    return gInput.cursorPixel;
  };
  const platform::Point plain = move(240, 130, 0);
  move(20, 20, 0);
  const platform::Point shifted = move(240, 130, platform::kMouseShift);
  EXPECT_EQ(shifted.x, plain.x);
  EXPECT_EQ(shifted.y, plain.y);
  EXPECT_NE(shifted.x, move(20, 20, platform::kMouseShift).x);
}

TEST_F(ViewerShellTest, HelpOpensTheViewersHelpFile) {
  Start();
  platform::test::HelpRecorder help;
  std::ofstream(Path(kViewerHelpFile)) << "<html></html>";
  Command(kHelpCommand);
  ASSERT_EQ(help.opened().size(), 1u);
  EXPECT_NE(help.opened()[0].find(kViewerHelpFile), std::string::npos) << help.opened()[0];
}

}  // namespace
