#include "design/acoustics/auralisation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <new>

#include "design/acoustics/wav_file.h"
#include "framework/core/file_dialog_state.h"
#include "framework/core/services.h"
#include "framework/core/state_reset.h"

// ---- Filters ----

namespace {

struct Prototype {
  double d1, d2;
};

Prototype PrototypeOf(int32_t characteristic) {
  switch (characteristic) {
    case kBessel: return {1.3617, 0.6180};
    case kButterworth: return {1.4142, 1.0};
    case kChebyshev05dB: return {1.3614, 1.3827};
    case kChebyshev1dB: return {1.3022, 1.5515};
    case kChebyshev2dB: return {1.1813, 1.7775};
    case kChebyshev3dB: return {1.0650, 1.9305};
    default: return {1.2872, 0.4142};
  }
}

constexpr double kPi = 3.141592654;
constexpr float kLeastQ = 0.1f, kMostQ = 1000.0f;
constexpr float kLeastCentre = 0.1f, kMostCentre = 20000.0f;

}  // namespace

void DesignBiquad(AudioFilter& filter, float sampleRate) {
  const Prototype prototype = PrototypeOf(filter.characteristic);
  double d0 = 1, d1 = prototype.d1, d2 = prototype.d2;
  double n0 = 0, n1 = 0, n2 = 0;
  switch (filter.type) {
    case kLowPass: n0 = 1; break;
    case kHighPass: n2 = 1; break;
    case kBandStop: n0 = n2 = 1; break;
    case kAllPass:
      n0 = d0;
      n1 = -d1;
      n2 = d2;
      break;
    default: n1 = 1; break;
  }
  filter.q = std::clamp(filter.q, kLeastQ, kMostQ);
  const double q = filter.q;
  if (filter.type == kBandStop) {
    n0 /= q;
    n2 /= q;
    d0 /= q;
    d2 /= q;
  } else if (filter.type != kLowPass && filter.type != kHighPass && filter.type != kAllPass) {
    n1 /= q;
    d1 /= q;
  }
  filter.centreFrequency = std::clamp(filter.centreFrequency, kLeastCentre, kMostCentre);

  const double k = 1.0 / std::tan(kPi / (double(sampleRate) / filter.centreFrequency));
  const double k2 = k * k;
  const double s = d1 * k + d0 + d2 * k2;
  filter.b0 = float((n1 * k + n0 + n2 * k2) / s);
  filter.b1 = float(2 * (n0 - n2 * k2) / s);
  filter.b2 = float((n0 - n1 * k + n2 * k2) / s);
  filter.minusA1 = float(-2 * (d0 - d2 * k2) / s);
  filter.minusA2 = float(-(d0 - d1 * k + d2 * k2) / s);
}

void BuildBandFilters(BandFilters& filters, float sampleRate) {
  for (int b = 0; b < kBandCount; ++b) {
    AudioFilter& filter = filters[size_t(b)];
    filter.type = kBandPass;
    filter.characteristic = kButterworth;
    filter.centreFrequency = float(kBandCentreFrequencies[size_t(b)]);
    filter.q = kBandFilterQ;
    if (filter.centreFrequency < kHighestBandCentreRatio * sampleRate) {
      DesignBiquad(filter, sampleRate);
    } else {
      filter.b0 = filter.b1 = filter.b2 = filter.minusA1 = filter.minusA2 = 0;
    }
  }
}

// ---- Processing ----

namespace {

constexpr ProfileBandRecord kDefaultReverberationTimes = {0.001f, 0.001f, 0.001f, 0.001f, 0.001f, 0.001f, 0.001f};

}  // namespace

void SetImpulses(AudioProcessor& processor, std::vector<uint32_t> delays, std::vector<float> amplitudes) {
  processor.delays = std::move(delays);
  processor.amplitudes = std::move(amplitudes);
  processor.tapOffsets.clear();
  for (uint32_t delay : processor.delays) processor.tapOffsets.push_back(kRingLength - delay);
}

