#include "design/document/loudspeaker_aim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/model/layers.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/design/model/speaker_fixtures.h"
#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr double kDeg = 3.141592654 / 180.0;

class LoudspeakerAimTest : public SpeakerModelTest {
 protected:
  static Loudspeaker Aimed(ObjectVertex position, double horizontalDegrees, double verticalDegrees) {
    Loudspeaker s;
    s.position = {position.x, position.y, position.z};
    s.horizontal = float(horizontalDegrees * kDeg);
    s.vertical = float(verticalDegrees * kDeg);
    return s;
  }
  static std::vector<GraphicObject*> ObjectsOnLayer(uint32_t layer) {
    std::vector<GraphicObject*> found;
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->layer == layer) found.push_back(o);
    return found;
  }
};

TEST_F(LoudspeakerAimTest, TheAxisMeetsTheFirstFaceAhead) {
  AddBoxRoom({10, 8, 4});  // floor, ceiling, x = 0, x = 10, y = 0, y = 8
  ASSERT_EQ(BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project), 6);
  struct Case {
    const char* what;
    Loudspeaker speaker;
    int face;
    ObjectVertex point;
  };
  const Case cases[] = {
      {"along +x", Aimed({2, 4, 2}, 0, 0), 3, {10, 4, 2}},
      {"along -x: the wall behind is not the aim", Aimed({8, 4, 2}, 180, 0), 2, {0, 4, 2}},
      {"along +y", Aimed({2, 4, 2}, 90, 0), 5, {2, 8, 2}},
      {"down, whatever the azimuth", Aimed({3, 5, 3}, 30, -90), 0, {3, 5, 0}},
      {"up and across", Aimed({2, 2, 1}, 45, 45), 1, {4.1213f, 4.1213f, 4}},
  };
  for (const Case& c : cases) {
    ObjectVertex point{-1, -1, -1};
    EXPECT_EQ(FindAimPoint(gCalcFaceTable, c.speaker, point), c.face) << c.what;
    EXPECT_NEAR(point.x, c.point.x, 1e-3) << c.what;
    EXPECT_NEAR(point.y, c.point.y, 1e-3) << c.what;
    EXPECT_NEAR(point.z, c.point.z, 1e-3) << c.what;
  }
}

TEST_F(LoudspeakerAimTest, OfFacesAtEqualDistanceTheEarlierWins) {
  AddObject({WallX(6, 0, 4, 0, 4)});
  AddObject({WallX(6, 0, 4, 0, 4)});
  AddObject({WallX(3, 0, 4, 0, 4)});  // behind the loudspeaker
  ASSERT_EQ(BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project), 3);
  ObjectVertex point;
  EXPECT_EQ(FindAimPoint(gCalcFaceTable, Aimed({4, 2, 2}, 0, 0), point), 0);
}

TEST_F(LoudspeakerAimTest, AnAxisThatMeetsNoFaceLeavesThePoint) {
  AddObject({WallX(6, 0, 4, 0, 4)});
  // A slope in the plane x + z = 6 whose box holds the loudspeaker.
  AddObject({{{6, 0, 0}, {6, 4, 0}, {2, 4, 4}, {2, 0, 4}}});
  ASSERT_EQ(BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project), 2);
  ObjectVertex point{7, 8, 9};
  EXPECT_EQ(FindAimPoint(gCalcFaceTable, Aimed({4, 2, 1}, 90, 0), point), -1);
  // Its line meets the slope at x = 5, behind the loudspeaker.
  EXPECT_EQ(FindAimPoint(gCalcFaceTable, Aimed({4, 2, 1}, 180, 0), point), -1);
  EXPECT_EQ(point.x, 7.0f);
  EXPECT_EQ(point.z, 9.0f);
}

