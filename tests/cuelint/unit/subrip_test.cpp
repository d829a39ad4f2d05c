#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "lint_helper.h"
#include "subrip.h"

using namespace cuelint;
using cuelint_test::lint_brief;

namespace {

struct SrtCase {
  const char* name;
  std::string text;
  const char* faults;
};

class SubRip : public ::testing::TestWithParam<SrtCase> {};

TEST_P(SubRip, Table) {
  EXPECT_EQ(lint_brief(GetParam().text), GetParam().faults) << GetParam().name;
}

const std::string T12 = "00:00:01,000 --> 00:00:02,000\n";
const std::string T34 = "00:00:03,000 --> 00:00:04,000\n";
const std::string T19 = "00:00:01,000 --> 00:00:09,000\n";

const SrtCase kSrtCases[] = {
    {"clean",
     "1\n00:00:01,000 --> 00:00:03,000\nHello there\n\n2\n00:00:03,000 --> 00:00:05,000\n"
     "General Kenobi\n",
     ""},
    {"crlf_clean", "1\r\n" + std::string("00:00:01,000 --> 00:00:02,000\r\nHi\r\n"), ""},
    {"from_zero",
     "0\n" + T12 + "Hi\n\n1\n" + T34 + "Ho\n\n2\n" + T34.substr(0, 0) +
         "00:00:05,000 --> 00:00:06,000\nHa\n",
     "1:numbering#0@1000-2000"},
    {"from_264", "264\n" + T12 + "Hi\n\n265\n" + T34 + "Ho\n", "1:numbering#264@1000-2000"},
    {"first_without_number", T12 + "Hi\n\n2\n" + T34 + "Ho\n", "1:numbering@1000-2000"},
    {"none_numbered", T12 + "Hi\n\n" + T34 + "Ho\n", "1:numbering@1000-2000 4:numbering@3000-4000"},
    {"repeated_number",
     "1\n" + T12 + "a\n\n1\n" + T34 + "b\n\n2\n00:00:05,000 --> 00:00:06,000\nc\n",
     "5:numbering#1@3000-4000"},
    {"negative_time", "1\n-00:00:01,000 --> 00:00:02,000\nHi\n", "2:time-code#1"},
    {"two_digit_millis", "1\n00:00:01,00 --> 00:00:02,000\nHi\n", "2:time-code#1"},
    {"leading_blank", "1\n 00:00:01,000 --> 00:00:02,000\nHi\n", "2:time-code#1"},
    {"missing_hours", "1\n00:01,000 --> 00:00:02,000\nHi\n", "2:time-code#1"},
    {"minutes_60", "1\n00:60:01,000 --> 00:00:02,000\nHi\n", "2:time-code#1"},
    {"seconds_60", "1\n00:00:01,000 --> 00:00:60,000\nHi\n", "2:time-code#1"},
    {"digit_after_stop", "1\n00:00:01,000 --> 00:00:02,0000\nHi\n", "2:time-code#1"},
    {"positions_and_dot", "1\n00:00:01.000-->00:00:02,000 X1:40 X2:600\nHi\n", ""},
    {"one_digit_hours", "1\n0:00:01,000 --> 0:00:02,000\nHi\n", ""},
    {"largest_hours", "1\n2147483647:00:00,000 --> 2147483647:00:01,000\nHi\n", ""},
    {"hours_too_large", "1\n2147483648:00:00,000 --> 2147483648:00:01,000\nHi\n", "2:time-code#1"},
    {"three_lines", "1\n" + T19 + "a\nb\nc\nd\n", "5:too-many-lines#1@1000-9000"},
    {"no_blank_between", "1\n" + T12 + "Hi\n2\n" + T34 + "Ho\n", "3:structure#1@1000-2000"},
    {"no_text_no_blank", "1\n" + T12 + "2\n" + T34 + "Ho\n", "2:structure#1@1000-2000"},
    {"no_text_then_candidate", T12 + T34 + "Ho\n",
     "1:numbering@1000-2000 1:structure@1000-2000 2:numbering@3000-4000"},
    {"stray_before_first", "junk\nmore junk\n\n1\n" + T12 + "Hi\n", "1:structure"},
    {"stray_runs", "1\n" + T12 + "Hi\n\nx\n\ny\nz\n\n2\n" + T34 + "Ho\n",
     "5:structure 7:structure"},
    {"stray_then_number", "1\n" + T12 + "Hi\n\nx\n2\n" + T34 + "Ho\n", "5:structure"},
    {"stray_number_alone", "1\n" + T12 + "Hi\n\n7\n\n", "5:structure"},
    {"cut_arrows_are_text", "1\n00:00:01,000 --> 00:00:05,000\n<---On Cut--->\n", ""},
    {"number_in_text", "1\n" + T19 + "Hi\n42\nthere\n", "5:too-many-lines#1@1000-9000"},
    {"number_at_end_is_text", "1\n" + T19 + "a\nb\n7\n", "5:too-many-lines#1@1000-9000"},
    {"marks_also_in_markup", "1\n" + T19 + "<font color=\"|\">a[br]b|c</font>\n",
     "3:line-break-mark#1@1000-9000 3:line-break-mark#1@1000-9000 "
     "3:line-break-mark#1@1000-9000"},
    {"overlap", "1\n00:00:01,000 --> 00:00:03,000\na\n\n2\n00:00:02,000 --> 00:00:04,000\nb\n",
     "6:overlap#2@2000-4000"},
    {"touching_is_fine", "1\n" + T12 + "a\n\n2\n00:00:02,000 --> 00:00:03,000\nb\n", ""},
    {"order_sets_previous_stop",
     "1\n00:00:05,000 --> 00:00:01,000\nlong text long text long text\n\n2\n"
     "00:00:00,500 --> 00:00:04,000\nb\n",
     "2:order#1@5000-1000 6:overlap#2@500-4000"},
    {"exact_reading_time", "1\n00:00:00,000 --> 00:00:02,400\n" + std::string(48, 'x') + "\n", ""},
    {"short_reading_time", "1\n00:00:00,000 --> 00:00:02,400\n" + std::string(49, 'x') + "\n",
     "2:reading-time#1@0-2400"},
    {"same_line_order_of_checks",
     "1\n00:00:00,000 --> 00:00:10,000\na\n\n2\n00:00:05,000 --> 00:00:05,100\nlots of text\n",
     "6:overlap#2@5000-5100 6:reading-time#2@5000-5100"},
    {"graphemes_not_bytes", "1\n00:00:00,000 --> 00:00:00,100\n\xC3\xA9\xC3\xA9\n", ""},
    {"graphemes_too_many", "1\n00:00:00,000 --> 00:00:00,100\n\xC3\xA9\xC3\xA9\xC3\xA9\n",
     "2:reading-time#1@0-100"},
    {"all_text_lines_counted", "1\n00:00:00,000 --> 00:00:00,100\na\nb\nc\n",
     "2:reading-time#1@0-100 5:too-many-lines#1@0-100"},
    {"unicode_blank_ends_text", "1\n" + T19 + "a\n\xC2\xA0\n2\n00:00:10,000 --> 00:00:11,000\nb\n",
     ""},
    {"not_a_candidate", "1\n" + T12 + "Hi\n\n2\n00:00:03,000 -> 00:00:04,000\nHo\n", "5:structure"},
    {"malformed_keeps_numbering", "1\n00:00:01 --> 00:00:02\nHi\n\n3\n" + T34 + "Ho\n",
     "2:time-code#1 5:numbering#3@3000-4000"},
    {"malformed_does_not_set_previous",
     "1\n00:00:05,000 --> 00:00:09,000\na\n\n2\n00:00:0x,000 --> 9\nb\n\n3\n" + T34 + "c\n",
     "6:time-code#2 10:overlap#3@3000-4000"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SubRip, ::testing::ValuesIn(kSrtCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SubRip, CharactersPerSecondOption) {
  Options opt;
  opt.cps = 0;  // the rule is off
  std::string head = "1\n00:00:00,000 --> 00:00:00,001\n";
  EXPECT_EQ(lint_brief(head + std::string(1000, 'x') + "\n", opt), "");
  opt.cps = 1000;  // one millisecond per character
  EXPECT_EQ(lint_brief(head + "x\n", opt), "");
  EXPECT_EQ(lint_brief(head + "xy\n", opt), "2:reading-time#1@0-1");
  opt.cps = 20;
  EXPECT_EQ(lint_brief(head + "x\n", opt), "2:reading-time#1@0-1");
}

TEST(SubRip, FaultsCarryTheFormat) {
  auto faults = cuelint_test::lint_bytes("1\n" + T12 + "a|b\n");
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_EQ(faults[0].format, &kSubRip);
  EXPECT_EQ(faults[0].text(), "line-break mark \"|\" in subtitle 1");
}

TEST(SubRip, TimeLineParsing) {
  std::int64_t a = -1, b = -1;
  EXPECT_TRUE(parse_subrip_time_line("01:02:03,456 --> 10:00:00.000", a, b));
  EXPECT_EQ(a, 3723456);
  EXPECT_EQ(b, 36000000);
  EXPECT_TRUE(parse_subrip_time_line("0:00:00,000\t-->\t0:00:00,001x", a, b));
  EXPECT_EQ(b, 1);
  EXPECT_FALSE(parse_subrip_time_line("00:00:00,000 --> 00:00:00,00", a, b));
  EXPECT_FALSE(parse_subrip_time_line("00:00:00,000 -- > 00:00:00,000", a, b));
  EXPECT_FALSE(parse_subrip_time_line("00:00:00;000 --> 00:00:00,000", a, b));
  EXPECT_TRUE(is_subrip_candidate("  -1 -->"));
  EXPECT_TRUE(is_subrip_candidate("9-->"));
  EXPECT_FALSE(is_subrip_candidate("x 00:00:00,000 --> 00:00:00,000"));
  EXPECT_FALSE(is_subrip_candidate("00:00:00,000 -> 00:00:00,000"));
}

}  // namespace

namespace {

// The time line's rule, field by field, as plainly as it reads.
bool rule_time(const std::string& s, std::size_t& i, std::int64_t& ms) {
  std::size_t first = i;
  std::int64_t h = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    h = h * 10 + (s[i++] - '0');
    if (h > 2147483647) return false;
  }
  if (i == first || s.size() - i < 10) return false;
  auto d = [&](std::size_t k) { return std::isdigit(static_cast<unsigned char>(s[i + k])) != 0; };
  if (s[i] != ':' || !d(1) || !d(2) || s[i + 3] != ':' || !d(4) || !d(5) ||
      (s[i + 6] != ',' && s[i + 6] != '.') || !d(7) || !d(8) || !d(9))
    return false;
  int mm = (s[i + 1] - '0') * 10 + (s[i + 2] - '0'), ss = (s[i + 4] - '0') * 10 + (s[i + 5] - '0');
  if (mm > 59 || ss > 59) return false;
  ms = ((h * 60 + mm) * 60 + ss) * 1000 + std::stoi(s.substr(i + 7, 3));
  i += 10;
  return true;
}

bool rule_line(const std::string& s, std::int64_t& a, std::int64_t& b) {
  std::size_t i = 0;
  if (!rule_time(s, i, a)) return false;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (s.compare(i, 3, "-->") != 0) return false;
  i += 3;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (!rule_time(s, i, b)) return false;
  return i == s.size() || !std::isdigit(static_cast<unsigned char>(s[i]));
}

// Every byte of common time lines turned into every other byte: the parser and the rule
// must agree on each, and on the times.
TEST(SubRip, TimeLineAgreesWithTheRuleAtEveryByte) {
  int taken = cuelint_test::agree_at_every_byte(
      {"01:02:03,456 --> 10:20:30.999", "00:59:59,999 --> 01:00:00,000 X1:5",
       "12:34:56.789 --> 23:45:58,012\t", "7:00:00,000 --> 8:00:00,000"},
      [](const std::string& s, std::int64_t& a, std::int64_t& b) {
        return parse_subrip_time_line(s, a, b);
      },
      rule_line);
  EXPECT_GT(taken, 1000);
}

TEST(SubRip, MalformedTimeLineSaysWhichPart) {
  struct Row {
    const char* line;
    const char* part;
  };
  const Row rows[] = {
      {" 00:00:01,000 --> 00:00:02,000", "a blank before the start time"},
      {"-00:00:01,000 --> 00:00:02,000", "a negative start time"},
      {"00:00:01,000 --> -00:00:02,000", "a negative stop time"},
      {"3000000000:00:01,000 --> 00:00:02,000", "the start time's hours"},
      {"00:0:01,000 --> 00:00:02,000", "the start time's minutes"},
      {"00:60:01,000 --> 00:00:02,000", "the start time's minutes"},
      {"00:00:61,000 --> 00:00:02,000", "the start time's seconds"},
      {"00:00:01;000 --> 00:00:02,000", "the start time's milliseconds"},
      {"00:00:01,00 --> 00:00:02,000", "the start time's milliseconds"},
      {"00:00:01,0000 --> 00:00:02,000", "the start time's milliseconds"},
      {"00:00:01,000 -- > 00:00:02,000", "the arrow"},
      {"00:00:01,000 --> :00:02,000", "the stop time's hours"},
      {"00:00:01,000 --> 00:00:02,00", "the stop time's milliseconds"},
      {"00:00:01,000 --> 00:00:02,0001", "the stop time's milliseconds"},
  };
  for (const Row& r : rows) {
    std::int64_t a, b;
    ASSERT_FALSE(parse_subrip_time_line(r.line, a, b)) << r.line;
    EXPECT_STREQ(time_line_fault(r.line), r.part) << r.line;
  }
  auto f = cuelint_test::lint_bytes("1\n00:00:01,000 --> 00:00:02,00\nx\n");
  ASSERT_EQ(f.size(), 1u);
  EXPECT_EQ(f[0].text(),
            "subtitle 1 has a malformed time line (H:MM:SS,mmm --> H:MM:SS,mmm): the stop time's "
            "milliseconds");
}

}  // namespace
