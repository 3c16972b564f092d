#include "design/acoustics/realtime_playback.h"

#include <gtest/gtest.h>

#include "tests/design/acoustics/audio_fixtures.h"
#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"
#include "tests/support/recording_sound.h"

namespace {

using namespace audio_fixtures;

// A processor at 22050 Hz with impulses of (delay in samples, amplitude),
// reverberation times and ratios of all bands.
AudioProcessor Reducible(const std::vector<std::pair<uint32_t, float>>& impulses, float rt, float ratio = 0) {
  AudioProcessor p;
  EXPECT_EQ(AllocProcessingBuffers(p, 22050), 1);
  p.delays.clear();
  p.amplitudes.clear();
  for (const auto& [delay, amplitude] : impulses) {
    p.delays.push_back(delay);
    p.amplitudes.push_back(amplitude);
  }
  p.reverberationTimes.fill(rt);
  p.reverberantRatios.fill(ratio);
  return p;
}

TEST(RealTimePlayback, ReductionKeepsTheEarlyBinsAndAddsADecayingTail) {
  // Arrivals within the first 40 ms fill bins 0 and 1 (442 samples each).
  AudioProcessor p = Reducible({{0, 1.0f}, {220, 0.5f}, {551, 0.25f}}, 2.0f);
  TailRandom random;
  random.Seed(42);
  ReduceImpulsesForRealTime(p, random);

  // The tail, as the reduction defines it: A = E max(ratio, L) + E with E =
  // 1.75 and L = 0; bins 248, 246, ... 2 at a random time within bins b and
  // b + 1 of 441 samples; each the level there less the level above, from
  // 10^-6 on (about 4.2 s).
  TailRandom expected;
  expected.Seed(42);
  std::vector<std::pair<uint32_t, double>> tail;  // bin 248 first
  double previous = 0;
  for (int b = 248; b > 1; b -= 2) {
    const int t = expected.Next() * 882 / 32767 + 441 * b;
    const double a = std::pow(std::pow(10.0, -(60.0 / 2.0) / 10.0), t / 22050.0) * 1.75;
    if (a >= 1e-6) tail.push_back({uint32_t(t), a - previous});
    previous = a;
  }
  ASSERT_EQ(p.delays.size(), 2 + tail.size());
  EXPECT_EQ(p.delays[0], 0u);
  EXPECT_EQ(p.delays[1], 551u);
  EXPECT_FLOAT_EQ(p.amplitudes[0], 1.0f);  // bin 0, the largest, is 1.0
  EXPECT_FLOAT_EQ(p.amplitudes[1], float(0.25 / 1.5));
  for (size_t i = 0; i < tail.size(); ++i) {
    const auto& [t, a] = tail[tail.size() - 1 - i];
    EXPECT_EQ(p.delays[2 + i], t) << i;
    EXPECT_FLOAT_EQ(p.amplitudes[2 + i], float(a / 1.5)) << i;
  }
  // Summed from the top, the tail is the level at each time: with 2 s it
  // falls by 10^-3 a second.
  double fromTop2 = 0, fromTop100 = 0;
  for (size_t i = 0; i < tail.size(); ++i) {
    if (p.delays[2 + i] >= 441 * 2) fromTop2 += p.amplitudes[2 + i];
    if (p.delays[2 + i] >= 441 * 100) fromTop100 += p.amplitudes[2 + i];
  }
  const double seconds = (double(p.delays[2 + 49]) - double(p.delays[2])) / 22050;
  ASSERT_EQ(tail.size(), 52u);
  EXPECT_NEAR(fromTop100 / fromTop2, std::pow(10.0, -3 * seconds), 1e-5);
}

TEST(RealTimePlayback, ReductionEdgeCases) {
  TailRandom random;
  struct Case {
    const char* name;
    AudioProcessor processor;
    std::vector<uint32_t> delays;
    std::vector<float> amplitudes;
  };
  Case cases[] = {
      {"no reverberation time, no tail", Reducible({{0, 0.5f}, {900, 0.25f}}, 0.0f), {0, 900}, {1.0f, 0.5f}},
      {"a negative one neither", Reducible({{0, 0.5f}}, -1.0f), {0}, {1.0f}},
      {"nor one not a number", Reducible({{0, 0.5f}}, NAN), {0}, {1.0f}},
      {"no impulses: silence", Reducible({}, 2.0f), {}, {}},
      {"arrivals of one bin sum at the earliest", Reducible({{400, 0.5f}, {100, 0.5f}}, 0.0f), {100}, {1.0f}},
      {"a late arrival is left out and leaves no room for a tail",
       Reducible({{0, 1.0f}, {300 * 442, 1.0f}}, 2.0f),
       {0},
       {1.0f}},
      {"the last bin keeps its arrival and takes no tail",
       Reducible({{0, 1.0f}, {249 * 442, 0.5f}}, 2.0f),
       {0, 249 * 442},
       {1.0f, 0.5f}},
  };
  for (Case& c : cases) {
    ReduceImpulsesForRealTime(c.processor, random);
    EXPECT_EQ(c.processor.delays, c.delays) << c.name;
    EXPECT_EQ(c.processor.amplitudes, c.amplitudes) << c.name;
  }
  // A reverberant ratio above the late sum raises the tail: A = E ratio + E,
  // four times the tail of ratio 0 here, while bin 0 stays the largest.
  AudioProcessor loud = Reducible({{0, 1.0f}}, 20.0f, 3.0f);
  AudioProcessor quiet = Reducible({{0, 1.0f}}, 20.0f, 0.0f);
  TailRandom a, b;
  ReduceImpulsesForRealTime(loud, a);
  ReduceImpulsesForRealTime(quiet, b);
  ASSERT_EQ(loud.delays, quiet.delays);
  ASSERT_EQ(loud.amplitudes.size(), 1u + 124u);
  EXPECT_EQ(loud.amplitudes[0], 1.0f);
  for (size_t i = 1; i < loud.amplitudes.size(); ++i)
    EXPECT_NEAR(loud.amplitudes[i], 4 * quiet.amplitudes[i], 1e-6 * loud.amplitudes[i]) << i;
}

class RealTimeTest : public AudioFolderTest {
 protected:
  void SetUp() override {
    AudioFolderTest::SetUp();
    // A profile of three arrivals with reverberation times, as "RTA" writes.
    AudioProfile profile;
    profile.impulses = {{0, 1.0f, {}}, {12, 0.4f, {}}, {70, 0.2f, {}}};
    profile.bandRecords = {Levels(1), Levels(0.8f), Levels(0.5f)};
    MemoryWriter writer;
    ASSERT_TRUE(WriteAudioProfileFile(writer, profile));
    WriteFile("room.tmp", writer.bytes());
    gAuralisation.profilePath = Path("room.tmp");
  }

