#include "framework/shell/command_dispatch.h"

namespace {
constexpr CommandTable kNoCommands{};
}

CommandRegistry::CommandRegistry() : table_(&kNoCommands) {}

bool CommandRegistry::Bind(int id, CommandHandler handler) {
  if (!FindCommand(*table_, id) || !handler) return false;
  handlers_[id] = std::move(handler);
  return true;
}

const CommandHandler* CommandRegistry::Handler(int id) const {
  const auto found = handlers_.find(id);
  return found != handlers_.end() ? &found->second : nullptr;
}

DispatchOutcome DispatchCommand(int id, const CommandRegistry& registry, CommandHost& host) {
  int16_t& running = host.RunningCommand();
  if (id == kHelpCommand) {
    host.ShowHelp(running);
    return DispatchOutcome::kHelp;
  }
  if (running != 0) {
    if (id < kFirstButtonId) return DispatchOutcome::kDropped;
    if (id == kOkButtonId) host.RequestDone();
    else if (id == kStopButtonId) host.RequestCancel();
    else host.ForwardButton(id);
    return DispatchOutcome::kButton;
  }
  const CommandTable& table = registry.Table();
  const CommandSpec* spec = FindCommand(table, id);
  const CommandHandler* handler = registry.Handler(id);
  if (!spec || !handler) return DispatchOutcome::kNoEntry;

  host.EnableMenuBar(table.greyedMenus, false);
  running = int16_t(id);
  host.ClearSplash();
  if (spec->layer) host.SetActiveLayer(*spec->layer);
  const bool buttons = (spec->flags & kCommandButtons) != 0;
  if (buttons) host.ShowCommandButtons(true);
  if (spec->flags & kSnapshotFirst) host.TakeSnapshot();
  (*handler)();
  if (spec->flags & kWriteHistory) host.WriteHistory();
  if (spec->flags & kPurgeMaterials) host.PurgeMaterials();
  // The handler may have reset the input state (a new project does).
  if (spec->flags & kRepeatCommand) host.LastCommand() = uint32_t(id);
  host.RunningCommand() = 0;
  if (buttons) host.ShowCommandButtons(false);
  host.EnableMenuBar(table.greyedMenus, true);
  host.ClearStatus();
  return DispatchOutcome::kRan;
}

void CloseRequested(CommandHost& host) {
  if (host.RunningCommand() != 0) {
    host.RequestCancel();
    return;
  }
  host.RunningCommand() = 1;
  host.ExitProgram();
  host.RunningCommand() = 0;
}
