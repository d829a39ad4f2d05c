#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "lint_helper.h"
#include "webvtt.h"

using namespace cuelint;
using cuelint_test::lint_brief;

namespace {

struct VttCase {
  const char* name;
  std::string text;
  const char* faults;
};

// Named, not dumped as bytes, in test listings.
void PrintTo(const VttCase& c, std::ostream* os) {
  *os << c.name;
}

class WebVtt : public ::testing::TestWithParam<VttCase> {};

TEST_P(WebVtt, Table) {
  EXPECT_EQ(lint_brief(GetParam().text), GetParam().faults) << GetParam().name;
}

// Two lines of header: cues start at line 3.
const std::string H = "WEBVTT\n\n";
const std::string C12 = "00:01.000 --> 00:02.000\n";
const std::string C34 = "00:03.000 --> 00:04.000\n";

const VttCase kVttCases[] = {
    {"clean", H + C12 + "Hello\nthere\n\n" + C34 + "Hi\n", ""},
    {"header_with_text", "WEBVTT - a talk\tx\nKind: captions\nLanguage: en\n\n" + C12 + "Hi\n", ""},
    {"header_timestamp_map",
     "WEBVTT\nX-TIMESTAMP-MAP=MPEGTS:900000,LOCAL:00:00:00.000\n\n" + C12 + "Hi\n", ""},
    {"line_one_never_a_cue", "WEBVTT 00:01.000 --> 00:02.000\n\n" + C12 + "Hi\n", ""},
    {"header_runs_into_cue", "WEBVTT\nKind: captions\n" + C12 + "Hi\n", "3:structure"},
    {"header_runs_into_bad_cue", "WEBVTT\n00:02.000 --> 00:01.000\nHi\n",
     "2:order@2000-1000 2:structure"},
    {"spaces_do_not_end_header", "WEBVTT\n  \n" + C12 + "Hi\n", "3:structure"},
    {"no_cues", "WEBVTT\n", ""},
    {"identifiers_like_numbers_and_times",
     H + "1\n" + C12 + "a\n\n00:00:02.000\n" + C34 + "b\n\n--\n00:05.000 --> 00:06.000\nc\n", ""},
    {"block_without_timing", H + "ident\nnot a timing line\nmore\n" + C12 + "Hi\n", "3:structure"},
    {"block_without_timing_at_end", H + "ident\nnot a timing line\n", "3:structure"},
    {"block_of_one_line", H + "stray\n\n" + C12 + "Hi\n", "3:structure"},
    {"block_of_one_line_at_end", H + C12 + "Hi\n\nstray\n", "6:structure"},
    {"line_before_timing_is_text", H + C12 + "a\nnext-id\n" + C34 + "b\n", "5:structure@1000-2000"},
    {"cue_without_text_runs_into_next", H + C12 + C34 + "b\n", "3:structure@1000-2000"},
    {"cue_without_text_then_blank", H + C12 + "\n" + C34 + "b\n", ""},
    {"spaces_line_is_text", H + C12 + "   \n" + C34 + "b\n", "4:structure@1000-2000"},
    {"third_text_line", H + "00:01.000 --> 00:09.000\na\nb\nc\nd\n", "6:too-many-lines@1000-9000"},
    {"note_before_and_after", H + "NOTE\nanything\n\n" + C12 + "a\n\nNOTE\tlater\n\n" + C34 + "b\n",
     ""},
    {"style_and_region_before", H + "STYLE\n::cue { color: red }\n\nREGION\nid:r\n\n" + C12 + "a\n",
     ""},
    {"style_after_cue", H + C12 + "a\n\nSTYLE\n::cue {}\n\n" + C34 + "b\n", "6:structure"},
    {"region_after_cue", H + C12 + "a\n\nREGION\nid:r\n", "6:structure"},
    {"note_holds_timing", H + "NOTE x\n" + C12 + "a\n", "3:structure"},
    {"note_holds_later_timing", H + "NOTE x\ny\n" + C12 + "a\n", "3:structure"},
    {"style_after_cue_holds_timing_one_fault", H + C12 + "a\n\nSTYLE\n" + C34 + "b\n",
     "6:structure"},
    {"note_word_must_stand_alone", H + "NOTES\n" + C12 + "a\n", ""},
    {"arrow_inside_note_line_is_timing", H + "NOTE a --> b\ntext\n", "3:time-code"},
    {"arrow_inside_text_starts_cue", H + C12 + "he said --> no\n",
     "3:structure@1000-2000 4:time-code"},
    {"comma_timestamp", H + "00:01,000 --> 00:02,000\nHi\n", "3:time-code"},
    {"one_digit_hour", H + "0:00:01.000 --> 0:00:02.000\nHi\n", "3:time-code"},
    {"three_digit_hours", H + "100:00:01.000 --> 100:00:02.000\nHi\n", ""},
    {"minutes_60", H + "60:00.000 --> 60:01.000\nHi\n", "3:time-code"},
    {"two_digit_millis", H + "00:01.00 --> 00:02.000\nHi\n", "3:time-code"},
    {"no_blanks_around_arrow", H + "00:01.000-->00:02.000\nHi\n", ""},
    {"settings", H + "00:01.000 --> 00:02.000 align:start line:0% position:10%\nHi\n", ""},
    {"settings_need_a_blank", H + "00:01.000 --> 00:02.000align:start\nHi\n", "3:time-code"},
    {"malformed_still_counted", H + "00:01 --> 00:02\na|b\n", "3:time-code 4:line-break-mark"},
    {"simultaneous_cues", H + "00:01.000 --> 00:05.000\na\n\n00:01.000 --> 00:03.000\nb\n", ""},
    {"overlapping_cues_fine", H + "00:01.000 --> 00:05.000\na\n\n00:02.000 --> 00:03.000\nb\n", ""},
    {"start_before_previous_start",
     H + "00:02.000 --> 00:05.000\na\n\n00:01.999 --> 00:03.000\nb\n", "6:overlap@1999-3000"},
    {"order_fault_sets_previous_start",
     H + "00:05.000 --> 00:04.000\na\n\n00:04.500 --> 00:06.000\nb\n",
     "3:order@5000-4000 6:overlap@4500-6000"},
    {"marks_are_faults", H + "00:01.000 --> 00:05.000\na|b[br]c\n",
     "4:line-break-mark@1000-5000 4:line-break-mark@1000-5000"},
    {"markup_out_of_count",
     H + C12 + "<c.yellow><v Roger>" + std::string(20, 'x') + "</v></c><00:01.500>\n", ""},
    {"subrip_braces_are_text", H + C12 + "{\\an8}" + std::string(15, 'x') + "\n",
     "3:reading-time@1000-2000"},
    {"references_in_count", H + C12 + "&lt;" + std::string(19, 'x') + "&lrm;&nbsp;\n", ""},
    {"references_over_the_limit", H + C12 + "&lt;&gt;" + std::string(19, 'x') + "\n",
     "3:reading-time@1000-2000"},
    {"crlf_and_bom", "\xEF\xBB\xBFWEBVTT\r\n\r\n00:01.000 --> 00:02.000\r\nHi\r\n", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, WebVtt, ::testing::ValuesIn(kVttCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A WebVTT file of n cues, each with a pipe (a fault), then a last line holding `tail`.
std::string late_byte(int n, const char* tail) {
  std::string s = "WEBVTT\n\n";
  for (int i = 0; i < n; ++i) s += "00:01.000 --> 00:02.000\na|b\n\n";
  return s + "00:03.000 --> 00:04.000\n" + tail + "\n";
}

TEST(WebVtt, MustBeUtf8) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"single_byte", "WEBVTT\n\n00:01.000 --> 00:02.000\ncaf\xE9\n"},
      {"utf16", std::string("\xFF\xFEW\0E\0B\0V\0T\0T\0\n\0", 16)},
      // Faults before the first byte beyond ASCII are held, then dropped; past the number
      // held, the file is checked again with its encoding decided first.
      {"single_byte_late", late_byte(3, "\xE9")},
      {"single_byte_after_many_faults", late_byte(3000, "\xE9")},
  };
  for (const Case& c : cases) {
    auto faults = cuelint_test::lint_bytes(c.bytes);
    ASSERT_EQ(faults.size(), 1u) << c.name;
    EXPECT_EQ(faults[0].check, Check::kFormat) << c.name;
    EXPECT_EQ(faults[0].line, 1u) << c.name;
    EXPECT_EQ(faults[0].format, nullptr) << c.name;
    EXPECT_EQ(faults[0].text(), "a WebVTT file must be UTF-8") << c.name;
  }
}

// Held faults are handed over in order once the file is found to be UTF-8, as when its
// encoding is decided first.
TEST(WebVtt, HeldFaultsHandedOverWhenUtf8) {
  for (int n : {3, 3000, -3000}) {  // negative: ASCII only, never decided while read
    std::string text = n > 0 ? late_byte(n, "\xC3\xA9|") : late_byte(-n, "|");
    n = n < 0 ? -n : n;
    MemorySource a(text.data(), text.size()), b(text.data(), text.size());
    cuelint_test::Collect late, first;
    FileOutcome oa = lint(a, Options{}, late);
    FileOutcome ob = lint(b, Options{}, first, 65536, true);
    EXPECT_EQ(cuelint_test::brief(late.faults), cuelint_test::brief(first.faults)) << n;
    EXPECT_EQ(late.faults.size(), static_cast<std::size_t>(n) + 1) << n;
    EXPECT_EQ(oa.faults, ob.faults) << n;
    EXPECT_EQ(oa.format, &kWebVtt) << n;
  }
}

TEST(WebVtt, TimingLineEdges) {
  struct Case {
    const char* line;
    bool taken;
    std::int64_t start, stop;
  } cases[] = {
      {"00:01.599 --> 00:04.160", true, 1599, 4160},
      {"01:00:01.599 --> 2147483647:59:59.999", true, 3601599, 2147483647LL * 3600000 + 3599999},
      {"2147483648:00:00.000 --> 00:01.000", false, 0, 0},
      {"59:59.999 --> 00:00.000\tvertical:rl", true, 3599999, 0},
      {"00:01.599 --> 00:04.1600", false, 0, 0},
      {"00:01.599 -> 00:04.160", false, 0, 0},
      {"000:01.599 --> 00:04.160", false, 0, 0},
      {"0:01.599 --> 00:04.160", false, 0, 0},
      {"00:1.599 --> 00:04.160", false, 0, 0},
      {" 00:01.599 --> 00:04.160", false, 0, 0},
      {"00:01.599 -->", false, 0, 0},
      {"00:00:60.000 --> 00:01.000", false, 0, 0},
  };
  for (const Case& c : cases) {
    std::int64_t a = -1, b = -1;
    EXPECT_EQ(parse_webvtt_timing_line(c.line, a, b), c.taken) << c.line;
    if (c.taken) {
      EXPECT_EQ(a, c.start) << c.line;
      EXPECT_EQ(b, c.stop) << c.line;
    }
  }
}

}  // namespace
