// kdn's object edit commands from its menus on the example hall: a move of
// room faces picked by a window, undone and redone; a cancelled copy; which
// of the menus' ids are bound.
#include <gtest/gtest.h>

#include <vector>

#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/status_line.h"
#include "framework/base/view_state.h"
#include "framework/model/layers.h"
#include "framework/program/drawing_program.h"
#include "framework/view/view_transform.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"

namespace {

class ObjectEditTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
    Command(kCmdUndo);  // nothing to undo yet: the hall as opened stays
    platform::test::KeyPress(platform::KeyF(1));
    platform::test::KeyPress(platform::KeyF(7));
    Pump();
    ASSERT_EQ(gView.mode, kViewXY);
  }
  // The room's vertices in list order.
  static std::vector<ObjectVertex> RoomVertices() {
    std::vector<ObjectVertex> out;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->layer == kRoomLayer) out.insert(out.end(), o->vertices, o->vertices + o->vertexCount);
    return out;
  }
  static bool Same(const std::vector<ObjectVertex>& a, const std::vector<ObjectVertex>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z) return false;
    return true;
  }
  void Click(int x, int y) { platform::test::Click(DrawWindow->window, x, y); }
};

TEST_F(ObjectEditTest, AMoveOfAWindowsFacesIsUndoneAndRedone) {
  const std::vector<ObjectVertex> before = RoomVertices();
  const int w = DrawWindow->right, h = DrawWindow->bottom;
  std::string basePrompt;
  RunSteps([&] { Command(2302); },
           {[&] { Click(2, 2); }, [&] { Click(w - 3, h - 3); }, [&] { platform::test::KeyPress(platform::kKeyEnter); },
            [&] {
              basePrompt = ShownStatusText();
              Click(w / 2, h / 2);
            },
            [&] { platform::test::MouseMove(DrawWindow->window, w / 2 + 30, h / 2 + 30); },
            [&] { Click(w / 2 + 60, h / 2 + 60); }});
  EXPECT_EQ(basePrompt, "MOVE > Basepoint :");
  EXPECT_EQ(gInput.activeCommand, 0);
  const std::vector<ObjectVertex> after = RoomVertices();
  ASSERT_EQ(after.size(), before.size());
  const float dx = after[0].x - before[0].x, dy = after[0].y - before[0].y;
  EXPECT_GT(dx, 0);
  EXPECT_LT(dy, 0);
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_NEAR(after[i].x - before[i].x, dx, 1e-3) << i;
    EXPECT_NEAR(after[i].y - before[i].y, dy, 1e-3) << i;
    EXPECT_EQ(after[i].z, before[i].z) << i;
  }
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) EXPECT_EQ(o->state & kStateSelected, 0u);
  Command(kCmdUndo);
  EXPECT_TRUE(Same(RoomVertices(), before));
  Command(kCmdRedo);
  EXPECT_TRUE(Same(RoomVertices(), after));
}

TEST_F(ObjectEditTest, ACancelledCopyLeavesNoCopies) {
  const std::vector<ObjectVertex> before = RoomVertices();
  const int w = DrawWindow->right, h = DrawWindow->bottom;
  RunSteps([&] { Command(2303); },
           {[&] { Click(2, 2); }, [&] { Click(w - 3, h - 3); }, [&] { platform::test::KeyPress(platform::kKeyEnter); },
            [&] { Click(w / 2, h / 2); }, [&] { platform::test::MouseMove(DrawWindow->window, w / 2 + 25, h / 2); },
            [&] { platform::test::ClickControl(gProgramShell.stopButton); }});
  EXPECT_TRUE(Same(RoomVertices(), before));
  EXPECT_EQ(CountOnLayer(kRoomLayer), 8);
}

TEST_F(ObjectEditTest, TheMenusBindTheFamilyWhereTheirTablesHoldIt) {
  const CommandRegistry& commands = gProgramShell.commands;
  for (int id : {2301, 2302, 2303, 2304, 2305, 2306, 2311, 2319, 2320, 3301, 3302, 3303, 3304,
                 3305, 3306, 3311, 4301, 4302, 4303, 4304, 4305, 4306, 4311, 1019, 1020})
    EXPECT_TRUE(commands.IsBuilt(id)) << id;
  for (int id : {3319, 3320, 4319, 4320}) EXPECT_FALSE(commands.IsBuilt(id)) << id;
}

}  // namespace
