// The view transform: mapping tables, snapping, shared origins, scrolling,
// zooming, rotation, the title and the status line.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "framework/base/view_state.h"
#include "framework/view/projection.h"
#include "framework/view/view_keys.h"
#include "platform/menu.h"
#include "tests/framework/view/view_fixture.h"
#include "tests/support/object_fixtures.h"

namespace {

constexpr float kStep = kRotationStep;

class ViewTransformTest : public ViewTest {
 protected:
  // A 600 x 400 window: centre (300, 200).
  void Window600x400(float scale, float h = 0, float v = 0) {
    gView.centreX = 300;
    gView.centreY = 200;
    gView.scale = scale;
    gView.originX = h;
    gView.originY = v;
  }

  // Window procedures as the programs have them: a left click in the
  // drawing window takes the point under it, keys go to the view keys and
  // Escape cancels.
  void RouteInput() {
    onMessage = [this](const platform::Message& m) -> platform::LParam {
      if (m.window == draw_ && m.kind == platform::msg::kLeftButtonDown && gInput.activeCommand) {
        gInput.cursorPixel = {platform::LowSigned(m.lParam), platform::HighSigned(m.lParam)};
        gInput.pickFlag = true;
      } else if (m.window == draw_ && m.kind == platform::msg::kRightButtonDown && gInput.activeCommand) {
        gInput.endFlag = true;
      } else if (m.kind == platform::msg::kKeyDown) {
        if (m.wParam == platform::kKeyEscape) RequestCancel();
        else HandleViewKey(unsigned(m.wParam));
      }
      return platform::DefaultWindowProc(m.window, m.kind, m.wParam, m.lParam);
    };
  }
};

TEST_F(ViewTransformTest, ModelCoordinatesMapToPixelsAndClampAt32767) {
  struct Case {
    float scale, h, v, value;
    int axis;
    int32_t pixel;
  };
  for (const Case& c : {Case{5, 0, 0, 10, kAxisHorizontal, 350}, Case{5, 0, 0, 10, kAxisVertical, 150},
                        Case{5, 0, 0, 10000, kAxisHorizontal, 32767}, Case{5, 0, 0, -10000, kAxisHorizontal, -32767},
                        Case{5, 0, 0, -10000, kAxisVertical, 32767}, Case{10, 2, 3, 2, kAxisHorizontal, 300},
                        Case{10, 2, 3, 3, kAxisVertical, 200}, Case{10, 2, 3, 2.55f, kAxisHorizontal, 305},
                        Case{10, 2, 3, -1.55f, kAxisHorizontal, 264}}) {
    Window600x400(c.scale, c.h, c.v);
    EXPECT_EQ(WorldToScreen(c.value, c.axis), c.pixel) << c.value << " axis " << c.axis;
  }
}

TEST_F(ViewTransformTest, PixelsMapBackTruncatedTowardZeroToTheSnapStepOrTheMillimetre) {
  Window600x400(100);
  struct Case {
    int32_t pixel;
    int axis, snap;
    float world;
  };
  for (const Case& c :
       {Case{474, kAxisHorizontal, 1, 1.5f}, Case{126, kAxisHorizontal, 1, -1.5f}, Case{26, kAxisVertical, 1, 1.5f},
        Case{474, kAxisHorizontal, 0, 1.74f}, Case{126, kAxisHorizontal, 0, -1.74f}, Case{26, kAxisVertical, 0, 1.74f},
        Case{350, kAxisHorizontal, 1, 0.5f}, Case{349, kAxisHorizontal, 1, 0.0f}, Case{251, kAxisHorizontal, 1, 0.0f},
        Case{300, kAxisHorizontal, 0, 0.0f}, Case{201, kAxisVertical, 1, 0.0f}}) {
    gView.coordinateSnap = c.snap;
    const float world = ScreenToWorld(c.pixel, c.axis);
    EXPECT_FLOAT_EQ(world, c.world) << c.pixel << " snap " << c.snap;
    EXPECT_EQ(std::signbit(world), std::signbit(c.world)) << c.pixel << ": no -0 to show as \"-0.000\"";
  }
  // A step that binary fractions cannot hold still snaps onto its multiples.
  gView.coordinateSnap = 1;
  gView.snapStep = 0.1f;
  EXPECT_FLOAT_EQ(ScreenToWorld(330, kAxisHorizontal), 0.3f);
}

TEST_F(ViewTransformTest, EachViewSeesItsAxisPairAndThe3DViewItsSavedAngles) {
  struct Case {
    ViewMode mode;
    std::array<double, 9> rotation;
  };
  const double c15 = std::cos(15 * kPi / 180), s15 = std::sin(15 * kPi / 180);
  const double c25 = std::cos(-25 * kPi / 180), s25 = std::sin(-25 * kPi / 180);
  for (const Case& c : {Case{kViewXY, {1, 0, 0, 0, 1, 0, 0, 0, 1}}, Case{kViewYZ, {0, 1, 0, 0, 0, 1, 1, 0, 0}},
                        Case{kViewXZ, {1, 0, 0, 0, 0, 1, 0, -1, 0}},
                        Case{kView3D, {c15, -s15, 0, c25 * s15, c25 * c15, -s25, s25 * s15, s25 * c15, c25}},
                        Case{kViewPerspective, {0, 1, 0, 0, 0, 1, 1, 0, 0}}}) {
    gView.mode = c.mode;
    SetViewAngles();
    BuildViewRotation();
    for (int i = 0; i < 9; ++i)
      EXPECT_NEAR(gView.rotation[size_t(i)], c.rotation[size_t(i)], 1e-7) << c.mode << " " << i;
  }
}

TEST_F(ViewTransformTest, ScrollingThePlanMovesTheSharedOriginsOfSideAndFront) {
  Show(kViewXY, 5);
  ScrollView(true, platform::kScrollLineUp, 0);  // 8 pixels: the view moves 1.6 m to -x
  ScrollView(false, platform::kScrollLineUp, 0);
  EXPECT_FLOAT_EQ(gView.originX, -1.6f);
  EXPECT_FLOAT_EQ(gView.originY, 1.6f);
  EXPECT_FLOAT_EQ(gView.viewOrigins[kViewXZ][0], -1.6f);  // front: x
  EXPECT_FLOAT_EQ(gView.viewOrigins[kViewYZ][0], 1.6f);   // side: y
  SelectViewXZ();
  EXPECT_FLOAT_EQ(gView.originX, -1.6f);
  EXPECT_FLOAT_EQ(gView.originY, 0);
  ScrollView(false, platform::kScrollLineDown, 0);  // z, shared with the side view
  SelectViewYZ();
  EXPECT_FLOAT_EQ(gView.originX, 1.6f);
  EXPECT_FLOAT_EQ(gView.originY, -1.6f);

  Show(kViewXY, 5);
  const float before = gView.originX;
  ScrollView(true, platform::kScrollPageDown, 0);
  EXPECT_FLOAT_EQ(gView.originX, before + float(int(Width() * 0.5)) / 5);
  ScrollView(true, platform::kScrollThumbPosition, -10);
  EXPECT_FLOAT_EQ(gView.originX, before + float(int(Width() * 0.5)) / 5 + float(int(Width() * -0.1)) / 5);
  EXPECT_EQ(gView.pendingScrollX, 0);

  Show(kViewPerspective);
  const float turn = gView.perspectiveAngles[0], tilt = gView.perspectiveAngles[2];
  ScrollView(true, platform::kScrollLineUp, 0);
  ScrollView(false, platform::kScrollPageDown, 0);
  EXPECT_FLOAT_EQ(gView.perspectiveAngles[0], turn - kStep);
  EXPECT_FLOAT_EQ(gView.perspectiveAngles[2], tilt - 10 * kStep);
}

TEST_F(ViewTransformTest, ZoomOutHalvesTheScaleDownToItsLimitAndNeverInPerspective) {
  struct Case {
    ViewMode mode;
    float before, after;
  };
  for (const Case& c : {Case{kViewXY, 5, 2.5f}, Case{kViewXY, 0.001f, 0.001f}, Case{kViewXY, 0.0015f, 0.00075f},
                        Case{kViewXY, 0.00075f, 0.00075f}, Case{kViewPerspective, 5, 5}}) {
    gView.mode = c.mode;
    gView.scale = c.before;
    ZoomOut();
    EXPECT_FLOAT_EQ(gView.scale, c.after) << c.before;
  }
}

TEST_F(ViewTransformTest, ZoomInWorksAtPickedPointsUntilEscapeWithTheMenusGreyedMeanwhile) {
  Show(kViewXY, 5);
  RouteInput();
  // The program greys its command menus through the view hook.
  static std::vector<bool> menusEnabled;
  menusEnabled.clear();
  ViewHooks hooks;
  hooks.enableCommandMenus = [](bool enabled) { menusEnabled.push_back(enabled); };
  InstallViewHooks(hooks);
  std::vector<bool> whileZooming;
  const int cx = int(gView.centreX), cy = int(gView.centreY);
  RunSteps(ZoomIn, {[&] {
                      whileZooming = menusEnabled;
                      platform::test::Click(draw_, cx + 50, cy);
                    },
                    [&] { platform::test::KeyPress(platform::kKeyEscape); }});
  EXPECT_EQ(whileZooming, std::vector<bool>{false});
  EXPECT_EQ(menusEnabled, (std::vector<bool>{false, true}));
  EXPECT_EQ(gInput.activeCommand, 0);
  EXPECT_EQ(gInput.inputMode, kInputCrosshair);
  EXPECT_EQ(gInput.cancel, 0);
  EXPECT_FLOAT_EQ(gView.originX, 10);  // the picked point, 50 pixels right of the centre
  EXPECT_FLOAT_EQ(gView.originY, 0);
  EXPECT_NEAR(gView.scale, 5 * 1.98, 0.1);
  EXPECT_FLOAT_EQ(gView.viewOrigins[kViewXZ][0], 10);
}

TEST_F(ViewTransformTest, ZoomWindowFillsTheWindowWithThePickedRectangleUnlessCancelled) {
  Show(kViewXY, 5);
  RouteInput();
  gInput.activeCommand = 603;
  const int cx = int(gView.centreX), cy = int(gView.centreY);
  RunSteps(ZoomWindow, {[&] { platform::test::Click(draw_, cx + 10, cy - 30); },
                        [&] { platform::test::Click(draw_, cx + 110, cy + 30); }});
  // 100 x 60 pixels around (60, 0) pixels from the centre: 20 x 12 m around x = 12.
  EXPECT_FLOAT_EQ(gView.originX, 12);
  EXPECT_FLOAT_EQ(gView.originY, 0);
  const double expected = std::min(Width() / 20.0, Height() / 12.0) * 0.99;
  EXPECT_NEAR(gView.scale, expected, expected * 0.02);
  EXPECT_EQ(gInput.inputMode, kInputCrosshair);

  const float scale = gView.scale;
  RunSteps(ZoomWindow, {[&] { platform::test::KeyPress(platform::kKeyEscape); }});
  EXPECT_EQ(gView.scale, scale);
  EXPECT_EQ(gInput.cancel, 0);
  gInput.activeCommand = 0;
}

TEST_F(ViewTransformTest, ZoomInInPerspectiveOrAtTheLargestScaleOnlyClearsTheRequests) {
  for (const auto& [mode, scale] : {std::pair{kViewPerspective, 5.0f}, std::pair{kViewXY, 1000.0f}}) {
    gView.mode = mode;
    gView.scale = scale;
    gInput.done = gInput.cancel = 1;
    gInput.pickFlag = gInput.endFlag = true;
    ZoomIn();
    EXPECT_EQ(gView.scale, scale);
    EXPECT_EQ(gInput.done + gInput.cancel, 0);
    EXPECT_FALSE(gInput.pickFlag || gInput.endFlag);
  }
}

TEST_F(ViewTransformTest, TheFunctionKeysReachTheViewsWhileACommandWaitsForAPoint) {
  Show(kView3D, 5);
  RouteInput();
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  int points = 0;
  RunSteps(
      [&] {
        gInput.activeCommand = 2302;
        for (WaitForPoint(); !gInput.cancel && !gInput.done; WaitForPoint()) ++points;
        gInput.activeCommand = 0;
      },
      {[&] { platform::test::KeyPress(platform::KeyF(1)); }, [&] { platform::test::KeyPress(platform::KeyF(5)); },
       [&] { platform::test::KeyPress(platform::KeyF(8)); }, [&] { platform::test::KeyPress(platform::KeyF(9)); },
       [&] { platform::test::Click(draw_, 20, 20, platform::kMouseRight); }});
  EXPECT_EQ(points, 0);
  EXPECT_EQ(gInput.done, 1);  // the keys did not end the wait, the right click did
  EXPECT_EQ(gView.mode, kViewXY);
  EXPECT_FLOAT_EQ(gView.scale, 2.5f);
  EXPECT_EQ(gDrawing.hiddenFaces, 1);
  EXPECT_TRUE(platform::IsMenuItemChecked(menu, kMenuHiddenFaces));
  EXPECT_FALSE(platform::IsMenuItemChecked(menu, kMenuWireframe));
  EXPECT_EQ(gView.coordinateSnap, 0);
}

TEST_F(ViewTransformTest, ArrowKeysTurnThe3DViewAndRefitIt) {
  AddObject({RectangleXY(0, 0, 10, 8)});
  Show(kView3D);
  const float turn = gView.saved3DAngles[0], tilt = gView.saved3DAngles[2];
  EXPECT_EQ(HandleViewKey(platform::kKeyRight), 1);
  EXPECT_EQ(HandleViewKey(platform::kKeyUp), 1);
  EXPECT_FLOAT_EQ(gView.saved3DAngles[0], turn + kStep);
  EXPECT_FLOAT_EQ(gView.saved3DAngles[2], tilt - kStep);
  EXPECT_FLOAT_EQ(gView.angles[0], turn + kStep);
  // Refitted: the model's centre is the view's centre.
  const ScreenPosition centre = MapToScreen({5, 4, 0});
  EXPECT_NEAR(centre.x, gView.centreX, 1);
  EXPECT_NEAR(centre.y, gView.centreY, 1);
  gView.mode = kViewXY;
  EXPECT_EQ(HandleViewKey(platform::kKeyRight), 0);  // arrows do nothing in the plan view
}

TEST_F(ViewTransformTest, ThePerspectiveTurnWrapsAtMinus270And90AndTheTiltStaysWithinMinus180And0) {
  Show(kViewPerspective);
  float& turn = gView.perspectiveAngles[0];
  float& tilt = gView.perspectiveAngles[2];
  turn = -4.70f;
  RotateViewByAngle(361);  // left: one step down, past -270 degrees
  EXPECT_FLOAT_EQ(turn, -4.70f - kStep + float(2 * kPi));
  turn = 1.56f;
  RotateViewByAngle(359);  // right: past 90 degrees
  EXPECT_FLOAT_EQ(turn, 1.56f + kStep - float(2 * kPi));
  tilt = -0.05f;
  RotateViewByAngle(-361);  // up
  EXPECT_EQ(tilt, 0.0f);
  tilt = -3.1f;
  RotateViewByAngle(-350);  // ten steps down
  EXPECT_FLOAT_EQ(tilt, -float(kPi));
  EXPECT_EQ(HandleViewKey(platform::kKeyDown), 1);
  EXPECT_FLOAT_EQ(tilt, -float(kPi));
}

TEST_F(ViewTransformTest, ZoomToFitCentresTheModelAndKeepsTheScaleWithinItsLimits) {
  AddObject({RectangleXY(0, 0, 10, 8)});
  Show(kViewXY);
  EXPECT_EQ(ZoomToFit(), 1);
  EXPECT_FLOAT_EQ(gView.originX, 5);
  EXPECT_FLOAT_EQ(gView.originY, 4);
  const double fill = std::max(10 * gView.scale / Width(), 8 * gView.scale / Height());
  EXPECT_NEAR(fill, 0.95, 0.01);
  EXPECT_FLOAT_EQ(gView.viewOrigins[kViewYZ][0], 4);

  ResetDrawing();
  AddObject({{{3, 2, 1}, {3, 2, 1}, {3, 2, 1}}});  // one point
  Show(kViewXY);
  for (int i = 0; i < 3; ++i) ZoomToFit();
  EXPECT_EQ(gView.scale, kMaxScale);
  EXPECT_FLOAT_EQ(gView.originX, 3);
  EXPECT_FLOAT_EQ(gView.originY, 2);

  Show(kViewPerspective, 5, 7, 7);
  EXPECT_EQ(ZoomToFit(), 0);
  EXPECT_EQ(gView.scale, 5.0f);
  EXPECT_EQ(gView.viewOrigins[kViewXY][0], 3.0f);
}

// Zoom All fits what the model holds now, whatever the view showed before:
// after a fit to an object 1e30 m away, which then goes, the room fills the
// view again in one step.
TEST_F(ViewTransformTest, ZoomToFitRecoversOnceAFarObjectIsGone) {
  AddObject({RectangleXY(0, 0, 10, 8), WallX(0, 0, 8, 0, 3)});
  for (ViewMode mode : {kView3D, kViewXY}) {
    Show(mode);
    ASSERT_EQ(ZoomToFit(), 1);
    const float scale = gView.scale, h = gView.originX, v = gView.originY;
    GraphicObject* far = AddObject({{{0, 0, 0}, {1e30f, 0, 0}, {1e30f, 1, 0}}});
    ZoomToFit();
    EXPECT_EQ(gView.scale, kMinScale) << mode;
    UnlinkObject(far);
    FreeObject(far);
    ASSERT_EQ(ZoomToFit(), 1);
    EXPECT_NEAR(gView.scale, scale, scale * 1e-5) << mode;
    EXPECT_NEAR(gView.originX, h, 1e-4) << mode;
    EXPECT_NEAR(gView.originY, v, 1e-4) << mode;
  }
}

TEST_F(ViewTransformTest, TheTitleShowsTheFileNameInCapitalsButLeavesTheNameAsTyped) {
  SetMainTitle("Korvane Design Engine 2.90");
  std::string path = "hall1.kpr";
  SetTitleFileName(&path);
  UpdateWindowTitle();
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "Korvane Design Engine 2.90 > HALL1.KPR");
  EXPECT_EQ(path, "hall1.kpr");
  // The base is code page 1252, the file name the system's UTF-8: each is
  // shown as what it is, the name's own letters in capitals.
  SetMainTitle("Sa\xE4le 2.90");
  path = "/home/j\xC3\xBCrgen/S\xC3\xA4le.kpr";
  UpdateWindowTitle();
  EXPECT_EQ(platform::GetWindowText(MainWindow.window), "Sa\xC3\xA4le 2.90 > /HOME/J\xC3\x9CRGEN/S\xC3\x84LE.KPR");
}

TEST_F(ViewTransformTest, TheXorLineDrawnTwiceLeavesTheDrawingAsItWas) {
  Show(kViewXY);
  const platform::Colour before = At(40, 40);
  DrawXorLine(10, 40, 100, 40);
  EXPECT_NE(At(40, 40), before);
  DrawXorLine(10, 40, 100, 40);
  EXPECT_EQ(At(40, 40), before);
  EXPECT_EQ(GetDrawMode(), platform::kMixCopy);
}

}  // namespace
