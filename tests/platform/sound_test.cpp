// Sound streams and the player on ALSA's "null" device, which takes every
// block at once (so these check the logic, not the pacing), and the
// recording seam.
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "platform/test_seams.h"

using namespace platform;

namespace {

constexpr SoundFormat kFormat{22050, 1, 16};
const std::vector<std::int16_t> kBlock(4410, 100);

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSoundDevice("null"); }
  void TearDown() override {
    StopSound();
    SetSoundDevice("default");
  }
  // Waits (a few seconds at most) until the player has stopped.
  static bool PlayerStops() {
    for (int i = 0; i < 300 && IsSoundPlaying(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !IsSoundPlaying();
  }
};

TEST_F(SoundTest, TheNullDeviceFinishesBlocksInTheOrderQueued) {
  const SoundStream stream = OpenSoundStream(kFormat);
  ASSERT_NE(stream, SoundStream::kNone);
  std::vector<int> done;
  for (int tag = 0; tag < 3; ++tag) ASSERT_TRUE(QueueSoundBlock(stream, tag, kBlock.data(), kBlock.size()));
  // Refill each block as it comes back, as the real-time playback does.
  while (done.size() < 9) {
    const int tag = WaitSoundBlock(stream, 2000);
    ASSERT_GE(tag, 0);
    done.push_back(tag);
    if (done.size() <= 6) {
      ASSERT_TRUE(QueueSoundBlock(stream, tag, kBlock.data(), kBlock.size()));
    }
  }
  EXPECT_EQ(done, (std::vector<int>{0, 1, 2, 0, 1, 2, 0, 1, 2}));
  EXPECT_EQ(WaitSoundBlock(stream, 10), kSoundWaitTimedOut);
  DrainSoundStream(stream);
  CloseSoundStream(stream);
  // A closed stream takes nothing.
  EXPECT_FALSE(QueueSoundBlock(stream, 0, kBlock.data(), kBlock.size()));
  EXPECT_EQ(WaitSoundBlock(stream, 0), kSoundStreamFailed);
}

TEST_F(SoundTest, AResetDropsWhatWasQueued) {
  const SoundStream stream = OpenSoundStream(kFormat);
  ASSERT_NE(stream, SoundStream::kNone);
  for (int tag = 0; tag < 50; ++tag) QueueSoundBlock(stream, tag, kBlock.data(), kBlock.size());
  ResetSoundStream(stream);
  ASSERT_TRUE(QueueSoundBlock(stream, 99, kBlock.data(), kBlock.size()));
  EXPECT_EQ(WaitSoundBlock(stream, 2000), 99);
  CloseSoundStream(stream);
}

TEST_F(SoundTest, NoDeviceOrAFormatItCannotTakeOpensNothing) {
  EXPECT_EQ(OpenSoundStream({22050, 1, 8}), SoundStream::kNone);
  EXPECT_EQ(OpenSoundStream({0, 1, 16}), SoundStream::kNone);
  SetSoundDevice("korvane_no_such_device");
  EXPECT_EQ(OpenSoundStream(kFormat), SoundStream::kNone);
  EXPECT_FALSE(PlaySoundAsync(kFormat, [](std::int16_t*, std::size_t) { return std::size_t(0); }));
  // Without a sound card, as in CI, the default device is not there either.
  std::ifstream cards("/proc/asound/cards");
  std::string first;
  if (cards && std::getline(cards, first) && first.find("no soundcards") == std::string::npos)
    GTEST_SKIP() << "this machine has a sound card";
  SetSoundDevice("default");
  EXPECT_EQ(OpenSoundStream(kFormat), SoundStream::kNone);
}

TEST_F(SoundTest, ThePlayerPlaysItsSourceToTheEndOrUntilStopped) {
  std::atomic<int> calls{0};
  ASSERT_TRUE(PlaySoundAsync(kFormat, [&](std::int16_t* out, std::size_t capacity) {
    if (++calls > 10) return std::size_t(0);
    std::fill(out, out + capacity, std::int16_t(5));
    return capacity;
  }));
  EXPECT_TRUE(PlayerStops());
  EXPECT_EQ(calls, 11);

  std::atomic<int> endless{0};
  ASSERT_TRUE(PlaySoundAsync(kFormat, [&](std::int16_t*, std::size_t capacity) {
    ++endless;
    return capacity;
  }));
  while (endless < 3) std::this_thread::yield();
  StopSound();
  EXPECT_FALSE(IsSoundPlaying());
}

TEST_F(SoundTest, TheRecorderTakesTheSoundInsteadOfTheDevice) {
  test::SoundRecorder recorder;
  const SoundStream stream = OpenSoundStream(kFormat);
  ASSERT_NE(stream, SoundStream::kNone);
  const std::int16_t samples[] = {1, 2, 3};
  QueueSoundBlock(stream, 4, samples, 3);
  EXPECT_EQ(WaitSoundBlock(stream, 0), 4);
  recorder.stall = true;
  QueueSoundBlock(stream, 5, samples, 2);
  EXPECT_EQ(WaitSoundBlock(stream, 0), kSoundWaitTimedOut);
  ResetSoundStream(stream);
  DrainSoundStream(stream);
  CloseSoundStream(stream);
  ASSERT_EQ(recorder.streams.size(), 1u);
  EXPECT_EQ(recorder.streams[0].tags, (std::vector<int>{4, 5}));
  EXPECT_EQ(recorder.streams[0].samples, (std::vector<std::int16_t>{1, 2, 3, 1, 2}));
  EXPECT_EQ(recorder.streams[0].resets, 1);
  EXPECT_EQ(recorder.streams[0].drains, 1);
  EXPECT_TRUE(recorder.streams[0].closed);

  int left = 2;
  ASSERT_TRUE(PlaySoundAsync(kFormat, [&](std::int16_t* out, std::size_t) {
    out[0] = 7;
    return left-- > 0 ? std::size_t(1) : std::size_t(0);
  }));
  ASSERT_EQ(recorder.played.size(), 1u);
  EXPECT_EQ(recorder.played[0].samples, (std::vector<std::int16_t>{7, 7}));
  Beep();
  EXPECT_EQ(recorder.beeps, 1);
  recorder.failOpen = true;
  EXPECT_EQ(OpenSoundStream(kFormat), SoundStream::kNone);
}

}  // namespace
