#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "block.h"
#include "count.h"
#include "lint_helper.h"

using namespace cuelint;

namespace {

// Formats that exist only here: the block must take everything from the row.
FormatInfo made_up(MarkupRule markup, Mark line_break, std::uint64_t max_lines,
                   const char* wording) {
  FormatInfo f;
  f.name = "made-up";
  f.title = "Made-up";
  f.units_per_second = 1000;
  f.markup = markup;
  f.line_break = line_break;
  f.max_text_lines = max_lines;
  f.lines_allowed = wording;
  return f;
}

const FormatInfo kPlain = made_up(nullptr, Mark::kNone, 0, nullptr);
const FormatInfo kPipeOwn = made_up(nullptr, Mark::kPipe, 1, "one is allowed");
const FormatInfo kBrOwn = made_up(subrip_markup, Mark::kBr, 2, "two are allowed");

Subtitle numbered(std::uint64_t line, std::int64_t number) {
  Subtitle s;
  s.line = line;
  s.has_number = true;
  s.number = number;
  s.has_times = true;
  s.start = 0;
  s.stop = 1000;  // one second: room for 20 characters at 20 per second
  return s;
}

Line line_at(std::uint64_t number, std::string_view text) {
  Line l;
  l.number = number;
  l.text = text;
  return l;
}

// "LINE:check:COLUMN:message", one a line.
std::string written(const std::vector<Fault>& faults) {
  std::string s;
  for (const Fault& f : faults)
    s += std::to_string(f.line) + ":" + check_name(f.check) + ":" + std::to_string(f.column) + ":" +
         std::string(f.text()) + "\n";
  return s;
}

// A block over a checker of the format, its faults collected.
struct Checked {
  cuelint_test::Collect sink;
  FileChecker fc;
  Block b;
  explicit Checked(const FormatInfo& f) : fc(sink, f, Options{}), b(fc) {}
  std::string faults() const { return written(sink.faults); }
};

struct BlockCase {
  const char* name;
  const FormatInfo* format;
  std::vector<std::string> text;  // the text lines, from line 2
  const char* faults;
};

// Named, not dumped as bytes, in test listings.
void PrintTo(const BlockCase& c, std::ostream* os) {
  *os << c.name;
}

class BlockText : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockText, Table) {
  const BlockCase& c = GetParam();
  Checked r(*c.format);
  r.b.begin(numbered(1, 7));
  for (std::size_t i = 0; i < c.text.size(); ++i) r.b.text(line_at(2 + i, c.text[i]));
  r.b.close();
  r.b.finish();
  EXPECT_EQ(r.faults(), c.faults) << c.name;
  EXPECT_EQ(r.fc.faults(), r.sink.faults.size()) << c.name;
}

