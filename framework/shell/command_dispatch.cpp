#include "framework/shell/command_dispatch.h"

bool CommandRegistry::Bind(int id, CommandHandler handler) {
  if (!FindCommand(id) || !handler) return false;
  handlers_[id] = std::move(handler);
  return true;
}

const CommandHandler* CommandRegistry::Handler(int id) const {
  const auto found = handlers_.find(id);
  return found != handlers_.end() ? &found->second : nullptr;
}

DispatchOutcome DispatchCommand(int id, const CommandRegistry& registry, CommandHost& host) {
  int16_t& running = host.RunningCommand();
  if (id == kCmdHelp) {
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
  const CommandSpec* spec = FindCommand(id);
  const CommandHandler* handler = registry.Handler(id);
  if (!spec || !handler) return DispatchOutcome::kNoEntry;

  host.EnableMenuBar(false);
  running = int16_t(id);
  host.ClearSplash();
  if (const auto layer = CommandLayer(id)) host.SetActiveLayer(*layer);
  const bool buttons = ShowsCommandButtons(id);
  if (buttons) host.ShowCommandButtons(true);
  if (spec->flags & kSnapshotFirst) host.TakeSnapshot();
  (*handler)();
  if (spec->flags & kWriteHistory) host.WriteHistory();
  if (spec->flags & kPurgeMaterials) host.PurgeMaterials();
  // The handler may have reset the input state (a new project does).
  if (IsRepeatableCommand(id)) host.LastCommand() = uint32_t(id);
  host.RunningCommand() = 0;
  if (buttons) host.ShowCommandButtons(false);
  host.EnableMenuBar(true);
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
