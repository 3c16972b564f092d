// The drawing layer: one current output target, a 64-colour palette whose
// indexes stand for pens and brushes, lines, shapes and text. Every drawing
// call of the four programs goes through it. Coordinates are pixels of the
// current target; texts are code page 1252.
#pragma once

#include <cstdint>
#include <string>

#include "platform/drawing.h"
#include "platform/system.h"
#include "platform/types.h"

// A window the framework draws in.
struct WindowRecord {
  platform::Window window = platform::Window::kNone;
  // Fetched the first time the record becomes the output, then kept.
  platform::Context context = platform::Context::kNone;
  // The client rectangle as the view layout last set it.
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The framework's main window, and the record of the window the views draw
// into (the drawing window, kept inside the main window with the margins).
extern WindowRecord MainWindow;
extern WindowRecord* DrawWindow;
constexpr int kDrawMarginLeft = 32, kDrawMarginTop = 24, kDrawMarginRight = 32, kDrawMarginBottom = 24;

struct OutputState {
  WindowRecord* currentWindow = nullptr;
  // The current window's context, the printer's while a print job is open,
  // or the back buffer's while drawing off-screen.
  platform::Context context = platform::Context::kNone;
  std::int16_t penIndex = 0;
  std::int16_t brushIndex = 0;
  std::int16_t mixMode = platform::kMixCopy;
  platform::Pen pen = platform::Pen::kNone;  // selected now: stock or the layer's own
  platform::Brush brush = platform::Brush::kNone;
  platform::Pen stockPen = platform::Pen::kNone;        // black, never deleted
  platform::Brush stockBrush = platform::Brush::kNone;  // white, never deleted
  platform::Colour savedBackColour = 0xFFFFFF;          // saved when a dotted pen was selected
  platform::Pen savedPen = platform::Pen::kNone;        // the pen before SelectNullPen(1)
  bool printing = false;                                // a print job is open
};
extern OutputState gOutput;

constexpr int kPaletteSize = 64;
struct PaletteTable {
  platform::Colour colours[kPaletteSize] = {};  // 0x00BBGGRR
};
extern PaletteTable gPalette;

struct TextStyle {
  std::string faceName = "Arial";
  std::int32_t charWidth = 8;
  std::int32_t charHeight = 16;
  std::int32_t angle = 0;  // tenths of a degree
  platform::Colour textColour = 0;
  platform::Colour backColour = 0xFFFFFF;
  std::int32_t backMode = platform::kBackOpaque;
};
extern TextStyle gTextStyle;

// Everything above back to its state before start-up.
void ResetDrawingLayer();

// Output target.
WindowRecord* SelectOutputWindow(WindowRecord* record);
void SetMainTitle(const char* text);
std::string GetMainTitle();

// Palette, pens and brushes.
void InitPalette();
void SetPaletteColor(std::int16_t index, platform::Colour colour);
void SetPenColor(std::int16_t index);
void SetBrushColor(std::int16_t index);
std::int16_t GetPenColor();
void SetDrawMode(std::int16_t rop);
std::int16_t GetDrawMode();
void SelectNullPen(int on);
void SetBackgroundColor(std::int16_t index);
void SetTextColorIndex(std::int16_t index);
// Selects `pen` (or `brush`) into the current context as the layer's current
// object, deleting the one it replaces unless that is a stock object.
void ReplaceOutputPen(platform::Pen pen);
void ReplaceOutputBrush(platform::Brush brush);

// Lines and shapes. Rectangles are {left, top, right, bottom}.
void MovePenTo(int x, int y);
void MovePenRelative(int dx, int dy);
int GetCurrentX();
int GetCurrentY();
void DrawLineTo(int x, int y);
void DrawLine(int x1, int y1, int x2, int y2);
void DrawPolyline(const platform::Point* points, int count);
void DrawClosedPolyline(const platform::Point* points, int count, int filled);
void DrawPolygon(const platform::Point* points, int count);
void DrawPolygonCountFirst(int count, const platform::Point* points);
void DrawPolygonPattern(const platform::Point* points, int count);
void DrawRectangle(const platform::Rect& rect, int filled);
void FillRectangle(int left, int top, int right, int bottom);
void FillRectanglePattern(int left, int top, int right, int bottom);
void DrawBevel(const platform::Rect& rect, int raised);
platform::Colour SetPixelInPenColor(int x, int y);
int GetClientWidth();
int GetClientHeight();

// Text.
void DrawTextAt(int x, int y, const char* text);
int DrawTextFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
void SetDefaultTextStyle();
void SetTextStyle(const char* face, int height, int width, int angle, std::int16_t textColourIndex,
                  std::int16_t backColourIndex, int backMode);
// `format` takes the platform's kText... flags.
int DrawStyledText(int left, int top, int right, int bottom, const char* text, unsigned format);

// Cursors over the drawing window (the main window in a program without
// one): the arrow, or none while the window draws its own crosshair. The
// main window, its menu bar, scroll bars and buttons keep the arrow.
void SetArrowCursor();
void HideCursor();
// Shows the wait cursor (true) and puts back the cursor before it (false);
// calls nest. The core's WaitCursorScope reaches it through the services.
void ShowWaitCursor(bool on);
