// Menus from resource definitions, changed by command id.
#include <gtest/gtest.h>

#include "platform/menu.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"

using namespace platform;

namespace {

class MenuTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    menu_ = LoadMenu(instance_, "SMOKE");
    ASSERT_NE(menu_, Menu::kNone);
    ASSERT_TRUE(SetWindowMenu(window_, menu_));
  }
  Menu menu_ = Menu::kNone;
};

TEST_F(MenuTest, LoadsTheDefinitionAndAMissingOneGivesNone) {
  EXPECT_EQ(LoadMenu(instance_, "NO_SUCH_MENU"), Menu::kNone);
  EXPECT_EQ(LoadMenu(instance_, "BAD_ID"), Menu::kNone);  // an id beyond 16 bits
  EXPECT_EQ(GetWindowMenu(window_), menu_);
  EXPECT_EQ(MenuBarItemCount(menu_), 4);
  EXPECT_EQ(GetMenuItemText(menu_, 4201), "&Picture\tF2");
  EXPECT_TRUE(IsMenuItemChecked(menu_, 604));
  EXPECT_FALSE(IsMenuItemChecked(menu_, 605));
  EXPECT_TRUE(HasMenuItem(menu_, 503));
}

TEST_F(MenuTest, ChoosingAnItemPostsItsCommandToTheWindow) {
  EXPECT_TRUE(test::ChooseMenuItem(window_, 4201));
  EXPECT_FALSE(test::ChooseMenuItem(window_, 9999));
  Pump();
  auto commands = Received(msg::kCommand);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].window, window_);
  EXPECT_EQ(LowWord(commands[0].wParam), 4201u);
  EXPECT_EQ(commands[0].lParam, 0);
}

TEST_F(MenuTest, ItemsAreCheckedDeletedAndInsertedById) {
  EXPECT_TRUE(SetMenuItemChecked(menu_, 605, true));
  EXPECT_TRUE(SetMenuItemChecked(menu_, 604, false));
  EXPECT_TRUE(IsMenuItemChecked(menu_, 605));
  EXPECT_FALSE(IsMenuItemChecked(menu_, 604));
  EXPECT_FALSE(SetMenuItemChecked(menu_, 12345, true));

  EXPECT_TRUE(InsertMenuItemBefore(menu_, 4202, 4210, "C&ircle"));
  EXPECT_FALSE(InsertMenuItemBefore(menu_, 777, 4211, "nowhere"));
  EXPECT_TRUE(test::ChooseMenuItem(window_, 4210));
  EXPECT_TRUE(RemoveMenuItem(menu_, 4201));
  EXPECT_FALSE(RemoveMenuItem(menu_, 4201));
  EXPECT_FALSE(HasMenuItem(menu_, 4201));
  EXPECT_FALSE(test::ChooseMenuItem(window_, 4201));
  Pump();
  auto commands = Received(msg::kCommand);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LowWord(commands[0].wParam), 4210u);
}

TEST_F(MenuTest, ItemsAreGreyedAndRenamedById) {
  EXPECT_TRUE(EnableMenuItem(menu_, 4201, false));
  EXPECT_FALSE(IsMenuItemEnabled(menu_, 4201));
  EXPECT_FALSE(test::ShownItem(window_, 4201).enabled);
  EXPECT_FALSE(test::ChooseMenuItem(window_, 4201));
  EXPECT_TRUE(SetMenuItemText(menu_, 4201, "/halls/R&D.KPR"));
  EXPECT_EQ(GetMenuItemText(menu_, 4201), "/halls/R&D.KPR");
  EXPECT_TRUE(EnableMenuItem(menu_, 4201, true));
  EXPECT_TRUE(test::ChooseMenuItem(window_, 4201));
  EXPECT_FALSE(EnableMenuItem(menu_, 12345, false));
  EXPECT_FALSE(SetMenuItemText(menu_, 12345, "none"));
  EXPECT_FALSE(IsMenuItemEnabled(menu_, 12345));
}

