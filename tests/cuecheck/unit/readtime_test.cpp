#include "readtime.h"

#include <gtest/gtest.h>

#include "short_text.h"

#include <string>

#include "globals.h"

namespace {

TEST(Length, CountsEverythingButTheSpace) {
  struct Case {
    std::string a, b;
    int n;
  };
  const Case cases[] = {
      {"", "", 0},
      {"Hello world", "", 10},
      {"a|b", "", 3},
      {"one[br]two", "", 10},
      {"     ", "", 0},
      {"\t", "", 1},
      {"ab", " c d", 4},
      {std::string(200, 'x'), std::string(100, 'y'), 44},
      {std::string(255, 'x'), "x", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(LENG(S(c.a), S(c.b)), c.n) << c.a << "|" << c.b;
}

TEST(ReadingTime, ComparedExactlyAgainstTwentiethsOfASecond) {
  EXPECT_FALSE(too_short(0.05, 1));  // the double nearest 0.05 lies above 1/20
  EXPECT_TRUE(too_short(0.15, 3));   // the double nearest 0.15 lies below 3/20
  EXPECT_FALSE(too_short(1.0, 20));
  EXPECT_TRUE(too_short(1.0, 21));
  EXPECT_FALSE(too_short(0.0, 0));
  EXPECT_TRUE(too_short(-0.0, 1));
  EXPECT_TRUE(too_short(-1.0, 0));
  EXPECT_FALSE(too_short(2.0, 40));  // two frames with "-" and 40 characters
  EXPECT_TRUE(too_short(2.0, 41));
  for (int n = 0; n <= 255; n += 5) EXPECT_FALSE(too_short(n / 20.0, n)) << n;
}

TEST(ReadingTime, TheRuleWritesItsDurationsLineAfterTheMessage) {
  reset_globals();
  out_open_sink(g.OUTF);
  ss_set(g.FPSS, "on");
  g.TK = 0.15;
  reading_time_rule(S("abc"), S(""), true, FaultKind::kTooShortIn, 4, 0, 0, 0);
  EXPECT_EQ(g.TCOUNT, 0.15);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(g.OUTF.buf), g.OUTF.len),
            "The line stays out too short, in 4\r\n0.150,0.150\r\n");
  g.OUTF.len = 0;
  ss_set(g.FPSS, "off");
  reading_time_rule(S("abc"), S(""), true, FaultKind::kTooShortIn, 4, 0, 0, 0);
  EXPECT_EQ(g.OUTF.len, 0u);
  reading_time_rule(S("abc"), S(""), false, FaultKind::kTooShortInLine, 4, 7, 0, 0);  // no gate
  EXPECT_EQ(std::string(reinterpret_cast<char*>(g.OUTF.buf), g.OUTF.len),
            "The line stays out too short, in line 4 frame number: 7\r\n0.150,0.150\r\n");
  g.TK = 5;
  g.OUTF.len = 0;
  reading_time_rule(S(std::string(200, 'x')), S(std::string(100, 'x')), false,
                    FaultKind::kTooShortInLine, 1, 0, 0, 0);
  EXPECT_EQ(g.TCOUNT, 2.2);  // the count wrapped to 44
  EXPECT_EQ(g.OUTF.len, 0u);
  reset_globals();
}

}  // namespace
