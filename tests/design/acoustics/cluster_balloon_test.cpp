#include "design/acoustics/cluster_balloon.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "design/model/balloon_codes.h"
#include "design/model/speaker_database.h"
#include "design/model/speaker_database_index.h"
#include "tests/design/model/database_fixtures.h"
#include "tests/design/model/speaker_fixtures.h"
#include "tests/support/fake_services.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.141592654;

// A code per band and direction: 0 dB on the axis, falling off the axis
// and, between axis and rear, with the angle about the axis; the same in
// every column of the axis and rear rows, as one direction must be.
uint8_t TypeCode(int band, int row, int column) {
  const int about = row == 0 || row == kBalloonRows - 1 ? 0 : column % 12;
  return uint8_t(225 - row * (2 + band) / 2 - about);
}

class ClusterBalloonTest : public SpeakerModelTest {
 protected:
  void SetUp() override {
    SpeakerModelTest::SetUp();
    fs::create_directories(dir_);
    typeIndex_ = AddType(MakeShape());
    SpeakerType& type = *gSpeakerModel.types.At(typeIndex_);
    for (int b = 0; b < kBandCount; ++b) {
      type.SetRatedPower(b, 100.0f);
      type.SetSensitivity(b, 100.0f);
      for (int r = 0; r < kBalloonRows; ++r)
        for (int c = 0; c < kBalloonColumns; ++c)
          type.BalloonBand(b)[size_t(r * kBalloonColumns + c)] = TypeCode(b, r, c);
      int16_t q10 = 0;
      DirectivityToStored(DirectivityFactor(type.BalloonBand(b)), q10);
      type.SetDirectivityQ10(b, q10);
    }
  }
  void TearDown() override {
    fs::remove_all(dir_);
    ObjectList own;
    FreeObjectInList(gSpeakerModel.types.At(typeIndex_)->shape, own);
    SpeakerModelTest::TearDown();
  }

  const SpeakerType& Type() const { return *gSpeakerModel.types.At(typeIndex_); }

