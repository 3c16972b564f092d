// What the auralisation tests share: the recordings of the data folder, WAV
// files written by hand from their layout, a folder of the test's own, and
// RayPath objects with chosen times and levels.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "design/acoustics/ray_paths.h"
#include "framework/core/byte_codec.h"
#include "framework/core/state_reset.h"
#include "tests/support/le_bytes.h"

namespace audio_fixtures {

namespace fs = std::filesystem;

inline const fs::path kDataFolder = fs::path(KORVANE_TESTS_DIR "/design/acoustics") / "data";
// Studio speech, 16-bit mono 16 kHz, 62081 samples.
inline const std::string kSpeechFile = (kDataFolder / "cmu_arctic_us_aew_a0001.wav").string();
constexpr uint32_t kSpeechSamples = 62081;
// The start of a 24-bit mono 44.1 kHz recording with a PAD chunk.
inline const std::string kCastanetsFile = (kDataFolder / "castanets_dry_head.wav").string();

// The 16-byte format record, field by field.
inline Bytes FormatRecord(uint32_t rate, uint16_t channels = 1, uint16_t bits = 16, uint16_t tag = 1) {
  Bytes b;
  b.u16(tag).u16(channels).u32(rate).u32(rate * channels * bits / 8).u16(uint16_t(channels * bits / 8)).u16(bits);
  return b;
}

inline Bytes& Chunk(Bytes& file, const char* id, const std::vector<uint8_t>& body, bool pad = true) {
  file.text(id, 4).u32(uint32_t(body.size()));
  file.b.insert(file.b.end(), body.begin(), body.end());
  if (pad && body.size() % 2) file.u8(0);
  return file;
}

inline std::vector<uint8_t> SampleBytes(const std::vector<int16_t>& samples) {
  Bytes b;
  for (int16_t s : samples) b.u16(uint16_t(s));
  return b.b;
}

// "RIFF" (its size fixed up), "WAVE" and the chunks.
inline std::vector<uint8_t> RiffFile(const Bytes& chunks) {
  Bytes file;
  file.text("RIFF", 4).u32(uint32_t(4 + chunks.b.size())).text("WAVE", 4);
  file.b.insert(file.b.end(), chunks.b.begin(), chunks.b.end());
  return file.b;
}

// A plain 16-bit mono file of `samples` at `rate`.
inline std::vector<uint8_t> MonoWav(uint32_t rate, const std::vector<int16_t>& samples) {
  Bytes chunks;
  Chunk(chunks, "fmt ", FormatRecord(rate).b);
  Chunk(chunks, "data", SampleBytes(samples));
  return RiffFile(chunks);
}

// `count` samples of a sine of `frequency` at `rate`.
inline std::vector<int16_t> Sine(double frequency, uint32_t rate, size_t count, double amplitude = 10000) {
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i)
    samples[i] = int16_t(std::lround(amplitude * std::sin(2 * 3.14159265358979323846 * frequency * double(i) / rate)));
  return samples;
}

// A folder of the test's own, removed afterwards, and every record reset
// before and after.
class AudioFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllState();
    folder_ = fs::temp_directory_path() / ("korvane_audio_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    ResetAllState();
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    SafeFileWriter writer(Path(name));
    ASSERT_TRUE(writer.Bytes(bytes.data(), bytes.size()) && writer.Commit());
  }
  std::vector<uint8_t> ReadFile(const std::string& path) const {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
  }

  fs::path folder_;
};

// A linked RayPath through `points` (source first, target last) arriving at
// `time` ms with the seven band `levels`, appended to `model`.
inline GraphicObject* AddRayPath(ObjectList& model, const std::vector<ObjectVertex>& points, float time,
                                 const std::array<float, kBandCount>& levels) {
  PathRecord record;
  record.reflections = int16_t(points.size() - 2);
  for (size_t k = 0; k < points.size(); ++k)
    record.nodes[k] = {uint16_t(k == 0 ? kSourceTag : k + 1 == points.size() ? kTargetTag : k - 1), points[k]};
  GraphicObject* path = CreateRayPath(record);
  SetRayPathTime(path, time);
  for (int b = 0; b < kBandCount; ++b) SetRayPathLevel(path, b, levels[size_t(b)]);
  AppendObjectToList(path, model);
  return path;
}

inline std::array<float, kBandCount> Levels(float all) {
  std::array<float, kBandCount> levels;
  levels.fill(all);
  return levels;
}

}  // namespace audio_fixtures