  // The input file, with a loud chunk behind its data that must not play.
  void UseInput(uint32_t rate, const std::vector<int16_t>& samples) {
    Bytes chunks;
    Chunk(chunks, "fmt ", FormatRecord(rate).b);
    Chunk(chunks, "data", SampleBytes(samples));
    Chunk(chunks, "LIST", SampleBytes(std::vector<int16_t>(500, 30000)));
    WriteFile("in.wav", RiffFile(chunks));
    gAuralisation.wavInputPath = Path("in.wav");
    gAuralisation.sampleRate = float(rate);
  }

  // What the stream should play: `input` through the reduced profile, then
  // silence, `blocks` blocks of it.
  std::vector<int16_t> Offline(const std::vector<int16_t>& input, size_t blocks, uint32_t seed) {
    AudioProcessor p;
    EXPECT_EQ(AllocProcessingBuffers(p, 22050), 1);
    TailRandom random;
    random.Seed(seed);
    EXPECT_EQ(ReadAudioProfileRealTime(p, gAuralisation.profilePath, random), ProfileLoad::kLoaded);
    ResetProcessing(p);
    std::vector<int16_t> out;
    for (size_t i = 0; i < blocks * kWaveBlockLength; ++i)
      out.push_back(ProcessSample(p, i < input.size() ? input[i] : 0));
    return out;
  }

  int Run(uint32_t seed = 9) {
    gTailRandom.Seed(seed);
    return RunRealTimeAuralisation(gAuralisation, sound_);
  }

  static std::vector<int> Cycle(size_t count) {
    std::vector<int> tags;
    for (size_t i = 0; i < count; ++i) tags.push_back(int(i % 3));
    return tags;
  }

