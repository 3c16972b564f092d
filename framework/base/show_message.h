// The framework's one message box. Every user-facing message of the four
// programs passes through ShowMessage; texts and captions are code page 1252.
#pragma once

// Button sets, icons and modality, combined in `flags`.
enum MessageFlags : unsigned {
  kMsgOk = 0x0,
  kMsgOkCancel = 0x1,
  kMsgYesNoCancel = 0x3,
  kMsgIconStop = 0x10,
  kMsgIconExclamation = 0x30,
  kMsgDefaultButton2 = 0x100,
  kMsgSystemModal = 0x1000,
};

// Answers.
enum MessageAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// Shows `text` under `caption` (nullptr gives the default caption "Error")
// and returns the button pressed.
int ShowMessage(const char* text, const char* caption, unsigned flags);

// Where ShowMessage sends its message. The window layer installs the real
// message box at start-up; tests install a recorder with scripted answers.
// Returns the handler it replaces.
using MessageHandler = int (*)(const char* text, const char* caption, unsigned flags);
MessageHandler SetMessageHandler(MessageHandler handler);
