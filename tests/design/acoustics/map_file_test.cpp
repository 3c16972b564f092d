#include "design/acoustics/map_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "design/acoustics/level_map.h"
#include "design/model/project_file.h"
#include "tests/design/acoustics/map_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;

constexpr char kNotAMapFile[] = "Not a valid map file";
constexpr char kErrorReading[] = "Error reading data";

// Little-endian bytes put together field by field, as the layout lists them.
struct Bytes {
  std::vector<uint8_t> v;
  void U16(uint16_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
  }
  void U32(uint32_t x) {
    U16(uint16_t(x));
    U16(uint16_t(x >> 16));
  }
  void F32(float x) { U32(std::bit_cast<uint32_t>(x)); }
  void Text(size_t width, const std::string& text) {
    v.insert(v.end(), text.begin(), text.end());
    v.insert(v.end(), width - text.size(), 0);
  }
};

// Where fields of the sample result's file lie.
constexpr size_t kFaceCountAt = 128, kPhaseAt = 130, kHalfSpacingAt = 132;
constexpr size_t kFacesAt = 152;
constexpr size_t kGridHeaderAt = kFacesAt + 2 * kMapFaceRecordSize;      // 232
constexpr size_t kPointsAt = kGridHeaderAt + kMapGridHeaderSize;         // 346
constexpr size_t kSinglePointsAt = kPointsAt + 3 * kMapPointRecordSize;  // 472
constexpr size_t kSampleSize = kSinglePointsAt + 4 + 2 * 2;              // 480

class MapFileTest : public MapModelTest {
 protected:
  void SetUp() override {
    MapModelTest::SetUp();
    dir_ = fs::temp_directory_path() / ("korvane_map_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    MapModelTest::TearDown();
  }

  // Two faces and three points, with two single points.
  static void SetSampleResult() {
    MapResult& r = gLevelMap.result;
    r.faces.faces.resize(2);
    MappingFace& stalls = r.faces.faces[0];
    stalls.normal = {0, 0, 2};
    stalls.planeConstant = 2.4f;
    stalls.minX = 0, stalls.maxX = 1, stalls.minY = 0, stalls.maxY = 1, stalls.maxZ = 1.2f;
    MappingFace& rake = r.faces.faces[1];
    rake.normal = {0, -0.5f, 5};
    rake.planeConstant = 10;
    rake.minX = 2, rake.maxX = 4, rake.minY = 0, rake.maxY = 2, rake.maxZ = 2.2f;
    r.phaseMode = 3;
    r.counts.words = {2, 2, 2, 2, 2, 2, 2, 1};

    MapGrid& g = r.grid;
    g.spacing = 1;
    g.points.resize(3);
    g.points[0] = {0.5f,
                   0.5f,
                   1.2f,
                   {1.0e6f, 1.0f, 0.5f, 123.0f, 2.0f, 1000.0f, 10.0f},
                   {12.9f, 10000, 70000, 0.4f, 33.3f, 18.0f, 45.0f},
                   0};
    g.points[1] = {1.5f, 0.5f, 1.2f, {5, 1, 1, 1, 1, 1, 1}, {7.0f, 10000, 10000, 10000, 10000, 10000, 10000}, 0};
    g.points[2] = {3.0f, 1.0f, 2.1f, {100, 100, 100, 100, 100, 100, 100}, {20, 21, 22, 23, 24, 25, 61.7f}, 1};
    BandRanges& ranges = g.ranges;
    ranges.minLevel.fill(1);
    ranges.maxLevel.fill(1.0e6f);
    ranges.minTime.fill(7);
    ranges.maxTime = {20, 21, 70000, 23, 33.3f, 25, 61.7f};

    gLevelMap.singlePoints.count = 2;
    gLevelMap.singlePoints.indices[0] = 2;
    gLevelMap.singlePoints.indices[1] = 0;
    gLevelMap.singlePoints.pointCount = 3;
  }

  static std::vector<uint8_t> SampleBytes() {
    SetSampleResult();
    MemoryWriter writer;
    EXPECT_EQ(WriteMapFile(writer, "Stalls, first try"), 1);
    return writer.Take();
  }

  std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }

