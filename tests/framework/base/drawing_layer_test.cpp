// The palette drawing layer on the framework's windows.
#include <gtest/gtest.h>

#include <vector>

#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/core/services.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr platform::Colour kWhite = 0xFFFFFF;

class DrawingLayerTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    child_ = CreateChildWindow("", 0, 0, 0, 120, 100, 10000);
    DrawWindow->window = child_;
    DrawWindow->right = 120;
    DrawWindow->bottom = 100;
    SelectOutputWindow(DrawWindow);
    Clear();
  }
  void Clear() {
    platform::FillRect(gOutput.context, {0, 0, 200, 200}, platform::GetStockBrush(platform::StockBrush::kWhite));
  }
  platform::Colour At(int x, int y) { return platform::test::SurfacePixel(child_, x, y); }
  platform::Colour Palette(int i) { return gPalette.colours[i]; }
  platform::Window child_ = platform::Window::kNone;
};

TEST_F(DrawingLayerTest, ThePaletteHoldsTheTableAndIgnoresIndexesOutOfRange) {
  struct Entry {
    int index;
    platform::Colour colour;
  };
  for (Entry e : {Entry{0, 0x000000}, Entry{5, 0xC0C0C0}, Entry{9, 0x0000E1}, Entry{21, 0xFF0000}, Entry{30, 0xFFFFFF},
                  Entry{31, 0x808000}, Entry{32, 0x0000FF}, Entry{35, 0x000000}, Entry{37, 0x000000},
                  Entry{44, 0xFF0000}, Entry{50, 0xFFFF00}, Entry{63, 0x0000FF}})
    EXPECT_EQ(Palette(e.index), e.colour) << e.index;
  SetPaletteColor(63, 0x123456);
  EXPECT_EQ(Palette(63), 0x123456u);
  PaletteTable before = gPalette;
  SetPaletteColor(64, 1);
  SetPaletteColor(-1, 1);
  EXPECT_TRUE(std::equal(std::begin(before.colours), std::end(before.colours), std::begin(gPalette.colours)));
}

TEST_F(DrawingLayerTest, ADottedPenPaintsWhiteGapsThenASolidPenRestoresTheBackground) {
  platform::Brush green = platform::CreateSolidBrush(0x00C000);
  platform::FillRect(gOutput.context, {0, 0, 120, 100}, green);
  platform::DeleteObject(green);
  SetBackgroundColor(3);
  SetPenColor(40);
  EXPECT_EQ(platform::GetBackMode(gOutput.context), platform::kBackOpaque);
  DrawLine(0, 10, 40, 10);
  int pen = 0, white = 0;
  for (int x = 0; x < 40; ++x) {
    pen += At(x, 10) == Palette(40);
    white += At(x, 10) == kWhite;
  }
  EXPECT_EQ(pen, 20);
  EXPECT_EQ(white, 20);
  SetPenColor(5);
  EXPECT_EQ(platform::GetBackMode(gOutput.context), platform::kBackTransparent);
  EXPECT_EQ(platform::GetBackColour(gOutput.context), Palette(3));
  DrawLine(0, 20, 40, 20);
  for (int x = 0; x < 40; ++x) ASSERT_EQ(At(x, 20), Palette(5)) << x;
  // A dotted pen after a dotted pen: the solid one that follows still gets
  // the back colour from before the first.
  SetBackgroundColor(7);
  SetPenColor(40);
  SetPenColor(45);
  SetPenColor(5);
  EXPECT_EQ(platform::GetBackColour(gOutput.context), Palette(7));
}

TEST_F(DrawingLayerTest, TheLayerOwnsAtMostOnePenAndOneBrush) {
  auto live = [] { return platform::test::CountLiveObjects(); };
  const int patterns = live().brushes - 1;  // the start-up's black brush besides the pattern brushes
  EXPECT_EQ(patterns, kPatternBrushCount);
  SetPenColor(5);
  SetBrushColor(12);
  platform::Pen pen = gOutput.pen;
  platform::Brush brush = gOutput.brush;
  SetPenColor(5);
  SetBrushColor(12);
  EXPECT_EQ(gOutput.pen, pen);  // the same index makes no new object
  EXPECT_EQ(gOutput.brush, brush);
  for (std::int16_t i : {7, 40, 12, 0, 33, 1}) {
    SetPenColor(i);
    SetBrushColor(std::int16_t(i + 2));
    EXPECT_LE(live().pens, 1) << i;
    EXPECT_LE(live().brushes, patterns + 1) << i;
  }
  SetPenColor(0);
  SetBrushColor(30);
  EXPECT_EQ(live().pens, 0);
  EXPECT_EQ(live().brushes, patterns);
  EXPECT_EQ(gOutput.pen, gOutput.stockPen);
  EXPECT_EQ(gOutput.brush, gOutput.stockBrush);
}

