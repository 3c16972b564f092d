// The sound output the pure core plays through, as an interface it is
// handed: a block stream for the real-time playback and a plain player for
// whole recordings. The window layer gives the programs the sound device
// behind it (framework/base/sound_system.h); tests hand a recording one.
//
// A stream plays fixed blocks of 16-bit samples in the order they were
// queued. Queueing copies the block and returns at once; once the device is
// done with a block its tag comes back from WaitForCompletedBlock, on the
// thread that queued it, so the caller knows the block's buffer is free
// again. Blocks complete in the order they were queued. Nothing of the
// stream is called from another thread than the one that opened it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

struct SoundFormat {
  uint32_t sampleRate = 22050;
  uint16_t bytesPerSample = 2;  // 16-bit samples; the only width the devices take
  uint16_t channels = 1;
};

// What WaitForCompletedBlock answers besides a tag.
constexpr int kNoBlockCompleted = -1;   // none finished within the time given
constexpr int kSoundDeviceFailed = -2;  // the device stopped and will finish none

class SoundOutputStream {
 public:
  virtual ~SoundOutputStream() = default;  // closes the device, cutting off what still plays

  // Hands a copy of `samples` to the device behind the blocks queued before;
  // false when the device takes no more.
  virtual bool QueueBlock(int tag, std::span<const int16_t> samples) = 0;
  // The tag of the next block the device finished, waiting at most
  // `timeoutMs` for it; kNoBlockCompleted when none finished in that time.
  virtual int WaitForCompletedBlock(uint32_t timeoutMs) = 0;
  // Stops at once: what is queued or playing is dropped, and no completion
  // of it comes back.
  virtual void Reset() = 0;
  // Returns once everything queued has been played.
  virtual void Drain() = 0;
};

// Fills `out` from its start with the next samples of a sound and returns how
// many; 0 at its end. The player calls it on a thread of its own.
using SoundSource = std::function<size_t(std::span<int16_t> out)>;

class SoundSystem {
 public:
  virtual ~SoundSystem() = default;

  // The default device opened at `format`; null when there is none or it
  // does not take the format.
  virtual std::unique_ptr<SoundOutputStream> OpenOutput(const SoundFormat& format) = 0;
  // Stops any sound playing and plays `source` in the background; the call
  // returns at once. False when there is no device to play on.
  virtual bool PlayAsync(const SoundFormat& format, SoundSource source) = 0;
  // Stops the sound PlayAsync started, if one still plays.
  virtual void StopSound() = 0;
  // The warning beep.
  virtual void Beep() = 0;
};
