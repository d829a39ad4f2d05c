#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "encoding.h"
#include "lines.h"
#include "lint_helper.h"

using namespace cuelint;
using cuelint_test::TrickleSource;

namespace {

std::vector<std::string> split(const std::string& text, std::size_t step, std::size_t initial) {
  TrickleSource src(text, step);
  Decoder d(src, Encoding::kUtf8);
  LineReader lr(d, initial);
  std::vector<std::string> out;
  while (const Line* l = lr.next()) {
    out.emplace_back(l->text);
    EXPECT_EQ(l->number, out.size());
    EXPECT_TRUE(l->unicode);
  }
  return out;
}

struct LineCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;
};

// Named, not dumped as bytes, in test listings.
void PrintTo(const LineCase& c, std::ostream* os) {
  *os << c.name;
}

class LineSplitting : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineSplitting, SameLinesAtEveryReadSize) {
  const LineCase& c = GetParam();
  for (std::size_t step : {1, 2, 3, 64})
    for (std::size_t initial : {8, 16, 65536})
      EXPECT_EQ(split(c.text, step, initial), c.lines)
          << c.name << " step " << step << " buffer " << initial;
}

const LineCase kLineCases[] = {
    {"empty", "", {}},
    {"one_without_end", "abc", {"abc"}},
    {"lf", "a\nb\n", {"a", "b"}},
    {"crlf", "a\r\nb\r\n", {"a", "b"}},
    {"lone_cr", "a\rb\r", {"a", "b"}},
    {"cr_cr_lf", "a\r\r\nb", {"a", "", "b"}},
    {"lf_cr", "a\n\rb", {"a", "", "b"}},
    {"blank_lines", "\n\n\n", {"", "", ""}},
    {"cr_at_end", "x\r", {"x"}},
    {"mixed", "1\r\n2\n3\r4", {"1", "2", "3", "4"}},
    {"nul_inside", std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, LineSplitting, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineSplitting, LongLinesAreNotCut) {
  std::string longline(300000, 'x');
  auto lines = split(longline + "\r\n" + "y", 4096, 16);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 300000u);
  EXPECT_EQ(lines[1], "y");
}

// A line longer than the limit ends the text before it, wherever the reads and the buffer
// fall; its number is kept. At the limit a line is still read.
TEST(LineSplitting, TextEndsBeforeALineTooLong) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
    std::uint64_t long_line;
  } cases[] = {
      {"at_the_limit", "abcd\nx\n", {"abcd", "x"}, 0},
      {"one_over", "abcd\nabcde\nx\n", {"abcd"}, 2},
      {"first_line", "abcdefghij\nx", {}, 1},
      {"no_end_at_all", "abcdefghijklmnopqrstuvwxyz", {}, 1},
      {"last_without_end_over", "a\nabcde", {"a"}, 2},
      {"last_without_end_at_limit", "a\nabcd", {"a", "abcd"}, 0},
      {"crlf_not_counted", "abcd\r\nabcd\r\n", {"abcd", "abcd"}, 0},
      {"cr_at_the_limit", "abcd\rabcd\r", {"abcd", "abcd"}, 0},
      {"after_empty_lines", "\n\r\nabcdefgh\nx", {"", ""}, 3},
      {"long_after_many",
       "a\nb\nc\nd\ne\nf\ng\nh\n0123456789\n",
       {"a", "b", "c", "d", "e", "f", "g", "h"},
       9},
  };
  for (const Case& c : cases) {
    for (std::size_t step : {1, 3, 64}) {
      for (std::size_t initial : {8, 65536}) {
        TrickleSource src(c.text, step);
        Decoder d(src, Encoding::kUtf8);
        LineReader lr(d, initial, 4);
        std::vector<std::string> got;
        while (const Line* l = lr.next()) got.emplace_back(l->text);
        EXPECT_EQ(got, c.lines) << c.name << " step " << step << " buffer " << initial;
        EXPECT_EQ(lr.long_line(), c.long_line) << c.name << " step " << step;
        EXPECT_EQ(lr.next(), nullptr) << c.name;  // and stays ended
      }
    }
  }
}

