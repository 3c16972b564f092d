// The mapping between the toolkit's keys, buttons and modifiers and the
// layer's virtual keys and mouse flags (messages.h).
#pragma once

#include <Qt>

#include "platform/messages.h"

namespace platform::detail {

unsigned VirtualKeyOf(int qtKey);  // 0 for a key without a virtual key
int QtKeyOf(unsigned virtualKey);  // 0 for none
WParam MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers QtModifiers(WParam modifiers);

}  // namespace platform::detail
