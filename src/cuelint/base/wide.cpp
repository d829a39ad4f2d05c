#include "wide.h"

#include <cassert>

namespace cuelint {

Wide mul_64x64(std::uint64_t a, std::uint64_t b) {
  // Four products of 32-bit halves; the middle ones are added with their carries.
  const std::uint64_t m = 0xFFFFFFFFu;
  const std::uint64_t a0 = a & m, a1 = a >> 32, b0 = b & m, b1 = b >> 32;
  const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const std::uint64_t mid = (p00 >> 32) + (p01 & m) + (p10 & m);
  return Wide::halves(p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & m));
}

Wide operator*(Wide a, Wide b) {
  // Modulo 2^128 the signs take care of themselves: the high halves' products past
  // 2^128 fall away.
  const Wide low = mul_64x64(a.lo_, b.lo_);
  return Wide::halves(low.hi_ + a.hi_ * b.lo_ + a.lo_ * b.hi_, low.lo_);
}

void divide_unsigned(Wide n, Wide d, Wide& q, Wide& r) {
  assert(d != 0);
  if (n.hi() == 0 && d.hi() == 0) {  // the common case, in the machine's own division
    q = Wide::halves(0, n.lo() / d.lo());
    r = Wide::halves(0, n.lo() % d.lo());
    return;
  }
  // A bit at a time from the highest. The remainder stays below d, so a bit shifted out
  // of its top means it is past d: the subtraction, modulo 2^128, is then still right.
  std::uint64_t qh = 0, ql = 0, rh = 0, rl = 0;
  const std::uint64_t dh = d.hi(), dl = d.lo();
  for (int i = 127; i >= 0; --i) {
    const std::uint64_t bit = (i >= 64 ? n.hi() >> (i - 64) : n.lo() >> i) & 1;
    const bool carry = (rh >> 63) != 0;
    rh = (rh << 1) | (rl >> 63);
    rl = (rl << 1) | bit;
    if (carry || rh > dh || (rh == dh && rl >= dl)) {
      rh -= dh + (rl < dl ? 1 : 0);
      rl -= dl;
      if (i >= 64) {
        qh |= std::uint64_t{1} << (i - 64);
      } else {
        ql |= std::uint64_t{1} << i;
      }
    }
  }
  q = Wide::halves(qh, ql);
  r = Wide::halves(rh, rl);
}

namespace {

Wide magnitude(Wide v) {
  return v.negative() ? -v : v;
}

}  // namespace

Wide operator/(Wide a, Wide b) {
  Wide q, r;
  divide_unsigned(magnitude(a), magnitude(b), q, r);
  return a.negative() != b.negative() ? -q : q;
}

Wide operator%(Wide a, Wide b) {
  Wide q, r;
  divide_unsigned(magnitude(a), magnitude(b), q, r);
  return a.negative() ? -r : r;
}

}  // namespace cuelint
