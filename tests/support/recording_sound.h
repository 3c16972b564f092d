// A SoundSystem for the pure tests: every stream opened is recorded with
// the blocks queued to it, which complete at once in order (or, after
// `completeBlocks` of them, never, as a device that stopped); sounds played
// are taken whole; beeps and stops are counted. With `failOpen` nothing
// opens, as without a sound card.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "framework/core/sound_output.h"

struct RecordedStream {
  SoundFormat format;
  std::vector<int> tags;  // of the blocks queued, in order
  std::vector<std::vector<int16_t>> blocks;
  int resets = 0;
  int drains = 0;
  bool closed = false;
  // The samples of all blocks, one after another.
  std::vector<int16_t> Samples() const;
};

struct RecordedPlay {
  SoundFormat format;
  std::vector<int16_t> samples;
};

class RecordingSound final : public SoundSystem {
 public:
  bool failOpen = false;
  // Blocks that complete, over all streams; after that none does.
  int completeBlocks = 1 << 30;
  std::vector<std::shared_ptr<RecordedStream>> streams;
  std::vector<RecordedPlay> played;
  int beeps = 0;
  int stops = 0;
  // Waits that found no finished block.
  int emptyWaits = 0;

  std::unique_ptr<SoundOutputStream> OpenOutput(const SoundFormat& format) override;
  bool PlayAsync(const SoundFormat& format, SoundSource source) override;
  void StopSound() override { ++stops; }
  void Beep() override { ++beeps; }
};
