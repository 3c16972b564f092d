#include "design/model/equalizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/message_recorder.h"

namespace {

using Bands = EqualizerBands;
constexpr int kMaster = kEqualizerMaster;
constexpr EqualizerMode kEq = EqualizerMode::kEqualizer;
constexpr EqualizerMode kRt = EqualizerMode::kRt60;

// One scroll action and what it leaves: the seven values, the bar of the
// control and the master's bar.
struct StepCase {
  const char* what;
  EqualizerMode mode;
  Bands start;
  int control;
  EqualizerStep step;
  int thumb;
  Bands after;
  int bar;
  int masterBar;
};

constexpr Bands kMixedGains = {-3, -9, -20, -100, -50, -9, -9};
constexpr Bands kMixedTimes = {1, 2, 0.5, 0, 9.5, 1, 1};

TEST(EqualizerTest, StepsMoveABandOrAllBandsWithinTheModesRange) {
  using S = EqualizerStep;
  const StepCase cases[] = {
      {"gain line up", kEq, kMixedGains, 1, S::kLineUp, 0, {-3, -8, -20, -100, -50, -9, -9}, 8, 3},
      {"gain line down", kEq, kMixedGains, 1, S::kLineDown, 0, {-3, -10, -20, -100, -50, -9, -9}, 10, 3},
      {"gain page up past 0 dB", kEq, kMixedGains, 0, S::kPageUp, 0, {0, -9, -20, -100, -50, -9, -9}, 0, 0},
      {"gain page down", kEq, kMixedGains, 2, S::kPageDown, 0, {-3, -9, -30, -100, -50, -9, -9}, 30, 3},
      {"gain line down at -100 dB", kEq, kMixedGains, 3, S::kLineDown, 0, kMixedGains, 100, 3},
      {"gain thumb", kEq, kMixedGains, 1, S::kThumb, 20, {-3, -20, -20, -100, -50, -9, -9}, 20, 3},
      {"gain top", kEq, kMixedGains, 4, S::kTop, 0, {-3, -9, -20, -100, 0, -9, -9}, 0, 0},
      {"gain bottom", kEq, kMixedGains, 0, S::kBottom, 0, {-100, -9, -20, -100, -50, -9, -9}, 100, 9},
      {"a band above the rest leads the master",
       kEq,
       kMixedGains,
       1,
       S::kPageUp,
       0,
       {-3, -0, -20, -100, -50, -9, -9},
       0,
       0},
      {"master line up", kEq, kMixedGains, kMaster, S::kLineUp, 0, {-2, -8, -19, -99, -49, -8, -8}, 2, 2},
      {"master page up stops at 0 dB", kEq, kMixedGains, kMaster, S::kPageUp, 0, {0, -6, -17, -97, -47, -6, -6}, 0, 0},
      {"master page down holds -100 dB",
       kEq,
       kMixedGains,
       kMaster,
       S::kPageDown,
       0,
       {-13, -19, -30, -100, -60, -19, -19},
       13,
       13},
      {"master thumb", kEq, kMixedGains, kMaster, S::kThumb, 5, {-5, -11, -22, -100, -52, -11, -11}, 5, 5},
      {"master bottom", kEq, kMixedGains, kMaster, S::kBottom, 0, {-100, -100, -100, -100, -100, -100, -100}, 100, 100},
      {"master top", kEq, kMixedGains, kMaster, S::kTop, 0, {0, -6, -17, -97, -47, -6, -6}, 0, 0},
      {"time line up", kRt, kMixedTimes, 0, S::kLineUp, 0, {1.1, 2, 0.5, 0, 9.5, 1, 1}, 89, 5},
      {"time line down", kRt, kMixedTimes, 0, S::kLineDown, 0, {0.9, 2, 0.5, 0, 9.5, 1, 1}, 91, 5},
      {"time page up past 10 s", kRt, kMixedTimes, 4, S::kPageUp, 0, {1, 2, 0.5, 0, 10, 1, 1}, 0, 0},
      {"time page down past 0 s", kRt, kMixedTimes, 2, S::kPageDown, 0, {1, 2, 0, 0, 9.5, 1, 1}, 100, 5},
      {"time thumb, 0.1 s a step", kRt, kMixedTimes, 1, S::kThumb, 70, {1, 3, 0.5, 0, 9.5, 1, 1}, 70, 5},
      {"time top", kRt, kMixedTimes, 3, S::kTop, 0, {1, 2, 0.5, 10, 9.5, 1, 1}, 0, 0},
      {"time bottom", kRt, kMixedTimes, 4, S::kBottom, 0, {1, 2, 0.5, 0, 0, 1, 1}, 100, 80},
      {"master page up stops at 10 s",
       kRt,
       kMixedTimes,
       kMaster,
       S::kPageUp,
       0,
       {1.5, 2.5, 1, 0.5, 10, 1.5, 1.5},
       0,
       0},
      {"master page down holds 0 s", kRt, kMixedTimes, kMaster, S::kPageDown, 0, {0, 1, 0, 0, 8.5, 0, 0}, 15, 15},
  };
  for (const StepCase& c : cases) {
    EqualizerValues eq = OpenEqualizer(c.start, c.mode);
    StepEqualizer(eq, c.control, c.step, c.thumb);
    for (size_t b = 0; b < kBandCount; ++b) EXPECT_NEAR(eq.values[b], c.after[b], 1e-9) << c.what << ", band " << b;
    EXPECT_EQ(EqualizerBarPosition(eq, c.control), c.bar) << c.what;
    EXPECT_EQ(EqualizerBarPosition(eq, kMaster), c.masterBar) << c.what;
  }
}

TEST(EqualizerTest, ValuesOpenWithinTheirRangeAndTheThumbMovesByTheBarsChange) {
  EqualizerValues eq = OpenEqualizer({3, -120, -9.5, -9, -9, -9, -9}, kEq);
  EXPECT_EQ(eq.values[0], 0.0);
  EXPECT_EQ(eq.values[1], -100.0);
  // -9.5 dB shows its bar at 10 (9.5 rounded); two steps down from there
  // are 2 dB.
  EXPECT_EQ(EqualizerBarPosition(eq, 2), 10);
  StepEqualizer(eq, 2, EqualizerStep::kThumb, 12);
  EXPECT_EQ(eq.values[2], -11.5);

  EqualizerValues times = OpenEqualizer({12, -1, 2.34, 0, 0, 0, 0}, kRt);
  EXPECT_EQ(times.values[0], 10.0);
  EXPECT_EQ(times.values[1], 0.0);
  EXPECT_EQ(EqualizerBarPosition(times, 2), 77);
  // A control that is none changes nothing.
  StepEqualizer(times, 8, EqualizerStep::kTop);
  EXPECT_EQ(times.values[2], 2.34);
}

TEST(EqualizerTest, FieldsShowValuePlusOffsetAndTheWhole) {
  EqualizerValues eq = OpenEqualizer({0, 0, 0, 0, 0, 0, 0}, kEq);
  EXPECT_EQ(EqualizerFieldText(eq, 0), "0.0");
  EXPECT_EQ(EqualizerWholeText(eq), "8.5");  // 10 log10(7)
  EXPECT_EQ(EqualizerLabelsOf(kEq).title, std::string("Equalizer"));
  EXPECT_EQ(EqualizerLabelsOf(kEq).unit, std::string("dB"));
  EXPECT_EQ(EqualizerLabelsOf(kEq).whole, std::string("total"));

  // Common equalisation of gains (-9, -9, ...) and (-12, -9, ...): the
  // largest gains, shown from 0 everywhere; two steps up in band 1 give
  // -7 dB there, shown as 2.
  const Bands largest = {-9, -9, -9, -9, -9, -9, -9};
  EqualizerValues common = OpenEqualizer(largest, kEq, {9, 9, 9, 9, 9, 9, 9, 9});
  for (int control = 0; control < kEqualizerControls; ++control) EXPECT_EQ(EqualizerFieldText(common, control), "0.0");
  StepEqualizer(common, 0, EqualizerStep::kLineUp);
  StepEqualizer(common, 0, EqualizerStep::kLineUp);
  EXPECT_EQ(common.values[0], -7.0);
  EXPECT_EQ(EqualizerFieldText(common, 0), "2.0");
  EXPECT_EQ(EqualizerFieldText(common, kMaster), "2.0");
  EXPECT_EQ(EqualizerBarPosition(common, 0), 7);
  // The values stay within -100 .. 0 whatever the display shows.
  StepEqualizer(common, 0, EqualizerStep::kPageUp);
  EXPECT_EQ(common.values[0], 0.0);
  EXPECT_EQ(EqualizerFieldText(common, 0), "9.0");

  EqualizerValues times = OpenEqualizer(kMixedTimes, kRt);
  EXPECT_EQ(EqualizerFieldText(times, 2), "0.5");
  EXPECT_EQ(EqualizerFieldText(times, kMaster), "9.5");
  EXPECT_EQ(EqualizerWholeText(times), "2.1");  // 15 / 7
  EXPECT_EQ(EqualizerLabelsOf(kRt).title, std::string("RT 60"));
  EXPECT_EQ(EqualizerLabelsOf(kRt).unit, std::string(" s"));
  EXPECT_EQ(EqualizerLabelsOf(kRt).whole, std::string("mean"));
}

TEST(EqualizerTest, GainsTotallingAbove0DbAreRefused) {
  MessageRecorder messages;
  const Bands flat = {0, 0, 0, 0, 0, 0, 0};
  const Bands lowered = {-9, -9, -9, -9, -9, -9, -9};
  EXPECT_NEAR(TotalEqGain(flat), 8.45, 0.005);
  EXPECT_NEAR(TotalEqGain(lowered), -0.55, 0.005);
  EXPECT_TRUE(AcceptEqGains(lowered));
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_FALSE(AcceptEqGains(flat));
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Total output exceeds the speaker\x92s maximum power (total > 0.0 dB).");
  EXPECT_EQ(messages.messages()[0].caption, "EQ settings could not be applied.");
}

}  // namespace
