#include "design/commands/audio_commands.h"

#include "design/acoustics/auralisation.h"
#include "design/commands/command_ids.h"
#include "design/commands/view_commands.h"
#include "framework/base/file_dialogs.h"
#include "framework/base/sound_system.h"
#include "framework/core/file_dialog_state.h"

void CmdSelectAudioProfile() {
  StartDialogIn(gAuralisation.profileFolder);
  if (!OpenFileDialog(kProfileFileFilter, kProfileFileDefault)) return;
  ChooseAudioProfile(gAuralisation, GetDialogDirectory() + GetDialogFileName());
}

void CmdSelectWavInput() {
  StartDialogIn(gAuralisation.wavFolder);
  if (!OpenFileDialog(kWavFileFilter, kWavFileDefault)) return;
  ChooseWavInput(gAuralisation, GetDialogDirectory() + GetDialogFileName());
}

void CmdProcessAndPlay() { ProcessAndPlay(gAuralisation, PlatformSoundSystem()); }
void CmdPlayInputFile() { PlayInputFile(gAuralisation, PlatformSoundSystem()); }
void CmdPlayOutputFile() { PlayOutputFile(gAuralisation, PlatformSoundSystem()); }

void BindAudioCommands(CommandRegistry& r) {
  r.Bind(kCmdSelectAudioProfile, CmdSelectAudioProfile);
  r.Bind(kCmdSelectWavInput, CmdSelectWavInput);
  r.Bind(kCmdProcessAndPlay, CmdProcessAndPlay);
  r.Bind(kCmdPlayInputFile, CmdPlayInputFile);
  r.Bind(kCmdPlayOutputFile, CmdPlayOutputFile);
}