  FakeServices services_;
  RecordingSound sound_;
};

TEST_F(RealTimeTest, BlocksPlayInTurnFollowedByTwentyTailBlocks) {
  const std::vector<int16_t> input = Sine(300, 22050, 3 * kWaveBlockLength + 1500);
  UseInput(22050, input);
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(services_.progressTitle, "Processing  impulses...");
  ASSERT_EQ(sound_.streams.size(), 1u);
  const RecordedStream& stream = *sound_.streams[0];
  EXPECT_EQ(stream.format.sampleRate, 22050u);
  EXPECT_EQ(stream.format.bytesPerSample, 2);
  EXPECT_EQ(stream.format.channels, 1);
  EXPECT_EQ(stream.tags, Cycle(4 + kTailBlocks));
  for (const auto& block : stream.blocks) EXPECT_EQ(block.size(), kWaveBlockLength);
  EXPECT_EQ(stream.Samples(), Offline(input, 4 + kTailBlocks, 9));
  EXPECT_EQ(stream.drains, 1);
  EXPECT_EQ(stream.resets, 0);
  EXPECT_TRUE(stream.closed);
  EXPECT_EQ(gAuralisation.sampleRate, 22050.0f);
  EXPECT_FALSE(gAuralisation.busy);
  EXPECT_EQ(services_.percents.back(), 100);
}

TEST_F(RealTimeTest, AHalvedInputPlaysWhole) {
  std::vector<int16_t> input = Sine(500, 44100, 6 * kWaveBlockLength + 1001);
  input[0] = -3;  // (-3 + s1) / 2 truncates toward zero
  UseInput(44100, input);
  ASSERT_EQ(Run(), 1);
  std::vector<int16_t> halved;
  for (size_t i = 0; i + 1 < input.size(); i += 2) halved.push_back(int16_t((input[i] + input[i + 1]) / 2));
  const RecordedStream& stream = *sound_.streams[0];
  EXPECT_EQ(stream.tags.size(), 4u + kTailBlocks);
  EXPECT_EQ(stream.Samples(), Offline(halved, 4 + kTailBlocks, 9));
  EXPECT_EQ(gAuralisation.sampleRate, 44100.0f);
}

TEST_F(RealTimeTest, AShortInputFillsItsBlockWithTheTail) {
  const std::vector<int16_t> input = Sine(800, 22050, 1000);
  UseInput(22050, input);
  ASSERT_EQ(Run(3), 1);
  const RecordedStream& stream = *sound_.streams[0];
  EXPECT_EQ(stream.tags, Cycle(1 + kTailBlocks));
  EXPECT_EQ(stream.Samples(), Offline(input, 1 + kTailBlocks, 3));
  // An input ending on a block boundary, and an empty one, add no block.
  UseInput(22050, Sine(800, 22050, 2 * kWaveBlockLength));
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(sound_.streams[1]->tags.size(), 2u + kTailBlocks);
  UseInput(22050, {});
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(sound_.streams[2]->tags.size(), size_t(kTailBlocks));
}

TEST_F(RealTimeTest, OtherRatesAreResampled) {
  gAuralisation.wavInputPath = kSpeechFile;
  gAuralisation.sampleRate = 16000;
  ASSERT_EQ(Run(), 1);
  // 62081 samples at 16 kHz are 85555 at 22050 Hz: 20 blocks, the last part full.
  EXPECT_EQ(sound_.streams[0]->tags.size(), 20u + kTailBlocks);
  EXPECT_EQ(gAuralisation.sampleRate, 16000.0f);

  // A 1 kHz tone keeps its pitch and level; one above 11025 Hz is filtered out.
  for (const uint32_t rate : {8000u, 16000u, 32000u, 48000u, 96000u}) {
    UseInput(rate, Sine(1000, rate, rate));
    RealTimeInput input;
    ASSERT_EQ(input.Open(Path("in.wav")), WavCheck::kOk);
    EXPECT_EQ(input.mode(), RealTimeInput::Mode::kResampling);
    EXPECT_EQ(input.OutputLength(), 22050u);
    std::vector<int16_t> out;
    for (int16_t s; input.Next(s);) out.push_back(s);
    ASSERT_EQ(out.size(), 22050u) << rate;
    int crossings = 0;
    double power = 0;
    for (size_t i = 1000; i + 1000 < out.size(); ++i) {
      crossings += (out[i - 1] < 0) != (out[i] < 0);
      power += double(out[i]) * out[i];
    }
    const double seconds = double(out.size() - 2000) / 22050;
    EXPECT_NEAR(crossings / seconds, 2000, 5) << rate;
    EXPECT_NEAR(std::sqrt(power / (out.size() - 2000)), 10000 / std::sqrt(2.0), 100) << rate;
  }
  UseInput(48000, Sine(15000, 48000, 48000));
  RealTimeInput high;
  ASSERT_EQ(high.Open(Path("in.wav")), WavCheck::kOk);
  double power = 0;
  for (int16_t s; high.Next(s);) power += double(s) * s;
  EXPECT_LT(std::sqrt(power / 22050), 70);
}

TEST_F(RealTimeTest, CancelStopsAtTheNextBlockAndCutsTheSoundOff) {
  UseInput(22050, Sine(300, 22050, 10 * kWaveBlockLength));
  gAuralisation.sampleRate = 44100;
  // Updates: the opening one, then one per block made: the fifth block's is
  // cancelled.
  services_.cancelAtUpdate = 6;
  EXPECT_EQ(Run(), 0);
  const RecordedStream& stream = *sound_.streams[0];
  EXPECT_EQ(stream.tags, Cycle(4));
  EXPECT_EQ(stream.resets, 1);
  EXPECT_EQ(stream.drains, 0);
  EXPECT_TRUE(stream.closed);
  EXPECT_EQ(gAuralisation.sampleRate, 44100.0f);
  EXPECT_FALSE(gAuralisation.busy);
  EXPECT_EQ(services_.progressOpen, 0);
}

TEST_F(RealTimeTest, ADeviceThatStopsGivesUpWithinTheTimeout) {
  UseInput(22050, Sine(300, 22050, 10 * kWaveBlockLength));
  sound_.completeBlocks = 2;
  MessageRecorder messages;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Sound output device not available"});
  EXPECT_EQ(messages.messages()[0].flags, unsigned(kMsgOk | kMsgIconExclamation));
  EXPECT_EQ(sound_.beeps, 1);
  EXPECT_EQ(sound_.emptyWaits, int(kDeviceTimeoutMs / kCompletionWaitMs));
  EXPECT_EQ(sound_.streams[0]->tags, Cycle(5));
  EXPECT_EQ(sound_.streams[0]->resets, 1);
  // While waiting the progress window kept answering.
  EXPECT_GE(services_.percents.size(), size_t(kDeviceTimeoutMs / kCompletionWaitMs));

  sound_.failOpen = true;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(messages.texts().size(), 2u);
  EXPECT_EQ(sound_.beeps, 2);
}

TEST_F(RealTimeTest, ASlowStartIsToldAndPlaysOn) {
  UseInput(22050, Sine(300, 22050, 5000));
  services_.clockStep = 400;
  MessageRecorder messages;
  ASSERT_EQ(Run(), 1);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "Can\xB4t play uninterrupted audio");
  EXPECT_EQ(messages.messages()[0].caption, "PC speed too slow");
  EXPECT_EQ(sound_.streams[0]->tags.size(), 2u + kTailBlocks);
}

