// The Loudspeakers menu in kdn on the example hall, as the user works it:
// the prompts, the picks (points typed with "A" where the value matters),
// the dialogs and questions, and what each command leaves in the model:
// the loudspeakers, the modified mark and the undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "design/document/speaker_operations.h"
#include "design/model/loudspeaker.h"
#include "design/model/project.h"
#include "design/model/speaker_database_index.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "design/shell/loudspeaker_commands.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/core/geometry.h"
#include "framework/core/perspective.h"
#include "framework/model/face_geometry.h"
#include "framework/model/graphic_object.h"
#include "framework/view/rendering.h"
#include "framework/view/view_panel.h"
#include "framework/view/view_transform.h"
#include "platform/dialog.h"
#include "platform/test_seams.h"
#include "tests/design/model/speaker_objects.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogUser;
using Step = std::function<void()>;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr double kDeg = kPi / 180;

class LoudspeakerCommandTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
    // The picks are clicks in the plan view.
    platform::test::KeyPress(platform::KeyF(1));
    Pump();
    speakers_ = SpeakerObjects();
    ASSERT_EQ(speakers_.size(), 2u);
  }

  static std::vector<GraphicObject*> SpeakerObjects() {
    std::vector<GraphicObject*> found;
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (IsLoudspeakerObject(o)) found.push_back(o);
    return found;
  }
  static Loudspeaker Read(GraphicObject* o) {
    Loudspeaker s;
    EXPECT_TRUE(ReadLoudspeaker(o, s));
    return s;
  }
  // The loudspeaker changed, its symbol rebuilt where it now stands.
  static void Change(GraphicObject* o, const std::function<void(Loudspeaker&)>& change) {
    Loudspeaker s = Read(o);
    change(s);
    WriteLoudspeaker(s, o);
    ASSERT_EQ(BuildSpeakerSymbol(s, o, false), 1);
  }

  void SelectDatabase() {
    platform::test::FileDialogScript files;
    files.Choose(CopyExample("EXAMPLE.KSB"));
    Command(kCmdSelectSpeakerDatabase);
    ASSERT_FALSE(gDesignShell.speakerDatabase.path.empty());
  }

  // The command `id`: a click on the symbol of each of `selected` and Enter
  // (none when no object is to be selected), then `steps`, each acting when
  // the command waits.
  void Run(int id, const std::vector<GraphicObject*>& selected, std::vector<Step> steps = {}) {
    std::vector<Step> all;
    for (GraphicObject* o : selected) all.push_back(ClickSymbol(o));
    if (!selected.empty()) all.push_back(Key(platform::kKeyEnter));
    all.insert(all.end(), steps.begin(), steps.end());
    gProject.modified = 0;
    RunSteps([&] { Command(id); }, std::move(all));
    EXPECT_EQ(gInput.activeCommand, 0);
  }
  // A click on the first corner of the object's outline in the plan view.
  static Step ClickSymbol(GraphicObject* o) {
    return [o] {
      const ObjectVertex& v = o->vertices[o->items[0].index];
      const int x = WorldToScreen(v.x, kAxisHorizontal), y = WorldToScreen(v.y, kAxisVertical);
      platform::test::MouseMove(DrawWindow->window, x, y);
      platform::test::Click(DrawWindow->window, x, y);
    };
  }

  // A step that types the point (x, y, z) with "A", as a click takes one.
  Step TypePoint(double x, double y, double z) {
    return [this, x, y, z] {
      dialogs_.On("DIALOG_1", [x, y, z](DialogUser& user) {
        user.Type(104, std::to_string(x));
        user.Type(105, std::to_string(y));
        user.Type(106, std::to_string(z));
        user.Press(102);
      });
      platform::test::KeyPress('A');
    };
  }
  static Step Key(unsigned key) {
    return [key] { platform::test::KeyPress(key); };
  }
  // A step that checks the prompt of the running command and the status
  // text it ends in.
  static Step ExpectPrompt(const std::string& prompt, Step then) {
    return [prompt, then] {
      EXPECT_EQ(gDrawing.prompt, prompt);
      then();
    };
  }

  std::vector<GraphicObject*> speakers_;
  platform::test::DialogScript dialogs_;
};

