#include "design/document/speaker_operations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "design/acoustics/receiver_engine.h"
#include "design/document/loudspeaker_aim.h"
#include "design/model/project.h"
#include "framework/model/face_geometry.h"
#include "framework/model/layers.h"
#include "tests/design/acoustics/map_fixtures.h"
#include "tests/design/acoustics/room_fixtures.h"
#include "tests/design/model/speaker_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr double kDeg = kPi / 180;
const std::string kLimitMessage = "Maximum amount of speakers is 5000";

class SpeakerOperationsTest : public SpeakerModelTest {
 protected:
  void SetUp() override {
    SpeakerModelTest::SetUp();  // every global record reset
    first_ = AddNamedType("FIRST", 100, 90);
    second_ = AddNamedType("SECOND", 50, 95);
  }

  // A type of the default symbol with one rated power and sensitivity in every band.
  int16_t AddNamedType(const char* name, float ratedPower, float sensitivity) {
    const int16_t index = AddType(nullptr);
    SpeakerType& type = *gSpeakerModel.types.At(index);
    type.SetTypeName(name);
    for (int b = 0; b < kBandCount; ++b) {
      type.SetRatedPower(b, ratedPower);
      type.SetSensitivity(b, sensitivity);
    }
    return index;
  }

  // A loudspeaker of the first type with its symbol built (at the head of the list).
  GraphicObject* Built(ObjectVertex position, double horizontalDegrees = 0, double verticalDegrees = 0) {
    Loudspeaker s;
    s.name = "NAME";
    s.group = "GROUP";
    s.typeIndex = first_;
    s.position = {position.x, position.y, position.z};
    s.horizontal = float(horizontalDegrees * kDeg);
    s.vertical = float(verticalDegrees * kDeg);
    GraphicObject* o = MakeSpeakerObject();
    s.object = o;
    EXPECT_EQ(BuildSpeakerSymbol(s, o, true), 1);
    return o;
  }
  static Loudspeaker Read(GraphicObject* o) {
    Loudspeaker s;
    EXPECT_TRUE(ReadLoudspeaker(o, s));
    return s;
  }
  // Loudspeaker objects without symbols, as many as asked.
  static void AddPlainSpeakers(int count) {
    for (int i = 0; i < count; ++i) PlaceSpeaker(Loudspeaker{});
  }

  // The symbol lies at the position, turned by the angles: the shape's tip
  // (0.5, 0, 0) half a unit along the axis, the axis point one unit along it.
  static void ExpectSymbolAgrees(GraphicObject* o, const char* what = "") {
    const Loudspeaker s = Read(o);
    ASSERT_EQ(o->vertexCount, 5u) << what;
    const double h = s.horizontal, v = s.vertical;
    const double axis[3] = {std::cos(v) * std::cos(h), std::cos(v) * std::sin(h), std::sin(v)};
    const ObjectVertex tip = o->vertices[0], axisPoint = o->vertices[3];
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(Coordinate(tip, i), s.position[size_t(i)] + 0.5 * axis[i], 1e-5) << what << " axis " << i;
      EXPECT_NEAR(Coordinate(axisPoint, i), s.position[size_t(i)] + axis[i], 1e-5) << what << " axis " << i;
    }
  }

  // The aim line the overlay draws from `o`'s position, false when none.
  static bool AimLineOf(GraphicObject* o, ObjectVertex& aim) {
    const Loudspeaker s = Read(o);
    for (GraphicObject* overlay = gObjects.model.first; overlay; overlay = overlay->next) {
      if (overlay->layer != kAimLineLayer) continue;
      for (uint32_t k = 0; k + 1 < overlay->vertexCount; k += 2) {
        const ObjectVertex& from = overlay->vertices[k];
        if (from.x == s.position[0] && from.y == s.position[1] && from.z == s.position[2]) {
          aim = overlay->vertices[k + 1];
          return true;
        }
      }
    }
    return false;
  }

  static std::vector<GraphicObject*> ListOrder() {
    std::vector<GraphicObject*> order;
    for (GraphicObject* o = gObjects.model.first; o; o = o->next) order.push_back(o);
    return order;
  }
  static uint32_t SpeakerCount() { return CountObjectsOnLayer2(); }

  int16_t first_ = 0, second_ = 0;
};

