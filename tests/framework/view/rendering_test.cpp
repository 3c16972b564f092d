// The renderer by what reaches the drawing window: which faces of a room
// with inward normals each view draws, culling on the loudspeaker layer,
// small objects, selection and markers, and the perspective view's
// clipping, culling and depth order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "framework/base/grid.h"
#include "framework/model/layers.h"
#include "framework/view/projection.h"
#include "tests/framework/view/view_fixture.h"
#include "tests/support/object_fixtures.h"

namespace {

constexpr float kLx = 10, kLy = 8, kLz = 3;
const char* const kFaceNames[6] = {"floor", "ceiling", "wall x=0", "wall x=10", "wall y=0", "wall y=8"};

class RenderingTest : public ViewTest {
 protected:
  // The box room's six faces (inward normals), one object each, in the
  // order of BoxFaces.
  std::vector<GraphicObject*> AddRoom(uint32_t layer = kRoomLayer) {
    std::vector<GraphicObject*> faces;
    for (const Polygon& face : BoxFaces(kLx, kLy, kLz)) faces.push_back(AddObject({face}, 0, kKindFace, layer));
    return faces;
  }
  bool Drawn(GraphicObject* o) {
    return CallsDuring([&] { DrawObjects(o, o, 0); }) > 0;
  }
  // Whether IsBackFace calls the object's first polygon a back face.
  int BackFace(GraphicObject* o) {
    AccessObject(kAccessFillBlock, o);
    ProjectObjectToScreen();
    return IsBackFace(0);
  }
  int X(float x) const { return WorldToScreen(x, kAxisHorizontal); }
  int Y(float y) const { return WorldToScreen(y, kAxisVertical); }
};

TEST_F(RenderingTest, HiddenFacesShowARoomWithInwardNormalsAsItsOuterShell) {
  // Plan: the ceiling is drawn, the floor culled, the walls seen edge-on
  // drawn. Default 3D view (turned 15 degrees, tilted down 25): the ceiling
  // and the near walls x = 0 and y = 0. Wireframe: everything.
  struct Case {
    ViewMode mode;
    int hidden;
    std::array<bool, 6> drawn;
  };
  const std::vector<GraphicObject*> faces = AddRoom();
  for (const Case& c : {Case{kViewXY, 1, {false, true, true, true, true, true}},
                        Case{kView3D, 1, {false, true, true, false, true, false}},
                        Case{kViewXY, 0, {true, true, true, true, true, true}},
                        Case{kView3D, 0, {true, true, true, true, true, true}}}) {
    gView.mode = c.mode;
    ZoomToFit();
    gDrawing.hiddenFaces = int16_t(c.hidden);
    for (size_t i = 0; i < 6; ++i)
      EXPECT_EQ(Drawn(faces[i]), c.drawn[i]) << c.mode << " hidden " << c.hidden << " " << kFaceNames[i];
  }
}

TEST_F(RenderingTest, InThePlanTheCeilingCoversTheFloorOnlyWithHiddenFaces) {
  const std::vector<Polygon> faces = BoxFaces(kLx, kLy, kLz);
  for (size_t i = 2; i < 6; ++i) AddObject({faces[i]});
  AddObject({faces[1]})->colour = 21;  // the ceiling
  AddObject({faces[0]})->colour = 19;  // the floor, drawn last
  Show(kViewXY, 40, 5, 4);
  const int x = X(5), y = Y(kLy);  // the middle of the edge y = 8
  gDrawing.hiddenFaces = 1;
  RedrawAllObjects();
  EXPECT_EQ(At(x, y), Palette(21));
  gDrawing.hiddenFaces = 0;
  RedrawAllObjects();
  EXPECT_EQ(At(x, y), Palette(19));
  EXPECT_EQ(At(X(5), Y(4)), Palette(30));  // outlines only
}

TEST_F(RenderingTest, AnEdgeOnFaceIsDrawnButCountsAsABackFace) {
  const std::vector<GraphicObject*> faces = AddRoom();
  Show(kViewXY);
  ZoomToFit();
  gDrawing.hiddenFaces = 1;
  EXPECT_TRUE(Drawn(faces[2]));
  EXPECT_EQ(BackFace(faces[2]), 1);
  EXPECT_EQ(BackFace(faces[1]), 0);  // the ceiling faces the viewer's way round
  EXPECT_EQ(BackFace(faces[0]), 1);
}

TEST_F(RenderingTest, LoudspeakerSymbolsAreCulledEvenInWireframe) {
  const std::vector<GraphicObject*> speaker = AddRoom(kLoudspeakerLayer);
  const std::vector<GraphicObject*> audience = AddRoom(kAudienceLayer);
  Show(kViewXY);
  ZoomToFit();
  for (int hidden : {0, 1}) {
    gDrawing.hiddenFaces = int16_t(hidden);
    EXPECT_FALSE(Drawn(speaker[0])) << hidden;
    EXPECT_TRUE(Drawn(speaker[1])) << hidden;
    EXPECT_TRUE(Drawn(audience[0])) << hidden;  // audience areas are never culled
  }
}

TEST_F(RenderingTest, HiddenLayersOffscreenAndTinyObjects) {
  GraphicObject* tiny = AddObject({{{1, 1, 0}, {1.2f, 1, 0}, {1.2f, 1.2f, 0}}});
  GraphicObject* far = AddObject({RectangleXY(1000, 1000, 1001, 1001)});
  GraphicObject* off = AddObject({RectangleXY(0, 0, 1, 1)});
  off->state = kStateLayerOff;
  Show(kViewXY, 5);
  EXPECT_FALSE(Drawn(far));
  EXPECT_FALSE(Drawn(off));
  // One pixel wide: only its box's frame, at the box.
  EXPECT_EQ(CallsDuring([&] { DrawObjects(tiny, tiny, 0); }), 1u);
  EXPECT_EQ(At(X(1), Y(1)), Palette(0));
}

TEST_F(RenderingTest, AFullRedrawDrawsGridSelectionNodeMarkersLegendAndComment) {
  GraphicObject* face = AddObject({RectangleXY(0, 0, 4, 4)});
  face->state = kStateSelected;
  gLayers.SetVisible(kGridLayer, true);
  Show(kViewXY, 20, 2, 2);
  BuildGrid();
  gDrawing.nodeMarkers = 1;
  gDrawing.comment = "Comment";
  RedrawAllObjects();
  const int h = Height();
  EXPECT_EQ(At(X(-1), Y(1.5f)), Palette(kGridPen));
  EXPECT_GT(CountColour(gDrawing.pickColour, X(0), Y(0), X(4), Y(0) + 1), 20);  // the dotted selection pen
  EXPECT_EQ(At(X(4) + 2, Y(4)), Palette(kNodeMarkerPen));
  EXPECT_EQ(At(10, h - 15), Palette(kLegendPen));
  EXPECT_GT(CountColour(kLegendPen, 0, h - 45, 45, h), 4);  // the letters Y and X
  EXPECT_GT(CountColour(0, Width() / 2 - 40, h - 16, Width() / 2 + 40, h), 10);

  DeselectAllObjects();
  EXPECT_EQ(face->state, 0u);
  EXPECT_EQ(At(X(1), Y(0)), Palette(0));
}

TEST_F(RenderingTest, The3DLegendIsTheAxisCrossAtOneSize) {
  GraphicObject* cross = CreateObject(0, 22, 6);
  cross->vertices[18] = {0, 0, 0};
  cross->vertices[19] = {1, 0, 0};
  cross->vertices[20] = {0, 1, 0};
  cross->vertices[21] = {0, 0, 1};
  const ObjectItem items[6] = {{kOpStart, 18},  {kOpLineTo, 19}, {kOpStart, 18},
                               {kOpLineTo, 20}, {kOpStart, 18},  {kOpLineTo, 21}};
  std::copy(items, items + 6, cross->items);
  AddObject({RectangleXY(0, 0, 1, 1)});
  Show(kView3D, 5);
  const int h = Height();
  EXPECT_EQ(CountColour(kLegendPen, 0, h - 90, 90, h), 0);
  gRender.axisCross = cross;
  int pixels[2];
  for (float scale : {5.0f, 500.0f}) {
    Show(kView3D, scale);
    pixels[scale == 5 ? 0 : 1] = CountColour(kLegendPen, 0, h - 90, 90, h);
  }
  EXPECT_GT(pixels[0], 40);  // three axes some 25 pixels long
  EXPECT_EQ(pixels[0], pixels[1]);
  EXPECT_EQ(At(45, h - 50), Palette(kLegendPen));  // z points up
  gRender.axisCross = nullptr;
  FreeObject(cross);
}

// ---- Perspective ----

class PerspectiveTest : public RenderingTest {
 protected:
  // The eye at `eye`, looking along +x with z up.
  void LookAlongX(ObjectVertex eye, int hidden = 1) {
    gView.eyePoint = eye;
    gDrawing.hiddenFaces = int16_t(hidden);
    Show(kViewPerspective);
  }
  size_t Sorted() const { return gWork.sortList.size(); }
};

TEST_F(PerspectiveTest, FromInsideARoomTheWallsAheadAreKeptAndPaintedFarthestFirst) {
  AddRoom();
  LookAlongX({2, 4, 1.5f});
  EXPECT_EQ(Sorted(), 5u);  // every face but the wall x = 0 behind the eye
  for (size_t i = 1; i < Sorted(); ++i) {
    const DepthSortEntry &a = gWork.sortList[i - 1], &b = gWork.sortList[i];
    EXPECT_TRUE(a.farDepth > b.farDepth || (a.farDepth == b.farDepth && a.nearDepth >= b.nearDepth)) << i;
  }
  EXPECT_EQ(gWork.sortList[0].farDepth, 8000);           // the far wall x = 10 is 8 m ahead
  EXPECT_EQ(At(Width() / 2, Height() / 2), Palette(8));  // filled, the room's fill

  // The same room with outward normals shows nothing from inside.
  ResetDrawing();
  for (const Polygon& face : BoxFaces(kLx, kLy, kLz)) AddObject({Reversed(face)});
  LookAlongX({2, 4, 1.5f});
  EXPECT_EQ(Sorted(), 0u);
}

TEST_F(PerspectiveTest, ALoudspeakerSolidShowsItsNearFaceAndAnotherLayerItsInside) {
  for (const auto& [layer, kept] : {std::pair{kLoudspeakerLayer, 1u}, std::pair{kRoomLayer, 5u}}) {
    ResetDrawing();
    for (Polygon face : BoxFaces(1, 1, 1)) {
      for (ObjectVertex& v : face) v = {v.x + 5, v.y - 0.5f, v.z - 0.5f};
      AddObject({face}, 0, kKindSolid, layer);
    }
    LookAlongX({0, 0, 0});
    EXPECT_EQ(Sorted(), kept) << layer;
  }
  ASSERT_EQ(Sorted(), 5u);
  EXPECT_TRUE(std::none_of(gWork.sortList.begin(), gWork.sortList.end(),
                           [](const DepthSortEntry& e) { return e.farDepth == 5000; }));  // not the near face
}

TEST_F(PerspectiveTest, APolygonAcrossTheEyePlaneIsCutThereAndOneBehindTheEyeIsDropped) {
  // The floor under the eye from 5 m behind to 5 m ahead, facing up.
  AddObject({RectangleXY(-5, -2, 5, 2, -1)});
  LookAlongX({0, 0, 0});
  ASSERT_EQ(Sorted(), 1u);
  EXPECT_EQ(gWork.sortList[0].nearDepth, 0);
  EXPECT_EQ(gWork.sortList[0].farDepth, 5000);
  const std::vector<platform::Point>& points = gWork.polygonPoints;
  // Two corners ahead, the two cuts at depth 0, and two points bending the
  // cut along the circle 90 degrees off the axis (127 degrees round it).
  ASSERT_EQ(points.size(), 6u);
  for (const platform::Point& p : points) EXPECT_GT(p.y, Height() / 2);  // nothing mirrored above the horizon
  EXPECT_EQ(At(Width() / 2, Height() / 2 + 200), Palette(8));
  EXPECT_EQ(At(Width() / 2, Height() / 2 - 60), Palette(30));

  // A floor wide to both sides: its cut at depth 0 lies 90 degrees off the
  // axis all along, beyond the window's edges, so the floor reaches the
  // bottom of the window (a straight cut between the two ends would stop
  // just under the centre).
  ResetDrawing();
  AddObject({RectangleXY(-5, -20, 5, 20, -1)});
  LookAlongX({0, 0, 0});
  ASSERT_EQ(Sorted(), 1u);
  for (int y : {Height() * 3 / 4, Height() - 1}) EXPECT_EQ(At(Width() / 2, y), Palette(8)) << y;

  ResetDrawing();
  GraphicObject* behind = AddObject({Reversed(WallX(-3, -2, 2, -1, 1))});  // faces the eye, but behind it
  LookAlongX({0, 0, 0});
  EXPECT_EQ(Sorted(), 0u);
  EXPECT_EQ(CallsDuring([&] { DrawObjects(behind, behind, 0); }), 0u);
}

TEST_F(PerspectiveTest, WireframeDrawsTheKeptOutlinesUnfilledAndAudienceAreasNotAtAll) {
  AddRoom();
  AddRoom(kAudienceLayer);
  LookAlongX({2, 4, 1.5f}, 0);
  EXPECT_EQ(Sorted(), 5u);
  EXPECT_EQ(At(Width() / 2, Height() / 2), Palette(30));
}

TEST_F(PerspectiveTest, PicksAndSnapProjectAsTheRendererDraws) {
  LookAlongX({0, 0, 0});
  for (const ObjectVertex& p : {ObjectVertex{4, 1, 0.5f}, ObjectVertex{1, -3, -2}, ObjectVertex{0.005f, 0.2f, 0}}) {
    const platform::Point drawn = PerspectiveProjectPoint(EyeTransformPoint(p));
    ProjectPointToScreen(p);
    EXPECT_EQ(gWork.screenPoints[0].x, drawn.x);
    EXPECT_EQ(gWork.screenPoints[0].y, drawn.y);
  }
  // 90 degrees off the axis lands max(width, height) pixels from the centre.
  const platform::Point side = PerspectiveProjectPoint({1, 0, 0});
  EXPECT_NEAR(side.x - Width() * 0.5, std::max(Width(), Height()), 1);
}

TEST_F(PerspectiveTest, ProjectionClampsFarPointsAt8192) {
  GraphicObject* o = AddObject({{{1e6f, 0, 0}, {-1e6f, 0, 0}, {0, 1e6f, 0}}});
  Show(kViewXY, 5);
  AccessObject(kAccessFillBlock, o);
  ProjectObjectToScreen();
  EXPECT_EQ(gWork.screenPoints[0].x, 8192);
  EXPECT_EQ(gWork.screenPoints[1].x, -8192);
  EXPECT_EQ(gWork.screenPoints[2].y, -8192);
  EXPECT_EQ(gWork.objectBox.maxX, 8192);
  EXPECT_EQ(gWork.objectBox.minY, -8192);
}

TEST_F(PerspectiveTest, TheIsobarRingsAndReadoutsFollowATurn) {
  GraphicObject* rings = CreateObject(0, 216, 0);
  for (int ring = 0; ring < 3; ++ring)
    for (int i = 0; i < 72; ++i) {
      const double a = i * 5 * kPi / 180, r = 0.1 * (ring + 1);
      rings->vertices[ring * 72 + i] = {float(r * std::cos(a)), float(r * std::sin(a)), 0};
    }
  gRender.isobarRings = rings;
  gRender.isobarBand = 3;
  LookAlongX({1, 2, 3});
  RotateViewByAngle(360);
  // The first ring lies 0.1 rad off the axis, where the room at that angle is drawn.
  const FisheyePixel ring = FisheyeOffsetPixel(0.1, 0, Width(), Height());
  EXPECT_EQ(At(int(ring.x), int(ring.y)), Palette(19));
  const platform::Point room = PerspectiveProjectPoint({std::sin(0.1), 0, std::cos(0.1)});
  EXPECT_NEAR(room.x, ring.x, 1);
  EXPECT_NEAR(room.y, ring.y, 1);
  EXPECT_GT(CountColour(0, 0, 0, 80, 100), 20);  // X:, Y:, Z:, Hor., Ver., 1000 Hz
  EXPECT_EQ(At(int(gView.centreX) + 5, int(gView.centreY)), Palette(23));
  gRender.isobarRings = nullptr;
  FreeObject(rings);
}

}  // namespace
