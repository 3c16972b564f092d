#include "tests/support/gui_fixture.h"

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/core/state_reset.h"
#include "platform/application.h"
#include "platform/test_seams.h"

WindowTestBase* WindowTestBase::active_ = nullptr;

namespace {
constexpr int kIdleLimit = 10000;  // idle calls before a waiting loop counts as stuck
}

void WindowTestBase::Pump() {
  platform::Message message;
  while (platform::PeekMessage(message) && message.kind != platform::msg::kQuit) platform::DispatchMessage(message);
}

void WindowTestBase::RunLoop(std::function<void()> idle) {
  int idleCalls = 0;
  platform::test::SetIdleHook([&] {
    if (++idleCalls > kIdleLimit) {
      ADD_FAILURE() << "the loop kept waiting";
      platform::PostQuitMessage(1);
      return;
    }
    idle();
  });
  platform::Message message;
  while (platform::GetMessage(message)) platform::DispatchMessage(message);
  platform::test::SetIdleHook(nullptr);
}

void WindowTestBase::RunSteps(std::function<void()> body, std::vector<std::function<void()>> steps) {
  size_t next = 0;
  int idleCalls = 0;
  platform::test::SetIdleHook([&] {
    if (++idleCalls > kIdleLimit) {
      ADD_FAILURE() << "the loop kept waiting";
      platform::PostQuitMessage(1);
    } else if (next < steps.size()) {
      steps[next++]();
    }
  });
  body();
  platform::test::SetIdleHook(nullptr);
  EXPECT_EQ(next, steps.size()) << "the loop ended before every step ran";
}

std::vector<platform::Message> WindowTestBase::Received(unsigned kind) const {
  std::vector<platform::Message> out;
  for (const auto& m : messages_)
    if (m.kind == kind) out.push_back(m);
  return out;
}

platform::LParam WindowTestBase::Record(platform::Window window, unsigned kind, platform::WParam wParam,
                                        platform::LParam lParam) {
  platform::Message message{window, kind, wParam, lParam};
  if (!active_) return platform::DefaultWindowProc(window, kind, wParam, lParam);
  active_->messages_.push_back(message);
  if (active_->onMessage) return active_->onMessage(message);
  return platform::DefaultWindowProc(window, kind, wParam, lParam);
}

void PlatformTest::SetUp() {
  active_ = this;
  instance_ = platform::StartApplication("smoke");
  platform::WindowClass cls;
  cls.name = "TEST_WINDOW";
  cls.proc = Record;
  cls.instance = instance_;
  platform::RegisterWindowClass(cls);
  platform::WindowCreation creation;
  creation.className = "TEST_WINDOW";
  creation.caption = "test";
  creation.style = platform::kStyleOverlapped | platform::kStyleVisible;
  creation.width = 200;
  creation.height = 150;
  window_ = platform::CreateWindow(creation);
  context_ = platform::GetWindowContext(window_);
  Pump();
  messages_.clear();
}

void PlatformTest::TearDown() {
  platform::EndApplication(instance_);
  active_ = nullptr;
}

platform::LParam FrameworkTest::MainProc(platform::Window window, unsigned kind, platform::WParam wParam,
                                         platform::LParam lParam) {
  if (kind == platform::msg::kDestroy && window == MainWindow.window) {
    Record(window, kind, wParam, lParam);
    ShutdownFramework();
    return 0;
  }
  return Record(window, kind, wParam, lParam);
}

void FrameworkTest::SetUp() {
  active_ = this;
  instance_ = platform::StartApplication("smoke");
  ResetAllState();
  SetMainTitle("Framework test");
  InitFramework(instance_, "SMOKE", MainProc);
  Pump();
  messages_.clear();
}

void FrameworkTest::TearDown() {
  onMessage = nullptr;
  platform::EndApplication(instance_);
  ResetAllState();
  active_ = nullptr;
}
