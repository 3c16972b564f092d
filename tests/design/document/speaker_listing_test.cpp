#include "design/document/speaker_listing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "design/model/materials.h"
#include "framework/core/geometry.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/design/model/speaker_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

using Texts = std::vector<std::string>;

class SpeakerListingTest : public SpeakerModelTest {
 protected:
  // A type named `name` with `rated` W in band b (times b + 1 when rising),
  // 90 dB at 1 W / 1 m and Q = 1, with its own shape.
  int16_t AddNamedType(const std::string& name, float rated, bool rising = false) {
    const int16_t index = AddType(nullptr);
    SpeakerType& type = *gSpeakerModel.types.At(index);
    type.SetBrand("Brand " + name);
    type.SetTypeName(name);
    for (int b = 0; b < kBandCount; ++b) {
      type.SetRatedPower(b, rising ? rated * float(b + 1) : rated);
      type.SetSensitivity(b, 90);
      type.SetDirectivityQ10(b, 10);
    }
    return index;
  }
  // A loudspeaker of type `type` at `position`, aimed along +x.
  static GraphicObject* Place(int16_t type, std::array<float, 3> position, float gain = 0, uint16_t on = 1) {
    Loudspeaker speaker;
    speaker.typeIndex = type;
    speaker.position = position;
    speaker.eqGain.fill(gain);
    speaker.on = on;
    return PlaceSpeaker(speaker);
  }
  static Loudspeaker Stored(GraphicObject* object) {
    Loudspeaker speaker;
    EXPECT_TRUE(ReadLoudspeaker(object, speaker));
    return speaker;
  }

  SpeakerDatabaseIndex noDatabase;
  uint16_t modified = 0;
};

TEST_F(SpeakerListingTest, ListedByPositionWithTheirTypeAndPlace) {
  const int16_t type = AddNamedType("T1", 100);
  Place(type, {1, 2, 3});
  Place(type, {1, 2, 1});
  Place(type, {0, 5, 5});
  const std::vector<Loudspeaker> listing = BuildSpeakerListing(gObjects.model, gSpeakerModel.types);
  ASSERT_EQ(listing.size(), 3u);
  Texts rows;
  for (int r = 0; r < 3; ++r) rows.push_back(FormatSpeakerListRow(listing, r, gSpeakerModel.types));
  EXPECT_EQ(rows, (Texts{"001\tT1\t0.0,5.0,5.0", "002\tT1\t1.0,2.0,1.0", "003\tT1\t1.0,2.0,3.0"}));
  gUnitFlag = 1;
  EXPECT_EQ(FormatSpeakerListRow(listing, 2, gSpeakerModel.types), "003\tT1\t3.3,6.6,9.8");
  EXPECT_EQ(CompareSpeakerPosition(listing[0], listing[0]), 0);
}

TEST_F(SpeakerListingTest, ASwitchedOffLoudspeakerShowsNoPowerAndIsLeftOutOfTheTotals) {
  const int16_t type = AddNamedType("T1", 100);
  Place(type, {0, 0, 1});
  Place(type, {0, 0, 2}, -3);
  GraphicObject* off = Place(type, {0, 0, 3}, 0, 0);
  std::vector<Loudspeaker> listing = BuildSpeakerListing(gObjects.model, gSpeakerModel.types);
  // The stored block carries the recomputed powers, also of the one off.
  EXPECT_FLOAT_EQ(Stored(off).power[0], 100);
  EXPECT_EQ(FormatSpeakerBandPowers(listing[0])[0], "100.00");
  EXPECT_EQ(FormatSpeakerBandPowers(listing[1])[6], "50.12");
  EXPECT_EQ(FormatSpeakerBandPowers(listing[2]),
            (std::array<std::string, kBandCount>{"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"}));

  const SpeakerPowerTotals totals = ComputeSpeakerPowerTotals(listing, ProjectTables());
  const double electrical = 100 + 100 * std::pow(10.0, -0.3);
  for (size_t b = 0; b < kBandCount; ++b) {
    EXPECT_NEAR(totals.electrical[b], electrical, 1e-3);
    // P = I 4 pi / Q with I = W x 10^9, in units of 1e12.
    EXPECT_NEAR(totals.acoustic[b], electrical * 1e9 * 4 * 3.141592654 * 1e-12, 1e-4);
  }
  EXPECT_EQ(FormatSpeakerPowerTotals(totals.electrical)[0], "150.12");
}

