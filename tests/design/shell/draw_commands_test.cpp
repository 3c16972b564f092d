// The draw commands in kdn, driven by clicks and keys in the plan view:
// the figures they leave on the menu's layer, the ends of their input,
// undo, Escape, the figures the 3D views refuse, and figures followed
// through other views while they are drawn.
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
#include "framework/core/geometry.h"
#include "framework/editor/draw_commands.h"
#include "framework/model/graphic_object.h"
#include "framework/view/projection.h"
#include "framework/view/view_transform.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogUser;

constexpr int kRoomLines = 2201, kRoomPolygon = 2202, kRoomCircle = 2203, kRoomRectangle = 2204;
constexpr int kAudiencePolygon = 3202, kAuxText = 4205;

class DrawCommandTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    Start();
    ShowPlan();
  }
  // The plan view at 10 pixels per metre around the origin, snap off.
  void ShowPlan() {
    gView.mode = kViewXY;
    gView.scale = 10;
    gView.originX = gView.originY = 0;
    gView.coordinateSnap = 0;
    LayoutAndRedraw();
    Pump();
  }
  static int PixelX(float x) { return int(gView.centreX + x * gView.scale); }
  static int PixelY(float y) { return int(gView.centreY - y * gView.scale); }
  // Steps of a command's input: a click at a model point of the plan, the
  // mouse moved there, or a key.
  static std::function<void()> ClickAt(float x, float y) {
    return [x, y] {
      platform::test::MouseMove(DrawWindow->window, PixelX(x), PixelY(y));
      platform::test::Click(DrawWindow->window, PixelX(x), PixelY(y));
    };
  }
  static std::function<void()> MoveTo(float x, float y) {
    return [x, y] {
      platform::test::MouseMove(DrawWindow->window, PixelX(x), PixelY(y));
      platform::test::KeyPress(platform::kKeyEnter);
    };
  }
  // The mouse moved to (u, v) along the axes of the 2D view shown (all of
  // whose origins are at 0).
  static std::function<void()> MouseAt(float u, float v) {
    return [u, v] { platform::test::MouseMove(DrawWindow->window, PixelX(u), PixelY(v)); };
  }
  static std::function<void()> Key(unsigned key) {
    return [key] { platform::test::KeyPress(key); };
  }
  void Run(int id, std::vector<std::function<void()>> steps) {
    RunSteps([&] { Command(id); }, std::move(steps));
  }
};

std::vector<int> Ops(const GraphicObject* o) {
  std::vector<int> ops;
  for (uint32_t i = 0; i < o->itemCount; ++i) ops.push_back(o->items[i].op);
  return ops;
}

TEST_F(DrawCommandTest, PolygonOfThreeClicksIsATriangleOnTheMenusLayerAndUndoes) {
  Run(kRoomPolygon, {ClickAt(0, 0), ClickAt(4, 0), ClickAt(0, 3), Key(platform::kKeyEnter)});
  GraphicObject* o = gObjects.model.first;
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->next, nullptr);
  EXPECT_EQ(o->kind, kKindFace);
  EXPECT_EQ(Ops(o), (std::vector<int>{0, 3, 1, 2}));
  ASSERT_EQ(o->vertexCount, 3u);
  EXPECT_FLOAT_EQ(o->vertices[1].x, 4);
  EXPECT_FLOAT_EQ(o->vertices[2].y, 3);
  EXPECT_EQ(o->layer, 0u);
  EXPECT_EQ(o->colour, 0u);
  EXPECT_EQ(o->state, 1u);
  EXPECT_NE(gProject.modified, 0);
  EXPECT_EQ(gDrawing.prompt, "");
  EXPECT_EQ(gInput.activeCommand, 0);
  Command(kCmdUndo);
  EXPECT_EQ(gObjects.model.first, nullptr);

  // The audience menu's polygon: layer 1, colour 21.
  Run(kAudiencePolygon, {ClickAt(0, 0), ClickAt(4, 0), ClickAt(0, 3), Key(platform::kKeySpace)});
  ASSERT_NE(gObjects.model.first, nullptr);
  EXPECT_EQ(gObjects.model.first->layer, 1u);
  EXPECT_EQ(gObjects.model.first->colour, 21u);
}

TEST_F(DrawCommandTest, LinesEndAtTheLastClickOrAtTheCursor) {
  Run(kRoomLines, {ClickAt(0, 0), ClickAt(4, 0), Key(platform::kKeyEnter)});
  ASSERT_NE(gObjects.model.first, nullptr);
  EXPECT_EQ(gObjects.model.first->kind, kKindLine);
  EXPECT_EQ(gObjects.model.first->vertexCount, 2u);
  Command(kCmdUndo);
  Run(kRoomLines, {ClickAt(0, 0), ClickAt(4, 0), MoveTo(4, 2)});
  GraphicObject* o = gObjects.model.first;
  ASSERT_NE(o, nullptr);
  ASSERT_EQ(o->vertexCount, 3u);
  EXPECT_FLOAT_EQ(o->vertices[2].x, 4);
  EXPECT_FLOAT_EQ(o->vertices[2].y, 2);
}

