// The few services the pure core asks of whatever program runs it: show a
// message (and take the answer), report progress with Cancel, show the wait
// cursor, ask for a redraw, and read the millisecond clock.
//
// The core (formats, records, object store, calculations) calls these and
// nothing else of a user interface, so it builds, tests and benchmarks
// without windows. The defaults print to the standard error stream, never
// cancel, and read the steady clock; the window layer installs its message
// box, progress window, cursor and tick count at start-up. Texts and
// captions are code page 1252.
#pragma once

#include <cstdint>

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

// The caption of the questions that guard unsaved work.
inline constexpr char kWarningCaption[] = "WARNING";

// Answers.
enum MessageAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

struct CoreServices {
  // The message box: returns the button pressed. A null caption gives the
  // default caption "Error".
  int (*showMessage)(const char* text, const char* caption, unsigned flags) = nullptr;
  // The progress window: open gives 1 when opened, 0 when one is already
  // open or none can be made; update returns 1 once Cancel was pressed (or
  // the program quits); a null cancel text means no Cancel.
  int (*openProgress)(const char* title, const char* text, const char* cancelText) = nullptr;
  int (*updateProgress)(int percent, const char* text) = nullptr;
  void (*closeProgress)() = nullptr;
  // Shows (true) or takes back (false) the wait cursor; calls nest.
  void (*waitCursor)(bool on) = nullptr;
  // Asks for the model's views to be drawn again.
  void (*redraw)() = nullptr;
  // Milliseconds of a monotonic clock.
  uint32_t (*tickCount)() = nullptr;
};

// Installs `services`; a null member keeps the console default. Returns the
// table it replaces.
CoreServices InstallCoreServices(const CoreServices& services);
const CoreServices& GetCoreServices();

// The framework's one message box: every user-facing message of the four
// programs passes through it.
int ShowMessage(const char* text, const char* caption, unsigned flags);

using MessageHandler = int (*)(const char* text, const char* caption, unsigned flags);
// A handler that takes every message before the installed service (tests
// record and answer messages with it). Returns the handler it replaces;
// nullptr goes back to the service.
MessageHandler SetMessageHandler(MessageHandler handler);

int BeginProgress(const char* title, const char* text, const char* cancelText);
int ReportProgress(int percent, const char* text);
void EndProgress();
void RequestRedraw();
uint32_t ServiceTickCount();

// Shows the wait cursor for the scope's lifetime.
class WaitCursorScope {
 public:
  WaitCursorScope();
  ~WaitCursorScope();
  WaitCursorScope(const WaitCursorScope&) = delete;
  WaitCursorScope& operator=(const WaitCursorScope&) = delete;
};
