// The view keys, in every state of the program: F1 to F4 the plan, side,
// front and 3D views, F5 zoom out, F6 zoom in, F7 zoom all, F8 wireframe or
// hidden faces, F9 coordinate snap, F11 node snap (F10 has no function),
// and the arrow keys, which turn and tilt the rotated 3D and perspective
// views. F8, F9 and F11 keep the check marks of their menu items; F9 and
// F11 change only the switch, which the next pointer move applies. While a
// print job is open no key acts: what it drew would land on the page.
//
// The drawing key handler of the pointer code hands every key it does not
// use itself (Enter, Space, Escape and the point-entry letters) to
// HandleViewKey.
#pragma once

// Menu items whose check marks follow the switches.
constexpr int kMenuNodeSnapOff = 508, kMenuNodeSnapOn = 509;
constexpr int kMenuCoordinateSnapOff = 511, kMenuCoordinateSnapOn = 512;

// Whether HandleViewKey acts on the key in some view: F1 to F9, F11 and the
// arrow keys.
bool IsViewKey(unsigned key);
// 1 when the key was a view key.
int HandleViewKey(unsigned key);
