#include "framework/core/services.h"

#include <chrono>
#include <cstdio>

namespace {

// Without a window layer the message goes to the standard error stream and
// counts as answered with the first button.
int PrintMessage(const char* text, const char* caption, unsigned) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
  return kIdOk;
}
int NoProgressWindow(const char*, const char*, const char*) { return 1; }
int NeverCancelled(int, const char*) { return 0; }
void NothingToClose() {}
void NoCursor(bool) {}
void NothingToRedraw() {}
uint32_t SteadyTickCount() {
  using namespace std::chrono;
  return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

constexpr CoreServices kConsoleServices{PrintMessage, NoProgressWindow, NeverCancelled, NothingToClose,
                                        NoCursor,     NothingToRedraw,  SteadyTickCount};

CoreServices gServices = kConsoleServices;
MessageHandler gMessageHandler = nullptr;

template <class F>
void Take(F& slot, F given, F fallback) {
  slot = given ? given : fallback;
}

}  // namespace

CoreServices InstallCoreServices(const CoreServices& services) {
  const CoreServices previous = gServices;
  const CoreServices& d = kConsoleServices;
  Take(gServices.showMessage, services.showMessage, d.showMessage);
  Take(gServices.openProgress, services.openProgress, d.openProgress);
  Take(gServices.updateProgress, services.updateProgress, d.updateProgress);
  Take(gServices.closeProgress, services.closeProgress, d.closeProgress);
  Take(gServices.waitCursor, services.waitCursor, d.waitCursor);
  Take(gServices.redraw, services.redraw, d.redraw);
  Take(gServices.tickCount, services.tickCount, d.tickCount);
  return previous;
}

const CoreServices& GetCoreServices() { return gServices; }

int ShowMessage(const char* text, const char* caption, unsigned flags) {
  return (gMessageHandler ? gMessageHandler : gServices.showMessage)(text, caption, flags);
}

MessageHandler SetMessageHandler(MessageHandler handler) {
  MessageHandler previous = gMessageHandler;
  gMessageHandler = handler;
  return previous;
}

int BeginProgress(const char* title, const char* text, const char* cancelText) {
  return gServices.openProgress(title, text, cancelText);
}
int ReportProgress(int percent, const char* text) { return gServices.updateProgress(percent, text); }
void EndProgress() { gServices.closeProgress(); }
void RequestRedraw() { gServices.redraw(); }
uint32_t ServiceTickCount() { return gServices.tickCount(); }

WaitCursorScope::WaitCursorScope() { gServices.waitCursor(true); }
WaitCursorScope::~WaitCursorScope() { gServices.waitCursor(false); }
