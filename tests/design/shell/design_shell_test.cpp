// kdn as a user meets it: start-up, the history file, the File commands
// through scripted file dialogs, the exit question, and the command
// dispatch's greyed menus, buttons and dropped commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "design/acoustics/level_map.h"
#include "design/document/history_file.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "design/shell/main_window.h"
#include "design/shell/project_commands.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/byte_codec.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/geometry.h"
#include "framework/model/layers.h"
#include "framework/program/drawing_program.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/menu.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;
using platform::test::ShownItem;

// The objects of the example hall: eight room faces, the audience area and
// two loudspeakers.
void ExpectHall() {
  EXPECT_EQ(CountOnLayer(kRoomLayer), 8);
  EXPECT_EQ(CountOnLayer(kAudienceLayer), 1);
  EXPECT_EQ(CountOnLayer(kLoudspeakerLayer), 2);
  EXPECT_EQ(gSpeakerModel.types.count, 1);
}

HistoryRecord HistoryIn(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes.size(), kHistoryFileSize);
  HistoryRecord record;
  EXPECT_TRUE(DecodeHistory(bytes, record));
  return record;
}

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
  return bytes;
}

TEST_F(KdnTest, OpensSavesAndReopensAProjectThroughItsMenus) {
  const std::string hall = CopyExample("HALL.KPR");
  Start();
  EXPECT_EQ(gProject.path, kDefaultProjectPath);
  EXPECT_FALSE(ShownItem(MainWindow.window, 110).enabled);

  platform::test::FileDialogScript files;
  files.Choose(hall);
  ASSERT_TRUE(ChooseItem(kCmdOpenProject));
  ExpectHall();
  EXPECT_EQ(gProject.path, hall);
  EXPECT_EQ(gView.mode, kViewXY);
  EXPECT_EQ(gDrawing.hiddenFaces, 0);
  EXPECT_EQ(gProject.modified, 0);
  std::string shown = Path("HALL.KPR");
  for (char& c : shown) c = char(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "Korvane Design Engine 2.90 > " + shown);
  EXPECT_EQ(HistoryIn(Path(kHistoryFileName)).recent[0], hall);

  // Saved under a new name: ".KPR" is added, and no backup is made of a
  // file that was not there.
  files.Choose(Path("copy"));
  ASSERT_TRUE(ChooseItem(kCmdSaveProjectAs));
  const std::string copy = Path("copy.KPR");
  EXPECT_EQ(gProject.path, copy);
  EXPECT_FALSE(fs::exists(Path("copy_old.KPR")));
  const std::vector<uint8_t> firstSave = Bytes(copy);
  // Saved again over it: the first save becomes the backup.
  gProject.modified = 1;
  files.Choose(copy);
  ASSERT_TRUE(ChooseItem(kCmdSaveProjectAs));
  EXPECT_EQ(Bytes(Path("copy_old.KPR")), firstSave);
  EXPECT_EQ(gProject.modified, 0);

  // The hall is now the second recent project; the menu names it.
  UpdateMenuState();
  EXPECT_EQ(platform::GetMenuItemText(GetWindowMenu(&MainWindow), 111), hall);
  EXPECT_FALSE(ShownItem(MainWindow.window, 112).enabled);
  ASSERT_TRUE(ChooseItem(111));
  ExpectHall();
  EXPECT_EQ(gProject.path, hall);
  const HistoryRecord history = HistoryIn(Path(kHistoryFileName));
  EXPECT_EQ(history.recent, (std::array<std::string, 4>{hall, copy, "", ""}));
  EXPECT_EQ(history.projectFolder, dir_.string() + "/");
  EXPECT_EQ(files.dialogs().size(), 3u);
}

TEST_F(KdnTest, AProjectNamedAtTheStartIsOpenedAndListedFirst) {
  const std::string hall = CopyExample("HALL.KPR");
  Start();
  EXPECT_TRUE(gProgramShell.splash);
  {
    MessageRecorder messages;
    EXPECT_EQ(OpenProjectAtStart(Path("NONE.KPR")), 0);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Can\xB4t locate file"});
  }
  EXPECT_TRUE(gProgramShell.splash);
  // As kdn's main does it.
  ASSERT_EQ(OpenProjectAtStart(hall), 1);
  WriteHistoryFile();
  ExpectHall();
  EXPECT_FALSE(gProgramShell.splash);
  EXPECT_EQ(gView.mode, kViewXY);
  EXPECT_EQ(gProject.lastProjectFolder, dir_.string() + "/");
  EXPECT_EQ(HistoryIn(Path(kHistoryFileName)).recent[0], hall);
}

