// The small steps that the drawing editor's commands and the program's own
// commands share around their work.
#pragma once

// The end of a command: the request flags cleared, every object deselected
// and the status line emptied.
void ResetCommandState();