  // A selected loudspeaker of the type at `position`, its symbol built, in
  // the model list.
  const GraphicObject* Place(std::array<float, 3> position, uint16_t on = 1) {
    Loudspeaker s;
    s.position = position;
    s.on = on;
    s.typeIndex = typeIndex_;
    UpdateSpeakerBandPower(s, Type());
    GraphicObject* object = MakeSpeakerObject();
    EXPECT_EQ(BuildSpeakerSymbol(s, object, true), 1);
    object->state |= kStateSelected;
    return object;
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_ = fs::temp_directory_path() / ("korvane_cluster_" + std::to_string(::getpid()));
  int16_t typeIndex_ = 0;
};

TEST_F(ClusterBalloonTest, TheSphereRingsTheCentreAt100Metres) {
  const Vec3d centre{1, 2, 3};
  const std::vector<Vec3d> points = ClusterSpherePoints(centre);
  ASSERT_EQ(points.size(), 2522u);
  for (const Vec3d& p : points) ASSERT_NEAR(std::sqrt(Dot(p - centre, p - centre)), 100.0, 1e-4);
  auto polarDegrees = [&](const Vec3d& p) { return std::acos((p.x - centre.x) / 100.0) * 180 / kPi; };
  EXPECT_NEAR(polarDegrees(points[0]), 5, 1e-3);
  EXPECT_NEAR(polarDegrees(points[34 * 72]), 175, 1e-3);
  // Column 18 of a ring turns a quarter from +y to +z.
  EXPECT_GT(points[0].y, centre.y);
  EXPECT_NEAR(points[18].y, centre.y, 1e-4);
  EXPECT_GT(points[18].z, centre.z);
  EXPECT_NEAR(points[2520].x, 101, 1e-12);
  EXPECT_NEAR(points[2521].x, -99, 1e-12);
}

TEST_F(ClusterBalloonTest, TwoCoincidentLoudspeakersGiveTheirTypesBalloon) {
  const GraphicObject* a = Place({2, 3, 4});
  const GraphicObject* b = Place({2, 3, 4});
  GraphicObject* face = CreateObject(0, 0, 0);  // selected, but no loudspeaker
  face->state = kStateSelected;
  AppendObject(face);
  const std::vector<const GraphicObject*> selected = {b, a, face};

  FakeServices services;
  ClusterBalloon cluster;
  ASSERT_EQ(ComputeClusterBalloon(selected, gSpeakerModel.types, cluster), ClusterRun::kDone);
  EXPECT_EQ(services.progressTitle, "Calculation Status :");
  EXPECT_EQ(services.progressOpen, 0);
  ASSERT_EQ(services.percents.size(), 97u);
  EXPECT_EQ(services.percents.back(), 97);
  EXPECT_EQ(services.progressTexts.front(), "1.0 %");
  EXPECT_EQ(services.progressTexts.back(), "97.0 %");
  EXPECT_EQ(cluster.loudspeakers, (std::vector<const GraphicObject*>{b, a}));
  EXPECT_NEAR(cluster.centre.x, 2, 1e-6);
  EXPECT_NEAR(cluster.centre.z, 4, 1e-6);

  const SpeakerType& record = *cluster.record;
  EXPECT_EQ(record.Brand(), "LS ARRAY");
  EXPECT_EQ(record.TypeName(), "CLUSTER");
  EXPECT_EQ(record.Comment(), "");
  EXPECT_EQ(record.Composition(), kCompositionComplete);
  EXPECT_EQ(record.LayoutFlag(), kCurrentSpeakerLayout);
  int worst = 0;
  for (int band = 0; band < kBandCount; ++band) {
    for (int r = 0; r < kBalloonRows; ++r)
      for (int c = 0; c < kBalloonColumns; ++c)
        worst = std::max(worst, std::abs(int(record.BalloonCode(band, r, c)) - int(TypeCode(band, r, c))));
    EXPECT_NEAR(record.DirectivityQ10(band), Type().DirectivityQ10(band), 1) << band;
    EXPECT_EQ(record.RatedPower(band), 200.0f);
    // Two coherent sources: four times the intensity from twice the power.
    EXPECT_NEAR(record.Sensitivity(band), 100 + 10 * std::log10(2.0), 0.01) << band;
    const double q = record.DirectivityQ10(band) / 10.0;
    const double efficiency = 1000 * std::pow(10.0, (record.Sensitivity(band) - 10 * std::log10(q) - 109) / 10);
    EXPECT_EQ(record.Efficiency(band), int16_t(efficiency)) << band;
  }
  EXPECT_LE(worst, 1);
}

TEST_F(ClusterBalloonTest, OnlyPlayingLoudspeakersSoundButEveryOneCountsAndEfficiencyFitsItsWord) {
  // Loud enough that the efficiency overflows its word.
  SpeakerType& type = *gSpeakerModel.types.At(typeIndex_);
  for (int b = 0; b < kBandCount; ++b) type.SetSensitivity(b, 160.0f);
  const GraphicObject* on = Place({0, 0, 0});
  const GraphicObject* off = Place({4, 0, 0}, 0);
  const std::vector<const GraphicObject*> selected = {on, off};

  FakeServices services;
  ClusterBalloon cluster;
  ASSERT_EQ(ComputeClusterBalloon(selected, gSpeakerModel.types, cluster), ClusterRun::kDone);
  EXPECT_NEAR(cluster.centre.x, 2, 1e-9);
  const SpeakerType& record = *cluster.record;
  EXPECT_EQ(record.RatedPower(0), 200.0f);
  // One loudspeaker heard from 2 m off the centre, from twice its power.
  EXPECT_NEAR(record.Sensitivity(0), 160 - 10 * std::log10(2.0), 0.2);
  EXPECT_EQ(record.Efficiency(0), 32767);
}

TEST_F(ClusterBalloonTest, WithoutLoudspeakersOrWhenCancelledNothingIsLeft) {
  GraphicObject* face = CreateObject(0, 3, 0);
  AppendObject(face);
  GraphicObject* line = CreateObject(0, 2, 0);
  AppendObject(line);
  FakeServices services;
  ClusterBalloon cluster;
  const std::vector<const GraphicObject*> noLoudspeakers = {face, line};
  EXPECT_EQ(ComputeClusterBalloon(noLoudspeakers, gSpeakerModel.types, cluster), ClusterRun::kNoLoudspeakers);
  EXPECT_TRUE(services.progressTitle.empty());
  EXPECT_EQ(cluster.record, nullptr);

  services.cancelAtUpdate = 10;
  const std::vector<const GraphicObject*> selected = {Place({0, 0, 0}), Place({1, 0, 0})};
  EXPECT_EQ(ComputeClusterBalloon(selected, gSpeakerModel.types, cluster), ClusterRun::kCancelled);
  EXPECT_EQ(services.percents.size(), 10u);
  EXPECT_EQ(services.progressOpen, 0);
  EXPECT_EQ(cluster.record, nullptr);
}

TEST_F(ClusterBalloonTest, TheFileIsAOneRecordDatabaseWithTheSymbolsAsItsShape) {
  const GraphicObject* a = Place({2, 3, 4});
  const GraphicObject* b = Place({2, 5, 4});
  const std::vector<const GraphicObject*> selected = {b, a};
  FakeServices services;
  ClusterBalloon cluster;
  ASSERT_EQ(ComputeClusterBalloon(selected, gSpeakerModel.types, cluster), ClusterRun::kDone);
  const std::string description = "Main cluster over the stage, two mid-highs";  // 42 characters
  ASSERT_EQ(WriteClusterDatabase(cluster, description, Path("ARRAY.KSB")), 1);

  std::vector<uint8_t> file;
  ASSERT_TRUE(ReadWholeFile(Path("ARRAY.KSB"), file));
  const size_t shapeBytes = 2 * (48 + 3 * 12 + 3 * 4);  // each symbol less its two reference points
  ASSERT_EQ(file.size(), 32 + 19160 + shapeBytes);
  EXPECT_EQ(ReadTextField(std::span(file).first(30)), "KORVANE SPEAKER DATABASE V140");
  EXPECT_EQ(LoadI16(&file[30]), 1);
  std::array<uint8_t, kSpeakerTypeSize> record;
  std::copy_n(file.begin() + 32, record.size(), record.begin());
  ASSERT_EQ(UnsealSpeakerRecord(record), 1);
  EXPECT_EQ(LoadU32(&record[196]), file.size() - 32 - 19160);
  EXPECT_EQ(ReadTextField(std::span(record).subspan(30, 41)), description.substr(0, 40));
  // The objects stay as they were.
  EXPECT_EQ(a->vertexCount, 5u);
  EXPECT_NE(a->state & kStateSelected, 0u);

  // The speaker-database editor reads it with its shape, relative to the
  // centre (3, 4, 4) and no longer selected.
  SpeakerDatabase database;
  MemoryReader reader(file);
  ASSERT_EQ(ReadSpeakerDatabase(reader, database, DatabaseLoad::kOpen), DatabaseReadResult::kLoaded);
  ASSERT_EQ(database.records.size(), 1u);
  EXPECT_EQ(database.records[0].type->TypeName(), "CLUSTER");
  EXPECT_EQ(database.records[0].type->bytes[kTypeBalloon + 100], cluster.record->bytes[kTypeBalloon + 100]);
  const GraphicObject* first = database.records[0].shape.list().first;
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->next, nullptr);
  EXPECT_EQ(first->next->next, nullptr);
  ASSERT_EQ(first->vertexCount, 3u);
  EXPECT_NEAR(first->vertices[0].x, 0.5f, 1e-6);  // b's tip, 1 m to the centre's +y
  EXPECT_NEAR(first->vertices[0].y, 1.0f, 1e-6);
  EXPECT_NEAR(first->vertices[0].z, 0.0f, 1e-6);
  EXPECT_NEAR(first->next->vertices[0].y, -1.0f, 1e-6);
  EXPECT_EQ(first->state & kStateSelected, 0u);
  EXPECT_EQ(first->layer, kLoudspeakerLayer);

