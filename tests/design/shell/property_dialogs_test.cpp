// kdn's property dialogs as the user works them: Edit Loudspeaker with its
// nested Select Loudspeaker and equaliser, the equaliser in both modes, and
// Select Database followed by the selection over databases of each version.
#include "design/shell/property_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "design/model/loudspeaker.h"
#include "design/model/speaker_database_index.h"
#include "design/shell/core/command_table.h"
#include "design/shell/design_shell.h"
#include "design/shell/speaker_selection_dialog.h"
#include "framework/core/geometry.h"
#include "framework/model/graphic_object.h"
#include "platform/dialog.h"
#include "platform/test_seams.h"
#include "tests/design/model/database_fixtures.h"
#include "tests/design/model/speaker_fixtures.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::DialogUser;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr double kRadiansPerDegree = 0.017453292522222223;

// A type rated 100 W in every band.
SpeakerType Rated100W() {
  SpeakerType type;
  for (int b = 0; b < kBandCount; ++b) {
    type.SetRatedPower(b, 100.0f);
    type.SetSensitivity(b, 96.0f);
  }
  return type;
}

// Handles what the user's last action queued, nested dialogs included, so
// that an action's effect can be read at once.
void Settle() {
  platform::Message m;
  while (platform::PeekMessage(m)) platform::DispatchMessage(m);
}

platform::Window Bar(DialogUser& user, int id) { return platform::GetDialogItem(user.dialog(), id); }
int BarPosition(DialogUser& user, int id) {
  return platform::GetScrollPosition(Bar(user, id), platform::ScrollBar::kControl);
}

class PropertyDialogTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    Start();
  }

  // Select Database (1021) on a copy of `file` (a fixture or an example).
  void SelectDatabase(const fs::path& file) {
    const std::string path = Path(file.filename().string());
    fs::copy_file(file, path, fs::copy_options::overwrite_existing);
    platform::test::FileDialogScript files;
    files.Choose(path);
    Command(kCmdSelectSpeakerDatabase);
    ASSERT_EQ(gDesignShell.speakerDatabase.path, path);
  }

  // The edit dialog on `speaker` of a type rated 100 W, worked by `actions`.
  int Edit(Loudspeaker& speaker, std::string& typeName, std::function<void(DialogUser&)> actions) {
    const SpeakerType type = Rated100W();
    dialogs_.On("DIALOG_9", std::move(actions));
    const int result = ShowEditLoudspeakerDialog(speaker, typeName, &type);
    EXPECT_EQ(dialogs_.leftOpen(), 0);
    return result;
  }

  // Every dialog's actions, the nested ones' too (one script serves at a time).
  platform::test::DialogScript dialogs_;
};

TEST_F(PropertyDialogTest, EditShowsTheLoudspeakerInItsFormatsAndTakesFeetBackAsMetres) {
  Loudspeaker speaker = AwkwardLoudspeaker();
  std::string typeName = "HORN12";
  ASSERT_EQ(
      Edit(speaker, typeName,
           [](DialogUser& user) {
             EXPECT_EQ(user.Caption(), "Edit Loudspeaker");
             EXPECT_EQ(user.Text(101), "HORN12");
             EXPECT_EQ(user.Text(102), "FOH");
             EXPECT_EQ(user.Text(103), "MAIN L");
             EXPECT_EQ((Texts{user.Text(104), user.Text(105), user.Text(106)}), (Texts{"1.235", "-7.500", "3.333"}));
             EXPECT_EQ(user.Text(144), "m");
             EXPECT_EQ((Texts{user.Text(107), user.Text(108), user.Text(109)}), (Texts{"  7", "-29", "172"}));
             EXPECT_EQ(user.Text(111), "12.346");
             EXPECT_TRUE(user.IsChecked(112));
             EXPECT_FALSE(user.IsChecked(113));
             EXPECT_FALSE(user.IsChecked(130));
             EXPECT_TRUE(user.IsChecked(131));
             EXPECT_EQ(user.Text(114), "-3.1");
             EXPECT_EQ(user.Text(120), "-2.0");
             EXPECT_EQ(user.Text(134), "40.10");
             EXPECT_EQ(user.Text(141), "377.50");
             EXPECT_EQ(user.Text(143), "3.62");
             user.Press(121);
           }),
      1);

  gUnitFlag = 1;
  ASSERT_EQ(
      Edit(speaker, typeName,
           [](DialogUser& user) {
             EXPECT_EQ((Texts{user.Text(104), user.Text(105), user.Text(106)}), (Texts{"4.050", "-24.606", "10.936"}));
             EXPECT_EQ(user.Text(144), "ft");
             user.Type(104, "3.28084");
             user.Press(121);
           }),
      1);
  EXPECT_EQ(speaker.position[0], 1.0f);
  EXPECT_EQ(speaker.position[1], -7.5f);
}

