// The framework's bitmaps: one drawing routine through the back buffer, a
// capture, a stretch of it and a printed page gives the window's pixels;
// the clipboard copy; resource bitmaps, icons and data; help.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "framework/base/bitmaps.h"
#include "framework/base/drawing_layer.h"
#include "framework/base/framework_windows.h"
#include "framework/base/help.h"
#include "framework/base/printing.h"
#include "platform/drawing.h"
#include "platform/test_seams.h"
#include "platform/window.h"
#include "tests/support/bitmap_compare.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/message_recorder.h"

namespace {

constexpr int kWidth = 120, kHeight = 90;

// One picture through the drawing layer on its current context: solid and
// dotted pens, a polygon, a pattern, plain and styled text.
void DrawPicture() {
  SetBrushColor(30);
  FillRectangle(0, 0, kWidth, kHeight);
  SetPenColor(45);
  DrawLine(2, 2, 100, 60);
  SetPenColor(14);
  SetBrushColor(25);
  const platform::Point star[] = {{70, 10}, {90, 70}, {50, 30}, {100, 30}, {60, 70}};
  DrawPolygon(star, 5);
  SetBrushColor(3);
  FillRectanglePattern(5, 40, 37, 64);
  SetTextColorIndex(0);
  DrawTextAt(4, 4, "Korvane");
  SetTextStyle("Arial", 18, 8, 0, 32, 30, 2);
  DrawStyledText(4, 66, 118, 88, "m\xB2 & \xB0", 0);
  SetPenColor(0);
}

class BitmapsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    DrawWindow->window = CreateChildWindow("", platform::kStyleBorder, 32, 24, kWidth + 2, kHeight + 2, 10000);
    SelectOutputWindow(DrawWindow);
  }
  // The window's client area now, as a bitmap.
  platform::Bitmap Shown() {
    platform::Bitmap image = platform::CreateBitmap(kWidth, kHeight);
    platform::Context memory = platform::CreateMemoryContext();
    platform::SelectBitmap(memory, image);
    platform::Blit(memory, 0, 0, kWidth, kHeight, DrawWindow->context, 0, 0, platform::kMixCopy);
    platform::SelectBitmap(memory, platform::Bitmap::kNone);
    platform::DeleteContext(memory);
    return image;
  }
  void Grey() {
    SetBrushColor(5);
    FillRectangle(0, 0, kWidth, kHeight);
  }
  platform::Colour At(int x, int y) { return platform::test::SurfacePixel(DrawWindow->window, x, y); }
};

TEST_F(BitmapsTest, BackBufferCaptureStretchAndPageShowWhatTheWindowShows) {
  DrawPicture();
  platform::Bitmap window = Shown();

  // Off screen: the window stays as it was until the buffer is shown.
  Grey();
  ASSERT_EQ(ManageBackBuffer(1), 1);
  DrawPicture();
  EXPECT_EQ(DifferingPixels(window, gBackBuffer.bitmap), 0);
  EXPECT_EQ(At(60, 45), gPalette.colours[5]);
  EXPECT_EQ(ManageBackBuffer(2), 1);
  EXPECT_EQ(DifferingPixels(window, Shown()), 0);
  EXPECT_EQ(ManageBackBuffer(0), 0);
  EXPECT_EQ(gOutput.context, DrawWindow->context);
  EXPECT_EQ(ManageBackBuffer(2), 0);

  // The capture, with white beyond the client area.
  platform::Bitmap captured = platform::Bitmap::kNone;
  ASSERT_EQ(CaptureWindowBitmap({0, 0, kWidth, kHeight}, &captured), 1);
  EXPECT_EQ(platform::GetBitmapSize(captured).width, kWidth + 1 + 8);
  EXPECT_EQ(DifferingPixels(window, captured), 0);
  EXPECT_EQ(platform::GetPixel(gCapture.memory, kWidth, 10), 0xFFFFFFu);
  EXPECT_EQ(platform::GetPixel(gCapture.memory, 10, kHeight), 0xFFFFFFu);

  // Twice the size: the capture's top-left quarter over the whole window.
  Grey();
  StretchCapturedBitmap({0, 0, kWidth / 2 - 1, kHeight / 2 - 1}, {0, 0, kWidth - 1, kHeight - 1}, platform::kMixCopy);
  platform::Context read = platform::CreateMemoryContext();
  platform::SelectBitmap(read, window);
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) wrong += At(x, y) != platform::GetPixel(read, x / 2, y / 2);
  EXPECT_EQ(wrong, 0);
  platform::SelectBitmap(read, platform::Bitmap::kNone);
  platform::DeleteContext(read);
  ReleaseBitmapDc(captured);
  EXPECT_EQ(gCapture.memory, platform::Context::kNone);

  // A printed page of the window's size.
  platform::test::PrintDialogScript script;
  platform::test::RecordingPrinter page;
  page.caps = {kWidth, kHeight, 30, 20, false, 1, 16777216, 16777216, 16777216};
  script.Record(page);
  ASSERT_EQ(PrintSetupDialog(), 1);
  ASSERT_EQ(StartPrintJobWithObjects(), 1);
  DrawPicture();
  EndPrintJob();
  ASSERT_EQ(script.documents().size(), 1u);
  EXPECT_EQ(DifferingPixels(window, script.documents()[0].pages[0].image), 0);
}

