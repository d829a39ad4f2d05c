#include "numconv.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "decimal.h"
#include "runerror.h"
#include "trace_places.h"

namespace {

bool is_blank(unsigned char c) {
  return c == ' ' || c == '\t';
}

// Blanks and tabs, then a sign: returns the position after them and sets `neg`.
int skip_blanks_and_sign(const ShortStr& s, bool* neg) {
  const int n = ss_len(s);
  int p = 1;
  while (p <= n && is_blank(s.b[p])) ++p;
  *neg = false;
  if (p <= n && s.b[p] == '-') {
    *neg = true;
    ++p;
  } else if (p <= n && s.b[p] == '+') {
    ++p;
  }
  return p;
}

int digit_value(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 99;
}

// round(ax * 10^p) with ties away from zero, decided on the exact value of ax; needs
// ax * 10^p below 2^63 and p at most 3.
uint64_t scaled_round(double ax, int p) {
  assert(ax >= 0 && p >= 0 && p <= 3);
  assert(ax * (p == 0 ? 1 : p == 1 ? 10 : p == 2 ? 100 : 1000) < 9.2e18);
  if (ax == 0) return 0;
  uint64_t bits;
  std::memcpy(&bits, &ax, sizeof bits);
  const int exp = static_cast<int>(bits >> 52);  // ax is positive and finite
  uint64_t m = bits & ((uint64_t{1} << 52) - 1);
  if (exp != 0) m |= uint64_t{1} << 52;  // ax = m * 2^e2 with m below 2^53
  int e2 = (exp != 0 ? exp : 1) - 1075;  // subnormals: 2^-1074 units
  uint64_t q = m;
  for (int i = 0; i < p; ++i) q *= 10;
  if (e2 >= 0) return q << e2;
  int sh = -e2;
  if (sh >= 64) return 0;  // q < 2^63 lies below half of 2^sh
  uint64_t r = q >> sh;
  uint64_t rem = q & ((1ull << sh) - 1);
  if (rem >= (1ull << (sh - 1))) ++r;
  return r;
}

// Writes n = whole * 10^kept + fraction as digits, a point and `decimals` decimals of
// which the first `kept` come from n and the rest are zeros.
size_t put_fixed(uint64_t n, int kept, int decimals, char* out) {
  uint64_t scale = 1;
  for (int i = 0; i < kept; ++i) scale *= 10;
  size_t len = decimal::write_uint(n / scale, out);
  if (decimals == 0) return len;
  out[len++] = '.';
  uint64_t frac = n % scale;
  for (int i = kept - 1; i >= 0; --i) {
    out[len + static_cast<size_t>(i)] = static_cast<char>('0' + frac % 10);
    frac /= 10;
  }
  len += static_cast<size_t>(kept);
  for (int i = kept; i < decimals; ++i) out[len++] = '0';
  return len;
}

}  // namespace

namespace {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// The value of n (1..8) decimal digits at p, eight at a time; -1 when one of them is not
// a digit. p[0..7] must be readable. Read little-endian, the first character is the
// lowest byte; the shift moves the n characters to the top bytes, leaving zeros (leading
// zero digits) below. Then bytes pair into 0..99, pairs into 0..9999 and those into the
// value, the earlier (lower) part of each pair taking the higher weight; no lane carries
// into the next.
int32_t eight_digits(const unsigned char* p, int n) {
  uint64_t x;
  std::memcpy(&x, p, sizeof x);
  const int unused = 8 * (8 - n);
  x <<= unused;
  const uint64_t zeros = 0x3030303030303030ull & (~uint64_t{0} << unused);
  // Each used byte 0x30..0x3F, so that subtracting '0' borrows nowhere; then below 10.
  if ((x & 0xF0F0F0F0F0F0F0F0ull) != zeros) return -1;
  uint64_t v = x - zeros;
  if (((v + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) != 0) return -1;
  v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFull;
  v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFull;
  v = (v * 10000 + (v >> 32)) & 0x00000000FFFFFFFFull;
  return static_cast<int32_t>(v);
}
#else
int32_t eight_digits(const unsigned char* p, int n) {
  int32_t v = 0;
  for (int i = 0; i < n; ++i) {
    if (!is_digit(p[i])) return -1;
    v = v * 10 + (p[i] - '0');
  }
  return v;
}
#endif

}  // namespace

IntConv int_conversion32(const ShortStr& s) {
  const int n = ss_len(s);
  if (n >= 1 && n <= 8) {  // plain decimal digits, below every limit
    const int32_t v = eight_digits(s.b + 1, n);
    if (v >= 0) return IntConv{v, 0};
  } else if (n == 9) {
    const int32_t v = eight_digits(s.b + 1, 8);
    if (v >= 0 && is_digit(s.b[9])) return IntConv{v * 10 + (s.b[9] - '0'), 0};
  }
  return int_conversion32_general(s);
}

IntConv int_conversion32_general(const ShortStr& s) {
  const int n = ss_len(s);
  bool neg;
  int p = skip_blanks_and_sign(s, &neg);
  uint64_t base = 10;
  if (p <= n && s.b[p] == '$') {
    base = 16;
    ++p;
    while (p < n && s.b[p] == '0') ++p;  // the last character stays for the digits
  } else if (p <= n && s.b[p] == '%') {
    base = 2;
    ++p;
  }
  if (p > n) return IntConv{0, p};
  const uint64_t limit = base != 10 ? 4294967295u : neg ? 2147483648u : 2147483647u;
  uint64_t mag = 0;
  for (; p <= n; ++p) {
    uint64_t d = static_cast<uint64_t>(digit_value(s.b[p]));
    if (d >= base) return IntConv{0, p};
    mag = mag * base + d;
    if (mag > limit) return IntConv{0, p};
  }
  uint32_t v = static_cast<uint32_t>(mag);
  if (neg) v = 0u - v;
  return IntConv{static_cast<int32_t>(v), 0};
}

IntConv int_conversion16(const ShortStr& s) {
  IntConv r = int_conversion32(s);
  r.value = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(r.value) & 0xFFFFu));
  return r;
}

