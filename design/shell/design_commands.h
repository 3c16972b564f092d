// kdn's commands bound to its command table, one source and one bind
// function per menu: the File menu (file_menu.cpp), Edit, Options, View,
// Loudspeakers, Room, Audience Areas, AUX Drawing and Calculate. The room,
// audience-area and auxiliary drawing menus bind the drawing editor's
// families (framework/editor) at their id bases. A command of the table
// without a handler stays greyed.
#pragma once

#include <cstdint>
#include <string>

#include "design/commands/view_commands.h"
#include "framework/shell/command_dispatch.h"

inline constexpr char kSpeakerDatabaseFilter[] = "*.KSB|*.ksb|";

// Every menu's commands.
void BindDesignCommands(CommandRegistry& registry);

void BindFileMenu(CommandRegistry& registry);
void BindEditMenu(CommandRegistry& registry);
void BindLoudspeakerMenu(CommandRegistry& registry);
void BindRoomMenu(CommandRegistry& registry);
void BindAudienceMenu(CommandRegistry& registry);
void BindAuxDrawingMenu(CommandRegistry& registry);
void BindCalculateMenu(CommandRegistry& registry);

// Loudspeakers/Select Database (1021): a speaker database becomes the one
// whose types new loudspeakers take; the dialog starts in the last
// database folder.
void SelectSpeakerDatabase();
// Room/Select Material Database (2801): an absorber database becomes the
// one materials are taken from; its folder is remembered either way.
void CmdLoadAbsorberDatabase();