int AllocProcessingBuffers(AudioProcessor& processor, float sampleRate) {
  try {
    processor.delayLine.assign(2 * size_t(kRingLength), 0);
    processor.sums.assign(kProcessBlock, 0.0f);
    processor.delays.reserve(kMaxImpulses);
    processor.amplitudes.reserve(kMaxImpulses);
    processor.tapOffsets.reserve(kMaxImpulses);
  } catch (const std::bad_alloc&) {
    processor = AudioProcessor{};
    ShowMessage("Insufficient memory", nullptr, kMsgOk);
    return 0;
  }
  processor.sampleRate = sampleRate;
  for (AudioFilter& filter : processor.filters) filter.bandGain = 1.0f;
  BuildBandFilters(processor.filters, sampleRate);
  processor.reverberationTimes = kDefaultReverberationTimes;
  processor.reverberantRatios = {};
  SetImpulses(processor, {0}, {0.0f});
  return 1;
}

void ApplyAudioProfile(AudioProcessor& processor, const AudioProfile& profile) {
  std::vector<uint32_t> delays;
  std::vector<float> amplitudes;
  for (const ProfileImpulse& impulse : profile.impulses) {
    if (delays.size() == kMaxImpulses) break;
    const double delay = std::trunc(double(impulse.time) * 0.001 * processor.sampleRate);
    if (!(delay >= 0 && delay < kDelayLineLength) || !std::isfinite(impulse.level) ||
        !(impulse.level >= kImpulseLevelThreshold))
      continue;
    delays.push_back(uint32_t(delay));
    amplitudes.push_back(impulse.level);
  }
  SetImpulses(processor, std::move(delays), std::move(amplitudes));

  const auto take = [&](size_t record, auto&& set) {
    if (record >= profile.bandRecords.size()) return;
    for (int b = 0; b < kBandCount; ++b)
      if (std::isfinite(profile.bandRecords[record][size_t(b)])) set(b, profile.bandRecords[record][size_t(b)]);
  };
  take(0, [&](int b, float v) { processor.filters[size_t(b)].bandGain = v; });
  take(1, [&](int b, float v) { processor.reverberationTimes[size_t(b)] = v; });
  take(2, [&](int b, float v) { processor.reverberantRatios[size_t(b)] = v; });
}

ProfileLoad ReadAudioProfile(AudioProcessor& processor, const std::string& profilePath) {
  if (profilePath.empty()) {
    SetImpulses(processor, {0}, {1.0f});
    ShowMessage(kNoProfileMessage, kNoProfileCaption, kMsgOk);
    return ProfileLoad::kDry;
  }
  FileReader reader(profilePath);
  AudioProfile profile;
  if (!reader.IsOpen() || !ReadAudioProfileFile(reader, profile)) {
    ShowMessage(kInvalidProfileMessage, nullptr, kMsgOk);
    return ProfileLoad::kFailed;
  }
  ApplyAudioProfile(processor, profile);
  return ProfileLoad::kLoaded;
}

void ResetProcessing(AudioProcessor& processor) {
  processor.processedSamples = 0;
  processor.writePosition = 0;
  std::fill(processor.delayLine.begin(), processor.delayLine.end(), int16_t(0));
  for (AudioFilter& filter : processor.filters) filter.x1 = filter.x2 = filter.y1 = filter.y2 = 0;
}

namespace {

// The filter bank on one sum of the impulses.
int16_t FilterSample(BandFilters& filters, float acc) {
  // Every band sees the same input, so the first band's x2 stands for all.
  const float difference = acc - filters[0].x2;
  float out = 0;
  for (AudioFilter& filter : filters) {
    const float y = filter.b0 * difference + filter.minusA2 * filter.y2 + filter.minusA1 * filter.y1;
    out += y * filter.bandGain;
    filter.x2 = filter.x1;
    filter.x1 = acc;
    filter.y2 = filter.y1;
    filter.y1 = y;
  }
  if (out >= 32767.0f) return 32767;
  if (out <= -32767.0f) return -32767;
  return std::isnan(out) ? 0 : int16_t(out);
}

}  // namespace

