#include "design/acoustics/result_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "design/acoustics/result_map.h"
#include "tests/support/comma_locale.h"
#include "tests/support/message_recorder.h"

namespace {

namespace fs = std::filesystem;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// 2024-03-05 14:07:09.
std::tm ExportTime() {
  std::tm time{};
  strptime("2024-03-05 14:07:09", "%Y-%m-%d %H:%M:%S", &time);
  return time;
}
constexpr char kMapFile[] = "hall.KPR_KO_Exp_20240305_140709.csv";
constexpr char kSinglePointFile[] = "hall.KPR_SinglePoints_KO_Exp_20240305_140709.csv";

GridPoint PointOfLevel(float level) {
  GridPoint point;
  point.level.fill(level);
  return point;
}

// Without reverberant energy every band transmits fully, and its level is
// the point's own: the lines can be written down.
std::string FullTransmissionLines(int dB) {
  std::string lines;
  for (int b = 0; b < kBandCount; ++b) lines += std::to_string(b) + ",1.000000," + std::to_string(dB) + ".0\n";
  return lines;
}

class ResultExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("result_export_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    project_ = (dir_ / "hall.KPR").string();
    points_ = {PointOfLevel(10), PointOfLevel(1000), PointOfLevel(1e5f)};
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Contents(const char* name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string AllPointLines() const {
    return FullTransmissionLines(10) + FullTransmissionLines(30) + FullTransmissionLines(50);
  }
  int Export(int band = kAllBands) { return ExportStiMap(points_, StiRoom{}, band, project_, ExportTime()); }

  fs::path dir_;
  std::string project_;
  std::vector<GridPoint> points_;
};

TEST_F(ResultExportTest, TwoExportsInOneSecondAppendToOneFile) {
  MessageRecorder messages;
  EXPECT_EQ(Export(), 1);
  EXPECT_EQ(Contents(kMapFile), AllPointLines());  // 7 lines a point
  EXPECT_EQ(Export(), 1);
  EXPECT_EQ(Contents(kMapFile), AllPointLines() + AllPointLines());
  ASSERT_EQ(messages.messages().size(), 2u);
  EXPECT_EQ(messages.messages()[1].text, kExportFinished);
  EXPECT_EQ(messages.messages()[1].caption, "Export");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ResultExportTest, OneBandShowsTheMessageAndWritesNothing) {
  MessageRecorder messages;
  EXPECT_EQ(Export(3), 0);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{kExportNeedsAllBands});
  EXPECT_EQ(messages.messages()[0].caption, "Export");
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(ResultExportTest, AFileThatCannotBeWrittenIsReportedNotFinished) {
  struct Case {
    const char* what;
    std::string project;
    std::string message;
  };
  // A name that leads onto a full disk.
  fs::create_symlink("/dev/full", dir_ / kMapFile);
  const Case cases[] = {
      {"a missing folder", (dir_ / "missing" / "hall.KPR").string(),
       std::string("Failed to open log file: ") + std::strerror(ENOENT)},
      {"a full disk", project_, std::string("Failed to write log file: ") + std::strerror(ENOSPC)},
  };
  for (const Case& c : cases) {
    MessageRecorder messages;
    CaptureStderr();
    EXPECT_EQ(ExportStiMap(points_, StiRoom{}, kAllBands, c.project, ExportTime()), 0) << c.what;
    EXPECT_EQ(GetCapturedStderr(), c.message + "\n") << c.what;
    EXPECT_EQ(messages.texts(), std::vector<std::string>{c.message}) << c.what;
    EXPECT_EQ(messages.messages()[0].caption, "Export") << c.what;
  }
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(ResultExportTest, ADecimalCommaLocaleStillWritesPoints) {
  ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << comma.why();
  MessageRecorder messages;
  EXPECT_EQ(Export(), 1);
  EXPECT_EQ(Contents(kMapFile), AllPointLines());
}

TEST_F(ResultExportTest, SinglePointsAppendTheirLinesInTheExportModeWithAllBands) {
  ReverberantTerms terms;  // no reverberant energy
  SinglePointExport target{project_, ExportTime()};
  EXPECT_EQ(SinglePointText(kResultStiExport, kAllBands, points_[0], terms, target), "1.00");
  EXPECT_EQ(SinglePointText(kResultStiExport, kAllBands, points_[1], terms, target), "1.00");
  EXPECT_EQ(Contents(kSinglePointFile), FullTransmissionLines(10) + FullTransmissionLines(30));

  // Other modes and one band write nothing.
  EXPECT_EQ(SinglePointText(kResultStiExport, 2, points_[2], terms, target), "1.00");
  EXPECT_EQ(SinglePointText(kResultSti, kAllBands, points_[2], terms, target), "1.00");
  EXPECT_EQ(SinglePointText(kResultDirectLevel, 2, points_[2], terms, target), "50.00");
  EXPECT_EQ(Contents(kSinglePointFile), FullTransmissionLines(10) + FullTransmissionLines(30));

  // A value that is not finite has no read-out.
  GridPoint damaged = points_[0];
  damaged.level[2] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(SinglePointText(kResultDirectLevel, 2, damaged, terms, target), "");
  EXPECT_FALSE(target.failed);
}

TEST_F(ResultExportTest, ASinglePointFileThatCannotBeOpenedIsReportedOnce) {
  MessageRecorder messages;
  SinglePointExport target{(dir_ / "missing" / "hall.KPR").string(), ExportTime()};
  CaptureStderr();
  for (const GridPoint& point : points_)
    EXPECT_EQ(SinglePointText(kResultStiExport, kAllBands, point, ReverberantTerms{}, target), "1.00");
  GetCapturedStderr();
  EXPECT_TRUE(target.failed);
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{std::string("Failed to open log file: ") + std::strerror(ENOENT)});
}

}  // namespace
