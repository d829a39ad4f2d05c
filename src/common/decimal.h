// The decimal text of whole numbers, two digits a step from a table of pairs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace decimal {

constexpr std::size_t kMaxDigits = 20;  // 2^64 - 1

// Writes the digits of v at out (kMaxDigits bytes at most), with no sign and no leading
// zero; returns their number.
inline std::size_t write_uint(std::uint64_t v, char* out) {
  static constexpr char kPairs[] =
      "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243"
      "4445464748495051525354555657585960616263646566676869707172737475767778798081828384858687"
      "888990919293949596979899";
  // Counted first, then written from the last digit back, in place: no copy afterwards
  // (which, of a length known only at run time, is a library call).
  std::size_t n = 1;
  std::uint64_t t = v;
  for (; t >= 100; t /= 100) n += 2;
  n += t >= 10;
  char* p = out + n;
  while (v >= 100) {
    const char* pair = kPairs + 2 * (v % 100);
    v /= 100;
    *--p = pair[1];
    *--p = pair[0];
  }
  if (v >= 10) {
    *--p = kPairs[2 * v + 1];
    *--p = kPairs[2 * v];
  } else {
    *--p = static_cast<char>('0' + v);
  }
  return n;
}

}  // namespace decimal
