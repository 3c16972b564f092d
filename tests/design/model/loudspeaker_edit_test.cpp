#include "design/model/loudspeaker_edit.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/geometry.h"
#include "framework/core/state_reset.h"
#include "tests/design/model/speaker_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292522222223;

// A type header rated 100 W and 96 dB in every band but the last (400 W).
SpeakerType Header() {
  SpeakerType type;
  for (int b = 0; b < kBandCount; ++b) {
    type.SetRatedPower(b, b == 6 ? 400.0f : 100.0f);
    type.SetSensitivity(b, 96.0f);
  }
  return type;
}

class LoudspeakerEditTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetAllState(); }
};

TEST_F(LoudspeakerEditTest, OpeningShowsTheFieldsInTheirFormatsAndUnits) {
  const SpeakerType header = Header();
  const LoudspeakerEdit edit = OpenLoudspeakerEdit(AwkwardLoudspeaker(), "HORN12", &header);
  const LoudspeakerEditTexts& t = edit.shown;
  EXPECT_EQ(t.typeName, "HORN12");
  EXPECT_EQ(t.group, "FOH");
  EXPECT_EQ(t.name, "MAIN L");
  EXPECT_EQ(t.position, (std::array<std::string, 3>{"1.235", "-7.500", "3.333"}));
  EXPECT_EQ(t.angles, (std::array<std::string, 3>{"  7", "-29", "172"}));
  EXPECT_EQ(t.delay, "12.346");
  EXPECT_TRUE(t.on);
  EXPECT_FALSE(t.positive);
  EXPECT_EQ(t.gains[0], "-3.1");
  EXPECT_EQ(t.gains[3], "0.0");
  EXPECT_EQ(t.powers[0], "40.10");
  EXPECT_EQ(t.powerSum, "377.50");
  EXPECT_EQ(t.totalGain, "3.62");

  gUnitFlag = 1;
  const LoudspeakerEdit feet = OpenLoudspeakerEdit(AwkwardLoudspeaker(), "HORN12", &header);
  EXPECT_EQ(feet.shown.position, (std::array<std::string, 3>{"4.050", "-24.606", "10.936"}));
}

TEST_F(LoudspeakerEditTest, OkWithoutChangesLeavesTheLoudspeakerByteForByte) {
  for (uint32_t unit : {0u, 1u}) {
    gUnitFlag = unit;
    for (Loudspeaker record : {AwkwardLoudspeaker(), Loudspeaker{}}) {
      record.on = uint16_t(unit ? 2 : record.on);  // an "off" word other than 0 stays too
      record.polarity = int16_t(unit ? 0 : record.polarity);
      const auto before = LoudspeakerBlock(record);
      const LoudspeakerEdit edit = OpenLoudspeakerEdit(record, "HORN12", nullptr);
      std::string typeName;
      ASSERT_EQ(ApplyLoudspeakerEdit(edit, edit.shown, record, typeName), 1);
      EXPECT_EQ(LoudspeakerBlock(record), before) << "unit " << unit;
      EXPECT_EQ(typeName, "HORN12");
    }
  }
}

