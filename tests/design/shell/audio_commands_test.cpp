// The audio commands of kdn's Calculate menu through their dialogs and the
// recording sound seam: choosing the WAV input and the profile, the menu
// states they give, Process and Play, the WAV folder in the history file,
// and "APF" and "RTA" of the impulse-response window.
#include <gtest/gtest.h>

#include <filesystem>

#include "design/acoustics/audio_profile.h"
#include "design/acoustics/auralisation.h"
#include "design/acoustics/realtime_playback.h"
#include "design/acoustics/reflection_search.h"
#include "design/acoustics/wav_file.h"
#include "design/commands/audio_commands.h"
#include "design/document/history_file.h"
#include "design/model/design_tables.h"
#include "design/shell/calculation_commands.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "design/windows/ray_windows.h"
#include "framework/base/view_state.h"
#include "framework/core/byte_codec.h"
#include "framework/core/file_dialog_state.h"
#include "framework/model/layers.h"
#include "platform/test_seams.h"
#include "tests/design/acoustics/audio_fixtures.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;
using platform::test::DialogUser;

class AudioCommandsTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
  }

  // A stored profile of one impulse at 0 ms named `name` in the scratch folder.
  std::string WriteProfile(const std::string& name, const std::string& description) {
    AudioProfile profile;
    profile.description = description;
    profile.impulses.push_back({0.0f, 1.0f, {}});
    ProfileBandRecord gains;
    gains.fill(1.0f);
    profile.bandRecords.push_back(gains);
    const std::string path = Path(name);
    SafeFileWriter writer(path);
    EXPECT_TRUE(WriteAudioProfileFile(writer, profile) && writer.Commit());
    return path;
  }

  // The studio speech copied into the scratch folder.
  std::string Speech() const {
    const std::string path = Path("speech.wav");
    fs::copy_file(audio_fixtures::kSpeechFile, path, fs::copy_options::overwrite_existing);
    return path;
  }

  void ChooseWav(const std::string& path) {
    platform::test::FileDialogScript files;
    files.Choose(path);
    Command(kCmdSelectWavInput);
  }
};

TEST_F(AudioCommandsTest, ThePlayItemsWaitForAnInputAndAProfile) {
  for (int id : {kCmdProcessAndPlay, kCmdPlayInputFile, kCmdPlayOutputFile}) EXPECT_FALSE(ChooseItem(id)) << id;
  const std::string speech = Speech();
  ChooseWav(speech);
  EXPECT_EQ(gAuralisation.wavInputPath, speech);
  EXPECT_EQ(gAuralisation.sampleRate, 16000.0f);
  EXPECT_FALSE(ChooseItem(kCmdProcessAndPlay));

  MessageRecorder messages;
  platform::test::FileDialogScript files;
  files.Choose(WriteProfile("HALL.KAP", "Seat 12"));
  Command(kCmdSelectAudioProfile);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Seat 12"});
  EXPECT_EQ(gAuralisation.outputPath, Path("HALL.WAV"));
  for (int id : {kCmdProcessAndPlay, kCmdPlayInputFile, kCmdPlayOutputFile}) EXPECT_TRUE(ChooseItem(id)) << id;
  EXPECT_EQ(files.dialogs().size(), 1u);
}

TEST_F(AudioCommandsTest, TheAudioHandlerRunsTheAudioCommandsAndIgnoresOtherIds) {
  const std::string speech = Speech();
  platform::test::FileDialogScript files;
  files.Choose(speech);
  for (int id : {kCmdSelectAudioProfile - 1, kCmdPlayOutputFile + 1}) HandleAudioCommand(id);
  EXPECT_TRUE(files.dialogs().empty());
  HandleAudioCommand(kCmdSelectWavInput);
  EXPECT_EQ(files.dialogs().size(), 1u);
  EXPECT_EQ(gAuralisation.wavInputPath, speech);
}

TEST_F(AudioCommandsTest, ACastanetsRecordingIsRefusedAndTheInputStays) {
  const std::string speech = Speech();
  ChooseWav(speech);
  MessageRecorder messages;
  ChooseWav(audio_fixtures::kCastanetsFile);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Input file must be a 16-bit mono PCM WAVE file"});
  EXPECT_EQ(gAuralisation.wavInputPath, speech);
}

TEST_F(AudioCommandsTest, ProcessAndPlayWritesTheOutputBesideTheProfileAndPlaysIt) {
  ChooseWav(Speech());
  {
    MessageRecorder messages;
    platform::test::FileDialogScript files;
    files.Choose(WriteProfile("hall.kap", "Dry"));
    Command(kCmdSelectAudioProfile);
  }
  platform::test::SoundRecorder sound;
  Command(kCmdProcessAndPlay);
  WavInput output;
  ASSERT_EQ(output.Open(Path("hall.WAV")), WavCheck::kOk);
  EXPECT_EQ(output.info().sampleRate, 16000u);
  EXPECT_EQ(output.info().SampleCount(), audio_fixtures::kSpeechSamples);
  ASSERT_EQ(sound.played.size(), 1u);
  EXPECT_EQ(sound.played[0].samples.size(), audio_fixtures::kSpeechSamples);
  Command(kCmdPlayInputFile);
  EXPECT_EQ(sound.played.size(), 2u);
}

