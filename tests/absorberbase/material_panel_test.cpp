// kab's record panel, worked as its user works it: the coefficient fields,
// the cycle of view, edit, new and delete modes with the greyed menus, the
// empty database after the last delete, the keys through the toolkit, and
// the question before unsaved changes are dropped.
#include "absorberbase/material_panel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "absorberbase/absorber_editor.h"
#include "framework/base/drawing_layer.h"
#include "framework/core/services.h"
#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "tests/absorberbase/kab_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using MaterialPanelTest = KabTest;
using platform::test::DialogUser;

bool MenusEnabled() {
  platform::Menu menu = platform::GetWindowMenu(MainWindow.window);
  bool all = true, none = true;
  for (int position = 0; position < 3; ++position) {
    const bool enabled = platform::IsMenuBarItemEnabled(menu, position);
    all = all && enabled;
    none = none && !enabled;
  }
  EXPECT_TRUE(all || none) << "the three menus differ";
  return all;
}

// A field takes the four characters it shows ("0.755" types as "0.75"),
// and they must be a number within 0..1.
TEST_F(MaterialPanelTest, CoefficientsAreTheirFieldsFirstFourCharactersWithin0To1) {
  struct Case {
    const char* typed;
    bool accepted;
    float stored;
  };
  const Case cases[] = {
      {"0", true, 0.0f},     {"1", true, 1.0f},    {"0,5", true, 0.5f},   {"0.755", true, 0.75f},
      {"1.001", true, 1.0f}, {"+0.5", true, 0.5f}, {" +1", true, 1.0f},   {"1.01", false, 0.3f},
      {"-0.1", false, 0.3f}, {"abc", false, 0.3f}, {"", false, 0.3f},     {"+-.5", false, 0.3f},
      {"++1", false, 0.3f},  {"-0", true, 0.0f},   {"0.5x", false, 0.3f}, {"1e-1", true, 0.1f},
  };
  for (const Case& c : cases) {
    ShowDatabase({Material("Glass", "Glazing", 0.3f)});
    Command(kCmdEditRecord);
    DialogUser panel = Panel();
    panel.Type(kPanelFirstCoefficient + 6, c.typed);
    if (!*c.typed) platform::test::KeyPress(platform::kKeyBackspace);  // typing nothing leaves the text selected
    Pump();
    EXPECT_LE(panel.Text(kPanelFirstCoefficient + 6).size(), 4u) << c.typed << ": shown beyond what is stored";
    MessageRecorder messages;
    panel.Press(kPanelOk);
    Pump();
    const AbsorberRecord& record = gAbsorberEditor.database.records[0];
    EXPECT_EQ(record.absorption[6], c.stored) << c.typed;
    EXPECT_FALSE(std::signbit(record.absorption[6])) << c.typed;
    EXPECT_EQ(record.absorption[0], 0.3f) << c.typed;
    if (c.accepted) {
      EXPECT_TRUE(messages.texts().empty()) << c.typed;
      EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kView) << c.typed;
      EXPECT_EQ(panel.Text(kPanelFirstCoefficient + 6), FormatAbsorption(c.stored)) << c.typed;
      EXPECT_TRUE(gAbsorberEditor.modified) << c.typed;
    } else {
      ASSERT_EQ(messages.texts(), std::vector<std::string>{kInvalidCoefficientMessage}) << c.typed;
      EXPECT_FALSE(messages.messages()[0].hasCaption);
      EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kEdit) << c.typed;
      EXPECT_EQ(panel.Text(kPanelFirstCoefficient + 6), c.typed) << "the typed text stays to be mended";
      EXPECT_FALSE(gAbsorberEditor.modified) << c.typed;
    }
    gAbsorberEditor.modified = false;
  }
}