// The limit counts decoded bytes: UTF-16 text is measured as its UTF-8 form.
TEST(LineSplitting, Utf16LinesAreMeasuredDecoded) {
  // "\u00e9\u00e9" is 4 bytes decoded (fits a limit of 4), "\u00e9\u00e9a" 5.
  std::string b(
      "\xFF\xFE"
      "\xE9\0\xE9\0\n\0\xE9\0\xE9\0a\0\n\0",
      16);
  MemorySource src(b.data(), b.size());
  Decoder d(src, Encoding::kUtf16Le);
  LineReader lr(d, 8, 4);
  int n = 0;
  while (lr.next()) ++n;
  EXPECT_EQ(n, 1);
  EXPECT_EQ(lr.long_line(), 2u);
}

TEST(LineSplitting, LineNumbersCountDecodedUtf16Lines) {
  std::string b(
      "\xFF\xFE"
      "a\0\r\0\n\0b\0\r\0c\0",
      14);
  MemorySource src(b.data(), b.size());
  Decoder d(src, Encoding::kUtf16Le);
  LineReader lr(d);
  std::vector<std::string> got;
  std::uint64_t last = 0;
  while (const Line* l = lr.next()) got.emplace_back(l->text), last = l->number;
  EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(last, 3u);
}

// A file without a mark is read as UTF-8 until its first byte beyond ASCII decides it; each
// line says what was known when it was handed out.
TEST(LineSplitting, EachLineSaysWhetherItIsUnicode) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<bool> unicode;
  } cases[] = {
      {"ascii", "ab\ncd\n", {true, true}},
      {"single-byte at the end", "ab\ncd\n\xE9\nx\n", {true, true, false, false}},
      {"UTF-8 at the end", "ab\ncd\n\xC3\xA9\nx\n", {true, true, true, true}},
  };
  for (const Case& c : cases) {
    TrickleSource src(c.text, 2);
    EncodingState st;
    st.known = false;
    Decoder d(src, st);
    LineReader lr(d, 8);
    std::vector<bool> got;
    while (const Line* l = lr.next()) got.push_back(l->unicode);
    EXPECT_EQ(got, c.unicode) << c.name;
  }
  // Decided before reading: every line says so.
  MemorySource src("ab\ncd\n", 6);
  Decoder d(src, Encoding::kSingleByte);
  LineReader lr(d);
  int lines = 0;
  for (const Line* l = lr.next(); l; l = lr.next(), ++lines) EXPECT_FALSE(l->unicode) << lines;
  EXPECT_EQ(lines, 2);
}

}  // namespace

namespace {

// Lines as the rule says: a CR, an LF, or a CR LF pair ends one.
std::vector<std::string> reference_split(const std::string& t) {
  std::vector<std::string> out;
  std::string cur;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r' || t[i] == '\n') {
      out.push_back(cur);
      cur.clear();
      if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
    } else {
      cur += t[i];
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

// Texts of thousands of line ends, thick and thin, so that every way a CR LF pair, a long
// line or a run of empty lines can fall across 64-byte blocks, index spans and reads is met.
TEST(LineSplitting, AgreesWithTheRuleOnRandomTexts) {
  std::uint64_t x = 0x9E3779B97F4A7C15ull;
  auto rnd = [&x] {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    return x;
  };
  for (int round = 0; round < 40; ++round) {
    std::string t;
    std::size_t len = 1 + rnd() % 9000;
    unsigned density = 1 + static_cast<unsigned>(rnd() % 60);  // line ends per 64 bytes, about
    while (t.size() < len) {
      std::uint64_t r = rnd();
      if (r % 64 < density) {
        t += "\r\n\r\n\n\r"[r / 64 % 6];
      } else if (r % 97 == 0) {
        t += std::string(static_cast<std::size_t>(r / 97 % 3000), 'y');
      } else {
        t += static_cast<char>('a' + r / 64 % 26);
      }
    }
    std::vector<std::string> want = reference_split(t);
    for (std::size_t step : {1, 5, 64, 4096, 100000})
      for (std::size_t initial : {8, 100, 65536})
        ASSERT_EQ(split(t, step, initial), want)
            << "round " << round << " step " << step << " buffer " << initial;
  }
}

}  // namespace