void ProcessSamples(AudioProcessor& processor, std::span<int16_t> samples) {
  int16_t* ring = processor.delayLine.data();
  float* sums = processor.sums.data();
  while (!samples.empty()) {
    // A run that fits the block and ends at the ring's end at the latest.
    const uint32_t at = processor.writePosition;
    const size_t count = std::min({samples.size(), size_t(kProcessBlock), size_t(kRingLength - at)});
    std::copy_n(samples.data(), count, ring + at);
    std::copy_n(samples.data(), count, ring + at + kRingLength);
    std::fill_n(sums, count, 0.0f);
    for (size_t k = 0; k < processor.tapOffsets.size(); ++k) {
      const int16_t* delayed = ring + at + processor.tapOffsets[k];
      const float amplitude = processor.amplitudes[k];
      for (size_t j = 0; j < count; ++j) sums[j] += float(delayed[j]) * amplitude;
    }
    for (size_t j = 0; j < count; ++j) samples[j] = FilterSample(processor.filters, sums[j]);
    processor.writePosition = at + count == kRingLength ? 0 : uint32_t(at + count);
    processor.processedSamples += count;
    samples = samples.subspan(count);
  }
}

int16_t ProcessSample(AudioProcessor& processor, int16_t input) {
  ProcessSamples(processor, std::span(&input, 1));
  return input;
}

bool ShowProcessingProgress(double percent) {
  char text[32];
  std::snprintf(text, sizeof text, "%1.2f %%", percent);
  return ReportProgress(int(percent), text) != 0;
}

namespace {

// Samples processed between looks at the clock.
constexpr size_t kProcessBatch = 1024;
constexpr uint32_t kProgressIntervalMs = 100;

void ShowWavMessage(const char* text) { ShowMessage(text, nullptr, kMsgOk | kMsgIconExclamation); }

}  // namespace

ProcessOutcome ProcessWavFile(AudioProcessor& processor, const std::string& inputPath, const std::string& outputPath) {
  WavInput input;
  if (const WavCheck check = input.Open(inputPath); check != WavCheck::kOk) {
    ShowWavMessage(WavCheckMessage(check));
    return ProcessOutcome::kFailed;
  }
  const uint32_t total = input.info().SampleCount();
  SafeFileWriter output(outputPath);
  if (!output.IsOpen() || !WriteWavHeader(output, input.info().formatRecord, total)) {
    ShowWavMessage(kCannotWriteWavMessage);
    return ProcessOutcome::kFailed;
  }
  std::vector<int16_t> samples(kProcessBatch);
  uint32_t lastShown = ServiceTickCount();
  for (uint32_t done = 0; done < total;) {
    const size_t read = input.Read(std::span(samples).first(std::min<size_t>(kProcessBatch, total - done)));
    if (read == 0) {
      ShowWavMessage(kCannotReadWavMessage);
      return ProcessOutcome::kFailed;
    }
    ProcessSamples(processor, std::span(samples).first(read));
    if (!WriteWavSamples(output, std::span(samples).first(read))) {
      ShowWavMessage(kCannotWriteWavMessage);
      return ProcessOutcome::kFailed;
    }
    done += uint32_t(read);
    const uint32_t now = ServiceTickCount();
    if (now - lastShown >= kProgressIntervalMs) {
      lastShown = now;
      if (ShowProcessingProgress(double(done) * 100.0 / total)) return ProcessOutcome::kCancelled;
    }
  }
  if (!output.Commit()) {
    ShowWavMessage(kCannotWriteWavMessage);
    return ProcessOutcome::kFailed;
  }
  return ProcessOutcome::kDone;
}

// ---- The commands ----

AuralisationState gAuralisation;

