// The display time's two-sum path and the table of thresholds against the extended
// arithmetic they stand in for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "readtime.h"
#include "short_text.h"
#include "test_random.h"
#include "timecode.h"

namespace {

bool same_bits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

double time_code(int ms_total) {
  char tc[32];
  int ms = ms_total % 1000, s = ms_total / 1000;
  std::snprintf(tc, sizeof tc, "%02d:%02d:%02d,%03d", s / 3600, s / 60 % 60, s % 60, ms);
  return ST2TT(S(tc));
}

TEST(DisplayTimeExact, TimeCodePairs) {
  // Start and stop times as ST2TT forms them: starts spread over 100 hours, stops from 5 s
  // before to 30 s after, in milliseconds: 4 million pairs.
  long differ = 0, compared = 0;
  for (int start = 0; start < 360000000; start += 9001) {
    const double a = time_code(start);
    for (int d = -5000; d < 30000; d += 347) {
      if (start + d < 0 || start + d >= 360000000) continue;
      const double b = time_code(start + d);
      ++compared;
      if (!same_bits(display_time_two_sum(b, a), display_time_extended(b, a)) && ++differ < 10)
        ADD_FAILURE() << a << " " << b;
    }
  }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(compared, 3000000);
}

TEST(DisplayTimeExact, RandomDoublesOfAnyMagnitude) {
  // Pairs whose difference is rarely exact: the extended path must decide those.
  uint64_t x = 3;
  long differ = 0;
  for (int i = 0; i < 2000000; ++i) {
    uint64_t r1 = next(x), r2 = next(x);
    uint64_t b1 = (r1 & 0x800FFFFFFFFFFFFFull) | ((1023 - 40 + (r1 >> 56) % 70) << 52);
    uint64_t b2 = (r2 & 0x800FFFFFFFFFFFFFull) | ((1023 - 40 + (r2 >> 56) % 70) << 52);
    double a, b;
    std::memcpy(&a, &b1, sizeof a);
    std::memcpy(&b, &b2, sizeof b);
    if (!same_bits(display_time_two_sum(b, a), display_time_extended(b, a)) && ++differ < 10)
      ADD_FAILURE() << a << " " << b;
  }
  EXPECT_EQ(differ, 0);
  EXPECT_TRUE(same_bits(display_time_two_sum(0.15, 0.0), 0.15));
  EXPECT_TRUE(std::isnan(display_time_two_sum(HUGE_VAL, HUGE_VAL)));
}

TEST(TooShortTable, AgainstTheExactComparison) {
  // Every count with durations near its threshold (50 doubles each side), every whole
  // millisecond from -3 s to 30 s, and frame counts at common rates: 13 million.
  long differ = 0, compared = 0;
  auto check = [&](double tk, int n) {
    ++compared;
    if (too_short_table(tk, n) != too_short_extended(tk, n) && ++differ < 10)
      ADD_FAILURE() << tk << " " << n;
  };
  for (int n = 0; n < 256; ++n) {
    double up = n / 20.0, down = up;
    for (int k = 0; k < 50; ++k) {
      check(up, n);
      check(down, n);
      up = std::nextafter(up, HUGE_VAL);
      down = std::nextafter(down, -HUGE_VAL);
    }
    for (int ms = -3000; ms <= 30000; ms += 1) check(ms / 1000.0, n);
    for (int f = -100; f <= 2000; ++f) {
      check(f / 25.0, n);
      check(f / 23.976, n);
      check(f / 20.0, n);
    }
  }
  check(std::nan(""), 0);
  check(-HUGE_VAL, 255);
  EXPECT_EQ(differ, 0);
  EXPECT_GT(compared, 10000000);
  EXPECT_FALSE(too_short_table(0.05, 1));  // the double nearest 0.05 lies above 1/20
  EXPECT_TRUE(too_short_table(0.15, 3));   // and the one nearest 0.15 below 3/20
}

TEST(LengCount, AgainstByteByByte) {
  // Two lines of every length (mostly under 64), spaces past the lengths too: 2 million.
  uint64_t x = 29;
  long differ = 0;
  ShortStr a, b;
  for (int round = 0; round < 2000000; ++round) {
    uint64_t r = next(x), c = next(x);
    for (int i = 0; i < 256; i += 8, c = next(x)) {
      for (int j = 0; j < 8; ++j) {
        a.b[i + j] = (c >> (2 * j)) & 1 ? ' ' : 'a';
        b.b[i + j] = (c >> (2 * j + 1)) & 1 ? ' ' : '\t';
      }
    }
    a.b[0] = static_cast<unsigned char>(r % 7 == 0 ? r >> 8 : (r >> 8) % 66);
    b.b[0] = static_cast<unsigned char>(r % 5 == 0 ? r >> 16 : (r >> 16) % 66);
    int want = 0;
    for (int i = 1; i <= a.b[0]; ++i) want += a.b[i] != ' ';
    for (int i = 1; i <= b.b[0]; ++i) want += b.b[i] != ' ';
    if (LENG(a, b) != (want & 0xFF) && ++differ < 10) ADD_FAILURE() << round;
  }
  EXPECT_EQ(differ, 0);
}

}  // namespace
