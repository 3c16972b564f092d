// Numbers typed into kdn on the example hall, one rule over every kind of
// prompt: the prompt line (TURN's angle), the point dialog (a line's point
// typed with "A"), a settings prompt (the grid size), a property dialog
// (the loudspeaker's position) and Set Delay Time. A value that is not
// finite, and text that is not a number, are refused as each prompt
// refuses what does not parse; a coordinate beyond 10 km and a delay the
// field cannot show are refused with "Invalid entry !".
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "design/commands/command_ids.h"
#include "design/model/loudspeaker.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/perspective.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/view/view_transform.h"
#include "platform/messages.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogUser;
using Step = std::function<void()>;
using Texts = std::vector<std::string>;

constexpr int kRoomLines = 2201, kRoomTurn = 2304;

enum class Prompt { kTurnAngle, kPointX, kGridSize, kSpeakerX, kDelay, kSpeakerDelay };

// What a prompt made of a typed text.
struct Seen {
  double value = 0;  // the value the model holds afterwards
  Texts messages;
};

class TypedNumbersTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
    platform::test::KeyPress(platform::KeyF(1));
    platform::test::KeyPress(platform::KeyF(7));
    Pump();
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (IsLoudspeakerObject(o)) speaker_ = o;
    ASSERT_NE(speaker_, nullptr);
  }

  Seen Type(Prompt prompt, const std::string& typed) {
    platform::test::DialogScript script;  // what this prompt's dialogs do, and no more
    dialogs_ = &script;
    MessageRecorder messages;
    Seen seen;
    switch (prompt) {
      case Prompt::kTurnAngle: seen.value = TurnedDegrees(typed); break;
      case Prompt::kPointX: seen.value = TypedPointX(typed); break;
      case Prompt::kGridSize:
        AnswerInputLine(typed);
        Command(kCmdGridSize);
        seen.value = gDrawing.gridSize;
        break;
      case Prompt::kSpeakerX:
      case Prompt::kSpeakerDelay:
        dialogs_->On("DIALOG_9", [&](DialogUser& user) {
          user.Type(prompt == Prompt::kSpeakerX ? 104 : 111, typed);
          user.Press(121);
          platform::Message m;
          while (platform::PeekMessage(m)) platform::DispatchMessage(m);
          if (!messages.texts().empty()) user.Press(122);  // refused: the dialog stays open until Cancel
        });
        RunSteps([&] { Command(kCmdEditLoudspeakers); }, {ClickSpeaker(), Key(platform::kKeyEnter)});
        seen.value = prompt == Prompt::kSpeakerX ? Speaker().position[0] : Speaker().delay;
        break;
      case Prompt::kDelay:
        AnswerInputLine(typed);
        RunSteps([&] { Command(kCmdSetSpeakerDelay); }, {ClickSpeaker(), Key(platform::kKeyEnter)});
        seen.value = Speaker().delay;
        break;
    }
    EXPECT_EQ(gInput.activeCommand, 0);
    seen.messages = messages.texts();
    return seen;
  }

  // The value a prompt shows before anything is typed.
  double Held(Prompt prompt) {
    switch (prompt) {
      case Prompt::kTurnAngle: return 0;
      case Prompt::kPointX: return LengthFromUserUnit(kFirstPointX);
      case Prompt::kGridSize: return gDrawing.gridSize;
      case Prompt::kSpeakerX: return Speaker().position[0];
      case Prompt::kDelay:
      case Prompt::kSpeakerDelay: return Speaker().delay;
    }
    return 0;
  }

  static bool ModelIsFinite() {
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      for (uint32_t i = 0; i < o->vertexCount; ++i)
        if (!std::isfinite(o->vertices[i].x) || !std::isfinite(o->vertices[i].y) || !std::isfinite(o->vertices[i].z))
          return false;
    return true;
  }

  static constexpr double kFirstPointX = 1;

 private:
  void AnswerInputLine(const std::string& typed) {
    dialogs_->On("DIALOG_3", [typed](DialogUser& user) {
      user.Type(105, typed);
      user.Press(102);
    });
  }

  // TURN of every room face about the window's centre by the typed angle:
  // the angle a corner of the room turned by, in degrees.
  double TurnedDegrees(const std::string& typed) {
    const ObjectVertex before = RoomCorner();
    AnswerInputLine(typed);
    const int w = DrawWindow->right, h = DrawWindow->bottom;
    RunSteps([&] { Command(kRoomTurn); },
             {Click(2, 2), Click(w - 3, h - 3), Key(platform::kKeyEnter), Click(w / 2, h / 2)});
    const ObjectVertex pivot = gInput.acceptedPoint, after = RoomCorner();
    const double turned =
        std::atan2(after.y - pivot.y, after.x - pivot.x) - std::atan2(before.y - pivot.y, before.x - pivot.x);
    return std::remainder(turned, 2 * kPi) * 180 / kPi;
  }

  // LINES from a point typed at (1, 2, 0) to one whose x is typed with "A":
  // the x of the point the command took last.
  double TypedPointX(const std::string& typed) {
    double x = 0;
    RunSteps([&] { Command(kRoomLines); }, {TypePointX(std::to_string(kFirstPointX)), TypePointX(typed), [&] {
                                              x = gInput.acceptedPoint.x;
                                              platform::test::KeyPress(platform::kKeyEnter);
                                            }});
    return x;
  }
  Step TypePointX(const std::string& x) {
    return [this, x] {
      dialogs_->On("DIALOG_1", [x](DialogUser& user) {
        user.Type(104, x);
        user.Type(105, "2");
        user.Type(106, "0");
        user.Press(102);
      });
      platform::test::KeyPress('A');
    };
  }

  static ObjectVertex RoomCorner() {
    for (const GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->layer == kRoomLayer && o->vertexCount > 0) return o->vertices[0];
    return {};
  }
  Loudspeaker Speaker() const {
    Loudspeaker s;
    EXPECT_TRUE(ReadLoudspeaker(speaker_, s));
    return s;
  }
  Step ClickSpeaker() const {
    return [o = speaker_] {
      const ObjectVertex& v = o->vertices[o->items[0].index];
      const int x = WorldToScreen(v.x, kAxisHorizontal), y = WorldToScreen(v.y, kAxisVertical);
      platform::test::MouseMove(DrawWindow->window, x, y);
      platform::test::Click(DrawWindow->window, x, y);
    };
  }
  static Step Click(int x, int y) {
    return [x, y] { platform::test::Click(DrawWindow->window, x, y); };
  }
  static Step Key(unsigned key) {
    return [key] { platform::test::KeyPress(key); };
  }

  GraphicObject* speaker_ = nullptr;
  platform::test::DialogScript* dialogs_ = nullptr;
};

