#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "lint_helper.h"
#include "sbv.h"

using namespace cuelint;
using cuelint_test::lint_brief;

namespace {

struct SbvCase {
  const char* name;
  std::string text;
  const char* faults;
};

// Named, not dumped as bytes, in test listings.
void PrintTo(const SbvCase& c, std::ostream* os) {
  *os << c.name;
}

class Sbv : public ::testing::TestWithParam<SbvCase> {};

TEST_P(Sbv, Table) {
  EXPECT_EQ(lint_brief(GetParam().text), GetParam().faults) << GetParam().name;
}

const std::string T12 = "0:00:01.000,0:00:02.000\n";
const std::string T34 = "0:00:03.000,0:00:04.000\n";

const SbvCase kSbvCases[] = {
    {"clean", T12 + "Hello\nthere\n\n" + T34 + "Hi\n", ""},
    {"leading_blank_lines", "\n \n" + T12 + "Hi\n", ""},
    {"third_text_line", T12 + "a\nb\nc\nd\n", "4:too-many-lines@1000-2000"},
    {"no_blank_between", T12 + "a\n" + T34 + "b\n", "2:structure@1000-2000"},
    {"no_text_no_blank", T12 + T34 + "b\n", "1:structure@1000-2000"},
    {"doubled_blank_line", T12 + "a\n\n\n" + T34 + "b\n", ""},
    {"stray_then_passed_over", T12 + "a\n\njunk\n\nmore\n" + T34 + "b\n", "4:time-code"},
    {"overlap_against_stop", T12 + "a\n\n0:00:01.999,0:00:03.000\nb\n", "4:overlap@1999-3000"},
    {"order", "0:00:02.000,0:00:01.000\na\n", "1:order@2000-1000"},
    {"pipe_and_br_are_faults", "0:00:01.000,0:00:05.000\na|b[br]c\n",
     "2:line-break-mark@1000-5000 2:line-break-mark@1000-5000"},
    {"markup_not_counted", T12 + "<i>" + std::string(20, 'x') + "</i>{\\an8}\n", ""},
    {"reading_time", T12 + std::string(21, 'x') + "\n", "1:reading-time@1000-2000"},
    {"hours_of_three_digits", "100:00:01.000,100:00:02.000\nx\n", ""},
    {"text_after_blank", "0:00:01.000,0:00:02.000 x\nHi\n", ""},
    {"minutes_60_is_stray", T12 + "a\n\n0:60:00.000,0:60:01.000\nb\n", "4:time-code"},
    {"comma_before_millis_is_stray", T12 + "a\n\n0:00:03,000,0:00:04,000\nb\n", "4:time-code"},
    {"srt_arrow_is_stray", T12 + "a\n\n0:00:03.000 --> 0:00:04.000\nb\n", "4:time-code"},
};

INSTANTIATE_TEST_SUITE_P(Cases, Sbv, ::testing::ValuesIn(kSbvCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Sbv, TimeLineEdges) {
  struct Case {
    const char* line;
    bool taken;
    std::int64_t start, stop;
  } cases[] = {
      {"0:00:01.599,0:00:04.160", true, 1599, 4160},
      {"2147483647:59:59.999,0:00:00.000", true, 2147483647LL * 3600000 + 3599999, 0},
      {"2147483648:00:00.000,0:00:00.000", false, 0, 0},
      {"0:00:01.599,0:00:04.160\tx", true, 1599, 4160},
      {"0:00:01.599,0:00:04.160x", false, 0, 0},
      {"0:00:01.599,0:00:04.1600", false, 0, 0},
      {"0:00:01.59,0:00:04.160", false, 0, 0},
      {"0:0:01.599,0:00:04.160", false, 0, 0},
      {"0:00:60.000,0:00:04.160", false, 0, 0},
      {":00:01.599,0:00:04.160", false, 0, 0},
      {" 0:00:01.599,0:00:04.160", false, 0, 0},
      {"0:00:01.599, 0:00:04.160", false, 0, 0},
      {"0:00:01.599", false, 0, 0},
  };
  for (const Case& c : cases) {
    std::int64_t a = -1, b = -1;
    EXPECT_EQ(parse_sbv_time_line(c.line, a, b), c.taken) << c.line;
    if (c.taken) {
      EXPECT_EQ(a, c.start) << c.line;
      EXPECT_EQ(b, c.stop) << c.line;
    }
  }
}

}  // namespace
