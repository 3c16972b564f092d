// One dispatch for every program's table: a viewer-like table (no undo
// snapshots, no history after Open, six menus greyed) and a speaker-editor
// table (its database commands beside the drawing editor's edit family at
// 2300, with snapshots but no active layer), and the registry that binds
// only what a table holds.
#include "framework/shell/command_dispatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "framework/editor/edit_commands.h"
#include "framework/shell/menu_state.h"
#include "tests/support/recording_host.h"

namespace {

using Calls = std::vector<std::string>;

constexpr unsigned kListing = kRepeatCommand;  // a drawing menu's command with a window of its own
constexpr unsigned kEditor = kSnapshotFirst | kCommandButtons | kRepeatCommand;

// As kv's: Open and Exit, a unit with its history, Zoom All, the two
// listings on the loudspeaker and room layers, RT60 Sabine, the stored
// result and Help; positions 0 to 5 greyed while a command runs.
constexpr CommandSpec kViewerCommands[] = {
    {101, 0, {}},
    {105, 0, {}},
    {516, kWriteHistory, {}},
    {602, 0, {}},
    {1004, kListing, ActiveLayerChoice{2, 27}},
    {2502, kListing, ActiveLayerChoice{0, 0}},
    {5010, 0, {}},
    {5101, 0, {}},
    {kHelpCommand, 0, {}},
};
static_assert(IdsAscend(kViewerCommands));
constexpr CommandTable kViewerTable{kViewerCommands, 6};

// As ksb's: New Database and the switch to the drawing menu, the drawing
// editor's edit and face commands 2301 .. 2315 and the text at 4205, in
// the database menu's four greyed positions.
constexpr auto kSpeakerEditorCommands = [] {
  std::array<CommandSpec, 2 + 15 + 1> commands{};
  size_t n = 0;
  for (int id = 2301; id <= 2315; ++id) commands[n++] = {id, kEditor, {}};
  commands[n++] = {4205, kEditor, {}};
  commands[n++] = {6001, 0, {}};
  commands[n++] = {6302, 0, {}};
  return commands;
}();
static_assert(IdsAscend(kSpeakerEditorCommands));
constexpr CommandTable kSpeakerEditorTable{kSpeakerEditorCommands, 4};

class ProgramTableTest : public ::testing::Test {
 protected:
  void Bind(CommandRegistry& registry, int id) { ASSERT_TRUE(BindNoting(registry, host_, id)) << id; }
  // Runs `id` from a fresh host and returns what the dispatch did.
  Calls Run(const CommandRegistry& registry, int id) {
    host_.calls.clear();
    EXPECT_EQ(DispatchCommand(id, registry, host_), DispatchOutcome::kRan) << id;
    EXPECT_EQ(host_.running, 0);
    return host_.calls;
  }
  RecordingHost host_;
};

TEST_F(ProgramTableTest, AViewerTableTakesNoSnapshotsAndWritesNoHistoryAfterOpen) {
  CommandRegistry viewer(kViewerTable);
  for (int id : {101, 516, 1004, 2502}) Bind(viewer, id);
  EXPECT_EQ(Run(viewer, 101), (Calls{"menus off 6", "splash", "run 101 as 101", "menus on 6", "status"}));
  EXPECT_EQ(host_.last, 0u);
  EXPECT_EQ(Run(viewer, 516), (Calls{"menus off 6", "splash", "run 516 as 516", "history", "menus on 6", "status"}));
  // The listings: their menus' layers, no snapshot and no buttons, and
  // remembered for the right click.
  EXPECT_EQ(Run(viewer, 1004),
            (Calls{"menus off 6", "splash", "layer 2/27", "run 1004 as 1004", "menus on 6", "status"}));
  EXPECT_EQ(Run(viewer, 2502),
            (Calls{"menus off 6", "splash", "layer 0/0", "run 2502 as 2502", "menus on 6", "status"}));
  EXPECT_EQ(host_.last, 2502u);
  // What kdn has beyond the viewer's table cannot be bound.
  for (int id : {102, 1002, 2301, 5001}) EXPECT_FALSE(viewer.Bind(id, [] {})) << id;
  host_.calls.clear();
  EXPECT_EQ(DispatchCommand(102, viewer, host_), DispatchOutcome::kNoEntry);
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ProgramTableTest, ASpeakerEditorTableBindsItsDatabaseCommandsAndTheEditFamily) {
  CommandRegistry editor(kSpeakerEditorTable);
  Bind(editor, 6001);
  // The edit family at the drawing menu's base 2300, as BindEditCommands
  // binds it: the group commands are not in this table.
  for (int offset : {kEditDelete, kEditMove, kEditCopy, kEditTurn, kEditScale, kEditMirror, kEditMoveNodes})
    Bind(editor, 2300 + offset);
  for (int offset : {kEditBuildGroup, kEditSplitGroup}) EXPECT_FALSE(editor.Bind(2300 + offset, [] {}));

  EXPECT_EQ(Run(editor, 6001), (Calls{"menus off 4", "splash", "run 6001 as 6001", "menus on 4", "status"}));
  EXPECT_EQ(host_.last, 0u);
  const int move = 2300 + kEditMove;
  EXPECT_EQ(Run(editor, move), (Calls{"menus off 4", "splash", "buttons on", "snapshot", "run 2302 as 2302",
                                      "buttons off", "menus on 4", "status"}));
  EXPECT_EQ(host_.last, uint32_t(move));

  // While a drawing command waits, a database command is dropped and the
  // buttons reach the command.
  ASSERT_TRUE(editor.Bind(2300 + kEditDelete, [&] {
    EXPECT_EQ(DispatchCommand(6001, editor, host_), DispatchOutcome::kDropped);
    EXPECT_EQ(DispatchCommand(kStopButtonId, editor, host_), DispatchOutcome::kButton);
  }));
  const Calls calls = Run(editor, 2300 + kEditDelete);
  EXPECT_NE(std::find(calls.begin(), calls.end(), "cancel"), calls.end());
  EXPECT_EQ(std::find(calls.begin(), calls.end(), "run 6001 as 2301"), calls.end());
}

TEST(RegistryTest, ARegistryWithoutATableBindsNothing) {
  CommandRegistry none;
  EXPECT_FALSE(none.Bind(101, [] {}));
  EXPECT_TRUE(none.Table().commands.empty());
  RecordingHost host;
  EXPECT_EQ(DispatchCommand(101, none, host), DispatchOutcome::kNoEntry);
  EXPECT_TRUE(host.calls.empty());
}

TEST(MenuItemStatesTest, OnlyBuiltCommandsFollowTheirRulesAndHelpIsAlwaysThere) {
  CommandRegistry viewer(kViewerTable);
  viewer.Bind(101, [] {});
  viewer.Bind(602, [] {});
  const auto states = ComputeMenuItemStates(
      viewer, [](int id) { return id != 602; }, [](int id) { return id == 516; });
  ASSERT_EQ(states.size(), std::size(kViewerCommands));
  EXPECT_EQ(states.at(101), (MenuItemState{true, false}));
  EXPECT_EQ(states.at(602), (MenuItemState{false, false}));  // built, but the rule greys it
  EXPECT_EQ(states.at(516), (MenuItemState{false, true}));   // not built: greyed, yet checked
  EXPECT_EQ(states.at(kHelpCommand), (MenuItemState{true, false}));
}

}  // namespace
