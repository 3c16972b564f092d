// kdn's command table through the dispatch: what each of its menus does
// around a command, the buttons, help, dropped commands and the close box.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "design/shell/core/command_table.h"
#include "framework/shell/command_dispatch.h"
#include "tests/support/recording_host.h"

namespace {

class DispatchTest : public ::testing::Test {
 protected:
  // Binds `id` to a handler that notes it ran and what ran meanwhile.
  void Bind(int id) { ASSERT_TRUE(BindNoting(registry_, host_, id)); }
  CommandRegistry registry_{DesignCommandTable()};
  RecordingHost host_;
};

TEST_F(DispatchTest, ACommandRunsInsideItsMenuStateLayerButtonsAndSnapshot) {
  struct Case {
    int id;
    std::vector<std::string> calls;
    uint32_t last;
  };
  const Case cases[] = {
      // A room command: snapshot, room layer, buttons; remembered for repeating.
      {2206,
       {"menus off 9", "splash", "layer 0/0", "buttons on", "snapshot", "run 2206 as 2206", "buttons off", "menus on 9",
        "status"},
       2206},
      // File/Open writes the history and is not remembered.
      {101, {"menus off 9", "splash", "run 101 as 101", "history", "menus on 9", "status"}, 0},
      // The loudspeaker listing: its own window, no buttons.
      {1004, {"menus off 9", "splash", "layer 2/27", "snapshot", "run 1004 as 1004", "menus on 9", "status"}, 1004},
      // Delete purges the materials afterwards; audience layer and colour.
      {3301,
       {"menus off 9", "splash", "layer 1/21", "buttons on", "snapshot", "run 3301 as 3301", "purge", "buttons off",
        "menus on 9", "status"},
       3301},
      // Cluster balloons: buttons but no snapshot.
      {1016,
       {"menus off 9", "splash", "layer 2/27", "buttons on", "run 1016 as 1016", "buttons off", "menus on 9", "status"},
       1016},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    host_ = RecordingHost{};
    Bind(c.id);
    EXPECT_EQ(DispatchCommand(c.id, registry_, host_), DispatchOutcome::kRan);
    EXPECT_EQ(host_.calls, c.calls);
    EXPECT_EQ(host_.last, c.last);
    EXPECT_EQ(host_.running, 0);
  }
}

TEST_F(DispatchTest, ACommandChosenWhileAnotherRunsIsDroppedWithoutSideEffects) {
  Bind(1005);
  Bind(101);
  ASSERT_TRUE(registry_.Bind(2206, [this] {
    // The command waits for input; meanwhile the user picks other items.
    const size_t before = host_.calls.size();
    EXPECT_EQ(DispatchCommand(1005, registry_, host_), DispatchOutcome::kDropped);
    EXPECT_EQ(DispatchCommand(101, registry_, host_), DispatchOutcome::kDropped);
    EXPECT_EQ(host_.calls.size(), before);
    EXPECT_EQ(host_.running, 2206);
  }));
  EXPECT_EQ(DispatchCommand(2206, registry_, host_), DispatchOutcome::kRan);
  EXPECT_EQ(host_.last, 2206u);
  EXPECT_EQ(host_.running, 0);
}

TEST_F(DispatchTest, ButtonsReachOnlyTheRunningCommand) {
  ASSERT_TRUE(registry_.Bind(4201, [this] {
    for (int id : {kOkButtonId, kStopButtonId, 20003})
      EXPECT_EQ(DispatchCommand(id, registry_, host_), DispatchOutcome::kButton);
  }));
  DispatchCommand(4201, registry_, host_);
  const std::vector<std::string> expected = {"menus off 9", "splash",     "layer 7/14", "buttons on",
                                             "snapshot",    "done",       "cancel",     "forward 20003",
                                             "buttons off", "menus on 9", "status"};
  EXPECT_EQ(host_.calls, expected);
  // With nothing running a button id is no command.
  host_.calls.clear();
  EXPECT_EQ(DispatchCommand(kOkButtonId, registry_, host_), DispatchOutcome::kNoEntry);
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(DispatchTest, HelpOpensTheRunningCommandsTopicInEveryState) {
  ASSERT_TRUE(registry_.Bind(1005, [this] { DispatchCommand(kCmdHelp, registry_, host_); }));
  DispatchCommand(kCmdHelp, registry_, host_);
  DispatchCommand(1005, registry_, host_);
  EXPECT_EQ(host_.calls.front(), "help 0");
  EXPECT_NE(std::find(host_.calls.begin(), host_.calls.end(), "help 1005"), host_.calls.end());
}

TEST_F(DispatchTest, CommandsWithoutHandlerOrEntryDoNothing) {
  EXPECT_FALSE(registry_.Bind(4711, [] {}));
  EXPECT_FALSE(registry_.IsBuilt(4711));
  for (int id : {4711, 2302, 0}) EXPECT_EQ(DispatchCommand(id, registry_, host_), DispatchOutcome::kNoEntry) << id;
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_EQ(host_.last, 0u);
}

TEST_F(DispatchTest, TheCloseBoxCancelsARunningCommandElseExits) {
  CloseRequested(host_);
  host_.running = 2201;
  CloseRequested(host_);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"exit while 1", "cancel"}));
  EXPECT_EQ(host_.running, 2201);
}

TEST(CommandTableTest, MenusChooseLayerButtonsAndRepeating) {
  struct Case {
    int id;
    bool hasLayer;
    int16_t layer, colour;
    bool buttons, repeatable;
  };
  const Case cases[] = {
      {101, false, 0, 0, false, false}, {1002, true, 2, 27, true, true}, {1004, true, 2, 27, false, true},
      {2502, true, 0, 0, false, true},  {2601, true, 0, 0, true, true},  {2801, true, 0, 0, true, true},
      {3311, true, 1, 21, true, true},  {4315, true, 7, 14, true, true}, {5001, false, 0, 0, false, false},
  };
  const CommandTable& table = DesignCommandTable();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const CommandSpec* spec = FindCommand(table, c.id);
    ASSERT_NE(spec, nullptr);
    ASSERT_EQ(spec->layer.has_value(), c.hasLayer);
    if (spec->layer) {
      EXPECT_EQ(spec->layer->layer, c.layer);
      EXPECT_EQ(spec->layer->colour, c.colour);
    }
    EXPECT_EQ((spec->flags & kCommandButtons) != 0, c.buttons);
    EXPECT_EQ((spec->flags & kRepeatCommand) != 0, c.repeatable);
  }
  const unsigned drawingMenu = kCommandButtons | kRepeatCommand;
  EXPECT_EQ(FindCommand(table, 2315)->flags, unsigned(kSnapshotFirst | kPurgeMaterials) | drawingMenu);
  EXPECT_EQ(FindCommand(table, 1016)->flags, drawingMenu);
  EXPECT_EQ(FindCommand(table, 1021)->flags, unsigned(kWriteHistory) | drawingMenu);
  EXPECT_EQ(FindCommand(table, 2316), nullptr);
  EXPECT_EQ(FindCommand(table, 999), nullptr);
  EXPECT_EQ(table.greyedMenus, 9);
}

}  // namespace
