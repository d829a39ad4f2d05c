#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "encoding.h"
#include "lint.h"
#include "microdvd.h"
#include "registry.h"
#include "sbv.h"
#include "source.h"
#include "subrip.h"
#include "subviewer.h"
#include "webvtt.h"

using namespace cuelint;

namespace {

const FormatInfo* detect(const std::string& text, bool unicode = true) {
  MemorySource src(text.data(), text.size());
  Decoder d(src, unicode ? Encoding::kUtf8 : Encoding::kSingleByte);
  LineReader lr(d);
  const FormatRow* row = detect_format(lr);
  return row ? row->info : nullptr;
}

const char* name_of(const FormatInfo* f) {
  return f ? f->name : "none";
}

std::string many(const char* line, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += line;
  return s;
}

struct DetectCase {
  const char* name;
  std::string text;
  const FormatInfo* format;
};

// Named, not dumped as bytes, in test listings.
void PrintTo(const DetectCase& c, std::ostream* os) {
  *os << c.name;
}

class FormatDetection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(FormatDetection, Table) {
  EXPECT_STREQ(name_of(detect(GetParam().text)), name_of(GetParam().format)) << GetParam().name;
}

const DetectCase kDetectCases[] = {
    {"microdvd", "{1}{2}Hi\n", &kMicroDvd},
    {"microdvd_after_blanks", "\n  \n{1}{2}Hi\n", &kMicroDvd},
    {"brace_anything", "{nonsense\n00:00:01,000 --> 00:00:02,000\n", &kMicroDvd},
    {"brace_only_first", "hello\n{1}{2}Hi\n", nullptr},
    {"subviewer_header", "[INFORMATION]\n", &kSubviewer},
    {"subviewer_time", "00:00:01.00,00:00:02.00\nHi\n", &kSubviewer},
    {"subviewer_only_first", "hello\n00:00:01.00,00:00:02.00\n[x]\n", nullptr},
    {"subrip_numbered", "1\n00:00:01,000 --> 00:00:02,000\n", &kSubRip},
    {"subrip_from_zero", "0\n00:00:01,000 --> 00:00:02,000\n", &kSubRip},
    {"subrip_from_264", "264\n\n00:00:01,000 --> 00:00:02,000\n", &kSubRip},
    {"subrip_no_number", "00:00:01,000 --> 00:00:02,000\nHi\n", &kSubRip},
    {"subrip_negative", "-00:00:01,000 --> 00:00:02,000\n", &kSubRip},
    {"subrip_late_candidate", many("text\n", 49) + "1 --> 2\n", &kSubRip},
    {"subrip_too_late", many("text\n", 50) + "1 --> 2\n", nullptr},
    {"blank_lines_do_not_count", many("text\n\n", 49) + "1 --> 2\n", &kSubRip},
    {"leading_blank_brace", " {1}{2}Hi\n", nullptr},
    {"arrow_after_letter", "<---On Cut--->\n", nullptr},
    {"empty", "", nullptr},
    {"blank_only", " \n\t\n\n", nullptr},
    {"unicode_blank_only", "\xC2\xA0\n\xE3\x80\x80\n", nullptr},
    {"plain_text", "hello\nworld\n", nullptr},
    // Where two rows take the same line, the first row wins.
    {"brace_beats_candidate", "{x} 1 --> 2\n", &kMicroDvd},
    {"header_beats_candidate", "[x] 1 --> 2\n", &kSubviewer},
    {"webvtt", "WEBVTT\n\n00:01.000 --> 00:02.000\nHi\n", &kWebVtt},
    {"webvtt_with_text", "WEBVTT\tKind\n", &kWebVtt},
    {"webvtt_not_alone", "WEBVTTX\n\n00:01.000 --> 00:02.000\n", &kSubRip},
    {"webvtt_only_line_one", "\nWEBVTT\n\n00:01.000 --> 00:02.000\n", &kSubRip},
    {"webvtt_lowercase", "webvtt\n", nullptr},
    {"webvtt_beats_candidate", "WEBVTT 00:00:01,000 --> 00:00:02,000\n", &kWebVtt},
    {"sbv", "0:00:01.599,0:00:04.160\nHi\n", &kSbv},
    {"sbv_after_blanks", "\n\n0:00:01.599,0:00:04.160\nHi\n", &kSbv},
    {"sbv_only_first", "hello\n0:00:01.599,0:00:04.160\nHi\n", nullptr},
    {"sbv_beats_candidate", "0:00:01.599,0:00:04.160 --> 2\n", &kSbv},
};

INSTANTIATE_TEST_SUITE_P(Cases, FormatDetection, ::testing::ValuesIn(kDetectCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatDetection, WhiteSpaceDependsOnEncoding) {
  // A no-break space line is blank in UTF-8 text; in single-byte text it is the first
  // non-blank line, and "{" is then no longer first.
  std::string t = "\xC2\xA0\n{1}{2}Hi\n";
  EXPECT_EQ(detect(t, true), &kMicroDvd);
  EXPECT_EQ(detect(t, false), nullptr);
}

TEST(FormatDetection, ProbeReportsEncodingAndFormat) {
  std::string b(
      "\xFF\xFE{\0"
      "1\0}\0{\0"
      "2\0}\0",
      14);
  MemorySource src(b.data(), b.size());
  FileOutcome o = probe(src);
  EXPECT_EQ(o.encoding, Encoding::kUtf16Le);
  EXPECT_EQ(o.format, &kMicroDvd);
}

// Each row's own test, as the registry asks it: a non-blank line and its rank among them.
TEST(FormatDetection, RowsLookAtTheRankTheyNeed) {
  struct Case {
    bool (*recognizes)(const Line&, int);
    const char* text;
    int rank;
    bool taken;
  } cases[] = {
      {recognizes_microdvd, "{1}{2}x", 1, true},
      {recognizes_microdvd, "{1}{2}x", 2, false},
      {recognizes_subviewer, "[INFO]", 1, true},
      {recognizes_subviewer, "[INFO]", 2, false},
      {recognizes_subviewer, "00:00:01.00,00:00:02.00", 1, true},
      {recognizes_subviewer, "00:00:01.00,00:00:02.00", 3, false},
      {recognizes_webvtt, "WEBVTT", 1, true},
      {recognizes_webvtt, "WEBVTT", 2, false},
      {recognizes_sbv, "0:00:01.000,0:00:02.000", 1, true},
      {recognizes_sbv, "0:00:01.000,0:00:02.000", 2, false},
      {recognizes_subrip, "1 --> 2", 1, true},
      {recognizes_subrip, "1 --> 2", 50, true},
      {recognizes_subrip, "1 -> 2", 1, false},
      {recognizes_subrip, "x 1 --> 2", 1, false},
  };
  for (const Case& c : cases) {
    Line l;
    l.text = c.text;
    l.number = static_cast<std::uint64_t>(c.rank) * 2 - 1;  // blank lines between them
    EXPECT_EQ(c.recognizes(l, c.rank), c.taken) << c.text << " at rank " << c.rank;
  }
}

TEST(Registry, RowsInDetectionOrderWithTheirData) {
  std::vector<std::string> names;
  std::set<std::string> unique;
  for (const FormatRow& r : format_rows()) {
    const FormatInfo& f = *r.info;
    names.push_back(f.name);
    unique.insert(f.name);
    EXPECT_NE(f.title, nullptr) << f.name;
    ASSERT_NE(f.ending, nullptr) << f.name;
    EXPECT_EQ(f.ending[0], '.') << f.name;
    for (const char* c = f.ending; *c; ++c) EXPECT_FALSE(*c >= 'A' && *c <= 'Z') << f.ending;
    // A limit of text lines is worded in its message, and only a limit is.
    EXPECT_EQ(f.max_text_lines > 0, f.lines_allowed != nullptr) << f.name;
    EXPECT_NE(r.recognizes, nullptr) << f.name;
    EXPECT_NE(r.check, nullptr) << f.name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"webvtt", "microdvd", "subviewer", "sbv", "subrip"}));
  EXPECT_EQ(unique.size(), names.size());
}

TEST(Registry, FormatFaultNamesEveryFormat) {
  EXPECT_EQ(no_format_message(), "not a MicroDVD, SBV, SubRip, Subviewer 2.0 or WebVTT file");
}

TEST(Registry, SubtitleNames) {
  struct Case {
    const char* name;
    bool taken;
  } cases[] = {
      {"a.srt", true}, {"a.SrT", true},      {"x/.sub", true},    {"A.SUB", true},
      {".srt", true},  {"a.srt.txt", false}, {"asrt", false},     {"a.ssa", false},
      {"srt", false},  {"", false},          {"a.sr", false},     {"a.s\xD2t", false},
      {"a.vtt", true}, {"b.SBV", true},      {"a.webvtt", false}, {"a_srt", false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_subtitle_name(c.name), c.taken) << c.name;
}

}  // namespace
