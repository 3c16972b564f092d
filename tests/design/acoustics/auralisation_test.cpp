#include "design/acoustics/auralisation.h"

#include <gtest/gtest.h>

#include <complex>
#include <filesystem>
#include <functional>
#include <random>

#include "design/acoustics/wav_file.h"
#include "tests/design/acoustics/audio_fixtures.h"
#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"
#include "tests/support/recording_sound.h"

namespace {

using namespace audio_fixtures;

constexpr double kPi = 3.14159265358979323846;

// The filter's response at `frequency`, from its coefficients.
double Magnitude(const AudioFilter& f, double frequency, double rate) {
  const std::complex<double> z1 = std::polar(1.0, -2 * kPi * frequency / rate);
  const std::complex<double> num = double(f.b0) + double(f.b1) * z1 + double(f.b2) * z1 * z1;
  const std::complex<double> den = 1.0 - double(f.minusA1) * z1 - double(f.minusA2) * z1 * z1;
  return std::abs(num / den);
}

AudioFilter Filter(int32_t type, int32_t characteristic, float centre, float q = 1.0f) {
  AudioFilter f;
  f.type = type;
  f.characteristic = characteristic;
  f.centreFrequency = centre;
  f.q = q;
  DesignBiquad(f, 22050);
  return f;
}

TEST(Auralisation, BiquadsFollowTheirPrototypeAtTheCentreFrequency) {
  // At f0 the pre-warped design has the analogue response at s = j:
  // a low-pass gives 1 / |(1 - D2) + j D1|.
  const std::pair<int32_t, std::pair<double, double>> characteristics[] = {
      {0, {1.2872, 0.4142}},
      {kCriticalDamping, {1.2872, 0.4142}},
      {kBessel, {1.3617, 0.6180}},
      {kButterworth, {1.4142, 1.0}},
      {kChebyshev05dB, {1.3614, 1.3827}},
      {kChebyshev1dB, {1.3022, 1.5515}},
      {kChebyshev2dB, {1.1813, 1.7775}},
      {kChebyshev3dB, {1.0650, 1.9305}},
      {8, {1.2872, 0.4142}},
  };
  for (const auto& [characteristic, d] : characteristics) {
    const AudioFilter low = Filter(kLowPass, characteristic, 1000);
    EXPECT_NEAR(Magnitude(low, 1000, 22050), 1 / std::hypot(1 - d.second, d.first), 1e-4) << characteristic;
    EXPECT_NEAR(Magnitude(low, 0, 22050), 1.0, 1e-5);
  }
  const AudioFilter high = Filter(kHighPass, kButterworth, 1000);
  EXPECT_NEAR(Magnitude(high, 1000, 22050), std::sqrt(0.5), 1e-4);
  EXPECT_NEAR(Magnitude(high, 0, 22050), 0.0, 1e-6);
  EXPECT_NEAR(Magnitude(high, 11025, 22050), 1.0, 1e-4);
  // Band-pass: N1 / D1 at f0 whatever the Q; band-stop: nothing there.
  EXPECT_NEAR(Magnitude(Filter(kBandPass, kButterworth, 2000, 4), 2000, 22050), 1 / 1.4142, 1e-4);
  EXPECT_NEAR(Magnitude(Filter(kBandStop, kButterworth, 2000, 2), 2000, 22050), 0.0, 1e-4);
  for (double f : {10.0, 500.0, 3000.0, 10000.0})
    EXPECT_NEAR(Magnitude(Filter(kAllPass, kBessel, 1000), f, 22050), 1.0, 1e-4) << f;

  // Q and the centre frequency are clamped and written back.
  EXPECT_EQ(Filter(kBandPass, kButterworth, 1000, 0.01f).q, 0.1f);
  EXPECT_EQ(Filter(kBandPass, kButterworth, 1000, 5000).q, 1000.0f);
  EXPECT_EQ(Filter(kLowPass, kButterworth, 30000).centreFrequency, 20000.0f);
  EXPECT_EQ(Filter(kLowPass, kButterworth, 0).centreFrequency, 0.1f);
}

TEST(Auralisation, BandFiltersAreBandPassesTheRateCanHold) {
  BandFilters filters;
  BuildBandFilters(filters, 22050);
  for (const AudioFilter& f : filters) {
    EXPECT_EQ(f.b1, 0.0f);
    EXPECT_EQ(f.b2, -f.b0);
    EXPECT_EQ(f.q, 1.4f);
    EXPECT_GT(f.b0, 0.0f);
  }
  // (rate, band) -> whether the band is filtered: its centre must lie below
  // 0.45 of the rate.
  const std::tuple<float, int, bool> cases[] = {
      {22050, 6, true},  {17778, 6, true}, {17777, 6, false}, {16000, 6, false}, {16000, 5, true},
      {11025, 6, false}, {11025, 5, true}, {8000, 5, false},  {8000, 4, true},
  };
  for (const auto& [rate, band, filtered] : cases) {
    filters[size_t(band)].bandGain = 2.5f;
    BuildBandFilters(filters, rate);
    const AudioFilter& f = filters[size_t(band)];
    EXPECT_EQ(f.b0 != 0, filtered) << rate << " " << band;
    EXPECT_EQ(f.minusA1 != 0 && f.minusA2 != 0, filtered) << rate << " " << band;
    EXPECT_EQ(f.bandGain, 2.5f);
  }
}

// A processor for `rate` with the given impulses (time in ms, level), reset.
AudioProcessor Processor(float rate, const std::vector<std::pair<float, float>>& impulses) {
  AudioProcessor p;
  EXPECT_EQ(AllocProcessingBuffers(p, rate), 1);
  AudioProfile profile;
  for (const auto& [ms, level] : impulses) profile.impulses.push_back({ms, level, {}});
  ApplyAudioProfile(p, profile);
  ResetProcessing(p);
  return p;
}

std::vector<int16_t> ProcessAll(AudioProcessor& p, const std::vector<int16_t>& input) {
  std::vector<int16_t> out;
  for (int16_t x : input) out.push_back(ProcessSample(p, x));
  return out;
}

TEST(Auralisation, TheDryPathHasTheBandSumsResponse) {
  AudioProcessor dry = Processor(22050, {{0, 1.0f}});
  for (const float centre : kBandCentreFrequencies) {
    std::complex<double> sum;
    for (const AudioFilter& f : dry.filters) {
      const std::complex<double> z1 = std::polar(1.0, -2 * kPi * centre / 22050);
      sum += double(f.b0) * (1.0 - z1 * z1) / (1.0 - double(f.minusA1) * z1 - double(f.minusA2) * z1 * z1);
    }
    ResetProcessing(dry);
    const std::vector<int16_t> input = Sine(centre, 22050, 2 * 22050);
    const std::vector<int16_t> output = ProcessAll(dry, input);
    double in2 = 0, out2 = 0;
    for (size_t i = 22050; i < input.size(); ++i) {
      in2 += double(input[i]) * input[i];
      out2 += double(output[i]) * output[i];
    }
    const double measured = 10 * std::log10(out2 / in2);
    EXPECT_NEAR(measured, 20 * std::log10(std::abs(sum)), 0.1) << centre;
  }
}

TEST(Auralisation, ImpulsesAddDelayedInputBeforeTheFilters) {
  // (0 ms, 1.0) and (100 ms, 0.5) at 22050 Hz: the filters see x[n] + 0.5
  // x[n - 2205], as a dry run of that sum shows.
  AudioProcessor two = Processor(22050, {{0, 1.0f}, {100, 0.5f}});
  EXPECT_EQ(two.delays, (std::vector<uint32_t>{0, 2205}));
  std::mt19937 random(7);
  std::vector<int16_t> input(8000), summed(8000);
  for (int16_t& x : input) x = int16_t(2 * (int(random() % 8000) - 4000));
  for (size_t n = 0; n < input.size(); ++n) summed[n] = int16_t(input[n] + (n >= 2205 ? input[n - 2205] / 2 : 0));
  AudioProcessor dry = Processor(22050, {{0, 1.0f}});
  EXPECT_EQ(ProcessAll(two, input), ProcessAll(dry, summed));
}

TEST(Auralisation, BlocksGiveWhatSingleSamplesGiveAcrossTheRingsEnd) {
  // The longest delay the line holds, and runs of every length past the
  // ring's end.
  const std::vector<std::pair<float, float>> impulses = {{0, 1.0f}, {0.1f, 0.3f}, {9999.97f, 0.5f}};
  AudioProcessor single = Processor(22050, impulses);
  AudioProcessor blocks = Processor(22050, impulses);
  EXPECT_EQ(single.delays.back(), kDelayLineLength - 1);
  std::mt19937 random(3);
  std::vector<int16_t> input(kRingLength + 3 * kProcessBlock + 17);
  for (int16_t& x : input) x = int16_t(int(random() % 20000) - 10000);
  std::vector<int16_t> output = input;
  for (size_t at = 0, run = 1; at < output.size(); at += run, run = run * 7 % 2500 + 1)
    ProcessSamples(blocks, std::span(output).subspan(at, std::min(run, output.size() - at)));
  EXPECT_EQ(output, ProcessAll(single, input));
  EXPECT_EQ(blocks.processedSamples, input.size());
}

TEST(Auralisation, ProfileRecordsOutsideTheDelayLineOrBelowTheThresholdAreLeftOut) {
  // (rate, time ms, level) -> kept.
  const std::tuple<float, float, float, bool> cases[] = {
      {22050, 9999.9f, 1, true}, {22050, 10000, 1, false}, {44100, 4999.99f, 1, true},  {44100, 5000, 1, false},
      {22050, -1, 1, false},     {22050, NAN, 1, false},   {22050, INFINITY, 1, false}, {22050, 5, 1e-7f, false},
      {22050, 5, 1e-6f, true},   {22050, 5, NAN, false},   {22050, 5, INFINITY, false},
  };
  for (const auto& [rate, ms, level, kept] : cases) {
    const AudioProcessor p = Processor(rate, {{ms, level}});
    EXPECT_EQ(p.delays.size(), kept ? 1u : 0u) << rate << " " << ms << " " << level;
    for (uint32_t delay : p.delays) EXPECT_LT(delay, kDelayLineLength);
  }
}

TEST(Auralisation, BandGainsComeFromTheRecordAfterAllImpulses) {
  AudioProfile profile;
  for (int i = 0; i < 10002; ++i) profile.impulses.push_back({float(i) * 0.01f, 0.25f, {}});
  profile.bandRecords.push_back({2, 3, 4, 5, 6, 7, NAN});
  profile.bandRecords.push_back({0.5f, 1.5f, 2.5f, 0, -1, 0, 0});
  AudioProcessor p;
  ASSERT_EQ(AllocProcessingBuffers(p, 22050), 1);
  ApplyAudioProfile(p, profile);
  EXPECT_EQ(p.delays.size(), kMaxImpulses);
  EXPECT_EQ(p.filters[0].bandGain, 2.0f);
  EXPECT_EQ(p.filters[5].bandGain, 7.0f);
  EXPECT_EQ(p.filters[6].bandGain, 1.0f);  // not finite: left as it was
  EXPECT_EQ(p.reverberationTimes[2], 2.5f);
  EXPECT_EQ(p.reverberantRatios, ProfileBandRecord{});
}

TEST(Auralisation, OutputClipsToPlusMinus32767) {
  AudioProcessor strong = Processor(22050, {{0, 1.0f}, {1, 1.0f}, {2, 1.0f}, {3, 1.0f}});
  std::vector<int16_t> input;
  for (int i = 0; i < 4000; ++i) input.push_back((i / 200) % 2 ? int16_t(-32768) : int16_t(32767));
  const std::vector<int16_t> out = ProcessAll(strong, input);
  EXPECT_EQ(*std::max_element(out.begin(), out.end()), 32767);
  EXPECT_EQ(*std::min_element(out.begin(), out.end()), -32767);
  // Not a number (an overflowing filter) comes out as silence.
  AudioProcessor huge = Processor(22050, {{0, 3e38f}, {0, 3e38f}});
  for (int16_t x : ProcessAll(huge, {30000, -30000, 30000})) EXPECT_GE(x, -32767);
}

class AuralisationFileTest : public AudioFolderTest {
 protected:
  // A stored profile of (ms, level) impulses with the band gains.
  void WriteProfile(const std::string& name, const std::vector<std::pair<float, float>>& impulses,
                    const std::string& description = "Row 5") {
    AudioProfile profile;
    profile.description = description;
    for (const auto& [ms, level] : impulses) profile.impulses.push_back({ms, level, {1, 0, 0}});
    profile.bandRecords.push_back(Levels(1));
    MemoryWriter writer;
    ASSERT_TRUE(WriteAudioProfileFile(writer, profile));
    WriteFile(name, writer.bytes());
  }
  static std::vector<int16_t> Samples(const std::string& path) {
    WavInput input;
    EXPECT_EQ(input.Open(path), WavCheck::kOk) << path;
    std::vector<int16_t> samples(input.info().SampleCount());
    samples.resize(input.Read(samples));
    return samples;
  }