// The start-up picture stays until the view is drawn over it: a view key
// draws the (empty) model, and a later repaint of the drawing window (the
// comment prompt asks for one) shows the model again, not the picture.
TEST_F(KdnTest, TheSplashGivesWayToTheFirstDrawingOfTheView) {
  Start();
  const platform::Window draw = DrawWindow->window;
  const auto inkAcrossTheMiddle = [&] {
    const platform::Size size = platform::GetClientSize(draw);
    int ink = 0;
    for (int x = 0; x < size.width; ++x) ink += platform::test::SurfacePixel(draw, x, size.height / 2) != 0xFFFFFFu;
    return ink;
  };
  EXPECT_GT(inkAcrossTheMiddle(), 0);
  platform::test::KeyPress(platform::KeyF(4));
  Pump();
  EXPECT_EQ(gView.mode, kView3D);
  EXPECT_EQ(inkAcrossTheMiddle(), 0);
  platform::InvalidateWindow(draw);
  Pump();
  EXPECT_EQ(inkAcrossTheMiddle(), 0);
}

// The start-up picture stands in the middle of the main window (the drawing
// window it is drawn in lies off centre, beside its scroll bars).
TEST_F(KdnTest, TheSplashIsCentredInTheMainWindow) {
  Start();
  const platform::Window draw = DrawWindow->window;
  const platform::Size size = platform::GetClientSize(draw);
  int left = size.width, right = -1, top = size.height, bottom = -1;
  for (int y = 0; y < size.height; ++y)
    for (int x = 0; x < size.width; ++x)
      if (platform::test::SurfacePixel(draw, x, y) != 0xFFFFFFu) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, left);
  const platform::Point origin = platform::MapClientPoint(draw, MainWindow.window, {0, 0});
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  EXPECT_NEAR(origin.x + (left + right + 1) / 2.0, main.width / 2.0, 1.0);
  EXPECT_NEAR(origin.y + (top + bottom + 1) / 2.0, main.height / 2.0, 1.0);
}

TEST_F(KdnTest, AFirstStartInAnEmptyFolderKeepsNoRecentProjectButWritesItsHistory) {
  Start();
  EXPECT_EQ(gUnitFlag, 0u);
  UpdateMenuState();
  for (int id = 110; id <= 113; ++id) EXPECT_FALSE(ShownItem(MainWindow.window, id).enabled) << id;
  EXPECT_TRUE(ShownItem(MainWindow.window, kCmdWireframe).checked);
  Command(kCmdExitProgram);
  EXPECT_FALSE(platform::IsWindow(MainWindow.window));
  const HistoryRecord history = HistoryIn(Path(kHistoryFileName));
  EXPECT_EQ(history.RecentCount(), 0);
}

TEST_F(KdnTest, TheHistoryOfTheStartFolderSetsTheUnitAndTheRecentProjects) {
  HistoryRecord written;
  written.unitFlag = 1;
  written.recent = {"/halls/A.KPR", "/halls/B.KPR", "", ""};
  ASSERT_EQ(StoreHistoryRecord(Path(kHistoryFileName), written), 1);
  Start();
  EXPECT_EQ(gUnitFlag, 1u);
  EXPECT_TRUE(ShownItem(MainWindow.window, kCmdUnitFeet).checked);
  EXPECT_TRUE(ShownItem(MainWindow.window, 111).enabled);
  EXPECT_FALSE(ShownItem(MainWindow.window, 112).enabled);
  // Back to metres: the history is written at once, in the start folder,
  // wherever the file dialogs have been.
  SetDialogDirectory("/tmp/");
  ASSERT_TRUE(ChooseItem(kCmdUnitMetres));
  EXPECT_EQ(gUnitFlag, 0u);
  const HistoryRecord history = HistoryIn(Path(kHistoryFileName));
  EXPECT_EQ(history.unitFlag, 0u);
  EXPECT_EQ(history.recent, written.recent);
}

TEST_F(KdnTest, ExitWithUnsavedChangesAsksAndCancelKeepsTheProgramRunning) {
  const std::string hall = CopyExample("HALL.KPR");
  Start();
  platform::test::FileDialogScript files;
  files.Choose(hall);
  Command(kCmdOpenProject);
  gProject.modified = 1;
  {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    Command(kCmdExitProgram);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Current project status has not been saved");
    EXPECT_EQ(messages.messages()[0].caption, "WARNING");
  }
  EXPECT_TRUE(platform::IsWindow(MainWindow.window));
  ExpectHall();
  EXPECT_EQ(gInput.cancel, 0);
  // The close box asks the same; OK ends the program.
  MessageRecorder messages;
  platform::test::RequestClose(MainWindow.window);
  Pump();
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Current project status has not been saved"});
  EXPECT_FALSE(platform::IsWindow(MainWindow.window));
  EXPECT_TRUE(platform::IsQuitPosted());
}

