// The cursor point under the mouse in each view with coordinate and node
// snap, the keys of a running command (Enter, Space and Escape, the typed
// points "A", "R" and "P"), the XOR figures and the rubber-band previews.
#include <gtest/gtest.h>

#include "framework/base/framework_dialogs.h"
#include "framework/editor/pointer_input.h"
#include "framework/model/layers.h"
#include "framework/view/projection.h"
#include "platform/application.h"
#include "platform/test_seams.h"
#include "tests/framework/editor/editor_fixture.h"

namespace {

using platform::test::DialogUser;

class PointerInputTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    gFramework.instance = platform::StartApplication("kdn");
  }
  void Move(int x, int y, platform::WParam modifiers = 0) {
    platform::test::MouseMove(draw_, x, y, modifiers);
    Pump();
  }
  void Move(const ObjectVertex& p) {
    const platform::Point at = PixelOf(p);
    Move(at.x, at.y);
  }
};

TEST_F(PointerInputTest, EachViewSetsTheCoordinatesItShows) {
  struct Case {
    ViewMode mode;
    ObjectVertex expected;
  };
  // 10 pixels right of and 20 above the centre at 5 pixels per metre: two
  // metres along the view's horizontal axis and four along its vertical one.
  const Case cases[] = {{kViewXY, {2, 4, 9}}, {kViewYZ, {9, 2, 4}}, {kViewXZ, {2, 9, 4}}, {kView3D, {9, 9, 9}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Show(c.mode);
    gInput.cursorPoint = {9, 9, 9};
    const int x = int(gView.centreX) + 10, y = int(gView.centreY) - 20;
    TrackMousePosition(x, y);
    EXPECT_EQ(gInput.cursorPixel.x, x);
    EXPECT_EQ(gInput.cursorPixel.y, y);
    EXPECT_NEAR(gInput.cursorPoint.x, c.expected.x, 1e-3);
    EXPECT_NEAR(gInput.cursorPoint.y, c.expected.y, 1e-3);
    EXPECT_NEAR(gInput.cursorPoint.z, c.expected.z, 1e-3);
  }
  // With coordinate snap on the point falls on the snap step.
  Show(kViewXY);
  gView.coordinateSnap = 1;
  gView.snapStep = 0.5f;
  TrackMousePosition(int(gView.centreX) + 13, int(gView.centreY));
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, 2.5f);
}

TEST_F(PointerInputTest, EnterSpaceAndEscapeEndOrCancelTheRunningCommand) {
  gInput.activeCommand = 2302;
  HandleDrawingKey(platform::kKeySpace);
  EXPECT_EQ(gInput.done, 1);
  HandleDrawingKey(platform::kKeyEscape);
  EXPECT_EQ(gInput.cancel, 1);
  // With none running Enter repeats the last command, Escape does nothing.
  ClearRequestFlags();
  gInput.activeCommand = 0;
  gInput.lastCommand = 2302;
  HandleDrawingKey(platform::kKeyEscape);
  HandleDrawingKey(platform::kKeyEnter);
  EXPECT_EQ(gInput.cancel, 0);
  Pump();
  const auto commands = Received(platform::msg::kCommand);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(platform::LowWord(commands[0].wParam), 2302u);
}