// ---- Placing and editing ----

TEST_F(SpeakerOperationsTest, ANewLoudspeakerIsPlacedOnlyWhenItsDialogEndsWithAKnownType) {
  const SpeakerDatabaseIndex noDatabase;
  {
    int asked = 0;
    EXPECT_EQ(AddLoudspeaker({1, 2, 3}, noDatabase, [&](Loudspeaker&, std::string&) { return ++asked, 0; }), nullptr);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(gObjects.model.first, nullptr);
    EXPECT_EQ(gProject.modified, 0);
  }
  {
    MessageRecorder messages;
    EXPECT_EQ(AddLoudspeaker({1, 2, 3}, noDatabase,
                             [](Loudspeaker&, std::string& name) {
                               name = "ELSEWHERE";
                               return 1;
                             }),
              nullptr);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Loudspeaker not available in database"});
    EXPECT_EQ(gObjects.model.first, nullptr);
  }

  AddBoxRoom({10, 8, 4});
  GraphicObject* added = AddLoudspeaker({1, 2, 3}, noDatabase, [](Loudspeaker& s, std::string& name) {
    // What the dialog is given: a loudspeaker as created, at the picked point.
    EXPECT_TRUE(name.empty());
    EXPECT_EQ(s.on, 1);
    EXPECT_EQ(s.polarity, 1);
    EXPECT_EQ(s.nominalPower, 1.0f);
    EXPECT_EQ(s.position, (std::array<float, 3>{1, 2, 3}));
    name = "SECOND";
    s.eqGain.fill(-3);
    return 1;
  });
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(ListOrder()[0]->layer, uint32_t(kAimLineLayer));  // the overlay first, then the new symbol
  EXPECT_EQ(ListOrder()[1], added);
  const Loudspeaker s = Read(added);
  EXPECT_EQ(s.typeIndex, second_);
  EXPECT_NEAR(s.power[0], 50 * std::pow(10, -0.3), 1e-3);
  EXPECT_EQ(added->colour, kSpeakerColourOn);
  ExpectSymbolAgrees(added);
  ObjectVertex aim;
  ASSERT_TRUE(AimLineOf(added, aim));
  EXPECT_EQ(aim.x, 10);  // along +x to the wall
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

TEST_F(SpeakerOperationsTest, TheLimitStopsANewLoudspeakerBeforeItsDialog) {
  AddPlainSpeakers(kMaxLoudspeakers);
  MessageRecorder messages;
  EXPECT_EQ(AddLoudspeaker({0, 0, 0}, SpeakerDatabaseIndex{}, [](Loudspeaker&, std::string&) -> int { return 1; }),
            nullptr);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kLimitMessage});
  EXPECT_EQ(messages.messages()[0].caption, "Sorry!");
  EXPECT_EQ(SpeakerCount(), uint32_t(kMaxLoudspeakers));
}

TEST_F(SpeakerOperationsTest, EditingTakesEachDialogsAnswerAndKeepsTheOldTypeForAnUnknownName) {
  GraphicObject* a = Built({1, 1, 1});
  GraphicObject* b = Built({2, 2, 2});
  GraphicObject* c = Built({3, 3, 3});
  const std::vector<GraphicObject*> selected = {a, b, c};
  std::vector<std::string> shownNames;
  MessageRecorder messages;
  const int changed = EditLoudspeakers(selected, SpeakerDatabaseIndex{}, [&](Loudspeaker& s, std::string& name) {
    shownNames.push_back(name);
    if (s.object == b) return 0;  // Cancel
    name = s.object == a ? "SECOND" : "UNKNOWN";
    s.position[2] += 1;
    return 1;
  });
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(shownNames, (std::vector<std::string>{"FIRST", "FIRST", "FIRST"}));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Loudspeaker not available in database"});
  EXPECT_EQ(Read(a).position[2], 2);
  EXPECT_EQ(Read(b).position[2], 2);
  EXPECT_EQ(Read(c).position[2], 4);
  ExpectSymbolAgrees(a, "a");
  ExpectSymbolAgrees(c, "c");
  // Both types are still used; a's type is the second one.
  EXPECT_EQ(gSpeakerModel.types.count, 2);
  EXPECT_EQ(gSpeakerModel.types.At(Read(a).typeIndex)->TypeName(), "SECOND");
  EXPECT_EQ(gSpeakerModel.types.At(Read(c).typeIndex)->TypeName(), "FIRST");
  EXPECT_NEAR(Read(a).power[0], 50, 1e-4);
}

