#include "timecode.h"

#include <gtest/gtest.h>

#include "short_text.h"

#include <cstring>
#include <string>

#include "globals.h"

namespace {

std::string T(double t) {
  ShortStr s;
  TT2ST(t, s);
  return std::string(ss_chars(s), ss_len(s));
}

TEST(TimeToText, WorkedExamples) {
  const std::pair<double, const char*> cases[] = {
      {0, "0:0:0.0"},
      {61.5, "0:1:1.50"},
      {3725.126, "1:2:5.13"},
      {44.4, "0:0:44.40"},
      {3.07, "0:0:3.7"},
      {59.999, "0:0:59.100"},
      {0.125, "0:0:0.12"},
      {0.375, "0:0:0.38"},
      {36000, "10:0:0.0"},
      {362439.999, "100:40:39.100"},
      {-61.5, "0:-1:-1.-50"},
      {-3600, "-1:0:0.0"},
      {3599.999, "0:59:59.100"},
      {-32949.099, "-9:-9:-9.-10"},
  };
  for (const auto& c : cases) EXPECT_EQ(T(c.first), c.second) << c.first;
}

TEST(TextToTime, WorkedExamplesAndEdgeCases) {
  const std::pair<const char*, double> cases[] = {
      {"01:02:05,126", 3725.126},
      {"00:00:44.400", 44.4},
      {"00-00-41;500", 41.5},
      {"-1:00:00,000", -3600},
      {"ab:cd:ef,ghi", 0},
      {"01.02.05.126", 3725.126},
      {"01x02x05x126", 3725.126},
      {"0:00:41,000 ", 0},  // a one-digit hour shifts every field
      {" 1: 2: 3, 45", 3723.045},
      {"00:00:01,5 -", 1},  // anything after the digits makes the
                            // field 0
      {"00:00:00,125", 0.125},
      {"00:00:03,070", 3.07},
      {"99:99:99,999", 362439.999},
      {"-9:-9:-9,-99", -32949.099},
      {"$A:00:00,000", 36000},
      {"00:00:00,+50", 0.05},
      {"00:00:00,050", 0.05},
      {"00:00:00,150", 0.15},
  };
  for (const auto& c : cases) EXPECT_EQ(ST2TT(S(c.first)), c.second) << c.first;
}

TEST(TextToTime, CodeHoldsTheMillisecondsField) {
  g.CODE = 0;
  ST2TT(S("xx:00:00,000"));
  EXPECT_EQ(g.CODE, 0);
  ST2TT(S("00:00:00,0x0"));
  EXPECT_EQ(g.CODE, 2);
}

// Times read from time codes print back with their hundredths rounded, ties to even.
TEST(TextToTime, RoundTripThroughTheTextForm) {
  EXPECT_EQ(T(ST2TT(S("00:00:00,125"))), "0:0:0.12");
  EXPECT_EQ(T(ST2TT(S("00:00:03,070"))), "0:0:3.7");
  EXPECT_EQ(T(ST2TT(S("09:59:59,999"))), "9:59:59.100");
  EXPECT_EQ(T(ST2TT(S("00:00:41.000"))), "0:0:41.0");
}

}  // namespace