TEST_F(MaterialPanelTest, TheCoefficientMessageIsOwnedByThePanel) {
  ShowDatabase({Material("Glass", "Glazing", 0.3f)});
  Command(kCmdEditRecord);
  Panel().Type(kPanelFirstCoefficient, "2");
  MessageHandler recording = SetMessageHandler(nullptr);  // the real box, answered by the script
  platform::test::MessageBoxScript boxes;
  Panel().Press(kPanelOk);
  Pump();
  SetMessageHandler(recording);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, kInvalidCoefficientMessage);
  EXPECT_EQ(boxes.boxes()[0].owner, gAbsorberEditor.panel);
}

TEST_F(MaterialPanelTest, ModesCycleThroughEditNewAndDeleteWithTheMenusGreyed) {
  ShowDatabase({Material("Glass", "Glazing", 0.3f), Material("Oak", "Wood", 0.1f)});
  DialogUser panel = Panel();
  EXPECT_EQ(panel.Items(kPanelList), (std::vector<std::string>{"Glass", "Oak"}));
  EXPECT_EQ(panel.Selection(kPanelList), 0);
  EXPECT_EQ(panel.Text(kPanelName), "Glass");
  EXPECT_FALSE(panel.IsVisible(kPanelOk) || panel.IsVisible(kPanelCancel));
  EXPECT_TRUE(MenusEnabled());

  // View: the fields take no typing; picking a name shows its record.
  panel.Type(kPanelName, "X");
  EXPECT_EQ(panel.Text(kPanelName), "Glass");
  panel.Choose(kPanelList, 1);
  Pump();
  EXPECT_EQ(panel.Text(kPanelCategory), "Wood");
  EXPECT_EQ(panel.Text(kPanelFirstCoefficient), "0.10");

  // Edit, then Cancel: the stored record comes back, read-only.
  Command(kCmdEditRecord);
  EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kEdit);
  EXPECT_EQ(panel.Text(kPanelModeLabel), "Edit record");
  EXPECT_TRUE(panel.IsVisible(kPanelOk) && panel.IsVisible(kPanelCancel));
  EXPECT_FALSE(panel.IsEnabled(kPanelList));
  EXPECT_FALSE(MenusEnabled());
  EXPECT_FALSE(platform::test::ChooseMenuItem(MainWindow.window, kCmdNew));
  panel.Type(kPanelName, "Beech");
  EXPECT_EQ(panel.Text(kPanelName), "Beech");
  panel.Press(kPanelCancel);
  Pump();
  EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kView);
  EXPECT_EQ(panel.Text(kPanelName), "Oak");
  EXPECT_EQ(panel.Text(kPanelModeLabel), "");
  EXPECT_TRUE(MenusEnabled());
  panel.Type(kPanelName, "X");
  EXPECT_EQ(panel.Text(kPanelName), "Oak");
  EXPECT_FALSE(gAbsorberEditor.modified);

  // Edit, then OK: the entry is replaced in place.
  Command(kCmdEditRecord);
  panel.Type(kPanelName, "Beech");
  panel.Press(kPanelOk);
  Pump();
  EXPECT_EQ(panel.Items(kPanelList), (std::vector<std::string>{"Glass", "Beech"}));
  EXPECT_EQ(gAbsorberEditor.database.records[1].name, "Beech");
  EXPECT_EQ(gAbsorberEditor.database.records[1].category, "Wood");
  EXPECT_TRUE(gAbsorberEditor.modified);

  // New: "NEW" with the focus, added behind the last and selected.
  Command(kCmdAddRecord);
  EXPECT_EQ(panel.Text(kPanelModeLabel), "New record");
  EXPECT_EQ(panel.Text(kPanelName), "NEW");
  EXPECT_TRUE(panel.HasFocus(kPanelName));
  panel.Type(kPanelName, "Felt");
  panel.Type(kPanelCategory, "Textiles");
  panel.Press(kPanelOk);
  Pump();
  EXPECT_EQ(gAbsorberEditor.database.count, 3);
  EXPECT_EQ(panel.Items(kPanelList), (std::vector<std::string>{"Glass", "Beech", "Felt"}));
  EXPECT_EQ(panel.Selection(kPanelList), 2);
  EXPECT_EQ(gAbsorberEditor.database.records[2].category, "Textiles");
  EXPECT_EQ(gAbsorberEditor.database.records[2].absorption, gAbsorberEditor.database.records[1].absorption);

  // Delete the first: the rest move up and the same place is selected.
  panel.Choose(kPanelList, 0);
  Pump();
  Command(kCmdDeleteRecord);
  EXPECT_EQ(panel.Text(kPanelModeLabel), "Delete record");
  panel.Type(kPanelName, "X");
  EXPECT_EQ(panel.Text(kPanelName), "Glass");
  panel.Press(kPanelOk);
  Pump();
  EXPECT_EQ(gAbsorberEditor.database.count, 2);
  EXPECT_EQ(panel.Items(kPanelList), (std::vector<std::string>{"Beech", "Felt"}));
  EXPECT_EQ(panel.Selection(kPanelList), 0);
  EXPECT_EQ(panel.Text(kPanelName), "Beech");
  EXPECT_TRUE(gAbsorberEditor.database.records[2].name.empty());
  EXPECT_TRUE(MenusEnabled());
}

