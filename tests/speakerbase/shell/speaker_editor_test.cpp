// ksb's shell: the command table and its dispatch, the menu state of both
// menus, the switch between database and drawing mode with what it does to
// the records' shapes, the title, the end of the program and the selector
// after a failed Open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "design/model/speaker_database.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/model/graphic_object.h"
#include "framework/model/undo_ring.h"
#include "framework/program/drawing_program.h"
#include "platform/menu.h"
#include "platform/system.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/record_view_windows.h"
#include "speakerbase/shell/speaker_command_table.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"
#include "tests/speakerbase/shell/ksb_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

SpeakerDatabase& Db() { return gSpeakerEditor.database; }

bool Enabled(int id) { return platform::IsMenuItemEnabled(platform::GetWindowMenu(MainWindow.window), id); }
bool Checked(int id) { return platform::IsMenuItemChecked(platform::GetWindowMenu(MainWindow.window), id); }

int ShapeObjects(int record) {
  int n = 0;
  for (const GraphicObject* o = Db().records[size_t(record)].shape.list().first; o; o = o->next) ++n;
  return n;
}

std::vector<std::string> TableNames() {
  std::vector<std::string> names;
  for (const SpeakerDatabaseRecord& r : Db().records) names.push_back(r.type->TypeName());
  return names;
}

using ShellTest = KsbTest;

TEST_F(ShellTest, EveryCommandOfTheTableHasItsActionAndTheDrawingCommandsTheirFlags) {
  Start();
  const CommandTable& table = SpeakerEditorCommandTable();
  for (const CommandSpec& spec : table.commands) {
    const bool drawing = spec.id >= 1000 && spec.id <= 4999;
    EXPECT_EQ((spec.flags & kCommandButtons) != 0, drawing) << spec.id;
    EXPECT_EQ((spec.flags & kRepeatCommand) != 0, drawing) << spec.id;
    EXPECT_EQ((spec.flags & kSnapshotFirst) != 0, drawing) << spec.id;
    EXPECT_TRUE(gProgramShell.commands.IsBuilt(spec.id)) << spec.id;
  }
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "KSB V2.90 > LS001.KSB");
}

TEST_F(ShellTest, ASecondCommandWhileARecordViewIsOpenIsDroppedAndTheMenusComeBack) {
  StartWithExample();
  const size_t records = Db().records.size();
  int step = 0;
  platform::test::SetIdleHook([&] {
    if (step == 0) {
      EXPECT_NE(OpenRecordViewWindow(), platform::Window::kNone);
      EXPECT_FALSE(platform::IsMenuBarItemEnabled(platform::GetWindowMenu(MainWindow.window), 0));
      platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(kCmdDeleteSpeaker));
    } else if (step == 1) {
      platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(kBackButtonId));
    }
    ++step;
  });
  {
    MessageRecorder messages;  // a Delete that ran would ask
    Command(kCmdDataSheet);
    EXPECT_TRUE(messages.texts().empty());
  }
  platform::test::SetIdleHook(nullptr);
  EXPECT_EQ(OpenRecordViewWindow(), platform::Window::kNone);
  EXPECT_EQ(Db().records.size(), records);
  const platform::Menu menu = platform::GetWindowMenu(MainWindow.window);
  for (int i = 0; i < platform::MenuBarItemCount(menu); ++i) EXPECT_TRUE(platform::IsMenuBarItemEnabled(menu, i));
}

TEST_F(ShellTest, TheStartTakesTheWholeRecordTableOrEndsWithTheMemoryMessage) {
  Start();
  EXPECT_GE(Db().records.capacity(), kMaxDatabaseRecords);

  // AddressSanitizer's operator new ends the program where memory runs out
  // instead of throwing, so the refusal is seen in the other builds only.
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "no std::bad_alloc under AddressSanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "no std::bad_alloc under AddressSanitizer";
#endif
#endif
  MessageRecorder messages;
  SpeakerDatabase database;
  // A table no memory can hold.
  EXPECT_EQ(AllocSpeakerTables(database, database.records.max_size() / 2), 0);
  EXPECT_EQ(database.records.capacity(), 0u);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Insufficient memory for system start");
  EXPECT_FALSE(messages.messages()[0].hasCaption);
}

