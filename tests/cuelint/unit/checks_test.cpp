#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "checks.h"
#include "lint_helper.h"
#include "rules.h"
#include "text.h"

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

// The figures of a reading-time message, with rates small enough for 64-bit arithmetic and
// with a denominator or a numerator too large for it.
TEST(ReadingTime, MessageFiguresAtEveryScale) {
  struct Case {
    Rate fps;
    std::int64_t cps;
    std::string file;
    const char* want;
  } cases[] = {
      {{25, 1},
       20,
       "{0}{10}" + std::string(30, 'a') + "\n",
       "the subtitle at line 1 is shown 0.400 s (10 frames at 25 per second); its 30 characters "
       "need 1.500 s (75.0 per second; at most 20)"},
      // The same 25 per second written with a denominator of 100000.
      {{2500000, 100000},
       20,
       "{0}{10}" + std::string(30, 'a') + "\n",
       "the subtitle at line 1 is shown 0.400 s (10 frames at 25.00000 per second); its 30 "
       "characters need 1.500 s (75.0 per second; at most 20)"},
      // 0.1 ms shown: 100 characters at 1,000,000 per second.
      {{9999999999, 1000000},
       1000,
       "{0}{1}" + std::string(100, 'a') + "\n",
       "the subtitle at line 1 is shown 0.000 s (1 frame at 9999.999999 per second); its 100 "
       "characters need 0.100 s (1000000.0 per second; at most 1000)"},
      // Halves up: 7 characters in 0.6 s is 11.666.., in 0.4 s 17.5.
      {{5, 1},
       3,
       "{0}{3}abcdefg\n",
       "the subtitle at line 1 is shown 0.600 s (3 frames at 5 per second); its 7 characters "
       "need 2.334 s (11.7 per second; at most 3)"},
      {{5, 1},
       3,
       "{0}{2}abcdefg\n",
       "the subtitle at line 1 is shown 0.400 s (2 frames at 5 per second); its 7 characters "
       "need 2.334 s (17.5 per second; at most 3)"},
      {{5, 1},
       3,
       "{0}{0}a\n",
       "the subtitle at line 1 is shown 0.000 s (0 frames at 5 per second); its 1 character "
       "needs 0.334 s (at most 3)"},
  };
  for (const Case& c : cases) {
    Options opt;
    opt.cps = c.cps;
    opt.fps_given = true;
    opt.fps = c.fps;
    auto f = cuelint_test::lint_bytes(c.file, opt);
    ASSERT_EQ(f.size(), 1u) << c.want;
    EXPECT_EQ(f[0].check, Check::kReadingTime);
    EXPECT_EQ(text(f[0]), c.want);
  }
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
            "subtitle 12 is shown 1.200 s; its 31 characters need 1.550 s (25.8 per second; at "
            "most 20)");
  EXPECT_EQ(text(f[2]),
            "the subtitle at line 5 stops at 00:00:40,000, before it starts at 00:00:41,000");
  EXPECT_EQ(text(f[3]),
            "the subtitle at line 5 starts at 00:00:41,000, 0.200 s before subtitle 12 stops at "
            "00:00:41,200");
  EXPECT_EQ(text(f[4]), "the subtitle at line 5 has no number where 13 is expected");
  EXPECT_EQ(text(f[5]), "the subtitle at line 5 has 3 text lines; at most two are allowed");
}

}  // namespace

