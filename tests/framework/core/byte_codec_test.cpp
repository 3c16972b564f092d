#include "framework/core/byte_codec.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "framework/core/state_reset.h"
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

namespace fs = std::filesystem;

class FileCodec : public ::testing::Test {
 protected:
  fs::path dir_ = fs::temp_directory_path() / ("korvane_codec_" + std::to_string(::getpid()));
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ResetAllState();
  }
  void TearDown() override {
    ResetAllState();
    fs::remove_all(dir_);
  }
  size_t FilesInDir() const { return size_t(std::distance(fs::directory_iterator(dir_), fs::directory_iterator())); }
  // The names in the folder, sorted, those in subfolders with their folder.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir_))
      names.push_back(e.path().lexically_relative(dir_).string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  std::string Read(const std::string& name) const {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(Path(name), bytes)) << name;
    return std::string(bytes.begin(), bytes.end());
  }
  fs::perms Mode(const std::string& name) const { return fs::status(Path(name)).permissions(); }
  // Saves `text` over `name` through the save routine.
  bool Save(const std::string& name, const std::string& text) const {
    SafeFileWriter w(Path(name));
    return w.Bytes(text.data(), text.size()) && w.Commit();
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

// A target named through symbolic links is written where the links lead;
// the links stay, and the temporary file was beside the file written.
TEST_F(FileCodec, SafeWriterWritesThroughSymbolicLinks) {
  fs::create_directory(dir_ / "real");
  Write("real/hall.KPR", "old");
  fs::create_symlink("real/hall.KPR", dir_ / "relative.KPR");
  fs::create_symlink(dir_ / "relative.KPR", dir_ / "chained.KPR");  // absolute, to a link
  fs::create_symlink("real/new.KPR", dir_ / "dangling.KPR");
  struct Case {
    const char* link;
    const char* file;
  } cases[] = {{"relative.KPR", "real/hall.KPR"}, {"chained.KPR", "real/hall.KPR"}, {"dangling.KPR", "real/new.KPR"}};
  for (const Case& c : cases) {
    SafeFileWriter w(Path(c.link));
    ASSERT_TRUE(w.IsOpen()) << c.link;
    EXPECT_EQ(w.File(), Path(c.file));
    EXPECT_TRUE(fs::exists(Path(std::string(c.file) + kSaveTempSuffix))) << c.link;
    w.Bytes(c.link, std::strlen(c.link));
    ASSERT_TRUE(w.Commit()) << c.link;
    EXPECT_TRUE(fs::is_symlink(Path(c.link))) << c.link;
    EXPECT_EQ(Read(c.file), c.link);
  }
  EXPECT_EQ(Entries(), (std::vector<std::string>{"chained.KPR", "dangling.KPR", "real", "real/hall.KPR", "real/new.KPR",
                                                 "relative.KPR"}));

  fs::create_symlink("loop_b", dir_ / "loop_a");
  fs::create_symlink("loop_a", dir_ / "loop_b");
  SafeFileWriter loop(Path("loop_a"));
  EXPECT_FALSE(loop.IsOpen());
  EXPECT_EQ(loop.SystemError(), ELOOP);
}

// A file the user may not write is refused before anything is written, as
// root too: no write bit at all is write protection for everyone.
TEST_F(FileCodec, SafeWriterRefusesWhatTheUserMayNotWrite) {
  Write("protected.KAB", "old");
  fs::permissions(Path("protected.KAB"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::create_directory(dir_ / "folder.KAB");
  Write("real.KAB", "old");
  fs::permissions(Path("real.KAB"), fs::perms::owner_read);
  fs::create_symlink("real.KAB", dir_ / "link.KAB");
  struct Case {
    const char* target;
    int error;
  } cases[] = {{"protected.KAB", EACCES}, {"link.KAB", EACCES}, {"folder.KAB", EISDIR}};
  for (const Case& c : cases) {
    SafeFileWriter w(Path(c.target));
    EXPECT_FALSE(w.IsOpen()) << c.target;
    EXPECT_EQ(w.SystemError(), c.error) << c.target;
    EXPECT_FALSE(w.U8(1));
    EXPECT_FALSE(w.Commit());
  }
  EXPECT_EQ(Read("protected.KAB"), "old");
  EXPECT_EQ(Mode("protected.KAB"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(Read("real.KAB"), "old");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"folder.KAB", "link.KAB", "protected.KAB", "real.KAB"}));
}

// A replaced file keeps its mode; a new one gets 0666 less the umask; a
// writer told a mode gives the file that one.
TEST_F(FileCodec, SafeWriterKeepsTheModeOfTheFileItReplaces) {
  for (fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0755), fs::perms(0200)}) {
    Write("kept.KPR", "old");
    fs::permissions(Path("kept.KPR"), mode);
    ASSERT_TRUE(Save("kept.KPR", "new"));
    EXPECT_EQ(Mode("kept.KPR"), mode) << std::oct << int(mode);
    EXPECT_EQ(Read("kept.KPR"), "new");
  }
  const mode_t mask = umask(027);
  ASSERT_TRUE(Save("new.KPR", "new"));
  umask(mask);
  EXPECT_EQ(Mode("new.KPR"), fs::perms(0640));

  SafeFileWriter told(Path("kept.KPR"));
  told.SetFileMode(0604);
  ASSERT_TRUE(told.Commit());
  EXPECT_EQ(Mode("kept.KPR"), fs::perms(0604));
}

