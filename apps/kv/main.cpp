// kv, the viewer. Its shell is not built yet: it starts and ends at once.
#include "platform/application.h"

int main() {
  platform::Instance instance = platform::StartApplication("kv");
  platform::EndApplication(instance);
  return 0;
}