TEST_F(LoudspeakerCommandTest, ANewLoudspeakerTakesTheTypeChosenInItsDialogAndCancelPlacesNone) {
  SelectDatabase();
  dialogs_.On("DIALOG_9", [](DialogUser& user) {
    EXPECT_EQ(user.Text(101), "");
    user.Press(123);  // Select Loudspeaker over the example database
    platform::Message m;
    while (platform::PeekMessage(m)) platform::DispatchMessage(m);
    EXPECT_EQ(user.Text(101), "KV8C");
    user.Type(103, "FILL");
    user.Press(121);
  });
  dialogs_.On("DIALOG_12", [](DialogUser& user) {
    EXPECT_EQ(user.Items(101), (Texts{"KV12", "KV8C"}));
    user.DoubleClick(101, 1);
  });
  Run(kCmdNewLoudspeaker, {}, {ExpectPrompt("ADD NEW LOUDSPEAKER > ", TypePoint(2, 3, 1.5))});
  std::vector<GraphicObject*> now = SpeakerObjects();
  ASSERT_EQ(now.size(), 3u);
  const Loudspeaker added = Read(now[0]);
  EXPECT_EQ(added.name, "FILL");
  EXPECT_EQ(SpeakerTypeOf(added)->TypeName(), "KV8C");
  EXPECT_EQ(added.position, (std::array<float, 3>{2, 3, 1.5f}));
  EXPECT_TRUE(added.IsOn());
  EXPECT_GT(added.intensity[3], 0.0f);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
  EXPECT_EQ(gDrawing.prompt, "");

  // Cancel in the dialog, and Escape at the point, leave the list as it was.
  const GraphicObject* head = gObjects.model.first;
  dialogs_.On("DIALOG_9", [](DialogUser& user) { user.Press(122); });
  Run(kCmdNewLoudspeaker, {}, {TypePoint(4, 0, 1)});
  Run(kCmdNewLoudspeaker, {}, {Key(platform::kKeyEscape)});
  EXPECT_EQ(SpeakerObjects().size(), 3u);
  EXPECT_EQ(gObjects.model.first, head);
  EXPECT_EQ(gProject.modified, 0);

  // Each command took its snapshot first: one undo takes the new one away.
  Command(kCmdUndo);
  Command(kCmdUndo);
  Command(kCmdUndo);
  EXPECT_EQ(SpeakerObjects().size(), 2u);
}

TEST_F(LoudspeakerCommandTest, EditRunsTheDialogOnEachSelectedLoudspeakerWithItsTypeHighlighted) {
  int opened = 0;
  for (const char* name : {"LEFT 2", "RIGHT 2"}) {
    dialogs_.On("DIALOG_9", [&opened, name](DialogUser& user) {
      EXPECT_EQ(user.Text(101), "KV12");
      // The one being edited is drawn picked, the others not.
      int picked = 0;
      for (GraphicObject* o : SpeakerObjects()) picked += (o->state & kStateSelected) != 0;
      EXPECT_EQ(picked, 1);
      ++opened;
      user.Type(103, name);
      user.Press(121);
    });
  }
  Run(kCmdEditLoudspeakers, speakers_, {});
  EXPECT_EQ(opened, 2);
  Texts names;
  for (GraphicObject* o : SpeakerObjects()) names.push_back(Read(o).name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Texts{"LEFT 2", "RIGHT 2"}));
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
  for (GraphicObject* o : SpeakerObjects()) EXPECT_EQ(o->state & kStateSelected, 0u);

  dialogs_.On("DIALOG_9", [](DialogUser& user) { user.Press(122); });
  Run(kCmdEditLoudspeakers, {SpeakerObjects()[0]}, {});
  EXPECT_EQ(gProject.modified, 0);
}

TEST_F(LoudspeakerCommandTest, SwitchingOffAndOnSetsTheStateAndColourOfTheSelectedOnly) {
  Run(kCmdSwitchSpeakersOff, {speakers_[0]});
  EXPECT_FALSE(Read(speakers_[0]).IsOn());
  EXPECT_EQ(speakers_[0]->colour, kSpeakerColourOff);
  EXPECT_TRUE(Read(speakers_[1]).IsOn());
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
  EXPECT_EQ(speakers_[0]->state & kStateSelected, 0u);
  Run(kCmdSwitchSpeakersOn, {speakers_[0]});
  EXPECT_TRUE(Read(speakers_[0]).IsOn());
  EXPECT_EQ(speakers_[0]->colour, kSpeakerColourOn);
}