// ---- Moving, copying, mirroring, deleting ----

TEST_F(SpeakerOperationsTest, MovedLoudspeakersKeepTheirSymbolsWithThemAndTheirAimLines) {
  AddBoxRoom({10, 8, 4});
  GraphicObject* a = Built({1, 1, 1});
  GraphicObject* b = Built({2, 2, 2}, 90);
  // The move preview has already moved b's symbol; the result is the same.
  for (uint32_t i = 0; i < b->vertexCount; ++i) b->vertices[i].x += 0.5f;
  MoveLoudspeakers(std::vector{a, b}, {0.5f, 1, 0.25f});
  EXPECT_EQ(Read(a).position, (std::array<float, 3>{1.5f, 2, 1.25f}));
  EXPECT_EQ(Read(b).position, (std::array<float, 3>{2.5f, 3, 2.25f}));
  ExpectSymbolAgrees(a, "a");
  ExpectSymbolAgrees(b, "b");
  ObjectVertex aim;
  ASSERT_TRUE(AimLineOf(b, aim));
  EXPECT_EQ(aim.y, 8);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

TEST_F(SpeakerOperationsTest, CopiesInTwoPassesStandAtTheirOwnPositionsWithTheirSymbols) {
  GraphicObject* a = Built({1, 1, 1});
  GraphicObject* b = Built({2, 2, 2}, 45, 10);
  const std::vector<GraphicObject*> sources = {b, a};  // list order
  const std::vector<GraphicObject*> pass1 = CopyLoudspeakers(sources, {3, 0, 0});
  const std::vector<GraphicObject*> pass2 = CopyLoudspeakers(sources, {0, 5, 0});
  ASSERT_EQ(pass1.size(), 2u);
  ASSERT_EQ(pass2.size(), 2u);
  EXPECT_EQ(ListOrder(), (std::vector<GraphicObject*>{pass2[0], pass2[1], pass1[0], pass1[1], b, a}));
  EXPECT_EQ(Read(pass1[0]).position, (std::array<float, 3>{5, 2, 2}));
  EXPECT_EQ(Read(pass2[0]).position, (std::array<float, 3>{2, 7, 2}));
  EXPECT_EQ(Read(pass2[1]).position, (std::array<float, 3>{1, 6, 1}));
  for (GraphicObject* copy : {pass1[0], pass1[1], pass2[0], pass2[1]}) {
    ExpectSymbolAgrees(copy);
    const Loudspeaker s = Read(copy);
    EXPECT_EQ(s.name, "");
    EXPECT_EQ(s.group, "");
    EXPECT_EQ(s.typeIndex, first_);
  }
  EXPECT_EQ(Read(pass2[0]).horizontal, Read(b).horizontal);
  EXPECT_EQ(Read(b).name, "NAME");
}

TEST_F(SpeakerOperationsTest, CopyAndMirrorAddAtMostUpToTheLimitAndWithinTheMemoryBudget) {
  struct Case {
    int present;
    bool mirror;
    bool added;
  };
  for (const Case c :
       {Case{4990, false, true}, Case{4995, false, false}, Case{4990, true, true}, Case{4995, true, false}}) {
    ResetObjectStore();
    AddPlainSpeakers(c.present - 10);
    std::vector<GraphicObject*> sources;
    for (int i = 0; i < 10; ++i) sources.push_back(Built({float(i), 0, 0}));
    MessageRecorder messages;
    const std::vector<GraphicObject*> copies = c.mirror
                                                   ? MirrorLoudspeakers(sources, {0, 0, 0}, {0, 1, 0}, MirrorPlane::kXY)
                                                   : CopyLoudspeakers(sources, {0, 1, 0});
    const std::string what = std::to_string(c.present) + (c.mirror ? " mirror" : " copy");
    EXPECT_EQ(copies.size(), c.added ? 10u : 0u) << what;
    EXPECT_EQ(SpeakerCount(), uint32_t(c.added ? c.present + 10 : c.present)) << what;
    EXPECT_EQ(messages.texts(), c.added ? std::vector<std::string>{} : std::vector<std::string>{kLimitMessage}) << what;
  }

  ResetObjectStore();
  GraphicObject* huge = CreateObject(kLoudspeakerSize, 90000, 0);
  huge->layer = kLoudspeakerLayer;
  WriteLoudspeaker(Loudspeaker{}, huge);
  AppendObject(huge);
  MessageRecorder messages;
  EXPECT_TRUE(CopyLoudspeakers(std::vector{huge}, {1, 0, 0}).empty());
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Insufficient Memory"});
  EXPECT_EQ(SpeakerCount(), 1u);
}

TEST_F(SpeakerOperationsTest, MirrorReflectsAcrossTheLineInTheViewsPlane) {
  struct Case {
    const char* what;
    int viewMode;
    ObjectVertex base, point;
    ObjectVertex expected;
  };
  const Case cases[] = {
      {"plan across x = 0", 0, {0, 0, 0}, {0, 1, 0}, {-2, 3, 4}},
      {"plan across y = x", 0, {0, 0, 0}, {1, 1, 0}, {3, 2, 4}},
      {"3D as the plan", 3, {0, 0, 0}, {0, 1, 0}, {-2, 3, 4}},
      {"side across z = 0", 1, {0, 0, 0}, {0, 1, 0}, {2, 3, -4}},
      {"side across y = 1", 1, {0, 1, 0}, {0, 1, 1}, {2, -1, 4}},
      {"front across x = 0", 2, {0, 0, 0}, {0, 0, 1}, {-2, 3, 4}},
      {"front across z = 1", 2, {0, 0, 1}, {5, 0, 1}, {2, 3, -2}},
      {"perspective keeps it", 4, {0, 0, 0}, {0, 1, 0}, {2, 3, 4}},
      {"a line shorter than 1 mm keeps it", 0, {0, 0, 0}, {0, 0.0009f, 0}, {2, 3, 4}},
  };
  for (const Case& c : cases) {
    const std::optional<ObjectVertex> m = MirrorPoint({2, 3, 4}, c.base, c.point, MirrorPlaneOfView(c.viewMode));
    const ObjectVertex got = m.value_or(ObjectVertex{2, 3, 4});
    EXPECT_NEAR(got.x, c.expected.x, 1e-5) << c.what;
    EXPECT_NEAR(got.y, c.expected.y, 1e-5) << c.what;
    EXPECT_NEAR(got.z, c.expected.z, 1e-5) << c.what;
  }
  EXPECT_TRUE(MirrorPoint({2, 3, 4}, {0, 0, 0}, {0, 0.0011f, 0}, MirrorPlane::kXY).has_value());
}

TEST_F(SpeakerOperationsTest, AMirroredCopyAimsAsItsMirrorImageWithItsFacesOutwards) {
  GraphicObject* source = Built({2, 3, 4}, 30, 20);
  const Vec3d sourceNormal = ComputeFaceAreaVector(*source, 0);
  const std::vector<GraphicObject*> copies =
      MirrorLoudspeakers(std::vector{source}, {0, 0, 0}, {0, 1, 0}, MirrorPlane::kXY);
  ASSERT_EQ(copies.size(), 1u);
  GraphicObject* copy = copies[0];
  EXPECT_EQ(gObjects.model.first, copy);
  const Loudspeaker m = Read(copy);
  EXPECT_EQ(m.position, (std::array<float, 3>{-2, 3, 4}));
  EXPECT_NEAR(m.horizontal, 150 * kDeg, 1e-5);
  EXPECT_NEAR(m.vertical, 20 * kDeg, 1e-5);
  EXPECT_EQ(m.name, "");
  EXPECT_EQ(m.object, copy);
  // The reflection of the source's normal, not its reverse.
  const Vec3d normal = ComputeFaceAreaVector(*copy, 0);
  EXPECT_NEAR(normal.x, -sourceNormal.x, 1e-6);
  EXPECT_NEAR(normal.y, sourceNormal.y, 1e-6);
  EXPECT_NEAR(normal.z, sourceNormal.z, 1e-6);

  // Without a plane the copy is the source over again, faces as they were.
  GraphicObject* same = MirrorLoudspeakers(std::vector{source}, {0, 0, 0}, {0, 1, 0}, MirrorPlane::kNone).at(0);
  EXPECT_EQ(Read(same).position, Read(source).position);
  EXPECT_EQ(Read(same).horizontal, Read(source).horizontal);
  const Vec3d kept = ComputeFaceAreaVector(*same, 0);
  EXPECT_NEAR(kept.x, sourceNormal.x, 1e-6);
  EXPECT_NEAR(kept.z, sourceNormal.z, 1e-6);
}

TEST_F(SpeakerOperationsTest, DeleteFreesWhatIsGivenAndPurgesTypesNoLongerUsed) {
  AddBoxRoom({10, 8, 4});
  GraphicObject* a = Built({1, 1, 1});
  GraphicObject* b = Built({2, 2, 2});
  Loudspeaker second = Read(b);
  second.typeIndex = second_;
  WriteLoudspeaker(second, b);
  RefreshAimLines();
  GraphicObject* line = AddObject({{{0, 0, 0}, {1, 1, 1}}}, kNoMaterial, kKindLine, kLoudspeakerLayer);
  a->state |= kStateSelected;
  line->state |= kStateSelected;
  DeleteLoudspeakers(SelectedObjects());
  EXPECT_EQ(SpeakerCount(), 1u);
  EXPECT_EQ(gSpeakerModel.types.count, 1);
  EXPECT_EQ(gSpeakerModel.types.At(0)->TypeName(), "SECOND");
  EXPECT_EQ(Read(b).typeIndex, 0);
  ObjectVertex aim;
  EXPECT_TRUE(AimLineOf(b, aim));
  EXPECT_EQ(CountObjectsOnLayer(gObjects.model, kAimLineLayer), 1u);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

// ---- Switching ----

TEST_F(SpeakerOperationsTest, SwitchingOnRestoresTheColourAndTheBandPowers) {
  GraphicObject* a = Built({1, 1, 1});
  SwitchLoudspeakers(std::vector{a}, false);
  EXPECT_EQ(Read(a).on, 0);
  EXPECT_EQ(a->colour, kSpeakerColourOff);
  SwitchLoudspeakers(std::vector{a}, true);
  EXPECT_EQ(Read(a).on, 1);
  EXPECT_EQ(a->colour, kSpeakerColourOn);
  EXPECT_NEAR(Read(a).power[3], 100, 1e-3);  // gain 0 dB on the first type
  EXPECT_NEAR(Read(a).intensity[3], 100 * 1e9, 1e5);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

using SwitchOffMapTest = MapModelTest;

TEST_F(SwitchOffMapTest, ASwitchedOffLoudspeakerNoLongerReachesTheMap) {
  AddHall();
  CalcOptions options;
  options.phaseMode = 1;  // energies: one loudspeaker less is less everywhere
  ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kDone);
  const std::vector<GridPoint> both = gLevelMap.result.grid.points;
  EXPECT_EQ(gLevelMap.result.counts.words[3], 2);

  GraphicObject* first = gObjects.model.last->previous;  // the first loudspeaker of the hall
  SwitchLoudspeakers(std::vector{first}, false);
  EXPECT_EQ(first->colour, kSpeakerColourOff);
  ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kDone);
  EXPECT_EQ(gLevelMap.result.counts.words[3], 1);
  const std::vector<GridPoint>& one = gLevelMap.result.grid.points;
  ASSERT_EQ(one.size(), both.size());
  for (size_t i = 0; i < one.size(); ++i) EXPECT_LT(one[i].level[3], both[i].level[3]) << i;
}

// ---- Delay and aim ----

TEST_F(SpeakerOperationsTest, AlignmentDelaysTheNearerLoudspeakersUntilAllArriveTogether) {
  GraphicObject* near = Built({34.3f, 0, 0});
  GraphicObject* far = Built({0, 68.6f, 0});
  AlignLoudspeakers(std::vector{near, far}, {0, 0, 0});
  EXPECT_NEAR(Read(near).delay, 100, 1e-3);
  EXPECT_EQ(Read(far).delay, 0);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);

  SetLoudspeakerDelay(std::vector{near, far}, 12.5);
  EXPECT_EQ(Read(near).delay, 12.5f);
  EXPECT_EQ(Read(far).delay, 12.5f);
}

