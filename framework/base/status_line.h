// The status line: the strip under the drawing window, in the main
// window's bottom margin, that shows the running command's prompt ("MOVE > ")
// and what the command asks for next.
#pragma once

#include <string>

// Fills the strip with the status colour.
void ClearStatusLine();
// Status line = the command's prompt (gDrawing.prompt) + text. An empty text
// shows the prompt alone when no command (id 2 or above) runs, else shows
// again what the line showed.
void ShowStatusText(const char* text);
// Draws the strip again with what it showed last (for a window that drew
// over it or had it cleared).
void RepaintStatusLine();
// What the line showed last (cleared or not).
const std::string& ShownStatusText();