TEST_F(RealTimeTest, TheTemporaryProfilePlaysInPlaceOfTheCurrentOne) {
  UseInput(22050, Sine(300, 22050, 5000));
  const std::string input = gAuralisation.wavInputPath;
  gAuralisation.wavInputPath.clear();
  gAuralisation.profilePath = Path("kept.KAP");
  services_.clock = 4242;
  ObjectList model;
  AddRayPath(model, {{0, 0, 0}, {5, 0, 0}}, 14.6f, Levels(100));
  AddRayPath(model, {{0, 0, 0}, {2, 2, 0}, {5, 0, 0}}, 20, Levels(30));
  RayResults results;
  results.earliestArrival = 14.6f;
  results.reverberationTime.fill(1.2f);

  // Without an input the choice runs first; still none: nothing plays.
  int asked = 0;
  EXPECT_EQ(RunTemporaryProfile(gAuralisation, model, results, sound_, [&] { ++asked; }), 0);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(sound_.streams.empty());

  ASSERT_EQ(RunTemporaryProfile(gAuralisation, model, results, sound_, [&] { gAuralisation.wavInputPath = input; }), 1);
  EXPECT_EQ(sound_.streams.size(), 1u);
  EXPECT_EQ(sound_.streams[0]->tags.size(), 2u + kTailBlocks);
  EXPECT_EQ(gAuralisation.profilePath, Path("kept.KAP"));
  EXPECT_FALSE(fs::exists(TemporaryProfilePath(4242)));
  FreeObjectList(model);
}

}  // namespace