TEST_F(ShellTest, MenuStateFollowsTheRecordsAndTheDrawing) {
  Start();
  UpdateSpeakerMenuState();
  for (int id : {kCmdSaveDatabaseAs, kCmdDeleteSpeaker, kCmdSortSpeakers, kCmdEditSpeakerHeader, kCmdRotate90,
                 kCmdRotateMinus5, kCmdDataSheet, kCmdPolarPlots, kCmdBalloons})
    EXPECT_FALSE(Enabled(id)) << id;
  for (int id : {kCmdNewDatabase, kCmdOpenDatabase, kCmdAddGdf, kCmdDrawingMenu}) EXPECT_TRUE(Enabled(id)) << id;

  OpenSpeakerDatabaseAt(CopyExample("EXAMPLE.KSB"));
  UpdateSpeakerMenuState();
  for (int id : {kCmdSaveDatabaseAs, kCmdDeleteSpeaker, kCmdRotatePlus5, kCmdDataSheet, kCmdBalloons})
    EXPECT_TRUE(Enabled(id)) << id;

  Command(kCmdDrawingMenu);
  UpdateSpeakerMenuState();
  for (int id : {kCmdSaveDrawing, kCmdZoomAll, kCmdZoomWindow, kCmdUndoDrawing}) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(kCmdOpenDrawing));
  EXPECT_TRUE(Checked(kCmdCoordinateSnapOn));
  EXPECT_FALSE(Checked(kCmdCoordinateSnapOff));
  EXPECT_TRUE(Checked(kCmdNodeSnapOff));
  EXPECT_TRUE(Checked(kCmdWireframe));
  TakeUndoSnapshot();
  AppendSquareToDrawing(0.2f);
  UpdateSpeakerMenuState();
  for (int id : {kCmdSaveDrawing, kCmdZoomAll, kCmdZoomWindow, kCmdUndoDrawing}) EXPECT_TRUE(Enabled(id)) << id;
  ASSERT_TRUE(ChooseItem(kCmdNodeSnapOn));
  EXPECT_TRUE(Checked(kCmdNodeSnapOn));
  EXPECT_FALSE(Checked(kCmdNodeSnapOff));
}

TEST_F(ShellTest, TheModesSwitchMenusSelectorAndWindows) {
  StartWithExample();
  const platform::Menu databaseMenu = platform::GetWindowMenu(MainWindow.window);
  EXPECT_TRUE(platform::IsWindowVisible(RecordSelector()));
  EXPECT_FALSE(platform::IsWindowVisible(gSpeakerEditor.drawingWindow));
  ASSERT_TRUE(ChooseItem(kCmdDrawingMenu));
  EXPECT_TRUE(gSpeakerEditor.drawingMode);
  EXPECT_NE(platform::GetWindowMenu(MainWindow.window), databaseMenu);
  EXPECT_FALSE(platform::IsWindowVisible(RecordSelector()));
  EXPECT_TRUE(platform::IsWindowVisible(gSpeakerEditor.drawingWindow));
  EXPECT_EQ(DrawWindow->window, gSpeakerEditor.drawingWindow);
  // The database menu the switch greyed is enabled again, and the drawing menu too.
  for (platform::Menu menu : {databaseMenu, platform::GetWindowMenu(MainWindow.window)})
    for (int i = 0; i < platform::MenuBarItemCount(menu); ++i) EXPECT_TRUE(platform::IsMenuBarItemEnabled(menu, i));
  ASSERT_TRUE(ChooseItem(kCmdDatabaseMenu));
  EXPECT_FALSE(gSpeakerEditor.drawingMode);
  EXPECT_EQ(platform::GetWindowMenu(MainWindow.window), databaseMenu);
  EXPECT_TRUE(platform::IsWindowVisible(RecordSelector()));
  EXPECT_FALSE(platform::IsWindowVisible(gSpeakerEditor.drawingWindow));
}

TEST_F(ShellTest, OnlyDrawingModeLaysTheViewOutForANewSizeOrAViewKey) {
  StartWithExample();
  const auto resize = [](int width, int height) {
    const platform::Rect outer = platform::GetWindowRect(MainWindow.window);
    platform::MoveWindow(MainWindow.window, outer.left, outer.top, width, height, true);
  };
  const auto outerSize = [] {
    const platform::Rect outer = platform::GetWindowRect(MainWindow.window);
    return std::pair(outer.right - outer.left, outer.bottom - outer.top);
  };
  // Database mode: the main window, which is the view window there, stays
  // as the user made it.
  resize(760, 540);
  Pump();
  EXPECT_EQ(outerSize(), std::pair(760, 540));
  platform::SetFocus(MainWindow.window);
  for (int key : {1, 2, 4, 5, 7, 8}) {
    platform::test::KeyPress(platform::KeyF(key));
    Pump();
    EXPECT_EQ(outerSize(), std::pair(760, 540)) << "F" << key;
  }
  // Drawing mode: the drawing window follows the new size, and the keys act.
  ASSERT_TRUE(ChooseItem(kCmdDrawingMenu));
  resize(900, 640);
  Pump();
  EXPECT_EQ(outerSize(), std::pair(900, 640));
  const platform::Size main = platform::GetClientSize(MainWindow.window);
  const platform::Rect drawing = platform::GetWindowRect(gSpeakerEditor.drawingWindow);
  EXPECT_EQ(drawing.right - drawing.left, main.width - 64);
  EXPECT_EQ(drawing.bottom - drawing.top, main.height - 48);
  platform::SetFocus(MainWindow.window);
  platform::test::KeyPress(platform::KeyF(2));
  Pump();
  EXPECT_EQ(gView.mode, kViewYZ);
}

