// Dialog templates as read from their text, and what the layer keeps for
// each open dialog.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

class QWidget;

namespace platform::detail {

enum class ControlType {
  kLabel,
  kEdit,
  kButton,
  kCheck,
  kRadio,
  kGroupBox,
  kList,
  kCombo,
  kHorizontalScroll,
  kVerticalScroll,
  kOwnerDraw
};
enum class Align { kLeft, kCentre, kRight };

// One control line of a template. Sizes are dialog units.
struct ControlTemplate {
  ControlType type = ControlType::kLabel;
  int id = -1;
  std::string text;
  int x = 0, y = 0, width = 0, height = 0;
  bool disabled = false, hidden = false;
  Align align = Align::kLeft;  // labels and edits
  bool border = false;         // labels
  bool readOnly = false, multiline = false, password = false;
  int limit = 0;                             // edits: 0 no limit
  bool isDefault = false, isCancel = false;  // buttons
  bool group = false;                        // radios: starts a new group
  bool sort = false, editable = false;       // lists (sort), combos (both)
  std::vector<int> tabs;                     // lists
};

struct DialogTemplate {
  int width = 0, height = 0;
  std::string caption;
  bool positioned = false;  // `at`: placed relative to the owner's client area
  int x = 0, y = 0;
  bool child = false, noCaption = false, hidden = false, bold = false;
  std::vector<ControlTemplate> controls;
};

// False with "line N: ..." in `error` for a template that is not good.
bool ParseDialogTemplate(std::string_view text, DialogTemplate& out, std::string& error);

// What the layer keeps for an open dialog.
struct DialogData {
  std::string templateName;
  bool modal = false, ended = false;
  int result = 0;
  int defaultId = 0, cancelId = 0;   // 0: none in the template
  bool focusGiven = false;           // the procedure moved the focus itself during kInitDialog
  double unitX = 1.5, unitY = 1.75;  // pixels per dialog unit
  bool positioned = false;           // placed at a point of its owner's client area, else centred
  std::vector<Window> controls;      // in template order
};

// The dialog that holds a control (or the dialog itself), none otherwise.
Window DialogOf(Window window);
// Tells a dialog being initialised that its procedure moved the focus.
void NoteFocusMoved();
// A key the focused control of a dialog left: Enter and Escape press the
// default and Cancel buttons, Tab and Shift+Tab (`backwards`) move the
// focus. True when the key was one of them.
bool HandleDialogKey(Window dialog, unsigned virtualKey, bool backwards);
// A function called with each dialog once it is made and shown (the seams'
// scripted dialogs); null for none.
void InstallDialogMadeHook(void (*hook)(Window dialog, const std::string& templateName));
// Moves the focus to the next (or previous) control that takes it, round
// the dialog.
void MoveDialogFocus(Window dialog, bool next);

}  // namespace platform::detail
