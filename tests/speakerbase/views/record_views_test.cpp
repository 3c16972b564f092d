// The record views drawn into a window and read back pixel by pixel: the
// data sheet's frames, the polar curves on their rings, the balloon's
// views through the renderer, and what the routines leave behind.
#include "speakerbase/views/record_views.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/view_state.h"
#include "framework/base/work_buffers.h"
#include "framework/core/text_encoding.h"
#include "framework/view/projection.h"
#include "framework/view/rendering.h"
#include "framework/view/view_transform.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "speakerbase/data_sheet.h"
#include "speakerbase/polar_plot.h"
#include "tests/speakerbase/view_fixtures.h"
#include "tests/support/gui_fixture.h"

namespace {

using view_fixtures::FlatRecord;

class RecordViewsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    AllocWorkBuffers();
  }
  void TearDown() override {
    SelectOutputWindow(&MainWindow);
    if (view_.window != platform::Window::kNone) DestroyControl(view_.window);
    FrameworkTest::TearDown();
  }
  // The view window of width x height, the current output.
  void Open(int width, int height) {
    view_.window = CreateChildWindow("", 0, 32, 24, width, height, 10002);
    const platform::Size client = platform::GetClientSize(view_.window);
    view_.right = client.width;
    view_.bottom = client.height;
    SelectOutputWindow(&view_);
  }
  platform::Colour At(int x, int y) const { return platform::test::SurfacePixel(view_.window, x, y); }
  platform::Colour Palette(int index) const { return gPalette.colours[index]; }
  // Pixels of palette colour `index` at a distance from `centre` within
  // [from, to], and the farthest of them.
  struct Ring {
    int count = 0;
    double farthest = 0;
  };
  Ring Around(int index, ViewPoint centre, double from, double to) const {
    Ring ring;
    const int reach = int(std::ceil(to));
    for (int y = centre.y - reach; y <= centre.y + reach; ++y)
      for (int x = centre.x - reach; x <= centre.x + reach; ++x) {
        const double d = std::hypot(x - centre.x, y - centre.y);
        if (d < from || d > to || At(x, y) != Palette(index)) continue;
        ++ring.count;
        ring.farthest = std::max(ring.farthest, d);
      }
    return ring;
  }
  // How many of the window's pixels have palette colour `index`.
  int Count(int index) const {
    int n = 0;
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) n += At(x, y) == Palette(index);
    return n;
  }
  int Width() const { return view_.right; }
  int Height() const { return view_.bottom; }
  // Whether `text` in "ARIAL" of that size fits its box.
  void ExpectFits(const ViewText& text, int height, int width) {
    platform::Font font = platform::CreateFont({height, width, 0, kViewFont});
    platform::Font before = platform::SelectFont(gOutput.context, font);
    const platform::Size size = platform::TextExtent(gOutput.context, Cp1252ToUtf8(text.text));
    platform::SelectFont(gOutput.context, before);
    platform::DeleteObject(font);
    EXPECT_LE(size.width, text.box.right - text.box.left) << text.text;
    EXPECT_LE(size.height, text.box.bottom - text.box.top + 2) << text.text;
  }

  WindowRecord view_;
};

TEST_F(RecordViewsTest, TheDataSheetFramesEveryCellAndLeavesEmptyRowsOpen) {
  Open(800, 600);
  SpeakerType record = FlatRecord();
  record.SetComment("Comment");
  DrawDataSheet(record);
  const DataSheetLayout layout = LayOutDataSheet(record, Width(), Height());
  ASSERT_EQ(layout.cells.size(), 68u);
  const platform::Colour black = Palette(0), white = Palette(30);
  for (const DataSheetCell& cell : layout.cells) {
    const ViewRect& f = cell.frame;
    const int midX = (f.left + f.right) / 2, midY = (f.top + f.bottom) / 2;
    EXPECT_EQ(At(midX, f.top), black) << cell.text.text;
    EXPECT_EQ(At(midX, f.bottom), black) << cell.text.text;
    EXPECT_EQ(At(f.left, midY), black) << cell.text.text;
    EXPECT_EQ(At(f.right, midY), black) << cell.text.text;
    EXPECT_EQ(At(f.left + 2, f.top + 2), white) << cell.text.text;
  }
  // The places of rows 2 and 13 have no side edges; the window around the
  // sheet is white.
  const ViewRect& first = layout.cells[0].frame;
  const int h = layout.rowHeight;
  for (int place : {3, 14}) EXPECT_EQ(At(first.left, first.top + (place - 1) * h + h / 2), white) << place;
  EXPECT_EQ(At(2, 2), white);
  EXPECT_EQ(At(Width() - 3, Height() - 3), white);
  // Texts: the title, a label, a value.
  const auto inked = [&](const ViewRect& r) {
    int n = 0;
    for (int y = r.top + 1; y < r.bottom; ++y)
      for (int x = r.left + 1; x < r.right; ++x) n += At(x, y) == black;
    return n;
  };
  EXPECT_GT(inked(layout.title.box), 50);
  EXPECT_GT(inked(layout.cells[0].frame), 50);  // "Manufacturer"
  EXPECT_GT(inked(layout.cells[1].frame), 50);  // "Test Brand"
  EXPECT_EQ(inked(layout.cells[9].frame), 0);   // an empty input format
  EXPECT_EQ(gOutput.penIndex, 0);
  EXPECT_EQ(gOutput.brushIndex, 30);
}

