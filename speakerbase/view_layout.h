// What the editor's three record views (the data sheet, the polar plots and
// the balloons) have in common before anything is drawn: pixel rectangles
// and points of a window's client area, texts placed in rectangles, the
// heading and band headers they show, and the column the window's buttons
// take at the left edge.
//
// The views are laid out first, from the client size and the record alone,
// so that their geometry and texts are checked without a window; the
// drawing routines (speakerbase/views) then only draw what the layout holds.
// Texts are code page 1252.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "design/model/speaker_type.h"

// Pixels of a client area: x grows rightwards, y downwards.
struct ViewPoint {
  int x = 0, y = 0;

  bool operator==(const ViewPoint&) const = default;
};
// {left, top, right, bottom}: right and bottom are the first pixels outside.
struct ViewRect {
  int left = 0, top = 0, right = 0, bottom = 0;

  bool operator==(const ViewRect&) const = default;
  bool Intersects(const ViewRect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  bool Contains(const ViewRect& other) const {
    return left <= other.left && top <= other.top && other.right <= right && other.bottom <= bottom;
  }
};

enum class ViewAlign { kLeft, kCentre, kRight };
// A text in a rectangle, on one line, vertically centred.
struct ViewText {
  ViewRect box;
  std::string text;
  ViewAlign align = ViewAlign::kCentre;

  bool operator==(const ViewText&) const = default;
};

// The view windows' buttons ("<-", and the balloon window's band and 3D
// buttons) are 32 pixels square, one under the other at the left edge from
// y = 24.
constexpr int kViewButtonSize = 32;
constexpr int kViewButtonTop = 24;

// The views' small texts (angle labels, legends) are "ARIAL" 12 pixels high
// in the face's own width; their boxes allow kViewLabelCharBox pixels a
// character.
inline constexpr char kViewFont[] = "ARIAL";
constexpr int kViewLabelHeight = 12;
constexpr int kViewLabelCharWidth = 0;  // the face's own
constexpr int kViewLabelCharBox = 7;

// A legend: per entry a short line in its pen and a text beside it, the
// entries side by side from `origin` (the top left of the first line's box).
struct LegendKey {
  int16_t pen = 0;  // palette index
  const char* text = "";
};
struct LegendEntry {
  int16_t pen = 0;
  ViewPoint from, to;  // the line
  ViewText text;
};
std::vector<LegendEntry> LayOutLegend(std::span<const LegendKey> keys, ViewPoint origin);
// The bottom of a legend laid out from `top`.
constexpr int LegendBottom(int top) { return top + kViewLabelHeight + 4; }

// The heading of the polar plots and the balloons: brand + " : " + type name.
std::string RecordHeading(const SpeakerType& record);
// The header of one band's plot: "125 Hz " .. "8 kHz " and "Ref: %3.1f dB"
// with the band's sensitivity.
std::string BandHeader(const SpeakerType& record, int band);
