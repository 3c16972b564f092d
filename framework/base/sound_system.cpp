#include "framework/base/sound_system.h"

#include "platform/sound.h"
#include "platform/system.h"

namespace {

class PlatformStream final : public SoundOutputStream {
 public:
  explicit PlatformStream(platform::SoundStream stream) : stream_(stream) {}
  ~PlatformStream() override { platform::CloseSoundStream(stream_); }
  PlatformStream(const PlatformStream&) = delete;
  PlatformStream& operator=(const PlatformStream&) = delete;

  bool QueueBlock(int tag, std::span<const int16_t> samples) override {
    return platform::QueueSoundBlock(stream_, tag, samples.data(), samples.size());
  }
  int WaitForCompletedBlock(uint32_t timeoutMs) override {
    const int done = platform::WaitSoundBlock(stream_, timeoutMs);
    if (done == platform::kSoundWaitTimedOut) return kNoBlockCompleted;
    return done == platform::kSoundStreamFailed ? kSoundDeviceFailed : done;
  }
  void Reset() override { platform::ResetSoundStream(stream_); }
  void Drain() override { platform::DrainSoundStream(stream_); }

 private:
  platform::SoundStream stream_;
};

platform::SoundFormat ToPlatform(const SoundFormat& format) {
  return {format.sampleRate, format.channels, uint16_t(8 * format.bytesPerSample)};
}

class PlatformSound final : public SoundSystem {
 public:
  std::unique_ptr<SoundOutputStream> OpenOutput(const SoundFormat& format) override {
    const platform::SoundStream stream = platform::OpenSoundStream(ToPlatform(format));
    if (stream == platform::SoundStream::kNone) return nullptr;
    return std::make_unique<PlatformStream>(stream);
  }
  bool PlayAsync(const SoundFormat& format, SoundSource source) override {
    return platform::PlaySoundAsync(ToPlatform(format), [source = std::move(source)](int16_t* out, size_t capacity) {
      return source(std::span(out, capacity));
    });
  }
  void StopSound() override { platform::StopSound(); }
  void Beep() override { platform::Beep(); }
};

}  // namespace

SoundSystem& PlatformSoundSystem() {
  static PlatformSound sound;
  return sound;
}