// How a prompt answers a text: takes `value`, keeps what it held without a
// word (as for text that is no number), or keeps it after "Invalid entry !".
struct Answer {
  enum { kTakes, kKeeps, kRefuses } kind;
  double value = 0;  // NaN: any finite value
};
constexpr Answer kKeeps{Answer::kKeeps}, kRefuses{Answer::kRefuses};
constexpr Answer Takes(double value) { return {Answer::kTakes, value}; }

TEST_F(TypedNumbersTest, EveryPromptRefusesWhatIsNotAFiniteNumberAndAbsurdCoordinates) {
  struct Row {
    const char* typed;
    Answer turn, point, grid, speaker, delay;
  };
  const double anyAngle = std::nan("");
  // clang-format off
  const Row rows[] = {
      // typed    TURN angle       point x          grid size    speaker x        delay
      {"nan",     kKeeps,          kKeeps,          kRefuses,    kKeeps,          kRefuses},
      {"inf",     kKeeps,          kKeeps,          kRefuses,    kKeeps,          kRefuses},
      {"-inf",    kKeeps,          kKeeps,          kRefuses,    kKeeps,          kRefuses},
      {"1e999",   kKeeps,          kKeeps,          kRefuses,    kKeeps,          kRefuses},
      {"1e30",    Takes(anyAngle), kRefuses,        kRefuses,    kRefuses,        kRefuses},
      {"-0",      Takes(0),        Takes(0),        kRefuses,    Takes(0),        Takes(0)},
      {",5",      Takes(0.5),      Takes(0.5),      Takes(0.5),  Takes(0.5),      Takes(0.5)},
      {"1.5x",    kKeeps,          kKeeps,          kRefuses,    kKeeps,          kRefuses},
      {"0x10",    kKeeps,          kKeeps,          kRefuses,    kKeeps,          kRefuses},
      {"junk",    kKeeps,          kKeeps,          kRefuses,    kKeeps,          kRefuses},
  };
  // clang-format on
  const char* names[] = {"TURN", "point", "grid", "speaker", "delay"};
  for (const Row& row : rows) {
    const Answer answers[] = {row.turn, row.point, row.grid, row.speaker, row.delay};
    for (int p = 0; p < 5; ++p) {
      SCOPED_TRACE(std::string(names[p]) + " \"" + row.typed + "\"");
      const Prompt prompt = Prompt(p);
      const double held = Held(prompt);
      const Seen seen = Type(prompt, row.typed);
      const Answer& answer = answers[p];
      EXPECT_TRUE(ModelIsFinite());
      EXPECT_EQ(seen.messages, answer.kind == Answer::kRefuses ? Texts{kInvalidEntryMessage} : Texts{});
      if (answer.kind != Answer::kTakes) {
        EXPECT_EQ(seen.value, prompt == Prompt::kTurnAngle ? 0 : held);
      } else if (!std::isnan(answer.value)) {
        EXPECT_NEAR(seen.value, answer.value, 1e-4);
        EXPECT_FALSE(std::signbit(seen.value));  // "-0" is 0
      }
    }
  }
}

