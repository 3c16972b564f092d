#include "design/model/materials.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "framework/core/state_reset.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;

class MaterialsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllState(); }
  void TearDown() override { ResetAllState(); }

  // A database of named records with coefficients 0.1 x (i + 1).
  static void LoadDatabase(std::initializer_list<const char*> names) {
    AbsorberDatabase& db = gMaterials.database;
    db = AbsorberDatabase{};
    for (const char* name : names) {
      AbsorberRecord& r = db.records[db.count];
      r.name = name;
      r.absorption.fill(0.1f * float(db.count + 1));
      ++db.count;
    }
  }
  // A one-triangle face object on `layer` whose material item names `material`.
  static GraphicObject* AddFace(uint16_t material, uint32_t layer = 0, uint32_t kind = kKindFace) {
    GraphicObject* o = CreateObject(0, 3, 4);
    o->vertices[1] = {1, 0, 0};
    o->vertices[2] = {0, 1, 0};
    const ObjectItem items[] = {{kOpStart, 0}, {kOpAttribute, material}, {kOpLineTo, 1}, {kOpClose, 2}};
    std::copy(std::begin(items), std::end(items), o->items);
    o->layer = layer;
    o->kind = kind;
    AppendObject(o);
    return o;
  }
  static std::vector<std::string> ProjectNames() {
    std::vector<std::string> names;
    for (int i = 0; i < gMaterials.project.count; ++i) names.push_back(gMaterials.project.records[i].name);
    return names;
  }
};

TEST_F(MaterialsTest, DefaultMaterialIsTheOnlyEntry) {
  const MaterialTable& project = gMaterials.project;
  ASSERT_EQ(project.count, 1);
  EXPECT_EQ(project.records[0].name, "100%");
  EXPECT_EQ(project.records[0].description, "Absorber 100%");
  EXPECT_EQ(project.records[0].absorption, (std::array<float, 7>{1, 1, 1, 1, 1, 1, 1}));
}

TEST_F(MaterialsTest, NewProjectKeepsOnlyALoadedDatabase) {
  LoadDatabase({"Concrete"});
  gMaterials.project.count = 5;
  ResetProjectMaterials();
  EXPECT_EQ(gMaterials.project.count, 1);
  EXPECT_EQ(gMaterials.database.count, 0);  // no file behind it

  LoadDatabase({"Concrete"});
  gMaterials.databasePath = "/data/base.KAB";
  ResetProjectMaterials();
  EXPECT_EQ(gMaterials.database.count, 1);
}

TEST_F(MaterialsTest, AddingTheSameMaterialTwiceGivesOneEntry) {
  LoadDatabase({"Concrete", "Glass"});
  EXPECT_EQ(AddMaterialFromDatabase(1), 1);
  EXPECT_EQ(AddMaterialFromDatabase(0), 2);
  EXPECT_EQ(AddMaterialFromDatabase(1), 1);
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"100%", "Glass", "Concrete"}));
  EXPECT_EQ(gMaterials.project.records[1], gMaterials.database.records[1]);
}

TEST_F(MaterialsTest, ReplacedMaterialIsPurgedAndItsIndexReused) {
  LoadDatabase({"Concrete", "Glass", "Carpet"});
  GraphicObject* wall = AddFace(uint16_t(AddMaterialFromDatabase(0)));  // Concrete at 1
  AddFace(0);                                                           // keeps "100%" in use
  wall->items[1].index = uint16_t(AddMaterialFromDatabase(1));          // Glass at 2 replaces it
  PurgeUnusedMaterials();
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"100%", "", "Glass"}));
  EXPECT_EQ(AddMaterialFromDatabase(2), 1);  // Carpet takes the freed entry
  EXPECT_EQ(gMaterials.project.count, 3);
}

TEST_F(MaterialsTest, PurgeCountsOnlyRoomFacesAndSolids) {
  LoadDatabase({"A", "B", "C", "D"});
  for (int i = 0; i < 4; ++i) AddMaterialFromDatabase(i);  // entries 1..4
  AddFace(1);
  AddFace(2, 0, kKindSolid);
  AddFace(3, 1);             // an audience area
  AddFace(4, 0, kKindLine);  // not a face
  AddFace(7);                // beyond the table: ignored
  PurgeUnusedMaterials();
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"100%", "A", "B", "", ""}));
}