  FakeServices services_;
  RecordingSound sound_;
};

TEST_F(AuralisationFileTest, TheSpeechProcessesIntoAFileOfItsLengthAndFormat) {
  AudioProcessor p = Processor(16000, {{0, 1.0f}, {30, 0.5f}});
  ASSERT_EQ(ProcessWavFile(p, kSpeechFile, Path("out.wav")), ProcessOutcome::kDone);
  const std::vector<uint8_t> in = ReadFile(kSpeechFile);
  const std::vector<uint8_t> out = ReadFile(Path("out.wav"));
  ASSERT_EQ(out.size(), kWavHeaderSize + 2 * size_t(kSpeechSamples));
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 20, out.begin() + 36),
            std::vector<uint8_t>(in.begin() + 20, in.begin() + 36));
  const std::vector<int16_t> samples = Samples(Path("out.wav"));
  ASSERT_EQ(samples.size(), kSpeechSamples);
  // The same as the samples run one by one.
  AudioProcessor again = Processor(16000, {{0, 1.0f}, {30, 0.5f}});
  EXPECT_EQ(samples, ProcessAll(again, Samples(kSpeechFile)));
}

TEST_F(AuralisationFileTest, CancelAndFailuresWriteNoFinishedFile) {
  WriteFile("out.wav", {'o', 'l', 'd'});
  services_.clockStep = 60;  // a progress report at every second batch
  services_.cancelAtUpdate = 2;
  AudioProcessor p = Processor(16000, {{0, 1.0f}});
  EXPECT_EQ(ProcessWavFile(p, kSpeechFile, Path("out.wav")), ProcessOutcome::kCancelled);
  EXPECT_EQ(ReadFile(Path("out.wav")), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_GE(services_.percents.size(), 2u);

  // An input whose data chunk ends early.
  services_.cancelAtUpdate = 0;
  std::vector<uint8_t> cut = MonoWav(22050, Sine(440, 22050, 3000));
  cut.resize(cut.size() - 100);
  WriteFile("cut.wav", cut);
  MessageRecorder messages;
  EXPECT_EQ(ProcessWavFile(p, Path("cut.wav"), Path("out.wav")), ProcessOutcome::kFailed);
  EXPECT_EQ(ProcessWavFile(p, kCastanetsFile, Path("out.wav")), ProcessOutcome::kFailed);
  EXPECT_EQ(ProcessWavFile(p, kSpeechFile, Path("missing/out.wav")), ProcessOutcome::kFailed);
  EXPECT_EQ(messages.texts(),
            (std::vector<std::string>{"Cannot read input WAVE file", "Input file must be a 16-bit mono PCM WAVE file",
                                      "Cannot write output WAVE file"}));
  EXPECT_EQ(messages.messages()[0].flags, unsigned(kMsgOk | kMsgIconExclamation));
  EXPECT_EQ(ReadFile(Path("out.wav")), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST_F(AuralisationFileTest, ChoosingTheInputTakesItsRateAndRefusesOtherFormats) {
  MessageRecorder messages;
  ASSERT_EQ(ChooseWavInput(gAuralisation, kSpeechFile), 1);
  EXPECT_EQ(gAuralisation.sampleRate, 16000.0f);
  EXPECT_TRUE(HasWavInput());
  EXPECT_EQ(gAuralisation.wavFolder, kDataFolder.string() + "/");
  EXPECT_EQ(ChooseWavInput(gAuralisation, kCastanetsFile), 0);
  EXPECT_EQ(ChooseWavInput(gAuralisation, Path("none.wav")), 0);
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Input file must be a 16-bit mono PCM WAVE file",
                                                        "Cannot read input WAVE file"}));
  EXPECT_EQ(gAuralisation.wavInputPath, kSpeechFile);
  EXPECT_EQ(gAuralisation.sampleRate, 16000.0f);
  EXPECT_EQ(gAuralisation.wavFolder, folder_.string() + "/");
}

