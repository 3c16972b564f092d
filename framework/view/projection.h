// Projection of model points into the drawing window for the current view:
// the current object of the access block into the screen point buffer (with
// its screen box), one point, the screen box of everything shown, and the
// eye space and angular mapping of the perspective view.
//
// Views 0 to 3 map like WorldToScreen (view_transform.h) but clamp to
// +-8192 before truncating. The perspective view maps every point, for the
// renderer as for the pickers and node snap, by one angle-proportional
// (fisheye) projection of framework/core/perspective.h: a point at angle a
// off the viewing axis lands f x a pixels from the centre, with
// f = max(width, height) / 1.5708, so 90 degrees off the axis lands
// max(width, height) pixels away.
#pragma once

#include <cstdint>

#include "framework/base/work_buffers.h"
#include "framework/core/perspective.h"
#include "framework/model/graphic_object.h"
#include "platform/types.h"

constexpr double kProjectionClamp = 8192;

// The unclamped pixel of a coordinate along the view's horizontal or
// vertical model axis (views 0 to 3).
double HorizontalPixel(double value);
double VerticalPixel(double value);

// The unclamped screen position of a model point, with its depth along the
// view direction (z in XY, x in YZ, -y in XZ, the rotated depth in 3D, the
// eye depth in front of the eye in perspective, else 0).
struct ScreenPosition {
  double x = 0, y = 0, depth = 0;
};
ScreenPosition MapToScreen(const ObjectVertex& point);

// Projects every vertex of the current object (gObjects.access) into
// gWork.screenPoints (x and y clamped, depth x 1000) and gathers
// gWork.objectBox.
void ProjectObjectToScreen();
// Projects one point into the first entry of the screen point buffer.
void ProjectPointToScreen(const ObjectVertex& point);

// The perspective mapping.
EyePoint EyeTransformPoint(const ObjectVertex& point);
platform::Point PerspectiveProjectPoint(const EyePoint& point);
