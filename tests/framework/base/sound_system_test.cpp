// The programs' sound system on ALSA's "null" device: the auralisation's
// real-time playback and the player of a whole file run on it as on a sound
// card, only at once, so CI without one plays whole files.
#include "framework/base/sound_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "design/acoustics/realtime_playback.h"
#include "platform/sound.h"
#include "tests/design/acoustics/audio_fixtures.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using namespace audio_fixtures;

// The framework started, so that the stream answers the real progress
// window while it waits.
class SoundSystemTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    platform::SetSoundDevice("null");
  }
  void TearDown() override {
    PlatformSoundSystem().StopSound();
    platform::SetSoundDevice("default");
    FrameworkTest::TearDown();
  }
};

TEST_F(SoundSystemTest, TheNullDevicePlaysAWholeFileInRealTime) {
  ASSERT_EQ(ChooseWavInput(gAuralisation, kSpeechFile), 1);
  // No profile: the dry impulse, and its message.
  MessageRecorder messages;
  ASSERT_EQ(RunRealTimeAuralisation(gAuralisation, PlatformSoundSystem()), 1);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"No processing profile loaded yet"});
  EXPECT_EQ(gAuralisation.sampleRate, 16000.0f);
  EXPECT_FALSE(gAuralisation.busy);
}

TEST_F(SoundSystemTest, ThePlayerPlaysTheFileToItsEnd) {
  ASSERT_TRUE(PlayWavFile(kSpeechFile, PlatformSoundSystem()));
  for (int i = 0; i < 300 && platform::IsSoundPlaying(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(platform::IsSoundPlaying());
}

TEST_F(SoundSystemTest, WithoutADeviceTheUserIsTold) {
  platform::SetSoundDevice("korvane_no_such_device");
  gAuralisation.wavInputPath = kSpeechFile;
  MessageRecorder messages;
  EXPECT_EQ(RunRealTimeAuralisation(gAuralisation, PlatformSoundSystem()), 0);
  EXPECT_FALSE(PlayInputFile(gAuralisation, PlatformSoundSystem()));
  EXPECT_EQ(messages.texts(),
            (std::vector<std::string>{"No processing profile loaded yet", "Sound output device not available",
                                      "Sound output device not available"}));
}

}  // namespace