TEST_F(LoudspeakerCommandTest, TheCommonEqualiserStartsAtZeroAndMovesEveryGainByTheChange) {
  Change(speakers_[0], [](Loudspeaker& s) { s.eqGain = {-9, -9, -9, -9, -9, -9, -9}; });
  Change(speakers_[1], [](Loudspeaker& s) { s.eqGain = {-12, -9, -9, -9, -9, -9, -9}; });
  MessageRecorder boxes;
  boxes.Answer(kIdYes);
  dialogs_.On("EQ_DLG", [](DialogUser& user) {
    for (int id = 101; id <= 108; ++id) EXPECT_EQ(user.Text(id), "0.0") << id;
    const platform::Window bar = platform::GetDialogItem(user.dialog(), 201);
    platform::test::ScrollAction(bar, platform::ScrollBar::kControl, platform::kScrollLineUp);
    platform::test::ScrollAction(bar, platform::ScrollBar::kControl, platform::kScrollLineUp);
    user.Press(401);
  });
  Run(kCmdSpeakerEqualizer, speakers_);
  ASSERT_EQ(boxes.messages().size(), 1u);
  EXPECT_EQ(boxes.messages()[0].text, kCommonEqualizerQuestion);
  EXPECT_EQ(boxes.messages()[0].caption, kCommonEqualizerCaption);
  EXPECT_EQ(Read(speakers_[0]).eqGain[0], -7.0f);
  EXPECT_EQ(Read(speakers_[1]).eqGain[0], -10.0f);
  EXPECT_EQ(Read(speakers_[1]).eqGain[1], -9.0f);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

// "No" equalises each in turn; gains above 0 dB in total are refused for
// that one with the reason, and the command stops there.
TEST_F(LoudspeakerCommandTest, EachInTurnStopsAtTheFirstEqualisationAboveZeroDb) {
  for (GraphicObject* o : speakers_) Change(o, [](Loudspeaker& s) { s.eqGain = {-9, -9, -9, -9, -9, -9, -9}; });
  MessageRecorder boxes;
  boxes.Answer(kIdNo);
  for (int i = 0; i < 2; ++i)
    dialogs_.On("EQ_DLG", [](DialogUser& user) {
      EXPECT_EQ(user.Text(101), "-9.0");
      // The master to the top: every band at 0 dB, 8.45 dB in total.
      const platform::Window master = platform::GetDialogItem(user.dialog(), 208);
      platform::test::ScrollAction(master, platform::ScrollBar::kControl, platform::kScrollTop);
      user.Press(401);
    });
  Run(kCmdSpeakerEqualizer, speakers_);
  ASSERT_EQ(boxes.messages().size(), 2u);
  EXPECT_EQ(boxes.messages()[1].text, "Total output exceeds the speaker\x92s maximum power (total > 0.0 dB).");
  EXPECT_EQ(boxes.messages()[1].caption, "EQ settings could not be applied.");
  // The second loudspeaker was not offered.
  EXPECT_EQ(std::count(dialogs_.opened().begin(), dialogs_.opened().end(), "EQ_DLG"), 1);
  EXPECT_EQ(Read(speakers_[0]).eqGain[0], -9.0f);
  EXPECT_EQ(gProject.modified, 0);
}

TEST_F(LoudspeakerCommandTest, AlignmentDelaysTheNearerLoudspeakerUntilBothArriveTogether) {
  Change(speakers_[0], [](Loudspeaker& s) { s.position = {0, 0, 0}; });
  Change(speakers_[1], [](Loudspeaker& s) { s.position = {34.3f, 0, 0}; });
  platform::test::KeyPress(platform::KeyF(7));  // both in the view, to be clicked
  Pump();
  Run(kCmdAlignSpeakers, speakers_, {ExpectPrompt("LOUDSPEAKER ALIGNMENT > ", TypePoint(68.6, 0, 0))});
  EXPECT_NEAR(Read(speakers_[0]).delay, 0.0, 1e-3);
  EXPECT_NEAR(Read(speakers_[1]).delay, 100.0, 1e-3);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);

  // Escape at the reference point changes nothing.
  Run(kCmdAlignSpeakers, speakers_, {Key(platform::kKeyEscape)});
  EXPECT_EQ(gProject.modified, 0);
  for (GraphicObject* o : speakers_) EXPECT_EQ(o->state & kStateSelected, 0u);
}

