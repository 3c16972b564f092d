// Fixtures shared by the loudspeaker and speaker-type tests: a hand-built
// shape (its last two vertices are the reference points (1,0,0) and
// (0,0,1)) and a clean loudspeaker model with a default symbol.
#pragma once

#include <gtest/gtest.h>

#include "design/model/loudspeaker.h"
#include "design/model/speaker_type.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"

// A triangle pointing along +x, as a loudspeaker shape.
inline GraphicObject* MakeShape(uint32_t layer = kShapeLayer) {
  const ObjectVertex vertices[] = {{0.5f, 0, 0}, {0, 0.2f, 0.1f}, {0, -0.2f, -0.1f}, {1, 0, 0}, {0, 0, 1}};
  const ObjectItem items[] = {{kOpStart, 0}, {kOpLineTo, 1}, {kOpClose, 2}};
  GraphicObject* shape = CreateObject(0, 5, 3);
  for (int i = 0; i < 5; ++i) shape->vertices[i] = vertices[i];
  for (int i = 0; i < 3; ++i) shape->items[i] = items[i];
  shape->kind = kKindSolid;
  shape->state = 134;
  shape->layer = layer;
  return shape;
}

// A new loudspeaker object (unlinked, with its block) as the placing
// commands create it.
inline GraphicObject* MakeSpeakerObject() { return CreateObject(kLoudspeakerSize, 0, 0); }

// A loudspeaker object holding `speaker`, appended to the model list.
inline GraphicObject* PlaceSpeaker(const Loudspeaker& speaker) {
  GraphicObject* o = MakeSpeakerObject();
  o->layer = kLoudspeakerLayer;
  WriteLoudspeaker(speaker, o);
  AppendObject(o);
  return o;
}

class SpeakerModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetObjectStore();
    ResetSpeakerModel();
    defaultSymbol_ = MakeShape();
    gSpeakerModel.defaultSymbol = defaultSymbol_;
  }
  void TearDown() override {
    ResetObjectStore();
    ClearSpeakerTypeTable(gSpeakerModel.types);
    gSpeakerModel.defaultSymbol = nullptr;
    ObjectList own;
    FreeObjectInList(defaultSymbol_, own);
  }

  // Appends a type with the given shape to the project's table; its index.
  int16_t AddType(GraphicObject* shape) {
    SpeakerTypeTable& table = gSpeakerModel.types;
    table.types[size_t(table.count)] = AllocSpeakerType();
    table.types[size_t(table.count)]->shape = shape;
    return table.count++;
  }

  GraphicObject* defaultSymbol_ = nullptr;
};
