// The design program's command table as data: every menu command id with
// what the dispatch does around it (an undo snapshot first, the history file
// written and unused materials purged afterwards), the layer and drawing
// colour its menu makes active, and whether the "OK" and "STOP" buttons show
// while it runs.
//
// Ids are grouped by menu: 100s File, 200s Edit, 500s Options, 600s View,
// 1000s Loudspeakers, 2200s-2800s Room, 3200s-3300s Audience Areas,
// 4200s-4300s AUX Drawing, 5000s Calculate; buttons of child windows use ids
// from 20000, and 11111 is Help. An id that is not in the table does
// nothing.
//
// The table holds every command of the program, also those whose code is
// not there yet; the registry (command_dispatch.h) binds a handler to each
// command that can run, and the menu greys the others.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// What the dispatch does around a command.
enum CommandFlag : unsigned {
  kSnapshotFirst = 1,   // an undo snapshot of the model is taken before it runs
  kWriteHistory = 2,    // the history file is written after it
  kPurgeMaterials = 4,  // materials that no room face names are purged after it
};

// The commands the program's own code names.
enum DesignCommand : int {
  kCmdOpenProject = 101,
  kCmdSaveProjectAs = 102,
  kCmdPrintRegion = 103,
  kCmdNewProject = 104,
  kCmdExitProgram = 105,
  kCmdRecentProject = 110,  // 110 .. 113: the recent projects, most recent first
  kCmdUndo = 201,
  kCmdRedo = 202,
  kCmdCopyToClipboard = 210,
  kCmdNothing = 503,
  kCmdCircleSegments = 506,
  kCmdApplyLayers = 507,
  kCmdNodeSnapOff = 508,
  kCmdNodeSnapOn = 509,
  kCmdNodeSnapDistance = 510,
  kCmdCoordinateSnapOff = 511,
  kCmdCoordinateSnapOn = 512,
  kCmdCoordinateSnapDistance = 513,
  kCmdGridSize = 514,
  kCmdUnitMetres = 516,
  kCmdUnitFeet = 517,
  kCmdZoomAll = 602,
  kCmdZoomWindow = 603,
  kCmdWireframe = 604,
  kCmdHiddenFaces = 605,
  kCmdPickEyePoint = 606,
  kCmdAimPoints = 608,
  kCmdShowRoom = 610,
  kCmdShowAudience = 611,
  kCmdShowLoudspeakers = 612,
  kCmdShowAuxiliary = 613,
  kCmdShowGrid = 614,
  kCmdShowNodes = 615,
  kCmdNewLoudspeaker = 1002,
  kCmdSpeakerListing = 1004,
  kCmdSelectSpeakerDatabase = 1021,
  kCmdImportRoomGeometry = 2206,
  kCmdFaceList = 2502,
  kCmdSelectMaterialDatabase = 2801,
  kCmdInsertFile = 4206,
  kCmdLevelAndTime = 5001,
  kCmdCalculateRays = 5020,
  kCmdShowLastCalculation = 5101,
  kCmdSaveCalculation = 5102,
  kCmdLoadCalculation = 5103,
  kCmdHelp = 11111,
};

// Buttons of child windows: ids from kFirstButtonId; "OK" and "STOP" of
// the running command.
constexpr int kFirstButtonId = 20000;
constexpr int kOkButtonId = 20998;
constexpr int kStopButtonId = 20999;

struct CommandSpec {
  int id = 0;
  unsigned flags = 0;  // CommandFlag bits
};

// Every command of the program, by id.
std::span<const CommandSpec> DesignCommands();
// The command `id`; null for an id without an entry.
const CommandSpec* FindCommand(int id);

// The commands of the loudspeaker, room, audience-area and drawing menus
// (1000 .. 4999): they show "OK" and "STOP" while they run, except the
// loudspeaker listing and the face list, which have their own windows; a
// right click, Enter or Space repeats the last of them.
bool ShowsCommandButtons(int id);
bool IsRepeatableCommand(int id);

// The layer and colour a command's menu makes active: loudspeakers (1xxx)
// layer 2 colour 27, room (2xxx) 0/0, audience areas (3xxx) 1/21,
// auxiliary drawing (4xxx) 7/14; none for the other menus.
struct ActiveLayerChoice {
  int16_t layer = 0;
  int16_t colour = 0;
};
std::optional<ActiveLayerChoice> CommandLayer(int id);
