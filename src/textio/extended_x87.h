// Extended precision on the x87 80-bit `long double` (64-bit significand). Only included
// where `long double` is that format.
#pragma once

#include <cmath>
#include <cstdint>

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
inline bool x87_is_zero(X87Ext a) {
  return a.v == 0;
}

inline int32_t x87_trunc_i32(X87Ext a) {
  if (!(a.v > -2147483649.0L && a.v < 2147483648.0L)) return INT32_MIN;
  return static_cast<int32_t>(a.v);
}

inline bool x87_round_i32(X87Ext a, int32_t* out) {
  if (std::isnan(a.v)) return false;
  long double r = std::nearbyint(a.v);  // the default mode: ties to even
  if (r < -2147483648.0L || r > 2147483647.0L) return false;
  *out = static_cast<int32_t>(r);
  return true;
}
