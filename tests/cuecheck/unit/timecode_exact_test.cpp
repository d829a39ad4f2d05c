// TT2ST's whole-number path against the extended path it stands in for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "short_text.h"
#include "test_random.h"
#include "timecode.h"

namespace {

std::string fast(double t) {
  ShortStr s;
  TT2ST(t, s);
  return std::string(ss_chars(s), ss_len(s));
}

std::string extended(double t) {
  ShortStr s;
  tt2st_extended(t, s);
  return std::string(ss_chars(s), ss_len(s));
}

// A field of `width` characters in the forms the 16-bit conversion accepts: zero-padded,
// blank-padded, or with a minus sign.
void put_field(char* p, int v, int width) {
  char text[8];
  if (v < 0) {
    std::snprintf(text, sizeof text, "-%0*d", width - 1, -v);
  } else {
    std::snprintf(text, sizeof text, "%0*d", width, v);
  }
  std::memcpy(p, text, static_cast<size_t>(width));
}

// Deterministic 64-bit generator (splitmix64).
TEST(TimeToTextExact, EveryMillisecondOfManyTimeCodes) {
  // All 1099 millisecond fields (-99..999) with hours -9..99 and a spread of minutes and
  // seconds, each through ST2TT as the checkers form it: 3.5 million times.
  long compared = 0, differ = 0;
  char tc[13] = "00:00:00,000";
  for (int h = -9; h <= 99; ++h) {
    for (int m = -9; m <= 99; m += 19) {
      for (int s = -9; s <= 99; s += 23) {
        put_field(tc, h, 2);
        put_field(tc + 3, m, 2);
        put_field(tc + 6, s, 2);
        for (int ms = -99; ms <= 999; ++ms) {
          put_field(tc + 9, ms, 3);
          double t = ST2TT(S(std::string(tc, 12)));
          if (fast(t) != extended(t) && ++differ < 10) ADD_FAILURE() << tc << " " << t;
          ++compared;
        }
      }
    }
  }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(compared, 3000000);
}

TEST(TimeToTextExact, HundredthsTiesAndNeighbours) {
  // Exact ties in the hundredths (x.125, x.375, ...) and the doubles next to them, over
  // every whole second of 0..10 hours, both signs.
  long differ = 0;
  for (int w = 0; w < 36000; ++w) {
    for (double f : {0.125, 0.375, 0.625, 0.875, 0.005, 0.995, 0.5}) {
      double t = w + f;
      for (double u :
           {t, std::nextafter(t, 0.0), std::nextafter(t, 1e9), -t, -std::nextafter(t, 0.0)}) {
        if (fast(u) != extended(u) && ++differ < 10) ADD_FAILURE() << u;
      }
    }
  }
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(fast(0.125), "0:0:0.12");
  EXPECT_EQ(fast(0.375), "0:0:0.38");
  EXPECT_EQ(fast(-61.5), "0:-1:-1.-50");
}

TEST(TimeToTextExact, RandomDoublesOfEveryMagnitude) {
  // Any double below 2^20 in magnitude takes the whole-number path; random significands
  // at every exponent from 2^-30 to 2^21, both signs: 2 million values.
  uint64_t x = 11;
  long differ = 0;
  for (int i = 0; i < 2000000; ++i) {
    uint64_t r = next(x);
    uint64_t exp = 1023 - 30 + (r >> 58) % 52;  // 2^-30 .. 2^21
    uint64_t bits = (r & 0x800FFFFFFFFFFFFFull) | (exp << 52);
    double t;
    std::memcpy(&t, &bits, sizeof t);
    if (fast(t) != extended(t) && ++differ < 10) ADD_FAILURE() << t;
  }
  EXPECT_EQ(differ, 0);
}

TEST(TimeToTextExact, Boundaries) {
  for (double t : {0.0, -0.0, 5e-324, -5e-324, 0.0004, 0.00049, 0.000488, 0.0049999, 0.005, -0.005,
                   1048575.994, 1048575.995, 1048576.0, -1048576.0, 3599.999, 362439.999,
                   -32949.099, 3600.0, 3599.995}) {
    EXPECT_EQ(fast(t), extended(t)) << t;
  }
}

}  // namespace
