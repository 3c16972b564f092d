#include "design/model/speaker_perspective.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "framework/model/layers.h"

namespace {

constexpr double kDeg = kPi / 180;

// A type whose balloon falls `perRow(c)` dB a row in column c, in every band.
template <typename PerRow>
SpeakerTypePtr FallingType(PerRow perRow) {
  SpeakerTypePtr type = AllocSpeakerType();
  for (int band = 0; band < kBandCount; ++band)
    for (int r = 0; r < kBalloonRows; ++r)
      for (int c = 0; c < kBalloonColumns; ++c)
        type->BalloonBand(band)[size_t(r * kBalloonColumns + c)] = uint8_t(std::max(0, 225 - 5 * r * perRow(c)));
  return type;
}

struct IsobarsTest : ::testing::Test {
  void SetUp() override { rings = CreateIsobarObject(); }
  void TearDown() override { FreeObject(rings); }
  const ObjectVertex& At(int ring, int column) const { return rings->vertices[ring * kBalloonColumns + column]; }
  GraphicObject* rings = nullptr;
};

TEST_F(IsobarsTest, AFlatBalloonPutsEveryRingAtNinetyDegrees) {
  ASSERT_NE(rings, nullptr);
  EXPECT_EQ(rings->vertexCount, 216u);
  EXPECT_EQ(rings->layer, uint32_t(kAimLineLayer));
  EXPECT_EQ(rings->colour, 26u);
  EXPECT_EQ(rings->state, 128u);
  SpeakerTypePtr flat = FallingType([](int) { return 0; });
  DrawSpeakerIsobars(*flat, 2, 0, rings);
  EXPECT_EQ(rings->itemCount, 0u);
  for (int ring = 0; ring < kIsobarRings; ++ring)
    for (int c = 0; c < kBalloonColumns; ++c) {
      EXPECT_EQ(At(ring, c).z, 1.5707964f);
      const double bearing = c * 5 * kDeg - kPi;
      EXPECT_NEAR(At(ring, c).x, 1.5707964 * std::cos(bearing), 1e-6);
      EXPECT_NEAR(At(ring, c).y, 1.5707964 * std::sin(bearing), 1e-6);
    }
}

TEST_F(IsobarsTest, EachRingLiesWhereItsColumnFirstFallsByItsStepScaledToTheDrop) {
  // Column c falls (c % 4) dB a row; columns 0, 4, ... stay flat. Each ring
  // stands at the angle where the fall reaches 3, 6 or 9 dB.
  SpeakerTypePtr type = FallingType([](int c) { return c % 4; });
  DrawSpeakerIsobars(*type, 5, 0, rings);
  for (int c = 0; c < kBalloonColumns; ++c)
    for (int k = 1; k <= 3; ++k) {
      const int perRow = c % 4;
      const float expected = perRow == 0 || 3 * k > 16 * perRow ? kIsobarOpenAngle : float(5 * kDeg * 3 * k / perRow);
      EXPECT_NEAR(At(k - 1, c).z, expected, 1e-6) << "column " << c << " ring " << k;
    }
  // The largest code comes from the first 1332 codes only: a louder code
  // further back raises nothing.
  type->BalloonBand(5)[1332] = 255;
  DrawSpeakerIsobars(*type, 5, 0, rings);
  EXPECT_NEAR(At(0, 1).z, 15 * kDeg, 1e-6);
  // A column whose loudest row is off the axis falls from there.
  SpeakerTypePtr offAxis = FallingType([](int) { return 1; });
  offAxis->BalloonBand(0)[size_t(2 * kBalloonColumns + 7)] = 225;
  offAxis->BalloonBand(0)[size_t(3 * kBalloonColumns + 7)] = 226;
  DrawSpeakerIsobars(*offAxis, 0, 0, rings);
  // From row 3 at 0.2 dB, row 4 at -4 dB is the first 3 dB (or more) below.
  EXPECT_NEAR(At(0, 7).z, 4 * 5 * kDeg * 3 / 4.2, 1e-6);
}

TEST_F(IsobarsTest, ARingPointLiesOnTheViewOutOfTheLoudspeakerAtTheAngleItStandsFor) {
  SpeakerTypePtr type = FallingType([](int c) { return 1 + c % 3; });
  Loudspeaker speaker;
  speaker.position = {1, 2, 3};
  speaker.horizontal = float(30 * kDeg);
  speaker.vertical = float(-20 * kDeg);
  speaker.rotation = float(15 * kDeg);
  DrawSpeakerIsobars(*type, 1, -speaker.rotation, rings);

  const PerspectiveAim aim = PerspectiveAimOf(speaker);
  EXPECT_EQ(aim.eye.x, 1);
  EXPECT_EQ(aim.eye.z, 3);
  const ViewRotationMatrix view = ViewRotation(aim.view.turn, aim.view.tilt);
  constexpr int kWidth = 900, kHeight = 700;
  for (int k = 0; k < kIsobarRings; ++k)
    for (int c = 0; c < kBalloonColumns; c += 5) {
      // The balloon's direction of this ring point, turned into place as the
      // loudspeaker's symbol and the calculations turn it.
      const double theta = At(k, c).z, phi = c * 5 * kDeg;
      ObjectVertex direction{float(std::cos(theta)), float(std::sin(theta) * std::cos(phi)),
                             float(std::sin(theta) * std::sin(phi))};
      PlaceSymbolVertices(std::span(&direction, 1), speaker.position, speaker.horizontal, speaker.vertical,
                          speaker.rotation);
      const EyePoint e = ToEyeSpace(view, direction.x - aim.eye.x, direction.y - aim.eye.y, direction.z - aim.eye.z);
      const FisheyePixel room = FisheyeProject(e, kWidth, kHeight);
      const FisheyePixel ring = FisheyeOffsetPixel(At(k, c).x, At(k, c).y, kWidth, kHeight);
      EXPECT_NEAR(ring.x, room.x, 0.1) << "ring " << k << " column " << c;
      EXPECT_NEAR(ring.y, room.y, 0.1) << "ring " << k << " column " << c;
    }
}

TEST(IsobarBandTest, AllBandsShowOneKilohertz) {
  EXPECT_EQ(IsobarBand(0), 0);
  EXPECT_EQ(IsobarBand(6), 6);
  EXPECT_EQ(IsobarBand(7), 3);
  EXPECT_EQ(IsobarBand(-1), 3);
}

}  // namespace