// What happens to the drawing between entering and leaving drawing mode.
struct DrawingCase {
  const char* name;
  std::function<void(KsbTest&)> act;
  bool drawn;  // the drawing holds the new square when leaving
};

const std::vector<DrawingCase>& DrawingCases() {
  static const std::vector<DrawingCase> cases = {
      {"left empty", [](KsbTest&) {}, false},
      {"drawn", [](KsbTest&) { AppendSquareToDrawing(0.3f); }, true},
      {"emptied by New",
       [](KsbTest&) {
         AppendSquareToDrawing(0.3f);
         platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(kCmdNewDrawing));
       },
       false},
      {"emptied by Delete",
       [](KsbTest&) {
         AppendSquareToDrawing(0.3f);
         FreeAllObjects();
       },
       false},
      {"emptied by Undo",
       [](KsbTest&) {
         TakeUndoSnapshot();
         AppendSquareToDrawing(0.3f);
         platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(kCmdUndoDrawing));
       },
       false},
  };
  return cases;
}

class ModeMatrixTest : public KsbTest {
 protected:
  // Leaves drawing mode and checks the current record's shape, then saves,
  // opens the file again and checks the shape and the file's length.
  void LeaveSaveAndOpen(int expectedShape) {
    Command(kCmdDatabaseMenu);
    ASSERT_FALSE(gSpeakerEditor.drawingMode);
    ASSERT_EQ(ShapeObjects(0), expectedShape);
    platform::test::FileDialogScript files;
    files.Choose(Path("SAVED.KSB"));
    files.Choose(Path("SAVED.KSB"));
    Command(kCmdSaveDatabaseAs);
    uint64_t expectedSize = kSpeakerDatabaseHeaderSize;
    for (const SpeakerDatabaseRecord& r : Db().records)
      expectedSize += kSpeakerTypeSize + ShapeChainLength(r.shape.list());
    EXPECT_EQ(std::filesystem::file_size(Path("SAVED.KSB")), expectedSize);
    Command(kCmdOpenDatabase);
    ASSERT_EQ(Db().fileName, Path("SAVED.KSB"));
    EXPECT_EQ(ShapeObjects(0), expectedShape);
    EXPECT_FALSE(Db().modified);
  }
};

TEST_F(ModeMatrixTest, ARecordWithAShapeKeepsItUnlessADrawingReplacesIt) {
  for (const DrawingCase& c : DrawingCases()) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    StartWithExample();
    // The first record's shape: one square, stored from the drawing.
    Command(kCmdDrawingMenu);
    AppendSquareToDrawing(0.1f);
    Command(kCmdDatabaseMenu);
    ASSERT_EQ(ShapeObjects(0), 1);
    ASSERT_TRUE(Db().modified) << "a stored shape is a change to be saved";
    Command(kCmdDrawingMenu);
    EXPECT_EQ(CountDrawingObjects(), 1) << "the record's shape is drawn";
    EXPECT_FALSE(CanUndo());
    c.act(*this);
    Pump();
    LeaveSaveAndOpen(c.drawn ? 2 : 1);
  }
}

TEST_F(ModeMatrixTest, ARecordWithoutAShapeTakesOnlyADrawing) {
  for (const DrawingCase& c : DrawingCases()) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    StartWithExample();
    Command(kCmdDrawingMenu);
    EXPECT_EQ(CountDrawingObjects(), 0);
    c.act(*this);
    Pump();
    LeaveSaveAndOpen(c.drawn ? 1 : 0);
  }
}