TEST_F(DrawingLayerTest, NegativeAndTooLargeIndexesAreIgnored) {
  SetPenColor(5);
  SetBrushColor(12);
  platform::Colour back = platform::GetBackColour(gOutput.context);
  platform::Colour text = platform::GetTextColour(gOutput.context);
  for (std::int16_t bad : {std::int16_t(-1), std::int16_t(-32768), std::int16_t(64), std::int16_t(1000)}) {
    SetPenColor(bad);
    SetBrushColor(bad);
    EXPECT_EQ(GetPenColor(), 5);
    EXPECT_EQ(gOutput.brushIndex, 12);
  }
  for (std::int16_t bad : {std::int16_t(-1), std::int16_t(31), std::int16_t(40)}) {
    SetBackgroundColor(bad);
    SetTextColorIndex(bad);
  }
  EXPECT_EQ(platform::GetBackColour(gOutput.context), back);
  EXPECT_EQ(platform::GetTextColour(gOutput.context), text);
}

TEST_F(DrawingLayerTest, DrawRectangleIncludesRightAndBottomButFillRectangleDoesNot) {
  SetPenColor(21);
  SetBrushColor(12);
  DrawRectangle({10, 10, 20, 20}, 1);
  EXPECT_EQ(At(10, 10), Palette(21));
  EXPECT_EQ(At(20, 20), Palette(21));
  EXPECT_EQ(At(15, 15), Palette(12));
  EXPECT_EQ(At(21, 15), kWhite);
  EXPECT_EQ(At(15, 21), kWhite);
  DrawRectangle({30, 10, 40, 20}, 0);
  EXPECT_EQ(At(40, 20), Palette(21));
  EXPECT_EQ(At(35, 15), kWhite);  // not filled
  FillRectangle(50, 10, 60, 20);
  EXPECT_EQ(At(50, 10), Palette(12));
  EXPECT_EQ(At(59, 19), Palette(12));
  EXPECT_EQ(At(60, 15), kWhite);
  EXPECT_EQ(At(55, 20), kWhite);
  // With the null pen the filled rectangle loses its outline: 10..19 again.
  SelectNullPen(1);
  DrawRectangle({70, 10, 80, 20}, 1);
  SelectNullPen(0);
  EXPECT_EQ(At(79, 19), Palette(12));
  EXPECT_EQ(At(80, 15), kWhite);
  DrawLine(0, 40, 10, 40);
  EXPECT_EQ(At(5, 40), Palette(21));  // the pen came back
}

TEST_F(DrawingLayerTest, DrawLineKeepsThePositionAndDrawLineToMovesIt) {
  MovePenTo(5, 6);
  DrawLine(20, 20, 40, 20);
  EXPECT_EQ(GetCurrentX(), 5);
  EXPECT_EQ(GetCurrentY(), 6);
  DrawLineTo(30, 6);
  EXPECT_EQ(GetCurrentX(), 30);
  MovePenRelative(-10, 4);
  EXPECT_EQ(GetCurrentX(), 20);
  EXPECT_EQ(GetCurrentY(), 10);
  EXPECT_EQ(At(39, 20), 0u);
  EXPECT_EQ(At(40, 20), kWhite);
}

TEST_F(DrawingLayerTest, SelectingTheCurrentOutputChangesNothingAndAnotherMovesTheObjects) {
  SetPenColor(21);
  platform::Context context = gOutput.context;
  EXPECT_EQ(SelectOutputWindow(DrawWindow), DrawWindow);
  EXPECT_EQ(gOutput.context, context);
  EXPECT_EQ(gOutput.currentWindow, DrawWindow);

  EXPECT_EQ(SelectOutputWindow(&MainWindow), DrawWindow);
  EXPECT_EQ(gOutput.context, MainWindow.context);
  DrawLine(0, 5, 10, 5);
  EXPECT_EQ(platform::test::SurfacePixel(MainWindow.window, 3, 5), Palette(21));
  // The old window has the stock objects back.
  platform::MoveTo(DrawWindow->context, 0, 50);
  platform::LineTo(DrawWindow->context, 10, 50);
  EXPECT_EQ(At(3, 50), 0u);
  // A record whose window has no surface leaves the output alone.
  WindowRecord none;
  EXPECT_EQ(SelectOutputWindow(&none), &MainWindow);
  EXPECT_EQ(gOutput.currentWindow, &MainWindow);
}

