// The 128-bit helper: fixed cases on every target, and random ones against the compiler's
// own 128-bit type where it has one.
#include "wide.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

using namespace cuelint;

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

Wide make(bool neg, std::uint64_t hi, std::uint64_t lo) {
  Wide w;
  w.neg = neg;
  w.hi = hi;
  w.lo = lo;
  return w;
}

TEST(Wide, FixedCases) {
  struct Case {
    Wide got, want;
  } cases[] = {
      {mul_64x64(~0ull, ~0ull), make(false, ~0ull - 1, 1)},  // (2^64-1)^2
      {mul_64x64(1ull << 32, 1ull << 32), make(false, 1, 0)},
      {mul_64x64(0xFFFFFFFFull, 0x100000001ull), make(false, 0, 0xFFFFFFFFFFFFFFFFull)},
      {wide(kMax) * kMax, make(false, 0x3FFFFFFFFFFFFFFFull, 1)},
      {wide(kMin) * -1, make(false, 0, 1ull << 63)},
      {wide(kMin) * 2, make(true, 1, 0)},
      {wide(-3) * 0, make(false, 0, 0)},
      {make(false, 1, 0) + -1, make(false, 0, ~0ull)},
      {make(true, 1, 0) + 1, make(true, 0, ~0ull)},
      {wide(5) + -5, make(false, 0, 0)},
      {wide(-5) + 7, make(false, 0, 2)},
      {wide(~0ll ^ kMin) + 1, make(false, 0, 1ull << 63)},
      {make(false, 0, ~0ull) + 1, make(false, 1, 0)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.got.neg, c.want.neg);
    EXPECT_EQ(c.got.hi, c.want.hi);
    EXPECT_EQ(c.got.lo, c.want.lo);
  }
}

TEST(Wide, DivisionAndOrder) {
  struct Case {
    Wide a;
    std::int64_t d, want;
  } cases[] = {
      {wide(7), 2, 3},
      {wide(-7), 2, -4},  // down, not toward zero
      {wide(-8), 2, -4},
      {wide(0), 5, 0},
      {make(false, 1, 0), 4, 1ll << 62},  // 2^64 / 4
      {wide(kMax) * 1000 + 999, 1000, kMax},
      {wide(kMin) * 1000, 1000, kMin},
      {wide(kMin) * 3 + 2, 3, kMin},  // a dividend past 64 bits, a quotient within
  };
  for (const Case& c : cases) EXPECT_EQ(div_floor(c.a, c.d), c.want);
  EXPECT_TRUE(wide(-1) < wide(0));
  EXPECT_TRUE(wide(-2) < wide(-1));
  EXPECT_TRUE(wide(kMax) < wide(kMax) * 2);
  EXPECT_FALSE(wide(3) < wide(3));
  EXPECT_TRUE(wide(kMin) * 2 < wide(kMin));
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 i128;
__extension__ typedef unsigned __int128 u128;

TEST(Wide, AgainstTheCompilersType) {
  std::mt19937_64 rng(17);
  auto value = [&] {
    // Numbers of every size: small, near the 32- and 64-bit edges, and any.
    std::uint64_t r = rng();
    int bits = static_cast<int>(rng() % 64) + 1;
    std::int64_t v = static_cast<std::int64_t>(bits == 64 ? r : r >> (64 - bits));
    return rng() & 1 ? v : ~v;
  };
  auto same = [](Wide w, i128 x) {
    u128 m = x < 0 ? -static_cast<u128>(x) : static_cast<u128>(x);
    return w.neg == (x < 0) && w.hi == static_cast<std::uint64_t>(m >> 64) &&
           w.lo == static_cast<std::uint64_t>(m);
  };
  int wrong = 0;
  for (int i = 0; i < 200000; ++i) {
    std::int64_t a = value(), b = value() >> 32, c = value();
    Wide w = wide(a) * b + c;
    i128 x = static_cast<i128>(a) * b + c;
    if (!same(w, x)) ++wrong;
    std::int64_t d = value();
    if (d < 0) d = -(d + 1);
    if (d == 0) d = 1;
    i128 q = x / d - ((x % d) < 0 ? 1 : 0);
    if (q >= kMin && q <= kMax && div_floor(w, d) != static_cast<std::int64_t>(q)) ++wrong;
    std::int64_t e = value();
    i128 y = static_cast<i128>(e) * (c >> 33);
    if ((w < wide(e) * (c >> 33)) != (x < y)) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
}
#endif

}  // namespace
