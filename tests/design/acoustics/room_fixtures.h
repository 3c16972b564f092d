// Room faces for the tests of the calculations and the loudspeaker aiming:
// the fixture of an empty model, box rooms of face objects, the 10 m cube, a
// real room read from its STL file, and the project materials they name.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "design/acoustics/calc_faces.h"
#include "design/acoustics/reverberation.h"
#include "design/model/materials.h"
#include "framework/core/byte_codec.h"
#include "framework/core/state_reset.h"
#include "framework/model/graphic_object.h"
#include "tests/support/object_fixtures.h"

// A test on an empty model with the project's materials as at start-up,
// and the calculation face table emptied afterwards.
class RoomModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }
};

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

// A real room (see data/NOTICE.md): binary STL in millimetres, 24
// triangles, normals pointing outwards.
inline const std::filesystem::path kMusisRoom =
    std::filesystem::path(KORVANE_TESTS_DIR "/design/acoustics") / "data" / "INRIA_MUSIS.stl";

// The STL room's triangles, in metres, as one face object of material 0 in
// their own vertex order or reversed (facing into the room). False when the
// file cannot be read whole.
inline bool AddMusisRoom(bool facingInwards) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(kMusisRoom.string(), bytes) || bytes.size() < 84) return false;
  const uint32_t count = LoadU32(&bytes[80]);
  if (bytes.size() != 84 + 50 * size_t(count)) return false;
  std::vector<Polygon> triangles;
  for (uint32_t t = 0; t < count; ++t) {
    Polygon triangle;
    for (int v = 0; v < 3; ++v) {
      const uint8_t* p = &bytes[84 + 50 * size_t(t) + 12 + 12 * size_t(v)];
      triangle.push_back({LoadF32(p) / 1000, LoadF32(p + 4) / 1000, LoadF32(p + 8) / 1000});
    }
    triangles.push_back(facingInwards ? Reversed(triangle) : triangle);
  }
  AddObject(triangles);
  return true;
}
