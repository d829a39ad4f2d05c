#include <gtest/gtest.h>

#include <string>

#include "checks.h"
#include "lint_helper.h"

using namespace cuelint;

namespace {

std::string text(const Fault& f) {
  return std::string(f.text());
}

TEST(Msg, TimesSecondsRatesAndNumbers) {
  Fault f;
  Msg(f).time(3723456);
  EXPECT_EQ(text(f), "01:02:03,456");
  Msg(f).time(0);
  EXPECT_EQ(text(f), "00:00:00,000");
  Msg(f).time(2147483647LL * 3600000 + 59999);
  EXPECT_EQ(text(f), "2147483647:00:59,999");
  Msg(f).seconds(1550);
  EXPECT_EQ(text(f), "1.550");
  Msg(f).seconds(5);
  EXPECT_EQ(text(f), "0.005");
  Msg(f).rate(Rate{23976, 1000});
  EXPECT_EQ(text(f), "23.976");
  Msg(f).rate(Rate{25000, 1000});
  EXPECT_EQ(text(f), "25.000");
  Msg(f).rate(Rate{5, 10});
  EXPECT_EQ(text(f), "0.5");
  Msg(f) << std::int64_t{-42} << " " << std::uint64_t{18446744073709551615u};
  EXPECT_EQ(text(f), "-42 18446744073709551615");
}

TEST(Msg, CutAtTheEndOfItsBuffer) {
  Fault f;
  Msg m(f);
  for (int i = 0; i < 100; ++i) m << "abcdefgh";
  EXPECT_EQ(f.message_len, sizeof f.message);
}

// Times in the row's units, or in frames at the file's rate, reach the faults in whole
// milliseconds, halves up.
TEST(FileChecker, MillisecondsFromTheRowsUnits) {
  struct Case {
    std::int64_t units_per_second;  // 0: frames
    Rate fps;
    std::int64_t start, stop;
    std::int64_t start_ms, stop_ms;
  } cases[] = {
      {1000, {}, 1234, 1, 1234, 1},
      {100, {}, 123, 0, 1230, 0},
      {3, {}, 2, 1, 667, 333},
      {16, {}, 3, 1, 188, 63},
      {0, {25, 1}, 3, 1, 120, 40},
      {0, {23976, 1000}, 48, 24, 2002, 1001},
      {0, {1, 1000000}, 2, 1, 2000000000, 1000000000},
  };
  for (const Case& c : cases) {
    FormatInfo f;
    f.units_per_second = c.units_per_second;
    Options opt;
    opt.fps = c.fps;
    cuelint_test::Collect sink;
    FileChecker fc(sink, f, opt);
    Subtitle s;
    s.line = 1;
    s.has_times = true;
    s.start = c.start, s.stop = c.stop;  // stops before it starts: an order fault
    fc.begin(s);
    fc.end(0);
    ASSERT_EQ(sink.faults.size(), 1u) << c.units_per_second;
    EXPECT_EQ(sink.faults[0].start_ms, c.start_ms) << c.units_per_second << " " << c.start;
    EXPECT_EQ(sink.faults[0].stop_ms, c.stop_ms) << c.units_per_second << " " << c.stop;
    EXPECT_EQ(sink.faults[0].format, &f);
  }
}

TEST(FileChecker, FileRateUnlessOneIsGiven) {
  FormatInfo frames;
  for (bool given : {false, true}) {
    Options opt;
    opt.fps_given = given;
    opt.fps = Rate{25, 1};
    cuelint_test::Collect sink;
    FileChecker fc(sink, frames, opt);
    fc.set_file_rate(Rate{50, 1});
    Subtitle s;
    s.has_times = true;
    s.start = 10, s.stop = 5;
    fc.begin(s);
    fc.end(0);
    ASSERT_EQ(sink.faults.size(), 1u);
    EXPECT_EQ(sink.faults[0].start_ms, given ? 400 : 200);
  }
}

TEST(ReadingTime, ExactDecimalArithmetic) {
  // 2.4 s for 48 characters at 20 per second is exactly enough.
  EXPECT_EQ(cuelint_test::lint_brief("1\n0:00:00,000 --> 0:00:02,400\n" + std::string(48, 'a')),
            "");
  // 0.1 s (10 frames at 100 per second) at 30 per second: 3 characters exactly.
  Options opt;
  opt.cps = 30;
  opt.fps_given = true;
  opt.fps = Rate{100, 1};
  EXPECT_EQ(cuelint_test::lint_brief("{0}{10}abc\n", opt), "");
  EXPECT_EQ(cuelint_test::lint_brief("{0}{10}abcd\n", opt), "1:reading-time@0-100");
  // 1001 frames at 29.97 per second are a little over 33.4 s: room for 668 characters
  // at 20 per second, not 669.
  opt.cps = 20;
  opt.fps = Rate{2997, 100};
  EXPECT_EQ(cuelint_test::lint_brief("{0}{1001}" + std::string(668, 'a') + "\n", opt), "");
  EXPECT_EQ(cuelint_test::lint_brief("{0}{1001}" + std::string(669, 'a') + "\n", opt),
            "1:reading-time@0-33400");
}

TEST(ReadingTime, LargestValuesDoNotOverflow) {
  Options opt;
  opt.cps = 1000;
  opt.fps_given = true;
  opt.fps = Rate{1, 1000000};  // 0.000001 per second
  EXPECT_EQ(cuelint_test::lint_brief("{0}{2147483647}a\n", opt), "");
  opt.fps = Rate{9999999999, 1000000};
  EXPECT_EQ(cuelint_test::lint_brief("{0}{1}" + std::string(100, 'a') + "\n", opt),
            "1:reading-time@0-0");
}

TEST(Messages, NameTheSubtitleAndTheValues) {
  auto f = cuelint_test::lint_bytes("12\n00:00:40,000 --> 00:00:41,200\n" + std::string(31, 'x') +
                                    "\n\n00:00:41,000 --> 00:00:40,000\nx\ny\nz\n");
  ASSERT_EQ(f.size(), 6u);
  EXPECT_EQ(cuelint_test::brief(f),
            "1:numbering#12@40000-41200 2:reading-time#12@40000-41200 5:order@41000-40000 "
            "5:overlap@41000-40000 5:numbering@41000-40000 8:too-many-lines@41000-40000");
  EXPECT_EQ(text(f[0]), "subtitle numbered 12 where 1 is expected");
  EXPECT_EQ(text(f[1]),
            "subtitle 12 is shown 1.200 s; its 31 characters need 1.550 s at 20 per second");
  EXPECT_EQ(text(f[2]),
            "the subtitle at line 5 stops at 00:00:40,000, before it starts at 00:00:41,000");
  EXPECT_EQ(text(f[3]),
            "the subtitle at line 5 starts at 00:00:41,000, before the previous subtitle stops "
            "at 00:00:41,200");
  EXPECT_EQ(text(f[4]), "the subtitle at line 5 has no number where 13 is expected");
  EXPECT_EQ(text(f[5]), "the subtitle at line 5 has 3 text lines; at most two are allowed");
}

}  // namespace
