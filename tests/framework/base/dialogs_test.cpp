// The framework's dialogs: the failure message, code page 1252 texts, the
// decimal-comma repair while typing, and dialogs and boxes opened while a
// command waits when the program quits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/base/dialogs.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "platform/message_box.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using DialogsTest = FrameworkTest;
using platform::LParam;
using platform::Window;
using platform::WParam;

std::string gValue;  // what TEST_DLG's field 102 held when it ended

// TEST_DLG's field 102 as a number field.
LParam NumberProc(Window dialog, unsigned kind, WParam wParam, LParam lParam) {
  if (kind == platform::msg::kCommand) {
    int id = int(platform::LowWord(wParam));
    if (id == 102 && platform::HighWord(wParam) == platform::kNotifyEditChange) FixDecimalComma(dialog, 102);
    if (id == 110 || id == 111) {
      gValue = GetDialogText(dialog, 102, 21);
      platform::EndDialog(dialog, id == 110);
    }
    return 0;
  }
  return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
}

TEST_F(DialogsTest, ADecimalCommaBecomesAPointWhileTheUserTypes) {
  platform::test::DialogScript script;
  bool modifiedKept = false;
  script.On("TEST_DLG", [&](platform::test::DialogUser& user) {
    user.Type(102, "12");
    Pump();
    // No comma: the text is not rewritten and stays marked as the user's.
    modifiedKept = platform::IsEditModified(user.dialog(), 102);
    user.Key(platform::kKeyEnd);
    user.Type(102, "2,5");
    Pump();
    user.Key('0');  // the caret is after the 5
    user.Press(110);
  });
  EXPECT_EQ(RunModalDialog("TEST_DLG", MainWindow.window, NumberProc), 1);
  EXPECT_TRUE(modifiedKept);
  EXPECT_EQ(gValue, "2.50");
}

TEST_F(DialogsTest, ADialogThatCannotBeMadeSaysSo) {
  MessageRecorder recorder;
  EXPECT_EQ(RunModalDialog("DIALOG_99", MainWindow.window, NumberProc), -1);
  EXPECT_EQ(OpenModelessDialog("DIALOG_99", MainWindow.window, NumberProc), Window::kNone);
  ASSERT_EQ(recorder.messages().size(), 2u);
  EXPECT_EQ(recorder.messages()[0].text, "Unable to display dialog");
  EXPECT_EQ(recorder.messages()[0].caption, "System Error");
  EXPECT_EQ(recorder.messages()[0].flags, unsigned(kMsgIconStop | kMsgSystemModal));
}

TEST_F(DialogsTest, TextsAreCodePage1252AndCutToTheBuffer) {
  platform::test::DialogScript script;
  std::string cut, degrees, row;
  script.On("TEST_DLG", [&](platform::test::DialogUser& user) {
    Window d = user.dialog();
    SetDialogText(d, 101, "20\xB0 C");
    EXPECT_EQ(user.Text(101), "20\xC2\xB0 C");
    degrees = GetDialogText(d, 101, 80);
    cut = GetDialogText(d, 101, 3);
    AddDialogListText(d, 107, "Gipskarton 12,5 mm \x96 Decke");
    row = GetDialogListText(d, 107, 0);
    user.Press(111);
  });
  RunModalDialog("TEST_DLG", MainWindow.window, NumberProc);
  EXPECT_EQ(degrees, "20\xB0 C");
  EXPECT_EQ(cut, "20");
  EXPECT_EQ(row, "Gipskarton 12,5 mm \x96 Decke");
}

// A command waits for its point in the framework's loop; inside it a
// dialog opens a message box, and the program is told to quit while the box
// is up. The box ends, then the dialog, then the command (cancelled, with no
// point taken) and the main loop. A click into the drawing window meanwhile
// does not reach it, so the command's input flags stay as they were.
TEST_F(DialogsTest, AQuitInsideADialogAndItsBoxEndsThemTheCommandAndTheProgramInOrder) {
  DrawWindow->window = CreateChildWindow("", platform::kStyleBorder, 32, 24, 300, 200, 10000);
  Pump();
  ResetPointInput();
  static std::vector<std::string>* order = nullptr;
  std::vector<std::string> ended;
  order = &ended;
  bool clicked = false;
  platform::WindowProc boxDialog = [](Window dialog, unsigned kind, WParam wParam, LParam lParam) -> LParam {
    if (kind == platform::msg::kCommand && platform::LowWord(wParam) == 110) {
      int answer = platform::MessageBox(dialog, "Invalid entry !", std::nullopt, platform::kBoxOkCancel);
      order->push_back(answer == platform::kAnswerCancel ? "box" : "box answered");
      return 0;
    }
    return platform::DefaultDialogProc(dialog, kind, wParam, lParam);
  };
  onMessage = [&, boxDialog](const platform::Message& m) -> LParam {
    if (m.window == DrawWindow->window && m.kind == platform::msg::kLeftButtonDown) {
      clicked = true;
      gInput.pickFlag = true;
    }
    if (m.window != MainWindow.window || m.kind != platform::msg::kCommand) return 0;
    if (platform::LowWord(m.wParam) == 2302) {
      gInput.activeCommand = 2302;
      platform::PostMessage(MainWindow.window, platform::msg::kCommand, 5001);
      WaitForPoint();
      ended.push_back(gInput.cancel && !gInput.done ? "command cancelled" : "command");
      gInput.activeCommand = 0;
    } else if (platform::LowWord(m.wParam) == 5001) {
      int result = RunModalDialog("TEST_DLG", MainWindow.window, boxDialog);
      ended.push_back(result == 0 ? "dialog" : "dialog answered");
    }
    return 0;
  };
  platform::test::DialogScript script;
  script.On("TEST_DLG", [](platform::test::DialogUser& user) { user.Press(110); });
  platform::PostMessage(MainWindow.window, platform::msg::kCommand, 2302);
  RunSteps(WaitForPoint, {[&] {
                            ASSERT_EQ(platform::test::ModalText(), "Invalid entry !");  // the box is up
                            platform::test::Click(DrawWindow->window, 50, 50);
                          },
                          [&] { platform::PostQuitMessage(0); }});
  ended.push_back("program");
  EXPECT_EQ(ended, (std::vector<std::string>{"box", "dialog", "command cancelled", "program"}));
  EXPECT_FALSE(clicked);
  EXPECT_FALSE(gInput.pickFlag);
  ResetPointInput();
}

}  // namespace
