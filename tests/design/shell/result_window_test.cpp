// The result window on the example hall's level map, as the user works it:
// the band, mode and step buttons, the map read back from the window, the
// single points, the CSV export, the print and the right click's search.
#include "design/windows/result_window.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "design/acoustics/level_map.h"
#include "design/acoustics/reflection_search.h"
#include "design/acoustics/result_export.h"
#include "design/acoustics/result_map.h"
#include "design/model/project.h"
#include "design/shell/calculation_commands.h"
#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/input_loop.h"
#include "framework/base/printing.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"
#include "framework/view/projection.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/design/acoustics/audio_fixtures.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

using platform::test::ClickControl;

class ResultWindowTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
    platform::test::DialogScript dialogs;
    dialogs.On("DIALOG_10", [](platform::test::DialogUser& user) { user.Press(501); });
    CommandLeavingResults(kCmdLevelAndTime);
    ASSERT_EQ(gLevelMap.resultPresent, 1);
    ASSERT_EQ(gLevelMap.result.grid.PointCount(), 168u);  // 14 x 12 m of seats at 1 m
  }

  // Show Last Calulation, `steps` whenever the window waits, then "<-".
  void InResults(std::vector<std::function<void()>> steps) {
    steps.push_back([] { ClickControl(ResultWindowButton(kResultBackButton)); });
    RunSteps([&] { Command(kCmdShowLastCalculation); }, steps);
    EXPECT_EQ(ResultWindowHandle(), platform::Window::kNone);
  }
  static std::function<void()> Press(int id) {
    return [id] { ASSERT_TRUE(ClickControl(ResultWindowButton(id))) << id; };
  }

  // Where grid point i shows in the window.
  static platform::Point PixelOf(size_t i) {
    const MapResult& r = gLevelMap.result;
    ProjectPointToScreen(PointOnFace(r.faces, r.grid.points[i]));
    return {gWork.screenPoints[0].x, gWork.screenPoints[0].y};
  }
  static platform::Colour At(platform::Point p) { return platform::test::SurfacePixel(ResultWindowHandle(), p.x, p.y); }
  // The scale the window uses now.
  static ColourScale CurrentScale() {
    const ReverberantTerms terms = ComputeReverberantTerms(ProjectTables(), ProjectReverbSettings(gProject));
    const ResultWindowState& v = gResultWindow;
    return MakeColourScale(v.mode, v.stepIndex,
                           ComputeResultRange(v.mode, v.band, gLevelMap.result.grid.ranges, terms));
  }
  static double ValueOf(size_t i) {
    const ReverberantTerms terms = ComputeReverberantTerms(ProjectTables(), ProjectReverbSettings(gProject));
    return ResultValue(gResultWindow.mode, gResultWindow.band, gLevelMap.result.grid.points[i], terms);
  }
  // Every cell of `points` in the colour its value's class says.
  void ExpectCellColours(std::initializer_list<size_t> points) {
    const ColourScale scale = CurrentScale();
    for (size_t i : points) {
      const platform::Point p = PixelOf(i);
      const platform::Colour expected = gPalette.colours[ScaleColour(scale, ValueOf(i))];
      // A few pixels off the centre, clear of a single point's mark.
      EXPECT_EQ(At({p.x + 5, p.y + 5}), expected) << "point " << i << " mode " << gResultWindow.mode;
    }
  }
  std::vector<std::filesystem::path> ExportFiles(const std::string& marker) const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
      if (entry.path().filename().string().find(marker) != std::string::npos) files.push_back(entry.path());
    return files;
  }
  static size_t LineCount(const std::filesystem::path& path) {
    std::ifstream in(path);
    size_t lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
  }
};

