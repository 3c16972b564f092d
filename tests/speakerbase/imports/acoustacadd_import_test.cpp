#include "speakerbase/imports/acoustacadd_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/speakerbase/imports/import_fixtures.h"

namespace {

using namespace import_fixtures;

// The sensitivity code of a level in dB.
int16_t SensitivityCode(double db) { return int16_t(std::lround((db - 130.0) * 500.0)); }

// The coupling code of a gain in dB.
int16_t CouplingCode(double db) { return int16_t(std::lround((db + 129.0) * 100.0)); }

SpkHeader Complete(double sensitivityDb) {
  SpkHeader h;
  h.sensitivityCodes.fill(SensitivityCode(sensitivityDb));
  return h;
}

class AcoustaCaddImport : public ImportFolder {
 protected:
  std::string Spk(const std::string& name, const SpkHeader& header) { return Write(name, SpkBytes(header)); }
  void Balloon(const std::string& name, const AcoustaCaddLevels& levels) {
    Write(name, AcoustaCaddBalloonBytes(levels));
  }

  // Picks the files in one dialog run, then accepts and finishes the record.
  SpeakerImport Run(const std::vector<std::string>& paths) {
    ResetAcoustaCaddImport(state_);
    for (const std::string& path : paths) {
      std::vector<ImportMessage> messages;
      EXPECT_TRUE(PickSpkFile(state_, record_, path, messages)) << path;
      EXPECT_TRUE(messages.empty());
    }
    std::vector<ImportMessage> messages;
    EXPECT_TRUE(AcoustaCaddRecordComplete(record_, messages));
    return FinishAcoustaCaddImport(state_, record_);
  }