// The next save of a target removes the temporary file a dead save of that
// target left; nothing else, however alike, is touched.
TEST_F(FileCodec, SafeWriterRemovesOnlyItsOwnStaleTemporaryFile) {
  const std::string stale = std::string("after.KPR") + kSaveTempSuffix;
  const std::vector<std::string> unrelated = {"after.KPR.fKr4Np",     "after_old.KPR.xqKpqz", "other.KPR.save-tmp",
                                              "after.KPR.save-tmp.1", "after.KPR.save-tmpx",  "xafter.KPR.save-tmp"};
  for (const std::string& name : unrelated) Write(name, "keep");

  // A save killed between the temporary file's creation and the rename.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SafeFileWriter w(Path("after.KPR"));
    w.Bytes("half", 4);
    std::raise(SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(fs::exists(Path(stale)));

  ASSERT_TRUE(Save("after.KPR", "saved"));
  EXPECT_EQ(Read("after.KPR"), "saved");
  EXPECT_FALSE(fs::exists(Path(stale)));
  for (const std::string& name : unrelated) EXPECT_EQ(Read(name), "keep") << name;

  // Of that name only a plain file is a temporary one.
  fs::create_directory(Path(stale));
  EXPECT_FALSE(SafeFileWriter(Path("after.KPR")).IsOpen());
  EXPECT_TRUE(fs::is_directory(Path(stale)));
  fs::remove(Path(stale));
  fs::create_symlink("other.KPR.save-tmp", Path(stale));
  EXPECT_FALSE(SafeFileWriter(Path("after.KPR")).IsOpen());
  EXPECT_TRUE(fs::is_symlink(Path(stale)));
  EXPECT_EQ(Read("other.KPR.save-tmp"), "keep");
  EXPECT_EQ(Read("after.KPR"), "saved");
}

// The temporary file of a save still running is no stale one: a second save
// of the same target is refused and the first one finishes.
TEST_F(FileCodec, SafeWriterLeavesTheTemporaryFileOfARunningSave) {
  SafeFileWriter first(Path("a.bin"));
  ASSERT_TRUE(first.IsOpen());
  first.Bytes("first", 5);
  SafeFileWriter second(Path("a.bin"));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_EQ(second.SystemError(), EEXIST);
  ASSERT_TRUE(first.Commit());
  EXPECT_EQ(Read("a.bin"), "first");
  EXPECT_EQ(Entries(), std::vector<std::string>{"a.bin"});
}

// A failure at any step leaves the old file byte for byte and no temporary
// file, and tells the system's reason.
TEST_F(FileCodec, SafeWriterFailingAtAnyStepKeepsTheOldFile) {
  const std::string old("old\0bytes", 9);
  for (SaveStep step : {SaveStep::kCreate, SaveStep::kWrite, SaveStep::kFlush, SaveStep::kRename}) {
    Write("a.bin", old);
    fs::permissions(Path("a.bin"), fs::perms(0640));
    SimulateSaveFailure(step);
    {
      SafeFileWriter w(Path("a.bin"));
      EXPECT_EQ(w.IsOpen(), step != SaveStep::kCreate);
      w.Bytes("new", 3);
      EXPECT_FALSE(w.Commit());
      EXPECT_EQ(w.SystemError(), EIO) << int(step);
    }
    SimulateSaveFailure(SaveStep::kNone);
    EXPECT_EQ(Read("a.bin"), old) << int(step);
    EXPECT_EQ(Mode("a.bin"), fs::perms(0640));
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.bin"}) << int(step);
  }
}

TEST(SaveFailureText, TheSystemsReasonIsTheSecondLine) {
  EXPECT_EQ(WithSystemReason(kWriteFailedMessage, ENOSPC), "Couldn\xB4t write data to disk !\nNo space left on device");
  EXPECT_EQ(WithSystemReason(kWriteFailedMessage, EACCES), "Couldn\xB4t write data to disk !\nPermission denied");
  EXPECT_EQ(WithSystemReason(kWriteFailedMessage, 0), kWriteFailedMessage);
}

TEST_F(FileCodec, ReadersSeekBackAndOnButNotPastTheEnd) {
  const std::string path = Path("b.bin");
  Write("b.bin", "abcde");
  const std::vector<uint8_t> bytes = {'a', 'b', 'c', 'd', 'e'};
  FileReader file(path);
  MemoryReader memory(bytes);
  for (ByteReader* r : {static_cast<ByteReader*>(&file), static_cast<ByteReader*>(&memory)}) {
    uint8_t b = 0;
    ASSERT_TRUE(r->Skip(4) && r->Seek(1) && r->U8(b));
    EXPECT_EQ(b, 'b');
    EXPECT_EQ(r->Remaining(), 3u);
    ASSERT_TRUE(r->Seek(5));
    EXPECT_FALSE(r->U8(b));
    EXPECT_FALSE(r->Seek(0));  // a failed reader stays failed
  }
  MemoryReader past(bytes);
  EXPECT_FALSE(past.Seek(6));
  EXPECT_FALSE(past.ok());
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
