// Fixtures of the speaker-database tests: records that tell their bytes
// apart, shape objects, shape chains and database files written by hand from
// the stored layout (the sealer has its own known-answer test), a scratch
// folder, and a limit on the size of written files that makes writes fail
// even for root.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "design/model/speaker_database.h"
#include "design/model/speaker_type.h"
#include "framework/core/byte_codec.h"
#include "framework/model/graphic_object.h"

namespace db_fixtures {

namespace fs = std::filesystem;

// An open record named `name` whose other bytes follow a pattern seeded by
// `seed`; +192, +196 and the check values are 0, as the editor holds them.
inline SpeakerType MakeRecord(const std::string& name, int seed, const std::string& password = "") {
  SpeakerType type;
  for (size_t i = 0; i < kSpeakerTypeSize; ++i) type.bytes[i] = uint8_t(i * 13 + size_t(seed) * 7 + 1);
  type.SetBrand("BRAND" + std::to_string(seed));
  type.SetTypeName(name);
  type.SetComment("Comment of " + name);
  type.SetLayoutFlag(kCurrentSpeakerLayout);
  for (size_t i = kTypeShapeSlot; i < kTypeShapeSlot + 8; ++i) type.bytes[i] = 0;
  for (size_t i = kTypeChecksum; i < kTypeCheckWord + 4; ++i) type.bytes[i] = 0;
  WriteTextField(type.Password(), password);
  return type;
}

// The sealed bytes of `type` with +196 (chain length) and +192 set.
inline std::vector<uint8_t> SealedBytes(SpeakerType type, uint32_t chainLength = 0) {
  StoreU32(&type.bytes[kTypeShapeSlot], chainLength ? 1 : 0);
  StoreU32(&type.bytes[kTypeShapeField], chainLength);
  SealSpeakerRecord(type.Bytes());
  return {type.bytes.begin(), type.bytes.end()};
}

// Equal records but for the check values, which the seal stores.
inline void ExpectSameRecord(const SpeakerType& a, const SpeakerType& b) {
  for (size_t i = 0; i < kSpeakerTypeSize; ++i)
    if (i < kTypeChecksum || i >= kTypeCheckWord + 4) {
      ASSERT_EQ(a.bytes[i], b.bytes[i]) << "offset " << i;
    }
}

// One object of a shape as the test describes it.
struct ShapePart {
  uint32_t kind, state, colour, layer;
  std::vector<ObjectVertex> vertices;
  std::vector<ObjectItem> items;
};

// A triangle face and a line, on different layers and with other states.
inline std::vector<ShapePart> TwoPartShape() {
  return {
      {16, 0x86, 5, 3, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0.5f}}, {{kOpStart, 0}, {kOpLineTo, 1}, {kOpClose, 2}}},
      {1, 0, 9, 7, {{-1, -2, -3}, {4, 5, 6}}, {{kOpStart, 0}, {kOpLineTo, 1}}},
  };
}

inline GraphicObject* MakeObject(const ShapePart& part) {
  GraphicObject* o = CreateObject(0, uint32_t(part.vertices.size()), uint32_t(part.items.size()));
  std::copy(part.vertices.begin(), part.vertices.end(), o->vertices);
  std::copy(part.items.begin(), part.items.end(), o->items);
  o->kind = part.kind;
  o->state = part.state;
  o->colour = part.colour;
  o->layer = part.layer;
  return o;
}

inline void AppendParts(const std::vector<ShapePart>& parts, ObjectList& list) {
  for (const ShapePart& part : parts) AppendObjectToList(MakeObject(part), list);
}

// A database in memory holding open copies of `types`, the first of them
// current and owning the objects of `firstShape`.
inline std::unique_ptr<SpeakerDatabase> DatabaseOf(const std::vector<SpeakerType>& types,
                                                   const std::vector<ShapePart>& firstShape = {}) {
  auto db = std::make_unique<SpeakerDatabase>();
  for (const SpeakerType& type : types) {
    SpeakerDatabaseRecord record;
    record.type = AllocSpeakerType();
    record.type->bytes = type.bytes;
    if (db->records.empty()) AppendParts(firstShape, record.shape.list());
    db->records.push_back(std::move(record));
  }
  SelectCurrentRecord(*db, 0);
  return db;
}