TEST_F(PointerInputTest, TypedPointsAreTakenAsAClickIs) {
  Show(kViewYZ);
  gInput.activeCommand = 2302;
  gInput.acceptedPoint = {1, 2, 3};
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_1", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Point relative :");
    EXPECT_EQ(user.Text(104), "0.000");
    user.Type(104, "0,5");
    user.Press(102);
  });
  dialogs.On("DIALOG_2", [](DialogUser& user) {
    user.Type(101, "2");
    user.Type(102, "90");
    user.Press(103);
  });
  dialogs.On("DIALOG_1", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Point absolute :");
    EXPECT_EQ(user.Text(106), "3.000");
    user.Press(103);
  });
  HandleDrawingKey('R');
  EXPECT_TRUE(gInput.pickFlag);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, 1.5f);
  // In the side view the polar offset lies in the y-z plane.
  gInput.pickFlag = false;
  HandleDrawingKey('P');
  EXPECT_NEAR(gInput.cursorPoint.y, 2, 1e-5);
  EXPECT_NEAR(gInput.cursorPoint.z, 5, 1e-5);
  EXPECT_EQ(gInput.cursorPixel.x, WorldToScreen(gInput.cursorPoint.y, kAxisHorizontal));
  // Cancel leaves the cursor and the wait alone.
  gInput.pickFlag = false;
  HandleDrawingKey('A');
  EXPECT_FALSE(gInput.pickFlag);
  EXPECT_NEAR(gInput.cursorPoint.z, 5, 1e-5);
  // Without a running command the letters type nothing.
  gInput.activeCommand = 0;
  HandleDrawingKey('A');
  EXPECT_EQ(dialogs.opened().size(), 3u);
}

TEST_F(PointerInputTest, RelativeZeroDeliversTheLastAcceptedPointAgain) {
  gInput.acceptedPoint = {1.5f, -2, 0.25f};
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_1", [](DialogUser& user) { user.Press(102); });
  RunSteps(WaitForPoint, {Key('R')});
  EXPECT_EQ(gInput.cancel, 0);
  EXPECT_FLOAT_EQ(gInput.acceptedPoint.x, 1.5f);
  EXPECT_FLOAT_EQ(gInput.acceptedPoint.y, -2);
  EXPECT_FLOAT_EQ(gInput.acceptedPoint.z, 0.25f);
  ExpectCleanRedraw();
}

TEST_F(PointerInputTest, NodeSnapTakesTheNearestVertexOfTheSnapLayer) {
  GraphicObject* face = AddObject({RectangleXY(1, 1, 2, 2, 0.5f)});
  AddObject({RectangleXY(1.2f, 1.2f, 3, 3)}, 0, kKindFace, kAuxiliaryLayer);  // another layer
  RedrawAllObjects();
  gView.nodeSnap = 1;
  gDrawing.nodeSnapWidth = 10;
  // Plan: x and y of the vertex, z kept, the crosshair on the vertex.
  gInput.cursorPoint.z = 7;
  const platform::Point corner = PixelOf({2, 2, 0});
  Move(corner.x + 3, corner.y - 2);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, 2);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.y, 2);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.z, 7);
  EXPECT_EQ(gInput.cursorPixel.x, corner.x);
  EXPECT_EQ(gInput.cursorPixel.y, corner.y);
  // 3D: all three coordinates and the pixel of the vertex; beyond the snap
  // width the point stays where it was.
  SelectView3D();
  ProjectPointToScreen(face->vertices[2]);
  const platform::Point v{gWork.screenPoints[0].x, gWork.screenPoints[0].y};
  Move(v.x - 4, v.y + 5);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, 2);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.y, 2);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.z, 0.5f);
  EXPECT_EQ(gInput.cursorPixel.x, v.x);
  EXPECT_EQ(gInput.cursorPixel.y, v.y);
  Move(v.x + 40, v.y + 40);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, 2);
  EXPECT_EQ(gInput.cursorPixel.x, v.x + 40);
  ExpectCleanRedraw();
}