namespace {

// Only the rule, with one parameter set as the command line would.
Options only(Check c, const char* key = nullptr, const char* value = nullptr,
             const char* fps = nullptr) {
  Options o;
  for (std::size_t i = 0; i < kCheckCount; ++i) o.on[i] = false;
  o.on[static_cast<std::size_t>(c)] = true;
  if (key) {
    Value v;
    v.text = value;
    EXPECT_EQ(set_param(o, c, key, v), nullptr) << key << "=" << value;
  }
  if (fps) {
    EXPECT_TRUE(parse_rate(fps, o.fps));
    o.fps_given = true;
  }
  return o;
}

std::string srt(const char* times1, const char* times2 = nullptr) {
  std::string s = std::string("1\n") + times1 + "\nSome text.\n";
  if (times2) s += std::string("\n2\n") + times2 + "\nMore text.\n";
  return s;
}

// WebVTT cues of one text line each: the second timing line is line 6, the third line 9.
std::string vtt(std::initializer_list<const char*> timings) {
  std::string s = "WEBVTT\n";
  for (const char* t : timings) s += std::string("\n") + t + "\nText.\n";
  return s;
}

TEST(FileChecker, DurationsAndGapsAtTheirLimits) {
  struct Case {
    const char* what;
    Options opt;
    std::string file;
    const char* want;
  };
  const Case cases[] = {
      // Equal to the limit passes; one millisecond or one frame less fails.
      {"min 1s equal", only(Check::kMinDuration), srt("00:00:01,000 --> 00:00:02,000"), ""},
      {"min 1s short", only(Check::kMinDuration), srt("00:00:01,000 --> 00:00:01,999"),
       "2:min-duration#1@1000-1999"},
      {"min 833ms", only(Check::kMinDuration, "min", "833ms"), srt("00:00:01,000 --> 00:00:01,833"),
       ""},
      {"min 0.833s short", only(Check::kMinDuration, "min", "0.833s"),
       srt("00:00:01,000 --> 00:00:01,832"), "2:min-duration#1@1000-1832"},
      {"max 7s equal", only(Check::kMaxDuration), srt("00:00:01,000 --> 00:00:08,000"), ""},
      {"max 7s long", only(Check::kMaxDuration), srt("00:00:01,000 --> 00:00:08,001"),
       "2:max-duration#1@1000-8001"},
      // 20 frames at 25 are 800 ms; 780 ms are 19.5 frames, rounded up to 20.
      {"min 20f rounds halves up", only(Check::kMinDuration, "min", "20f"),
       srt("00:00:01,000 --> 00:00:01,780"), ""},
      {"min 20f short", only(Check::kMinDuration, "min", "20f"),
       srt("00:00:01,000 --> 00:00:01,779"), "2:min-duration#1@1000-1779"},
      // At 23.976: 83 ms are 1.99 frames, 2; 42 ms are 1.007, 1.
      {"gap 2f at 23.976, 83 ms", only(Check::kMinGap, nullptr, nullptr, "23.976"),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,083 --> 00:00:04,000"), ""},
      {"gap 2f at 23.976, 84 ms", only(Check::kMinGap, nullptr, nullptr, "23.976"),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,084 --> 00:00:04,000"), ""},
      {"gap 2f at 23.976, 42 ms", only(Check::kMinGap, nullptr, nullptr, "23.976"),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,042 --> 00:00:04,000"),
       "6:min-gap#2@2042-4000"},
      // At 25 a frame is 40 ms: 60 ms are 1.5 frames, 2; 59 ms are 1.
      {"gap 2f at 25, 60 ms", only(Check::kMinGap),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,060 --> 00:00:04,000"), ""},
      {"gap 2f at 25, 59 ms", only(Check::kMinGap),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,059 --> 00:00:04,000"),
       "6:min-gap#2@2059-4000"},
      {"gap 0 is a gap", only(Check::kMinGap),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,000 --> 00:00:04,000"),
       "6:min-gap#2@2000-4000"},
      {"overlap is not a gap", only(Check::kMinGap),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:01,999 --> 00:00:04,000"), ""},
      {"gap in ms", only(Check::kMinGap, "min", "100ms"),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,099 --> 00:00:04,000"),
       "6:min-gap#2@2099-4000"},
      // A subtitle that stops before it starts: no duration faults, but its gap counts and
      // it sets the previous stop.
      {"order: no duration", only(Check::kMinDuration), srt("00:00:02,000 --> 00:00:01,000"), ""},
      {"order: gap counts", only(Check::kMinGap),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,010 --> 00:00:01,000"),
       "6:min-gap#2@2010-1000"},
      {"order sets the previous stop", only(Check::kMinGap),
       srt("00:00:03,000 --> 00:00:01,000", "00:00:01,010 --> 00:00:04,000"),
       "6:min-gap#2@1010-4000"},
      // A malformed time line: no times, no previous stop.
      {"time-code: nothing", only(Check::kMinGap),
       srt("00:00:01,000 --> 00:00:02,000", "00:00:02,010 -> 00:00:04,000") +
           "\n3\n00:00:02,020 --> 00:00:05,000\nx\n",
       "10:min-gap#3@2020-5000"},
      // WebVTT: cues may be shown together, in the order of their starts; a gap is measured
      // from the previous cue's stop and may be negative.
      {"vtt gap", only(Check::kMinGap), vtt({"00:01.000 --> 00:02.000", "00:02.059 --> 00:04.000"}),
       "6:min-gap@2059-4000"},
      {"vtt cues together: no gap", only(Check::kMinGap),
       vtt({"00:01.000 --> 00:03.000", "00:02.000 --> 00:04.000"}), ""},
      {"vtt cues together: no overlap", only(Check::kOverlap),
       vtt({"00:01.000 --> 00:03.000", "00:01.000 --> 00:04.000"}), ""},
      {"vtt start before the previous start", only(Check::kOverlap),
       vtt({"00:01.000 --> 00:03.000", "00:00.999 --> 00:04.000"}), "6:overlap@999-4000"},
      {"vtt start from the previous start, not the earliest", only(Check::kOverlap),
       vtt({"00:02.000 --> 00:03.000", "00:01.000 --> 00:04.000", "00:01.500 --> 00:05.000"}),
       "6:overlap@1000-4000"},
      {"vtt gap from the previous stop, not the latest", only(Check::kMinGap),
       vtt({"00:01.000 --> 00:09.000", "00:02.000 --> 00:03.000", "00:03.010 --> 00:04.000"}),
       "9:min-gap@3010-4000"},
      {"vtt malformed timing sets nothing", only(Check::kMinGap),
       vtt({"00:01.000 --> 00:02.000", "00:02,500 --> 00:03.000", "00:02.010 --> 00:05.000"}),
       "9:min-gap@2010-5000"},
      // SBV: against the previous stop, as SubRip.
      {"sbv overlap", only(Check::kOverlap),
       "0:00:01.000,0:00:03.000\na\n\n0:00:02.999,0:00:04.000\nb\n", "4:overlap@2999-4000"},
      {"sbv gap", only(Check::kMinGap),
       "0:00:01.000,0:00:03.000\na\n\n0:00:03.059,0:00:04.000\nb\n", "4:min-gap@3059-4000"},
      // MicroDVD: frames at the file's rate are whole frames already.
      {"microdvd 20f", only(Check::kMinDuration, "min", "20f"),
       "{1}{1}23.976\n{10}{30}twenty\n{40}{59}nineteen\n", "3:min-duration@1668-2461"},
      {"microdvd gap", only(Check::kMinGap), "{0}{10}a\n{12}{20}b\n{21}{30}c\n",
       "3:min-gap@840-1200"},
      // Subviewer 2.0: hundredths.
      {"subviewer max", only(Check::kMaxDuration, "max", "1.5s"),
       "00:00:01.00,00:00:02.50\na\n\n00:00:03.00,00:00:04.51\nb\n", "4:max-duration@3000-4510"},
      // Empty: the visible count, whatever the reading time counts; order faults too.
      {"empty", only(Check::kEmpty),
       "1\n00:00:01,000 --> 00:00:02,000\n<i> </i>\n\n2\n00:00:03,000 --> 00:00:01,000\n\n"
       "3\n00:00:04,000 --> 00:00:05,000\n.\n",
       "2:empty#1@1000-2000 6:empty#2@3000-1000"},
      {"empty with count all", only(Check::kEmpty, nullptr, nullptr, nullptr),
       "1\n00:00:01,000 --> 00:00:02,000\n \n", "2:empty#1@1000-2000"},
  };
  for (const Case& c : cases) EXPECT_EQ(cuelint_test::lint_brief(c.file, c.opt), c.want) << c.what;
}

TEST(FileChecker, ReadingTimeCountsAll) {
  // "a b c d" is 4 visible characters, 7 with white space; 0.35 s at 20 per second.
  const std::string file = "1\n00:00:01,000 --> 00:00:01,300\na b c d\n";
  Options visible = only(Check::kReadingTime);
  Options all = only(Check::kReadingTime, "count", "all");
  EXPECT_EQ(cuelint_test::lint_brief(file, visible), "");
  EXPECT_EQ(cuelint_test::lint_brief(file, all), "2:reading-time#1@1000-1300");
  Options all_off = all;
  all_off.cps = 0;
  EXPECT_EQ(cuelint_test::lint_brief(file, all_off), "");
}

TEST(FileChecker, RulesOffFindNothingAndChangeNoOther) {
  const std::string file =
      "1\n00:00:01,000 --> 00:00:01,100\nA text too long for its time.\n\n"
      "2\n00:00:01,050 --> 00:00:02,000\n<i> </i>\n";
  Options all;
  apply_profile(all, Profile::kAll);
  std::string every = cuelint_test::lint_brief(file, all);
  EXPECT_EQ(every,
            "2:reading-time#1@1000-1100 2:min-duration#1@1000-1100 6:overlap#2@1050-2000 "
            "6:min-duration#2@1050-2000 6:empty#2@1050-2000 7:whitespace#2@1050-2000");
  Options some = all;
  some.on[static_cast<std::size_t>(Check::kOverlap)] = false;
  some.on[static_cast<std::size_t>(Check::kMinDuration)] = false;
  EXPECT_EQ(cuelint_test::lint_brief(file, some),
            "2:reading-time#1@1000-1100 6:empty#2@1050-2000 7:whitespace#2@1050-2000");
}

// Every duration from 0 to 300 ms against limits in frames and in milliseconds: a fault
// exactly when the whole frames (halves up) or the exact time fall short or run over.
TEST(FileChecker, LimitsAgreeWithTheirDefinitionAtEveryMillisecond) {
  struct Rates {
    const char* fps;
    std::int64_t num, den;
  };
  const Rates rates[] = {{"23.976", 23976, 1000}, {"25", 25, 1}, {"29.97", 2997, 100}};
  for (const Rates& r : rates) {
    for (const char* limit : {"3f", "5f", "120ms", "0.2s"}) {
      Duration lim;
      ASSERT_TRUE(parse_duration(limit, lim));
      Options lo = only(Check::kMinDuration, "min", limit, r.fps);
      Options hi = only(Check::kMaxDuration, "max", limit, r.fps);
      for (int ms = 0; ms <= 300; ++ms) {
        char times[64];
        std::snprintf(times, sizeof times, "00:00:01,000 --> 00:00:01,%03d", ms);
        std::string file = "1\n" + std::string(times) + "\nx\n";
        std::int64_t have, want = lim.value;
        if (lim.unit == Duration::kFrames) {
          // ms * num / (1000 * den) frames, halves up.
          have = (2 * ms * r.num + 1000 * r.den) / (2000 * r.den);
        } else {
          have = ms;
        }
        bool below = have < want;
        bool above = have > want;
        std::string what = std::string(r.fps) + " " + limit + " " + std::to_string(ms);
        EXPECT_EQ(cuelint_test::lint_brief(file, lo).empty(), !below) << what;
        EXPECT_EQ(cuelint_test::lint_brief(file, hi).empty(), !above) << what;
      }
    }
  }
}

}  // namespace