// Entry 0 is what new faces and audience areas name: no purge empties it and
// no new material lands in it, whatever it holds. A never-assigned face so
// keeps 1.00 after the room's last face went and a material was added.
TEST_F(MaterialsTest, EntryZeroIsNeverPurgedOrReused) {
  AbsorberRecord nameless = DefaultMaterial();
  nameless.name.clear();  // as older saves left it when no face named it
  AbsorberRecord other;
  other.name = "Stored";
  other.absorption.fill(0.3f);
  for (const AbsorberRecord& entry0 : {DefaultMaterial(), nameless, other}) {
    ResetAllState();
    gMaterials.project.records[0] = entry0;
    LoadDatabase({"Concrete"});
    AddFace(0, kAudienceLayer);  // no room face names entry 0
    PurgeUnusedMaterials();
    EXPECT_EQ(gMaterials.project.records[0], entry0) << entry0.name;
    EXPECT_EQ(AddMaterialFromDatabase(0), 1) << entry0.name;
    EXPECT_EQ(gMaterials.project.records[0], entry0) << entry0.name;
    EXPECT_EQ(gMaterials.project.count, 2);
  }
}

// A material command that gave no face a material leaves the table as it
// was; one that gave some purges.
TEST_F(MaterialsTest, FinishingAnAssignmentPurgesOnlyWhenSomethingWasAssigned) {
  LoadDatabase({"Concrete", "Spare"});
  AddMaterialFromDatabase(1);  // stored, named by no face
  const MaterialTable before = gMaterials.project;
  AddMaterialFromDatabase(0);
  FinishMaterialAssignment(before, false);
  EXPECT_EQ(gMaterials.project, before);

  AddFace(uint16_t(AddMaterialFromDatabase(0)));
  FinishMaterialAssignment(before, true);
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"100%", "", "Concrete"}));
}

TEST_F(MaterialsTest, UnusableDatabaseRecordsAreRefused) {
  LoadDatabase({"Concrete", ""});
  gMaterials.project.records[0].name.clear();  // a free entry, still named by faces
  EXPECT_EQ(AddMaterialFromDatabase(1), -1);   // would take the free entry's place
  EXPECT_EQ(AddMaterialFromDatabase(2), -1);
  EXPECT_EQ(AddMaterialFromDatabase(-1), -1);
  EXPECT_EQ(gMaterials.project.count, 1);
  EXPECT_TRUE(gMaterials.project.records[0].name.empty());
}

TEST_F(MaterialsTest, FullTableRefusesANewMaterial) {
  LoadDatabase({"Concrete", "Glass"});
  for (int i = 1; i < kMaxAbsorberRecords; ++i) gMaterials.project.records[i].name = "P" + std::to_string(i);
  gMaterials.project.count = kMaxAbsorberRecords;
  EXPECT_EQ(AddMaterialFromDatabase(0), -1);
  gMaterials.project.records[150].name = "Glass";
  EXPECT_EQ(AddMaterialFromDatabase(1), 150);  // a name already there is still found
}

TEST_F(MaterialsTest, LoadingADatabaseFile) {
  fs::path dir = fs::temp_directory_path() / ("korvane_materials_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  AbsorberDatabase saved;
  saved.records[0].name = "Curtain";
  saved.count = 1;
  const std::string good = (dir / "good.KAB").string();
  ASSERT_EQ(WriteAbsorberDatabaseFile(good, saved), 1);
  const std::string bad = (dir / "bad.KAB").string();
  std::ofstream(bad) << "KORVANE SPEAKER DATABASE V140";

  MessageRecorder messages;
  EXPECT_EQ(LoadAbsorberDatabase(good), 1);
  EXPECT_EQ(gMaterials.databasePath, good);
  EXPECT_EQ(gMaterials.database.records[0].name, "Curtain");
  EXPECT_EQ(LoadAbsorberDatabase(bad), 0);
  EXPECT_EQ(LoadAbsorberDatabase((dir / "none.KAB").string()), -1);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Invalid file format"});
  EXPECT_EQ(gMaterials.databasePath, good);
  EXPECT_EQ(gMaterials.database.count, 1);
  fs::remove_all(dir);
}

}  // namespace
