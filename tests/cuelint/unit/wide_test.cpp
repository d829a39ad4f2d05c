// The 128-bit integer: fixed cases on every target (32-bit ones have no 128-bit type of
// their own), and random ones against the compiler's own type where it has one.
#include "wide.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

using namespace cuelint;

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::uint64_t kAll = ~std::uint64_t{0};
constexpr std::uint64_t kTop = std::uint64_t{1} << 63;

Wide h(std::uint64_t hi, std::uint64_t lo) {
  return Wide::halves(hi, lo);
}

TEST(Wide, FixedCases) {
  struct Case {
    const char* what;
    Wide got, want;
  } cases[] = {
      {"-1", Wide(-1), h(kAll, kAll)},
      {"unsigned max", Wide(kAll), h(0, kAll)},
      {"int min", Wide(std::numeric_limits<int>::min()), h(kAll, 0xFFFFFFFF80000000ull)},
      {"(2^64-1)^2", mul_64x64(kAll, kAll), h(kAll - 1, 1)},
      {"2^32 * 2^32", mul_64x64(1ull << 32, 1ull << 32), h(1, 0)},
      {"max * max", Wide(kMax) * kMax, h(0x3FFFFFFFFFFFFFFFull, 1)},
      {"min * -1", Wide(kMin) * -1, h(0, kTop)},
      {"min * 2", Wide(kMin) * 2, h(kAll, 0)},
      {"-3 * 0", Wide(-3) * 0, h(0, 0)},
      {"-2^64 * -2^64 wraps", h(kAll, 0) * h(kAll, 0), h(0, 0)},
      {"carry into the high half", h(0, kAll) + 1, h(1, 0)},
      {"borrow from it", h(1, 0) - 1, h(0, kAll)},
      {"-1 + 1", Wide(-1) + 1, h(0, 0)},
      {"wraps at the top", h(kTop - 1, kAll) + 1, h(kTop, 0)},
      {"-(2^64)", -h(1, 0), h(kAll, 0)},
      {"2^64 / 4", h(1, 0) / 4, h(0, 1ull << 62)},
      {"-7 / 2 toward zero", Wide(-7) / 2, Wide(-3)},
      {"-7 % 2 as the dividend", Wide(-7) % 2, Wide(-1)},
      {"7 / -2", Wide(7) / -2, Wide(-3)},
      {"7 % -2", Wide(7) % -2, Wide(1)},
      {"-8 / -2", Wide(-8) / -2, Wide(4)},
      {"-8 % 2", Wide(-8) % 2, Wide(0)},
      {"(max * 1000 + 999) / 1000", (Wide(kMax) * 1000 + 999) / 1000, Wide(kMax)},
      {"(max * 1000 + 999) % 1000", (Wide(kMax) * 1000 + 999) % 1000, Wide(999)},
      {"(min * 3 - 2) / 3", (Wide(kMin) * 3 - 2) / 3, Wide(kMin)},
      {"(min * 3 - 2) % 3", (Wide(kMin) * 3 - 2) % 3, Wide(-2)},
      // (2^128 - 1) / (2^64 + 1) = 2^64 - 1, unsigned, through a divisor past 64 bits.
      {"over a wide divisor", h(kTop - 1, kAll) / h(1, 1), h(0, 0x7FFFFFFFFFFFFFFFull)},
      {"its remainder", h(kTop - 1, kAll) % h(1, 1), h(0, kTop)},
      {"a divisor with its top bit next to the sign", h(kTop - 1, 5) / h(0x4000000000000000ull, 0),
       Wide(1)},
      {"a smaller dividend", Wide(5) / h(1, 0), Wide(0)},
      {"and its remainder", Wide(-5) % h(1, 0), Wide(-5)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.got.hi(), c.want.hi()) << c.what;
    EXPECT_EQ(c.got.lo(), c.want.lo()) << c.what;
  }
  EXPECT_EQ(static_cast<std::int64_t>(Wide(kMin) * 3 / 3), kMin);
  EXPECT_EQ(static_cast<std::int64_t>(h(5, kTop + 7)), kMin + 7);  // the low 64 bits
}

