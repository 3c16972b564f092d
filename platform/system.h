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
// The path of the file in `path`'s folder whose name equals `path`'s name
// without regard to case (the exact name first); empty when there is none.
std::string FindFileIgnoringCase(std::string_view path);

// Cursors. Set returns the shape it replaces, so that a wait cursor can be
// put back: `auto old = SetCursor(CursorShape::kWait); ...; SetCursor(old);`
enum class CursorShape { kArrow, kNone, kWait };
CursorShape SetCursor(CursorShape shape);
CursorShape GetCursor();

void Beep();

struct SystemVersion {
  int major = 0, minor = 0;
};
SystemVersion GetSystemVersion();

}  // namespace platform
