// Message boxes: scripted answers for tests, and the real box's answers.
#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"

using namespace platform;

namespace {

using MessageBoxTest = PlatformTest;

TEST_F(MessageBoxTest, AScriptRecordsEachBoxAndAnswersInTurn) {
  test::MessageBoxScript script;
  script.Answer(kAnswerCancel);
  script.Answer(kAnswerNo);
  EXPECT_EQ(
      MessageBox(window_, "Current project status has not been saved", "WARNING", kBoxOkCancel | kBoxDefaultButton2),
      kAnswerCancel);
  EXPECT_EQ(MessageBox(Window::kNone, "Save?", std::nullopt, kBoxYesNoCancel | kBoxIconExclamation), kAnswerNo);
  EXPECT_EQ(MessageBox(window_, "done", std::nullopt, kBoxOk), kAnswerOk);  // the script ran out
  ASSERT_EQ(script.boxes().size(), 3u);
  EXPECT_EQ(script.boxes()[0].text, "Current project status has not been saved");
  EXPECT_EQ(script.boxes()[0].caption, "WARNING");
  EXPECT_EQ(script.boxes()[0].flags, kBoxOkCancel | kBoxDefaultButton2);
  EXPECT_EQ(script.boxes()[0].owner, window_);
  EXPECT_FALSE(script.boxes()[1].caption.has_value());
  EXPECT_EQ(script.boxes()[1].owner, Window::kNone);
}

// The real box, answered from the idle hook as a user would.
int AnswerWith(std::function<void()> act, std::string_view text, std::optional<std::string_view> caption,
               unsigned flags, Window owner, std::string* shown = nullptr) {
  int calls = 0;
  test::SetIdleHook([&] {
    if (++calls == 2) {
      if (shown) *shown = test::ModalText();
      act();
    }
    if (calls > 2000) test::CloseModal();
  });
  int answer = MessageBox(owner, text, caption, flags);
  test::SetIdleHook(nullptr);
  return answer;
}

TEST_F(MessageBoxTest, EscapeAndTheCloseBoxAnswerCancelWhereThereIsOne) {
  struct Case {
    const char* name;
    unsigned flags;
    std::function<void()> act;
    int answer;
  };
  Case cases[] = {
      {"escape on OK/Cancel", kBoxOkCancel, [] { test::PressKeyInModal(kKeyEscape); }, kAnswerCancel},
      {"escape on OK", kBoxOk | kBoxIconStop, [] { test::PressKeyInModal(kKeyEscape); }, kAnswerOk},
      {"close on Yes/No/Cancel", kBoxYesNoCancel, [] { test::CloseModal(); }, kAnswerCancel},
      {"enter on OK/Cancel", kBoxOkCancel, [] { test::PressKeyInModal(kKeyEnter); }, kAnswerOk},
      {"enter with Cancel as default", kBoxOkCancel | kBoxDefaultButton2, [] { test::PressKeyInModal(kKeyEnter); },
       kAnswerCancel},
      {"enter on Yes/No/Cancel", kBoxYesNoCancel | kBoxSystemModal, [] { test::PressKeyInModal(kKeyEnter); },
       kAnswerYes},
  };
  for (const Case& c : cases) {
    std::string shown;
    EXPECT_EQ(AnswerWith(c.act, "Invalid entry !", std::nullopt, c.flags, window_, &shown), c.answer) << c.name;
    EXPECT_EQ(shown, "Invalid entry !") << c.name;
  }
}

TEST_F(MessageBoxTest, NoCaptionGivesError) {
  std::string caption;
  test::SetIdleHook([&] {
    caption = test::ModalCaption();
    test::CloseModal();
  });
  MessageBox(Window::kNone, "File Selection Error", std::nullopt, kBoxIconStop);
  EXPECT_EQ(caption, "Error");
  test::SetIdleHook([&] {
    caption = test::ModalCaption();
    test::CloseModal();
  });
  MessageBox(window_, "x", "System Error", kBoxIconStop | kBoxSystemModal);
  EXPECT_EQ(caption, "System Error");
  test::SetIdleHook(nullptr);
}

// A box is as wide as its caption needs as well as its text: over a short
// text the title bar shows "Warning", "Error" and "Description :" whole; a
// caption too long for the screen is cut, the box no wider than the screen
// allows.
TEST_F(MessageBoxTest, TheTitleBarShowsTheCaptionWhole) {
  const std::string longCaption(300, 'W');
  struct Case {
    std::optional<std::string_view> caption;
    std::string shown;
  };
  const Case cases[] = {{"Warning", "Warning"}, {std::nullopt, "Error"}, {"Description :", "Description :"}};
  for (const Case& c : cases) {
    std::string shown;
    test::SetIdleHook([&] {
      shown = test::ModalShownCaption();
      test::CloseModal();
    });
    MessageBox(window_, "x", c.caption, kBoxOkCancel);
    EXPECT_EQ(shown, c.shown);
  }
  std::string shown;
  test::SetIdleHook([&] {
    shown = test::ModalShownCaption();
    test::CloseModal();
  });
  MessageBox(window_, "x", longCaption, kBoxOk);
  test::SetIdleHook(nullptr);
  EXPECT_LT(shown.size(), longCaption.size());
  EXPECT_TRUE(shown.ends_with("\u2026")) << shown;
}

// While the box waits, the layer's queue runs (a posted message reaches its
// window); a quit posted meanwhile closes the box with its Escape answer
// and stays posted for the loops outside.
TEST_F(MessageBoxTest, TheBoxRunsTheQueueAndAQuitClosesItAndStaysPosted) {
  int calls = 0;
  test::SetIdleHook([&] {
    ++calls;
    if (calls == 1) PostMessage(window_, msg::kUser + 5);
    if (calls == 2) PostQuitMessage(3);
  });
  int answer = MessageBox(window_, "Current project status has not been saved", "WARNING", kBoxOkCancel);
  test::SetIdleHook(nullptr);
  EXPECT_EQ(answer, kAnswerCancel);
  EXPECT_EQ(Received(msg::kUser + 5).size(), 1u);
  EXPECT_TRUE(IsQuitPosted());
  EXPECT_EQ(QuitCode(), 3);
  EXPECT_EQ(test::ModalText(), "");
}

}  // namespace
