#include "extended_soft.h"

#include <cassert>
#include <cmath>
#include <limits>

namespace {

constexpr int32_t kEmin = -16382;  // exponent of the smallest normal number
constexpr int32_t kEmax = 16383;
constexpr uint64_t kTop = 0x8000000000000000ull;

SoftExt zero(bool neg) {
  return SoftExt{0, 0, neg, kSoftZero};
}
SoftExt inf(bool neg) {
  return SoftExt{0, 0, neg, kSoftInf};
}
// The NaN an invalid operation makes: the x87's "indefinite", which has the sign bit set.
SoftExt nan() {
  return SoftExt{0, 0, 1, kSoftNan};
}

// The result of an operation with a NaN operand: that NaN; of two, the negative one only
// if both are (all NaNs here carry the same significand, and the x87 then keeps the sign
// bit only when both have it).
SoftExt nan_of(const SoftExt& a, const SoftExt& b) {
  if (a.cls == kSoftNan && b.cls == kSoftNan) return SoftExt{0, 0, a.neg && b.neg, kSoftNan};
  return a.cls == kSoftNan ? a : b;
}

int clz64(uint64_t v) {
  int n = 0;
  while ((v & kTop) == 0) {
    v <<= 1;
    ++n;
  }
  return n;
}

// Shifts hi:lo right by sh bits; the bits shifted out are jammed into bit 0 of lo, which
// lies far below every rounding point, so rounding decisions stay exact.
void shr_jam(uint64_t& hi, uint64_t& lo, int sh) {
  assert(sh >= 0 && sh <= 200);  // callers cap far shifts: every bit is lost from 128 on
  if (sh == 0) return;
  uint64_t lost;
  if (sh < 64) {
    lost = lo << (64 - sh);
    lo = (lo >> sh) | (hi << (64 - sh));
    hi >>= sh;
  } else if (sh == 64) {
    lost = lo;
    lo = hi;
    hi = 0;
  } else if (sh < 128) {
    lost = lo | (hi << (128 - sh));
    lo = hi >> (sh - 64);
    hi = 0;
  } else {
    lost = hi | lo;
    lo = 0;
    hi = 0;
  }
  if (lost != 0) lo |= 1;
}

// sig (bit 63 set) carries the value's leading bit with weight 2^e; rest holds the bits
// below it. Rounds to 64 bits, nearest with ties to even, with gradual underflow.
SoftExt round_pack(bool neg, int32_t e, uint64_t sig, uint64_t rest) {
  if (e < kEmin) {
    shr_jam(sig, rest, kEmin - e > 200 ? 200 : kEmin - e);
    e = kEmin;
  }
  if (rest > kTop || (rest == kTop && (sig & 1))) {
    if (++sig == 0) {
      sig = kTop;
      ++e;
    }
  }
  if (sig == 0) return zero(neg);
  if (e > kEmax) return inf(neg);
  return SoftExt{sig, e, neg, kSoftFinite};
}

// The significand with bit 63 set and its exponent, for a finite non-zero value.
void normal(const SoftExt& x, uint64_t& sig, int32_t& e) {
  int s = clz64(x.sig);
  sig = x.sig << s;
  e = x.exp - s;
}

void mul64(uint64_t a, uint64_t b, uint64_t& hi, uint64_t& lo) {
  uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  lo = (mid << 32) | (p00 & 0xFFFFFFFFu);
  hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
}

// (u1:u0) / v for u1 < v and v with bit 63 set: quotient and remainder (two-digit long
// division in base 2^32).
uint64_t div128(uint64_t u1, uint64_t u0, uint64_t v, uint64_t& r) {
  assert(u1 < v && (v & kTop) != 0);  // the quotient fits 64 bits; the divisor is normal
  const uint64_t b = 1ull << 32;
  uint64_t vn1 = v >> 32, vn0 = v & 0xFFFFFFFFu;
  uint64_t un1 = u0 >> 32, un0 = u0 & 0xFFFFFFFFu;
  uint64_t q1 = u1 / vn1, rhat = u1 - q1 * vn1;
  while (q1 >= b || q1 * vn0 > b * rhat + un1) {
    --q1;
    rhat += vn1;
    if (rhat >= b) break;
  }
  uint64_t un21 = u1 * b + un1 - q1 * v;
  uint64_t q0 = un21 / vn1;
  rhat = un21 - q0 * vn1;
  while (q0 >= b || q0 * vn0 > b * rhat + un0) {
    --q0;
    rhat += vn1;
    if (rhat >= b) break;
  }
  r = un21 * b + un0 - q0 * v;
  return q1 * b + q0;
}

// -1, 0 or 1 as |a| is below, equal to or above |b|; both finite.
int cmp_mag(const SoftExt& a, const SoftExt& b) {
  if (a.cls == kSoftZero || b.cls == kSoftZero) {
    if (a.cls == b.cls) return 0;
    return a.cls == kSoftZero ? -1 : 1;
  }
  uint64_t sa, sb;
  int32_t ea, eb;
  normal(a, sa, ea);
  normal(b, sb, eb);
  if (ea != eb) return ea < eb ? -1 : 1;
  if (sa != sb) return sa < sb ? -1 : 1;
  return 0;
}

}  // namespace

