// Dialogs from templates: the modal loop and its results, the controls and
// their notifications, the dialog keys, modeless dialogs in a program's own
// loop, and the templates themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/dialog.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "tests/support/bitmap_compare.h"
#include "tests/support/gui_fixture.h"

using namespace platform;

namespace {

// What TEST_DLG edits, and the log of what its procedure heard.
struct Edited {
  std::string name = "LS001";
  std::string value = "0.5";
  bool shading = true;
  int phase = 105;
  int unit = 113;
  int row = 1;
  int combo = 0;
  std::vector<std::string> heard;  // "id:notification" of every command
};

LParam TestProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  static Edited* record = nullptr;
  switch (kind) {
    case msg::kInitDialog:
      record = reinterpret_cast<Edited*>(lParam);
      SetDialogItemText(dialog, 101, record->name);
      SetDialogItemText(dialog, 102, record->value);
      CheckDialogButton(dialog, 103, record->shading);
      CheckRadioButton(dialog, 104, 106, record->phase);
      CheckRadioButton(dialog, 112, 113, record->unit);
      for (const char* row : {"001\t12.5\tConcrete", "002\t8.0\tCarpet", "003\t3.2\tGlass"})
        AddListItem(dialog, 107, row);
      SetListSelection(dialog, 107, record->row);
      for (const char* band : {"125 Hz", "250 Hz", "500 Hz"}) AddListItem(dialog, 108, band);
      SetListSelection(dialog, 108, record->combo);
      return 0;
    case msg::kCommand: {
      int id = int(LowWord(wParam));
      unsigned code = HighWord(wParam);
      record->heard.push_back(std::to_string(id) + ":" + std::to_string(code));
      EXPECT_EQ(ParamWindow(lParam), GetDialogItem(dialog, id)) << id;
      if (id == 102 && code == kNotifyEditChange && IsEditModified(dialog, 102)) {
        // The decimal comma becomes a point while the user types.
        std::string text = GetDialogItemText(dialog, 102);
        std::replace(text.begin(), text.end(), ',', '.');
        SetDialogItemText(dialog, 102, text);
        SetEditSelection(dialog, 102, -1, -1);
      }
      if (id == 107 && code == kNotifyDoubleClick)
        SetDialogItemText(dialog, 109, GetListItemText(dialog, 107, GetListSelection(dialog, 107)));
      if (id == 110) {
        record->name = GetDialogItemText(dialog, 101);
        record->value = GetDialogItemText(dialog, 102);
        record->shading = IsDialogButtonChecked(dialog, 103);
        record->phase = GetCheckedRadioButton(dialog, 104, 106);
        record->unit = GetCheckedRadioButton(dialog, 112, 113);
        record->row = GetListSelection(dialog, 107);
        record->combo = GetListSelection(dialog, 108);
        EndDialog(dialog, 1);
      }
      if (id == 111) EndDialog(dialog, 0);
      return 0;
    }
  }
  return DefaultDialogProc(dialog, kind, wParam, lParam);
}

using DialogTest = PlatformTest;

TEST_F(DialogTest, InitFillsTheDialogAndOkReturnsWhatTheUserEntered) {
  Edited record;
  test::DialogScript script;
  script.On("TEST_DLG", [](test::DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Test dialog");
    EXPECT_EQ(user.Text(101), "LS001");
    EXPECT_TRUE(user.HasFocus(101));  // the first control that takes the focus
    EXPECT_TRUE(user.IsChecked(103));
    EXPECT_TRUE(user.IsChecked(105));
    EXPECT_TRUE(user.IsChecked(113));
    EXPECT_EQ(user.Items(107).size(), 3u);
    EXPECT_EQ(user.Selection(107), 1);
    EXPECT_EQ(user.Items(108), (std::vector<std::string>{"125 Hz", "250 Hz", "500 Hz"}));
    user.Type(101, "Hall with a long name to cut");  // limit 20
    user.Type(102, "2,5");
    user.Press(103);
    user.Press(106);  // leaves the unit group alone
    user.Choose(107, 2);
    user.Choose(108, 2);
    user.Press(110);
  });
  EXPECT_EQ(DialogBox(instance_, "TEST_DLG", window_, TestProc, LParam(&record)), 1);
  EXPECT_EQ(record.name, "Hall with a long nam");
  EXPECT_EQ(record.value, "2.5");
  EXPECT_FALSE(record.shading);
  EXPECT_EQ(record.phase, 106);
  EXPECT_EQ(record.unit, 113);
  EXPECT_EQ(record.row, 2);
  EXPECT_EQ(record.combo, 2);
  EXPECT_EQ(script.opened(), std::vector<std::string>{"TEST_DLG"});
  EXPECT_EQ(script.leftOpen(), 0);
  // Only the user's actions notified: nothing from the filling in init.
  auto count = [&](const std::string& what) { return std::count(record.heard.begin(), record.heard.end(), what); };
  EXPECT_EQ(count("101:768"), 20);  // one edit change per character kept
  EXPECT_GE(count("102:768"), 1);
  EXPECT_EQ(count("103:0"), 1);
  EXPECT_EQ(count("106:0"), 1);
  EXPECT_EQ(count("107:1"), 1);
  EXPECT_EQ(count("108:1"), 1);
  EXPECT_EQ(count("110:0"), 1);
}

