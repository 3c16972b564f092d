#include "tests/viewer/kv_fixture.h"

#include "design/commands/command_ids.h"
#include "framework/base/framework_windows.h"
#include "framework/core/state_reset.h"
#include "platform/application.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "viewer/viewer_shell.h"

void KvTest::SetUp() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  root_ = std::filesystem::temp_directory_path() / ("kv_" + std::string(test->name()));
  dir_ = root_ / "start";
  std::filesystem::remove_all(root_);
  std::filesystem::create_directories(dir_);
  instance_ = platform::StartApplication("kv");
  platform::test::SetStartDirectory(dir_.string());
  ResetAllState();
}

void KvTest::TearDown() {
  platform::test::SetIdleHook(nullptr);
  if (platform::IsWindow(MainWindow.window)) platform::DestroyWindow(MainWindow.window);
  EndViewerProgram();
  platform::EndApplication(instance_);
  ResetAllState();
  platform::test::SetStartDirectory("");
  std::filesystem::remove_all(root_);
}

void KvTest::Start() {
  ASSERT_EQ(StartViewerProgram(instance_), 1);
  Pump();
}

void KvTest::StartWithCalculatedHall() {
  Start();
  std::filesystem::copy_file(std::filesystem::path(KORVANE_EXAMPLE_DIR) / "HALL_CALC.KPR", dir_ / "HALL_CALC.KPR");
  platform::test::FileDialogScript files;
  files.Choose(Path("HALL_CALC.KPR"));
  Command(kCmdOpenProject);
}

void KvTest::Command(int id) {
  platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(id));
  Pump();
}

std::string KvTest::Path(const std::string& name) const { return (dir_ / name).string(); }

std::string KvTest::HistoryPath() const { return dir_.string() + "HISTORY.KDN"; }
