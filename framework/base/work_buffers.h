// The work buffers of the drawing code, set up once at start-up: the
// projected vertices of the object being drawn, one polygon's points and the
// perspective view's depth-sort list.
//
// The buffers start with room for 5400 projected vertices, 512 polygon
// points and 4096 sort entries, and grow to the object at hand instead of
// overrunning, keeping what they grew to, so that a redraw of the same
// model allocates nothing. Only the sort list keeps its limit: faces beyond
// the 4096th are not drawn in the perspective view.
// Project files, calculations and the database access keep their own
// buffers.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/model/graphic_object.h"
#include "platform/types.h"

// One projected vertex: pixel x and y, and its depth along the view
// direction x 1000 (truncated; 0 where a view gives none).
struct ScreenVertex {
  int32_t x = 0, y = 0, depth = 0;
};

// A screen box {min x, min y, max x, max y} in pixels.
struct ScreenBox {
  int32_t minX = 32767, minY = 32767, maxX = -32768, maxY = -32768;
};

// A face queued for the perspective painter: its object, its op-0 item and
// its farthest and nearest depth x 1000.
struct DepthSortEntry {
  GraphicObject* object = nullptr;
  uint32_t startItem = 0;
  int32_t farDepth = 0, nearDepth = 0;
};

constexpr size_t kInitialScreenPoints = 5400;
constexpr size_t kInitialPolygonPoints = 512;
constexpr size_t kMaxSortedFaces = 4096;

struct WorkBuffers {
  std::vector<ScreenVertex> screenPoints;  // the current object's vertices, projected
  ScreenBox objectBox;                     // their box, of the clamped values
  std::vector<platform::Point> polygonPoints;
  std::vector<DepthSortEntry> sortList;
};
extern WorkBuffers gWork;

// Resets the undo ring, then reserves the buffers. 0 after "Insufficient
// memory, operation cancelled" when memory runs out (nothing is kept and
// the undo ring is reset quietly); 1 otherwise.
int AllocWorkBuffers();
// Frees the buffers and resets the undo ring quietly. 1.
int FreeWorkBuffers();
