// Records for the tests of the editor's record views.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "design/model/speaker_type.h"
#include "speakerbase/view_layout.h"

namespace view_fixtures {

// A record named "FLAT" of brand "Test Brand" whose balloon is `code` in
// every direction of every band; sensitivity 90 + band dB, Q 5.0.
inline SpeakerType FlatRecord(uint8_t code = kBalloonCodeZeroDb) {
  SpeakerType record;
  ResetSpeakerType(record);
  record.SetBrand("Test Brand");
  record.SetTypeName("FLAT");
  for (int band = 0; band < kBandCount; ++band) {
    std::span<uint8_t, kBalloonBandSize> codes = record.BalloonBand(band);
    std::fill(codes.begin(), codes.end(), code);
    record.SetSensitivity(band, float(90 + band));
    record.SetDirectivityQ10(band, 50);
  }
  return record;
}

// Sets the code of one direction of one band.
inline void SetCode(SpeakerType& record, int band, int row, int column, uint8_t code) {
  record.BalloonBand(band)[size_t(row) * kBalloonColumns + size_t(column)] = code;
}

// Client sizes of the view windows from that of a 1024 x 700 screen up:
// the main window's client less the views' margins and borders.
inline const std::vector<std::pair<int, int>> kWindowSizes = {{958, 560},   {988, 598},  {1212, 620},  {1212, 900},
                                                              {1400, 1000}, {1852, 900}, {2500, 1340}, {1000, 1400}};

// A circle of pixels around a plot or a view.
struct Disc {
  ViewPoint centre;
  double radius = 0;
};
inline bool Meets(const Disc& d, const ViewRect& r) {
  const double x = std::clamp(double(d.centre.x), double(r.left), double(r.right));
  const double y = std::clamp(double(d.centre.y), double(r.top), double(r.bottom));
  return std::hypot(x - d.centre.x, y - d.centre.y) < d.radius;
}

// The buttons of a view window: "<-" and the balloon window's eight more
// under it.
inline std::vector<ViewRect> ViewButtons(int count) {
  std::vector<ViewRect> buttons;
  for (int i = 0; i < count; ++i)
    buttons.push_back(
        {0, kViewButtonTop + i * kViewButtonSize, kViewButtonSize, kViewButtonTop + (i + 1) * kViewButtonSize});
  return buttons;
}

// No two texts share a pixel, every text lies in the client area, and none
// reaches under a button or into a disc.
inline void ExpectTextsApart(const std::vector<ViewText>& texts, const std::vector<Disc>& discs,
                             const std::vector<ViewRect>& buttons, int width, int height) {
  const ViewRect area{0, 0, width, height};
  for (size_t i = 0; i < texts.size(); ++i) {
    const ViewText& t = texts[i];
    EXPECT_TRUE(area.Contains(t.box)) << t.text << " at " << width << " x " << height;
    for (size_t j = i + 1; j < texts.size(); ++j)
      EXPECT_FALSE(t.box.Intersects(texts[j].box))
          << t.text << " and " << texts[j].text << " at " << width << " x " << height;
    for (const Disc& d : discs) EXPECT_FALSE(Meets(d, t.box)) << t.text << " at " << width << " x " << height;
    for (const ViewRect& b : buttons) EXPECT_FALSE(t.box.Intersects(b)) << t.text << " at " << width << " x " << height;
  }
}

}  // namespace view_fixtures
