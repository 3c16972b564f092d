// The drawing reset, the layer visibility update, File/New with its
// unsaved-changes prompt, and the small helpers beside them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "framework/base/drawing_layer.h"
#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/grid.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"
#include "framework/model/undo_ring.h"
#include "platform/menu.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/message_recorder.h"
#include "tests/support/object_fixtures.h"

namespace {

// Counts what the framework asks of the views and of the program.
struct Calls {
  int redraws = 0, planViews = 0, titles = 0, newDrawings = 0;
};
Calls gCalls;

class DrawingResetTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    gCalls = {};
    ViewHooks hooks;
    hooks.redrawAll = [] { ++gCalls.redraws; };
    hooks.selectPlanView = [] { ++gCalls.planViews; };
    hooks.updateTitle = [] { ++gCalls.titles; };
    InstallViewHooks(hooks);
    SetDrawingDocument({[] {
                          ++gCalls.newDrawings;
                          ResetDrawing();
                        },
                        &modified_});
  }
  bool Checked(int id) { return platform::IsMenuItemChecked(GetWindowMenu(&MainWindow), id); }

  uint16_t modified_ = 0;
};

TEST_F(DrawingResetTest, TheResetNamesTheLayersEmptiesTheDrawingAndRestoresTheSettings) {
  AddObject({RectangleXY(0, 0, 1, 1)});
  gLayers.SetVisible(kGridLayer, true);
  BuildGrid();
  gLayers.records[5].name = "RAYS";
  gPlotHeader.SetText(0, "Hall");
  gDrawing = {};
  gDrawing.gridSize = 2;
  gDrawing.comment = "note";
  gDrawing.currentLayer = 7;
  gDrawing.hiddenFaces = 1;
  gView.mode = kViewXY;
  gView.scale = 40;
  gView.coordinateSnap = 0;
  gPicks.nodes.push_back(nullptr);
  gInput.activeCommand = 2201;
  gInput.lastCommand = 2201;
  gInput.cancel = 1;

  EXPECT_EQ(ResetDrawing(), 1);
  for (int i = 0; i < kLayerCount; ++i) {
    EXPECT_EQ(gLayers.records[size_t(i)].name, "LAYER " + std::to_string(i + 1));
    EXPECT_EQ(gLayers.IsVisible(uint32_t(i)), i < 3) << i;
  }
  EXPECT_EQ(gObjects.model.first, nullptr);
  EXPECT_EQ(gGridLines.first, nullptr);
  EXPECT_EQ(gPlotHeader, PlotHeaderBlock{});
  EXPECT_EQ(gDrawing.gridSize, 1.0f);
  EXPECT_EQ(gDrawing.comment, "");
  EXPECT_EQ(gDrawing.currentLayer, 0);
  EXPECT_EQ(gDrawing.circleResolution, 36);
  EXPECT_EQ(gDrawing.nodeSnapWidth, 10.0);
  EXPECT_EQ(gDrawing.hiddenFaces, 1);  // the face mode stays as its menu item shows it
  EXPECT_EQ(gView.mode, kView3D);
  EXPECT_EQ(gView.scale, 5.0f);
  EXPECT_EQ(gView.coordinateSnap, 1);
  EXPECT_EQ(gView.snapStep, 0.5f);
  EXPECT_EQ(gView.nodeSnap, 0);
  EXPECT_FLOAT_EQ(gView.saved3DAngles[0], 15 * float(kPi) / 180);
  EXPECT_FLOAT_EQ(gView.saved3DAngles[2], -25 * float(kPi) / 180);
  EXPECT_FLOAT_EQ(gView.perspectiveAngles[0], -float(kPi) / 2);
  EXPECT_TRUE(gPicks.nodes.empty());
  EXPECT_EQ(gInput.activeCommand, 0);
  EXPECT_EQ(gInput.lastCommand, 0u);
  EXPECT_EQ(gInput.cancel, 0);
}

TEST_F(DrawingResetTest, LayerVisibilityHidesAndShowsObjectsButLeavesTheShapeLayerAlone) {
  GraphicObject* room = AddObject({RectangleXY(0, 0, 1, 1)}, 0, kKindFace, kRoomLayer);
  GraphicObject* aux = AddObject({RectangleXY(0, 0, 1, 1)}, 0, kKindFace, kAuxiliaryLayer);
  GraphicObject* shape = AddObject({RectangleXY(0, 0, 1, 1)}, 0, kKindSolid, kShapeLayer);
  room->state = kStateLayerOff;
  shape->state = kStateLayerOff | kStateSelected;
  gLayers.SetVisible(kShapeLayer, true);
  ApplyLayerVisibility();
  EXPECT_EQ(room->state, 0u);
  EXPECT_EQ(aux->state, uint32_t(kStateLayerOff));
  EXPECT_EQ(shape->state, uint32_t(kStateLayerOff | kStateSelected));
  EXPECT_EQ(gCalls.redraws, 1);
}