TEST_F(DrawingLayerTest, AClosedPolylineDrawsItsClosingEdgeWithoutTouchingTheCallersArray) {
  platform::Point points[4] = {{10, 10}, {30, 10}, {30, 30}, {-999, -999}};
  DrawClosedPolyline(points, 3, 0);
  EXPECT_EQ(points[3].x, -999);
  EXPECT_EQ(points[3].y, -999);
  EXPECT_EQ(At(20, 20), 0u);  // on the closing diagonal
  EXPECT_EQ(At(25, 15), kWhite);
  SetBrushColor(12);
  DrawClosedPolyline(points, 3, 1);
  EXPECT_EQ(At(25, 15), Palette(12));
}

TEST_F(DrawingLayerTest, PatternFillsUseTheLevelBitmaps) {
  auto blackIn = [&](int x0, int y0) {
    int n = 0;
    for (int y = y0; y < y0 + 8; ++y)
      for (int x = x0; x < x0 + 8; ++x) n += At(x, y) == 0;
    return n;
  };
  SetBrushColor(15);
  FillRectanglePattern(0, 0, 8, 8);
  EXPECT_EQ(blackIn(0, 0), 64);
  SetBrushColor(0);  // the brush index 0 is the sparsest pattern
  FillRectanglePattern(8, 0, 16, 8);
  EXPECT_EQ(blackIn(8, 0), 4);
  SetBrushColor(63);  // the level scale maps onto the sixteen patterns
  FillRectanglePattern(16, 0, 24, 8);
  EXPECT_EQ(blackIn(16, 0), 64);
  SetBrushColor(37);
  FillRectanglePattern(24, 0, 32, 8);
  EXPECT_EQ(blackIn(24, 0), 4);
  SetBrushColor(21);  // no pattern: the plain brush
  FillRectanglePattern(32, 0, 40, 8);
  EXPECT_EQ(At(35, 3), Palette(21));
  // The polygon version puts the brush back afterwards.
  SetBrushColor(15);
  SelectNullPen(1);
  const platform::Point square[] = {{40, 40}, {48, 40}, {48, 48}, {40, 48}};
  DrawPolygonPattern(square, 4);
  SelectNullPen(0);
  EXPECT_EQ(blackIn(40, 40), 64);
  FillRectangle(60, 60, 62, 62);
  EXPECT_EQ(At(60, 60), Palette(15));
}

TEST_F(DrawingLayerTest, BevelsAndPixels) {
  SetBrushColor(21);
  DrawBevel({10, 10, 30, 20}, 1);
  EXPECT_EQ(At(10, 15), Palette(21));  // left edge in the brush
  EXPECT_EQ(At(20, 10), Palette(21));  // top edge
  EXPECT_EQ(At(20, 20), Palette(1));   // raised: bottom in grey
  EXPECT_EQ(At(30, 15), Palette(1));
  EXPECT_EQ(GetPenColor(), 0);  // the pen came back
  DrawBevel({40, 10, 60, 20}, 0);
  EXPECT_EQ(At(50, 20), Palette(30));
  SetPenColor(44);
  EXPECT_EQ(SetPixelInPenColor(3, 90), Palette(44));
  EXPECT_EQ(At(3, 90), Palette(44));
  EXPECT_EQ(GetClientWidth(), 120);
  EXPECT_EQ(GetClientHeight(), 100);
}

TEST_F(DrawingLayerTest, TextIsConvertedFromCodePage1252) {
  SetTextColorIndex(0);
  DrawTextAt(10, 10, "\xB0\xB2");
  platform::SetBackMode(gOutput.context, platform::kBackOpaque);
  platform::TextOut(gOutput.context, 10, 50, "\xC2\xB0\xC2\xB2");
  int drawn = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(At(10 + x, 10 + y), At(10 + x, 50 + y)) << x << "," << y;
      drawn += At(10 + x, 10 + y) == 0;
    }
  EXPECT_GT(drawn, 0);
  MovePenTo(10, 70);
  EXPECT_EQ(DrawTextFormat("%d %s", 42, "dB"), 5);
  EXPECT_EQ(GetCurrentX(), 10);
}

