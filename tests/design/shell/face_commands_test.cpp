// The face and solid commands in kdn, driven by clicks, keys and the
// prompts' dialogs: solids that face inwards, cuts along a drawn line,
// faces deleted and inverted, solids taken apart and put together, and
// cancels and refusals that leave the model as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/model/face_geometry.h"
#include "framework/model/graphic_object.h"
#include "framework/view/view_transform.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"
#include "tests/support/object_fixtures.h"

namespace {

using platform::test::DialogUser;
using Step = std::function<void()>;

constexpr int kExtrude = 2307, kRotate = 2308, kDismantle = 2309, kAssemble = 2310, kInsertNodes = 2312;
constexpr int kSplitFace = 2313, kInvertFace = 2314, kDeleteFace = 2315, kAuxExtrude = 4307;

class FaceCommandTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    Start();
    Show(kViewXY);
  }
  // A 2D view at 20 pixels per metre around the origin, snap off.
  void Show(ViewMode mode) {
    gView.mode = mode;
    gView.scale = 20;
    gView.originX = gView.originY = 0;
    gView.coordinateSnap = 0;
    LayoutAndRedraw();
    Pump();
  }
  // A click at (h, v) along the view's horizontal and vertical axes.
  static Step ClickAt(float h, float v) {
    return [h, v] {
      const int x = int(gView.centreX + h * gView.scale), y = int(gView.centreY - v * gView.scale);
      platform::test::MouseMove(DrawWindow->window, x, y);
      platform::test::Click(DrawWindow->window, x, y);
    };
  }
  // Ends a picker's input as Enter does; keys go where the focus is, which
  // the dialogs of an earlier command may have taken.
  static Step RightClick() {
    return [] { platform::test::Click(DrawWindow->window, 5, 5, platform::kMouseRight); };
  }
  static Step Key(unsigned key) {
    return [key] { platform::test::KeyPress(key); };
  }
  void Run(int id, std::vector<Step> steps) {
    RunSteps([&] { Command(id); }, std::move(steps));
  }
};

int CountFaces(const GraphicObject* o) {
  int n = 0;
  for (uint32_t i = 0; i < o->itemCount; ++i) n += o->items[i].op == kOpStart;
  return n;
}

double Volume(const GraphicObject* o) {
  double area = 0, volume = 0;
  ObjectAreaVolume(*o, area, volume);
  return volume;
}

// The one-line prompts answered in turn with `texts`.
void AnswerPrompts(platform::test::DialogScript& dialogs, std::vector<std::string> texts) {
  for (const std::string& text : texts) {
    dialogs.On("DIALOG_3", [text](DialogUser& user) {
      user.Type(105, text);
      user.Press(102);
    });
  }
}

TEST_F(FaceCommandTest, ExtrudeInTheFrontViewMakesAClosedPrismAndUndoes) {
  AddObject({RectangleXY(0, 0, 2, 1)}, 4);
  Show(kViewXZ);
  // The square seen edge-on along z = 0; offset (0, 0, 3).
  Run(kExtrude, {ClickAt(1, 0), Key(platform::kKeyEnter), ClickAt(0, 0), ClickAt(0, 3)});
  GraphicObject* solid = gObjects.model.first;
  ASSERT_NE(solid, nullptr);
  EXPECT_EQ(solid->next, nullptr);
  EXPECT_EQ(solid->kind, kKindSolid);
  EXPECT_EQ(solid->vertexCount, 8u);
  EXPECT_EQ(CountFaces(solid), 6);
  EXPECT_NEAR(Volume(solid), 6, 1e-5);
  EXPECT_EQ(solid->state & kStateSelected, 0u);
  EXPECT_NE(gProject.modified, 0);
  EXPECT_EQ(gInput.activeCommand, 0);
  Command(kCmdUndo);
  ASSERT_NE(gObjects.model.first, nullptr);
  EXPECT_EQ(gObjects.model.first->kind, kKindFace);
  EXPECT_EQ(gObjects.model.first->vertexCount, 4u);
}

TEST_F(FaceCommandTest, ExtrudeCancelledOrTooBigChangesNothingFurther) {
  GraphicObject* square = AddObject({RectangleXY(0, 0, 2, 1)});
  Show(kViewXZ);
  Run(kExtrude, {ClickAt(1, 0), Key(platform::kKeyEnter), ClickAt(0, 0), Key(platform::kKeyEscape)});
  EXPECT_EQ(gObjects.model.first, square);
  EXPECT_EQ(square->state, 0u);
  // The auxiliary menu sees only its own layer: nothing to pick here.
  Run(kAuxExtrude, {ClickAt(1, 0), Key(platform::kKeyEnter)});
  EXPECT_EQ(gObjects.model.first, square);
  // An object of 2701 vertices is too big.
  Polygon big;
  for (int i = 0; i < 2701; ++i) big.push_back({float(i) / 1000, float(i % 2) / 1000, 0});
  FreeAllObjects();
  GraphicObject* tooBig = AddObject({big});
  MessageRecorder messages;
  Run(kExtrude, {ClickAt(1, 0), Key(platform::kKeyEnter), ClickAt(0, 0), ClickAt(0, 3)});
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Object too big for extrusion"});
  EXPECT_EQ(gObjects.model.first, tooBig);
  EXPECT_EQ(tooBig->kind, kKindFace);
}