TEST_F(PropertyDialogTest, TypedAnglesAreStoredWithinAHalfTurnInRadians) {
  const struct Case {
    int field;
    const char* typed;
    double degrees;
  } cases[] = {{107, "270", -90}, {108, "180", 180}, {109, "-190", 170}, {107, "540", 180}};
  for (const Case& c : cases) {
    Loudspeaker speaker = AwkwardLoudspeaker();
    std::string typeName = "HORN12";
    ASSERT_EQ(Edit(speaker, typeName,
                   [&c](DialogUser& user) {
                     user.Type(c.field, c.typed);
                     user.Press(121);
                   }),
              1);
    const float stored = c.field == 107 ? speaker.horizontal : c.field == 108 ? speaker.vertical : speaker.rotation;
    EXPECT_EQ(stored, float(c.degrees * kRadiansPerDegree)) << c.typed;
  }
}

// A typed ',' turns into '.' as it is typed, in every number field.
TEST_F(PropertyDialogTest, EveryNumberFieldTakesACommaAsAPointWhileTyping) {
  const int fields[] = {104, 105, 106, 107, 108, 109, 111, 114, 115, 116, 117, 118, 119, 120};
  Loudspeaker speaker = AwkwardLoudspeaker();
  std::string typeName = "HORN12";
  ASSERT_EQ(Edit(speaker, typeName,
                 [&](DialogUser& user) {
                   for (int id : fields) {
                     const bool delay = id == 111;  // which is never negative
                     user.Type(id, delay ? "1,5" : "-1,5");
                     Settle();
                     EXPECT_EQ(user.Text(id), delay ? "1.5" : "-1.5") << id;
                   }
                   user.Type(103, "A,B");  // not a number
                   Settle();
                   EXPECT_EQ(user.Text(103), "A,B");
                   user.Press(121);
                 }),
            1);
  EXPECT_EQ(speaker.position, (std::array<float, 3>{-1.5f, -1.5f, -1.5f}));
  EXPECT_EQ(speaker.rotation, float(-1.5 * kRadiansPerDegree));
  EXPECT_EQ(speaker.delay, 1.5f);
  EXPECT_EQ(speaker.eqGain[6], -1.5f);
  EXPECT_EQ(speaker.name, "A,B");
}

TEST_F(PropertyDialogTest, EqGainsAboveZeroDbInTotalAreRefusedAndThoseBelowTaken) {
  Loudspeaker speaker = AwkwardLoudspeaker();
  speaker.eqGain.fill(-9.0f);
  std::string typeName = "HORN12";
  // All seven raised to 0 dB: 8.45 dB in total.
  dialogs_.On("EQ_DLG", [](DialogUser& user) {
    EXPECT_EQ(user.Caption(), "Equalizer");
    EXPECT_EQ(user.Text(101), "-9.0");
    platform::test::ScrollAction(Bar(user, 208), platform::ScrollBar::kControl, platform::kScrollTop);
    Settle();
    EXPECT_EQ(user.Text(107), "0.0");
    EXPECT_EQ(user.Text(109), "8.5");
    user.Press(401);
  });
  dialogs_.On("EQ_DLG", [](DialogUser& user) {
    EXPECT_EQ(user.Text(109), "-0.5");
    user.Press(401);
  });
  MessageRecorder messages;
  ASSERT_EQ(Edit(speaker, typeName,
                 [&](DialogUser& user) {
                   user.Press(124);
                   Settle();
                   ASSERT_EQ(messages.messages().size(), 1u);
                   EXPECT_EQ(messages.messages()[0].text,
                             "Total output exceeds the speaker\x92s maximum power (total > 0.0 dB).");
                   EXPECT_EQ(messages.messages()[0].caption, "EQ settings could not be applied.");
                   EXPECT_EQ(user.Text(114), "-9.0");
                   EXPECT_EQ(user.Text(134), "40.10");

                   user.Press(124);
                   Settle();
                   EXPECT_EQ(user.Text(114), "-9.00");
                   EXPECT_EQ(user.Text(134), "12.59");  // 100 W at -9 dB
                   EXPECT_EQ(user.Text(141), "88.12");
                   EXPECT_EQ(user.Text(143), "-0.55");
                   user.Press(121);
                 }),
            1);
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(speaker.eqGain[0], -9.0f);
  EXPECT_NEAR(speaker.power[0], 12.589f, 1e-3);
}

