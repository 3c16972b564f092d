// Dialogs made from templates, their controls, and the step that hands a
// modeless dialog its messages inside a program's own loop.
//
// Templates. Each program keeps its dialogs as text, one file a template:
// resources/<program>/dialogs/<NAME>.dlg (the format is in
// resources/README.md). The same name may mean different dialogs in
// different programs. A template is read when its dialog opens; a missing or
// broken one makes no dialog (CheckDialogTemplate says what is wrong).
// Positions and sizes are dialog units: a quarter of the dialog font's
// average character width across, an eighth of its height down.
//
// Procedures. A dialog is a window whose procedure is the caller's (the
// WindowProc signature). It receives:
//   kInitDialog   before the dialog shows, lParam: the caller's parameter.
//                 Fill the controls here. Then the first control that takes
//                 the focus gets it, unless the procedure gave it away.
//   kCommand      wParam: control id (low 16) | notification (high 16),
//                 lParam: the control. kNotifyClicked from push buttons,
//                 check boxes and radio buttons; kNotifyEditChange when the
//                 user changed an edit field; kNotifySelectionChange and
//                 kNotifyDoubleClick from list boxes (and the first from
//                 combo boxes). Only the user's own actions notify: the
//                 calls below change controls silently.
//   kHorizontalScroll, kVerticalScroll  from scroll-bar controls (lParam the bar)
//   kDrawItem     to paint an owner-drawn button
//   kClose        the close box
//   kDestroy      as it goes
// and whatever the program sends or posts to it. Messages it does not
// handle go to DefaultDialogProc.
//
// Keys, as the user expects them in any dialog: Tab and Shift+Tab move the
// focus along the controls in template order; Enter presses the focused
// push button, else the default button (kCommand with its id, or kIdOk
// when the template has none); Escape and the close box press the Cancel
// button (kIdCancel when the template has none). The layer does this as
// the keys arrive, for modal and modeless dialogs alike. A field that gets
// the focus from the dialog (its first, or by Tab) shows its text
// selected, so that typing replaces it.
//
// Controls are windows: ShowWindow, EnableWindow, SetFocus, MoveWindow,
// SetWindowText and GetWindowText (a button's caption, an edit's text) and
// the scroll-bar calls (ScrollBar::kControl) of window.h work on the handle
// GetDialogItem returns. The calls below address them by dialog and id and
// return false (or -1, or empty) when there is no such control of that kind.
// Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "platform/types.h"
#include "platform/window.h"

namespace platform {

// The ids Enter and Escape send when a template has no default or Cancel button.
constexpr int kIdOk = 1, kIdCancel = 2;

// A modal dialog: made from the template, owned by `owner` (none for a
// dialog of its own), it runs a loop over the layer's queue until its
// procedure calls EndDialog, and returns the value given there; the window
// that had the keyboard focus before has it again. -1 when
// the dialog cannot be made (callers then show "Unable to display
// dialog"). Meanwhile the owner takes no input, and other messages of the
// queue are dispatched as usual. A quit posted meanwhile ends the dialog
// with 0 and stays posted, so the loops outside end too.
int DialogBox(Instance instance, std::string_view templateName, Window owner, WindowProc proc, LParam param = 0);
// Ends a modal dialog (from its procedure, also during kInitDialog); false
// for a window that is not one.
bool EndDialog(Window dialog, int result);

// A modeless dialog: shown (unless its template says hidden) and left to
// the program; none when it cannot be made. DestroyWindow ends it.
Window CreateDialog(Instance instance, std::string_view templateName, Window owner, WindowProc proc, LParam param = 0);

// What a procedure does with messages it leaves: kClose presses the Cancel
// button as Escape does; everything else is 0.
LParam DefaultDialogProc(Window dialog, unsigned kind, WParam wParam, LParam lParam);

// For a program's own loop with a modeless dialog open: a message for the
// dialog or one of its controls is handled here (a posted Tab, Enter or
// Escape key moves the focus or presses a button as above; anything else
// is dispatched) and true is returned; other messages give false and are
// left to the loop.
bool IsDialogMessage(Window dialog, const Message& message);
bool IsDialog(Window window);

// The template's first fault as "line N: ...", or empty when it is good.
std::string CheckDialogTemplate(std::string_view text);

Window GetDialogItem(Window dialog, int id);

// Texts and numbers of any control with a text (labels, edits, buttons,
// check and radio buttons, group boxes, the edit part of a combo box).
bool SetDialogItemText(Window dialog, int id, std::string_view text);
std::string GetDialogItemText(Window dialog, int id);
bool SetDialogItemInt(Window dialog, int id, long value);
// The text read as a whole decimal number (leading and trailing blanks
// allowed; no sign unless `isSigned`); `ok` tells whether it was one, and
// the result is then 0.
long GetDialogItemInt(Window dialog, int id, bool* ok, bool isSigned);

// Check boxes and radio buttons.
bool CheckDialogButton(Window dialog, int id, bool checked);
bool IsDialogButtonChecked(Window dialog, int id);
// Checks `checkId` and clears every other radio button with an id in
// firstId..lastId.
bool CheckRadioButton(Window dialog, int firstId, int lastId, int checkId);
// The checked radio button with an id in firstId..lastId, 0 when none.
int GetCheckedRadioButton(Window dialog, int firstId, int lastId);
// Makes the push button the one Enter presses.
bool SetDefaultButton(Window dialog, int id);

// Edit fields.
bool SetEditLimit(Window dialog, int id, int maxCharacters);  // 0: no limit
bool SetEditReadOnly(Window dialog, int id, bool readOnly);
// Set by the user's changes, cleared by SetDialogItemText and by the program.
bool IsEditModified(Window dialog, int id);
bool SetEditModified(Window dialog, int id, bool modified);
// Selects characters start..end-1 (end -1: to the end) and puts the caret
// at the end of the selection; SetEditSelection(d, id, -1, -1) puts the
// caret after the last character.
bool SetEditSelection(Window dialog, int id, int start, int end);

// List boxes and combo boxes (the same calls for both). Indexes from 0.
int AddListItem(Window dialog, int id,
                std::string_view text);  // its index (in order when the list sorts), -1 on failure
int InsertListItem(Window dialog, int id, int index, std::string_view text);  // index -1: at the end
int DeleteListItem(Window dialog, int id, int index);                         // the entries left, -1 for a bad index
bool ResetList(Window dialog, int id);
int GetListCount(Window dialog, int id);
std::string GetListItemText(Window dialog, int id, int index);
bool SetListSelection(Window dialog, int id, int index);  // -1 selects nothing
int GetListSelection(Window dialog, int id);              // -1 when nothing is selected
// Selects the first entry after `startAfter` (-1: from the top, wrapping
// round) that begins with `prefix` without regard to case; its index, or
// -1 (and the selection unchanged).
int SelectListItem(Window dialog, int id, int startAfter, std::string_view prefix);
// Columns of a list box: a '\t' in an entry moves on to the next stop,
// given in dialog units from the left.
bool SetListTabStops(Window dialog, int id, const std::vector<int>& stops);

// The colours of a label, edit field or button (text and background).
bool SetControlColours(Window control, Colour text, Colour background);
// A control's text in the bold or the normal weight of its font.
bool SetControlFontWeight(Window control, bool bold);

}  // namespace platform
