#include "tests/absorberbase/kab_fixture.h"

#include <unistd.h>

#include <fstream>

#include "absorberbase/absorber_editor.h"
#include "absorberbase/material_panel.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/core/byte_codec.h"
#include "framework/core/state_reset.h"
#include "platform/application.h"
#include "platform/window.h"

void KabTest::SetUp() {
  instance_ = platform::StartApplication("kab");
  ResetAllState();
  StartAbsorberEditor(instance_);
  Pump();
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ =
      std::filesystem::temp_directory_path() / ("kab_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
}

void KabTest::TearDown() {
  platform::EndApplication(instance_);
  ResetAllState();
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
  std::filesystem::remove_all(dir_);
}

void KabTest::Pump() {
  platform::Message message;
  while (platform::PeekMessage(message) && message.kind != platform::msg::kQuit) DispatchAbsorberEditorMessage(message);
}

void KabTest::Command(int id) {
  platform::PostMessage(MainWindow.window, platform::msg::kCommand, platform::WParam(id));
  Pump();
}

platform::test::DialogUser KabTest::Panel() const {
  EXPECT_NE(gAbsorberEditor.panel, platform::Window::kNone);
  return platform::test::DialogUser(gAbsorberEditor.panel);
}

void KabTest::ShowDatabase(const std::vector<AbsorberRecord>& records) {
  gAbsorberEditor.database = {};
  for (const AbsorberRecord& record : records)
    gAbsorberEditor.database.records[gAbsorberEditor.database.count++] = record;
  ASSERT_EQ(ShowMaterialDialog(), 1);
  Pump();
}

std::string KabTest::WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  const std::filesystem::path path = dir_ / name;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path.string();
}

AbsorberRecord Material(const std::string& name, const std::string& category, float alpha) {
  AbsorberRecord record;
  record.name = name;
  record.category = category;
  record.description = "About " + name;
  record.absorption.fill(alpha);
  return record;
}

std::vector<std::uint8_t> KabFileBytes(const std::vector<AbsorberRecord>& records) {
  std::vector<std::uint8_t> bytes(32 + 256 * records.size(), 0);
  const std::string magic = "KORVANE ABSORBER DATABASE V1.1";
  std::copy(magic.begin(), magic.end(), bytes.begin());
  for (size_t i = 0; i < records.size(); ++i) {
    std::uint8_t* record = &bytes[32 + 256 * i];
    std::copy(records[i].name.begin(), records[i].name.end(), record);
    std::copy(records[i].description.begin(), records[i].description.end(), record + 23);
    std::copy(records[i].category.begin(), records[i].category.end(), record + 148);
    for (int band = 0; band < 7; ++band) StoreF32(record + 112 + 4 * band, records[i].absorption[band]);
  }
  return bytes;
}
