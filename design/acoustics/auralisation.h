// The auralisation: a dry mono recording passed through the impulse
// response of one listening point (an audio profile, audio_profile.h) and
// written to a WAV file and played. Every output sample is the sum of
// earlier input samples, each delayed by one impulse's arrival time and
// weighted by its level (a sparse convolution over a delay line), passed
// through seven octave band-pass filters whose outputs are mixed with the
// profile's band gains.
//
// The state of the commands (the chosen files, folders, the sample rate of
// the input) is gAuralisation; the processing of one command works on an
// AudioProcessor made for it. Every impulse delay lies in 0 ..
// kDelayLineLength - 1 samples and every amplitude is finite, whatever the
// profile held. The output has as many samples as the input and is never
// -32768. Sound reaches the user only through the SoundSystem handed in.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "design/acoustics/audio_profile.h"
#include "design/acoustics/reverberation.h"
#include "framework/core/sound_output.h"

// ---- Filters ----

enum FilterType : int32_t {
  kLowPass = 1,
  kHighPass = 2,
  kBandPass = 3,  // also any type that is none of the others
  kBandStop = 4,
  kAllPass = 5,
};

// The second-order prototypes of the classic filter tables.
enum FilterCharacteristic : int32_t {
  kCriticalDamping = 1,  // also any value outside 2 .. 7
  kBessel = 2,
  kButterworth = 3,
  kChebyshev05dB = 4,
  kChebyshev1dB = 5,
  kChebyshev2dB = 6,
  kChebyshev3dB = 7,
};

// One biquad: y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] + minusA1 y[n-1] +
// minusA2 y[n-2], with its state and its weight in the band mix.
struct AudioFilter {
  float b0 = 0;
  float minusA2 = 0;  // already negated
  float minusA1 = 0;
  float b2 = 0;
  float b1 = 0;
  float x1 = 0, x2 = 0;  // input one and two samples back
  float y1 = 0, y2 = 0;  // output one and two samples back
  float bandGain = 1.0f;
  float q = 1.0f;                   // clamped to 0.1 .. 1000 by the design
  float centreFrequency = 1000.0f;  // Hz, clamped to 0.1 .. 20000 by the design
  int32_t type = kBandPass;
  int32_t characteristic = kButterworth;
};

// Designs the filter of its type, characteristic, Q and centre frequency at
// `sampleRate`: the analogue prototype g (N2 s^2 + N1 s + N0) / (D2 s^2 + D1
// s + D0) mapped by the bilinear transform with pre-warping, K = 1 /
// tan(pi f0 / fs). Writes the clamped Q and centre frequency back.
void DesignBiquad(AudioFilter& filter, float sampleRate);

constexpr float kBandFilterQ = 1.4f;
// A band whose centre lies at or above this fraction of the sample rate
// cannot be filtered there (at 11025 Hz the 8 kHz band would be unstable).
constexpr float kHighestBandCentreRatio = 0.45f;

using BandFilters = std::array<AudioFilter, kBandCount>;
// The seven Butterworth band-passes of Q 1.4 at `sampleRate`, their gains
// left as they were. A band the rate cannot hold gets all coefficients 0, so
// that it adds nothing whatever its gain.
void BuildBandFilters(BandFilters& filters, float sampleRate);

// ---- Processing ----

// The delay line: 10 s at 22050 Hz, and the latest impulse accepted.
constexpr uint32_t kDelayLineLength = 220500;
constexpr size_t kMaxImpulses = 10000;
// Profile records below this level are left out.
constexpr float kImpulseLevelThreshold = 1e-6f;
// Samples processed together: each impulse adds its delayed run of them at
// once, which keeps thousands of impulses fast.
constexpr uint32_t kProcessBlock = 1024;
// The ring holds a block more than the longest delay, so that a whole block
// is written before its impulses read.
constexpr uint32_t kRingLength = kDelayLineLength + kProcessBlock;

// The processing of one command.
struct AudioProcessor {
  float sampleRate = 22050.0f;
  BandFilters filters;
  // The impulses: delay in samples and amplitude.
  std::vector<uint32_t> delays;
  std::vector<float> amplitudes;
  // Of the real-time playback, from a temporary profile.
  ProfileBandRecord reverberationTimes{};  // s
  ProfileBandRecord reverberantRatios{};
  // The ring of past input holds every sample twice, kRingLength apart, so
  // that an impulse reads the run of samples `delay` back from
  // writePosition + kRingLength - delay on without wrapping.
  std::vector<int16_t> delayLine;
  std::vector<uint32_t> tapOffsets;  // kRingLength - delay of each impulse
  std::vector<float> sums;           // of one block
  uint32_t writePosition = 0;
  uint64_t processedSamples = 0;
};

// Makes the processing blocks for `sampleRate`, builds the band filters
// (gains 1.0) and sets one impulse of delay 0 and amplitude 0. 0 after
// "Insufficient memory" when they cannot be made.
int AllocProcessingBuffers(AudioProcessor& processor, float sampleRate);

// Sets the impulse table and each impulse's tap; every delay must lie in
// 0 .. kDelayLineLength - 1 and there must be as many amplitudes.
void SetImpulses(AudioProcessor& processor, std::vector<uint32_t> delays, std::vector<float> amplitudes);

// Sets the impulses and band records of `profile`: each impulse whose delay
// trunc(time x 0.001 x rate) lies in 0 .. kDelayLineLength - 1 and whose
// level is finite and at least the threshold, up to kMaxImpulses of them;
// then from the band records (all read after every impulse) the band gains,
// the reverberation times and the reverberant ratios, each only where finite.
void ApplyAudioProfile(AudioProcessor& processor, const AudioProfile& profile);

