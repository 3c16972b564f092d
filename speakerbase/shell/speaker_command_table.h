// ksb's command table as data: the database menu's commands (6000s), the
// mode switches (6301 drawing, 6302 database), and the drawing menu's
// commands, which are the drawing editor's at kdn's ids: 100s File, 200s
// Edit, 500s Options, 600s View, 2200s draw and 2300s edit and face.
//
// The drawing commands (1000 .. 4999) take an undo snapshot first, show
// "OK" and "STOP" while they run and are repeated by a right click. While a
// command runs the top-level popups of the menu shown are greyed: the
// database menu has four, the drawing menu six.
#pragma once

#include "framework/shell/command_table.h"

// The commands ksb's own code names.
enum SpeakerEditorCommand : int {
  kCmdOpenDrawing = 101,
  kCmdSaveDrawing = 102,
  kCmdPlotRegion = 103,
  kCmdNewDrawing = 104,
  kCmdExitEditor = 105,
  kCmdUndoDrawing = 201,
  kCmdCopyDrawing = 210,
  kCmdNothing = 503,
  kCmdCircleSegments = 506,
  kCmdNodeSnapOff = 508,
  kCmdNodeSnapOn = 509,
  kCmdNodeSnapWidth = 510,
  kCmdCoordinateSnapOff = 511,
  kCmdCoordinateSnapOn = 512,
  kCmdCursorSnap = 513,
  kCmdGridSize = 514,
  kCmdZoomAll = 602,
  kCmdZoomWindow = 603,
  kCmdWireframe = 604,
  kCmdHiddenFaces = 605,
  kCmdPickEyePoint = 606,
  kCmdPerspective = 607,
  kCmdGrid = 614,
  kCmdMergeDrawing = 2206,
  kCmdNewDatabase = 6001,
  kCmdOpenDatabase = 6002,
  kCmdSaveDatabaseAs = 6003,
  kCmdQuit = 6004,
  kCmdAddAcoustaCadd = 6104,
  kCmdAddEase2 = 6105,
  kCmdAddGdf = 6106,
  kCmdAddDatabase = 6107,
  kCmdDeleteSpeaker = 6108,
  kCmdSortSpeakers = 6109,
  kCmdEditSpeakerHeader = 6110,
  kCmdRotate90 = 6111,
  kCmdRotatePlus5 = 6112,
  kCmdRotateMinus5 = 6113,
  kCmdAddKnf = 6114,
  kCmdAddEase3 = 6115,
  kCmdDataSheet = 6201,
  kCmdPolarPlots = 6202,
  kCmdBalloons = 6203,
  kCmdDrawingMenu = 6301,
  kCmdDatabaseMenu = 6302,
};

// The id bases of the drawing editor's families in the drawing menu.
constexpr int kSpeakerDrawBase = 2200, kSpeakerEditBase = 2300, kSpeakerTextBase = 4200;

// Top-level popups of the drawing menu, the most the dispatch greys.
constexpr int kDrawingMenuPopups = 6;

const CommandTable& SpeakerEditorCommandTable();
