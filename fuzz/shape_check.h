// The promise of the shape readers, which have no writer: a shape read is
// one unlinked object on the shape layer whose items name its vertices and
// whose last two vertices are the reference points, and the same bytes read
// again give the same shape.
#pragma once

#include "framework/model/layers.h"
#include "fuzz/fuzz_check.h"

// A loudspeaker symbol's shape as a reader makes it.
inline void CheckSymbolShape(const GraphicObject& shape) {
  const uint32_t n = shape.vertexCount;
  FuzzRequire(shape.layer == kShapeLayer && shape.kind == kKindSolid, "a shape lies on the shape layer");
  FuzzRequire(ItemsNameTheirVertices(shape), "a shape's items name its vertices");
  FuzzRequire(n >= 2 && shape.vertices[n - 2].x == 1 && shape.vertices[n - 2].y == 0 && shape.vertices[n - 2].z == 0 &&
                  shape.vertices[n - 1].x == 0 && shape.vertices[n - 1].y == 0 && shape.vertices[n - 1].z == 1,
              "a shape ends with its reference points");
}

template <typename Read>
void CheckShapeReader(FuzzInput input, Read read) {
  GraphicObject* shape = read(input);
  if (!shape) return;
  FuzzRequire(!shape->previous && !shape->next, "a shape comes unlinked");
  CheckSymbolShape(*shape);
  ObjectList first;
  AppendObjectToList(shape, first);
  ObjectList again;
  AppendObjectToList(read(input), again);
  FuzzRequire(PackedObjects(again) == PackedObjects(first), "the same bytes give the same shape");
  FreeObjectList(first);
  FreeObjectList(again);
}