TEST_F(ResultWindowTest, ButtonsStandWhereTheyBelongAndChooseBandModeAndStep) {
  InResults({[] {
               ASSERT_NE(ResultWindowHandle(), platform::Window::kNone);
               EXPECT_FALSE(platform::IsWindowVisible(DrawWindow->window) &&
                            DrawWindow->window != ResultWindowHandle());
               const int bottom = platform::GetClientSize(MainWindow.window).height;
               const struct {
                 int id;
                 platform::Rect rect;
                 const char* text;
               } buttons[] = {
                   {kResultBackButton, {0, 24, 32, 56}, "<-"},
                   {kFirstBandButton + 3, {0, 152, 32, 184}, " 1k"},
                   {kFirstBandButton + 7, {0, 280, 32, 312}, "\xC3\xB8"},  // as the screen shows it
                   {kFirstModeButton + 2, {128, bottom - 22, 176, bottom - 4}, "Lt(Z)"},
                   {kFirstStepButton + 1, {368, bottom - 22, 408, bottom - 4}, "1 dB"},
                   {kResultPrintButton, {496, bottom - 22, 576, bottom - 4}, "PRINT"},
               };
               for (const auto& b : buttons) {
                 const platform::Window w = ResultWindowButton(b.id);
                 const platform::Rect r = platform::GetWindowRect(w);
                 EXPECT_EQ(r.left, b.rect.left) << b.id;
                 EXPECT_EQ(r.top, b.rect.top) << b.id;
                 EXPECT_EQ(r.right, b.rect.right) << b.id;
                 EXPECT_EQ(r.bottom, b.rect.bottom) << b.id;
                 EXPECT_EQ(platform::GetWindowText(w), b.text) << b.id;
               }
               // All bands, Ld and Auto to start with, shown pressed.
               EXPECT_TRUE(platform::IsButtonPressed(ResultWindowButton(kFirstBandButton + 7)));
               EXPECT_TRUE(platform::IsButtonPressed(ResultWindowButton(kFirstModeButton)));
               EXPECT_TRUE(platform::IsButtonPressed(ResultWindowButton(kFirstStepButton)));
               EXPECT_FALSE(platform::IsWindowVisible(ResultWindowButton(kResultClearButton)));
             },
             Press(kFirstBandButton + 3), Press(kFirstModeButton + 2),
             [] {
               EXPECT_EQ(gResultWindow.band, 3);
               EXPECT_EQ(gResultWindow.mode, kResultTotalLevel);
               EXPECT_TRUE(platform::IsButtonPressed(ResultWindowButton(kFirstBandButton + 3)));
               EXPECT_FALSE(platform::IsButtonPressed(ResultWindowButton(kFirstBandButton + 7)));
               EXPECT_FALSE(platform::IsButtonPressed(ResultWindowButton(kFirstModeButton)));
             },
             Press(kFirstModeButton + 1), Press(kFirstStepButton + 2),
             [] {
               EXPECT_EQ(gResultWindow.mode, kResultTime);
               EXPECT_EQ(gResultWindow.stepIndex, 1);
               EXPECT_EQ(platform::GetWindowText(ResultWindowButton(kFirstStepButton + 2)), "10ms");
               EXPECT_TRUE(platform::IsButtonPressed(ResultWindowButton(kFirstStepButton + 2)));
               EXPECT_FALSE(platform::IsButtonPressed(ResultWindowButton(kFirstStepButton)));
             }});
  // Mode, band and step wait for the next opening.
  EXPECT_EQ(gResultWindow.mode, kResultTime);
  EXPECT_EQ(gResultWindow.band, 3);
  EXPECT_EQ(gResultWindow.stepIndex, 1);
  EXPECT_EQ(gInput.activeCommand, 0);
  EXPECT_TRUE(platform::IsWindowVisible(DrawWindow->window));
}

TEST_F(ResultWindowTest, TheMapShowsEachCellInItsClassColourInEveryMode) {
  const auto check = [this] { ExpectCellColours({0, 20, 77, 100, 167}); };
  InResults({check, Press(kFirstModeButton + 1), check, Press(kFirstBandButton + 3), Press(kFirstModeButton + 2), check,
             Press(kFirstModeButton + 3), check, Press(kFirstModeButton + 4), Press(kFirstBandButton + 7), check,
             Press(kFirstStepButton + 3), check});
}

// The view keys work on the map: F4 turns it into the 3D view, F1 back to
// the plan, F5 zooms out; the cells follow each time.
TEST_F(ResultWindowTest, TheViewKeysMoveTheMapWithTheModel) {
  float scale = 0;
  InResults({[] { platform::test::KeyPress(platform::KeyF(4)); },
             [this] {
               EXPECT_EQ(gView.mode, kView3D);
               ExpectCellColours({20, 100});
               platform::test::KeyPress(platform::KeyF(1));
             },
             [&] {
               scale = gView.scale;
               platform::test::KeyPress(platform::KeyF(5));
             },
             [&, this] {
               EXPECT_EQ(gView.mode, kViewXY);
               EXPECT_EQ(gView.scale, scale / 2);
               ExpectCellColours({20, 100});
             }});
}

