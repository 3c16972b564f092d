// Times the offline auralisation: ProcessSamples over 20 s of noise at
// 22050 Hz through profiles of 250, 2000 and 10000 taps spread over the
// first 5 s, and prints how many times faster than real time each runs (the
// real-time playback needs well above 1 with its 250 taps; a file is
// processed that much faster than it plays). Then the time of the real-time
// reduction of 10000 taps.
//
// Usage: bench_auralisation [seconds of input, default 20]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <span>
#include <vector>

#include "design/acoustics/realtime_playback.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// `taps` impulses at random delays over the first 5 s, decaying, the first
// at 0 ms.
AudioProfile Profile(int taps, std::mt19937& random) {
  AudioProfile profile;
  std::uniform_real_distribution<float> time(0, 5000);
  profile.impulses.push_back({0, 1.0f, {}});
  for (int i = 1; i < taps; ++i) {
    const float ms = time(random);
    profile.impulses.push_back({ms, 0.5f * std::exp(-ms / 700), {}});
  }
  profile.bandRecords = {{1, 1, 1, 1, 1, 1, 1}, {1.8f, 1.6f, 1.5f, 1.4f, 1.2f, 1.0f, 0.8f}};
  return profile;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
  const size_t samples = size_t(seconds * kRealTimeSampleRate);
  std::mt19937 random(1);
  std::vector<int16_t> input(samples);
  std::uniform_int_distribution<int> noise(-8000, 8000);
  for (int16_t& s : input) s = int16_t(noise(random));

  std::printf("offline processing of %.0f s at 22050 Hz\n", seconds);
  std::printf("%8s %10s %14s\n", "taps", "time (s)", "x real time");
  long checksum = 0;
  for (const int taps : {250, 2000, 10000}) {
    AudioProcessor processor;
    if (!AllocProcessingBuffers(processor, float(kRealTimeSampleRate))) return 1;
    ApplyAudioProfile(processor, Profile(taps, random));
    ResetProcessing(processor);
    std::vector<int16_t> output = input;
    const Clock::time_point start = Clock::now();
    // In the batches the processing of a file reads.
    for (size_t at = 0; at < output.size(); at += kProcessBlock)
      ProcessSamples(processor, std::span(output).subspan(at, std::min<size_t>(kProcessBlock, output.size() - at)));
    const double took = Seconds(start);
    for (int16_t s : output) checksum += s;
    std::printf("%8zu %10.3f %14.1f\n", processor.delays.size(), took, seconds / took);
  }

  AudioProcessor processor;
  if (!AllocProcessingBuffers(processor, float(kRealTimeSampleRate))) return 1;
  ApplyAudioProfile(processor, Profile(10000, random));
  TailRandom tail;
  const Clock::time_point start = Clock::now();
  ReduceImpulsesForRealTime(processor, tail);
  std::printf("reduction of 10000 taps to %zu: %.3f ms\n", processor.delays.size(), 1000 * Seconds(start));
  std::printf("(checksum %ld)\n", checksum);
  return 0;
}
