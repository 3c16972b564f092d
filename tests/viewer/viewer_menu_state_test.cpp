// kv's menu rules over what the model holds.
#include "viewer/viewer_menu_state.h"

#include <gtest/gtest.h>

#include "design/commands/command_ids.h"
#include "viewer/viewer_commands.h"

namespace {

// Every command of kv's table built, so that the rules alone decide.
CommandRegistry AllBuilt() {
  CommandRegistry registry(ViewerCommandTable());
  for (const CommandSpec& c : ViewerCommandTable().commands) registry.Bind(c.id, [] {});
  return registry;
}

struct Case {
  int faces, audience, speakers;
  bool held;
  // Enabled: the face list and RT60, Load Ray File, Show Last Calulation,
  // Load Calculation, the listing, Zoom All.
  bool faceList, rayFile, showLast, loadMap, listing, zoom;
};

TEST(ViewerMenuStateTest, FollowsRoomFacesAudienceLoudspeakersAndTheHeldCalculation) {
  const CommandRegistry registry = AllBuilt();
  const Case cases[] = {
      {0, 0, 0, false, false, false, false, false, false, false},
      {0, 0, 0, true, false, false, false, false, false, false},
      {1, 0, 0, false, true, false, false, false, false, true},
      {1, 0, 0, true, true, false, true, false, false, true},
      {1, 0, 1, false, true, true, false, false, true, true},
      {0, 1, 0, true, false, false, false, true, false, true},
      {0, 1, 1, true, false, false, true, true, true, true},
      {0, 1, 1, false, false, false, false, true, true, true},
      {0, 0, 1, true, false, false, false, false, true, true},
      {1, 1, 1, true, true, true, true, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.faces << c.audience << c.speakers << c.held);
    ViewerMenuStateInput in;
    in.roomObjects = in.roomFacesOrSolids = c.faces;
    in.audienceObjects = c.audience;
    in.loudspeakers = c.speakers;
    in.calculationHeld = c.held;
    const auto states = ComputeViewerMenuState(in, registry);
    EXPECT_EQ(states.at(kCmdFaceList).enabled, c.faceList);
    for (int id = kCmdRt60Sabine; id <= kCmdRt60Measurement; ++id) EXPECT_EQ(states.at(id).enabled, c.faceList);
    EXPECT_EQ(states.at(kCmdLoadRayFile).enabled, c.rayFile);
    EXPECT_EQ(states.at(kCmdShowLastCalculation).enabled, c.showLast);
    EXPECT_EQ(states.at(kCmdSaveCalculation).enabled, c.showLast);
    EXPECT_EQ(states.at(kCmdLoadCalculation).enabled, c.loadMap);
    EXPECT_EQ(states.at(kCmdSpeakerListing).enabled, c.listing);
    EXPECT_EQ(states.at(kCmdZoomAll).enabled, c.zoom);
    EXPECT_EQ(states.at(kCmdZoomWindow).enabled, c.zoom);
    EXPECT_TRUE(states.at(kCmdOpenProject).enabled);
    EXPECT_TRUE(states.at(kHelpCommand).enabled);
  }
}

TEST(ViewerMenuStateTest, RoomLinesWithoutFacesCountAsNoRoom) {
  ViewerMenuStateInput in;
  in.roomObjects = 3;
  in.loudspeakers = 1;
  const auto states = ComputeViewerMenuState(in, AllBuilt());
  EXPECT_FALSE(states.at(kCmdFaceList).enabled);
  EXPECT_FALSE(states.at(kCmdLoadRayFile).enabled);
  EXPECT_TRUE(states.at(kCmdZoomAll).enabled);
}

TEST(ViewerMenuStateTest, CheckMarksShowTheLayersTheFaceModeTheSnapsAndTheUnit) {
  ViewerMenuStateInput in;
  in.layerShown = {true, false, true, false, true, false, false, true, false};
  in.hiddenFaces = true;
  in.nodeSnap = true;
  in.feet = true;
  const auto states = ComputeViewerMenuState(in, AllBuilt());
  const std::pair<int, bool> marks[] = {
      {kCmdShowRoom, true},    {kCmdShowAudience, false},     {kCmdShowLoudspeakers, true},
      {kCmdAimPoints, true},   {kCmdShowAuxiliary, true},     {kCmdShowGrid, false},
      {kCmdWireframe, false},  {kCmdHiddenFaces, true},       {kCmdNodeSnapOff, false},
      {kCmdNodeSnapOn, true},  {kCmdCoordinateSnapOff, true}, {kCmdCoordinateSnapOn, false},
      {kCmdUnitMetres, false}, {kCmdUnitFeet, true},          {kCmdOpenProject, false},
  };
  for (const auto& [id, checked] : marks) EXPECT_EQ(states.at(id).checked, checked) << id;
}

TEST(ViewerMenuStateTest, ACommandWithoutAHandlerStaysGreyed) {
  CommandRegistry registry(ViewerCommandTable());
  ViewerMenuStateInput in;
  in.roomObjects = in.roomFacesOrSolids = 1;
  const auto states = ComputeViewerMenuState(in, registry);
  EXPECT_FALSE(states.at(kCmdFaceList).enabled);
  EXPECT_TRUE(states.at(kHelpCommand).enabled);
}

}  // namespace
