// kab started in the test: its resources, the framework with the menu
// "KAB" and the editor's window procedure, and a scratch folder for files.
// Pump() runs the program's own loop over what is queued, so messages for
// the record panel go through its dialog handling as in the program.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "design/model/absorber_database.h"
#include "platform/test_seams.h"
#include "platform/types.h"

class KabTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Dispatches what is queued now through the program's loop step.
  void Pump();
  // A menu command, as the menu posts it, then pumped.
  void Command(int id);
  // The panel as its user sees it; the panel must be open.
  platform::test::DialogUser Panel() const;
  // Puts `records` into the database and opens the panel on them.
  void ShowDatabase(const std::vector<AbsorberRecord>& records);
  // Writes a file into the scratch folder; returns its path.
  std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

  platform::Instance instance_ = platform::Instance::kNone;
  std::filesystem::path dir_;
};

// A record with every coefficient `alpha`.
AbsorberRecord Material(const std::string& name, const std::string& category, float alpha);
// The bytes of a .KAB file: the magic field, then `records`.
std::vector<std::uint8_t> KabFileBytes(const std::vector<AbsorberRecord>& records);
