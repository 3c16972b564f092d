#include "design/commands/audio_commands.h"

#include "design/acoustics/auralisation.h"
#include "design/commands/command_ids.h"
#include "design/commands/view_commands.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/sound_system.h"
#include "framework/core/file_dialog_state.h"

void SelectAudioProfile() {
  StartDialogIn(gAuralisation.profileFolder);
  if (!OpenFileDialog(kProfileFileFilter, kProfileFileDefault)) return;
  ChooseAudioProfile(gAuralisation, GetDialogDirectory() + GetDialogFileName());
}

void SelectWavInput() {
  StartDialogIn(gAuralisation.wavFolder);
  if (!OpenFileDialog(kWavFileFilter, kWavFileDefault)) return;
  ChooseWavInput(gAuralisation, GetDialogDirectory() + GetDialogFileName());
}

void HandleAudioCommand(int id) {
  switch (id) {
    case kCmdSelectAudioProfile: SelectAudioProfile(); break;
    case kCmdSelectWavInput: SelectWavInput(); break;
    case kCmdProcessAndPlay: ProcessAndPlay(gAuralisation, PlatformSoundSystem()); break;
    case kCmdPlayInputFile: PlayInputFile(gAuralisation, PlatformSoundSystem()); break;
    case kCmdPlayOutputFile: PlayOutputFile(gAuralisation, PlatformSoundSystem()); break;
    default: break;
  }
}

void BindAudioCommands(CommandRegistry& r) {
  for (int id : {kCmdSelectAudioProfile, kCmdSelectWavInput, kCmdProcessAndPlay, kCmdPlayInputFile, kCmdPlayOutputFile})
    r.Bind(id, [id] { HandleAudioCommand(id); });
}
