// The object edit commands driven by clicks, keys and dialog answers: each
// cancelled at its offset point leaves the model byte for byte as it was;
// what each does when it runs to the end; and the window shows what a fresh
// redraw shows afterwards.
#include "framework/editor/edit_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/status_line.h"
#include "framework/base/vector_font.h"
#include "framework/core/geometry.h"
#include "framework/editor/edit_steps.h"
#include "framework/editor/selection.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"
#include "platform/application.h"
#include "tests/framework/editor/editor_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogUser;

class EditCommandsTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    gFramework.instance = platform::StartApplication("kdn");
    SetDrawingDocument({nullptr, &modified_});
  }
  void Run(void (*command)(), std::vector<Step> steps) { RunSteps(command, std::move(steps)); }
  // The face 1..2 x 1..2, counter-clockwise seen from above.
  GraphicObject* AddSquare(float x = 1, float y = 1) {
    GraphicObject* o = AddObject({RectangleXY(x, y, x + 1, y + 1)});
    RedrawAllObjects();
    return o;
  }
  static int Count() {
    int n = 0;
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next) ++n;
    return n;
  }
  static Vec3d Normal(const GraphicObject* o) { return ComputeFaceAreaVector(*o, 0); }
  uint16_t modified_ = 0;
};

TEST_F(EditCommandsTest, CancelledAtTheOffsetPointNothingChanges) {
  struct Case {
    const char* name;
    void (*command)();
  };
  for (const Case& c :
       {Case{"MOVE", CmdMove}, Case{"COPY", CmdCopy}, Case{"MIRROR", CmdMirror}, Case{"MULTICOPY", CmdMultiCopy}}) {
    SCOPED_TRACE(c.name);
    FreeAllObjects();
    AddObject({RectangleXY(-3, -3, -2, -2)});
    AddSquare();
    const std::vector<uint8_t> before = ModelBytes();
    Run(c.command, {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter), ClickOn({1, 1, 0}), MoveTo({2.3f, -0.7f, 0}),
                    MoveTo({3.1f, 0.4f, 0}), Key(platform::kKeyEscape)});
    EXPECT_EQ(ModelBytes(), before);
    EXPECT_FALSE(gInput.rubberBandOn);
    EXPECT_EQ(gInput.rubberBandMode, kBandTranslate);
    ExpectCleanRedraw();
  }
}

TEST_F(EditCommandsTest, MoveAndCopyPlaceTheObjectsAtTheOffset) {
  GraphicObject* square = AddSquare();
  Run(CmdMove,
      {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter), ClickOn({1, 1, 0}), MoveTo({2, 3, 0}), ClickOn({4, 2, 0})});
  EXPECT_FLOAT_EQ(square->vertices[0].x, 4);
  EXPECT_FLOAT_EQ(square->vertices[0].y, 2);
  EXPECT_EQ(square->state, 0u);
  EXPECT_NE(modified_, 0);
  ExpectCleanRedraw();
  // A copy goes to the head of the list; the original stays.
  Run(CmdCopy, {ClickOn({4, 2.5f, 0}), Key(platform::kKeyEnter), ClickOn({4, 2, 0}), ClickOn({4, 5, 0})});
  ASSERT_EQ(Count(), 2);
  GraphicObject* copy = gObjects.model.first;
  EXPECT_NE(copy, square);
  EXPECT_FLOAT_EQ(copy->vertices[0].y, 5);
  EXPECT_FLOAT_EQ(square->vertices[0].y, 2);
  EXPECT_EQ(copy->state, uint32_t(kStateDuplicate));
  ExpectCleanRedraw();
}