TEST_F(RecordViewsTest, PolarCurvesOfAFlatBalloonLieOnItsRingInBothPens) {
  Open(960, 600);
  for (uint8_t code : {uint8_t(225), uint8_t(175)}) {
    DrawPolarPlots(FlatRecord(code));
    const PolarPlotLayout layout = LayOutPolarPlots(FlatRecord(code), Width(), Height());
    ASSERT_EQ(layout.radius, 86);
    const double r = code * layout.radius / 225.0;
    for (const PolarPlotCell& cell : layout.cells) {
      for (int16_t pen : {kHorizontalCurvePen, kVerticalCurvePen}) {
        const Ring on = Around(pen, cell.centre, r - 1.5, r + 1.5);
        EXPECT_GT(on.count, 100) << int(code) << " pen " << pen;
        EXPECT_EQ(Around(pen, cell.centre, 0, r - 1.5).count, 0) << int(code) << " pen " << pen;
        EXPECT_EQ(Around(pen, cell.centre, r + 1.5, layout.radius + 20).count, 0) << int(code) << " pen " << pen;
      }
    }
  }
  // The rings of a plot: 0 dB and -10 dB in pen 0, -5 dB in pen 5, between
  // the radial lines at 0 and 10 degrees.
  const PolarPlotLayout layout = LayOutPolarPlots(FlatRecord(175), Width(), Height());
  const ViewPoint c = layout.cells[2].centre;
  const int R = layout.radius;
  EXPECT_EQ(At(PolarPoint(c, R, 5).x, PolarPoint(c, R, 5).y), Palette(0));
  EXPECT_EQ(At(PolarPoint(c, 200.0 * R / 225, 5).x, PolarPoint(c, 200.0 * R / 225, 5).y), Palette(5));
  EXPECT_EQ(At(PolarPoint(c, 125.0 * R / 225, 5).x, PolarPoint(c, 125.0 * R / 225, 5).y), Palette(0));
  EXPECT_EQ(At(PolarPoint(c, 60, 10).x, PolarPoint(c, 60, 10).y), Palette(5));  // a radial line
  EXPECT_GT(Count(kVerticalCurvePen), 0);
}

TEST_F(RecordViewsTest, TheViewsTextsFitTheirBoxesInTheirFonts) {
  Open(960, 600);
  SpeakerType record = FlatRecord();
  for (int band = 0; band < kBandCount; ++band) record.SetSensitivity(band, 100.5f);  // the widest header
  const PolarPlotLayout polar = LayOutPolarPlots(record, Width(), Height());
  for (const PolarPlotCell& cell : polar.cells) {
    ExpectFits(cell.header, polar.headerHeight, polar.headerCharWidth);
    for (const ViewText& label : cell.labels) ExpectFits(label, kViewLabelHeight, kViewLabelCharWidth);
  }
  for (const LegendEntry& entry : polar.legend) ExpectFits(entry.text, kViewLabelHeight, kViewLabelCharWidth);
  const BalloonLayout balloon = LayOutBalloonView(record, 0, false, Width(), Height());
  for (const BalloonViewCell& cell : balloon.cells) {
    ExpectFits(cell.title, kViewLabelHeight, kViewLabelCharWidth);
    for (const ViewText& label : cell.labels) ExpectFits(label, kViewLabelHeight, kViewLabelCharWidth);
  }
}

TEST_F(RecordViewsTest, TheMeshShowsItsNearSideInEveryView) {
  const SpeakerType record = FlatRecord();
  BalloonViewState state;
  state.mesh = CreateBalloonMesh();
  ASSERT_TRUE(state.mesh && BuildBalloonMesh(record.BalloonBand(0), *state.mesh));
  gView.mode = kView3D;
  gView.scale = 20;  // so that the pixels round no sliver of a face over
  gView.centreX = gView.centreY = 4000;
  const auto check = [&](const char* what) {
    const BalloonProjection& m = gView.rotation;
    AccessObject(kAccessFillBlock, state.mesh.get());
    ProjectObjectToScreen();
    int near = 0, far = 0;
    const GraphicObject& mesh = *state.mesh;
    for (uint32_t i = 0; i < mesh.itemCount;) {
      // The face's mean depth towards the viewer.
      double depth = 0;
      uint32_t end = i;
      for (bool last = false; !last; ++end) {
        const ObjectVertex& v = mesh.vertices[mesh.items[end].index];
        depth += m[6] * v.x + m[7] * v.y + m[8] * v.z;
        last = mesh.items[end].op == kOpClose;
      }
      depth /= end - i;
      if (depth > 5) near += IsBackFace(i) == 0;
      if (depth < -5) far += IsBackFace(i) == 1;
      if (std::abs(depth) > 5 && IsBackFace(i) != (depth < 0 ? 1 : 0)) ADD_FAILURE() << what << " face at item " << i;
      i = end;
    }
    EXPECT_GT(near, 1000) << what;
    EXPECT_GT(far, 1000) << what;
  };
  for (BalloonViewKind kind : {BalloonViewKind::kHorizontal, BalloonViewKind::kVertical, BalloonViewKind::kFront}) {
    gView.rotation = FixedBalloonProjection(kind);
    check(kind == BalloonViewKind::kHorizontal ? "Horiz." : kind == BalloonViewKind::kVertical ? "Vert." : "Front");
  }
  gView.angles = {state.horizontalAngle, 0, state.verticalAngle};
  BuildViewRotation();
  check("3D");
}