TEST_F(AuralisationFileTest, ChoosingAProfileNamesTheOutputBesideIt) {
  WriteProfile("HALL.KAP", {{0, 1}});
  WriteProfile("hall.kap", {{0, 1}}, "small");
  WriteFile("BAD.KAP", std::vector<uint8_t>(132, 'x'));
  MessageRecorder messages;
  ASSERT_EQ(ChooseAudioProfile(gAuralisation, Path("HALL")), 1);
  EXPECT_EQ(gAuralisation.profilePath, Path("HALL.KAP"));
  EXPECT_EQ(gAuralisation.outputPath, Path("HALL.WAV"));
  EXPECT_EQ(gAuralisation.profileFolder, folder_.string() + "/");
  ASSERT_EQ(ChooseAudioProfile(gAuralisation, Path("hall.kap")), 1);
  EXPECT_EQ(gAuralisation.outputPath, Path("hall.WAV"));
  // Cancel of the description, a wrong magic and a missing file keep it.
  messages.Answer(kIdCancel);
  EXPECT_EQ(ChooseAudioProfile(gAuralisation, Path("HALL.KAP")), 0);
  EXPECT_EQ(ChooseAudioProfile(gAuralisation, Path("BAD.KAP")), 0);
  EXPECT_EQ(ChooseAudioProfile(gAuralisation, Path("NONE.KAP")), 0);
  EXPECT_EQ(GetAudioProfilePath(), Path("hall.kap"));
  EXPECT_EQ(gAuralisation.outputPath, Path("hall.WAV"));
  ASSERT_EQ(messages.messages().size(), 4u);
  EXPECT_EQ(messages.messages()[0].text, "Row 5");
  EXPECT_EQ(messages.messages()[0].caption, "Description");
  EXPECT_EQ(messages.messages()[1].text, "small");
  EXPECT_EQ(messages.messages()[3].text, "Invalid file, can\xB4t load");
}

