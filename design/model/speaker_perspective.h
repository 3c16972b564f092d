// The model side of aiming a loudspeaker by looking out of it in the
// perspective view: the view that looks along the loudspeaker's axis, and
// the isobar rings of its balloon that the view draws round its centre.
//
// The isobar object is a GraphicObject of 216 vertices, no items and no
// data (layer kAimLineLayer, colour 26, state hidden), made for the duration
// of the aiming and owned by whoever made it. Vertices 0 .. 71 hold the
// -3 dB isobar, 72 .. 143 the -6 dB and 144 .. 215 the -9 dB one, one vertex
// per balloon column c (5 degrees about the axis each): x and y are the
// angular offset in radians from the viewing axis, x rightwards and y
// downwards as pixels grow, and z is the isobar's angle off the axis. The
// perspective view maps such an offset with the same factor as the room
// (FisheyeOffsetPixel, framework/core/perspective.h), so a ring point at
// angle t off the axis lies on the room image where the room t off the axis
// is drawn.
#pragma once

#include "design/model/loudspeaker.h"
#include "design/model/speaker_type.h"
#include "framework/core/perspective.h"
#include "framework/model/graphic_object.h"

constexpr int kIsobarRings = 3;  // -3, -6 and -9 dB
constexpr uint32_t kIsobarVertices = kIsobarRings * kBalloonColumns;
constexpr uint32_t kIsobarColour = 26;
// The angle of an isobar point in a column that never falls that far.
constexpr float kIsobarOpenAngle = 1.5707964f;

// A new unlinked isobar object, null when memory runs out. Freed with
// FreeObject.
GraphicObject* CreateIsobarObject();

// The band the rings show: the band of the result views, 1 kHz (band 3) for
// "all bands" or anything else outside 0 .. 6.
int IsobarBand(int shownBand);

// Fills the isobar object `rings` (nothing when it is null or holds fewer
// than kIsobarVertices vertices) from `band` of the type's balloon, the
// rings turned by `angle` about the axis (the loudspeaker's rotation
// negated, so they turn as its balloon does). With M the largest code among
// the first 1332 codes of the band (rows 0 .. 17 and the first half of row
// 18), per column: from the row of the column's largest code within rows
// 0 .. 16, the first row whose code lies 3k dB (15k codes) or more below M
// gives the k-th isobar at its row angle scaled by 3k / (its drop below M);
// none up to row 16 gives kIsobarOpenAngle. Column c lies at the bearing
// c x 5 degrees + angle - pi from the view's right.
void DrawSpeakerIsobars(const SpeakerType& type, int band, double angle, GraphicObject* rings);

// The perspective view that looks out of a loudspeaker along its axis.
struct PerspectiveAim {
  ObjectVertex eye;
  PerspectiveAngles view;
};
PerspectiveAim PerspectiveAimOf(const Loudspeaker& speaker);
