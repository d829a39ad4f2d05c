// Extended precision in plain integer arithmetic: a 64-bit significand and a 15-bit
// exponent range, rounded to nearest (ties to even) after every operation, as the 80-bit
// extended format computes. Only the operations the program uses are provided.
#pragma once

#include <cstdint>

struct SoftExt {
  uint64_t sig;  // value = sig * 2^(exp - 63); bit 63 is set except in subnormals
  int32_t exp;
  uint8_t neg;
  uint8_t cls;  // kSoftZero, kSoftFinite, kSoftInf or kSoftNan
};

enum : uint8_t { kSoftZero, kSoftFinite, kSoftInf, kSoftNan };

SoftExt soft_from_int(int64_t v);
SoftExt soft_from_double(double d);
double soft_to_double(SoftExt x);  // nearest double; beyond its range: infinite
SoftExt soft_add(SoftExt a, SoftExt b);
SoftExt soft_sub(SoftExt a, SoftExt b);
SoftExt soft_mul(SoftExt a, SoftExt b);
SoftExt soft_div(SoftExt a, SoftExt b);
SoftExt soft_neg(SoftExt a);
bool soft_lt(SoftExt a, SoftExt b);
bool soft_is_finite(SoftExt a);
int32_t soft_trunc_i32(SoftExt a);             // outside 32 bits or not a number: INT32_MIN
bool soft_round_i32(SoftExt a, int32_t* out);  // false outside 32 bits or not a number
