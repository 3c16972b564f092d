#include "design/model/speaker_database.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "database_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

using namespace db_fixtures;

using Texts = std::vector<std::string>;

void ExpectShape(const ObjectList& shape, const std::vector<ShapePart>& parts) {
  size_t p = 0;
  for (const GraphicObject* o = shape.first; o; o = o->next, ++p) {
    ASSERT_LT(p, parts.size());
    const ShapePart& part = parts[p];
    EXPECT_EQ(o->state, part.state);
    EXPECT_EQ(o->layer, part.layer);
    EXPECT_EQ(o->colour, part.colour);
    EXPECT_EQ(o->kind, part.kind);
    EXPECT_EQ(o->dataSize, 0u);
    ASSERT_EQ(o->vertexCount, part.vertices.size());
    ASSERT_EQ(o->itemCount, part.items.size());
    for (size_t i = 0; i < part.vertices.size(); ++i) {
      EXPECT_EQ(o->vertices[i].x, part.vertices[i].x);
      EXPECT_EQ(o->vertices[i].y, part.vertices[i].y);
      EXPECT_EQ(o->vertices[i].z, part.vertices[i].z);
    }
    for (size_t i = 0; i < part.items.size(); ++i) {
      EXPECT_EQ(o->items[i].op, part.items[i].op);
      EXPECT_EQ(o->items[i].index, part.items[i].index);
    }
  }
  EXPECT_EQ(p, parts.size());
}

// The two-part shape as a read gives it back: colour 0, kind from the items.
std::vector<ShapePart> AsRead(std::vector<ShapePart> parts) {
  parts[0].colour = parts[1].colour = 0;
  parts[0].kind = kKindFace;  // one close item
  parts[1].kind = 0;          // none
  return parts;
}

class SpeakerDatabaseFile : public ScratchFolder {};

TEST_F(SpeakerDatabaseFile, ThreeRecordsRoundTripAtTheirStoredOffsets) {
  const std::vector<SpeakerType> types = {MakeRecord("HORN12", 1), MakeRecord("SUB18", 2),
                                          MakeRecord("LOCKED", 3, "secret")};
  auto db = DatabaseOf(types, TwoPartShape());
  db->modified = true;
  ASSERT_EQ(SaveSpeakerDatabaseAs(*db, PathOf("three.KSB")), 1);
  EXPECT_EQ(db->fileName, PathOf("three.KSB"));
  EXPECT_FALSE(db->modified);

  const std::vector<uint8_t> file = ReadFile("three.KSB");
  // The chain: a triangle 48 + 3 x 12 + 3 x 4 = 96 bytes, a line 48 + 2 x 12 + 2 x 4 = 80.
  const size_t chain = 176;
  ASSERT_EQ(file.size(), 32 + 3 * 19160 + chain);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 29), "KORVANE SPEAKER DATABASE V140");
  EXPECT_EQ(file[29], 0);
  EXPECT_EQ(file[30], 3);
  EXPECT_EQ(file[31], 0);

  const size_t starts[] = {32, 32 + 19160 + chain, 32 + 2 * 19160 + chain};
  const uint32_t lengths[] = {chain, 0, 0};
  for (int r = 0; r < 3; ++r) {
    SpeakerType stored;
    std::copy_n(file.begin() + std::ptrdiff_t(starts[r]), kSpeakerTypeSize, stored.bytes.begin());
    EXPECT_NE(stored.TypeName(), types[size_t(r)].TypeName()) << "record " << r << " is sealed";
    ASSERT_EQ(UnsealSpeakerRecord(stored.Bytes()), 1) << r;
    EXPECT_EQ(LoadU32(&stored.bytes[196]), lengths[r]) << r;
    EXPECT_EQ(LoadU32(&stored.bytes[192]), lengths[r] ? 1u : 0u) << r;
    StoreU32(&stored.bytes[192], 0);
    StoreU32(&stored.bytes[196], 0);
    ExpectSameRecord(stored, types[size_t(r)]);
  }
  std::vector<ShapePart> written = TwoPartShape();
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 32 + 19160, file.begin() + 32 + 19160 + chain), ChainBytes(written));
  // The password is the record key: the locked record's text is mixed differently.
  EXPECT_EQ(ReadTextField(std::span(file).subspan(starts[2] + 470, 20)) == "secret", false);

  // The sealing never touched the records in memory.
  for (int r = 0; r < 3; ++r) EXPECT_EQ(db->records[size_t(r)].type->bytes, types[size_t(r)].bytes);

  auto read = std::make_unique<SpeakerDatabase>();
  MessageRecorder messages;
  ASSERT_EQ(ReadSpeakerDatabaseFile(*read, PathOf("three.KSB"), DatabaseLoad::kOpen), DatabaseReadResult::kLoaded);
  EXPECT_TRUE(messages.texts().empty());
  ASSERT_EQ(read->records.size(), 3u);
  for (int r = 0; r < 3; ++r) ExpectSameRecord(*read->records[size_t(r)].type, types[size_t(r)]);
  ExpectShape(read->records[0].shape.list(), AsRead(written));
  EXPECT_TRUE(read->records[1].shape.empty());
  EXPECT_TRUE(read->records[2].shape.empty());
  EXPECT_EQ(read->currentRecordIndex, 2);
  EXPECT_EQ(read->currentRecord.TypeName(), "LOCKED");
  EXPECT_EQ(read->fileName, PathOf("three.KSB"));
  EXPECT_FALSE(read->modified);

  // What was read writes the same file again.
  ASSERT_EQ(SaveSpeakerDatabaseAs(*read, PathOf("again.KSB")), 1);
  EXPECT_EQ(ReadFile("again.KSB").size(), file.size());
}