// The copy on the clipboard is the client area plus a white column and row.
TEST_F(BitmapsTest, TheClipboardTakesTheWindowAndWhiteBeyond) {
  DrawPicture();
  ASSERT_EQ(CopyViewToClipboard(), 1);
  platform::Bitmap copied = platform::test::ClipboardBitmap();
  ASSERT_NE(copied, platform::Bitmap::kNone);
  EXPECT_EQ(platform::GetBitmapSize(copied).width, kWidth + 1);
  EXPECT_EQ(platform::GetBitmapSize(copied).height, kHeight + 1);
  EXPECT_EQ(DifferingPixels(Shown(), copied), 0);
  platform::Context read = platform::CreateMemoryContext();
  platform::SelectBitmap(read, copied);
  EXPECT_EQ(platform::GetPixel(read, kWidth, 0), 0xFFFFFFu);
  EXPECT_EQ(platform::GetPixel(read, 0, kHeight), 0xFFFFFFu);
  platform::SelectBitmap(read, platform::Bitmap::kNone);
  platform::DeleteContext(read);

  // A window one pixel high copies nothing and leaves the clipboard alone.
  platform::MoveWindow(DrawWindow->window, 32, 24, kWidth + 2, 3, true);
  EXPECT_EQ(CopyViewToClipboard(), 0);
  EXPECT_EQ(platform::GetBitmapSize(platform::test::ClipboardBitmap()).height, kHeight + 1);
}

TEST_F(BitmapsTest, ResourceBitmapsIconsAndData) {
  Grey();
  DrawWindow->right = kWidth;
  DrawWindow->bottom = kHeight;
  // Centred (the 8 x 8 bitmap at 56..63 by 41..48) and inverted, twice:
  // the window is as before.
  auto greyIn = [&](int x0, int y0, int x1, int y1) {
    int grey = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) grey += At(x, y) == gPalette.colours[5];
    return grey;
  };
  DrawResourceBitmapCentred("LEV_00", 2);
  EXPECT_EQ(greyIn(56, 41, 64, 49), 4);  // its four black pixels leave the grey alone
  EXPECT_EQ(greyIn(0, 0, kWidth, kHeight), 4 + kWidth * kHeight - 64);
  DrawResourceBitmapCentred("LEV_00", 2);
  EXPECT_EQ(greyIn(0, 0, kWidth, kHeight), kWidth * kHeight);
  DrawResourceBitmap(0, 0, "LEV_15", 1);  // copied: all black
  EXPECT_EQ(At(3, 3), 0u);
  DrawResourceBitmap(0, 0, "NO_SUCH_BITMAP", 1);
  DrawResourceIcon(40, 20, "SMOKE");
  int changed = 0;
  for (int y = 20; y < 52; ++y)
    for (int x = 40; x < 72; ++x) changed += At(x, y) != gPalette.colours[5];
  EXPECT_GT(changed, 0);

  auto block = LoadRcDataResource("SAMPLE");
  ASSERT_TRUE(block.has_value());
  EXPECT_EQ(*block, (std::vector<std::uint8_t>{0x4B, 0x4F, 0x52, 0x00, 0x01, 0x02, 0xFF}));
  EXPECT_FALSE(LoadRcDataResource("NOBLOCK").has_value());
}

TEST_F(BitmapsTest, HelpOpensTheTopicOrSaysTheFileIsMissing) {
  platform::test::HelpRecorder help;
  std::string path = GetStartDirectory() + "/SMOKE_E.HLP";
  std::FILE* file = std::fopen(path.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("<html><body><a id=\"context-1004\">Listing</a></body></html>", file);
  std::fclose(file);
  ShowHelp(1004, "SMOKE_E.HLP");
  ShowHelp(1, "SMOKE_E.HLP");
  std::filesystem::remove(path);
  ASSERT_EQ(help.opened().size(), 2u);
  EXPECT_EQ(help.opened()[0], "file://" + path + "#context-1004");
  EXPECT_EQ(help.opened()[1], "file://" + path);

  // Found whatever the case of its name on disk.
  const std::string lower = GetStartDirectory() + "/smoke_e.hlp";
  file = std::fopen(lower.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  ShowHelp(1004, "SMOKE_E.HLP");
  std::filesystem::remove(lower);
  ASSERT_EQ(help.opened().size(), 3u);
  EXPECT_EQ(help.opened()[2], "file://" + lower + "#context-1004");

  MessageRecorder recorder;
  ShowHelp(1004, "SMOKE_E.HLP");
  ASSERT_EQ(recorder.texts(), std::vector<std::string>{"Can\xB4t locate file\n" + path});
  EXPECT_EQ(help.opened().size(), 3u);
}

}  // namespace