TEST_F(DrawCommandTest, EscapeAndDegenerateFiguresLeaveTheModelAsItWas) {
  Run(kRoomRectangle, {ClickAt(1, 1), ClickAt(3, 2)});
  GraphicObject* kept = gObjects.model.first;
  ASSERT_NE(kept, nullptr);
  struct Case {
    const char* name;
    int id;
    std::vector<std::function<void()>> steps;
  } cases[] = {
      {"polygon escaped", kRoomPolygon, {ClickAt(0, 0), ClickAt(4, 0), Key(platform::kKeyEscape)}},
      {"lines escaped", kRoomLines, {ClickAt(0, 0), Key(platform::kKeyEscape)}},
      {"circle escaped", kRoomCircle, {ClickAt(0, 0), Key(platform::kKeyEscape)}},
      {"one-point lines", kRoomLines, {ClickAt(5, 5), ClickAt(5, 5), Key(platform::kKeyEnter)}},
      {"two-point polygon", kRoomPolygon, {ClickAt(0, 0), ClickAt(4, 0), Key(platform::kKeyEnter)}},
      {"flat rectangle", kRoomRectangle, {ClickAt(0, 0), ClickAt(4, 0)}},
      {"circle without radius", kRoomCircle, {ClickAt(2, 2), ClickAt(2, 2)}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    Run(c.id, std::move(c.steps));
    EXPECT_EQ(gObjects.model.first, kept);
    EXPECT_EQ(kept->next, nullptr);
    EXPECT_EQ(gInput.activeCommand, 0);
  }
}

TEST_F(DrawCommandTest, CircleAndRectangleLieInThePlaneAndTheRotated3DViewRefusesThem) {
  Run(kRoomCircle, {ClickAt(1, 1), ClickAt(3, 1)});
  GraphicObject* circle = gObjects.model.first;
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->vertexCount, 36u);
  EXPECT_EQ(circle->itemCount, 37u);
  EXPECT_EQ(circle->state, 0u);
  EXPECT_EQ(circle->layer, 0u);
  EXPECT_NEAR(circle->vertices[0].x, 3, 1e-5);
  EXPECT_NEAR(circle->vertices[9].y, -1, 1e-5);  // clockwise: a quarter on, below the centre

  Run(kRoomRectangle, {ClickAt(1, 1), ClickAt(3, 2)});
  GraphicObject* rectangle = gObjects.model.first;
  ASSERT_EQ(rectangle->vertexCount, 4u);
  EXPECT_FLOAT_EQ(rectangle->vertices[1].x, 1);
  EXPECT_FLOAT_EQ(rectangle->vertices[1].y, 2);
  EXPECT_FLOAT_EQ(rectangle->vertices[3].x, 3);
  EXPECT_EQ(Ops(rectangle), (std::vector<int>{0, 3, 1, 1, 2}));

  gView.mode = kView3D;
  LayoutAndRedraw();
  for (int id : {kRoomCircle, kRoomRectangle}) {
    MessageRecorder messages;
    Run(id, {ClickAt(0, 0)});
    ASSERT_EQ(messages.messages().size(), 1u) << id;
    EXPECT_EQ(messages.messages()[0].text, "Please switch to XY-, YZ-, or XZ-View ");
    EXPECT_EQ(messages.messages()[0].caption, "You can\xB4t create a rectangle in 3D");
    EXPECT_EQ(gObjects.model.first, rectangle);
  }
}

