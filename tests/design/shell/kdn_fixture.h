// kdn started in the test under the offscreen platform: its resources, the
// start folder a scratch folder of the test's own (where the history file
// lies), every global record reset before and after (ResetAllState), and
// the program's loop steps. The example files the build writes (the hall,
// its databases) are at hand by name.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/gui_fixture.h"

// Objects of the model on `layer`.
int CountOnLayer(uint32_t layer);

class KdnTest : public WindowTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The start-up, after which the program waits in its main loop.
  void Start();
  // The start-up, then File/Open of the example hall (copied into the
  // scratch folder): eight room faces, the audience area, two loudspeakers.
  void StartWithHall();
  // File/Open of the example hall in the program already started.
  void OpenHall();
  // Calculate Rays with its target picked at the hall's seats (15, 0) in the
  // plan view, then `windowSteps` while the reflection windows are open; the
  // caller's dialog script answers the order prompt.
  void CalculateRaysAtSeats(std::vector<std::function<void()>> windowSteps);
  // A menu command as the menu posts it, then what is queued.
  void Command(int id);
  // A command that ends in the result window (Level + Time, Load
  // Calculation, Show Last Calulation), which the user leaves with "<-" as
  // soon as it waits; fails when no result window opened.
  void CommandLeavingResults(int id);
  // A menu command from the menu bar: the menu state first, as when its
  // popup opens; false when the item is greyed.
  bool ChooseItem(int id);

  // A file of the scratch folder, and an example file copied into it.
  std::string Path(const std::string& name) const;
  std::string CopyExample(const std::string& name) const;
  std::filesystem::path dir_;
};
