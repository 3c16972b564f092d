// A figure drawn with every primitive, a font and a pattern brush, for the
// tests that compare what two targets show.
#pragma once

#include "platform/drawing.h"

namespace figure {

using namespace platform;

constexpr Colour kWhite = 0xFFFFFF, kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255), kGreen = Rgb(0, 200, 0);

// The figure covers 0..119 by 0..89 from (dx, dy).
inline void DrawFigure(Context c, Brush pattern, int dx = 0, int dy = 0) {
  Brush white = CreateSolidBrush(kWhite);
  FillRect(c, {dx, dy, dx + 120, dy + 90}, white);
  DeleteObject(white);
  Pen dotted = CreatePen(PenStyle::kDotted, 1, kRed);
  Pen old = SelectPen(c, dotted);
  MoveTo(c, dx + 3, dy + 3);
  LineTo(c, dx + 60, dy + 40);
  SelectPen(c, old);
  DeleteObject(dotted);
  Brush blue = CreateSolidBrush(kBlue);
  Brush before = SelectBrush(c, blue);
  Rectangle(c, dx + 10, dy + 50, dx + 40, dy + 80);
  const Point star[] = {
      {dx + 70, dy + 10}, {dx + 90, dy + 70}, {dx + 50, dy + 30}, {dx + 100, dy + 30}, {dx + 60, dy + 70}};
  SelectBrush(c, pattern);
  Polygon(c, star, 5);
  SelectBrush(c, before);
  DeleteObject(blue);
  const Point zigzag[] = {{dx + 5, dy + 85}, {dx + 20, dy + 75}, {dx + 35, dy + 85}, {dx + 50, dy + 75}};
  Polyline(c, zigzag, 4);
  SetPixel(c, dx + 110, dy + 5, kGreen);
  Font font = CreateFont({14, 0, 0, "Arial"});
  Font oldFont = SelectFont(c, font);
  SetBackMode(c, kBackTransparent);
  TextOut(c, dx + 45, dy + 72, "Korvane");
  SelectFont(c, oldFont);
  DeleteObject(font);
}

}  // namespace figure
