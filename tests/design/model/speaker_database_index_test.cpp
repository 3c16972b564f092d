#include "design/model/speaker_database_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

using namespace db_fixtures;

using Texts = std::vector<std::string>;
constexpr size_t kChain = 176;  // ChainBytes(TwoPartShape())

std::vector<std::string> Names(const SpeakerDatabaseIndex& index) {
  std::vector<std::string> names;
  for (const SpeakerIndexEntry& e : index.entries) names.push_back(e.name);
  return names;
}

// A plain record of the older layout: the head with its texts, then per band
// 36 rows whose codes tell band, row and column apart.
std::vector<uint8_t> OlderRecord(const std::string& name) {
  std::vector<uint8_t> older(kOlderSpeakerTypeSize, 0);
  std::copy(name.begin(), name.end(), older.begin() + 21);
  const std::string comment = "Comment of " + name;
  std::copy(comment.begin(), comment.end(), older.begin() + 30);
  for (int band = 0; band < 7; ++band)
    for (int row = 0; row < 36; ++row)
      for (int column = 0; column < 72; ++column)
        older[200 + 2592 * size_t(band) + 72 * size_t(row) + size_t(column)] = uint8_t(band * 37 + row + column);
  return older;
}

class SpeakerIndexTest : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    defaultSymbol_ = CreateObject(0, 2, 0);
  }
  void TearDown() override {
    FreeObjectList(model_);
    ClearSpeakerTypeTable(table_);
    ObjectList unlinked;
    FreeObjectInList(defaultSymbol_, unlinked);
    ScratchFolder::TearDown();
  }

  SpeakerDatabaseIndex Open(const std::string& name, const std::vector<uint8_t>& file) {
    SpeakerDatabaseIndex index;
    EXPECT_EQ(OpenSpeakerDatabaseIndex(index, WriteFile(name, file)), 1) << name;
    return index;
  }
  int Load(const SpeakerDatabaseIndex& index, const std::string& name, int slot = 0) {
    return LoadSpeakerType(index, name, table_, slot, model_, defaultSymbol_);
  }

  SpeakerTypeTable table_;
  ObjectList model_;
  GraphicObject* defaultSymbol_ = nullptr;
};

// R0 plain, R1 failing its check with a chain, R2 with a chain, R3 plain.
std::vector<uint8_t> V140WithAFailingRecord(size_t damagedOffset) {
  std::vector<uint8_t> file = DatabaseHeader(kSpeakerDatabaseV140Magic, 4);
  Append(file, SealedBytes(MakeRecord("R0", 0)));
  std::vector<uint8_t> failing = SealedBytes(MakeRecord("R1", 1), kChain);
  failing[damagedOffset] ^= 0x40;
  Append(file, failing);
  Append(file, ChainBytes(TwoPartShape()));
  Append(file, SealedBytes(MakeRecord("R2", 2), kChain));
  Append(file, ChainBytes(TwoPartShape()));
  Append(file, SealedBytes(MakeRecord("R3", 3)));
  return file;
}

TEST_F(SpeakerIndexTest, AFailingV140RecordIsSkippedWithItsChainWhenItsHeaderOpens) {
  MessageRecorder messages;
  SpeakerDatabaseIndex index = Open("skip.KSB", V140WithAFailingRecord(5000));  // a balloon byte
  EXPECT_EQ(index.version, SpeakerDatabaseVersion::kV140);
  EXPECT_EQ(Names(index), (std::vector<std::string>{"R0", "R2", "R3"}));
  EXPECT_EQ(index.entries[0].recordOffset, 32u);
  EXPECT_EQ(index.entries[0].shapeOffset, 0u);
  EXPECT_EQ(index.entries[1].recordOffset, 32u + 2 * 19160 + kChain);
  EXPECT_EQ(index.entries[1].shapeOffset, 32u + 3 * 19160 + kChain);
  EXPECT_EQ(index.entries[2].recordOffset, 32u + 3 * 19160 + 2 * kChain);
  EXPECT_EQ(index.path, PathOf("skip.KSB"));
  EXPECT_EQ(index.folder, dir_.string() + "/");

  // The owner region damaged: the header does not open and the chain length
  // is unknown, but the chain behind the record's fixed length walks.
  SpeakerDatabaseIndex walked = Open("walk.KSB", V140WithAFailingRecord(480));
  ASSERT_EQ(Names(walked), (std::vector<std::string>{"R0", "R2", "R3"}));
  EXPECT_EQ(walked.entries[1].recordOffset, 32u + 2 * 19160 + kChain);
  EXPECT_TRUE(messages.texts().empty());
}