TEST_F(DrawingResetTest, FileNewAsksOnlyAboutAModifiedModelAndOnlyOKStartsTheNewDrawing) {
  struct Case {
    bool objects;
    uint16_t modified;
    int answer;
    bool asked, renewed;
  };
  for (const Case c : {Case{false, 1, kIdOk, false, false}, Case{true, 0, kIdOk, false, true},
                       Case{true, 1, kIdOk, true, true}, Case{true, 65535, kIdCancel, true, false}}) {
    SCOPED_TRACE(::testing::Message() << c.objects << " " << c.modified << " " << c.answer);
    ResetDrawing();
    gCalls = {};
    if (c.objects) AddObject({RectangleXY(0, 0, 1, 1)});
    modified_ = c.modified;
    gDrawing.gridSize = 3;
    gDrawing.hiddenFaces = 1;
    gInput.cursorPoint = {1, 2, 3};
    platform::SetMenuItemChecked(GetWindowMenu(&MainWindow), kMenuWireframe, false);
    MessageRecorder messages;
    messages.Answer(c.answer);
    CmdNewDrawing();
    ASSERT_EQ(messages.messages().size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(messages.messages()[0].text, kUnsavedMessage);
      EXPECT_EQ(messages.messages()[0].caption, kWarningCaption);
      EXPECT_EQ(messages.messages()[0].flags, unsigned(kMsgOkCancel | kMsgDefaultButton2));
    }
    EXPECT_EQ(gCalls.newDrawings, c.renewed ? 1 : 0);
    EXPECT_EQ(gCalls.planViews, c.renewed ? 1 : 0);
    EXPECT_EQ(gDrawing.gridSize, c.renewed ? 1.0f : 3.0f);
    EXPECT_EQ(gDrawing.hiddenFaces, c.renewed ? 0 : 1);
    EXPECT_EQ(Checked(kMenuWireframe), c.renewed);
    EXPECT_EQ(gInput.cursorPoint.x, c.renewed ? 0.0f : 1.0f);
    EXPECT_EQ(gInput.cancel, 0);
    EXPECT_EQ(gCalls.titles, 1);
  }
}

TEST_F(DrawingResetTest, ConfirmingADiscardClearsTheUndoRingAndRefusingSetsCancel) {
  AddObject({RectangleXY(0, 0, 1, 1)});
  modified_ = 1;
  ASSERT_EQ(TakeUndoSnapshot(), 1);
  {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    ConfirmDiscardProject();
  }
  EXPECT_EQ(gInput.cancel, 1);
  EXPECT_EQ(gUndo.top, 1);
  {
    MessageRecorder messages;
    ConfirmDiscardProject();
  }
  EXPECT_EQ(gInput.cancel, 0);
  EXPECT_EQ(gUndo.top, 0);
}

TEST_F(DrawingResetTest, TheViewPlaneRotationTurnsPlaneCoordinatesIntoEachView) {
  const double c = std::cos(0.5), s = std::sin(0.5);
  struct Case {
    ViewMode mode;
    std::array<double, 9> m;
  };
  for (const Case& k : {Case{kViewXY, {c, -s, 0, s, c, 0, 0, 0, 0}}, Case{kView3D, {c, -s, 0, s, c, 0, 0, 0, 0}},
                        Case{kViewYZ, {0, 0, 0, c, -s, 0, s, c, 0}}, Case{kViewXZ, {c, -s, 0, 0, 0, 0, s, c, 0}},
                        Case{kViewPerspective, {}}}) {
    gView.mode = k.mode;
    const std::array<double, 9> m = BuildViewPlaneRotation(0.5);
    for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(m[size_t(i)], k.m[size_t(i)]) << k.mode << " " << i;
  }
}

TEST_F(DrawingResetTest, OnlyARecordWithAWindowBecomesTheDrawingWindow) {
  WindowRecord* before = DrawWindow;
  WindowRecord empty;
  EXPECT_EQ(SetViewWindow(&empty), before);
  EXPECT_EQ(DrawWindow, before);
  WindowRecord other;
  other.window = MainWindow.window;
  EXPECT_EQ(SetViewWindow(&other), before);
  EXPECT_EQ(DrawWindow, &other);
  SetViewWindow(before);
}

TEST_F(DrawingResetTest, TheEyePointIsTheCursorPointUnlessThePickIsCancelled) {
  constexpr unsigned kPick = platform::msg::kUser, kEscape = platform::msg::kUser + 1;
  onMessage = [](const platform::Message& m) -> platform::LParam {
    if (m.kind == kPick) gInput.pickFlag = true;
    if (m.kind == kEscape) RequestCancel();
    return 0;
  };
  gInput.activeCommand = 606;
  for (const unsigned input : {kPick, kEscape}) {
    gInput.cursorPoint = {input == kPick ? 2.0f : 9.0f, 3, 1.5f};
    platform::test::SetIdleHook([&] { platform::PostMessage(MainWindow.window, input); });
    PickEyePoint();
    platform::test::SetIdleHook(nullptr);
    EXPECT_EQ(gView.eyePoint.x, 2.0f);
    EXPECT_EQ(gView.eyePoint.z, 1.5f);
    EXPECT_EQ(gInput.cancel, 0);
  }
}

}  // namespace
