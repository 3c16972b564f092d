#include "speakerbase/record_operations.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/design/model/database_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

using db_fixtures::DatabaseOf;
using db_fixtures::MakeRecord;
using Texts = std::vector<std::string>;

std::vector<std::string> Names(const SpeakerDatabase& db) {
  std::vector<std::string> names;
  for (const SpeakerDatabaseRecord& r : db.records) names.push_back(r.type->TypeName());
  return names;
}

TEST(SessionOwnerBlockTest, HoldsTheSourceTextAndThePasswordAndZerosElsewhere) {
  const SessionOwnerBlock block = MakeSessionOwnerBlock("ABCDEFGHIJKLMNOPQRSTUVW");
  std::array<uint8_t, 312> expected{};
  const std::string source = "KSB V2.90";
  std::copy(source.begin(), source.end(), expected.begin());
  const std::string password = "ABCDEFGHIJKLMNOPQRST";  // its first 20 characters, no NUL
  std::copy(password.begin(), password.end(), expected.begin() + 270);
  EXPECT_EQ(block.bytes, expected);
}

TEST(AccessTest, OwnerAndSessionPasswordsDecideEditAndRotateButNotDelete) {
  struct Case {
    std::string owner, session;
    bool granted;
  } cases[] = {
      {"", "", true},
      {"", "A", true},
      {"", "B", true},
      {"A", "", false},
      {"A", "A", true},
      {"A", "B", false},
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST", true},  // 20 bytes without NUL
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRSU", false},
      {"A", "AB", false},
      {std::string("A\0xyz", 5), std::string("A\0q", 3), true},  // bytes behind the NUL do not count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("owner '" + c.owner + "', session '" + c.session + "'");
    SpeakerType record = MakeRecord("R", 1);
    WriteTextFieldFull(record.Password(), c.owner);
    const SessionOwnerBlock session = MakeSessionOwnerBlock(c.session);
    const Texts denied = c.granted ? Texts{} : Texts{"You can\xB4t change data in this record"};

    auto db = DatabaseOf({record});
    {
      MessageRecorder messages;
      EXPECT_EQ(CheckRecordAccess(*db, session), c.granted ? 1 : 0);
      EXPECT_EQ(messages.texts(), denied);
      if (!c.granted) {
        EXPECT_EQ(messages.messages()[0].caption, "ACCESS DENIED");
      }
    }
    {
      MessageRecorder messages;
      EXPECT_EQ(RotateBalloons(*db, session, kRotate90Steps), c.granted ? 1 : 0);
      EXPECT_EQ(db->modified, c.granted);
      EXPECT_EQ(db->records[0].type->bytes == record.bytes, !c.granted);
      EXPECT_EQ(messages.texts(), denied);
    }
    {
      MessageRecorder messages;
      EXPECT_EQ(DeleteCurrentRecord(*db), 1);  // answered OK
      EXPECT_EQ(messages.texts(), Texts{"Delete marked record ?"});
      EXPECT_TRUE(db->records.empty());
    }
  }
  // With no record nothing happens at all.
  MessageRecorder messages;
  auto empty = DatabaseOf({});
  EXPECT_EQ(CheckRecordAccess(*empty, MakeSessionOwnerBlock("")), -1);
  EXPECT_EQ(RotateBalloons(*empty, MakeSessionOwnerBlock(""), 1), 0);
  EXPECT_EQ(DeleteCurrentRecord(*empty), 0);
  EXPECT_TRUE(messages.texts().empty());
}

TEST(RotationTest, TurnsColumnsTowardsHigherNumbersAndComesBackAround) {
  SpeakerType record = MakeRecord("R", 1);
  for (size_t i = kTypeBalloon; i < kSpeakerTypeSize; ++i) record.bytes[i] = uint8_t(i * 7 % 251);
  auto db = DatabaseOf({record});
  const SessionOwnerBlock session = MakeSessionOwnerBlock("");

  ASSERT_EQ(RotateBalloons(*db, session, kRotatePlus5Steps), 1);
  const SpeakerType& turned = *db->records[0].type;
  for (int band : {0, 6})
    for (int row : {0, 36}) {
      EXPECT_EQ(turned.BalloonCode(band, row, 0), record.BalloonCode(band, row, 71));
      EXPECT_EQ(turned.BalloonCode(band, row, 1), record.BalloonCode(band, row, 0));
      EXPECT_EQ(turned.BalloonCode(band, row, 71), record.BalloonCode(band, row, 70));
    }
  ASSERT_EQ(RotateBalloons(*db, session, kRotateMinus5Steps), 1);
  EXPECT_EQ(db->records[0].type->bytes, record.bytes);
  EXPECT_EQ(db->currentRecord.bytes, record.bytes);

  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(RotateBalloons(*db, session, kRotate90Steps), 1);
    if (i == 1) {
      EXPECT_EQ(db->records[0].type->BalloonCode(3, 10, 36), record.BalloonCode(3, 10, 0));  // 180 degrees
    }
  }
  EXPECT_EQ(db->records[0].type->bytes, record.bytes);
}

TEST(RecordTableTest, AppendMakesTheSessionTheOwnerUpTo500Records) {
  auto db = DatabaseOf({MakeRecord("FIRST", 1)});
  const SessionOwnerBlock session = MakeSessionOwnerBlock("A");
  db->currentRecord = MakeRecord("NEW", 2, "B");
  ASSERT_EQ(AppendNewRecord(*db, session), 1);
  ASSERT_EQ(db->records.size(), 2u);
  const SpeakerType& added = *db->records[1].type;
  EXPECT_EQ(added.TypeName(), "NEW");
  EXPECT_TRUE(std::equal(session.bytes.begin(), session.bytes.end(), added.bytes.begin() + 200));
  EXPECT_TRUE(std::equal(added.bytes.begin(), added.bytes.begin() + 200, MakeRecord("NEW", 2).bytes.begin()));
  EXPECT_EQ(db->currentRecordIndex, 1);
  EXPECT_EQ(db->currentRecord.bytes, added.bytes);
  EXPECT_TRUE(db->modified);
  EXPECT_TRUE(RecordAccessGranted(added, session));

  while (db->records.size() < 500) ASSERT_EQ(AppendNewRecord(*db, session), 1);
  EXPECT_EQ(AppendNewRecord(*db, session), 0);
  EXPECT_EQ(db->records.size(), 500u);
}

