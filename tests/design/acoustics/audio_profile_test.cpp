#include "design/acoustics/audio_profile.h"

#include <gtest/gtest.h>

#include <complex>

#include "tests/design/acoustics/audio_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

using namespace audio_fixtures;

// H_b as the band response defines it, from arrival times in seconds.
std::array<double, kBandCount> ExpectedResponse(const std::vector<std::pair<double, std::array<float, 7>>>& paths) {
  std::array<double, kBandCount> h{};
  for (int b = 0; b < kBandCount; ++b) {
    for (int k = 3 * b; k < 3 * b + 3; ++k) {
      const double omega = 6.28319 * 100.0 * std::pow(1.25, k);
      std::complex<double> sum;
      for (const auto& [ms, levels] : paths) sum += double(levels[size_t(b)]) * std::polar(1.0, omega * ms / 1000);
      h[size_t(b)] += std::abs(sum) / 3;
    }
  }
  const double largest = *std::max_element(h.begin(), h.end());
  for (double& v : h) v /= largest;
  return h;
}

class AudioProfileTest : public AudioFolderTest {
 protected:
  void TearDown() override {
    FreeObjectList(model_);
    AudioFolderTest::TearDown();
  }
  // A direct path at 30 ms strongest at 1 kHz, and one reflection at 45 ms.
  void AddTwoPaths() {
    AddRayPath(model_, {{0, 0, 0}, {10, 0, 0}}, 30, kDirectLevels);
    AddRayPath(model_, {{0, 0, 0}, {5, 5, 0}, {10, 0, 0}}, 45, Levels(50));
    results_.earliestArrival = 30;
    results_.highestLevel = 30;  // dB: 1000, the direct path's 1 kHz level
  }
  static constexpr std::array<float, kBandCount> kDirectLevels = {100, 200, 400, 1000, 400, 200, 100};

  ObjectList model_;
  RayResults results_;
};

TEST_F(AudioProfileTest, StoredProfileHasTheLayout) {
  AddTwoPaths();
  ASSERT_EQ(StoreAudioProfile(Path("hall"), model_, results_, "Main floor", "30,5"), 1);
  const std::vector<uint8_t> file = ReadFile(Path("hall.KAP"));

  Bytes golden;
  golden.text("KORVANE AUDIO X-FORMER FILE V2.00", 40).text("Main floor", 80);
  golden.u32(2).f32(30.5f).u32(0);  // the listen angle, its comma a point
  ASSERT_EQ(golden.b.size(), 132u);
  golden.f32(0).f32(1.0f).zeros(24).f32(10).f32(0).f32(0);
  golden.f32(15).f32(float(50 / 1000.0)).zeros(24).f32(5).f32(-5).f32(0);
  const size_t bandRecord = golden.b.size();
  ASSERT_EQ(bandRecord, 132u + 2 * 44);
  ASSERT_EQ(file.size(), bandRecord + 44);
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + long(bandRecord)), golden.b);

  // The band record behind the last impulse: 0, H_b, zeros.
  const auto h = ExpectedResponse({{30, kDirectLevels}, {45, Levels(50)}});
  EXPECT_EQ(LoadF32(&file[bandRecord]), 0.0f);
  for (int b = 0; b < kBandCount; ++b) EXPECT_NEAR(LoadF32(&file[bandRecord + 4 + 4 * size_t(b)]), h[size_t(b)], 1e-5);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + long(bandRecord + 32), file.end()), std::vector<uint8_t>(12, 0));
}

TEST_F(AudioProfileTest, TemporaryProfileHasThreeBandRecords) {
  AddTwoPaths();
  for (int b = 0; b < kBandCount; ++b) {
    results_.reverberationTime[size_t(b)] = 0.5f + 0.1f * float(b);
    results_.earlyLevel[size_t(b)] = 80;
    results_.reverberantLevel[size_t(b)] = 70 + float(b);
  }
  const std::string path = TemporaryProfilePath(1234);
  EXPECT_EQ(fs::path(path).filename(), "korvane_1234.tmp");
  EXPECT_EQ(fs::path(path).parent_path(), fs::temp_directory_path());
  ASSERT_EQ(WriteTemporaryProfile(Path("t.tmp"), model_, results_), 1);

  FileReader reader(Path("t.tmp"));
  AudioProfile profile;
  ASSERT_TRUE(ReadAudioProfileFile(reader, profile));
  EXPECT_EQ(reader.Position(), 132u + 5 * 44);
  EXPECT_EQ(profile.description, "");
  EXPECT_EQ(profile.listenAngle, 0.0f);
  ASSERT_EQ(profile.impulses.size(), 2u);
  ASSERT_EQ(profile.bandRecords.size(), 3u);
  // Levels: each path's weighted band sum over the largest.
  const BandResponse band = ComputeBandResponse(model_);
  double direct = 0, reflected = 0;
  for (int b = 0; b < kBandCount; ++b) {
    direct += kDirectLevels[size_t(b)] * double(band.weights[size_t(b)]);
    reflected += 50 * double(band.weights[size_t(b)]);
  }
  EXPECT_FLOAT_EQ(profile.impulses[0].level, 1.0f);
  EXPECT_FLOAT_EQ(profile.impulses[1].level, float(reflected / direct));
  for (int b = 0; b < kBandCount; ++b) {
    EXPECT_EQ(profile.bandRecords[0][size_t(b)], band.response[size_t(b)]);
    EXPECT_EQ(profile.bandRecords[1][size_t(b)], results_.reverberationTime[size_t(b)]);
    EXPECT_FLOAT_EQ(profile.bandRecords[2][size_t(b)], float(std::pow(10.0, (b - 10) / 10.0)));
  }
}

