#include "framework/core/text_encoding.h"

#include <algorithm>
#include <compare>
#include <cstdint>

namespace {

// Code points of bytes 0x80..0x9F; 0 where the code page leaves the byte
// undefined (those bytes pass through as the control character U+0080+n).
constexpr char16_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t CodePointOf(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0) return kHighControls[byte - 0x80];
  return byte;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

char ByteOf(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) return char(cp);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == cp) return char(0x80 + i);
  if (cp >= 0x80 && cp < 0xA0 && kHighControls[cp - 0x80] == 0) return char(cp);
  return '?';
}

unsigned char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? (unsigned char)(c - 'A' + 'a') : (unsigned char)c; }

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, CodePointOf(uint8_t(c)));
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    uint8_t lead = uint8_t(text[i]);
    size_t extra = lead >= 0xF0 && lead < 0xF8   ? 3
                   : lead >= 0xE0 && lead < 0xF0 ? 2
                   : lead >= 0xC0 && lead < 0xE0 ? 1
                                                 : 0;
    uint32_t cp = lead & (0x3F >> extra);
    bool sequence = extra > 0 && i + extra < text.size();
    for (size_t k = 1; sequence && k <= extra; ++k) {
      uint8_t next = uint8_t(text[i + k]);
      if ((next & 0xC0) != 0x80) sequence = false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (sequence) {
      out += ByteOf(cp);
      i += extra + 1;
    } else {
      // ASCII, or a byte that is not valid UTF-8: keep it as it is.
      out += char(lead);
      ++i;
    }
  }
  return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  auto order = std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end(),
                                                      [](char x, char y) { return FoldCase(x) <=> FoldCase(y); });
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}
