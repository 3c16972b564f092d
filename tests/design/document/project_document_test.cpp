#include "design/document/project_document.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "design/acoustics/map_file.h"
#include "design/acoustics/receiver_engine.h"
#include "design/model/project.h"
#include "tests/design/acoustics/map_fixtures.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kFaceCountAt = 128;  // of a map block

class ProjectDocumentTest : public MapModelTest {
 protected:
  void SetUp() override {
    MapModelTest::SetUp();
    dir_ = fs::temp_directory_path() / ("korvane_document_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    MapModelTest::TearDown();
  }
  fs::path dir_;
};

TEST_F(ProjectDocumentTest, NewProjectDropsTheResultAndTheEngineTables) {
  AddHall();
  CalcOptions options;
  // On the calling thread, so that the program's own context holds a point.
  ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables(), kReferenceExecution), LevelMapRun::kDone);
  ASSERT_GT(gCalcFaceTable.Count(), 0);
  ASSERT_GT(gReceiverEngine.context.arrivalCount, 0u);
  EXPECT_EQ(NewProject(), 1);
  EXPECT_EQ(gLevelMap.resultPresent, 0);
  EXPECT_EQ(gLevelMap.result.grid.PointCount(), 0u);
  EXPECT_EQ(gReceiverEngine.activeSpeakers.Count(), 0);
  EXPECT_EQ(gReceiverEngine.activeSpeakers.counts.words, BandSpeakerCounts{}.words);
  EXPECT_EQ(gReceiverEngine.context.arrivalCount, 0u);
  EXPECT_EQ(gReceiverEngine.context.speakers, nullptr);
  EXPECT_EQ(gReceiverEngine.context.bands[0].values[0], 0.0f);
  EXPECT_EQ(gCalcFaceTable.Count(), 0);
  EXPECT_EQ(gObjects.model.first, nullptr);
  EXPECT_EQ(gProject.path, kDefaultProjectPath);
}

TEST_F(ProjectDocumentTest, AResultSavedWithTheProjectComesBackWithIt) {
  AddHall();
  CalcOptions options;
  ASSERT_EQ(RunLevelTimeCalculation(options, ProjectTables()), LevelMapRun::kDone);
  gLevelMap.description = "Balcony";
  gLevelMap.singlePoints.count = 1;
  gLevelMap.singlePoints.indices[0] = 69;
  gLevelMap.singlePoints.pointCount = 70;
  const MapResult calculated = gLevelMap.result;
  const std::string path = (dir_ / "hall.KPR").string();
  MessageRecorder messages;
  ASSERT_EQ(SaveProjectAs(path), 1);

  NewProject();
  ResetLevelMap();
  ASSERT_EQ(ReadProjectFile(path), 1);
  EXPECT_EQ(gLevelMap.resultPresent, 1);
  EXPECT_EQ(gLevelMap.description, "Balcony");
  EXPECT_EQ(gLevelMap.singlePoints.count, 1);
  EXPECT_EQ(gLevelMap.singlePoints.indices[0], 69);
  const MapGrid& grid = gLevelMap.result.grid;
  ASSERT_EQ(grid.PointCount(), 70u);
  EXPECT_EQ(grid.spacing, calculated.grid.spacing);
  EXPECT_EQ(gLevelMap.result.faces.Count(), 1);
  for (size_t i = 0; i < grid.points.size(); ++i) {
    EXPECT_EQ(grid.points[i].y, calculated.grid.points[i].y);
    EXPECT_EQ(grid.points[i].level[3], LevelFromCode(int16_t(LevelCode(calculated.grid.points[i].level[3]))));
    EXPECT_EQ(grid.points[i].time[3], std::floor(calculated.grid.points[i].time[3]));
  }
  EXPECT_EQ(gReceiverEngine.activeSpeakers.Count(), 2);

  // Without a result the project ends at its materials.
  ASSERT_EQ(SaveProjectAs(path), 1);
  const uintmax_t withResult = fs::file_size(path);
  gLevelMap.resultPresent = 0;
  ASSERT_EQ(SaveProjectAs(path), 1);
  const uintmax_t withoutResult = fs::file_size(path);
  EXPECT_EQ(withResult - withoutResult, kMapHeaderSize + 24 + 40 + kMapGridHeaderSize + 70 * 42 + 4 + 2);

  // A damaged block: the project opens without a result.
  gLevelMap.resultPresent = 1;
  ASSERT_EQ(SaveProjectAs(path), 1);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  bytes[withoutResult + kFaceCountAt] = 9;  // nine faces, where there is one
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  NewProject();
  ASSERT_EQ(ReadProjectFile(path), 1);
  EXPECT_EQ(gLevelMap.resultPresent, 0);
  EXPECT_TRUE(messages.texts().empty());
}

}  // namespace
