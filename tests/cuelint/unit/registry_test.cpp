#include <gtest/gtest.h>

#include <string>

#include "detect.h"
#include "encoding.h"
#include "lint.h"
#include "source.h"

using namespace cuelint;

namespace {

Format detect(const std::string& text, bool unicode = true) {
  MemorySource src(text.data(), text.size());
  Decoder d(src, unicode ? Encoding::kUtf8 : Encoding::kSingleByte);
  LineReader lr(d);
  return detect_format(lr, unicode);
}

std::string many(const char* line, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += line;
  return s;
}

struct DetectCase {
  const char* name;
  std::string text;
  Format format;
};

class FormatDetection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(FormatDetection, Table) {
  EXPECT_EQ(detect(GetParam().text), GetParam().format) << GetParam().name;
}

const DetectCase kDetectCases[] = {
    {"microdvd", "{1}{2}Hi\n", Format::kMicroDvd},
    {"microdvd_after_blanks", "\n  \n{1}{2}Hi\n", Format::kMicroDvd},
    {"brace_anything", "{nonsense\n00:00:01,000 --> 00:00:02,000\n", Format::kMicroDvd},
    {"subviewer_header", "[INFORMATION]\n", Format::kSubviewer},
    {"subviewer_time", "00:00:01.00,00:00:02.00\nHi\n", Format::kSubviewer},
    {"subrip_numbered", "1\n00:00:01,000 --> 00:00:02,000\n", Format::kSubRip},
    {"subrip_from_zero", "0\n00:00:01,000 --> 00:00:02,000\n", Format::kSubRip},
    {"subrip_from_264", "264\n\n00:00:01,000 --> 00:00:02,000\n", Format::kSubRip},
    {"subrip_no_number", "00:00:01,000 --> 00:00:02,000\nHi\n", Format::kSubRip},
    {"subrip_negative", "-00:00:01,000 --> 00:00:02,000\n", Format::kSubRip},
    {"subrip_late_candidate", many("text\n", 49) + "1 --> 2\n", Format::kSubRip},
    {"subrip_too_late", many("text\n", 50) + "1 --> 2\n", Format::kNone},
    {"blank_lines_do_not_count", many("text\n\n", 49) + "1 --> 2\n", Format::kSubRip},
    {"leading_blank_brace", " {1}{2}Hi\n", Format::kNone},
    {"arrow_after_letter", "<---On Cut--->\n", Format::kNone},
    {"empty", "", Format::kNone},
    {"blank_only", " \n\t\n\n", Format::kNone},
    {"unicode_blank_only", "\xC2\xA0\n\xE3\x80\x80\n", Format::kNone},
    {"plain_text", "hello\nworld\n", Format::kNone},
    {"brace_beats_candidate", "{x} 1 --> 2\n", Format::kMicroDvd},
};

INSTANTIATE_TEST_SUITE_P(Cases, FormatDetection, ::testing::ValuesIn(kDetectCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatDetection, WhiteSpaceDependsOnEncoding) {
  // A no-break space line is blank in UTF-8 text; in single-byte text it is the first
  // non-blank line, and "{" is then no longer first.
  std::string t = "\xC2\xA0\n{1}{2}Hi\n";
  EXPECT_EQ(detect(t, true), Format::kMicroDvd);
  EXPECT_EQ(detect(t, false), Format::kNone);
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
  EXPECT_EQ(o.format, Format::kMicroDvd);
}

}  // namespace
