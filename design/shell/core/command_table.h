// kdn's command table as data: every menu command id with what the
// dispatch does around it (an undo snapshot first, the history file written
// and unused materials purged afterwards). Ids are grouped by menu: 100s
// File, 200s Edit, 500s Options, 600s View, 1000s Loudspeakers, 2200s-2800s
// Room, 3200s-3300s Audience Areas, 4200s-4300s AUX Drawing, 5000s
// Calculate; 11111 is Help.
//
// The commands of the loudspeaker, room, audience-area and drawing menus
// (1000 .. 4999) show "OK" and "STOP" while they run, except the
// loudspeaker listing and the face list, which have their own windows; a
// right click, Enter or Space repeats the last of them; and each makes its
// menu's layer and colour active: loudspeakers (1xxx) layer 2 colour 27,
// room (2xxx) 0/0, audience areas (3xxx) 1/21, auxiliary drawing (4xxx)
// 7/14. While a command runs the nine menus File .. Calculate are greyed;
// Help stays.
#pragma once

#include "design/commands/command_ids.h"
#include "framework/shell/command_table.h"

// kdn's table.
const CommandTable& DesignCommandTable();
