// The pointer and keyboard side of the drawing editor that the window
// procedures call: the model point under the mouse, and the keys of a
// running command (Enter and Space end its input, Escape cancels it, "A",
// "R" and "P" type a point) beside the view keys.
//
// The cursor point follows the mouse in the plan, side and front views,
// each of which sets the two coordinates it shows (truncated to the
// coordinate snap step while snap is on) and keeps the third; the rotated
// 3D and perspective views leave it where it is. The XOR crosshair, node
// snap, the rubber band and the pickers build on this; until they are in,
// the drawing window shows the system's cross cursor.
#pragma once

// The mouse at pixel (x, y) of the drawing window: the cursor pixel and the
// cursor point, and the view panel's read-out.
void TrackMousePosition(int x, int y);

// A key for the drawing window: while a command runs Enter and Space set
// the done flag and Escape the cancel flag; with none running Enter and
// Space repeat the last command. While a command runs "A" and "R" ask for
// an absolute point and one relative to the last accepted point ("Point
// absolute :", "Point relative :"), "P" for a distance and angle from it in
// the view's plane; the typed point is taken as a click takes the cursor
// point. Every other key goes to the view keys (view_keys.h).
void HandleDrawingKey(unsigned key);