TEST_F(SpeakerOperationsTest, AnEntryThatHoldsNoNumberIsRefusedAndADelayMustBeOneTheFieldsShow) {
  struct Case {
    const char* text;
    std::optional<double> angle, delay;
  };
  for (const Case& c :
       {Case{"12.5", 12.5, 12.5}, Case{" 3,5 ", 3.5, 3.5}, Case{"-90", -90, std::nullopt},
        Case{"3,5 ms", std::nullopt, std::nullopt}, Case{"abc", std::nullopt, std::nullopt},
        Case{"", std::nullopt, std::nullopt}, Case{"nan", std::nullopt, std::nullopt},
        Case{"1e40", std::nullopt, std::nullopt}, Case{"-25", -25, std::nullopt}, Case{"1e9", 1e9, std::nullopt},
        Case{"10000", 10000, 10000}, Case{"10000.01", 10000.01, std::nullopt}, Case{"0", 0, 0}}) {
    for (const auto& [read, expected] :
         {std::pair{&ReadSpeakerEntry, c.angle}, std::pair{&ReadSpeakerDelay, c.delay}}) {
      MessageRecorder messages;
      EXPECT_EQ(read(c.text), expected) << c.text;
      EXPECT_EQ(messages.texts(), expected ? std::vector<std::string>{} : std::vector<std::string>{"Invalid entry !"})
          << c.text;
    }
  }
}

