// System services: folders, clock, files, cursors, sound cue, version.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace platform {

// The current folder when StartApplication ran, without a trailing '/'.
std::string StartDirectory();

// Milliseconds since an arbitrary start, wrapping at 2^32 (test clock: see test_seams.h).
std::uint32_t TickCount();
// The local date and time.
std::tm LocalTime();

// Files. Paths use '/'.
bool FileExists(std::string_view path);
std::int64_t FileSize(std::string_view path);  // -1 when missing
bool CopyFileOverwrite(std::string_view from, std::string_view to);
bool DeleteFile(std::string_view path);

// Cursors. Each window chooses the cursor shown over its client area
// (window.h: SetWindowCursor: arrow, none or cross); the wait cursor is the
// one application-wide override, shown over every window, menu and box
// while it is on.
enum class CursorShape { kArrow, kNone, kCross, kWait };
// Turns the wait cursor on or off; returns whether it was on.
bool SetWaitCursor(bool on);
bool IsWaitCursorOn();

// The warning beep (sound.cpp).
void Beep();

struct SystemVersion {
  int major = 0, minor = 0;
};
SystemVersion GetSystemVersion();

}  // namespace platform
