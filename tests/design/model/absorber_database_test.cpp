#include "design/model/absorber_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;

// Seven entries of the shared measured absorption table (see data/NOTICE.md),
// written by data/make_absorbers_kab.py independently of the codec.
const fs::path kFixture = fs::path(KORVANE_TESTS_DIR "/design/model") / "data" / "absorbers.KAB";

AbsorberRecord Material(const char* name, float alpha) {
  AbsorberRecord r;
  r.name = name;
  r.description = std::string("Description of ") + name;
  r.category = "Test";
  r.absorption.fill(alpha);
  return r;
}

std::unique_ptr<AbsorberDatabase> DatabaseOf(int count) {
  auto db = std::make_unique<AbsorberDatabase>();
  for (int i = 0; i < count; ++i) db->records[i] = Material(("M" + std::to_string(i)).c_str(), 0.01f * float(i % 100));
  db->count = int16_t(count);
  return db;
}

std::vector<uint8_t> Bytes(const fs::path& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path.string(), bytes));
  return bytes;
}

TEST(AbsorberRecordCodec, FieldsSitAtTheirOffsetsAndUnusedBytesAreZero) {
  AbsorberRecord r;
  r.name = "Glass";
  r.description = "Glass window";
  r.category = "Glazing";
  r.absorption = {0.1f, 0.05f, 0.04f, 0.03f, 0.03f, 0.03f, 0.5f};
  std::array<uint8_t, kAbsorberRecordSize> bytes;
  bytes.fill(0xAA);
  EncodeAbsorberRecord(r, bytes);

  EXPECT_EQ(ReadTextField(std::span(bytes).subspan(0, 22)), "Glass");
  EXPECT_EQ(ReadTextField(std::span(bytes).subspan(23, 80)), "Glass window");
  EXPECT_EQ(ReadTextField(std::span(bytes).subspan(148, 80)), "Glazing");
  EXPECT_EQ(LoadF32(&bytes[112]), 0.1f);
  EXPECT_EQ(LoadF32(&bytes[112 + 24]), 0.5f);
  for (size_t offset : {22u, 103u, 111u, 140u, 147u, 228u, 255u}) EXPECT_EQ(bytes[offset], 0) << offset;

  AbsorberRecord back;
  DecodeAbsorberRecord(bytes, back);
  EXPECT_EQ(back, r);
}

TEST(AbsorberRecordCodec, OverlongTextsAreCutToTheirFieldsOnBothSides) {
  AbsorberRecord r;
  r.name = std::string(30, 'n');
  r.description = std::string(100, 'd');
  r.category = std::string(100, 'c');
  std::array<uint8_t, kAbsorberRecordSize> bytes;
  EncodeAbsorberRecord(r, bytes);
  EXPECT_EQ(bytes[21], 0);  // the name ends inside its field

  // A stored name that fills all 22 bytes reads as 21, as a write stores it.
  std::fill_n(bytes.begin(), 22, uint8_t('x'));
  AbsorberRecord back;
  DecodeAbsorberRecord(bytes, back);
  EXPECT_EQ(back.name, std::string(21, 'x'));
  EXPECT_EQ(back.description, std::string(79, 'd'));
  EXPECT_EQ(back.category, std::string(79, 'c'));
}

TEST(MaterialSection, RoundTripsAndRefusesBadCounts) {
  auto table = DatabaseOf(3);
  MemoryWriter w;
  ASSERT_TRUE(WriteMaterialSection(w, *table));
  EXPECT_EQ(w.bytes().size(), 2u + 3 * 256);

  auto read = DatabaseOf(5);  // entries behind the count read are emptied
  MemoryReader r(w.bytes());
  ASSERT_TRUE(ReadMaterialSection(r, *read));
  EXPECT_EQ(*read, *table);

  auto section = [](int16_t count, size_t records) {
    std::vector<uint8_t> bytes(2 + records * 256, 0);
    StoreI16(bytes.data(), count);
    return bytes;
  };
  for (auto bytes : {section(-1, 0), section(201, 201), section(2, 1)}) {
    auto kept = DatabaseOf(4);
    MemoryReader bad(bytes);
    EXPECT_FALSE(ReadMaterialSection(bad, *kept));
    EXPECT_EQ(*kept, *DatabaseOf(4));
  }
  auto emptied = DatabaseOf(4);
  auto none = section(0, 0);
  MemoryReader empty(none);
  EXPECT_TRUE(ReadMaterialSection(empty, *emptied));
  EXPECT_EQ(*emptied, AbsorberDatabase{});
}

