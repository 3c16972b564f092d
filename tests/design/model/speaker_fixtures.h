// Fixtures shared by the loudspeaker and speaker-type tests: a clean
// loudspeaker model with a default symbol, and a loudspeaker none of whose
// numbers the edit dialog's formats show exactly.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

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

// A loudspeaker none of whose numbers the edit dialog's formats show exactly.
inline Loudspeaker AwkwardLoudspeaker() {
  Loudspeaker s;
  s.name = "MAIN L";
  s.group = "FOH";
  s.on = 1;
  s.polarity = -1;
  s.nominalPower = 200;
  s.eqGain = {-3.14159f, -9, -12.345f, 0, -50, -60.5f, -2};
  s.power = {40.1f, 25.2f, 11.7f, 200, 0, 0, 100.5f};
  s.intensity = {4.1e9f, 2.5e9f, 1.2e9f, 2e10f, 0, 0, 1e10f};
  s.delay = 12.3456f;
  s.position = {1.23456f, -7.5f, 3.33333f};
  s.horizontal = 0.123456f;
  s.vertical = -0.5f;
  s.rotation = 3.0f;
  s.typeIndex = 3;
  return s;
}

// The stored block of a loudspeaker, to compare records byte for byte.
inline std::array<uint8_t, kLoudspeakerSize> LoudspeakerBlock(const Loudspeaker& speaker) {
  std::array<uint8_t, kLoudspeakerSize> block{};
  EncodeLoudspeaker(speaker, block);
  return block;
}
