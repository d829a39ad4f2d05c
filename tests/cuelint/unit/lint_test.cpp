#include <gtest/gtest.h>

#include <string>

#include "lint.h"
#include "lint_helper.h"
#include "microdvd.h"
#include "registry.h"

using namespace cuelint;
using cuelint_test::lint_brief;
using cuelint_test::lint_bytes;

namespace {

std::string utf16le(const std::string& ascii) {
  std::string s("\xFF\xFE", 2);
  for (char c : ascii) {
    s += c;
    s += '\0';
  }
  return s;
}

TEST(Lint, FormatFaultForEmptyAndUnknownFiles) {
  for (std::string t : {std::string(), std::string("\n\n"), std::string("hello\n"),
                        std::string("\xEF\xBB\xBF"), std::string("\x00\x01\x02\xff\n", 5)}) {
    auto f = lint_bytes(t);
    ASSERT_EQ(f.size(), 1u) << t;
    EXPECT_EQ(f[0].line, 1u);
    EXPECT_EQ(f[0].check, Check::kFormat);
    EXPECT_EQ(f[0].format, nullptr);
    EXPECT_FALSE(f[0].has_subtitle);
    EXPECT_FALSE(f[0].has_times);
    EXPECT_EQ(f[0].text(), no_format_message());  // its words: registry_test
  }
}

TEST(Lint, BadUtf8AfterMarkIsOneFormatFaultAndNothingElse) {
  auto f = lint_bytes("\xEF\xBB\xBF{1}{0}a|b[br]\n{\xFF}\n");
  ASSERT_EQ(f.size(), 1u);
  EXPECT_EQ(cuelint_test::brief(f), "1:format");
  EXPECT_EQ(f[0].text(), "a UTF-8 byte-order mark, then bytes that are not well-formed UTF-8");
}

TEST(Lint, BrokenUtf16IsOneFormatFault) {
  std::string odd = utf16le("{1}{0}x\n") + "x";
  EXPECT_EQ(lint_brief(odd), "1:format");
  std::string lone = utf16le("{1}{0}x\n") + std::string("\x00\xDC", 2);
  EXPECT_EQ(lint_brief(lone), "1:format");
}

TEST(Lint, Utf16FileIsCheckedOnDecodedLines) {
  std::string t = utf16le(
      "1\r\n00:00:01,000 --> 00:00:02,000\r\na|b\r\n\r\n2\r\n"
      "00:00:01,500 --> 00:00:03,000\r\nc\r\n");
  EXPECT_EQ(lint_brief(t), "3:line-break-mark#1@1000-2000 6:overlap#2@1500-3000");
  // Big-endian too.
  std::string be("\xFE\xFF", 2);
  for (char c : std::string("{0}{1}abc\n")) {
    be += '\0';
    be += c;
  }
  EXPECT_EQ(lint_brief(be), "1:reading-time@0-40");
}

TEST(Lint, SingleByteFileCountsBytes) {
  // Five bytes of single-byte text need 0.25 s: more than the 0.15 s shown.
  std::string t = "1\n00:00:00,000 --> 00:00:00,150\n\xC3\xA9\xC3\xA9\xFF\n";
  EXPECT_EQ(lint_brief(t), "2:reading-time#1@0-150");
}

TEST(Lint, Utf8MarkIsNotText) {
  EXPECT_EQ(lint_brief("\xEF\xBB\xBF{0}{25}" + std::string(20, 'x') + "\n"), "");
  EXPECT_EQ(lint_brief("\xEF\xBB\xBF"
                       "1\n00:00:01,000 --> 00:00:02,000\nHi\n"),
            "");
}

TEST(Lint, TrickledSourceGivesTheSameFaults) {
  std::string t = utf16le(
      "1\r00:00:01,000 --> 00:00:02,000\rtoo long a text line here\r"
      "b|\rc\r2\r00:00:00,000 --> 00:00:03,000\r");
  std::string whole = lint_brief(t);
  EXPECT_EQ(whole,
            "2:reading-time#1@1000-2000 4:line-break-mark#1@1000-2000 "
            "5:too-many-lines#1@1000-2000 5:structure#1@1000-2000 7:overlap#2@0-3000");
  for (std::size_t step : {1, 2, 3, 7}) {
    cuelint_test::TrickleSource src(t, step);
    cuelint_test::Collect c;
    lint(src, Options{}, c);
    EXPECT_EQ(cuelint_test::brief(c.faults), whole) << step;
  }
}

TEST(Lint, OutcomeNamesEncodingFormatAndFaults) {
  std::string t = "{0}{1}abc\n{0}{1}abc\n";
  MemorySource src(t.data(), t.size());
  cuelint_test::Collect c;
  FileOutcome o = lint(src, Options{}, c);
  EXPECT_EQ(o.encoding, Encoding::kUtf8);
  EXPECT_EQ(o.format, &kMicroDvd);
  EXPECT_EQ(o.faults, 3u);  // two reading-time, one overlap
  EXPECT_EQ(c.faults.size(), 3u);
}

}  // namespace