// A V140 file of `count` sealed records named R0, R1, ... with no shapes.
std::vector<uint8_t> PlainDatabase(int count, int16_t storedCount) {
  std::vector<uint8_t> file = DatabaseHeader(kSpeakerDatabaseV140Magic, storedCount);
  for (int i = 0; i < count; ++i) Append(file, SealedBytes(MakeRecord("R" + std::to_string(i), i)));
  return file;
}

TEST_F(SpeakerDatabaseFile, ReadingStopsAtABadRecordAndKeepsThoseBefore) {
  std::vector<uint8_t> failing = PlainDatabase(7, 7);
  failing[32 + 5 * 19160 + 600] ^= 0x20;  // the sixth record's balloon
  std::vector<uint8_t> cut = PlainDatabase(3, 3);
  cut.resize(32 + 2 * 19160 + 100);
  // A record whose chain length runs past the end of the file.
  std::vector<uint8_t> longChain = DatabaseHeader(kSpeakerDatabaseV140Magic, 2);
  Append(longChain, SealedBytes(MakeRecord("R0", 0)));
  Append(longChain, SealedBytes(MakeRecord("R1", 1), 500));
  Append(longChain, ChainBytes(TwoPartShape()));
  // A chain that ends (next 0) before its stored length.
  std::vector<uint8_t> shortChain = DatabaseHeader(kSpeakerDatabaseV140Magic, 2);
  Append(shortChain, SealedBytes(MakeRecord("R0", 0)));
  Append(shortChain, SealedBytes(MakeRecord("R1", 1), 176 + 4));
  Append(shortChain, ChainBytes(TwoPartShape()));
  Append(shortChain, {0, 0, 0, 0});
  // An item that names a vertex its object does not have: no stop.
  std::vector<ShapePart> stray = TwoPartShape();
  stray[1].items[1].index = 2;
  std::vector<uint8_t> strayIndex = DatabaseHeader(kSpeakerDatabaseV140Magic, 2);
  Append(strayIndex, SealedBytes(MakeRecord("R0", 0)));
  Append(strayIndex, SealedBytes(MakeRecord("R1", 1), 176));
  Append(strayIndex, ChainBytes(stray));

  struct Case {
    const char* name;
    const std::vector<uint8_t>& file;
    size_t kept;
  } cases[] = {
      {"failing", failing, 5},
      {"cut", cut, 2},
      {"long", longChain, 1},
      {"short", shortChain, 1},
  };
  for (const Case& c : cases) {
    MessageRecorder messages;
    auto db = DatabaseOf({MakeRecord("OLD", 9)});
    db->modified = true;
    EXPECT_EQ(ReadSpeakerDatabaseFile(*db, WriteFile(c.name, c.file), DatabaseLoad::kOpen),
              DatabaseReadResult::kStopped)
        << c.name;
    EXPECT_EQ(messages.texts(), Texts{"Can\xB4t load entire database"}) << c.name;
    ASSERT_EQ(db->records.size(), c.kept) << c.name;
    EXPECT_EQ(db->records.back().type->TypeName(), "R" + std::to_string(c.kept - 1)) << c.name;
    EXPECT_FALSE(db->modified);
  }

  // The packed codec drops the item, as welding does, and the record is read.
  MessageRecorder messages;
  auto db = DatabaseOf({});
  EXPECT_EQ(ReadSpeakerDatabaseFile(*db, WriteFile("stray", strayIndex), DatabaseLoad::kOpen),
            DatabaseReadResult::kLoaded);
  ASSERT_EQ(db->records.size(), 2u);
  const GraphicObject* line = db->records[1].shape.list().last;
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->itemCount, uint32_t(stray[1].items.size() - 1));
}