TEST_F(SpeakerOperationsTest, AimingAtATargetTurnsTheAxisTowardsIt) {
  struct Case {
    const char* what;
    ObjectVertex target;
    double horizontal, vertical;
  };
  const Case cases[] = {
      {"straight above", {1, 1, 11}, kPi / 2, kPi / 2},
      {"straight below", {1, 1, -9}, kPi / 2, -kPi / 2},
      {"along -y, dx within 1 mm", {1.0005f, -4, 1}, -kPi / 2, 0},
      {"across", {4, 5, 6}, std::atan2(4, 3), std::atan2(5, 5)},
  };
  for (const Case& c : cases) {
    const AxisAngles aim = AimAtTarget({1, 1, 1}, c.target);
    EXPECT_NEAR(aim.horizontal, c.horizontal, 1e-6) << c.what;
    EXPECT_NEAR(aim.vertical, c.vertical, 1e-6) << c.what;
  }

  AddBoxRoom({10, 8, 4});
  GraphicObject* a = Built({1, 1, 1});
  Loudspeaker turned = Read(a);
  turned.rotation = 0.25f;
  WriteLoudspeaker(turned, a);
  AimLoudspeakersAtTarget(std::vector{a}, {4, 5, 1});
  const Loudspeaker s = Read(a);
  EXPECT_NEAR(s.horizontal, std::atan2(4, 3), 1e-6);
  EXPECT_NEAR(s.vertical, 0, 1e-6);
  EXPECT_EQ(s.rotation, 0.25f);
  ObjectVertex aim;
  ASSERT_TRUE(AimLineOf(a, aim));
  EXPECT_NEAR(aim.y, 8, 1e-4);  // the axis meets the wall y = 8 at x = 1 + 7 x 3 / 4
  EXPECT_NEAR(aim.x, 6.25, 1e-4);
}

