// The Audience Areas menu: the drawing editor's draw and edit families at
// 3200 and 3300.
#include "design/shell/design_commands.h"
#include "framework/editor/draw_commands.h"
#include "framework/editor/edit_commands.h"

namespace {
constexpr int kAudienceDrawBase = 3200, kAudienceEditBase = 3300;
}

void BindAudienceMenu(CommandRegistry& r) {
  BindDrawCommands(r, kAudienceDrawBase);
  BindEditCommands(r, kAudienceEditBase);
}
