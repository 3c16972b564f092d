// kv's commands as data and their binding. kv is the design program as a
// viewer: the same ids, files, views, listings and result windows, but no
// editing, no databases, no exchange and no new level-and-time or ray
// calculation.
//
// Its table: File Open (101) and Exit (105); the Options (503, 506,
// 508-514, 516/517, the unit commands writing kv's history afterwards) and
// View (602-606, 608, 610-614) families; the loudspeaker listing (1004) and
// the face list (2502), which make their menu's layer active, become the
// last command a right click repeats and show no "OK" and "STOP"; the RT60
// window (5010-5013, 5013 in the measured method at once), Load Ray File
// (5021), Show Last Calulation (5101), Save Calculation (5102, no menu
// item) and Load Calculation (5103); Help (11111). No command takes an undo
// snapshot. While one runs the six menus File .. Options are greyed.
#pragma once

#include "framework/shell/command_dispatch.h"

inline constexpr char kViewerTitle[] = "Korvane Viewer ";
inline constexpr char kViewerVersion[] = "2.90";
inline constexpr char kViewerHelpFile[] = "KV_E.HLP";

const CommandTable& ViewerCommandTable();

// Every command of kv's table that is built, from the families it shares
// with kdn (design/commands) and the windows of design/windows.
void BindViewerCommands(CommandRegistry& registry);
