#include "design/model/speaker_perspective.h"

#include <algorithm>
#include <cmath>

#include "design/model/balloon_codes.h"
#include "framework/model/layers.h"

namespace {

constexpr double kBalloonStep = kPi / 36;  // 5 degrees, a balloon row or column
// The codes the largest code is taken from: rows 0 .. 17 and half of row 18.
constexpr size_t kIsobarReferenceCodes = 1332;
// The last row the isobars look at, 80 degrees off the axis.
constexpr int kIsobarLastRow = 16;
constexpr int kCodesPerDb = 5;
constexpr int kIsobarStepDb = 3;
constexpr int kAllBands = 7;
constexpr int kDefaultIsobarBand = 3;

}  // namespace

GraphicObject* CreateIsobarObject() {
  GraphicObject* rings = CreateObject(0, kIsobarVertices, 0);
  if (!rings) return nullptr;
  rings->layer = kAimLineLayer;
  rings->colour = kIsobarColour;
  rings->state = kStateLayerOff;
  return rings;
}

int IsobarBand(int shownBand) { return shownBand >= 0 && shownBand < kAllBands ? shownBand : kDefaultIsobarBand; }

void DrawSpeakerIsobars(const SpeakerType& type, int band, double angle, GraphicObject* rings) {
  if (!rings || !rings->vertices || rings->vertexCount < kIsobarVertices || band < 0 || band >= kBandCount) return;
  rings->vertexCount = kIsobarVertices;
  rings->itemCount = 0;
  rings->layer = kAimLineLayer;
  rings->colour = kIsobarColour;
  rings->state = kStateLayerOff;

  const std::span<const uint8_t, kBalloonBandSize> codes = type.BalloonBand(band);
  const int largest = *std::max_element(codes.begin(), codes.begin() + kIsobarReferenceCodes);
  const double largestDb = AttenuationCodeToDb(largest);
  auto code = [&](int row, int column) { return int(codes[size_t(row) * kBalloonColumns + size_t(column)]); };

  for (int c = 0; c < kBalloonColumns; ++c) {
    int peakRow = 0;
    for (int r = 1; r <= kIsobarLastRow; ++r)
      if (code(r, c) > code(peakRow, c)) peakRow = r;
    const double bearing = c * kBalloonStep + angle - kPi;
    for (int k = 1; k <= kIsobarRings; ++k) {
      float theta = kIsobarOpenAngle;
      for (int r = peakRow; r <= kIsobarLastRow; ++r) {
        if (code(r, c) > largest - kCodesPerDb * kIsobarStepDb * k) continue;
        const double drop = AttenuationCodeToDb(code(r, c)) - largestDb;
        theta = float(std::fabs(r * kBalloonStep * (kIsobarStepDb * k / drop)));
        break;
      }
      rings->vertices[size_t(c + kBalloonColumns * (k - 1))] = {float(theta * std::cos(bearing)),
                                                                float(theta * std::sin(bearing)), theta};
    }
  }
}

PerspectiveAim PerspectiveAimOf(const Loudspeaker& speaker) {
  return {{speaker.position[0], speaker.position[1], speaker.position[2]},
          PerspectiveLookingAlong({speaker.horizontal, speaker.vertical})};
}