TEST_F(ModeMatrixTest, AnEmptyDatabaseAsksToStoreADrawingAsAFile) {
  for (const DrawingCase& c : DrawingCases()) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    Start();
    Command(kCmdDrawingMenu);
    c.act(*this);
    Pump();
    MessageRecorder messages;
    messages.Answer(kIdOk);
    platform::test::FileDialogScript files;
    files.Choose(Path("SHAPE.TCF"));
    Command(kCmdDatabaseMenu);
    if (!c.drawn) {
      EXPECT_TRUE(messages.texts().empty());
      EXPECT_FALSE(gSpeakerEditor.drawingMode);
      continue;
    }
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, kStoreDrawingMessage);
    EXPECT_EQ(messages.messages()[0].caption, kNoSpeakerCaption);
    EXPECT_TRUE(gSpeakerEditor.drawingMode) << "OK saves the drawing and stays";
    EXPECT_TRUE(std::filesystem::exists(Path("SHAPE.TCF")));
    // Cancel goes back to the database.
    messages.Answer(kIdCancel);
    Command(kCmdDatabaseMenu);
    EXPECT_FALSE(gSpeakerEditor.drawingMode);
    EXPECT_TRUE(Db().records.empty());
  }
}

TEST_F(ShellTest, AnUndoNeverBringsAnotherRecordsShapeBack) {
  StartWithExample();
  Command(kCmdDrawingMenu);
  TakeUndoSnapshot();
  AppendSquareToDrawing(0.2f);
  Command(kCmdDatabaseMenu);
  ASSERT_EQ(ShapeObjects(0), 1);
  RebuildRecordSelector(1);
  Command(kCmdDrawingMenu);
  EXPECT_FALSE(CanUndo());
  Command(kCmdUndoDrawing);
  EXPECT_EQ(CountDrawingObjects(), 0);
  Command(kCmdDatabaseMenu);
  EXPECT_EQ(ShapeObjects(1), 0);
  EXPECT_EQ(ShapeObjects(0), 1);
}

TEST_F(ShellTest, QuitExitAndTheCloseBoxAskBeforeAStoredShapeIsLost) {
  StartWithExample();
  Command(kCmdDrawingMenu);
  AppendSquareToDrawing(0.2f);
  // Exit from drawing mode takes the drawing into the record first.
  for (int id : {int(kCmdExitEditor), int(kCmdDatabaseMenu), int(kCmdQuit)}) {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    Command(id);
    if (id == kCmdDatabaseMenu) continue;
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kDatabaseNotSavedMessage}) << id;
    EXPECT_TRUE(platform::IsWindow(MainWindow.window)) << id;
  }
  {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    platform::test::RequestClose(MainWindow.window);
    Pump();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kDatabaseNotSavedMessage});
    EXPECT_TRUE(platform::IsWindow(MainWindow.window));
  }
  MessageRecorder messages;
  messages.Answer(kIdOk);
  Command(kCmdQuit);
  EXPECT_FALSE(platform::IsWindow(MainWindow.window));
}

TEST_F(ShellTest, AFailedOrPartialOpenLeavesASelectorThatMatchesTheTable) {
  StartWithExample();
  const std::string bad = Path("BAD.KSB");
  std::ofstream(bad) << "not a speaker database at all, just text";
  {
    MessageRecorder messages;
    platform::test::FileDialogScript files;
    files.Choose(bad);
    Command(kCmdOpenDatabase);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kInvalidDatabaseMessage});
  }
  EXPECT_EQ(Listed(), TableNames());
  EXPECT_EQ(Db().records.size(), 2u);

  // A copy cut inside its second record.
  const std::string cut = Path("CUT.KSB");
  std::filesystem::copy_file(Path("EXAMPLE.KSB"), cut);
  std::filesystem::resize_file(cut, kSpeakerDatabaseHeaderSize + kSpeakerTypeSize + 100);
  MessageRecorder messages;
  platform::test::FileDialogScript files;
  files.Choose(cut);
  Command(kCmdOpenDatabase);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kCantLoadDatabaseMessage});
  ASSERT_EQ(Db().records.size(), 1u);
  EXPECT_EQ(Listed(), TableNames());
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "KSB V2.90 > " + platform::UpperCaseText(cut));
}

TEST_F(ShellTest, TheSessionPasswordIsAskedUntilGivenOrGivenUp) {
  Start();
  platform::test::DialogScript dialogs;
  int prompts = 0;
  for (const char* typed : {"", "owner-password-of-25-chars"})
    dialogs.On("PASSWORD", [&prompts, typed](platform::test::DialogUser& user) {
      ++prompts;
      user.Type(105, typed);
      user.Press(102);
    });
  MessageRecorder messages;
  messages.Answer(kIdOk);  // asked again
  AskSessionPassword();
  EXPECT_EQ(prompts, 2);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kNoPasswordMessage});
  const auto password = gSpeakerEditor.session.Password();
  EXPECT_EQ(std::string(password.begin(), password.end()), "owner-password-of-25");
}

}  // namespace