TEST_F(PropertyDialogTest, EmptyTypeNameKeepsTheDialogOpen) {
  Loudspeaker speaker;
  std::string typeName;
  MessageRecorder messages;
  EXPECT_EQ(Edit(speaker, typeName,
                 [&](DialogUser& user) {
                   user.Press(121);
                   Settle();
                   EXPECT_EQ(messages.texts(), Texts{"Speaker Type Missing !"});
                   EXPECT_TRUE(platform::IsWindow(user.dialog()));
                   user.Press(122);
                 }),
            0);
}

// Speaker Type and EQ change the dialog's copy alone: Cancel and the close
// box leave the record as it was, and so does OK when nothing was changed
// (no angle rounded to whole degrees, no gain to 0.1 dB).
TEST_F(PropertyDialogTest, CancelAndUnchangedOkLeaveTheRecordByteForByte) {
  SelectDatabase(fs::path(KORVANE_EXAMPLE_DIR) / "EXAMPLE.KSB");
  const Loudspeaker original = AwkwardLoudspeaker();
  for (bool close : {false, true}) {
    dialogs_.On("DIALOG_12", [](DialogUser& user) { user.Press(110); });
    dialogs_.On("EQ_DLG", [](DialogUser& user) {
      platform::test::ScrollAction(Bar(user, 201), platform::ScrollBar::kControl, platform::kScrollLineUp);
      user.Press(401);
    });
    Loudspeaker speaker = original;
    std::string typeName = "HORN12";
    EXPECT_EQ(Edit(speaker, typeName,
                   [close](DialogUser& user) {
                     user.Type(104, "99");
                     user.Press(123);
                     Settle();
                     EXPECT_EQ(user.Text(101), "KV12");
                     user.Press(124);
                     Settle();
                     EXPECT_EQ(user.Text(114), "-8.00");
                     close ? user.Close() : user.Press(122);
                   }),
              0);
    EXPECT_EQ(LoudspeakerBlock(speaker), LoudspeakerBlock(original)) << close;
    EXPECT_EQ(typeName, "HORN12");
  }
  for (uint32_t unit : {0u, 1u}) {
    gUnitFlag = unit;
    Loudspeaker speaker = original;
    std::string typeName = "HORN12";
    EXPECT_EQ(Edit(speaker, typeName, [](DialogUser& user) { user.Press(121); }), 1);
    EXPECT_EQ(LoudspeakerBlock(speaker), LoudspeakerBlock(original)) << unit;
    EXPECT_EQ(typeName, "HORN12");
  }
}

TEST_F(PropertyDialogTest, SpeakerTypeGivesTheChosenTypeMinusNineDbInEveryBand) {
  SelectDatabase(fs::path(KORVANE_EXAMPLE_DIR) / "EXAMPLE.KSB");
  dialogs_.On("DIALOG_12", [](DialogUser& user) {
    EXPECT_EQ(user.Items(101), (Texts{"KV12", "KV8C"}));
    EXPECT_EQ(user.Selection(101), 0);
    EXPECT_EQ(user.Text(102), "12in two-way, 90 x 60 degrees");
    user.Choose(101, 1);
    Settle();
    EXPECT_EQ(user.Text(102), "8in compact, 110 x 70 degrees");
    user.Press(110);
  });
  Loudspeaker speaker;
  std::string typeName;
  ASSERT_EQ(
      Edit(speaker, typeName,
           [](DialogUser& user) {
             user.Press(123);
             Settle();
             EXPECT_EQ(user.Text(101), "KV8C");
             EXPECT_EQ(user.Text(114), "-9.0");
             // KV8C's 150, 150, 150, 100, 60, 30 and 20 W at -9 dB.
             EXPECT_EQ((Texts{user.Text(134), user.Text(137), user.Text(140)}), (Texts{"18.88", "12.59", "2.52"}));
             EXPECT_EQ(user.Text(141), "83.09");
             EXPECT_EQ(user.Text(143), "-0.55");
             user.Press(121);
           }),
      1);
  EXPECT_EQ(typeName, "KV8C");
  EXPECT_EQ(speaker.nominalPower, 150.0f);
  EXPECT_EQ(speaker.eqGain[3], -9.0f);
  // The next selection starts on the type chosen last.
  EXPECT_EQ(gDesignShell.speakerDatabase.position, 1);

  // A type name the database does not hold is refused when the command
  // gives the loudspeaker its type.
  ASSERT_EQ(Edit(speaker, typeName,
                 [](DialogUser& user) {
                   user.Type(101, "KV15");
                   user.Press(121);
                 }),
            1);
  EXPECT_EQ(typeName, "KV15");
  MessageRecorder messages;
  EXPECT_EQ(UseSpeakerType(gDesignShell.speakerDatabase, typeName, speaker, gSpeakerModel.types, gObjects.model,
                           gSpeakerModel.defaultSymbol),
            0);
  EXPECT_EQ(messages.texts(), Texts{"Loudspeaker not available in database"});
}

