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
// Room/Select Material Database (2801): an absorber database becomes the
// one materials are taken from; its folder is remembered either way.
void CmdLoadAbsorberDatabase();

// Options/Coordinate-Snap Off and On (511, 512): the switch, its check
// marks and the view panel's switches.
void SetCoordinateSnap(int32_t on);

// Helpers of the menus: the check marks of an off/on pair and of one item,
// and the folder a database dialog starts in (the remembered one, else the
// start folder).
void CheckMenuPair(int offItem, int onItem, bool on);
void CheckMenuItem(int id, bool on);
void StartDialogIn(const std::string& folder);