TEST_F(EditCommandsTest, MirroredFacesKeepTheirSideAndLinesTheirOrder) {
  GraphicObject* square = AddSquare();
  GraphicObject* line = AddObject({{{1, 0, 0}, {2, 0.5f, 0}}}, kNoMaterial, kKindLine);
  RedrawAllObjects();
  // Across the y axis: a window round both, the line x = 0.
  Run(CmdMirror, {ClickOn({0.5f, 2.5f, 0}), ClickOn({2.5f, -0.5f, 0}), Key(platform::kKeyEnter), ClickOn({0, 0, 0}),
                  ClickOn({0, 3, 0})});
  ASSERT_EQ(Count(), 4);
  GraphicObject* mirroredSquare = gObjects.model.first;
  GraphicObject* mirroredLine = mirroredSquare->next;
  EXPECT_FLOAT_EQ(mirroredSquare->vertices[0].x, -1);
  EXPECT_GT(Normal(mirroredSquare).z, 0);  // upwards, as the original's
  EXPECT_NEAR(Normal(mirroredSquare).z, Normal(square).z, 1e-9);
  EXPECT_FLOAT_EQ(mirroredLine->vertices[0].x, -1);  // the first vertex stays first
  EXPECT_FLOAT_EQ(mirroredLine->vertices[1].x, -2);
  EXPECT_EQ(mirroredLine->items[1].index, line->items[1].index);
  ExpectCleanRedraw();
  // Switched to the 3D view before the second point there is no line to
  // mirror across: nothing is made. Nor with both points together.
  FreeAllObjects();
  AddSquare();
  const std::vector<uint8_t> before = ModelBytes();
  Run(CmdMirror,
      {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter), ClickOn({0, 0, 0}), Key(platform::KeyF(4)), ClickAt(5, 5)});
  EXPECT_EQ(ModelBytes(), before);
  Show(kViewXY, 20);
  Run(CmdMirror, {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter), ClickOn({0, 0, 0}), ClickOn({0, 0, 0})});
  EXPECT_EQ(ModelBytes(), before);
  ExpectCleanRedraw();
}

TEST_F(EditCommandsTest, ViewsSwitchedDuringTheOffsetPickChangeNothingOfWhatIsMade) {
  // From the base point (1, 1) in the plan, the offset point is picked
  // through the side and front views and clicked back in the plan at
  // (1, 4): the side and front views set the height the plan keeps.
  struct Case {
    const char* name;
    void (*command)();
    std::vector<ObjectVertex> select;  // clicks before Enter
  };
  const Case cases[] = {{"MOVE", CmdMove, {{1, 1.5f, 0}}},
                        {"COPY", CmdCopy, {{1, 1.5f, 0}}},
                        {"MIRROR", CmdMirror, {{1, 1.5f, 0}}},
                        {"MOVE NODES", CmdMoveNodes, {{1, 1, 0}}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreeAllObjects();
    Show(kViewXY, 20);
    gInput.cursorPoint = {};
    GraphicObject* square = AddSquare();
    const std::vector<ObjectVertex> start(square->vertices, square->vertices + 4);
    gInput.activeCommand = c.command == CmdMoveNodes ? 2311 : 2302;
    std::vector<Step> steps;
    for (const ObjectVertex& p : c.select) steps.push_back(ClickOn(p));
    steps.insert(steps.end(), {Key(platform::kKeyEnter), ClickOn({1, 1, 0}), MoveTo({1, 3, 0}), Key(platform::KeyF(2)),
                               MoveTo({0, 2, 1}), MoveTo({0, -1, 2}), Key(platform::KeyF(3)), MoveTo({0.5f, 0, 3}),
                               Key(platform::KeyF(1)), MoveTo({1.5f, 2, 0}), ClickOn({1, 4, 0})});
    Run(c.command, steps);
    EXPECT_EQ(gView.mode, kViewXY);
    // What each command makes of the offset (0, 3, 3).
    std::vector<ObjectVertex> expected = start;
    GraphicObject* made = gObjects.model.first;
    if (c.command == CmdMove || c.command == CmdCopy) {
      for (ObjectVertex& v : expected) v = {v.x, v.y + 3, v.z + 3};
    } else if (c.command == CmdMirror) {
      // Across the line x = 1 of the plan, in the plan.
      for (ObjectVertex& v : expected) v.x = 2 - v.x;
    } else {
      expected[0] = {1, 4, 3};
    }
    if (c.command == CmdCopy || c.command == CmdMirror) {
      ASSERT_EQ(Count(), 2);
      ASSERT_NE(made, square);
      for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(square->vertices[i].x, start[size_t(i)].x) << i;
    } else {
      ASSERT_EQ(Count(), 1);
    }
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(made->vertices[i].x, expected[size_t(i)].x, 1e-5) << i;
      EXPECT_NEAR(made->vertices[i].y, expected[size_t(i)].y, 1e-5) << i;
      EXPECT_NEAR(made->vertices[i].z, expected[size_t(i)].z, 1e-5) << i;
    }
    ExpectCleanRedraw();
  }
}