  AcoustaCaddImportState state_;
  SpeakerType record_;
};

std::vector<uint8_t> Row(const SpeakerType& record, int band, int row) {
  const auto codes = record.BalloonBand(band);
  return {codes.begin() + row * 72, codes.begin() + (row + 1) * 72};
}

TEST_F(AcoustaCaddImport, BalloonIsNormalisedToItsPeakWhichRaisesTheSensitivity) {
  // Input rows 10 and 11 at +2.5 dB, the rest at 0: balloon row 11 (the mean
  // of input rows 10 and 11) is the peak at 0 dB; rows 10 and 12 mix 0 dB
  // with -2.5 dB (1.07 dB down: code 220); the others are -2.5 dB (212.5 goes
  // to the even code 212), rows 0 and 36 being the means of the first and
  // last input rows.
  AcoustaCaddLevels levels{};
  std::fill_n(levels.begin() + 10 * 72, 2 * 72, int16_t(250));
  Balloon("BALLOONS/PEAK.B01", levels);
  const SpeakerImport result = Run({Spk("PEAK.SPK", Complete(100.0))});
  ASSERT_EQ(result.records.size(), 1u);
  const SpeakerType& r = result.records[0];
  EXPECT_FLOAT_EQ(r.Sensitivity(0), 102.5f);
  for (int row = 0; row < 37; ++row) {
    const uint8_t expected = row == 11 ? 225 : row == 10 || row == 12 ? 220 : 212;
    EXPECT_EQ(Row(r, 0, row), std::vector<uint8_t>(72, expected)) << "row " << row;
  }

  // A peak of +3 dB in the first input row (its levels 0 .. 71) makes
  // balloon row 0 0 dB in every column; one at the first level of the
  // second row leaves row 0 the mean of the first, 3 dB down.
  struct PeakCase {
    const char* name;
    size_t peak;
    uint8_t row0;
  } peaks[] = {{"TOP", 5, 225}, {"LAST", 71, 225}, {"SECOND", 72, 210}};
  for (const PeakCase& c : peaks) {
    AcoustaCaddLevels levels{};
    levels[c.peak] = 300;
    Balloon(std::string("BALLOONS/") + c.name + ".B01", levels);
    const SpeakerImport peaked = Run({Spk(std::string(c.name) + ".SPK", Complete(100.0))});
    ASSERT_EQ(peaked.records.size(), 1u) << c.name;
    EXPECT_EQ(Row(peaked.records[0], 0, 0), std::vector<uint8_t>(72, c.row0)) << c.name;
    EXPECT_EQ(Row(peaked.records[0], 0, 36), std::vector<uint8_t>(72, 210)) << c.name;  // input row 35 at -3 dB
    EXPECT_FLOAT_EQ(peaked.records[0].Sensitivity(0), 103.0f) << c.name;
  }
}

TEST_F(AcoustaCaddImport, FlatBalloonsAndTheRecordFields) {
  SpkHeader header = Complete(100.0);
  header.maker = 'D';
  header.sensitivityCodes[3] = 0;       // S = 0 and so efficiency 0
  header.powerCode = int16_t(17117);    // 110.3 W, snapped to 120
  header.directivityIndex.fill(10.0f);  // replaced by the flat balloon's Q
  const char* extensions[] = {".B01", ".B02", ".b05", ".B10", ".B20", ".B40", ".B80"};
  for (const char* extension : extensions)
    Balloon(std::string("balloons/flatspeaker1") + extension, AcoustaCaddLevels{});
  const SpeakerImport result = Run({Spk("FLATSPEAKER1.SPK", header)});
  ASSERT_EQ(result.records.size(), 1u);
  EXPECT_TRUE(result.messages.empty());
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(r.Brand(), "DYNACORD");
  EXPECT_EQ(r.TypeName(), "FLATSPEA");  // the file name less ".SPK", 8 characters
  EXPECT_EQ(r.Composition(), kCompositionComplete);
  EXPECT_EQ(r.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_EQ(r.GridCode(), 1);
  EXPECT_EQ(r.ImportMask(0), 127);
  EXPECT_EQ(r.ImportMask(1), 127);  // every balloon file found, in any letter case
  EXPECT_EQ(r.ImportMask(2), 127);
  for (int band = 0; band < kBandCount; ++band) {
    EXPECT_TRUE(std::ranges::all_of(r.BalloonBand(band), [](uint8_t c) { return c == 225; })) << band;
    EXPECT_EQ(r.DirectivityQ10(band), 10);
    EXPECT_EQ(r.Impedance(band), 8);
    EXPECT_EQ(r.RatedPower(band), 120.0f);
    // 100 x 10^((100 - 0 - 109) / 10) = 12.589 percent.
    EXPECT_EQ(r.Efficiency(band), band == 3 ? 0 : 125) << band;
    EXPECT_EQ(r.Sensitivity(band), band == 3 ? 0.0f : 100.0f);
  }
}

TEST_F(AcoustaCaddImport, MissingBalloonFileLeavesItsBandFlatAndItsBitClear) {
  AcoustaCaddLevels beam{};
  std::fill(beam.begin() + 18 * 72, beam.end(), int16_t(-2000));  // -20 dB behind
  const char* extensions[] = {".B01", ".B02", ".B10", ".B20", ".B40", ".B80"};
  for (const char* extension : extensions) Balloon(std::string("BALLOONS/BEAM") + extension, beam);
  const SpeakerImport result = Run({Spk("BEAM.SPK", Complete(95.0))});
  ASSERT_EQ(result.records.size(), 1u);
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(r.ImportMask(1), 127 & ~4);
  EXPECT_TRUE(std::ranges::all_of(r.BalloonBand(2), [](uint8_t c) { return c == 225; }));
  EXPECT_EQ(r.DirectivityQ10(2), 10);
  EXPECT_GT(r.DirectivityQ10(1), 15);  // the beam's balloon is directive
  EXPECT_EQ(r.BalloonCode(1, 36, 0), 125);
  EXPECT_EQ(result.messages,
            (std::vector<ImportMessage>{
                {std::string(kMissingBalloonsMessage) + "\n" + (dir_ / "BALLOONS/BEAM.B05").string(), ""}}));
}

// A horn paired with its driver but without its balloon files: the files
// are named, and the efficiency its sensitivity gives over flat balloons
// (113 dB at Q 1: 251 %) warns in every band; the record is imported all
// the same.
TEST_F(AcoustaCaddImport, MissingBalloonFilesAreNamedAndAnImplausibleEfficiencyWarns) {
  SpkHeader horn;
  horn.component = 'H';
  horn.couplingCode = CouplingCode(3.0);
  horn.directivityIndex.fill(10.0f);
  SpkHeader driver = Complete(100.0);
  driver.component = 'D';
  driver.couplingCode = CouplingCode(3.0);
  const SpeakerImport result = Run({Spk("HORN.SPK", horn), Spk("DRIVER.SPK", driver)});
  ASSERT_EQ(result.records.size(), 1u);
  std::string missing = "Can\xB4t locate balloon file(s), bands taken as 0 dB";
  for (const char* extension : {".B01", ".B02", ".B05", ".B10", ".B20", ".B40", ".B80"})
    missing += "\n" + (dir_ / "BALLOONS/HORN").string() + extension;
  std::vector<ImportMessage> expected = {{missing, ""}};
  for (const char* band : {"125 Hz", "250 Hz", "500 Hz", "1 kHz", "2 kHz", "4 kHz", "8 kHz"})
    expected.push_back({std::string("Check balloon and SPL at ") + band, "Efficiency exceeds 50% !"});
  EXPECT_EQ(result.messages, expected);
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(r.ImportMask(1), 0);
  for (int band = 0; band < kBandCount; ++band) EXPECT_EQ(r.Efficiency(band), 2511) << band;
}

TEST_F(AcoustaCaddImport, HornAndDriverMakeOneRecordWithTheHornsBalloons) {
  SpkHeader horn;
  horn.maker = 'E';
  horn.component = 'H';
  horn.couplingCode = CouplingCode(3.0);
  horn.directivityIndex.fill(10.0f);  // Q = 10
  horn.powerCode = 16255;             // a horn sets no power
  SpkHeader driver = Complete(110.0);
  driver.component = 'D';
  driver.couplingCode = CouplingCode(3.0);
  driver.powerCode = 17117;
  AcoustaCaddLevels hornLevels{}, driverLevels{};
  std::fill(hornLevels.begin() + 20 * 72, hornLevels.end(), int16_t(-1000));
  std::fill(driverLevels.begin(), driverLevels.end(), int16_t(-500));
  Balloon("BALLOONS/HORN.B01", hornLevels);
  Balloon("BALLOONS/DRIVER.B01", driverLevels);
  const std::string hornPath = Spk("HORN.SPK", horn), driverPath = Spk("DRIVER.SPK", driver);

  // Either order: horn first, S = 10 log10(Q) + driver S + G; driver first,
  // S = G + DI + driver S. Both 110 + 10 + 3 dB.
  for (const auto& order : {std::vector{hornPath, driverPath}, std::vector{driverPath, hornPath}}) {
    record_ = SpeakerType();
    const SpeakerImport result = Run(order);
    ASSERT_EQ(result.records.size(), 1u);
    const SpeakerType& r = result.records[0];
    EXPECT_EQ(r.Composition(), kCompositionComplete);
    EXPECT_NEAR(r.Sensitivity(0), 123.0f, 1e-3);
    EXPECT_EQ(r.ImportMask(1), 1);  // only band 0 has balloon files
    EXPECT_EQ(r.BalloonCode(0, 30, 0), 175) << "the horn's -10 dB, not the driver's -5 dB";
    EXPECT_EQ(r.BalloonCode(0, 5, 0), 225);
    EXPECT_FALSE(state_.hornPending || state_.driverPending);
  }
  EXPECT_EQ(record_.RatedPower(0), 120.0f) << "the driver's power; the horn sets none";
}

TEST_F(AcoustaCaddImport, LonePartsAreNamedAndNeverPairAcrossDialogRuns) {
  SpkHeader horn;
  horn.component = 'H';
  SpkHeader driver = Complete(110.0);
  driver.component = 'D';
  const std::string hornPath = Spk("HORN.SPK", horn), driverPath = Spk("DRIVER.SPK", driver);
  std::vector<ImportMessage> messages;

  ResetAcoustaCaddImport(state_);
  ASSERT_TRUE(PickSpkFile(state_, record_, hornPath, messages));
  EXPECT_EQ(record_.Composition(), kCompositionHornOnly);
  EXPECT_FALSE(AcoustaCaddRecordComplete(record_, messages));

  // The run is cancelled; the next run starts with a fresh record and state.
  record_ = SpeakerType();
  ResetAcoustaCaddImport(state_);
  EXPECT_FALSE(AcoustaCaddRecordComplete(record_, messages));  // nothing picked: silent
  ASSERT_TRUE(PickSpkFile(state_, record_, driverPath, messages));
  EXPECT_EQ(record_.Composition(), kCompositionDriverOnly);
  EXPECT_EQ(record_.DirectivityQ10(0), 10);
  EXPECT_FALSE(AcoustaCaddRecordComplete(record_, messages));
  EXPECT_EQ(messages, (std::vector<ImportMessage>{{kHornWithoutDriverMessage, ""}, {kDriverWithoutHornMessage, ""}}));
}

TEST(AcoustaCaddPower, SnapsToTheNearestStandardValue) {
  struct Case {
    double watts;
    int snapped;
  } cases[] = {{110, 120}, {109, 100}, {5000, 3000}, {3000, 3000}, {2700, 2800}, {0, 1}, {1, 1}, {13.5, 15}, {13, 12}};
  for (const Case& c : cases) EXPECT_EQ(SnapToStandardPower(c.watts), c.snapped) << c.watts;
}

TEST_F(AcoustaCaddImport, ShortOrUnreadableFilesAreRefused) {
  record_.SetTypeName("KEPT");
  std::vector<ImportMessage> messages;
  EXPECT_FALSE(PickSpkFile(state_, record_, (dir_ / "NONE.SPK").string(), messages));
  EXPECT_TRUE(messages.empty()) << "an unopenable file leaves the fields silently";

  std::vector<uint8_t> shortHeader = SpkBytes(Complete(100.0));
  shortHeader.pop_back();
  const std::string shortPath = Write("SHORT.SPK", shortHeader);
  EXPECT_FALSE(PickSpkFile(state_, record_, shortPath, messages));
  // A directivity index that is not a finite number, even one whose Q
  // would be finite (10^(-inf / 10) = 0, which a horn after its driver
  // would add to the sensitivity).
  SpkHeader notANumber = Complete(100.0);
  notANumber.directivityIndex[4] = std::nanf("");
  EXPECT_FALSE(PickSpkFile(state_, record_, Spk("NAN.SPK", notANumber), messages));
  SpkHeader minusInfinity = Complete(100.0);
  minusInfinity.directivityIndex[4] = -std::numeric_limits<float>::infinity();
  EXPECT_FALSE(PickSpkFile(state_, record_, Spk("MINF.SPK", minusInfinity), messages));
  EXPECT_EQ(messages, (std::vector<ImportMessage>(3, {"Invalid file format !", ""})));
  EXPECT_EQ(record_.TypeName(), "KEPT");
  EXPECT_EQ(record_.Composition(), 0);

  std::vector<uint8_t> shortBalloon = AcoustaCaddBalloonBytes(AcoustaCaddLevels{});
  shortBalloon.pop_back();
  const std::string balloonPath = Write("BALLOONS/OK.B20", shortBalloon);
  const SpeakerImport result = Run({Spk("OK.SPK", Complete(100.0))});
  EXPECT_TRUE(result.records.empty());
  EXPECT_EQ(result.messages, (std::vector<ImportMessage>{{"Invalid file format !\n" + balloonPath, ""}}));
}

}  // namespace