TEST_F(SpeakerListingTest, ChangingOneLoudspeakersTypeRebuildsItsSymbol) {
  const int16_t t1 = AddNamedType("T1", 100);
  const int16_t t2 = AddNamedType("T2", 50, true);
  Place(t1, {2, 0, 0});
  GraphicObject* first = Place(t1, {1, 0, 0});
  std::vector<Loudspeaker> listing = BuildSpeakerListing(gObjects.model, gSpeakerModel.types);

  ASSERT_EQ(ChangeListedSpeakerType(listing, 0, noDatabase, "T2", modified), 1);
  EXPECT_EQ(modified, 65535);
  const Loudspeaker changed = Stored(first);
  EXPECT_EQ(changed.typeIndex, t2);
  EXPECT_FLOAT_EQ(changed.nominalPower, 350);  // the largest rated power
  for (int b = 0; b < kBandCount; ++b) {
    EXPECT_FLOAT_EQ(changed.eqGain[size_t(b)], -9.0f);
    EXPECT_NEAR(changed.power[size_t(b)], 50 * (b + 1) * std::pow(10.0, -0.9), 1e-4);
  }
  EXPECT_EQ(listing[0].typeIndex, t2);
  EXPECT_EQ(listing[0].object, first);
  EXPECT_EQ(gObjects.model.first, first);  // the rebuilt symbol
  EXPECT_EQ(first->vertexCount, defaultSymbol_->vertexCount);
  EXPECT_EQ(Stored(listing[1].object).typeIndex, t1);

  // A type that cannot be had: the database's message, then the listing's.
  MessageRecorder messages;
  modified = 0;
  EXPECT_EQ(ChangeListedSpeakerType(listing, 1, noDatabase, "NONE", modified), 0);
  EXPECT_EQ(messages.texts(), (Texts{"Loudspeaker not available in database", "Can\xB4t load loudspeaker"}));
  EXPECT_EQ(modified, 0);
  EXPECT_EQ(Stored(listing[1].object).typeIndex, t1);
}

TEST_F(SpeakerListingTest, ChangingATypeChangesExactlyTheLoudspeakersOfTheOldType) {
  const int16_t t1 = AddNamedType("T1", 100);
  const int16_t t2 = AddNamedType("T2", 100);
  AddNamedType("T3", 100);
  std::vector<GraphicObject*> ofT1 = {Place(t1, {1, 0, 0}), Place(t1, {3, 0, 0}), Place(t1, {5, 0, 0})};
  GraphicObject* other = Place(t2, {2, 0, 0});
  std::vector<Loudspeaker> listing = BuildSpeakerListing(gObjects.model, gSpeakerModel.types);

  // Row 2 (x = 3) is of T1; the first of its type in the listing is row 0.
  EXPECT_EQ(ChangeListedSpeakersOfType(listing, 2, noDatabase, "T3", modified), 3);
  EXPECT_EQ(modified, 65535);
  for (GraphicObject* o : ofT1) EXPECT_EQ(Stored(o).typeIndex, 2);
  EXPECT_EQ(Stored(other).typeIndex, t2);
  EXPECT_FLOAT_EQ(Stored(other).eqGain[0], 0);

  // Closing the listing purges T1, which none uses any more.
  PurgeUnusedSpeakerTypes();
  EXPECT_EQ(gSpeakerModel.types.count, 2);
  EXPECT_EQ(Stored(ofT1[0]).typeIndex, 1);
  EXPECT_EQ(Stored(other).typeIndex, 0);

  // A type that cannot be had changes none and says so once.
  listing = BuildSpeakerListing(gObjects.model, gSpeakerModel.types);
  MessageRecorder messages;
  modified = 0;
  EXPECT_EQ(ChangeListedSpeakersOfType(listing, 0, noDatabase, "NONE", modified), 0);
  EXPECT_EQ(messages.texts(), Texts{"Loudspeaker not available in database"});
  EXPECT_EQ(modified, 0);
}