namespace {

std::string mixed_subrip() {
  std::string t;
  for (int i = 1; i <= 300; ++i) {
    t += std::to_string(i % 7 ? i : i + 1) + "\r\n00:00:0" + std::to_string(i % 10) +
         ",000 --> 00:00:05,000\r\ntext|[br] " +
         std::string(static_cast<std::size_t>(i % 50), 'x') + "\n" + (i % 11 ? "\r\n" : "");
  }
  return t;
}

// Fails with EIO after `after` bytes of the third pass over it (the checks).
class FailingSource : public Source {
 public:
  FailingSource(std::string_view data, std::size_t after) : data_(data), after_(after) {}
  std::size_t read(char* buf, std::size_t n) override {
    if (passes_ == 2 && pos_ >= after_) throw ReadError{5};
    if (n > data_.size() - pos_) n = data_.size() - pos_;
    data_.copy(buf, n, pos_);
    pos_ += n;
    return n;
  }
  void rewind() override {
    pos_ = 0;
    ++passes_;
  }

 private:
  std::string_view data_;
  std::size_t after_, pos_ = 0;
  int passes_ = 0;
};

TEST(Lint, ReadErrorReachesTheCaller) {
  std::string t = mixed_subrip();
  ASSERT_NE(lint_brief(t), "");
  for (std::size_t after : {0, 100, 5000}) {
    FailingSource src(t, after);
    cuelint_test::Collect c;
    try {
      lint(src, Options{}, c, 16);
      ADD_FAILURE() << "no ReadError after " << after;
    } catch (const ReadError& e) {
      EXPECT_EQ(e.error, 5);
    }
  }
}

}  // namespace

namespace {

// Faults and outcome of one way of reading, written out in full.
std::string lint_full(std::string_view t, bool decide_first, std::size_t step) {
  cuelint_test::TrickleSource src(t, step);
  cuelint_test::Collect c;
  FileOutcome o = lint(src, Options{}, c, 16, decide_first);
  std::string s = std::string(encoding_name(o.encoding)) + " " + std::to_string(o.faults);
  for (const Fault& f : c.faults) s += " " + std::to_string(f.line) + ":" + std::string(f.text());
  return s;
}

// A file without a mark is read before its encoding is known; the first byte beyond ASCII
// (or 0B, 0C) decides it. Each case must come out as if it had been decided first.
TEST(Lint, EncodingDecidedOnTheWayAgreesWithDecidingFirst) {
  std::string clean;
  for (int i = 1; i <= 400; ++i)
    clean += std::to_string(i) + "\n00:00:" + std::to_string(10 + i % 50) +
             ",000 --> 00:00:59,000\n" +
             (i % 3 ? "short\n\n" : "a text line of many characters\n\n");
  std::string late = clean + "401\n00:01:00,000 --> 00:01:00,150\n";
  struct Case {
    const char* name;
    std::string text;
    const char* encoding;
  } cases[] = {
      {"ascii only", clean, "utf-8"},
      {"late UTF-8", late + "caf\xC3\xA9 \xE2\x80\x83 \xE2\x80\x83 x\n", "utf-8"},
      {"late single byte", late + "caf\xE9 \xA0\xA0 x\n", "single-byte"},
      {"UTF-8, then a broken sequence far on", late + "\xC3\xA9\n" + clean + "\xC3\n",
       "single-byte"},
      {"a vertical tab in UTF-8", late + "a\x0B\x0B\x0Bz\n\xC3\xA9\n", "utf-8"},
      {"a form feed in single-byte text", late + "a\x0C\x0C\x0Cz\n\xFF\n", "single-byte"},
      {"a form feed alone", late + "\x0C\n\n402\n00:01:01,000 --> 00:01:02,000\nx\n", "utf-8"},
      {"beyond ASCII at once", "\xA0" + clean, "single-byte"},
      {"a cut sequence at the end", late + "ab\xE2\x80", "single-byte"},
      {"MicroDVD", "{0}{25}\xC3\xA9\xC3\xA9\xC3\xA9\n{30}{31}" + std::string(40, 'x') + "\xE9\n",
       "single-byte"},
      {"no subtitles, and beyond ASCII after the 50 lines looked at",
       [] {
         std::string t;
         for (int i = 0; i < 60; ++i) t += "hello\n";
         return t + "\xE9\n";
       }(),
       "single-byte"},
      {"Subviewer 2.0",
       "00:00:01.00,00:00:01.10\n\x0C\x0C\n\n00:00:02.00,00:00:02.05\nabc\xC2\xA0\n", "utf-8"},
  };
  for (const Case& c : cases) {
    std::string first = lint_full(c.text, true, 4096);
    EXPECT_EQ(first.substr(0, first.find(' ')), c.encoding) << c.name;
    for (std::size_t step : {1, 7, 4096})
      EXPECT_EQ(lint_full(c.text, false, step), first) << c.name << " step " << step;
    MemorySource mem(c.text.data(), c.text.size());
    cuelint_test::Collect col;
    EXPECT_EQ(encoding_name(lint(mem, Options{}, col).encoding), std::string(c.encoding)) << c.name;
  }
}

}  // namespace

namespace {}  // namespace
