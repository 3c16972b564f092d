// Conversion between the code page 1252 texts the programs keep (messages,
// names in files) and the UTF-8 the display layer shows.
#pragma once

#include <string>
#include <string_view>

std::string Cp1252ToUtf8(std::string_view text);
// Characters that code page 1252 cannot hold become '?'; malformed UTF-8
// bytes are taken as code page 1252 bytes.
std::string Utf8ToCp1252(std::string_view text);

// Whether two texts are equal when the ASCII letters are compared without
// regard to case (names of types and files; other bytes compare as they are).
bool EqualIgnoringCase(std::string_view a, std::string_view b);
// The order of two texts with the ASCII letters folded to lower case and
// every byte compared unsigned: < 0, 0 or > 0 (a strict weak ordering).
int CompareIgnoringCase(std::string_view a, std::string_view b);
