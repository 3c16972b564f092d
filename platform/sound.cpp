#include "platform/sound.h"

#include <alsa/asoundlib.h>

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "platform/test_seams.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// The device's buffer, and the slice a writer waits for room in before it
// looks again whether it must stop.
constexpr unsigned kLatencyUs = 250000;
constexpr int kWriteWaitMs = 20;
// A drain waits no longer than the buffer plays and this much more.
constexpr auto kDrainSlack = std::chrono::seconds(1);
constexpr std::size_t kPlayerChunk = 4096;

test::SoundRecorder* gRecorder = nullptr;

std::mutex gDeviceMutex;
std::string gDevice = "default";

// ALSA reports a failed open on the standard error stream too; the caller
// reports it to the user instead.
void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

// The playback device opened at `format`, non-blocking, starting to play as
// soon as one period is written (so that a sound shorter than the buffer
// plays too). Null when it cannot be.
snd_pcm_t* OpenPcm(const SoundFormat& format) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { snd_lib_error_set_handler(SilentAlsaError); });
  if (format.bitsPerSample != 16 || format.channels == 0 || format.sampleRate == 0) return nullptr;
  snd_pcm_t* pcm = nullptr;
  if (snd_pcm_open(&pcm, SoundDevice().c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return nullptr;
  snd_pcm_uframes_t buffer = 0, period = 0;
  snd_pcm_sw_params_t* sw = nullptr;
  bool ok = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, format.channels,
                               format.sampleRate, 1, kLatencyUs) == 0 &&
            snd_pcm_get_params(pcm, &buffer, &period) == 0 && snd_pcm_sw_params_malloc(&sw) == 0;
  if (ok) {
    ok = snd_pcm_sw_params_current(pcm, sw) == 0 && snd_pcm_sw_params_set_start_threshold(pcm, sw, period) == 0 &&
         snd_pcm_sw_params(pcm, sw) == 0;
    snd_pcm_sw_params_free(sw);
  }
  if (!ok) {
    snd_pcm_close(pcm);
    return nullptr;
  }
  return pcm;
}

// Writes `frames` frames unless `stop` turns true; false when the device
// failed and could not be recovered.
template <typename Stop>
bool WriteFrames(snd_pcm_t* pcm, const std::int16_t* data, std::size_t frames, unsigned channels, Stop&& stop) {
  while (frames > 0 && !stop()) {
    snd_pcm_sframes_t written = snd_pcm_writei(pcm, data, frames);
    if (written == -EAGAIN) {
      snd_pcm_wait(pcm, kWriteWaitMs);
      continue;
    }
    if (written < 0) {
      // An underrun (or a suspend) is recovered; anything else ends the sound.
      if (snd_pcm_recover(pcm, int(written), 1) < 0) return false;
      continue;
    }
    data += std::size_t(written) * channels;
    frames -= std::size_t(written);
  }
  return true;
}

// Waits until the device has played what it holds, or `stop`.
template <typename Stop>
void DrainPcm(snd_pcm_t* pcm, unsigned rate, Stop&& stop) {
  snd_pcm_sframes_t delay = 0;
  if (snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED && snd_pcm_delay(pcm, &delay) == 0 && delay > 0) snd_pcm_start(pcm);
  const auto deadline = Clock::now() + std::chrono::microseconds(kLatencyUs) + kDrainSlack;
  while (!stop() && Clock::now() < deadline) {
    if (snd_pcm_state(pcm) != SND_PCM_STATE_RUNNING || snd_pcm_delay(pcm, &delay) < 0 || delay <= 0) break;
    const auto left = std::chrono::milliseconds(1000 * delay / std::max(rate, 1u) + 1);
    std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(kWriteWaitMs)));
  }
}

// ---- Streams ----

class StreamImpl {
 public:
  virtual ~StreamImpl() = default;
  virtual bool Queue(int tag, const std::int16_t* samples, std::size_t count) = 0;
  virtual int Wait(std::uint32_t timeoutMs) = 0;
  virtual void Reset() = 0;
  virtual void Drain() = 0;
};

// A stream on the device, written by a thread of its own.
class AlsaStream final : public StreamImpl {
 public:
  AlsaStream(snd_pcm_t* pcm, const SoundFormat& format)
      : pcm_(pcm), channels_(format.channels), rate_(format.sampleRate), worker_([this] { Run(); }) {}

  ~AlsaStream() override {
    {
      std::lock_guard lock(mutex_);
      request_ = Request::kClose;
      interrupt_ = true;
    }
    wake_.notify_all();
    worker_.join();
    snd_pcm_drop(pcm_);
    snd_pcm_close(pcm_);
  }

  bool Queue(int tag, const std::int16_t* samples, std::size_t count) override {
    {
      std::lock_guard lock(mutex_);
      if (failed_) return false;
      queue_.push_back({tag, std::vector<std::int16_t>(samples, samples + count)});
      queuedFrames_ += count / channels_;
    }
    wake_.notify_all();
    return true;
  }

