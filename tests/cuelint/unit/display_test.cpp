#include "display.h"

#include <gtest/gtest.h>

#include <string>

#include "lint_helper.h"
#include "rules.h"

using namespace cuelint;

namespace {

Options with(std::initializer_list<Check> rules, const char* set = nullptr) {
  Options o;
  for (std::size_t i = 0; i < kCheckCount; ++i) o.on[i] = false;
  for (Check c : rules) o.on[static_cast<std::size_t>(c)] = true;
  if (set) {
    std::string s = set;
    std::size_t dot = s.find('.'), eq = s.find('=');
    Check c;
    EXPECT_TRUE(find_rule(s.substr(0, dot), c));
    Value v;
    v.text = s.substr(eq + 1);
    EXPECT_EQ(set_param(o, c, s.substr(dot + 1, eq - dot - 1), v), nullptr) << set;
  }
  return o;
}

std::string srt(const std::string& text) {
  return "1\n00:00:01,000 --> 00:00:09,000\n" + text + "\n";
}

struct Case {
  const char* what;
  Options opt;
  std::string file;
  const char* want;
};

void run(const Case* b, const Case* e) {
  for (const Case* c = b; c != e; ++c)
    EXPECT_EQ(cuelint_test::lint_brief(c->file, c->opt), c->want) << c->what;
}

const Options kLines2 = with({Check::kTooManyLines}, "too-many-lines.max=2");
const Options kLength5 = with({Check::kLineLength}, "line-length.max=5");
const Options kWhite = with({Check::kWhitespace});
const Options kControl = with({Check::kControlChar});
const Options kTags = with({Check::kTags});

TEST(TextRules, DisplayLinesOfEachFormat) {
  const Case cases[] = {
      // SubRip has no mark of its own: "|" is taken out and splits nothing.
      {"subrip pipe", kLines2, srt("a|b|c"), ""},
      {"subrip three text lines", kLines2, srt("a\nb\nc"), "5:too-many-lines#1@1000-9000"},
      {"subrip empty line once markup is out", kLines2, srt("a\n<i></i>\nc"), ""},
      {"subrip blanks are not empty", kLines2, srt("a\nb\n<i> </i>"),
       "5:too-many-lines#1@1000-9000"},
      // The format's limit: SubRip two text lines, whatever their display lines.
      {"format limit", with({Check::kTooManyLines}), srt("a\nb\n<i></i>"),
       "5:too-many-lines#1@1000-9000"},
      // MicroDVD: "|" splits, but not inside markup; an empty display line is not counted.
      {"microdvd", kLines2, "{0}{100}{c:$a|b}x|y\n", ""},
      {"microdvd three", kLines2, "{0}{100}x|y|z\n", "1:too-many-lines@0-4000"},
      {"microdvd empty between", kLines2, "{0}{100}a||b\n", ""},
      {"microdvd empty at the end", kLines2, "{0}{100}a||b|\n", ""},
      {"microdvd format: no limit", with({Check::kTooManyLines}), "{0}{100}a|b|c|d\n", ""},
      // Subviewer 2.0: "[br]" splits; with a number its display lines count, with "format"
      // its text lines.
      {"subviewer br", kLines2, "00:00:01.00,00:00:02.00\na[br]b[br]c\n",
       "2:too-many-lines@1000-2000"},
      {"subviewer two text lines", kLines2, "00:00:01.00,00:00:02.00\na\nb\n", ""},
      {"subviewer format", with({Check::kTooManyLines}), "00:00:01.00,00:00:02.00\na[br]b[br]c\n",
       ""},
      // A malformed time line: the text is still known.
      {"time-code", kLines2, "1\n00:00:01,000 --> 00:00:09,00\na\nb\nc\n", "5:too-many-lines#1"},
  };
  run(std::begin(cases), std::end(cases));
}

TEST(TextRules, LineLength) {
  const Case cases[] = {
      {"five", kLength5, srt("abcde"), ""},
      {"six", kLength5, srt("abcdef"), "3:line-length#1@1000-9000"},
      {"white space counts", kLength5, srt("ab cde"), "3:line-length#1@1000-9000"},
      {"markup does not", kLength5, srt("<i>abcde</i>{\\an8}"), ""},
      {"one fault per display line", kLength5, "{0}{100}abcdef|abcdef|abc\n",
       "1:line-length@0-4000 1:line-length@0-4000"},
      // Grapheme clusters: e and a combining acute are one.
      {"clusters", kLength5,
       srt("e\xCC\x81"
           "bcde"),
       ""},
      // Single-byte files: every byte.
      {"single byte", kLength5, srt("\xE9\xE9\xE9\xE9\xE9"), ""},
      {"single byte six", kLength5, srt("\xE9\xE9\xE9\xE9\xE9 "), "3:line-length#1@1000-9000"},
      {"the default 42", with({Check::kLineLength}),
       srt(std::string(42, 'x') + "\n" + std::string(43, 'x')), "4:line-length#1@1000-9000"},
  };
  run(std::begin(cases), std::end(cases));
}

TEST(TextRules, WhiteSpace) {
  const Case cases[] = {
      {"clean", kWhite, srt("a b\n<i>c d</i>"), ""},
      {"begins", kWhite, srt(" a"), "3:whitespace#1@1000-9000"},
      {"ends", kWhite, srt("a\t"), "3:whitespace#1@1000-9000"},
      {"two around markup", kWhite, srt("a <i> b"), "3:whitespace#1@1000-9000"},
      {"a removed mark", kWhite, srt("a | b"), "3:whitespace#1@1000-9000"},
      {"only markup", kWhite, srt("<i></i>"), ""},
      {"one per file line", kWhite, "{0}{100} a | b \n", "1:whitespace@0-4000"},
      {"each display line on its own", kWhite, "{0}{100}a|b\n", ""},
      // No-break space then space: two code points.
      {"unicode white space", kWhite, srt("a\xC2\xA0 b"), "3:whitespace#1@1000-9000"},
      {"ideographic space", kWhite, srt("a\xE3\x80\x80"), "3:whitespace#1@1000-9000"},
      // In single-byte files A0 is a character.
      {"single byte", kWhite, srt("\xE9\xA0 b"), ""},
  };
  run(std::begin(cases), std::end(cases));
}

TEST(TextRules, ControlCharacters) {
  const Case cases[] = {
      {"tab is fine", kControl, srt("a\tb"), ""},
      {"form feed", kControl,
       srt("a\x0C"
           "b"),
       "3:control-char#1@1000-9000"},
      {"one per line", kControl, srt("\x01\x02\n\x7F"),
       "3:control-char#1@1000-9000 4:control-char#1@1000-9000"},
      {"inside markup", kControl, srt("<font color=\"\x01\">a</font>"),
       "3:control-char#1@1000-9000"},
      {"C1 in unicode", kControl,
       srt("a\xC2\x85"
           "b"),
       "3:control-char#1@1000-9000"},
      {"replacement character", kControl, srt("caf\xEF\xBF\xBD"), "3:control-char#1@1000-9000"},
      {"single byte 85 is a character", kControl, srt("caf\xE9\x85"), ""},
      {"single byte 7F", kControl, srt("caf\xE9\x7F"), "3:control-char#1@1000-9000"},
      {"not in a number line", kControl, "1\x01\n00:00:01,000 --> 00:00:02,000\na\n",
       "1:structure"},
      {"microdvd text only", kControl, "{0}{100}a\x0B\n", "1:control-char@0-4000"},
  };
  Case c = cases[8];
  c.opt.on[static_cast<std::size_t>(Check::kStructure)] = true;
  run(std::begin(cases), std::begin(cases) + 8);
  run(&c, &c + 1);
  run(std::begin(cases) + 9, std::end(cases));
}

TEST(TextRules, TagStacks) {
  const Case cases[] = {
      {"balanced", kTags, srt("<i>a</i> <b>b</b>"), ""},
      {"across lines", kTags, srt("<i>a\nb</i>"), ""},
      {"any case", kTags, srt("<I>a</i>"), ""},
      {"blanks", kTags, srt("<i >a</i >"), ""},
      {"font with attributes", kTags, srt("<font color=\"red\">a</FONT>"), ""},
      {"crossed is fine", kTags, srt("<i><b>a</i></b>"), ""},
      {"closer without opener", kTags, srt("a</i>"), "3:tags#1@1000-9000"},
      {"opener left open, at its line", kTags, srt("<i>a\nb"), "3:tags#1@1000-9000"},
      {"two open", kTags, srt("<i><i>a</i>\n<u>"), "3:tags#1@1000-9000 4:tags#1@1000-9000"},
      {"not tags", kTags, srt("</ i> <ib> <i/> {\\i1} <x>"), ""},
      {"each subtitle apart", kTags,
       "1\n00:00:01,000 --> 00:00:02,000\n<i>a\n\n2\n00:00:03,000 --> 00:00:04,000\nb</i>\n",
       "3:tags#1@1000-2000 7:tags#2@3000-4000"},
      {"only SubRip", kTags, "{0}{100}{y:i}a\n", ""},
  };
  run(std::begin(cases), std::end(cases));
}

TEST(TextRules, ClustersWithWhiteSpace) {
  struct Row {
    const char* s;
    bool unicode;
    std::uint64_t n;
  };
  const Row rows[] = {{"", true, 0},
                      {"a b", true, 3},
                      {"\xE9 \x09", false, 3},
                      {"e\xCC\x81 ", true, 2},
                      {"\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA", true, 1}};  // a flag: one cluster
  for (const Row& r : rows) EXPECT_EQ(count_clusters(r.s, r.unicode), r.n) << r.s;
}

// Lines of letters, blanks and marks take a quicker way than lines with markup: markup in
// front of each (taken out, so nothing else changes) must not change their faults.
TEST(TextRules, PlainLinesAsLinesWithMarkup) {
  const char* pieces[] = {"a", " ", "\t", "|", "[", "[br]"};
  Options o;
  apply_profile(o, Profile::kAll);
  Value v;
  v.text = "1";
  ASSERT_EQ(set_param(o, Check::kTooManyLines, "max", v), nullptr);
  v.text = "2";
  ASSERT_EQ(set_param(o, Check::kLineLength, "max", v), nullptr);
  v.text = "all";
  ASSERT_EQ(set_param(o, Check::kReadingTime, "count", v), nullptr);
  struct Format {
    std::string head, markup;
  } formats[] = {{"{0}{10}", "{y:i}"}, {"1\n00:00:01,000 --> 00:00:01,100\n", "<x>"}};
  int lines = 0;
  for (const Format& f : formats) {
    std::vector<std::string> texts = {""};
    for (int len = 0; len < 5; ++len) {
      std::vector<std::string> longer;
      for (const std::string& t : texts)
        for (const char* p : pieces) longer.push_back(t + p);
      for (const std::string& t : longer) {
        if (t.find_first_not_of(" \t") == std::string::npos) continue;  // a blank line
        ++lines;
        std::string plain = cuelint_test::lint_brief(f.head + t + "\n", o);
        std::string marked = cuelint_test::lint_brief(f.head + f.markup + t + "\n", o);
        ASSERT_EQ(plain, marked) << f.head << t;
      }
      texts = std::move(longer);
    }
  }
  EXPECT_GT(lines, 1000);
}

}  // namespace
