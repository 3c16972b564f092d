// Plain value types and opaque handles of the platform layer. Nothing here
// names the toolkit underneath; framework code sees only these.
#pragma once

#include <cstdint>

namespace platform {

// A colour value 0x00BBGGRR: red in the low byte, blue in the third.
using Colour = std::uint32_t;
constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
  return Colour(r & 0xFF) | Colour(g & 0xFF) << 8 | Colour(b & 0xFF) << 16;
}
constexpr unsigned RedOf(Colour c) { return c & 0xFF; }
constexpr unsigned GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(Colour c) { return (c >> 16) & 0xFF; }

struct Point {
  std::int32_t x = 0, y = 0;
};
struct Size {
  int width = 0, height = 0;
};
// {left, top, right, bottom}; what right and bottom include is said by each call.
struct Rect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Opaque handles. 0 is "none"; a handle of a destroyed object is never reused
// and every call given one does nothing (or returns none).
enum class Instance : std::uintptr_t { kNone = 0 };
enum class Window : std::uintptr_t { kNone = 0 };
enum class Menu : std::uintptr_t { kNone = 0 };
enum class Context : std::uintptr_t { kNone = 0 };
enum class Pen : std::uintptr_t { kNone = 0 };
enum class Brush : std::uintptr_t { kNone = 0 };
enum class Font : std::uintptr_t { kNone = 0 };
enum class Bitmap : std::uintptr_t { kNone = 0 };

}  // namespace platform
