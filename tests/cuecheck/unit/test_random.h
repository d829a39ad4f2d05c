// A small, fast, deterministic source of 64-bit numbers for the tests that compare a fast
// path with the exact one over millions of values (the splitmix64 steps).
#pragma once

#include <cstdint>

inline uint64_t next(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
