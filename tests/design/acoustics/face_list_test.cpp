#include "design/acoustics/face_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "design/model/materials.h"
#include "framework/core/geometry.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

class FaceListTest : public RoomModelTest {
 protected:
  // The sorted table of the model's room faces.
  CalcFaceTable& Build() {
    BuildCalcFaceTable(gCalcFaceTable, gObjects.model, gMaterials.project);
    SortCalcFaces(gCalcFaceTable);
    return gCalcFaceTable;
  }
  // Database record `index` named `name` with `alpha` in every band.
  static void SetDatabaseRecord(int index, const std::string& name, float alpha) {
    AbsorberDatabase& database = gMaterials.database;
    database.count = std::max<int16_t>(database.count, int16_t(index + 1));
    database.records[size_t(index)].name = name;
    database.records[size_t(index)].absorption.fill(alpha);
  }
  // The material index named by the material item of object `object`.
  static int MaterialItem(const GraphicObject* object) { return object->items[1].index; }

  uint16_t modified = 0;
  MessageRecorder messages;
};

TEST_F(FaceListTest, RowsAndFieldsShowAreasSharesAndSabins) {
  SetMaterial(1, 0.5f);
  // A 4 x 2 floor of material 1, two 2 x 1 walls of material 0 (alpha 1),
  // the lower one listed first in the model.
  AddObject({RectangleXY(0, 0, 4, 2)}, 1);
  AddObject({WallX(0, 0, 2, 0, 1)}, 0);
  AddObject({WallX(0, 0, 2, 1, 2)}, 0);
  const CalcFaceTable& table = Build();
  ASSERT_EQ(table.Count(), 3);
  // The larger face first; of equal areas the higher.
  EXPECT_EQ(FormatFaceListRow(table, gMaterials.project, 0), "001\t    8.0\tm1");
  EXPECT_EQ(FormatFaceListRow(table, gMaterials.project, 1), "002\t    2.0\t100%");
  EXPECT_FLOAT_EQ(table.faces[1].box.min[2], 1);

  const FaceListFields fields = FormatFaceListFields(table, gMaterials.project, 1);
  EXPECT_EQ(fields.faceSabins[0], "2.0");
  EXPECT_EQ(fields.faceArea, "2.0 m\xB2");
  EXPECT_EQ(fields.faceShare, "16.7%");
  EXPECT_EQ(fields.materialSabins[6], "    4.0");
  EXPECT_EQ(fields.materialArea, "4.0 m\xB2");
  EXPECT_EQ(fields.materialShare, "33.3%");
  const FaceListTotals totals = FormatFaceListTotals(table, gMaterials.project);
  EXPECT_EQ(totals.sabins[3], "  8.0");  // 8 x 0.5 + 4 x 1
  EXPECT_EQ(totals.area, " 12.0 m\xB2");

  // In feet: areas in square feet and sabins of square feet.
  gUnitFlag = 1;
  EXPECT_EQ(FormatFaceListRow(table, gMaterials.project, 0), "001\t   86.1\tm1");
  EXPECT_EQ(FormatFaceListFields(table, gMaterials.project, 0).faceSabins[0], "43.1");
  EXPECT_EQ(FormatFaceListTotals(table, gMaterials.project).area, "129.2 ft\xB2");
}

TEST_F(FaceListTest, AMaterialBeyondTheTableCountsAsMaterialZero) {
  SetMaterial(1, 0.5f);
  AddObject({RectangleXY(0, 0, 4, 2)}, 1);
  GraphicObject* stray = AddObject({WallX(0, 0, 2, 0, 1)}, 1);
  const CalcFaceTable& table = Build();
  stray->items[1].index = 7;  // as a face edited after the table was built
  EXPECT_EQ(FormatFaceListRow(table, gMaterials.project, 1), "002\t    2.0\t100%");
  const AbsorptionSum zero = SumMaterialAbsorption(table, gMaterials.project, 0);
  EXPECT_FLOAT_EQ(float(zero.area), 2);
  EXPECT_FLOAT_EQ(float(zero.sabins[0]), 2);
  EXPECT_FLOAT_EQ(float(SumMaterialAbsorption(table, gMaterials.project, 1).area), 8);
}