TEST_F(MaterialPanelTest, AfterTheLastRecordIsDeletedEditAndDeleteDoNothing) {
  ShowDatabase({Material("Glass", "Glazing", 0.3f)});
  DialogUser panel = Panel();
  Command(kCmdDeleteRecord);
  panel.Press(kPanelOk);
  Pump();
  EXPECT_EQ(gAbsorberEditor.database.count, 0);
  EXPECT_EQ(gAbsorberEditor.currentIndex, 0);
  EXPECT_EQ(panel.Selection(kPanelList), -1);
  EXPECT_EQ(panel.Text(kPanelName), "");
  for (int command : {kCmdEditRecord, kCmdDeleteRecord}) {
    Command(command);
    EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kView);
    EXPECT_FALSE(panel.IsVisible(kPanelOk));
    EXPECT_TRUE(MenusEnabled());
  }
  EXPECT_TRUE(gAbsorberEditor.database.records[0].name.empty());
}

TEST_F(MaterialPanelTest, AddingToAFullDatabaseSaysSo) {
  ShowDatabase(std::vector<AbsorberRecord>(kMaxAbsorberRecords, Material("Same", "Same", 0.5f)));
  MessageRecorder messages;
  Command(kCmdAddRecord);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kTooManyMaterialsMessage});
  EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kView);
}

// Tab and Enter typed on the keyboard reach the panel through the program's
// loop: Tab moves to the next field, Enter presses OK.
TEST_F(MaterialPanelTest, TabAndEnterWorkInThePanel) {
  ShowDatabase({Material("Glass", "Glazing", 0.3f)});
  DialogUser panel = Panel();
  Command(kCmdEditRecord);
  EXPECT_TRUE(panel.HasFocus(kPanelName));
  platform::test::KeyPress(platform::kKeyTab);
  Pump();
  EXPECT_TRUE(panel.HasFocus(kPanelCategory));
  platform::test::KeyPress(platform::kKeyEnd);
  platform::test::TypeText(" 6mm");
  Pump();
  platform::test::KeyPress(platform::kKeyEnter);
  Pump();
  EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kView);
  EXPECT_EQ(gAbsorberEditor.database.records[0].category, "Glazing 6mm");
}

