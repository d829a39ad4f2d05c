#include <gtest/gtest.h>

#include <string>

#include "count.h"
#include "references.h"
#include "webvtt.h"

using namespace cuelint;

namespace {

struct RefCase {
  const char* line;
  std::uint64_t chars;
};

// Counted as a WebVTT text line: its markup out, references as what they name.
TEST(References, CountedAsTheCharactersTheyName) {
  const RefCase cases[] = {
      {"&amp;", 1},
      {"&lt;i&gt;", 3},
      {"a&nbsp;b", 2},      // white space
      {"a&lrm;b&rlm;", 2},  // none
      {"&am<b>p;", 5},      // markup splits a reference
      {"&am|p;", 5},        // so does a mark
      {"&a&lrm;mp;", 5},    // what a removed one leaves is not read again
      {"&amp;lt;", 4},      // "&" then "lt;"
      {"&AMP;", 5},         // case-sensitive
      {"&quot;", 6},        // not one of them
      {"&amp", 4},          // no ";"
      {"&", 1},
      {"&&amp;&", 3},
      {"caf\xC3\xA9 &amp; th\xC3\xA9", 8},
      {"&amp;\xCC\x81", 1},  // a combining mark joins the "&" it follows
      {"<c.yellow>&lt;</c>", 1},
  };
  for (const RefCase& c : cases) {
    unsigned marks = 0;
    EXPECT_EQ(count_line_with_references(c.line, webvtt_markup, true, &marks), c.chars) << c.line;
  }
}

// Without a reference, the count is the plain count of the line, marks included.
TEST(References, AgreeWithThePlainCountWithoutReferences) {
  const char* lines[] = {"plain text",
                         "<i>a</i> | b [br] c",
                         "{\\an8}x",
                         "<00:01.500>word",
                         "\xE3\x81\x82\xE3\x81\x84 <b>x</b>",
                         "a[b]c|"};
  for (const char* l : lines) {
    unsigned m1 = 0, m2 = 0;
    EXPECT_EQ(count_line_with_references(l, webvtt_markup, true, &m1),
              count_line(l, webvtt_markup, true, &m2))
        << l;
    EXPECT_EQ(m1, m2) << l;
  }
}

TEST(References, Replaced) {
  std::string out;
  replace_references("a&lt;&nbsp;&rlm;&x;", out);
  EXPECT_EQ(out, "a<\xC2\xA0&x;");
}

}  // namespace