  // The design program indexes it and loads the type with one shape.
  SpeakerDatabaseIndex index;
  ASSERT_EQ(OpenSpeakerDatabaseIndex(index, Path("ARRAY.KSB")), 1);
  ObjectList model;
  SpeakerTypeTable table;
  ASSERT_EQ(LoadSpeakerType(index, "CLUSTER", table, 0, model, defaultSymbol_), 1);
  EXPECT_EQ(table.types[0]->Brand(), "LS ARRAY");
  ASSERT_EQ(model.first, table.types[0]->shape);
  EXPECT_EQ(model.first->vertexCount, 3u + 3u + 2u);
  FreeObjectList(model);
  ClearSpeakerTypeTable(table);

  // No description is an empty comment.
  ASSERT_EQ(WriteClusterDatabase(cluster, "", Path("EMPTY.KSB")), 1);
  ASSERT_EQ(OpenSpeakerDatabaseIndex(index, Path("EMPTY.KSB")), 1);
  std::string comment = "?";
  ASSERT_EQ(ReadIndexedComment(index, 0, comment), 1);
  EXPECT_EQ(comment, "");
}

TEST_F(ClusterBalloonTest, AFailedWriteSaysSoAndKeepsTheOldFile) {
  const std::vector<const GraphicObject*> selected = {Place({0, 0, 0})};
  FakeServices services;
  ClusterBalloon cluster;
  ASSERT_EQ(ComputeClusterBalloon(selected, gSpeakerModel.types, cluster), ClusterRun::kDone);
  std::ofstream(Path("OLD.KSB")) << "old";
  MessageRecorder messages;
  {
    db_fixtures::FileSizeLimit limit(10000);
    EXPECT_EQ(WriteClusterDatabase(cluster, "x", Path("OLD.KSB")), 0);
  }
  EXPECT_EQ(WriteClusterDatabase(cluster, "x", Path("none/OLD.KSB")), 0);
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{kWriteFailedMessage, kWriteFailedMessage}));
  std::vector<uint8_t> old;
  ASSERT_TRUE(ReadWholeFile(Path("OLD.KSB"), old));
  EXPECT_EQ(std::string(old.begin(), old.end()), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