TEST_F(AuralisationFileTest, ProcessAndPlayPlaysWhatItWrote) {
  WriteProfile("HALL.KAP", {{0, 1.0f}, {50, 0.3f}});
  MessageRecorder messages;
  ASSERT_EQ(ChooseWavInput(gAuralisation, kSpeechFile), 1);
  ASSERT_EQ(ChooseAudioProfile(gAuralisation, Path("HALL.KAP")), 1);
  ASSERT_EQ(ProcessAndPlay(gAuralisation, sound_), 1);
  EXPECT_EQ(services_.progressTitle, "Processing 2 impulses...");
  ASSERT_EQ(sound_.played.size(), 1u);
  EXPECT_EQ(sound_.played[0].format.sampleRate, 16000u);
  EXPECT_EQ(sound_.played[0].samples, Samples(Path("HALL.WAV")));
  EXPECT_FALSE(gAuralisation.busy);

  // While busy nothing happens; a Cancel plays nothing.
  gAuralisation.busy = true;
  EXPECT_EQ(ProcessAndPlay(gAuralisation, sound_), 0);
  gAuralisation.busy = false;
  services_.clockStep = 200;
  services_.cancelAtUpdate = 2;
  EXPECT_EQ(ProcessAndPlay(gAuralisation, sound_), 0);
  EXPECT_EQ(sound_.played.size(), 1u);
  EXPECT_EQ(messages.messages().size(), 1u);  // the description only
}