TEST(RecordTableTest, DeleteAsksAndMovesTheCurrentRecordBackToTheFirst) {
  auto db = DatabaseOf({MakeRecord("A", 1), MakeRecord("B", 2), MakeRecord("C", 3)});
  ASSERT_TRUE(SelectCurrentRecord(*db, 2));
  {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    EXPECT_EQ(DeleteCurrentRecord(*db), 0);
    EXPECT_EQ(db->records.size(), 3u);
    EXPECT_FALSE(db->modified);
    EXPECT_EQ(messages.messages()[0].caption, "WARNING");
  }
  MessageRecorder messages;
  ASSERT_EQ(DeleteCurrentRecord(*db), 1);
  EXPECT_EQ(Names(*db), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(db->currentRecordIndex, 0);
  EXPECT_EQ(db->currentRecord.TypeName(), "A");
  EXPECT_TRUE(db->modified);
  ASSERT_TRUE(SelectCurrentRecord(*db, 0));
  ASSERT_EQ(DeleteCurrentRecord(*db), 1);
  EXPECT_EQ(db->currentRecordIndex, 0);
  EXPECT_EQ(db->currentRecord.TypeName(), "B");
}

TEST(RecordTableTest, SortIsByteOrderAndStable) {
  SpeakerType firstB = MakeRecord("B", 1);
  SpeakerType secondB = MakeRecord("B", 2);
  SpeakerType full = MakeRecord("", 3);
  std::copy_n("ZZZZZZZZZ", 9, full.bytes.begin() + kTypeName);  // a name filling all 9 bytes
  SpeakerType longer = MakeRecord("", 4);
  std::copy_n("ZZZZZZZZY", 9, longer.bytes.begin() + kTypeName);
  auto db = DatabaseOf({full, firstB, MakeRecord("a", 5), longer, MakeRecord("A", 6), secondB});
  ASSERT_TRUE(SelectCurrentRecord(*db, 3));
  SortRecordsByTypeName(*db);
  EXPECT_EQ(Names(*db), (std::vector<std::string>{"A", "B", "B", "ZZZZZZZZY", "ZZZZZZZZZ", "a"}));
  EXPECT_EQ(db->records[1].type->Brand(), "BRAND1");
  EXPECT_EQ(db->records[2].type->Brand(), "BRAND2");
  EXPECT_EQ(db->currentRecordIndex, 0);
  EXPECT_EQ(db->currentRecord.TypeName(), "A");
  EXPECT_TRUE(db->modified);

  EXPECT_EQ(CompareRecordsByTypeName(firstB, secondB), 0);
  SpeakerType junkBehindNul = MakeRecord("B", 7);
  std::copy_n("B\0XYZ", 5, junkBehindNul.bytes.begin() + kTypeName);
  EXPECT_EQ(CompareRecordsByTypeName(junkBehindNul, firstB), 0);
  EXPECT_LT(CompareRecordsByTypeName(MakeRecord("B", 1), MakeRecord("a", 1)), 0);
  EXPECT_GT(CompareRecordsByTypeName(MakeRecord("BA", 1), MakeRecord("B", 1)), 0);
  // Bytes from 128 on sort after ASCII.
  EXPECT_GT(CompareRecordsByTypeName(MakeRecord("\xC4", 1), MakeRecord("Z", 1)), 0);

  auto one = DatabaseOf({MakeRecord("A", 1)});
  SortRecordsByTypeName(*one);
  EXPECT_FALSE(one->modified);
}

TEST(RecordTableTest, AnEditedHeaderTakesTheSessionBlockAndStamps) {
  auto db = DatabaseOf({MakeRecord("A", 1), MakeRecord("B", 2, "old")});
  ASSERT_TRUE(SelectCurrentRecord(*db, 1));
  SpeakerType edited = db->currentRecord;
  edited.SetTypeName("B2");
  for (size_t i = kTypeBalloon; i < kSpeakerTypeSize; ++i) edited.bytes[i] = 0;  // only the header counts
  const SessionOwnerBlock session = MakeSessionOwnerBlock("new");
  StoreEditedHeader(*db, session, edited, 0x12345678);

  const SpeakerType& stored = *db->records[1].type;
  EXPECT_EQ(stored.TypeName(), "B2");
  EXPECT_EQ(ReadTextField(std::span(stored.bytes).subspan(470, 20)), "new");
  EXPECT_EQ(ReadTextField(std::span(stored.bytes).subspan(200, 41)), "KSB V2.90");
  EXPECT_EQ(LoadU32(&stored.bytes[491]), 0x12345678u);
  EXPECT_EQ(LoadU32(&stored.bytes[495]), 0x12345678u);
  EXPECT_TRUE(std::equal(stored.bytes.begin() + kTypeBalloon, stored.bytes.end(),
                         MakeRecord("B", 2).bytes.begin() + kTypeBalloon));
  EXPECT_EQ(db->currentRecord.bytes, stored.bytes);
  EXPECT_EQ(db->records[0].type->TypeName(), "A");
  EXPECT_TRUE(db->modified);
}

}  // namespace