TEST_F(PointerInputTest, NodeSnapLeavesOutTheDirectionTipsOfLoudspeakerSymbols) {
  // A symbol at (2, 2): a triangle, then its axis and up tips one metre off,
  // which no item draws.
  GraphicObject* symbol = CreateObject(0, 5, 3);
  const ObjectVertex vertices[5] = {{2, 2, 0}, {1, 2, 0}, {2, 1, 0}, {3, 2, 0}, {2, 2, 1}};
  const ObjectItem items[3] = {{kOpStart, 0}, {kOpLineTo, 1}, {kOpClose, 2}};
  std::copy(vertices, vertices + 5, symbol->vertices);
  std::copy(items, items + 3, symbol->items);
  symbol->kind = kKindFace;
  symbol->layer = kLoudspeakerLayer;
  AppendObject(symbol);
  RedrawAllObjects();
  gView.nodeSnap = 1;
  gDrawing.nodeSnapWidth = 10;
  gDrawing.snapLayer = kLoudspeakerLayer;
  const platform::Point tip = PixelOf(vertices[3]);
  Move(tip.x + 2, tip.y + 1);
  EXPECT_NE(gInput.cursorPixel.x, tip.x);
  EXPECT_NE(gInput.cursorPoint.x, 3);
  // The symbol's own corners still catch the cursor.
  const platform::Point corner = PixelOf({2, 1, 0});
  Move(corner.x - 2, corner.y + 1);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, 2);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.y, 1);
}

TEST_F(PointerInputTest, WhatTheRubberBandDrawsNeverSnapsToItself) {
  // A polyline being drawn: its trailing vertex follows the cursor.
  GraphicObject* drawn = AddObject({{{0, 0, 0}, {1, 1, 0}}}, kNoMaterial, kKindLine);
  GraphicObject* other = AddObject({RectangleXY(3, 3, 4, 4)});
  gView.nodeSnap = 1;
  gDrawing.nodeSnapWidth = 10;
  drawn->state |= kStateSelected;
  gInput.basePoint = gInput.cursorPoint = gInput.pickedPoint = {1, 1, 0};
  SetRubberBand(1);
  RedrawAllObjects();  // the band alone draws the line
  const platform::Point own = PixelOf({1, 1, 0});
  Move(own.x + 2, own.y + 2);
  // The point follows the mouse, not the line's own vertex.
  EXPECT_NE(gInput.cursorPixel.x, own.x);
  Move(PixelOf({3, 3, 0}).x + 2, PixelOf({3, 3, 0}).y - 1);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.x, other->vertices[0].x);
  EXPECT_FLOAT_EQ(gInput.cursorPoint.y, other->vertices[0].y);
  SetRubberBand(0);
  DeselectAllObjects();
  ExpectCleanRedraw();
}

TEST_F(PointerInputTest, TheXorFiguresLeaveNothingBehind) {
  AddObject({RectangleXY(-2, -2, 2, 2)});
  GraphicObject* moved = AddObject({RectangleXY(1, 1, 2, 2)});
  RedrawAllObjects();
  for (int16_t mode : {kInputCrosshair, kInputPickBox, kInputSelectionWindow, kInputZoomBox}) {
    SCOPED_TRACE(mode);
    SetInputMode(mode);
    Move({0.5f, 0.5f, 0});
    Move({-1, 1.5f, 0});
    ExpectCleanRedraw();
  }
  SetInputMode(kInputCrosshair);
  // The translate preview moves the object with the cursor and is gone
  // when switched off.
  Move({1, 1, 0});
  moved->state |= kStateSelected;
  gInput.basePoint = gInput.cursorPoint;
  SetRubberBand(1);
  SetBaseLine(1);
  Move({3, -1, 0});
  Move({4, 0, 0});
  EXPECT_FLOAT_EQ(moved->vertices[0].x, 4);
  EXPECT_FLOAT_EQ(moved->vertices[0].y, 0);
  RedrawAllObjects();  // a full redraw in the middle leaves the moving object to the band
  SetBaseLine(0);
  SetRubberBand(0);
  DeselectAllObjects();
  ExpectCleanRedraw();
  // With Control held the crosshair gives way to the arrow.
  Move(10, 10, platform::kMouseControl);
  EXPECT_FALSE(gInput.crosshairDrawn);
  EXPECT_EQ(platform::test::ShownCursor(draw_), platform::CursorShape::kArrow);
  Move(12, 12);
  EXPECT_TRUE(gInput.crosshairDrawn);
  EXPECT_EQ(platform::test::ShownCursor(draw_), platform::CursorShape::kNone);
}