TEST_F(DialogTest, EscapeTheCloseBoxAndAMissingTemplate) {
  struct Case {
    const char* name;
    std::function<void(test::DialogUser&)> act;
    int result;
  };
  const Case cases[] = {
      {"escape", [](test::DialogUser& u) { u.Key(kKeyEscape); }, 0},
      {"close box", [](test::DialogUser& u) { u.Close(); }, 0},
      {"enter in a field", [](test::DialogUser& u) { u.Type(102, "7"), u.Key(kKeyEnter); }, 1},
      {"cancel button", [](test::DialogUser& u) { u.Press(111); }, 0},
  };
  for (const Case& c : cases) {
    Edited record;
    test::DialogScript script;
    script.On("TEST_DLG", c.act);
    SetFocus(window_);
    Pump();
    ASSERT_EQ(GetFocus(), window_) << c.name;
    EXPECT_EQ(DialogBox(instance_, "TEST_DLG", window_, TestProc, LParam(&record)), c.result) << c.name;
    EXPECT_EQ(record.value, c.result ? "7" : "0.5") << c.name;
    EXPECT_EQ(script.leftOpen(), 0) << c.name;
    // The keys go back to the owner.
    Pump();
    EXPECT_EQ(GetFocus(), window_) << c.name;
  }
  EXPECT_EQ(DialogBox(instance_, "NO_SUCH_DLG", window_, TestProc), -1);
  EXPECT_EQ(CreateDialog(instance_, "NO_SUCH_DLG", window_, TestProc), Window::kNone);
}

// Keys typed straight away go to the first field, and replace what it
// shows, as they do after Tab: a prompt showing "0.5" takes "2" as 2.
TEST_F(DialogTest, TypingIntoAFieldTheDialogFocusedReplacesItsText) {
  Edited record;
  test::DialogScript script;
  script.On("TEST_DLG", [](test::DialogUser& user) {
    test::TypeText("Hall");
    user.Key(kKeyTab);
    test::TypeText("7");
    user.Key(kKeyEnter);
  });
  EXPECT_EQ(DialogBox(instance_, "TEST_DLG", window_, TestProc, LParam(&record)), 1);
  EXPECT_EQ(record.name, "Hall");
  EXPECT_EQ(record.value, "7");
}

TEST_F(DialogTest, TabMovesAlongTheControlsAndADoubleClickNotifies) {
  Edited record;
  test::DialogScript script;
  std::vector<bool> focus;
  script.On("TEST_DLG", [&](test::DialogUser& user) {
    user.Key(kKeyTab);
    focus.push_back(user.HasFocus(102));
    user.Key(kKeyTab, kMouseShift);
    focus.push_back(user.HasFocus(101));
    EnableWindow(GetDialogItem(user.dialog(), 102), false);
    user.Key(kKeyTab);
    focus.push_back(user.HasFocus(103));  // a disabled field is passed over
    user.DoubleClick(107, 0);
    user.Press(111);
  });
  EXPECT_EQ(DialogBox(instance_, "TEST_DLG", window_, TestProc, LParam(&record)), 0);
  EXPECT_EQ(focus, (std::vector<bool>{true, true, true}));
  EXPECT_NE(std::find(record.heard.begin(), record.heard.end(), "107:2"), record.heard.end());
}

