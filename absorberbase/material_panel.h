// kab's record panel "MATERIAL_BASE_DLG": a modeless dialog without a
// caption inside the main window. It lists the names of the database's
// records, shows the selected one (name, category, description and the
// seven octave-band coefficients) and edits the database in four modes:
//   view    the fields are read-only, OK and Cancel hidden;
//   edit    the selected record's fields are writable;
//   new     a record "NEW" is typed in, to go behind the last;
//   delete  the selected record goes on OK.
// OK stores (coefficients must lie within 0..1) and Cancel drops the
// change; both go back to view mode and show the stored record. Outside
// view mode the list is disabled and the main menus are greyed, and label
// 114 names the mode. Each mode puts the focus on a control that takes the
// keys, so Enter presses OK and Escape Cancel in all of them. Edit and
// delete need a selected record.
#pragma once

#include <string_view>

#include "design/model/absorber_database.h"
#include "platform/messages.h"
#include "platform/types.h"

// Commands the main window sends to the panel.
constexpr int kPanelViewMode = 10000, kPanelEditMode = 10001, kPanelNewMode = 10002, kPanelDeleteMode = 10003;

// Controls of the template.
constexpr int kPanelList = 101, kPanelName = 102, kPanelCategory = 103, kPanelDescription = 104;
constexpr int kPanelFirstCoefficient = 105;  // 105..111: 125 Hz .. 8 kHz
constexpr int kPanelOk = 112, kPanelCancel = 113, kPanelModeLabel = 114;

inline constexpr const char* kInvalidCoefficientMessage = kInvalidAbsorptionMessage;

// A coefficient as the panel reads its field, which takes four characters,
// as many as it shows ("1.00"): a number within 0..1 ("+0.5" is 0.5, "-0"
// is 0). False for anything else ("0.5x", "1.01").
bool ReadCoefficientText(std::string_view text, float& value);

// Refills the panel when it is open, else opens it; 0 when it cannot be
// made ("Unable to display dialog"). DestroyMaterialDialog closes it.
int ShowMaterialDialog();
void DestroyMaterialDialog();

platform::LParam MaterialDialogProc(platform::Window panel, unsigned kind, platform::WParam wParam,
                                    platform::LParam lParam);