TEST_F(PropertyDialogTest, WithoutADatabaseSpeakerTypeOffersOneAndOtherwiseSaysSo) {
  platform::test::FileDialogScript files;
  files.Cancel();
  MessageRecorder messages;
  Loudspeaker speaker = AwkwardLoudspeaker();
  std::string typeName = "HORN12";
  EXPECT_EQ(Edit(speaker, typeName,
                 [&](DialogUser& user) {
                   user.Press(123);
                   Settle();
                   EXPECT_EQ(messages.texts(), Texts{"Must load speaker database first"});
                   EXPECT_EQ(user.Text(101), "HORN12");
                   user.Press(122);
                 }),
            0);
  EXPECT_EQ(files.dialogs().size(), 1u);
  const Texts& opened = dialogs_.opened();
  EXPECT_EQ(std::count(opened.begin(), opened.end(), "DIALOG_12"), 0);
}

TEST_F(PropertyDialogTest, SelectDatabaseListsTheTypesOfEveryVersion) {
  for (const db_fixtures::VersionFixture& c : db_fixtures::kVersionFixtures) {
    SelectDatabase(db_fixtures::kSeedFolder / c.file);
    Texts descriptions;
    dialogs_.On("DIALOG_12", [&](DialogUser& user) {
      EXPECT_EQ(user.Caption(), "Select Loudspeaker");
      EXPECT_EQ(user.Items(101), c.names) << c.file;
      for (int i = 0; i < int(c.names.size()); ++i) {
        user.Choose(101, i);
        Settle();
        descriptions.push_back(user.Text(102));
      }
      user.DoubleClick(101, 0);  // chooses as OK does
    });
    int chosen = -1;
    SpeakerType header;
    ASSERT_EQ(SelectSpeakerType(0, chosen, header), 1) << c.file;
    EXPECT_EQ(descriptions, c.descriptions) << c.file;
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(header.TypeName(), c.names[0]);
  }

  // Cancel chooses nothing; a suggested entry is where the list starts.
  dialogs_.On("DIALOG_12", [](DialogUser& user) {
    EXPECT_EQ(user.Selection(101), 1);
    user.Press(111);
  });
  int chosen = -1;
  SpeakerType header;
  EXPECT_EQ(SelectSpeakerType(1, chosen, header), 0);
  EXPECT_EQ(chosen, -1);
}

