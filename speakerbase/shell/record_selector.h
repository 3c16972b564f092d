// ksb's record selector bar, the modeless dialog "DIALOG_12" across the top
// of the main window in database mode: a drop-down list of the type names
// (101) whose choice becomes the current record, the brand of the current
// record (102), and "Print" (103) and "Copy" (104) of the record view open.
//
// The database tells the bar what changed through its commands: 1000 a
// record was appended and is current, 2000 the current record's type name
// changed, 3000 rebuild the list (and load the current record).
#pragma once

#include "platform/messages.h"
#include "platform/types.h"

constexpr int kSelectorAppended = 1000;
constexpr int kSelectorRenamed = 2000;
constexpr int kSelectorRebuild = 3000;

constexpr int kSelectorTypeList = 101;
constexpr int kSelectorBrand = 102;
constexpr int kSelectorPrint = 103;
constexpr int kSelectorCopy = 104;

inline constexpr char kRecordSelectorDialog[] = "DIALOG_12";

// Made once; "Unable to display dialog" when it cannot be made.
void CreateRecordSelector();
void DestroyRecordSelector();
platform::Window RecordSelector();
void ShowRecordSelector(bool show);

// Sends one of the commands above to the bar (nothing without a bar).
void SendRecordSelectorCommand(int command);
// Makes record `index` current (none: 0) and rebuilds the list.
void RebuildRecordSelector(int index);

platform::LParam RecordSelectorProc(platform::Window dialog, unsigned kind, platform::WParam wParam,
                                    platform::LParam lParam);
