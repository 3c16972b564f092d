#include "tests/design/shell/kdn_fixture.h"

#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "design/shell/main_window.h"
#include "design/windows/result_window.h"
#include "framework/base/framework_windows.h"
#include "framework/base/view_state.h"
#include "framework/core/state_reset.h"
#include "framework/model/graphic_object.h"
#include "platform/application.h"
#include "platform/test_seams.h"
#include "platform/window.h"

void KdnTest::SetUp() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ = std::filesystem::temp_directory_path() / ("kdn_" + std::string(test->name()));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  instance_ = platform::StartApplication("kdn");
  platform::test::SetStartDirectory(dir_.string());
  ResetAllState();
}

void KdnTest::TearDown() {
  platform::test::SetIdleHook(nullptr);
  if (platform::IsWindow(MainWindow.window)) platform::DestroyWindow(MainWindow.window);
  EndDesignProgram();
  platform::EndApplication(instance_);
  ResetAllState();
  platform::test::SetStartDirectory("");
  std::filesystem::remove_all(dir_);
}

void KdnTest::Start() {
  ASSERT_EQ(StartDesignProgram(instance_), 1);
  Pump();
}

void KdnTest::StartWithHall() {
  Start();
  OpenHall();
}

void KdnTest::OpenHall() {
  platform::test::FileDialogScript files;
  files.Choose(CopyExample("HALL.KPR"));
  Command(kCmdOpenProject);
  ASSERT_EQ(CountOnLayer(kLoudspeakerLayer), 2);
}

void KdnTest::CalculateRaysAtSeats(std::vector<std::function<void()>> windowSteps) {
  const platform::Window draw = DrawWindow->window;
  const int x = int(gView.centreX + (15 - gView.originX) * gView.scale);
  const int y = int(gView.centreY - (0 - gView.originY) * gView.scale);
  std::vector<std::function<void()>> steps = {[=] {
    platform::test::MouseMove(draw, x, y);
    platform::test::Click(draw, x, y);
  }};
  steps.insert(steps.end(), windowSteps.begin(), windowSteps.end());
  RunSteps([&] { Command(kCmdCalculateRays); }, steps);
}

void KdnTest::Command(int id) {
  platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(id));
  Pump();
}

void KdnTest::CommandLeavingResults(int id) {
  // Dialogs on the way answer from their scripts first.
  bool opened = false;
  int idleCalls = 0;
  platform::test::SetIdleHook([&] {
    if (ResultWindowHandle() != platform::Window::kNone) {
      opened = true;
      platform::test::ClickControl(ResultWindowButton(kResultBackButton));
    } else if (++idleCalls > 1000) {
      ADD_FAILURE() << "the command kept waiting";
      platform::PostQuitMessage(1);
    }
  });
  Command(id);
  platform::test::SetIdleHook(nullptr);
  EXPECT_TRUE(opened) << "no result window";
  EXPECT_EQ(ResultWindowHandle(), platform::Window::kNone);
}

bool KdnTest::ChooseItem(int id) {
  UpdateMenuState();
  if (!platform::test::ChooseMenuItem(MainWindow.window, id)) return false;
  Pump();
  return true;
}

std::string KdnTest::Path(const std::string& name) const { return (dir_ / name).string(); }

std::string KdnTest::CopyExample(const std::string& name) const {
  const std::filesystem::path from = std::filesystem::path(KORVANE_EXAMPLE_DIR) / name;
  std::filesystem::copy_file(from, dir_ / name, std::filesystem::copy_options::overwrite_existing);
  return Path(name);
}

int CountOnLayer(uint32_t layer) {
  int n = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) n += o->layer == layer;
  return n;
}
