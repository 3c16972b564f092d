// kv started in the test under the offscreen platform: its resources, the
// start folder a scratch folder of the test's own (kv's history lies beside
// it, in the folder above), every global record reset before and after
// (ResetAllState), and the program's loop steps. The example hall with its
// stored calculation is at hand.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/gui_fixture.h"

class KvTest : public WindowTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The start-up, after which the program waits in its main loop.
  void Start();
  // The start-up, then File/Open of the example hall with its stored level
  // and time map (copied into the start folder).
  void StartWithCalculatedHall();
  // A menu command as the menu posts it, then what is queued.
  void Command(int id);

  // A file of the start folder, and kv's history file beside the folder.
  std::string Path(const std::string& name) const;
  std::string HistoryPath() const;
  std::filesystem::path root_;  // holds the start folder and the history
  std::filesystem::path dir_;   // the start folder
};
