// kdn, the design program. `kdn [PROJECT.KPR]` starts it, on the given
// project when one is named.
#include "design/shell/design_shell.h"
#include "design/shell/project_commands.h"
#include "platform/application.h"

int main(int argc, char** argv) {
  platform::Instance instance = platform::StartApplication("kdn");
  if (!StartDesignProgram(instance)) return 1;
  // The project named at the start goes first in the recent list.
  if (argc > 1 && OpenProjectAtStart(argv[1])) WriteHistoryFile();
  RunDesignProgram();
  EndDesignProgram();
  platform::EndApplication(instance);
  return 0;
}
