#include "framework/editor/edit_commands.h"

void BindEditCommands(CommandRegistry&, int) {}
