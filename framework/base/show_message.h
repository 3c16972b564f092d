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

using MessageHandler = int (*)(const char* text, const char* caption, unsigned flags);
// Where ShowMessage sends its message: the installed handler (tests install
// a recorder with scripted answers), else the default one. Returns the
// handler it replaces, nullptr for the default; nullptr goes back to it.
MessageHandler SetMessageHandler(MessageHandler handler);
// The default: the framework's start-up makes it the message box over the
// main window; nullptr (the state before start-up) prints to stderr and
// answers with the first button.
void SetDefaultMessageHandler(MessageHandler handler);
