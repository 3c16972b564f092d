// The dispatch of a program's menu commands: one command at a time, with
// the program's top-level menus greyed while it runs, and around it what its
// entry in the program's command table (command_table.h) asks for: the
// active layer of its menu, the "OK" and "STOP" buttons, an undo snapshot
// first, the history file and the material purge afterwards, and the last
// repeatable command remembered for the right click, Enter and Space.
//
// A command that waits for input runs the input loop inside its own
// dispatch, so a second command can arrive while the first runs: a button
// id (20000 and above) is passed to the running command ("OK" ends its
// input, "STOP" cancels it, any other goes on to the window it belongs to),
// every other id is dropped without touching the menus, the status line or
// anything else of the running command. Help (11111) is answered in every
// state, at the running command's topic.
//
// The state machine is pure: the program hands it a CommandHost, which
// holds the running and last command (the input loop's, which every wait
// reads) and does the window work; tests hand it a recording host.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "framework/shell/command_table.h"

using CommandHandler = std::function<void()>;

// The handlers of the commands of a program's table that can run, by id.
class CommandRegistry {
 public:
  // A registry without a table binds nothing. The table must outlive the
  // registry (a program's table is static data).
  CommandRegistry();
  explicit CommandRegistry(const CommandTable& table) : table_(&table) {}

  const CommandTable& Table() const { return *table_; }
  // Binds `handler` to the table's command `id`; false (nothing bound) for
  // an id without an entry.
  bool Bind(int id, CommandHandler handler);
  // Whether the command has a handler; a command without one is greyed.
  bool IsBuilt(int id) const { return handlers_.count(id) != 0; }
  const CommandHandler* Handler(int id) const;

 private:
  const CommandTable* table_;
  std::map<int, CommandHandler> handlers_;
};

// What a dispatch does to the program around a command.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // The running command (0 when none runs) and the last repeatable one.
  virtual int16_t& RunningCommand() = 0;
  virtual uint32_t& LastCommand() = 0;

  virtual void ShowHelp(int context) = 0;
  // Greys (false) or enables the top-level menus 0 .. menus - 1.
  virtual void EnableMenuBar(int menus, bool enabled) = 0;
  // Takes the start-up picture off the drawing area, the first time only.
  virtual void ClearSplash() = 0;
  virtual void SetActiveLayer(const ActiveLayerChoice& choice) = 0;
  virtual void ShowCommandButtons(bool show) = 0;
  virtual void TakeSnapshot() = 0;
  virtual void WriteHistory() = 0;
  virtual void PurgeMaterials() = 0;
  // Empties the command prompt and the status line.
  virtual void ClearStatus() = 0;
  // While a command runs: "OK", "STOP", and any other button id.
  virtual void RequestDone() = 0;
  virtual void RequestCancel() = 0;
  virtual void ForwardButton(int id) = 0;
  // File/Exit and the close box: asks before unsaved changes go.
  virtual void ExitProgram() = 0;
};

enum class DispatchOutcome {
  kRan,      // the command ran
  kHelp,     // help was shown
  kButton,   // a button of the running command
  kDropped,  // another command runs
  kNoEntry,  // no handler: nothing happened
};

// One menu command (WM_COMMAND) for the main window, run as the registry's
// table says.
DispatchOutcome DispatchCommand(int id, const CommandRegistry& registry, CommandHost& host);

// The close box: while a command runs it only cancels that command;
// otherwise the program exits, the running command set to 1 meanwhile so
// that no menu command starts during the question.
void CloseRequested(CommandHost& host);