TEST_F(ResultWindowTest, ABandWithoutLoudspeakersHasNoLabelAndDoesNothing) {
  gLevelMap.result.counts.words[6] = 0;
  InResults({[] { EXPECT_EQ(platform::GetWindowText(ResultWindowButton(kFirstBandButton + 6)), ""); },
             Press(kFirstBandButton + 6), [] { EXPECT_EQ(gResultWindow.band, kAllBands); }});
}

TEST_F(ResultWindowTest, WithoutARoomOnlyLdAndTimeAreOfferedAndLtFallsBack) {
  for (GraphicObject* o = gObjects.model.first; o;) {
    GraphicObject* next = o->next;
    if (o->layer == kRoomLayer) FreeObject(o);
    o = next;
  }
  gResultWindow.mode = kResultTotalLevel;
  InResults({[] {
    EXPECT_EQ(gResultWindow.mode, kResultDirectLevel);
    EXPECT_NE(ResultWindowButton(kFirstModeButton + 1), platform::Window::kNone);
    EXPECT_EQ(ResultWindowButton(kFirstModeButton + 2), platform::Window::kNone);
  }});
}

// A click within 10 pixels of a point marks it; 11 pixels off every point
// marks nothing; the list holds 100; "CLEAR" shows while it holds any.
TEST_F(ResultWindowTest, ClicksMarkSinglePointsUpToAHundred) {
  const auto click = [](size_t point, int dx, int dy) {
    return [=] {
      const platform::Point p = PixelOf(point);
      platform::test::Click(ResultWindowHandle(), p.x + dx, p.y + dy);
    };
  };
  InResults({click(20, 7, 7),
             [] {
               ASSERT_EQ(gLevelMap.singlePoints.count, 1);
               EXPECT_EQ(gLevelMap.singlePoints.indices[0], 20);
               EXPECT_TRUE(platform::IsWindowVisible(ResultWindowButton(kResultClearButton)));
               // The read-out's square in black on the point.
               EXPECT_EQ(At(PixelOf(20)), 0u);
             },
             click(40, 11, 0), [] { EXPECT_EQ(gLevelMap.singlePoints.count, 1); }, Press(kResultClearButton),
             [this] {
               EXPECT_EQ(gLevelMap.singlePoints.count, 0);
               EXPECT_FALSE(platform::IsWindowVisible(ResultWindowButton(kResultClearButton)));
               ExpectCellColours({20});
               for (uint16_t i = 0; i < kMaxSinglePoints; ++i) AddSinglePoint(gLevelMap.singlePoints, i);
             },
             click(150, 0, 0), [] { EXPECT_EQ(gLevelMap.singlePoints.count, kMaxSinglePoints); }});
  // The points stay with the result.
  EXPECT_EQ(gLevelMap.singlePoints.count, kMaxSinglePoints);
}

TEST_F(ResultWindowTest, TheExportModeWritesTheMapWithAllBandsOnly) {
  std::tm now{};
  now.tm_year = 126, now.tm_mon = 11, now.tm_mday = 11, now.tm_hour = 2, now.tm_min = 3, now.tm_sec = 4;
  platform::test::SetClock(0, std::mktime(&now));
  MessageRecorder messages;
  const size_t lines = 7 * gLevelMap.result.grid.PointCount();
  InResults({Press(kFirstBandButton + 3), Press(kFirstModeButton + 5),
             [&] {
               EXPECT_EQ(messages.texts(), std::vector<std::string>{kExportNeedsAllBands});
               EXPECT_TRUE(ExportFiles("_KO_Exp_").empty());
             },
             Press(kFirstBandButton + 7),
             [&] {
               const auto files = ExportFiles("_KO_Exp_");
               ASSERT_EQ(files.size(), 1u);
               EXPECT_EQ(files[0].filename().string(), "HALL.KPR_KO_Exp_20261211_020304.csv");
               EXPECT_EQ(LineCount(files[0]), lines);
             },
             // Within the same second a step repaints and appends.
             Press(kFirstStepButton + 1),
             [&] {
               const auto files = ExportFiles("_KO_Exp_");
               ASSERT_EQ(files.size(), 1u);
               EXPECT_EQ(LineCount(files[0]), 2 * lines);
             }});
  platform::test::UseRealClock();
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{kExportNeedsAllBands, kExportFinished, kExportFinished}));
  EXPECT_EQ(messages.messages().back().caption, kExportCaption);
}

