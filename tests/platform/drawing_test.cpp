// Pixel rules of the drawing calls on a window surface.
#include <gtest/gtest.h>

#include <vector>

#include "platform/drawing.h"
#include "platform/resources.h"
#include "platform/test_seams.h"
#include "tests/platform/figure.h"
#include "tests/support/gui_fixture.h"

using namespace platform;

namespace {

constexpr Colour kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255),
                 kGreen = Rgb(0, 200, 0);

class DrawingTest : public PlatformTest {
 protected:
  Colour At(int x, int y) { return test::SurfacePixel(window_, x, y); }
  void Clear(Colour colour) {
    Brush b = CreateSolidBrush(colour);
    FillRect(context_, {0, 0, 200, 200}, b);
    DeleteObject(b);
  }
  // A background that every pixel differs in, so that XOR shows.
  void Stripes() {
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) SetPixel(context_, x, y, Rgb(x * 2, y * 2, (x + y) & 0xFF));
  }
  std::vector<Colour> Snapshot() {
    std::vector<Colour> all;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) all.push_back(At(x, y));
    return all;
  }
  // Pixels of colour `c` in the box [x0, x1) by [y0, y1).
  int Count(Colour c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) == c;
    return n;
  }
};

TEST_F(DrawingTest, LineStopsBeforeItsEndAndMovesThePosition) {
  Clear(kWhite);
  MoveTo(context_, 10, 10);
  LineTo(context_, 20, 10);
  for (int x = 10; x < 20; ++x) EXPECT_EQ(At(x, 10), kBlack) << x;
  EXPECT_EQ(At(20, 10), kWhite);
  EXPECT_EQ(At(9, 10), kWhite);
  EXPECT_EQ(GetCurrentPosition(context_).x, 20);
  LineTo(context_, 25, 15);  // diagonal: (20,10) .. (24,14)
  for (int i = 0; i < 5; ++i) EXPECT_EQ(At(20 + i, 10 + i), kBlack) << i;
  EXPECT_EQ(At(25, 15), kWhite);
  MoveTo(context_, 40, 40);
  LineTo(context_, 40, 40);  // no length, no pixel
  EXPECT_EQ(At(40, 40), kWhite);
}

TEST_F(DrawingTest, PolylineDrawsEveryVertexButTheLast) {
  Clear(kWhite);
  const Point points[] = {{10, 10}, {20, 10}, {20, 20}};
  Polyline(context_, points, 3);
  EXPECT_EQ(At(10, 10), kBlack);
  EXPECT_EQ(At(20, 10), kBlack);
  EXPECT_EQ(At(20, 19), kBlack);
  EXPECT_EQ(At(20, 20), kWhite);
}

TEST_F(DrawingTest, RectangleCoverageDependsOnPenAndBrush) {
  struct Case {
    const char* name;
    bool nullPen, hollow;
    int lastCovered;  // of a rectangle (10, 10, 20, 20)
  };
  for (Case c :
       {Case{"pen and brush", false, false, 19}, Case{"null pen", true, false, 18}, Case{"hollow", false, true, 19}}) {
    SCOPED_TRACE(c.name);
    Clear(kWhite);
    Pen pen = CreatePen(PenStyle::kSolid, 1, kRed);
    Brush brush = CreateSolidBrush(kBlue);
    SelectPen(context_, c.nullPen ? GetStockPen(StockPen::kNull) : pen);
    SelectBrush(context_, c.hollow ? GetStockBrush(StockBrush::kHollow) : brush);
    Rectangle(context_, 10, 10, 20, 20);
    int across = c.hollow ? 10 : 15;  // a hollow rectangle is covered along its border only
    for (int i = 8; i <= 21; ++i) {
      bool inside = i >= 10 && i <= c.lastCovered;
      EXPECT_EQ(At(i, across) != kWhite, inside) << "x " << i;
      EXPECT_EQ(At(across, i) != kWhite, inside) << "y " << i;
    }
    if (!c.nullPen) {
      EXPECT_EQ(At(10, 15), kRed);
      EXPECT_EQ(At(19, 19), kRed);
      EXPECT_EQ(At(15, 15), c.hollow ? kWhite : kBlue);
    } else {
      EXPECT_EQ(At(10, 10), kBlue);
      EXPECT_EQ(At(18, 18), kBlue);
    }
    SelectPen(context_, GetStockPen(StockPen::kBlack));
    SelectBrush(context_, GetStockBrush(StockBrush::kWhite));
    DeleteObject(pen);
    DeleteObject(brush);
  }
}

