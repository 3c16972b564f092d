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

#include "framework/shell/command_table.h"

// The commands the program's own code names.
enum DesignCommand : int {
  kCmdOpenProject = 101,
  kCmdSaveProjectAs = 102,
  kCmdPrintRegion = 103,
  kCmdNewProject = 104,
  kCmdExitProgram = 105,
  kCmdRecentProject = 110,     // 110 .. 113: the recent projects, most recent first
  kCmdImportFacesEase3 = 120,  // 120 .. 127: the EASE imports and exports
  kCmdExportFacesEase3 = 121,
  kCmdImportFacesEase2 = 122,
  kCmdExportFacesEase2 = 123,
  kCmdImportSpeakersEase3 = 124,
  kCmdExportSpeakersEase3 = 125,
  kCmdImportSpeakersEase2 = 126,
  kCmdExportSpeakersEase2 = 127,
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
  kCmdEditLoudspeakers = 1003,
  kCmdSpeakerListing = 1004,
  kCmdMoveSpeakers = 1005,
  kCmdCopySpeakers = 1006,
  kCmdDeleteSpeakers = 1007,
  kCmdSwitchSpeakersOn = 1008,
  kCmdSwitchSpeakersOff = 1009,
  kCmdAlignSpeakers = 1010,
  kCmdSetSpeakerDelay = 1011,
  kCmdAimSpeakersAtTarget = 1012,
  kCmdMirrorSpeakers = 1013,
  kCmdSpeakerEqualizer = 1014,
  kCmdAimByPerspective = 1015,
  kCmdClusterBalloons = 1016,
  kCmdTurnArray = 1017,
  kCmdTiltArray = 1018,
  kCmdSelectSpeakerDatabase = 1021,
  kCmdImportRoomGeometry = 2206,
  kCmdAssignMaterial = 2501,
  kCmdFaceList = 2502,
  kCmdAudienceOnFaces = 2601,
  kCmdSelectMaterialDatabase = 2801,
  kCmdEditMaterialDatabase = 2802,
  kCmdCheckRoomBoundaries = 2803,
  kCmdInsertFile = 4206,
  kCmdLevelAndTime = 5001,
  kCmdRt60Sabine = 5010,
  kCmdRt60Eyring = 5011,
  kCmdRt60Fitzroy = 5012,
  kCmdRt60Measurement = 5013,
  kCmdCalculateRays = 5020,
  kCmdLoadRayFile = 5021,
  kCmdSelectAudioProfile = 5030,
  kCmdSelectWavInput = 5031,
  kCmdProcessAndPlay = 5032,
  kCmdPlayInputFile = 5033,
  kCmdPlayOutputFile = 5034,
  kCmdShowLastCalculation = 5101,
  kCmdSaveCalculation = 5102,
  kCmdLoadCalculation = 5103,
  kCmdHelp = kHelpCommand,
};

// kdn's table.
const CommandTable& DesignCommandTable();
