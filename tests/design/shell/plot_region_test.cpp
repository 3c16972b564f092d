// File/Print in kdn on the example hall: the page placed at a measure, the
// whole model fitted to a PDF page with its title block, and the view and
// the model as they were afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
  dialogs.On("DIALOG_7", [](DialogUser& user) {
    user.Type(kMetresField, "1");
    user.Type(kMillimetresField, "10");
    user.Press(kMeasureButton);
    user.Press(kOkButton);
  });
  double markerWidth = 0, markerHeight = 0;
  RunSteps([&] { Command(kCmdPrintRegion); }, {[&] {
             ASSERT_EQ(gObjects.model.first->kind, kKindPrintRegion);
             const ObjectVertex* v = gObjects.model.first->vertices;
             markerWidth = v[1].x - v[0].x;
             markerHeight = v[2].y - v[1].y;
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