// The output, named after the profile, is never written over what the
// processing reads: a recording of the profile's name, or a link that makes
// the output the recording or the profile, refuses before anything is made.
TEST_F(AuralisationFileTest, TheOutputNeverReplacesTheRecordingOrTheProfile) {
  const std::vector<uint8_t> speech = ReadFile(kSpeechFile);
  WriteFile("dry.wav", speech);
  WriteProfile("HALL.KAP", {{0, 1.0f}, {50, 0.3f}});
  const std::vector<uint8_t> profile = ReadFile(Path("HALL.KAP"));
  MessageRecorder messages;
  ASSERT_EQ(ChooseAudioProfile(gAuralisation, Path("HALL.KAP")), 1);
  ASSERT_EQ(gAuralisation.outputPath, Path("HALL.WAV"));
  const fs::path output = Path("HALL.WAV");
  struct Case {
    const char* name;
    const char* input;
    std::function<void()> makeOutput;
  } cases[] = {
      {"the profile's name", "HALL.WAV", [&] { WriteFile("HALL.WAV", speech); }},
      {"a symbolic link to the input", "dry.wav", [&] { fs::create_symlink(Path("dry.wav"), output); }},
      {"a hard link to the input", "dry.wav", [&] { fs::create_hard_link(Path("dry.wav"), output); }},
      {"a symbolic link to the profile", "dry.wav", [&] { fs::create_symlink(Path("HALL.KAP"), output); }},
  };
  for (const Case& c : cases) {
    fs::remove(output);
    c.makeOutput();
    ASSERT_EQ(ChooseWavInput(gAuralisation, Path(c.input)), 1) << c.name;
    EXPECT_EQ(ProcessAndPlay(gAuralisation, sound_), 0) << c.name;
    EXPECT_EQ(messages.texts().back(), "Output WAVE file would overwrite an input file") << c.name;
    EXPECT_EQ(ReadFile(Path(c.input)), speech) << c.name;
    EXPECT_EQ(ReadFile(Path("HALL.KAP")), profile) << c.name;
    EXPECT_TRUE(services_.progressTitle.empty()) << c.name;
  }
  EXPECT_TRUE(sound_.played.empty());
  EXPECT_EQ(messages.messages().size(), 1u + std::size(cases));
}