  // A held result to tell apart from anything a file would bring.
  static void HoldOtherResult() {
    ResetLevelMap();
    gLevelMap.result.faces.faces.resize(1);
    gLevelMap.result.grid.points.resize(5);
    gLevelMap.result.grid.points[4].level[2] = 77;
    gLevelMap.resultPresent = 1;
    gLevelMap.singlePoints.count = 1;
    gLevelMap.singlePoints.pointCount = 5;
    gLevelMap.description = "held";
  }
  static void ExpectOtherResult(const std::string& what) {
    EXPECT_EQ(gLevelMap.result.faces.Count(), 1) << what;
    ASSERT_EQ(gLevelMap.result.grid.PointCount(), 5u) << what;
    EXPECT_EQ(gLevelMap.result.grid.points[4].level[2], 77) << what;
    EXPECT_EQ(gLevelMap.resultPresent, 1) << what;
    EXPECT_EQ(gLevelMap.singlePoints.count, 1) << what;
    EXPECT_EQ(gLevelMap.description, "held") << what;
  }

  fs::path dir_;
};

TEST_F(MapFileTest, TheBlockIsWrittenFieldByFieldAtItsOffsets) {
  Bytes e;
  e.Text(32, "KORVANE MAP FILE V2.80");
  e.Text(96, "Stalls, first try");
  e.U16(2);  // faces
  e.U16(3);  // single frequency
  e.F32(0.5f);
  for (uint16_t count : {2, 2, 2, 2, 2, 2, 2, 1}) e.U16(count);
  e.U32(0);  // no object on disk
  for (float v : {0.0f, 0.0f, 2.0f, 2.4f, 0.0f, 1.0f, 0.0f, 1.0f, 1.2f}) e.F32(v);
  e.U32(0);
  for (float v : {0.0f, -0.5f, 5.0f, 10.0f, 2.0f, 4.0f, 0.0f, 2.0f, 2.2f}) e.F32(v);
  ASSERT_EQ(e.v.size(), kGridHeaderAt);
  e.U32(3);
  for (int b = 0; b < 7; ++b) e.F32(1);
  for (int b = 0; b < 7; ++b) e.F32(1.0e6f);
  for (int b = 0; b < 7; ++b) e.F32(7);
  for (float v : {20.0f, 21.0f, 70000.0f, 23.0f, 33.3f, 25.0f}) e.F32(v);
  e.U16(uint16_t(std::bit_cast<uint32_t>(61.7f)));  // the low half of band 6's max time
  ASSERT_EQ(e.v.size(), kPointsAt);
  // Level codes: 10^6 -> 600; 1.0 and 0.5 -> 0; 123 -> 208; 2 -> 30;
  // 1000 -> 300; 10 -> 100. Times truncated: 12.9 -> 12, 70000 -> 65535.
  auto point = [&](std::initializer_list<float> xyz, std::initializer_list<uint16_t> levels,
                   std::initializer_list<uint16_t> times, uint16_t face) {
    for (float v : xyz) e.F32(v);
    for (uint16_t c : levels) e.U16(c);
    for (uint16_t t : times) e.U16(t);
    e.U16(face);
  };
  point({0.5f, 0.5f, 1.2f}, {600, 0, 0, 208, 30, 300, 100}, {12, 10000, 65535, 0, 33, 18, 45}, 0);
  point({1.5f, 0.5f, 1.2f}, {69, 0, 0, 0, 0, 0, 0}, {7, 10000, 10000, 10000, 10000, 10000, 10000}, 0);
  point({3.0f, 1.0f, 2.1f}, {200, 200, 200, 200, 200, 200, 200}, {20, 21, 22, 23, 24, 25, 61}, 1);
  ASSERT_EQ(e.v.size(), kSinglePointsAt);
  e.U32(2);
  e.U16(2);
  e.U16(0);
  ASSERT_EQ(e.v.size(), kSampleSize);

  EXPECT_EQ(SampleBytes(), e.v);

  // Without single points of this grid nothing follows the points.
  gLevelMap.singlePoints.count = 0;
  MemoryWriter writer;
  ASSERT_EQ(WriteMapFile(writer, "Stalls, first try"), 1);
  EXPECT_EQ(writer.bytes(), std::vector<uint8_t>(e.v.begin(), e.v.begin() + kSinglePointsAt));
}

