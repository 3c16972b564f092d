// The settings prompts: what each shows, takes and refuses, typed into the
// design program's one-line input.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/base/drawing_reset.h"
#include "framework/base/framework_windows.h"
#include "framework/base/settings_prompts.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "platform/application.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogScript;
using platform::test::DialogUser;

int gLayouts = 0, gRedraws = 0;

class SettingsPromptsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    gFramework.instance = platform::StartApplication("kdn");
    gLayouts = gRedraws = 0;
    ViewHooks hooks;
    hooks.layoutAndRedraw = [] { ++gLayouts; };
    hooks.redrawAll = [] { ++gRedraws; };
    InstallViewHooks(hooks);
  }

  // Runs `prompt` with the user typing `typed` and pressing OK (or Cancel
  // when `typed` is null); gives the prompt and the field as shown, and the
  // messages.
  struct Seen {
    std::string caption, shown;
    std::vector<std::string> messages;
  };
  Seen Answer(void (*prompt)(), const char* typed) {
    Seen seen;
    DialogScript script;
    script.On("DIALOG_3", [&](DialogUser& user) {
      seen.caption = user.Caption();
      seen.shown = user.Text(105);
      if (typed) user.Type(105, typed);
      user.Press(typed ? 102 : 103);
    });
    MessageRecorder recorder;
    prompt();
    seen.messages = recorder.texts();
    return seen;
  }
};

const std::vector<std::string> kNone;
const std::vector<std::string> kInvalid{kInvalidEntryMessage};

TEST_F(SettingsPromptsTest, TheCursorSnapTakesMillimetresToAKilometreInMetresOrFeet) {
  struct Case {
    uint32_t feet;
    const char* typed;
    float step;
    bool refused;
  };
  for (const Case& c :
       {Case{0, "0", 0.5f, true}, Case{0, "1000", 1000, false}, Case{0, "1,5", 1.5f, false}, Case{0, "abc", 0.5f, true},
        Case{0, "0.001", 0.001f, false}, Case{0, "1000.5", 0.5f, true}, Case{0, nullptr, 0.5f, false},
        Case{1, "3.28", float(3.28 / 3.28084), false}, Case{1, "3281", 0.5f, true}}) {
    gView.snapStep = 0.5f;
    gUnitFlag = c.feet;
    const Seen seen = Answer(PromptCursorSnap, c.typed);
    EXPECT_EQ(seen.caption, "Set Cursor Snap ( 0 .. 1000 ):");
    EXPECT_EQ(seen.shown, c.feet ? "1.64" : "0.500000");
    EXPECT_FLOAT_EQ(gView.snapStep, c.step) << (c.typed ? c.typed : "cancel");
    EXPECT_EQ(seen.messages, c.refused ? kInvalid : kNone) << (c.typed ? c.typed : "cancel");
  }
}

// Typed at once, the new value replaces the old one shown in the field.
TEST_F(SettingsPromptsTest, AValueTypedOnTheKeyboardReplacesTheOneShown) {
  DialogScript script;
  script.On("DIALOG_3", [](DialogUser& user) {
    platform::test::TypeText("2");
    user.Key(platform::kKeyEnter);
  });
  gView.snapStep = 0.5f;
  MessageRecorder recorder;
  PromptCursorSnap();
  EXPECT_EQ(gView.snapStep, 2.0f);
}

// A length shown rounded (two decimals of feet) and taken back unchanged
// keeps its value: OK on the field as shown moves nothing.
TEST_F(SettingsPromptsTest, OkOnTheValueAsShownKeepsItExactly) {
  struct Case {
    uint32_t feet;
    void (*prompt)();
    float* setting;
    float value;
  };
  for (const Case& c :
       {Case{1, PromptCursorSnap, &gView.snapStep, 0.5f}, Case{1, PromptGridSize, &gDrawing.gridSize, 1},
        Case{0, PromptCursorSnap, &gView.snapStep, 0.1234567f}}) {
    gUnitFlag = c.feet;
    *c.setting = c.value;
    const Seen seen = Answer(c.prompt, "");
    EXPECT_EQ(*c.setting, c.value) << seen.caption << " " << seen.shown;
    EXPECT_EQ(seen.messages, kNone);
  }
}

