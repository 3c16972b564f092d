// Bitmaps of the framework: a window captured into a bitmap, the back
// buffer for flicker-free redraws, the clipboard copy of a window, and the
// bitmaps, icons and data blocks of the program's resources.
//
// Capture, back buffer and clipboard each have their own memory context
// and bitmap, so one never takes another's while the progress window of a
// print pumps messages. Bitmaps start white, so the extra column and row
// beyond a window's client area stay white.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/types.h"

struct CaptureState {
  platform::Context memory = platform::Context::kNone;
  platform::Bitmap bitmap = platform::Bitmap::kNone;    // the capture
  platform::Bitmap replaced = platform::Bitmap::kNone;  // what the memory context held before
};
struct BackBufferState {
  platform::Context memory = platform::Context::kNone;
  platform::Bitmap bitmap = platform::Bitmap::kNone;
  int width = 0, height = 0;
};
extern CaptureState gCapture;
extern BackBufferState gBackBuffer;
// Back to the state before start-up, letting go of what is held.
void ResetBitmaps();

// Copies the rectangle of the current window (both edges included) into a
// new bitmap 8 pixels larger each way, at its origin; 1 when it was copied.
int CaptureWindowBitmap(const platform::Rect& rect, platform::Bitmap* bitmap);
// Stretches the capture's source rectangle onto the destination rectangle
// of the current context (both edges included), combined by a mix mode
// (platform::kMixCopy ...).
void StretchCapturedBitmap(const platform::Rect& source, const platform::Rect& destination, int mixMode);
// Lets the capture go (and `bitmap` with it, when given).
void ReleaseBitmapDc(platform::Bitmap bitmap);

// The current window's client area and a white extra column and row onto
// the clipboard; 0 when the client area is narrower or lower than 2 pixels
// or a step fails (the clipboard is then left alone).
int CopyViewToClipboard();

// 1: off-screen drawing begins into a bitmap of the current window's client
// size + 1 (pen 0 and brush 30 chosen; the bitmap is the current context);
// 0 when the client area is below 2 pixels either way. 2: the buffer is
// copied to the window at (0, 0); 1 when there is one. 0: off-screen
// drawing ends and the window's context is current again; returns 0.
int ManageBackBuffer(int mode);

// Bitmaps of the program's resources on the current context at their own
// size: mode 1 copies, another paints over (merges). The centred one is
// placed in the middle of the current window (or with its middle at a given
// point) and any mode but 1 inverts (XOR), so that drawing it twice takes it
// away. Missing ones draw nothing.
void DrawResourceBitmap(int x, int y, const char* name, int mode);
void DrawResourceBitmapCentred(const char* name, int mode);
void DrawResourceBitmapCentredAt(int x, int y, const char* name, int mode);
void DrawResourceIcon(int x, int y, const char* name);

// A copy of the RCDATA block `name`, of the block's exact size; none when
// the program has no such block.
std::optional<std::vector<std::uint8_t>> LoadRcDataResource(const char* name);
