// The Edit menu: Undo, Redo and Copy to clipboard.
#include "design/shell/core/command_table.h"
#include "design/shell/design_commands.h"
#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/view_state.h"
#include "framework/model/undo_ring.h"

void CopyDrawingToClipboard() {
  WindowRecord* previous = SelectOutputWindow(DrawWindow);
  ViewShowCrosshair(0);
  const int16_t pen = GetPenColor();
  SetPenColor(0);
  DrawRectangle({0, 0, DrawWindow->right - 1, DrawWindow->bottom - 1}, 0);  // its last column and row
  SetPenColor(pen);
  CopyViewToClipboard();
  ViewShowCrosshair(1);
  SelectOutputWindow(previous);
}

void BindEditMenu(CommandRegistry& r) {
  r.Bind(kCmdUndo, Undo);
  r.Bind(kCmdRedo, Redo);
  r.Bind(kCmdCopyToClipboard, CopyDrawingToClipboard);
}
