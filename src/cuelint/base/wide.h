// Products that need more than 64 bits: a duration times the denominator of a frame rate
// times the characters per second does not fit 64 bits in every case. Sign and a 128-bit
// magnitude in two halves, since 32-bit targets have no 128-bit type. Results past 128 bits
// wrap; the checks' values stay far below.
#pragma once

#include <cstdint>

namespace cuelint {

struct Wide {
  bool neg = false;  // never for 0
  std::uint64_t hi = 0;
  std::uint64_t lo = 0;
};

// The 128-bit product of two 64-bit numbers.
Wide mul_64x64(std::uint64_t a, std::uint64_t b);

Wide wide(std::int64_t v);
Wide operator*(Wide a, std::int64_t b);
Wide operator+(Wide a, std::int64_t b);
bool operator<(Wide a, Wide b);
bool operator==(Wide a, Wide b);
// a / d rounded down, for d > 0 and a quotient that fits 64 bits.
std::int64_t div_floor(Wide a, std::int64_t d);

}  // namespace cuelint