TEST_F(SettingsPromptsTest, TheGridSizeIsRebuiltWhateverTheAnswer) {
  struct Case {
    uint32_t feet;
    const char* typed;
    float size;
    bool refused;
  };
  for (const Case& c : {Case{0, "2", 2, false}, Case{0, "0.05", 1, true}, Case{1, "6.56", float(6.56 / 3.28084), false},
                        Case{1, "400", 1, true}, Case{0, nullptr, 1, false}}) {
    gDrawing.gridSize = 1;
    gUnitFlag = c.feet;
    gRedraws = 0;
    const Seen seen = Answer(PromptGridSize, c.typed);
    EXPECT_EQ(seen.shown, c.feet ? "3.28" : "1.000000");
    EXPECT_FLOAT_EQ(gDrawing.gridSize, c.size) << (c.typed ? c.typed : "cancel");
    EXPECT_EQ(seen.messages, c.refused ? kInvalid : kNone);
    EXPECT_EQ(gRedraws, 1);  // BuildGrid ran
  }
}

TEST_F(SettingsPromptsTest, WholeNumberPromptsAndTheZoomFactorKeepTheirRanges) {
  struct Case {
    void (*prompt)();
    const char* caption;
    const char* shown;
    const char* typed;
    std::function<double()> value;
    double expected;
    bool refused;
  };
  const auto width = [] { return gDrawing.nodeSnapWidth; };
  const auto segments = [] { return double(gDrawing.circleResolution); };
  const auto scale = [] { return double(gView.scale); };
  for (const Case& c : {
           Case{PromptNodeSnapWidth, "Node Snap Width (1 - 100):", "10", "100", width, 100, false},
           Case{PromptNodeSnapWidth, "Node Snap Width (1 - 100):", "10", "0", width, 10, true},
           Case{PromptNodeSnapWidth, "Node Snap Width (1 - 100):", "10", "x", width, 10, true},
           Case{PromptCircleResolution, "Circle Resolution (3 - 360):", "36", "3", segments, 3, false},
           Case{PromptCircleResolution, "Circle Resolution (3 - 360):", "36", "361", segments, 36, true},
           Case{PromptZoomFactor, "Zoomfactor [%] (0.01 - 100.0):", "5.000000", "0,01", scale, 0.01, false},
           Case{PromptZoomFactor, "Zoomfactor [%] (0.01 - 100.0):", "5.000000", "100.5", scale, 5, true},
       }) {
    ResetViewState();
    gLayouts = 0;
    const Seen seen = Answer(c.prompt, c.typed);
    EXPECT_EQ(seen.caption, c.caption);
    EXPECT_EQ(seen.shown, c.shown);
    EXPECT_NEAR(c.value(), c.expected, 1e-6) << c.caption << " " << c.typed;
    EXPECT_EQ(seen.messages, c.refused ? kInvalid : kNone) << c.caption << " " << c.typed;
    if (c.prompt == PromptZoomFactor) {
      EXPECT_EQ(gLayouts, c.refused ? 0 : 1);
    }
  }
}

TEST_F(SettingsPromptsTest, TheCommentIsTakenAsTypedUpToEightyCharacters) {
  gDrawing.comment = "old";
  const Seen seen = Answer(PromptComment, "Hall 1, seats 1,200");
  EXPECT_EQ(seen.shown, "old");
  EXPECT_EQ(gDrawing.comment, "Hall 1, seats 1,200");  // no comma repair
  Answer(PromptComment, std::string(100, 'x').c_str());
  EXPECT_EQ(gDrawing.comment, std::string(80, 'x'));
  Answer(PromptComment, nullptr);
  EXPECT_EQ(gDrawing.comment, std::string(80, 'x'));
}

}  // namespace
