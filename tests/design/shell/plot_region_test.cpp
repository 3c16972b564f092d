// File/Print in kdn on the example hall: the page placed at a measure in
// each view, the whole model fitted to a page (a PDF page with its title
// block), and the view and the model as they were afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "design/model/project.h"
#include "design/shell/core/command_table.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/input_loop.h"
#include "framework/base/view_state.h"
#include "framework/model/graphic_object.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "tests/design/shell/kdn_fixture.h"
#include "tests/support/bitmap_compare.h"

namespace {

using platform::test::DialogUser;

constexpr int kMetresField = 105, kMillimetresField = 106, kMeasureButton = 107, kZoomAllButton = 109;
constexpr int kOkButton = 110, kCancelButton = 111;

// A page of 200 x 150 mm at 10 pixels per millimetre.
platform::test::RecordingPrinter SmallPage() {
  platform::test::RecordingPrinter printer;
  printer.caps = {2000, 1500, 200, 150};
  printer.caps.colours = 16777216;
  printer.keepImages = false;
  return printer;
}

// The print's parameters: the page placed at 10 mm on paper for a metre.
void AtTenMillimetresAMetre(DialogUser& user) {
  user.Type(kMetresField, "1");
  user.Type(kMillimetresField, "10");
  user.Press(kMeasureButton);
  user.Press(kOkButton);
}

class PlotRegionTest : public KdnTest {
 protected:
  void SetUp() override {
    KdnTest::SetUp();
    StartWithHall();
    objects_ = CountObjects();
  }
  // The view fields the print sets for the page.
  struct View {
    int16_t mode;
    float scale, originX, originY, centreX, centreY;
    bool operator==(const View&) const = default;
  };
  static View Now() { return {gView.mode, gView.scale, gView.originX, gView.originY, gView.centreX, gView.centreY}; }
  static bool HasMarker() {
    for (GraphicObject* o = gObjects.model.first; o; o = o->next)
      if (o->kind == kKindPrintRegion) return true;
    return false;
  }
  uint32_t objects_ = 0;
};

int NonWhite(platform::Bitmap image, int x0, int y0, int x1, int y1) {
  platform::Context memory = platform::CreateMemoryContext();
  platform::SelectBitmap(memory, image);
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += (platform::GetPixel(memory, x, y) & 0xFFFFFF) != 0xFFFFFF;
  platform::DeleteContext(memory);
  return n;
}

TEST_F(PlotRegionTest, MeasurePlacesThePageOfTheScaleInThePlanAndPutsTheViewBack) {
  const View before = Now();
  ASSERT_EQ(before.mode, kViewXY);
  gView.mode = kView3D;
  Command(kCmdZoomAll);
  const View in3D = Now();
  platform::test::PrintDialogScript printer;
  printer.Record(SmallPage());
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_7", AtTenMillimetresAMetre);
  double markerWidth = 0, markerHeight = 0;
  RunSteps([&] { Command(kCmdPrintRegion); }, {[&] {
             ASSERT_EQ(gObjects.model.first->kind, kKindPrintRegion);
             const ObjectVertex* v = gObjects.model.first->vertices;
             markerWidth = std::abs(v[2].x - v[0].x);
             markerHeight = std::abs(v[2].y - v[0].y);
             EXPECT_EQ(gView.mode, kViewXY);
             const int x = int(gView.centreX + (10 - gView.originX) * gView.scale);
             const int y = int(gView.centreY - (0 - gView.originY) * gView.scale);
             platform::test::MouseMove(DrawWindow->window, x, y);
             platform::test::Click(DrawWindow->window, x, y);
           }});
  // 10 mm for a metre on a page 200 x 150 mm: 20 x 15 m of model.
  EXPECT_NEAR(markerWidth, 20, 1e-4);
  EXPECT_NEAR(markerHeight, 15, 1e-4);
  ASSERT_EQ(printer.documents().size(), 1u);
  ASSERT_EQ(printer.documents()[0].pages.size(), 1u);
  EXPECT_TRUE(printer.documents()[0].ended);
  // The frame along the page edge, three rectangles inset by 0, 1 and 2.
  int frames = 0;
  for (const auto& op : printer.documents()[0].pages[0].operations)
    frames += op.kind == 'R' && op.bounds.left == op.bounds.top && op.bounds.left <= 2 &&
              op.bounds.right == 2000 - op.bounds.left;
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(Now(), in3D);
  EXPECT_FALSE(HasMarker());
  EXPECT_EQ(CountObjects(), objects_);
  EXPECT_EQ(gInput.activeCommand, 0);
}

// The pixel of a model point along the axes of the 2D view shown.
platform::Point PixelInView(const ObjectVertex& p) {
  const float u = gView.mode == kViewYZ ? p.y : p.x, v = gView.mode == kViewXY ? p.y : p.z;
  return {int(gView.centreX + (u - gView.originX) * gView.scale),
          int(gView.centreY - (v - gView.originY) * gView.scale)};
}

// Whether the page holds a horizontal line (of the printer's pen width)
// along `row`, give or take a pixel, at least `width` pixels long.
bool HasHorizontalLine(const platform::test::RecordedPage& page, int row, int width) {
  for (const auto& op : page.operations)
    if (op.kind == 'L' && op.bounds.bottom - op.bounds.top <= 4 &&
        std::abs((op.bounds.top + op.bounds.bottom) / 2 - row) <= 1 && op.bounds.right - op.bounds.left >= width)
      return true;
  return false;
}

TEST_F(PlotRegionTest, MeasurePrintsTheSideAndFrontViewsAsTheyAreAndThe3DViewsAsThePlan) {
  // The page of 20 x 15 m at 100 pixels a metre, placed from the point
  // (12, 4, 4.5) and centred where the user clicks: the hall's floor (z 0)
  // and ceiling (z 9) below and above the centre in the side and front
  // views, its wall at y 8 4 m above it in the plan.
  struct Case {
    const char* name;
    ViewMode view;
    unsigned key;  // pressed while the page is placed; 0 none
    ObjectVertex centre;
    std::vector<int> rows;
  };
  const Case cases[] = {
      {"side", kViewYZ, 0, {12, 0, 4.5f}, {1200, 300}},
      {"front", kViewXZ, 0, {12, 0, 4.5f}, {1200, 300}},
      {"plan switched to the side", kViewXY, platform::KeyF(2), {12, 0, 5.5f}, {1300, 400}},
      {"plan switched to 3D", kViewXY, platform::KeyF(4), {12, 4, 4.5f}, {350}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gView.mode = c.view;
    Command(kCmdZoomAll);
    const View before = Now();
    gInput.cursorPoint = {12, 4, 4.5f};
    platform::test::PrintDialogScript printer;
    printer.Record(SmallPage());
    platform::test::DialogScript dialogs;
    dialogs.On("DIALOG_7", AtTenMillimetresAMetre);
    std::vector<std::function<void()>> steps;
    if (c.key) steps.push_back([&] { platform::test::KeyPress(c.key); });
    steps.push_back([&] {
      if (!c.key) {
        // The page lies in the plane of the view, 20 x 15 m.
        EXPECT_EQ(gView.mode, c.view);
        ASSERT_EQ(gObjects.model.first->kind, kKindPrintRegion);
        const ObjectVertex* v = gObjects.model.first->vertices;
        const auto across = [&](const ObjectVertex& p) { return c.view == kViewYZ ? p.x : p.y; };
        const auto along = [&](const ObjectVertex& p) { return c.view == kViewYZ ? p.y : p.x; };
        for (int i = 1; i < 4; ++i) EXPECT_FLOAT_EQ(across(v[i]), across(v[0])) << i;
        EXPECT_NEAR(std::abs(along(v[2]) - along(v[0])), 20, 1e-4);
        EXPECT_NEAR(std::abs(v[2].z - v[0].z), 15, 1e-4);
      }
      const platform::Point at = PixelInView(c.centre);
      platform::test::MouseMove(DrawWindow->window, at.x, at.y);
      platform::test::Click(DrawWindow->window, at.x, at.y);
    });
    RunSteps([&] { Command(kCmdPrintRegion); }, steps);
    ASSERT_EQ(printer.documents().size(), 1u);
    ASSERT_EQ(printer.documents()[0].pages.size(), 1u);
    for (int row : c.rows) EXPECT_TRUE(HasHorizontalLine(printer.documents()[0].pages[0], row, 1000)) << row;
    EXPECT_EQ(Now(), before);
    EXPECT_FALSE(HasMarker());
  }
}

TEST_F(PlotRegionTest, ZoomAllFitsTheModelAloneFarFromTheOrigin) {
  // The hall 300 m along x: its 24 m fill 95 % of the page's 2000 pixels.
  for (GraphicObject* o = gObjects.model.first; o; o = o->next)
    for (uint32_t i = 0; i < o->vertexCount; ++i) o->vertices[i].x += 300;
  platform::test::PrintDialogScript printer;
  printer.Record(SmallPage());
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_7", [](DialogUser& user) {
    user.Press(kZoomAllButton);
    user.Press(kOkButton);
  });
  Command(kCmdPrintRegion);
  ASSERT_EQ(printer.documents().size(), 1u);
  ASSERT_EQ(printer.documents()[0].pages.size(), 1u);
  int widest = 0;
  for (const auto& op : printer.documents()[0].pages[0].operations)
    if (op.kind == 'L') widest = std::max(widest, op.bounds.right - op.bounds.left);
  EXPECT_NEAR(widest, 1900, 5);
}