TEST_F(DrawCommandTest, AFigureIsMadeInTheViewItIsFinishedIn) {
  // Each figure is started in the plan, followed through the side view (at
  // y 3, z 4) and finished in the plan again.
  const std::vector<std::function<void()>> throughTheSide = {Key(platform::KeyF(2)), MouseAt(3, 4),
                                                             Key(platform::KeyF(1)), MouseAt(5, 5), ClickAt(3, 2)};
  struct Case {
    const char* name;
    int id;
    ObjectVertex first, last;  // the first vertex, and the one the last click made
    uint32_t vertices, lastIndex;
  };
  const Case cases[] = {
      {"rectangle", kRoomRectangle, {1, 1, 0}, {3, 2, 0}, 4, 2},
      // The radius point (3, 2): vertex 0 at angle 0, sqrt(5) from the centre.
      {"circle", kRoomCircle, {3.2360680f, 1, 0}, {3.2360680f, 1, 0}, 36, 0},
      // The side view set the height of the line's end, which the plan keeps.
      {"lines", kRoomLines, {1, 1, 0}, {3, 2, 4}, 2, 1},
      {"polygon", kRoomPolygon, {1, 1, 0}, {3, 2, 4}, 3, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreeAllObjects();
    gInput.cursorPoint = {};
    std::vector<std::function<void()>> steps = {ClickAt(1, 1)};
    if (c.id == kRoomPolygon) steps.push_back(ClickAt(1, 3));
    steps.insert(steps.end(), throughTheSide.begin(), throughTheSide.end());
    if (c.id == kRoomLines || c.id == kRoomPolygon) steps.push_back(Key(platform::kKeyEnter));
    Run(c.id, steps);
    GraphicObject* o = gObjects.model.first;
    ASSERT_NE(o, nullptr);
    ASSERT_EQ(o->vertexCount, c.vertices);
    EXPECT_EQ(gView.mode, kViewXY);
    for (const auto& [v, expected] :
         {std::pair{o->vertices[0], c.first}, std::pair{o->vertices[c.lastIndex], c.last}}) {
      EXPECT_NEAR(v.x, expected.x, 1e-5);
      EXPECT_NEAR(v.y, expected.y, 1e-5);
      EXPECT_NEAR(v.z, expected.z, 1e-5);
    }
    // A rectangle or circle lies flat in the plan.
    if (c.id == kRoomRectangle || c.id == kRoomCircle) {
      for (uint32_t i = 0; i < o->vertexCount; ++i) EXPECT_FLOAT_EQ(o->vertices[i].z, 0) << i;
    }
  }
}

TEST_F(DrawCommandTest, ARectangleFinishedInTheRotated3DViewIsNotMade) {
  // A room corner 7 m up, which node snap catches in the 3D view.
  GraphicObject* room = CreateObject(0, 3, 3);
  const ObjectVertex corners[3] = {{0, 0, 7}, {5, 0, 7}, {5, 5, 7}};
  std::copy(corners, corners + 3, room->vertices);
  room->items[0] = {kOpStart, 0};
  room->items[1] = {kOpLineTo, 1};
  room->items[2] = {kOpClose, 2};
  room->kind = kKindFace;
  AppendObject(room);
  gView.nodeSnap = 1;
  const auto onTheCorner = [] {
    const ScreenPosition at = MapToScreen({5, 5, 7});
    platform::test::MouseMove(DrawWindow->window, int(at.x) + 2, int(at.y) + 1);
    platform::test::Click(DrawWindow->window, int(at.x) + 2, int(at.y) + 1);
  };
  Run(kRoomRectangle, {ClickAt(1, 1), MouseAt(3, 2), Key(platform::KeyF(4)), onTheCorner});
  EXPECT_FLOAT_EQ(gInput.acceptedPoint.z, 7);
  EXPECT_EQ(gObjects.model.first, room);
  EXPECT_EQ(room->next, nullptr);
  EXPECT_EQ(gInput.activeCommand, 0);
}

TEST_F(DrawCommandTest, TextIsDrawnInTheStrokeFontOnTheAuxiliaryLayer) {
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_6", [](DialogUser& user) {
    EXPECT_EQ(user.Text(104), "1.00");
    user.Type(104, "2");
    user.Type(105, "90");
    user.Type(106, "Hall");
    user.Press(102);
  });
  dialogs.On("DIALOG_6", [](DialogUser& user) {
    EXPECT_EQ(user.Text(104), "2.00");
    EXPECT_EQ(user.Text(105), "90.00");
    user.Type(106, "   ");
    user.Press(102);
  });
  Run(kAuxText, {ClickAt(1, 1)});
  GraphicObject* text = gObjects.model.first;
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->kind, kKindText);
  EXPECT_EQ(text->layer, 7u);
  EXPECT_EQ(text->colour, 14u);
  EXPECT_GT(text->vertexCount, 10u);
  // Turned by 90 degrees the text runs up the plan from its start.
  float top = 0;
  for (uint32_t i = 0; i < text->vertexCount; ++i) {
    EXPECT_LE(text->vertices[i].x, 1.001f);
    top = std::max(top, text->vertices[i].y);
  }
  EXPECT_GT(top, 4);
  // Only spaces: nothing is made.
  Run(kAuxText, {ClickAt(5, 5)});
  EXPECT_EQ(gObjects.model.first, text);
  EXPECT_EQ(text->next, nullptr);
  // Nor by a text taller than a typed point may reach; the height stays.
  dialogs.On("DIALOG_6", [](DialogUser& user) {
    user.Type(104, "1e30");
    user.Type(106, "Far");
    user.Press(102);
  });
  MessageRecorder messages;
  Run(kAuxText, {ClickAt(5, 5)});
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kInvalidEntryMessage});
  EXPECT_EQ(gObjects.model.first, text);
  EXPECT_EQ(gDrawCommands.textHeight, 2.0f);
}

}  // namespace
