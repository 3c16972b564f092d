// The audio profile (.KAP) reader, ReadAudioProfileFile, and what the
// processing makes of a profile it read: the impulses it takes
// (ApplyAudioProfile), their reduction for the real-time playback and a few
// samples through both, whose delays must lie in the delay line and whose
// amplitudes must be finite.
#include <cmath>
#include <cstdlib>

#include "design/acoustics/realtime_playback.h"
#include "fuzz/fuzz_check.h"

namespace {

AudioProfile gProfile;

bool ReadProfile(FuzzInput bytes) {
  MemoryReader reader(bytes);
  return ReadAudioProfileFile(reader, gProfile);
}

FuzzBytes WriteProfile() {
  MemoryWriter writer;
  FuzzRequire(WriteAudioProfileFile(writer, gProfile), "the profile is written");
  return writer.Take();
}

void CheckTaps(const AudioProcessor& processor, size_t most) {
  FuzzRequire(processor.delays.size() == processor.amplitudes.size() && processor.delays.size() <= most,
              "an impulse table within its capacity");
  for (size_t k = 0; k < processor.delays.size(); ++k) {
    FuzzRequire(processor.delays[k] < kDelayLineLength, "every delay lies in the delay line");
    FuzzRequire(std::isfinite(processor.amplitudes[k]), "every amplitude is finite");
  }
}

void Process(AudioProcessor& processor) {
  ResetProcessing(processor);
  for (int16_t x : {int16_t(32767), int16_t(-32768), int16_t(0), int16_t(1234)})
    FuzzRequire(ProcessSample(processor, x) != -32768, "no output sample is -32768");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  gProfile = AudioProfile{};
  gProfile.description = "held";
  CheckReadWriteRead(FuzzInput(data, size), ReadProfile, WriteProfile);
  if (gProfile.description == "held") return 0;

  static AudioProcessor processor;
  if (processor.delayLine.empty() && !AllocProcessingBuffers(processor, 22050)) std::abort();
  for (AudioFilter& filter : processor.filters) filter.bandGain = 1.0f;
  ApplyAudioProfile(processor, gProfile);
  CheckTaps(processor, kMaxImpulses);
  Process(processor);
  TailRandom random;
  ReduceImpulsesForRealTime(processor, random);
  CheckTaps(processor, kRealTimeBins);
  for (float amplitude : processor.amplitudes)
    FuzzRequire(amplitude > 0 && amplitude <= 1.0f, "the reduced taps lie in (0, 1]");
  Process(processor);
  return 0;
}