TEST_F(PlotRegionTest, ZoomAllFillsAPdfPageWithTheHallAndTheTitleBlock) {
  const std::string pdf = Path("hall.pdf");
  platform::test::PrintDialogScript printer;
  printer.PrintToPdf(pdf, 100);
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_7", [](DialogUser& user) {
    user.Press(kZoomAllButton);
    user.Press(kOkButton);
  });
  const View before = Now();
  Command(kCmdPrintRegion);
  EXPECT_EQ(Now(), before);
  EXPECT_FALSE(HasMarker());
  ASSERT_TRUE(std::filesystem::exists(pdf));
  platform::Bitmap page = PdfPageImage(pdf, 1, 100);
  ASSERT_NE(page, platform::Bitmap::kNone);
  const platform::Size size = platform::GetBitmapSize(page);
  ASSERT_GT(size.width, 500);
  // The hall across the middle of the page, the title block (120 mm wide,
  // about 470 pixels at 100 dpi) in the lower right corner.
  EXPECT_GT(NonWhite(page, size.width / 4, size.height / 3, 3 * size.width / 4, 2 * size.height / 3), 500);
  EXPECT_GT(NonWhite(page, size.width - 400, size.height - 60, size.width - 20, size.height - 10), 300);
  platform::DeleteObject(page);
}

TEST_F(PlotRegionTest, CancelLeavesNoMarkerAndPrintsNothing) {
  platform::test::PrintDialogScript printer;
  printer.Record(SmallPage());
  platform::test::DialogScript dialogs;
  dialogs.On("DIALOG_7", [](DialogUser& user) { user.Press(kCancelButton); });
  const View before = Now();
  Command(kCmdPrintRegion);
  EXPECT_TRUE(printer.documents().empty());
  EXPECT_FALSE(HasMarker());
  EXPECT_EQ(CountObjects(), objects_);
  EXPECT_EQ(Now(), before);
}

}  // namespace
