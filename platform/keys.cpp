// Virtual keys and mouse flags from the toolkit's keys, buttons and
// modifiers, and back (for the seams that act as the user).
#include "platform/keys_internal.h"

namespace platform::detail {
namespace {

struct KeyPair {
  unsigned virtualKey;
  int qtKey;
};
constexpr KeyPair kKeys[] = {
    {kKeyBackspace, Qt::Key_Backspace}, {kKeyTab, Qt::Key_Tab},       {kKeyEnter, Qt::Key_Return},
    {kKeyEnter, Qt::Key_Enter},         {kKeyShift, Qt::Key_Shift},   {kKeyControl, Qt::Key_Control},
    {kKeyEscape, Qt::Key_Escape},       {kKeySpace, Qt::Key_Space},   {kKeyPageUp, Qt::Key_PageUp},
    {kKeyPageDown, Qt::Key_PageDown},   {kKeyEnd, Qt::Key_End},       {kKeyHome, Qt::Key_Home},
    {kKeyLeft, Qt::Key_Left},           {kKeyUp, Qt::Key_Up},         {kKeyRight, Qt::Key_Right},
    {kKeyDown, Qt::Key_Down},           {kKeyInsert, Qt::Key_Insert}, {kKeyDelete, Qt::Key_Delete},
};

}  // namespace

unsigned VirtualKeyOf(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return kKeyF1 + unsigned(qtKey - Qt::Key_F1);
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return unsigned(qtKey);
  for (const KeyPair& k : kKeys)
    if (k.qtKey == qtKey) return k.virtualKey;
  return 0;
}

int QtKeyOf(unsigned virtualKey) {
  if (virtualKey >= kKeyF1 && virtualKey < kKeyF1 + 12) return Qt::Key_F1 + int(virtualKey - kKeyF1);
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) return int(virtualKey);
  for (const KeyPair& k : kKeys)
    if (k.virtualKey == virtualKey) return k.qtKey;
  return 0;
}

WParam MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  WParam flags = 0;
  if (buttons & Qt::LeftButton) flags |= kMouseLeft;
  if (buttons & Qt::RightButton) flags |= kMouseRight;
  if (modifiers & Qt::ShiftModifier) flags |= kMouseShift;
  if (modifiers & Qt::ControlModifier) flags |= kMouseControl;
  return flags;
}

Qt::KeyboardModifiers QtModifiers(WParam modifiers) {
  Qt::KeyboardModifiers result;
  if (modifiers & kMouseShift) result |= Qt::ShiftModifier;
  if (modifiers & kMouseControl) result |= Qt::ControlModifier;
  return result;
}

}  // namespace platform::detail
