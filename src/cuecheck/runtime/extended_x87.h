// Extended precision on the x87 80-bit `long double` (64-bit significand). Only included
// where `long double` is that format.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

struct X87Ext {
  long double v;
};

inline X87Ext x87_from_int(int64_t v) {
  return {static_cast<long double>(v)};
}
inline X87Ext x87_from_double(double d) {
  return {static_cast<long double>(d)};
}
inline double x87_to_double(X87Ext x) {
  return static_cast<double>(x.v);
}
inline X87Ext x87_add(X87Ext a, X87Ext b) {
  return {a.v + b.v};
}
inline X87Ext x87_sub(X87Ext a, X87Ext b) {
  return {a.v - b.v};
}
inline X87Ext x87_mul(X87Ext a, X87Ext b) {
  return {a.v * b.v};
}
inline X87Ext x87_div(X87Ext a, X87Ext b) {
  return {a.v / b.v};
}
inline X87Ext x87_neg(X87Ext a) {
  return {-a.v};
}
inline bool x87_lt(X87Ext a, X87Ext b) {
  return a.v < b.v;
}
inline bool x87_is_finite(X87Ext a) {
  return std::isfinite(a.v);
}

// The nearest whole number, ties to even, for |v| below 2^62: adding 1.5 * 2^63 leaves no
// bits below the units in the 64-bit significand, so the addition itself rounds, and the
// significand then holds the number plus 0xC000000000000000. Reading it from there avoids
// the x87 conversion instructions and their control-word changes.
inline int64_t x87_nearest(long double v) {
  long double sum = v + 13835058055282163712.0L;  // 1.5 * 2^63
  uint64_t sig;
  std::memcpy(&sig, &sum, sizeof sig);  // the significand is the first 8 bytes
  return static_cast<int64_t>(sig - 0xC000000000000000ull);
}

inline int32_t x87_trunc_i32(X87Ext a) {
  if (!(a.v > -2147483649.0L && a.v < 2147483648.0L)) return INT32_MIN;
  int64_t r = x87_nearest(a.v);  // then one step toward zero where it rounded away
  if (r > 0 && static_cast<long double>(r) > a.v) --r;
  if (r < 0 && static_cast<long double>(r) < a.v) ++r;
  return static_cast<int32_t>(r);
}

inline bool x87_round_i32(X87Ext a, int32_t* out) {
  if (!(a.v > -2147483649.0L && a.v < 2147483648.0L)) return false;
  int64_t r = x87_nearest(a.v);
  if (r < INT32_MIN || r > INT32_MAX) return false;
  *out = static_cast<int32_t>(r);
  return true;
}
