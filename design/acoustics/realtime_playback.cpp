#include "design/acoustics/realtime_playback.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "framework/core/services.h"
#include "framework/core/state_reset.h"

// ---- The reduction ----

TailRandom gTailRandom;

void ResetTailRandom() { gTailRandom = TailRandom{}; }

namespace {

const StateReset kReset(ResetTailRandom);

struct Bin {
  double sum = 0;
  uint32_t earliest = std::numeric_limits<uint32_t>::max();
};

// The generator's largest value, by which its draws are scaled.
constexpr int kRandomMax = 32767;

}  // namespace

void ReduceImpulsesForRealTime(AudioProcessor& processor, TailRandom& random) {
  const double fs = processor.sampleRate;
  const uint32_t width = uint32_t(fs / 50 + 1);
  std::array<Bin, kRealTimeBins> bins{};
  uint32_t lastUsed = 0;
  for (size_t k = 0; k < processor.delays.size(); ++k) {
    const uint32_t b = processor.delays[k] / width;
    lastUsed = std::max(lastUsed, b);
    if (b >= uint32_t(kRealTimeBins)) continue;
    bins[b].sum += processor.amplitudes[k];
    bins[b].earliest = std::min(bins[b].earliest, processor.delays[k]);
  }
  lastUsed = std::min(lastUsed, uint32_t(kRealTimeBins - 1));

  double late = 0;
  for (uint32_t b = 2; b <= lastUsed; ++b) late += bins[b].sum;
  const double early = bins[0].sum + bins[1].sum;
  const float ratio = *std::max_element(processor.reverberantRatios.begin(), processor.reverberantRatios.end());
  const double level = early * std::max(double(ratio), late) + early;
  const float longest = *std::max_element(processor.reverberationTimes.begin(), processor.reverberationTimes.end());
  if (longest > 0 && std::isfinite(longest)) {
    const double decay = std::pow(10.0, -(60.0 / longest) / 10.0);
    const int binLength = int(fs / 50);
    double previous = 0;
    for (int b = kRealTimeBins - 2; b > int(lastUsed); b -= 2) {
      const int t = random.Next() * (2 * binLength) / kRandomMax + binLength * b;
      const double a = std::pow(decay, t / fs) * level;
      if (t < int(kDelayLineLength) && a >= kImpulseLevelThreshold) bins[size_t(b)] = {a - previous, uint32_t(t)};
      previous = a;
    }
  }

  double largest = 0;
  for (const Bin& bin : bins) largest = std::max(largest, bin.sum);
  std::vector<uint32_t> delays;
  std::vector<float> amplitudes;
  for (const Bin& bin : bins) {
    const float amplitude = bin.sum > 0 ? float(bin.sum / largest) : 0.0f;
    if (!(amplitude > 0)) continue;
    delays.push_back(bin.earliest);
    amplitudes.push_back(amplitude);
  }
  SetImpulses(processor, std::move(delays), std::move(amplitudes));
}

ProfileLoad ReadAudioProfileRealTime(AudioProcessor& processor, const std::string& profilePath, TailRandom& random) {
  const ProfileLoad load = ReadAudioProfile(processor, profilePath);
  if (load == ProfileLoad::kLoaded) ReduceImpulsesForRealTime(processor, random);
  return load;
}

// ---- The input ----

namespace {

constexpr uint32_t kHalvedRate = 2 * kRealTimeSampleRate;
// The resampler passes up to this fraction of the lower rate's Nyquist
// frequency, with a kernel of this many zero crossings on each side, sampled
// this often per input sample.
constexpr double kPassFraction = 0.9;
constexpr double kZeroCrossings = 12;
constexpr int kKernelResolution = 128;
constexpr double kPi = 3.14159265358979323846;
// Input samples kept behind the kernel's reach before the history is trimmed.
constexpr size_t kHistorySlack = 4096;

int16_t ClampSample(double v) { return int16_t(std::clamp(std::lround(v), -32767L, 32767L)); }

}  // namespace

