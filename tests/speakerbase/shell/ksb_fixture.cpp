#include "tests/speakerbase/shell/ksb_fixture.h"

#include "framework/base/drawing_layer.h"
#include "framework/core/state_reset.h"
#include "framework/model/graphic_object.h"
#include "platform/application.h"
#include "platform/dialog.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "speakerbase/shell/record_selector.h"
#include "speakerbase/shell/speaker_commands.h"
#include "speakerbase/shell/speaker_editor.h"

void KsbTest::SetUp() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ = std::filesystem::temp_directory_path() / ("ksb_" + std::string(test->name()));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  instance_ = platform::StartApplication("ksb");
  platform::test::SetStartDirectory(dir_.string());
  ResetAllState();
}

void KsbTest::TearDown() {
  platform::test::SetIdleHook(nullptr);
  if (platform::IsWindow(MainWindow.window)) platform::DestroyWindow(MainWindow.window);
  EndSpeakerEditor();
  platform::EndApplication(instance_);
  ResetAllState();
  platform::test::SetStartDirectory("");
  std::filesystem::remove_all(dir_);
}

void KsbTest::Start() {
  ASSERT_EQ(StartSpeakerEditor(instance_), 1);
  Pump();
}

void KsbTest::StartWithExample() {
  Start();
  OpenSpeakerDatabaseAt(CopyExample("EXAMPLE.KSB"));
  Pump();
  ASSERT_GE(gSpeakerEditor.database.records.size(), 2u);
}

void KsbTest::Command(int id) {
  platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(id));
  Pump();
}

bool KsbTest::ChooseItem(int id) {
  UpdateSpeakerMenuState();
  if (!platform::test::ChooseMenuItem(MainWindow.window, id)) return false;
  Pump();
  return true;
}

std::vector<std::string> KsbTest::Listed() const {
  std::vector<std::string> names;
  const int n = platform::GetListCount(RecordSelector(), kSelectorTypeList);
  for (int i = 0; i < n; ++i) names.push_back(platform::GetListItemText(RecordSelector(), kSelectorTypeList, i));
  return names;
}

std::string KsbTest::Path(const std::string& name) const { return (dir_ / name).string(); }

std::string KsbTest::CopyExample(const std::string& name) const {
  std::filesystem::copy_file(std::filesystem::path(KORVANE_EXAMPLE_DIR) / name, dir_ / name,
                             std::filesystem::copy_options::overwrite_existing);
  return Path(name);
}

std::string KsbTest::CopyFixture(const std::string& folder, const std::string& name) const {
  const std::filesystem::path from = std::filesystem::path(KORVANE_TESTS_DIR) / folder / name;
  const std::filesystem::path to = dir_ / name;
  std::filesystem::create_directories(to.parent_path());
  std::filesystem::copy(from, to,
                        std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
  return to.string();
}

void AppendSquareToDrawing(float size) {
  GraphicObject* square = CreateObject(0, 4, 5);
  const ObjectVertex corners[4] = {{0, 0, 0}, {size, 0, 0}, {size, size, 0}, {0, size, 0}};
  for (int i = 0; i < 4; ++i) square->vertices[i] = corners[i];
  const ObjectItem items[5] = {{kOpStart, 0}, {kOpLineTo, 1}, {kOpLineTo, 2}, {kOpLineTo, 3}, {kOpClose, 0}};
  for (int i = 0; i < 5; ++i) square->items[i] = items[i];
  square->kind = 8;
  AppendObject(square);
}

int CountDrawingObjects() {
  int n = 0;
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) ++n;
  return n;
}
