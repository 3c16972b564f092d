// Room/Check Room Boundary in kdn: the views it looks along, the gap markers
// it draws and draws again in the 3D view it ends in, the faces it turns
// round (undone by Undo), and the example hall, which is closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "design/acoustics/room_check.h"
#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/view/projection.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"
#include "tests/support/object_fixtures.h"

namespace {

using Texts = std::vector<std::string>;

class RoomCheckCommandTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    Start();
  }
  // The model becomes the 4 x 3 x 2.5 m box, one object a face, each facing
  // inwards but the wall at x = 4 when `wallOutwards`; without the ceiling
  // when `withCeiling` is false.
  static void Box(bool withCeiling, bool wallOutwards = false) {
    ResetObjectStore();
    std::vector<Polygon> polygons = BoxFaces(4, 3, 2.5f);
    if (wallOutwards) polygons[3] = Reversed(polygons[3]);
    for (size_t i = 0; i < polygons.size(); ++i)
      if (withCeiling || i != 1) AddObject({polygons[i]});
  }
  // The vertices of a face in the order its items walk them, from the
  // smallest on (where the walk starts does not turn the face).
  static std::vector<std::array<float, 3>> Walk(const GraphicObject* o) {
    std::vector<std::array<float, 3>> walk;
    for (uint32_t i = 0; i < o->itemCount; ++i)
      if (o->items[i].op != kOpAttribute) {
        const ObjectVertex& v = o->vertices[o->items[i].index];
        walk.push_back({v.x, v.y, v.z});
      }
    std::rotate(walk.begin(), std::min_element(walk.begin(), walk.end()), walk.end());
    return walk;
  }
  static std::vector<std::vector<std::array<float, 3>>> Walks() {
    std::vector<std::vector<std::array<float, 3>>> walks;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next) walks.push_back(Walk(o));
    std::sort(walks.begin(), walks.end());
    return walks;
  }
};

TEST_F(RoomCheckCommandTest, AnOpenBoxIsReportedAndItsGapsMarkedInTheThreeDView) {
  Box(false);
  MessageRecorder messages;
  gView.mode = kViewXY;
  Command(kCmdCheckRoomBoundaries);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "XY -Error");
  EXPECT_EQ(messages.messages()[0].caption, kMissingFacesCaption);
  EXPECT_EQ(gView.mode, kView3D);
  // A gap of the z scan: its first crossing, on the floor, marked in brush
  // 16 over the fitted 3D view.
  const ObjectVertex gap{2.05f, 1.55f, 0};
  ProjectPointToScreen(gap);
  const ScreenVertex at = gWork.screenPoints[0];
  EXPECT_EQ(platform::test::SurfacePixel(DrawWindow->window, at.x, at.y), gPalette.colours[16]);
  EXPECT_EQ(gInput.activeCommand, 0);
}

TEST_F(RoomCheckCommandTest, AFaceTurnedRoundMarksTheProjectAndUndoTurnsItBack) {
  Box(true);
  const auto inwards = Walks();
  Box(true, true);
  const auto outwards = Walks();
  gProject.modified = 0;
  MessageRecorder messages;
  Command(kCmdCheckRoomBoundaries);
  EXPECT_EQ(messages.texts(), Texts{"1Faces auto-inverted "});
  EXPECT_NE(gProject.modified, 0);
  EXPECT_EQ(Walks(), inwards);
  // The snapshot taken before the command holds the wall facing out.
  Command(kCmdUndo);
  EXPECT_EQ(Walks(), outwards);
}

TEST_F(RoomCheckCommandTest, OneFaceIsNoRoomAndLeavesTheView) {
  ResetObjectStore();
  AddObject({RectangleXY(0, 0, 4, 3)});
  gView.mode = kViewXY;
  MessageRecorder messages;
  Command(kCmdCheckRoomBoundaries);
  EXPECT_EQ(messages.texts(), Texts{kNoRoomBoundariesMessage});
  EXPECT_EQ(gView.mode, kViewXY);
}

TEST_F(RoomCheckCommandTest, TheExampleHallIsClosed) {
  OpenHall();
  MessageRecorder messages;
  ASSERT_TRUE(ChooseItem(kCmdCheckRoomBoundaries));
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "No errors found");
  EXPECT_EQ(messages.messages()[0].caption, kRoomCheckPassedCaption);
  EXPECT_EQ(gView.mode, kView3D);
}

}  // namespace