TEST_F(LoudspeakerAimTest, TheOverlayHoldsALinePerSwitchedOnLoudspeakerThatAimsAtAFace) {
  AddBoxRoom({10, 8, 4});
  PlaceSpeaker(Aimed({2, 4, 2}, 0, 0));
  Loudspeaker off = Aimed({2, 3, 2}, 0, 0);
  off.on = 0;
  PlaceSpeaker(off);
  PlaceSpeaker(Aimed({5, 4, 2}, 90, 0));
  FakeServices services;

  RebuildAimLines(true);
  std::vector<GraphicObject*> overlays = ObjectsOnLayer(kAimLineLayer);
  ASSERT_EQ(overlays.size(), 1u);
  GraphicObject* overlay = overlays[0];
  EXPECT_EQ(gObjects.model.first, overlay);
  EXPECT_EQ(overlay->colour, kAimLineColour);
  EXPECT_EQ(overlay->state, 0u);
  EXPECT_EQ(overlay->dataSize, 0u);
  ASSERT_EQ(overlay->vertexCount, 4u);
  ASSERT_EQ(overlay->itemCount, 4u);
  const ObjectVertex expected[] = {{2, 4, 2}, {10, 4, 2}, {5, 4, 2}, {5, 8, 2}};
  for (uint32_t k = 0; k < 4; ++k) {
    EXPECT_NEAR(overlay->vertices[k].x, expected[k].x, 1e-4) << k;
    EXPECT_NEAR(overlay->vertices[k].y, expected[k].y, 1e-4) << k;
    EXPECT_NEAR(overlay->vertices[k].z, expected[k].z, 1e-4) << k;
    EXPECT_EQ(overlay->items[k].op, k % 2 ? kOpLineTo : kOpStart);
    EXPECT_EQ(overlay->items[k].index, k);
  }
  EXPECT_EQ(services.redraws, 1);

  // A rebuild replaces it and hides it while its layer is off; a figure on
  // the layer without lines stays.
  GraphicObject* figure = CreateObject(0, 216, 0);
  figure->layer = kAimLineLayer;
  AppendObject(figure);
  RebuildAimLines(false);
  overlays = ObjectsOnLayer(kAimLineLayer);
  ASSERT_EQ(overlays.size(), 2u);
  EXPECT_EQ(overlays[0], gObjects.model.first);
  EXPECT_EQ(overlays[0]->state, uint32_t(kStateLayerOff));
  EXPECT_EQ(overlays[1], figure);
  EXPECT_EQ(services.redraws, 2);
}

// The layer chooser offers the aim-line layer for drawing: a rebuild frees
// only the overlay the program made, also one a project brought back.
TEST_F(LoudspeakerAimTest, ARebuildLeavesTheUsersDrawingOnTheLayer) {
  AddBoxRoom({10, 8, 4});
  PlaceSpeaker(Aimed({2, 4, 2}, 0, 0));
  GraphicObject* line = AddObject({{{1, 1, 1}, {2, 2, 2}}}, kNoMaterial, kKindLine, kAimLineLayer);
  GraphicObject* face = AddObject({{{1, 1, 3}, {2, 1, 3}, {2, 2, 3}}}, 0, kKindFace, kAimLineLayer);
  RebuildAimLines(true);
  std::vector<GraphicObject*> onLayer = ObjectsOnLayer(kAimLineLayer);
  ASSERT_EQ(onLayer.size(), 3u);
  GraphicObject* overlay = onLayer[0];
  EXPECT_EQ(overlay->vertexCount, 2u);
  // As a project read leaves it: colour 0, hidden.
  overlay->colour = 0;
  overlay->state = kStateLayerOff;

  RebuildAimLines(true);
  onLayer = ObjectsOnLayer(kAimLineLayer);
  ASSERT_EQ(onLayer.size(), 3u);
  EXPECT_EQ(onLayer[0]->colour, kAimLineColour);
  EXPECT_EQ(onLayer[1], line);
  EXPECT_EQ(onLayer[2], face);
  EXPECT_EQ(line->vertexCount, 2u);
}

TEST_F(LoudspeakerAimTest, WithoutALineThereIsNoOverlay) {
  AddObject({WallX(6, 0, 4, 0, 4)});
  PlaceSpeaker(Aimed({4, 2, 2}, 0, 0));
  RebuildAimLines(true);
  ASSERT_EQ(ObjectsOnLayer(kAimLineLayer).size(), 1u);

  // Aimed away from the only face: the old overlay goes and none comes.
  ResetObjectStore();
  AddObject({WallX(6, 0, 4, 0, 4)});
  PlaceSpeaker(Aimed({4, 2, 2}, 180, 0));
  RebuildAimLines(true);
  EXPECT_TRUE(ObjectsOnLayer(kAimLineLayer).empty());

  // No loudspeaker switched on: the old overlay goes too.
  ResetObjectStore();
  AddObject({WallX(6, 0, 4, 0, 4)});
  GraphicObject* speaker = PlaceSpeaker(Aimed({4, 2, 2}, 0, 0));
  RebuildAimLines(true);
  Loudspeaker s;
  ReadLoudspeaker(speaker, s);
  s.on = 0;
  WriteLoudspeaker(s, speaker);
  MessageRecorder messages;
  RebuildAimLines(true);
  EXPECT_TRUE(ObjectsOnLayer(kAimLineLayer).empty());
  EXPECT_TRUE(messages.texts().empty());
}

}  // namespace
