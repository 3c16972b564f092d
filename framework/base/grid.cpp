#include "framework/base/grid.h"

#include <algorithm>
#include <cmath>

#include "framework/base/view_state.h"
#include "framework/core/state_reset.h"
#include "framework/model/layers.h"

ObjectList gGridLines;

namespace {

constexpr double kNoBound = 1e10;
constexpr double kEmptyModelBound = 100;

// The positions of one axis: low + i x step for i in [first, count).
struct GridAxis {
  double low = 0, step = 1;
  int64_t count = 0;
  float At(int64_t i) const { return float(low + double(i) * step); }
};

GridAxis MakeAxis(double low, double high, double gridSize) {
  const double span = (high - low) / gridSize;  // whole steps, as both ends are multiples of the size
  const double factor = std::max(1.0, std::ceil(span / double(kMaxGridLinesPerAxis - 1)));
  GridAxis axis;
  axis.low = low;
  axis.step = gridSize * factor;
  axis.count = int64_t(std::floor(span / factor + 1e-6)) + 1;
  return axis;
}

void AddLine(float x1, float x2, float y1, float y2, float z1, float z2) {
  GraphicObject* line = CreateObject(0, 2, 2);
  if (!line) return;
  line->kind = 0;
  line->layer = kGridLineLayer;
  line->colour = kGridLineColour;
  SetGridLineGeometry(line, x1, x2, y1, y2, z1, z2);
  AddGridLine(line);
}

void BuildLines(double gridSize) {
  double low[3] = {kNoBound, kNoBound, kNoBound}, high[3] = {-kNoBound, -kNoBound, -kNoBound};
  for (const GraphicObject* o = gObjects.model.first; o; o = o->next) {
    if (o->layer == kShapeLayer) continue;
    for (uint32_t i = 0; i < o->vertexCount; ++i) {
      const float v[3] = {o->vertices[i].x, o->vertices[i].y, o->vertices[i].z};
      for (int a = 0; a < 3; ++a) {
        if (!std::isfinite(v[a])) continue;
        low[a] = std::min(low[a], double(v[a]));
        high[a] = std::max(high[a], double(v[a]));
      }
    }
  }
  GridAxis axes[3];
  const bool empty = std::any_of(high, high + 3, [](double h) { return h <= -kNoBound; }) ||
                     std::any_of(low, low + 3, [](double l) { return l >= kNoBound; });
  for (int a = 0; a < 3; ++a) {
    const double from = empty ? -kEmptyModelBound : (std::floor(low[a] / gridSize) - 1) * gridSize;
    const double to = empty ? kEmptyModelBound : (std::ceil(high[a] / gridSize) + 1) * gridSize;
    axes[a] = MakeAxis(from, to, gridSize);
  }
  const GridAxis &x = axes[0], &y = axes[1], &z = axes[2];
  const float xmin = x.At(0), xmax = x.At(x.count - 1), ymin = y.At(0), ymax = y.At(y.count - 1);
  const float zmin = z.At(0), zmax = z.At(z.count - 1);
  // The floor z = zmin.
  for (int64_t i = 0; i < x.count; ++i) AddLine(x.At(i), x.At(i), ymin, ymax, zmin, zmin);
  for (int64_t i = 0; i < y.count; ++i) AddLine(xmin, xmax, y.At(i), y.At(i), zmin, zmin);
  // The wall x = xmin.
  for (int64_t i = 0; i < y.count; ++i) AddLine(xmin, xmin, y.At(i), y.At(i), zmin, zmax);
  for (int64_t i = 1; i < z.count; ++i) AddLine(xmin, xmin, ymin, ymax, z.At(i), z.At(i));
  // The wall y = ymax.
  for (int64_t i = 1; i < z.count; ++i) AddLine(xmin, xmax, ymax, ymax, z.At(i), z.At(i));
  for (int64_t i = 1; i < x.count; ++i) AddLine(x.At(i), x.At(i), ymax, ymax, zmin, zmax);
}

}  // namespace

void AddGridLine(GraphicObject* object) {
  if (!object) return;
  InsertObjectBeforeInList(object, gGridLines.first, gGridLines);
}

void SetGridLineGeometry(GraphicObject* object, float x1, float x2, float y1, float y2, float z1, float z2) {
  object->vertices[0] = {x1, y1, z1};
  object->vertices[1] = {x2, y2, z2};
  object->items[0] = {kOpStart, 0};
  object->items[1] = {kOpLineTo, 1};
}

void FreeGridLines() { FreeObjectList(gGridLines); }

namespace {
const StateReset kReset(FreeGridLines);
}  // namespace

void BuildGrid() {
  FreeGridLines();
  const double gridSize = gDrawing.gridSize;
  if (gLayers.IsVisible(kGridLayer) && std::isfinite(gridSize) && gridSize > 0) BuildLines(gridSize);
  ViewRedrawAll();
}
