// Room faces for the tests of the calculations and the loudspeaker aiming:
// box rooms of face objects and the project materials they name, and a
// fixture that clears both around each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "design/acoustics/reverberation.h"
#include "design/model/materials.h"
#include "framework/model/graphic_object.h"
#include "tests/support/object_fixtures.h"

// Project material `index`, named "m<index>", with `alpha` in every band;
// the table grows to hold it.
inline void SetMaterial(int index, float alpha) {
  MaterialTable& table = gMaterials.project;
  if (table.count <= index) table.count = int16_t(index + 1);
  table.records[size_t(index)].name = "m" + std::to_string(index);
  table.records[size_t(index)].absorption.fill(alpha);
}

// The box's six faces, one face object each, with the materials
// `materials[i]` in the order of BoxFaces.
inline void AddBoxRoom(ObjectVertex size, const int (&materials)[6] = {0, 0, 0, 0, 0, 0}) {
  const std::vector<Polygon> faces = BoxFaces(size.x, size.y, size.z);
  for (int i = 0; i < 6; ++i) AddObject({faces[size_t(i)]}, materials[i]);
}

// The 10 m cube, every face of material 0 at `alpha`, as one face object;
// without face `leftOut` (in the order of BoxFaces) when one is given.
inline void AddTenMetreCube(float alpha, int leftOut = -1) {
  SetMaterial(0, alpha);
  std::vector<Polygon> faces = BoxFaces(10, 10, 10);
  if (leftOut >= 0) faces.erase(faces.begin() + leftOut);
  AddObject(faces);
}

inline BandValues AllBands(double value) {
  BandValues values;
  values.fill(value);
  return values;
}

// Clears the model and the materials before and after each test.
class RoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetObjectStore();
    ResetMaterials();
  }
  void TearDown() override {
    ResetObjectStore();
    ResetMaterials();
  }
};
