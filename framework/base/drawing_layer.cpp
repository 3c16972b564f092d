#include "framework/base/drawing_layer.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "framework/base/framework_windows.h"
#include "framework/core/state_reset.h"
#include "framework/core/text_encoding.h"
#include "platform/system.h"
#include "platform/window.h"

WindowRecord MainWindow;
namespace {
WindowRecord gDrawWindowRecord;
std::string gMainTitle;

constexpr platform::Colour kInitialPalette[kPaletteSize] = {
    0x000000, 0x808080, 0x909090, 0xA0A0A0, 0xB0B0B0, 0xC0C0C0, 0xD0D0D0, 0xE0E0E0,  // 0-7
    0xF0F0F0, 0x0000E1, 0x00AFEA, 0x00D5D5, 0x00D56A, 0xC0C00A, 0xD50000, 0xD500D5,  // 8-15
    0x0000EE, 0x00BFFF, 0x10EFEF, 0x00E600, 0xE0E000, 0xFF0000, 0xFF00FF, 0x0000FF,  // 16-23
    0xB3DDFF, 0x00FFFF, 0xAAFFD5, 0xFFFF00, 0xFFF4AC, 0xFFBFFF, 0xFFFFFF, 0x808000,  // 24-31
    0x0000FF, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x200000, 0x400000,  // 32-39
    0x600000, 0x800000, 0xA40000, 0xC30000, 0xFF0000, 0xFF3B00, 0xFF6800, 0xFF9E00,  // 40-47
    0xFFC300, 0xFFE700, 0xFFFF00, 0xE1FF00, 0xB0FF00, 0x7AFF00, 0x00FF00, 0x00FFA4,  // 48-55
    0x00FFDB, 0x00FFFF, 0x00E1FF, 0x00C3FF, 0x00A4FF, 0x006EFF, 0x0037FF, 0x0000FF,  // 56-63
};

constexpr int kDottedFrom = 32;  // pen indexes 32..63 draw dotted
constexpr int kWhiteIndex = 30;  // the stock white brush
constexpr int kLevelScaleFirst = 37, kLevelScaleLast = 63;

// Palette indexes are unsigned 16-bit: a negative index is as far out of
// range as 64.
bool InPalette(std::int16_t index) { return std::uint16_t(index) < kPaletteSize; }

// The pattern brush that stands for the brush index: 0-15 their own, the
// level scale 37-63 spread over the sixteen; none otherwise.
platform::Brush PatternBrushOf(int index) {
  int pattern = index < kPatternBrushCount ? index
                : index >= kLevelScaleFirst && index <= kLevelScaleLast
                    ? (index - kLevelScaleFirst) * (kPatternBrushCount - 1) / (kLevelScaleLast - kLevelScaleFirst)
                    : -1;
  return pattern < 0 ? platform::Brush::kNone : gFramework.patternBrushes[pattern];
}

void DrawText(int x, int y, const std::string& cp1252) {
  platform::TextOut(gOutput.context, x, y, Cp1252ToUtf8(cp1252));
}

}  // namespace

WindowRecord* DrawWindow = &gDrawWindowRecord;
OutputState gOutput;
PaletteTable gPalette;
TextStyle gTextStyle;

void ResetDrawingLayer() {
  MainWindow = {};
  gDrawWindowRecord = {};
  DrawWindow = &gDrawWindowRecord;
  gOutput = {};
  gMainTitle.clear();
  InitPalette();
  gTextStyle = {};
}

namespace {
const StateReset kReset(ResetDrawingLayer);
}  // namespace

WindowRecord* SelectOutputWindow(WindowRecord* record) {
  WindowRecord* previous = gOutput.currentWindow;
  if (!record || record == previous) return previous;
  if (record->context == platform::Context::kNone) {
    record->context = platform::GetWindowContext(record->window);
    if (record->context == platform::Context::kNone) return previous;
  }
  if (previous && previous->context != platform::Context::kNone) {
    platform::SelectPen(previous->context, gOutput.stockPen);
    platform::SelectBrush(previous->context, gOutput.stockBrush);
  }
  gOutput.currentWindow = record;
  platform::SelectPen(record->context, gOutput.pen);
  platform::SelectBrush(record->context, gOutput.brush);
  if (!gOutput.printing) gOutput.context = record->context;
  return previous;
}

void SetMainTitle(const char* text) { gMainTitle = text ? text : ""; }
std::string GetMainTitle() { return gMainTitle; }

void InitPalette() {
  for (int i = 0; i < kPaletteSize; ++i) gPalette.colours[i] = kInitialPalette[i];
}

void SetPaletteColor(std::int16_t index, platform::Colour colour) {
  if (InPalette(index)) gPalette.colours[index] = colour;
}