TEST_F(DrawingTest, FillRectCoversLeftTopAndIgnoresTheMixMode) {
  Clear(kWhite);
  Brush brush = CreateSolidBrush(kGreen);
  SetMixMode(context_, kMixXor);
  FillRect(context_, {10, 10, 20, 20}, brush);
  FillRect(context_, {10, 10, 20, 20}, brush);  // a copy, not a toggle
  EXPECT_EQ(Count(kGreen, 0, 0, 40, 40), 100);
  EXPECT_EQ(At(10, 10), kGreen);
  EXPECT_EQ(At(19, 19), kGreen);
  EXPECT_EQ(At(20, 15), kWhite);
  DeleteObject(brush);
}

TEST_F(DrawingTest, PolygonsFillEvenOddByPixelCentres) {
  Clear(kWhite);
  SelectPen(context_, GetStockPen(StockPen::kNull));
  Brush brush = CreateSolidBrush(kBlue);
  SelectBrush(context_, brush);
  const Point square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
  Polygon(context_, square, 4);
  EXPECT_EQ(Count(kBlue, 0, 0, 40, 40), 100);  // 10..19 both ways
  // A square traced twice around a hole: even-odd leaves the hole empty.
  Clear(kWhite);
  const Point ring[] = {{0, 0}, {60, 0}, {60, 60}, {0, 60}, {0, 0}, {20, 20}, {40, 20}, {40, 40}, {20, 40}, {20, 20}};
  Polygon(context_, ring, 10);
  EXPECT_EQ(At(5, 5), kBlue);
  EXPECT_EQ(At(30, 30), kWhite);
  // The hit test follows the same rule, pixel for pixel.
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(PolygonContainsPixel(ring, 10, x, y), At(x, y) == kBlue) << x << "," << y;
  DeleteObject(brush);
}

TEST_F(DrawingTest, DottedGapsTakeTheBackColourOnlyWhenOpaque) {
  Pen dotted = CreatePen(PenStyle::kDotted, 1, kRed);
  SelectPen(context_, dotted);
  SetBackColour(context_, kGreen);
  for (int mode : {kBackOpaque, kBackTransparent}) {
    Clear(kWhite);
    SetBackMode(context_, mode);
    MoveTo(context_, 0, 5);
    LineTo(context_, 40, 5);
    int red = Count(kRed, 0, 5, 40, 6), green = Count(kGreen, 0, 5, 40, 6), white = Count(kWhite, 0, 5, 40, 6);
    EXPECT_EQ(red, 20);
    EXPECT_EQ(green, mode == kBackOpaque ? 20 : 0);
    EXPECT_EQ(white, mode == kBackOpaque ? 0 : 20);
    EXPECT_EQ(At(0, 5), kRed);
    EXPECT_EQ(At(1, 5), kRed);
    EXPECT_NE(At(2, 5), kRed);
  }
  SelectPen(context_, GetStockPen(StockPen::kBlack));
  DeleteObject(dotted);
}

TEST_F(DrawingTest, XorTwiceRestoresEveryPixel) {
  Stripes();
  std::vector<Colour> before = Snapshot();
  Pen dotted = CreatePen(PenStyle::kDotted, 1, Rgb(255, 255, 0));
  Brush brush = CreateSolidBrush(Rgb(0, 128, 255));
  SelectPen(context_, dotted);
  SelectBrush(context_, brush);
  SetBackMode(context_, kBackOpaque);
  SetBackColour(context_, Rgb(255, 255, 255));
  SetMixMode(context_, kMixXor);
  const Point triangle[] = {{50, 50}, {90, 60}, {60, 95}};
  const Point path[] = {{5, 90}, {30, 60}, {45, 90}, {5, 90}};
  auto figure = [&] {
    MoveTo(context_, 3, 3);
    LineTo(context_, 97, 41);
    Rectangle(context_, 10, 10, 40, 30);
    Polygon(context_, triangle, 3);
    Polyline(context_, path, 4);
  };
  figure();
  EXPECT_NE(Snapshot(), before);
  figure();
  EXPECT_EQ(Snapshot(), before);
  SetMixMode(context_, kMixCopy);
  SelectPen(context_, GetStockPen(StockPen::kBlack));
  SelectBrush(context_, GetStockBrush(StockBrush::kWhite));
  DeleteObject(dotted);
  DeleteObject(brush);
}

