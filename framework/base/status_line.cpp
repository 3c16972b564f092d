#include "framework/base/status_line.h"

#include <string>

#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "platform/drawing.h"
#include "platform/window.h"

namespace {

constexpr int kStatusStripHeight = 24;
constexpr int kStatusTextFromBottom = 20;

std::string gStatusBuffer;

}  // namespace

void ClearStatusLine() {
  WindowRecord* previous = SelectOutputWindow(&MainWindow);
  const platform::Size client = platform::GetClientSize(MainWindow.window);
  const std::int16_t brush = gOutput.brushIndex;
  SetBrushColor(gDrawing.statusColour);
  FillRectangle(0, client.height - kStatusStripHeight, client.width, client.height);
  SetBrushColor(brush);
  SelectOutputWindow(previous);
}

void ShowStatusText(const char* text) {
  if (text && *text) gStatusBuffer = gDrawing.prompt + text;
  else if (gInput.activeCommand < 2) gStatusBuffer = gDrawing.prompt;
  RepaintStatusLine();
}

void RepaintStatusLine() {
  ClearStatusLine();
  WindowRecord* previous = SelectOutputWindow(&MainWindow);
  SetTextColorIndex(0);
  // On the strip's own colour, whatever back mode the context was left with.
  const int mode = platform::SetBackMode(gOutput.context, platform::kBackTransparent);
  DrawTextAt(kDrawMarginLeft, platform::GetClientSize(MainWindow.window).height - kStatusTextFromBottom,
             gStatusBuffer.c_str());
  platform::SetBackMode(gOutput.context, mode);
  SelectOutputWindow(previous);
}

const std::string& ShownStatusText() { return gStatusBuffer; }
