#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "count.h"

using namespace cuelint;

namespace {

struct CountCase {
  const char* name;
  MarkupRule markup;
  bool unicode;
  std::string line;
  std::uint64_t n;
};

// Named, not dumped as bytes, in test listings.
void PrintTo(const CountCase& c, std::ostream* os) {
  *os << c.name;
}

class Counting : public ::testing::TestWithParam<CountCase> {};

TEST_P(Counting, Table) {
  const CountCase& c = GetParam();
  EXPECT_EQ(count_line(c.line, c.markup, c.unicode), c.n) << c.name;
}

constexpr MarkupRule kSrt = subrip_markup;
constexpr MarkupRule kSub = microdvd_markup;
constexpr MarkupRule kSv = nullptr;  // Subviewer 2.0 has none

const CountCase kCountCases[] = {
    {"plain", kSrt, true, "Hello world", 10},
    {"spaces_tabs", kSrt, true, " a \t b ", 2},
    {"empty", kSrt, true, "", 0},
    {"italic", kSrt, true, "<i>Hi</i> there", 7},
    {"font", kSrt, true, "<font color=\"#ff0000\">red</font>", 3},
    {"closing_slash", kSrt, true, "a</b>c", 2},
    {"lt_digit_is_text", kSrt, true, "<3 you", 5},
    {"lt_space_is_text", kSrt, true, "a < b", 3},
    {"unclosed_markup_is_text", kSrt, true, "<i Hi", 4},
    {"ass_override", kSrt, true, "{\\an8}Top", 3},
    {"unclosed_override", kSrt, true, "{\\an8 Top", 8},
    {"left_to_right", kSrt, true, "{\\a <b} c>x", 3},
    {"markup_holds_gt_later", kSrt, true, "<i>a>b", 3},
    {"microdvd_markup_not_in_subrip", kSrt, true, "{y:i}ab", 7},
    {"subrip_markup_not_in_microdvd", kSub, true, "<i>ab", 5},
    {"microdvd_style", kSub, true, "{y:i}Hello|{c:$0000ff}World", 10},
    {"microdvd_markup_holds_pipe", kSub, true, "{y:a|b}xy", 2},
    {"microdvd_two_letters_is_text", kSub, true, "{yy:i}a", 7},
    {"subviewer_has_no_markup", kSv, true, "<i>a</i>", 8},
    {"pipe_removed", kSrt, true, "a|b", 2},
    {"br_removed", kSv, true, "a[br]b", 2},
    {"br_case_sensitive", kSv, true, "a[BR]b", 6},
    {"combining_mark", kSrt, true, "e\xCC\x81t\xC3\xA9", 3},
    {"mark_splits_stretch", kSrt, true, "e|\xCC\x81", 2},
    {"markup_splits_stretch", kSrt, true, "e<i>\xCC\x81", 2},
    {"emoji_zwj_family", kSrt, true,
     "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", 1},
    {"flags", kSrt, true, "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA", 2},
    {"hangul_jamo", kSrt, true, "\xE1\x84\x80\xE1\x85\xA1\xE1\x86\xA8", 1},
    {"nbsp_not_counted", kSrt, true,
     "\xC2\xA0"
     "a\xE3\x80\x80",
     1},
    {"mark_on_space_not_counted", kSrt, true,
     " \xCC\x81"
     "a",
     1},
    {"zero_width_space_counted", kSrt, true,
     "a\xE2\x80\x8B"
     "b",
     3},
    {"cjk", kSrt, true, "\xE4\xBD\xA0\xE5\xA5\xBD", 2},
    {"vertical_tab_unicode", kSrt, true, "a\vb", 2},
    {"single_byte", kSrt, false, "caf\xE9 cr\xE8me", 9},
    {"single_byte_vertical_tab", kSrt, false, "a\vb", 3},
    {"single_byte_nbsp_counts", kSrt, false,
     "\xA0"
     "a",
     2},
    {"single_byte_markup", kSrt, false, "<i>\xE9</i>", 1},
};

INSTANTIATE_TEST_SUITE_P(Cases, Counting, ::testing::ValuesIn(kCountCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<std::pair<std::size_t, Mark>> marks(std::string_view s) {
  std::vector<std::pair<std::size_t, Mark>> out;
  for_each_mark(s, [&](std::size_t col, Mark m) { out.emplace_back(col, m); });
  return out;
}

// Where a rule's markup ends, searched afresh for every byte: what a scan that keeps its
// searches must agree with.
std::size_t fresh(MarkupRule rule, const std::string& s, std::size_t i) {
  MarkupScan scan;
  return rule(s, i, scan);
}

// One scan asked at every byte left to right, then again from the start (a second pass over
// the same line), then at every other byte: each answer as a fresh search gives it.
TEST(MarkupScanning, KeptSearchesGiveFreshAnswers) {
  struct Case {
    const char* name;
    MarkupRule rule;
    std::string line;
  } cases[] = {
      {"unclosed_openers", kSrt, "<a<a<a<a<a"},
      {"closed_after_many", kSrt, "<a<a<a<a>b<a"},
      {"closers_between", kSrt, "<i>x</i><b y>z<a"},
      {"braces_apart", kSrt, "{\\a<i{\\b}>{\\"},
      {"microdvd", kSub, "{y:i}{y:{y:b}x{c:"},
      {"microdvd_unclosed", kSub, "{y:{y:{y:{y:"},
      {"both_closes_interleaved", kSrt, "<a{\\b<c}d>e<f{\\"},
      {"empty_markup", kSrt, "<>< >{\\}"},
  };
  for (const Case& c : cases) {
    MarkupScan scan;
    for (int pass = 0; pass < 2; ++pass)
      for (std::size_t i = 0; i < c.line.size(); ++i)
        EXPECT_EQ(c.rule(c.line, i, scan), fresh(c.rule, c.line, i))
            << c.name << " pass " << pass << " at " << i;
    for (std::size_t i = 0; i < c.line.size(); i += 2)
      EXPECT_EQ(c.rule(c.line, i, scan), fresh(c.rule, c.line, i)) << c.name << " at " << i;
  }
}

// A long line of openers never closed counts as text, every byte of it.
TEST(MarkupScanning, UnclosedOpenersAreText) {
  std::string line;
  for (int i = 0; i < 200000; ++i) line += "<a";
  EXPECT_EQ(count_line(line, kSrt, true), line.size());
  std::string braces;
  for (int i = 0; i < 100000; ++i) braces += "{y:";
  EXPECT_EQ(count_line(braces, kSub, true), braces.size());
}

TEST(Marks, EveryPipeAndBrWithColumns) {
  using V = std::vector<std::pair<std::size_t, Mark>>;
  EXPECT_EQ(marks("a|b[br]c|"), (V{{1, Mark::kPipe}, {3, Mark::kBr}, {8, Mark::kPipe}}));
  EXPECT_EQ(marks("[br][br]"), (V{{0, Mark::kBr}, {4, Mark::kBr}}));
  EXPECT_EQ(marks("[b[br]r]"), (V{{2, Mark::kBr}}));
  EXPECT_EQ(marks("<font x=\"|\">"), (V{{9, Mark::kPipe}}));
  EXPECT_EQ(marks("[BR] [br"), V{});
}

}  // namespace

namespace {

// Long lines go sixteen bytes at a time; each is counted against a plain byte loop.
std::uint64_t slow_ascii(const std::string& s, bool unicode) {
  std::uint64_t n = 0;
  for (unsigned char c : s) n += unicode ? !(c == ' ' || (c >= 9 && c <= 13)) : c != ' ' && c != 9;
  return n;
}

TEST(Counting, LongLinesEveryLengthAndEnd) {
  std::string base = "Some words\tand more words, then a few more words to go on with. ";
  for (std::size_t len = 1; len < 70; ++len) {
    std::string s;
    while (s.size() < len) s += base;
    s.resize(len);
    EXPECT_EQ(count_line(s, kSrt, true), slow_ascii(s, true)) << len;
    EXPECT_EQ(count_line(s, kSrt, false), slow_ascii(s, false)) << len;
    // A mark at every place splits the line but changes no count of the rest.
    for (std::size_t at = 0; at <= len; ++at) {
      std::string m = s.substr(0, at) + "|" + s.substr(at);
      unsigned marks = 0;
      EXPECT_EQ(count_line(m, kSub, true, &marks), slow_ascii(s, true)) << at;
      EXPECT_EQ(marks, kHasPipe);
    }
  }
}

TEST(Counting, VeryLongLine) {
  std::string s;
  for (int i = 0; i < 3000; ++i) s += "ab \t";  // 12,000 bytes: past 255 rounds of sixteen
  EXPECT_EQ(count_line(s, kSrt, true), 6000u);
  EXPECT_EQ(count_line(s + "\xC3\xA9", kSrt, true), 6001u);
}

TEST(Counting, NonAsciiAtTheEndOfALongStretch) {
  std::string s(31, 'a');
  EXPECT_EQ(count_line(s + "\xCC\x81", kSrt, true), 31u);  // joins the last "a"
  EXPECT_EQ(count_line(s + "\xCC\x81", kSrt, false), 33u);
  EXPECT_EQ(count_line("\xC2\xA0" + s, kSrt, true), 31u);
  unsigned marks = 3;
  EXPECT_EQ(count_line(s + "<i>" + s + "</i>", kSrt, true, &marks), 62u);
  EXPECT_EQ(marks, 0u);
  EXPECT_EQ(count_line(s + "<i|>" + s, kSrt, true, &marks), 62u);
  EXPECT_EQ(marks, kHasPipe);  // a mark inside markup
  EXPECT_EQ(count_line(s + "<i[>" + s, kSrt, true, &marks), 62u);
  EXPECT_EQ(marks, kHasBracket);
}

}  // namespace

namespace {

// The one-pass way for plain lines and the way by stretches must agree on the count and on
// the marks, for every format and both kinds of text, on lines that are plain, nearly plain,
// or not at all.
TEST(Counting, OnePassAgreesWithStretches) {
  const char* const pieces[] = {
      "a",   "b", " ",     "\t",      "\v", "|", "[",        "[br]",     "br]",      "[b",   "<",
      "<i>", "{", "{y:i}", "{\\an8}", "}",  ">", "\xC3\xA9", "\xCC\x81", "\xC2\xA0", "\xE9", "x"};
  std::uint64_t x = 0x2545F4914F6CDD1Dull;
  auto rnd = [&x] {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    return x;
  };
  int plain_lines = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string s;
    std::size_t len = rnd() % 120;
    unsigned spice = static_cast<unsigned>(rnd() % 4);  // how far from plain
    while (s.size() < len) {
      std::uint64_t r = rnd();
      std::size_t k =
          r % 64 < 48 + 4 * (3 - spice) ? r / 64 % 4 : r / 64 % (sizeof pieces / sizeof *pieces);
      s += pieces[k];
    }
    if (s.find_first_of("<{\x80\x81\xA0\xA9\xC2\xC3\xCC\xE9") == std::string::npos) ++plain_lines;
    for (MarkupRule f : {kSrt, kSub, kSv})
      for (bool unicode : {true, false}) {
        unsigned m1 = 9, m2 = 7;
        std::uint64_t one = count_line(s, f, unicode, &m1);
        std::uint64_t two = count_line_by_stretches(s, f, unicode, &m2);
        ASSERT_EQ(one, two) << '"' << s << "\" markup "
                            << (f == kSrt ? "SubRip"
                                : f       ? "MicroDVD"
                                          : "none")
                            << " unicode " << unicode;
        ASSERT_EQ(m1, m2) << '"' << s << '"';
      }
  }
  EXPECT_GT(plain_lines, 2000);  // the one-pass way was taken often
}

}  // namespace