TEST_F(DrawingTest, PixelsAreSetAndRead) {
  Clear(kWhite);
  EXPECT_EQ(SetPixel(context_, 3, 4, Rgb(12, 34, 56)), Rgb(12, 34, 56));
  EXPECT_EQ(GetPixel(context_, 3, 4), Rgb(12, 34, 56));
  EXPECT_EQ(SetPixel(context_, -1, 4, kRed), 0xFFFFFFFFu);  // outside
}

TEST_F(DrawingTest, ASelectedObjectThatIsDeletedKeepsDrawing) {
  Clear(kWhite);
  Pen red = CreatePen(PenStyle::kSolid, 1, kRed);
  EXPECT_EQ(SelectPen(context_, red), GetStockPen(StockPen::kBlack));
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_EQ(test::CountLiveObjects().pens, 0);
  MoveTo(context_, 0, 0);
  LineTo(context_, 5, 0);
  EXPECT_EQ(At(0, 0), kRed);
  EXPECT_EQ(SelectPen(context_, red), Pen::kNone);  // a deleted handle selects nothing
  EXPECT_FALSE(DeleteObject(GetStockPen(StockPen::kBlack)));
  EXPECT_FALSE(DeleteObject(GetStockBrush(StockBrush::kWhite)));
}

TEST_F(DrawingTest, TextUsesTheContextsFontColoursAndBackMode) {
  Clear(kRed);
  Size extent = TextExtent(context_, "Hg");
  EXPECT_GE(extent.height, 15);
  EXPECT_LE(extent.height, 17);
  SetTextColour(context_, kBlue);
  SetBackColour(context_, kWhite);
  SetBackMode(context_, kBackOpaque);
  TextOut(context_, 10, 10, "Hg");
  EXPECT_GT(Count(kBlue, 10, 10, 10 + extent.width, 10 + extent.height), 5);
  EXPECT_EQ(Count(kRed, 10, 10, 10 + extent.width, 10 + extent.height), 0);  // the cell is opaque
  EXPECT_EQ(Count(kBlue, 0, 0, 200, 10) + Count(kBlue, 0, 10 + extent.height, 200, 150), 0);
  SetBackMode(context_, kBackTransparent);
  TextOut(context_, 10, 60, "Hg");
  EXPECT_GT(Count(kRed, 10, 60, 10 + extent.width, 60 + extent.height), 0);
  EXPECT_EQ(Count(kWhite, 10, 60, 10 + extent.width, 60 + extent.height), 0);
}

TEST_F(DrawingTest, FontsResolveFacesAndKeepTheirMetrics) {
  Font arial = CreateFont({16, 0, 0, "Arial"});
  Font liberation = CreateFont({16, 0, 0, "Liberation Sans"});
  SelectFont(context_, arial);
  Size a = TextExtent(context_, "Korvane 0123");
  SelectFont(context_, liberation);
  Size b = TextExtent(context_, "Korvane 0123");
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  // The width is the average character width: doubling it doubles a text.
  Font narrow = CreateFont({16, 8, 0, "Arial"});
  Font wide = CreateFont({16, 16, 0, "Arial"});
  SelectFont(context_, narrow);
  int narrowWidth = TextExtent(context_, "Loudspeaker 0123456789").width;
  SelectFont(context_, wide);
  int wideWidth = TextExtent(context_, "Loudspeaker 0123456789").width;
  EXPECT_NEAR(narrowWidth, 22 * 8, 22);
  EXPECT_NEAR(wideWidth, 2 * narrowWidth, narrowWidth / 5);  // glyph advances round to whole pixels
  Font big = CreateFont({32, 0, 0, "Arial"});
  SelectFont(context_, big);
  EXPECT_NEAR(TextExtent(context_, "H").height, 32, 1);
  EXPECT_EQ(CreateFont({16, 0, 0, ""}), Font::kNone);
  SelectFont(context_, GetStockFont());
  for (Font f : {arial, liberation, narrow, wide, big}) DeleteObject(f);
  EXPECT_EQ(test::CountLiveObjects().fonts, 0);
}