TEST_F(MapFileTest, SinglePointsLeftFromAnotherGridAreNotWritten) {
  SetSampleResult();
  // The list of an earlier result of five points names a point this grid of
  // three lacks: written, it would make the block unreadable.
  gLevelMap.singlePoints.count = 1;
  gLevelMap.singlePoints.indices[0] = 4;
  gLevelMap.singlePoints.pointCount = 5;
  MemoryWriter writer;
  ASSERT_EQ(WriteMapFile(writer, "Stalls"), 1);
  EXPECT_EQ(writer.bytes().size(), kSinglePointsAt);
  MemoryReader reader(writer.bytes());
  EXPECT_TRUE(ReadMapFileBlock(reader, ProjectTables()));
  EXPECT_EQ(gLevelMap.result.grid.PointCount(), 3u);
}

TEST_F(MapFileTest, ALongDescriptionIsCutToEightyCharacters) {
  SetSampleResult();
  MemoryWriter writer;
  ASSERT_EQ(WriteMapFile(writer, std::string(120, 'd')), 1);
  std::array<uint8_t, kMapHeaderSize> header;
  std::copy_n(writer.bytes().begin(), kMapHeaderSize, header.begin());
  EXPECT_EQ(IsMapFileHeader(header), 1);
  EXPECT_EQ(MapFileDescription(header), std::string(80, 'd'));
}

