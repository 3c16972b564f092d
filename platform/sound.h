// Sound output over ALSA: block streams, a background player and the
// device they use.
//
// A stream plays 16-bit blocks in the order they were queued. Queueing
// copies the block and returns at once; a thread of the stream's own writes
// the blocks to the device, recovering from underruns, and marks each done
// once the device has taken all of it, so that its buffer may be refilled.
// The caller waits for those completions with a timeout on its own thread;
// nothing of a stream is called from two threads. Reset drops what is
// queued, Drain waits until everything queued has played, Close (or a
// Reset first) cuts off what still plays.
//
// The player plays one sound at a time from a source it pulls on a thread of
// its own; a new sound, StopSound or the program's end stops the old one.
//
// The device is "default" unless SetSoundDevice names another: "null"
// takes every block at once and plays nothing, so tests and CI on a machine
// without a sound card run the streams' logic on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

struct SoundFormat {
  std::uint32_t sampleRate = 22050;
  std::uint16_t channels = 1;
  std::uint16_t bitsPerSample = 16;  // the only width taken
};

void SetSoundDevice(std::string_view name);
std::string SoundDevice();

enum class SoundStream : std::uintptr_t { kNone = 0 };

// The device opened at `format`; none when it cannot be opened or does not
// take the format.
SoundStream OpenSoundStream(const SoundFormat& format);
// Queues a copy of `count` samples (interleaved when more than one
// channel); false when the stream has failed.
bool QueueSoundBlock(SoundStream stream, int tag, const std::int16_t* samples, std::size_t count);
// What WaitSoundBlock answers besides a tag.
constexpr int kSoundWaitTimedOut = -1;
constexpr int kSoundStreamFailed = -2;
// The tag of the next block done, waiting at most `timeoutMs`.
int WaitSoundBlock(SoundStream stream, std::uint32_t timeoutMs);
void ResetSoundStream(SoundStream stream);
void DrainSoundStream(SoundStream stream);
void CloseSoundStream(SoundStream stream);

// Fills `out` with up to `capacity` samples; 0 at the end. Called on the
// player's thread.
using SoundSource = std::function<std::size_t(std::int16_t* out, std::size_t capacity)>;
// Stops any sound, then plays `source` in the background; false when the
// device cannot be opened at `format`.
bool PlaySoundAsync(const SoundFormat& format, SoundSource source);
void StopSound();
// Whether the player still plays.
bool IsSoundPlaying();

}  // namespace platform
