// The view on paper: the plot with its title block on a recorded page, and
// the print and copy of the drawing window.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/base/bitmaps.h"
#include "framework/base/printing.h"
#include "framework/model/layers.h"
#include "framework/model/plot_header.h"
#include "framework/view/view_panel.h"
#include "platform/application.h"
#include "platform/drawing.h"
#include "tests/framework/view/view_fixture.h"
#include "tests/support/object_fixtures.h"

namespace {

using platform::test::RecordedPageOp;

// An A4 page at 300 dpi.
platform::test::RecordingPrinter A4At300Dpi() {
  platform::test::RecordingPrinter printer;
  printer.caps = {2480, 3508, 210, 297};
  printer.caps.colours = 16777216;
  printer.keepImages = false;
  return printer;
}

class PlotTest : public ViewTest {
 protected:
  // Plots the model on one recorded page; its drawing operations.
  std::vector<RecordedPageOp> Plot() {
    platform::test::PrintDialogScript script;
    script.Record(A4At300Dpi());
    EXPECT_EQ(PrintSetupDialog(), 1);
    EXPECT_EQ(StartPrintJobWithObjects(), 1);
    DrawObjectsForPlot(gObjects.model.first, gObjects.model.last);
    EndPrintJob();
    EXPECT_EQ(script.documents().size(), 1u);
    return script.documents().empty() ? std::vector<RecordedPageOp>{} : script.documents()[0].pages[0].operations;
  }
  static std::vector<platform::Rect> Of(const std::vector<RecordedPageOp>& ops, char kind) {
    std::vector<platform::Rect> bounds;
    for (const RecordedPageOp& op : ops)
      if (op.kind == kind) bounds.push_back(op.bounds);
    return bounds;
  }
  static bool Has(const std::vector<platform::Rect>& rects, platform::Rect r) {
    return std::any_of(rects.begin(), rects.end(), [&](const platform::Rect& x) {
      return x.left == r.left && x.top == r.top && x.right == r.right && x.bottom == r.bottom;
    });
  }
  static bool Inside(const platform::Rect& inner, const platform::Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
  }
};

TEST_F(PlotTest, TheTitleBlockSpans120MillimetresInTheLowerRightCornerOfThePage) {
  gPlotHeader.SetLabel(0, "Project");
  gPlotHeader.SetText(7, "Hall 1");
  gPlotHeader.SetFreeText(3, "Sheet 2");
  const std::vector<RecordedPageOp> ops = Plot();
  // 11.81 pixels a millimetre: characters 17 wide (83 of them 1411 pixels,
  // 119.5 mm) and 38 high; rows of 40; the block framed up to the last
  // column 2479 and the last row 3507 of the page.
  const std::vector<platform::Rect> cells = Of(ops, 'R');
  ASSERT_EQ(cells.size(), 20u);
  const int x0 = 2479 - 1411, x1 = x0 + 11 * 17, x2 = x1 + 31 * 17, x3 = x2 + 41 * 17;
  EXPECT_EQ(x3, 2479);
  for (const platform::Rect& cell : cells) EXPECT_TRUE(Inside(cell, {0, 0, 2480, 3508}));
  EXPECT_TRUE(Has(cells, {x0, 3467, x1 + 1, 3508}));  // the last label, field 8, at the bottom
  EXPECT_TRUE(Has(cells, {x1, 3467, x2 + 1, 3508}));
  EXPECT_TRUE(Has(cells, {x0, 3187, x1 + 1, 3228}));  // field 1 at the top
  EXPECT_TRUE(Has(cells, {x2, 3427, x3 + 1, 3508}));  // free texts two rows high
  EXPECT_TRUE(Has(cells, {x2, 3187, x3 + 1, 3268}));
  const std::vector<platform::Rect> texts = Of(ops, 'T');
  ASSERT_EQ(texts.size(), 3u);  // only the texts that are there
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const platform::Rect& t) {
    return Inside(t, {x0, 3187, x1, 3228});  // "Project"
  }));
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const platform::Rect& t) {
    return Inside(t, {x1, 3467, x2, 3508});  // "Hall 1"
  }));
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const platform::Rect& t) {
    return Inside(t, {x2, 3427, x3, 3508});  // "Sheet 2", the fourth free text, at the bottom
  }));
}

TEST_F(PlotTest, ThePlotLeavesOutBackFacesAsTheSettingsSay) {
  // The floor faces the viewer of the plan view, the ceiling away from him.
  GraphicObject* floor = AddObject({RectangleXY(0, 0, 10, 8)});
  AddObject({Reversed(RectangleXY(0, 0, 10, 8, 3))});
  Show(kViewXY, 50, 5, 4);
  const auto lines = [&] { return Of(Plot(), 'L').size(); };
  gDrawing.hiddenFaces = 0;
  const size_t both = lines();
  gDrawing.hiddenFaces = 1;
  const size_t ceilingOnly = lines();
  EXPECT_EQ(ceilingOnly * 2, both);
  floor->layer = kLoudspeakerLayer;  // culled in wireframe too
  gDrawing.hiddenFaces = 0;
  EXPECT_EQ(lines(), ceilingOnly);
}

TEST_F(PlotTest, PrintViewPrintsTheFramedDrawingWindowAndNothingOnCancel) {
  AddObject({RectangleXY(0, 0, 10, 8)});
  Show(kViewXY);
  ZoomToFit();
  platform::test::PrintDialogScript script;
  platform::test::RecordingPrinter printer = A4At300Dpi();
  printer.keepImages = true;
  script.Record(printer);
  script.Cancel();
  PrintView();
  ASSERT_EQ(script.documents().size(), 1u);
  ASSERT_EQ(script.presets().size(), 1u);
  EXPECT_EQ(script.presets()[0].landscape, Width() > Height());
  EXPECT_EQ(At(0, Height() / 2), Palette(0));  // the frame
  const platform::Bitmap page = script.documents()[0].pages[0].image;
  ASSERT_NE(page, platform::Bitmap::kNone);
  // The window's frame lands on the page: some of it is black.
  platform::Context memory = platform::CreateMemoryContext();
  platform::SelectBitmap(memory, page);
  int black = 0;
  for (int x = 0; x < 2480; x += 4) black += platform::GetPixel(memory, x, 3508 / 2) == 0;
  platform::SelectBitmap(memory, platform::Bitmap::kNone);
  platform::DeleteContext(memory);
  EXPECT_GT(black, 0);
  PrintView();
  EXPECT_EQ(script.documents().size(), 1u);
}

TEST_F(PlotTest, ThePanelPrintsAndCopiesTheDrawingWindow) {
  gFramework.instance = platform::StartApplication("kdn");
  ASSERT_NE(ShowViewPanel(1), platform::Window::kNone);
  platform::test::PrintDialogScript script;
  script.Cancel();
  platform::test::DialogUser panel(gViewPanel);
  panel.Press(111);
  Pump();
  EXPECT_EQ(script.presets().size(), 1u);  // the print dialog came, and was cancelled
  panel.Press(112);
  Pump();
  const platform::Bitmap copied = platform::test::ClipboardBitmap();
  ASSERT_NE(copied, platform::Bitmap::kNone);
  EXPECT_EQ(platform::GetBitmapSize(copied).width, Width() + 1);
  EXPECT_EQ(platform::GetBitmapSize(copied).height, Height() + 1);
  ShowViewPanel(0);
}

}  // namespace