TEST_F(LoudspeakerEditTest, TypedFieldsAreReadBackInTheModelsUnits) {
  using Texts = LoudspeakerEditTexts;
  struct Case {
    const char* what;
    uint32_t unit;
    std::function<void(Texts&)> type;
    std::function<void(const Loudspeaker&)> check;
  };
  auto radians = [](double degrees) { return float(degrees * kRadiansPerDegree); };
  const Case cases[] = {
      {"3.28084 ft is 1 m", 1, [](Texts& t) { t.position[0] = "3.28084"; },
       [](const Loudspeaker& s) { EXPECT_EQ(s.position[0], 1.0f); }},
      {"metres as typed", 0, [](Texts& t) { t.position[2] = "-0.25"; },
       [](const Loudspeaker& s) { EXPECT_EQ(s.position[2], -0.25f); }},
      {"270 degrees are -90", 0, [](Texts& t) { t.angles[0] = "270"; },
       [&](const Loudspeaker& s) { EXPECT_EQ(s.horizontal, radians(-90)); }},
      {"180 degrees stay", 0, [](Texts& t) { t.angles[1] = "180"; },
       [&](const Loudspeaker& s) { EXPECT_EQ(s.vertical, radians(180)); }},
      {"-190 degrees are 170", 0, [](Texts& t) { t.angles[2] = "-190"; },
       [&](const Loudspeaker& s) { EXPECT_EQ(s.rotation, radians(170)); }},
      {"540 degrees are 180", 0, [](Texts& t) { t.angles[0] = "540"; },
       [&](const Loudspeaker& s) { EXPECT_EQ(s.horizontal, radians(180)); }},
      {"a comma in every number field", 0,
       [](Texts& t) {
         for (std::string& text : t.position) text = "2,5";
         for (std::string& text : t.angles) text = "2,5";
         t.delay = "2,5";
         for (std::string& text : t.gains) text = "-2,5";
       },
       [&](const Loudspeaker& s) {
         EXPECT_EQ(s.position, (std::array<float, 3>{2.5f, 2.5f, 2.5f}));
         EXPECT_EQ(s.horizontal, radians(2.5));
         EXPECT_EQ(s.rotation, radians(2.5));
         EXPECT_EQ(s.delay, 2.5f);
         for (float gain : s.eqGain) EXPECT_EQ(gain, -2.5f);
       }},
      {"text that is no number leaves the value", 0,
       [](Texts& t) {
         t.delay = "soon";
         t.gains[0] = "";
         t.position[1] = "1e99";
       },
       [](const Loudspeaker& s) {
         EXPECT_EQ(s.delay, AwkwardLoudspeaker().delay);
         EXPECT_EQ(s.eqGain[0], AwkwardLoudspeaker().eqGain[0]);
         EXPECT_EQ(s.position[1], AwkwardLoudspeaker().position[1]);
       }},
      {"names keep 10 characters", 0,
       [](Texts& t) {
         t.name = "DELAY RING 12";
         t.group = "";
       },
       [](const Loudspeaker& s) {
         EXPECT_EQ(s.name, "DELAY RING");
         EXPECT_EQ(s.group, "");
       }},
      {"off and plus", 0,
       [](Texts& t) {
         t.on = false;
         t.positive = true;
       },
       [](const Loudspeaker& s) {
         EXPECT_EQ(s.on, 0);
         EXPECT_EQ(s.polarity, 1);
       }},
  };
  for (const Case& c : cases) {
    gUnitFlag = c.unit;
    const LoudspeakerEdit edit = OpenLoudspeakerEdit(AwkwardLoudspeaker(), "HORN12", nullptr);
    Texts typed = edit.shown;
    c.type(typed);
    Loudspeaker stored = AwkwardLoudspeaker();
    std::string typeName;
    ASSERT_EQ(ApplyLoudspeakerEdit(edit, typed, stored, typeName), 1) << c.what;
    SCOPED_TRACE(c.what);
    c.check(stored);
    // Powers are the calling command's.
    EXPECT_EQ(stored.power, AwkwardLoudspeaker().power);
  }
}

