// kdn's commands bound to its command table, one source and one bind
// function per menu: the File menu (file_menu.cpp), Edit, Options, View,
// Loudspeakers, Room, Audience Areas, AUX Drawing and Calculate. The room,
// audience-area and auxiliary drawing menus bind the drawing editor's
// families (framework/editor) at their id bases. A command of the table
// without a handler stays greyed.
#pragma once

#include <cstdint>
#include <string>

#include "framework/shell/command_dispatch.h"

inline constexpr char kSpeakerDatabaseFilter[] = "*.KSB|*.ksb|";

// Every menu's commands.
void BindDesignCommands(CommandRegistry& registry);

void BindFileMenu(CommandRegistry& registry);
void BindEditMenu(CommandRegistry& registry);
void BindOptionsMenu(CommandRegistry& registry);
void BindViewMenu(CommandRegistry& registry);
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

// Options/Coordinate-Snap Off and On (511, 512): the switch, its check
// marks and the view panel's switches.
void SetCoordinateSnap(int32_t on);

// Helpers of the menus: the check marks of an off/on pair and of one item,
// and the folder a database dialog starts in (the remembered one, else the
// start folder).
void CheckMenuPair(int offItem, int onItem, bool on);
void CheckMenuItem(int id, bool on);
void StartDialogIn(const std::string& folder);
