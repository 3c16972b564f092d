// Loudspeaker objects for tests and fuzz seeds: a hand-built shape (its
// last two vertices are the reference points (1,0,0) and (0,0,1)) and
// loudspeaker objects with their blocks.
#pragma once

#include "design/model/loudspeaker.h"
#include "framework/model/graphic_object.h"
#include "framework/model/layers.h"

// A triangle pointing along +x, as a loudspeaker shape.
inline GraphicObject* MakeShape(uint32_t layer = kShapeLayer) {
  const ObjectVertex vertices[] = {{0.5f, 0, 0}, {0, 0.2f, 0.1f}, {0, -0.2f, -0.1f}, {1, 0, 0}, {0, 0, 1}};
  const ObjectItem items[] = {{kOpStart, 0}, {kOpLineTo, 1}, {kOpClose, 2}};
  GraphicObject* shape = CreateObject(0, 5, 3);
  for (int i = 0; i < 5; ++i) shape->vertices[i] = vertices[i];
  for (int i = 0; i < 3; ++i) shape->items[i] = items[i];
  shape->kind = kKindSolid;
  shape->state = 134;
  shape->layer = layer;
  return shape;
}

// A new loudspeaker object (unlinked, with its block) as the placing
// commands create it.
inline GraphicObject* MakeSpeakerObject() { return CreateObject(kLoudspeakerSize, 0, 0); }

// A loudspeaker object holding `speaker`, appended to the model list.
inline GraphicObject* PlaceSpeaker(const Loudspeaker& speaker) {
  GraphicObject* o = MakeSpeakerObject();
  o->layer = kLoudspeakerLayer;
  WriteLoudspeaker(speaker, o);
  AppendObject(o);
  return o;
}