TEST_F(EditCommandsTest, TurnIsCounterClockwiseAsSeenInEachView) {
  struct Case {
    ViewMode mode;
    ObjectVertex from, to;
  };
  // 90 degrees about the origin; the perspective view turns nothing.
  const Case cases[] = {{kViewXY, {1, 0, 0}, {0, 1, 0}},
                        {kViewYZ, {0, 1, 0}, {0, 0, 1}},
                        {kViewXZ, {1, 0, 0}, {0, 0, 1}},
                        {kViewPerspective, {1, 0, 0}, {1, 0, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    FreeAllObjects();
    GraphicObject* point = AddObject({{c.from}}, kNoMaterial, kKindLine);
    const ViewMode pickIn = c.mode == kViewPerspective ? kViewXY : c.mode;
    Show(pickIn, 20);
    gInput.cursorPoint = {0, 0, 0};
    platform::test::DialogScript dialogs;
    dialogs.On("DIALOG_3", [](DialogUser& user) {
      EXPECT_EQ(user.Caption(), "Angle [deg] : ");
      EXPECT_EQ(user.Text(105), "0");
      user.Type(105, "90,0");
      user.Press(102);
    });
    const Step pivot = ClickOn({0, 0, 0});
    Run(CmdTurn, {ClickOn(c.from), Key(platform::kKeyEnter), [&] {
                    if (c.mode == kViewPerspective) gView.mode = kViewPerspective;
                    pivot();
                  }});
    EXPECT_NEAR(point->vertices[0].x, c.to.x, 1e-6);
    EXPECT_NEAR(point->vertices[0].y, c.to.y, 1e-6);
    EXPECT_NEAR(point->vertices[0].z, c.to.z, 1e-6);
    EXPECT_EQ(dialogs.opened().size(), 1u);
  }
}

TEST_F(EditCommandsTest, ScaleTakesTheFactorsAsTyped) {
  GraphicObject* box = AddObject({{{2, 2, 2}, {1, 1, 1}, {3, 1, 1}}});
  RedrawAllObjects();
  const Vec3d normal = Normal(box);
  gUnitFlag = 1;  // feet: the factors are no lengths
  gInput.cursorPoint.z = 1;
  const auto factors = [](const char* x, const char* y, const char* z) {
    return [=](DialogUser& user) {
      EXPECT_EQ(user.Caption(), "Factors X,Y,Z :");
      EXPECT_EQ(user.Text(104), "1.000");
      user.Type(104, x);
      user.Type(105, y);
      user.Type(106, z);
      user.Press(102);
    };
  };
  const std::vector<Step> picks = {ClickOn({3, 1, 0}), Key(platform::kKeyEnter), ClickOn({1, 1, 0})};
  {
    platform::test::DialogScript dialogs;
    dialogs.On("DIALOG_1", factors("2", "2", "2"));
    Run(CmdScale, picks);
  }
  EXPECT_FLOAT_EQ(box->vertices[0].x, 3);
  EXPECT_FLOAT_EQ(box->vertices[0].y, 3);
  EXPECT_FLOAT_EQ(box->vertices[0].z, 3);
  EXPECT_EQ(gUnitFlag, 1u);
  ExpectCleanRedraw();
  // A negative product mirrors: the face is turned round to keep its side.
  {
    platform::test::DialogScript dialogs;
    dialogs.On("DIALOG_1", factors("-1", "1", "1"));
    Run(CmdScale, {ClickOn({5, 1, 0}), Key(platform::kKeyEnter), ClickOn({1, 1, 0})});
  }
  EXPECT_FLOAT_EQ(box->vertices[0].x, -1);
  EXPECT_GT(Dot(Normal(box), normal), 0);
  // A zero factor is refused, and so are factors that carry a vertex beyond
  // the reach of a typed coordinate.
  const std::vector<uint8_t> before = ModelBytes();
  for (const char* y : {"0", "1e30", "5001"}) {
    platform::test::DialogScript dialogs;
    dialogs.On("DIALOG_1", factors("1", y, "1"));
    MessageRecorder messages;
    Run(CmdScale, {ClickOn({-3, 1, 0}), Key(platform::kKeyEnter), ClickOn({1, -1, 0})});
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Invalid entry !"}) << y;
  }
  EXPECT_EQ(ModelBytes(), before);
}

TEST_F(EditCommandsTest, CopyBeyondTheBudgetMakesNothing) {
  // 90000 vertices pack to more than 1 MiB.
  GraphicObject* big = CreateObject(0, 90000, 2);
  big->items[1] = {kOpLineTo, 1};
  big->vertices[1] = {1, 1, 0};
  big->kind = kKindLine;
  AppendObject(big);
  RedrawAllObjects();
  const std::vector<uint8_t> before = ModelBytes();
  for (void (*command)() : {CmdCopy, CmdMirror, CmdMultiCopy}) {
    MessageRecorder messages;
    Run(command, {ClickOn({0.5f, 0.5f, 0}), Key(platform::kKeyEnter)});
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"ERROR : Insufficient memory"});
    EXPECT_EQ(ModelBytes(), before);
  }
}