TEST(Wide, Order) {
  // Increasing, across the sign and the halves.
  const Wide ordered[] = {h(kTop, 0), h(kTop, 1), h(kAll, 0), Wide(kMin),
                          Wide(-2),   Wide(-1),   Wide(0),    Wide(1),
                          Wide(kMax), h(0, kAll), h(1, 0),    h(kTop - 1, kAll)};
  const int n = static_cast<int>(sizeof ordered / sizeof ordered[0]);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      EXPECT_EQ(ordered[i] < ordered[j], i < j) << i << " " << j;
      EXPECT_EQ(ordered[i] <= ordered[j], i <= j) << i << " " << j;
      EXPECT_EQ(ordered[i] > ordered[j], i > j) << i << " " << j;
      EXPECT_EQ(ordered[i] >= ordered[j], i >= j) << i << " " << j;
      EXPECT_EQ(ordered[i] == ordered[j], i == j) << i << " " << j;
      EXPECT_EQ(ordered[i] != ordered[j], i != j) << i << " " << j;
    }
  }
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 i128;
__extension__ typedef unsigned __int128 u128;

TEST(Wide, AgainstTheCompilersType) {
  std::mt19937_64 rng(17);
  // Numbers of every width from 1 to 128 bits, of both signs: the two's complement of a
  // random magnitude, so the edges (0, -1, 2^64, the most negative) come up as well.
  auto value = [&] {
    const int bits = static_cast<int>(rng() % 128) + 1;
    u128 m = (static_cast<u128>(rng()) << 64) | rng();
    if (bits < 128) m >>= 128 - bits;
    if (rng() % 16 == 0) m = static_cast<u128>(1) << (bits - 1);  // powers of two
    return static_cast<i128>(rng() & 1 ? m : ~m);
  };
  auto make = [](i128 x) {
    const u128 u = static_cast<u128>(x);
    return Wide::halves(static_cast<std::uint64_t>(u >> 64), static_cast<std::uint64_t>(u));
  };
  auto same = [](Wide w, i128 x) {
    const u128 u = static_cast<u128>(x);
    return w.hi() == static_cast<std::uint64_t>(u >> 64) && w.lo() == static_cast<std::uint64_t>(u);
  };
  auto wrap = [](u128 u) { return static_cast<i128>(u); };  // wrapping, as Wide does
  const i128 lowest = static_cast<i128>(static_cast<u128>(1) << 127);
  int wrong = 0, divisions = 0;
  for (int i = 0; i < 100000; ++i) {
    const i128 x = value(), y = value();
    const Wide a = make(x), b = make(y);
    const u128 ux = static_cast<u128>(x), uy = static_cast<u128>(y);
    wrong += !same(a + b, wrap(ux + uy));
    wrong += !same(a - b, wrap(ux - uy));
    wrong += !same(a * b, wrap(ux * uy));
    wrong += !same(-a, wrap(0 - ux));
    wrong += (a < b) != (x < y);
    wrong += (a == b) != (x == y);
    wrong += static_cast<std::int64_t>(a) != static_cast<std::int64_t>(x);
    // Built-in operands convert as they would to __int128.
    const std::int64_t s = static_cast<std::int64_t>(rng());
    const std::uint64_t u = rng();
    wrong += !same(a * s + u, wrap(ux * static_cast<u128>(static_cast<i128>(s)) + u));
    if (y != 0 && !(x == lowest && y == -1)) {
      ++divisions;
      wrong += !same(a / b, x / y);
      wrong += !same(a % b, x % y);
    }
    // A divisor within 64 bits, the way the checks divide.
    const std::int64_t d = s == 0 ? 7 : s;
    if (!(x == lowest && d == -1)) {
      wrong += !same(a / d, x / d);
      wrong += !same(a % d, x % d);
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(divisions, 95000);
}
#endif

}  // namespace
