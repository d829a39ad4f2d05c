// The fixed-point output's rounding, read from the double's bits, against the same
// rounding formed with frexp and ldexp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "numconv.h"
#include "test_random.h"

namespace {

// round(ax * 1000), ties away from zero, on the exact value: the significand from frexp.
uint64_t reference_thousandths(double ax) {
  if (ax == 0) return 0;
  int k = 0;
  double f = std::frexp(ax, &k);
  uint64_t q = static_cast<uint64_t>(std::ldexp(f, 53)) * 1000;
  int sh = 53 - k;
  if (sh <= 0) return q << -sh;
  if (sh >= 64) return 0;
  uint64_t r = q >> sh;
  if ((q & ((1ull << sh) - 1)) >= (1ull << (sh - 1))) ++r;
  return r;
}

std::string reference(double x) {
  uint64_t r = reference_thousandths(std::fabs(x));
  char t[64];
  std::snprintf(t, sizeof t, "%s%llu.%03llu", std::signbit(x) ? "-" : "",
                static_cast<unsigned long long>(r / 1000),
                static_cast<unsigned long long>(r % 1000));
  return t;
}

std::string fixed(double x) {
  char t[kFixedTextMax];
  return std::string(t, fixed_text(x, 2, 3, t));
}

TEST(FixedTextBits, RandomDoublesBelowTenToThe13) {
  // Random bits at every exponent below 2^43 (under 10^13), subnormals included.
  uint64_t x = 5;
  long differ = 0, compared = 0;
  for (int i = 0; i < 2000000; ++i) {
    uint64_t r = next(x);
    uint64_t exp = (r >> 53) % (1023 + 43);  // below 2^43
    uint64_t bits = (r & 0x800FFFFFFFFFFFFFull) | (exp << 52);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    ++compared;
    if (fixed(v) != reference(v) && ++differ < 10) ADD_FAILURE() << v;
  }
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(compared, 2000000);
}

TEST(FixedTextBits, DurationsAndTheirNeighbours) {
  // Display times as the checkers form them (milliseconds, hundredths, frames at common
  // rates, n/20), the doubles next to them and exact ties in the third decimal.
  long differ = 0;
  auto check = [&](double v) {
    for (double u : {v, std::nextafter(v, -1e300), std::nextafter(v, 1e300), -v}) {
      if (fixed(u) != reference(u) && ++differ < 10) ADD_FAILURE() << u;
    }
  };
  for (int ms = 0; ms < 400000; ++ms) check(ms / 1000.0);
  for (int f = 0; f < 100000; ++f) {
    check(f / 25.0);
    check(f / 23.976);
    check(f / 29.97);
  }
  for (int k = 0; k < 200000; ++k) check((2 * k + 1) / 16.0);  // x.0625, x.1875, ...
  for (int n = 0; n < 256; ++n) check(n / 20.0);
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(fixed(0.0625), "0.063");
  EXPECT_EQ(fixed(-0.0), "-0.000");
}

}  // namespace

namespace {

TEST(IntegerText, AgainstPrintf) {
  // Every value within a million of 0 and of both ends of the range, and 4 million spread
  // over the rest.
  long differ = 0;
  auto check = [&](int32_t v) {
    char want[16], got[16];
    const int n = std::snprintf(want, sizeof want, "%d", v);
    const size_t len = int_to_text(v, got);
    if ((len != static_cast<size_t>(n) || std::memcmp(got, want, len) != 0) && ++differ < 10)
      ADD_FAILURE() << v;
  };
  for (int32_t v = -1000000; v <= 1000000; ++v) check(v);
  for (int32_t k = 0; k < 1000000; ++k) {
    check(INT32_MIN + k);
    check(INT32_MAX - k);
  }
  uint64_t x = 41;
  for (int i = 0; i < 4000000; ++i) check(static_cast<int32_t>(next(x)));
  EXPECT_EQ(differ, 0);
}

}  // namespace
