#include "speakerbase/speaker_header_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SpeakerType HeaderRecord() {
  SpeakerType record;
  record.SetBrand("ACME");
  record.SetTypeName("HORN12");
  record.SetComment("Two-way horn");
  record.SetComposition(kCompositionComplete);
  record.SetBandSelection(0x0025);  // 125/250, 500/1k, 2k/4k
  for (int b = 0; b < kBandCount; ++b) {
    record.SetRatedPower(b, 250.0f);
    record.SetSensitivity(b, 99.0f + b);
    record.SetImpedance(b, 8);
    record.SetDirectivityQ10(b, int16_t(10 + 10 * b));
    record.SetEfficiency(b, 77);
  }
  return record;
}

TEST(SpeakerHeaderFieldsTest, FormatsTheRecordAsTheDialogShowsIt) {
  const SpeakerHeaderFields f = FormatSpeakerHeader(HeaderRecord());
  EXPECT_EQ(f.brand, "ACME");
  EXPECT_EQ(f.typeName, "HORN12");
  EXPECT_EQ(f.comment, "Two-way horn");
  EXPECT_EQ(f.crossovers, (std::array<bool, 6>{true, false, true, false, false, true}));
  EXPECT_EQ(f.power[0], "250.0");
  EXPECT_EQ(f.sensitivity[1], "100.0");
  EXPECT_EQ(f.impedance[2], "  8");
  EXPECT_EQ(f.directivity[0], "1.0");
  EXPECT_EQ(f.directivity[6], "7.0");
  // Efficiency from sensitivity and Q, not the stored word: 99 dB, Q 1 is 10 %;
  // 100 dB, Q 2 is 100 x 10^((100 - 3.0103 - 109) / 10) = 6.3 %.
  EXPECT_EQ(f.efficiency[0], "10.0");
  EXPECT_EQ(f.efficiency[1], "6.3");
}

TEST(SpeakerHeaderFieldsTest, OkStoresWhatParsesAndKeepsTheRest) {
  SpeakerType record = HeaderRecord();
  SpeakerHeaderFields f = FormatSpeakerHeader(record);
  f.brand = "A brand name longer than twenty";
  f.typeName = "LONGNAME12";
  f.crossovers = {false, true, false, false, false, false};
  f.power[0] = "1200,5";     // a decimal comma
  f.power[1] = "abc";        // does not parse: stays
  f.power[2] = " 80.5xyz";   // text after the number: stays
  f.sensitivity[3] = "nan";  // not finite: stays
  f.impedance[4] = "16";
  f.impedance[5] = "99999";  // beyond the 16-bit word: stays
  f.impedance[6] = "-4";     // no impedance is negative: stays
  f.efficiency[0] = "12.39";
  f.efficiency[1] = "1e9";  // clamped in the word
  f.efficiency[2] = "";
  ASSERT_TRUE(ApplySpeakerHeader(f, record));
  EXPECT_EQ(record.Brand(), "A brand name longer ");
  EXPECT_EQ(record.TypeName(), "LONGNAME");
  EXPECT_EQ(record.BandSelection(), 0x0002);
  EXPECT_EQ(record.RatedPower(0), 1200.5f);
  EXPECT_EQ(record.RatedPower(1), 250.0f);
  EXPECT_EQ(record.RatedPower(2), 250.0f);
  EXPECT_EQ(record.Sensitivity(3), 102.0f);
  EXPECT_EQ(record.Impedance(4), 16);
  EXPECT_EQ(record.Impedance(5), 8);
  EXPECT_EQ(record.Impedance(6), 8);
  EXPECT_EQ(record.Efficiency(0), 123);
  EXPECT_EQ(record.Efficiency(1), 32767);
  EXPECT_EQ(record.Efficiency(2), 77);
  EXPECT_EQ(record.DirectivityQ10(6), 70);  // shown only

  // Only a complete loudspeaker's header is stored.
  SpeakerType driver = HeaderRecord();
  driver.SetComposition(2);
  const SpeakerType before = driver;
  EXPECT_FALSE(ApplySpeakerHeader(f, driver));
  EXPECT_EQ(driver.bytes, before.bytes);
}

TEST(SpeakerHeaderFieldsTest, ButtonsCopyTheFirstBandAndRecomputeEfficiency) {
  const SpeakerType record = HeaderRecord();
  SpeakerHeaderFields f = FormatSpeakerHeader(record);
  f.sensitivity[0] = "109,0";
  CopyFirstBandToAll(f.sensitivity);
  f.sensitivity[6] = "x";
  RecomputeEfficiencyTexts(f, record);
  EXPECT_EQ(f.sensitivity[3], "109.0");
  EXPECT_EQ(f.efficiency[0], "100.0");  // Q 1
  EXPECT_EQ(f.efficiency[1], "50.0");   // Q 2
  EXPECT_EQ(f.efficiency[6], FormatSpeakerHeader(record).efficiency[6]);
}

}  // namespace
