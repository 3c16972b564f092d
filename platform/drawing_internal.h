// Drawing objects and contexts: pens, brushes, fonts and bitmaps by handle,
// and each context's state.
#pragma once

#include <QFont>
#include <QImage>
#include <cstdint>
#include <map>

#include "platform/drawing.h"

namespace platform::detail {

struct PenObject {
  PenStyle style = PenStyle::kSolid;
  int width = 1;
  Colour colour = 0;
};
struct BrushObject {
  enum Kind { kSolid, kHollow, kPattern } kind = kSolid;
  Colour colour = 0;
  QImage pattern;  // 8 by 8 for kPattern
};
struct FontObject {
  QFont font;
  int escapement = 0;
};

// A context keeps copies of what is selected, so deleting a selected object
// leaves it drawing as before.
struct ContextObject {
  Window window = Window::kNone;
  Pen pen{};
  PenObject penValue;
  Brush brush{};
  BrushObject brushValue;
  Font font{};
  FontObject fontValue;
  int mix = kMixCopy;
  int backMode = kBackOpaque;
  Colour back = 0xFFFFFF;
  Colour text = 0;
  Point position;
};

struct DrawingObjects {
  std::map<std::uintptr_t, ContextObject> contexts;
  std::map<std::uintptr_t, PenObject> pens;
  std::map<std::uintptr_t, BrushObject> brushes;
  std::map<std::uintptr_t, FontObject> fonts;
  std::map<std::uintptr_t, QImage> bitmaps;
};
DrawingObjects& Objects();
// Drops every context and every object but the stock ones.
void ResetDrawingObjects();

ContextObject* FindContext(Context context);
void ForgetContext(Context context);
// A new bitmap holding `image` (converted to 32-bit RGB).
Bitmap AddBitmap(const QImage& image);

}  // namespace platform::detail