TEST_F(SpeakerOperationsTest, ThePerspectiveViewsAxisBecomesTheLoudspeakersAim) {
  GraphicObject* a = Built({1, 2, 3}, 40, -10);
  const Loudspeaker before = Read(a);
  const PerspectiveAngles view = PerspectiveLookingAlong({before.horizontal, before.vertical});
  // A click at the centre changes nothing.
  AimLoudspeakerByPerspective(a, RecentrePerspective(view, 400, 300, 800, 600));
  EXPECT_NEAR(Read(a).horizontal, before.horizontal, 1e-6);
  EXPECT_NEAR(Read(a).vertical, before.vertical, 1e-6);
  // Looking 30 degrees further left and up.
  AimLoudspeakerByPerspective(a, PerspectiveLookingAlong({70 * kDeg, 20 * kDeg}));
  EXPECT_NEAR(Read(a).horizontal, 70 * kDeg, 1e-6);
  EXPECT_NEAR(Read(a).vertical, 20 * kDeg, 1e-6);
  ExpectSymbolAgrees(a);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

// ---- The equaliser ----

TEST_F(SpeakerOperationsTest, AnEqualiserAbove0DbTotalIsRefused) {
  GraphicObject* a = Built({1, 1, 1});
  {
    MessageRecorder messages;
    EXPECT_EQ(ApplySpeakerEqualizer(a, {0, 0, 0, 0, 0, 0, 0}), 0);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Total output exceeds the speaker\x92s maximum power (total > 0.0 dB).");
    EXPECT_EQ(messages.messages()[0].caption, "EQ settings could not be applied.");
    EXPECT_EQ(gProject.modified, 0);
  }
  EXPECT_EQ(ApplySpeakerEqualizer(a, {-9, -9, -9, -9, -9, -9, -9}), 1);
  EXPECT_EQ(Read(a).eqGain[6], -9.0f);
  EXPECT_NEAR(Read(a).power[6], 100 * std::pow(10, -0.9), 1e-3);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

TEST_F(SpeakerOperationsTest, TheCommonEqualiserMovesEveryLoudspeakerByTheChangeOrNoneOfThem) {
  GraphicObject* a = Built({1, 1, 1});
  GraphicObject* b = Built({2, 2, 2});
  Loudspeaker s = Read(a);
  s.eqGain.fill(-9);
  WriteLoudspeaker(s, a);
  s = Read(b);
  s.eqGain.fill(-9);
  s.eqGain[0] = -12;
  WriteLoudspeaker(s, b);
  const std::vector<GraphicObject*> both = {a, b};

  const CommonEqualizerStart start = StartCommonEqualizer(both);
  EXPECT_EQ(start.bandMax, (EqualizerBands{-9, -9, -9, -9, -9, -9, -9}));
  EXPECT_EQ(start.overallMax, -9);
  EqualizerBands edited = start.bandMax;
  edited[0] += 2;
  EXPECT_EQ(ApplyCommonEqualizer(both, start, edited), 1);
  EXPECT_EQ(Read(a).eqGain[0], -7);
  EXPECT_EQ(Read(b).eqGain[0], -10);
  EXPECT_EQ(Read(b).eqGain[1], -9);

  // a would exceed 0 dB in all; b, before it in the selection and within
  // the limit itself, stays as it was too.
  const std::vector<GraphicObject*> bFirst = {b, a};
  const CommonEqualizerStart now = StartCommonEqualizer(bFirst);
  EqualizerBands loud = now.bandMax;
  for (double& gain : loud) gain += 0.5;  // a to +0.3 dB in all, b to -0.18 dB
  MessageRecorder messages;
  EXPECT_EQ(ApplyCommonEqualizer(bFirst, now, loud), 0);
  EXPECT_EQ(messages.texts().size(), 1u);
  EXPECT_EQ(Read(b).eqGain[0], -10);
  EXPECT_EQ(Read(a).eqGain[0], -7);
}

// ---- Arrays ----

TEST_F(SpeakerOperationsTest, TurningAnArrayTurnsPositionsSymbolsAndAzimuthsAboutTheBase) {
  GraphicObject* a = Built({1, 0, 2});
  GraphicObject* b = Built({3, 3, 1}, 170);
  TurnLoudspeakerArray(std::vector{a, b}, {0, 0, 0}, 90);
  const Loudspeaker s = Read(a);
  EXPECT_NEAR(s.position[0], 0, 1e-6);
  EXPECT_NEAR(s.position[1], 1, 1e-6);
  EXPECT_EQ(s.position[2], 2);
  EXPECT_NEAR(s.horizontal, kPi / 2, 1e-6);
  ExpectSymbolAgrees(a);
  EXPECT_NEAR(Read(b).horizontal, -100 * kDeg, 1e-6);  // 170 + 90 = 260 degrees
  EXPECT_NEAR(Read(b).position[0], -3, 1e-5);

  // 720 degrees wraps all the way round.
  const Loudspeaker before = Read(a);
  TurnLoudspeakerArray(std::vector{a}, {5, 5, 0}, 720);
  EXPECT_NEAR(Read(a).horizontal, before.horizontal, 1e-6);
  EXPECT_NEAR(Read(a).position[0], before.position[0], 1e-5);
  EXPECT_NEAR(Read(a).position[1], before.position[1], 1e-5);

  // The aim line follows.
  AddBoxRoom({10, 8, 4});
  GraphicObject* c = Built({5, 2, 1});
  TurnLoudspeakerArray(std::vector{c}, {5, 4, 0}, 90);
  EXPECT_NEAR(Read(c).position[0], 7, 1e-5);
  EXPECT_NEAR(Read(c).position[1], 4, 1e-5);
  ObjectVertex aim;
  ASSERT_TRUE(AimLineOf(c, aim));
  EXPECT_NEAR(aim.x, 7, 1e-4);
  EXPECT_NEAR(aim.y, 8, 1e-4);
  EXPECT_EQ(gProject.modified, kSpeakerChangedMark);
}

TEST_F(SpeakerOperationsTest, TheAzimuthWrapsIntoAHalfTurnEitherWay) {
  for (const std::array<double, 2> c :
       {std::array<double, 2>{190, -170}, {-190, 170}, {720, 0}, {-540, 180}, {3 * 360 + 10, 10}}) {
    EXPECT_NEAR(WrapSpeakerAngle(c[0] * kDeg) / kDeg, c[1], 1e-6) << c[0];
  }
  GraphicObject* a = Built({0, 0, 0}, 170);
  TurnLoudspeakerArray(std::vector{a}, {0, 0, 0}, 20);
  EXPECT_NEAR(Read(a).horizontal, -170 * kDeg, 1e-5);
}

TEST_F(SpeakerOperationsTest, TiltingEachSelectedLoudspeakerOnceAboutALevelLine) {
  GraphicObject* a = Built({0, 5, 1}, 90);
  GraphicObject* b = Built({2, 5, 1}, 90, 5);
  GraphicObject* c = Built({4, 5, 1}, 90, -5);
  for (GraphicObject* o : {a, b, c}) o->state |= kStateSelected;
  // The selection in list order; the rebuilds move each to the head.
  TiltLoudspeakerArray(SelectedLoudspeakers(), {0, 0, 1}, 10);
  const Loudspeaker s = Read(a);
  EXPECT_NEAR(s.vertical, 10 * kDeg, 1e-6);
  EXPECT_NEAR(s.horizontal, kPi / 2, 1e-6);
  EXPECT_NEAR(s.position[0], 0, 1e-6);
  EXPECT_NEAR(s.position[1], 5 * std::cos(10 * kDeg), 1e-5);
  EXPECT_NEAR(s.position[2], 1 + 5 * std::sin(10 * kDeg), 1e-5);
  EXPECT_NEAR(Read(b).vertical, 15 * kDeg, 1e-6);
  EXPECT_NEAR(Read(c).vertical, 5 * kDeg, 1e-6);
  EXPECT_NEAR(Read(c).position[0], 4, 1e-5);
  for (GraphicObject* o : {a, b, c}) ExpectSymbolAgrees(o);
}

}  // namespace
