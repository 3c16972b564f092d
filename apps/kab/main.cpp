// kab, the absorber-database editor. `kab [FILE.KAB]` starts it, on the
// given database when one is named.
#include "absorberbase/absorber_editor.h"
#include "absorberbase/material_panel.h"
#include "framework/base/framework_windows.h"
#include "platform/application.h"

int main(int argc, char** argv) {
  platform::Instance instance = platform::StartApplication("kab");
  StartAbsorberEditor(instance);
  if (argc > 1 && OpenAbsorberDatabaseFile(argv[1]) == 1) ShowMaterialDialog();
  RunAbsorberEditorLoop();
  UnregisterFrameworkClasses();
  platform::EndApplication(instance);
  return 0;
}
