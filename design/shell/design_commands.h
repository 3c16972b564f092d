// The handlers of kdn's menu commands that can run, bound to the command
// table: the File, Edit, Options and View commands, the two database
// selections, the project imports and the calculations that stand without
// their result windows. Every other command of the table stays without a
// handler, and the menu greys it.
#pragma once

#include "framework/shell/command_dispatch.h"

inline constexpr char kSpeakerDatabaseFilter[] = "*.KSB|*.ksb|";

void BindDesignCommands(CommandRegistry& registry);

// Loudspeakers/Select Database (1021): a speaker database becomes the one
// whose types new loudspeakers take; the dialog starts in the last
// database folder.
void SelectSpeakerDatabase();
// Room/Select Material Database (2801): an absorber database becomes the
// one materials are taken from; its folder is remembered either way.
void CmdLoadAbsorberDatabase();
// Edit/Copy to clipboard (210): the drawing window, framed in black, as a
// bitmap.
void CopyDrawingToClipboard();