// A scroll-bar control tells the dialog with its code and itself; an
// owner-drawn button is painted by the dialog's procedure and clicks.
TEST_F(DialogTest, ScrollBarsAndOwnerDrawnButtonsOfADialog) {
  static std::vector<Message> heard;
  heard.clear();
  WindowProc proc = [](Window dialog, unsigned kind, WParam wParam, LParam lParam) -> LParam {
    if (kind == msg::kInitDialog) {
      SetScrollRange(GetDialogItem(dialog, 114), ScrollBar::kControl, 0, 100, false);
      SetScrollPosition(GetDialogItem(dialog, 114), ScrollBar::kControl, 40, true);
    }
    if (kind == msg::kVerticalScroll || kind == msg::kDrawItem || kind == msg::kCommand)
      heard.push_back({dialog, kind, wParam, lParam});
    if (kind == msg::kDrawItem) {
      auto* item = reinterpret_cast<const DrawItem*>(lParam);
      Brush red = CreateSolidBrush(Rgb(255, 0, 0));
      FillRect(item->context, item->bounds, red);
      DeleteObject(red);
    }
    if (kind == msg::kCommand && LowWord(wParam) == 115) EndDialog(dialog, 5);
    return DefaultDialogProc(dialog, kind, wParam, lParam);
  };
  test::DialogScript script;
  Window bar = Window::kNone, button = Window::kNone;
  script.On("TEST_DLG", [&](test::DialogUser& user) {
    bar = GetDialogItem(user.dialog(), 114);
    button = GetDialogItem(user.dialog(), 115);
    EXPECT_EQ(GetScrollPosition(bar, ScrollBar::kControl), 40);
    test::ScrollAction(bar, ScrollBar::kControl, kScrollLineDown);
    Message m;
    while (PeekMessage(m)) DispatchMessage(m);  // the paint of the owner-drawn button
    EXPECT_EQ(test::SurfacePixel(button, 3, 3), Rgb(255, 0, 0));
    user.Press(115);
  });
  EXPECT_EQ(DialogBox(instance_, "TEST_DLG", window_, proc), 5);
  ASSERT_FALSE(heard.empty());
  std::vector<unsigned> kinds;
  for (const Message& m : heard) kinds.push_back(m.kind);
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), msg::kDrawItem), kinds.end());
  auto scroll =
      std::find_if(heard.begin(), heard.end(), [](const Message& m) { return m.kind == msg::kVerticalScroll; });
  ASSERT_NE(scroll, heard.end());
  EXPECT_EQ(LowWord(scroll->wParam), kScrollLineDown);
  EXPECT_EQ(ParamWindow(scroll->lParam), bar);
  EXPECT_EQ(ParamWindow(heard.back().lParam), button);
}

// A procedure that leaves the dialog open is ended for it, so a test
// cannot hang on it.
TEST_F(DialogTest, AScriptThatLeavesAModalDialogOpenEndsIt) {
  Edited record;
  test::DialogScript script;
  script.On("TEST_DLG", [](test::DialogUser& user) { user.Type(101, "x"); });
  EXPECT_EQ(DialogBox(instance_, "TEST_DLG", window_, TestProc, LParam(&record)), 0);
  EXPECT_EQ(script.leftOpen(), 1);
}

