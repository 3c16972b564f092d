// The geometry of the perspective view, without a window: the view's
// rotation from its turn and tilt angles, the eye space, the angle-
// proportional (fisheye) mapping between eye-space directions and the
// pixels of a window of a given size, and the re-centring of the view on a
// clicked pixel. The renderer, the pickers and the loudspeaker aiming all
// map through these, so what the aiming draws and reads lies on the room
// image where the room is drawn.
//
// Angles are the view's turn b and tilt a, radians. The rotation's rows are
// the screen horizontal (cos b, -sin b, 0), the screen vertical
// (cos a sin b, cos a cos b, -sin a) and the viewing axis (sin a sin b,
// sin a cos b, cos a). An offset d from the eye has eye x = -(row 1 . d)
// (rightwards), eye y = row 2 . d (upwards) and depth = row 3 . d (in front
// of the eye when >= 0). The view looking along azimuth h and elevation v
// has turn -(h + pi/2) and tilt v - pi/2, within -3 pi/2 .. pi/2 and
// -pi .. 0 for h within -pi .. pi and v within -pi/2 .. pi/2.
//
// The mapping is azimuthal equidistant about the viewing axis: a direction
// at angle t off the axis lands f x t pixels from the window's centre
// (width / 2, height / 2), f = max(width, height) / 1.5708, in the direction
// of its bearing round the axis, so 90 degrees lands max(width, height)
// pixels away. An angular offset (ax, ay) in radians, ax rightwards and ay
// downwards as pixels grow, lands at the centre + f (ax, ay).
#pragma once

#include <array>

// pi as the views and the loudspeaker angles write it.
constexpr double kPi = 3.141592654;

// A point or direction in the perspective eye space.
struct EyePoint {
  double x = 0, y = 0, depth = 0;
};

// A pixel position of the perspective view before truncation.
struct FisheyePixel {
  double x = 0, y = 0;
};

struct PerspectiveAngles {
  double turn = 0, tilt = 0;
  bool operator==(const PerspectiveAngles&) const = default;
};

// A direction as the loudspeakers give it: azimuth counter-clockwise from +x
// seen from +z, elevation positive upwards, radians.
struct AxisAngles {
  double horizontal = 0, vertical = 0;
};

// Row-major; rows as above.
using ViewRotationMatrix = std::array<double, 9>;
ViewRotationMatrix ViewRotation(double turn, double tilt);

// The eye-space point of the offset (dx, dy, dz) from the eye, and the world
// offset of an eye-space point.
EyePoint ToEyeSpace(const ViewRotationMatrix& rotation, double dx, double dy, double dz);
std::array<double, 3> FromEyeSpace(const ViewRotationMatrix& rotation, const EyePoint& point);

// f of the mapping for a window of width x height pixels.
double FisheyePixelsPerRadian(double width, double height);
// Where an angular offset from the axis lands.
FisheyePixel FisheyeOffsetPixel(double ax, double ay, double width, double height);
// Where an eye-space point lands.
FisheyePixel FisheyeProject(const EyePoint& point, double width, double height);
// The unit eye-space direction that lands (ox, oy) pixels from the centre.
EyePoint FisheyeDirection(double ox, double oy, double width, double height);

// The view along a direction, and the direction of a view's axis.
PerspectiveAngles PerspectiveLookingAlong(const AxisAngles& axis);
AxisAngles PerspectiveAxis(const PerspectiveAngles& view);

// The view whose axis is the direction shown at the pixel (x, y) of a window
// of width x height pixels, as `view` maps it. The pixel the axis lands on,
// (width / 2, height / 2) in whole pixels, leaves the view as it is; so does
// a direction straight up or down, whose turn would be arbitrary (the tilt
// still follows).
PerspectiveAngles RecentrePerspective(const PerspectiveAngles& view, int x, int y, int width, int height);