TEST_F(AudioProfileTest, BandResponseTakesArrivalTimesInSeconds) {
  // Two equal paths 0.4 ms apart: |1 + e^(i w t)| = 2 |cos(pi f t)|.
  AddRayPath(model_, {{0, 0, 0}, {1, 0, 0}}, 10.0f, Levels(1));
  AddRayPath(model_, {{0, 0, 0}, {1, 1, 0}, {1, 0, 0}}, 10.4f, Levels(1));
  const BandResponse band = ComputeBandResponse(model_);
  const auto h = ExpectedResponse({{10.0f, Levels(1)}, {10.4f, Levels(1)}});
  double sum = 0;
  for (double v : h) sum += v;
  for (int b = 0; b < kBandCount; ++b) {
    EXPECT_NEAR(band.response[size_t(b)], h[size_t(b)], 1e-5) << b;
    EXPECT_NEAR(band.weights[size_t(b)], h[size_t(b)] / sum, 1e-6) << b;
  }
  // The lowest band sums almost in phase, the highest well out of it.
  EXPECT_GT(band.response[0], 0.9f);
  EXPECT_LT(band.response[6], 0.6f);

  ObjectList none;
  const BandResponse empty = ComputeBandResponse(none);
  EXPECT_EQ(empty.largestWeightedSum, 0);
  EXPECT_EQ(empty.response, ProfileBandRecord{});
}

TEST_F(AudioProfileTest, ImpulsesBeforeTheEarliestArrivalStartAtZero) {
  AddRayPath(model_, {{0, 0, 0}, {2, 3, 4}}, 20, Levels(10));
  results_.earliestArrival = 25;
  results_.highestLevel = 10;  // a single path at its highest band: level 1.0
  const AudioProfile profile = StoredAudioProfile(model_, results_, "", 0);
  ASSERT_EQ(profile.impulses.size(), 1u);
  EXPECT_EQ(profile.impulses[0].time, 0.0f);
  EXPECT_FLOAT_EQ(profile.impulses[0].level, 1.0f);
  EXPECT_EQ(profile.impulses[0].direction.z, 4.0f);
}

TEST(AudioProfile, ListenAngleIsATypedNumberOrZero) {
  const std::pair<const char*, float> cases[] = {{"", 0},    {"30,5", 30.5f}, {" 12.5", 12.5f}, {"-45", -45},
                                                 {"abc", 0}, {"inf", 0},      {"1e40", 0},      {"30 deg", 0}};
  for (const auto& [text, angle] : cases) EXPECT_EQ(ParseListenAngle(text), angle) << text;
}

TEST_F(AudioProfileTest, ProfileNamesGetTheirExtensionOnce) {
  AddTwoPaths();
  for (const char* name : {"a.kap", "b.KAP", "c"})
    ASSERT_EQ(StoreAudioProfile(Path(name), model_, results_, "", ""), 1);
  EXPECT_TRUE(fs::exists(Path("a.kap")));
  EXPECT_TRUE(fs::exists(Path("b.KAP")));
  EXPECT_TRUE(fs::exists(Path("c.KAP")));
  MessageRecorder messages;
  EXPECT_EQ(StoreAudioProfile(Path("missing/d"), model_, results_, "", ""), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Can\xB4t write file to disk"});
}

TEST(AudioProfile, ReaderRefusesWhatItCannotFollow) {
  const auto header = [](int32_t count, const std::string& description = "d") {
    Bytes b;
    b.text("KORVANE AUDIO X-FORMER FILE V2.00", 40).text(description, 80).u32(uint32_t(count)).f32(7.5f).u32(0);
    return b;
  };
  const auto read = [](const Bytes& bytes, AudioProfile& profile) {
    MemoryReader reader(bytes.b);
    return ReadAudioProfileFile(reader, profile);
  };
  AudioProfile held;
  held.description = "held";
  Bytes wrongMagic = header(0);
  wrongMagic.b[8] = 'X';
  Bytes oneShort = header(2);
  oneShort.f32(1).f32(1).zeros(36).zeros(43);
  for (const Bytes& bad : {wrongMagic, header(-1), header(1), oneShort}) {
    EXPECT_FALSE(read(bad, held));
    EXPECT_EQ(held.description, "held");
  }

  // Band records follow as far as they are whole; a description filling its
  // field is cut to 79 characters.
  Bytes good = header(1, std::string(80, 'x'));
  good.f32(2).f32(0.5f).zeros(24).f32(1).f32(2).f32(3);
  good.f32(0);
  for (int b = 0; b < kBandCount; ++b) good.f32(float(b));
  good.zeros(12).zeros(43);
  AudioProfile profile;
  ASSERT_TRUE(read(good, profile));
  EXPECT_EQ(profile.description, std::string(79, 'x'));
  EXPECT_EQ(profile.listenAngle, 7.5f);
  ASSERT_EQ(profile.impulses.size(), 1u);
  EXPECT_EQ(profile.impulses[0].time, 2.0f);
  EXPECT_EQ(profile.impulses[0].direction.y, 2.0f);
  ASSERT_EQ(profile.bandRecords.size(), 1u);
  EXPECT_EQ(profile.bandRecords[0][6], 6.0f);
}

}  // namespace