TEST_F(EditCommandsTest, DeleteTakesTheSelectionAway) {
  AddSquare();
  GraphicObject* kept = AddSquare(4, 1);
  Run(CmdDelete, {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter)});
  EXPECT_EQ(gObjects.model.first, kept);
  EXPECT_EQ(Count(), 1);
  ExpectCleanRedraw();
}

TEST_F(EditCommandsTest, MovingASharedNodeMovesEveryFaceThatUsesIt) {
  GraphicObject* o = AddFacesSharingAnEdge();
  gInput.activeCommand = 2311;
  Run(CmdMoveNodes, {ClickOn({1, 0, 0}), Key(platform::kKeyEnter), ClickOn({1, 0, 0}), MoveTo({1.5f, 0.5f, 0}),
                     ClickOn({1.5f, -1, 0})});
  EXPECT_FLOAT_EQ(o->vertices[1].x, 1.5f);
  EXPECT_FLOAT_EQ(o->vertices[1].y, -1);
  EXPECT_FLOAT_EQ(o->vertices[2].y, 1);  // not picked
  EXPECT_FALSE(gPicks.allocated);
  EXPECT_EQ(gDrawing.nodeMarkers, 0);
  ExpectCleanRedraw();
  // Cancelled: every node back where it was.
  const std::vector<uint8_t> before = ModelBytes();
  Run(CmdMoveNodes, {ClickOn({1.5f, -1, 0}), ClickOn({1, 1, 0}), Key(platform::kKeyEnter), ClickOn({1, 1, 0}),
                     MoveTo({2.3f, 0.1f, 0}), Key(platform::kKeyEscape)});
  EXPECT_EQ(ModelBytes(), before);
  ExpectCleanRedraw();
}

TEST_F(EditCommandsTest, MovedNodesSnapOntoTheOtherVerticesOfTheirOwnObject) {
  GraphicObject* o = AddFacesSharingAnEdge();
  gInput.activeCommand = 2311;
  gView.nodeSnap = 1;
  gDrawing.nodeSnapWidth = 10;
  gDrawing.snapLayer = 0;
  // The corner (2, 0) onto the corner (2, 1), released 3 and 2 pixels off it.
  const Step nearCorner = [this] {
    const platform::Point at = PixelOf({2, 1, 0});
    platform::test::MouseMove(draw_, at.x + 3, at.y - 2);
    platform::test::Click(draw_, at.x + 3, at.y - 2);
  };
  Run(CmdMoveNodes, {ClickOn({2, 0, 0}), Key(platform::kKeyEnter), ClickOn({2, 0, 0}), nearCorner});
  EXPECT_FLOAT_EQ(o->vertices[4].x, 2);
  EXPECT_FLOAT_EQ(o->vertices[4].y, 1);
  ExpectCleanRedraw();
}

TEST_F(EditCommandsTest, AGroupIsBuiltAtTheHeadAndSplitAgain) {
  GraphicObject* other = AddSquare(-3, -3);
  GraphicObject* a = AddSquare(1, 1);
  GraphicObject* b = AddSquare(4, 1);
  // One object alone makes no group.
  Run(CmdBuildGroup, {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter)});
  EXPECT_EQ(Count(), 3);
  Run(CmdBuildGroup, {ClickOn({1, 1.5f, 0}), ClickOn({4, 1.5f, 0}), Key(platform::kKeyEnter)});
  ASSERT_EQ(Count(), 5);
  GraphicObject* start = gObjects.model.first;
  EXPECT_EQ(start->kind, uint32_t(kKindGroupStart));
  EXPECT_EQ(start->next, a);
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->next->kind, uint32_t(kKindGroupEnd));
  EXPECT_EQ(b->next->next, other);
  EXPECT_EQ(FindGroupEnd(start), b->next);
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) EXPECT_EQ(o->state, 0u);
  // One click catches the group; the split leaves its members.
  Run(CmdSplitGroup, {ClickOn({4, 1.5f, 0}), Key(platform::kKeyEnter)});
  EXPECT_EQ(Count(), 3);
  EXPECT_EQ(gObjects.model.first, a);
  EXPECT_EQ(a->next, b);
  ExpectCleanRedraw();
}