// The texts of a page in the row starting at `top`.
Texts RowTexts(const ListingPage& page, int top) {
  Texts texts;
  for (const ListingText& t : page.texts)
    if (t.top == top) texts.push_back(t.text);
  return texts;
}

TEST_F(SpeakerListingTest, FortyFiveLoudspeakersPrintTwoPagesTheSecondWithOneRow) {
  AddBoxRoom({100, 8, 4});
  const int16_t type = AddNamedType("T1", 100);
  for (int i = 0; i < 44; ++i) Place(type, {float(i + 1), 4, 2});
  // The last, switched off, aims up and out through a gap in no face: the
  // box's ceiling lies below it.
  GraphicObject* last = Place(type, {50, 4, 6}, 0, 0);
  Loudspeaker aimedUp = Stored(last);
  aimedUp.vertical = 3.141592654f / 2;
  aimedUp.horizontal = 3.141592654f / 4;
  aimedUp.delay = 12.5f;
  aimedUp.name = "Fill";
  WriteLoudspeaker(aimedUp, last);
  BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project);
  std::vector<Loudspeaker> listing = BuildSpeakerListing(gObjects.model, gSpeakerModel.types);
  SpeakerPowerTotals totals = ComputeSpeakerPowerTotals(listing, ProjectTables());
  totals.electrical[0] = 12345.6;
  totals.electrical[1] = 9999.9;

  constexpr int kWidth = 3300;  // lines of 36 pixels, characters of 16
  const std::vector<ListingPage> pages = LayOutSpeakerSummary(listing, totals, gCalcFaceTable, gSpeakerModel.types,
                                                              "Korvane Design Engine ", "HALL.KPR", kWidth);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(RowTexts(pages[1], 6 * 36), (Texts{"Korvane Design Engine ", "HALL.KPR", "Loudspeakers Summary - Page 2"}));
  EXPECT_EQ(RowTexts(pages[0], 8 * 36),
            (Texts{"No.",   "Brand", "Type",  "Name",  "X",     "Y",     "Z",     "Hor.",  "Vert.", "Rot.", "T [ms]",
                   "Aim X", "Aim Y", "Aim Z", "W 125", "W 250", "W 500", "W 1 k", "W 2 k", "W 4 k", "W 8 k"}));
  // Row 1 on page 1, aimed along +x at the wall x = 100.
  EXPECT_EQ(RowTexts(pages[0], 10 * 36), (Texts{"  1",    "Brand T1", "T1",     "",      " 1.0",  " 4.0",  " 2.0",
                                                "0 \xB0", "0 \xB0",   "0 \xB0", "0.000", "100.0", " 4.0",  " 2.0",
                                                "100.0",  "100.0",    "100.0",  "100.0", "100.0", "100.0", "100.0"}));
  // Page 2 holds one row, the 45th, then the totals.
  EXPECT_EQ(RowTexts(pages[1], 10 * 36),
            (Texts{" 45", "Brand T1", "T1",  "Fill", "50.0", " 4.0", " 6.0", "45 \xB0", "90 \xB0", "0 \xB0", "12.500",
                   "---", "---",      "---", " 0.0", " 0.0", " 0.0", " 0.0", " 0.0",    " 0.0",    " 0.0"}));
  const Texts electrical = RowTexts(pages[1], 10 * 36 + 40);
  ASSERT_EQ(electrical.size(), 8u);
  EXPECT_EQ(electrical[0], "Total speaker input power :");
  EXPECT_EQ(electrical[1], "12346");
  EXPECT_EQ(electrical[2], "9999.9");
  EXPECT_EQ(electrical[3], "4400.0");
  EXPECT_EQ(RowTexts(pages[1], 10 * 36 + 80)[0], "Total acoustic power :");
  EXPECT_EQ(RowTexts(pages[1], 10 * 36 + 80)[1], "55.3");  // 44 x 100 W x 10^9 x 4 pi x 1e-12
  EXPECT_EQ(pages[0].texts.size(), 3 + 21 + 44 * 21u);
  for (const ListingPage& page : pages)
    for (const ListingText& t : page.texts) EXPECT_LE(t.right, kWidth);
  EXPECT_TRUE(LayOutSpeakerSummary({}, totals, gCalcFaceTable, gSpeakerModel.types, "", "", kWidth).empty());
}

}  // namespace