TEST_F(DrawingLayerTest, StyledTextUsesTheStyleAndRestoresTheContext) {
  SetTextStyle("Arial", 16, 8, 0, 21, 5, platform::kBackOpaque);
  SetPaletteColor(21, 0x000080);  // colours were taken when the style was set
  EXPECT_EQ(gTextStyle.textColour, 0xFF0000u);
  platform::Colour back = platform::GetBackColour(gOutput.context);
  int mode = platform::GetBackMode(gOutput.context);
  int fonts = platform::test::CountLiveObjects().fonts;
  int height = DrawStyledText(0, 0, 120, 40, "A&B", platform::kTextCentre);
  EXPECT_EQ(height, 16);
  EXPECT_EQ(platform::GetBackColour(gOutput.context), back);
  EXPECT_EQ(platform::GetBackMode(gOutput.context), mode);
  EXPECT_EQ(platform::test::CountLiveObjects().fonts, fonts);
  bool blue = false, grey = false;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 120; ++x) {
      blue |= At(x, y) == 0xFF0000;
      grey |= At(x, y) == Palette(5);
    }
  EXPECT_TRUE(blue);
  EXPECT_TRUE(grey);
  SetDefaultTextStyle();
  EXPECT_EQ(gTextStyle.faceName, "Arial");
  EXPECT_EQ(gTextStyle.charHeight, 16);
  EXPECT_EQ(gTextStyle.backMode, platform::kBackOpaque);
  SetTextStyle("", 16, 8, 0, 0, 30, 1);
  EXPECT_EQ(DrawStyledText(0, 0, 100, 20, "x", 0), 0);  // no font, nothing drawn
}

TEST_F(DrawingLayerTest, MessagesGoToTheMessageBoxOnceTheFrameworkRuns) {
  // The messages are watched at the box itself, not by the test's handler.
  const MessageHandler unexpected = SetMessageHandler(nullptr);
  {
    platform::test::MessageBoxScript script;
    script.Answer(kIdCancel);
    EXPECT_EQ(ShowMessage("Can\xB4t locate file", nullptr, kMsgOkCancel | kMsgIconStop), kIdCancel);
    ShowMessage("x", "WARNING", kMsgOk);
    ASSERT_EQ(script.boxes().size(), 2u);
    EXPECT_EQ(script.boxes()[0].text, "Can\xC2\xB4t locate file");
    EXPECT_FALSE(script.boxes()[0].caption.has_value());
    EXPECT_EQ(script.boxes()[0].flags, unsigned(kMsgOkCancel | kMsgIconStop));
    EXPECT_EQ(script.boxes()[0].owner, MainWindow.window);
    EXPECT_EQ(script.boxes()[1].caption, "WARNING");
  }
  {
    MessageRecorder recorder;  // a recorder still takes precedence
    recorder.Answer(kIdNo);
    EXPECT_EQ(ShowMessage("Save?", nullptr, kMsgYesNoCancel), kIdNo);
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"Save?"});
  }
  SetMessageHandler(unexpected);
}

// Hiding the cursor is the drawing window's choice: the main window (its
// menu bar, buttons, boxes) keeps the arrow. Only the wait cursor is shown
// everywhere, and it nests.
TEST_F(DrawingLayerTest, TheHiddenCursorBelongsToTheDrawingWindowAndTheWaitCursorNests) {
  using platform::CursorShape;
  using platform::test::ShownCursor;
  DrawWindow->window = CreateChildWindow("", platform::kStyleBorder, 32, 24, 200, 100, 10000);
  HideCursor();
  EXPECT_EQ(ShownCursor(DrawWindow->window), CursorShape::kNone);
  EXPECT_EQ(ShownCursor(MainWindow.window), CursorShape::kArrow);
  ShowWaitCursor(true);
  ShowWaitCursor(true);
  EXPECT_EQ(ShownCursor(MainWindow.window), CursorShape::kWait);
  ShowWaitCursor(false);
  EXPECT_EQ(ShownCursor(DrawWindow->window), CursorShape::kWait);
  ShowWaitCursor(false);
  EXPECT_EQ(ShownCursor(DrawWindow->window), CursorShape::kNone);
  SetArrowCursor();
  EXPECT_EQ(ShownCursor(DrawWindow->window), CursorShape::kArrow);
}

}  // namespace
