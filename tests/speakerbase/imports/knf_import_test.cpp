#include "speakerbase/imports/knf_import.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "design/model/balloon_codes.h"
#include "tests/speakerbase/imports/import_fixtures.h"

namespace {

using namespace import_fixtures;

// Levels that differ in every column and row, 90 dB at the top.
float Falling(int line, int n) { return 90.0f - 0.5f * float(line) - 0.1f * float(n); }

TEST(KnfImport, EveryErrorEndsTheImportWithItsMessage) {
  // Header lines 0-3, then FREQUENCY 4, SPHERE SIZE 5, INCREMENT 6, Ueff 7,
  // IMPEDANCE 8, DISTANCE 9 and 19 table lines from 10.
  const std::vector<std::string> good = Concat({KnfHeader(), KnfSection(1000, "HALF", 10, Falling)});
  ASSERT_EQ(ImportKnfLines(good).records.size(), 1u);
  auto with = [&good](size_t index, const std::string& line) {
    std::vector<std::string> lines = good;
    lines[index] = line;
    return lines;
  };
  auto first = [&good](size_t count) {
    return std::vector<std::string>(good.begin(), good.begin() + std::ptrdiff_t(count));
  };
  struct Case {
    std::vector<std::string> lines;
    const char* message;
  } cases[] = {
      {with(0, "Class: L"), "Device class missing"},
      {{}, "Device class missing"},
      {with(0, "Device Class: X"), "Unknown device class"},
      {with(1, "Name: X"), "Missing device name"},
      {with(2, "Maker: X"), "Manufacturer info missing"},
      {with(3, "Comment"), "Missing comment line"},
      {first(4), "Frequency information missing"},
      {with(4, "FREQ: 1000"), "Frequency information missing"},
      {with(4, "FREQUENCY: 630"), "Wrong frequency"},
      {with(5, "SIZE: HALF"), "Scan area undefined"},
      {with(6, "INCREMENT: 0"), "Scan step undefined, must be 5\xB0 or 10\xB0"},
      {with(6, "INCREMENT: 3"), "Scan step undefined, must be 5\xB0 or 10\xB0"},
      {with(6, "STEP: 5"), "Scan step undefined, must be 5\xB0 or 10\xB0"},
      {with(7, "Ueff: 0"), "Voltage info missing"},
      {with(8, "IMPEDANCE: eight"), "Impedance missing"},
      {with(9, "DISTANCE: 0.0001"), "Distance info missing"},
      {first(good.size() - 1), "Wrong line count"},
      {with(12, NumberLine(std::vector<float>(18, 80.0f))), "Wrong column count"},
      {with(12, NumberLine(std::vector<float>(37, 80.0f))), "Wrong column count"},
      {with(12, "80 80 80 80 80 80 80 80 80 80 80 80 80 80 80 80 80 80 1e39"), "Invalid file format !"},
  };
  for (const Case& c : cases) {
    const SpeakerImport result = ImportKnfLines(c.lines);
    EXPECT_TRUE(result.records.empty()) << c.message;
    EXPECT_EQ(result.messages, (std::vector<ImportMessage>{{c.message, ""}}));
  }
}

TEST(KnfImport, SensitivityAtOneWattAndOneMetreFromTheLargestLevel) {
  // 2.83 V into 8 ohms is 1 W; at 2 m a level of 90 dB is 96.02 dB at 1 m.
  const SpeakerImport result = ImportKnfLines(Concat({KnfHeader(), KnfSection(1000, "FULL", 5, Falling)}));
  ASSERT_EQ(result.records.size(), 1u);
  EXPECT_TRUE(result.messages.empty());
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(r.TypeName(), "KNF1");
  EXPECT_EQ(r.Brand(), "Maker");
  EXPECT_EQ(r.Comment(), "Measured outdoors");
  EXPECT_EQ(r.Composition(), kCompositionComplete);
  EXPECT_EQ(r.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_NEAR(r.Sensitivity(3), 96.02f, 0.005f);
  EXPECT_EQ(r.Impedance(3), 8);
  EXPECT_EQ(r.GridCode(), 1);  // step 5, full sphere
  EXPECT_EQ(r.BalloonCode(3, 0, 0), 225);
  // Line 40 is column 40; number 10 is row 10: 20 + 1 dB below the top.
  EXPECT_EQ(r.BalloonCode(3, 10, 40), DbToBalloonCode(-21.0f));
  EXPECT_NE(Column(r, 3, 40), Column(r, 3, 32)) << "a full sphere is not mirrored";
  EXPECT_EQ(r.Sensitivity(0), 0.0f);
  EXPECT_TRUE(std::ranges::all_of(r.BalloonBand(0), [](uint8_t c) { return c == 225; }));
}

TEST(KnfImport, HalfAndQuarterSpheresAreMirrored) {
  struct Case {
    const char* sphere;
    std::vector<std::pair<int, int>> equalColumns;
    int gridCode;
  } cases[] = {
      {"HALF", {{40, 32}, {71, 1}, {37, 35}}, 3},
      {"QUARTER", {{19, 17}, {36, 0}, {40, 32}, {32, 4}}, 5},
  };
  for (const Case& c : cases) {
    const SpeakerImport result = ImportKnfLines(Concat({KnfHeader(), KnfSection(250, c.sphere, 5, Falling)}));
    ASSERT_EQ(result.records.size(), 1u) << c.sphere;
    const SpeakerType& r = result.records[0];
    for (const auto& [column, source] : c.equalColumns)
      EXPECT_EQ(Column(r, 1, column), Column(r, 1, source)) << c.sphere << " column " << column;
    EXPECT_NE(Column(r, 1, 18), Column(r, 1, 17)) << c.sphere;
    EXPECT_EQ(r.GridCode(), c.gridCode) << c.sphere;
  }
}

TEST(KnfImport, StepTenTablesAreFilledWithPowerMeans) {
  // Column 0 holds 90 dB at row 0 and 80 dB below it; every other measured
  // column holds 80 dB. The power mean of 90 and 80 dB is 87.40 dB: 2.60 dB
  // below the top, code 212; that of 80 and 80 is 80 (10 dB down, code 175).
  auto levels = [](int line, int n) { return line == 0 && n == 0 ? 90.0f : 80.0f; };
  const SpeakerImport half = ImportKnfLines(Concat({KnfHeader(), KnfSection(500, "HALF", 10, levels)}));
  const SpeakerImport full = ImportKnfLines(Concat({KnfHeader(), KnfSection(500, "FULL", 10, levels)}));
  ASSERT_EQ(half.records.size(), 1u);
  ASSERT_EQ(full.records.size(), 1u);
  for (const SpeakerImport* result : {&half, &full}) {
    const SpeakerType& r = result->records[0];
    EXPECT_EQ(r.BalloonCode(2, 0, 0), 225);
    EXPECT_EQ(r.BalloonCode(2, 1, 0), 212);  // between rows
    EXPECT_EQ(r.BalloonCode(2, 0, 1), 212);  // between columns
    EXPECT_EQ(r.BalloonCode(2, 2, 1), 175);  // 80 and 80 around it
    EXPECT_EQ(r.BalloonCode(2, 5, 35), 175);
  }
  EXPECT_EQ(full.records[0].BalloonCode(2, 0, 71), 212) << "column 71 from columns 70 and 0";
  EXPECT_EQ(half.records[0].BalloonCode(2, 0, 71), 212) << "column 71 mirrors column 1";
  EXPECT_EQ(half.records[0].GridCode(), 2);
  EXPECT_EQ(full.records[0].GridCode(), 4);
}

TEST(KnfImport, PowerMeansOfQuietLevelsStopAtMinus30Decibels) {
  // 10 dB at the top and -40 dB elsewhere: measured points lie 50 dB below
  // the top (code 0), the means between them at the floor of -30 dB, 40 dB
  // below (code 25); the mean of 10 and -40 dB is 6.99 dB (code 210).
  auto levels = [](int line, int n) { return line == 0 && n == 0 ? 10.0f : -40.0f; };
  const SpeakerImport result = ImportKnfLines(Concat({KnfHeader(), KnfSection(4000, "FULL", 10, levels)}));
  ASSERT_EQ(result.records.size(), 1u);
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(r.BalloonCode(5, 2, 2), 0);
  EXPECT_EQ(r.BalloonCode(5, 3, 2), 25);  // between rows
  EXPECT_EQ(r.BalloonCode(5, 2, 3), 25);  // between columns
  EXPECT_EQ(r.BalloonCode(5, 1, 0), 210);
}

class KnfFile : public ImportFolder {};

TEST_F(KnfFile, CrLfFileWithBlankLinesBetweenSectionsAndAnImplausibleBand) {
  auto loud = [](int, int) { return 120.0f; };
  const std::vector<std::string> lines =
      Concat({KnfHeader(), KnfSection(125, "HALF", 5, Falling), {""}, KnfSection(8000, "FULL", 10, loud), {"", ""}});
  const SpeakerImport lf = ImportKnfSpeaker(Write("lf.knf", JoinLines(lines)));
  const SpeakerImport crlf = ImportKnfSpeaker(Write("crlf.knf", JoinLines(lines, "\r\n")));
  ASSERT_EQ(lf.records.size(), 1u);
  ASSERT_EQ(crlf.records.size(), 1u);
  EXPECT_EQ(crlf.records[0].bytes, lf.records[0].bytes);
  EXPECT_EQ(crlf.messages, (std::vector<ImportMessage>{{kEfficiencyWarning, ""}}));
  const SpeakerType& r = crlf.records[0];
  EXPECT_NEAR(r.Sensitivity(6), 126.02f, 0.005f);
  EXPECT_EQ(r.ImportMask(0), 1 << 0);  // the plausible band
  EXPECT_EQ(r.GridCode(), 4);          // the largest step 10, the widest sphere full

  EXPECT_TRUE(ImportKnfSpeaker((dir_ / "none.knf").string()).messages.empty());
}

}  // namespace