SoftExt soft_from_int(int64_t v) {
  if (v == 0) return zero(false);
  bool neg = v < 0;
  uint64_t mag = neg ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  int s = clz64(mag);
  return SoftExt{mag << s, 63 - s, neg, kSoftFinite};
}

SoftExt soft_from_double(double d) {
  bool neg = std::signbit(d);
  if (std::isnan(d)) return SoftExt{0, 0, neg, kSoftNan};
  if (std::isinf(d)) return inf(neg);
  if (d == 0) return zero(neg);
  int k = 0;
  double f = std::frexp(std::fabs(d), &k);  // f in [0.5, 1)
  uint64_t sig = static_cast<uint64_t>(std::ldexp(f, 64));
  return SoftExt{sig, k - 1, neg, kSoftFinite};
}

double soft_to_double(SoftExt x) {
  switch (x.cls) {
    case kSoftNan:
      return std::copysign(std::numeric_limits<double>::quiet_NaN(), x.neg ? -1.0 : 1.0);
    case kSoftInf:
      return x.neg ? -HUGE_VAL : HUGE_VAL;
    case kSoftZero:
      return x.neg ? -0.0 : 0.0;
    default:
      break;
  }
  uint64_t sig;
  int32_t e;
  normal(x, sig, e);
  if (e > 1023) return x.neg ? -HUGE_VAL : HUGE_VAL;
  // Bits kept: 53, fewer in the double's subnormal range.
  int p = e >= -1022 ? 53 : e + 1075;
  int drop = 64 - p;
  uint64_t kept = sig, rest = 0;
  shr_jam(kept, rest, drop > 200 ? 200 : drop);
  if (rest > kTop || (rest == kTop && (kept & 1))) ++kept;
  double r = std::ldexp(static_cast<double>(kept), e - p + 1);
  return x.neg ? -r : r;
}

SoftExt soft_neg(SoftExt a) {
  a.neg = !a.neg;  // a NaN's sign too, as the x87 does
  return a;
}

SoftExt soft_add(SoftExt a, SoftExt b) {
  if (a.cls == kSoftNan || b.cls == kSoftNan) return nan_of(a, b);
  if (a.cls == kSoftInf || b.cls == kSoftInf) {
    if (a.cls == kSoftInf && b.cls == kSoftInf && a.neg != b.neg) return nan();
    return a.cls == kSoftInf ? a : b;
  }
  if (a.cls == kSoftZero && b.cls == kSoftZero) return zero(a.neg && b.neg);
  if (a.cls == kSoftZero) return b;
  if (b.cls == kSoftZero) return a;
  if (cmp_mag(a, b) < 0) {
    SoftExt t = a;
    a = b;
    b = t;
  }
  uint64_t sa, sb;
  int32_t ea, eb;
  normal(a, sa, ea);
  normal(b, sb, eb);
  uint64_t hb = sb, lb = 0;
  int64_t d = static_cast<int64_t>(ea) - eb;
  shr_jam(hb, lb, d > 200 ? 200 : static_cast<int>(d));
  if (a.neg == b.neg) {
    uint64_t hi = sa + hb;
    uint64_t lo = lb;
    if (hi < sa) {  // carry out of bit 63
      lo = (lo >> 1) | (hi << 63) | (lo & 1);
      hi = (hi >> 1) | kTop;
      ++ea;
    }
    return round_pack(a.neg, ea, hi, lo);
  }
  uint64_t lo = 0 - lb;
  uint64_t hi = sa - hb - (lb != 0 ? 1 : 0);
  if (hi == 0 && lo == 0) return zero(false);  // exact cancellation gives +0
  if (hi == 0) {
    hi = lo;
    lo = 0;
    ea -= 64;
  }
  int s = clz64(hi);
  if (s > 0) {
    hi = (hi << s) | (lo >> (64 - s));
    lo <<= s;
    ea -= s;
  }
  return round_pack(a.neg, ea, hi, lo);
}