// In every mode Enter acts as OK and Escape as Cancel, with the keys on a
// control that takes them, also after a click on the list, which the edit,
// new and delete modes disable. Each key goes once through the toolkit to
// the widget with the focus, and once posted to the control with the focus
// as the program's loop gets it; back in view mode the list has the keys.
TEST_F(MaterialPanelTest, EnterIsOkAndEscapeIsCancelInEveryMode) {
  struct Case {
    int command;
    unsigned key;
    std::vector<std::string> names;  // afterwards
  };
  const Case cases[] = {
      {kCmdEditRecord, platform::kKeyEnter, {"Glass", "Oak"}},
      {kCmdEditRecord, platform::kKeyEscape, {"Glass", "Oak"}},
      {kCmdAddRecord, platform::kKeyEnter, {"Glass", "Oak", "NEW"}},
      {kCmdAddRecord, platform::kKeyEscape, {"Glass", "Oak"}},
      {kCmdDeleteRecord, platform::kKeyEnter, {"Glass"}},
      {kCmdDeleteRecord, platform::kKeyEscape, {"Glass", "Oak"}},
  };
  for (bool posted : {false, true}) {
    for (const Case& c : cases) {
      const std::string what = std::to_string(c.command) + (c.key == platform::kKeyEnter ? " Enter" : " Escape") +
                               (posted ? " posted" : " typed");
      ShowDatabase({Material("Glass", "Glazing", 0.3f), Material("Oak", "Wood", 0.1f)});
      gAbsorberEditor.modified = false;
      DialogUser panel = Panel();
      panel.Choose(kPanelList, 1);
      Pump();
      Command(c.command);
      ASSERT_NE(gAbsorberEditor.mode, PanelMode::kView) << what;
      const platform::Window focus = platform::GetFocus();
      ASSERT_NE(focus, platform::Window::kNone) << what;
      EXPECT_TRUE(platform::IsWindowEnabled(focus) && platform::IsWindowVisible(focus)) << what;
      EXPECT_EQ(platform::GetParent(focus), gAbsorberEditor.panel) << what;
      if (posted) platform::PostMessage(focus, platform::msg::kKeyDown, c.key);
      else platform::test::KeyPress(c.key);
      Pump();
      EXPECT_EQ(gAbsorberEditor.mode, PanelMode::kView) << what;
      EXPECT_EQ(panel.Items(kPanelList), c.names) << what;
      EXPECT_EQ(gAbsorberEditor.modified, c.key == platform::kKeyEnter) << what;
      EXPECT_TRUE(panel.HasFocus(kPanelList)) << what;
      EXPECT_TRUE(MenusEnabled()) << what;
    }
  }
}

TEST_F(MaterialPanelTest, UnsavedChangesAreAskedAboutOnExitUntilSaved) {
  ShowDatabase({Material("Glass", "Glazing", 0.3f), Material("Oak", "Wood", 0.1f)});
  Command(kCmdDeleteRecord);
  Panel().Press(kPanelOk);
  Pump();
  {
    MessageRecorder messages;
    messages.Answer(kIdCancel);
    Command(kCmdExit);
    ASSERT_EQ(messages.texts(), std::vector<std::string>{kDatabaseNotSavedMessage});
    EXPECT_EQ(messages.messages()[0].caption, "Warning");
    EXPECT_EQ(messages.messages()[0].flags, unsigned(kMsgOkCancel));
    EXPECT_TRUE(platform::IsWindow(MainWindow.window));
    messages.Answer(kIdCancel);
    platform::test::RequestClose(MainWindow.window);  // the close box asks the same
    Pump();
    EXPECT_EQ(messages.texts().size(), 2u);
    EXPECT_TRUE(platform::IsWindow(MainWindow.window));
  }
  {
    platform::test::FileDialogScript files;
    files.Choose((dir_ / "saved").string());
    Command(kCmdSaveAs);
    const std::string path = (dir_ / "saved.KAB").string();
    EXPECT_EQ(std::filesystem::file_size(path), 32u + 256u);
    EXPECT_FALSE(gAbsorberEditor.modified);
    EXPECT_EQ(GetMainTitle(), "Korvane Absorber Database " + path);
    EXPECT_EQ(platform::GetWindowText(MainWindow.window), GetMainTitle());
    EXPECT_EQ(gAbsorberEditor.fileName, path);
  }
  MessageRecorder messages;
  const platform::Window main = MainWindow.window;
  Command(kCmdExit);
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_FALSE(platform::IsWindow(main));
  EXPECT_TRUE(platform::IsQuitPosted());
}

}  // namespace
