#include "speakerbase/view_layout.h"

#include <string_view>

#include "framework/core/text_format.h"

namespace {

constexpr const char* kBandLabels[kBandCount] = {"125 Hz ", "250 Hz ", "500 Hz ", "1 kHz ",
                                                 "2 kHz ",  "4 kHz ",  "8 kHz "};

}  // namespace

std::string RecordHeading(const SpeakerType& record) { return record.Brand() + " : " + record.TypeName(); }

std::string BandHeader(const SpeakerType& record, int band) {
  return kBandLabels[band] + FormatText("Ref: %3.1f dB", record.Sensitivity(band));
}

std::vector<LegendEntry> LayOutLegend(std::span<const LegendKey> keys, ViewPoint origin) {
  constexpr int kLine = 24, kGap = 4, kEntryGap = 16;
  std::vector<LegendEntry> entries;
  int x = origin.x;
  const int middle = origin.y + LegendBottom(0) / 2;
  for (const LegendKey& key : keys) {
    const int textLeft = x + kLine + kGap;
    const int textRight = textLeft + int(std::string_view(key.text).size()) * kViewLabelCharBox;
    entries.push_back({key.pen,
                       {x, middle},
                       {x + kLine, middle},
                       {{textLeft, origin.y, textRight, LegendBottom(origin.y)}, key.text, ViewAlign::kLeft}});
    x = textRight + kEntryGap;
  }
  return entries;
}
