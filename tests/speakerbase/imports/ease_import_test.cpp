#include "speakerbase/imports/ease_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/speakerbase/imports/import_fixtures.h"

namespace {

using namespace import_fixtures;

bool AllCodes(const SpeakerType& r, int band, uint8_t code) {
  return std::ranges::all_of(r.BalloonBand(band), [code](uint8_t c) { return c == code; });
}

using Ease2Import = ImportFolder;

TEST_F(Ease2Import, EveryWholeRecordOfTheCatalogWithItsHeader) {
  Ease2Record a, b;
  a.typeName = "SPK1    ";
  a.brand = "MAKER   ";
  a.sensitivity10.fill(1000);  // 100 dB: 12.6 percent on a flat balloon
  a.power.fill(250);
  a.impedance.fill(8);
  b.typeName = "SPK2";
  b.sensitivity10 = {1000, 1000, 1000, 1120, 1000, 0, 1000};  // 112 dB at 1 kHz: 199.5 percent
  std::vector<uint8_t> catalog;
  for (const Ease2Record* r : {&a, &b, &a}) {
    const std::vector<uint8_t> bytes = Ease2Bytes(*r);
    catalog.insert(catalog.end(), bytes.begin(), bytes.end());
  }
  catalog.resize(catalog.size() + 100, 0xFF);  // a tail shorter than a record
  const std::string path = Write("catalog.lsp", catalog);

  const SpeakerImport result = ImportEase2SpeakerBase(path, 500);
  ASSERT_EQ(result.records.size(), 3u);
  const SpeakerType& first = result.records[0];
  EXPECT_EQ(first.TypeName(), "SPK1");
  EXPECT_EQ(first.Brand(), "MAKER");
  EXPECT_EQ(first.Composition(), kCompositionComplete);
  EXPECT_EQ(first.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_EQ(first.GridCode(), 2);
  for (int band = 0; band < kBandCount; ++band) {
    EXPECT_TRUE(AllCodes(first, band, 225));
    EXPECT_EQ(first.DirectivityQ10(band), 10);
    EXPECT_EQ(first.Sensitivity(band), 100.0f);
    EXPECT_EQ(first.RatedPower(band), 250.0f);
    EXPECT_EQ(first.Impedance(band), 8);
    EXPECT_EQ(first.Efficiency(band), 125);
  }
  EXPECT_EQ(first.ImportMask(0), 1 << 6);  // each plausible band overwrites the mask: the last holds
  EXPECT_EQ(first.ImportMask(2), 1 << 6);

  // The implausible band is warned about and imported all the same.
  EXPECT_EQ(result.messages,
            (std::vector<ImportMessage>{{"Check balloon and SPL at 1 kHz", "Efficiency exceeds 50% !"}}));
  const SpeakerType& second = result.records[1];
  EXPECT_EQ(second.Efficiency(3), 1995);
  EXPECT_EQ(second.Efficiency(5), 0);
  EXPECT_EQ(second.ImportMask(0), 1 << 6);
}

TEST_F(Ease2Import, MoreRecordsThanRoomAndRefusedCatalogs) {
  std::vector<uint8_t> catalog;
  for (int i = 0; i < 3; ++i) {
    const std::vector<uint8_t> bytes = Ease2Bytes(Ease2Record());
    catalog.insert(catalog.end(), bytes.begin(), bytes.end());
  }
  const std::string path = Write("catalog.lsp", catalog);
  const SpeakerImport result = ImportEase2SpeakerBase(path, 2);
  EXPECT_EQ(result.records.size(), 2u);
  EXPECT_EQ(result.messages, (std::vector<ImportMessage>{{kEase2TooManyRecordsMessage, ""}}));

  EXPECT_TRUE(ImportEase2SpeakerBase((dir_ / "none.lsp").string(), 500).messages.empty());

  // 6553.5 dB: an efficiency beyond any number is held as the largest one
  // and warned about like any above 50 percent; the records around it come
  // in as they are.
  Ease2Record absurd;
  absurd.sensitivity10[2] = 65535;
  const std::vector<uint8_t> good = Ease2Bytes(Ease2Record()), absurdBytes = Ease2Bytes(absurd);
  std::vector<uint8_t> mixed = good;
  mixed.insert(mixed.end(), absurdBytes.begin(), absurdBytes.end());
  mixed.insert(mixed.end(), good.begin(), good.end());
  const SpeakerImport imported = ImportEase2SpeakerBase(Write("mixed.lsp", mixed), 500);
  ASSERT_EQ(imported.records.size(), 3u);
  EXPECT_EQ(imported.records[1].Efficiency(2), 32767);
  EXPECT_EQ(imported.records[1].Sensitivity(2), 6553.5f);
  EXPECT_EQ(imported.messages,
            (std::vector<ImportMessage>{{"Check balloon and SPL at 500 Hz", "Efficiency exceeds 50% !"}}));
}

TEST(Ease2Balloon, PointsLandInTheirColumnsAndTheGapsArePowerMeans) {
  // One point of 40 quarter dB (-10 dB, code 175) at vertical step 1 (balloon
  // row 2); its power mean with 0 dB is -2.6 dB, code 212.
  struct Case {
    int point;
    std::vector<int> columns;
  } cases[] = {{0, {54}}, {9, {0, 36}}, {3, {60, 48}}, {18, {18}}};
  for (const Case& c : cases) {
    Ease2Record onePoint;
    onePoint.attenuation[4][19 + c.point] = 40;
    const std::vector<uint8_t> bytes = Ease2Bytes(onePoint);
    SpeakerType record;
    BuildEase2Balloon(std::span<const uint8_t, kEase2RecordSize>(bytes.data(), kEase2RecordSize), record);
    std::vector<uint8_t> expected(72, 225);
    for (int column : c.columns) {
      expected[size_t(column)] = 175;
      expected[size_t((column + 71) % 72)] = 212;
      expected[size_t((column + 1) % 72)] = 212;
    }
    for (int row = 0; row < 37; ++row) {
      std::vector<uint8_t> actual(record.BalloonBand(4).begin() + row * 72,
                                  record.BalloonBand(4).begin() + row * 72 + 72);
      if (row == 2) {
        EXPECT_EQ(actual, expected) << "point " << c.point;
      } else if (row == 1 || row == 3) {
        for (int column : c.columns) EXPECT_EQ(actual[size_t(column)], 212) << "point " << c.point;
      } else {
        EXPECT_EQ(actual, std::vector<uint8_t>(72, 225)) << "point " << c.point << " row " << row;
      }
    }
    EXPECT_TRUE(AllCodes(record, 0, 225));
  }
}

class Ease3Import : public ImportFolder {
 protected:
  std::array<Ease3Band, 7> Bands() const {
    std::array<Ease3Band, 7> bands;
    bands.fill({0.0f, 95.0f, 0.5f, 200.0f, 7.9f});
    return bands;
  }
};

TEST_F(Ease3Import, SpeakerWithItsBalloonFile) {
  std::array<Ease3Band, 7> bands = Bands();
  bands[1].directivityIndex = -20.0f;  // Q 0.01: stored as the least, 1
  bands[2].directivityIndex = 10.0f;
  Ease3Attenuations balloon{};
  balloon[6][3 * 37 + 5] = 1000;  // column 3, row 5: -10 dB
  balloon[6][71 * 37 + 36] = -100;
  const std::string path = Write("LONGTYPENAME.spk", Ease3SpeakerBytes("LONGTYPENAME", "BRAND   ", bands));
  Write("longtypename.lob", Ease3BalloonBytes(balloon));

  const SpeakerImport result = ImportEase3Speaker(path);
  ASSERT_EQ(result.records.size(), 1u);
  EXPECT_TRUE(result.messages.empty());
  const SpeakerType& r = result.records[0];
  EXPECT_EQ(r.TypeName(), "LONGTYPE");
  EXPECT_EQ(r.Brand(), "BRAND");
  EXPECT_EQ(r.Composition(), kCompositionComplete);
  EXPECT_EQ(r.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_EQ(r.GridCode(), 1);
  EXPECT_EQ(r.DirectivityQ10(0), 10);
  EXPECT_EQ(r.DirectivityQ10(1), 1);
  EXPECT_EQ(r.DirectivityQ10(2), 100);
  EXPECT_EQ(r.Sensitivity(4), 95.0f);
  EXPECT_EQ(r.RatedPower(4), 200.0f);
  EXPECT_EQ(r.Impedance(4), 7);
  EXPECT_EQ(r.Efficiency(4), 50);  // the stored value x 100
  EXPECT_EQ(r.BalloonCode(6, 5, 3), 175);
  EXPECT_EQ(r.BalloonCode(6, 36, 71), 230);
  EXPECT_EQ(r.BalloonCode(6, 3, 5), 225);
  EXPECT_TRUE(AllCodes(r, 5, 225));
}

TEST_F(Ease3Import, MissingShortAndNonFiniteFilesAreRefusedWithAMessage) {
  const std::string alone = Write("ALONE.SPK", Ease3SpeakerBytes("ALONE", "B", Bands()));
  EXPECT_EQ(ImportEase3Speaker(alone).messages,
            (std::vector<ImportMessage>{{"Can\xB4t locate file\n" + (dir_ / "ALONE.LOB").string(), ""}}));

  const std::string shortSpk = Write("SHORT.SPK", Ease3SpeakerBytes("SHORT", "B", Bands(), kEase3SpeakerSize - 1));
  Write("SHORT.LOB", Ease3BalloonBytes({}));
  std::array<Ease3Band, 7> notFinite = Bands();
  notFinite[3].sensitivity = std::nanf("");
  const std::string nanSpk = Write("NAN.SPK", Ease3SpeakerBytes("NAN", "B", notFinite));
  Write("NAN.LOB", Ease3BalloonBytes({}));
  std::array<Ease3Band, 7> minusInfinity = Bands();
  minusInfinity[2].directivityIndex = -std::numeric_limits<float>::infinity();  // Q would be 0
  const std::string minfSpk = Write("MINF.SPK", Ease3SpeakerBytes("MINF", "B", minusInfinity));
  Write("MINF.LOB", Ease3BalloonBytes({}));
  const std::string shortLobSpk = Write("SHORTLOB.SPK", Ease3SpeakerBytes("SHORTLOB", "B", Bands()));
  std::vector<uint8_t> shortLob = Ease3BalloonBytes({});
  shortLob.resize(kEase3BalloonSize - 1);
  const std::string shortLobPath = Write("SHORTLOB.LOB", shortLob);
  for (const auto& [spk, message] : {std::pair<std::string, std::string>{shortSpk, "Invalid file format !"},
                                     {nanSpk, "Invalid file format !"},
                                     {minfSpk, "Invalid file format !"},
                                     {shortLobSpk, "Invalid file format !\n" + shortLobPath}}) {
    const SpeakerImport result = ImportEase3Speaker(spk);
    EXPECT_TRUE(result.records.empty()) << spk;
    EXPECT_EQ(result.messages, (std::vector<ImportMessage>{{message, ""}}));
  }
  EXPECT_EQ(ImportEase3Speaker((dir_ / "NONE.SPK").string()).messages.size(), 0u);
}

}  // namespace