WavCheck RealTimeInput::Open(const std::string& path) {
  const WavCheck check = input_.Open(path);
  if (check != WavCheck::kOk) return check;
  const uint32_t rate = input_.info().sampleRate;
  const uint64_t samples = input_.info().SampleCount();
  if (rate == kRealTimeSampleRate) {
    mode_ = Mode::kDirect;
    outputLength_ = samples;
  } else if (rate == kHalvedRate) {
    mode_ = Mode::kHalving;
    outputLength_ = samples / 2;
  } else {
    mode_ = Mode::kResampling;
    outputLength_ = samples * kRealTimeSampleRate / rate;
    step_ = double(rate) / kRealTimeSampleRate;
    // The cutoff in cycles per input sample, and the kernel
    // 2 fc sinc(2 fc x) under a Blackman window of halfWidth_.
    const double twoFc = kPassFraction * std::min(1.0, 1.0 / step_);
    halfWidth_ = kZeroCrossings / twoFc;
    kernel_.resize(size_t(2 * halfWidth_ * kKernelResolution) + 2);
    for (size_t i = 0; i < kernel_.size(); ++i) {
      const double x = double(i) / kKernelResolution - halfWidth_;
      const double u = twoFc * x;
      const double sinc = u == 0 ? 1.0 : std::sin(kPi * u) / (kPi * u);
      const double v = std::min(std::fabs(x) / halfWidth_, 1.0);
      kernel_[i] = float(twoFc * sinc * (0.42 + 0.5 * std::cos(kPi * v) + 0.08 * std::cos(2 * kPi * v)));
    }
  }
  return check;
}

bool RealTimeInput::NextInput(int16_t& sample) {
  if (inputEnded_ || input_.Read(std::span(&sample, 1)) == 0) inputEnded_ = true;
  return !inputEnded_;
}

bool RealTimeInput::Next(int16_t& sample) {
  if (produced_ >= outputLength_) return false;
  switch (mode_) {
    case Mode::kDirect:
      if (!NextInput(sample)) return false;
      break;
    case Mode::kHalving: {
      int16_t even, odd;
      if (!NextInput(even) || !NextInput(odd)) return false;
      sample = int16_t((int(even) + int(odd)) / 2);
      break;
    }
    case Mode::kResampling:
      if (!Resample(sample)) return false;
      break;
  }
  ++produced_;
  return true;
}

bool RealTimeInput::Resample(int16_t& sample) {
  const double t = double(produced_) * step_;
  const int64_t first = int64_t(std::ceil(t - halfWidth_));
  const int64_t last = int64_t(std::floor(t + halfWidth_));
  int16_t read;
  while (int64_t(inputBase_ + history_.size()) <= last && NextInput(read)) history_.push_back(read);
  const int64_t end = int64_t(inputBase_ + history_.size());
  // A file that ends before its data chunk ends the output with it.
  if (inputEnded_ && t >= double(end)) return false;
  double sum = 0, weights = 0;
  for (int64_t i = first; i <= last; ++i) {
    const double at = (t - double(i) + halfWidth_) * kKernelResolution;
    const size_t index = std::min(size_t(at), kernel_.size() - 2);
    const double w = kernel_[index] + (kernel_[index + 1] - kernel_[index]) * (at - double(index));
    weights += w;
    if (i >= int64_t(inputBase_) && i < end) sum += w * history_[size_t(i - int64_t(inputBase_))];
  }
  sample = ClampSample(weights > 0 ? sum / weights : 0);
  if (first > int64_t(inputBase_ + kHistorySlack)) {
    const size_t drop = std::min(size_t(first - int64_t(inputBase_)), history_.size());
    history_.erase(history_.begin(), history_.begin() + std::ptrdiff_t(drop));
    inputBase_ += drop;
  }
  return true;
}

// ---- The stream ----

