// Modal message boxes.
#pragma once

#include <optional>
#include <string_view>

#include "platform/types.h"

namespace platform {

// Buttons, icons and modality, combined.
constexpr unsigned kBoxOk = 0x0, kBoxOkCancel = 0x1, kBoxYesNoCancel = 0x3, kBoxButtonMask = 0xF;
constexpr unsigned kBoxIconStop = 0x10, kBoxIconExclamation = 0x30, kBoxIconMask = 0xF0;
constexpr unsigned kBoxDefaultButton2 = 0x100;
constexpr unsigned kBoxSystemModal = 0x1000;

// Answers.
constexpr int kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7;

// Shows the box (UTF-8 text) over `owner` (none for an unowned box) and
// returns the answer. No caption gives "Error". Escape and the close box
// answer Cancel when there is a Cancel button, else OK. While it is shown the
// layer's queue is dispatched; a quit posted meanwhile closes it with that
// same answer and stays posted.
int MessageBox(Window owner, std::string_view text, std::optional<std::string_view> caption, unsigned flags);

}  // namespace platform
