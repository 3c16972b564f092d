// The data sheet's rows and their cells.
#include "speakerbase/data_sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/model/speaker_database.h"
#include "framework/core/byte_codec.h"
#include "tests/speakerbase/view_fixtures.h"

namespace {

using view_fixtures::FlatRecord;
using view_fixtures::SetCode;
using Texts = std::vector<std::string>;

const DataSheetRow& Row(const std::vector<DataSheetRow>& rows, int row) {
  for (const DataSheetRow& r : rows)
    if (r.row == row) return r;
  static const DataSheetRow none;
  ADD_FAILURE() << "no row " << row;
  return none;
}

TEST(DataSheetRowsTest, LabelsTextsAndFormatsOfEveryRow) {
  SpeakerType record = FlatRecord();
  record.SetBrand("Acme Sound");
  record.SetTypeName("AB-12");
  record.SetComment("Two-way, 90 x 60 \xB0");
  WriteTextField(std::span(record.bytes).subspan(200, 41), "KSB V2.90");
  WriteTextField(std::span(record.bytes).subspan(241, 41), "measured 2003");
  record.SetGridCode(3);
  const float power[kBandCount] = {400, 400, 250, 120, 60.4f, 39.5f, 2000};
  const int16_t ohms[kBandCount] = {8, 8, 16, 4, 8, 100, 0};
  for (int band = 0; band < kBandCount; ++band) {
    record.SetRatedPower(band, power[band]);
    record.SetImpedance(band, ohms[band]);
  }
  const std::vector<DataSheetRow> rows = DataSheetRows(record);
  std::vector<int> places;
  for (const DataSheetRow& r : rows) places.push_back(r.row);
  EXPECT_EQ(places, (std::vector<int>{0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14}));
  struct Expected {
    int row;
    std::string label;
    Texts values;
  };
  for (const Expected& e : std::vector<Expected>{
           {0, "Manufacturer", {"Acme Sound"}},
           {1, "Type", {"AB-12"}},
           {3, "Data source", {"KSB V2.90"}},
           {4, "    dto.", {"measured 2003"}},
           {5, "Input format", {"Half sphere,5\xB0 resolution"}},
           {6, "Frequency [Hz]", {"125", "250", "500", "1000", "2000", "4000", "8000"}},
           {7, "Max. Power(AES)[W]", {" 400", " 400", " 250", " 120", "  60", "  40", "2000"}},
           {8, "SPL @1W @1m [dB]", {"90.0", "91.0", "92.0", "93.0", "94.0", "95.0", "96.0"}},
           {9, "Nominal impedance[Ohms]", {"  8", "  8", " 16", "  4", "  8", "100", "  0"}},
           {10, "Directivity factor Q", Texts(7, "5.0")},
           {11, "Directivity index [dB]", Texts(7, "7.0")},
           {14, "Comment", {"Two-way, 90 x 60 \xB0"}},
       }) {
    const DataSheetRow& r = Row(rows, e.row);
    EXPECT_EQ(r.label, e.label) << e.row;
    EXPECT_EQ(r.values, e.values) << e.row;
  }
  // 100 x 10^((S - 10 log10(5) - 109) / 10) at S = 90 .. 96 dB.
  EXPECT_EQ(Row(rows, 12).values, (Texts{"0.3", "0.3", "0.4", "0.5", "0.6", "0.8", "1.0"}));
}

TEST(DataSheetRowsTest, TheSplRowAddsTheOnAxisLevelOfEachBand) {
  SpeakerType record = FlatRecord();
  SetCode(record, 1, 0, 0, 215);  // -2 dB on the axis
  SetCode(record, 2, 0, 0, 230);  // +1 dB
  SetCode(record, 3, 0, 1, 100);  // off the axis: no matter
  SetCode(record, 4, 1, 0, 100);
  EXPECT_EQ(Row(DataSheetRows(record), 8).values, (Texts{"90.0", "89.0", "93.0", "93.0", "94.0", "95.0", "96.0"}));
}

TEST(DataSheetRowsTest, TheInputFormatNamesGridCodesOneToFourOnly) {
  struct Case {
    uint16_t code;
    std::string text;
  };
  for (const Case& c : {Case{0, ""}, Case{1, "Full sphere,5\xB0 resolution"}, Case{2, "Half sphere,10\xB0 resolution"},
                        Case{3, "Half sphere,5\xB0 resolution"}, Case{4, "Full sphere,10\xB0 resolution"}, Case{5, ""},
                        Case{65535, ""}}) {
    SpeakerType record = FlatRecord();
    record.SetGridCode(c.code);
    EXPECT_EQ(Row(DataSheetRows(record), 5).values, Texts{c.text}) << c.code;
  }
}

TEST(DataSheetRowsTest, AQOfZeroOrBelowShowsNoDirectivityIndexOrEfficiency) {
  SpeakerType record = FlatRecord();
  record.SetDirectivityQ10(0, 0);
  record.SetDirectivityQ10(1, -20);
  record.SetDirectivityQ10(2, 1);  // Q 0.1: -10 dB, still a number
  const std::vector<DataSheetRow> rows = DataSheetRows(record);
  EXPECT_EQ(Row(rows, 10).values[0], "0.0");
  EXPECT_EQ(Row(rows, 10).values[1], "-2.0");
  EXPECT_EQ(Row(rows, 11).values, (Texts{"---", "---", "-10.0", "7.0", "7.0", "7.0", "7.0"}));
  EXPECT_EQ(Row(rows, 12).values[0], "---");
  EXPECT_EQ(Row(rows, 12).values[1], "---");
  EXPECT_EQ(Row(rows, 12).values[2], "20.0");  // 100 x 10^((92 + 10 - 109) / 10)
}

// The types of the example database the build writes, whose Q and
// efficiency its writer computed from their balloons.
TEST(DataSheetRowsTest, DirectivityAndEfficiencyOfTheExampleTypes) {
  SpeakerDatabase db;
  ASSERT_EQ(ReadSpeakerDatabaseFile(db, std::string(KORVANE_EXAMPLE_DIR) + "/EXAMPLE.KSB", DatabaseLoad::kOpen),
            DatabaseReadResult::kLoaded);
  ASSERT_EQ(db.records.size(), 2u);
  struct Case {
    std::string type;
    Texts q, index, efficiency;
  };
  // DI = 10 log10(Q); efficiency 100 x 10^((S - DI - 109) / 10) with the
  // sensitivities of the description (KV12 94 to 98 dB, KV8C 86 to 92 dB).
  const Case cases[] = {
      {"KV12",
       {"1.4", "2.2", "4.5", "8.8", "10.7", "12.3", "14.0"},
       {"1.5", "3.4", "6.5", "9.4", "10.3", "10.9", "11.5"},
       {"2.3", "2.3", "1.4", "0.9", "0.7", "0.5", "0.3"}},
      {"KV8C",
       {"1.4", "1.7", "2.9", "5.9", "7.9", "9.0", "10.0"},
       {"1.5", "2.3", "4.6", "7.7", "9.0", "9.5", "10.0"},
       {"0.4", "0.6", "0.5", "0.3", "0.3", "0.2", "0.1"}},
  };
  for (size_t i = 0; i < db.records.size(); ++i) {
    ASSERT_TRUE(SelectCurrentRecord(db, int(i)));
    const std::vector<DataSheetRow> rows = DataSheetRows(db.currentRecord);
    EXPECT_EQ(Row(rows, 1).values, Texts{cases[i].type});
    EXPECT_EQ(Row(rows, 10).values, cases[i].q) << cases[i].type;
    EXPECT_EQ(Row(rows, 11).values, cases[i].index) << cases[i].type;
    EXPECT_EQ(Row(rows, 12).values, cases[i].efficiency) << cases[i].type;
  }
}

TEST(DataSheetLayoutTest, FramedCellsRightOfTheButtonsUnderTheTitle) {
  const DataSheetLayout layout = LayOutDataSheet(FlatRecord(), 800, 600);
  // a = 768: w = 752 / 12, h = 584 / 16; top (600 - 576) / 2, left 32 + (768 - 744) / 2.
  EXPECT_EQ(layout.cellWidth, 62);
  EXPECT_EQ(layout.rowHeight, 36);
  EXPECT_EQ(layout.textHeight, 31);
  EXPECT_EQ(layout.textWidth, 10);
  EXPECT_EQ(layout.title, (ViewText{{32, 12, 800, 48}, "Korvane Speaker Datasheet"}));
  ASSERT_EQ(layout.cells.size(), 6u * 2 + 7u * 8);
  // Manufacturer: the label 5w wide from the left edge, the value 7w.
  EXPECT_EQ(layout.cells[0].frame, (ViewRect{44, 48, 354, 84}));
  EXPECT_EQ(layout.cells[0].text.text, "Manufacturer");
  EXPECT_EQ(layout.cells[0].text.align, ViewAlign::kLeft);
  EXPECT_EQ(layout.cells[1].frame, (ViewRect{354, 48, 788, 84}));
  EXPECT_EQ(layout.cells[1].text.align, ViewAlign::kCentre);
  // Data source in place 3 (place 2 is empty), the frequencies in seven cells.
  EXPECT_EQ(layout.cells[4].frame.top, 12 + 4 * 36);
  EXPECT_EQ(layout.cells[10].text.text, "Frequency [Hz]");
  for (int band = 0; band < kBandCount; ++band) {
    const DataSheetCell& cell = layout.cells[11 + size_t(band)];
    EXPECT_EQ(cell.frame, (ViewRect{354 + 62 * band, 12 + 7 * 36, 416 + 62 * band, 12 + 8 * 36})) << band;
  }
  // The comment in the last place; everything inside the client area.
  EXPECT_EQ(layout.cells.back().text.text, "");
  EXPECT_EQ(layout.cells[layout.cells.size() - 2].text.text, "Comment");
  EXPECT_EQ(layout.cells.back().frame.bottom, 12 + 16 * 36);
  for (const DataSheetCell& cell : layout.cells) {
    EXPECT_TRUE((ViewRect{kViewButtonSize, 0, 800, 600}).Contains(cell.frame)) << cell.text.text;
    EXPECT_TRUE(cell.frame.Contains(cell.text.box)) << cell.text.text;
  }
}

TEST(DataSheetLayoutTest, AnAreaTooSmallForTextHasNoCells) {
  EXPECT_TRUE(LayOutDataSheet(FlatRecord(), 800, 100).cells.empty());  // rows of 5 pixels
  EXPECT_TRUE(LayOutDataSheet(FlatRecord(), 40, 600).cells.empty());
  EXPECT_TRUE(LayOutDataSheet(FlatRecord(), 0, 0).cells.empty());
  EXPECT_EQ(LayOutDataSheet(FlatRecord(), 800, 112).cells.size(), 68u);  // rows of 6
}

}  // namespace