TEST_F(LoudspeakerCommandTest, TheTypedDelayGoesToEverySelectedOneAndTextIsRefused) {
  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Delay Time [ms]:");
    EXPECT_EQ(user.Text(105), "0.0");
    user.Type(105, "12,5");
    user.Press(102);
  });
  Run(kCmdSetSpeakerDelay, speakers_);
  for (GraphicObject* o : speakers_) EXPECT_EQ(Read(o).delay, 12.5f);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);

  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "soon");
    user.Press(102);
  });
  MessageRecorder messages;
  Run(kCmdSetSpeakerDelay, speakers_);
  EXPECT_EQ(messages.texts(), Texts{"Invalid entry !"});
  for (GraphicObject* o : speakers_) EXPECT_EQ(Read(o).delay, 12.5f);
  EXPECT_EQ(gProject.modified, 0);
}

TEST_F(LoudspeakerCommandTest, AimingAtATargetStraightAboveLooksUp) {
  const Loudspeaker before = Read(speakers_[0]);
  const auto& p = before.position;
  Run(kCmdAimSpeakersAtTarget, {speakers_[0]}, {ExpectPrompt("AIM LOUDSPEAKERS > ", TypePoint(p[0], p[1], p[2] + 10))});
  GraphicObject* aimed = SpeakerObjects()[0];
  EXPECT_NEAR(Read(aimed).horizontal, kPi / 2, 1e-6);
  EXPECT_NEAR(Read(aimed).vertical, kPi / 2, 1e-6);
  EXPECT_EQ(Read(aimed).rotation, before.rotation);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

TEST_F(LoudspeakerCommandTest, TurnAndTiltMoveTheArrayAboutTheBasePoint) {
  Change(speakers_[0], [](Loudspeaker& s) {
    s.position = {11, 0, 2};
    s.horizontal = 0;
    s.vertical = 0;
  });
  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Angle [deg] : ");
    EXPECT_EQ(user.Text(105), "0");
    user.Type(105, "90");
    user.Press(102);
  });
  Run(kCmdTurnArray, {speakers_[0]}, {ExpectPrompt("Turn speakers", TypePoint(10, 0, 0))});
  Loudspeaker turned = Read(speakers_[0]);
  EXPECT_NEAR(turned.position[0], 10, 1e-5);
  EXPECT_NEAR(turned.position[1], 1, 1e-5);
  EXPECT_EQ(turned.position[2], 2);
  EXPECT_NEAR(turned.horizontal, kPi / 2, 1e-6);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);

  // Aimed along +y now: a tilt about a level base point raises it in the yz plane.
  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    user.Type(105, "10");
    user.Press(102);
  });
  Run(kCmdTiltArray, {SpeakerObjects()[0]}, {ExpectPrompt("Tilt speakers>", TypePoint(10, 0, 2))});
  const Loudspeaker tilted = Read(SpeakerObjects()[0]);
  EXPECT_NEAR(tilted.vertical, 10 * kDeg, 1e-6);
  EXPECT_NEAR(tilted.position[0], 10, 1e-5);

  // Escape at the base point, or Cancel at the angle, leave it.
  const Loudspeaker before = Read(SpeakerObjects()[0]);
  Run(kCmdTurnArray, {SpeakerObjects()[0]}, {Key(platform::kKeyEscape)});
  dialogs_.On("DIALOG_3", [](DialogUser& user) { user.Press(103); });
  Run(kCmdTiltArray, {SpeakerObjects()[0]}, {TypePoint(0, 0, 0)});
  EXPECT_EQ(Read(SpeakerObjects()[0]).position, before.position);
  EXPECT_EQ(gProject.modified, 0);
  for (GraphicObject* o : SpeakerObjects()) EXPECT_EQ(o->state & kStateSelected, 0u);
}

