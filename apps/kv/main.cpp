// kv, the viewer. `kv [PROJECT.KPR]` starts it, on the given project when
// one is named.
#include "design/commands/project_open.h"
#include "platform/application.h"
#include "viewer/viewer_shell.h"

int main(int argc, char** argv) {
  platform::Instance instance = platform::StartApplication("kv");
  if (!StartViewerProgram(instance)) return 1;
  if (argc > 1) OpenProjectAtStart(argv[1]);
  RunViewerProgram();
  EndViewerProgram();
  platform::EndApplication(instance);
  return 0;
}