// Save as over a file that was read only in part asks first: Cancel keeps
// the fuller file, OK writes it; a file read whole or another name asks
// nothing.
TEST_F(SpeakerDatabaseFile, SavingOverAFileReadOnlyInPartAsksFirst) {
  std::vector<uint8_t> failing = PlainDatabase(7, 7);
  failing[32 + 5 * 19160 + 600] ^= 0x20;  // the sixth record's balloon
  const std::string path = WriteFile("part.KSB", failing);
  auto db = std::make_unique<SpeakerDatabase>();
  {
    MessageRecorder messages;
    ASSERT_EQ(ReadSpeakerDatabaseFile(*db, path, DatabaseLoad::kOpen), DatabaseReadResult::kStopped);
  }
  db->modified = true;
  {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    EXPECT_EQ(SaveSpeakerDatabaseAs(*db, path), 0);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, kOverwritePartlyReadMessage);
    EXPECT_EQ(messages.messages()[0].caption, "WARNING");
    EXPECT_EQ(ReadFile("part.KSB"), failing);
    EXPECT_TRUE(db->modified);
  }
  {
    MessageRecorder messages;
    EXPECT_EQ(SaveSpeakerDatabaseAs(*db, PathOf("other.KSB")), 1);
    EXPECT_TRUE(messages.texts().empty());
  }
  {
    MessageRecorder messages;
    messages.Answer(kIdOk);
    EXPECT_EQ(SaveSpeakerDatabaseAs(*db, path), 1);
    EXPECT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(ReadFile("part.KSB").size(), 32 + 5 * 19160u);
  }
  // Written whole now, it is saved over without a word.
  MessageRecorder messages;
  EXPECT_EQ(SaveSpeakerDatabaseAs(*db, path), 1);
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(SpeakerDatabaseFile, OtherFilesAreRefusedAndLeaveTheDatabaseAsItWas) {
  std::vector<uint8_t> noNul = PlainDatabase(1, 1);
  noNul[29] = 'X';
  std::vector<uint8_t> older = DatabaseHeader(kSpeakerDatabaseV11Magic, 0);
  std::vector<uint8_t> negative = PlainDatabase(1, -1);
  std::vector<uint8_t> tiny = {'K', 'O'};
  for (const auto* file : {&noNul, &older, &negative, &tiny}) {
    MessageRecorder messages;
    auto db = DatabaseOf({MakeRecord("OLD", 9)});
    db->modified = true;
    EXPECT_EQ(ReadSpeakerDatabaseFile(*db, WriteFile("other.KSB", *file), DatabaseLoad::kOpen),
              DatabaseReadResult::kNotRead);
    EXPECT_EQ(messages.texts(), Texts{"Invalid file"});
    ASSERT_EQ(db->records.size(), 1u);
    EXPECT_TRUE(db->modified);
    EXPECT_EQ(db->fileName, kNewSpeakerDatabaseName);
  }
  MessageRecorder silent;
  auto db = DatabaseOf({});
  EXPECT_EQ(ReadSpeakerDatabaseFile(*db, PathOf("missing.KSB"), DatabaseLoad::kOpen), DatabaseReadResult::kNotRead);
  EXPECT_TRUE(silent.texts().empty());
}

