// The framework's side of dialogs: opening them from the program's own
// templates with the one failure message, and the control texts in the
// code page 1252 the programs keep (the platform's dialog calls take UTF-8;
// platform/dialog.h has everything else: procedures, notifications, the
// calls on check boxes, radio buttons, edits and lists).
#pragma once

#include <cstddef>
#include <string>

#include "platform/dialog.h"
#include "platform/messages.h"
#include "platform/types.h"

// "Unable to display dialog" under "System Error": the system-modal stop
// box every dialog that cannot be made shows.
void ShowDialogError();

// A modal dialog from the program's template `name`: the value its
// procedure ended with, or -1 after ShowDialogError when it cannot be made.
int RunModalDialog(const char* name, platform::Window owner, platform::WindowProc proc, platform::LParam param = 0);
// A modeless dialog: its window, or none after ShowDialogError.
platform::Window OpenModelessDialog(const char* name, platform::Window owner, platform::WindowProc proc,
                                    platform::LParam param = 0);

// Control texts in code page 1252. GetDialogText gives at most
// `maxCount` - 1 characters, as a buffer of `maxCount` bytes would hold.
void SetDialogText(platform::Window dialog, int id, const char* text);
std::string GetDialogText(platform::Window dialog, int id, std::size_t maxCount);
int AddDialogListText(platform::Window dialog, int id, const char* text);
int InsertDialogListText(platform::Window dialog, int id, int index, const char* text);
std::string GetDialogListText(platform::Window dialog, int id, int index);

// When the user changed the number field `id`: every ',' becomes '.', and
// when anything was replaced the text is written back, the modified flag
// cleared and the caret put after the last character. Number fields call it
// on every change notification and before they are read.
void FixDecimalComma(platform::Window dialog, int id);
