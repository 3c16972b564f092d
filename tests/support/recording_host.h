// A dispatch host (framework/shell/command_dispatch.h) that writes down what
// the dispatch asks of it, in order, as short texts ("menus off 9", "layer
// 0/0", "snapshot", "run ..."), for the dispatch tests of every program's
// table.
#pragma once

#include <string>
#include <vector>

#include "framework/shell/command_dispatch.h"

class RecordingHost final : public CommandHost {
 public:
  int16_t& RunningCommand() override { return running; }
  uint32_t& LastCommand() override { return last; }
  void ShowHelp(int context) override { Note("help " + std::to_string(context)); }
  void EnableMenuBar(int menus, bool enabled) override {
    Note((enabled ? "menus on " : "menus off ") + std::to_string(menus));
  }
  void ClearSplash() override { Note("splash"); }
  void SetActiveLayer(const ActiveLayerChoice& c) override {
    Note("layer " + std::to_string(c.layer) + "/" + std::to_string(c.colour));
  }
  void ShowCommandButtons(bool show) override { Note(show ? "buttons on" : "buttons off"); }
  void TakeSnapshot() override { Note("snapshot"); }
  void WriteHistory() override { Note("history"); }
  void PurgeMaterials() override { Note("purge"); }
  void ClearStatus() override { Note("status"); }
  void RequestDone() override { Note("done"); }
  void RequestCancel() override { Note("cancel"); }
  void ForwardButton(int id) override { Note("forward " + std::to_string(id)); }
  void ExitProgram() override { Note("exit while " + std::to_string(running)); }

  void Note(const std::string& what) { calls.push_back(what); }

  int16_t running = 0;
  uint32_t last = 0;
  std::vector<std::string> calls;
};

// Binds `id` of `registry` to a handler that notes on `host` that it ran
// and which command ran meanwhile; false when the table has no such id.
inline bool BindNoting(CommandRegistry& registry, RecordingHost& host, int id) {
  return registry.Bind(id,
                       [&host, id] { host.Note("run " + std::to_string(id) + " as " + std::to_string(host.running)); });
}
