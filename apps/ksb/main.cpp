// ksb, the speaker-database editor. `ksb [FILE.KSB]` starts it, on the given
// database when one is named.
#include "platform/application.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"

int main(int argc, char** argv) {
  platform::Instance instance = platform::StartApplication("ksb");
  if (!StartSpeakerEditor(instance)) return 1;
  AskSessionPassword();
  if (argc > 1) OpenSpeakerDatabaseAt(argv[1]);
  RunSpeakerEditor();
  EndSpeakerEditor();
  platform::EndApplication(instance);
  return 0;
}
