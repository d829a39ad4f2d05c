// The extended-precision arithmetic: the integer implementation against a table of values
// worked out by exact rational arithmetic, and, where the x87 is at hand, against the
// hardware bit for bit on the kinds of operands the program produces and on raw operands
// across the whole range.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "extended.h"
#include "extended_soft.h"

// extended.h leaves the x87 out when the integer implementation is forced; the comparison
// wants it wherever the hardware has it, so it is included here directly.
#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && (defined(__x86_64__) || defined(__i386__))
#define EXT_TEST_X87 1
#include "extended_x87.h"
#else
#define EXT_TEST_X87 0
#endif

namespace {

constexpr uint64_t kTop = 0x8000000000000000ull;
constexpr int32_t kEmin = -16382;
constexpr int32_t kEmax = 16383;

constexpr SoftExt Fin(uint64_t sig, int32_t exp, bool neg = false) {
  return SoftExt{sig, exp, static_cast<uint8_t>(neg ? 1 : 0), kSoftFinite};
}
constexpr SoftExt kZero{0, 0, 0, kSoftZero};
constexpr SoftExt kNegZero{0, 0, 1, kSoftZero};
constexpr SoftExt kInf{0, 0, 0, kSoftInf};
constexpr SoftExt kNegInf{0, 0, 1, kSoftInf};
constexpr SoftExt kNan{0, 0, 0, kSoftNan};
constexpr SoftExt kNegNan{0, 0, 1, kSoftNan};  // what an invalid operation gives

uint64_t bits(double d) {
  uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

double from_bits(uint64_t b) {
  double d;
  std::memcpy(&d, &b, sizeof d);
  return d;
}

// An extended value taken apart, in the integer implementation's layout: value =
// sig * 2^(exp - 63), bit 63 of sig set except in subnormals (exp == kEmin).
struct Parts {
  uint8_t cls;
  uint8_t neg;
  uint64_t sig;
  int32_t exp;
};

Parts parts(const SoftExt& x) {
  Parts p{x.cls, x.neg, x.sig, x.exp};
  if (x.cls != kSoftFinite) {
    p.sig = 0;
    p.exp = 0;
  }
  return p;
}

// A NaN's payload is not modelled (every NaN here is the quiet one with no payload), its
// sign is.
bool same(const Parts& a, const Parts& b) {
  if (a.cls != b.cls) return false;
  if (a.neg != b.neg) return false;
  return a.cls != kSoftFinite || (a.sig == b.sig && a.exp == b.exp);
}

// The one layout the integer implementation produces for each value.
bool well_formed(const SoftExt& x) {
  if (x.cls > kSoftNan || x.neg > 1) return false;
  if (x.cls != kSoftFinite) return true;
  if (x.sig == 0 || x.exp < kEmin || x.exp > kEmax) return false;
  return (x.sig & kTop) != 0 || x.exp == kEmin;
}

std::string show(const Parts& p) {
  char text[64];
  const char* sign = p.neg ? "-" : "+";
  switch (p.cls) {
    case kSoftZero:
      std::snprintf(text, sizeof text, "%s0", sign);
      break;
    case kSoftInf:
      std::snprintf(text, sizeof text, "%sinf", sign);
      break;
    case kSoftNan:
      std::snprintf(text, sizeof text, "%snan", sign);
      break;
    case kSoftFinite:
      std::snprintf(text, sizeof text, "%s0x%016llXp%d", sign,
                    static_cast<unsigned long long>(p.sig), static_cast<int>(p.exp));
      break;
    default:
      std::snprintf(text, sizeof text, "class %d", p.cls);
  }
  return text;
}

std::string show(const SoftExt& x) {
  return show(parts(x));
}

std::string show(double d) {
  char text[64];
  std::snprintf(text, sizeof text, "%a (0x%016llX)", d, static_cast<unsigned long long>(bits(d)));
  return text;
}

#if EXT_TEST_X87

// Doubles must agree bit for bit, NaNs included.
bool same_double(double a, double b) {
  return bits(a) == bits(b);
}

// The 10 bytes of an x87 extended value: 64-bit significand, then sign and biased exponent.
Parts parts(const X87Ext& x) {
  unsigned char raw[sizeof(long double)];
  std::memcpy(raw, &x.v, sizeof raw);
  uint64_t sig;
  uint16_t se;
  std::memcpy(&sig, raw, sizeof sig);
  std::memcpy(&se, raw + 8, sizeof se);
  Parts p{kSoftFinite, static_cast<uint8_t>(se >> 15), sig, 0};
  const int biased = se & 0x7FFF;
  if (biased == 0x7FFF) {
    p.cls = (sig << 1) == 0 ? kSoftInf : kSoftNan;
  } else if (biased == 0) {
    if (sig == 0) p.cls = kSoftZero;
    p.exp = kEmin;
  } else {
    p.exp = biased - 16383;
  }
  if (p.cls != kSoftFinite) {
    p.sig = 0;
    p.exp = 0;
  }
  return p;
}

X87Ext to_x87(const SoftExt& s) {
  uint64_t sig = 0;
  uint16_t se = s.neg ? 0x8000 : 0;
  switch (s.cls) {
    case kSoftZero:
      break;
    case kSoftInf:
      sig = kTop;
      se |= 0x7FFF;
      break;
    case kSoftNan:
      sig = 0xC000000000000000ull;
      se |= 0x7FFF;
      break;
    default:
      sig = s.sig;
      if (sig & kTop) se |= static_cast<uint16_t>(s.exp + 16383);
  }
  unsigned char raw[sizeof(long double)] = {};
  std::memcpy(raw, &sig, sizeof sig);
  std::memcpy(raw + 8, &se, sizeof se);
  X87Ext x;
  std::memcpy(&x.v, raw, sizeof raw);
  return x;
}

uint64_t g_compared = 0;

class CountReport : public ::testing::Environment {
 public:
  void TearDown() override {
    if (g_compared != 0)
      std::printf("[   info   ] extended: %llu results compared with the x87 in all\n",
                  static_cast<unsigned long long>(g_compared));
  }
};
[[maybe_unused]] ::testing::Environment* const kCountReport =
    ::testing::AddGlobalTestEnvironment(new CountReport);

// Counts the results compared in one test and reports the first few differences; `context`
// is only called for a difference and says what was being computed.
class Tally {
 public:
  explicit Tally(const char* name) : name_(name) {}
  Tally(const Tally&) = delete;
  Tally& operator=(const Tally&) = delete;
  ~Tally() {
    std::printf("[   info   ] %s: %llu results compared\n", name_,
                static_cast<unsigned long long>(checks_));
    g_compared += checks_;
    EXPECT_EQ(bad_, 0u) << name_ << ": " << bad_ << " of " << checks_ << " results differ";
  }

  // Both the exact extended value and the double it stores as.
  template <class Context>
  bool ext(const SoftExt& s, const X87Ext& x, const Context& context) {
    ++checks_;
    const Parts ps = parts(s), px = parts(x);
    const double ds = soft_to_double(s), dx = x87_to_double(x);
    if (well_formed(s) && same(ps, px) && same_double(ds, dx)) return true;
    fail(context() + ": soft " + show(ps) + " -> " + show(ds) + ", x87 " + show(px) + " -> " +
         show(dx));
    return false;
  }

  template <class Context>
  bool dbl(double s, double x, const Context& context) {
    ++checks_;
    if (same_double(s, x)) return true;
    fail(context() + ": soft " + show(s) + ", x87 " + show(x));
    return false;
  }

  template <class Context>
  bool num(int64_t s, int64_t x, const Context& context) {
    ++checks_;
    if (s == x) return true;
    fail(context() + ": soft " + std::to_string(s) + ", x87 " + std::to_string(x));
    return false;
  }

  uint64_t checks() const { return checks_; }

 private:
  void fail(const std::string& what) {
    if (++bad_ <= 8) ADD_FAILURE() << name_ << ": " << what;
  }

  const char* name_;
  uint64_t checks_ = 0;
  uint64_t bad_ = 0;
};

// A value in both implementations, so that a chain of operations can be run side by side
// and every intermediate result compared.
struct Pair {
  SoftExt s;
  X87Ext x;
};

Pair pair_int(int64_t v) {
  return {soft_from_int(v), x87_from_int(v)};
}
Pair pair_double(double d) {
  return {soft_from_double(d), x87_from_double(d)};
}
Pair pair_raw(const SoftExt& s) {
  return {s, to_x87(s)};
}
Pair add(const Pair& a, const Pair& b) {
  return {soft_add(a.s, b.s), x87_add(a.x, b.x)};
}
Pair sub(const Pair& a, const Pair& b) {
  return {soft_sub(a.s, b.s), x87_sub(a.x, b.x)};
}
Pair mul(const Pair& a, const Pair& b) {
  return {soft_mul(a.s, b.s), x87_mul(a.x, b.x)};
}
Pair div(const Pair& a, const Pair& b) {
  return {soft_div(a.s, b.s), x87_div(a.x, b.x)};
}
Pair neg(const Pair& a) {
  return {soft_neg(a.s), x87_neg(a.x)};
}

#endif  // EXT_TEST_X87

// Random numbers with a fixed seed; the mapping to ranges is done here, not by the
// library's distributions, and never two draws in one unsequenced expression, so the
// operands are the same with every compiler and standard library.
class Rng {
 public:
  explicit Rng(uint64_t seed) : g_(seed) {}
  uint64_t u64() { return g_(); }
  int64_t in(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(u64() % static_cast<uint64_t>(hi - lo + 1));
  }
  bool percent(int p) { return u64() % 100 < static_cast<uint64_t>(p); }
  template <class T, size_t N>
  T pick(const T (&a)[N]) {
    return a[u64() % N];
  }

 private:
  std::mt19937_64 g_;
};

// ---------------------------------------------------------------------------------------
// Known values, worked out with exact rational arithmetic (round to a 64-bit significand,
// nearest with ties to even, gradual underflow below 2^-16382).

struct BinaryRow {
  const char* name;
  char op;
  SoftExt a, b, want;
};

// clang-format off
const BinaryRow kBinaryRows[] = {
    {"1/1000", '/', Fin(0x8000000000000000ULL, 0), Fin(0xFA00000000000000ULL, 9), Fin(0x83126E978D4FDF3BULL, -10)},
    {"126 * 0.001", '*', Fin(0xFC00000000000000ULL, 6), Fin(0x83126E978D4FDF3BULL, -10), Fin(0x810624DD2F1A9FBEULL, -3)},
    {"3725 + 126 * 0.001", '+', Fin(0xE8D0000000000000ULL, 11), Fin(0x810624DD2F1A9FBEULL, -3), Fin(0xE8D204189374BC6AULL, 11)},
    {"1/3", '/', Fin(0x8000000000000000ULL, 0), Fin(0xC000000000000000ULL, 1), Fin(0xAAAAAAAAAAAAAAABULL, -2)},
    {"2/3", '/', Fin(0x8000000000000000ULL, 1), Fin(0xC000000000000000ULL, 1), Fin(0xAAAAAAAAAAAAAAABULL, -1)},
    {"1/10", '/', Fin(0x8000000000000000ULL, 0), Fin(0xA000000000000000ULL, 3), Fin(0xCCCCCCCCCCCCCCCDULL, -4)},
    {"-7/25", '/', Fin(0xE000000000000000ULL, 2, true), Fin(0xC800000000000000ULL, 4), Fin(0x8F5C28F5C28F5C29ULL, -2, true)},
    {"1/7", '/', Fin(0x8000000000000000ULL, 0), Fin(0xE000000000000000ULL, 2), Fin(0x9249249249249249ULL, -3)},
    {"-1/-49", '/', Fin(0x8000000000000000ULL, 0, true), Fin(0xC400000000000000ULL, 5, true), Fin(0xA72F05397829CBC1ULL, -6)},
    {"1001/24000", '/', Fin(0xFA40000000000000ULL, 9), Fin(0xBB80000000000000ULL, 14), Fin(0xAAD65B7A32846FF5ULL, -5)},
    {"2^63 + 0.5 (tie, even stays)", '+', Fin(0x8000000000000000ULL, 63), Fin(0x8000000000000000ULL, -1), Fin(0x8000000000000000ULL, 63)},
    {"(2^63+1) + 0.5 (tie, odd goes up)", '+', Fin(0x8000000000000001ULL, 63), Fin(0x8000000000000000ULL, -1), Fin(0x8000000000000002ULL, 63)},
    {"(2^63+1) + 1.5 (tie)", '+', Fin(0x8000000000000001ULL, 63), Fin(0xC000000000000000ULL, 0), Fin(0x8000000000000002ULL, 63)},
    {"2^64 - 0.5 (tie)", '-', Fin(0xFFFFFFFFFFFFFFFFULL, 63), Fin(0x8000000000000000ULL, -1), Fin(0xFFFFFFFFFFFFFFFEULL, 63)},
    {"(2^64+2) - 1 (tie)", '-', Fin(0x8000000000000001ULL, 64), Fin(0x8000000000000000ULL, 0), Fin(0x8000000000000000ULL, 64)},
    {"-(2^63+1) - 0.5 (tie)", '-', Fin(0x8000000000000001ULL, 63, true), Fin(0x8000000000000000ULL, -1), Fin(0x8000000000000002ULL, 63, true)},
    {"3 * (2^63+1) (tie, odd goes up)", '*', Fin(0xC000000000000000ULL, 1), Fin(0x8000000000000001ULL, 63), Fin(0xC000000000000002ULL, 64)},
    {"3 * (2^63+3) (tie, even stays)", '*', Fin(0xC000000000000000ULL, 1), Fin(0x8000000000000003ULL, 63), Fin(0xC000000000000004ULL, 64)},
    {"max + half ulp (tie overflows)", '+', Fin(0xFFFFFFFFFFFFFFFFULL, 16383), Fin(0x8000000000000000ULL, 16319), kInf},
    {"max + below half ulp", '+', Fin(0xFFFFFFFFFFFFFFFFULL, 16383), Fin(0xFFFFFFFFFFFFFFFEULL, 16318), Fin(0xFFFFFFFFFFFFFFFFULL, 16383)},
    {"max * 2", '*', Fin(0xFFFFFFFFFFFFFFFFULL, 16383), Fin(0x8000000000000000ULL, 1), kInf},
    {"-max * 2", '*', Fin(0xFFFFFFFFFFFFFFFFULL, 16383), Fin(0x8000000000000000ULL, 1, true), kNegInf},
    {"max / 0.5", '/', Fin(0xFFFFFFFFFFFFFFFFULL, 16383), Fin(0x8000000000000000ULL, -1), kInf},
    {"min normal * 0.5", '*', Fin(0x8000000000000000ULL, -16382), Fin(0x8000000000000000ULL, -1), Fin(0x4000000000000000ULL, -16382)},
    {"min normal * 0.75", '*', Fin(0x8000000000000000ULL, -16382), Fin(0xC000000000000000ULL, -1), Fin(0x6000000000000000ULL, -16382)},
    {"(min normal * 3) / 4", '/', Fin(0xC000000000000000ULL, -16381), Fin(0x8000000000000000ULL, 2), Fin(0x6000000000000000ULL, -16382)},
    {"min subnormal * 0.5 (tie to 0)", '*', Fin(0x0000000000000001ULL, -16382), Fin(0x8000000000000000ULL, -1), kZero},
    {"-min subnormal * 0.5", '*', Fin(0x0000000000000001ULL, -16382, true), Fin(0x8000000000000000ULL, -1), kNegZero},
    {"3 min subnormal * 0.5 (tie to 2)", '*', Fin(0x0000000000000003ULL, -16382), Fin(0x8000000000000000ULL, -1), Fin(0x0000000000000002ULL, -16382)},
    {"5 min subnormal / 2 (tie to 2)", '/', Fin(0x0000000000000005ULL, -16382), Fin(0x8000000000000000ULL, 1), Fin(0x0000000000000002ULL, -16382)},
    {"min subnormal * 0.75", '*', Fin(0x0000000000000001ULL, -16382), Fin(0xC000000000000000ULL, -1), Fin(0x0000000000000001ULL, -16382)},
    {"min subnormal * 0.25", '*', Fin(0x0000000000000001ULL, -16382), Fin(0x8000000000000000ULL, -2), kZero},
    {"subnormal + subnormal", '+', Fin(0x0000000000003039ULL, -16382), Fin(0x4000000000000007ULL, -16382), Fin(0x4000000000003040ULL, -16382)},
    {"subnormal - subnormal", '-', Fin(0x0000000000003039ULL, -16382), Fin(0x4000000000000007ULL, -16382), Fin(0x3FFFFFFFFFFFCFCEULL, -16382, true)},
    {"subnormals sum to normal", '+', Fin(0x7FFFFFFFFFFFFFFFULL, -16382), Fin(0x0000000000000001ULL, -16382), Fin(0x8000000000000000ULL, -16382)},
    {"min normal - min subnormal", '-', Fin(0x8000000000000000ULL, -16382), Fin(0x0000000000000001ULL, -16382), Fin(0x7FFFFFFFFFFFFFFFULL, -16382)},
    {"subnormal * 2^70", '*', Fin(0x0000000000003039ULL, -16382), Fin(0x8000000000000000ULL, 70), Fin(0xC0E4000000000000ULL, -16362)},
    {"1 / 2^16383", '/', Fin(0x8000000000000000ULL, 0), Fin(0x8000000000000000ULL, 16383), Fin(0x4000000000000000ULL, -16382)},
    {"3 / 2^16383", '/', Fin(0xC000000000000000ULL, 1), Fin(0x8000000000000000ULL, 16383), Fin(0xC000000000000000ULL, -16382)},
    {"1 / max", '/', Fin(0x8000000000000000ULL, 0), Fin(0xFFFFFFFFFFFFFFFFULL, 16383), Fin(0x2000000000000000ULL, -16382)},
    {"2^-16000 / 2^445", '/', Fin(0x8000000000000000ULL, -16000), Fin(0x8000000000000000ULL, 445), Fin(0x0000000000000001ULL, -16382)},
    {"2^-16000 / 2^446 (tie to 0)", '/', Fin(0x8000000000000000ULL, -16000), Fin(0x8000000000000000ULL, 446), kZero},
    {"-3 * 2^-16000 / 2^446 (tie to 2)", '/', Fin(0xC000000000000000ULL, -15999, true), Fin(0x8000000000000000ULL, 446), Fin(0x0000000000000002ULL, -16382, true)},
    {"2^-8000 * 2^-8500", '*', Fin(0x8000000000000000ULL, -8000), Fin(0x8000000000000000ULL, -8500), kZero},
    {"1e-300 * 1e-300 (as doubles)", '*', Fin(0xAB70FE17C79AC800ULL, -997), Fin(0xAB70FE17C79AC800ULL, -997), Fin(0xE5A04AA62B5541D7ULL, -1994)},
    {"x - x is +0", '-', Fin(0xC800000000000000ULL, 4), Fin(0xC800000000000000ULL, 4), kZero},
    {"-x - -x is +0", '-', Fin(0xC800000000000000ULL, 4, true), Fin(0xC800000000000000ULL, 4, true), kZero},
    {"-3 + 3 is +0", '+', Fin(0xC000000000000000ULL, 1, true), Fin(0xC000000000000000ULL, 1), kZero},
    {"-0 * 5 is -0", '*', kNegZero, Fin(0xA000000000000000ULL, 2), kNegZero},
    {"0 * -5 is -0", '*', kZero, Fin(0xA000000000000000ULL, 2, true), kNegZero},
    {"0 / -25 is -0", '/', kZero, Fin(0xC800000000000000ULL, 4, true), kNegZero},
    {"-0 / -25 is +0", '/', kNegZero, Fin(0xC800000000000000ULL, 4, true), kZero},
    {"-0 + -0 is -0", '+', kNegZero, kNegZero, kNegZero},
    {"-0 + 0 is +0", '+', kNegZero, kZero, kZero},
    {"-0 - 0 is -0", '-', kNegZero, kZero, kNegZero},
    {"0 - 0 is +0", '-', kZero, kZero, kZero},
    {"-0 + 7", '+', kNegZero, Fin(0xE000000000000000ULL, 2), Fin(0xE000000000000000ULL, 2)},
    {"tiny product underflows to -0", '*', Fin(0x8000000000000000ULL, -9000, true), Fin(0x8000000000000000ULL, -9000), kNegZero},
    {"1 / 0", '/', Fin(0x8000000000000000ULL, 0), kZero, kInf},
    {"-1 / 0", '/', Fin(0x8000000000000000ULL, 0, true), kZero, kNegInf},
    {"1 / -0", '/', Fin(0x8000000000000000ULL, 0), kNegZero, kNegInf},
    {"0 / 0", '/', kZero, kZero, kNegNan},
    {"inf - inf", '-', kInf, kInf, kNegNan},
    {"inf + inf", '+', kInf, kInf, kInf},
    {"0 * inf", '*', kZero, kInf, kNegNan},
    {"-0 * -inf", '*', kNegZero, kNegInf, kNegNan},
    {"inf / inf", '/', kInf, kNegInf, kNegNan},
    {"5 / -inf", '/', Fin(0xA000000000000000ULL, 2), kNegInf, kNegZero},
    {"-inf * -2", '*', kNegInf, Fin(0x8000000000000000ULL, 1, true), kInf},
    {"inf + -7", '+', kInf, Fin(0xE000000000000000ULL, 2, true), kInf},
    {"nan + 1", '+', kNan, Fin(0x8000000000000000ULL, 0), kNan},
    {"1 * nan", '*', Fin(0x8000000000000000ULL, 0), kNan, kNan},
    {"1 - nan keeps its sign", '-', Fin(0x8000000000000000ULL, 0), kNan, kNan},
    {"1 - -nan keeps its sign", '-', Fin(0x8000000000000000ULL, 0), kNegNan, kNegNan},
    {"-nan / -1", '/', kNegNan, Fin(0x8000000000000000ULL, 0, true), kNegNan},
    {"nan + -nan", '+', kNan, kNegNan, kNan},
    {"-nan * nan", '*', kNegNan, kNan, kNan},
    {"-nan - -nan", '-', kNegNan, kNegNan, kNegNan},
};
// clang-format on

SoftExt soft_binary(char op, const SoftExt& a, const SoftExt& b) {
  switch (op) {
    case '+':
      return soft_add(a, b);
    case '-':
      return soft_sub(a, b);
    case '*':
      return soft_mul(a, b);
    default:
      return soft_div(a, b);
  }
}

TEST(ExtendedKnown, BinaryOperations) {
  for (const BinaryRow& row : kBinaryRows) {
    SCOPED_TRACE(row.name);
    const SoftExt got = soft_binary(row.op, row.a, row.b);
    EXPECT_TRUE(well_formed(got)) << show(got);
    EXPECT_TRUE(same(parts(got), parts(row.want))) << show(got) << ", want " << show(row.want);
#if EXT_TEST_X87
    const X87Ext xa = to_x87(row.a), xb = to_x87(row.b);
    X87Ext x;
    switch (row.op) {
      case '+':
        x = x87_add(xa, xb);
        break;
      case '-':
        x = x87_sub(xa, xb);
        break;
      case '*':
        x = x87_mul(xa, xb);
        break;
      default:
        x = x87_div(xa, xb);
    }
    EXPECT_TRUE(same(parts(x), parts(row.want))) << "x87 " << show(parts(x));
#endif
  }
}

struct ToDoubleRow {
  const char* name;
  SoftExt x;
  uint64_t want;
};

// clang-format off
const ToDoubleRow kToDoubleRows[] = {
    {"2^-1074", Fin(0x8000000000000000ULL, -1074), 0x0000000000000001ULL},
    {"2^-1075 (tie to 0)", Fin(0x8000000000000000ULL, -1075), 0x0000000000000000ULL},
    {"-2^-1075 (tie to -0)", Fin(0x8000000000000000ULL, -1075, true), 0x8000000000000000ULL},
    {"just above 2^-1075", Fin(0x8000000000000001ULL, -1075), 0x0000000000000001ULL},
    {"3 * 2^-1075 (tie to 2)", Fin(0xC000000000000000ULL, -1074), 0x0000000000000002ULL},
    {"5 * 2^-1075 (tie to 2)", Fin(0xA000000000000000ULL, -1073), 0x0000000000000002ULL},
    {"3 * 2^-1076", Fin(0xC000000000000000ULL, -1075), 0x0000000000000001ULL},
    {"2^-1076", Fin(0x8000000000000000ULL, -1076), 0x0000000000000000ULL},
    {"below min normal double", Fin(0xFFFFFFFFFFFFFFFFULL, -1023), 0x0010000000000000ULL},
    {"subnormal double, 52 bits kept", Fin(0xFFFFFFFFFFFFF400ULL, -1023), 0x000FFFFFFFFFFFFFULL},
    {"subnormal double, odd, tie", Fin(0x8000000000001800ULL, -1023), 0x0008000000000002ULL},
    {"extended subnormal", Fin(0x0000000000000001ULL, -16382), 0x0000000000000000ULL},
    {"-extended subnormal", Fin(0x0000000000000001ULL, -16382, true), 0x8000000000000000ULL},
    {"2^-1200", Fin(0x8000000000000000ULL, -1200), 0x0000000000000000ULL},
    {"DBL_MAX", Fin(0xFFFFFFFFFFFFF800ULL, 1023), 0x7FEFFFFFFFFFFFFFULL},
    {"DBL_MAX + below half ulp", Fin(0xFFFFFFFFFFFFFBFFULL, 1023), 0x7FEFFFFFFFFFFFFFULL},
    {"-DBL_MAX - below half ulp", Fin(0xFFFFFFFFFFFFFBFFULL, 1023, true), 0xFFEFFFFFFFFFFFFFULL},
    {"DBL_MAX + half ulp", Fin(0xFFFFFFFFFFFFFC00ULL, 1023), 0x7FF0000000000000ULL},
    {"-(DBL_MAX + half ulp)", Fin(0xFFFFFFFFFFFFFC00ULL, 1023, true), 0xFFF0000000000000ULL},
    {"2^1024", Fin(0x8000000000000000ULL, 1024), 0x7FF0000000000000ULL},
    {"max extended", Fin(0xFFFFFFFFFFFFFFFFULL, 16383), 0x7FF0000000000000ULL},
    {"1 + half ulp (tie, even)", Fin(0x8000000000000400ULL, 0), 0x3FF0000000000000ULL},
    {"1 + 3 half ulps (tie, odd)", Fin(0x8000000000000C00ULL, 0), 0x3FF0000000000002ULL},
    {"1 + just over half ulp", Fin(0x8000000000000401ULL, 0), 0x3FF0000000000001ULL},
    {"3725.126 as computed", Fin(0xE8D204189374BC6AULL, 11), 0x40AD1A4083126E98ULL},
    {"1/1000", Fin(0x83126E978D4FDF3BULL, -10), 0x3F50624DD2F1A9FCULL},
    {"+0", kZero, 0x0000000000000000ULL},
    {"-0", kNegZero, 0x8000000000000000ULL},
    {"+inf", kInf, 0x7FF0000000000000ULL},
    {"-inf", kNegInf, 0xFFF0000000000000ULL},
    {"nan", kNan, 0x7FF8000000000000ULL},
    {"-nan", kNegNan, 0xFFF8000000000000ULL},
};
// clang-format on

TEST(ExtendedKnown, ToDouble) {
  for (const ToDoubleRow& row : kToDoubleRows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(bits(soft_to_double(row.x)), row.want) << show(soft_to_double(row.x));
#if EXT_TEST_X87
    EXPECT_EQ(bits(x87_to_double(to_x87(row.x))), row.want);
#endif
  }
}

TEST(ExtendedKnown, FromDouble) {
  const struct {
    uint64_t d;
    SoftExt want;
  } rows[] = {
      {0x0000000000000001ULL, Fin(kTop, -1074)},
      {0x8000000000000001ULL, Fin(kTop, -1074, true)},
      {0x0000000000000003ULL, Fin(0xC000000000000000ULL, -1073)},
      {0x000FFFFFFFFFFFFFULL, Fin(0xFFFFFFFFFFFFF000ULL, -1023)},
      {0x0008000000000000ULL, Fin(kTop, -1023)},
      {0x0010000000000000ULL, Fin(kTop, -1022)},
      {0x7FEFFFFFFFFFFFFFULL, Fin(0xFFFFFFFFFFFFF800ULL, 1023)},
      {0x3FF0000000000000ULL, Fin(kTop, 0)},
      {0x4037F9DB22D0E560ULL, Fin(0xBFCED916872B0000ULL, 4)},  // 23.976
      {0x0000000000000000ULL, kZero},
      {0x8000000000000000ULL, kNegZero},
      {0x7FF0000000000000ULL, kInf},
      {0xFFF0000000000000ULL, kNegInf},
      {0x7FF8000000000000ULL, kNan},
      {0xFFF8000000000000ULL, kNegNan},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(show(from_bits(row.d)));
    const SoftExt got = soft_from_double(from_bits(row.d));
    EXPECT_TRUE(well_formed(got));
    EXPECT_TRUE(same(parts(got), parts(row.want))) << show(got) << ", want " << show(row.want);
    EXPECT_EQ(bits(soft_to_double(got)), row.d);
#if EXT_TEST_X87
    EXPECT_TRUE(same(parts(x87_from_double(from_bits(row.d))), parts(row.want)));
#endif
  }
  EXPECT_EQ(bits(23.976), 0x4037F9DB22D0E560ULL);
}

TEST(ExtendedKnown, FromInt) {
  EXPECT_TRUE(same(parts(soft_from_int(0)), parts(kZero)));
  EXPECT_TRUE(same(parts(soft_from_int(1)), parts(Fin(kTop, 0))));
  EXPECT_TRUE(same(parts(soft_from_int(-3600)), parts(Fin(0xE100000000000000ULL, 11, true))));
  EXPECT_TRUE(same(parts(soft_from_int(INT64_MIN)), parts(Fin(kTop, 63, true))));
  EXPECT_TRUE(same(parts(soft_from_int(INT64_MAX)), parts(Fin(0xFFFFFFFFFFFFFFFEULL, 62))));
}

// The time-code sum of the worked example, through the program's own steps.
TEST(ExtendedKnown, TimeCodeSum) {
  const SoftExt thousandth = soft_div(soft_from_int(1), soft_from_int(1000));
  EXPECT_EQ(thousandth.sig, 0x83126E978D4FDF3BULL);
  EXPECT_EQ(thousandth.exp, -10);
  const SoftExt whole = soft_from_int(1 * 3600 + 2 * 60 + 5);
  const double t = soft_to_double(soft_add(whole, soft_mul(soft_from_int(126), thousandth)));
  EXPECT_EQ(bits(t), bits(3725.126));
  // And through the arithmetic the program is built with.
  const Ext et = ext_div(ext_from_int(1), ext_from_int(1000));
  EXPECT_EQ(bits(ext_to_double(ext_add(ext_from_int(3725), ext_mul(ext_from_int(126), et)))),
            bits(3725.126));
}

// Powers of ten as the real conversion forms them: one multiplication at a time.
TEST(ExtendedKnown, PowersOfTen) {
  const SoftExt ten = soft_from_int(10);
  SoftExt p = soft_from_int(1);
  int k = 0;
  while (soft_is_finite(p)) {
    if (k == 27) {
      EXPECT_TRUE(same(parts(p), parts(Fin(0xCECB8F27F4200F3AULL, 89))));  // exact
    }
    if (k == 28) {
      EXPECT_TRUE(same(parts(p), parts(Fin(0x813F3978F8940984ULL, 93))));
    }
    if (k == 4932) {
      EXPECT_TRUE(same(parts(p), parts(Fin(0xD72CB2A95C7EF6CDULL, 16383)))) << show(p);
      // 1 / 10^4932 is below the smallest normal number.
      const SoftExt r = soft_div(soft_from_int(1), p);
      EXPECT_EQ(r.exp, kEmin);
      EXPECT_EQ(r.sig & kTop, 0u);
    }
    p = soft_mul(p, ten);
    ++k;
  }
  EXPECT_EQ(k, 4933);
  EXPECT_EQ(p.cls, kSoftInf);
}

SoftExt half_plus(int64_t k) {  // k + 1/2, exactly
  SoftExt x = soft_from_int(2 * k + 1);
  x.exp -= 1;
  return x;
}

TEST(ExtendedKnown, RoundAndTruncate) {
  const struct {
    SoftExt x;
    bool ok;
    int32_t round;
    int32_t trunc;
  } rows[] = {
      {half_plus(2), true, 2, 2},     // 2.5
      {half_plus(3), true, 4, 3},     // 3.5
      {half_plus(-3), true, -2, -2},  // -2.5
      {half_plus(-4), true, -4, -3},  // -3.5
      {half_plus(0), true, 0, 0},     // 0.5
      {half_plus(1), true, 2, 1},     // 1.5
      {half_plus(-1), true, 0, 0},    // -0.5
      {soft_from_double(0.49999999999999994), true, 0, 0},
      {Fin(0xFFFFFFFFFFFFFFFFULL, -2), true, 0, 0},  // just under 1/2
      {Fin(0x8000000000000001ULL, -1), true, 1, 0},  // just over 1/2
      {soft_from_double(-2.9), true, -3, -2},
      {soft_from_double(2.9), true, 3, 2},
      {soft_from_double(2147483647.4), true, 2147483647, 2147483647},
      {half_plus(2147483647), false, 0, 2147483647},           // rounds to 2^31
      {Fin(0xFFFFFFFFFFFFFFFFULL, 30), false, 0, 2147483647},  // 2^31 - 2^-33
      {Fin(0xFFFFFFFFFFFFFFFFULL, 30, true), true, INT32_MIN, -2147483647},
      {half_plus(-2147483649), true, INT32_MIN, INT32_MIN},  // -2147483648.5
      {soft_from_double(-2147483648.6), false, 0, INT32_MIN},
      {soft_from_double(-2147483649.0), false, 0, INT32_MIN},
      {soft_from_int(2147483647), true, 2147483647, 2147483647},
      {soft_from_int(2147483648), false, 0, INT32_MIN},
      {soft_from_int(4294967296), false, 0, INT32_MIN},
      {soft_from_double(1e10), false, 0, INT32_MIN},
      {soft_from_double(-1e300), false, 0, INT32_MIN},
      {Fin(1, kEmin), true, 0, 0},
      {kZero, true, 0, 0},
      {kNegZero, true, 0, 0},
      {kInf, false, 0, INT32_MIN},
      {kNegInf, false, 0, INT32_MIN},
      {kNan, false, 0, INT32_MIN},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(show(row.x));
    int32_t got = 12345;
    EXPECT_EQ(soft_round_i32(row.x, &got), row.ok);
    if (row.ok) {
      EXPECT_EQ(got, row.round);
    }
    EXPECT_EQ(soft_trunc_i32(row.x), row.trunc);
#if EXT_TEST_X87
    int32_t xgot = 12345;
    EXPECT_EQ(x87_round_i32(to_x87(row.x), &xgot), row.ok);
    if (row.ok) {
      EXPECT_EQ(xgot, row.round);
    }
    EXPECT_EQ(x87_trunc_i32(to_x87(row.x)), row.trunc);
#endif
  }
}

TEST(ExtendedKnown, Comparison) {
  const SoftExt one = soft_from_int(1), two = soft_from_int(2);
  EXPECT_TRUE(soft_lt(one, two));
  EXPECT_FALSE(soft_lt(two, one));
  EXPECT_FALSE(soft_lt(one, one));
  EXPECT_TRUE(soft_lt(soft_neg(two), soft_neg(one)));
  EXPECT_FALSE(soft_lt(kNegZero, kZero));
  EXPECT_FALSE(soft_lt(kZero, kNegZero));
  EXPECT_TRUE(soft_lt(kNegInf, soft_neg(two)));
  EXPECT_TRUE(soft_lt(two, kInf));
  EXPECT_FALSE(soft_lt(kInf, kInf));
  EXPECT_FALSE(soft_lt(kNan, one));
  EXPECT_FALSE(soft_lt(one, kNan));
  EXPECT_TRUE(soft_lt(Fin(1, kEmin), Fin(2, kEmin)));
  EXPECT_TRUE(soft_lt(Fin(0xFFFFFFFFFFFFFFFFULL, kEmin), Fin(kTop, kEmin + 1)));
  // 20 * TK < n: 0.05 as a double is a little above 1/20, 20 * 0.05 is exact and above 1.
  const SoftExt twenty = soft_from_int(20);
  EXPECT_FALSE(soft_lt(soft_mul(soft_from_double(0.05), twenty), soft_from_int(1)));
  EXPECT_TRUE(soft_lt(soft_mul(soft_from_double(0.04999999999999999), twenty), soft_from_int(1)));
  // 0.15 as a double is below 3/20.
  EXPECT_TRUE(soft_lt(soft_mul(soft_from_double(0.15), twenty), soft_from_int(3)));
  EXPECT_FALSE(soft_lt(soft_mul(soft_from_double(0.15), twenty), soft_from_int(2)));
  EXPECT_TRUE(soft_is_finite(Fin(1, kEmin)));
  EXPECT_FALSE(soft_is_finite(kInf));
  EXPECT_FALSE(soft_is_finite(kNan));
  EXPECT_EQ(soft_neg(kZero).neg, 1);
  EXPECT_EQ(soft_neg(kNegNan).neg, 0);
}

// ---------------------------------------------------------------------------------------
// The integer implementation against the x87, bit for bit.

#if EXT_TEST_X87

constexpr uint64_t kSeed = 0x5EC0DE5EC0DE2024ull;

// A field of a time code: two digits (or a sign and one), now and then something else
// the 16-bit conversion lets through.
int32_t time_field(Rng& r, int lo, int hi) {
  static const int32_t odd[] = {INT16_MIN, INT16_MAX, INT16_MIN + 1, INT16_MAX - 1, 0, -1, 1};
  const int k = static_cast<int>(r.in(0, 99));
  if (k < 90) return static_cast<int32_t>(r.in(lo, hi));
  if (k < 95) return r.pick(odd);
  return static_cast<int32_t>(r.in(INT16_MIN, INT16_MAX));
}

// A random finite double over the whole range, subnormals included.
double any_finite_double(Rng& r) {
  for (;;) {
    const double d = from_bits(r.u64());
    if (std::isfinite(d)) return d;
  }
}

// A double with a random significand and an exponent in [lo, hi] (powers of two).
double double_in(Rng& r, int lo, int hi, bool allow_negative) {
  const uint64_t mant = r.u64() & 0x000FFFFFFFFFFFFFull;
  const int e = static_cast<int>(r.in(lo, hi));
  double d = std::ldexp(static_cast<double>(mant | 0x0010000000000000ull), e - 52);
  if (allow_negative && r.percent(50)) d = -d;
  return d;
}

class ExtendedVsX87 : public ::testing::Test {
 protected:
  static const Pair& thousandth() {
    static const Pair t = div(pair_int(1), pair_int(1000));
    return t;
  }
  // Time codes as ST2TT makes them, shared by the tests that start from time values.
  static const std::vector<double>& time_codes() {
    static const std::vector<double> pool = [] {
      Rng r(kSeed ^ 1);
      std::vector<double> v;
      for (int i = 0; i < 4096; ++i) {
        const int32_t h = time_field(r, -9, 99), m = time_field(r, -9, 99),
                      s = time_field(r, -9, 99), ms = time_field(r, -99, 999);
        v.push_back(soft_to_double(soft_add(soft_from_int(h * 3600 + m * 60 + s),
                                            soft_mul(soft_from_int(ms), thousandth().s))));
      }
      return v;
    }();
    return pool;
  }
};

TEST_F(ExtendedVsX87, TimeCodeSums) {
  Tally t("time-code sums");
  const Pair& k = thousandth();
  t.ext(k.s, k.x, [] { return std::string("1/1000"); });
  Rng r(kSeed ^ 2);
  for (int i = 0; i < 300000; ++i) {
    const int32_t h = time_field(r, -9, 99), m = time_field(r, -9, 99), s = time_field(r, -9, 99),
                  ms = time_field(r, -99, 999);
    const int32_t whole = h * 3600 + m * 60 + s;
    auto ctx = [&] {
      return "h=" + std::to_string(h) + " m=" + std::to_string(m) + " s=" + std::to_string(s) +
             " ms=" + std::to_string(ms);
    };
    const Pair w = pair_int(whole);
    const Pair frac = mul(pair_int(ms), k);
    const Pair sum = add(w, frac);
    t.ext(w.s, w.x, ctx);
    t.ext(frac.s, frac.x, ctx);
    t.ext(sum.s, sum.x, ctx);
    t.dbl(soft_to_double(sum.s), x87_to_double(sum.x), ctx);
  }
}

TEST_F(ExtendedVsX87, Durations) {
  Tally t("durations");
  Rng r(kSeed ^ 3);
  const std::vector<double>& pool = time_codes();
  for (int i = 0; i < 300000; ++i) {
    double start = pool[r.u64() % pool.size()], stop = pool[r.u64() % pool.size()];
    const int k = static_cast<int>(r.in(0, 99));
    if (k < 10) stop = start + static_cast<double>(r.in(-5000, 5000)) / 1000;  // close together
    if (k >= 10 && k < 15) stop = start;
    if (k >= 15 && k < 20) start = double_in(r, -30, 30, true);
    if (k >= 20 && k < 23) stop = any_finite_double(r);
    auto ctx = [&] { return "stop " + show(stop) + " - start " + show(start); };
    const Pair d = sub(pair_double(stop), pair_double(start));
    t.ext(d.s, d.x, ctx);
    t.dbl(soft_to_double(d.s), x87_to_double(d.x), ctx);
  }
}

TEST_F(ExtendedVsX87, FrameRateQuotients) {
  Tally t("frame-rate quotients");
  Rng r(kSeed ^ 4);
  static const double typical[] = {
      23.976,         25,  29.97, 1,     24, 30, 50, 60, 59.94, 23.98, 24000.0 / 1001,
      30000.0 / 1001, 0.5, 1000,  0.001, 100};
  static const int32_t odd_frames[] = {
      0, 1, -1, INT32_MAX, INT32_MIN, INT32_MIN + 1, INT32_MAX - 1, 1 << 30, -(1 << 30)};
  for (int i = 0; i < 300000; ++i) {
    int32_t diff;
    const int kd = static_cast<int>(r.in(0, 99));
    if (kd < 50) {
      diff = static_cast<int32_t>(r.in(-2000, 200000));
    } else if (kd < 80) {
      // start and stop frames anywhere: the unsigned difference wraps round
      const uint32_t stop = static_cast<uint32_t>(r.u64()), start = static_cast<uint32_t>(r.u64());
      diff = static_cast<int32_t>(stop - start);
    } else if (kd < 90) {
      const uint32_t stop = static_cast<uint32_t>(r.in(0, 1000)),
                     start = static_cast<uint32_t>(r.in(INT32_MIN, INT32_MIN + 1000));
      diff = static_cast<int32_t>(stop - start);
    } else {
      diff = r.pick(odd_frames);
    }
    double fps;
    const int kf = static_cast<int>(r.in(0, 99));
    if (kf < 40) {
      fps = r.pick(typical);
    } else if (kf < 55) {
      fps = static_cast<double>(r.in(1, 120000)) / 1000;
    } else if (kf < 70) {
      fps = double_in(r, -1074 + 52, 1023, true);  // normal doubles of any size
    } else if (kf < 80) {
      fps = from_bits(r.u64() & 0x000FFFFFFFFFFFFFull);  // subnormal
      if (fps == 0) fps = 5e-324;
    } else if (kf < 90) {
      fps = double_in(r, -60, 60, true);
    } else {
      fps = any_finite_double(r);
      if (fps == 0) fps = 25;
    }
    auto ctx = [&] { return std::to_string(diff) + " / " + show(fps); };
    const Pair f = pair_double(fps);
    const Pair q = div(pair_int(diff), f);
    t.ext(f.s, f.x, ctx);
    t.ext(q.s, q.x, ctx);
    t.dbl(soft_to_double(q.s), x87_to_double(q.x), ctx);
  }
}

// 10^k formed by k multiplications, k = 0 .. the first that overflows.
struct Powers {
  std::vector<Pair> p;
  int first_inf = -1;
};

const Powers& powers_of_ten() {
  static const Powers powers = [] {
    Powers w;
    const Pair ten = pair_int(10);
    Pair p = pair_int(1);
    for (int k = 0; k <= 4940; ++k) {
      w.p.push_back(p);
      if (w.first_inf < 0 && !(soft_is_finite(p.s) && x87_is_finite(p.x))) w.first_inf = k;
      p = mul(p, ten);
    }
    return w;
  }();
  return powers;
}

TEST_F(ExtendedVsX87, PowersOfTen) {
  Tally t("powers of ten");
  const Powers& w = powers_of_ten();
  for (size_t k = 0; k < w.p.size(); ++k) {
    t.ext(w.p[k].s, w.p[k].x, [&] { return "10^" + std::to_string(k); });
    t.num(soft_is_finite(w.p[k].s), x87_is_finite(w.p[k].x),
          [&] { return "10^" + std::to_string(k) + " finite"; });
  }
  EXPECT_EQ(w.first_inf, 4933);
}

// The real conversion's arithmetic: digits accumulated as m*10 + d, the fraction's digits
// divided out by 10^count, then the exponent applied with a power of ten.
TEST_F(ExtendedVsX87, RealConversion) {
  Tally t("real conversion");
  Rng r(kSeed ^ 5);
  const Powers& w = powers_of_ten();
  const Pair ten = pair_int(10);
  char digits[41];
  for (int i = 0; i < 60000; ++i) {
    const int len = static_cast<int>(r.in(1, 40));
    const int kind = static_cast<int>(r.in(0, 9));
    for (int j = 0; j < len; ++j) {
      int d = static_cast<int>(r.in(0, 9));
      if (kind == 0) d = 9;                          // all nines
      if (kind == 1 && j < len / 2) d = 0;           // leading zeros
      if (kind == 2 && j > 0 && j < len - 1) d = 0;  // sparse
      digits[j] = static_cast<char>('0' + d);
    }
    digits[len] = 0;
    const int whole = static_cast<int>(r.in(0, len));  // digits before the point
    const int count = len - whole;
    auto ctx = [&] { return std::string(digits) + " with " + std::to_string(count) + " decimals"; };
    Pair m = pair_int(0);
    for (int j = 0; j < len; ++j) {
      m = add(mul(m, ten), pair_int(digits[j] - '0'));
      t.ext(m.s, m.x, ctx);
    }
    if (count > 0) {
      m = div(m, w.p[static_cast<size_t>(count)]);
      t.ext(m.s, m.x, ctx);
    }
    if (r.percent(60)) {
      int e;
      const int ke = static_cast<int>(r.in(0, 99));
      if (ke < 50) {
        e = static_cast<int>(r.in(0, 30));
      } else if (ke < 70) {
        e = static_cast<int>(r.in(0, 4932));
      } else if (ke < 90) {
        e = static_cast<int>(r.in(4880, 4932));  // near the top: overflow, subnormals
      } else {
        e = static_cast<int>(r.in(280, 340));  // near the double's range
      }
      const bool eneg = r.percent(50);
      const Pair& power = w.p[static_cast<size_t>(e)];
      const Pair scaled = eneg ? div(m, power) : mul(m, power);
      auto ectx = [&] { return ctx() + (eneg ? " E-" : " E+") + std::to_string(e); };
      t.ext(scaled.s, scaled.x, ectx);
      t.num(soft_is_finite(scaled.s), x87_is_finite(scaled.x), ectx);
      m = scaled;
    }
    if (r.percent(30)) {
      const Pair n = neg(m);
      t.ext(n.s, n.x, ctx);
      m = n;
    }
    // Stored as a double: the frame rate.
    t.dbl(soft_to_double(m.s), x87_to_double(m.x), ctx);
  }
}

// TT2ST's steps: hours, minutes, seconds and hundredths of a time value.
TEST_F(ExtendedVsX87, TimeCodeText) {
  Tally t("time-code text");
  Rng r(kSeed ^ 6);
  const std::vector<double>& pool = time_codes();
  const Pair k3600 = pair_int(3600), k60 = pair_int(60), k100 = pair_int(100);
  for (int i = 0; i < 250000; ++i) {
    double v;
    const int kv = static_cast<int>(r.in(0, 99));
    if (kv < 30) {
      v = pool[r.u64() % pool.size()];
    } else if (kv < 45) {
      const double stop = pool[r.u64() % pool.size()];
      v = stop - pool[r.u64() % pool.size()];
    } else if (kv < 60) {
      // near a half hundredth, where the rounding of the hundredths turns
      v = (static_cast<double>(r.in(-40000000, 40000000)) + 0.5) / 100;
      if (r.percent(50)) v = std::nextafter(v, r.percent(50) ? 1e300 : -1e300);
    } else if (kv < 75) {
      v = static_cast<double>(r.in(-400000000, 400000000)) / 1000;
    } else if (kv < 90) {
      v = double_in(r, -1074 + 52, 40, true);
    } else {
      v = double_in(r, 20, 60, true);  // hours beyond 16 bits, seconds beyond 32
    }
    auto ctx = [&] { return "t = " + show(v); };
    const Pair x = pair_double(v);
    const Pair q1 = div(x, k3600);
    t.ext(q1.s, q1.x, ctx);
    const int32_t th = soft_trunc_i32(q1.s);
    t.num(th, x87_trunc_i32(q1.x), ctx);
    const int16_t h = static_cast<int16_t>(th);
    const Pair r1 = sub(x, pair_int(3600 * static_cast<int64_t>(h)));
    t.ext(r1.s, r1.x, ctx);
    const Pair q2 = div(r1, k60);
    t.ext(q2.s, q2.x, ctx);
    const int32_t tm = soft_trunc_i32(q2.s);
    t.num(tm, x87_trunc_i32(q2.x), ctx);
    const int16_t m = static_cast<int16_t>(tm);
    const Pair r2 = sub(r1, pair_int(60 * static_cast<int64_t>(m)));
    t.ext(r2.s, r2.x, ctx);
    const int32_t ts = soft_trunc_i32(r2.s);
    t.num(ts, x87_trunc_i32(r2.x), ctx);
    const int16_t s = static_cast<int16_t>(ts);
    const Pair frac = sub(r2, pair_int(s));
    t.ext(frac.s, frac.x, ctx);
    const Pair c = mul(frac, k100);
    t.ext(c.s, c.x, ctx);
    int32_t cs = 0, cx = 0;
    const bool oks = soft_round_i32(c.s, &cs), okx = x87_round_i32(c.x, &cx);
    t.num(oks, okx, ctx);
    if (oks && okx) t.num(cs, cx, ctx);
  }
}

// The reading-time rule's test: 20 * TK < n.
TEST_F(ExtendedVsX87, ReadingTimeComparison) {
  Tally t("reading-time comparison");
  Rng r(kSeed ^ 7);
  const std::vector<double>& pool = time_codes();
  const Pair twenty = pair_int(20);
  for (int i = 0; i < 300000; ++i) {
    int n = static_cast<int>(r.in(0, 255));
    if (r.percent(5)) n = static_cast<int>(r.in(INT32_MIN, INT32_MAX));
    double tk;
    const int kt = static_cast<int>(r.in(0, 99));
    if (kt < 30) {
      tk = n / 20.0;  // on the edge
      if (r.percent(60)) tk = std::nextafter(tk, r.percent(50) ? 1e300 : -1e300);
    } else if (kt < 50) {
      const int64_t frames = r.in(-100000, 200000);
      tk = soft_to_double(
          soft_div(soft_from_int(frames), soft_from_double(r.percent(50) ? 23.976 : 25)));
    } else if (kt < 70) {
      const double stop = pool[r.u64() % pool.size()];
      tk = stop - pool[r.u64() % pool.size()];
    } else if (kt < 85) {
      tk = double_in(r, -30, 12, true);
    } else {
      tk = any_finite_double(r);
    }
    auto ctx = [&] { return "20 * " + show(tk) + " < " + std::to_string(n); };
    const Pair p = mul(pair_double(tk), twenty);
    const Pair pn = pair_int(n);
    t.ext(p.s, p.x, ctx);
    t.num(soft_lt(p.s, pn.s), x87_lt(p.x, pn.x), ctx);
  }
}

// ---------------------------------------------------------------------------------------
// Raw operands over the whole range.

SoftExt special(Rng& r) {
  static const SoftExt s[] = {kZero, kNegZero, kInf, kNegInf, kNan, kNegNan};
  return r.pick(s);
}

uint64_t random_sig(Rng& r) {
  uint64_t sig = r.u64() | kTop;
  const int k = static_cast<int>(r.in(0, 9));
  if (k == 0) sig &= ~0ull << r.in(1, 63);  // few significant bits
  if (k == 1) sig = ~0ull - r.u64() % 4;    // all ones, nearly
  if (k == 2) sig = kTop + r.u64() % 4;     // a power of two, nearly
  return sig;
}

SoftExt raw_operand(Rng& r) {
  const int k = static_cast<int>(r.in(0, 99));
  const bool n = r.percent(50);
  if (k < 2) return special(r);
  if (k < 8) {
    uint64_t sig = r.u64();
    sig >>= r.in(1, 63);
    if (sig == 0) sig = 1;
    return Fin(sig, kEmin, n);
  }
  int32_t e;
  if (k < 40) {
    e = static_cast<int32_t>(r.in(-80, 80));
  } else if (k < 50) {
    e = static_cast<int32_t>(r.in(-1100, 1100));
  } else if (k < 55) {
    e = static_cast<int32_t>(r.in(kEmin, kEmin + 70));
  } else if (k < 60) {
    e = static_cast<int32_t>(r.in(kEmax - 70, kEmax));
  } else {
    e = static_cast<int32_t>(r.in(kEmin, kEmax));
  }
  return Fin(random_sig(r), e, n);
}

int32_t clamp_exp(int64_t e) {
  return static_cast<int32_t>(e < kEmin ? kEmin : e > kEmax ? kEmax : e);
}

// A second operand related to the first so that results land where rounding is hard.
SoftExt related_operand(Rng& r, const SoftExt& a) {
  if (a.cls != kSoftFinite) return raw_operand(r);
  const bool n = r.percent(50);
  const int k = static_cast<int>(r.in(0, 99));
  if (k < 30) {  // close exponents: alignment, carries, cancellation
    const uint64_t sig = random_sig(r);
    SoftExt b = Fin(sig, clamp_exp(static_cast<int64_t>(a.exp) + r.in(-70, 70)), n);
    if (b.exp == kEmin && r.percent(50)) b.sig >>= r.in(0, 63);
    if (b.sig == 0) b.sig = 1;
    return b;
  }
  if (k < 40) {  // the same magnitude: exact cancellation in a + b or a - b
    SoftExt b = a;
    b.neg = n;
    return b;
  }
  if (k < 55) {  // nearly the same magnitude
    SoftExt b = a;
    b.neg = n;
    const uint64_t delta = r.u64() % 8 + 1;
    if (r.percent(50) && b.sig > delta && (b.sig - delta) >= (b.exp == kEmin ? 1 : kTop)) {
      b.sig -= delta;
    } else if (b.sig + delta > b.sig) {
      b.sig += delta;  // a subnormal may become the smallest normal: still well formed
    }
    if (r.percent(20) && b.exp > kEmin && (b.sig & kTop)) {  // one binade lower, top bits set
      b.exp -= 1;
      b.sig |= kTop;
    }
    return b;
  }
  if (k < 70) {  // a product near the bottom of the range or past the top
    const int64_t target = r.percent(70) ? r.in(kEmin - 70, kEmin + 2) : r.in(kEmax - 2, kEmax + 1);
    return Fin(random_sig(r), clamp_exp(target - a.exp), n);
  }
  if (k < 85) {  // a quotient near the bottom of the range or past the top
    const int64_t target = r.percent(70) ? r.in(kEmin - 70, kEmin + 2) : r.in(kEmax - 2, kEmax + 1);
    return Fin(random_sig(r), clamp_exp(a.exp - target), n);
  }
  return raw_operand(r);
}

void compare_binary(Tally& t, const SoftExt& a, const SoftExt& b) {
  const Pair pa = pair_raw(a), pb = pair_raw(b);
  auto ctx = [&](const char* op) { return [&, op] { return show(a) + " " + op + " " + show(b); }; };
  const Pair s = add(pa, pb), d = sub(pa, pb), p = mul(pa, pb), q = div(pa, pb);
  t.ext(s.s, s.x, ctx("+"));
  t.ext(d.s, d.x, ctx("-"));
  t.ext(p.s, p.x, ctx("*"));
  t.ext(q.s, q.x, ctx("/"));
  t.num(soft_lt(a, b), x87_lt(pa.x, pb.x), ctx("<"));
  t.num(soft_lt(b, a), x87_lt(pb.x, pa.x), ctx(">"));
}

void compare_unary(Tally& t, const SoftExt& a) {
  const Pair pa = pair_raw(a);
  auto ctx = [&] { return show(a); };
  t.ext(pa.s, pa.x, ctx);  // the operand itself, which also checks the conversion
  const Pair n = neg(pa);
  t.ext(n.s, n.x, ctx);
  t.num(soft_trunc_i32(a), x87_trunc_i32(pa.x), ctx);
  int32_t rs = 0, rx = 0;
  const bool oks = soft_round_i32(a, &rs), okx = x87_round_i32(pa.x, &rx);
  t.num(oks, okx, ctx);
  if (oks && okx) t.num(rs, rx, ctx);
  t.num(soft_is_finite(a), x87_is_finite(pa.x), ctx);
}

TEST_F(ExtendedVsX87, RawOperands) {
  Tally t("raw operands");
  Rng r(kSeed ^ 8);
  for (int i = 0; i < 400000; ++i) {
    const SoftExt a = raw_operand(r);
    const SoftExt b = r.percent(60) ? related_operand(r, a) : raw_operand(r);
    compare_unary(t, a);
    compare_binary(t, a, b);
    compare_binary(t, b, a);
  }
}

// The full product of two 64-bit numbers, high and low halves (no 128-bit type on
// 32-bit targets).
void mul_64x64(uint64_t a, uint64_t b, uint64_t* hi, uint64_t* lo) {
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  *lo = (mid << 32) | (p00 & 0xFFFFFFFFu);
  *hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
}

uint64_t inverse_mod_2_64(uint64_t k) {  // k odd
  uint64_t inv = k;
  for (int i = 0; i < 6; ++i) inv *= 2 - k * inv;
  return inv;
}

// Operands whose exact result lies halfway between two neighbours.
TEST_F(ExtendedVsX87, HalfwayCases) {
  Tally t("halfway cases");
  Rng r(kSeed ^ 9);
  int add_ties = 0, mul_ties = 0;
  for (int i = 0; i < 100000; ++i) {
    const bool na = r.percent(50), nb = r.percent(50);
    {
      // a + b where the bits of b below a's last place are exactly one half of it.
      const int32_t ea =
          static_cast<int32_t>(r.percent(80) ? r.in(-200, 200) : r.in(kEmin + 70, kEmax));
      const SoftExt a = Fin(random_sig(r), ea, na);
      const int d = static_cast<int>(r.in(1, 64));
      uint64_t sb = d == 64 ? kTop : ((r.u64() | kTop) & (~0ull << d)) | (1ull << (d - 1));
      const SoftExt b = Fin(sb, ea - d, nb);
      if (na == nb && (d == 64 || a.sig + (sb >> d) >= a.sig)) ++add_ties;
      compare_binary(t, a, b);
    }
    {
      // k * b with k small and odd, b chosen so that the bits below the 64 kept are 100...0.
      const int j = static_cast<int>(r.in(2, 20));
      const uint64_t kk = (r.u64() & ((1ull << j) - 1)) | (1ull << (j - 1)) | 1;
      const uint64_t inv = inverse_mod_2_64(kk);
      SoftExt b{};
      bool tie = false;
      for (int drop = j; drop >= j - 1 && !tie; --drop) {
        const uint64_t mask = (1ull << drop) - 1;
        const uint64_t low = ((1ull << (drop - 1)) * inv) & mask;
        const uint64_t sb = ((r.u64() | kTop) & ~mask) | low;
        uint64_t prod_hi, prod_lo;
        mul_64x64(kk, sb, &prod_hi, &prod_lo);
        const int bitlen = 64 + (prod_hi >= (1ull << (j - 1)) ? j : j - 1);
        const bool exact_tie = bitlen - 64 == drop && (prod_lo & mask) == (1ull << (drop - 1));
        b = Fin(sb, 0, nb);
        tie = exact_tie;
      }
      mul_ties += tie;
      const int32_t ea = static_cast<int32_t>(r.in(-100, 100));
      b.exp = static_cast<int32_t>(r.percent(80) ? r.in(-100, 100)
                                                 : r.in(kEmin - ea - 70, kEmin - ea + 1));
      b.exp = clamp_exp(b.exp);
      const SoftExt a = Fin(kk << (64 - j), ea, na);
      compare_binary(t, a, b);
    }
    {
      // Scaling by a power of two into the subnormals: the bits shifted out are 100...0.
      const int k = static_cast<int>(r.in(1, 66));
      uint64_t sa = r.u64();
      if (k <= 64) sa = (sa & (~0ull << (k - 1) << 1)) | (1ull << (k - 1));
      if (sa == 0) sa = 1;
      const SoftExt a = Fin(sa, kEmin, na);
      const SoftExt half = Fin(kTop, -k, nb), two = Fin(kTop, k, nb);
      const Pair p = mul(pair_raw(a), pair_raw(half)), q = div(pair_raw(a), pair_raw(two));
      auto ctx = [&] { return show(a) + " scaled by 2^-" + std::to_string(k); };
      t.ext(p.s, p.x, ctx);
      t.ext(q.s, q.x, ctx);
    }
    {
      // Stored to a double halfway between two doubles, normal and subnormal.
      const int32_t e =
          static_cast<int32_t>(r.percent(50) ? r.in(-1022, 1023) : r.in(-1076, -1023));
      const int p = e >= -1022 ? 53 : e + 1075;  // bits the double keeps
      const int drop = 64 - p;
      uint64_t sig = r.u64() | kTop;
      if (drop >= 64) {
        sig = drop == 64 ? kTop : sig;
      } else {
        sig = (sig & (~0ull << drop)) | (1ull << (drop - 1));
      }
      if (r.percent(20)) sig += r.percent(50) ? 1 : -1;  // just off the halfway point
      const SoftExt a = Fin(sig | kTop, e, na);
      compare_unary(t, a);
    }
    {
      // k + 1/2, and values just beside it, for rounding to an integer.
      const int64_t k = r.percent(70) ? r.in(-1000, 1000) : r.in(-4294967296LL, 4294967296LL);
      SoftExt a = half_plus(k);
      if (r.percent(30) && a.cls == kSoftFinite) a.sig += r.percent(50) ? 1 : -1;
      if (a.cls == kSoftFinite && (a.sig & kTop) == 0) a.sig |= kTop;
      compare_unary(t, a);
      const SoftExt whole = soft_from_int(k);
      compare_unary(t, whole);
    }
  }
  std::printf("[   info   ] halfway cases: %d exact ties in add, %d in mul\n", add_ties, mul_ties);
  EXPECT_GT(add_ties, 10000);
  EXPECT_GT(mul_ties, 10000);
}

// Conversions from and to double over every kind of double and extended value.
TEST_F(ExtendedVsX87, Conversions) {
  Tally t("conversions");
  Rng r(kSeed ^ 10);
  for (int i = 0; i < 300000; ++i) {
    double d = from_bits(r.u64());
    if (r.percent(20)) d = from_bits(r.u64() & 0x800FFFFFFFFFFFFFull);  // subnormal
    // NaNs only without a payload: the integer implementation keeps none.
    if (std::isnan(d)) d = std::copysign(std::numeric_limits<double>::quiet_NaN(), d);
    auto ctx = [&] { return show(d); };
    const Pair p = pair_double(d);
    t.ext(p.s, p.x, ctx);
    t.dbl(soft_to_double(p.s), d, ctx);
    int64_t v = static_cast<int64_t>(r.u64());
    if (r.percent(50)) v >>= r.in(0, 63);
    const Pair pi = pair_int(v);
    t.ext(pi.s, pi.x, [&] { return std::to_string(v); });
    // Extended values around the double's range, both ends.
    const int32_t e = static_cast<int32_t>(r.percent(50) ? r.in(-1140, -1010) : r.in(1000, 1030));
    const uint64_t sig = random_sig(r);
    const SoftExt a = Fin(sig, e, r.percent(50));
    const Pair pa = pair_raw(a);
    t.dbl(soft_to_double(a), x87_to_double(pa.x), [&] { return show(a); });
  }
}

#else

TEST(ExtendedVsX87, NotAvailable) {
  GTEST_SKIP() << "no x87 here: only the known values are checked";
}

#endif  // EXT_TEST_X87

}  // namespace
