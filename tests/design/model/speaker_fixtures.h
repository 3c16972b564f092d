// Fixtures shared by the loudspeaker and speaker-type tests: a clean
// loudspeaker model with a default symbol.
#pragma once

#include <gtest/gtest.h>

#include "design/model/loudspeaker.h"
#include "design/model/speaker_type.h"
#include "framework/core/state_reset.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "tests/design/model/speaker_objects.h"

class SpeakerModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllState();
    defaultSymbol_ = MakeShape();
    gSpeakerModel.defaultSymbol = defaultSymbol_;
  }
  void TearDown() override {
    gSpeakerModel.defaultSymbol = nullptr;
    ResetAllState();
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