TEST_F(KdnTest, ACommandChosenWhileAnotherRunsIsIgnored) {
  const std::string hall = CopyExample("HALL.KPR");
  Start();
  platform::test::FileDialogScript files;
  files.Choose(hall);
  Command(kCmdOpenProject);
  ASSERT_EQ(files.dialogs().size(), 1u);
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_3", [](platform::test::DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Max.Order : (1 .. 40)");
    user.Press(102);
  });
  platform::test::HelpRecorder help;
  std::ofstream(Path(kHelpFileName)) << "<html></html>";
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  RunSteps([&] { Command(kCmdCalculateRays); },
           {[&] {
              // Waiting for the target point: the menus are greyed but Help.
              EXPECT_EQ(gInput.activeCommand, kCmdCalculateRays);
              for (int i = 0; i < 9; ++i) EXPECT_FALSE(platform::IsMenuBarItemEnabled(menu, i)) << i;
              EXPECT_TRUE(platform::IsMenuBarItemEnabled(menu, 9));
              EXPECT_FALSE(platform::test::ChooseMenuItem(MainWindow.window, kCmdOpenProject));
              // Posted anyway, the command is dropped without a trace.
              platform::PostMessage(MainWindow.window, platform::msg::kCommand, kCmdOpenProject);
              platform::PostMessage(MainWindow.window, platform::msg::kCommand, kCmdHelp);
            },
            [&] {
              EXPECT_EQ(files.dialogs().size(), 1u);
              EXPECT_FALSE(platform::IsMenuBarItemEnabled(menu, 0));
              EXPECT_EQ(gDrawing.prompt, "REFLECTIONS > ");
              EXPECT_EQ(gInput.activeCommand, kCmdCalculateRays);
              ASSERT_EQ(help.opened().size(), 1u);
              EXPECT_NE(help.opened()[0].find("KDN_E.HLP#context-5020"), std::string::npos) << help.opened()[0];
              platform::test::KeyPress(platform::kKeyEscape);
            }});
  EXPECT_EQ(gInput.activeCommand, 0);
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(platform::IsMenuBarItemEnabled(menu, i)) << i;
  EXPECT_EQ(gDrawing.prompt, "");
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);
}

TEST_F(KdnTest, MenuStateFollowsTheModel) {
  Start();
  UpdateMenuState();
  const platform::Window main = MainWindow.window;
  // Empty model: nothing to save or zoom; commands not built are greyed.
  EXPECT_TRUE(ShownItem(main, kCmdOpenProject).enabled);
  EXPECT_FALSE(ShownItem(main, kCmdSaveProjectAs).enabled);
  EXPECT_FALSE(ShownItem(main, kCmdZoomAll).enabled);
  EXPECT_FALSE(ShownItem(main, kCmdLevelAndTime).enabled);
  EXPECT_FALSE(ShownItem(main, 2302).enabled);
  EXPECT_FALSE(ShownItem(main, kCmdEditLoudspeakers).enabled);  // no loudspeakers
  EXPECT_TRUE(ShownItem(main, kCmdHelp).enabled);
  EXPECT_TRUE(ShownItem(main, kCmdShowRoom).checked);
  EXPECT_FALSE(ShownItem(main, kCmdShowAuxiliary).checked);

  platform::test::FileDialogScript files;
  files.Choose(CopyExample("HALL.KPR"));
  Command(kCmdOpenProject);
  UpdateMenuState();
  EXPECT_TRUE(ShownItem(main, kCmdSaveProjectAs).enabled);
  EXPECT_TRUE(ShownItem(main, kCmdLevelAndTime).enabled);
  EXPECT_TRUE(ShownItem(main, kCmdCalculateRays).enabled);
  EXPECT_FALSE(ShownItem(main, kCmdSaveCalculation).enabled);
  EXPECT_TRUE(ShownItem(main, kCmdLoadCalculation).enabled);
  EXPECT_TRUE(ShownItem(main, kCmdEditLoudspeakers).enabled);
  // A result held: Save Calculation.
  gLevelMap.resultPresent = 1;
  UpdateMenuState();
  EXPECT_TRUE(ShownItem(main, kCmdSaveCalculation).enabled);
  // Layers hidden by the View menu lose their checks.
  ASSERT_TRUE(ChooseItem(kCmdShowRoom));
  EXPECT_FALSE(gLayers.IsVisible(kRoomLayer));
  UpdateMenuState();
  EXPECT_FALSE(ShownItem(main, kCmdShowRoom).checked);
}