namespace {

enum class BlockFill { kFilled, kEnd, kCancelled };

void SetWaveFormat(WaveStream& stream, uint32_t rate, uint16_t bytesPerSample, uint16_t channels) {
  stream.format = {rate, bytesPerSample, channels};
  stream.blockLength = uint32_t(rate / 5.0);
}

void AllocWaveBuffers(WaveStream& stream, int count, uint32_t samples) {
  stream.data.assign(size_t(count) * samples, 0);
}

std::span<int16_t> Block(WaveStream& stream, int slot) {
  return std::span(stream.data).subspan(size_t(slot) * stream.blockLength, stream.blockLength);
}

double StreamPercent(const WaveStream& stream) {
  return stream.totalBlocks ? std::min(100.0, stream.blocksQueued * 100.0 / stream.totalBlocks) : 100.0;
}

// The response to silence: the reverberation of what went before.
void FillTailBlock(AudioProcessor& processor, std::span<int16_t> out) {
  std::fill(out.begin(), out.end(), int16_t(0));
  ProcessSamples(processor, out);
}

// Fills the block of `slot` with the next samples: the input's while it
// lasts (the block it ends in filled up with tail), then kTailBlocks blocks
// of tail; kEnd when all are made.
BlockFill FillWaveBlock(WaveStream& stream, AudioProcessor& processor, RealTimeInput& input, int slot) {
  const std::span<int16_t> block = Block(stream, slot);
  size_t n = 0;
  if (!stream.inputEnded) {
    int16_t sample;
    while (n < block.size() && input.Next(sample)) block[n++] = sample;
    if (n < block.size()) stream.inputEnded = true;
    ProcessSamples(processor, block.first(n));
  }
  if (n == 0) {
    if (stream.tailBlocks == kTailBlocks) return BlockFill::kEnd;
    ++stream.tailBlocks;
  }
  FillTailBlock(processor, block.subspan(n));
  return ShowProcessingProgress(StreamPercent(stream)) ? BlockFill::kCancelled : BlockFill::kFilled;
}

bool QueueWaveBlock(WaveStream& stream, int slot) {
  stream.playing[size_t(slot)] = true;
  if (!stream.device->QueueBlock(slot, Block(stream, slot))) {
    stream.playing[size_t(slot)] = false;
    return false;
  }
  ++stream.blocksQueued;
  return true;
}

void ShowNoDevice(SoundSystem& sound) {
  sound.Beep();
  ShowMessage(kNoSoundDeviceMessage, nullptr, kMsgOk | kMsgIconExclamation);
}

// The default device opened at the stream's format; false, after the beep
// and "Sound output device not available", when there is none.
bool OpenWaveOut(WaveStream& stream, SoundSystem& sound) {
  stream.device = sound.OpenOutput(stream.format);
  if (!stream.device) ShowNoDevice(sound);
  return stream.device != nullptr;
}

// Streams the blocks once the input is open: returns how it ended, the
// device still open.
PlaybackResult StreamBlocks(WaveStream& stream, AudioProcessor& processor, RealTimeInput& input, SoundSystem& sound) {
  // The first two blocks are made before any plays, and timed; the third
  // once they are queued.
  const uint32_t start = ServiceTickCount();
  std::array<BlockFill, kWaveBlockCount> made;
  made.fill(BlockFill::kEnd);
  made[0] = FillWaveBlock(stream, processor, input, 0);
  if (made[0] == BlockFill::kFilled) made[1] = FillWaveBlock(stream, processor, input, 1);
  if (ServiceTickCount() - start > kStartBudgetMs)
    ShowMessage("Can\xB4t play uninterrupted audio", "PC speed too slow", kMsgOk);
  bool ended = false;
  for (int slot = 0; slot < kWaveBlockCount && !ended; ++slot) {
    if (slot == 2 && made[1] == BlockFill::kFilled) made[2] = FillWaveBlock(stream, processor, input, 2);
    if (made[size_t(slot)] == BlockFill::kCancelled) return PlaybackResult::kCancelled;
    ended = made[size_t(slot)] == BlockFill::kEnd;
    if (!ended && !QueueWaveBlock(stream, slot)) {
      ShowNoDevice(sound);
      return PlaybackResult::kFailed;
    }
  }

  uint32_t waited = 0;
  while (std::find(stream.playing.begin(), stream.playing.end(), true) != stream.playing.end()) {
    const int done = stream.device->WaitForCompletedBlock(kCompletionWaitMs);
    if (done == kNoBlockCompleted) {
      waited += kCompletionWaitMs;
      if (waited >= kDeviceTimeoutMs) {
        ShowNoDevice(sound);
        return PlaybackResult::kFailed;
      }
      if (ShowProcessingProgress(StreamPercent(stream))) return PlaybackResult::kCancelled;
      continue;
    }
    if (done < 0 || done >= kWaveBlockCount || !stream.playing[size_t(done)]) {
      ShowNoDevice(sound);
      return PlaybackResult::kFailed;
    }
    waited = 0;
    stream.playing[size_t(done)] = false;
    if (ended) continue;
    const BlockFill fill = FillWaveBlock(stream, processor, input, done);
    if (fill == BlockFill::kCancelled) return PlaybackResult::kCancelled;
    if (fill == BlockFill::kEnd) {
      ended = true;
    } else if (!QueueWaveBlock(stream, done)) {
      ShowNoDevice(sound);
      return PlaybackResult::kFailed;
    }
  }
  stream.device->Drain();
  return PlaybackResult::kPlayed;
}

}  // namespace

