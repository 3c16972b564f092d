// The layer's one message queue: posted and translated messages in order, a
// quit that stays posted, and paints for invalid windows once nothing else
// waits.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <algorithm>

#include "platform/queue_internal.h"
#include "platform/test_seams.h"
#include "platform/window_internal.h"

namespace platform {
namespace detail {

QueueState& Queue() {
  static QueueState state;
  return state;
}

void ResetQueue() { Queue() = QueueState{}; }

void ForgetQueued(Window window) {
  auto& q = Queue().queue;
  q.erase(std::remove_if(q.begin(), q.end(), [&](const Message& m) { return m.window == window; }), q.end());
}

void PumpToolkit(bool wait) {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // The layer runs no event loop of the toolkit's, so deferred deletions
  // would never happen by themselves.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (!wait) return;
  if (!Queue().idleTasks.empty()) {
    auto task = std::move(Queue().idleTasks.front());
    Queue().idleTasks.pop_front();
    task();
  } else if (Queue().idleHook) {
    auto hook = Queue().idleHook;  // the hook may replace itself
    hook();
  } else {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

namespace {

void WakeUp() {
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

// The next queued message for a live window, else a paint for the first
// invalid visible window.
bool TakeMessage(Message& message) {
  auto& q = Queue().queue;
  while (!q.empty()) {
    message = q.front();
    q.pop_front();
    if (message.window == Window::kNone || IsWindow(message.window)) return true;
  }
  for (auto& [id, w] : Windows().windows)
    if (w->invalid && w->frame->isVisible()) {
      w->invalid = false;
      message = {w->handle, msg::kPaint, 0, 0};
      return true;
    }
  return false;
}

}  // namespace

bool RunModalLoop(const std::function<bool()>& ended, const std::function<bool(const Message&)>& preTranslate) {
  while (!ended()) {
    Message message;
    if (!PeekMessage(message)) {
      PumpToolkit(true);
      continue;
    }
    if (message.kind == msg::kQuit) return false;
    if (!preTranslate || !preTranslate(message)) DispatchMessage(message);
  }
  return true;
}

}  // namespace detail

using namespace detail;

bool GetMessage(Message& message) {
  for (;;) {
    if (Queue().quit) return false;
    PumpToolkit(false);
    if (Queue().quit) return false;
    if (TakeMessage(message)) return true;
    PumpToolkit(true);
  }
}

bool PeekMessage(Message& message) {
  if (Queue().quit) {
    message = {Window::kNone, msg::kQuit, WParam(Queue().quitCode), 0};
    return true;
  }
  PumpToolkit(false);
  return TakeMessage(message);
}

LParam DispatchMessage(const Message& message) {
  if (message.kind == msg::kQuit) return 0;
  return SendMessage(message.window, message.kind, message.wParam, message.lParam);
}

bool PostMessage(Window window, unsigned kind, WParam wParam, LParam lParam) {
  if (window != Window::kNone && !IsWindow(window)) return false;
  Queue().queue.push_back({window, kind, wParam, lParam});
  WakeUp();
  return true;
}

LParam SendMessage(Window window, unsigned kind, WParam wParam, LParam lParam) {
  WindowObject* w = FindWindow(window);
  if (!w || !w->proc) return 0;
  return w->proc(window, kind, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  Queue().quit = true;
  Queue().quitCode = exitCode;
  WakeUp();
}

bool IsQuitPosted() { return Queue().quit; }
int QuitCode() { return Queue().quitCode; }

namespace test {

void SetIdleHook(std::function<void()> hook) { Queue().idleHook = std::move(hook); }

}  // namespace test
}  // namespace platform