// The equaliser's steps through its bars, in both modes: line, page,
// thumb, top and bottom on a band and on the master, each held in the
// mode's range, with the master following the largest value.
TEST_F(PropertyDialogTest, EqualizerBarsStepTheValuesInBothModes) {
  using platform::kScrollLineDown, platform::kScrollLineUp, platform::kScrollPageDown, platform::kScrollPageUp,
      platform::kScrollTop, platform::kScrollBottom;
  constexpr unsigned kThumb = 99;  // a drag of the thumb to `position`
  struct Step {
    int bar;
    unsigned code;
    int position;
    const char *band, *master, *whole;  // fields 101, 108 and 109 afterwards
    int bandBar, masterBar;
  };
  struct Case {
    EqualizerMode mode;
    EqualizerBands start;
    const char *caption, *unit, *whole;
    std::vector<Step> steps;
    EqualizerBands end;
  } cases[] = {
      {EqualizerMode::kEqualizer,
       {-10, -20, -20, -20, -20, -20, -30},
       "Equalizer",
       "dB",
       "total",
       {
           {201, kScrollLineUp, 0, "-9.0", "-9.0", "-7.5", 9, 9},
           {201, kScrollLineDown, 0, "-10.0", "-10.0", "-8.2", 10, 10},
           {201, kScrollPageUp, 0, "0.0", "0.0", "0.2", 0, 0},
           {201, kScrollLineUp, 0, "0.0", "0.0", "0.2", 0, 0},
           {201, kScrollPageDown, 0, "-10.0", "-10.0", "-8.2", 10, 10},
           {201, kThumb, 25, "-25.0", "-20.0", "-12.7", 25, 20},
           {201, kScrollTop, 0, "0.0", "0.0", "0.2", 0, 0},
           {201, kScrollBottom, 0, "-100.0", "-20.0", "-12.9", 100, 20},
           {208, kScrollLineDown, 0, "-100.0", "-21.0", "-13.9", 100, 21},
           {208, kThumb, 90, "-100.0", "-90.0", "-82.8", 100, 90},
           // Held at -100 dB, the master's steps close the values up.
           {208, kScrollPageDown, 0, "-100.0", "-100.0", "-91.5", 100, 100},
           {208, kScrollTop, 0, "0.0", "0.0", "8.5", 0, 0},
       },
       {0, 0, 0, 0, 0, 0, 0}},
      {EqualizerMode::kRt60,
       {2, 1, 1, 1, 1, 1, 0.5},
       "RT 60",
       " s",
       "mean",
       {
           {201, kScrollLineUp, 0, "2.1", "2.1", "1.1", 79, 79},
           {201, kScrollPageUp, 0, "3.1", "3.1", "1.2", 69, 69},
           {201, kThumb, 50, "5.0", "5.0", "1.5", 50, 50},
           {201, kScrollBottom, 0, "0.0", "1.0", "0.8", 100, 90},
           {201, kScrollTop, 0, "10.0", "10.0", "2.2", 0, 0},
           {208, kScrollPageDown, 0, "9.0", "9.0", "1.3", 10, 10},
           {208, kScrollLineUp, 0, "9.1", "9.1", "1.4", 9, 9},
           {208, kScrollBottom, 0, "0.0", "0.0", "0.0", 100, 100},
       },
       {0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    dialogs_.On("EQ_DLG", [&c](DialogUser& user) {
      EXPECT_EQ(user.Caption(), c.caption);
      EXPECT_EQ(user.Text(301), c.unit);
      EXPECT_EQ(user.Text(302), c.whole);
      for (const Step& s : c.steps) {
        if (s.code == kThumb)
          platform::test::DragScrollThumb(Bar(user, s.bar), platform::ScrollBar::kControl, s.position);
        else platform::test::ScrollAction(Bar(user, s.bar), platform::ScrollBar::kControl, s.code);
        Settle();
        const std::string step = std::to_string(s.bar) + " " + std::to_string(s.code);
        EXPECT_EQ((Texts{user.Text(101), user.Text(108), user.Text(109)}), (Texts{s.band, s.master, s.whole}))
            << c.caption << " " << step;
        EXPECT_EQ(BarPosition(user, 201), s.bandBar) << c.caption << " " << step;
        EXPECT_EQ(BarPosition(user, 208), s.masterBar) << c.caption << " " << step;
      }
      user.Press(401);
    });
    EqualizerBands values = c.start;
    ASSERT_EQ(ShowEqualizerDialog(values, c.mode), 1);
    for (int b = 0; b < kBandCount; ++b) EXPECT_NEAR(values[size_t(b)], c.end[size_t(b)], 1e-9) << c.caption << b;
  }
}

// The common equalisation of several loudspeakers opens on their largest
// gains shown as 0: two steps up from a shown 0 are 2, the value -7.
TEST_F(PropertyDialogTest, EqualizerFieldsShowTheValuesPlusTheirOffsets) {
  dialogs_.On("EQ_DLG", [](DialogUser& user) {
    EXPECT_EQ((Texts{user.Text(101), user.Text(102), user.Text(108)}), (Texts{"0.0", "0.0", "0.0"}));
    EXPECT_EQ(BarPosition(user, 201), 9);
    for (int i = 0; i < 2; ++i)
      platform::test::ScrollAction(Bar(user, 201), platform::ScrollBar::kControl, platform::kScrollLineUp);
    Settle();
    EXPECT_EQ(user.Text(101), "2.0");
    user.Press(401);
  });
  dialogs_.On("EQ_DLG", [](DialogUser& user) {
    platform::test::ScrollAction(Bar(user, 201), platform::ScrollBar::kControl, platform::kScrollLineUp);
    user.Close();
  });
  EqualizerBands values = {-9, -9, -12, -9, -9, -9, -9};
  const EqualizerOffsets offsets = {9, 9, 12, 9, 9, 9, 9, 9};
  ASSERT_EQ(ShowEqualizerDialog(values, EqualizerMode::kEqualizer, offsets), 1);
  EXPECT_EQ(values, (EqualizerBands{-7, -9, -12, -9, -9, -9, -9}));
  EXPECT_EQ(ShowEqualizerDialog(values, EqualizerMode::kEqualizer, offsets), 0);
  EXPECT_EQ(values[0], -7);
}

}  // namespace