// Printed on a colour printer the cells keep their colours; on one without
// colour they take the level patterns, black and white alone.
TEST_F(ResultWindowTest, APrintShowsTheMapInColoursOrInPatterns) {
  for (int colours : {16777216, 2}) {
    SCOPED_TRACE(colours);
    platform::test::PrintDialogScript script;
    platform::test::RecordingPrinter printer;
    printer.caps.widthPixels = 1600;
    printer.caps.heightPixels = 1200;
    printer.caps.colours = colours;
    script.Record(printer);
    platform::Point cell;
    platform::Size client;
    platform::Colour shown = 0;
    InResults({[&] {
                 cell = PixelOf(77);
                 cell.x += 5, cell.y += 5;
                 client = platform::GetClientSize(ResultWindowHandle());
                 shown = At(cell);
               },
               Press(kResultPrintButton)});
    ASSERT_EQ(script.presets().size(), 1u);
    EXPECT_TRUE(script.presets()[0].landscape);
    ASSERT_EQ(script.documents().size(), 1u);
    const platform::Bitmap page = script.documents()[0].pages.at(0).image;
    ASSERT_NE(page, platform::Bitmap::kNone);
    // The window lies centred on the page at a whole number of printer
    // pixels per window pixel.
    const double scale = PrintViewScale(client.width + 1, client.height + 1, 1600, 1200);
    const int x0 = int((1600 - scale * client.width) / 2), y0 = int((1200 - scale * client.height) / 2);
    platform::Context memory = platform::CreateMemoryContext();
    platform::SelectBitmap(memory, page);
    // An 8 x 8 pattern needs a wider look than a solid fill.
    const int reach = colours > 2 ? 3 : 8;
    std::set<platform::Colour> seen;
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx)
        seen.insert(
            platform::GetPixel(memory, x0 + int((cell.x + dx + 0.5) * scale), y0 + int((cell.y + dy + 0.5) * scale)));
    platform::SelectBitmap(memory, platform::Bitmap::kNone);
    platform::DeleteContext(memory);
    if (colours > 2) {
      EXPECT_EQ(seen, std::set<platform::Colour>{shown});
    } else {
      // A two-colour pattern in place of the class's colour.
      EXPECT_EQ(seen.count(shown), 0u);
      EXPECT_EQ(seen, (std::set<platform::Colour>{0, 0xFFFFFF}));
    }
  }
}

// The search at a right-clicked point plays the paths it found at once,
// their reverberant levels taken from the map's value there; the window
// stays and the paths go.
TEST_F(ResultWindowTest, ARightClickPlaysThePathsFoundAtThePoint) {
  {
    platform::test::FileDialogScript files;
    files.Choose(audio_fixtures::kSpeechFile);
    Command(kCmdSelectWavInput);
  }
  platform::test::SoundRecorder sound;
  const size_t point = 77;
  const double mapLevel = DirectToReverbAll(ComputeReverberantTerms(ProjectTables(), ProjectReverbSettings(gProject)),
                                            gLevelMap.result.grid.points[point].level);
  InResults({[] {
               const platform::Point p = PixelOf(point);
               platform::test::Click(ResultWindowHandle(), p.x + 3, p.y, platform::kMouseRight);
             },
             [] { EXPECT_NE(ResultWindowHandle(), platform::Window::kNone); }});
  ASSERT_EQ(sound.streams.size(), 1u);
  EXPECT_GT(gRaySearch.storedPaths, 0u);
  EXPECT_FLOAT_EQ(gRaySearch.results.reverberantLevel[2], gRaySearch.results.earlyLevel[2] - float(mapLevel));
  EXPECT_EQ(CountOnLayer(kRayPathLayer), 0);
}

}  // namespace
