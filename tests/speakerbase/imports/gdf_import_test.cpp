#include "speakerbase/imports/gdf_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "design/model/balloon_codes.h"
#include "speakerbase/imports/import_text.h"
#include "tests/speakerbase/imports/import_fixtures.h"

namespace {

using namespace import_fixtures;

// Attenuation growing with theta and phi, so that every balloon column
// differs, and -3 (a level 3 dB above the reference) at theta 0, phi 0.
float Slope(int theta, int phi) { return theta == 0 && phi == 0 ? -3.0f : 0.5f * float(theta) + 0.1f * float(phi); }

TEST(GdfImport, HalfSphereIsNormalisedAndMirrored) {
  const SpeakerImport result = ImportGdfLines(Concat({GdfHeader(), GdfSection("1000", false, 90.0f, 37, Slope)}));
  ASSERT_EQ(result.records.size(), 1u);
  EXPECT_TRUE(result.messages.empty());
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(r.TypeName(), "GDF1");
  EXPECT_EQ(r.Brand(), "Maker");
  EXPECT_EQ(r.Comment(), "A note");
  EXPECT_EQ(r.Composition(), kCompositionComplete);
  EXPECT_EQ(r.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_EQ(r.GridCode(), 3);  // 37 phi rows, half sphere
  EXPECT_FLOAT_EQ(r.Sensitivity(3), 93.0f);
  EXPECT_EQ(r.Impedance(3), 8);
  EXPECT_EQ(r.RatedPower(3), 100.0f);
  EXPECT_EQ(r.BalloonCode(3, 0, 0), 225);
  // Theta 35 (column 35), phi 10 (row 10): 17.5 + 1 + 3 dB down.
  EXPECT_EQ(r.BalloonCode(3, 10, 35), DbToBalloonCode(-21.5f));
  EXPECT_EQ(Column(r, 3, 37), Column(r, 3, 35));
  EXPECT_EQ(Column(r, 3, 71), Column(r, 3, 1));
  EXPECT_NE(Column(r, 3, 36), Column(r, 3, 35));
  EXPECT_GT(r.DirectivityQ10(3), 10);
  for (int band : {0, 1, 2, 4, 5, 6}) {
    EXPECT_TRUE(std::ranges::all_of(r.BalloonBand(band), [](uint8_t c) { return c == 225; })) << band;
    EXPECT_EQ(r.DirectivityQ10(band), 10);
  }
}

// A band's sphere is the "Sphere Size" in force at its "Frequency (Hz)": one
// given later, before the table, does not change it.
TEST(GdfImport, TheSphereSizeIsTakenAtTheFrequency) {
  std::vector<std::string> section = GdfSection("1000", false, 90.0f, 37, Slope);
  const auto frequency = std::ranges::find(section, "Frequency (Hz): 1000");
  ASSERT_NE(frequency, section.end());
  section.insert(frequency + 1, "Sphere Size: Full");
  const SpeakerImport result = ImportGdfLines(Concat({GdfHeader(), section}));
  ASSERT_EQ(result.records.size(), 1u);
  EXPECT_TRUE(result.messages.empty());
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(r.GridCode(), 3);  // a half sphere
  EXPECT_EQ(Column(r, 3, 71), Column(r, 3, 1));
}

class GdfFile : public ImportFolder {};

TEST_F(GdfFile, LineEndsAndKeywordCaseDoNotMatter) {
  const std::vector<std::string> lines =
      Concat({GdfHeader(), GdfSection("250", true, 95.0f, 72, Slope), GdfSection("4000", false, 92.0f, 37, Slope)});
  std::vector<std::string> lower = lines;
  for (size_t i = 3; i < lower.size(); ++i)
    if (!IsNumberLine(lower[i]))
      std::ranges::transform(lower[i], lower[i].begin(), [](char c) { return char(std::tolower(c)); });
  const SpeakerImport lf = ImportGdfSpeaker(Write("lf.gdf", JoinLines(lines)));
  const SpeakerImport crlf = ImportGdfSpeaker(Write("crlf.gdf", JoinLines(lines, "\r\n")));
  const SpeakerImport lowerCase = ImportGdfSpeaker(Write("lower.gdf", JoinLines(lower)));
  ASSERT_EQ(lf.records.size(), 1u);
  ASSERT_EQ(crlf.records.size(), 1u);
  ASSERT_EQ(lowerCase.records.size(), 1u);
  EXPECT_EQ(crlf.records[0].bytes, lf.records[0].bytes);
  EXPECT_EQ(lowerCase.records[0].bytes, lf.records[0].bytes);
  EXPECT_EQ(lf.records[0].GridCode(), 3) << "the last band with a sensitivity is a half sphere";
  EXPECT_FLOAT_EQ(lf.records[0].Sensitivity(1), 98.0f);
  EXPECT_NE(Column(lf.records[0], 1, 71), Column(lf.records[0], 1, 1)) << "a full sphere is not mirrored";

  EXPECT_TRUE(ImportGdfSpeaker((dir_ / "none.gdf").string()).messages.empty());
}

TEST(GdfImport, UnknownFrequenciesAreSkippedAndImplausibleEfficienciesWarned) {
  auto flat = [](int, int) { return 0.0f; };
  auto loud = [](int theta, int) { return theta == 4 ? -20.0f : 0.0f; };
  const SpeakerImport result =
      ImportGdfLines(Concat({GdfHeader(), GdfSection("630", true, 200.0f, 72, loud),
                             GdfSection("125", true, 120.0f, 72, flat), GdfSection("8000", true, 90.0f, 72, flat)}));
  ASSERT_EQ(result.records.size(), 1u);
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(result.messages, (std::vector<ImportMessage>{{kEfficiencyWarning, ""}}));
  EXPECT_EQ(r.Efficiency(0), 12589);  // 100 x 10^1.1 percent
  EXPECT_EQ(r.Efficiency(6), 12);
  EXPECT_EQ(r.ImportMask(0), 1 << 6);
  EXPECT_EQ(r.GridCode(), 1);
  for (int band = 0; band < kBandCount; ++band) {
    EXPECT_TRUE(std::ranges::all_of(r.BalloonBand(band), [](uint8_t c) { return c == 225; })) << band;
    EXPECT_EQ(r.Sensitivity(band), band == 0 ? 120.0f : band == 6 ? 90.0f : 0.0f) << band;
  }
}

TEST(GdfImport, BadStepsOverfullTablesAndFilesWithoutATableAreRefused) {
  auto flat = [](int, int) { return 1.0f; };
  auto withLine = [&](size_t index, const std::string& line) {
    std::vector<std::string> lines = Concat({GdfHeader(), GdfSection("500", true, 90.0f, 72, flat)});
    lines[index] = line;
    return lines;
  };
  const size_t phiInc = 3 + 6, thetaInc = 3 + 7, firstRow = 3 + 8;
  std::vector<std::string> eighty = withLine(firstRow, NumberLine(std::vector<float>(80, 1.0f)));
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    const char* message;
  } cases[] = {
      {"theta step 1", withLine(thetaInc, "Theta Inc: 1"), "Scan step undefined, must be 5\xB0"},
      {"phi step 0", withLine(phiInc, "Phi Inc: 0"), "Scan step undefined, must be 5\xB0"},
      {"phi step missing", withLine(phiInc, "Phi Inc: none"), "Scan step undefined, must be 5\xB0"},
      {"80 numbers on a line", eighty, "Wrong column count"},
      {"a number beyond a float", withLine(firstRow + 4, "1 2 1e39"), "Invalid file format !"},
      {"no band table", GdfHeader(), "Invalid file format !"},
  };
  for (const Case& c : cases) {
    const SpeakerImport result = ImportGdfLines(c.lines);
    EXPECT_TRUE(result.records.empty()) << c.what;
    EXPECT_EQ(result.messages, (std::vector<ImportMessage>{{c.message, ""}})) << c.what;
  }
}

}  // namespace