TEST_F(SpeakerDatabaseFile, MergeAppendsUpTo500AndMarksTheDatabaseModified) {
  auto db = std::make_unique<SpeakerDatabase>();
  {
    MessageRecorder messages;
    ASSERT_EQ(ReadSpeakerDatabaseFile(*db, WriteFile("a.KSB", PlainDatabase(300, 300)), DatabaseLoad::kOpen),
              DatabaseReadResult::kLoaded);
    EXPECT_FALSE(db->modified);
  }
  MessageRecorder messages;
  EXPECT_EQ(ReadSpeakerDatabaseFile(*db, WriteFile("b.KSB", PlainDatabase(300, 300)), DatabaseLoad::kMerge),
            DatabaseReadResult::kStopped);
  EXPECT_EQ(messages.texts(), Texts{"Can\xB4t load entire database"});
  ASSERT_EQ(db->records.size(), 500u);
  EXPECT_EQ(db->records[299].type->TypeName(), "R299");
  EXPECT_EQ(db->records[300].type->TypeName(), "R0");
  EXPECT_EQ(db->records[499].type->TypeName(), "R199");
  EXPECT_EQ(db->currentRecordIndex, 499);
  EXPECT_EQ(db->fileName, PathOf("b.KSB"));
  EXPECT_TRUE(db->modified);
}

