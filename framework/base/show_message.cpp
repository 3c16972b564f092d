#include "framework/base/show_message.h"

#include <cstdio>

namespace {

// Without a window layer the message goes to the standard error stream and
// counts as answered with the first button.
int PrintMessage(const char* text, const char* caption, unsigned) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
  return kIdOk;
}

MessageHandler gMessageHandler = nullptr;
MessageHandler gDefaultHandler = PrintMessage;

}  // namespace

int ShowMessage(const char* text, const char* caption, unsigned flags) {
  return (gMessageHandler ? gMessageHandler : gDefaultHandler)(text, caption, flags);
}

MessageHandler SetMessageHandler(MessageHandler handler) {
  MessageHandler previous = gMessageHandler;
  gMessageHandler = handler;
  return previous;
}

void SetDefaultMessageHandler(MessageHandler handler) { gDefaultHandler = handler ? handler : PrintMessage; }