  int Wait(std::uint32_t timeoutMs) override {
    std::unique_lock lock(mutex_);
    done_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !completed_.empty() || failed_; });
    if (completed_.empty()) return failed_ ? kSoundStreamFailed : kSoundWaitTimedOut;
    const int tag = completed_.front();
    completed_.pop_front();
    return tag;
  }

  void Reset() override {
    std::unique_lock lock(mutex_);
    queue_.clear();
    completed_.clear();
    queuedFrames_ = 0;
    interrupt_ = true;
    ++generation_;
    Ask(lock, Request::kReset, std::chrono::seconds(1));
  }

  void Drain() override {
    std::unique_lock lock(mutex_);
    const auto playing = std::chrono::milliseconds(1000 * queuedFrames_ / std::max(rate_, 1u));
    Ask(lock, Request::kDrain, playing + std::chrono::microseconds(kLatencyUs) + kDrainSlack);
  }

 private:
  enum class Request { kNone, kReset, kDrain, kClose };
  struct Block {
    int tag;
    std::vector<std::int16_t> samples;
  };

  // Asks the worker for `request` and waits (at most `limit`) until it is done.
  void Ask(std::unique_lock<std::mutex>& lock, Request request, Clock::duration limit) {
    if (request_ == Request::kClose) return;
    request_ = request;
    wake_.notify_all();
    done_.wait_for(lock, limit, [&] { return request_ != request; });
  }

  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return !queue_.empty() || request_ != Request::kNone; });
      if (request_ == Request::kClose) return;
      if (request_ == Request::kReset) {
        lock.unlock();
        snd_pcm_drop(pcm_);
        snd_pcm_prepare(pcm_);
        lock.lock();
        interrupt_ = false;
        Finish();
      } else if (request_ == Request::kDrain && (queue_.empty() || failed_)) {
        lock.unlock();
        if (!failed_) DrainPcm(pcm_, rate_, [&] { return interrupt_.load(); });
        lock.lock();
        Finish();
      } else if (!queue_.empty()) {
        Block block = std::move(queue_.front());
        queue_.pop_front();
        const std::uint64_t generation = generation_;
        lock.unlock();
        const bool written = WriteFrames(pcm_, block.samples.data(), block.samples.size() / channels_, channels_,
                                         [&] { return interrupt_.load(); });
        lock.lock();
        if (!written) {
          failed_ = true;
          queue_.clear();
        } else if (generation == generation_) {
          completed_.push_back(block.tag);
          queuedFrames_ -= std::min<std::uint64_t>(queuedFrames_, block.samples.size() / channels_);
        }
        done_.notify_all();
      }
    }
  }

  // The request asked is done (called with the lock held).
  void Finish() {
    if (request_ != Request::kClose) request_ = Request::kNone;
    done_.notify_all();
  }

  snd_pcm_t* pcm_;
  unsigned channels_;
  unsigned rate_;
  std::mutex mutex_;
  std::condition_variable wake_;  // the worker waits on it
  std::condition_variable done_;  // the caller waits on it
  std::deque<Block> queue_;
  std::deque<int> completed_;
  std::uint64_t queuedFrames_ = 0;
  std::uint64_t generation_ = 0;  // a reset starts a new one: blocks of an older one complete no more
  Request request_ = Request::kNone;
  std::atomic<bool> interrupt_{false};  // a reset or close stops the block being written
  bool failed_ = false;
  std::thread worker_;
};

// A stream of the SoundRecorder.
class RecordedStream final : public StreamImpl {
 public:
  explicit RecordedStream(std::size_t index) : index_(index) {}
  ~RecordedStream() override {
    if (test::RecordedSoundStream* stream = Recorded()) stream->closed = true;
  }
  bool Queue(int tag, const std::int16_t* samples, std::size_t count) override {
    test::RecordedSoundStream* stream = Recorded();
    if (!stream) return false;
    stream->tags.push_back(tag);
    stream->samples.insert(stream->samples.end(), samples, samples + count);
    if (!gRecorder->stall) completed_.push_back(tag);
    return true;
  }
  int Wait(std::uint32_t) override {
    if (completed_.empty()) return kSoundWaitTimedOut;
    const int tag = completed_.front();
    completed_.pop_front();
    return tag;
  }
  void Reset() override {
    completed_.clear();
    if (test::RecordedSoundStream* stream = Recorded()) ++stream->resets;
  }
  void Drain() override {
    if (test::RecordedSoundStream* stream = Recorded()) ++stream->drains;
  }

 private:
  // Its record, while the recorder lives.
  test::RecordedSoundStream* Recorded() const {
    return gRecorder && index_ < gRecorder->streams.size() ? &gRecorder->streams[index_] : nullptr;
  }
  std::size_t index_;
  std::deque<int> completed_;
};