TEST_F(SpeakerDatabaseFile, FailedSaveKeepsTheOldFileTheNameAndTheModifiedFlag) {
  auto db = DatabaseOf({MakeRecord("A", 1)});
  db->modified = true;
  db->fileName = "before.KSB";
  fs::create_directory(dir_ / "taken.KSB");
  // A file without write permission holds root back too.
  const std::string protectedPath = WriteFile("protected.KSB", {1, 2, 3});
  fs::permissions(protectedPath, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  struct Case {
    std::string path;
    const char* reason;
  } cases[] = {{PathOf("missing/x.KSB"), "No such file or directory"},
               {PathOf("taken.KSB"), "Is a directory"},
               {protectedPath, "Permission denied"}};
  for (const Case& c : cases) {
    MessageRecorder messages;
    EXPECT_EQ(SaveSpeakerDatabaseAs(*db, c.path), 0);
    EXPECT_EQ(messages.texts(), Texts{"Couldn\xB4t write data to disk !\n" + std::string(c.reason)});
    EXPECT_TRUE(db->modified);
    EXPECT_EQ(db->fileName, "before.KSB");
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.KSB"));
  EXPECT_EQ(ReadFile("protected.KSB"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(FileCount(), 2u);  // no temporary left behind

  auto empty = DatabaseOf({});
  EXPECT_EQ(SaveSpeakerDatabaseAs(*empty, PathOf("empty.KSB")), -1);
  EXPECT_FALSE(fs::exists(dir_ / "empty.KSB"));
}

TEST(SpeakerDatabase, NewAsksAboutUnsavedWorkAndKeepsAsking) {
  auto db = DatabaseOf({MakeRecord("A", 1), MakeRecord("B", 2)});
  db->modified = true;
  db->fileName = "/x/hall.KSB";
  {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    EXPECT_EQ(NewSpeakerDatabase(*db), 0);
    EXPECT_EQ(db->records.size(), 2u);
  }
  MessageRecorder messages;
  EXPECT_EQ(NewSpeakerDatabase(*db), 1);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Database has not been saved !");
  EXPECT_EQ(messages.messages()[0].caption, "WARNING");
  EXPECT_EQ(messages.messages()[0].flags, unsigned(kMsgOkCancel));
  EXPECT_TRUE(db->records.empty());
  EXPECT_EQ(db->fileName, "LS001.KSB");
  EXPECT_TRUE(db->modified);
  EXPECT_EQ(ConfirmDiscardDatabase(*db), 1);  // answered OK again
  EXPECT_EQ(messages.texts().size(), 2u);
}

TEST(SpeakerDatabase, CurrentRecordIsAWorkingCopy) {
  auto db = DatabaseOf({MakeRecord("A", 1), MakeRecord("B", 2)});
  ASSERT_TRUE(SelectCurrentRecord(*db, 1));
  db->currentRecord.SetTypeName("B2");
  EXPECT_EQ(db->records[1].type->TypeName(), "B");
  StoreCurrentRecord(*db);
  EXPECT_EQ(db->records[1].type->TypeName(), "B2");
  EXPECT_FALSE(SelectCurrentRecord(*db, 2));
  EXPECT_FALSE(SelectCurrentRecord(*db, -1));
  EXPECT_EQ(db->currentRecordIndex, 1);
}

TEST(SpeakerDatabase, ShapeKindAndTrimmedNames) {
  struct KindCase {
    std::vector<uint16_t> ops;
    uint32_t kind;
  } kinds[] = {{{0, 1, 1}, 0}, {{0, 3, 1, 2}, kKindFace}, {{0, 1, 2, 0, 1, 2}, kKindSolid}, {{}, 0}};
  for (const KindCase& c : kinds) {
    GraphicObject* o = CreateObject(0, 3, uint32_t(c.ops.size()));
    for (size_t i = 0; i < c.ops.size(); ++i) o->items[i] = {c.ops[i], 0};
    EXPECT_EQ(ShapeKindFromItems(*o), c.kind);
    ObjectList unlinked;
    FreeObjectInList(o, unlinked);
  }

  struct TrimCase {
    std::string stored, trimmed;
  } trims[] = {{"HORN  ", "HORN"}, {"HORN", "HORN"}, {"   ", ""}, {"A B ", "A B"}, {"NINECHARS", "NINECHARS"}};
  for (const TrimCase& c : trims) {
    std::vector<uint8_t> field(9, 0);
    std::copy(c.stored.begin(), c.stored.end(), field.begin());
    TrimTrailingSpaces(field);
    EXPECT_EQ(ReadTextField(field), c.trimmed) << '"' << c.stored << '"';
  }
}

// ---- The V130 conversion ----

class V130Conversion : public ScratchFolder {
 protected:
  // Three records, the first with trailing blanks in its name, and 100 bytes
  // of a fourth; shape files for two of them, one named in another case.
  void SetUp() override {
    ScratchFolder::SetUp();
    v130_ = DatabaseHeader(kSpeakerDatabaseV130Magic, 77);  // the count is not used
    SpeakerType horn = MakeRecord("HORN12", 1);
    std::copy_n("HORN12  ", 8, horn.bytes.begin() + kTypeName);
    Append(v130_, SealedBytes(horn));
    Append(v130_, SealedBytes(MakeRecord("SUB", 2)));
    Append(v130_, SealedBytes(MakeRecord("MID", 3, "secret")));
    v130_.resize(v130_.size() + 100, 0xAB);
    WriteFile("old.KSB", v130_);
    WriteFile("HORN12.TCF", TarnikFile(1.0f));
    WriteFile("sub.tcf", TarnikFile(2.0f));
    WriteFile("other.tcf", TarnikFile(3.0f));
  }
  std::vector<uint8_t> v130_;
};

TEST_F(V130Conversion, OpenConvertsRecordsAndShapesIntoV140) {
  auto db = std::make_unique<SpeakerDatabase>();
  MessageRecorder messages;
  ASSERT_EQ(ReadSpeakerDatabaseFile(*db, PathOf("old.KSB"), DatabaseLoad::kOpen), DatabaseReadResult::kLoaded);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Database will be converted to V2.30-format");
  EXPECT_EQ(messages.messages()[0].caption, "Obsolete format");

  ASSERT_EQ(db->records.size(), 3u);
  EXPECT_EQ(db->records[0].type->TypeName(), "HORN12");
  EXPECT_EQ(db->records[2].type->TypeName(), "MID");
  for (int r = 0; r < 2; ++r) {
    const ObjectList& shape = db->records[size_t(r)].shape.list();
    ASSERT_NE(shape.first, nullptr) << r;
    EXPECT_EQ(shape.first, shape.last);
    EXPECT_EQ(shape.first->vertexCount, 3u);  // no reference points in the editor
    EXPECT_EQ(shape.first->vertices[0].z, float(r + 1));
    EXPECT_EQ(shape.first->layer, 0u);
    EXPECT_EQ(shape.first->state, 0u);
    EXPECT_EQ(shape.first->kind, kKindFace);  // kind from the items, as every chain read
  }
  EXPECT_TRUE(db->records[2].shape.empty());

  // The file is V140 now; the shape files read are gone, the others stay.
  const std::vector<uint8_t> converted = ReadFile("old.KSB");
  EXPECT_EQ(SpeakerDatabaseVersionOf(converted), SpeakerDatabaseVersion::kV140);
  EXPECT_EQ(LoadI16(&converted[30]), 3);
  EXPECT_FALSE(fs::exists(dir_ / "HORN12.TCF"));
  EXPECT_FALSE(fs::exists(dir_ / "sub.tcf"));
  EXPECT_TRUE(fs::exists(dir_ / "other.tcf"));
  EXPECT_EQ(FileCount(), 2u);
}

TEST_F(V130Conversion, MergeSaysSoInItsOwnWords) {
  auto db = std::make_unique<SpeakerDatabase>();
  MessageRecorder messages;
  ASSERT_EQ(ReadSpeakerDatabaseFile(*db, PathOf("old.KSB"), DatabaseLoad::kMerge), DatabaseReadResult::kLoaded);
  EXPECT_EQ(messages.texts(), Texts{"Database will be converted to V2.xx-format"});
  EXPECT_TRUE(db->modified);
}

TEST_F(V130Conversion, AFailingWriteLeavesTheOldFileAndItsShapeFiles) {
  MessageRecorder messages;
  {
    FileSizeLimit limit(40000);  // two records fit, the third does not
    EXPECT_EQ(ConvertV130Database(PathOf("old.KSB")), 0);
  }
  EXPECT_EQ(messages.texts(), Texts{"Can\xB4t write file to Disk"});
  EXPECT_EQ(ReadFile("old.KSB"), v130_);
  EXPECT_TRUE(fs::exists(dir_ / "HORN12.TCF"));
  EXPECT_TRUE(fs::exists(dir_ / "sub.tcf"));
  EXPECT_EQ(FileCount(), 4u);  // no temporary left
}

TEST_F(V130Conversion, NothingConvertedIsAFailureThatKeepsTheFiles) {
  std::vector<uint8_t> allBad = v130_;
  for (int r = 0; r < 3; ++r) allBad[32 + size_t(r) * 19160 + 480] ^= 1;  // each owner region
  WriteFile("old.KSB", allBad);
  auto db = DatabaseOf({MakeRecord("KEPT", 1)});
  MessageRecorder messages;
  EXPECT_EQ(ReadSpeakerDatabaseFile(*db, PathOf("old.KSB"), DatabaseLoad::kOpen), DatabaseReadResult::kNotRead);
  EXPECT_EQ(messages.texts(), (Texts{"Database will be converted to V2.30-format", "Can\xB4t read record",
                                     "Can\xB4t read record", "Can\xB4t read record"}));
  EXPECT_EQ(ReadFile("old.KSB"), allBad);
  EXPECT_TRUE(fs::exists(dir_ / "HORN12.TCF"));
  ASSERT_EQ(db->records.size(), 1u);
}

TEST_F(V130Conversion, AFileWithoutRecordsBecomesAnEmptyV140Database) {
  WriteFile("empty.KSB", DatabaseHeader(kSpeakerDatabaseV130Magic, 0));
  auto db = DatabaseOf({MakeRecord("OLD", 1)});
  MessageRecorder messages;
  EXPECT_EQ(ReadSpeakerDatabaseFile(*db, PathOf("empty.KSB"), DatabaseLoad::kOpen), DatabaseReadResult::kLoaded);
  EXPECT_EQ(messages.texts(), Texts{"Database will be converted to V2.30-format"});
  EXPECT_TRUE(db->records.empty());
  EXPECT_EQ(ReadFile("empty.KSB"), DatabaseHeader(kSpeakerDatabaseV140Magic, 0));
}

TEST_F(V130Conversion, ShapeFilesAreLookedUpOnlyInsideTheFolder) {
  fs::create_directory(dir_ / "sub");
  WriteFile("sub/X.TCF", TarnikFile(0));
  const std::string folder = dir_.string() + "/";
  struct Case {
    std::string name, found;
  } cases[] = {
      {"HORN12", folder + "HORN12.TCF"},
      {"horn12  ", folder + "HORN12.TCF"},
      {"SUB", folder + "sub.tcf"},
      {"sub/X", ""},
      {"../x", ""},
      {"..", ""},
      {"   ", ""},
      {"", ""},
      {"NONE", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FindShapeFile(folder, c.name), c.found) << '"' << c.name << '"';
}

}  // namespace
