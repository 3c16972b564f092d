// ksb started in the test under the offscreen platform: its resources, a
// scratch folder of the test's own, every global record reset before and
// after (ResetAllState), and the program's loop steps. The start-up's
// password prompt is left out (AskSessionPassword is tested on its own).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/gui_fixture.h"

class KsbTest : public WindowTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The start-up, after which the program waits in its main loop.
  void Start();
  // The start-up, then Open Database of the example database (copied into
  // the scratch folder).
  void StartWithExample();
  // A menu command as the menu posts it, then what is queued.
  void Command(int id);
  // A menu command from the menu bar: the menu state first, as when its
  // popup opens; false when the item is greyed.
  bool ChooseItem(int id);
  // The type names the record selector lists.
  std::vector<std::string> Listed() const;

  std::string Path(const std::string& name) const;
  std::string CopyExample(const std::string& name) const;
  // A fixture file of tests/<folder> copied into the scratch folder.
  std::string CopyFixture(const std::string& folder, const std::string& name) const;
  std::filesystem::path dir_;
};

// A square face of `size` metres on layer 0 at the end of the drawing, as a
// draw command leaves it.
void AppendSquareToDrawing(float size);
int CountDrawingObjects();
