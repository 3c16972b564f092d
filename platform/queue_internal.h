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
  // Tasks that run once, each the next time a loop would block, before the
  // idle hook (the seams' scripted dialogs act this way).
  std::deque<std::function<void()>> idleTasks;
};
QueueState& Queue();
// Empties the queue and clears a posted quit and the idle hook.
void ResetQueue();
// Drops the queued messages of a window that goes.
void ForgetQueued(Window window);

// Runs toolkit events once and deletes the toolkit objects whose deletion
// was deferred; with `wait` it then runs the next idle task, or calls the
// idle hook when one is set, or blocks for the next event.
void PumpToolkit(bool wait);

// The loop of a modal box or dialog: dispatches the layer's queue (each
// message through `preTranslate` first, which may take it) until `ended`
// says so. A posted quit ends it too and stays posted for the loops
// outside; the result is false then.
bool RunModalLoop(const std::function<bool()>& ended, const std::function<bool(const Message&)>& preTranslate = {});

}  // namespace platform::detail
