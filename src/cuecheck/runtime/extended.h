// The program's real arithmetic: every operation with a 64-bit significand, rounded to
// nearest with ties to even, and rounded to a double only when a result is stored.
//
// Where `long double` is the 80-bit x87 format the hardware does it; elsewhere, or when
// CUECHECK_SOFT_EXT is defined, the integer implementation does. Both give the same bits.
// Nothing outside this header sees which one is in use.
#pragma once

#include <cfloat>
#include <cstdint>

#include "extended_soft.h"

#if !defined(CUECHECK_SOFT_EXT) && LDBL_MANT_DIG == 64
#include "extended_x87.h"
#define CUECHECK_EXT_OP(name) x87_##name
using Ext = X87Ext;
#else
#define CUECHECK_EXT_OP(name) soft_##name
using Ext = SoftExt;
#endif

inline Ext ext_from_int(int64_t v) {
  return CUECHECK_EXT_OP(from_int)(v);
}
inline Ext ext_from_double(double d) {
  return CUECHECK_EXT_OP(from_double)(d);
}
inline double ext_to_double(Ext x) {
  return CUECHECK_EXT_OP(to_double)(x);
}
inline Ext ext_add(Ext a, Ext b) {
  return CUECHECK_EXT_OP(add)(a, b);
}
inline Ext ext_sub(Ext a, Ext b) {
  return CUECHECK_EXT_OP(sub)(a, b);
}
inline Ext ext_mul(Ext a, Ext b) {
  return CUECHECK_EXT_OP(mul)(a, b);
}
inline Ext ext_div(Ext a, Ext b) {
  return CUECHECK_EXT_OP(div)(a, b);
}
inline Ext ext_neg(Ext a) {
  return CUECHECK_EXT_OP(neg)(a);
}
inline bool ext_lt(Ext a, Ext b) {
  return CUECHECK_EXT_OP(lt)(a, b);
}
inline bool ext_is_finite(Ext a) {
  return CUECHECK_EXT_OP(is_finite)(a);
}
inline int32_t ext_trunc_i32(Ext a) {
  return CUECHECK_EXT_OP(trunc_i32)(a);
}
inline bool ext_round_i32(Ext a, int32_t* out) {
  return CUECHECK_EXT_OP(round_i32)(a, out);
}

#undef CUECHECK_EXT_OP

// Stores an extended result in a double: overflow of the double's range stops the run
// with run-time error 205 at `place`.
double ext_store(Ext x, uint32_t place);
