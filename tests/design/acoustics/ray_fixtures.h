// A design for the reflection-path tests: a clean model with one loudspeaker
// type whose balloon is flat at 0 dB, loudspeakers of that type placed at
// points, and the path records the search stores, decoded.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "design/acoustics/ray_paths.h"
#include "design/model/materials.h"
#include "design/model/project.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/design/model/speaker_fixtures.h"

class RayDesignTest : public SpeakerModelTest {
 protected:
  void SetUp() override {
    SpeakerModelTest::SetUp();
    flatType_ = AddType(nullptr);
    ResetSpeakerType(*gSpeakerModel.types.At(flatType_));
    gMaterials.project.count = 0;
    SetMaterial(0, 0.0f);
  }

  // A switched-on loudspeaker of the flat type at `position`, playing every
  // band with `intensity`, placed in the model.
  GraphicObject* AddSpeaker(Vec3d position, float intensity = 1.0e6f, float delay = 0) {
    Loudspeaker s;
    s.position = {float(position.x), float(position.y), float(position.z)};
    s.intensity.fill(intensity);
    s.delay = delay;
    s.typeIndex = flatType_;
    return PlaceSpeaker(s);
  }

  static DesignTables Design() { return ProjectTables(); }

  int16_t flatType_ = 0;
};

// The records of `bytes`, in order; fails the test when bytes are left over.
inline std::vector<PathRecord> DecodePathRecords(const std::vector<uint8_t>& bytes) {
  std::vector<PathRecord> records;
  size_t offset = 0;
  PathRecord record;
  while (ReadPathRecord(bytes, offset, record)) records.push_back(record);
  EXPECT_EQ(offset, bytes.size());
  return records;
}

inline double Distance(Vec3d a, Vec3d b) { return std::sqrt(Dot(a - b, a - b)); }

// The length of the polyline through the record's nodes.
inline double PathLength(const PathRecord& record) {
  double length = 0;
  for (int k = 1; k < record.NodeCount(); ++k)
    length += Distance(ToVec3d(record.nodes[size_t(k)].point), ToVec3d(record.nodes[size_t(k - 1)].point));
  return length;
}
