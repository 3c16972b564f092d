// The project's own pseudo-random generator of 15-bit numbers (0 .. 32767),
// the C standard's example rand: the same sequence on every platform, so a
// test that seeds it knows what follows. Its users keep one each.
#pragma once

#include <cstdint>

struct Random15 {
  uint32_t next = 1;
  void Seed(uint32_t seed) { next = seed; }
  int Next() {
    next = next * 1103515245u + 12345u;
    return int((next / 65536u) % 32768u);
  }
};