TEST_F(MenuTest, GreyedPopupsOfferNothingUntilEnabledAgain) {
  EXPECT_TRUE(EnableMenuBarItem(menu_, 3, false));  // Draw
  RedrawMenuBar(window_);
  EXPECT_FALSE(IsMenuBarItemEnabled(menu_, 3));
  EXPECT_FALSE(test::ChooseMenuItem(window_, 4201));
  EXPECT_TRUE(test::ChooseMenuItem(window_, 101));
  EXPECT_TRUE(EnableMenuBarItem(menu_, 3, true));
  RedrawMenuBar(window_);
  EXPECT_TRUE(test::ChooseMenuItem(window_, 4201));
  EXPECT_FALSE(EnableMenuBarItem(menu_, 4, false));
}

TEST_F(MenuTest, ADestroyedMenuLeavesTheWindow) {
  DestroyMenu(menu_);
  EXPECT_EQ(GetWindowMenu(window_), Menu::kNone);
  EXPECT_FALSE(HasMenuItem(menu_, 101));
  EXPECT_FALSE(test::ChooseMenuItem(window_, 101));
}

}  // namespace

namespace {

// Check and grey changes go to the one action of each item in place: no
// objects pile up, and a popup that is open shows the change at once.
TEST_F(MenuTest, ChecksAndGreysChangeInPlace) {
  const int objects = test::MenuObjectCount(window_);
  for (int i = 0; i < 500; ++i) {
    SetMenuItemChecked(menu_, 604, i % 2 == 1);
    EnableMenuBarItem(menu_, 3, i % 2 == 0);
    RedrawMenuBar(window_);
  }
  Pump();
  EXPECT_EQ(test::MenuObjectCount(window_), objects);
  EXPECT_TRUE(test::ShownItem(window_, 604).checked);
  EXPECT_FALSE(test::ShownItem(window_, 4201).enabled);  // its popup is greyed

  ASSERT_TRUE(test::OpenMenuPopup(window_, 2));  // View
  ASSERT_TRUE(test::ShownItem(window_, 604).inOpenPopup);
  SetMenuItemChecked(menu_, 604, false);
  SetMenuItemChecked(menu_, 605, true);
  EXPECT_FALSE(test::ShownItem(window_, 604).checked);
  EXPECT_TRUE(test::ShownItem(window_, 605).checked);
  test::CloseMenus();
  Pump();
  EXPECT_EQ(test::MenuObjectCount(window_), objects);
}

TEST_F(MenuTest, TheWindowSetsItsMenuOnInitMenuAndOnlyItChangesChecks) {
  onMessage = [&](const Message& m) -> LParam {
    if (m.kind == msg::kInitMenu) SetMenuItemChecked(Menu(m.wParam), 605, true);
    return 0;
  };
  ASSERT_TRUE(test::OpenMenuPopup(window_, 2));
  // Sent, not posted: the popup opens with the state the handler set.
  ASSERT_EQ(Received(msg::kInitMenu).size(), 1u);
  EXPECT_EQ(Menu(Received(msg::kInitMenu)[0].wParam), menu_);
  EXPECT_TRUE(test::ShownItem(window_, 605).checked);
  test::CloseMenus();

  // Choosing a checked item posts its command and leaves the check alone.
  EXPECT_TRUE(test::ChooseMenuItem(window_, 604));
  EXPECT_TRUE(test::ShownItem(window_, 604).checked);
  EXPECT_TRUE(IsMenuItemChecked(menu_, 604));
  // An item inserted into a shown menu is there at once, and a removed one goes.
  EXPECT_TRUE(InsertMenuItemBefore(menu_, 605, 606, "&Perspective"));
  EXPECT_TRUE(test::ShownItem(window_, 606).enabled);
  EXPECT_TRUE(RemoveMenuItem(menu_, 606));
  EXPECT_FALSE(test::ShownItem(window_, 606).exists);
}

TEST_F(MenuTest, AReplacedMenuLeavesNoObjectsBehind) {
  const int objects = test::MenuObjectCount(window_);
  for (int i = 0; i < 20; ++i) {
    Menu next = LoadMenu(instance_, "SMOKE");
    SetWindowMenu(window_, next);
    DestroyMenu(menu_);
    menu_ = next;
  }
  Pump();
  EXPECT_EQ(test::MenuObjectCount(window_), objects);
  EXPECT_TRUE(test::ChooseMenuItem(window_, 4201));
}

}  // namespace