// Records whose headers do not open, with and without chains and one after
// the other, cost only themselves.
TEST_F(SpeakerIndexTest, FailingV140RecordsWhoseHeadersDoNotOpenAreSkippedByTheirLength) {
  const std::vector<uint8_t> chain = ChainBytes(TwoPartShape());
  std::vector<uint8_t> file = DatabaseHeader(kSpeakerDatabaseV140Magic, 6);
  size_t offsetOfR5 = 0;
  for (int i = 0; i < 6; ++i) {
    const bool damaged = i == 1 || i == 2 || i == 3;  // R1 plain, R2 with a chain, R3 plain
    const bool chained = i == 2 || i == 4;
    std::vector<uint8_t> record = SealedBytes(MakeRecord("R" + std::to_string(i), i), chained ? kChain : 0);
    if (damaged) record[kTypeCheckWord] ^= 0x01;
    if (i == 5) offsetOfR5 = file.size();
    Append(file, record);
    if (chained) Append(file, chain);
  }
  SpeakerDatabaseIndex index = Open("damaged.KSB", file);
  ASSERT_EQ(Names(index), (std::vector<std::string>{"R0", "R4", "R5"}));
  EXPECT_EQ(index.entries[2].recordOffset, offsetOfR5);
  EXPECT_EQ(Load(index, "R5"), 1);

  // The last record damaged, its chain behind it.
  std::vector<uint8_t> last = DatabaseHeader(kSpeakerDatabaseV140Magic, 2);
  Append(last, SealedBytes(MakeRecord("R0", 0)));
  std::vector<uint8_t> failing = SealedBytes(MakeRecord("R1", 1), kChain);
  failing[kTypeCheckWord] ^= 0x01;
  Append(last, failing);
  Append(last, chain);
  EXPECT_EQ(Names(Open("last.KSB", last)), std::vector<std::string>{"R0"});
}

TEST_F(SpeakerIndexTest, CutFilesAndOverstatedCountsEndAfterTheLastWholeRecord) {
  std::vector<uint8_t> cutRecord = V140WithAFailingRecord(5000);
  cutRecord.resize(32 + 3 * 19160 + 2 * kChain + 19000);
  std::vector<uint8_t> cutChain = V140WithAFailingRecord(5000);
  cutChain.resize(32 + 3 * 19160 + kChain + 100);
  std::vector<uint8_t> overstated = DatabaseHeader(kSpeakerDatabaseV140Magic, -1);  // 65535 as the u16 count
  Append(overstated, SealedBytes(MakeRecord("R0", 0)));
  struct Case {
    const std::vector<uint8_t>& file;
    std::vector<std::string> names;
  } cases[] = {{cutRecord, {"R0", "R2"}}, {cutChain, {"R0", "R2"}}, {overstated, {"R0"}}};
  for (const Case& c : cases) EXPECT_EQ(Names(Open("cut.KSB", c.file)), c.names);
}