TEST_F(FaceCommandTest, RotateTakesWholeSegmentCountsAndCapsAPartTurn) {
  // A profile in the plane x = 0, seen edge-on in the plan along y.
  GraphicObject* profile = AddObject({{{0, 1, 0}, {0, 2, 0}, {0, 2, 1}, {0, 1, 1}}});
  for (const char* segments : {"0", "-3", "2.5"}) {
    SCOPED_TRACE(segments);
    platform::test::DialogScript dialogs;
    AnswerPrompts(dialogs, {"360", segments});
    MessageRecorder messages;
    Run(kRotate, {ClickAt(0, 1.5f), RightClick(), ClickAt(0, 0)});
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Invalid entry !"});
    EXPECT_EQ(gObjects.model.first, profile);
    EXPECT_EQ(profile->vertexCount, 4u);
  }
  platform::test::DialogScript dialogs;
  std::string offered;
  AnswerPrompts(dialogs, {"90"});
  dialogs.On("DIALOG_3", [&offered](DialogUser& user) {
    offered = user.Text(105);
    user.Type(105, "9");
    user.Press(102);
  });
  Run(kRotate, {ClickAt(0, 1.5f), RightClick(), ClickAt(0, 0)});
  EXPECT_EQ(offered, "  9");
  GraphicObject* solid = gObjects.model.first;
  ASSERT_NE(solid, nullptr);
  EXPECT_EQ(solid->kind, kKindSolid);
  EXPECT_EQ(CountFaces(solid), 38);
  EXPECT_GT(Volume(solid), 2.3);
}

TEST_F(FaceCommandTest, SplitFaceAlongADrawnLineKeepsTheMaterial) {
  AddObject({RectangleXY(0, 0, 2, 2)}, 6);
  Run(kSplitFace, {ClickAt(0.5f, 0.5f), Key(platform::kKeyEnter), ClickAt(1, -1), ClickAt(1, 3)});
  GraphicObject* solid = gObjects.model.first;
  ASSERT_NE(solid, nullptr);
  EXPECT_EQ(solid->kind, kKindSolid);
  ASSERT_EQ(CountFaces(solid), 2);
  EXPECT_EQ(solid->vertexCount, 6u);
  for (uint32_t i = 0; i < solid->itemCount; ++i) {
    if (solid->items[i].op == kOpAttribute) {
      EXPECT_EQ(solid->items[i].index, 6);
    }
  }

  // A line ending inside the face: told, nothing changes.
  Command(kCmdUndo);
  GraphicObject* square = gObjects.model.first;
  {
    MessageRecorder messages;
    Run(kSplitFace, {ClickAt(0.5f, 0.5f), Key(platform::kKeyEnter), ClickAt(1, -1), ClickAt(1, 1)});
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Only 1 intersection found, operation cancelled"});
    EXPECT_EQ(gObjects.model.first, square);
    EXPECT_EQ(square->vertexCount, 4u);
  }
}

TEST_F(FaceCommandTest, InsertNodesAndInvertFace) {
  GraphicObject* square = AddObject({RectangleXY(0, 0, 2, 2)});
  Run(kInsertNodes, {ClickAt(0, 1), Key(platform::kKeyEnter), ClickAt(1, -1), ClickAt(1, 3)});
  GraphicObject* result = gObjects.model.first;
  ASSERT_NE(result, nullptr);
  EXPECT_NE(result, square);
  EXPECT_EQ(result->vertexCount, 6u);
  EXPECT_EQ(result->kind, kKindFace);
  EXPECT_EQ(gDrawing.nodeMarkers, 0);

  const Vec3d before = ComputeFaceAreaVector(*result, 0);
  Run(kInvertFace, {ClickAt(0.5f, 0.5f), Key(platform::kKeyEnter)});
  const Vec3d after = ComputeFaceAreaVector(*gObjects.model.first, 0);
  EXPECT_NEAR(after.z, -before.z, 1e-6);
}

TEST_F(FaceCommandTest, AssembleDismantleAndDeleteTheLastFace) {
  AddObject({RectangleXY(0, 0, 1, 1)});
  AddObject({RectangleXY(1, 0, 2, 1)});
  // A window from the lower left to the upper right catches both.
  Run(kAssemble, {ClickAt(-1, -1), ClickAt(3, 2), Key(platform::kKeyEnter)});
  GraphicObject* solid = gObjects.model.first;
  ASSERT_NE(solid, nullptr);
  EXPECT_EQ(solid->next, nullptr);
  EXPECT_EQ(solid->kind, kKindSolid);
  EXPECT_EQ(solid->vertexCount, 6u);

  Run(kDismantle, {ClickAt(1, 0.5f), Key(platform::kKeyEnter)});
  ASSERT_NE(gObjects.model.first, nullptr);
  ASSERT_NE(gObjects.model.first->next, nullptr);
  EXPECT_EQ(gObjects.model.first->kind, kKindFace);
  EXPECT_EQ(gObjects.model.first->next->kind, kKindFace);
  EXPECT_EQ(gObjects.model.first->next->next, nullptr);
  EXPECT_EQ(gObjects.model.first->state & kStateSelected, 0u);

  // Deleting each one's only face removes the objects.
  Run(kDeleteFace, {ClickAt(0.5f, 0.5f), Key(platform::kKeyEnter)});
  Run(kDeleteFace, {ClickAt(1.5f, 0.5f), Key(platform::kKeyEnter)});
  EXPECT_EQ(gObjects.model.first, nullptr);
}

}  // namespace