TEST_F(EditCommandsTest, ChangeLayerHidesWhatGoesOntoAHiddenLayer) {
  GraphicObject* square = AddSquare();
  const std::vector<uint8_t> before = ModelBytes();
  {
    // kdn has no layer chooser.
    MessageRecorder messages;
    Run(CmdChangeLayer, {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter)});
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Unable to display dialog"});
    EXPECT_EQ(ModelBytes(), before);
  }
  gFramework.instance = instance_;  // the smoke program has one
  gLayers.SetVisible(5, false);
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_5", [](DialogUser& user) {
    user.Press(117 + 5);
    user.Press(102);
  });
  Run(CmdChangeLayer, {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter)});
  EXPECT_EQ(square->layer, 5u);
  EXPECT_EQ(square->state, uint32_t(kStateLayerOff));
  ExpectCleanRedraw();
}

TEST_F(EditCommandsTest, MultiCopyPlacesCopyAfterCopy) {
  AddSquare();
  Run(CmdMultiCopy, {ClickOn({1, 1.5f, 0}), Key(platform::kKeyEnter), ClickOn({1, 1, 0}), ClickOn({3, 1, 0}),
                     ClickOn({5, 1, 0}), MoveTo({6, 2, 0}), Key(platform::kKeyEnter)});
  ASSERT_EQ(Count(), 3);
  // Each from where the one before was put: 3 and 5.
  EXPECT_FLOAT_EQ(gObjects.model.first->vertices[0].x, 5);
  EXPECT_FLOAT_EQ(gObjects.model.first->next->vertices[0].x, 3);
  EXPECT_FLOAT_EQ(gObjects.model.last->vertices[0].x, 1);
  ExpectCleanRedraw();
}

TEST_F(EditCommandsTest, MeasureShowsAreaAndVolume) {
  // The 10 x 8 x 3 box with inward normals, one solid.
  const std::vector<Polygon> faces = BoxFaces(10, 8, 3);
  AddObject(faces, 0, kKindSolid);
  RedrawAllObjects();
  MessageRecorder messages;
  Run(CmdMeasure, {ClickOn({0, 4, 0}), Key(platform::kKeyEnter)});
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text,
            "A : " + FormatNumber("%6.0f", 2 * (80 + 30 + 24)) + " V : " + FormatNumber("%6.0f", 240));
  EXPECT_EQ(gObjects.model.first->state, 0u);
}

TEST_F(EditCommandsTest, MakeFontWritesTheStrokeFontLayout) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "korvane_makefont_test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  // An "L" drawn at 1000 model units a font unit from (10000, 0): an outline
  // 0,8 0,0 4,0; a face's material item is no stroke.
  AddObject({{{10000, 8000, 0}, {10000, 0, 0}, {14000, 0, 0}}}, 3, kKindFace);
  Show(kViewXY, 0.005f, 12000, 4000);
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_3", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "MAKEFONT > ");
    user.Type(105, "L");
    user.Press(102);
  });
  dialogs.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "\xC3\xBF");  // y diaeresis: code 255 in code page 1252
    user.Press(102);
  });
  // The first wait is the dialog's own.
  Run(CmdMakeFont, {[] {}, ClickOn({10000, 4000, 0}), Key(platform::kKeyEnter), ClickOn({10000, 0, 0})});
  std::ifstream in(dir / kMadeFontFile, std::ios::binary);
  std::vector<uint8_t> block((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(dir);
  ASSERT_EQ(block.size(), 524u + 2 * 4);
  ASSERT_EQ(UseVectorFontBlock(block), 1);
  const std::vector<FontStroke> strokes = GlyphStrokes('L');
  ASSERT_EQ(strokes.size(), 4u);
  const FontStroke expected[4] = {
      {kStrokeMove, 0, 8}, {kStrokeLine, 0, 0}, {kStrokeClose, 4, 0}, {kStrokeEndGlyph, 6, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(strokes[i].op, expected[i].op) << i;
    EXPECT_EQ(strokes[i].x, expected[i].x) << i;
    EXPECT_EQ(strokes[i].y, expected[i].y) << i;
  }
  EXPECT_TRUE(GlyphStrokes('M').empty());
}

}  // namespace