TEST_F(AudioCommandsTest, TheWavFolderIsKeptInTheHistoryFile) {
  const std::string speech = Speech();
  ChooseWav(speech);
  EXPECT_EQ(gAuralisation.wavFolder, FolderOfPath(speech));
  ASSERT_EQ(WriteHistoryFile(), 1);
  HistoryRecord record;
  ASSERT_EQ(LoadHistoryRecord(HistoryFilePath(), record), 1);
  EXPECT_EQ(record.audioFolder, FolderOfPath(speech));
  gAuralisation.wavFolder.clear();
  ASSERT_EQ(ReadHistoryFile(), 1);
  EXPECT_EQ(gAuralisation.wavFolder, FolderOfPath(speech));
  // The next choice starts there.
  platform::test::FileDialogScript files;
  files.Cancel();
  Command(kCmdSelectWavInput);
  ASSERT_EQ(files.dialogs().size(), 1u);
  EXPECT_EQ(files.dialogs()[0].request.folder, FolderOfPath(speech));
}

TEST_F(AudioCommandsTest, TheImpulseWindowStoresAProfileAndPlaysThePathsAtOnce) {
  ChooseWav(Speech());
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "1");
    user.Press(102);
  });
  dialogs.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "30,5");
    user.Press(102);
  });
  dialogs.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "Seats");
    user.Press(102);
  });
  platform::test::FileDialogScript files;
  files.Choose(Path("seats.kap"));
  platform::test::SoundRecorder sound;
  MessageRecorder messages;
  messages.Answer(kIdCancel);  // no ray file
  int paths = 0;
  CalculateRaysAtSeats({[&] { platform::test::ClickControl(gRayWindows.switchButton); },
                        [&] {
                          ASSERT_EQ(gRayWindows.open, RayWindowKind::kImpulse);
                          paths = gRayWindows.paths;
                          platform::test::ClickControl(gRayWindows.impulseButtons[9]);
                        },
                        [&] { platform::test::ClickControl(gRayWindows.impulseButtons[8]); },
                        [&] { platform::test::ClickControl(gRayWindows.backButton); }});
  // "APF": the stored profile, no second extension.
  FileReader reader(Path("seats.kap"));
  AudioProfile profile;
  ASSERT_TRUE(ReadAudioProfileFile(reader, profile));
  EXPECT_EQ(profile.description, "Seats");
  EXPECT_EQ(profile.listenAngle, 30.5f);
  EXPECT_EQ(int(profile.impulses.size()), paths);
  EXPECT_EQ(profile.bandRecords.size(), kStoredProfileBandRecords);
  // "RTA": the stream played at 22050 Hz, the profile path back as it was.
  ASSERT_EQ(sound.streams.size(), 1u);
  EXPECT_EQ(sound.streams[0].format.sampleRate, kRealTimeSampleRate);
  EXPECT_GT(sound.streams[0].tags.size(), size_t(kTailBlocks));
  EXPECT_TRUE(gAuralisation.profilePath.empty());
  EXPECT_EQ(gAuralisation.sampleRate, 16000.0f);
}

TEST_F(AudioCommandsTest, TheSearchAtAClickedPointPlaysItsPathsAtOnce) {
  ChooseWav(Speech());
  platform::test::SoundRecorder sound;
  ASSERT_GT(SearchPathsAtPoint(gRaySearch, ProjectTables(), {15, 0, 1.2f}, [](int, const char*) { return 0; }), 0);
  RayWindowContext context = DesignRayWindowContext();
  EXPECT_EQ(PlayPathsAtPoint(context, 70.0f), 1);
  EXPECT_FLOAT_EQ(gRaySearch.results.reverberantLevel[2], gRaySearch.results.earlyLevel[2] - 70.0f);
  ASSERT_EQ(sound.streams.size(), 1u);
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);
  EXPECT_TRUE(gAuralisation.profilePath.empty());
}

TEST_F(AudioCommandsTest, RealTimeWithoutAnInputAsksForOneAndPlaysNothingOnCancel) {
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "1");
    user.Press(102);
  });
  platform::test::FileDialogScript files;
  files.Cancel();
  platform::test::SoundRecorder sound;
  MessageRecorder messages;
  messages.Answer(kIdCancel);  // no ray file
  CalculateRaysAtSeats({[&] { platform::test::ClickControl(gRayWindows.switchButton); },
                        [&] { platform::test::ClickControl(gRayWindows.impulseButtons[8]); },
                        [&] { platform::test::ClickControl(gRayWindows.backButton); }});
  ASSERT_EQ(files.dialogs().size(), 1u);
  EXPECT_FALSE(files.dialogs()[0].save);
  EXPECT_TRUE(sound.streams.empty());
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Store ray calculation to file ?"});
}

}  // namespace
