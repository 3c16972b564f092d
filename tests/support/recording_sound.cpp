#include "tests/support/recording_sound.h"

namespace {

class RecordingStream final : public SoundOutputStream {
 public:
  RecordingStream(RecordingSound& sound, std::shared_ptr<RecordedStream> record)
      : sound_(sound), record_(std::move(record)) {}
  ~RecordingStream() override { record_->closed = true; }

  bool QueueBlock(int tag, std::span<const int16_t> samples) override {
    record_->tags.push_back(tag);
    record_->blocks.emplace_back(samples.begin(), samples.end());
    if (sound_.completeBlocks > 0) {
      --sound_.completeBlocks;
      completed_.push_back(tag);
    }
    return true;
  }
  int WaitForCompletedBlock(uint32_t) override {
    if (completed_.empty()) {
      ++sound_.emptyWaits;
      return kNoBlockCompleted;
    }
    const int tag = completed_.front();
    completed_.pop_front();
    return tag;
  }
  void Reset() override {
    completed_.clear();
    ++record_->resets;
  }
  void Drain() override { ++record_->drains; }

 private:
  RecordingSound& sound_;
  std::shared_ptr<RecordedStream> record_;
  std::deque<int> completed_;
};

}  // namespace

std::vector<int16_t> RecordedStream::Samples() const {
  std::vector<int16_t> all;
  for (const std::vector<int16_t>& block : blocks) all.insert(all.end(), block.begin(), block.end());
  return all;
}

std::unique_ptr<SoundOutputStream> RecordingSound::OpenOutput(const SoundFormat& format) {
  if (failOpen) return nullptr;
  auto record = std::make_shared<RecordedStream>();
  record->format = format;
  streams.push_back(record);
  return std::make_unique<RecordingStream>(*this, record);
}

bool RecordingSound::PlayAsync(const SoundFormat& format, SoundSource source) {
  if (failOpen) return false;
  RecordedPlay& play = played.emplace_back();
  play.format = format;
  std::vector<int16_t> chunk(4096);
  while (const size_t n = source(chunk)) play.samples.insert(play.samples.end(), chunk.begin(), chunk.begin() + n);
  return true;
}