TEST_F(RecordViewsTest, TheBalloonViewsDrawTheMeshInsideEachCell) {
  Open(988, 598);
  BalloonViewState state;
  state.mesh = CreateBalloonMesh();
  state.band = 2;
  const SpeakerType record = FlatRecord();
  const ViewState view = gView;
  WindowRecord* const viewWindow = DrawWindow;
  DrawBalloons(record, state, true);
  EXPECT_EQ(gView.mode, view.mode);  // the view and the view window are put back
  EXPECT_EQ(gView.scale, view.scale);
  EXPECT_EQ(gView.rotation, view.rotation);
  EXPECT_EQ(DrawWindow, viewWindow);
  EXPECT_EQ(gOutput.currentWindow, &view_);
  const BalloonLayout layout = LayOutBalloonView(record, 2, false, Width(), Height());
  for (const BalloonViewCell& cell : layout.cells) {
    const double silhouette = 150 * cell.scale;
    const Ring mesh = Around(kBalloonMeshColour, cell.centre, 0, kBalloonMeshReach * cell.scale + 30);
    EXPECT_GT(mesh.count, 200) << cell.title.text;
    EXPECT_NEAR(mesh.farthest, silhouette, 2) << cell.title.text;
  }
  // The 3D view alone, with the axis cross: along +x from its origin in the
  // plan view of angles (0, 0).
  GraphicObject* cross = CreateObject(0, 20, 6);
  ASSERT_TRUE(cross);
  cross->vertices[0] = {1, 0, 0};
  cross->vertices[1] = {0, 1, 0};
  cross->vertices[2] = {0, 0, 1};
  const ObjectItem items[] = {{kOpStart, 18}, {kOpLineTo, 0}, {kOpStart, 18},
                              {kOpLineTo, 1}, {kOpStart, 18}, {kOpLineTo, 2}};
  std::copy(std::begin(items), std::end(items), cross->items);
  gRender.axisCross = cross;
  state.threeD = true;
  state.horizontalAngle = 0;
  state.verticalAngle = 0;
  DrawBalloons(record, state, false);
  const BalloonLayout alone = LayOutBalloonView(record, 2, true, Width(), Height());
  ASSERT_EQ(alone.cells.size(), 1u);
  const BalloonViewCell& cell = alone.cells[0];
  const Ring mesh = Around(kBalloonMeshColour, cell.centre, 0, kBalloonMeshReach * cell.scale + 30);
  EXPECT_GT(mesh.count, 500);
  EXPECT_NEAR(mesh.farthest, 150 * cell.scale, 2);
  const ViewPoint o = alone.axisCross;
  EXPECT_EQ(At(o.x + 20, o.y), Palette(0));  // +x to the right
  EXPECT_EQ(At(o.x, o.y - 20), Palette(0));  // +y up
  EXPECT_EQ(At(o.x - 20, o.y), Palette(30));
  gRender.axisCross = nullptr;
  FreeObject(cross);
}

TEST_F(RecordViewsTest, ScrollingRedrawsTheMeshAsItStandsAndNoMeshOrBandDrawsNothing) {
  Open(600, 500);
  BalloonViewState state;
  state.mesh = CreateBalloonMesh();
  state.threeD = true;
  DrawBalloons(FlatRecord(225), state, true);
  EXPECT_EQ(state.mesh->vertices[0].x, 150);
  DrawBalloons(FlatRecord(175), state, false);
  EXPECT_EQ(state.mesh->vertices[0].x, 150);
  DrawBalloons(FlatRecord(175), state, true);
  EXPECT_EQ(state.mesh->vertices[0].x, 100);
  const std::uint64_t before = platform::test::DrawCallCount(view_.window);
  state.band = kBandCount;
  DrawBalloons(FlatRecord(), state, true);
  state.band = 0;
  state.mesh.reset();
  DrawBalloons(FlatRecord(), state, true);
  DrawBalloon3D(FlatRecord(), state);
  EXPECT_EQ(platform::test::DrawCallCount(view_.window), before);
}

}  // namespace