// The symbol lies where the loudspeaker stands, turned as it aims: its
// axis point one unit along the axis (the last two vertices are the
// symbol's axis and up points).
void ExpectSymbolAgrees(GraphicObject* o) {
  Loudspeaker s;
  ASSERT_TRUE(ReadLoudspeaker(o, s));
  const double h = s.horizontal, v = s.vertical;
  const double axis[3] = {std::cos(v) * std::cos(h), std::cos(v) * std::sin(h), std::sin(v)};
  const ObjectVertex& axisPoint = o->vertices[o->vertexCount - 2];
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(Coordinate(axisPoint, i), s.position[size_t(i)] + axis[i], 1e-4) << i;
}

TEST_F(LoudspeakerCommandTest, MoveTakesTheOffsetAndEscapeAtTheOffsetPutsThemBack) {
  const Loudspeaker before = Read(speakers_[0]);
  const std::vector<ObjectVertex> symbol(speakers_[0]->vertices, speakers_[0]->vertices + speakers_[0]->vertexCount);
  Run(kCmdMoveSpeakers, {speakers_[0]},
      {ExpectPrompt("MOVE LOUDSPEAKERS > ", TypePoint(6, -6, 5)),
       [] {
         // The symbol follows the cursor before the offset is taken.
         platform::test::MouseMove(DrawWindow->window, WorldToScreen(10, kAxisHorizontal),
                                   WorldToScreen(-6, kAxisVertical));
       },
       Key(platform::kKeyEscape)});
  EXPECT_EQ(Read(speakers_[0]).position, before.position);
  for (size_t i = 0; i < symbol.size(); ++i) {
    EXPECT_NEAR(speakers_[0]->vertices[i].x, symbol[i].x, 1e-4) << i;
    EXPECT_NEAR(speakers_[0]->vertices[i].y, symbol[i].y, 1e-4) << i;
  }
  EXPECT_EQ(gProject.modified, 0);

  Run(kCmdMoveSpeakers, {speakers_[0]}, {TypePoint(6, -6, 5), TypePoint(7, -4, 4.5)});
  const Loudspeaker moved = Read(SpeakerObjects()[0]);
  EXPECT_NEAR(moved.position[0], before.position[0] + 1, 1e-5);
  EXPECT_NEAR(moved.position[1], before.position[1] + 2, 1e-5);
  EXPECT_NEAR(moved.position[2], before.position[2] - 0.5, 1e-5);
  ExpectSymbolAgrees(SpeakerObjects()[0]);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

// Two passes give two copies of each source, nameless, at the source plus
// each offset; the pass that is cancelled leaves nothing behind.
TEST_F(LoudspeakerCommandTest, CopyPlacesOneCopyOfTheSelectionPerOffsetUntilTheInputEnds) {
  const Loudspeaker left = Read(speakers_[0]), right = Read(speakers_[1]);
  Run(kCmdCopySpeakers, speakers_,
      {ExpectPrompt("COPY LOUDSPEAKERS > ", TypePoint(0, 0, 0)), TypePoint(2, 0, 0), TypePoint(4, 0, 1),
       Key(platform::kKeyEscape)});
  const std::vector<GraphicObject*> now = SpeakerObjects();
  ASSERT_EQ(now.size(), 6u);
  int atOffset[2] = {0, 0};
  for (GraphicObject* o : now) {
    if (o == speakers_[0] || o == speakers_[1]) continue;
    const Loudspeaker copy = Read(o);
    EXPECT_EQ(copy.name, "");
    EXPECT_EQ(copy.group, "");
    for (const Loudspeaker* source : {&left, &right}) {
      const float dx = copy.position[0] - source->position[0];
      if (copy.position[1] != source->position[1]) continue;
      if (std::fabs(dx - 2) < 1e-5 && copy.position[2] == source->position[2]) ++atOffset[0];
      if (std::fabs(dx - 4) < 1e-5 && std::fabs(copy.position[2] - source->position[2] - 1) < 1e-5) ++atOffset[1];
    }
    ExpectSymbolAgrees(o);
    EXPECT_EQ(o->state & kStateSelected, 0u);
  }
  EXPECT_EQ(atOffset[0], 2);
  EXPECT_EQ(atOffset[1], 2);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

TEST_F(LoudspeakerCommandTest, CopyBeyondTheLimitIsRefusedBeforeTheBasePoint) {
  // 4999 loudspeakers: a copy of two would make 5001.
  for (int i = 0; i < 4997; ++i) PlaceSpeaker(Loudspeaker{});
  MessageRecorder messages;
  Run(kCmdCopySpeakers, speakers_);
  EXPECT_EQ(messages.texts(), Texts{"Maximum amount of speakers is 5000"});
  EXPECT_EQ(SpeakerObjects().size(), 4999u);
}

TEST_F(LoudspeakerCommandTest, MirrorInThePlanViewReflectsACopyAcrossTheLine) {
  Change(speakers_[0], [](Loudspeaker& s) {
    s.position = {2, 3, 4};
    s.horizontal = float(30 * kDeg);
  });
  Run(kCmdMirrorSpeakers, {speakers_[0]},
      {ExpectPrompt("MIRROR LOUDSPEAKERS > ", TypePoint(0, 0, 0)), TypePoint(0, 1, 0)});
  const std::vector<GraphicObject*> now = SpeakerObjects();
  ASSERT_EQ(now.size(), 3u);
  const Loudspeaker mirrored = Read(now[0]);
  EXPECT_NEAR(mirrored.position[0], -2, 1e-5);
  EXPECT_EQ(mirrored.position[1], 3);
  EXPECT_EQ(mirrored.position[2], 4);
  EXPECT_NEAR(mirrored.horizontal, 150 * kDeg, 1e-5);
  EXPECT_EQ(Read(speakers_[0]).position, (std::array<float, 3>{2, 3, 4}));
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);

  Run(kCmdMirrorSpeakers, {speakers_[0]}, {TypePoint(0, 0, 0), Key(platform::kKeyEscape)});
  EXPECT_EQ(SpeakerObjects().size(), 3u);
  EXPECT_EQ(gProject.modified, 0);
}

TEST_F(LoudspeakerCommandTest, DeleteRemovesTheSelectedAndUndoBringsThemBack) {
  Run(kCmdDeleteSpeakers, {speakers_[1]}, {});
  EXPECT_EQ(SpeakerObjects(), std::vector<GraphicObject*>{speakers_[0]});
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
  Command(kCmdUndo);
  EXPECT_EQ(SpeakerObjects().size(), 2u);
}

// The balloon of the two loudspeakers as a one-record database with their
// symbols as its shape; one object alone makes no cluster.
TEST_F(LoudspeakerCommandTest, TheClusterOfTheSelectionIsWrittenAsAOneRecordDatabase) {
  dialogs_.On("DIALOG_3", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Cluster Description :");
    user.Type(105, "Stage pair");
    user.Press(102);
  });
  platform::test::FileDialogScript files;
  files.Choose(Path("pair"));
  Run(kCmdClusterBalloons, speakers_);
  uint32_t shape = 0;
  for (GraphicObject* o : speakers_) shape += 48 + (o->vertexCount - 2) * 12 + o->itemCount * 4;
  ASSERT_TRUE(fs::exists(Path("pair.KSB")));
  EXPECT_EQ(fs::file_size(Path("pair.KSB")), 32 + 19160 + shape);
  SpeakerDatabaseIndex index;
  ASSERT_EQ(OpenSpeakerDatabaseIndex(index, Path("pair.KSB")), 1);
  ASSERT_EQ(index.entries.size(), 1u);
  EXPECT_EQ(index.entries[0].name, "CLUSTER");
  for (GraphicObject* o : speakers_) EXPECT_EQ(o->state & kStateSelected, 0u);
  // Computing a cluster changes no loudspeaker.
  EXPECT_EQ(gProject.modified, 0);

  Run(kCmdClusterBalloons, {speakers_[0]});
  EXPECT_EQ(files.dialogs().size(), 1u);
}