class AbsorberFile : public ::testing::Test {
 protected:
  fs::path dir_ = fs::temp_directory_path() / ("korvane_kab_" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }

  std::string WriteFile(const char* name, const std::vector<uint8_t>& bytes) {
    fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
  }
  // The magic field followed by `tail` bytes of zeros.
  static std::vector<uint8_t> MagicAnd(size_t tail) {
    std::vector<uint8_t> bytes(kAbsorberMagicSize + tail, 0);
    WriteTextFieldFull(std::span(bytes).first(kAbsorberMagicSize), kAbsorberDatabaseMagic);
    return bytes;
  }
};

TEST_F(AbsorberFile, MeasuredTableFixtureLoadsAndSavesByteForByte) {
  MessageRecorder messages;
  auto db = std::make_unique<AbsorberDatabase>();
  ASSERT_EQ(ReadAbsorberDatabaseFile(kFixture.string(), *db, "Invalid Database"), 1);
  ASSERT_EQ(db->count, 7);
  const AbsorberRecord& hard = db->records[0];
  EXPECT_EQ(hard.name, "hard_surface");
  EXPECT_EQ(hard.description, "Walls, hard surfaces average (brick walls, plaster, hard floors, etc.)");
  EXPECT_EQ(hard.category, "Massive constructions and hard surfaces");
  EXPECT_EQ(hard.absorption, (std::array<float, 7>{0.02f, 0.02f, 0.03f, 0.03f, 0.04f, 0.05f, 0.05f}));
  const AbsorberRecord& glazing = db->records[3];
  EXPECT_EQ(glazing.description,
            "Double glazing, 2\x96"
            "3 mm glass, > 30 mm gap");  // code page 1252 dash
  EXPECT_EQ(glazing.absorption[0], 0.15f);
  EXPECT_EQ(db->records[6].name, "audience_orchestra_ch");  // 21 characters kept
  EXPECT_TRUE(messages.texts().empty());

  fs::path saved = dir_ / "saved.KAB";
  ASSERT_EQ(WriteAbsorberDatabaseFile(saved.string(), *db), 1);
  EXPECT_EQ(Bytes(saved), Bytes(kFixture));
}