// A shape chain as stored: per part twelve words (next 1 but on the last,
// kind, state, colour, layer, the counts, data size 0), vertices, items.
inline std::vector<uint8_t> ChainBytes(const std::vector<ShapePart>& parts) {
  MemoryWriter w;
  for (size_t p = 0; p < parts.size(); ++p) {
    const ShapePart& part = parts[p];
    for (uint32_t word : {0u, p + 1 < parts.size() ? 1u : 0u, 0u, 0u, 0u, part.kind, part.state, part.colour,
                          part.layer, uint32_t(part.vertices.size()), uint32_t(part.items.size()), 0u})
      w.U32(word);
    for (const ObjectVertex& v : part.vertices) {
      w.F32(v.x);
      w.F32(v.y);
      w.F32(v.z);
    }
    for (const ObjectItem& item : part.items) {
      w.U16(item.op);
      w.U16(item.index);
    }
  }
  return w.Take();
}

// A 32-byte database header: the magic, NULs, and the count at 30.
inline std::vector<uint8_t> DatabaseHeader(const char* magic, int16_t count) {
  std::vector<uint8_t> header(32, 0);
  std::copy(magic, magic + std::char_traits<char>::length(magic), header.begin());
  StoreI16(&header[30], count);
  return header;
}

inline void Append(std::vector<uint8_t>& file, const std::vector<uint8_t>& bytes) {
  file.insert(file.end(), bytes.begin(), bytes.end());
}

// A "TARNIK 1.0     " shape file of one block: a triangle at height z.
inline std::vector<uint8_t> TarnikFile(float z) {
  MemoryWriter w;
  w.Text(32, "TARNIK 1.0     ");
  w.Zeros(384);
  w.U16(3);  // vertices
  w.U16(3);  // items
  w.Zeros(10);
  w.U32(0);  // the last block
  for (const ObjectVertex& v : {ObjectVertex{0, 0, z}, ObjectVertex{1, 0, z}, ObjectVertex{0, 1, z}}) {
    w.F32(v.x);
    w.F32(v.y);
    w.F32(v.z);
  }
  for (uint16_t i = 0; i < 3; ++i) {
    w.U16(i);  // start, line to, close
    w.U16(i);
  }
  return w.Take();
}

// The seed databases of each version in tests/design/model/data/speaker_database,
// with the type names they index and the descriptions of those types.
inline const fs::path kSeedFolder = fs::path(KORVANE_TESTS_DIR) / "design" / "model" / "data" / "speaker_database";
struct VersionFixture {
  const char* file;
  std::vector<std::string> names;
  std::vector<std::string> descriptions;
};
inline const VersionFixture kVersionFixtures[] = {
    {"v11_one_record.KSB", {"OLD1"}, {""}},
    {"v130_one_record.KSB", {"MID"}, {"Seed record"}},
    {"v140_two_records.KSB", {"HORN12", "SUB18"}, {"Seed record", "Seed record"}},
};

// A scratch folder, removed with the test.
class ScratchFolder : public ::testing::Test {
 protected:
  fs::path dir_ = fs::temp_directory_path() /
                  ("korvane_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                   std::to_string(::getpid()));
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::FILE* f = std::fopen(PathOf(name).c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return PathOf(name);
  }
  std::vector<uint8_t> ReadFile(const std::string& name) const {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(PathOf(name), bytes)) << name;
    return bytes;
  }
  size_t FileCount() const { return size_t(std::distance(fs::directory_iterator(dir_), fs::directory_iterator())); }
};

// While it lives, writing a file beyond `bytes` fails (EFBIG) instead of
// ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

}  // namespace db_fixtures