TEST_F(PointerInputTest, PreviewsBuildTheirFigureInThePlaneOfTheView) {
  // A circle of four round (1, 1) through the cursor, from angle 0 clockwise.
  GraphicObject* circle = AddObject({{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}, kNoMaterial, kKindLine);
  gDrawing.circleResolution = 4;
  gInput.basePoint = {1, 1, 0};
  gInput.cursorPoint = {3, 1, 5};
  CirclePreview(circle, 0, 0, 0);
  const ObjectVertex ring[4] = {{3, 1, 0}, {1, -1, 0}, {-1, 1, 0}, {1, 3, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(circle->vertices[i].x, ring[i].x, 1e-5) << i;
    EXPECT_NEAR(circle->vertices[i].y, ring[i].y, 1e-5) << i;
    EXPECT_NEAR(circle->vertices[i].z, ring[i].z, 1e-5) << i;
  }
  // A rectangle in the front view from vertex 0 to the cursor.
  Show(kViewXZ, 20);
  GraphicObject* rectangle = AddObject({{{0, 5, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}});
  gInput.cursorPoint = {2, 9, 3};
  RectanglePreview(rectangle, 0, 0, 0);
  const ObjectVertex corners[4] = {{0, 5, 0}, {0, 5, 3}, {2, 5, 3}, {2, 5, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(rectangle->vertices[i].x, corners[i].x) << i;
    EXPECT_FLOAT_EQ(rectangle->vertices[i].y, corners[i].y) << i;
    EXPECT_FLOAT_EQ(rectangle->vertices[i].z, corners[i].z) << i;
  }
  // The print region re-centres on the cursor, keeping its half sizes.
  GraphicObject* region = AddObject({{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 2, 0}}});
  region->kind = kKindPrintRegion;
  gInput.cursorPoint = {5, 0, 6};
  TranslateObject(region, 9, 9, 9);
  EXPECT_FLOAT_EQ(region->vertices[0].x, 4);
  EXPECT_FLOAT_EQ(region->vertices[0].z, 8);
  EXPECT_FLOAT_EQ(region->vertices[2].x, 6);
  EXPECT_FLOAT_EQ(region->vertices[2].z, 4);
}

TEST_F(PointerInputTest, TheMirrorPreviewReflectsTheSavedCopyAcrossTheLineToTheCursor) {
  GraphicObject* copy = AddObject({{{1, 2, 0}}}, kNoMaterial, kKindLine);
  copy->state = kStateSelected | kStateDuplicate;
  SavePreviewStart();
  gInput.basePoint = {0, 0, 0};
  const auto step = [&](ObjectVertex cursor, ObjectVertex expected) {
    gInput.cursorPoint = cursor;
    MirrorPreview(copy, 0, 0, 0);
    EXPECT_NEAR(copy->vertices[0].x, expected.x, 1e-6);
    EXPECT_NEAR(copy->vertices[0].y, expected.y, 1e-6);
    EXPECT_NEAR(copy->vertices[0].z, expected.z, 1e-6);
  };
  step({1, 0, 0}, {1, -2, 0});  // across the x axis
  step({0, 1, 0}, {-1, 2, 0});  // across the y axis
  // A cursor on the base point gives no line: the copy as it was made.
  step({0, 0, 0}, {1, 2, 0});
  // The side view reflects it in its own plane, across the line y = z; the
  // plan takes it from where it was made again.
  Show(kViewYZ, 20);
  step({0, 1, 1}, {1, 0, 2});
  Show(kViewXY, 20);
  step({1, 0, 1}, {1, -2, 0});
  // The 3D views reflect nothing.
  SelectView3D();
  step({1, 0, 0}, {1, 2, 0});
  ForgetPreviewStart();
}

}  // namespace