// Looking out of the loudspeaker: its rings, the band buttons, a click at
// the centre changes nothing, one at the right edge turns it a quarter of a
// right angle... to the right, Escape keeps the angles; the view comes back.
class PerspectiveAimingTest : public LoudspeakerCommandTest {
 protected:
  // A click on the band button of `band`, where it stands in the main window's left margin.
  static void ClickBandButton(int band) {
    platform::test::Click(MainWindow.window, 16, kDrawMarginTop + 32 * band + 16);
  }
  // A click at (x, y) of the drawing window.
  static Step ClickAt(std::function<int()> x, std::function<int()> y) {
    return [x, y] {
      platform::test::MouseMove(DrawWindow->window, x(), y());
      platform::test::Click(DrawWindow->window, x(), y());
    };
  }
};

TEST_F(PerspectiveAimingTest, ACentreClickKeepsTheAimAndTheBandButtonsChangeTheRings) {
  const int16_t mode = gView.mode;
  const std::array<float, 3> angles = gView.perspectiveAngles;
  ASSERT_NE(gViewPanel, platform::Window::kNone);
  const Loudspeaker before = Read(speakers_[0]);
  auto centreX = [] { return int(gView.centreX); };
  auto centreY = [] { return int(gView.centreY); };
  Run(kCmdAimByPerspective, {speakers_[0]},
      {
          [&] {
            EXPECT_EQ(gDrawing.prompt, "Aim loudspeaker > ");
            EXPECT_EQ(gView.mode, kViewPerspective);
            EXPECT_EQ(gView.eyePoint.x, before.position[0]);
            EXPECT_EQ(gViewPanel, platform::Window::kNone);
            ASSERT_NE(gRender.isobarRings, nullptr);
            EXPECT_EQ(gRender.isobarRings->vertexCount, 216u);
            EXPECT_EQ(gRender.isobarBand, 3);  // "all bands" shows 1 kHz
            EXPECT_EQ(speakers_[0]->state, kStateHiddenMask);
            ClickBandButton(6);
          },
          [&] {
            EXPECT_EQ(gRender.isobarBand, 6);
            ClickAt(centreX, centreY)();
          },
          Key(platform::kKeyEnter),
      });
  const Loudspeaker after = Read(SpeakerObjects()[0]);
  EXPECT_NEAR(after.horizontal, before.horizontal, 1e-6);
  EXPECT_NEAR(after.vertical, before.vertical, 1e-6);
  EXPECT_EQ(gView.mode, mode);
  EXPECT_EQ(gView.perspectiveAngles, angles);
  EXPECT_EQ(gView.rotationStep, kRotationStep);
  EXPECT_EQ(gRender.isobarRings, nullptr);
  ASSERT_NE(gViewPanel, platform::Window::kNone);
  // The panel shows the plan view the aiming started from.
  EXPECT_EQ(platform::GetCheckedRadioButton(gViewPanel, 101, 104), 101);
  for (GraphicObject* o : SpeakerObjects()) EXPECT_EQ(o->state, 0u);
}

