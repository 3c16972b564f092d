// The real-time auralisation: the WAV input streamed through the processing
// of auralisation.h straight to the sound device while it is computed, so
// the impulse-response window's "RTA" lets the designer hear a listening
// point at once. The profile's impulses are first reduced to at most 250
// taps, one per 20 ms, with a synthetic exponentially decaying tail from the
// longest band reverberation time, which keeps each sample cheap enough.
//
// The stream runs at 22050 Hz in blocks of 200 ms, three of them in flight:
// blocks are queued in turn 0, 1, 2, 0, ... and each is refilled once the
// device has finished it. A 22050 Hz input plays as it is, a 44100 Hz input
// with every pair of samples averaged, any other rate resampled to 22050 Hz
// by a windowed-sinc interpolator. The input part ends with the data chunk
// (its last block filled up with the response's tail), then exactly
// kTailBlocks blocks of tail follow and the device is drained. Waiting for
// the device keeps the progress window's Cancel answered; a Cancel stops at
// the next block and cuts the sound off, and a device that finishes no
// block for kDeviceTimeoutMs gives "Sound output device not available".
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "design/acoustics/auralisation.h"
#include "design/acoustics/wav_file.h"
#include "framework/core/random15.h"

constexpr uint32_t kRealTimeSampleRate = 22050;
constexpr int kWaveBlockCount = 3;
// trunc(rate / 5.0): 200 ms.
constexpr uint32_t kWaveBlockLength = kRealTimeSampleRate / 5;
constexpr int kTailBlocks = 20;  // 4 s of reverberation after the input
// Preparing the first two blocks must take less than this (they play 400 ms).
constexpr uint32_t kStartBudgetMs = 350;
// The stream waits for the device in slices of this length, answering the
// progress window between them, and gives up after this long without a
// finished block.
constexpr uint32_t kCompletionWaitMs = 50;
constexpr uint32_t kDeviceTimeoutMs = 2000;

// ---- The reduction ----

constexpr int kRealTimeBins = 250;

// The generator of the tail's arrival times: tests seed it to know the tail.
using TailRandom = Random15;
extern TailRandom gTailRandom;
void ResetTailRandom();

// Reduces the impulses to one per bin of trunc(fs / 50 + 1) samples (the
// bin's summed amplitude at its earliest delay; impulses of bin 250 on are
// left out), adds the tail and scales the largest tap to 1.0:
// - the tail level A = E max(largest reverberant ratio, L) + E, with E the
//   amplitude of bins 0 and 1 and L that of bins 2 up to the last used bin
//   (at most 249);
// - for b = 248, 246, ... above the last used bin, a time t at random within
//   bins b and b + 1 (bins of trunc(fs / 50) here) and a = r^(t / fs) A,
//   with r = 10^(-6 / Tmax) the decay per second of the longest band
//   reverberation time Tmax: bin b gets a minus the a of the bin above, at
//   t, when t lies in the delay line and a is at least the threshold.
// Tmax of 0 or below (or not a number) gives no tail; bins all 0 leave no
// tap, which is silence.
void ReduceImpulsesForRealTime(AudioProcessor& processor, TailRandom& random);

// The profile of the real-time playback: as ReadAudioProfile, then
// reduced when a profile was read.
ProfileLoad ReadAudioProfileRealTime(AudioProcessor& processor, const std::string& profilePath, TailRandom& random);

// ---- The input ----

// The WAV input as 22050 Hz samples, up to the end of its data chunk.
class RealTimeInput {
 public:
  enum class Mode { kDirect, kHalving, kResampling };

  WavCheck Open(const std::string& path);
  Mode mode() const { return mode_; }
  // The samples it gives in all (unless the file ends early).
  uint64_t OutputLength() const { return outputLength_; }
  // The next sample; false at the end.
  bool Next(int16_t& sample);

 private:
  bool NextInput(int16_t& sample);
  bool Resample(int16_t& sample);
  WavInput input_;
  Mode mode_ = Mode::kDirect;
  uint64_t outputLength_ = 0;
  uint64_t produced_ = 0;
  // The resampler: ratio of input to output rate, its kernel sampled
  // kKernelResolution times per input sample over -halfWidth .. halfWidth,
  // and the input read so far from inputBase_ on.
  double step_ = 1;
  double halfWidth_ = 0;
  std::vector<float> kernel_;
  std::vector<float> history_;
  uint64_t inputBase_ = 0;
  bool inputEnded_ = false;
};

// ---- The stream ----

// The state of one playback.
struct WaveStream {
  SoundFormat format;
  uint32_t blockLength = kWaveBlockLength;
  std::vector<int16_t> data;  // the blocks, one after another
  std::array<bool, kWaveBlockCount> playing{};
  std::unique_ptr<SoundOutputStream> device;
  uint32_t blocksQueued = 0;
  uint32_t totalBlocks = 0;   // input and tail, for the progress
  uint64_t totalSamples = 0;  // of the output: the input's at 22050 Hz, then the tail
  bool inputEnded = false;
  int tailBlocks = 0;  // made after the input's
};

enum class PlaybackResult { kPlayed, kCancelled, kFailed };

// Streams the WAV input through `processor` (set up for 22050 Hz, reset) to
// a stream of `sound`. Failures: a beep and "Sound output device not
// available" when no device opens or one stops finishing blocks; the input's
// messages; "Can´t play uninterrupted audio" ("PC speed too slow") when the
// first two blocks took more than kStartBudgetMs, which goes on playing.
PlaybackResult PlayWavRealTime(AudioProcessor& processor, const std::string& inputPath, SoundSystem& sound);

// The real-time processing command: refused while busy; the profile at
// 22050 Hz (or the dry impulse), the progress window "Processing
// impulses..." with Cancel and the stream. The chosen input's sample rate
// is the state's before and after. 1 when it played to the end.
int RunRealTimeAuralisation(AuralisationState& state, SoundSystem& sound);

// "RTA" of the impulse-response window: without a WAV input
// `selectWavInput` runs first, and nothing happens when there is still none;
// then the temporary profile of the paths of `model` is written to the
// temporary folder (TemporaryProfilePath of the tick count), played as the
// profile in place of the current one (which comes back afterwards) and
// deleted. 1 when it played.
int RunTemporaryProfile(AuralisationState& state, const ObjectList& model, const RayResults& results,
                        SoundSystem& sound, const std::function<void()>& selectWavInput);
