// Small pure helpers the editors, dialogs and calculations share: 2D segment
// intersection, the decimal-comma repair of number fields, the reach of a
// typed coordinate, and unit conversions. The hit tests on screen pixels are
// in framework/base/hit_test.h.
#pragma once

#include <cstdint>
#include <string>

// Intersection of the lines through (x1,y1)-(x2,y2) and (x3,y3)-(x4,y4).
// Returns 0 for parallel lines (|det| < 1e-8), leaving x and y alone;
// otherwise writes the intersection and returns 1 when it lies within both
// segments' bounding boxes (bounds inclusive), else 0.
int IntersectSegments(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, double& x,
                      double& y);

// Replaces every ',' by '.'; true when anything was replaced. Number fields
// run their text through it before parsing.
bool FixDecimalCommaText(std::string& text);

// `value` in the printf `format` (one floating-point conversion), with '.'
// as the decimal point.
std::string FormatNumber(const char* format, double value);

// What a prompt shows for a field it cannot take.
inline constexpr char kInvalidEntryMessage[] = "Invalid entry !";

// The farthest from the origin, along each axis, that a typed coordinate
// may lie, in metres: out to there the 32-bit floats of the model's
// vertices hold the millimetre. A point beyond is refused with
// "Invalid entry !" (whatever the unit it was typed in); files that hold
// one still open.
constexpr double kMaxTypedCoordinate = 10000;
bool IsTypedCoordinate(double metres);

// An angle typed in degrees brought into -180 .. 180, whole turns first: 270
// gives -90, -190 gives 170, 540 and 900 give 180.
double WrappedDegrees(double degrees);

// The unit flag: lengths are shown and typed in metres (0) or feet (1); the
// model always holds metres. Options/1 Unit = 1 m / 1 ft sets it and the
// design program keeps it in its history file.
extern uint32_t gUnitFlag;
// Back to metres.
void ResetUnitFlag();
// A length in metres as the user sees it, and back.
double LengthInUserUnit(double metres);
double LengthFromUserUnit(double value);
// An area in square metres as the user sees it, in square metres or feet.
double AreaInUserUnit(double squareMetres);

// Unit kinds of the conversions.
enum UnitKind : int { kUnitLength = 1, kUnitArea = 2, kUnitVolume = 3 };

double MetricToImperial(double value, int kind);
double ImperialToMetric(double value, int kind);
double CentimetresToInches(double value, int kind);
double InchesToCentimetres(double value, int kind);
double PoundsToKilograms(double value);
double KilogramsToPounds(double value);

// The fixed budget in bytes against which the copy and array commands check
// the packed size of what they would create.
constexpr uint32_t GetAvailableMemory() { return 1048576; }