// The controls by id, as the programs' procedures use them.
TEST_F(DialogTest, ControlCallsReadAndChangeTheControls) {
  Edited record;
  test::DialogScript script;
  script.On("TEST_DLG", [](test::DialogUser& user) {
    Window d = user.dialog();
    struct IntCase {
      const char* text;
      bool isSigned;
      bool ok;
      long value;
    };
    for (IntCase c : {IntCase{" 42 ", false, true, 42}, IntCase{"-7", true, true, -7}, IntCase{"-7", false, false, 0},
                      IntCase{"1.5", false, false, 0}, IntCase{"", false, false, 0}, IntCase{"+3", true, true, 3}}) {
      SetDialogItemText(d, 102, c.text);
      bool ok = !c.ok;
      EXPECT_EQ(GetDialogItemInt(d, 102, &ok, c.isSigned), c.value) << c.text;
      EXPECT_EQ(ok, c.ok) << c.text;
    }
    EXPECT_TRUE(SetDialogItemInt(d, 102, -12));
    EXPECT_EQ(user.Text(102), "-12");
    EXPECT_FALSE(IsEditModified(d, 102));
    SetEditReadOnly(d, 102, true);
    user.Type(102, "typed");
    EXPECT_EQ(user.Text(102), "-12");

    ResetList(d, 107);
    for (const char* name : {"b", "C", "a"}) AddListItem(d, 107, name);
    EXPECT_EQ(InsertListItem(d, 107, 0, "first"), 0);
    EXPECT_EQ(user.Items(107), (std::vector<std::string>{"first", "b", "C", "a"}));
    EXPECT_EQ(SelectListItem(d, 107, -1, "c"), 2);
    EXPECT_EQ(SelectListItem(d, 107, 2, "F"), 0);  // wraps round
    EXPECT_EQ(SelectListItem(d, 107, -1, "zz"), -1);
    EXPECT_EQ(GetListSelection(d, 107), 0);
    EXPECT_EQ(DeleteListItem(d, 107, 0), 3);
    EXPECT_EQ(DeleteListItem(d, 107, 3), -1);
    EXPECT_TRUE(SetListSelection(d, 107, -1));
    EXPECT_EQ(GetListSelection(d, 107), -1);
    EXPECT_EQ(GetListItemText(d, 107, 9), "");

    EXPECT_TRUE(SetDialogItemText(d, 110, "Start"));
    EXPECT_EQ(user.Text(110), "Start");
    EXPECT_FALSE(CheckDialogButton(d, 110, true));  // not a check box
    EXPECT_FALSE(SetDialogItemText(d, 999, "x"));
    EXPECT_EQ(GetCheckedRadioButton(d, 112, 113), 113);
    EXPECT_TRUE(CheckRadioButton(d, 112, 113, 112));
    EXPECT_FALSE(user.IsChecked(113));
    ShowWindow(GetDialogItem(d, 103), ShowMode::kHide);
    EXPECT_FALSE(user.IsVisible(103));
    EXPECT_TRUE(SetControlColours(GetDialogItem(d, 109), Rgb(255, 0, 0), 0xFFFFFF));
    EXPECT_TRUE(SetDefaultButton(d, 111));
    user.Key(kKeyEnter);  // now presses Cancel
  });
  EXPECT_EQ(DialogBox(instance_, "TEST_DLG", window_, TestProc, LParam(&record)), 0);
  EXPECT_EQ(script.leftOpen(), 0);
}

// The template's tab stops (list 107: 18 and 54) are the list's from the
// start: its rows look the same before and after the program sets them.
TEST_F(DialogTest, AListShowsItsColumnsAtTheTemplatesTabStops) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "dialog_test_tabs";
  fs::create_directories(dir);
  Edited record;
  Window d = CreateDialog(instance_, "TEST_DLG", window_, TestProc, LParam(&record));
  ASSERT_NE(d, Window::kNone);
  const std::string asMade = (dir / "made.png").string(), asSet = (dir / "set.png").string();
  SetListSelection(d, 107, -1);
  ASSERT_TRUE(test::SaveWindowPng(GetDialogItem(d, 107), asMade));
  ASSERT_TRUE(SetListTabStops(d, 107, {18, 54}));
  ASSERT_TRUE(test::SaveWindowPng(GetDialogItem(d, 107), asSet));
  const Bitmap made = test::LoadImageFile(asMade), set = test::LoadImageFile(asSet);
  EXPECT_EQ(DifferingPixels(set, made), 0);
  DeleteObject(made);
  DeleteObject(set);
  DestroyWindow(d);
  fs::remove_all(dir);
}

// kab's loop: every message goes to the panel first, so posted keys work in
// it, and the panel's own commands reach its procedure.
TEST_F(DialogTest, AModelessDialogTakesItsMessagesInTheProgramsLoop) {
  std::vector<int> commands;
  bool open = true;
  static std::vector<int>* heard = nullptr;
  static bool* alive = nullptr;
  heard = &commands;
  alive = &open;
  WindowProc panelProc = [](Window dialog, unsigned kind, WParam wParam, LParam lParam) -> LParam {
    if (kind == msg::kCommand) {
      heard->push_back(int(LowWord(wParam)));
      if (LowWord(wParam) == 204) DestroyWindow(dialog);
      return 0;
    }
    if (kind == msg::kDestroy) *alive = false;
    return DefaultDialogProc(dialog, kind, wParam, lParam);
  };
  Window panel = CreateDialog(instance_, "MODELESS_DLG", window_, panelProc);
  ASSERT_NE(panel, Window::kNone);
  EXPECT_TRUE(IsDialog(panel));
  EXPECT_TRUE(IsWindowVisible(panel));
  Window first = GetDialogItem(panel, 201);
  EXPECT_EQ(GetFocus(), first);
  PostMessage(first, msg::kKeyDown, kKeyTab);
  PostMessage(first, msg::kKeyDown, kKeyEnter);
  PostMessage(window_, msg::kUser + 1);
  int step = 0;
  test::SetIdleHook([&] {
    if (step++ == 0) test::ClickControl(GetDialogItem(panel, 204));
    else PostQuitMessage(0);
  });
  Message m;
  while (open && GetMessage(m))
    if (!IsDialogMessage(panel, m)) DispatchMessage(m);
  test::SetIdleHook(nullptr);
  EXPECT_FALSE(IsWindow(panel));
  EXPECT_EQ(commands, (std::vector<int>{203, 204}));
  EXPECT_EQ(Received(msg::kUser + 1).size(), 1u);  // not the panel's: left to the loop
}