// The size gives the records; what the table cannot take (records past the
// 200th) and a partial record at the end are left out, and one message says
// what was loaded and what left out.
TEST_F(AbsorberFile, SizeGivesTheRecordsAndWhatIsLeftOutIsSaid) {
  struct Case {
    size_t records, partialBytes;
    int16_t count;
    const char* message;  // none when the whole file was loaded
  };
  const Case cases[] = {
      {0, 0, 0, nullptr},
      {1, 0, 1, nullptr},
      {200, 0, 200, nullptr},
      {0, 255, 0, "The file ends in a partial record (255 bytes), which was left out.\nLoaded 0 materials."},
      {1, 44, 1, "The file ends in a partial record (44 bytes), which was left out.\nLoaded 1 material."},
      {89, 143, 89, "The file ends in a partial record (143 bytes), which was left out.\nLoaded 89 materials."},
      {201, 0, 200,
       "Database can\xB4t contain more than 200 materials\nLoaded 200 of the file's 201 materials; left out 1."},
      {270, 0, 200,
       "Database can\xB4t contain more than 200 materials\nLoaded 200 of the file's 270 materials; left out 70."},
      {270, 1, 200,
       "Database can\xB4t contain more than 200 materials\nLoaded 200 of the file's 270 materials; left out 70.\n"
       "The file ends in a partial record (1 byte), which was left out."},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = MagicAnd(c.records * 256 + c.partialBytes);
    for (size_t i = 0; i < c.records; ++i)
      WriteTextField(std::span(bytes).subspan(32 + 256 * i, 22), "R" + std::to_string(i));
    MessageRecorder messages;
    auto db = DatabaseOf(3);
    bool partlyRead = !c.message;
    ASSERT_EQ(ReadAbsorberDatabaseFile(WriteFile("sized.KAB", bytes), *db, "Invalid Database", &partlyRead), 1);
    EXPECT_EQ(db->count, c.count) << c.records;
    if (c.count > 0) {
      EXPECT_EQ(db->records[c.count - 1].name, "R" + std::to_string(c.count - 1));
    }
    if (c.count < kMaxAbsorberRecords) {
      EXPECT_TRUE(db->records[c.count].name.empty());  // the previous entries are gone
    }
    EXPECT_EQ(messages.texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
        << c.records << " " << c.partialBytes;
    EXPECT_EQ(partlyRead, c.message != nullptr) << c.records << " " << c.partialBytes;
  }
}

TEST_F(AbsorberFile, SavedFileIsMagicTwoNulsAndTheRecords) {
  auto db = DatabaseOf(3);
  fs::path path = dir_ / "three.KAB";
  ASSERT_EQ(WriteAbsorberDatabaseFile(path.string(), *db), 1);
  std::vector<uint8_t> bytes = Bytes(path);
  ASSERT_EQ(bytes.size(), 32u + 256 * 3);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 30), kAbsorberDatabaseMagic);
  EXPECT_EQ(bytes[30], 0);
  EXPECT_EQ(bytes[31], 0);
  EXPECT_EQ(ReadTextField(std::span(bytes).subspan(32 + 256 * 2, 22)), "M2");
}

TEST_F(AbsorberFile, BadMagicOrShortFileKeepsThePreviousDatabase) {
  std::vector<uint8_t> wrongMagic = MagicAnd(256);
  wrongMagic[29] = '2';  // "... V1.2"
  std::vector<uint8_t> shortFile = MagicAnd(0);
  shortFile.resize(31);
  for (const auto& bytes : {wrongMagic, shortFile}) {
    MessageRecorder messages;
    auto db = DatabaseOf(3);
    EXPECT_EQ(ReadAbsorberDatabaseFile(WriteFile("bad.KAB", bytes), *db, "Invalid Database"), 0);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Invalid Database"});
    EXPECT_EQ(*db, *DatabaseOf(3));
  }
}

TEST_F(AbsorberFile, MissingFileIsIgnoredSilently) {
  MessageRecorder messages;
  auto db = DatabaseOf(2);
  EXPECT_EQ(ReadAbsorberDatabaseFile((dir_ / "none.KAB").string(), *db, "Invalid Database"), -1);
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_EQ(*db, *DatabaseOf(2));
}

TEST_F(AbsorberFile, ReadOnlyFileLoads) {
  // Opening for update would refuse this file (for any user but root).
  std::string path = WriteFile("locked.KAB", MagicAnd(256));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  auto db = std::make_unique<AbsorberDatabase>();
  EXPECT_EQ(ReadAbsorberDatabaseFile(path, *db, "Invalid Database"), 1);
  EXPECT_EQ(db->count, 1);
}

TEST_F(AbsorberFile, FailedWriteSaysSoAndKeepsTheOldFile) {
  MessageRecorder messages;
  auto db = DatabaseOf(1);
  EXPECT_EQ(WriteAbsorberDatabaseFile((dir_ / "missing" / "x.KAB").string(), *db), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Couldn\xB4t write data to disk !\nNo such file or directory"});

  // A target that cannot be replaced (a folder of that name) stays as it was.
  fs::create_directory(dir_ / "taken.KAB");
  EXPECT_EQ(WriteAbsorberDatabaseFile((dir_ / "taken.KAB").string(), *db), 0);
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.KAB"));
  EXPECT_EQ(messages.texts().size(), 2u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);  // no temporary left
}

}  // namespace
