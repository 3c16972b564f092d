// Fixtures for tests that need windows. Both run under the offscreen
// platform and use the resources of the smoke program (resources/smoke).
//
// PlatformTest: the platform alone, started for "smoke"; `window_` is a
// 200 x 150 top-level window of a class whose procedure records every
// message in `messages_` (and hands it to `onMessage` when set).
//
// FrameworkTest: the framework started with InitFramework(instance, "SMOKE",
// proc); the main window's procedure records the same way and ends the
// framework on kDestroy. SetUp and TearDown reset every global record
// (ResetAllState).
//
// Both: Pump() dispatches what is queued now; RunLoop(hook) runs the main
// loop (GetMessage/DispatchMessage) until quit, calling `hook` whenever it
// would block, and fails the test if the hook keeps it waiting too long;
// RunSteps does the same for any loop with a list of steps.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/messages.h"
#include "platform/types.h"
#include "platform/window.h"

using MessageHook = std::function<platform::LParam(const platform::Message&)>;

class WindowTestBase : public ::testing::Test {
 protected:
  // Dispatches every queued message (stops at a posted quit).
  void Pump();
  // The loop over the queue until quit; `idle` acts whenever it would block.
  void RunLoop(std::function<void()> idle);
  // Runs `body` (a loop over the queue, such as a command waiting for its
  // points) with `steps` acting one after another whenever it would block,
  // and fails the test when body ends before every step ran or keeps
  // waiting after the last.
  void RunSteps(std::function<void()> body, std::vector<std::function<void()>> steps);
  // Messages of `kind` received so far.
  std::vector<platform::Message> Received(unsigned kind) const;
  static platform::LParam Record(platform::Window window, unsigned kind, platform::WParam wParam,
                                 platform::LParam lParam);

  static WindowTestBase* active_;
  platform::Instance instance_ = platform::Instance::kNone;
  std::vector<platform::Message> messages_;
  MessageHook onMessage;
};

class PlatformTest : public WindowTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;
  platform::Window window_ = platform::Window::kNone;
  platform::Context context_ = platform::Context::kNone;
};

class FrameworkTest : public WindowTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;
  static platform::LParam MainProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                   platform::LParam lParam);
};
