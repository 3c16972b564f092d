#include "design/model/speaker_type.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "speaker_fixtures.h"
#include "tests/design/model/older_format_fixtures.h"

namespace {

// A current-layout record whose every byte is set, with a password.
SpeakerType SampleRecord() {
  SpeakerType type;
  for (size_t i = 0; i < kSpeakerTypeSize; ++i) type.bytes[i] = uint8_t(i * 31 + 7);
  type.SetBrand("ACME");
  type.SetTypeName("HORN12");
  type.SetComment("Two-way horn");
  type.SetLayoutFlag(kCurrentSpeakerLayout);
  WriteTextField(type.Password(), "secret");
  return type;
}

bool IsScrambled(size_t offset) { return offset != kTypeLayoutFlag && (offset < 454 || offset > 461); }

// Everything but the two check values.
void ExpectSameRecord(const SpeakerType& a, const SpeakerType& b) {
  for (size_t i = 0; i < kSpeakerTypeSize; ++i)
    if (i < kTypeChecksum || i >= kTypeCheckWord + 4) {
      ASSERT_EQ(a.bytes[i], b.bytes[i]) << "offset " << i;
    }
}

TEST(ScrambleBlockTest, MixesWithRecordKeyAndKeyTableAndSumsPlainBytes) {
  std::vector<uint8_t> block = {0x00, 0x10, 0xFF};
  const std::vector<uint8_t> key = {0x01, 0x02};
  // Masks: key[0]^table[0], key[1]^table[7], key[0]^table[14].
  EXPECT_EQ(ScrambleBlock(block, key, true), 255u + 239u + 0u);
  EXPECT_EQ(block, (std::vector<uint8_t>{0x01 ^ 0x5a, 0x10 ^ 0x02 ^ 0x6a, 0xFF ^ 0x01 ^ 0x45}));
  EXPECT_EQ(ScrambleBlock(block, key, false), 494u);
  EXPECT_EQ(block, (std::vector<uint8_t>{0x00, 0x10, 0xFF}));
  EXPECT_EQ(SpeakerCheckWordMask(), 0x6a4fd27bu);
}

TEST(ScrambleBlockTest, UsesEveryKeyTableByteOnceIn32Bytes) {
  std::vector<uint8_t> zeros(33, 0);
  const std::vector<uint8_t> key(20, 0);
  ScrambleBlock(zeros, key, true);
  std::vector<uint8_t> first32(zeros.begin(), zeros.begin() + 32);
  std::vector<uint8_t> table(kSpeakerKeyTable.begin(), kSpeakerKeyTable.end());
  std::sort(first32.begin(), first32.end());
  std::sort(table.begin(), table.end());
  EXPECT_EQ(first32, table);
  EXPECT_EQ(zeros[32], kSpeakerKeyTable[0]);
}

TEST(SealTest, UnsealGivesTheRecordBack) {
  const SpeakerType plain = SampleRecord();
  SpeakerType sealed = plain;
  SealSpeakerRecord(sealed.Bytes());
  EXPECT_EQ(sealed.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_NE(sealed.TypeName(), plain.TypeName());

  SpeakerType opened = sealed;
  ASSERT_EQ(UnsealSpeakerRecord(opened.Bytes()), 1);
  ExpectSameRecord(opened, plain);
  // Byte 71 and the check values read the same sealed and opened.
  for (size_t i = kTypeChecksum; i < kTypeCheckWord + 4; ++i) EXPECT_EQ(opened.bytes[i], sealed.bytes[i]);
}

TEST(SealTest, ByteOf71IsNeverScrambled) {
  SpeakerType type = SampleRecord();
  type.SetLayoutFlag(5);
  SealSpeakerRecord(type.Bytes());
  EXPECT_EQ(type.LayoutFlag(), 5);
}

TEST(SealTest, EmptyPasswordStillScramblesByTheKeyTable) {
  SpeakerType plain = SampleRecord();
  std::fill(plain.Password().begin(), plain.Password().end(), uint8_t(0));
  SpeakerType sealed = plain;
  SealSpeakerRecord(sealed.Bytes());
  // With a zero record key the mask is the key table, none of whose bytes is 0.
  for (size_t i = 0; i < kSpeakerTypeSize; ++i) {
    const bool keyedByPassword = i <= 70 || (i >= 72 && i <= 453) || i >= kTypeBalloon;
    if (keyedByPassword && i != kTypeLayoutFlag) {
      ASSERT_NE(sealed.bytes[i], plain.bytes[i]) << "offset " << i;
    }
  }
  ASSERT_EQ(UnsealSpeakerRecord(sealed.Bytes()), 1);
  ExpectSameRecord(sealed, plain);
}

TEST(SealTest, OneBitChangeAnywhereInAScrambledRegionFailsTheFullUnseal) {
  SpeakerType sealed = SampleRecord();
  SealSpeakerRecord(sealed.Bytes());
  for (size_t i = 0; i < kSpeakerTypeSize; ++i) {
    if (!IsScrambled(i)) continue;
    SpeakerType damaged = sealed;
    damaged.bytes[i] ^= uint8_t(1u << (i % 8));
    ASSERT_EQ(UnsealSpeakerRecord(damaged.Bytes()), 0) << "offset " << i;
  }
  for (size_t i : {kTypeChecksum, kTypeCheckWord + 3}) {
    SpeakerType damaged = sealed;
    damaged.bytes[i] ^= 0x10;
    EXPECT_EQ(UnsealSpeakerRecord(damaged.Bytes()), 0) << "offset " << i;
  }
}

TEST(SealTest, HeaderUnsealChecksOnlyTheOwnerRegionAndItsKey) {
  struct Case {
    size_t offset;
    int header;
  } cases[] = {
      {0, 1},     {20, 1},
      {72, 1},    {196, 1},
      {453, 1},   {512, 1},
      {19159, 1}, {kTypeChecksum, 1},  // the total is not compared
      {21, 0},    {70, 0},
      {462, 0},   {470, 0},
      {511, 0},   {kTypeCheckWord, 0},
  };
  const SpeakerType plain = SampleRecord();
  SpeakerType sealed = plain;
  SealSpeakerRecord(sealed.Bytes());
  for (const Case& c : cases) {
    SpeakerType damaged = sealed;
    damaged.bytes[c.offset] ^= 0x04;
    EXPECT_EQ(UnsealSpeakerHeader(damaged.Bytes()), c.header) << "offset " << c.offset;
  }

  // The first 512 bytes are enough: names and band data come out plain, the
  // balloon stays scrambled.
  std::vector<uint8_t> head(sealed.bytes.begin(), sealed.bytes.begin() + kTypeBalloon);
  ASSERT_EQ(UnsealSpeakerHeader(head), 1);
  EXPECT_TRUE(std::equal(head.begin(), head.begin() + 454, plain.bytes.begin()));
  EXPECT_EQ(UnsealSpeakerHeader(std::span(head).first(511)), 0);
  SpeakerType headOnly = sealed;
  ASSERT_EQ(UnsealSpeakerHeader(headOnly.Bytes()), 1);
  EXPECT_NE(headOnly.BalloonCode(0, 0, 0), plain.BalloonCode(0, 0, 0));
}

// Known answers worked out apart from this code, from the scrambler's steps:
// the text, band and balloon regions keyed by the password "OWNER" (20
// bytes, NUL-padded), then the owner region keyed by the already scrambled
// bytes 21-70; each block restarts both key indexes. Plain byte i is i % 251.
TEST(SealTest, SealedBytesAndCheckValuesOfAKnownRecord) {
  SpeakerType type;
  for (size_t i = 0; i < kSpeakerTypeSize; ++i) type.bytes[i] = uint8_t(i % 251);
  type.SetLayoutFlag(kCurrentSpeakerLayout);
  std::fill(type.Password().begin(), type.Password().end(), uint8_t(0));
  WriteTextField(type.Password(), "OWNER");
  SealSpeakerRecord(type.Bytes());

  EXPECT_EQ(type.Checksum(), 0x00262b29u);
  EXPECT_EQ(type.CheckWord(), 0x6a4fcf97u);
  EXPECT_EQ(type.LayoutFlag(), kCurrentSpeakerLayout);
  const std::pair<size_t, std::array<uint8_t, 8>> windows[] = {
      {0, {0x15, 0x3C, 0x09, 0xF1, 0xE1, 0xE5, 0x05, 0xAE}},      // byte 0: 0 ^ 'O' ^ 0x5a
      {64, {0x48, 0x2B, 0x07, 0xF4, 0xF3, 0xA5, 0x45, 0x02}},     // text end, byte 71 plain
      {72, {0x5D, 0x74, 0x41, 0xB9, 0xA9, 0xAD, 0x4D, 0xE6}},     // band start
      {446, {0xA2, 0xF8, 0x4D, 0x36, 0x35, 0xC4, 0xFD, 0x03}},    // band end
      {462, {0xF6, 0x87, 0xFE, 0xA3, 0x89, 0xD0, 0xCD, 0x14}},    // owner region
      {504, {0xAD, 0x30, 0x27, 0xD1, 0x63, 0x35, 0x6B, 0x10}},    // owner region end
      {512, {0x1F, 0x36, 0x07, 0xFF, 0xEB, 0xEF, 0x13, 0xB8}},    // balloon start
      {19152, {0xC5, 0x46, 0x8F, 0xD8, 0x2F, 0x6C, 0x33, 0x6F}},  // balloon end
  };
  for (const auto& [offset, expected] : windows) {
    std::array<uint8_t, 8> sealed;
    std::copy_n(type.bytes.begin() + std::ptrdiff_t(offset), 8, sealed.begin());
    EXPECT_EQ(sealed, expected) << "offset " << offset;
  }
}

TEST(SpeakerTypeRecordTest, ResetClearsTheHeadAndFlattensTheBalloon) {
  SpeakerType type = SampleRecord();
  const SpeakerType before = type;
  ResetSpeakerType(type);
  EXPECT_EQ(type.Brand(), "");
  EXPECT_EQ(type.TypeName(), "");
  // The head is zero but for the layout flag, which stays the current one
  // so that the record is written and read again in its own layout.
  EXPECT_TRUE(std::all_of(type.bytes.begin(), type.bytes.begin() + kTypeLayoutFlag, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(type.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_TRUE(std::all_of(type.bytes.begin() + kTypeLayoutFlag + 1, type.bytes.begin() + 132,
                          [](uint8_t b) { return b == 0; }));
  for (int band = 0; band < kBandCount; ++band) EXPECT_EQ(type.DirectivityQ10(band), 1);
  EXPECT_TRUE(std::all_of(type.bytes.begin() + kTypeBalloon, type.bytes.end(), [](uint8_t b) { return b == 225; }));
  EXPECT_TRUE(std::equal(type.bytes.begin() + 132, type.bytes.begin() + 146, before.bytes.begin() + 132));
  EXPECT_TRUE(std::equal(type.bytes.begin() + 160, type.bytes.begin() + 512, before.bytes.begin() + 160));
}

TEST(SpeakerTypeRecordTest, AccessorsReadTheStoredOffsets) {
  SpeakerType type;
  StoreF32(&type.bytes[76 + 4 * 3], 97.5f);
  StoreF32(&type.bytes[104 + 4 * 6], 250.0f);
  StoreI16(&type.bytes[146 + 2 * 2], 84);
  StoreI32(&type.bytes[196], -1);
  type.bytes[512 + 2664 * 4 + 72 * 10 + 5] = 200;
  EXPECT_EQ(type.Sensitivity(3), 97.5f);
  EXPECT_EQ(type.RatedPower(6), 250.0f);
  EXPECT_EQ(type.DirectivityQ10(2), 84);
  EXPECT_EQ(type.ShapeField(), -1);
  EXPECT_EQ(type.BalloonCode(4, 10, 5), 200);
  EXPECT_EQ(type.BalloonBand(4)[72 * 10 + 5], 200);
}

// An older-layout record: the head, then per band 36 rows whose codes tell
// band, row and column apart.
TEST(SpeakerTypeRecordTest, OlderLayoutGainsTheLastRowAndLayoutFlag2) {
  const std::vector<uint8_t> older = OlderSpeakerRecord();
  SpeakerType type = SampleRecord();
  ConvertOlderSpeakerRecord(std::span<const uint8_t, kOlderSpeakerTypeSize>(older.data(), older.size()), type);
  EXPECT_EQ(type.LayoutFlag(), kCurrentSpeakerLayout);
  for (size_t i = 0; i < 200; ++i)
    if (i != kTypeLayoutFlag) {
      ASSERT_EQ(type.bytes[i], older[i]);
    }
  EXPECT_TRUE(std::all_of(type.bytes.begin() + 200, type.bytes.begin() + 512, [](uint8_t b) { return b == 0; }));
  for (int band = 0; band < kBandCount; ++band)
    for (int column = 0; column < 72; ++column) {
      for (int row = 0; row < 36; ++row)
        ASSERT_EQ(type.BalloonCode(band, row, column), uint8_t(band * 37 + row + column));
      ASSERT_EQ(type.BalloonCode(band, 36, column), type.BalloonCode(band, 35, column));
    }
}

// ---- The project file's section ----

class SpeakerSectionTest : public SpeakerModelTest {
 protected:
  void SetUp() override {
    SpeakerModelTest::SetUp();
    face_ = CreateObject(0, 3, 4);
    face_->kind = kKindFace;
    AppendObject(face_);
    shape_ = MakeShape();
    AppendObject(shape_);
  }

  // Two types: one with the listed shape (position 1), one with the default symbol.
  void FillTable(SpeakerTypeTable& table) {
    SpeakerType a = SampleRecord();
    a.shape = shape_;
    SpeakerType b = SampleRecord();
    b.SetTypeName("SUB18");
    b.shape = defaultSymbol_;
    for (const SpeakerType& t : {a, b}) {
      table.types[size_t(table.count)] = AllocSpeakerType();
      *table.types[size_t(table.count++)] = t;
    }
  }

  std::vector<uint8_t> WrittenSection(SpeakerTypeTable& table) {
    MemoryWriter writer;
    EXPECT_TRUE(WriteSpeakerTypeSection(writer, table, gObjects.model));
    return writer.Take();
  }

  SpeakerSectionResult Read(const std::vector<uint8_t>& bytes, SpeakerTypeTable& table) {
    MemoryReader reader(bytes);
    return ReadSpeakerTypeSection(reader, table, gObjects.model, defaultSymbol_, damaged_);
  }

  std::vector<DamagedSpeakerType> damaged_;

  GraphicObject* face_ = nullptr;
  GraphicObject* shape_ = nullptr;
};

TEST_F(SpeakerSectionTest, RoundTripsRecordsAndShapeLinks) {
  SpeakerTypeTable written;
  FillTable(written);
  const std::vector<uint8_t> bytes = WrittenSection(written);
  ASSERT_EQ(bytes.size(), 2 + 2 * kSpeakerTypeSize);
  EXPECT_EQ(LoadI16(bytes.data()), 2);
  // The live records keep the shape positions written into the sealed copies.
  EXPECT_EQ(written.At(0)->ShapeField(), 1);
  EXPECT_EQ(written.At(1)->ShapeField(), -1);
  EXPECT_EQ(bytes[2 + kTypeLayoutFlag], kCurrentSpeakerLayout);

  SpeakerTypeTable read;
  ASSERT_EQ(Read(bytes, read), SpeakerSectionResult::kOk);
  ASSERT_EQ(read.count, 2);
  ExpectSameRecord(*read.At(0), *written.At(0));
  ExpectSameRecord(*read.At(1), *written.At(1));
  EXPECT_EQ(read.At(0)->shape, shape_);
  EXPECT_EQ(read.At(1)->shape, defaultSymbol_);
}

TEST_F(SpeakerSectionTest, FailedRecordIsResetAndGetsTheDefaultSymbol) {
  SpeakerTypeTable written;
  FillTable(written);
  std::vector<uint8_t> bytes = WrittenSection(written);
  // A damaged balloon byte: the band region (and the stored position 1, a
  // real shape) is opened before the total fails.
  bytes[2 + kTypeBalloon + 100] ^= 0x01;

  SpeakerTypeTable read;
  ASSERT_EQ(Read(bytes, read), SpeakerSectionResult::kRecordsReset);
  ASSERT_EQ(read.count, 2);
  EXPECT_EQ(read.At(0)->TypeName(), "");
  EXPECT_EQ(read.At(0)->BalloonCode(3, 18, 40), 225);
  EXPECT_EQ(read.At(0)->shape, defaultSymbol_);
  EXPECT_EQ(read.At(1)->TypeName(), "SUB18");
  // The header still opens, so the reset record is named.
  ASSERT_EQ(damaged_.size(), 1u);
  EXPECT_EQ(damaged_[0].index, 0);
  EXPECT_EQ(damaged_[0].name, "HORN12");

  // The reset record is written in the current layout and reads back as it
  // was written.
  const std::vector<uint8_t> again = WrittenSection(read);
  ASSERT_EQ(again.size(), bytes.size());
  SpeakerTypeTable reread;
  ASSERT_EQ(Read(again, reread), SpeakerSectionResult::kOk);
  EXPECT_EQ(WrittenSection(reread), again);
  EXPECT_TRUE(damaged_.empty());
}

// A damaged owner region or check word leaves no name that can be trusted.
TEST_F(SpeakerSectionTest, AFailedRecordWhoseHeaderDoesNotOpenIsListedWithoutAName) {
  SpeakerTypeTable written;
  FillTable(written);
  std::vector<uint8_t> bytes = WrittenSection(written);
  bytes[2 + kSpeakerTypeSize + kTypeCheckWord] ^= 0x10;
  bytes[2 + 480] ^= 0x01;  // the owner region of the first
  SpeakerTypeTable read;
  ASSERT_EQ(Read(bytes, read), SpeakerSectionResult::kRecordsReset);
  ASSERT_EQ(damaged_.size(), 2u);
  EXPECT_EQ(damaged_[0].index, 0);
  EXPECT_EQ(damaged_[1].index, 1);
  EXPECT_EQ(damaged_[0].name, "");
  EXPECT_EQ(damaged_[1].name, "");
  EXPECT_EQ(read.At(1)->TypeName(), "");
}

TEST_F(SpeakerSectionTest, StoredPositionMustNameAShapeObject) {
  SpeakerTypeTable written;
  FillTable(written);
  written.At(0)->shape = face_;  // position 0: a room face, not a shape
  written.At(1)->shape = shape_;
  const std::vector<uint8_t> bytes = WrittenSection(written);
  FreeObject(shape_);  // position 1 now names nothing
  SpeakerTypeTable read;
  ASSERT_EQ(Read(bytes, read), SpeakerSectionResult::kOk);
  EXPECT_EQ(read.At(0)->shape, defaultSymbol_);
  EXPECT_EQ(read.At(1)->shape, defaultSymbol_);
}

TEST_F(SpeakerSectionTest, BadCountsAndShortSectionsLeaveTheTableAlone) {
  SpeakerTypeTable table;
  FillTable(table);
  SpeakerType* before = table.At(0);

  std::vector<uint8_t> full = WrittenSection(table);
  std::vector<std::vector<uint8_t>> bad;
  for (int16_t count : {int16_t(-1), int16_t(501)}) {
    std::vector<uint8_t> b = full;
    StoreI16(b.data(), count);
    bad.push_back(b);
  }
  bad.push_back(std::vector<uint8_t>(full.begin(), full.end() - 1));    // second record short
  bad.push_back(std::vector<uint8_t>(full.begin(), full.begin() + 1));  // no count

  for (const std::vector<uint8_t>& b : bad) {
    EXPECT_EQ(Read(b, table), SpeakerSectionResult::kBadFormat);
    EXPECT_EQ(table.count, 2);
    EXPECT_EQ(table.At(0), before);
  }
}

TEST_F(SpeakerSectionTest, OlderLayoutRecordIsConvertedAndStamped) {
  std::vector<uint8_t> bytes(2);
  StoreI16(bytes.data(), 1);
  std::vector<uint8_t> older = OlderSpeakerRecord();
  StoreI32(&older[kTypeShapeField], 1);
  bytes.insert(bytes.end(), older.begin(), older.end());

  SpeakerTypeTable read;
  ASSERT_EQ(Read(bytes, read), SpeakerSectionResult::kOk);
  ASSERT_EQ(read.count, 1);
  const SpeakerType& type = *read.At(0);
  EXPECT_EQ(type.LayoutFlag(), kCurrentSpeakerLayout);
  EXPECT_EQ(ReadTextField(std::span(type.bytes).subspan(kTypeOwnerBlock, 16)), "KORVANE V2.80  ");
  EXPECT_EQ(type.BalloonCode(6, 36, 9), type.BalloonCode(6, 35, 9));
  EXPECT_EQ(type.shape, shape_);

  // Written again, it is sealed in the current layout.
  std::vector<uint8_t> again = WrittenSection(read);
  ASSERT_EQ(again.size(), 2 + kSpeakerTypeSize);
  SpeakerType sealed;
  std::copy(again.begin() + 2, again.end(), sealed.bytes.begin());
  EXPECT_EQ(UnsealSpeakerRecord(sealed.Bytes()), 1);
}

}  // namespace
