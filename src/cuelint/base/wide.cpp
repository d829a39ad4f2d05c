#include "wide.h"

namespace cuelint {

namespace {

std::uint64_t magnitude(std::int64_t v) {
  // 0 - v in unsigned arithmetic: also right for the most negative value.
  return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

Wide normal(Wide w) {
  if (w.hi == 0 && w.lo == 0) w.neg = false;
  return w;
}

bool mag_less(const Wide& a, const Wide& b) {
  return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo;
}

}  // namespace

Wide mul_64x64(std::uint64_t a, std::uint64_t b) {
  // Four products of 32-bit halves; the middle ones are added with their carries.
  const std::uint64_t m = 0xFFFFFFFFu;
  std::uint64_t a0 = a & m, a1 = a >> 32, b0 = b & m, b1 = b >> 32;
  std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  std::uint64_t mid = (p00 >> 32) + (p01 & m) + (p10 & m);
  Wide w;
  w.lo = (mid << 32) | (p00 & m);
  w.hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
  return w;
}

Wide wide(std::int64_t v) {
  Wide w;
  w.neg = v < 0;
  w.lo = magnitude(v);
  return w;
}

Wide operator*(Wide a, std::int64_t b) {
  std::uint64_t mb = magnitude(b);
  Wide w = mul_64x64(a.lo, mb);
  w.hi += a.hi * mb;
  w.neg = a.neg != (b < 0);
  return normal(w);
}

Wide operator+(Wide a, std::int64_t b) {
  Wide mb = wide(b);
  if (a.neg == mb.neg) {
    a.lo += mb.lo;
    if (a.lo < mb.lo) ++a.hi;
    return normal(a);
  }
  // Signs differ: the smaller magnitude from the larger, whose sign the sum takes.
  Wide big = a, small = mb;
  if (mag_less(a, mb)) {
    big = mb;
    small = a;
  }
  Wide w;
  w.neg = big.neg;
  w.lo = big.lo - small.lo;
  w.hi = big.hi - small.hi - (big.lo < small.lo ? 1 : 0);
  return normal(w);
}

bool operator<(Wide a, Wide b) {
  if (a.neg != b.neg) return a.neg;
  return a.neg ? mag_less(b, a) : mag_less(a, b);
}

bool operator==(Wide a, Wide b) {
  return a.neg == b.neg && a.hi == b.hi && a.lo == b.lo;
}

std::int64_t div_floor(Wide a, std::int64_t d) {
  const std::uint64_t ud = static_cast<std::uint64_t>(d);
  std::uint64_t q, r;
  if (a.hi == 0) {
    q = a.lo / ud;
    r = a.lo % ud;
  } else {
    // Long division a bit at a time; a.hi < d since the quotient fits, and the remainder,
    // below d < 2^63, never loses its top bit in the shift.
    q = 0;
    r = a.hi;
    for (int i = 63; i >= 0; --i) {
      r = (r << 1) | ((a.lo >> i) & 1);
      q <<= 1;
      if (r >= ud) {
        r -= ud;
        q |= 1;
      }
    }
  }
  if (!a.neg) return static_cast<std::int64_t>(q);
  // -q, one lower when something is left over; q is at most 2^63 then.
  std::uint64_t n = q + (r != 0 ? 1 : 0);
  return n == 0 ? 0 : -static_cast<std::int64_t>(n - 1) - 1;
}

}  // namespace cuelint