TEST_F(PerspectiveAimingTest, AClickAtTheRightEdgeTurnsAQuarterOfAHalfTurnAndEscapeKeepsTheNext) {
  for (GraphicObject* o : speakers_) Change(o, [](Loudspeaker& s) { s.vertical = 0; });
  // They are aimed in list order.
  GraphicObject* firstObject = SpeakerObjects()[0];
  GraphicObject* secondObject = SpeakerObjects()[1];
  const Loudspeaker first = Read(firstObject), second = Read(secondObject);
  auto rightEdge = [] { return DrawWindow->right - 1; };
  auto centreY = [] { return int(gView.centreY); };
  Run(kCmdAimByPerspective, {firstObject, secondObject},
      {ClickAt(rightEdge, centreY), Key(platform::kKeyEnter), Key(platform::kKeyEscape)});
  // The wider than high window maps its half width to 45 degrees.
  ASSERT_GT(DrawWindow->right, DrawWindow->bottom);
  const Loudspeaker aimed = Read(firstObject), kept = Read(secondObject);
  EXPECT_NEAR(aimed.horizontal, first.horizontal - kPi / 4, 0.01);
  EXPECT_EQ(kept.horizontal, second.horizontal);
  EXPECT_EQ(kept.vertical, second.vertical);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

}  // namespace
