#include "design/shell/menu_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/shell/core/command_table.h"

namespace {

// A registry in which every command of the table is built, so that the
// rules alone decide.
CommandRegistry AllBuilt() {
  CommandRegistry registry(DesignCommandTable());
  for (const CommandSpec& command : DesignCommandTable().commands) registry.Bind(command.id, [] {});
  return registry;
}

// The enabled ones among `ids`.
std::vector<int> EnabledOf(const std::map<int, MenuItemState>& states, const std::vector<int>& ids) {
  std::vector<int> enabled;
  for (int id : ids)
    if (states.at(id).enabled) enabled.push_back(id);
  return enabled;
}

TEST(MenuStateTest, ItemsFollowWhatTheModelHolds) {
  // Items whose state depends on the model, in one list for every scenario.
  const std::vector<int> ids = {102,  121,  123,  125,  127,  602,  1002, 1003, 1018, 2301, 2315, 2501, 2502,
                                2601, 3301, 3311, 4301, 4315, 5001, 5010, 5013, 5020, 5021, 5101, 5102, 5103};
  struct Scenario {
    std::string name;
    MenuStateInput input;
    std::vector<int> enabled;
  };
  MenuStateInput empty;
  MenuStateInput roomLines;  // room objects, but no face among them
  roomLines.roomObjects = 2;
  MenuStateInput room = roomLines;
  room.roomFacesOrSolids = 1;
  MenuStateInput hall = room;  // room, audience and loudspeakers
  hall.audienceObjects = 1;
  hall.loudspeakers = 2;
  MenuStateInput result = hall;
  result.resultPresent = true;
  MenuStateInput speakersOnly;
  speakersOnly.loudspeakers = 1;
  speakersOnly.resultPresent = true;
  speakersOnly.speakerDatabase = true;
  MenuStateInput auxiliary;
  auxiliary.auxiliaryObjects = 1;

  const Scenario scenarios[] = {
      {"empty model", empty, {}},
      {"room lines", roomLines, {102, 602, 2301, 2315}},
      {"room faces", room, {102, 121, 123, 602, 2301, 2315, 2501, 2502, 2601, 5010, 5013}},
      {"hall", hall, {102,  121,  123,  125,  127,  602,  1003, 1018, 2301, 2315, 2501,
                      2502, 2601, 3301, 3311, 5001, 5010, 5013, 5020, 5021, 5103}},
      {"result", result, {102,  121,  123,  125,  127,  602,  1003, 1018, 2301, 2315, 2501, 2502,
                          2601, 3301, 3311, 5001, 5010, 5013, 5020, 5021, 5101, 5102, 5103}},
      // A result without a room face or audience area has nothing to show.
      {"loudspeakers only", speakersOnly, {102, 125, 127, 602, 1002, 1003, 1018}},
      {"auxiliary drawing", auxiliary, {102, 602, 4301, 4315}},
  };
  const CommandRegistry registry = AllBuilt();
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(EnabledOf(ComputeMenuState(s.input, registry), ids), s.enabled);
  }
}

TEST(MenuStateTest, UndoRecentAndAudioItemsFollowTheirState) {
  MenuStateInput input;
  input.canRedo = true;
  input.recentProjects = 2;
  const std::vector<int> ids = {101, 104, 110, 111, 112, 113, 201, 202, 5032, 5034, 11111};
  EXPECT_EQ(EnabledOf(ComputeMenuState(input, AllBuilt()), ids), (std::vector<int>{101, 104, 110, 111, 202, 11111}));
  input.canUndo = true;
  input.audioReady = true;
  input.recentProjects = 4;
  EXPECT_EQ(EnabledOf(ComputeMenuState(input, AllBuilt()), ids), ids);
}

TEST(MenuStateTest, ChecksShowLayersSwitchesAndUnit) {
  MenuStateInput input;
  input.layerShown = {true, false, true, false, true, false, false, false, true};
  input.hiddenFaces = true;
  input.nodeSnap = true;
  input.feet = true;
  const auto states = ComputeMenuState(input, AllBuilt());
  std::vector<int> checked;
  for (const auto& [id, state] : states)
    if (state.checked) checked.push_back(id);
  EXPECT_EQ(checked, (std::vector<int>{509, 511, 517, 605, 608, 610, 612, 614}));
}

TEST(MenuStateTest, ACommandWithoutHandlerIsAlwaysGreyed) {
  CommandRegistry registry(DesignCommandTable());
  registry.Bind(101, [] {});
  MenuStateInput hall;
  hall.roomObjects = hall.roomFacesOrSolids = hall.audienceObjects = hall.loudspeakers = 1;
  const auto states = ComputeMenuState(hall, registry);
  EXPECT_TRUE(states.at(101).enabled);
  EXPECT_FALSE(states.at(5001).enabled);
  EXPECT_FALSE(states.at(2301).enabled);
  EXPECT_TRUE(states.at(kCmdHelp).enabled);
  EXPECT_EQ(states.size(), DesignCommandTable().commands.size());
}

}  // namespace