// Out to 10 km from the origin a coordinate is taken, typed in metres or
// in feet; a delay from 0 up to 10 s, in the prompt and in the dialog.
TEST_F(TypedNumbersTest, CoordinatesReachTenKilometresAndDelaysTenSeconds) {
  struct Case {
    Prompt prompt;
    uint32_t feet;
    const char* typed;
    bool taken;
    double value;
  };
  const double feet = 1 / 3.28084;
  // The loudspeaker taken far away comes last: it can be clicked no more.
  for (const Case& c : {
           Case{Prompt::kDelay, 0, "-25", false, 0},
           Case{Prompt::kDelay, 0, "1e9", false, 0},
           Case{Prompt::kDelay, 0, "10000", true, 10000},
           Case{Prompt::kDelay, 0, "10000.5", false, 0},
           Case{Prompt::kSpeakerDelay, 0, "-25", false, 0},
           Case{Prompt::kSpeakerDelay, 0, "1e9", false, 0},
           Case{Prompt::kSpeakerDelay, 0, "12.5", true, 12.5},
           Case{Prompt::kSpeakerDelay, 1, "9999.999", true, 9999.999},
           Case{Prompt::kPointX, 0, "10000", true, 10000},
           Case{Prompt::kPointX, 0, "-10000.5", false, 0},
           Case{Prompt::kPointX, 1, "32808", true, 32808 * feet},
           Case{Prompt::kPointX, 1, "32809", false, 0},
           Case{Prompt::kSpeakerX, 0, "10001", false, 0},
           Case{Prompt::kSpeakerX, 1, "40000", false, 0},
           Case{Prompt::kSpeakerX, 0, "-9999.5", true, -9999.5},
       }) {
    SCOPED_TRACE(std::string(c.typed) + (c.feet ? " ft" : ""));
    gUnitFlag = c.feet;
    const double held = Held(c.prompt);
    const Seen seen = Type(c.prompt, c.typed);
    EXPECT_EQ(seen.messages, c.taken ? Texts{} : Texts{kInvalidEntryMessage});
    EXPECT_NEAR(seen.value, c.taken ? c.value : held, 1e-3);
  }
}

}  // namespace
