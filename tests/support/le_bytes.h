// Little-endian bytes written by hand, field by field as a layout lists
// them, for golden files and hostile inputs that must not come from the
// codec under test.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct Bytes {
  std::vector<uint8_t> b;
  Bytes& u8(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  Bytes& u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
  Bytes& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
  Bytes& f32(float v) { return u32(std::bit_cast<uint32_t>(v)); }
  Bytes& raw(std::initializer_list<uint8_t> v) {
    b.insert(b.end(), v);
    return *this;
  }
  // `s` NUL-padded (or cut) to `width` bytes.
  Bytes& text(const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i) u8(i < s.size() ? uint8_t(s[i]) : 0);
    return *this;
  }
  Bytes& zeros(size_t n) { return text("", n); }
};