// A dialog narrower than its caption is widened to show it whole, for the
// template's caption and for one set while the dialog is made, and stays
// centred on its owner.
TEST_F(DialogTest, ADialogIsAsWideAsItsCaptionNeeds) {
  static const char* caption = nullptr;
  WindowProc proc = [](Window dialog, unsigned kind, WParam wParam, LParam lParam) -> LParam {
    if (kind == msg::kInitDialog && caption) SetWindowText(dialog, caption);
    return DefaultDialogProc(dialog, kind, wParam, lParam);
  };
  std::vector<Rect> placed;
  for (const char* set : {static_cast<const char*>(nullptr), "Enter the description of the stored map :"}) {
    caption = set;
    Window panel = CreateDialog(instance_, "MODELESS_DLG", window_, proc);
    ASSERT_NE(panel, Window::kNone);
    EXPECT_EQ(test::DialogUser(panel).ShownCaption(), set ? set : "Panel");
    placed.push_back(GetWindowRect(panel));
    DestroyWindow(panel);
  }
  EXPECT_GT(placed[1].right - placed[1].left, placed[0].right - placed[0].left);
  EXPECT_NEAR(placed[1].left + placed[1].right, placed[0].left + placed[0].right, 4);  // within the frame's border
}

// The templates: faults are named with their line; every template in the
// tree reads.
TEST(DialogTemplateTest, FaultsAreNamedWithTheirLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"dialog 100 50 \"x\"\nbutton 1 \"OK\" 0 0 10 10 default\n", ""},
      {"button 1 \"OK\" 0 0 10 10\n", "line 1: a control before the dialog line"},
      {"# nothing\n", "line 1: no dialog line"},
      {"dialog 100 50 \"x\"\nslider 1 0 0 10 10\n", "line 2: unknown control kind 'slider'"},
      {"dialog 100 50 \"x\"\nedit 1 0 0 10\n", "line 2: expected a height"},
      {"dialog 100 50 \"x\"\nedit 1 0 0 10 10 default\n", "line 2: unknown option 'default'"},
      {"dialog 100 50 \"x\"\nedit 7 0 0 10 10\nlist 7 0 0 9 9\n", "line 3: id 7 used twice"},
      {"dialog 100 50 \"x\"\nbutton 1 \"a\" 0 0 1 1 cancel\nbutton 2 \"b\" 0 0 1 1 cancel\n",
       "line 3: a second default or Cancel button"},
      {"dialog 100 50 \"x\nlabel -1 \"a\" 0 0 1 1\n", "line 1: a text without its closing quote"},
      {"dialog 0 50 \"x\"\n", "line 1: a dialog size below 1"},
      {"dialog 100 50 \"x\"\nedit 70000 0 0 1 1\n", "line 2: the id must be -1 or 0 to 65535"},
      {"dialog 100 50 \"x\"\nlist 3 0 0 9 9 tabs\n", "line 2: expected tab stops after tabs"},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckDialogTemplate(c.text), c.error) << c.text;
}

TEST(DialogTemplateTest, EveryTemplateOfEveryProgramReads) {
  namespace fs = std::filesystem;
  int checked = 0;
  for (const auto& entry : fs::recursive_directory_iterator(KORVANE_RESOURCE_DIR)) {
    if (entry.path().extension() != ".dlg") continue;
    std::ifstream file(entry.path());
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(CheckDialogTemplate(text.str()), "") << entry.path();
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
