// ksb's record views, each a window of its own over the drawing area of the
// main window: the data sheet (6201), the polar plots of all bands (6202)
// and the balloon of one band (6203), in four cuts or turned in 3D. A view
// is modal: its command shows it and runs the input loop until its "<-"
// button; meanwhile the record selector's choice repaints it, the
// selector's "Print" and "Copy" act on it, and it follows the main window's
// size over the drawing area.
//
// The balloon window has a button per band ("125" .. "8k"), "3D+"/"3D-" and
// two scroll bars that turn the 3D view (balloon_view.h).
#pragma once

#include "framework/shell/command_dispatch.h"
#include "platform/messages.h"
#include "platform/types.h"

inline constexpr char kDataWindowError[] = "Can\xB4t create data window";
inline constexpr char kPolarWindowError[] = "Can\xB4t create polarplot window";
inline constexpr char kBalloonWindowError[] = "Can\xB4t create balloon window";

constexpr int kRecordViewId = 10002;
constexpr int kBackButtonId = 20030;
constexpr int kFirstBandButtonId = 20031;  // .. 20037
constexpr int kToggle3DButtonId = 20038;

enum class RecordView { kDataSheet, kPolarPlots, kBalloons };

// The command of each view.
void ShowRecordView(RecordView view);
void ShowDataSheet();
void ShowPolarPlots();
void ShowBalloons();

// The view window open now, none when none is.
platform::Window OpenRecordViewWindow();
bool IsRecordViewWindow(platform::Window window);
platform::LParam RecordViewWindowProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                      platform::LParam lParam);
// The open view moved and sized for the main window's client size now; it
// paints itself anew at its new size. Nothing without one.
void FitRecordView();
// Draws the open view again (the current record changed); nothing without one.
void RepaintRecordView();
// The selector's buttons: the open view printed, or copied to the clipboard.
void PrintRecordView();
void CopyRecordView();