TEST_F(FaceListTest, ChangeAndReplaceWriteOnlyIntoMaterialItems) {
  SetMaterial(1, 0.5f);
  SetDatabaseRecord(0, "Brick", 0.1f);
  SetDatabaseRecord(1, "Curtain", 0.6f);
  GraphicObject* floor = AddObject({RectangleXY(0, 0, 4, 2)}, 1);
  GraphicObject* wall = AddObject({WallX(0, 0, 2, 0, 1)}, 1);
  GraphicObject* bare = AddObject({WallY(0, 0, 2, 0, 1)}, kNoMaterial);
  CalcFaceTable& table = Build();

  // A face without a material item keeps what it has, and so do the
  // materials: Brick is not left behind.
  const MaterialTable before = gMaterials.project;
  EXPECT_EQ(ChangeFaceMaterial(table, 2, 0, modified), 0);
  EXPECT_EQ(modified, 0);
  EXPECT_EQ(bare->itemCount, 4u);
  EXPECT_EQ(gMaterials.project, before);

  EXPECT_EQ(ChangeFaceMaterial(table, 1, 0, modified), 1);
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(gMaterials.project.records[size_t(MaterialItem(wall))].name, "Brick");
  EXPECT_EQ(MaterialItem(floor), 1);

  // Replace on the floor: every face of its material (only the floor now).
  modified = 0;
  EXPECT_EQ(ReplaceFaceMaterial(table, 0, 1, modified), 1);
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(gMaterials.project.records[size_t(MaterialItem(floor))].name, "Curtain");
  EXPECT_EQ(gMaterials.project.records[1].name, "");  // m1, which no face names any more
  // Replace on the wall gives both of its material the same.
  EXPECT_EQ(ChangeFaceMaterial(table, 0, 0, modified), 1);
  EXPECT_EQ(ReplaceFaceMaterial(table, 1, 1, modified), 2);
  EXPECT_EQ(MaterialItem(floor), MaterialItem(wall));
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FaceListTest, AMaterialThatCannotBeAddedChangesNothing) {
  GraphicObject* floor = AddObject({RectangleXY(0, 0, 4, 2)}, 0);
  CalcFaceTable& table = Build();
  SetDatabaseRecord(0, "Brick", 0.1f);
  gMaterials.project.count = kMaxAbsorberRecords;
  for (int i = 0; i < kMaxAbsorberRecords; ++i) gMaterials.project.records[size_t(i)].name = "m" + std::to_string(i);
  EXPECT_EQ(ChangeFaceMaterial(table, 0, 0, modified), -1);
  EXPECT_EQ(ReplaceFaceMaterial(table, 0, 0, modified), -1);
  EXPECT_EQ(modified, 0);
  EXPECT_EQ(MaterialItem(floor), 0);
  ASSERT_EQ(messages.messages().size(), 2u);
  EXPECT_EQ(messages.messages()[0].text, "Can\xB4t load absorber");
  EXPECT_EQ(messages.messages()[0].caption, "Error : Insufficient memory");
}

TEST_F(FaceListTest, TheMarkerRunsFromTheCentroidAgainstTheNormal) {
  AddObject({RectangleXY(0, 0, 4, 2, 3)});
  const FaceMarkerLine marker = ComputeFaceMarkerLine(Build().faces[0]);
  EXPECT_FLOAT_EQ(marker.from.x, 2);
  EXPECT_FLOAT_EQ(marker.from.y, 1);
  EXPECT_FLOAT_EQ(marker.from.z, 3);
  EXPECT_FLOAT_EQ(marker.to.x, 2);
  EXPECT_NEAR(marker.to.z, 3 - 2 * std::sqrt(2.0), 1e-6);
}

// The texts of a page that lie in the row starting at `top`.
std::vector<std::string> RowTexts(const ListingPage& page, int top) {
  std::vector<std::string> texts;
  for (const ListingText& t : page.texts)
    if (t.top == top) texts.push_back(t.text);
  return texts;
}

TEST_F(FaceListTest, SeventyThreeFacesPrintTwoPagesTheSecondWithOneFaceAndTheTotals) {
  SetMaterial(0, 0.5f);
  // 73 squares of 1 m x (1 + i / 100) m at z = i: the first, on the floor,
  // is the smallest and is listed last.
  for (int i = 0; i < 73; ++i) AddObject({RectangleXY(0, 0, 1, 1 + i / 100.0f, float(i))});
  const CalcFaceTable& table = Build();
  constexpr int kWidth = 2400;  // rows of 36 pixels, columns of 16
  const std::vector<ListingPage> pages = LayOutFaceSummary(table, gMaterials.project, kWidth);
  ASSERT_EQ(pages.size(), 2u);

  const std::vector<std::string> heads = RowTexts(pages[0], 72);
  EXPECT_EQ(heads,
            (std::vector<std::string>{"No.", "Area", "Share", "Material", "Xmin", "Xmax", "Ymin", "Ymax", "Zmin",
                                      "Zmax", "Sa 125", "Sa 250", "Sa 500", "Sa 1 k", "Sa 2 k", "Sa 4 k", "Sa 8 k"}));
  EXPECT_EQ(RowTexts(pages[1], 0), (std::vector<std::string>{"Room Faces Summary - Page 2"}));
  // Page 1: the title, the heads and 72 faces; page 2: the title, the
  // heads, one face and the two total rows.
  EXPECT_EQ(pages[0].texts.size(), 1 + 17 + 72 * 17u);
  EXPECT_EQ(pages[1].texts.size(), 1 + 17 + 17 + 2 + 8u);
  const std::vector<std::string> last = RowTexts(pages[1], 4 * 36);
  EXPECT_EQ(last, (std::vector<std::string>{" 73", "    1.0", "1.0", "m0", " 0.0", " 1.0", " 0.0", " 1.0", " 0.0",
                                            " 0.0", " 0.5", " 0.5", " 0.5", " 0.5", " 0.5", " 0.5", " 0.5"}));
  const std::vector<std::string> total = RowTexts(pages[1], 5 * 36 + 4);
  EXPECT_EQ(total[0], "Total");
  EXPECT_EQ(total[1], "   99.3");
  const std::vector<std::string> sabine = RowTexts(pages[1], 6 * 36 + 8);
  ASSERT_EQ(sabine.size(), 8u);
  EXPECT_EQ(sabine[0], "Sabine Total");
  EXPECT_EQ(sabine[7], "49.6");
  // Every text of a row lies in the page's width.
  for (const ListingPage& page : pages)
    for (const ListingText& t : page.texts) EXPECT_LE(t.right, kWidth);
  EXPECT_TRUE(LayOutFaceSummary(CalcFaceTable{}, gMaterials.project, kWidth).empty());
}

}  // namespace
