#include "design/shell/main_window.h"

#include <string>

#include "design/acoustics/auralisation.h"
#include "design/acoustics/level_map.h"
#include "design/commands/calculation_windows.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "design/shell/loudspeaker_commands.h"
#include "design/windows/result_window.h"
#include "design/windows/rt60_window.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/model/layers.h"
#include "framework/model/undo_ring.h"
#include "framework/program/drawing_program.h"
#include "framework/program/program_windows.h"
#include "framework/view/view_panel.h"
#include "platform/menu.h"
#include "platform/window.h"

namespace {

bool IsFaceOrSolid(const GraphicObject* o) { return (o->kind & kKindFaceOrSolid) != 0; }

// A recent project's path as a menu text: '&' would mark a mnemonic.
std::string RecentItemText(const std::string& path) {
  std::string text;
  for (char c : path) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

platform::LParam DesignMainWindowMessage(platform::Window window, unsigned kind, platform::WParam wParam,
                                         platform::LParam lParam) {
  if (kind == platform::msg::kDestroy) WriteHistoryFile();
  if (kind == platform::msg::kCommand && TakeAimingBandButton(int(platform::LowWord(wParam)))) return 0;
  return MainWindowMessage(window, kind, wParam, lParam);
}

}  // namespace

platform::LParam MainWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                platform::LParam lParam) {
  return RouteDesignWindows(window, kind, wParam, lParam, ViewWindowProc, DesignMainWindowMessage);
}

MenuStateInput CurrentMenuStateInput() {
  MenuStateInput in;
  static_cast<ViewSwitches&>(in) = CurrentViewSwitches();
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    switch (o->layer) {
      case kRoomLayer:
        ++in.roomObjects;
        if (IsFaceOrSolid(o)) ++in.roomFacesOrSolids;
        break;
      case kAudienceLayer: ++in.audienceObjects; break;
      case kLoudspeakerLayer: ++in.loudspeakers; break;
      case kAuxiliaryLayer: ++in.auxiliaryObjects; break;
      default: break;
    }
  }
  in.canUndo = CanUndo() != 0;
  in.canRedo = CanRedo() != 0;
  in.resultPresent = gLevelMap.resultPresent == 1;
  in.speakerDatabase = !gDesignShell.speakerDatabase.path.empty();
  in.audioReady = HasWavInput() && HasAudioProfile();
  in.recentProjects = gDesignShell.history.RecentCount();
  return in;
}

void UpdateMenuState() {
  ApplyMenuState(ComputeMenuState(CurrentMenuStateInput(), gProgramShell.commands));
  const platform::Menu menu = GetWindowMenu(&MainWindow);
  const auto& recent = gDesignShell.history.recent;
  for (int i = 0; i < kRecentProjectCount; ++i)
    if (!recent[size_t(i)].empty())
      platform::SetMenuItemText(menu, kCmdRecentProject + i, RecentItemText(recent[size_t(i)]));
  platform::RedrawMenuBar(MainWindow.window);
}