TEST_F(AuralisationFileTest, WithoutAProfileTheRecordingPlaysDry) {
  ASSERT_EQ(ChooseWavInput(gAuralisation, kSpeechFile), 1);
  gAuralisation.outputPath = Path("dry.wav");
  MessageRecorder messages;
  ASSERT_EQ(ProcessAndPlay(gAuralisation, sound_), 1);
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, "No processing profile loaded yet");
  EXPECT_EQ(messages.messages()[0].caption, "Playing 'dry'");
  EXPECT_EQ(services_.progressTitle, "Processing 1 impulses...");
  AudioProcessor dry = Processor(16000, {{0, 1.0f}});
  EXPECT_EQ(Samples(Path("dry.wav")), ProcessAll(dry, Samples(kSpeechFile)));

  // A profile that went away is not played as silence.
  SetAudioProfilePath(Path("gone.KAP"));
  EXPECT_EQ(ProcessAndPlay(gAuralisation, sound_), 0);
  EXPECT_EQ(messages.texts().back(), "Invalid file, can\xB4t load");
  EXPECT_EQ(sound_.played.size(), 1u);
}

TEST_F(AuralisationFileTest, PlayingAFileStopsTheSoundBeforeAndNeedsADevice) {
  gAuralisation.wavInputPath = kSpeechFile;
  ASSERT_TRUE(PlayInputFile(gAuralisation, sound_));
  EXPECT_EQ(sound_.stops, 1);
  ASSERT_EQ(sound_.played.size(), 1u);
  EXPECT_EQ(sound_.played[0].samples.size(), kSpeechSamples);
  sound_.failOpen = true;
  MessageRecorder messages;
  EXPECT_FALSE(PlayInputFile(gAuralisation, sound_));
  EXPECT_FALSE(PlayOutputFile(gAuralisation, sound_));
  EXPECT_EQ(messages.texts(),
            (std::vector<std::string>{"Sound output device not available", "Cannot read input WAVE file"}));
  EXPECT_EQ(sound_.beeps, 1);
}

}  // namespace