TEST_F(MapFileTest, ARoundTripKeepsTheResultWithinItsStoredSteps) {
  const std::vector<uint8_t> bytes = SampleBytes();
  const MapResult written = gLevelMap.result;
  ResetLevelMap();
  MemoryReader reader(bytes);
  ASSERT_TRUE(ReadMapFileBlock(reader, ProjectTables()));
  const MapResult& read = gLevelMap.result;
  EXPECT_EQ(gLevelMap.description, "Stalls, first try");
  EXPECT_EQ(read.phaseMode, 3);
  EXPECT_EQ(read.counts.words, written.counts.words);
  ASSERT_EQ(read.faces.Count(), 2);
  for (size_t k = 0; k < 2; ++k) {
    const MappingFace &a = written.faces.faces[k], &b = read.faces.faces[k];
    EXPECT_EQ(b.object, nullptr);
    EXPECT_EQ(b.normal.z, a.normal.z);
    EXPECT_EQ(b.planeConstant, a.planeConstant);
    EXPECT_EQ(b.maxY, a.maxY);
  }
  EXPECT_EQ(read.grid.HalfSpacing(), 0.5f);
  EXPECT_EQ(read.grid.spacing, 1.0f);
  ASSERT_EQ(read.grid.PointCount(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const GridPoint &a = written.grid.points[i], &b = read.grid.points[i];
    EXPECT_EQ(b.x, a.x);
    EXPECT_EQ(b.z, a.z);
    EXPECT_EQ(b.face, a.face);
    for (size_t band = 0; band < kBandCount; ++band) {
      // Levels come back rounded down to 0.1 dB, never below 1.0; times to
      // whole milliseconds within 0..65535.
      const double db = 10 * std::log10(std::max(a.level[band], 1.0f));
      EXPECT_LE(10 * std::log10(b.level[band]), db + 1e-4) << i << " " << band;
      EXPECT_GT(10 * std::log10(b.level[band]), db - 0.1) << i << " " << band;
      EXPECT_EQ(b.time[band], std::min(std::floor(a.time[band]), 65535.0f)) << i << " " << band;
    }
  }
  EXPECT_EQ(read.grid.points[0].level[0], 1.0e6f);
  EXPECT_EQ(read.grid.points[0].level[1], 1.0f);
  EXPECT_EQ(read.grid.points[0].level[2], 1.0f);
  EXPECT_EQ(read.grid.ranges.maxTime[5], 25.0f);
  EXPECT_EQ(read.grid.ranges.maxTime[6], 61.0f);  // the longest 8 kHz time read
  EXPECT_EQ(read.grid.ranges.minLevel, written.grid.ranges.minLevel);
  EXPECT_EQ(gLevelMap.singlePoints.count, 2);
  EXPECT_EQ(gLevelMap.singlePoints.indices[0], 2);
  EXPECT_EQ(gLevelMap.singlePoints.pointCount, 3u);
}

// A level read back is written as the code it was read from, so reading
// and saving a result again and again changes no byte of it.
TEST_F(MapFileTest, LevelCodesSurviveEveryReadAndWrite) {
  // 3853 is the highest code whose level a float holds; 32767 stands for an
  // infinite level.
  for (int code = 0; code <= 3853; ++code) EXPECT_EQ(LevelCode(LevelFromCode(int16_t(code))), code) << code;
  EXPECT_EQ(LevelCode(LevelFromCode(32767)), 32767);

  std::vector<uint8_t> bytes = SampleBytes();
  constexpr size_t kLevelCodesAt = 12;  // within a point record
  for (size_t i = 0; i < 3; ++i)
    for (size_t band = 0; band < kBandCount; ++band)
      StoreU16(&bytes[kPointsAt + kMapPointRecordSize * i + kLevelCodesAt + 2 * band],
               uint16_t(1 + 17 * (7 * i + band)));
  std::vector<uint8_t> written = bytes;
  for (int round = 0; round < 3; ++round) {
    MemoryReader reader(written);
    ASSERT_TRUE(ReadMapFileBlock(reader, ProjectTables()));
    MemoryWriter writer;
    ASSERT_TRUE(WriteMapFileBlock(writer));
    written = writer.Take();
    for (size_t i = 0; i < 3; ++i) {
      const size_t codes = kPointsAt + kMapPointRecordSize * i + kLevelCodesAt;
      EXPECT_TRUE(std::equal(&bytes[codes], &bytes[codes + 2 * kBandCount], &written[codes])) << round << " " << i;
    }
  }
}

TEST_F(MapFileTest, ABlockWithoutSinglePointsLeavesTheListAsItWas) {
  std::vector<uint8_t> bytes = SampleBytes();
  bytes.resize(kSinglePointsAt);
  gLevelMap.singlePoints.count = 1;
  gLevelMap.singlePoints.indices[0] = 40;
  gLevelMap.singlePoints.pointCount = 99;
  MemoryReader reader(bytes);
  ASSERT_TRUE(ReadMapFileBlock(reader, ProjectTables()));
  EXPECT_EQ(gLevelMap.singlePoints.count, 1);
  EXPECT_EQ(gLevelMap.singlePoints.indices[0], 40);
  EXPECT_EQ(gLevelMap.singlePoints.pointCount, 99u);
}

TEST_F(MapFileTest, HostileFilesAreRefusedAndTheHeldResultKept) {
  const std::vector<uint8_t> good = SampleBytes();
  struct Case {
    const char* what;
    size_t at;
    std::vector<uint8_t> bytes;  // put at `at`
    const char* message;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto f32 = [](float v) {
    Bytes b;
    b.F32(v);
    return b.v;
  };
  const Case cases[] = {
      {"another magic", 0, {'K', 'O', 'R', 'V', 'A', 'N', 'E', ' ', 'R', 'A', 'Y'}, kNotAMapFile},
      {"a description without its NUL", 32, std::vector<uint8_t>(96, 'x'), kNotAMapFile},
      {"a negative face count", kFaceCountAt, {0xFF, 0xFF}, kErrorReading},
      {"more faces than the file holds", kFaceCountAt, {0xFF, 0x7F}, kErrorReading},
      {"phase mode 0", kPhaseAt, {0, 0}, kErrorReading},
      {"phase mode 4", kPhaseAt, {4, 0}, kErrorReading},
      {"no grid spacing", kHalfSpacingAt, f32(0), kErrorReading},
      {"a grid spacing that is no number", kHalfSpacingAt, f32(nan), kErrorReading},
      {"a face with nz = 0", kFacesAt + 12, f32(0), kErrorReading},
      {"a face extent that is no number", kFacesAt + 40 + 24, f32(nan), kErrorReading},
      {"64001 points", kGridHeaderAt, {0x01, 0xFA, 0, 0}, kErrorReading},
      {"more points than the file holds", kGridHeaderAt, {4, 0, 0, 0}, kErrorReading},
      {"a huge point count", kGridHeaderAt, {0xFF, 0xFF, 0xFF, 0xFF}, kErrorReading},
      {"a point on a third face", kPointsAt + 40, {2, 0}, kErrorReading},
      {"a point position that is no number", kPointsAt + 4, f32(nan), kErrorReading},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + ptrdiff_t(c.at));
    const std::string path = WriteFile("hostile.kmf", bytes);
    HoldOtherResult();
    MessageRecorder messages;
    EXPECT_EQ(LoadMapFile(path, ProjectTables()), 0) << c.what;
    ASSERT_FALSE(messages.texts().empty()) << c.what;
    EXPECT_EQ(messages.texts().back(), c.message) << c.what;
    ExpectOtherResult(c.what);
  }

  // Cut short anywhere but right behind the points (a file without single
  // points).
  for (size_t size = 0; size < good.size(); ++size) {
    if (size == kSinglePointsAt) continue;
    const std::string path = WriteFile("short.kmf", std::vector<uint8_t>(good.begin(), good.begin() + ptrdiff_t(size)));
    HoldOtherResult();
    MessageRecorder messages;
    EXPECT_EQ(LoadMapFile(path, ProjectTables()), 0) << size;
    EXPECT_EQ(messages.texts().back(), size < kMapHeaderSize ? kNotAMapFile : kErrorReading) << size;
    ExpectOtherResult("cut at " + std::to_string(size));
  }

  // In a project file the same block is refused the same way.
  std::vector<uint8_t> bytes = good;
  bytes[kPointsAt + 40] = 2;
  HoldOtherResult();
  MemoryReader reader(bytes);
  EXPECT_FALSE(ReadMapFileBlock(reader, ProjectTables()));
  ExpectOtherResult("project block");
}

// A single-point list that cannot be this grid's (an older writer left the
// list of another grid behind, or it holds more than 100 points) is dropped
// and the result read without it.
TEST_F(MapFileTest, ASinglePointListThatIsNotTheGridsIsDropped) {
  const std::vector<uint8_t> good = SampleBytes();
  struct Case {
    const char* what;
    size_t at;
    std::vector<uint8_t> bytes;  // put at `at`
  };
  const Case cases[] = {
      {"101 single points", kSinglePointsAt, {101, 0, 0, 0}},
      {"a negative count", kSinglePointsAt, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"a point past the grid", kSinglePointsAt + 4, {3, 0}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + ptrdiff_t(c.at));
    const std::string path = WriteFile("stale.kmf", bytes);
    HoldOtherResult();
    MessageRecorder messages;
    messages.Answer(kIdOk);
    EXPECT_EQ(LoadMapFile(path, ProjectTables()), 1) << c.what;
    EXPECT_EQ(messages.texts().size(), 1u) << c.what;  // the description alone
    EXPECT_EQ(gLevelMap.result.grid.PointCount(), 3u) << c.what;
    EXPECT_EQ(gLevelMap.singlePoints.count, 0) << c.what;

    // A project's block the same.
    HoldOtherResult();
    MemoryReader reader(bytes);
    EXPECT_TRUE(ReadMapFileBlock(reader, ProjectTables())) << c.what;
    EXPECT_EQ(gLevelMap.result.grid.PointCount(), 3u) << c.what;
    EXPECT_EQ(gLevelMap.singlePoints.count, 0) << c.what;
  }
}

TEST_F(MapFileTest, LoadingAsksWithTheDescriptionAndTakesTheResult) {
  const std::string path = WriteFile("hall.kmf", SampleBytes());
  AddHall();  // the model the engine tables are rebuilt from

  HoldOtherResult();
  {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    EXPECT_EQ(LoadMapFile(path, ProjectTables()), 0);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Stalls, first try");
    EXPECT_EQ(messages.messages()[0].caption, "Description :");
    EXPECT_EQ(messages.messages()[0].flags, unsigned(kMsgOkCancel));
    ExpectOtherResult("cancelled");
  }

  gLevelMap.resultPresent = 0;
  gProject.calcOptions.phaseMode = 1;
  MessageRecorder messages;
  EXPECT_EQ(LoadMapFile(path, ProjectTables()), 1);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Stalls, first try"});
  EXPECT_EQ(gLevelMap.resultPresent, 1);
  EXPECT_EQ(gProject.calcOptions.phaseMode, 3);  // the result's
  EXPECT_EQ(gLevelMap.description, "Stalls, first try");
  EXPECT_EQ(gLevelMap.result.grid.PointCount(), 3u);
  EXPECT_EQ(gLevelMap.singlePoints.count, 2);
  EXPECT_EQ(gReceiverEngine.activeSpeakers.Count(), 2);
  EXPECT_EQ(gCalcFaceTable.Count(), 6);

  MessageRecorder missing;
  EXPECT_EQ(LoadMapFile((dir_ / "none.kmf").string(), ProjectTables()), 0);
  EXPECT_EQ(missing.texts(), std::vector<std::string>{kErrorReading});
}

TEST_F(MapFileTest, SavingForcesTheExtensionAndReplacesAFileOnlyWhenComplete) {
  SetSampleResult();
  MessageRecorder messages;
  ASSERT_EQ(SaveMapFile((dir_ / "hall").string(), "Stalls"), 1);
  EXPECT_TRUE(fs::exists(dir_ / "hall.KMF"));
  EXPECT_EQ(gLevelMap.description, "Stalls");
  ASSERT_EQ(SaveMapFile((dir_ / "hall.kmf").string(), "Stalls, again"), 1);
  EXPECT_TRUE(fs::exists(dir_ / "hall.kmf"));

  // Saving over a file replaces it whole.
  const std::string old = WriteFile("over.KMF", std::vector<uint8_t>(5000, 0xAB));
  ASSERT_EQ(SaveMapFile(old, "Stalls"), 1);
  std::vector<uint8_t> saved;
  ASSERT_TRUE(ReadWholeFile(old, saved));
  EXPECT_EQ(saved.size(), kSampleSize);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);  // no temporary left
  EXPECT_TRUE(messages.texts().empty());

  // A folder that does not exist cannot be written.
  EXPECT_EQ(SaveMapFile((dir_ / "no" / "hall.KMF").string(), "Stalls"), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Can\xB4t write file to disk"});

  // A target that cannot be replaced (a folder) cannot be opened either and
  // keeps what it was.
  fs::create_directory(dir_ / "taken.KMF");
  EXPECT_EQ(SaveMapFile((dir_ / "taken.KMF").string(), "Stalls"), 0);
  ASSERT_EQ(messages.messages().size(), 2u);
  EXPECT_EQ(messages.messages()[1].text, "Can\xB4t write file to disk");
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.KMF"));

  // A write that fails keeps the old file.
  SimulateSaveFailure(SaveStep::kWrite);
  EXPECT_EQ(SaveMapFile(old, "Stalls, lost"), 0);
  SimulateSaveFailure(SaveStep::kNone);
  ASSERT_EQ(messages.messages().size(), 3u);
  EXPECT_EQ(messages.messages()[2].text, "Couldn\xB4t write file to disk");
  EXPECT_EQ(messages.messages()[2].caption, "Disk full !");
  std::vector<uint8_t> kept;
  ASSERT_TRUE(ReadWholeFile(old, kept));
  EXPECT_EQ(kept, saved);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);
}

}  // namespace
