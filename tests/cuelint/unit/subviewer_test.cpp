#include <gtest/gtest.h>

#include <string>

#include "lint_helper.h"
#include "subviewer.h"

using namespace cuelint;
using cuelint_test::lint_brief;

namespace {

struct SvCase {
  const char* name;
  std::string text;
  const char* faults;
};

class Subviewer : public ::testing::TestWithParam<SvCase> {};

TEST_P(Subviewer, Table) {
  EXPECT_EQ(lint_brief(GetParam().text), GetParam().faults) << GetParam().name;
}

// Five lines: subtitles start at line 6.
const std::string H = "[INFORMATION]\n[TITLE]x\n[END INFORMATION]\n\n[SUBTITLE]\n";
const std::string T12 = "00:00:01.00,00:00:02.00\n";
const std::string T34 = "00:00:03.00,00:00:04.00\n";

const SvCase kSvCases[] = {
    {"clean", H + "00:00:01.00,00:00:03.00\nHello[br]there\n\n00:00:03.00,00:00:05.00\nHi\n", ""},
    {"no_header", T12 + "Hi\n", ""},
    {"header_with_blank_lines", "[A]\n\n[B]\n\n" + T12 + "Hi\n", ""},
    {"second_text_line", H + "00:00:01.00,00:00:09.00\na\nb\nc\n", "8:too-many-lines@1000-9000"},
    {"no_blank_between", H + T12 + "a\n" + T34 + "b\n", "7:structure@1000-2000"},
    {"no_text_no_blank", H + T12 + T34 + "b\n", "6:structure@1000-2000"},
    {"doubled_blank_line", H + T12 + "a\n\n\n" + T34 + "b\n", ""},
    {"stray_then_passed_over", H + T12 + "a\n\njunk\n\nmore junk\n[x]\n" + T34 + "b\n",
     "9:time-code"},
    {"stray_before_first", H + "junk\n" + T12 + "Hi\n", "6:time-code"},
    {"bracket_after_header_is_stray", H + T12 + "a\n\n[NOTE]\n" + T34 + "b\n", "9:time-code"},
    {"pipe_marks", H + "00:00:01.00,00:00:05.00\na|b|c\n",
     "7:line-break-mark@1000-5000 7:line-break-mark@1000-5000"},
    {"minutes_60", H + "00:60:00.00,00:60:01.00\nx\n", "6:time-code"},
    {"digit_after_stop", H + "00:00:01.00,00:00:02.000\nx\n", "6:time-code"},
    {"text_after_stop", H + "00:00:01.00,00:00:02.00 x\nHi\n", ""},
    {"exact_reading_time", H + T12 + std::string(20, 'x') + "\n", ""},
    {"short_reading_time", H + T12 + std::string(21, 'x') + "\n", "6:reading-time@1000-2000"},
    {"br_splits_not_counted", H + T12 + std::string(10, 'x') + "[br]" + std::string(10, 'x') + "\n",
     ""},
    {"all_lines_counted", H + T12 + std::string(15, 'x') + "\n" + std::string(6, 'x') + "\n",
     "6:reading-time@1000-2000 8:too-many-lines@1000-2000"},
    {"overlap_and_order", H + "00:00:05.00,00:00:04.00\na\n\n" + T34 + "b\n",
     "6:order@5000-4000 9:overlap@3000-4000"},
    {"overlap_with_hundredths", H + "00:00:01.00,00:00:02.50\na\n\n00:00:02.49,00:00:03.00\nb\n",
     "9:overlap@2490-3000"},
};

INSTANTIATE_TEST_SUITE_P(Cases, Subviewer, ::testing::ValuesIn(kSvCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Subviewer, TimeLineParsing) {
  std::int64_t a = -1, b = -1;
  EXPECT_TRUE(parse_subviewer_time_line("01:02:03.45,99:59:59.99", a, b));
  EXPECT_EQ(a, 372345);
  EXPECT_EQ(b, 35999999);
  EXPECT_FALSE(parse_subviewer_time_line("1:02:03.45,99:59:59.99", a, b));
  EXPECT_FALSE(parse_subviewer_time_line("01:02:03,45,99:59:59.99", a, b));
  EXPECT_FALSE(parse_subviewer_time_line("01:02:03.45 99:59:59.99", a, b));
  EXPECT_FALSE(parse_subviewer_time_line("01:02:03.45,99:59:59.9", a, b));
}

// Every byte of a time line turned into every other byte: the parser must take exactly the
// lines the rule takes ("HH:MM:SS.cc,HH:MM:SS.cc", minutes and seconds to 59, then the end
// or a byte that is not a digit), with the right times.
TEST(Subviewer, TimeLineAgreesWithTheRuleAtEveryByte) {
  auto rule = [](const std::string& s, std::int64_t& a, std::int64_t& b) {
    const char* form = "99:59:59.99,99:59:59.99";  // a digit: its highest value
    if (s.size() < 23) return false;
    for (int k = 0; k < 23; ++k) {
      bool digit_place = form[k] >= '0' && form[k] <= '9';
      if (digit_place ? !(s[k] >= '0' && s[k] <= form[k]) : s[k] != form[k]) return false;
    }
    if (s.size() > 23 && s[23] >= '0' && s[23] <= '9') return false;
    auto t = [&](int at) {
      return ((std::stoi(s.substr(at, 2)) * 60 + std::stoi(s.substr(at + 3, 2))) * 60 +
              std::stoi(s.substr(at + 6, 2))) *
                 100 +
             std::stoi(s.substr(at + 9, 2));
    };
    a = t(0);
    b = t(12);
    return true;
  };
  int taken = cuelint_test::agree_at_every_byte(
      {"01:02:03.45,99:59:59.99", "00:00:00.00,00:00:00.00 x"},
      [](const std::string& s, std::int64_t& a, std::int64_t& b) {
        return parse_subviewer_time_line(s, a, b);
      },
      rule);
  EXPECT_GT(taken, 300);
}

// Times in messages as the file writes them, so that they can be searched for.
TEST(Subviewer, MessagesWriteItsOwnTimes) {
  auto f = cuelint_test::lint_bytes("00:00:01.00,00:00:04.50\nab\n\n00:00:04.05,00:00:03.99\ncd\n");
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].text(),
            "the subtitle at line 4 stops at 00:00:03.99, before it starts at 00:00:04.05");
  EXPECT_EQ(f[1].text(),
            "the subtitle at line 4 starts at 00:00:04.05, 0.450 s before the previous subtitle "
            "(line 1) stops at 00:00:04.50");
}

}  // namespace