// A loudspeaker's symbol rebuilt at a new place (as the loudspeaker
// commands rebuild it) leaves no trace where it stood and shows where it
// stands now.
TEST_F(KdnTest, ARebuiltLoudspeakerSymbolIsErasedAndDrawnInTheWindow) {
  Start();
  platform::test::FileDialogScript files;
  files.Choose(CopyExample("HALL.KPR"));
  Command(kCmdOpenProject);
  GraphicObject* symbol = nullptr;
  for (GraphicObject* o = gObjects.model.first; o && !symbol; o = o->next)
    if (IsLoudspeakerObject(o)) symbol = o;
  ASSERT_NE(symbol, nullptr);
  Loudspeaker speaker;
  ASSERT_TRUE(ReadLoudspeaker(symbol, speaker));
  ASSERT_TRUE(speaker.IsOn());
  const platform::Window draw = DrawWindow->window;
  // Pixels of the symbol's colour, or of the selection pen, in the plan
  // view's box around its vertices.
  struct Box {
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
  };
  const auto boxOf = [](const GraphicObject* o) {
    Box box;
    for (uint32_t i = 0; i < o->vertexCount; ++i) {
      const int x = WorldToScreen(o->vertices[i].x, kAxisHorizontal),
                y = WorldToScreen(o->vertices[i].y, kAxisVertical);
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
    }
    return box;
  };
  const auto inkIn = [&](const Box& box) {
    int n = 0;
    for (int y = box.top; y <= box.bottom; ++y)
      for (int x = box.left; x <= box.right; ++x) {
        const platform::Colour c = platform::test::SurfacePixel(draw, x, y);
        n += c == gPalette.colours[kSpeakerColourOn] || c == gPalette.colours[gDrawing.pickColour];
      }
    return n;
  };
  const Box before = boxOf(symbol);
  ASSERT_GT(inkIn(before), 0);

  speaker.position[0] += 4;
  const std::uint64_t calls = platform::test::DrawCallCount(draw);
  ASSERT_EQ(BuildSpeakerSymbol(speaker, symbol, false), 1);
  EXPECT_GT(platform::test::DrawCallCount(draw), calls);
  const Box after = boxOf(symbol);
  ASSERT_LT(before.right, after.left);
  EXPECT_EQ(inkIn(before), 0);
  EXPECT_GT(inkIn(after), 0);
}

TEST_F(KdnTest, ImportedRoomGeometryIsPlacedByTwoPointsOrStaysWhereItWasRead) {
  const std::string hall = CopyExample("HALL.KPR");
  Start();
  platform::test::FileDialogScript files;
  files.Choose(hall);
  files.Choose(hall);
  const platform::Window draw = DrawWindow->window;
  // The room layer hidden: a room command shows it again.
  Command(kCmdShowRoom);
  ASSERT_FALSE(gLayers.IsVisible(kRoomLayer));
  ObjectVertex before{};
  RunSteps([&] { Command(kCmdImportRoomGeometry); },
           {[&] {
              // Waiting for the base point, with OK and STOP under the drawing.
              EXPECT_EQ(CountOnLayer(kRoomLayer), 8);
              EXPECT_EQ(gDrawing.currentLayer, kRoomLayer);
              EXPECT_TRUE(gLayers.IsVisible(kRoomLayer));
              ASSERT_TRUE(platform::IsWindow(gProgramShell.okButton));
              const platform::Rect ok = platform::GetWindowRect(gProgramShell.okButton);
              const platform::Size client = platform::GetClientSize(MainWindow.window);
              EXPECT_EQ(ok.left, client.width / 2 - 40);
              EXPECT_EQ(ok.top, client.height - 22);
              before = gObjects.model.first->vertices[0];
              gView.coordinateSnap = 0;
              platform::test::Click(draw, 100, 100);
            },
            [&] { platform::test::Click(draw, 110, 100); }});
  EXPECT_FALSE(platform::IsWindow(gProgramShell.okButton));
  const ObjectVertex& after = gObjects.model.first->vertices[0];
  EXPECT_NEAR(after.x - before.x, 10 / gView.scale, 1e-3);
  EXPECT_NEAR(after.y, before.y, 1e-4);
  EXPECT_EQ(gObjects.model.first->state & kStateSelected, 0u);
  EXPECT_EQ(gProject.modified, 1);

  // STOP at the base point leaves the second import where it was read.
  RunSteps([&] { Command(kCmdImportRoomGeometry); }, {[&] { platform::test::ClickControl(gProgramShell.stopButton); }});
  EXPECT_EQ(CountOnLayer(kRoomLayer), 16);
  EXPECT_EQ(gObjects.model.first->vertices[0].x, before.x);
  // A right click with no command running repeats the import.
  files.Cancel();
  platform::test::Click(draw, 50, 50, platform::kMouseRight);
  Pump();
  EXPECT_EQ(files.dialogs().size(), 3u);
}

}  // namespace