void SetPenColor(std::int16_t index) {
  if (index == gOutput.penIndex || !InPalette(index)) return;
  platform::Context c = gOutput.context;
  platform::Pen pen;
  if (index < kDottedFrom) {
    if (gOutput.penIndex >= kDottedFrom) {
      platform::SetBackColour(c, gOutput.savedBackColour);
      platform::SetBackMode(c, platform::kBackTransparent);
    }
    pen = index == 0 ? gOutput.stockPen : platform::CreatePen(platform::PenStyle::kSolid, 1, gPalette.colours[index]);
  } else {
    // Keep the back colour from before the first dotted pen: the one now
    // set is the white of a dotted pen already selected.
    if (gOutput.penIndex < kDottedFrom) gOutput.savedBackColour = platform::GetBackColour(c);
    platform::SetBackColour(c, gPalette.colours[kWhiteIndex]);
    platform::SetBackMode(c, platform::kBackOpaque);
    pen = platform::CreatePen(platform::PenStyle::kDotted, 1, gPalette.colours[index]);
  }
  ReplaceOutputPen(pen);
  gOutput.penIndex = index;
}

void SetBrushColor(std::int16_t index) {
  if (index == gOutput.brushIndex || !InPalette(index)) return;
  platform::Brush brush =
      index == kWhiteIndex ? gOutput.stockBrush : platform::CreateSolidBrush(gPalette.colours[index]);
  ReplaceOutputBrush(brush);
  gOutput.brushIndex = index;
}

void ReplaceOutputPen(platform::Pen pen) {
  platform::SelectPen(gOutput.context, pen);
  if (gOutput.pen != gOutput.stockPen) platform::DeleteObject(gOutput.pen);
  gOutput.pen = pen;
}

void ReplaceOutputBrush(platform::Brush brush) {
  platform::SelectBrush(gOutput.context, brush);
  if (gOutput.brush != gOutput.stockBrush) platform::DeleteObject(gOutput.brush);
  gOutput.brush = brush;
}

std::int16_t GetPenColor() { return gOutput.penIndex; }

void SetDrawMode(std::int16_t rop) {
  gOutput.mixMode = rop;
  platform::SetMixMode(gOutput.context, rop);
}

std::int16_t GetDrawMode() { return gOutput.mixMode; }

void SelectNullPen(int on) {
  if (on) gOutput.savedPen = platform::SelectPen(gOutput.context, platform::GetStockPen(platform::StockPen::kNull));
  else platform::SelectPen(gOutput.context, gOutput.savedPen);
}

void SetBackgroundColor(std::int16_t index) {
  if (std::uint16_t(index) < 31) platform::SetBackColour(gOutput.context, gPalette.colours[index]);
}

void SetTextColorIndex(std::int16_t index) {
  if (std::uint16_t(index) < 31) platform::SetTextColour(gOutput.context, gPalette.colours[index]);
}

void MovePenTo(int x, int y) { platform::MoveTo(gOutput.context, x, y); }

void MovePenRelative(int dx, int dy) {
  platform::Point p = platform::GetCurrentPosition(gOutput.context);
  platform::MoveTo(gOutput.context, p.x + dx, p.y + dy);
}

int GetCurrentX() { return platform::GetCurrentPosition(gOutput.context).x; }
int GetCurrentY() { return platform::GetCurrentPosition(gOutput.context).y; }

void DrawLineTo(int x, int y) { platform::LineTo(gOutput.context, x, y); }

void DrawLine(int x1, int y1, int x2, int y2) {
  platform::Point kept = platform::GetCurrentPosition(gOutput.context);
  platform::MoveTo(gOutput.context, x1, y1);
  platform::LineTo(gOutput.context, x2, y2);
  platform::MoveTo(gOutput.context, kept.x, kept.y);
}

void DrawPolyline(const platform::Point* points, int count) { platform::Polyline(gOutput.context, points, count); }

void DrawClosedPolyline(const platform::Point* points, int count, int filled) {
  if (filled) {
    platform::Polygon(gOutput.context, points, count);
    return;
  }
  if (!points || count < 1) return;
  // The closing point goes behind a copy, never behind the caller's array.
  std::vector<platform::Point> closed(points, points + count);
  closed.push_back(points[0]);
  platform::Polyline(gOutput.context, closed.data(), int(closed.size()));
}

void DrawPolygon(const platform::Point* points, int count) { platform::Polygon(gOutput.context, points, count); }
void DrawPolygonCountFirst(int count, const platform::Point* points) {
  platform::Polygon(gOutput.context, points, count);
}

void DrawPolygonPattern(const platform::Point* points, int count) {
  platform::Brush pattern = PatternBrushOf(gOutput.brushIndex);
  if (pattern == platform::Brush::kNone) {
    platform::Polygon(gOutput.context, points, count);
    return;
  }
  platform::Brush before = platform::SelectBrush(gOutput.context, pattern);
  platform::Polygon(gOutput.context, points, count);
  platform::SelectBrush(gOutput.context, before);
}