PlaybackResult PlayWavRealTime(AudioProcessor& processor, const std::string& inputPath, SoundSystem& sound) {
  WaveStream stream;
  SetWaveFormat(stream, kRealTimeSampleRate, 2, 1);
  AllocWaveBuffers(stream, kWaveBlockCount, stream.blockLength);
  if (!OpenWaveOut(stream, sound)) return PlaybackResult::kFailed;
  RealTimeInput input;
  if (const WavCheck check = input.Open(inputPath); check != WavCheck::kOk) {
    ShowMessage(WavCheckMessage(check), nullptr, kMsgOk | kMsgIconExclamation);
    return PlaybackResult::kFailed;
  }
  stream.totalSamples = input.OutputLength() + uint64_t(kTailBlocks) * stream.blockLength;
  stream.totalBlocks = uint32_t(stream.totalSamples / stream.blockLength);
  const PlaybackResult result = StreamBlocks(stream, processor, input, sound);
  // Closing cuts off whatever still plays.
  if (result != PlaybackResult::kPlayed) stream.device->Reset();
  return result;
}

int RunRealTimeAuralisation(AuralisationState& state, SoundSystem& sound) {
  AudioProcessor processor;
  if (state.busy || !AllocProcessingBuffers(processor, float(kRealTimeSampleRate))) return 0;
  ProcessingBusyScope busy(state);
  if (ReadAudioProfileRealTime(processor, state.profilePath, gTailRandom) == ProfileLoad::kFailed) return 0;
  ResetProcessing(processor);
  BeginProgress("Processing  impulses...", "0 %", "Cancel");
  ShowProcessingProgress(0);
  const PlaybackResult result = PlayWavRealTime(processor, state.wavInputPath, sound);
  EndProgress();
  return result == PlaybackResult::kPlayed ? 1 : 0;
}

int RunTemporaryProfile(AuralisationState& state, const ObjectList& model, const RayResults& results,
                        SoundSystem& sound, const std::function<void()>& selectWavInput) {
  if (state.wavInputPath.empty()) selectWavInput();
  if (state.wavInputPath.empty()) return 0;
  const std::string path = TemporaryProfilePath(ServiceTickCount());
  if (!WriteTemporaryProfile(path, model, results)) return 0;
  const std::string current = state.profilePath;
  state.profilePath = path;
  const int played = RunRealTimeAuralisation(state, sound);
  state.profilePath = current;
  std::remove(path.c_str());
  return played;
}