void ResetAuralisation() { gAuralisation = AuralisationState{}; }

namespace {
const StateReset kReset(ResetAuralisation);
}  // namespace

bool HasWavInput() { return !gAuralisation.wavInputPath.empty(); }
bool HasAudioProfile() { return !gAuralisation.profilePath.empty(); }
std::string GetAudioProfilePath() { return gAuralisation.profilePath; }
void SetAudioProfilePath(const std::string& path) { gAuralisation.profilePath = path; }

int ChooseWavInput(AuralisationState& state, const std::string& path) {
  state.wavFolder = FolderOfPath(path);
  WavInput input;
  if (const WavCheck check = input.Open(path, false); check != WavCheck::kOk) {
    ShowWavMessage(WavCheckMessage(check));
    return 0;
  }
  state.sampleRate = float(input.info().sampleRate);
  state.wavInputPath = path;
  return 1;
}

int ChooseAudioProfile(AuralisationState& state, const std::string& chosenPath) {
  const std::string path = ForceExtension(chosenPath, kAudioProfileExtension);
  state.profileFolder = FolderOfPath(path);
  FileReader reader(path);
  if (!reader.IsOpen()) return 0;
  std::array<uint8_t, kProfileHeaderSize> header{};
  if (!reader.Bytes(header.data(), header.size()) || !IsAudioProfileHeader(header)) {
    ShowMessage(kInvalidProfileMessage, nullptr, kMsgOk);
    return 0;
  }
  const std::string description = ReadTextField(std::span(header).subspan(kProfileMagicSize, kProfileDescriptionSize))
                                      .substr(0, kProfileDescriptionLength);
  if (ShowMessage(description.c_str(), "Description", kMsgOkCancel) != kIdOk) return 0;
  state.profilePath = path;
  state.outputPath = path.substr(0, path.size() - 3) + "WAV";
  return 1;
}

int ProcessAndPlay(AuralisationState& state, SoundSystem& sound) {
  if (state.busy) return 0;
  // The output is named after the profile, so a recording of the profile's
  // name (or a link to either) would be replaced by what was made from it.
  if (IsSameFile(state.outputPath, state.wavInputPath) || IsSameFile(state.outputPath, state.profilePath)) {
    ShowWavMessage(kOutputIsInputMessage);
    return 0;
  }
  AudioProcessor processor;
  if (!AllocProcessingBuffers(processor, state.sampleRate)) return 0;
  ProcessingBusyScope busy(state);
  if (ReadAudioProfile(processor, state.profilePath) == ProfileLoad::kFailed) return 0;
  ResetProcessing(processor);
  const std::string title = "Processing " + std::to_string(processor.delays.size()) + " impulses...";
  BeginProgress(title.c_str(), "0 %", "Cancel");
  ShowProcessingProgress(0);
  const ProcessOutcome outcome = ProcessWavFile(processor, state.wavInputPath, state.outputPath);
  EndProgress();
  if (outcome != ProcessOutcome::kDone) return 0;
  PlayWavFile(state.outputPath, sound);
  return 1;
}

bool PlayWavFile(const std::string& path, SoundSystem& sound) {
  sound.StopSound();
  auto input = std::make_shared<WavInput>();
  if (const WavCheck check = input->Open(path); check != WavCheck::kOk) {
    ShowWavMessage(WavCheckMessage(check));
    return false;
  }
  const SoundFormat format{input->info().sampleRate, 2, 1};
  if (!sound.PlayAsync(format, [input](std::span<int16_t> out) { return input->Read(out); })) {
    sound.Beep();
    ShowWavMessage(kNoSoundDeviceMessage);
    return false;
  }
  return true;
}

bool PlayInputFile(const AuralisationState& state, SoundSystem& sound) {
  return PlayWavFile(state.wavInputPath, sound);
}
bool PlayOutputFile(const AuralisationState& state, SoundSystem& sound) { return PlayWavFile(state.outputPath, sound); }
