#include "framework/core/byte_codec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "framework/core/text_encoding.h"

namespace {

TEST(ByteCodec, WritesLittleEndianAndReadsBack) {
  MemoryWriter w;
  w.I16(-2);
  w.U16(0xBEEF);
  w.I32(-100000);
  w.U32(0x01020304);
  w.F32(1.5f);
  w.F64(-0.25);
  ASSERT_TRUE(w.ok());
  const std::vector<uint8_t> expected = {0xFE, 0xFF, 0xEF, 0xBE, 0x60, 0x79, 0xFE, 0xFF, 0x04, 0x03, 0x02, 0x01,
                                         0x00, 0x00, 0xC0, 0x3F, 0,    0,    0,    0,    0,    0,    0xD0, 0xBF};
  EXPECT_EQ(w.bytes(), expected);

  MemoryReader r(w.bytes());
  int16_t i16;
  uint16_t u16;
  int32_t i32;
  uint32_t u32;
  float f32;
  double f64;
  ASSERT_TRUE(r.I16(i16) && r.U16(u16) && r.I32(i32) && r.U32(u32) && r.F32(f32) && r.F64(f64));
  EXPECT_EQ(i16, -2);
  EXPECT_EQ(u16, 0xBEEF);
  EXPECT_EQ(i32, -100000);
  EXPECT_EQ(u32, 0x01020304u);
  EXPECT_EQ(f32, 1.5f);
  EXPECT_EQ(f64, -0.25);
  EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ByteCodec, ShortInputFailsAndStaysFailed) {
  const std::vector<uint8_t> bytes = {1, 2, 3};
  MemoryReader r(bytes);
  uint32_t v = 77;
  EXPECT_FALSE(r.U32(v));
  EXPECT_EQ(v, 77u);  // output untouched
  uint8_t b;
  EXPECT_FALSE(r.U8(b));  // sticky, although a byte is left
  EXPECT_FALSE(r.ok());

  MemoryReader skip(bytes);
  EXPECT_FALSE(skip.Skip(4));
  std::vector<uint8_t> block;
  MemoryReader big(bytes);
  EXPECT_FALSE(big.Block(size_t(1) << 40, block));  // never allocates past the input
}

TEST(ByteCodec, CheckedOffsetsRejectFieldsOutsideTheBuffer) {
  std::vector<uint8_t> buf(6);
  EXPECT_TRUE(WriteU32At(buf, 2, 0xAABBCCDD));
  EXPECT_FALSE(WriteU32At(buf, 3, 1));
  EXPECT_FALSE(WriteU16At(buf, SIZE_MAX, 1));  // offset overflow
  uint32_t v = 0;
  EXPECT_TRUE(ReadU32At(buf, 2, v));
  EXPECT_EQ(v, 0xAABBCCDDu);
  EXPECT_FALSE(ReadU32At(buf, 4, v));
}

TEST(ByteCodec, TextFieldsArePaddedAndAlwaysTerminated) {
  std::vector<uint8_t> field(8, 0xFF);
  WriteTextField(field, "ABC");
  EXPECT_EQ(field, (std::vector<uint8_t>{'A', 'B', 'C', 0, 0, 0, 0, 0}));
  WriteTextField(field, "ABCDEFGHIJ");
  EXPECT_EQ(ReadTextField(field), "ABCDEFG");
  WriteTextFieldFull(field, "ABCDEFGHIJ");
  EXPECT_EQ(ReadTextField(field), "ABCDEFGH");  // a full field reads without a NUL

  MemoryWriter w;
  w.Text(16, "KORVANE V2.80  ");
  ASSERT_EQ(w.bytes().size(), 16u);
  EXPECT_EQ(w.bytes()[15], 0);
  MemoryReader r(w.bytes());
  std::string magic;
  ASSERT_TRUE(r.Text(16, magic));
  EXPECT_EQ(magic, "KORVANE V2.80  ");
}

class FileCodec : public ::testing::Test {
 protected:
  std::filesystem::path dir_ = std::filesystem::temp_directory_path() / ("korvane_codec_" + std::to_string(::getpid()));
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  size_t FilesInDir() const {
    return size_t(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()));
  }
};

TEST_F(FileCodec, SafeWriterReplacesOnlyOnCommit) {
  std::string target = (dir_ / "a.bin").string();
  { std::ofstream(target) << "old"; }
  {
    SafeFileWriter w(target);
    ASSERT_TRUE(w.IsOpen());
    w.U32(7);
    // destroyed without Commit: old file stays, no temporary left behind
  }
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(target, bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(FilesInDir(), 1u);
  {
    SafeFileWriter w(target);
    w.U32(7);
    EXPECT_TRUE(w.Commit());
  }
  ASSERT_TRUE(ReadWholeFile(target, bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{7, 0, 0, 0}));
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(FileCodec, SafeWriterIntoMissingFolderFails) {
  SafeFileWriter w((dir_ / "missing" / "a.bin").string());
  EXPECT_FALSE(w.IsOpen());
  EXPECT_FALSE(w.U8(1));
  EXPECT_FALSE(w.Commit());
}

TEST_F(FileCodec, FileReaderReportsShortInput) {
  std::string path = (dir_ / "b.bin").string();
  { std::ofstream(path, std::ios::binary) << "abcde"; }
  FileReader r(path);
  ASSERT_TRUE(r.IsOpen());
  EXPECT_EQ(r.Remaining(), 5u);
  uint32_t v;
  ASSERT_TRUE(r.U32(v));
  EXPECT_EQ(v, 0x64636261u);
  uint16_t rest;
  EXPECT_FALSE(r.U16(rest));
  EXPECT_FALSE(FileReader((dir_ / "none").string()).IsOpen());
}

TEST(TextEncoding, Cp1252ToUtf8) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"Can\xB4t locate file", "Can\u00B4t locate file"},
      {"10\xB0", "10\u00B0"},
      {"m\xB2", "m\u00B2"},
      {"it\x92s", "it\u2019s"},
      {"\x80", "\u20AC"},
      {"plain", "plain"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(c.in), c.out);
    EXPECT_EQ(Utf8ToCp1252(c.out), c.in);
  }
  EXPECT_EQ(Utf8ToCp1252("\u4E2D"), "?");
  EXPECT_EQ(Utf8ToCp1252("\xE9"), "\xE9");  // a lone CP1252 byte passes through
}

}  // namespace
