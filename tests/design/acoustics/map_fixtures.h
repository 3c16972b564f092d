// A small hall for the tests of the level map and its file: a box room of
// one material, audience faces on layer 1 and loudspeakers of a flat type.
#pragma once

#include <gtest/gtest.h>

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/level_map.h"
#include "design/model/materials.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/design/model/speaker_fixtures.h"

// Sets up and clears the project state, the model, the loudspeaker model,
// the materials and the map state; both the plain and the windowed fixtures
// use it.
class MapModel {
 public:
  void SetUp() {
    ResetAllState();
    defaultSymbol_ = MakeShape();
    gSpeakerModel.defaultSymbol = defaultSymbol_;
    SpeakerTypeTable& table = gSpeakerModel.types;
    table.types[0] = AllocSpeakerType();
    ResetSpeakerType(*table.types[0]);  // Q = 0.1, every direction at 0 dB
    table.types[0]->SetLayoutFlag(kCurrentSpeakerLayout);
    table.count = 1;
  }
  void TearDown() {
    gSpeakerModel.defaultSymbol = nullptr;
    ResetAllState();
    ObjectList own;
    FreeObjectInList(defaultSymbol_, own);
  }

  static SpeakerType& Type() { return *gSpeakerModel.types.At(0); }

  // A switched-on loudspeaker of the flat type aimed along +x.
  static Loudspeaker Speaker(Vec3d position, float intensity = 1.0e6f) {
    Loudspeaker s;
    s.position = {float(position.x), float(position.y), float(position.z)};
    s.intensity.fill(intensity);
    return s;
  }

  // An audience face (kind 8, layer 1, no material item).
  static GraphicObject* AddAudience(const Polygon& polygon, uint32_t kind = kKindFace) {
    return AddObject({polygon}, kNoMaterial, kind, kAudienceLayer);
  }

  // The hall: a 12 x 9 x 5 m box of material 1 (alpha 0.3), a raked
  // audience area from (1, 1) to (11, 8) rising from 1.0 to 2.4 m, and two
  // loudspeakers, the second 5 ms late.
  static void AddHall() {
    SetMaterial(1, 0.3f);
    AddBoxRoom({12, 9, 5}, {1, 1, 1, 1, 1, 1});
    AddAudience({{1, 1, 1.0f}, {11, 1, 1.0f}, {11, 8, 2.4f}, {1, 8, 2.4f}});
    PlaceSpeaker(Speaker({0.5, 2.0, 3.5}));
    Loudspeaker late = Speaker({0.5, 7.0, 3.5}, 5.0e5f);
    late.delay = 5;
    PlaceSpeaker(late);
  }

 private:
  GraphicObject* defaultSymbol_ = nullptr;
};

class MapModelTest : public ::testing::Test, protected MapModel {
 protected:
  void SetUp() override { MapModel::SetUp(); }
  void TearDown() override { MapModel::TearDown(); }
};
