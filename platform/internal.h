// What every part of the layer shares: conversions between the layer's plain
// types and the toolkit's, handle numbers, the programs' resource sets.
// Included only by platform/*.cpp. Each subsystem keeps its own state in one
// record of its own internal header (window_internal.h, queue_internal.h,
// drawing_internal.h, menu_internal.h, keys_internal.h) with a reset that
// EndApplication calls.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform::detail {

inline QString ToQt(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }
inline std::string FromQt(const QString& text) { return text.toStdString(); }
// 0x00BBGGRR <-> the surfaces' 0xFFRRGGBB.
inline std::uint32_t ToPixel(Colour c) { return 0xFF000000u | RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c); }
inline Colour FromPixel(std::uint32_t p) { return Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

// A new handle number for any kind of object. Numbers are never reused, and
// those below 100 are the stock objects' (application.cpp).
std::uintptr_t NewHandle();

// The resource folder name of a program's instance, empty for none.
std::string ProgramOf(Instance instance);
// The path of a named resource of the instance's program (resources.cpp).
QString ResourcePath(Instance instance, const char* folder, std::string_view name, const char* extension);

}  // namespace platform::detail