struct StreamTable {
  std::mutex mutex;
  std::map<std::uintptr_t, std::unique_ptr<StreamImpl>> streams;
  std::uintptr_t next = 1;
};
StreamTable& Streams() {
  static StreamTable table;
  return table;
}

StreamImpl* Find(SoundStream stream) {
  StreamTable& table = Streams();
  std::lock_guard lock(table.mutex);
  const auto found = table.streams.find(std::uintptr_t(stream));
  return found == table.streams.end() ? nullptr : found->second.get();
}

// ---- The player ----

struct Player {
  std::mutex mutex;  // of starting and stopping
  std::thread thread;
  std::atomic<bool> stop{false};
  std::atomic<bool> playing{false};
  ~Player() { Stop(); }
  void Stop() {
    std::lock_guard lock(mutex);
    stop = true;
    if (thread.joinable()) thread.join();
  }
};
Player& ThePlayer() {
  static Player player;
  return player;
}

}  // namespace

void SetSoundDevice(std::string_view name) {
  std::lock_guard lock(gDeviceMutex);
  gDevice = std::string(name);
}

std::string SoundDevice() {
  std::lock_guard lock(gDeviceMutex);
  return gDevice;
}

SoundStream OpenSoundStream(const SoundFormat& format) {
  std::unique_ptr<StreamImpl> impl;
  if (gRecorder) {
    if (gRecorder->failOpen) return SoundStream::kNone;
    gRecorder->streams.emplace_back().format = format;
    impl = std::make_unique<RecordedStream>(gRecorder->streams.size() - 1);
  } else {
    snd_pcm_t* pcm = OpenPcm(format);
    if (!pcm) return SoundStream::kNone;
    impl = std::make_unique<AlsaStream>(pcm, format);
  }
  StreamTable& table = Streams();
  std::lock_guard lock(table.mutex);
  const std::uintptr_t id = table.next++;
  table.streams[id] = std::move(impl);
  return SoundStream(id);
}

bool QueueSoundBlock(SoundStream stream, int tag, const std::int16_t* samples, std::size_t count) {
  StreamImpl* impl = Find(stream);
  return impl && impl->Queue(tag, samples, count);
}

int WaitSoundBlock(SoundStream stream, std::uint32_t timeoutMs) {
  StreamImpl* impl = Find(stream);
  return impl ? impl->Wait(timeoutMs) : kSoundStreamFailed;
}

void ResetSoundStream(SoundStream stream) {
  if (StreamImpl* impl = Find(stream)) impl->Reset();
}

void DrainSoundStream(SoundStream stream) {
  if (StreamImpl* impl = Find(stream)) impl->Drain();
}

void CloseSoundStream(SoundStream stream) {
  std::unique_ptr<StreamImpl> impl;
  {
    StreamTable& table = Streams();
    std::lock_guard lock(table.mutex);
    const auto found = table.streams.find(std::uintptr_t(stream));
    if (found == table.streams.end()) return;
    impl = std::move(found->second);
    table.streams.erase(found);
  }
}

bool PlaySoundAsync(const SoundFormat& format, SoundSource source) {
  ThePlayer().Stop();
  if (gRecorder) {
    if (gRecorder->failOpen) return false;
    test::RecordedSound& sound = gRecorder->played.emplace_back();
    sound.format = format;
    std::vector<std::int16_t> chunk(kPlayerChunk);
    while (const std::size_t n = source(chunk.data(), chunk.size()))
      sound.samples.insert(sound.samples.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(n));
    return true;
  }
  snd_pcm_t* pcm = OpenPcm(format);
  if (!pcm) return false;
  Player& player = ThePlayer();
  std::lock_guard lock(player.mutex);
  player.stop = false;
  player.playing = true;
  player.thread = std::thread(
      [pcm, channels = unsigned(format.channels), rate = format.sampleRate, source = std::move(source), &player] {
        const auto stop = [&] { return player.stop.load(); };
        std::vector<std::int16_t> chunk(kPlayerChunk * channels);
        bool ok = true;
        while (ok && !stop()) {
          const std::size_t n = source(chunk.data(), chunk.size());
          if (n == 0) break;
          ok = WriteFrames(pcm, chunk.data(), n / channels, channels, stop);
        }
        if (ok) DrainPcm(pcm, rate, stop);
        snd_pcm_drop(pcm);
        snd_pcm_close(pcm);
        player.playing = false;
      });
  return true;
}

void StopSound() {
  if (gRecorder) ++gRecorder->stops;
  ThePlayer().Stop();
}

bool IsSoundPlaying() { return ThePlayer().playing; }

void Beep() {
  if (gRecorder) {
    ++gRecorder->beeps;
    return;
  }
  if (QApplication::instance()) QApplication::beep();
}

namespace test {

SoundRecorder::SoundRecorder() { gRecorder = this; }
SoundRecorder::~SoundRecorder() {
  if (gRecorder == this) gRecorder = nullptr;
}

}  // namespace test
}  // namespace platform
