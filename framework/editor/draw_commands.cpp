#include "framework/editor/draw_commands.h"

void BindDrawCommands(CommandRegistry&, int) {}