void DrawRectangle(const platform::Rect& rect, int filled) {
  if (filled) {
    platform::Rectangle(gOutput.context, rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    return;
  }
  platform::Brush before =
      platform::SelectBrush(gOutput.context, platform::GetStockBrush(platform::StockBrush::kHollow));
  platform::Rectangle(gOutput.context, rect.left, rect.top, rect.right + 1, rect.bottom + 1);
  platform::SelectBrush(gOutput.context, before);
}

void FillRectangle(int left, int top, int right, int bottom) {
  platform::FillRect(gOutput.context, {left, top, right, bottom}, gOutput.brush);
}

void FillRectanglePattern(int left, int top, int right, int bottom) {
  platform::Brush pattern = PatternBrushOf(gOutput.brushIndex);
  platform::FillRect(gOutput.context, {left, top, right, bottom},
                     pattern == platform::Brush::kNone ? gOutput.brush : pattern);
}

void DrawBevel(const platform::Rect& rect, int raised) {
  FillRectangle(rect.left, rect.top, rect.left + 1, rect.bottom);
  FillRectangle(rect.left, rect.top, rect.right, rect.top + 1);
  const platform::Point edge[] = {
      {rect.left, rect.bottom},       {rect.right, rect.bottom},         {rect.right, rect.top},
      {rect.right - 1, rect.top + 1}, {rect.right - 1, rect.bottom - 1}, {rect.left + 1, rect.bottom - 1}};
  std::int16_t before = gOutput.penIndex;
  SetPenColor(raised < 1 ? 30 : 1);
  platform::Polygon(gOutput.context, edge, 6);
  SetPenColor(before);
}

platform::Colour SetPixelInPenColor(int x, int y) {
  return platform::SetPixel(gOutput.context, x, y, gPalette.colours[std::uint16_t(gOutput.penIndex) % kPaletteSize]);
}

int GetClientWidth() { return gOutput.currentWindow ? gOutput.currentWindow->right : 0; }
int GetClientHeight() { return gOutput.currentWindow ? gOutput.currentWindow->bottom : 0; }

void DrawTextAt(int x, int y, const char* text) {
  if (text) DrawText(x, y, text);
}

int DrawTextFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(length > 0 ? std::size_t(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  platform::Point at = platform::GetCurrentPosition(gOutput.context);
  DrawText(at.x, at.y, text);
  return length;
}

void SetDefaultTextStyle() { gTextStyle = {}; }

void SetTextStyle(const char* face, int height, int width, int angle, std::int16_t textColourIndex,
                  std::int16_t backColourIndex, int backMode) {
  gTextStyle.faceName = face ? face : "";
  gTextStyle.charHeight = height;
  gTextStyle.charWidth = width;
  gTextStyle.angle = angle;
  if (InPalette(textColourIndex)) gTextStyle.textColour = gPalette.colours[textColourIndex];
  if (InPalette(backColourIndex)) gTextStyle.backColour = gPalette.colours[backColourIndex];
  gTextStyle.backMode = backMode;
}

int DrawStyledText(int left, int top, int right, int bottom, const char* text, unsigned format) {
  platform::Context c = gOutput.context;
  platform::Font font =
      platform::CreateFont({gTextStyle.charHeight, gTextStyle.charWidth, gTextStyle.angle, gTextStyle.faceName});
  if (font == platform::Font::kNone) return 0;
  platform::Font before = platform::SelectFont(c, font);
  platform::Colour textBefore = platform::SetTextColour(c, gTextStyle.textColour);
  platform::Colour backBefore = 0;
  int modeBefore = 0;
  if (!gOutput.printing) {
    backBefore = platform::SetBackColour(c, gTextStyle.backColour);
    modeBefore = platform::SetBackMode(c, gTextStyle.backMode);
  }
  int height = platform::DrawTextInRect(c, {left, top, right, bottom}, Cp1252ToUtf8(text ? text : ""),
                                        format | platform::kTextNoPrefix);
  if (!gOutput.printing) {
    platform::SetBackMode(c, modeBefore);
    platform::SetBackColour(c, backBefore);
  }
  platform::SetTextColour(c, textBefore);
  platform::SelectFont(c, before);
  platform::DeleteObject(font);
  return height;
}

namespace {
// The window whose crosshair replaces the pointer: the drawing window, or
// the main window of a program without one.
platform::Window CursorWindow() {
  return DrawWindow && DrawWindow->window != platform::Window::kNone ? DrawWindow->window : MainWindow.window;
}
}  // namespace

void SetArrowCursor() { platform::SetWindowCursor(CursorWindow(), platform::CursorShape::kArrow); }
void HideCursor() { platform::SetWindowCursor(CursorWindow(), platform::CursorShape::kNone); }
void ShowWaitCursor(bool on) {
  static int depth = 0;
  if (on && depth++ == 0) platform::SetWaitCursor(true);
  if (!on && depth > 0 && --depth == 0) platform::SetWaitCursor(false);
}
