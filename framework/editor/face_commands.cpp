#include "framework/editor/face_commands.h"

void BindFaceCommands(CommandRegistry&, int) {}
