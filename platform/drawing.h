// Device contexts and drawing.
//
// A context draws into a target: a window's surface (GetWindowContext; one
// per window, alive as long as the window), the bitmap selected into a
// memory context (CreateMemoryContext), or the page of a print job
// (printer.h). Every primitive, font and brush below works the same on each,
// through the one rasteriser. Its state: pen, brush, font, mix mode, back
// colour and mode, text colour, current position. Objects are created,
// selected (the call returns the one it replaces) and deleted; deleting a
// selected object is allowed: the context keeps drawing with it until
// something else is selected. Stock objects are never deleted.
//
// Pixel rules on raster targets (antialiasing is always off):
// - a line covers its start up to, not including, its end pixel;
// - Rectangle(l, t, r, b) with a pen covers l..r-1 by t..b-1, the border in
//   the pen and the inside in the brush; with the null pen the fill covers
//   l..r-2 by t..b-2; with the hollow brush only the border is drawn;
// - FillRect covers l..r-1 by t..b-1 with the brush, ignoring the mix mode;
// - polygons are filled even-odd: a pixel is inside when its centre is;
// - a dotted pen draws 2 pixels on, 2 off, its gaps in the back colour only
//   when the back mode is opaque;
// - the XOR mix mode combines pen and brush with what is there, so drawing
//   the same figure twice restores every pixel.
// Text ignores the mix mode; on a printer's page it is text (printer.h).
// Texts are UTF-8.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace platform {

Context GetWindowContext(Window window);  // none for a window without a surface

enum class PenStyle { kSolid, kDotted, kNull };
enum class StockPen { kBlack, kNull };
enum class StockBrush { kWhite, kHollow, kLightGrey };
Pen CreatePen(PenStyle style, int width, Colour colour);
Pen GetStockPen(StockPen which);
Brush CreateSolidBrush(Colour colour);
// A brush tiled from the bitmap's top-left 8 by 8 pixels, in the bitmap's
// own colours, aligned to the target's origin.
Brush CreatePatternBrush(Bitmap pattern);
Brush GetStockBrush(StockBrush which);

// Fonts. `height` > 0 is the cell height (ascent + descent) in pixels, < 0
// the character height, 0 the default 16. `width` is the average character
// width, 0 for the face's own. `escapement` turns the text counter-clockwise
// in tenths of a degree. "Arial" resolves to Liberation Sans, "Times New
// Roman" and "Courier New" to Liberation Serif and Mono.
struct FontRequest {
  int height = 0;
  int width = 0;
  int escapement = 0;
  std::string_view face = "Arial";
};
Font CreateFont(const FontRequest& request);  // none for an empty face
// The font of a context with none selected: Liberation Sans, 16 pixels high.
Font GetStockFont();

// Bitmaps: 32-bit colour images, white when made. A memory context draws
// into the bitmap selected into it (nothing while none is); SelectBitmap
// returns the one it replaces. A bitmap cannot be deleted while selected.
Bitmap CreateBitmap(int width, int height);  // none for a size below 1 or too large
Size GetBitmapSize(Bitmap bitmap);
Context CreateMemoryContext();
Bitmap SelectBitmap(Context memory, Bitmap bitmap);
// Deletes a memory or printer context (a window's lives with the window).
bool DeleteContext(Context context);

bool DeleteObject(Pen pen);
bool DeleteObject(Brush brush);
bool DeleteObject(Font font);
bool DeleteObject(Bitmap bitmap);

Pen SelectPen(Context context, Pen pen);
Brush SelectBrush(Context context, Brush brush);
Font SelectFont(Context context, Font font);

// Mix modes (of pens, brushes and blits): XOR with the target, its
// inverse, plain copy, and merge (OR with the target: paints a bitmap over
// what is there).
constexpr int kMixXor = 7, kMixNotXor = 10, kMixCopy = 13, kMixMerge = 15;
int SetMixMode(Context context, int mode);  // returns the previous one
int GetMixMode(Context context);
// Back modes.
constexpr int kBackTransparent = 1, kBackOpaque = 2;
int SetBackMode(Context context, int mode);
int GetBackMode(Context context);
Colour SetBackColour(Context context, Colour colour);
Colour GetBackColour(Context context);
Colour SetTextColour(Context context, Colour colour);
Colour GetTextColour(Context context);

void MoveTo(Context context, int x, int y);
Point GetCurrentPosition(Context context);
void LineTo(Context context, int x, int y);  // moves the position to (x, y)
void Polyline(Context context, const Point* points, int count);
void Polygon(Context context, const Point* points, int count);
void Rectangle(Context context, int left, int top, int right, int bottom);
void FillRect(Context context, const Rect& rect, Brush brush);
Colour SetPixel(Context context, int x, int y, Colour colour);  // the colour set
Colour GetPixel(Context context, int x, int y);

// Blits: the source rectangle of a window's surface or a memory context's
// bitmap onto the destination rectangle of any target, stretched to fit,
// combined by a mix mode (kMixCopy, kMixMerge to paint over, kMixXor to
// invert). Source pixels outside the source leave the destination alone.
// The source is read at the call.
bool Blit(Context destination, int x, int y, int width, int height, Context source, int sourceX, int sourceY, int mode);
bool StretchBlit(Context destination, const Rect& to, Context source, const Rect& from, int mode);
// Draws the program's icon `name` (resources/<program>/icons) at (x, y),
// blended over what is there; false when it is missing.
bool DrawIcon(Context context, int x, int y, Instance instance, std::string_view name);

// True when pixel (x, y) is inside the polygon by the rule polygons fill with.
bool PolygonContainsPixel(const Point* points, int count, int x, int y);

// Text at (x, y), the top-left of its cell.
void TextOut(Context context, int x, int y, std::string_view text);
Size TextExtent(Context context, std::string_view text);
// Text in a rectangle. Without kTextNoPrefix "&x" underlines nothing but
// drops the '&' ("&&" gives '&'). Returns the height of the text.
constexpr unsigned kTextLeft = 0x0, kTextCentre = 0x1, kTextRight = 0x2, kTextVerticalCentre = 0x4, kTextBottom = 0x8,
                   kTextWordBreak = 0x10, kTextSingleLine = 0x20, kTextNoPrefix = 0x800;
int DrawTextInRect(Context context, const Rect& rect, std::string_view text, unsigned format);

}  // namespace platform
