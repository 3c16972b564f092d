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
// Loudspeakers/Listing... (1004): the loudspeaker listing with kdn's type
// changes through "Select Loudspeaker"; types left without loudspeakers are
// purged when it closes.
void CmdSpeakerListing();
// Room/Select Material Database (2801): an absorber database becomes the
// one materials are taken from; its folder is remembered either way.
void CmdLoadAbsorberDatabase();
// Room/Check Room Boundary (2803): the boundary check of the room faces
// with its progress and report; gaps are marked as they are found, in the
// view that looks along each scan, and again in the 3D view it ends in.
// Faces turned round mark the project modified (the dispatch's snapshot
// undoes them).
void CmdCheckRoomBoundaries();
