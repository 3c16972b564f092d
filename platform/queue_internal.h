// The message queue's state: the queued messages, a posted quit and the
// tests' idle hook.
#pragma once

#include <deque>
#include <functional>

#include "platform/messages.h"

namespace platform::detail {

struct QueueState {
  std::deque<Message> queue;
  bool quit = false;
  int quitCode = 0;
  std::function<void()> idleHook;
};
QueueState& Queue();
// Empties the queue and clears a posted quit and the idle hook.
void ResetQueue();
// Drops the queued messages of a window that goes.
void ForgetQueued(Window window);

// Runs toolkit events once; with `wait` it blocks for the next one, or calls
// the idle hook when one is set.
void PumpToolkit(bool wait);

}  // namespace platform::detail
