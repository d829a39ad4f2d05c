#include "report.h"

#include <gtest/gtest.h>

#include "short_text.h"

#include <string>

#include "globals.h"
#include "readtime.h"

namespace {

std::string M(uint8_t kind, int32_t a, int32_t b, double t1, double t2) {
  char out[kMessageMax];
  return std::string(out, message_text(kind, a, b, t1, t2, out));
}

TEST(MessageCatalogue, EveryKind) {
  struct Case {
    uint8_t kind;
    int32_t a, b;
    double t1, t2;
    const char* text;
  };
  const Case cases[] = {
      {0, 7, -5, 0, 0, "Invalid frame code in line 7 frame number: -5"},
      {1, 3, 100, 0, 0, "Invalid character [br] in line 3 frame number: 100"},
      {2, 12, 300, 0, 0, "Invalid frame code in lines 12, 11 frame number: 300"},
      {3, 4, 9, 0, 0, "Invalid time code in 4"},
      {4, 1, 0, 0, 0, "Invalid time code in 1, 0"},
      {4, 0, 0, 0, 0, "Invalid time code in 0, -1"},
      {4, INT32_MIN, 0, 0, 0, "Invalid time code in -2147483648, 2147483647"},
      {5, 2, 0, 0, 0, "Invalid character [br] or | in 2"},
      {6, 8, 0, 0, 0, "Three lines error in 8"},
      {7, 0, 0, 1.5, 1.4, "Invalid time code at 0:0:1.50"},
      {8, 0, 0, 1.0, 2.0, "Invalid time code at 0:0:1.0, 0:0:2.0"},
      {9, 0, 0, 3725.126, 0, "Invalid character | at 1:2:5.13"},
      {10, 0, 0, -61.5, 0, "Second line error at 0:-1:-1.-50"},
      {11, 1, 0, 0, 0, "The line stays out too short, in line 1 frame number: 0"},
      {12, 2147483647, 0, 0, 0, "The line stays out too short, in 2147483647"},
      {13, 0, 0, 0, 9, "The line stays out too short, at 0:0:0.0"},
      {14, 1, 1, 1, 1, ""},
      {255, 1, 1, 1, 1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(M(c.kind, c.a, c.b, c.t1, c.t2), c.text) << int(c.kind);
  }
}

TEST(Report, EveryKindRaisesTheFlagAndUnknownKindsWriteNothing) {
  reset_globals();
  out_open_sink(g.OUTF);
  HIBA(200, 0, 0, 0, 0);
  EXPECT_TRUE(g.ERR);
  EXPECT_EQ(g.OUTF.len, 0u);
  HIBA(3, 5, 0, 0, 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(g.OUTF.buf), g.OUTF.len),
            "Invalid time code in 5\r\n");
}

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
  reading_time_rule(S("abc"), S(""), true, 12, 4, 0, 0, 0);
  EXPECT_EQ(g.TCOUNT, 0.15);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(g.OUTF.buf), g.OUTF.len),
            "The line stays out too short, in 4\r\n0.150,0.150\r\n");
  g.OUTF.len = 0;
  ss_set(g.FPSS, "off");
  reading_time_rule(S("abc"), S(""), true, 12, 4, 0, 0, 0);
  EXPECT_EQ(g.OUTF.len, 0u);
  reading_time_rule(S("abc"), S(""), false, 11, 4, 7, 0, 0);  // no gate
  EXPECT_EQ(std::string(reinterpret_cast<char*>(g.OUTF.buf), g.OUTF.len),
            "The line stays out too short, in line 4 frame number: 7\r\n0.150,0.150\r\n");
  g.TK = 5;
  g.OUTF.len = 0;
  reading_time_rule(S(std::string(200, 'x')), S(std::string(100, 'x')), false, 11, 1, 0, 0, 0);
  EXPECT_EQ(g.TCOUNT, 2.2);  // the count wrapped to 44
  EXPECT_EQ(g.OUTF.len, 0u);
  reset_globals();
}

}  // namespace