// What ReadAudioProfile did.
enum class ProfileLoad { kDry, kLoaded, kFailed };
// The profile of a processing command: without a path one impulse of delay
// 0 and amplitude 1.0 after "No processing profile loaded yet" ("Playing
// 'dry'"); else the file read whole and applied, or "Invalid file, can´t
// load" when it cannot be.
ProfileLoad ReadAudioProfile(AudioProcessor& processor, const std::string& profilePath);

// Clears the delay line, the filters' state and the counter.
void ResetProcessing(AudioProcessor& processor);

// Samples in place through the delay line and the filter bank: for each,
// acc = the sum over the impulses in table order of the sample `delay` back
// x its amplitude; every band y = b0 (acc - acc two samples back) + minusA2
// y2 + minusA1 y1 (the band-pass biquad with b1 = 0 and b2 = -b0); out =
// the sum of y x band gain, truncated toward zero and held within -32767 ..
// 32767. The result does not depend on how the samples are split into calls.
void ProcessSamples(AudioProcessor& processor, std::span<int16_t> samples);
int16_t ProcessSample(AudioProcessor& processor, int16_t input);

// "%1.2f %" of `percent` through the progress window; true when cancelled.
bool ShowProcessingProgress(double percent);

enum class ProcessOutcome { kDone, kCancelled, kFailed };
// Processes the WAV input into the output file, as many samples as the
// input has, with the progress every 100 ms. The output is written beside
// its path and put in its place only when complete: a Cancel or a failure
// leaves any old file as it was. Failures show "Cannot read input WAVE
// file" (also for a data chunk that ends early), "Input file must be a
// 16-bit mono PCM WAVE file" or "Cannot write output WAVE file".
ProcessOutcome ProcessWavFile(AudioProcessor& processor, const std::string& inputPath, const std::string& outputPath);

// ---- The commands' state ----

struct AuralisationState {
  float sampleRate = 22050.0f;  // of the WAV input chosen last
  std::string wavInputPath;     // empty when not chosen
  std::string outputPath;       // beside the profile, under its name
  std::string profilePath;
  std::string wavFolder;  // the next choices start here; kdn keeps it in its history
  std::string profileFolder;
  bool busy = false;  // while a processing command runs
};
extern AuralisationState gAuralisation;
void ResetAuralisation();

// Holds the busy flag while a processing command runs.
class ProcessingBusyScope {
 public:
  explicit ProcessingBusyScope(AuralisationState& state) : state_(state) { state_.busy = true; }
  ~ProcessingBusyScope() { state_.busy = false; }
  ProcessingBusyScope(const ProcessingBusyScope&) = delete;
  ProcessingBusyScope& operator=(const ProcessingBusyScope&) = delete;

 private:
  AuralisationState& state_;
};

bool HasWavInput();
bool HasAudioProfile();
std::string GetAudioProfilePath();
void SetAudioProfilePath(const std::string& path);

inline constexpr char kNoProfileMessage[] = "No processing profile loaded yet";
inline constexpr char kNoProfileCaption[] = "Playing 'dry'";
inline constexpr char kInvalidProfileMessage[] = "Invalid file, can\xB4t load";
inline constexpr char kNoSoundDeviceMessage[] = "Sound output device not available";
inline constexpr char kOutputIsInputMessage[] = "Output WAVE file would overwrite an input file";
// The file dialogs of the commands.
inline constexpr char kWavFileFilter[] = "Wave audio file|*.WAV|";
inline constexpr char kWavFileDefault[] = "*.wav";
inline constexpr char kProfileFileFilter[] = "Korvane Audio Profile|*.kap|";
inline constexpr char kProfileFileDefault[] = "*.KAP";

// The WAV input behind its dialog: its folder becomes the WAV folder; a file
// that is 16-bit mono PCM becomes the input and its rate the sample rate
// (1); otherwise "Cannot read input WAVE file" or "Input file must be a
// 16-bit mono PCM WAVE file" and the previous input stays (0).
int ChooseWavInput(AuralisationState& state, const std::string& path);

// The audio profile behind its dialog: `path` gets ".KAP" unless it ends so
// in any case, and its folder becomes the profile folder. A file that
// cannot be opened changes nothing else (0); one without the magic gives
// "Invalid file, can´t load" (0); else its description is shown under
// "Description" with OK and Cancel, and OK makes it the profile, with the
// output path its path with "WAV" for its last three characters (1).
int ChooseAudioProfile(AuralisationState& state, const std::string& path);

// Process and Play: refused while busy, and with kOutputIsInputMessage when
// the output file is the WAV input or the profile by any of its names
// (IsSameFile); the profile (or the dry impulse), the progress window
// "Processing <n> impulses..." with Cancel, the input processed into the
// output file, which then plays unless cancelled or failed. 1 when the
// output was written.
int ProcessAndPlay(AuralisationState& state, SoundSystem& sound);

// Stops any sound and plays the WAV file in the background; the file's
// message when it is no 16-bit mono PCM file, a beep and "Sound output
// device not available" when there is no device. True when it plays.
bool PlayWavFile(const std::string& path, SoundSystem& sound);
// Play Input File and Play Output File.
bool PlayInputFile(const AuralisationState& state, SoundSystem& sound);
bool PlayOutputFile(const AuralisationState& state, SoundSystem& sound);
