#include "design/acoustics/ray_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "framework/model/packed_object.h"
#include "tests/design/acoustics/audio_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

using namespace audio_fixtures;

class RayFileTest : public AudioFolderTest {
 protected:
  void SetUp() override {
    AudioFolderTest::SetUp();
    AddRayPath(paths_, {{0, 0, 1}, {4, 0, 1}}, 11.5f, Levels(100));
    AddRayPath(paths_, {{0, 0, 1}, {2, 3, 1}, {4, 0, 1}}, 20, Levels(40));
    AddRayPath(paths_, {{0, 0, 1}, {1, -3, 1}, {3, 3, 1}, {4, 0, 1}}, 31, Levels(9));
    // A model with one object of its own, which reading appends to.
    held_ = CreateObject(0, 3, 3);
    AppendObjectToList(held_, model_);
  }
  void TearDown() override {
    FreeObjectList(paths_);
    FreeObjectList(model_);
    AudioFolderTest::TearDown();
  }
  std::vector<uint8_t> Written(const ObjectList& list) const {
    MemoryWriter writer;
    EXPECT_TRUE(WriteRayFile(writer, list, "Row 12", 7.25));
    return writer.Take();
  }
  int Count(const ObjectList& list) const {
    int n = 0;
    for (const GraphicObject* o = list.first; o; o = o->next) ++n;
    return n;
  }

  ObjectList paths_;
  ObjectList model_;
  GraphicObject* held_ = nullptr;
};

TEST_F(RayFileTest, ThreePathsReadBackAsThreeObjectsWithTheirData) {
  const std::vector<uint8_t> file = Written(paths_);
  Bytes header;
  header.text("KORVANE RAY FILE V1.10", 32).text("Row 12", 80);
  ASSERT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 112), header.b);
  EXPECT_EQ(LoadF64(&file[112]), 7.25);
  EXPECT_EQ(LoadU64(&file[120]), 0u);
  // The "next" words: set on the first two paths, 0 on the last.
  size_t at = kRayFileHeaderSize;
  std::vector<uint32_t> next;
  for (const GraphicObject* p = paths_.first; p; p = p->next) {
    next.push_back(LoadU32(&file[at + 4]));
    EXPECT_EQ(LoadU32(&file[at + 32]), uint32_t(kRayPathLayer));
    at += size_t(PackedObjectSize(p));
  }
  EXPECT_EQ(at, file.size());
  EXPECT_EQ(next, (std::vector<uint32_t>{kPackedNextFollows, kPackedNextFollows, 0}));

  WriteFile("paths.KRF", file);
  MessageRecorder messages;
  double meanFreePath = 0;
  ASSERT_EQ(ReadRayFile(Path("paths.KRF"), model_, meanFreePath), 1);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Row 12");
  EXPECT_EQ(messages.messages()[0].caption, "Description :");
  EXPECT_EQ(meanFreePath, 7.25);
  ASSERT_EQ(Count(model_), 4);
  EXPECT_EQ(model_.first, held_);
  const GraphicObject* read = held_->next;
  for (const GraphicObject* p = paths_.first; p; p = p->next, read = read->next) {
    ASSERT_EQ(read->dataSize, p->dataSize);
    EXPECT_EQ(std::memcmp(read->data, p->data, p->dataSize), 0);
    EXPECT_EQ(std::memcmp(read->vertices, p->vertices, 12 * p->vertexCount), 0);
    EXPECT_EQ(read->colour, p->colour);
    EXPECT_EQ(RayPathTime(read), RayPathTime(p));
  }
  EXPECT_EQ(model_.last->next, nullptr);
}