TEST_F(LoudspeakerEditTest, AnEmptyTypeNameKeepsTheDialogOpen) {
  Loudspeaker record = AwkwardLoudspeaker();
  const auto before = LoudspeakerBlock(record);
  const LoudspeakerEdit edit = OpenLoudspeakerEdit(record, "", nullptr);
  LoudspeakerEditTexts typed = edit.shown;
  typed.name = "NEW";
  std::string typeName = "OLD";
  MessageRecorder messages;
  EXPECT_EQ(ApplyLoudspeakerEdit(edit, typed, record, typeName), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Speaker Type Missing !"});
  EXPECT_FALSE(messages.messages()[0].hasCaption);
  EXPECT_EQ(LoudspeakerBlock(record), before);
  EXPECT_EQ(typeName, "OLD");

  typed.typeName = "NINECHARS+";  // the name field keeps 9
  ASSERT_EQ(ApplyLoudspeakerEdit(edit, typed, record, typeName), 1);
  EXPECT_EQ(typeName, "NINECHARS");
  EXPECT_EQ(record.name, "NEW");
}

TEST_F(LoudspeakerEditTest, AChosenTypeChangesOnlyTheCopyUntilOk) {
  const Loudspeaker record = AwkwardLoudspeaker();
  const auto before = LoudspeakerBlock(record);
  LoudspeakerEdit edit = OpenLoudspeakerEdit(record, "HORN12", nullptr);
  LoudspeakerEditTexts typed = edit.shown;
  typed.delay = "40";  // typed before the choice, kept through it
  TakeEditSpeakerType(edit, "SUB18", Header());
  EXPECT_EQ(LoudspeakerBlock(record), before);  // what Cancel leaves

  EXPECT_EQ(edit.shown.typeName, "SUB18");
  EXPECT_EQ(edit.speaker.nominalPower, 400.0f);
  for (size_t b = 0; b < kBandCount; ++b) EXPECT_EQ(edit.shown.gains[b], "-9.0");
  // 100 W x 10^-0.9; the intensity leaves the polarity to the calculations.
  EXPECT_EQ(edit.shown.powers[0], "12.59");
  EXPECT_EQ(edit.shown.powers[6], "50.36");
  EXPECT_GT(edit.speaker.intensity[0], 0.0f);
  EXPECT_EQ(edit.shown.powerSum, "125.89");
  EXPECT_EQ(edit.shown.totalGain, "-0.55");

  // The dialog shows the type's texts; OK takes the copy and the typed delay.
  typed.typeName = edit.shown.typeName;
  typed.gains = edit.shown.gains;
  Loudspeaker stored = record;
  std::string typeName;
  ASSERT_EQ(ApplyLoudspeakerEdit(edit, typed, stored, typeName), 1);
  EXPECT_EQ(typeName, "SUB18");
  EXPECT_EQ(stored.eqGain[2], -9.0f);
  EXPECT_EQ(stored.power, edit.speaker.power);
  EXPECT_EQ(stored.delay, 40.0f);
  EXPECT_EQ(stored.polarity, -1);
  EXPECT_EQ(stored.typeIndex, record.typeIndex);  // the command gives it the type
}

TEST_F(LoudspeakerEditTest, TheEqualizerTakesTypedGainsAndRefusesATotalAbove0Db) {
  const SpeakerType header = Header();
  LoudspeakerEdit edit = OpenLoudspeakerEdit(AwkwardLoudspeaker(), "HORN12", &header);
  LoudspeakerEditTexts typed = edit.shown;
  typed.gains[1] = "-6";
  const EqualizerBands opened = EditEqGains(edit, typed);
  EXPECT_EQ(opened[1], -6.0);
  EXPECT_EQ(opened[2], double(-12.345f));

  MessageRecorder messages;
  const Loudspeaker before = edit.speaker;
  EXPECT_FALSE(TakeEditEqGains(edit, {0, 0, 0, 0, 0, 0, 0}));  // 8.45 dB
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].caption, kEqNotAppliedCaption);
  EXPECT_EQ(LoudspeakerBlock(edit.speaker), LoudspeakerBlock(before));

  ASSERT_TRUE(TakeEditEqGains(edit, {-9, -9, -9, -9, -9, -9, -10.126}));
  EXPECT_EQ(edit.shown.gains[0], "-9.00");
  EXPECT_EQ(edit.shown.gains[6], "-10.13");
  EXPECT_EQ(edit.shown.powers[0], "12.59");
  EXPECT_EQ(edit.speaker.eqGain[6], -10.126f);

  Loudspeaker stored;
  std::string typeName;
  typed.gains = edit.shown.gains;
  ASSERT_EQ(ApplyLoudspeakerEdit(edit, typed, stored, typeName), 1);
  EXPECT_EQ(stored.eqGain[6], -10.126f);  // not rounded by its text
}

}  // namespace