TEST_F(DrawingTest, BoxedTextAlignsAndReturnsItsHeight) {
  Clear(kWhite);
  SetBackMode(context_, kBackTransparent);
  int line = TextExtent(context_, "A").height;
  EXPECT_EQ(DrawTextInRect(context_, {0, 0, 200, 100}, "one\ntwo", kTextLeft), 2 * line);
  Clear(kWhite);
  DrawTextInRect(context_, {0, 0, 200, 20}, "R", kTextRight | kTextSingleLine);
  EXPECT_EQ(Count(kBlack, 0, 0, 150, 20), 0);
  EXPECT_GT(Count(kBlack, 150, 0, 200, 20), 0);
  // '&' marks a mnemonic unless the no-prefix flag says otherwise.
  Clear(kWhite);
  DrawTextInRect(context_, {0, 0, 200, 20}, "&&", kTextLeft);
  int one = Count(kBlack, 0, 0, 200, 20);
  Clear(kWhite);
  DrawTextInRect(context_, {0, 0, 200, 20}, "&&", kTextLeft | kTextNoPrefix);
  EXPECT_NEAR(Count(kBlack, 0, 0, 200, 20), 2 * one, 2);
}

// A memory context's bitmap is a target like a window: the same calls give
// the same pixels, and blits carry them between targets.
TEST_F(DrawingTest, BitmapsTakeEveryPrimitiveAndBlitsCopyMergeInvertAndStretch) {
  Bitmap lev = LoadBitmap(instance_, "LEV_07");
  Brush pattern = CreatePatternBrush(lev);
  figure::DrawFigure(context_, pattern);
  Bitmap bitmap = CreateBitmap(120, 90);
  ASSERT_NE(bitmap, Bitmap::kNone);
  Context memory = CreateMemoryContext();
  EXPECT_EQ(GetPixel(memory, 0, 0), 0xFFFFFFFFu);  // no bitmap yet: nothing to draw into
  EXPECT_EQ(SelectBitmap(memory, bitmap), Bitmap::kNone);
  EXPECT_EQ(GetPixel(memory, 119, 89), kWhite);  // new bitmaps are white
  figure::DrawFigure(memory, pattern);
  int differing = 0;
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) differing += GetPixel(memory, x, y) != At(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_FALSE(DeleteObject(bitmap));  // still selected

  // Copy a part to the window, then merge and invert over it.
  Clear(kWhite);
  EXPECT_TRUE(Blit(context_, 130, 0, 60, 40, memory, 0, 0, kMixCopy));
  EXPECT_EQ(At(130 + 10, 0 + 5), GetPixel(memory, 10, 5));
  EXPECT_EQ(At(130 + 3, 3), kRed);
  Brush green = CreateSolidBrush(Rgb(0, 255, 0));
  FillRect(context_, {0, 100, 10, 110}, green);
  DeleteObject(green);
  SetPixel(memory, 0, 0, Rgb(255, 0, 0));
  Blit(context_, 0, 100, 1, 1, memory, 0, 0, kMixMerge);
  EXPECT_EQ(At(0, 100), Rgb(255, 255, 0));
  Blit(context_, 0, 100, 1, 1, memory, 0, 0, kMixXor);
  EXPECT_EQ(At(0, 100), Rgb(0, 255, 0));

  // Twice the size: each source pixel becomes a 2 x 2 block.
  Clear(kWhite);
  EXPECT_TRUE(StretchBlit(context_, {0, 0, 100, 60}, memory, {40, 10, 90, 40}, kMixCopy));
  int wrong = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) wrong += At(x, y) != GetPixel(memory, 40 + x / 2, 10 + y / 2);
  EXPECT_EQ(wrong, 0);
  // A source beyond the bitmap leaves the destination as it was.
  Clear(kBlue);
  Blit(context_, 0, 0, 20, 20, memory, 110, 80, kMixCopy);
  EXPECT_EQ(At(5, 5), GetPixel(memory, 115, 85));
  EXPECT_EQ(At(15, 15), kBlue);

  EXPECT_EQ(SelectBitmap(memory, Bitmap::kNone), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteContext(memory));
  EXPECT_FALSE(DeleteContext(context_));  // a window's context lives with the window
  DeleteObject(pattern);
  DeleteObject(lev);
}

}  // namespace