const BlockCase kBlockCases[] = {
    {"no_own_mark_both_are_foreign",
     &kPlain,
     {"a|b[br]c"},
     "2:line-break-mark:1:line-break mark \"|\" in subtitle 7\n"
     "2:line-break-mark:3:line-break mark \"[br]\" in subtitle 7\n"},
    {"pipe_is_own",
     &kPipeOwn,
     {"a|b[br]c"},
     "2:line-break-mark:3:line-break mark \"[br]\" in subtitle 7 (\"|\" breaks a line)\n"},
    {"br_is_own",
     &kBrOwn,
     {"a|b[br]c", "[b[br]r]"},
     "2:line-break-mark:1:line-break mark \"|\" in subtitle 7 (\"[br]\" breaks a line)\n"},
    {"marks_inside_markup_count",
     &kBrOwn,
     {"<font c=\"|\">x</font>"},
     "2:line-break-mark:9:line-break mark \"|\" in subtitle 7 (\"[br]\" breaks a line)\n"},
    {"limit_one",
     &kPipeOwn,
     {"a", "b", "c"},
     "3:too-many-lines:0:subtitle 7 has 3 text lines; one is allowed\n"},
    {"limit_two_kept", &kBrOwn, {"a", "b"}, ""},
    {"limit_two_passed",
     &kBrOwn,
     {"a", "b", "c", "d"},
     "4:too-many-lines:0:subtitle 7 has 4 text lines; two are allowed\n"},
    {"no_limit", &kPlain, {"a", "b", "c", "d", "e"}, ""},
    {"count_across_lines",
     &kPlain,
     {"abcdefghij", "klmnopqrstu"},
     "1:reading-time:0:subtitle 7 is shown 1.000 s; its 21 characters need 1.050 s (21.0 "
     "per second; at most 20)\n"},
    {"markup_by_the_row", &kBrOwn, {"<i>abcdefghijklmnopqrst</i>"}, ""},
    {"no_markup_in_the_row",
     &kPlain,
     {"<i>abcdefghijklmnopq</i>"},
     "1:reading-time:0:subtitle 7 is shown 1.000 s; its 24 characters need 1.200 s (24.0 "
     "per second; at most 20)\n"},
    // The too-many-lines fault is written at the end, and still comes in its place.
    {"report_order",
     &kPipeOwn,
     {"a[br]", "b[br]|"},
     "2:line-break-mark:1:line-break mark \"[br]\" in subtitle 7 (\"|\" breaks a line)\n"
     "3:line-break-mark:1:line-break mark \"[br]\" in subtitle 7 (\"|\" breaks a line)\n"
     "3:too-many-lines:0:subtitle 7 has 2 text lines; one is allowed\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, BlockText, ::testing::ValuesIn(kBlockCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Block, TextFromAColumnOn) {
  Checked r(kPipeOwn);
  r.b.begin(numbered(4, 1));
  r.b.text(line_at(4, "{0}{9}a|b[br]"), 6);
  r.b.close();
  EXPECT_EQ(r.faults(),
            "4:line-break-mark:9:line-break mark \"[br]\" in subtitle 1 (\"|\" breaks a line)\n");
}

TEST(Block, CountedLineIsATextLineWithoutMarks) {
  Checked r(kPipeOwn);
  r.b.begin(numbered(1, 3));
  r.b.text(line_at(2, "abcdefghij"));
  r.b.text_counted(3, 11);
  r.b.close();
  EXPECT_EQ(r.faults(),
            "1:reading-time:0:subtitle 3 is shown 1.000 s; its 21 characters need 1.050 s (21.0 "
            "per second; at most 20)\n"
            "3:too-many-lines:0:subtitle 3 has 2 text lines; one is allowed\n");
}

// A text line's count is the same whether the display-line rules look at it too (one pass
// for both when it is plain) or not.
TEST(Block, CountWithAndWithoutTheDisplayLineRules) {
  FormatInfo refs = made_up(subrip_markup, Mark::kNone, 0, nullptr);
  refs.references = true;
  const FormatInfo* formats[] = {&kPlain, &kPipeOwn, &kBrOwn, &refs};
  struct Case {
    const char* text;
    std::uint64_t chars;  // in kPlain: no markup, no references
  } cases[] = {
      {"a b\tc", 3},
      {"  two  blanks  ", 9},
      {"a|b|c", 3},
      {"x[br]y[br]", 2},
      {"[b[br]r]", 4},
      {"[br", 3},
      {"fish &amp; chips", 14},
      {"tab\there, and past sixteen bytes | with a bar [br] and a mark", 43},
      {"|", 0},
      {" ", 0},
      {"<i>a b</i>", 9},
      {"caf\xC3\xA9 au lait", 10},
      {"a\001b", 3},
      {"\x7F~", 2},
  };
  Options shown;  // one millisecond: a reading-time fault that gives the count
  Options looked = shown;
  looked.on[static_cast<std::size_t>(Check::kLineLength)] = true;
  looked.line_length = 1000;
  for (const FormatInfo* f : formats) {
    for (const Case& c : cases) {
      std::string got[2];
      const Options* opts[] = {&shown, &looked};
      for (int k = 0; k < 2; ++k) {
        cuelint_test::Collect sink;
        FileChecker fc(sink, *f, *opts[k]);
        Block b(fc);
        Subtitle s = numbered(1, 1);
        s.stop = 1;
        b.begin(s);
        b.text(line_at(2, c.text));
        b.finish();
        got[k] = written(sink.faults);
      }
      EXPECT_EQ(got[0], got[1]) << f->name << " " << c.text;
      if (f == &kPlain) {
        const std::string want = " " + std::to_string(c.chars) + " character";
        EXPECT_EQ(c.chars > 0, got[0].find(want) != std::string::npos) << c.text << ": " << got[0];
      }
    }
  }
}

TEST(Block, OpenSubtitleRunsIntoTheNext) {
  Checked r(kPlain);
  r.b.begin(numbered(1, 1));
  r.b.text(line_at(2, "a"));
  EXPECT_TRUE(r.b.open());
  Subtitle next = numbered(3, 2);
  next.start = 2000, next.stop = 3000;
  r.b.begin(next);  // no blank line after line 2
  EXPECT_TRUE(r.b.open());
  r.b.begin(numbered(4, 3));  // nor after the time line of subtitle 2, which has no text
  r.b.finish();
  EXPECT_FALSE(r.b.open());
  EXPECT_EQ(r.faults(),
            "2:structure:0:no blank line between subtitle 1 and the next subtitle\n"
            "3:structure:0:no blank line between subtitle 2 and the next subtitle\n"
            "4:overlap:0:subtitle 3 starts at 00:00:00,000, 3.000 s before subtitle 2 stops at "
            "00:00:03,000\n");
}

}  // namespace
