// The Edit menu: Undo, Redo and Copy to clipboard.
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "framework/model/undo_ring.h"
#include "framework/program/program_windows.h"

void BindEditMenu(CommandRegistry& r) {
  r.Bind(kCmdUndo, Undo);
  r.Bind(kCmdRedo, Redo);
  r.Bind(kCmdCopyToClipboard, CopyDrawingToClipboard);
}
