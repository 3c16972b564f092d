// The model side of Audience Areas/Build Ontop Room Faces: an audience area
// that copies a room face raised by a height, so that the level map's
// receivers lie at a listener's ears above the floor they stand on.
#pragma once

#include <cstdint>

#include "framework/model/graphic_object.h"

// Layer, kind, state and colour of an area made on a face.
constexpr uint32_t kAudienceOnFaceKind = kKindFace, kAudienceOnFaceState = 1, kAudienceOnFaceColour = 21;

// A new, unlinked audience area on the polygon of `object` that starts at
// item `first`: one vertex for each of its vertex items up to and including
// the closing one, each raised by `height` metres in z, and its items in
// their order with a material item kept in its place, naming material 0.
// A polygon that does not close gives none, as does a lack of memory.
GraphicObject* CreateAudienceOnFace(const GraphicObject& object, uint32_t first, float height);
