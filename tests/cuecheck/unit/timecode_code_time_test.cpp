// Times kept as whole milliseconds against ST2TT's doubles: the same double when formed,
// the same order, and the same reading-time decision.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "globals.h"
#include "readtime.h"
#include "short_text.h"
#include "timecode.h"

namespace {

bool same_bits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string code(int32_t ms, char sep) {
  char t[32];
  const int32_t s = ms / 1000;
  std::snprintf(t, sizeof t, "%02d:%02d:%02d%c%03d", s / 3600, s / 60 % 60, s % 60, sep, ms % 1000);
  return t;
}

TEST(CodeTime, PlainCodesFormSt2ttsDouble) {
  // Every millisecond of every 97th second up to 99:59:59, and every second with 0, 1,
  // 500 and 999 ms; minutes and seconds up to 99 as the fields allow: 4 million codes.
  long differ = 0, compared = 0;
  auto check = [&](const std::string& text) {
    ShortStr line = S(text);
    CodeTime t = code_time(line, 1, 12);
    ++compared;
    if ((t.ms < 0 || !same_bits(time_value(t), ST2TT(S(text)))) && ++differ < 10)
      ADD_FAILURE() << text;
  };
  for (int32_t s = 0; s < 360000; s += 97) {
    for (int ms = 0; ms < 1000; ++ms) check(code(s * 1000 + ms, ','));
  }
  for (int32_t s = 0; s < 360000; ++s) {
    for (int ms : {0, 1, 500, 999}) check(code(s * 1000 + ms, ','));
  }
  check("99:99:99,999");
  check("00:99:00,000");
  EXPECT_EQ(differ, 0);
  EXPECT_GT(compared, 4000000);
}

TEST(CodeTime, OtherCodesTakeSt2tt) {
  for (const char* text : {"0:00:41,000 ", " 1: 2: 3, 45", "-1:00:00,000", "00:00:01,5 -",
                           "$A:00:00,000", "ab:cd:ef,ghi", "00:00:00,+50", "00:0x:00,000"}) {
    ShortStr line = S(text);
    CodeTime t = code_time(line, 1, 12);
    EXPECT_EQ(t.ms, -1) << text;
    EXPECT_TRUE(same_bits(t.value, ST2TT(S(text)))) << text;
  }
  // The hundredths form: eleven characters and a "0".
  ShortStr line = S("01:02:03.45,01:02:04.56");
  CodeTime a = code_time(line, 1, 0), b = code_time(line, 13, 0);
  EXPECT_EQ(a.ms, 3723450);
  EXPECT_TRUE(same_bits(time_value(b), ST2TT(S("01:02:04.560"))));
}

TEST(CodeTime, OrderAndReadingTimeAsTheDoubles) {
  // Starts spread over 100 hours; durations at, next to and around n/20 for every count,
  // and order tests both ways: 2.7 million pairs.
  long differ = 0, compared = 0;
  for (int32_t start = 0; start < 360000000 - 20000; start += 200003) {
    for (int n = 0; n < 256; ++n) {
      for (int32_t d : {50 * n - 1, 50 * n, 50 * n + 1, 50 * n - 50, 50 * n + 7, -3 * n}) {
        const int32_t stop = start + d;
        if (stop < 0) continue;
        CodeTime a{start, false, 0}, b{stop, false, 0};
        const double da = ST2TT(S(code(start, ','))), db = ST2TT(S(code(stop, ',')));
        const bool want_short = too_short(display_time(db, da), n);
        ++compared;
        if ((reading_time_short(a, b, n) != want_short || time_less(b, a) != (db < da) ||
             time_less(a, b) != (da < db)) &&
            ++differ < 10)
          ADD_FAILURE() << start << " " << stop << " " << n;
      }
    }
  }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(compared, 2500000);
}

}  // namespace