TEST_F(RayFileTest, DamagedFilesAreRefusedAndTheModelStaysAsItWas) {
  const std::vector<uint8_t> good = Written(paths_);
  // Offsets within the second path's header.
  const size_t second = kRayFileHeaderSize + size_t(PackedObjectSize(paths_.first));
  const auto damaged = [&](const std::function<void(std::vector<uint8_t>&)>& damage) {
    std::vector<uint8_t> file = good;
    damage(file);
    return file;
  };
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"wrong magic", damaged([](auto& f) { f[3] = 'X'; })},
      {"layer 0", damaged([&](auto& f) { StoreU32(&f[second + 32], 0); })},
      {"kind 8", damaged([&](auto& f) { StoreU32(&f[second + 20], kKindFace); })},
      {"53 vertices", damaged([&](auto& f) {
         StoreU32(&f[second + 36], 53);
         StoreU32(&f[second + 40], 53);
         StoreU32(&f[second + 44], uint32_t(RayPathDataSize(51)));
       })},
      {"items unlike vertices", damaged([&](auto& f) { StoreU32(&f[second + 40], 2); })},
      {"data size", damaged([&](auto& f) { StoreU32(&f[second + 44], 70); })},
      {"n in the data", damaged([&](auto& f) { StoreU16(&f[second + 48 + 60], 2); })},
      {"vertex not finite", damaged([&](auto& f) { StoreF32(&f[second + 48 + 68 + 4], NAN); })},
      {"huge counts", damaged([&](auto& f) {
         StoreU32(&f[second + 36], 0x40000000);
         StoreU32(&f[second + 40], 0x40000000);
       })},
      {"ends before the last path", std::vector<uint8_t>(good.begin(), good.end() - 4)},
      {"only the header", std::vector<uint8_t>(good.begin(), good.begin() + kRayFileHeaderSize)},
  };
  const std::vector<uint8_t> before = [&] {
    MemoryWriter w;
    WritePackedObject(w, *held_, 0, 0);
    return w.Take();
  }();
  for (const auto& [name, file] : cases) {
    WriteFile("bad.KRF", file);
    MessageRecorder messages;
    double meanFreePath = 3;
    EXPECT_EQ(ReadRayFile(Path("bad.KRF"), model_, meanFreePath), 0) << name;
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Not a valid ray file"}) << name;
    EXPECT_EQ(meanFreePath, 3) << name;
    EXPECT_EQ(Count(model_), 1) << name;
  }
  MemoryWriter after;
  WritePackedObject(after, *held_, 0, 0);
  EXPECT_EQ(after.Take(), before);
}

TEST_F(RayFileTest, CancelOfTheDescriptionReadsNothing) {
  WriteFile("paths.KRF", Written(paths_));
  MessageRecorder messages;
  messages.Answer(kIdCancel);
  double meanFreePath = 3;
  EXPECT_EQ(ReadRayFile(Path("paths.KRF"), model_, meanFreePath), 0);
  EXPECT_EQ(Count(model_), 1);
  EXPECT_EQ(meanFreePath, 3);
  MessageRecorder missing;
  EXPECT_EQ(ReadRayFile(Path("none.KRF"), model_, meanFreePath), 0);
  EXPECT_EQ(missing.texts(), std::vector<std::string>{"Not a valid ray file"});
}

TEST_F(RayFileTest, StoringForcesTheExtensionAndKeepsOnlyRayPaths) {
  // Other objects of the model are not stored.
  AppendObjectToList(CreateObject(0, 2, 2), paths_);
  EXPECT_TRUE(HasRayPaths(paths_));
  EXPECT_FALSE(HasRayPaths(model_));
  for (const char* name : {"a.krf", "b.KRF", "hall"}) ASSERT_EQ(StoreRayFile(Path(name), paths_, "", 1.5), 1);
  for (const char* name : {"a.krf", "b.KRF", "hall.KRF"}) EXPECT_TRUE(fs::exists(Path(name))) << name;
  EXPECT_FALSE(fs::exists(Path("a.krf.KRF")));
  EXPECT_EQ(ReadFile(Path("hall.KRF")).size(),
            kRayFileHeaderSize + 3 * 48 + (62 + 4) + (62 + 6) + (62 + 8) + 16 * (2 + 3 + 4));
  MessageRecorder messages;
  EXPECT_EQ(StoreRayFile(Path("missing/x"), paths_, "", 1.5), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Can\xB4t write file to disk"});
}

}  // namespace