RealConv real_conversion(const ShortStr& s) {
  const int n = ss_len(s);
  const Ext ten = ext_from_int(10);
  bool neg;
  int p = skip_blanks_and_sign(s, &neg);
  Ext m = ext_from_int(0);
  bool any = false;
  while (p <= n && is_digit(s.b[p])) {
    m = ext_add(ext_mul(m, ten), ext_from_int(s.b[p] - '0'));
    any = true;
    ++p;
  }
  if (p <= n && s.b[p] == '.') {
    ++p;
    int count = 0;
    while (p <= n && is_digit(s.b[p])) {
      m = ext_add(ext_mul(m, ten), ext_from_int(s.b[p] - '0'));
      any = true;
      ++count;
      ++p;
    }
    if (count > 0) {
      Ext power = ext_from_int(1);
      for (int i = 0; i < count; ++i) power = ext_mul(power, ten);
      m = ext_div(m, power);
    }
  }
  if (!any) return RealConv{ext_from_int(0), p};
  if (p <= n && (s.b[p] == 'E' || s.b[p] == 'e')) {
    ++p;
    bool eneg = false;
    if (p <= n && (s.b[p] == '+' || s.b[p] == '-')) {
      eneg = s.b[p] == '-';
      ++p;
    }
    if (p > n || !is_digit(s.b[p])) return RealConv{ext_from_int(0), p};
    uint32_t e = 0;
    while (p <= n && is_digit(s.b[p])) {
      e = e * 10 + static_cast<uint32_t>(s.b[p] - '0');
      if (e > 100000) e = 100000;  // the power overflows long before
      ++p;
    }
    // The power is formed first, by e multiplications, and then applied.
    Ext power = ext_from_int(1);
    for (uint32_t i = 0; i < e; ++i) {
      power = ext_mul(power, ten);
      if (!ext_is_finite(power)) run_error(kErrOverflow, kPlacePowerOfTen);
    }
    m = eneg ? ext_div(m, power) : ext_mul(m, power);
    if (!ext_is_finite(m)) run_error(kErrOverflow, kPlaceScale);
  }
  if (p <= n) return RealConv{ext_from_int(0), p};
  return RealConv{neg ? ext_neg(m) : m, 0};
}

size_t int_to_text(int32_t v, char* out) {
  if (v >= 0 && v < 100) {  // the usual fields of a time
    if (v < 10) {
      out[0] = static_cast<char>('0' + v);
      return 1;
    }
    out[0] = static_cast<char>('0' + v / 10);
    out[1] = static_cast<char>('0' + v % 10);
    return 2;
  }
  size_t len = 0;
  uint64_t mag = static_cast<uint64_t>(v < 0 ? -static_cast<int64_t>(v) : v);
  if (v < 0) out[len++] = '-';
  return len + decimal::write_uint(mag, out + len);
}

void int_to_short(int32_t v, ShortStr& s) {
  char text[16];
  size_t n = int_to_text(v, text);
  ss_set(s, text, n);
}

size_t fixed_text(double x, int width, int decimals, char* out) {
  if (decimals < 0) decimals = 0;
  if (decimals > 3) decimals = 3;
  char body[kFixedTextMax];
  size_t len = 0;
  if (std::isnan(x)) {
    std::memcpy(body, "NaN", 3);
    len = 3;
  } else if (std::isinf(x)) {
    if (x < 0) body[len++] = '-';
    std::memcpy(body + len, "Inf", 3);
    len += 3;
  } else {
    if (std::signbit(x)) body[len++] = '-';
    double ax = std::fabs(x);
    if (ax < 1e13) {
      len += put_fixed(scaled_round(ax, decimals), decimals, decimals, body + len);
    } else if (ax < 1e16) {
      // At most 16 significant digits: the rest of the decimals are written as 0.
      int whole_digits =
          static_cast<int>(decimal::write_uint(static_cast<uint64_t>(ax), body + len));
      int kept = 16 - whole_digits;
      if (kept > decimals) kept = decimals;
      if (kept < 0) kept = 0;
      len += put_fixed(scaled_round(ax, kept), kept, decimals, body + len);
    } else {
      // 16 significant digits, then zeros up to the point.
      char e[40];
      std::snprintf(e, sizeof e, "%.15e", ax);
      int exp10 = std::atoi(std::strchr(e, 'e') + 1);
      body[len++] = e[0];
      for (int i = 2; i < 17; ++i) body[len++] = e[i];
      for (int i = 15; i < exp10; ++i) body[len++] = '0';
      if (decimals > 0) body[len++] = '.';
      for (int i = 0; i < decimals; ++i) body[len++] = '0';
    }
  }
  size_t pad = width > 0 && static_cast<size_t>(width) > len ? static_cast<size_t>(width) - len : 0;
  for (size_t i = 0; i < pad; ++i) out[i] = ' ';
  bytes::copy_exact(reinterpret_cast<unsigned char*>(out + pad),
                    reinterpret_cast<unsigned char*>(body), len);
  return pad + len;
}

int32_t truncation(Ext x) {
  return ext_trunc_i32(x);
}

int32_t rounding(Ext x, uint32_t place) {
  int32_t v = 0;
  if (!ext_round_i32(x, &v)) run_error(kErrInvalidOperation, place);
  return v;
}