SoftExt soft_sub(SoftExt a, SoftExt b) {
  if (a.cls == kSoftNan || b.cls == kSoftNan) return nan_of(a, b);  // b's sign unchanged
  return soft_add(a, soft_neg(b));
}

SoftExt soft_mul(SoftExt a, SoftExt b) {
  bool neg = a.neg != b.neg;
  if (a.cls == kSoftNan || b.cls == kSoftNan) return nan_of(a, b);
  if (a.cls == kSoftInf || b.cls == kSoftInf) {
    if (a.cls == kSoftZero || b.cls == kSoftZero) return nan();
    return inf(neg);
  }
  if (a.cls == kSoftZero || b.cls == kSoftZero) return zero(neg);
  uint64_t sa, sb;
  int32_t ea, eb;
  normal(a, sa, ea);
  normal(b, sb, eb);
  uint64_t hi, lo;
  mul64(sa, sb, hi, lo);
  int32_t e = ea + eb;
  if (hi & kTop) {
    ++e;
  } else {
    hi = (hi << 1) | (lo >> 63);
    lo <<= 1;
  }
  return round_pack(neg, e, hi, lo);
}

SoftExt soft_div(SoftExt a, SoftExt b) {
  bool neg = a.neg != b.neg;
  if (a.cls == kSoftNan || b.cls == kSoftNan) return nan_of(a, b);
  if (a.cls == kSoftInf) return b.cls == kSoftInf ? nan() : inf(neg);
  if (b.cls == kSoftInf) return zero(neg);
  if (b.cls == kSoftZero) return a.cls == kSoftZero ? nan() : inf(neg);
  if (a.cls == kSoftZero) return zero(neg);
  uint64_t sa, sb;
  int32_t ea, eb;
  normal(a, sa, ea);
  normal(b, sb, eb);
  uint64_t q, r;
  int32_t e;
  if (sa < sb) {
    q = div128(sa, 0, sb, r);
    e = ea - eb - 1;
  } else {
    q = div128(sa >> 1, sa << 63, sb, r);
    e = ea - eb;
  }
  uint64_t r2;
  uint64_t rest = div128(r, 0, sb, r2);
  if (r2 != 0) rest |= 1;
  return round_pack(neg, e, q, rest);
}

bool soft_lt(SoftExt a, SoftExt b) {
  if (a.cls == kSoftNan || b.cls == kSoftNan) return false;
  bool an = a.neg && a.cls != kSoftZero, bn = b.neg && b.cls != kSoftZero;
  if (a.cls == kSoftInf || b.cls == kSoftInf) {
    if (a.cls == kSoftInf && b.cls == kSoftInf) return an && !bn;
    if (a.cls == kSoftInf) return an;
    return !bn;
  }
  if (an != bn) return an;
  int c = cmp_mag(a, b);
  return an ? c > 0 : c < 0;
}

bool soft_is_finite(SoftExt a) {
  return a.cls == kSoftZero || a.cls == kSoftFinite;
}

int32_t soft_trunc_i32(SoftExt a) {
  if (a.cls == kSoftZero) return 0;
  if (a.cls != kSoftFinite) return INT32_MIN;
  uint64_t sig;
  int32_t e;
  normal(a, sig, e);
  if (e < 0) return 0;
  if (e >= 31) return INT32_MIN;  // |a| >= 2^31: outside, or -2^31 itself
  int64_t mag = static_cast<int64_t>(sig >> (63 - e));
  return static_cast<int32_t>(a.neg ? -mag : mag);
}

bool soft_round_i32(SoftExt a, int32_t* out) {
  if (a.cls == kSoftZero) {
    *out = 0;
    return true;
  }
  if (a.cls != kSoftFinite) return false;
  uint64_t sig;
  int32_t e;
  normal(a, sig, e);
  if (e < -1) {
    *out = 0;
    return true;
  }
  if (e >= 32) return false;
  uint64_t ip = e >= 0 ? sig >> (63 - e) : 0;
  uint64_t fr = e >= 0 ? sig << (e + 1) : sig;  // the fraction, bit 63 weighing 1/2
  if (fr > kTop || (fr == kTop && (ip & 1))) ++ip;
  if (ip > (a.neg ? 2147483648ull : 2147483647ull)) return false;
  *out = static_cast<int32_t>(a.neg ? -static_cast<int64_t>(ip) : static_cast<int64_t>(ip));
  return true;
}