TEST_F(SpeakerIndexTest, OlderVersionsAreIndexedByRecordSize) {
  std::vector<uint8_t> v11 = DatabaseHeader(kSpeakerDatabaseV11Magic, 0);
  Append(v11, OlderRecord("NINECHARS"));  // a name that fills its field
  Append(v11, OlderRecord("OLD2"));
  v11.resize(v11.size() + 50, 0xEE);
  SpeakerDatabaseIndex older = Open("v11.KSB", v11);
  EXPECT_EQ(older.version, SpeakerDatabaseVersion::kV11);
  EXPECT_EQ(Names(older), (std::vector<std::string>{"NINECHARS", "OLD2"}));
  EXPECT_EQ(older.entries[1].recordOffset, 32u + 18344);

  std::vector<uint8_t> v130 = DatabaseHeader(kSpeakerDatabaseV130Magic, 0);
  Append(v130, SealedBytes(MakeRecord("A", 1)));
  std::vector<uint8_t> failing = SealedBytes(MakeRecord("B", 2));
  failing[480] ^= 1;
  Append(v130, failing);
  Append(v130, SealedBytes(MakeRecord("C", 3)));
  SpeakerDatabaseIndex v130Index = Open("v130.KSB", v130);
  EXPECT_EQ(v130Index.version, SpeakerDatabaseVersion::kV130);
  EXPECT_EQ(Names(v130Index), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(v130Index.entries[1].recordOffset, 32u + 2 * 19160);
}

TEST_F(SpeakerIndexTest, TheIndexHoldsAt512Records) {
  std::vector<uint8_t> v11 = DatabaseHeader(kSpeakerDatabaseV11Magic, 0);
  for (int i = 0; i < 513; ++i) Append(v11, OlderRecord("N" + std::to_string(i)));
  SpeakerDatabaseIndex index = Open("big.KSB", v11);
  ASSERT_EQ(index.entries.size(), 512u);
  EXPECT_EQ(index.entries.back().name, "N511");
}

TEST_F(SpeakerIndexTest, AFileOfAnotherKindLeavesTheLoadedIndex) {
  SpeakerDatabaseIndex index = Open("good.KSB", V140WithAFailingRecord(5000));
  index.position = 2;
  std::vector<uint8_t> wrong = DatabaseHeader("KORVANE SPEAKER DATABASE V150", 1);
  MessageRecorder messages;
  EXPECT_EQ(OpenSpeakerDatabaseIndex(index, WriteFile("wrong.KSB", wrong)), 0);
  EXPECT_EQ(messages.texts(), Texts{"Invalid file format"});
  EXPECT_EQ(OpenSpeakerDatabaseIndex(index, PathOf("none.KSB")), -1);
  EXPECT_EQ(messages.texts().size(), 1u);
  EXPECT_EQ(index.path, PathOf("good.KSB"));
  EXPECT_EQ(index.entries.size(), 3u);
  EXPECT_EQ(index.position, 2);
  EXPECT_EQ(OpenSpeakerDatabaseIndex(index, PathOf("good.KSB")), 1);
  EXPECT_EQ(index.position, 0);
}

TEST_F(SpeakerIndexTest, CommentsComeFromOpenedHeadersOrPlainOlderRecords) {
  std::vector<uint8_t> v11 = DatabaseHeader(kSpeakerDatabaseV11Magic, 0);
  Append(v11, OlderRecord("OLD1"));
  const SpeakerDatabaseIndex older = Open("v11.KSB", v11);
  const SpeakerDatabaseIndex current = Open("v140.KSB", V140WithAFailingRecord(5000));
  std::string comment;
  ASSERT_EQ(ReadIndexedComment(older, 0, comment), 1);
  EXPECT_EQ(comment, "Comment of OLD1");
  ASSERT_EQ(ReadIndexedComment(current, 1, comment), 1);
  EXPECT_EQ(comment, "Comment of R2");
  EXPECT_EQ(ReadIndexedComment(current, 3, comment), 0);
  EXPECT_EQ(ReadIndexedComment(current, -1, comment), 0);
}

TEST_F(SpeakerIndexTest, AV140TypeLoadsWithItsChainAsOneShape) {
  const SpeakerDatabaseIndex index = Open("v140.KSB", V140WithAFailingRecord(5000));
  GraphicObject* before = CreateObject(0, 0, 0);
  AppendObjectToList(before, model_);
  ASSERT_EQ(Load(index, "r2", 4), 1);  // found without regard to case
  const SpeakerType& type = *table_.types[4];
  EXPECT_EQ(table_.count, 0);  // the count is the caller's
  ExpectSameRecord(type, MakeRecord("R2", 2));
  EXPECT_EQ(type.LayoutFlag(), kCurrentSpeakerLayout);

  const GraphicObject* shape = type.shape;
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(model_.first, shape);
  EXPECT_EQ(shape->next, before);
  EXPECT_EQ(shape->kind, kKindSolid);
  EXPECT_EQ(shape->state, 134u);
  EXPECT_EQ(shape->layer, 3u);
  // The line's vertices follow the triangle's, its items shifted by three;
  // the reference points end the shape.
  ASSERT_EQ(shape->vertexCount, 7u);
  EXPECT_EQ(shape->vertices[3].x, -1.0f);
  EXPECT_EQ(shape->vertices[5].x, 1.0f);
  EXPECT_EQ(shape->vertices[6].z, 1.0f);
  ASSERT_EQ(shape->itemCount, 5u);
  EXPECT_EQ(shape->items[3].op, kOpStart);
  EXPECT_EQ(shape->items[3].index, 3);
  EXPECT_EQ(shape->items[4].index, 4);

  // A type without a chain takes the default symbol; a failing record or an
  // unknown name does not load.
  ASSERT_EQ(Load(index, "R3", 5), 1);
  EXPECT_EQ(table_.types[5]->shape, defaultSymbol_);
  EXPECT_EQ(Load(index, "R1"), 0);
  EXPECT_EQ(Load(index, "R9"), 0);
  EXPECT_EQ(Load(index, "R0", 500), 0);
  EXPECT_EQ(LoadSpeakerType(SpeakerDatabaseIndex{}, "R0", table_, 0, model_, defaultSymbol_), 0);
}

TEST_F(SpeakerIndexTest, OlderTypesGainTheLastRowAndTheirShapeFile) {
  std::vector<uint8_t> v11 = DatabaseHeader(kSpeakerDatabaseV11Magic, 0);
  Append(v11, OlderRecord("OLD1"));
  Append(v11, OlderRecord("OLD2"));
  std::fill_n(v11.begin() + 32 + 192, 8, uint8_t(0xA5));  // the old program's shape pointer and link
  const SpeakerDatabaseIndex index = Open("v11.KSB", v11);
  WriteFile("old1.TCF", TarnikFile(4.0f));

  ASSERT_EQ(Load(index, "OLD1", 0), 1);
  const SpeakerType& type = *table_.types[0];
  EXPECT_EQ(type.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_EQ(type.Comment(), "Comment of OLD1");
  for (int band = 0; band < 7; ++band)
    for (int column = 0; column < 72; ++column) {
      ASSERT_EQ(type.BalloonCode(band, 35, column), uint8_t(band * 37 + 35 + column));
      ASSERT_EQ(type.BalloonCode(band, 36, column), type.BalloonCode(band, 35, column));
    }
  EXPECT_EQ(ReadTextField(std::span(type.bytes).subspan(470, 20)), "KORVANE V2.80  ");
  EXPECT_EQ(LoadU32(&type.bytes[192]), 0u);
  EXPECT_EQ(LoadU32(&type.bytes[196]), 0u);
  ASSERT_NE(type.shape, defaultSymbol_);
  EXPECT_EQ(type.shape->vertexCount, 5u);
  EXPECT_EQ(type.shape->vertices[0].z, 4.0f);
  EXPECT_EQ(type.shape->layer, 3u);

  ASSERT_EQ(Load(index, "OLD2", 1), 1);
  EXPECT_EQ(table_.types[1]->shape, defaultSymbol_);
}

TEST_F(SpeakerIndexTest, UseFindsTypesExactlyAndLoadsTheOthers) {
  const SpeakerDatabaseIndex index = Open("v140.KSB", V140WithAFailingRecord(5000));
  Loudspeaker speaker;
  auto use = [&](const std::string& name) {
    return UseSpeakerType(index, name, speaker, table_, model_, defaultSymbol_);
  };
  ASSERT_EQ(use("R2"), 1);
  EXPECT_EQ(speaker.typeIndex, 0);
  ASSERT_EQ(use("R0"), 1);
  EXPECT_EQ(speaker.typeIndex, 1);
  ASSERT_EQ(use("R2"), 1);
  EXPECT_EQ(speaker.typeIndex, 0);
  EXPECT_EQ(table_.count, 2);
  // In the project the name is compared exactly: another case loads a copy.
  ASSERT_EQ(use("r2"), 1);
  EXPECT_EQ(speaker.typeIndex, 2);
  EXPECT_EQ(table_.types[2]->TypeName(), "R2");

  MessageRecorder messages;
  EXPECT_EQ(use("R1"), 0);
  EXPECT_EQ(speaker.typeIndex, 2);
  EXPECT_EQ(messages.texts(), Texts{"Loudspeaker not available in database"});
  EXPECT_EQ(table_.count, 3);
}

TEST_F(SpeakerIndexTest, AFullTypeTableRefusesANewType) {
  const SpeakerDatabaseIndex index = Open("v140.KSB", V140WithAFailingRecord(5000));
  for (int i = 0; i < kMaxSpeakerTypes; ++i) {
    table_.types[size_t(i)] = AllocSpeakerType();
    table_.types[size_t(i)]->SetTypeName("T" + std::to_string(i));
  }
  table_.count = kMaxSpeakerTypes;
  Loudspeaker speaker;
  MessageRecorder messages;
  EXPECT_EQ(UseSpeakerType(index, "T499", speaker, table_, model_, defaultSymbol_), 1);
  EXPECT_EQ(speaker.typeIndex, 499);
  EXPECT_EQ(UseSpeakerType(index, "R2", speaker, table_, model_, defaultSymbol_), 0);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Maximum amount of loudspeaker types is 500");
  EXPECT_EQ(messages.messages()[0].caption, "Sorry!");
  EXPECT_EQ(model_.first, nullptr);
}

}  // namespace
